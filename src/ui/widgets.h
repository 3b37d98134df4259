#pragma once
// Small helpers for building the windows as designed: controls named after
// their control name, placed in their container's pixel coordinates, in the
// game's font.

#include <QFont>
#include <QString>
#include <QWidget>

#include <string>

class QComboBox;
class QLabel;
class QGroupBox;
class QPushButton;

namespace ordnix {

// "MS Sans Serif" at the given point size; the platform substitutes a sans
// font where it is missing.
QFont uifont(double points, bool bold = false, bool underline = false);

// Makes the game's font at 8 pt the application's font. Every window sets it
// anyway; as the application's font it also serves a control's first layout,
// made before its window's font reaches it, so the desktop's font file is
// never loaded for that alone. Call once, before the first window.
void usegamefont();

// The application's font as the desktop gave it, before usegamefont(): for a
// standard dialog, which keeps the desktop's look.
QFont desktopfont();

// Names a control, gives it the game's font at 8 pt (a control with a size
// of its own sets it afterwards) and places it inside its container. Each
// control names its font itself: one inside a frame would otherwise get the
// system font, because the frame's style sheet does not pass the window's on.
template <class W> W* place(W* w, const char* name, int left, int top, int width, int height) {
    w->setObjectName(QString::fromLatin1(name));
    w->setFont(uifont(8));
    w->setGeometry(left, top, width, height);
    return w;
}

// A label with its caption, aligned to the top left like a designed caption.
// Its text is shown as plain text: a player's name is never read as markup.
QLabel* makelabel(QWidget* parent, const char* name, const QString& text, int left, int top,
                  int width, int height);
// The same for a label of a class of its own (a subclass of QLabel).
QLabel* makelabel(QLabel* label, const char* name, const QString& text, int left, int top,
                  int width, int height);

QGroupBox* makeframe(QWidget* parent, const char* name, const QString& title, int left, int top,
                     int width, int height);

// A drop-down list to choose from (no typing). Its popup shows the game's
// font too, also inside a frame.
QComboBox* makelist(QWidget* parent, const char* name, int left, int top, int width, int height);
// The same for a list of a class of its own (a subclass of QComboBox).
QComboBox* makelist(QComboBox* list, const char* name, int left, int top, int width, int height);

QPushButton* makebutton(QWidget* parent, const char* name, const QString& text, int left, int top,
                        int width, int height);

// A top-level window with a fixed client size, caption and the default font.
void fixwindow(QWidget* window, const QString& title, int width, int height);

// Caption text from the rules' strings (UTF-8).
inline QString qtext(const std::string& s) {
    return QString::fromStdString(s);
}

} // namespace ordnix
