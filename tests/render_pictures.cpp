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

// The back buffer keeps every colour exactly, a scene's handful or more
// than a colour table holds: a restore brings back every pixel saved, and
// so does one after a later save of a part of the picture.
TEST(Surface, ARestoreBringsBackEverySavedPixelWhateverTheColours) {
    for (int colours : {1, 12, 256, 257, 700}) {
        for (auto copies : {ImageSurface::Copies::Changed, ImageSurface::Copies::Whole}) {
            ImageSurface s(kSky, copies);
            const auto dots = [&](int from, int to) { // a pixel of a colour of its own each
                for (int i = from; i < to; ++i) {
                    const Point at{i % 600, 2 * (i / 600) + 1};
                    const Rgb c{static_cast<uint8_t>(i), static_cast<uint8_t>(i >> 8), 7};
                    s.polygon(&at, 1, c, c);
                }
            };
            const Point all[] = {{0, 0}, {599, 0}, {599, 359}, {0, 359}};
            dots(0, colours / 2);
            s.savetoback();
            dots(colours / 2, colours);
            s.savetoback();
            const QImage saved = s.visible().copy();
            s.polygon(all, 4, kGround, kBlack);
            s.restorefromback();
            EXPECT_EQ(s.visible(), saved) << colours << " colours";
            EXPECT_EQ(s.back().convertToFormat(QImage::Format_RGB32), saved) << colours;
        }
    }
}
