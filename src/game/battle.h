#pragma once
// One round on the battlefield: the battlefield state, round setup, drawing
// order, the paced frame step with the shell's flight, the explosion, turns,
// the key step and the computer player. The battlefield window drives it from
// the event loop; tests drive it with scripted random values and chosen dt.

#include "game/clock.h"
#include "game/field.h"
#include "game/keys.h"
#include "game/model.h"
#include "game/pacer.h"
#include "game/ports.h"
#include "game/random.h"

#include <array>
#include <cstdint>

namespace ordnix {

// Fill colour of player t's tank: colour t + 1 of the standard 16 colours.
Rgb playercolour(int t);

// Arc cosine in radians for -1 < x < 1.
double invcos(double x);

// A tank's two polygons, each coordinate rounded halves to even. The muzzle
// point is barrel[0].
struct TankShape {
    std::array<Point, 4> body;
    std::array<Point, 4> barrel;
};
TankShape tankshape(int x, int ground, int angle, double degtorad);

// Where the round stands, as wake() sees it. `shotstate` is the rules' own
// name for Aiming (0) and Flying (1) and moves in step with it.
//   Waiting    set up, the loop not started: the first wake starts the pacing
//   Aiming     frames apply the held key or the computer player's aim
//   Flying     frames move the shell
//   Exploding  a ring per wake; after the last, the rest of the landing frame
//   Decided    at most one tank is left: the next wake hands over
//   Ended      handed over or stopped: wakes do nothing
enum class Phase { Waiting, Aiming, Flying, Exploding, Decided, Ended };

// What the window should do after a wake-up.
struct Wake {
    bool decided = false; // round over: show the results, close the battlefield
    bool idle = false;    // paused or ended: nothing to wake for
    double seconds = 0;   // otherwise: how long to sleep before the next wake
};

class Battle {
  public:
    Battle(Model& model, Random& random, Clock& clock, Sound& sound);

    // The window that shows this round.
    void attach(Surface* surface, BattleView* view);
    // Detaches the window drawing on `surface`, if it is still the attached
    // one; the round itself goes on (stop() ends it).
    void detach(const Surface* surface);
    bool attached(const Surface* surface) const { return surface && surface_ == surface; }

    // Round setup up to the landscape; the window is shown after it, then
    // begin() draws the scene and prepares the first turn.
    void setup();
    void begin();

    // The window's timer calls this: the first wake starts the frame loop,
    // every later one runs a frame, a ring of the explosion, the hand-over,
    // or nothing when it is too early. It says how long to sleep.
    Wake wake();
    // The quit question: no frame and no ring runs until resume(); the first
    // frame after it covers the whole pause in one long dt.
    void pause() { paused_ = true; }
    void resume() { paused_ = false; }
    bool paused() const { return paused_; }
    // The window is gone or the program ends: no wake does anything any more.
    void stop();
    Phase phase() const { return phase_; }

    // Drawing.
    void realdraw();
    void draw();
    void drawtank(int t);

    // Turns.
    void nextplayer();
    void changeplayer();
    void statuslines();
    std::string statusline2() const;
    std::string statusline1() const;

    // Player controls. The window reports every change of the weapon list's
    // selection (weaponselected), a choice made in it (weaponclicked) and a
    // key released on it (weaponkeyup); without a window a caller does.
    void keydown(int code);
    void keyup();
    // A press of `code` now would change nothing: the key is held already
    // and its step is done, or a computer player has the turn. (Key repeat
    // sends such presses some 25 times a second.)
    bool pressisredundant(int code) const;
    void weaponselected(int index) { listweapon_ = index; }
    void weaponclicked(int index);
    void weaponkeyup(int index);
    void keystep(double dt);

    // One frame of the loop with the given dt: aiming or flight, then the
    // status lines. A flight that lands in the field starts the explosion,
    // whose rings the following wakes run. explode() is the blast alone at
    // once (rings without pauses, crater, damage, the count), without the
    // turn passing; finishexplosion() runs what is left of a pending
    // explosion at once, the rest of its frame included.
    void frame(double dt);
    bool launch();
    void flightframe(double dt);
    void explode();
    void finishexplosion();
    void ki();

    bool exploding() const { return phase_ == Phase::Exploding; }

    // Frames run in this round, and the last frame's dt: for measuring.
    long frames = 0;
    double lastdt = 0;

    // Battlefield state.
    bool running = false;
    int16_t shotstate = 0;
    std::array<int16_t, kColumns> heights{};
    std::array<Point, kOutlinePoints> outline{};
    double shotx = 0, shoty = 0, shotvx = 0, shotvy = 0;
    int16_t heldkey = 0;
    double degtorad = 0;
    double wind = 0;
    int16_t curplayer = 0;
    int16_t shooter = 0;

  private:
    playerrec& cur() { return model_.players[curplayer]; }
    void afterkeystep(); // a press released before its key step lets go now
    void kiaim();        // the computer player's aim, once per turn
    // A choice made in the weapon list, by a click or a key released on it.
    void chooseweapon(int index, const char* caption);
    // The weapon list's selected entry, the one a launch and a blast use.
    int selectedweapon() const { return listweapon_; }
    void wave(bool second);
    Wake sleepuntil(double reading);
    // The explosion in its stages, and what follows the end of a flight.
    bool explodestart(); // false: nothing more to do (off the field)
    bool ringsdone() const;
    void explodering();
    void remainingrings(); // the rings not drawn yet, at once, without pauses
    void explodefinish();
    void afterlastring(); // the rest of the frame the shell landed in
    void endofflight();
    void craterdamage();

    Model& model_;
    Random& random_;
    Clock& clock_;
    Sound& sound_;
    Surface* surface_ = nullptr;
    BattleView* view_ = nullptr;

    // The round's phase, and the pacing of its frames and explosion rings.
    Phase phase_ = Phase::Waiting;
    bool paused_ = false;
    Pacer framepace_;
    Pacer ringpace_;
    // Explosion in progress: ring radius and step.
    double ringr_ = 0, ringstep_ = 0;
    int blastradius_ = 0; // read when the explosion starts

    // A press while a human aims that no key step has applied yet, and
    // whether its key is already up again: then it lets go after that step.
    bool keyunapplied_ = false;
    bool releaseafterstep_ = false;
    // The weapon list's selection as the window last reported it or the
    // rules last set it (-1: none).
    int listweapon_ = 0;
    // The computer player has aimed the shot it is launching; until a launch
    // succeeds, a failed one is retried with that aim.
    bool aimed_ = false;
};

} // namespace ordnix
