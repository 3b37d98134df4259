// The rules' own cost: a whole round between computer players, without
// drawing, with a clock that jumps straight to each wake-up.
#include "game/battle.h"

#include <benchmark/benchmark.h>

namespace {

using namespace ordnix;

class JumpClock final : public Clock {
  public:
    double now() override { return t; }
    double t = 1000.0;
};

class Silence final : public Sound {
  public:
    void play(SoundId) override {}
};

void BM_ComputerRound(benchmark::State& state) {
    const int players = static_cast<int>(state.range(0));
    long frames = 0;
    uint64_t seed = 1;
    for (auto _ : state) {
        Model model;
        initweapons(model);
        model.lastplayer = static_cast<int16_t>(players - 1);
        std::array<PlayerChoice, 8> choices{};
        for (auto& c : choices)
            c.ai = true;
        startgame(model, choices);
        MixRandom random(seed++);
        JumpClock clock;
        Silence sound;
        Battle battle(model, random, clock, sound);
        battle.setup();
        battle.begin();
        for (;;) {
            const Wake next = battle.wake();
            if (next.decided)
                break;
            clock.t += next.seconds;
        }
        frames += battle.frames;
    }
    state.counters["frames/round"] =
        benchmark::Counter(static_cast<double>(frames), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_ComputerRound)->Arg(2)->Arg(8)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
