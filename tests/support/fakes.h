#pragma once
// Stand-ins for the surface, the sound and the random generator that the
// rules reach through their ports: they record or script, and draw nothing.

#include "game/ports.h"
#include "game/random.h"

#include <deque>
#include <vector>

namespace ordnix {

// Remembers the radius of every blast ring; draws nothing else.
struct FakeSurface final : Surface {
    std::vector<float> rings;
    void clear(Rgb) override {}
    void polygon(const Point*, int, Rgb, Rgb) override {}
    void line(float, float, float, float, Rgb) override {}
    void disc(float, float, float radius, Rgb, Rgb) override { rings.push_back(radius); }
    void savetoback() override {}
    void restorefromback() override {}
};

// Counts what was played, and plays nothing.
struct FakeSound final : Sound {
    int fires = 0, explosions = 0;
    void play(SoundId id) override { ++(id == SoundId::Fire ? fires : explosions); }
};

// Returns the scripted values in order; running out throws (deque::at), so
// that no retry loop can hang and the test fails.
struct ScriptedRandom final : Random {
    std::deque<double> script;
    double draw() override {
        const double v = script.at(0);
        script.pop_front();
        return v;
    }
    void reseed(double) override {}
};

} // namespace ordnix
