#pragma once
// Stand-ins for what the rules reach through their interfaces, and Rig: a
// Battle on a level field with the players as the setup window leaves them.

#include "game/battle.h"

#include <gtest/gtest.h>

#include <deque>
#include <stdexcept>
#include <string>
#include <vector>

namespace ordnix {

class FakeClock final : public Clock {
  public:
    double t = 1000.0;
    double now() override { return t; }
};

// Remembers the radius of every blast ring; draws nothing else.
class FakeSurface final : public Surface {
  public:
    std::vector<float> rings;
    void clear(Rgb) override {}
    void polygon(const Point*, int, Rgb, Rgb) override {}
    void line(float, float, float, float, Rgb) override {}
    void disc(float, float, float radius, Rgb, Rgb) override { rings.push_back(radius); }
    void savetoback() override {}
    void restorefromback() override {}
};

// A weapon list with a chosen selection; the other controls are ignored.
class FakeView final : public BattleView {
  public:
    int selected = 0;
    void setweapons(const std::vector<std::string>&) override {}
    void selectweapon(int) override {}
    int selectedweapon() const override { return selected; }
    void setammolabel(const std::string&) override {}
    void focusbattlefield() override {}
    void showmarker(int, int) override {}
    void hidemarker() override {}
    void setstatus(const std::string&, const std::string&) override {}
};

class FakeSound final : public Sound {
  public:
    int fires = 0, explosions = 0;
    void play(SoundId id) override { ++(id == SoundId::Fire ? fires : explosions); }
};

// Returns the scripted values in order; running out throws, so that no retry
// loop can hang and the test fails.
class ScriptedRandom final : public Random {
  public:
    std::deque<double> script;
    double draw() override {
        if (script.empty())
            throw std::runtime_error("random script ran out");
        const double v = script.front();
        script.pop_front();
        return v;
    }
    void reseed(double) override {}
};

// Players 0..players-1 as the setup window leaves them: 100 hit points,
// angle 30, power 50, basic shots, evenly spaced columns.
inline void seatplayers(Model& m, int players, bool ai) {
    initweapons(m);
    m.lastplayer = static_cast<int16_t>(players - 1);
    std::array<PlayerChoice, 8> choices;
    choices.fill({"P", ai});
    startgame(m, choices);
}

// A running round on level ground at row 250, player 0 to move, no window.
struct Rig {
    Model model;
    ScriptedRandom random;
    FakeClock clock;
    FakeSound sound;
    Battle battle{model, random, clock, sound};

    explicit Rig(int players = 2, bool ai = false) {
        seatplayers(model, players, ai);
        battle.heights.fill(250);
        battle.degtorad = 3.14 / 180.0;
        battle.running = true;
    }
    playerrec& player(int i) { return model.players[i]; }
    void push(std::initializer_list<double> values) {
        random.script.insert(random.script.end(), values);
    }
    // Player 0 fires `weapon` and the shell comes down at (x, y).
    void blast(int weapon, double x, double y = 250) {
        player(0).curweapon = static_cast<int16_t>(weapon);
        battle.shotx = x;
        battle.shoty = y;
        battle.explode();
    }
};

} // namespace ordnix
