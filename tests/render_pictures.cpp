// Drawing on the battlefield picture and its back buffer.
#include "game/battle.h"
#include "render/imagesurface.h"

#include <gtest/gtest.h>

#include <random>

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
            EXPECT_EQ(s.back().convertToFormat(QImage::Format_RGB32),
                      saved.convertToFormat(QImage::Format_RGB32))
                << colours;
        }
    }
}

// Lines and discs light the same pixels on the one-byte pictures (painted
// there on an RGB32 copy of their box) as Qt's pen lights on a whole RGB32
// picture: inside, across the edges, far outside, on whole pixels, halves
// and any fraction.
TEST(Surface, LinesAndDiscsLightTheSamePixelsOnEitherKindOfPicture) {
    ImageSurface compact(kSky);
    ImageSurface plain(kSky, ImageSurface::Copies::Whole);
    std::mt19937 random(11);
    const auto coordinate = [&](int size) {
        const float v = std::uniform_real_distribution<float>(-40.0f, size + 40.0f)(random);
        switch (random() % 4) {
        case 0:
            return std::floor(v); // a pixel's centre
        case 1:
            return std::floor(v) + 0.5f; // between two pixels
        case 2:
            return v * 30.0f; // far outside, mostly
        default:
            return v;
        }
    };
    for (int i = 0; i < 1500; ++i) {
        const Rgb colour = playercolour(i % kPlayerSlots);
        const float x = coordinate(ImageSurface::kWidth), y = coordinate(ImageSurface::kHeight);
        if (i % 2 == 0) {
            const float x2 = coordinate(ImageSurface::kWidth);
            const float y2 = coordinate(ImageSurface::kHeight);
            compact.line(x, y, x2, y2, colour);
            plain.line(x, y, x2, y2, colour);
        } else {
            const float radius =
                i % 7 == 0 ? 0.0f : std::uniform_real_distribution<float>(0, 90)(random);
            compact.disc(x, y, radius, colour, kBlack);
            plain.disc(x, y, radius, colour, kBlack);
        }
        ASSERT_EQ(compact.visible().convertToFormat(QImage::Format_RGB32), plain.visible())
            << "after operation " << i;
    }
}
