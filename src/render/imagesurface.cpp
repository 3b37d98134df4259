// Pixel rules, with antialiasing off. A vertex (x, y) is the centre of pixel
// (x, y), as on a classic raster display:
// - The fill covers the pixels whose centres lie inside the polygon
//   (odd-even rule; our own fill, polygonfill.cpp).
// - The outline is then drawn over it, one pixel wide: every edge lights one
//   pixel per step along its longer axis, the pixel nearest the exact edge
//   (halves round down-right), both vertex pixels included. So a rectangle
//   from (0, 0) to (10, 10) covers pixels 0..10 both ways, black on its
//   border, and a fill pixel never touches the outside.
// - Lines and discs use Qt's one-pixel cosmetic pen: a disc of radius r
//   around (cx, cy) is filled and outlined on the pixels at distance r.
// Each operation reports a box that holds every pixel it may have set: the
// shape's bounds widened by the pen (and a pixel to spare), cut to the
// picture.
#include "render/imagesurface.h"
#include "render/polygonfill.h"

#include <QPainter>
#include <QPen>
#include <QPointF>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace ordnix {

QRgb torgb(Rgb c) {
    return qRgb(c.r, c.g, c.b);
}

namespace {

// A painter with the pixel-exact settings shared by lines and discs.
void prepare(QPainter& painter, Rgb pen) {
    painter.setRenderHint(QPainter::Antialiasing, false);
    QPen outline(QColor(torgb(pen)));
    outline.setWidth(1);
    outline.setCosmetic(true);          // exactly one device pixel at any scale
    outline.setCapStyle(Qt::SquareCap); // a line's end pixels are lit
    outline.setJoinStyle(Qt::MiterJoin);
    painter.setPen(outline);
}

bool finite(float v) {
    return std::isfinite(v);
}

// Rounds num / den to the nearest integer, halves upwards; den > 0.
int64_t nearest(int64_t num, int64_t den) {
    const int64_t twice = 2 * num + den; // floor((2 num + den) / (2 den))
    const int64_t q = twice / (2 * den);
    return (twice % (2 * den) < 0) ? q - 1 : q;
}

// One outline edge between two vertex pixels, clipped to the image. Only the
// steps that fall inside the image are visited, so far-away vertices cost
// nothing. The pixels do not depend on the edge's direction.
void edge(QImage& image, int64_t x0, int64_t y0, int64_t x1, int64_t y1, uint pixel) {
    const bool steep = std::abs(y1 - y0) > std::abs(x1 - x0);
    if (steep) { // walk along y instead of x
        std::swap(x0, y0);
        std::swap(x1, y1);
    }
    if (x0 > x1) {
        std::swap(x0, x1);
        std::swap(y0, y1);
    }
    const int64_t dx = x1 - x0;
    const int64_t dy = y1 - y0;
    const int64_t majorsize = steep ? image.height() : image.width();
    const int64_t minorsize = steep ? image.width() : image.height();
    const int64_t first = std::max<int64_t>(x0, 0);
    const int64_t last = std::min(x1, majorsize - 1);
    if (first > last)
        return;
    // The rows found once for the whole edge, not one detach check a pixel.
    uchar* const bits = image.bits();
    const auto stride = static_cast<size_t>(image.bytesPerLine());
    const bool bytes = image.depth() == 8;
    for (int64_t a = first; a <= last; ++a) {
        const int64_t b = dx == 0 ? y0 : nearest(y0 * dx + (a - x0) * dy, dx);
        if (b < 0 || b >= minorsize)
            continue;
        const auto px = static_cast<size_t>(steep ? b : a);
        const auto py = static_cast<size_t>(steep ? a : b);
        if (bytes)
            bits[py * stride + px] = static_cast<uchar>(pixel);
        else
            reinterpret_cast<QRgb*>(bits + py * stride)[px] = pixel;
    }
}

// Copies a box of one picture into another of the same size and format, row
// by row: no new image unless the target is shared with a reader's copy.
void blockcopy(const QImage& from, QImage& to, const QRect& box) {
    if (box.isEmpty())
        return;
    if (box == from.rect()) {
        std::memcpy(to.bits(), from.constBits(), static_cast<size_t>(from.sizeInBytes()));
        return;
    }
    const int size = from.depth() / 8;
    const auto offset = static_cast<size_t>(box.left() * size);
    const auto bytes = static_cast<size_t>(box.width() * size);
    for (int y = box.top(); y <= box.bottom(); ++y)
        std::memcpy(to.scanLine(y) + offset, from.constScanLine(y) + offset, bytes);
}

// The pixels from (left, top) to (right, bottom), both included, widened by
// `margin` on every side and cut to `picture`.
QRect bounds(int64_t left, int64_t top, int64_t right, int64_t bottom, int margin,
             const QRect& picture) {
    left = std::max<int64_t>(left - margin, picture.left());
    top = std::max<int64_t>(top - margin, picture.top());
    right = std::min<int64_t>(right + margin, picture.right());
    bottom = std::min<int64_t>(bottom + margin, picture.bottom());
    if (left > right || top > bottom)
        return {};
    return QRect(QPoint(static_cast<int>(left), static_cast<int>(top)),
                 QPoint(static_cast<int>(right), static_cast<int>(bottom)));
}

// The pixel column or row that a painter coordinate falls in, kept far
// inside 64 bits.
int64_t pixelof(double v) {
    const auto limit = static_cast<double>(kCoordinateLimit);
    return static_cast<int64_t>(std::floor(std::clamp(v, -limit, limit)));
}

// The pen of a cosmetic line or disc outline reaches half a pixel past the
// shape (square caps); two pixels cover that and the rounding of the edges.
constexpr int kPenMargin = 2;
// Polygon pixels lie within their vertices' pixels; one spare pixel.
constexpr int kPolygonMargin = 1;

} // namespace

ImageSurface::ImageSurface(Rgb initial, Copies copies)
    : visible_(kWidth, kHeight,
               copies == Copies::Whole ? QImage::Format_RGB32 : QImage::Format_Indexed8),
      back_(visible_.size(), visible_.format()), copies_(copies) {
    admit({initial});
    visible_.fill(pixel(initial));
    back_.fill(pixel(initial));
}

void ImageSurface::release() {
    visible_ = QImage();
    back_ = QImage();
    table_.clear();
    differing_ = QRect();
}

void ImageSurface::admit(std::initializer_list<Rgb> colours) {
    if (visible_.format() != QImage::Format_Indexed8)
        return;
    const qsizetype had = table_.size();
    for (Rgb c : colours)
        if (!table_.contains(torgb(c)))
            table_.append(torgb(c));
    if (table_.size() == had)
        return;
    if (table_.size() > 256) { // more than a byte tells apart
        table_.resize(had);
        visible_ = visible_.convertToFormat(QImage::Format_RGB32);
        back_ = back_.convertToFormat(QImage::Format_RGB32);
        table_.clear();
        return;
    }
    visible_.setColorTable(table_);
    back_.setColorTable(table_);
}

uint ImageSurface::pixel(Rgb colour) const {
    if (visible_.format() != QImage::Format_Indexed8)
        return torgb(colour);
    return static_cast<uint>(table_.indexOf(torgb(colour)));
}

// Qt's pen paints RGB32: on one-byte pictures it paints a copy of the box in
// RGB32, shifted by whole pixels, which lights the same pixels as painting
// on the whole picture (the box holds the shape with room to spare and is
// cut only at the picture's own edges). Every colour in the copy is already
// in the table.
void ImageSurface::painted(const QRect& box, const std::function<void(QPainter&)>& paint) {
    if (visible_.format() != QImage::Format_Indexed8) {
        QPainter painter(&visible_);
        paint(painter);
        return;
    }
    QImage copy(box.size(), QImage::Format_RGB32);
    for (int y = 0; y < box.height(); ++y) {
        const uchar* from = visible_.constScanLine(box.top() + y) + box.left();
        auto* to = reinterpret_cast<QRgb*>(copy.scanLine(y));
        for (int x = 0; x < box.width(); ++x)
            to[x] = table_[from[x]];
    }
    {
        QPainter painter(&copy);
        painter.translate(-box.left(), -box.top());
        paint(painter);
    }
    for (int y = 0; y < box.height(); ++y) {
        const auto* from = reinterpret_cast<const QRgb*>(copy.constScanLine(y));
        uchar* to = visible_.scanLine(box.top() + y) + box.left();
        QRgb last = from[0];
        auto index = static_cast<uchar>(table_.indexOf(last));
        for (int x = 0; x < box.width(); ++x) {
            if (from[x] != last) { // a run of one colour looks its index up once
                last = from[x];
                index = static_cast<uchar>(table_.indexOf(last));
            }
            to[x] = index;
        }
    }
}

void ImageSurface::drawn(const QRect& box) {
    differing_ |= box;
    touched(box);
}

void ImageSurface::touched(const QRect& box) {
    if (changed && !box.isEmpty())
        changed(copies_ == Copies::Whole ? visible_.rect() : box);
}

void ImageSurface::clear(Rgb sky) {
    admit({sky});
    visible_.fill(pixel(sky));
    drawn(visible_.rect());
}

void ImageSurface::polygon(const Point* points, int count, Rgb fill, Rgb outline) {
    if (!points || count <= 0)
        return;
    admit({fill, outline});
    // A pixel whose centre lies exactly on an edge is lit by that edge's
    // outline below: along the edge's longer axis the step at the pixel's
    // own coordinate finds the exact edge at a whole number, which nearest()
    // keeps. So how the fill decides such ties never shows.
    fillpolygon(visible_, points, count, pixel(fill));
    const uint pen = pixel(outline);
    int64_t left = limited(points[0].x), right = left;
    int64_t top = limited(points[0].y), bottom = top;
    for (int i = 0; i < count; ++i) {
        const Point& a = points[i];
        const Point& b = points[(i + 1) % count];
        edge(visible_, limited(a.x), limited(a.y), limited(b.x), limited(b.y), pen);
        left = std::min(left, limited(a.x));
        right = std::max(right, limited(a.x));
        top = std::min(top, limited(a.y));
        bottom = std::max(bottom, limited(a.y));
    }
    drawn(bounds(left, top, right, bottom, kPolygonMargin, visible_.rect()));
}

void ImageSurface::line(float x1, float y1, float x2, float y2, Rgb colour) {
    if (!finite(x1) || !finite(y1) || !finite(x2) || !finite(y2))
        return;
    const QRect box =
        bounds(pixelof(std::min(x1, x2)), pixelof(std::min(y1, y2)), pixelof(std::max(x1, x2)),
               pixelof(std::max(y1, y2)), kPenMargin, visible_.rect());
    if (box.isEmpty())
        return; // wholly outside the picture: no pixel to light
    admit({colour});
    painted(box, [&](QPainter& painter) {
        prepare(painter, colour);
        painter.drawLine(QLineF(x1, y1, x2, y2));
    });
    drawn(box);
}

void ImageSurface::disc(float cx, float cy, float radius, Rgb fill, Rgb outline) {
    // A negative or undefined radius or centre draws nothing.
    if (!finite(cx) || !finite(cy) || !finite(radius) || radius < 0)
        return;
    const double r = radius;
    const QRect box = bounds(pixelof(cx - r), pixelof(cy - r), pixelof(cx + r), pixelof(cy + r),
                             kPenMargin, visible_.rect());
    if (box.isEmpty())
        return; // wholly outside the picture
    admit({fill, outline});
    painted(box, [&](QPainter& painter) {
        prepare(painter, outline);
        if (radius == 0) {
            painter.drawPoint(QPointF(cx, cy)); // a dot in the outline colour
        } else {
            painter.setBrush(QColor(torgb(fill)));
            painter.drawEllipse(QPointF(cx, cy), radius, radius);
        }
    });
    drawn(box);
}

// Outside the differing box the two pictures are already the same, so the
// copies move that box only; the whole-picture way moves everything.
void ImageSurface::savetoback() {
    blockcopy(visible_, back_, copies_ == Copies::Whole ? visible_.rect() : differing_);
    differing_ = QRect();
}

void ImageSurface::restorefromback() {
    const QRect box = copies_ == Copies::Whole ? visible_.rect() : differing_;
    blockcopy(back_, visible_, box);
    differing_ = QRect();
    touched(box);
}

} // namespace ordnix
