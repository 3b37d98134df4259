#pragma once
// The solid fill of a polygon with whole-pixel vertices, without a painter:
// pixel (x, y) is filled when the point (x, y) lies inside the polygon by the
// odd-even rule. A pixel whose centre lies exactly on an edge may go either
// way; the surface's outline covers those (see imagesurface.cpp).

#include "game/ports.h"

#include <QImage>

#include <algorithm>
#include <cstdint>

namespace ordnix {

// Far beyond any picture; keeps the edge arithmetic inside 64 bits.
constexpr int64_t kCoordinateLimit = int64_t{1} << 28;

// A vertex coordinate clamped to +-kCoordinateLimit, as the fill and the
// outline both take it.
constexpr int64_t limited(int32_t v) {
    return std::clamp<int64_t>(v, -kCoordinateLimit, kCoordinateLimit);
}

// Fills the inside of the polygon on a 32-bit or 8-bit `image` with `pixel`
// (an RGB32 value, or an index into the image's colour table). Each
// coordinate is first clamped to +-kCoordinateLimit. Only the rows and
// columns inside the image are visited, so a far-away vertex costs nothing;
// polygons of up to 16 points need no heap.
void fillpolygon(QImage& image, const Point* points, int count, uint pixel);

} // namespace ordnix
