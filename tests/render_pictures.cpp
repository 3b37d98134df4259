// The battlefield pictures and the turn marker.
#include "game/battle.h"
#include "render/imagesurface.h"
#include "render/markerart.h"

#include <gtest/gtest.h>

using namespace ordnix;

TEST(Surface, PolygonIsFilledOutlinedInBlackAndLeavesTheSkyAround) {
    ImageSurface s(kSky);
    const Point square[] = {{10, 10}, {20, 10}, {20, 20}, {10, 20}};
    s.polygon(square, 4, kGround, kBlack);
    const std::pair<QPoint, Rgb> probes[] = {{{15, 15}, kGround}, {{11, 19}, kGround},
                                             {{10, 10}, kBlack},  {{20, 15}, kBlack},
                                             {{9, 15}, kSky},     {{21, 21}, kSky}};
    for (const auto& [at, colour] : probes)
        EXPECT_EQ(s.visible().pixel(at), torgb(colour)) << at.x() << "," << at.y();
}

TEST(Surface, RestoreFromBackErasesWhatWasDrawnAfterTheSave) {
    ImageSurface s(kGround);
    s.savetoback();
    const QImage scene = s.visible().copy();
    s.disc(300, 100, 20, kSky, kBlack);
    EXPECT_NE(s.visible(), scene);
    s.restorefromback();
    EXPECT_EQ(s.visible(), scene);
}

// A 32 x 32 arrow on a transparent background, its lowest row the narrow tip.
TEST(Marker, IsA32By32ArrowPointingDown) {
    const QImage m = makemarker();
    ASSERT_EQ(m.size(), QSize(32, 32));
    for (QPoint corner : {QPoint(0, 0), QPoint(31, 0), QPoint(0, 31), QPoint(31, 31)})
        EXPECT_EQ(qAlpha(m.pixel(corner)), 0) << corner.x() << "," << corner.y();
    std::vector<int> widths; // of the rows the arrow covers, top to bottom
    for (int y = 0; y < 32; ++y) {
        int n = 0;
        for (int x = 0; x < 32; ++x)
            n += qAlpha(m.pixel(x, y)) > 0;
        if (n > 0)
            widths.push_back(n);
    }
    ASSERT_GE(widths.size(), 8u);
    EXPECT_LE(widths.back(), 2);
    EXPECT_GT(*std::max_element(widths.begin(), widths.end()), widths.front());
}
