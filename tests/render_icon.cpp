// The game's icon: the battlefield's tank on its hill, at every size the
// icon theme and the windows use.
#include "game/battle.h"
#include "render/iconart.h"
#include "render/imagesurface.h"

#include <QIcon>
#include <QPixmap>
#include <QSet>

#include <gtest/gtest.h>

using namespace ordnix;

// The art shows the sky, the ground, a tank in a player colour and black
// outlines, and nothing else: it is drawn by the battlefield's own rules.
TEST(Icon, ArtIsTheBattlefieldsSkyGroundTankAndOutlines) {
    const QImage art = makeiconart();
    ASSERT_EQ(art.size(), QSize(kIconArtSize, kIconArtSize));
    QSet<QRgb> colours;
    for (int y = 0; y < art.height(); ++y)
        for (int x = 0; x < art.width(); ++x)
            colours.insert(art.pixel(x, y));
    const QSet<QRgb> want = {torgb(kSky), torgb(kGround), torgb(kBlack), torgb(playercolour(3))};
    EXPECT_EQ(colours, want);
}

// Whole multiples of the art repeat its pixels, so the large icons stay
// crisp pixel art; the in-between sizes still have exactly the asked size.
TEST(Icon, EverySizeIsSquareAndMultiplesRepeatTheArtsPixels) {
    const QImage art = makeiconart();
    for (int size : {16, 32, 48, 64, 128, 256}) {
        const QImage icon = makeicon(size);
        ASSERT_EQ(icon.size(), QSize(size, size)) << size;
        if (size % kIconArtSize != 0)
            continue;
        const int k = size / kIconArtSize;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x)
                ASSERT_EQ(icon.pixel(x, y), art.pixel(x / k, y / k))
                    << size << ": " << x << "," << y;
    }
}

// The windows' icon hands the desktop the theme's sizes up to 128, each
// exactly as the theme's file of that size has it, and still draws a bigger
// one the same way when asked.
TEST(Icon, WindowIconHasTheThemeSizesUpTo128AsTheThemeDrawsThem) {
    const QIcon icon = makewindowicon();
    QList<QSize> sizes;
    for (int size : {16, 32, 48, 64, 128})
        sizes.append(QSize(size, size));
    EXPECT_EQ(icon.availableSizes(), sizes);
    for (const QSize& size : sizes + QList<QSize>{QSize(256, 256)})
        EXPECT_EQ(icon.pixmap(size).toImage().convertToFormat(QImage::Format_RGB32),
                  makeicon(size.width()))
            << size.width();
}
