#include "game/model.h"

#include "game/numbers.h"

namespace ordnix {

void initweapons(Model& m) {
    struct Row {
        const char* name;
        int16_t radius, cost, damage, quantity;
    };
    static constexpr Row rows[kCatalogueRows] = {
        {"25 mm Grenade", 3, 10, 40, 9999}, {"50 mm Grenade", 4, 50, 50, 10},
        {"50kg Bomb", 8, 100, 50, 10},      {"500kg Bomb", 12, 200, 150, 5},
        {"5 Mega Nuke!", 40, 300, 300, 5},  {"Cluster bomb", 40, 300, 200, 4},
        {"Killer bomb", 90, 500, 20, 4},
    };
    for (int i = 0; i < kCatalogueRows; ++i)
        m.weapons[i] = {rows[i].name, rows[i].radius, rows[i].cost, rows[i].damage,
                        rows[i].quantity};
}

int16_t add16(int16_t a, long b) {
    return store16(static_cast<double>(a) + static_cast<double>(b));
}

int16_t tankcolumn(int i, int lastplayer) {
    return store16(500.0 * i / lastplayer + 50.0);
}

void startgame(Model& m, const std::array<PlayerChoice, kMostPlayers>& choices) {
    for (int i = 0; i <= m.lastplayer && i < 8; ++i) {
        playerrec& p = m.players[i];
        p.name = choices[i].name;
        p.x = tankcolumn(i, m.lastplayer);
        p.power = 50;
        p.angle = 30;
        p.hitpoints = 100;
        p.ammo[0] = kBasicShots;
        p.roundscore = 0;
        p.curweapon = 0;
        p.ai = choices[i].ai;
        p.target = -1;
    }
}

void resetforround(Model& m) {
    for (int i = 0; i <= m.lastplayer; ++i) {
        m.players[i].hitpoints = 100;
        m.players[i].ammo[0] = kBasicShots;
        m.players[i].roundscore = 0;
    }
}

void creditroundscores(Model& m) {
    for (int i = 0; i < 8; ++i) {
        playerrec& p = m.players[i];
        p.totalscore = add16(p.totalscore, p.roundscore);
        p.money = add16(p.money, p.roundscore);
    }
}

} // namespace ordnix
