// The icon's scene in battlefield pixels: a hill cut from the left edge to
// the right, one tank on its top with the barrel raised to the right. Everything goes through
// ImageSurface, so the icon's pixels follow the same rules as the game's.
#include "render/iconart.h"

#include "game/battle.h"
#include "game/field.h"
#include "render/imagesurface.h"

#include <QIconEngine>
#include <QPainter>

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

    return surface.visible()
        .copy(0, 0, kIconArtSize, kIconArtSize)
        .convertToFormat(QImage::Format_RGB32);
}

namespace {

QImage scaledart(const QImage& art, int size) {
    const Qt::TransformationMode mode =
        size % kIconArtSize == 0 ? Qt::FastTransformation : Qt::SmoothTransformation;
    return art.scaled(size, size, Qt::IgnoreAspectRatio, mode);
}

// The window icon keeps only the 32 x 32 art and draws each size when it is
// asked for (a window hands its icon to the desktop once, when it opens):
// every size kept ready would hold some 350 kB all the time.
class ArtIconEngine final : public QIconEngine {
  public:
    explicit ArtIconEngine(QImage art) : art_(std::move(art)) {}

    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override {
        const int side = std::min(size.width(), size.height());
        return QSize(side, side);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        const QSize actual = actualSize(size, mode, state);
        if (actual.isEmpty())
            return QPixmap();
        return QPixmap::fromImage(scaledart(art_, actual.width()));
    }
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        const QPixmap drawn = pixmap(rect.size(), mode, state);
        painter->drawPixmap(rect.topLeft(), drawn);
    }
    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override {
        QList<QSize> sizes;
        for (int size : kWindowIconSizes)
            sizes.append(QSize(size, size));
        return sizes;
    }
    QIconEngine* clone() const override { return new ArtIconEngine(art_); }
    QString key() const override { return QStringLiteral("ordnix-art"); }

  private:
    QImage art_;
};

} // namespace

QImage makeicon(int size) {
    return scaledart(makeiconart(), size);
}

QIcon makewindowicon() {
    return QIcon(new ArtIconEngine(makeiconart()));
}

} // namespace ordnix
