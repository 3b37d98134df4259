// The paced frame step: the window wakes the battlefield, and a frame runs
// only when more than 20 ms have passed since the previous one. Aiming
// frames apply the held key; flight frames move the shell.
#include "game/battle.h"
#include "game/numbers.h"

#include <cmath>

namespace ordnix {

namespace {
// A step is due when half the elapsed seconds exceed this.
constexpr double kShortestStep = 0.01;
constexpr double kGravity = 3000.0;
constexpr double kSpeedPerPower = 15.0;

bool due(double now, double since) {
    return (now - since) / 2.0 > kShortestStep;
}
double firstdue(double since) {
    return firsttickafter(since + 2.0 * kShortestStep);
}
} // namespace

void Battle::startloop() {
    looping_ = true;
    frames = 0;
    haveprev_ = false;
}

Wake Battle::wake() {
    const double now = clock_.now();
    if (!looping_)
        return {false, now + 1.0};
    if (exploding()) {
        if (!due(now, ringwait_))
            return {false, firstdue(ringwait_)};
        explodering();
        ringwait_ = clock_.now();
        if (ringsdone()) {
            explodefinish();
            endofflight();
            statuslines();
        }
    } else {
        if (!running) {
            looping_ = false;
            return {true, now};
        }
        if (!haveprev_) {
            prevtime_ = now;
            haveprev_ = true;
        }
        if (!due(now, prevtime_))
            return {false, firstdue(prevtime_)};
        const double dt = (now - prevtime_) / 2.0;
        prevtime_ = now;
        ++frames;
        lastdt = dt;
        frame(dt);
    }
    if (exploding())
        return {false, firstdue(ringwait_)};
    if (!running)
        return {false, now}; // the round is over: hand over at the next wake
    return {false, firstdue(prevtime_)};
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

int Battle::selectedweapon() const {
    return view_ ? view_->selectedweapon() : model_.players[curplayer].curweapon;
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
    bool landed = !(column >= 0.0 && column <= 600.0); // left or right of the field
    if (!landed) {
        const int i = static_cast<int>(column);
        if (shoty > heights[i]) {
            shoty = heights[i];
            landed = true;
        }
    }
    if (!landed)
        return;
    if (explodestart())
        return; // the rings follow; the flight ends after them
    endofflight();
}

void Battle::endofflight() {
    shotstate = 0;
    nextplayer();
    realdraw();
    draw();
    changeplayer();
}

} // namespace ordnix
