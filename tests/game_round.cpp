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
    struct Row {
        double draw; // the first player's draw
        int first;   // the seat it gives
        double phase1;
        bool redraw1 = false; // the first wave's period divisor is drawn once more
        double phase2;
        bool redraw2 = false;
        int edge;      // the ground at both edges before a redraw of the landscape
        int edgeafter; // and after it
    };
    const Row rows[] = {
        {.draw = 0.0, .first = 0, .phase1 = 0.25, .phase2 = 0.3, .edge = 359, .edgeafter = 359},
        {.draw = 0.5,
         .first = 0,
         .phase1 = 0.0,
         .redraw1 = true,
         .phase2 = 0.3,
         .edge = 360,
         .edgeafter = 360},
        {.draw = 0.5000001,
         .first = 1,
         .phase1 = 0.5,
         .redraw1 = true,
         .phase2 = 0.3,
         .edge = 361,
         .edgeafter = 359},
        {.draw = 0.9999999,
         .first = 1,
         .phase1 = 0.25,
         .phase2 = 0.0,
         .redraw2 = true,
         .edge = 32767,
         .edgeafter = 359},
        {.draw = 0.2,
         .first = 0,
         .phase1 = 0.25,
         .phase2 = 0.5,
         .redraw2 = true,
         .edge = -20,
         .edgeafter = -20},
        {.draw = 0.7,
         .first = 1,
         .phase1 = 0.0,
         .redraw1 = true,
         .phase2 = 0.5,
         .redraw2 = true,
         .edge = 400,
         .edgeafter = 359},
        {.draw = 0.1,
         .first = 0,
         .phase1 = 0x1p-24,
         .phase2 = 0.999,
         .edge = 100,
         .edgeafter = 100},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << "draw " << row.draw << ", phases " << row.phase1 << ", "
                                        << row.phase2 << ", edge " << row.edge);
        Rig rig;
        rig.battle.degtorad = 0;
        auto& script = rig.random.script;
        script = {row.draw, 0.4, 0.3, 0.2, row.phase1, 0.5};
        script.insert(script.end(), row.redraw1, 0.9); // a redraw takes one more value
        script.insert(script.end(), {0.4, 0.3, 0.2, row.phase2, 0.5});
        script.insert(script.end(), row.redraw2, 0.9);
        rig.battle.setup();
        EXPECT_EQ(std::tuple(rig.battle.curplayer, script.size(), rig.battle.degtorad),
                  std::tuple(row.first, 0u, 3.14 / 180.0));
        const auto& [heights, outline] = std::tie(rig.battle.heights, rig.battle.outline);
        heights[0] = heights[600] = static_cast<int16_t>(row.edge);
        rig.battle.realdraw();
        for (int x = 0; x < kColumns; ++x)
            ASSERT_EQ(outline[x], (Point{x, heights[x]})) << "point " << x;
        EXPECT_EQ(std::tuple(heights[0], heights[600], outline[601], outline[602]),
                  std::tuple(row.edgeafter, row.edgeafter, Point{600, 400}, Point{0, 400}));
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
    struct Aim {
        int angle, power;
    };
    struct Row {
        int key; // held
        Aim from;
        double dt;
        int frames;
        Aim to;
    };
    const Row rows[] = {
        {.key = kKeyRight, .from = {179, 50}, .dt = 0.011, .frames = 3, .to = {180, 50}},
        {.key = kKeyRight, .from = {179, 50}, .dt = 0.03, .frames = 4, .to = {181, 50}},
        {.key = kKeyRight, .from = {30, 50}, .dt = 0.011, .frames = 1, .to = {31, 50}},
        {.key = kKeyLeft, .from = {3, 50}, .dt = 0.011, .frames = 3, .to = {0, 50}},
        {.key = kKeyLeft, .from = {3, 50}, .dt = 0.03, .frames = 5, .to = {0, 50}},
        {.key = kKeyUp, .from = {30, 99}, .dt = 0.03, .frames = 3, .to = {30, 100}},
        {.key = kKeyUp, .from = {30, 50}, .dt = 0.011, .frames = 5, .to = {30, 50}},
        {.key = kKeyDown, .from = {30, 1}, .dt = 0.03, .frames = 2, .to = {30, 0}},
        {.key = kKeyDown, .from = {30, 50}, .dt = 0.011, .frames = 5, .to = {30, 50}},
        {.key = kKeyDown, .from = {30, 5}, .dt = 0.03, .frames = 2, .to = {30, 3}},
        {.key = 'A', .from = {30, 50}, .dt = 0.03, .frames = 3, .to = {30, 50}},
        {.key = kKeyLeft, .from = {90, 50}, .dt = 0.5, .frames = 1, .to = {60, 50}},
        {.key = kKeyRight, .from = {90, 50}, .dt = 0.5, .frames = 1, .to = {120, 50}},
    };
    for (const Row& row : rows) {
        Rig rig;
        playerrec& p = rig.player(0);
        p.angle = static_cast<int16_t>(row.from.angle);
        p.power = static_cast<int16_t>(row.from.power);
        rig.battle.heldkey = static_cast<int16_t>(row.key);
        rig.battle.draw();
        for (int n = 0; n < row.frames; ++n)
            rig.battle.keystep(row.dt);
        const int tipx = tankshape(50, 250, row.to.angle, rig.battle.degtorad).barrel[0].x;
        EXPECT_EQ(std::tuple(p.angle, p.power, p.tipx),
                  std::tuple(row.to.angle, row.to.power, tipx))
            << "key " << row.key << " from " << row.from.angle << "/" << row.from.power << " dt "
            << row.dt << ", " << row.frames << " frames";
    }
}

// What reaches the key step of the aiming frames ('.', dt 1/64: one degree
// per step) from presses (R right, E Enter, A a letter) and releases (^),
// also while a shell flies (F: in flight, G: down again). A press while a
// human aims acts in one step even when released before it, and lets go
// right after; a held key steps once per frame; a press and release inside a
// flight leave nothing.
TEST(KeyStep, EveryPressWhileAimingActsInAStep) {
    struct Row {
        const char* keys;
        int weapon = 0; // selected; 1 has no rounds
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
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.keys);
        Rig rig;
        rig.battle.weaponclicked(row.weapon); // chosen in the list
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

// A release in a computer player's turn, Enter held by its last try, clears
// the held key at once.
TEST(KeyStep, AReleaseInAComputerPlayersTurnClearsAtOnce) {
    Rig rig(2, true);
    rig.battle.weaponclicked(0); // chosen in the list
    rig.battle.heldkey = kKeyEnter;
    rig.battle.keyup();
    EXPECT_EQ(
        std::tuple(rig.player(0).angle, rig.sound.fires, rig.battle.shotstate, rig.battle.heldkey),
        std::tuple(30, 0, 0, 0));
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
    struct Row {
        int hitpoints, score, angle;
        double wind;
        const char* line2; // hit points and score
        const char* line1; // the aim and the wind
    };
    const Row rows[] = {
        {.hitpoints = 100,
         .score = 0,
         .angle = 30,
         .wind = -12.4,
         .line2 = "P: Hitpoints: 100 Score: 0",
         .line1 = "Angle: 30 Power: 50 Wind:-13"},
        {.hitpoints = 100,
         .score = 0,
         .angle = 30,
         .wind = 49.9,
         .line2 = "P: Hitpoints: 100 Score: 0",
         .line1 = "Angle: 30 Power: 50 Wind: 49"},
        {.hitpoints = -8,
         .score = 108,
         .angle = 181,
         .wind = -0.2,
         .line2 = "P: Hitpoints:-8 Score: 108",
         .line1 = "Angle: 181 Power: 50 Wind:-1"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << "hit points " << row.hitpoints << ", score " << row.score
                                        << ", angle " << row.angle << ", wind " << row.wind);
        Rig rig;
        rig.player(0).hitpoints = static_cast<int16_t>(row.hitpoints);
        rig.player(0).roundscore = static_cast<int16_t>(row.score);
        rig.player(0).angle = static_cast<int16_t>(row.angle);
        rig.battle.wind = row.wind;
        EXPECT_EQ(rig.battle.statusline2(), row.line2);
        EXPECT_EQ(rig.battle.statusline1(), row.line1);
    }
}
