// The icon's scene in battlefield pixels: a hill cut from the left edge to
// the right, one tank on its top with the barrel raised to the right. Everything goes through
// ImageSurface, so the icon's pixels follow the same rules as the game's.
#include "render/iconart.h"

#include "game/battle.h"
#include "game/field.h"
#include "render/imagesurface.h"

#include <array>

namespace ordnix {

namespace {

constexpr int kTankColour = 3; // the fourth player's red stands out on blue and green
constexpr int kTankX = 5;
constexpr int kTankGround = 27;
constexpr int kBarrelAngle = 140; // 0 is left, 90 up, 180 right

} // namespace

QImage makeiconart() {
    ImageSurface surface(kSky);
    surface.clear(kSky);
    const std::array<Point, 7> hill = {
        Point{-1, 30}, Point{5, 27},  Point{15, 26}, Point{25, 27},
        Point{32, 30}, Point{32, 40}, Point{-1, 40},
    };
    surface.polygon(hill.data(), static_cast<int>(hill.size()), kGround, kBlack);

    const TankShape tank = tankshape(kTankX, kTankGround, kBarrelAngle, kDegToRad);
    surface.polygon(tank.barrel.data(), 4, playercolour(kTankColour), kBlack);
    surface.polygon(tank.body.data(), 4, playercolour(kTankColour), kBlack);

    return surface.visible().copy(0, 0, kIconArtSize, kIconArtSize);
}

QImage makeicon(int size) {
    const QImage art = makeiconart();
    const Qt::TransformationMode mode =
        size % kIconArtSize == 0 ? Qt::FastTransformation : Qt::SmoothTransformation;
    return art.scaled(size, size, Qt::IgnoreAspectRatio, mode);
}

QIcon makewindowicon() {
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128, 256})
        icon.addPixmap(QPixmap::fromImage(makeicon(size)));
    return icon;
}

} // namespace ordnix
