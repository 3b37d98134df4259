#pragma once
// Rig: a running round on level ground, with the fakes, for the rules tests.

#include "clocks.h"
#include "fakes.h"
#include "game/battle.h"
#include "newgame.h"

#include <initializer_list>
#include <string>
#include <vector>

namespace ordnix {

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
