// The computer player: picks a living target at random, opens with power 75
// and an angle from a distance table, then brackets the target by moving the
// power two points per shot according to where its last shell came down.
// It aims once per turn: while its launch fails (a weapon without rounds in
// the list) it tries again every frame with the same aim.
#include "game/battle.h"
#include "game/numbers.h"

namespace ordnix {

namespace {
// Base angle by horizontal distance d = own x - target x (positive: target to
// the left). The right-hand side mirrors the left: a becomes 180 - a.
int baseangle(int d) {
    const int distance = d < 0 ? -d : d;
    int base = 50;
    if (distance <= 100)
        base = 75;
    else if (distance <= 200)
        base = 70;
    else if (distance <= 300)
        base = 65;
    else if (distance <= 400)
        base = 60;
    else if (distance <= 500)
        base = 55;
    return d < 0 ? 165 - base : base; // 15 degrees of spread are added on top
}
} // namespace

void Battle::ki() {
    if (!aimed_) {
        kiaim();
        aimed_ = true;
    }
    draw();
    heldkey = kKeyEnter;
}

void Battle::kiaim() {
    playerrec& p = cur();
    random_.reseed(clock_.now());
    if (p.target != -1 &&
        (p.target < 0 || p.target >= kPlayerSlots || !living(model_.players[p.target])))
        p.target = -1;
    bool anyother = false; // the round is on, so there is always one; never loop without
    for (int j = 0; j <= model_.lastplayer; ++j)
        anyother = anyother || (j != curplayer && living(model_.players[j]));
    if (p.target == -1 && anyother) {
        int i = 0;
        for (;;) {
            const float r = static_cast<float>(random_.draw());
            i = store16(static_cast<double>(r) * model_.lastplayer);
            if (i == curplayer)
                ++i;
            if (i < kPlayerSlots && living(model_.players[i]))
                break;
            random_.reseed(clock_.now());
        }
        p.target = static_cast<int16_t>(i);
        p.power = 75;
        const int d = p.x - model_.players[i].x;
        const float r = static_cast<float>(random_.draw());
        p.angle = store16(baseangle(d) + 15.0 * static_cast<double>(r));
    } else if (p.target != -1) {
        const playerrec& target = model_.players[p.target];
        const int e = target.x - p.impactx;
        const bool toright = p.x < target.x;
        const int change = (e > 0) == toright ? 2 : -2;
        p.power = add16(p.power, change);
    }
}

} // namespace ordnix
