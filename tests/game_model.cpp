// The shared data and the number conventions: the weapon catalogue, the tank
// columns, storing reals into 16-bit counters and numbers in captions.

#include "game/numbers.h"
#include "game_fakes.h"

#include <limits>

using namespace ordnix;

// Rows 7..10 of a new model stay empty.
TEST(Model, InitweaponsFillsRowsZeroToSixAndLeavesTheRestEmpty) {
    struct Row {
        std::string name;
        int radius = 0, cost = 0, damage = 0;
        int quantity = 0; // rounds a purchase adds
    };
    const Row expected[kWeaponRows] = {
        {.name = "25 mm Grenade", .radius = 3, .cost = 10, .damage = 40, .quantity = 9999},
        {.name = "50 mm Grenade", .radius = 4, .cost = 50, .damage = 50, .quantity = 10},
        {.name = "50kg Bomb", .radius = 8, .cost = 100, .damage = 50, .quantity = 10},
        {.name = "500kg Bomb", .radius = 12, .cost = 200, .damage = 150, .quantity = 5},
        {.name = "5 Mega Nuke!", .radius = 40, .cost = 300, .damage = 300, .quantity = 5},
        {.name = "Cluster bomb", .radius = 40, .cost = 300, .damage = 200, .quantity = 4},
        {.name = "Killer bomb", .radius = 90, .cost = 500, .damage = 20, .quantity = 4},
    };
    Model m;
    initweapons(m);
    for (int w = 0; w < kWeaponRows; ++w) {
        const weaponrec& r = m.weapons[w];
        const Row& want = expected[w];
        EXPECT_EQ(std::tuple(r.name, r.radius, r.cost, r.damage, r.quantity),
                  std::tuple(want.name, want.radius, want.cost, want.damage, want.quantity))
            << "row " << w;
    }
}

// The columns for 2, 3, ... 8 players, one player count after the other.
TEST(Model, TanksSpreadEvenlyFrom50To550ForEveryPlayerCount) {
    const int columns[] = {50,  550, 50,  300, 550, 50,  217, 383, 550, 50,  175, 300,
                           425, 550, 50,  150, 250, 350, 450, 550, 50,  133, 217, 300,
                           383, 467, 550, 50,  121, 193, 264, 336, 407, 479, 550};
    const int* want = columns;
    for (int players = 2; players <= 8; want += players++)
        for (int i = 0; i < players; ++i)
            EXPECT_EQ(tankcolumn(i, players - 1), want[i]) << players << " players, player " << i;
}

// store16 rounds halves to even and saturates, NaN storing 0; numtext writes
// a blank or a minus sign, then the digits, for every long down to the lowest.
TEST(Numbers, Store16AndNumtext) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const std::pair<double, int> stores[] = {
        {87.5, 88},       {12.5, 12},   {-0.5, 0},          {-1.5, -2},         {-2.5, -2},
        {0.49, 0},        {0.51, 1},    {-13.0, -13},       {32767.0, 32767},   {32767.4, 32767},
        {40000.0, 32767}, {inf, 32767}, {-32768.0, -32768}, {-32768.6, -32768}, {-1e9, -32768},
        {-inf, -32768},   {nan, 0}};
    for (const auto& [in, out] : stores)
        EXPECT_EQ(store16(in), out) << in;
    const long lowest = std::numeric_limits<long>::min();
    const long highest = std::numeric_limits<long>::max();
    const std::pair<long, std::string> texts[] = {{250, " 250"},
                                                  {0, " 0"},
                                                  {-13, "-13"},
                                                  {32767, " 32767"},
                                                  {-32768, "-32768"},
                                                  {lowest, std::to_string(lowest)},
                                                  {lowest + 1, std::to_string(lowest + 1)},
                                                  {highest, " " + std::to_string(highest)}};
    for (const auto& [in, out] : texts)
        EXPECT_EQ(numtext(in), out);
}
