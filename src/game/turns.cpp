// Whose turn it is, preparing a turn, and the two status lines.
#include "game/battle.h"
#include "game/numbers.h"

#include <cmath>

namespace ordnix {

void Battle::nextplayer() {
    const int seats = model_.lastplayer + 1;
    for (int step = 1; step < seats; ++step) {
        const int seat = (shooter + step) % seats;
        if (living(model_.players[seat])) {
            curplayer = static_cast<int16_t>(seat);
            return;
        }
    }
    curplayer = shooter;
}

void Battle::changeplayer() {
    playerrec& p = cur();
    // The list is filled afresh, showing its first entry, then the player's
    // weapon is selected as a click would select it.
    if (view_) {
        std::vector<std::string> names;
        for (int i = 0; i < kCatalogueRows; ++i)
            names.push_back(model_.weapons[i].name);
        view_->setweapons(names);
    }
    listweapon_ = 0;
    if (p.curweapon >= 0 && p.curweapon < kCatalogueRows) {
        if (view_)
            view_->selectweapon(p.curweapon);
        weaponclicked(p.curweapon);
    }
    const int column = p.x + 8;
    if (view_ && column >= 0 && column < kColumns)
        view_->showmarker(p.x - 6, heights[column] - 50);
    random_.reseed(clock_.now());
    const float r = static_cast<float>(random_.draw());
    wind = 100.0 * r - 50.0;
}

std::string Battle::statusline2() const {
    const playerrec& p = model_.players[curplayer];
    return p.name + ": Hitpoints:" + numtext(p.hitpoints) + " Score:" + numtext(p.roundscore);
}

std::string Battle::statusline1() const {
    const playerrec& p = model_.players[curplayer];
    return "Angle:" + numtext(p.angle) + " Power:" + numtext(p.power) +
           " Wind:" + numtext(static_cast<long>(std::floor(wind)));
}

void Battle::statuslines() {
    if (view_)
        view_->setstatus(statusline2(), statusline1());
}

} // namespace ordnix
