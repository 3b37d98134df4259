#include "ui/picturebox.h"

#include <QPaintEvent>
#include <QPainter>

namespace ordnix {

PictureBox::PictureBox(const QImage& image, QWidget* parent) : QWidget(parent), image_(image) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
}

void PictureBox::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.drawImage(event->rect(), image_, event->rect());
}

} // namespace ordnix
