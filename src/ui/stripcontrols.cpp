#include "ui/stripcontrols.h"

#include <QApplication>

namespace ordnix {

void setstripcolour(const QColor& colour) {
    QPalette palette = QApplication::palette();
    palette.setColor(QPalette::Window, colour);
    // No role marked as set: a widget then takes the class palette itself
    // rather than a copy merged with its parent's.
    palette.setResolveMask(0);
    for (const char* name : {"ordnix::StripPanel", "ordnix::StripComboBox", "ordnix::StripButton"})
        // Setting it again would make a new palette: only a change counts.
        if (QApplication::palette(name) != palette)
            QApplication::setPalette(palette, name);
}

StripPanel::StripPanel(QWidget* parent) : QWidget(parent) {
    setAutoFillBackground(true);
}

} // namespace ordnix
