// Round setup, drawing, aiming keys, whose turn comes next and the status
// lines.
#include "game_fakes.h"

using namespace ordnix;

// Setup draws the first player (seat 0 up to a half), then five parameters
// for each of two waves. A phase of exactly 0 or 0.5 equals column 2p, where
// the period divisor is drawn once more; any other phase never does. Every
// scripted value must be used. A redraw of the landscape then lifts ground
// deeper than row 360 to 359 for good (360 stays), and the outline runs
// along the ground and closes along row 400.
TEST(RoundSetup, FirstPlayerWavesDepthCapAndOutline) {
    const std::tuple<double, int, double, bool, double, bool, int, int> cases[] = {
        // first-player draw and seat, each wave's phase and whether it redraws,
        // the ground at both edges before and after a redraw
        {0.0, 0, 0.25, false, 0.3, false, 359, 359},
        {0.5, 0, 0.0, true, 0.3, false, 360, 360},
        {0.5000001, 1, 0.5, true, 0.3, false, 361, 359},
        {0.9999999, 1, 0.25, false, 0.0, true, 32767, 359},
        {0.2, 0, 0.25, false, 0.5, true, -20, -20},
        {0.7, 1, 0.0, true, 0.5, true, 400, 359},
        {0.1, 0, 0x1p-24, false, 0.999, false, 100, 100}};
    for (const auto& [u, first, p1, r1, p2, r2, before, after] : cases) {
        SCOPED_TRACE(testing::Message() << "draw " << u << ", phases " << p1 << ", " << p2);
        Rig rig;
        rig.battle.degtorad = 0;
        auto& script = rig.random.script;
        script = {u, 0.4, 0.3, 0.2, p1, 0.5};
        script.insert(script.end(), r1, 0.9); // a redraw takes one more value
        script.insert(script.end(), {0.4, 0.3, 0.2, p2, 0.5});
        script.insert(script.end(), r2, 0.9);
        rig.battle.setup();
        EXPECT_EQ(std::tuple(rig.battle.curplayer, script.size(), rig.battle.degtorad),
                  std::tuple(first, 0u, 3.14 / 180.0));
        const auto& [heights, outline] = std::tie(rig.battle.heights, rig.battle.outline);
        heights[0] = heights[600] = static_cast<int16_t>(before);
        rig.battle.realdraw();
        for (int x = 0; x < kColumns; ++x)
            ASSERT_EQ(outline[x], (Point{x, heights[x]})) << "point " << x;
        EXPECT_EQ(std::tuple(heights[0], heights[600], outline[601], outline[602]),
                  std::tuple(after, after, Point{600, 400}, Point{0, 400}));
    }
}

// Player 0's tank at X = 50 stands on the ground under column X + 8 (row
// 250), not under its middle; the barrel pivots at (X + 10, Y - 2) on a
// 15 x 20 ellipse, pi being 3.14.
TEST(Drawing, MuzzlePointFollowsTheAngle) {
    for (const auto& [angle, muzzle] :
         {std::pair{0, Point{45, 248}}, {90, Point{60, 228}}, {180, Point{75, 248}}}) {
        Rig rig;
        rig.player(0).angle = static_cast<int16_t>(angle);
        rig.battle.heights[60] = 200; // under the middle
        rig.battle.draw();
        EXPECT_EQ((Point{rig.player(0).tipx, rig.player(0).tipy}), muzzle) << "angle " << angle;
    }
}

// The held key moves the angle 60 and the power 40 per unit of dt, each step
// rounded halves to even; dt 0.011 moves the angle by 1 and the power by 0.
// Turning redraws the barrel: the muzzle the shell leaves from moves along.
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
        Rig rig;
        playerrec& p = rig.player(0);
        p.angle = static_cast<int16_t>(angle);
        p.power = static_cast<int16_t>(power);
        rig.battle.heldkey = static_cast<int16_t>(key);
        rig.battle.draw();
        for (int n = 0; n < frames; ++n)
            rig.battle.keystep(dt);
        const int tipx = tankshape(50, 250, endangle, rig.battle.degtorad).barrel[0].x;
        EXPECT_EQ(std::tuple(p.angle, p.power, p.tipx), std::tuple(endangle, endpower, tipx))
            << "key " << key << " from " << angle << "/" << power << " dt " << dt;
    }
}

// What reaches the key step of the aiming frames ('.', dt 1/64: one degree
// per step) from presses (R right, E Enter, A a letter) and releases (^),
// also while a shell flies (F: in flight, G: down again). A press while a
// human aims acts in one step even when released before it, and lets go
// right after; a held key steps once per frame; a press and release inside a
// flight leave nothing; a release in a computer player's turn clears at once.
TEST(KeyStep, EveryPressWhileAimingActsInAStep) {
    struct Row {
        const char* keys;
        int weapon = 0;  // selected; 1 has no rounds
        bool ai = false; // a computer player's turn, Enter held by its last try
        int angle = 30, fires = 0, shotstate = 0;
    };
    const Row rows[] = {
        {.keys = "R^.", .angle = 31},
        {.keys = "R^...", .angle = 31},
        {.keys = "R...^..", .angle = 33},
        {.keys = "R.R.R.^..", .angle = 33},
        {.keys = "R^R^.", .angle = 31},
        {.keys = "R^R..^.", .angle = 32},
        {.keys = "R.A^..", .angle = 31},
        {.keys = "E^...", .weapon = 1, .fires = 1},
        {.keys = "E...^.", .weapon = 1, .fires = 3},
        {.keys = "E^.", .fires = 1, .shotstate = 1},
        {.keys = "FR^G..", .angle = 30},
        {.keys = "FE^G..", .fires = 0},
        {.keys = "FRG.^.", .angle = 31},
        {.keys = "^", .ai = true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.keys);
        Rig rig(2, row.ai);
        rig.battle.weaponclicked(row.weapon); // chosen in the list
        if (row.ai)
            rig.battle.heldkey = kKeyEnter;
        for (const char* k = row.keys; *k; ++k) {
            switch (*k) {
            case 'R':
                rig.battle.keydown(kKeyRight);
                break;
            case 'E':
                rig.battle.keydown(kKeyEnter);
                break;
            case 'A':
                rig.battle.keydown('A');
                break;
            case '^':
                rig.battle.keyup();
                break;
            case 'F':
                rig.battle.shotstate = 1;
                break;
            case 'G':
                rig.battle.shotstate = 0;
                break;
            default:
                rig.battle.frame(0.015625);
                break;
            }
        }
        EXPECT_EQ(std::tuple(rig.player(0).angle, rig.sound.fires, rig.battle.shotstate,
                             rig.battle.heldkey),
                  std::tuple(row.angle, row.fires, row.shotstate, 0));
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
        {100, 0, 30, -12.4, "P: Hitpoints: 100 Score: 0", "Angle: 30 Power: 50 Wind:-13"},
        {100, 0, 30, 49.9, "P: Hitpoints: 100 Score: 0", "Angle: 30 Power: 50 Wind: 49"},
        {-8, 108, 181, -0.2, "P: Hitpoints:-8 Score: 108", "Angle: 181 Power: 50 Wind:-1"}};
    for (const auto& [hitpoints, score, angle, wind, line2, line1] : cases) {
        Rig rig;
        rig.player(0).hitpoints = static_cast<int16_t>(hitpoints);
        rig.player(0).roundscore = static_cast<int16_t>(score);
        rig.player(0).angle = static_cast<int16_t>(angle);
        rig.battle.wind = wind;
        EXPECT_EQ(rig.battle.statusline2(), line2);
        EXPECT_EQ(rig.battle.statusline1(), line1);
    }
}
