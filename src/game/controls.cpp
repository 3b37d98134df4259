// The player's keys and the weapon list. Keys only record the held key; the
// frame applies it once per aiming frame. A tap shorter than a frame still
// acts: its release waits until one key step has applied the press.
#include "game/battle.h"
#include "game/numbers.h"

namespace ordnix {

bool Battle::pressisredundant(int code) const {
    return model_.players[curplayer].ai || (store16(code) == heldkey && !releaseafterstep_);
}

void Battle::keydown(int code) {
    if (pressisredundant(code))
        return;
    const int16_t key = store16(code);
    // A new press, not the repetition of the key already held, is owed a step.
    if (shotstate == 0)
        keyunapplied_ = true;
    releaseafterstep_ = false;
    heldkey = key;
}

void Battle::keyup() {
    if (keyunapplied_ && shotstate == 0 && !cur().ai) {
        releaseafterstep_ = true;
        return;
    }
    keyunapplied_ = false;
    releaseafterstep_ = false;
    heldkey = 0;
}

void Battle::afterkeystep() {
    keyunapplied_ = false;
    if (releaseafterstep_) {
        releaseafterstep_ = false;
        heldkey = 0;
    }
}

// A choice made in the list becomes the player's weapon; the ammo label shows
// its count under the caption of the way it was chosen.
void Battle::chooseweapon(int index, const char* caption) {
    listweapon_ = index;
    if (index < 0 || index >= kWeaponRows)
        return;
    playerrec& p = cur();
    p.curweapon = static_cast<int16_t>(index);
    if (view_)
        view_->setammolabel(caption + numtext(p.ammo[index]));
}

void Battle::weaponclicked(int index) {
    chooseweapon(index, "Ammo:");
}

void Battle::weaponkeyup(int index) {
    chooseweapon(index, "Stück:");
}

void Battle::keystep(double dt) {
    playerrec& p = cur();
    switch (heldkey) {
    case kKeyLeft:
        if (p.angle > 0)
            p.angle = store16(p.angle - 60.0 * dt);
        if (p.angle < 0)
            p.angle = 0;
        draw();
        break;
    case kKeyUp:
        if (p.power < 100)
            p.power = store16(p.power + 40.0 * dt);
        break;
    case kKeyRight:
        if (p.angle < 180)
            p.angle = store16(p.angle + 60.0 * dt);
        draw();
        break;
    case kKeyDown:
        if (p.power > 0)
            p.power = store16(p.power - 40.0 * dt);
        if (p.power < 0)
            p.power = 0;
        break;
    default:
        break;
    }
}

} // namespace ordnix
