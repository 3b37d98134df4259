// The start of a round: who begins, and a new landscape of two waves.
#include "game/battle.h"
#include "game/numbers.h"

#include <cmath>

namespace ordnix {

Battle::Battle(Model& model, Random& random, Clock& clock, Sound& sound)
    : model_(model), random_(random), clock_(clock), sound_(sound) {}

void Battle::attach(Surface* surface, BattleView* view) {
    surface_ = surface;
    view_ = view;
}

void Battle::detach(const Surface* surface) {
    if (surface_ != surface)
        return;
    surface_ = nullptr;
    view_ = nullptr;
}

void Battle::setup() {
    curplayer = store16(random_.draw() * model_.lastplayer);
    running = true;
    degtorad = kDegToRad;
    wave(false);
    wave(true);
    outline[kColumns] = {kFieldWidth, kClosingRow};
    outline[kColumns + 1] = {0, kClosingRow};
    phase_ = Phase::Waiting;
    paused_ = false;
}

void Battle::begin() {
    realdraw();
    draw();
    changeplayer();
}

// One sinusoid across the field whose amplitude drifts from column to column.
// Parameters and arguments are single precision, the height in double.
void Battle::wave(bool second) {
    auto fresh = [this]() {
        random_.reseed(clock_.now());
        return static_cast<float>(random_.draw());
    };
    float a = fresh();
    const float g = fresh();
    const float d = fresh();
    const float p = fresh();
    float w = 50.0f + fresh();
    float k = 1.0f;
    for (int x = 0; x < kColumns; ++x) {
        a = a + g / 200.0f;
        k = k - d / 300.0f;
        if (2.0f * p == static_cast<float>(x))
            w = 50.0f + fresh();
        const double amplitude = static_cast<double>(k) * 40.0 * static_cast<double>(a);
        if (!second) {
            const float arg = (static_cast<float>(x) - p) / w;
            heights[x] = store16(250.0 + p - amplitude * std::sin(static_cast<double>(arg)));
        } else {
            const float arg = (static_cast<float>(x) - 3.0f * p) / w;
            heights[x] = store16(heights[x] - amplitude * std::cos(static_cast<double>(arg)));
            outline[x] = {x, heights[x]};
        }
    }
}

} // namespace ordnix
