// Round setup, drawing, aiming keys, whose turn comes next and the status
// lines.
#include "game_fakes.h"

#include <tuple>

using namespace ordnix;

// Round setup with a scripted first-player draw and the two waves' draws: five
// parameters each, plus the period divisor drawn anew when the flag is set.
static void setupwith(Rig& rig, double first, double p1 = 0.25, bool r1 = false, double p2 = 0.3,
                      bool r2 = false) {
    rig.push({first, 0.4, 0.3, 0.2, p1, 0.5});
    if (r1)
        rig.push({0.9});
    rig.push({0.4, 0.3, 0.2, p2, 0.5});
    if (r2)
        rig.push({0.9});
    rig.battle.setup();
}

TEST(RoundSetup, FirstPlayerOfTwoIsZeroUpToAHalfAndTheOutlineCloses) {
    for (const auto& [u, first] : {std::pair{0.0, 0}, {0.5, 0}, {0.5000001, 1}, {0.9999999, 1}}) {
        Rig rig;
        setupwith(rig, u);
        EXPECT_EQ(rig.battle.curplayer, first) << "draw " << u;
        EXPECT_EQ(rig.battle.degtorad, 3.14 / 180.0);
        const auto& o = rig.battle.outline;
        for (int x = 0; x < kColumns; ++x)
            ASSERT_EQ(o[x], (Point{x, rig.battle.heights[x]})) << "point " << x;
        EXPECT_EQ(o[601], (Point{600, 400}));
        EXPECT_EQ(o[602], (Point{0, 400}));
    }
}

// A phase of exactly 0 or 0.5 equals column 2p, where the divisor is drawn
// once more; any other phase never does. Every scripted value must be used.
TEST(RoundSetup, SpecialPhaseDrawsANewPeriodDivisor) {
    const std::tuple<double, bool, double, bool> cases[] = {
        {0.25, false, 0.3, false},     {0.0, true, 0.3, false},  {0.5, true, 0.3, false},
        {0.25, false, 0.0, true},      {0.25, false, 0.5, true}, {0.0, true, 0.5, true},
        {0x1p-24, false, 0.999, false}};
    for (const auto& [p1, r1, p2, r2] : cases) {
        Rig rig;
        setupwith(rig, 0.0, p1, r1, p2, r2);
        EXPECT_TRUE(rig.random.script.empty()) << "phases " << p1 << ", " << p2;
    }
}

// A redraw lifts ground deeper than row 360 to 359 for good; 360 stays. It
// closes the outline along row 400 as well.
TEST(Drawing, RedrawCapsDepthBelowRow360) {
    for (const auto& [before, after] :
         {std::pair{359, 359}, {360, 360}, {361, 359}, {32767, 359}, {-20, -20}}) {
        Rig rig;
        rig.battle.heights[0] = rig.battle.heights[600] = static_cast<int16_t>(before);
        rig.battle.realdraw();
        for (int x : {0, 600}) {
            EXPECT_EQ(rig.battle.heights[x], after) << "height " << before;
            EXPECT_EQ(rig.battle.outline[x].y, after) << "height " << before;
        }
        EXPECT_EQ(rig.battle.outline[601], (Point{600, 400}));
        EXPECT_EQ(rig.battle.outline[602], (Point{0, 400}));
    }
}

// The tank stands on the ground under column X + 8, not under its middle;
// the barrel pivots at (X + 10, Y - 2) on a 15 x 20 ellipse, pi being 3.14.
TEST(Drawing, MuzzlePointFollowsTheAngle) {
    for (const auto& [angle, muzzle] :
         {std::pair{0, Point{95, 248}}, {90, Point{110, 228}}, {180, Point{125, 248}}}) {
        Rig rig;
        rig.player(0).x = 100;
        rig.player(0).angle = static_cast<int16_t>(angle);
        rig.battle.heights[110] = 200;
        rig.battle.draw();
        EXPECT_EQ((Point{rig.player(0).tipx, rig.player(0).tipy}), muzzle) << "angle " << angle;
    }
}

// The held key moves the angle 60 and the power 40 per unit of dt, each step
// rounded halves to even; dt 0.011 moves the angle by 1 and the power by 0.
TEST(KeyStep, MovesAngleOrPowerWithinTheirLimits) {
    const std::tuple<int, int, int, double, int, int, int> cases[] = {
        // key, angle, power, dt, frames, angle and power afterwards
        {kKeyRight, 179, 50, 0.011, 3, 180, 50}, {kKeyRight, 179, 50, 0.03, 4, 181, 50},
        {kKeyRight, 30, 50, 0.011, 1, 31, 50},   {kKeyLeft, 3, 50, 0.011, 3, 0, 50},
        {kKeyLeft, 3, 50, 0.03, 5, 0, 50},       {kKeyUp, 30, 99, 0.03, 3, 30, 100},
        {kKeyUp, 30, 50, 0.011, 5, 30, 50},      {kKeyDown, 30, 1, 0.03, 2, 30, 0},
        {kKeyDown, 30, 50, 0.011, 5, 30, 50},    {kKeyDown, 30, 5, 0.03, 2, 30, 3},
        {'A', 30, 50, 0.03, 3, 30, 50},          {kKeyLeft, 90, 50, 0.5, 1, 60, 50},
        {kKeyRight, 90, 50, 0.5, 1, 120, 50}};
    for (const auto& [key, angle, power, dt, frames, endangle, endpower] : cases) {
        SCOPED_TRACE(testing::Message()
                     << "key " << key << " from " << angle << "/" << power << " dt " << dt);
        Rig rig;
        rig.player(0).angle = static_cast<int16_t>(angle);
        rig.player(0).power = static_cast<int16_t>(power);
        rig.battle.heldkey = static_cast<int16_t>(key);
        rig.battle.draw();
        for (int n = 0; n < frames; ++n)
            rig.battle.keystep(dt);
        EXPECT_EQ(rig.player(0).angle, endangle);
        EXPECT_EQ(rig.player(0).power, endpower);
        // Turning redraws the barrel: the muzzle the shell leaves from moves along.
        EXPECT_EQ(rig.player(0).tipx,
                  tankshape(50, 250, endangle, rig.battle.degtorad).barrel[0].x);
    }
}

TEST(Turns, NextPlayerIsTheNextLivingSeatAfterTheShooter) {
    const std::tuple<int, std::vector<int>, int, int> cases[] = {
        // players, dead seats, shooter, next
        {2, {}, 1, 0},        {4, {2}, 1, 3},       {4, {2}, 3, 0},
        {8, {0, 1, 7}, 6, 2}, {4, {0, 2, 3}, 1, 1}, {3, {0, 2}, 2, 1}};
    for (const auto& [players, dead, shooter, next] : cases) {
        Rig rig(players);
        for (int d : dead)
            rig.player(d).hitpoints = static_cast<int16_t>(-d); // 0 or below
        rig.battle.shooter = static_cast<int16_t>(shooter);
        rig.battle.nextplayer();
        EXPECT_EQ(rig.battle.curplayer, next) << players << " players, shooter " << shooter;
    }
}

// A blank before a number that is not negative, a minus sign before one
// that is; the wind is rounded down.
TEST(Turns, StatusLines) {
    const std::tuple<int, int, int, double, const char*, const char*> cases[] = {
        {100, 0, 30, -12.4, "Red: Hitpoints: 100 Score: 0", "Angle: 30 Power: 50 Wind:-13"},
        {100, 0, 30, 49.9, "Red: Hitpoints: 100 Score: 0", "Angle: 30 Power: 50 Wind: 49"},
        {-8, 108, 181, -0.2, "Red: Hitpoints:-8 Score: 108", "Angle: 181 Power: 50 Wind:-1"}};
    for (const auto& [hitpoints, score, angle, wind, line2, line1] : cases) {
        Rig rig;
        rig.player(0).name = "Red";
        rig.player(0).hitpoints = static_cast<int16_t>(hitpoints);
        rig.player(0).roundscore = static_cast<int16_t>(score);
        rig.player(0).angle = static_cast<int16_t>(angle);
        rig.battle.wind = wind;
        EXPECT_EQ(rig.battle.statusline2(), line2);
        EXPECT_EQ(rig.battle.statusline1(), line1);
    }
}
