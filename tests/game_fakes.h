#pragma once
// Stand-ins for what the rules reach through their interfaces, a new game as
// the setup window leaves it, and Rig: a Battle on a level field. The window
// tests use them as well.

#include "game/battle.h"

#include <gtest/gtest.h>

#include <deque>
#include <tuple>

namespace ordnix {

struct FakeClock final : Clock {
    double t = 1000.0;
    double now() override { return t; }
};

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

// A game just set up for the named players ("*" before a name: a computer
// player): 100 hit points, angle 30, power 50, basic shots, spread columns.
inline Model newgame(const std::vector<std::string>& names) {
    Model m;
    initweapons(m);
    m.lastplayer = static_cast<int16_t>(names.size() - 1);
    std::array<PlayerChoice, 8> choices;
    for (size_t i = 0; i < names.size(); ++i)
        choices[i] = {names[i].substr(names[i].starts_with('*')), names[i].starts_with('*')};
    startgame(m, choices);
    return m;
}

// A player slot in the zeroed state of program start, as every slot above
// lastplayer stays.
inline bool pristine(const playerrec& p) {
    const std::array<int16_t, kWeaponRows> none{};
    return p.target == 0 && p.impactx == 0 && !p.ai && p.money == 0 && p.ammo == none && p.x == 0 &&
           p.curweapon == 0 && p.angle == 0 && p.hitpoints == 0 && p.power == 0 && p.tipx == 0 &&
           p.tipy == 0 && p.name.empty() && p.roundscore == 0 && p.totalscore == 0;
}

// A running round on level ground at row 250, player 0 to move, no window;
// the first tanks stand at `columns` if given.
struct Rig {
    Model model;
    ScriptedRandom random;
    FakeClock clock;
    FakeSound sound;
    Battle battle{model, random, clock, sound};

    explicit Rig(int players = 2, bool ai = false, std::initializer_list<int> columns = {})
        : model(newgame(std::vector<std::string>(players, ai ? "*P" : "P"))) {
        for (size_t i = 0; i < columns.size(); ++i)
            player(i).x = static_cast<int16_t>(columns.begin()[i]);
        battle.heights.fill(250);
        battle.degtorad = kDegToRad;
        battle.running = true;
    }
    playerrec& player(int i) { return model.players[i]; }
    void push(std::initializer_list<double> v) { random.script.insert(random.script.end(), v); }
    // Player 0 fires `weapon` and the shell comes down at (x, y).
    void blast(int weapon, double x, double y = 250) {
        battle.weaponclicked(weapon); // chosen in the list: player 0's weapon
        battle.shotx = x;
        battle.shoty = y;
        battle.explode();
    }
};

} // namespace ordnix
