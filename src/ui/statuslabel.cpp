#include "ui/statuslabel.h"

#include <QBackingStore>
#include <QEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QTextLayout>

namespace ordnix {

namespace {
// A turn shows a few dozen texts; beyond this many the kept ones go at once.
constexpr qsizetype kMostLayouts = 256;
constexpr qsizetype kMostPictures = 32; // some 45 kB each
} // namespace

StatusLabel::StatusLabel(QWidget* parent) : QLabel(parent) {
    setTextFormat(Qt::PlainText);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

StatusLabel::~StatusLabel() = default;

const QTextLayout* StatusLabel::knownlayout(const QString& text) const {
    const auto found = layouts_.constFind(text);
    return found == layouts_.constEnd() ? nullptr : found->get();
}

// One line from the top left corner, as the label lays out plain text that
// does not wrap.
const QTextLayout& StatusLabel::newlayout(const QString& text) {
    if (layouts_.size() >= kMostLayouts)
        layouts_.clear();
    auto layout = std::make_shared<QTextLayout>(text, font(), this);
    QTextOption option(alignment());
    option.setTextDirection(Qt::LeftToRight);
    option.setWrapMode(QTextOption::ManualWrap);
    layout->setTextOption(option);
    layout->setCacheEnabled(true);
    layout->beginLayout();
    QTextLine line = layout->createLine();
    if (line.isValid()) {
        line.setLineWidth(0x01000000);
        line.setPosition(QPointF(0, 0));
    }
    layout->endLayout();
    return *layouts_.insert(text, std::move(layout)).value();
}

void StatusLabel::drawtext(QPainter& painter, const QTextLayout& layout) const {
    painter.setPen(palette().color(foregroundRole()));
    layout.draw(&painter, contentsRect().topLeft());
}

// The label as it looks with `text`: its plain background with the text on
// top, in the pixel format of the window's backing store so that the text is
// blended exactly as when drawn there. Null where the background is not a
// plain colour.
const QImage* StatusLabel::picture(const QString& text, const QTextLayout& layout) {
    const qreal ratio = devicePixelRatioF();
    if (auto found = pictures_.constFind(text);
        found != pictures_.constEnd() && found->devicePixelRatio() == ratio)
        return &*found;
    const QBrush back = palette().brush(backgroundRole());
    if (!autoFillBackground() || back.style() != Qt::SolidPattern || !back.isOpaque())
        return nullptr;
    QImage::Format format = QImage::Format_RGB32;
    if (QBackingStore* store = backingStore())
        if (QPaintDevice* device = store->paintDevice();
            device && device->devType() == QInternal::Image)
            if (const auto* shown = static_cast<QImage*>(device); !shown->isNull())
                format = shown->format();
    if (pictures_.size() >= kMostPictures)
        pictures_.clear();
    QImage image(size() * ratio, format);
    image.setDevicePixelRatio(ratio);
    image.fill(back.color());
    {
        QPainter painter(&image);
        painter.setFont(font());
        drawtext(painter, layout);
    }
    return &*pictures_.insert(text, std::move(image));
}

// A text seen for the first time is drawn from a new layout; seen again it
// becomes pixels, and from then on is copied.
void StatusLabel::paintEvent(QPaintEvent* event) {
    const QString shown = text();
    QPainter painter(this);
    if (const QTextLayout* layout = knownlayout(shown)) {
        if (const QImage* image = picture(shown, *layout)) {
            for (const QRect& box : event->region())
                painter.drawImage(box, *image,
                                  QRectF(box.topLeft() * image->devicePixelRatio(),
                                         box.size() * image->devicePixelRatio()));
            return;
        }
        drawtext(painter, *layout);
        return;
    }
    drawtext(painter, newlayout(shown));
}

void StatusLabel::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange)
        layouts_.clear();
    if (event->type() == QEvent::FontChange || event->type() == QEvent::PaletteChange)
        pictures_.clear();
    QLabel::changeEvent(event);
}

void StatusLabel::resizeEvent(QResizeEvent* event) {
    pictures_.clear();
    QLabel::resizeEvent(event);
}

} // namespace ordnix
