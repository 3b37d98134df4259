// The rules' own cost: a whole round between computer players, without
// drawing, with a clock that jumps straight to each wake-up.
#include "clocks.h"
#include "fakes.h"
#include "game/battle.h"
#include "newgame.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

using namespace ordnix;

void BM_ComputerRound(benchmark::State& state) {
    const int players = static_cast<int>(state.range(0));
    long frames = 0;
    uint64_t seed = 1;
    for (auto _ : state) {
        Model model = newgame(std::vector<std::string>(players, "*"));
        MixRandom random(seed++);
        JumpClock clock;
        FakeSound sound;
        Battle battle(model, random, clock, sound);
        battle.setup();
        battle.begin();
        while (!battle.wake().decided) {
        }
        frames += battle.frames;
    }
    state.counters["frames/round"] =
        benchmark::Counter(static_cast<double>(frames), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_ComputerRound)->Arg(2)->Arg(8)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
