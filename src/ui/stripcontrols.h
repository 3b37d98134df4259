#pragma once
// The coloured strips of the battlefield window, and the list and button on
// them. Their colour comes from application palettes for these classes, not
// from a palette set on each widget: the style caches its pictures of a list
// or button under the identity of the control's palette, and a palette set
// on a widget (or taken over from its parent) is a new copy in every window.
// With one battlefield window each round, every round would add pictures,
// and cache keys that are never freed. A class palette is shared as it is.

#include <QComboBox>
#include <QPushButton>
#include <QWidget>

namespace ordnix {

// Sets the colour of every strip; call before making the first strip control.
void setstripcolour(const QColor& colour);

// A strip filled with the strip colour.
class StripPanel final : public QWidget {
    Q_OBJECT
  public:
    explicit StripPanel(QWidget* parent);
};

class StripComboBox final : public QComboBox {
    Q_OBJECT
  public:
    using QComboBox::QComboBox;
};

class StripButton final : public QPushButton {
    Q_OBJECT
  public:
    using QPushButton::QPushButton;
};

} // namespace ordnix
