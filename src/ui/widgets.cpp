#include "ui/widgets.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

namespace ordnix {

QFont uifont(double points, bool bold, bool underline) {
    // Where the classic dialog font is missing, a face of about its width
    // keeps the captions inside their designed boxes.
    static const bool substituted = [] {
        QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                                   {QStringLiteral("Liberation Sans"), QStringLiteral("Arial"),
                                    QStringLiteral("DejaVu Sans")});
        return true;
    }();
    (void)substituted;
    QFont f(QStringLiteral("MS Sans Serif"));
    f.setStyleHint(QFont::SansSerif);
    f.setPointSizeF(points);
    f.setBold(bold);
    f.setUnderline(underline);
    return f;
}

QFont desktopfont() {
    static const QFont desktop = [] {
        QFont font = QApplication::font();
        // Every property counts as set, so a widget given it keeps all of it
        // instead of filling the rest from the application's font.
        font.setResolveMask(QFont::AllPropertiesResolved);
        return font;
    }();
    return desktop;
}

void usegamefont() {
    desktopfont(); // kept before it is replaced
    QApplication::setFont(uifont(8));
}

QLabel* makelabel(QWidget* parent, const char* name, const QString& text, int left, int top,
                  int width, int height) {
    return makelabel(new QLabel(parent), name, text, left, top, width, height);
}

QLabel* makelabel(QLabel* label, const char* name, const QString& text, int left, int top,
                  int width, int height) {
    place(label, name, left, top, width, height);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setTextFormat(Qt::PlainText);
    label->setText(text);
    return label;
}

QGroupBox* makeframe(QWidget* parent, const char* name, const QString& title, int left, int top,
                     int width, int height) {
    auto* frame = place(new QGroupBox(title, parent), name, left, top, width, height);
    // A classic frame: the caption sits on the top edge of the border, so the
    // controls placed inside keep their designed positions below it.
    frame->setStyleSheet(QStringLiteral(
        "QGroupBox { border: 1px solid palette(mid); border-radius: 2px; margin-top: 6px; }"
        "QGroupBox::title { subcontrol-origin: margin; subcontrol-position: top left;"
        " left: 6px; padding: 0 2px; }"));
    return frame;
}

QComboBox* makelist(QWidget* parent, const char* name, int left, int top, int width, int height) {
    return makelist(new QComboBox(parent), name, left, top, width, height);
}

QComboBox* makelist(QComboBox* list, const char* name, int left, int top, int width, int height) {
    place(list, name, left, top, width, height);
    list->setEditable(false);
    // The popup is a window of its own: under a frame's style sheet its
    // parts would take the system font instead of the list's.
    QWidget* popup = list->view()->window();
    for (QWidget* part : popup->findChildren<QWidget*>())
        part->setFont(list->font());
    return list;
}

QPushButton* makebutton(QWidget* parent, const char* name, const QString& text, int left, int top,
                        int width, int height) {
    auto* button = place(new QPushButton(text, parent), name, left, top, width, height);
    button->setAutoDefault(false);
    return button;
}

void fixwindow(QWidget* window, const QString& title, int width, int height) {
    window->setWindowTitle(title);
    window->setFont(uifont(8));
    window->setFixedSize(width, height);
}

} // namespace ordnix
