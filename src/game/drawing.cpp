// What the battlefield shows and in which order: sky, landscape, the other
// tanks into the back buffer; then the current tank on top. The surface does
// the pixels.
#include "game/battle.h"
#include "game/numbers.h"

#include <cmath>

namespace ordnix {

Rgb playercolour(int t) {
    static constexpr Rgb colours[kPlayerSlots] = {
        {0, 0, 128},   {0, 128, 0},     {0, 128, 128},   {128, 0, 0}, {128, 0, 128},
        {128, 128, 0}, {192, 192, 192}, {128, 128, 128}, {0, 0, 255},
    };
    return colours[t];
}

double invcos(double x) {
    return std::atan(-x / std::sqrt(1.0 - x * x)) + 2.0 * std::atan(1.0);
}

TankShape tankshape(int x, int ground, int angle, double degtorad) {
    const double a = angle * degtorad;
    const double c = std::cos(a);
    const double s = std::sin(a);
    const double X = x;
    const double Y = ground;
    auto pt = [](double px, double py) {
        return Point{static_cast<int32_t>(roundeven(px)), static_cast<int32_t>(roundeven(py))};
    };
    TankShape shape;
    shape.body = {pt(X, Y), pt(X + 4, Y - 10), pt(X + 16, Y - 10), pt(X + 20, Y)};
    shape.barrel = {pt(X + 10 - 15 * c, Y - 2 - 20 * s), pt(X + 10 - 14 * c, Y - 2 - 21 * s),
                    pt(X + 11, Y - 2), pt(X + 9, Y - 2)};
    return shape;
}

void Battle::realdraw() {
    for (int i = 0; i < kColumns; ++i) {
        if (heights[i] > kFieldHeight)
            heights[i] = kFieldHeight - 1;
        outline[i].y = heights[i];
    }
    outline[kColumns] = {kFieldWidth, kClosingRow};
    outline[kColumns + 1] = {0, kClosingRow};
    if (!surface_)
        return;
    surface_->clear(kSky);
    surface_->polygon(outline.data(), kGroundPolygonPoints, kGround, kBlack);
    for (int t = 0; t < kPlayerSlots; ++t)
        if (t != curplayer)
            drawtank(t);
    surface_->savetoback();
}

void Battle::draw() {
    if (surface_)
        surface_->restorefromback();
    drawtank(curplayer);
}

void Battle::drawtank(int t) {
    playerrec& p = model_.players[t];
    if (!living(p))
        return;
    const int column = p.x + 8;
    if (column < 0 || column >= kColumns)
        return;
    const TankShape shape = tankshape(p.x, heights[column], p.angle, degtorad);
    p.tipx = store16(shape.barrel[0].x);
    p.tipy = store16(shape.barrel[0].y);
    if (!surface_)
        return;
    surface_->polygon(shape.barrel.data(), 4, playercolour(t), kBlack);
    surface_->polygon(shape.body.data(), 4, playercolour(t), kBlack);
}

} // namespace ordnix
