// The battlefield pictures: clearing, polygons, lines and discs land on the
// exact pixels the scene is built from, and the back buffer keeps the scene.
#include "game/battle.h"
#include "render/imagesurface.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace ordnix {
namespace {

constexpr Rgb kRed{250, 0, 20};

QRgb at(const ImageSurface& s, int x, int y) {
    return s.visible().pixel(x, y);
}

// Every pixel of the visible picture that is not `colour`.
std::vector<QPoint> otherthan(const QImage& image, Rgb colour) {
    std::vector<QPoint> found;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != torgb(colour))
                found.push_back({x, y});
    return found;
}

TEST(Surface, ClearPaintsTheSkyEverywhereAndAsksForARepaint) {
    ImageSurface s;
    int repaints = 0;
    s.changed = [&] { ++repaints; };
    s.clear(Rgb{10, 20, 30});
    EXPECT_EQ(s.visible().size(), QSize(600, 360));
    EXPECT_TRUE(otherthan(s.visible(), Rgb{10, 20, 30}).empty());
    EXPECT_TRUE(otherthan(s.back(), kSky).empty()) << "clearing touches the visible picture only";
    EXPECT_EQ(repaints, 1);
    EXPECT_EQ(s.revision(), 1u);
}

struct PolygonCase {
    const char* name;
    std::vector<Point> points;
    std::vector<QPoint> fill;    // pixels in the fill colour
    std::vector<QPoint> outline; // black pixels
    std::vector<QPoint> sky;     // untouched pixels
};

TEST(Surface, PolygonIsFilledInsideOutlinedOnItsEdgesAndLeavesTheRest) {
    const TankShape tank = tankshape(100, 200, 90, 3.14 / 180);
    const std::vector<PolygonCase> cases = {
        {"square",
         {{10, 10}, {20, 10}, {20, 20}, {10, 20}},
         {{11, 11}, {15, 15}, {19, 19}},
         {{10, 10}, {20, 10}, {20, 20}, {10, 20}, {15, 10}, {20, 15}, {15, 20}, {10, 15}},
         {{9, 15}, {21, 15}, {15, 9}, {15, 21}, {21, 21}}},
        {"tank body",
         std::vector<Point>(tank.body.begin(), tank.body.end()),
         {{110, 195}, {105, 191}, {115, 199}},
         {{100, 200}, {104, 190}, {116, 190}, {120, 200}, {110, 190}, {110, 200}},
         {{110, 189}, {110, 201}, {99, 200}, {121, 200}, {103, 190}, {117, 190}}},
        {"landscape below the bottom edge",
         {{0, 300}, {599, 300}, {600, 300}, {600, 400}, {0, 400}},
         {{1, 301}, {300, 330}, {599, 359}},
         {{0, 300}, {300, 300}, {599, 300}, {0, 359}}, // the closing edge runs down column 0
         {{0, 299}, {300, 0}, {599, 299}}},
    };
    for (const PolygonCase& c : cases) {
        SCOPED_TRACE(c.name);
        ImageSurface s;
        s.clear(kSky);
        s.polygon(c.points.data(), static_cast<int>(c.points.size()), kGround, kBlack);
        for (QPoint p : c.fill)
            EXPECT_EQ(at(s, p.x(), p.y()), torgb(kGround)) << p.x() << "," << p.y();
        for (QPoint p : c.outline)
            EXPECT_EQ(at(s, p.x(), p.y()), torgb(kBlack)) << p.x() << "," << p.y();
        for (QPoint p : c.sky)
            EXPECT_EQ(at(s, p.x(), p.y()), torgb(kSky)) << p.x() << "," << p.y();
    }
}

// The black outline closes the polygon: no fill pixel touches the sky, and
// nothing is drawn beyond the vertices' box. Tanks at every angle and a
// jagged landscape are the shapes the battlefield is made of.
TEST(Surface, OutlineEnclosesTheFillOfTanksAndLandscape) {
    std::vector<std::vector<Point>> shapes;
    for (int angle = 0; angle <= 180; angle += 5) {
        const TankShape t = tankshape(300, 200, angle, 3.14 / 180);
        shapes.emplace_back(t.barrel.begin(), t.barrel.end());
        shapes.emplace_back(t.body.begin(), t.body.end());
    }
    std::vector<Point> land;
    for (int i = 0; i <= 600; ++i)
        land.push_back({i, 200 + ((i * 37) % 61) - 30 + (i % 7 == 0 ? 40 : 0)});
    land.push_back({600, 400});
    land.push_back({0, 400});
    shapes.push_back(land);

    ImageSurface s;
    for (const std::vector<Point>& shape : shapes) {
        s.clear(kSky);
        s.polygon(shape.data(), static_cast<int>(shape.size()), kGround, kBlack);
        int left = 600, right = -1, top = 360, bottom = -1;
        for (Point p : shape) {
            left = std::min(left, p.x);
            right = std::max(right, p.x);
            top = std::min(top, p.y);
            bottom = std::max(bottom, p.y);
        }
        int leaks = 0, outside = 0;
        for (QPoint p : otherthan(s.visible(), kSky)) {
            if (p.x() < left || p.x() > right || p.y() < top || p.y() > bottom)
                ++outside;
            if (at(s, p.x(), p.y()) != torgb(kGround))
                continue;
            for (QPoint d : {QPoint(1, 0), QPoint(-1, 0), QPoint(0, 1), QPoint(0, -1)}) {
                const QPoint n = p + d;
                if (s.visible().valid(n) && s.visible().pixel(n) == torgb(kSky))
                    ++leaks;
            }
        }
        EXPECT_EQ(leaks, 0) << "shape starting at " << shape[0].x << "," << shape[0].y;
        EXPECT_EQ(outside, 0) << "shape starting at " << shape[0].x << "," << shape[0].y;
    }
}

TEST(Surface, LineLightsOnePixelPerStepFromEndToEnd) {
    struct LineCase {
        float x1, y1, x2, y2;
        int pixels;
    };
    const LineCase cases[] = {
        {10, 10, 30, 10, 21},     // horizontal
        {50, 5, 50, 25, 21},      // vertical
        {100, 100, 110, 110, 11}, // diagonal
        {200, 50, 190, 70, 21},   // steep, drawn right to left
    };
    for (const LineCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x1 << "," << c.y1 << " to " << c.x2 << "," << c.y2);
        ImageSurface s;
        s.clear(kSky);
        s.line(c.x1, c.y1, c.x2, c.y2, kRed);
        const std::vector<QPoint> lit = otherthan(s.visible(), kSky);
        EXPECT_EQ(static_cast<int>(lit.size()), c.pixels);
        EXPECT_EQ(at(s, int(c.x1), int(c.y1)), torgb(kRed));
        EXPECT_EQ(at(s, int(c.x2), int(c.y2)), torgb(kRed));
        for (QPoint p : lit)
            EXPECT_EQ(s.visible().pixel(p), torgb(kRed));
    }
}

TEST(Surface, DiscCoversItsCentreAndStaysWithinItsRadius) {
    struct DiscCase {
        float cx, cy, r;
    };
    const DiscCase cases[] = {{300, 180, 1}, {300, 180, 5}, {100.5f, 50.25f, 12}, {300, 180, 40}};
    for (const DiscCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "radius " << c.r << " at " << c.cx << "," << c.cy);
        ImageSurface s;
        s.clear(kSky);
        s.disc(c.cx, c.cy, c.r, kRed, kBlack);
        EXPECT_EQ(at(s, int(c.cx), int(c.cy)), torgb(kRed));
        // The outline is on the rim, straight left, right, above and below.
        EXPECT_EQ(at(s, int(c.cx - c.r), int(c.cy)), torgb(kBlack));
        EXPECT_EQ(at(s, int(c.cx + c.r), int(c.cy)), torgb(kBlack));
        EXPECT_EQ(at(s, int(c.cx), int(c.cy - c.r)), torgb(kBlack));
        EXPECT_EQ(at(s, int(c.cx), int(c.cy + c.r)), torgb(kBlack));
        for (QPoint p : otherthan(s.visible(), kSky))
            EXPECT_LE(std::hypot(p.x() - c.cx, p.y() - c.cy), c.r + 1) << p.x() << "," << p.y();
    }
}

TEST(Surface, DiscOfRadiusZeroIsOneDotInTheOutlineColour) {
    ImageSurface s;
    s.clear(kSky);
    s.disc(40, 30, 0, kRed, kBlack);
    const std::vector<QPoint> lit = otherthan(s.visible(), kSky);
    ASSERT_EQ(lit.size(), 1u);
    EXPECT_EQ(lit[0], QPoint(40, 30));
    EXPECT_EQ(at(s, 40, 30), torgb(kBlack));
}

TEST(Surface, MeaninglessShapesDrawNothing) {
    ImageSurface s;
    s.clear(kSky);
    const uint64_t before = s.revision();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const Point one{5, 5};
    s.polygon(nullptr, 4, kGround, kBlack);
    s.polygon(&one, 0, kGround, kBlack);
    s.disc(50, 50, -3, kRed, kBlack);
    s.disc(nan, 50, 3, kRed, kBlack);
    s.line(0, 0, nan, 10, kRed);
    EXPECT_TRUE(otherthan(s.visible(), kSky).empty());
    EXPECT_EQ(s.revision(), before);
}

TEST(Surface, RestoreFromBackErasesWhatWasDrawnAfterTheSave) {
    ImageSurface s;
    s.clear(kSky);
    const Point ground[] = {{0, 250}, {600, 250}, {600, 400}, {0, 400}};
    s.polygon(ground, 4, kGround, kBlack);
    s.savetoback();
    const QImage scene = s.visible().copy();
    EXPECT_EQ(s.back(), scene);

    s.line(0, 0, 599, 359, kRed);
    s.disc(300, 100, 20, kRed, kBlack);
    EXPECT_NE(s.visible(), scene);
    EXPECT_EQ(s.back(), scene) << "drawing on the visible picture leaves the back buffer alone";

    int repaints = 0;
    s.changed = [&] { ++repaints; };
    s.restorefromback();
    EXPECT_EQ(s.visible(), scene);
    EXPECT_EQ(repaints, 1);
}

TEST(Surface, ACopyTakenByTheWidgetKeepsWhatItShowed) {
    ImageSurface s;
    s.clear(kSky);
    s.savetoback();
    const QImage shown = s.visible(); // shares pixels until the surface draws
    s.clear(kGround);
    s.restorefromback();
    s.line(0, 0, 10, 0, kRed);
    EXPECT_TRUE(otherthan(shown, kSky).empty());
}

} // namespace
} // namespace ordnix
