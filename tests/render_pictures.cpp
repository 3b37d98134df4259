// Drawing on the battlefield picture and its back buffer.
#include "game/battle.h"
#include "render/imagesurface.h"

#include <gtest/gtest.h>

using namespace ordnix;

// A polygon is filled and outlined in black, leaving the sky around it; a
// restore from the back buffer erases what was drawn after the save.
TEST(Surface, PolygonIsFilledAndOutlinedAndARestoreErasesIt) {
    ImageSurface s(kSky);
    s.savetoback();
    const QImage sky = s.visible().copy();
    const Point square[] = {{10, 10}, {20, 10}, {20, 20}, {10, 20}};
    s.polygon(square, 4, kGround, kBlack);
    const std::pair<QPoint, Rgb> probes[] = {{{15, 15}, kGround}, {{11, 19}, kGround},
                                             {{10, 10}, kBlack},  {{20, 15}, kBlack},
                                             {{9, 15}, kSky},     {{21, 21}, kSky}};
    for (const auto& [at, colour] : probes)
        EXPECT_EQ(s.visible().pixel(at), torgb(colour)) << at.x() << "," << at.y();
    s.restorefromback();
    EXPECT_EQ(s.visible(), sky);
}
