// The arrow is a shaft on top of a triangular head, symmetric about the line
// between columns 15 and 16. Its body runs from blue at the top to purple at
// the tip and is lit from the left; a 1-pixel pale lavender edge goes round
// it, and the background stays fully transparent.
#include "render/markerart.h"

#include <algorithm>
#include <cmath>

namespace ordnix {

namespace {

constexpr int kCentre = 16; // columns kCentre - w .. kCentre + w - 1 are a row of half-width w
constexpr int kShaftTop = 2;
constexpr int kShaftHalf = 5;
constexpr int kHeadTop = 15;
constexpr int kHeadHalf = 14;                  // the head's widest row
constexpr int kTip = kHeadTop + kHeadHalf - 1; // last row, two pixels wide

// Half-width of the arrow in row y; 0 where the row is empty.
int halfwidth(int y) {
    if (y >= kHeadTop && y <= kTip)
        return kHeadHalf - (y - kHeadTop);
    if (y >= kShaftTop && y < kHeadTop)
        return kShaftHalf;
    return 0;
}

bool inside(int x, int y) {
    const int w = halfwidth(y);
    return w > 0 && x >= kCentre - w && x < kCentre + w;
}

// An arrow pixel with a neighbour outside the arrow, left, right, above or below.
bool onedge(int x, int y) {
    return !inside(x - 1, y) || !inside(x + 1, y) || !inside(x, y - 1) || !inside(x, y + 1);
}

int channel(double v) {
    return std::clamp(static_cast<int>(std::lround(v)), 0, 255);
}

QRgb bodycolour(int x, int y) {
    // Blue at the top, purple at the tip.
    const double t = double(y - kShaftTop) / double(kTip - kShaftTop);
    const double r = 50 + (150 - 50) * t;
    const double g = 110 + (30 - 110) * t;
    const double b = 250 + (205 - 250) * t;
    // Light from the left: brighter left of the middle, darker right of it.
    const double side = (kCentre - 0.5 - x) / double(kHeadHalf);
    double light = 1.0 + 0.3 * side;
    // A one-pixel bevel just inside the edge: lit where the edge is above or
    // to the left, shaded where it is below or to the right.
    if (onedge(x - 1, y) || onedge(x, y - 1))
        light += 0.25;
    else if (onedge(x + 1, y) || onedge(x, y + 1))
        light -= 0.25;
    return qRgb(channel(r * light), channel(g * light), channel(b * light));
}

} // namespace

QImage makemarker() {
    QImage image(kMarkerSize, kMarkerSize, QImage::Format_ARGB32);
    image.fill(qRgba(0, 0, 0, 0));
    const QRgb edge = qRgb(232, 222, 255);
    for (int y = 0; y < kMarkerSize; ++y)
        for (int x = 0; x < kMarkerSize; ++x)
            if (inside(x, y))
                image.setPixel(x, y, onedge(x, y) ? edge : bodycolour(x, y));
    return image;
}

} // namespace ordnix
