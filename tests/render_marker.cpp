// The turn marker: a 32 x 32 arrow pointing down, opaque on a transparent
// background.
#include "render/markerart.h"

#include <gtest/gtest.h>

namespace ordnix {
namespace {

// Columns of row y that the arrow covers.
int rowwidth(const QImage& m, int y) {
    int n = 0;
    for (int x = 0; x < m.width(); ++x)
        n += qAlpha(m.pixel(x, y)) > 0;
    return n;
}

TEST(Marker, IsA32By32PictureWithATransparentBackground) {
    const QImage m = makemarker();
    EXPECT_EQ(m.size(), QSize(32, 32));
    EXPECT_TRUE(m.hasAlphaChannel());
    for (QPoint corner : {QPoint(0, 0), QPoint(31, 0), QPoint(0, 31), QPoint(31, 31)})
        EXPECT_EQ(qAlpha(m.pixel(corner)), 0) << corner.x() << "," << corner.y();
    // Pixel art: every pixel is either background or fully opaque.
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const int a = qAlpha(m.pixel(x, y));
            EXPECT_TRUE(a == 0 || a == 255) << x << "," << y;
        }
}

TEST(Marker, ArrowPointsDownSymmetricAboutTheMiddle) {
    const QImage m = makemarker();
    int top = -1, tip = -1, widest = -1;
    for (int y = 0; y < 32; ++y) {
        const int w = rowwidth(m, y);
        if (w == 0)
            continue;
        if (top < 0)
            top = y;
        tip = y;
        if (widest < 0 || w > rowwidth(m, widest))
            widest = y;
        for (int x = 0; x < 16; ++x)
            EXPECT_EQ(qAlpha(m.pixel(x, y)), qAlpha(m.pixel(31 - x, y))) << x << "," << y;
    }
    ASSERT_GE(top, 0);
    // A solid middle from the shaft's top to the tip, widest across the head.
    for (int y = top; y <= tip; ++y) {
        EXPECT_EQ(qAlpha(m.pixel(15, y)), 255) << y;
        EXPECT_EQ(qAlpha(m.pixel(16, y)), 255) << y;
    }
    EXPECT_GT(widest, top);
    EXPECT_LT(widest, tip);
    EXPECT_LE(rowwidth(m, tip), 2);
    EXPECT_GT(rowwidth(m, widest), rowwidth(m, top));
}

TEST(Marker, BodyShadesFromBlueAtTheTopToPurpleAtTheTipInsideALightEdge) {
    const QImage m = makemarker();
    // The first arrow pixel of the middle column is edge: light in every channel.
    int top = 0;
    while (qAlpha(m.pixel(15, top)) == 0)
        ++top;
    const QRgb edge = m.pixel(15, top);
    EXPECT_GT(qRed(edge), 200);
    EXPECT_GT(qGreen(edge), 200);
    EXPECT_GT(qBlue(edge), 200);
    // Below it, blue dominates; towards the tip red rises into purple.
    const QRgb upper = m.pixel(15, top + 3);
    const QRgb lower = m.pixel(15, 25);
    EXPECT_GT(qBlue(upper), qRed(upper) * 2);
    EXPECT_GT(qRed(lower), qRed(upper));
    EXPECT_GT(qRed(lower), qGreen(lower) * 2);
    EXPECT_GT(qBlue(lower), qGreen(lower) * 2);
}

} // namespace
} // namespace ordnix
