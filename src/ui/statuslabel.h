#pragma once
// A status line of the battlefield: a plain-text label that the frame loop
// rewrites up to 32 times a second. While a player aims, a new text differs
// from the last in a few digits (the angle or the power), so a new text
// repaints only the glyphs that change, old and new, and the rest of the line
// stays on the screen as it is. Aiming goes back and forth over the same
// texts, so the line keeps each text's glyphs, laid out once, for the next
// time (a few hundred bytes a text, some hundred texts at most). Its text is
// plain, one line from the top left corner, drawn as a plain label draws it.
// A status line is opaque: it always fills its background with the
// (opaque) colour of its background role, as a label that fills its
// background does.

#include <QHash>
#include <QLabel>

#include <memory>

namespace ordnix {

class StatusLabel final : public QLabel {
  public:
    explicit StatusLabel(QWidget* parent);
    ~StatusLabel() override;

    // Shows `text`, repainting the part of the line whose pixels change.
    // QLabel's setText is not virtual: set a status line's text through a
    // StatusLabel; QLabel's own changes the text without repainting it.
    void setText(const QString& text);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    struct Line;
    std::shared_ptr<const Line> line(const QString& text); // kept, or laid out now

    std::shared_ptr<const Line> shown_; // what the screen shows; null before a paint
    QHash<QString, std::shared_ptr<const Line>> kept_;
};

} // namespace ordnix
