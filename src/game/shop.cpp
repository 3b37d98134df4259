#include "game/shop.h"

#include "game/numbers.h"

namespace ordnix {

std::string resultsline(const Model& m, int i) {
    const playerrec& p = m.players[i];
    return "Player:" + numtext(i + 1) + " (" + p.name + ") Total score:" + numtext(p.totalscore) +
           " Last round:" + numtext(p.roundscore);
}

bool buy(Model& m, int b, int w) {
    if (b < 0 || b >= kPlayerSlots || w < kFirstShopRow || w > kLastShopRow)
        return false;
    playerrec& p = m.players[b];
    const weaponrec& row = m.weapons[w];
    if (p.money <= row.cost)
        return false;
    p.money = add16(p.money, -static_cast<long>(row.cost));
    p.ammo[w] = add16(p.ammo[w], row.quantity);
    return true;
}

} // namespace ordnix
