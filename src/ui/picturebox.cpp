#include "ui/picturebox.h"

#include <QLabel>
#include <QMoveEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QStyle>
#include <QStyleOption>

namespace ordnix {

PictureBox::PictureBox(const QImage& image, QWidget* parent) : QWidget(parent), image_(image) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
}

void PictureBox::drawlabel(QLabel* label) {
    label_ = label;
    // A widget whose updates are off is left out when Qt paints its parent's
    // children: the picture's paint below draws it instead.
    label->setUpdatesEnabled(false);
    label->installEventFilter(this);
    if (!label->isHidden())
        update(label->geometry());
}

bool PictureBox::eventFilter(QObject* watched, QEvent* event) {
    if (watched != label_)
        return false;
    switch (event->type()) {
    case QEvent::Show:
    case QEvent::Hide:
        update(label_->geometry());
        break;
    case QEvent::Move:
        if (!label_->isHidden()) {
            update(QRect(static_cast<QMoveEvent*>(event)->oldPos(), label_->size()));
            update(label_->geometry());
        }
        break;
    case QEvent::Resize:
        if (!label_->isHidden()) {
            update(QRect(label_->pos(), static_cast<QResizeEvent*>(event)->oldSize()));
            update(label_->geometry());
        }
        break;
    default:
        break;
    }
    return false;
}

// Only the changed parts are painted: the surface reports them one box at a
// time and Qt gathers them into the event's region. The label comes on top,
// clipped to the same region, as Qt would paint it after the picture.
void PictureBox::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    for (const QRect& box : event->region())
        painter.drawImage(box, image_, box);
    if (!label_ || label_->isHidden() || !event->region().intersects(label_->geometry()))
        return;
    QPixmap pixmap = label_->pixmap();
    if (!label_->isEnabled()) { // greyed, as a disabled label shows its picture
        QStyleOption option;
        option.initFrom(label_);
        pixmap = label_->style()->generatedIconPixmap(QIcon::Disabled, pixmap, &option);
    }
    painter.drawPixmap(label_->pos(), pixmap);
}

} // namespace ordnix
