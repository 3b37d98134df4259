// The shared data and the number conventions: the weapon catalogue, the tank
// columns, storing reals into 16-bit counters and numbers in captions.

#include "game/model.h"
#include "game/numbers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

using namespace ordnix;

TEST(ModelCatalogue, InitweaponsFillsRowsZeroToSixAndLeavesTheRestEmpty) {
    struct Row {
        const char* name;
        int radius, cost, damage, quantity;
    };
    const Row expected[] = {
        {"25 mm Grenade", 3, 10, 40, 9999}, {"50 mm Grenade", 4, 50, 50, 10},
        {"50kg Bomb", 8, 100, 50, 10},      {"500kg Bomb", 12, 200, 150, 5},
        {"5 Mega Nuke!", 40, 300, 300, 5},  {"Cluster bomb", 40, 300, 200, 4},
        {"Killer bomb", 90, 500, 20, 4},
    };
    Model m;
    initweapons(m);
    for (int w = 0; w < 7; ++w) {
        SCOPED_TRACE(w);
        EXPECT_EQ(m.weapons[w].name, expected[w].name);
        EXPECT_EQ(m.weapons[w].radius, expected[w].radius);
        EXPECT_EQ(m.weapons[w].cost, expected[w].cost);
        EXPECT_EQ(m.weapons[w].damage, expected[w].damage);
        EXPECT_EQ(m.weapons[w].quantity, expected[w].quantity);
    }
    for (int w = 7; w < kWeaponRows; ++w) {
        SCOPED_TRACE(w);
        EXPECT_TRUE(m.weapons[w].name.empty());
        EXPECT_EQ(m.weapons[w].radius, 0);
        EXPECT_EQ(m.weapons[w].cost, 0);
        EXPECT_EQ(m.weapons[w].damage, 0);
        EXPECT_EQ(m.weapons[w].quantity, 0);
    }
}

TEST(ModelTankColumns, TanksSpreadEvenlyFrom50To550ForEveryPlayerCount) {
    const std::vector<std::vector<int>> table = {
        {50, 550},
        {50, 300, 550},
        {50, 217, 383, 550},
        {50, 175, 300, 425, 550},
        {50, 150, 250, 350, 450, 550},
        {50, 133, 217, 300, 383, 467, 550},
        {50, 121, 193, 264, 336, 407, 479, 550},
    };
    for (const auto& columns : table) {
        const int lastplayer = static_cast<int>(columns.size()) - 1;
        for (int i = 0; i <= lastplayer; ++i) {
            SCOPED_TRACE(testing::Message() << lastplayer + 1 << " players, player " << i);
            EXPECT_EQ(tankcolumn(i, lastplayer), columns[i]);
        }
    }
}

TEST(Numbers, Store16RoundsHalvesToEvenAndSaturates) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    struct Case {
        double in;
        int out;
    };
    const Case cases[] = {
        {87.5, 88},       {12.5, 12},   {-0.5, 0},          {-1.5, -2},         {-2.5, -2},
        {0.49, 0},        {0.51, 1},    {-13.0, -13},       {32767.0, 32767},   {32767.4, 32767},
        {40000.0, 32767}, {inf, 32767}, {-32768.0, -32768}, {-32768.6, -32768}, {-1e9, -32768},
        {-inf, -32768},   {nan, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.in);
        EXPECT_EQ(store16(c.in), c.out);
    }
}

TEST(Numbers, NumtextWritesABlankOrAMinusThenTheDigits) {
    struct Case {
        long in;
        const char* out;
    };
    const Case cases[] = {
        {250, " 250"}, {0, " 0"}, {-13, "-13"}, {32767, " 32767"}, {-32768, "-32768"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.in);
        EXPECT_EQ(numtext(c.in), c.out);
    }
}
