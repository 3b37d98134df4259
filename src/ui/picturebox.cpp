#include "ui/picturebox.h"

#include <QLabel>
#include <QMoveEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QStyle>
#include <QStyleOption>

#include <algorithm>
#include <array>

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

// A one-byte picture goes to the window through an RGB32 strip a few rows
// high, kept between paints: Qt's own path for such pictures converts pixel
// by pixel through general code, several times slower than the table
// look-up here and a plain copy of the strip.
void PictureBox::paintindexed(QPainter& painter, const QRect& box) {
    std::array<QRgb, 256> colours;
    colours.fill(qRgb(0, 0, 0));
    const QList<QRgb> table = image_.colorTable();
    std::copy_n(table.cbegin(), std::min<qsizetype>(table.size(), 256), colours.begin());
    if (strip_.width() < image_.width())
        strip_ = QImage(image_.width(), kStripRows, QImage::Format_RGB32);
    for (int top = box.top(); top <= box.bottom(); top += kStripRows) {
        const int rows = std::min(kStripRows, box.bottom() + 1 - top);
        for (int y = 0; y < rows; ++y) {
            const uchar* from = image_.constScanLine(top + y) + box.left();
            auto* to = reinterpret_cast<QRgb*>(strip_.scanLine(y));
            for (int x = 0; x < box.width(); ++x)
                to[x] = colours[from[x]];
        }
        painter.drawImage(QPoint(box.left(), top), strip_, QRect(0, 0, box.width(), rows));
    }
}

// Only the changed parts are painted: the surface reports them one box at a
// time and Qt gathers them into the event's region. The label comes on top,
// clipped to the same region, as Qt would paint it after the picture.
void PictureBox::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QRect picture = image_.rect();
    for (const QRect& box : event->region()) {
        if (image_.format() != QImage::Format_Indexed8)
            painter.drawImage(box, image_, box);
        else if (const QRect inside = box & picture; !inside.isEmpty())
            paintindexed(painter, inside);
    }
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
