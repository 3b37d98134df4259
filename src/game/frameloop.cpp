// The paced frame step: the window wakes the battlefield, and a frame runs
// only when more than 20 ms have passed since the previous one. Aiming
// frames apply the held key; flight frames move the shell.
#include "game/battle.h"
#include "game/numbers.h"

#include <cmath>

namespace ordnix {

namespace {
constexpr double kGravity = 3000.0;
constexpr double kSpeedPerPower = 15.0;
} // namespace

Wake Battle::sleepuntil(double reading) {
    return {.seconds = clock_.secondsuntil(reading)};
}

void Battle::stop() {
    phase_ = Phase::Ended;
}

Wake Battle::wake() {
    if (paused_ || phase_ == Phase::Ended)
        return {.idle = true};
    const double now = clock_.now();
    switch (phase_) {
    case Phase::Waiting:
        // The loop starts: the first frame is paced from this reading.
        frames = 0;
        framepace_.restart(now);
        phase_ = shotstate == 0 ? Phase::Aiming : Phase::Flying;
        [[fallthrough]];
    case Phase::Aiming:
    case Phase::Flying:
        if (!running) {
            phase_ = Phase::Ended;
            return {.decided = true};
        }
        if (!framepace_.due(now))
            return sleepuntil(framepace_.nextwake());
        lastdt = framepace_.step(now);
        ++frames;
        frame(lastdt);
        break;
    case Phase::Exploding:
        if (!ringpace_.due(now))
            return sleepuntil(ringpace_.nextwake());
        explodering();
        ringpace_.restart(clock_.now());
        if (ringsdone())
            afterlastring();
        break;
    case Phase::Decided:
        phase_ = Phase::Ended;
        return {.decided = true};
    case Phase::Ended:
        break;
    }
    switch (phase_) {
    case Phase::Exploding:
        return sleepuntil(ringpace_.nextwake());
    case Phase::Decided:
        return {}; // the hand-over is the very next wake, as the next frame's start
    default:
        return sleepuntil(framepace_.nextwake());
    }
}

void Battle::frame(double dt) {
    if (shotstate == 0) {
        if (cur().ai)
            ki();
        if (heldkey == kKeyEnter)
            launch();
        else
            keystep(dt);
        afterkeystep();
    } else {
        flightframe(dt);
    }
    // An explosion that has begun finishes the frame after its last ring.
    if (!exploding())
        statuslines();
}

bool Battle::launch() {
    sound_.play(SoundId::Fire);
    const int w = selectedweapon();
    playerrec& p = cur();
    if (w < 0 || w >= kWeaponRows || p.ammo[w] <= 0)
        return false; // nothing leaves; Enter stays held and is tried again
    p.ammo[w] = static_cast<int16_t>(p.ammo[w] - 1);
    if (view_)
        view_->hidemarker();
    shotstate = 1;
    phase_ = Phase::Flying;
    const double a = p.angle * degtorad;
    shotvx = -std::cos(a) * p.power * kSpeedPerPower;
    shotvy = std::sin(a) * p.power * kSpeedPerPower;
    shotx = p.tipx;
    shoty = p.tipy;
    shooter = curplayer;
    heldkey = 0;
    aimed_ = false; // the next shot is aimed afresh
    return true;
}

void Battle::flightframe(double dt) {
    const double px = shotx;
    const double py = shoty;
    shotx = shotx + dt * shotvx;
    shoty = shoty - dt * shotvy;
    if (surface_)
        surface_->line(static_cast<float>(shotx), static_cast<float>(shoty), static_cast<float>(px),
                       static_cast<float>(py), kBlack);
    shotvx = shotvx - dt * wind;
    shotvy = shotvy - dt * kGravity;

    const double column = std::floor(shotx);
    bool landed = !(column >= 0.0 && column <= kFieldWidth); // left or right of the field
    if (!landed) {
        const int i = static_cast<int>(column);
        if (shoty > heights[i]) {
            shoty = heights[i];
            landed = true;
        }
    }
    if (!landed)
        return;
    if (explodestart()) {
        phase_ = Phase::Exploding; // the rings follow; the flight ends after them
        return;
    }
    endofflight();
}

void Battle::endofflight() {
    shotstate = 0;
    phase_ = running ? Phase::Aiming : Phase::Decided;
    nextplayer();
    realdraw();
    draw();
    changeplayer();
}

} // namespace ordnix
