// Explosions: damage per crater column over a tank, the crater's shape at
// the field's edges, the end-of-round count and the rings.
#include "game_fakes.h"

#include <tuple>

using namespace ordnix;

// Player 0 shoots from x 500 at player 1, whose tank stands at x 200: its
// inner columns 201..219 count, the edge columns 200 and 220 do not.
TEST(Explosion, DamagePerCraterColumnOverTheTank) {
    const std::tuple<int, double, int, int> cases[] = {
        // weapon, impact x, target's hit points and shooter's score afterwards
        {1, 210, 16, 84},  // 50 mm Grenade: 7 columns of 12.5
        {0, 210, 35, 65},  // 25 mm Grenade: 5 columns of 13.33
        {3, 210, -8, 108}, // 500kg Bomb: 9 of 19 columns kill
        {4, 210, -4, 104}, // 5 Mega Nuke!: 13 of 19 columns kill
        {5, 210, 5, 95},   // Cluster bomb: 19 columns of 5
        {6, 210, 100, 0},  // Killer bomb: a crater and nothing else
        {0, 198, 100, 0},  // reaches the left edge column only
        {0, 199, 87, 13},  // reaches the first inner column
        {0, 222, 100, 0},  // reaches the right edge column only
        {5, 161, 100, 0},  // radius 40 up to the left edge column
        {5, 162, 95, 5}};  // and one column further
    for (const auto& [weapon, x, hitpoints, score] : cases) {
        SCOPED_TRACE(testing::Message() << "weapon " << weapon << " at " << x);
        Rig rig;
        rig.player(0).x = 500;
        rig.player(1).x = 200;
        rig.blast(weapon, x);
        EXPECT_EQ(rig.player(1).hitpoints, hitpoints);
        EXPECT_EQ(rig.player(0).roundscore, score);
        const int bottom = 250 + rig.model.weapons[weapon].radius;
        EXPECT_EQ(rig.battle.heights[static_cast<int>(x)], bottom) << "crater floor";
    }
}

// Crater positions at or beyond columns 0 and 600 are left out; each other
// position goes to the column it rounds to.
TEST(Explosion, CraterAtTheFieldEdges) {
    const std::tuple<double, int, std::array<int, 4>> cases[] = {
        // impact x, first column, heights of four columns from there
        {0.0, 0, {250, 253, 252, 250}},
        {0.3, 0, {253, 253, 252, 250}},
        {600.0, 597, {250, 252, 253, 250}},
        {599.7, 597, {250, 252, 253, 253}}};
    for (const auto& [x, first, heights] : cases) {
        Rig rig;
        rig.blast(0, x);
        for (int n = 0; n < 4; ++n)
            EXPECT_EQ(rig.battle.heights[first + n], heights[n]) << "x " << x << " n " << n;
    }
}

TEST(Explosion, CraterNeverRaisesGround) {
    Rig rig;
    rig.battle.heights[300] = 300; // a shaft under the impact
    rig.battle.heights[301] = 100; // a spire beside it
    rig.blast(3, 300);
    EXPECT_EQ(rig.battle.heights[300], 300);
    EXPECT_EQ(rig.battle.heights[301], 262);
}

TEST(Explosion, TwoTanksDestroyedAtOnceEndTheRound) {
    Rig rig;
    rig.player(0).x = 200;
    rig.player(1).x = 230;
    rig.player(0).hitpoints = rig.player(1).hitpoints = 10;
    rig.blast(4, 225);
    EXPECT_LE(rig.player(0).hitpoints, 0);
    EXPECT_LE(rig.player(1).hitpoints, 0);
    EXPECT_FALSE(rig.battle.running);
}

// Seven rings from radius 0 to R in steps of R / 6, for every weapon.
TEST(Explosion, SevenRings) {
    for (int w = 0; w < kCatalogueRows; ++w) {
        Rig rig;
        FakeSurface surface;
        rig.battle.attach(&surface, nullptr);
        rig.blast(w, 300, 100);
        ASSERT_EQ(surface.rings.size(), 7u) << "weapon " << w;
        EXPECT_FLOAT_EQ(surface.rings[6], rig.model.weapons[w].radius);
        EXPECT_EQ(rig.sound.explosions, 1);
    }
}
