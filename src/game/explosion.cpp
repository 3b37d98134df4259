// The explosion at the end of a shot: a red disc grows in seven rings, then
// the crater is cut and the tanks under its columns lose hit points.
#include "game/battle.h"
#include "game/numbers.h"

#include <cmath>

namespace ordnix {

bool Battle::explodestart() {
    playerrec& p = cur();
    p.impactx = store16(shotx);
    if (!(shotx >= 0.0 && shotx <= kFieldWidth))
        return false; // left the field: no blast, no crater
    sound_.play(SoundId::Explode);
    const int w = selectedweapon();
    blastradius_ = (w >= 0 && w < kWeaponRows) ? model_.weapons[w].radius : 0;
    ringr_ = 0.0;
    ringstep_ = blastradius_ / 6.0;
    ringpace_.restart(clock_.now());
    return true;
}

bool Battle::ringsdone() const {
    return ringstep_ <= 0.0 || ringr_ > blastradius_;
}

void Battle::explodering() {
    if (surface_)
        surface_->disc(static_cast<float>(shotx), static_cast<float>(shoty),
                       static_cast<float>(ringr_), kBlastFill, kBlastOutline);
    ringr_ += ringstep_;
}

void Battle::explodefinish() {
    craterdamage();
    realdraw();
    draw();
    int alive = 0;
    for (const playerrec& p : model_.players)
        alive += living(p) ? 1 : 0;
    if (alive <= 1)
        running = false;
}

void Battle::craterdamage() {
    const int R = blastradius_;
    if (R <= 0)
        return;
    const int w = selectedweapon(); // damage of the weapon chosen now
    const double D = (w >= 0 && w < kWeaponRows) ? model_.weapons[w].damage : 0.0;
    const double perColumn = D / R;
    playerrec& shooterrec = cur();
    for (int n = 0; n < 2 * R - 1; ++n) {
        const double i = shotx + (n - R + 1);
        if (!(i > 0.0 && i < kFieldWidth))
            continue;
        const int k = static_cast<int>(roundeven(i));
        const double dx = i - shotx;
        const double floorlevel = shoty + R * std::sin(invcos(dx / R));
        if (heights[k] < floorlevel)
            heights[k] = store16(floorlevel);
        const double column = std::floor(i);
        for (playerrec& target : model_.players) {
            if (target.x < column && column < target.x + 20 && living(target)) {
                shooterrec.roundscore = store16(shooterrec.roundscore + perColumn);
                target.hitpoints = store16(target.hitpoints - perColumn);
            }
        }
    }
}

void Battle::remainingrings() {
    while (!ringsdone())
        explodering();
}

void Battle::explode() {
    if (!explodestart())
        return;
    remainingrings();
    explodefinish();
}

void Battle::finishexplosion() {
    if (!exploding())
        return;
    remainingrings();
    afterlastring();
}

void Battle::afterlastring() {
    explodefinish();
    endofflight();
    statuslines();
}

} // namespace ordnix
