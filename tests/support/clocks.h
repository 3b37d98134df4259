#pragma once
// Clocks for the battlefield that do not wait for real time, or wait less.

#include "game/clock.h"

namespace ordnix {

// Stands still at `t` until the test moves it.
struct FakeClock final : Clock {
    double t = 1000.0;
    double now() override { return t; }
};

// Stands still until the battlefield asks to sleep; then it is already
// there. Every frame and ring comes the moment it is due, with the dt of an
// unhurried machine, however busy this one is. A sleep still takes
// `realpause` real seconds (none by default): enough for a test that polls
// the event loop every millisecond to see each step. A test may move `t` on
// by hand, for a wait that the player makes.
struct JumpClock final : Clock {
    explicit JumpClock(double realpause = 0) : realpause(realpause) {}
    double now() override { return t; }
    double secondsuntil(double reading) override {
        if (reading > t)
            t = reading;
        return realpause;
    }
    double t = 1000.0;
    double realpause;
};

// The tick clock on a time that runs `speed` times faster than real time;
// the battlefield's timers sleep the shorter real time that this takes.
struct SpeededClock final : Clock {
    explicit SpeededClock(double speed) : speed(speed) {}
    double now() override { return totick(monotonicseconds() * speed); }
    double secondsuntil(double at) override { return at / speed - monotonicseconds(); }
    double speed;
};

} // namespace ordnix
