// A shell from the launch to the blast: the launch, where a flight ends, the
// frame pacing through wake(), then the explosion: damage per crater column
// over a tank, the crater's shape, the end-of-round count and the rings.
#include "game_fakes.h"

#include <array>

using namespace ordnix;

// The shell leaves the muzzle with the velocity from angle and power;
// straight up is not quite vertical with pi taken as 3.14. An empty stock
// fires nothing: the window tests hold Enter on one.
TEST(Launch, VelocityFromAngleAndPowerFromTheMuzzle) {
    Rig rig;
    playerrec& p = rig.player(0);
    p.angle = 90;
    p.power = 100;
    rig.battle.draw();
    ASSERT_TRUE(rig.battle.launch());
    EXPECT_NEAR(rig.battle.shotvx, -1.194490, 1e-5);
    EXPECT_NEAR(rig.battle.shotvy, 1499.999524, 1e-5);
    EXPECT_EQ(std::tuple(rig.battle.shotx, rig.battle.shoty, p.ammo[0], rig.sound.fires),
              std::tuple(p.tipx, p.tipy, kBasicShots - 1, 1));
}

// A shell at rest at (x, y), with column 600 at row 300: it moves with the
// velocity from before the frame, which then changes by wind and gravity.
// Beyond column 600 or left of 0 the flight ends without a blast; a shell
// exactly at ground height flies on.
TEST(Flight, FrameAcceleratesAndTestsTheColumnUnderTheShell) {
    struct Row {
        double x, y;
        bool ends, blast;
        double yafter;
        int impactx; // the shooter's, afterwards
    };
    const Row rows[] = {
        {.x = 600.9, .y = 299, .ends = false, .blast = false, .yafter = 299, .impactx = 0},
        {.x = 600.9, .y = 301, .ends = true, .blast = false, .yafter = 300, .impactx = 601},
        {.x = 601.0, .y = -50, .ends = true, .blast = false, .yafter = -50, .impactx = 601},
        {.x = -0.1, .y = -500, .ends = true, .blast = false, .yafter = -500, .impactx = 0},
        {.x = 300.5, .y = 250, .ends = false, .blast = false, .yafter = 250, .impactx = 0},
        {.x = 300.5, .y = 250.01, .ends = true, .blast = true, .yafter = 250, .impactx = 300},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << "shell at " << row.x << ", " << row.y);
        Rig rig;
        rig.battle.heights[600] = 300;
        rig.push({0.5}); // the next turn's wind
        rig.battle.shotstate = 1;
        rig.battle.shotx = row.x;
        rig.battle.shoty = row.y;
        rig.battle.wind = 64; // pushes to the left
        rig.battle.flightframe(0.015625);
        // Exact: the velocity changes by whole multiples of a power of two.
        EXPECT_EQ(std::tuple(rig.battle.shotvx, rig.battle.shotvy, rig.battle.shoty,
                             rig.battle.exploding()),
                  std::tuple(-1.0, -46.875, row.yafter, row.blast));
        rig.battle.finishexplosion();
        EXPECT_EQ(std::tuple(rig.battle.shotstate, rig.battle.curplayer, rig.player(0).impactx),
                  std::tuple(!row.ends, row.ends, row.impactx));
    }
}

// Waking at the reading the battle asks for gives frames two ticks apart
// with dt 0.015625, so a held Up raises the power by round(0.625) = 1 per
// frame.
TEST(Pacing, FramesTwoTicksApartRaiseThePowerByOne) {
    Rig rig;
    rig.battle.heldkey = kKeyUp;
    Wake w = rig.battle.wake();
    for (int frame = 1; frame <= 10; ++frame) {
        const double last = rig.clock.t;
        rig.clock.t += w.seconds;
        w = rig.battle.wake();
        EXPECT_EQ(std::tuple(rig.clock.t - last, rig.battle.lastdt, rig.player(0).power),
                  std::tuple(0.03125, 0.015625, 50 + frame))
            << "frame " << frame;
    }
}

// Player 0 shoots from x 500 at player 1, whose tank stands at x 200: its
// inner columns 201..219 count, the edge columns 200 and 220 do not. Every
// blast shows seven rings, from radius 0 to R in steps of R / 6.
TEST(Explosion, DamagePerCraterColumnOverTheTankAndSevenRings) {
    const std::tuple<int, double, int, int> cases[] = {
        // weapon, impact x, target's hit points and shooter's score afterwards
        {1, 210, 16, 84},  // 50 mm Grenade: 7 columns of 12.5
        {0, 210, 35, 65},  // 25 mm Grenade: 5 columns of 13.33
        {2, 210, 10, 90},  // 50kg Bomb: 15 columns of 6.25
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
        Rig rig(2, false, {500, 200});
        FakeSurface surface;
        rig.battle.attach(&surface, nullptr);
        rig.blast(weapon, x);
        const int radius = rig.model.weapons[weapon].radius; // the crater's floor is 250 + radius
        EXPECT_EQ(std::tuple(rig.player(1).hitpoints, rig.player(0).roundscore,
                             rig.battle.heights[static_cast<int>(x)], rig.sound.explosions),
                  std::tuple(hitpoints, score, 250 + radius, 1));
        ASSERT_EQ(surface.rings.size(), 7u);
        EXPECT_FLOAT_EQ(surface.rings[6], radius);
    }
}

// Crater positions at or beyond columns 0 and 600 are left out; each other
// position goes to the column it rounds to. A crater never raises ground: a
// shaft deeper than it stays, a spire is cut down to the crater.
TEST(Explosion, CraterAtTheFieldEdgesAndNeverRaisingGround) {
    struct Row {
        double x;                  // of the impact
        int first;                 // column
        std::array<int, 4> ground; // the heights of four columns from there
    };
    const Row rows[] = {
        {.x = 0.0, .first = 0, .ground = {250, 253, 252, 250}},
        {.x = 0.3, .first = 0, .ground = {253, 253, 252, 250}},
        {.x = 600.0, .first = 597, .ground = {250, 252, 253, 250}},
        {.x = 599.7, .first = 597, .ground = {250, 252, 253, 253}},
        {.x = 300.0, .first = 299, .ground = {253, 300, 253, 252}},
    };
    for (const Row& row : rows) {
        Rig rig;
        rig.battle.heights[300] = 300; // a shaft, deeper than any grenade crater
        rig.battle.heights[301] = 100; // and a spire beside it
        rig.blast(0, row.x);
        const auto& h = rig.battle.heights;
        const int first = row.first;
        EXPECT_EQ(std::tuple(h[first], h[first + 1], h[first + 2], h[first + 3]),
                  std::tuple(row.ground[0], row.ground[1], row.ground[2], row.ground[3]))
            << "x " << row.x;
    }
}

TEST(Explosion, TwoTanksDestroyedAtOnceEndTheRound) {
    Rig rig(2, false, {200, 230});
    rig.player(0).hitpoints = rig.player(1).hitpoints = 10;
    rig.blast(4, 225);
    EXPECT_EQ(
        std::tuple(rig.player(0).hitpoints <= 0, rig.player(1).hitpoints <= 0, rig.battle.running),
        std::tuple(true, true, false));
}
