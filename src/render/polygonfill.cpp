// Scanline fill in exact integer arithmetic. For row y an edge from (x0, y0)
// down to (x1, y1) counts when y0 <= y < y1 (so a vertex on the row counts
// once, and level edges never); it crosses the row at the rational
// c = x0 + (y - y0) (x1 - x0) / (y1 - y0). A point (x, y) off the edges lies
// inside when an odd number of crossings lie left of it, c < x, and for a
// whole x that is x >= floor(c) + 1. So each crossing becomes the whole
// number floor(c) + 1, and between the sorted numbers k0 <= k1 <= ... the
// pixels k0 .. k1 - 1, k2 .. k3 - 1, ... are inside: no rational ever has to
// be compared with another.
#include "render/polygonfill.h"

#include <algorithm>
#include <vector>

namespace ordnix {

namespace {

constexpr int kSmallPolygon = 16;

// An edge that crosses some of the image's rows, from its upper end down.
struct Edge {
    int64_t x0 = 0, y0 = 0;
    int64_t dx = 0, dy = 0;  // dy > 0
    int first = 0, last = 0; // the image rows it crosses: first <= y < last
};

// Room for `size` values: on the stack up to N, else on the heap.
template <class T, int N> class Buffer {
  public:
    explicit Buffer(int size) {
        if (size > N) {
            heap_.resize(static_cast<size_t>(size));
            data_ = heap_.data();
        }
    }
    T& operator[](int i) { return data_[i]; }
    T* begin() { return data_; }

  private:
    T stack_[N];
    std::vector<T> heap_;
    T* data_ = stack_;
};

// floor(num / den) for den > 0.
int64_t floordiv(int64_t num, int64_t den) {
    const int64_t q = num / den;
    return (num % den < 0) ? q - 1 : q;
}

} // namespace

void fillpolygon(QImage& image, const Point* points, int count, uint pixel) {
    if (!points || count < 3 || image.isNull() || (image.depth() != 32 && image.depth() != 8))
        return;
    const int width = image.width();
    const int height = image.height();

    Buffer<Edge, kSmallPolygon> edges(count);
    int n = 0;
    for (int i = 0; i < count; ++i) {
        const Point& a = points[i];
        const Point& b = points[(i + 1) % count];
        int64_t xa = limited(a.x), ya = limited(a.y);
        int64_t xb = limited(b.x), yb = limited(b.y);
        if (ya == yb)
            continue;
        if (ya > yb) {
            std::swap(xa, xb);
            std::swap(ya, yb);
        }
        const int64_t first = std::max<int64_t>(ya, 0);
        const int64_t last = std::min<int64_t>(yb, height);
        if (first >= last)
            continue; // above or below the image
        edges[n++] = {xa, ya, xb - xa, yb - ya, static_cast<int>(first), static_cast<int>(last)};
    }
    if (n == 0)
        return;
    std::sort(edges.begin(), edges.begin() + n,
              [](const Edge& l, const Edge& r) { return l.first < r.first; });

    Buffer<int, kSmallPolygon> active(n);
    Buffer<int64_t, kSmallPolygon> keys(n);
    uchar* const bits = image.bits();
    const auto stride = static_cast<size_t>(image.bytesPerLine());
    int live = 0;
    int next = 0;
    for (int y = edges[0].first; next < n || live > 0; ++y) {
        int kept = 0;
        for (int j = 0; j < live; ++j)
            if (edges[active[j]].last > y)
                active[kept++] = active[j];
        live = kept;
        if (live == 0 && next < n && edges[next].first > y)
            y = edges[next].first; // no edge crosses the rows between
        while (next < n && edges[next].first == y)
            active[live++] = next++;
        if (live == 0)
            continue;
        for (int j = 0; j < live; ++j) {
            const Edge& e = edges[active[j]];
            // |y - y0| and |dx| stay below 2^30: the product fits.
            const int64_t k = e.x0 + floordiv((y - e.y0) * e.dx, e.dy) + 1;
            keys[j] = std::clamp<int64_t>(k, 0, width);
        }
        std::sort(keys.begin(), keys.begin() + live);
        uchar* const line = bits + static_cast<size_t>(y) * stride;
        for (int j = 0; j + 1 < live; j += 2) {
            if (image.depth() == 8)
                std::fill(line + keys[j], line + keys[j + 1], static_cast<uchar>(pixel));
            else
                std::fill(reinterpret_cast<QRgb*>(line) + keys[j],
                          reinterpret_cast<QRgb*>(line) + keys[j + 1], pixel);
        }
    }
}

} // namespace ordnix
