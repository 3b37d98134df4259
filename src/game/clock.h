#pragma once
// The battlefield's clock: seconds of monotonic time. The game's numbers were
// tuned on a clock that ticks in 1/64 second, so readings are whole ticks.

namespace ordnix {

constexpr double kTick = 1.0 / 64.0;

class Clock {
  public:
    virtual ~Clock() = default;
    virtual double now() = 0;
    // Real seconds from now until the clock reads `reading`; what a timer
    // sleeps for.
    virtual double secondsuntil(double reading) { return reading - now(); }
};

// Monotonic time rounded down to a whole tick: never goes backwards, knows
// no midnight.
class TickClock final : public Clock {
  public:
    double now() override;
    double secondsuntil(double reading) override;
};

// Monotonic time in seconds, unrounded: what a timer sleeps against.
double monotonicseconds();

// Rounds a time in seconds down to a whole tick.
double totick(double seconds);

// The earliest tick reading strictly later than t.
double firsttickafter(double t);

} // namespace ordnix
