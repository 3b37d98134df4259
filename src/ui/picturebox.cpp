#include "ui/picturebox.h"

#include <QPaintEvent>
#include <QPainter>

namespace ordnix {

PictureBox::PictureBox(const QImage& image, QWidget* parent) : QWidget(parent), image_(image) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
}

// Only the changed parts are painted: the surface reports them one box at a
// time and Qt gathers them into the event's region.
void PictureBox::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    for (const QRect& box : event->region())
        painter.drawImage(box, image_, box);
}

} // namespace ordnix
