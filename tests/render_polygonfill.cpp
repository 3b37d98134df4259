// Our own polygon fill against the way polygons were drawn before: Qt's
// odd-even fill of the polygon shifted by half a pixel, then the same
// outline. Whole pictures must come out the same, pixel for pixel: for
// thousands of tank-sized polygons, the tanks at every angle, and the
// landscapes of generated rounds with their craters and cliffs.
#include "clocks.h"
#include "fakes.h"
#include "game/battle.h"
#include "newgame.h"
#include "render/imagesurface.h"
#include "render/polygonfill.h"

#include <QPainter>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <numeric>
#include <random>
#include <sstream>
#include <string>
#include <vector>

using namespace ordnix;

namespace {

using Polygon = std::vector<Point>;

struct Shape {
    Polygon points;
    Rgb fill, outline;
};

constexpr Rgb kMaskBack{1, 2, 3};
constexpr Rgb kMaskPen{4, 5, 6};
constexpr Rgb kTank{128, 0, 128};

int64_t limited(int32_t v) {
    return std::clamp<int64_t>(v, -kCoordinateLimit, kCoordinateLimit);
}

std::string describe(const Polygon& pts) {
    std::ostringstream out;
    for (const Point& p : pts)
        out << " (" << p.x << "," << p.y << ")";
    return out.str();
}

// Where two pictures first differ, or "" when they are the same.
std::string difference(const QImage& got, const QImage& want) {
    if (got.convertToFormat(QImage::Format_RGB32) == want.convertToFormat(QImage::Format_RGB32))
        return "";
    for (int y = 0; y < got.height(); ++y)
        for (int x = 0; x < got.width(); ++x)
            if (got.pixel(x, y) != want.pixel(x, y)) {
                std::ostringstream out;
                out << "first difference at (" << x << "," << y << "): got " << std::hex
                    << got.pixel(x, y) << ", want " << want.pixel(x, y);
                return out.str();
            }
    return "different formats";
}

// The outline's pixels, drawn by the surface on a picture of their own: the
// fill there has the back colour, so only the pen shows. The surface reports
// the box it drew in, and only that box is read.
class OutlineMask {
  public:
    OutlineMask() {
        surface_.changed = [this](const QRect& box) { box_ |= box; };
    }
    // Calls `lit(x, y)` for every pixel the outline of `pts` lights.
    template <class Lit> void each(const Polygon& pts, Lit lit) {
        box_ = QRect();
        surface_.polygon(pts.data(), static_cast<int>(pts.size()), kMaskBack, kMaskPen);
        const QImage& image = surface_.visible();
        for (int y = box_.top(); y <= box_.bottom(); ++y)
            for (int x = box_.left(); x <= box_.right(); ++x)
                if (image.pixel(x, y) == torgb(kMaskPen))
                    lit(x, y);
        surface_.restorefromback();
    }

  private:
    ImageSurface surface_{kMaskBack};
    QRect box_;
};

// The old way: Qt's fill of the polygon shifted by half a pixel (Qt samples
// a pixel at its centre, x + 0.5), then the surface's outline on top.
void olddraw(QImage& image, OutlineMask& mask, const Shape& shape) {
    std::vector<QPointF> shifted;
    for (const Point& p : shape.points)
        shifted.emplace_back(double(limited(p.x)) + 0.5, double(limited(p.y)) + 0.5);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(torgb(shape.fill)));
        painter.drawPolygon(shifted.data(), static_cast<int>(shifted.size()), Qt::OddEvenFill);
    }
    mask.each(shape.points, [&](int x, int y) { image.setPixel(x, y, torgb(shape.outline)); });
}

// Draws the shapes in order on the sky, the new way and the old way, and
// says where the pictures differ ("" when nowhere).
class Compare {
  public:
    Compare() { surface_.savetoback(); } // the back buffer keeps the sky

    std::string scene(const std::vector<Shape>& shapes) {
        surface_.restorefromback();
        QImage old = surface_.visible().convertToFormat(QImage::Format_RGB32);
        for (const Shape& s : shapes) {
            surface_.polygon(s.points.data(), static_cast<int>(s.points.size()), s.fill, s.outline);
            olddraw(old, mask_, s);
        }
        return difference(surface_.visible(), old);
    }
    std::string one(const Polygon& pts) { return scene({{pts, kGround, kBlack}}); }

    OutlineMask& mask() { return mask_; }

  private:
    ImageSurface surface_{kSky};
    OutlineMask mask_;
};

// Whether the point (px, py) lies exactly on an edge of the polygon.
bool onedge(const Polygon& pts, int64_t px, int64_t py) {
    for (size_t i = 0; i < pts.size(); ++i) {
        const Point& a = pts[i];
        const Point& b = pts[(i + 1) % pts.size()];
        const int64_t ax = limited(a.x), ay = limited(a.y), bx = limited(b.x), by = limited(b.y);
        if ((bx - ax) * (py - ay) - (by - ay) * (px - ax) != 0)
            continue;
        if (px >= std::min(ax, bx) && px <= std::max(ax, bx) && py >= std::min(ay, by) &&
            py <= std::max(ay, by))
            return true;
    }
    return false;
}

// Odd-even inside test for a point off the edges, counted along a ray
// upwards (the fill counts along rows): exact in 64 bits.
bool inside(const Polygon& pts, int64_t px, int64_t py) {
    bool in = false;
    for (size_t i = 0; i < pts.size(); ++i) {
        int64_t ax = limited(pts[i].x), ay = limited(pts[i].y);
        int64_t bx = limited(pts[(i + 1) % pts.size()].x);
        int64_t by = limited(pts[(i + 1) % pts.size()].y);
        if ((ax <= px) == (bx <= px))
            continue;
        if (ax > bx) {
            std::swap(ax, bx);
            std::swap(ay, by);
        }
        // The edge passes above the point: its height at px is less than py.
        if ((py - ay) * (bx - ax) - (px - ax) * (by - ay) > 0)
            in = !in;
    }
    return in;
}

// Every pixel of the picture whose centre lies exactly on an edge is lit by
// the outline, so the fill's choice there never shows. Walks the whole-number
// points of each edge (for polygons near the picture).
void expectedgescovered(OutlineMask& mask, const Polygon& pts) {
    std::vector<char> lit(ImageSurface::kWidth * ImageSurface::kHeight, 0);
    mask.each(pts, [&](int x, int y) { lit[y * ImageSurface::kWidth + x] = 1; });
    for (size_t i = 0; i < pts.size(); ++i) {
        const Point& a = pts[i];
        const Point& b = pts[(i + 1) % pts.size()];
        const int64_t dx = b.x - a.x, dy = b.y - a.y;
        const int64_t g = std::max<int64_t>(std::gcd(dx, dy), 1);
        for (int64_t t = 0; t <= g; ++t) {
            const int64_t x = a.x + dx / g * t, y = a.y + dy / g * t;
            if (x < 0 || y < 0 || x >= ImageSurface::kWidth || y >= ImageSurface::kHeight)
                continue;
            ASSERT_TRUE(lit[y * ImageSurface::kWidth + x])
                << "(" << x << "," << y << ") on the edge of" << describe(pts);
        }
    }
}

// Tank-sized polygons of 3 to 8 points anywhere in and around the picture:
// convex ones around a centre, free ones (concave or crossing themselves),
// slivers along a steep or flat line, and tiny ones full of ties.
Polygon randompolygon(std::mt19937& gen) {
    auto uniform = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(gen); };
    const int count = uniform(3, 8);
    const int cx = uniform(-40, ImageSurface::kWidth + 40);
    const int cy = uniform(-40, ImageSurface::kHeight + 40);
    Polygon pts;
    switch (uniform(0, 3)) {
    case 0: { // convex: points on a circle at rising angles
        const double r = uniform(2, 25);
        std::vector<double> angles;
        for (int i = 0; i < count; ++i)
            angles.push_back(std::uniform_real_distribution<double>(0, 6.283185307)(gen));
        std::sort(angles.begin(), angles.end());
        for (double a : angles)
            pts.push_back({static_cast<int32_t>(std::lround(cx + r * std::cos(a))),
                           static_cast<int32_t>(std::lround(cy + r * std::sin(a)))});
        break;
    }
    case 1: // free
        for (int i = 0; i < count; ++i)
            pts.push_back({cx + uniform(-25, 25), cy + uniform(-25, 25)});
        break;
    case 2: { // a sliver along a line, a pixel or two off it
        const int dx = uniform(-30, 30), dy = uniform(-30, 30);
        for (int i = 0; i < count; ++i) {
            const int t = uniform(-10, 10);
            pts.push_back({cx + dx * t / 10 + uniform(-1, 1), cy + dy * t / 10 + uniform(-1, 1)});
        }
        break;
    }
    default: // tiny
        for (int i = 0; i < count; ++i)
            pts.push_back({cx + uniform(-3, 3), cy + uniform(-3, 3)});
    }
    return pts;
}

TEST(PolygonFill, RandomSmallPolygonsMatchTheOldFill) {
    Compare compare;
    std::mt19937 gen(20261209);
    for (int i = 0; i < 3000; ++i) {
        const Polygon pts = randompolygon(gen);
        const std::string diff = compare.one(pts);
        ASSERT_EQ(diff, "") << "polygon " << i << ":" << describe(pts);
        ASSERT_NO_FATAL_FAILURE(expectedgescovered(compare.mask(), pts));
    }
}

// Shapes that enclose nothing or sit on the picture's border.
TEST(PolygonFill, DegenerateAndBorderPolygonsMatchTheOldFill) {
    const std::pair<const char*, Polygon> table[] = {
        {"one point", {{10, 10}}},
        {"two points", {{10, 10}, {30, 17}}},
        {"collinear", {{0, 0}, {10, 5}, {20, 10}}},
        {"there and back", {{5, 5}, {40, 20}, {5, 5}, {40, 20}}},
        {"the whole picture", {{0, 0}, {599, 0}, {599, 359}, {0, 359}}},
        {"beyond the picture", {{-5, -5}, {605, -5}, {605, 365}, {-5, 365}}},
        {"left of the picture", {{-30, 10}, {-1, 10}, {-1, 50}, {-30, 50}}},
        {"corner", {{590, 350}, {620, 350}, {620, 380}}},
        {"bow tie", {{10, 10}, {50, 40}, {50, 10}, {10, 40}}},
        {"twice round", {{20, 0}, {40, 40}, {0, 15}, {40, 15}, {0, 40}}},
    };
    Compare compare;
    for (const auto& [name, pts] : table) {
        EXPECT_EQ(compare.one(pts), "") << name;
        EXPECT_NO_FATAL_FAILURE(expectedgescovered(compare.mask(), pts)) << name;
    }
}

// The current tank's barrel and body at every angle, on ground across the
// field and half out of the picture, over the landscape they stand on.
TEST(PolygonFill, TanksAtEveryAngleMatchTheOldFill) {
    const Polygon land = {{0, 200}, {600, 260}, {600, 400}, {0, 400}};
    const std::pair<int, int> places[] = {{290, 250}, {0, 230},   {-12, 200}, {590, 260},
                                          {150, 5},   {400, 359}, {200, 0},   {580, 370}};
    Compare compare;
    for (const auto& [x, ground] : places)
        for (int angle = 0; angle <= 180; ++angle) {
            const TankShape t = tankshape(x, ground, angle, kDegToRad);
            const Polygon barrel(t.barrel.begin(), t.barrel.end());
            const Polygon body(t.body.begin(), t.body.end());
            ASSERT_EQ(
                compare.scene(
                    {{land, kGround, kBlack}, {barrel, kTank, kBlack}, {body, kTank, kBlack}}),
                "")
                << "tank at " << x << "," << ground << " angle " << angle;
            ASSERT_NO_FATAL_FAILURE(expectedgescovered(compare.mask(), barrel));
            ASSERT_NO_FATAL_FAILURE(expectedgescovered(compare.mask(), body));
        }
}

// Keeps the polygons of the scene that realdraw and draw draw.
struct Recorder final : Surface {
    std::vector<Shape> shapes;
    void clear(Rgb) override { shapes.clear(); }
    void polygon(const Point* points, int count, Rgb fill, Rgb outline) override {
        shapes.push_back({Polygon(points, points + count), fill, outline});
    }
    void line(float, float, float, float, Rgb) override {}
    void disc(float, float, float, Rgb, Rgb) override {}
    void savetoback() override {}
    void restorefromback() override {}
};

// A round set up by the rules from a seed, drawn into a recorder.
struct Round {
    explicit Round(uint64_t seed, int players) : random(seed) {
        clock.t = 1000.0 + static_cast<double>(seed);
        model = newgame(std::vector<std::string>(static_cast<size_t>(players), "P"));
        battle.attach(&recorder, nullptr);
        battle.setup();
        battle.realdraw();
        battle.draw();
    }
    Model model;
    MixRandom random;
    FakeClock clock;
    FakeSound sound;
    Battle battle{model, random, clock, sound};
    Recorder recorder;
};

// Landscapes of many generated rounds, each again after craters of every
// weapon, with all the tanks standing on them.
TEST(PolygonFill, GeneratedLandscapesWithCratersMatchTheOldFill) {
    Compare compare;
    std::mt19937 gen(7);
    for (uint64_t seed = 1; seed <= 40; ++seed) {
        Round round(seed, 2 + static_cast<int>(seed % 7));
        ASSERT_EQ(compare.scene(round.recorder.shapes), "") << "round " << seed;
        for (int crater = 0; crater < 6; ++crater) {
            const int weapon = std::uniform_int_distribution<int>(0, kCatalogueRows - 1)(gen);
            const int column = std::uniform_int_distribution<int>(0, kFieldWidth)(gen);
            round.battle.weaponclicked(weapon);
            round.battle.shotx = column + std::uniform_real_distribution<double>(-0.5, 0.5)(gen);
            round.battle.shoty =
                round.battle.heights[column] + std::uniform_int_distribution<int>(-60, 60)(gen);
            round.battle.explode();
            ASSERT_EQ(compare.scene(round.recorder.shapes), "")
                << "round " << seed << " after crater " << crater << " of weapon " << weapon;
        }
        ASSERT_NO_FATAL_FAILURE(
            expectedgescovered(compare.mask(), round.recorder.shapes.front().points));
    }
}

// Ground shaped by hand: cliffs where a column's height jumps by hundreds
// of rows, from above the picture down to its bottom row, spikes one column
// wide, and edges as tall as the heights' 16 bits allow.
TEST(PolygonFill, CliffsMatchTheOldFill) {
    Round round(1, 2);
    auto& h = round.battle.heights;
    std::mt19937 gen(11);
    auto row = [&](int lo, int hi) {
        return static_cast<int16_t>(std::uniform_int_distribution<int>(lo, hi)(gen));
    };
    const std::pair<const char*, std::function<int16_t(int)>> table[] = {
        {"alternating top and bottom", [](int x) -> int16_t { return x % 2 ? 359 : -72; }},
        {"steps of hundreds", [](int x) -> int16_t { return (x / 37) % 2 ? 340 : 20; }},
        {"random rows", [&](int) { return row(-72, 359); }},
        {"down to the 16-bit limit", [&](int) { return row(-32768, 359); }},
        {"alternating limit and bottom", [](int x) -> int16_t { return x % 2 ? 359 : -32768; }},
        {"spikes", [&](int x) -> int16_t { return x % 13 == 0 ? row(-72, 0) : row(300, 359); }},
        {"random walk with falls",
         [&, last = int16_t{200}](int) mutable {
             last = static_cast<int16_t>(
                 std::clamp<int>(last + (row(0, 9) == 0 ? row(-400, 400) : row(-3, 3)), -72, 359));
             return last;
         }},
    };
    Compare compare;
    for (const auto& [name, height] : table)
        for (int pass = 0; pass < 4; ++pass) {
            for (int x = 0; x < kColumns; ++x)
                h[x] = height(x);
            round.battle.realdraw();
            round.battle.draw();
            ASSERT_EQ(compare.scene(round.recorder.shapes), "") << name << " pass " << pass;
            ASSERT_NO_FATAL_FAILURE(
                expectedgescovered(compare.mask(), round.recorder.shapes.front().points));
        }
}

// Vertices far outside the picture, up to the clamp at 2^28: the pictures
// match the old fill's, the fill is exact (an upward ray count is the
// reference), and it visits only the picture's rows, so this takes no time.
TEST(PolygonFill, FarVerticesFillExactly) {
    constexpr int32_t kFar = 1 << 28;
    const std::pair<const char*, Polygon> table[] = {
        {"huge triangle", {{-kFar, -kFar}, {kFar, 7}, {3, kFar}}},
        {"beyond the clamp", {{INT32_MIN, 100}, {INT32_MAX, 101}, {300, 355}}},
        {"long thin spike", {{0, 180}, {kFar, 181}, {0, 182}}},
        {"steep spike", {{300, -kFar}, {301, kFar}, {302, -kFar}}},
        {"far zigzag", {{-kFar, 0}, {kFar, 60}, {-kFar, 120}, {kFar, 180}, {-kFar, 359}}},
        {"spike from the 16-bit limit", {{0, -32768}, {1, 359}, {2, -32768}}},
    };
    Compare compare;
    for (const auto& [name, pts] : table) {
        EXPECT_EQ(compare.one(pts), "") << name;
        QImage fill(ImageSurface::kWidth, ImageSurface::kHeight, QImage::Format_RGB32);
        fill.fill(torgb(kSky));
        fillpolygon(fill, pts.data(), static_cast<int>(pts.size()), torgb(kGround));
        int wrong = 0, filled = 0;
        for (int y = 0; y < fill.height(); ++y)
            for (int x = 0; x < fill.width(); ++x) {
                const bool on = fill.pixel(x, y) == torgb(kGround);
                filled += on;
                if (!onedge(pts, x, y) && on != inside(pts, x, y))
                    ++wrong;
            }
        EXPECT_EQ(wrong, 0) << name;
        EXPECT_GT(filled, 0) << name;
    }
}

} // namespace
