#pragma once
// A new game as the setup window leaves it, and the player slot that no game
// has touched.

#include "game/model.h"

#include <array>
#include <string>
#include <vector>

namespace ordnix {

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

} // namespace ordnix
