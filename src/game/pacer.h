#pragma once
// Paces the battlefield's steps, frames and explosion rings alike: a step is
// due when more than 20 ms of real time have passed since the reading it is
// paced from, and it then advances game time by half the real time.

#include "game/clock.h"

namespace ordnix {

constexpr double kShortestWait = 0.02;        // real seconds: no two steps come closer
constexpr double kRealSecondsPerGameTime = 2; // game time runs at half real speed

class Pacer {
  public:
    // Paces the next step from this reading.
    void restart(double now) { last_ = now; }
    bool due(double now) const { return now - last_ > kShortestWait; }
    // Takes the step at `now`: returns its dt and paces the next one from here.
    double step(double now) {
        const double dt = (now - last_) / kRealSecondsPerGameTime;
        last_ = now;
        return dt;
    }
    // The first clock reading at which the next step is due.
    double nextwake() const { return firsttickafter(last_ + kShortestWait); }

  private:
    double last_ = 0;
};

} // namespace ordnix
