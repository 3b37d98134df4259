#pragma once
// The data that lives for the whole run: the player table, the weapon
// catalogue and the index of the last player in use. Windows come and go;
// this stays, owned by the application.

#include <array>
#include <cstdint>
#include <string>

namespace ordnix {

constexpr int kPlayerSlots = 9;   // players 0..8; 0..lastplayer are in use
constexpr int kMostPlayers = 8;   // the setup window offers two to eight
constexpr int kWeaponRows = 11;   // rows 0..10; 0..6 are the catalogue
constexpr int kCatalogueRows = 7; // rows filled by initweapons
constexpr int16_t kBasicShots = 9999;

struct weaponrec {
    std::string name;
    int16_t radius = 0;
    int16_t cost = 0;
    int16_t damage = 0;
    int16_t quantity = 0;
};

struct playerrec {
    int16_t target = 0; // computer player's target, -1 for none
    int16_t impactx = 0;
    bool ai = false;
    int16_t money = 0;
    std::array<int16_t, kWeaponRows> ammo{};
    int16_t x = 0; // tank's left edge, fixed for the whole game
    int16_t curweapon = 0;
    int16_t angle = 0;
    int16_t hitpoints = 0;
    int16_t power = 0;
    int16_t tipx = 0; // muzzle point, written whenever the tank is drawn
    int16_t tipy = 0;
    std::string name;
    int16_t roundscore = 0;
    int16_t totalscore = 0;
};

struct Model {
    std::array<playerrec, kPlayerSlots> players{};
    std::array<weaponrec, kWeaponRows> weapons{};
    int16_t lastplayer = 0;
};

// Fills catalogue rows 0..6; rows 7..10 are left as they are.
void initweapons(Model& m);

// Adds to a 16-bit counter, stopping at the limits instead of wrapping.
int16_t add16(int16_t a, long b);

// Tank column of player i: 500 i / lastplayer + 50, rounded halves to even.
int16_t tankcolumn(int i, int lastplayer);

// One player as chosen in the setup window.
struct PlayerChoice {
    std::string name;
    bool ai = false;
};

// The start of a game: writes players 0..lastplayer from the setup choices
// (names taken as typed) and fixes the tank columns. Slots above lastplayer
// are not touched.
void startgame(Model& m, const std::array<PlayerChoice, kMostPlayers>& choices);

// The start of every later round: hit points, basic shots and round scores.
void resetforround(Model& m);

// Results shown: each slot's round score goes to its total and its money.
void creditroundscores(Model& m);

// A player with hit points above zero is alive.
inline bool living(const playerrec& p) {
    return p.hitpoints > 0;
}

} // namespace ordnix
