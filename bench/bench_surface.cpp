// The aiming redraw: copy the back buffer onto the visible picture, then draw
// the current tank's barrel and body. This runs every frame an angle key is held.
#include "game/battle.h"
#include "render/imagesurface.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

namespace {

using namespace ordnix;

// Rolling hills with a crater cut into them.
std::vector<Point> landscape() {
    std::vector<Point> land;
    for (int i = 0; i <= 600; ++i) {
        double h = 220 + 40 * std::sin(i / 50.0) + 8 * std::sin(i / 7.0);
        const double d = (i - 300) / 30.0;
        if (d > -1 && d < 1)
            h += 30 * std::sqrt(1 - d * d);
        land.push_back({i, static_cast<int32_t>(h)});
    }
    land.push_back({600, 400});
    land.push_back({0, 400});
    return land;
}

void scene(ImageSurface& s) {
    const std::vector<Point> land = landscape();
    s.clear(kSky);
    s.polygon(land.data(), static_cast<int>(land.size()), kGround, kBlack);
    s.savetoback();
}

void BM_AimingRedraw(benchmark::State& state) {
    ImageSurface s;
    scene(s);
    int angle = 0;
    for (auto _ : state) {
        const TankShape t = tankshape(300, 220, angle, 3.14 / 180);
        angle = (angle + 1) % 181;
        s.restorefromback();
        s.polygon(t.barrel.data(), 4, playercolour(0), kBlack);
        s.polygon(t.body.data(), 4, playercolour(0), kBlack);
        benchmark::DoNotOptimize(s.visible().constBits());
    }
}
BENCHMARK(BM_AimingRedraw)->Unit(benchmark::kMicrosecond);

void BM_RestoreFromBack(benchmark::State& state) {
    ImageSurface s;
    scene(s);
    for (auto _ : state) {
        s.restorefromback();
        benchmark::DoNotOptimize(s.visible().constBits());
    }
}
BENCHMARK(BM_RestoreFromBack)->Unit(benchmark::kMicrosecond);

void BM_TankPolygons(benchmark::State& state) {
    ImageSurface s;
    scene(s);
    const TankShape t = tankshape(300, 220, 45, 3.14 / 180);
    for (auto _ : state) {
        s.polygon(t.barrel.data(), 4, playercolour(0), kBlack);
        s.polygon(t.body.data(), 4, playercolour(0), kBlack);
        benchmark::DoNotOptimize(s.visible().constBits());
    }
}
BENCHMARK(BM_TankPolygons)->Unit(benchmark::kMicrosecond);

// The 603-point landscape polygon alone, filled and outlined.
void BM_LandscapePolygon(benchmark::State& state) {
    ImageSurface s;
    const std::vector<Point> land = landscape();
    for (auto _ : state) {
        s.polygon(land.data(), static_cast<int>(land.size()), kGround, kBlack);
        benchmark::DoNotOptimize(s.visible().constBits());
    }
}
BENCHMARK(BM_LandscapePolygon)->Unit(benchmark::kMicrosecond);

// Rebuilding the scene after a crater or a change of player: the 603-point
// landscape and a block copy into the back buffer.
void BM_Realdraw(benchmark::State& state) {
    ImageSurface s;
    for (auto _ : state)
        scene(s);
}
BENCHMARK(BM_Realdraw)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
