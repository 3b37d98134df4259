#include "game/clock.h"

#include <chrono>
#include <cmath>

namespace ordnix {

double totick(double seconds) {
    return std::floor(seconds / kTick) * kTick;
}

double firsttickafter(double t) {
    return totick(t) + kTick;
}

double monotonicseconds() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

double TickClock::now() {
    return totick(monotonicseconds());
}

double TickClock::secondsuntil(double reading) {
    return reading - monotonicseconds();
}

} // namespace ordnix
