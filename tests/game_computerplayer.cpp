// The computer player: a random living target, an opening angle from the
// distance table with power 75, then two points of power per shot towards
// the target; and whole rounds of computer players.
#include "game_fakes.h"

#include <algorithm>
#include <cmath>

using namespace ordnix;

constexpr double kTop = 1.0 - 1.0 / 16777216; // the largest value a draw gives

// Three players at 50, 300 and 550. The draw times 2, rounded halves to even,
// names the seat; the own seat moves up by one, an empty or dead seat is
// drawn again. The last value is the angle draw.
TEST(ComputerPlayer, TargetDrawPicksALivingOtherSeat) {
    const std::tuple<int, std::vector<double>, int> cases[] = {
        // seat, draws, target
        {0, {0.0, 0.5}, 1},       {0, {0.25, 0.5}, 1},       {0, {0.7499999, 0.5}, 1},
        {0, {0.75, 0.5}, 2},      {2, {0.25, 0.5}, 0},       {2, {0.2500001, 0.5}, 1},
        {2, {0.7499999, 0.5}, 1}, {2, {0.75, 0.25, 0.5}, 0}, {2, {kTop, 0.9, 0.6, 0.5}, 1}};
    for (const auto& [seat, draws, target] : cases) {
        Rig rig(3, true);
        rig.battle.curplayer = static_cast<int16_t>(seat);
        rig.random.script.assign(draws.begin(), draws.end());
        rig.battle.ki();
        EXPECT_EQ(rig.player(seat).target, target) << "seat " << seat << " draw " << draws[0];
        EXPECT_TRUE(rig.random.script.empty()) << "every draw used";
    }
}

// The opening angle: a base by the distance to the target, mirrored as
// 165 - base for a target on the right, plus 15 times the draw. Each row is
// tried with the target on the left and on the right.
TEST(ComputerPlayer, OpeningAngleFromTheDistanceTable) {
    const std::tuple<int, double, int, int> cases[] = {
        // distance, draw, angle for a target on the left and on the right
        {1, 0, 75, 90},     {100, 0, 75, 90},  {101, 0, 70, 95},  {200, 0, 70, 95},
        {201, 0, 65, 100},  {300, 0, 65, 100}, {301, 0, 60, 105}, {400, 0, 60, 105},
        {401, 0, 55, 110},  {500, 0, 55, 110}, {501, 0, 50, 115}, {501, kTop, 65, 130},
        {150, 0.5, 78, 102}};
    for (const auto& [d, r, left, right] : cases) {
        for (const auto& [own, target, angle] :
             {std::tuple{560, 560 - d, left}, {40, 40 + d, right}}) {
            Rig rig(2, true, {own, target});
            rig.push({0.0, r});
            rig.battle.ki();
            EXPECT_EQ(rig.player(0).angle, angle) << own << " at " << target << " draw " << r;
        }
    }
}

// With a living target the power moves by two: up when the last shell came
// down short of it, down when it went past, and at an exact hit down for a
// target on the right, up for one on the left. The angle stays (30), and the
// power stops at its 16-bit limits. A dead target is replaced by a new draw,
// with the opening angle and power 75.
TEST(ComputerPlayer, PowerCorrectionTowardsTheTargetOrANewTarget) {
    struct Row {
        int own, target; // the tanks' columns
        int impactx;     // of the last shell
        int power, powerafter;
    };
    const Row rows[] = {
        {.own = 100, .target = 400, .impactx = 370, .power = 80, .powerafter = 82},
        {.own = 100, .target = 400, .impactx = 400, .power = 80, .powerafter = 78},
        {.own = 400, .target = 100, .impactx = 100, .power = 80, .powerafter = 82},
        {.own = 400, .target = 100, .impactx = 70, .power = 80, .powerafter = 78},
        {.own = 100, .target = 400, .impactx = 370, .power = 32767, .powerafter = 32767},
        {.own = 100, .target = 400, .impactx = 450, .power = -32768, .powerafter = -32768},
    };
    for (const Row& row : rows) {
        Rig rig(2, true, {row.own, row.target});
        playerrec& p = rig.player(0);
        p.target = 1;
        p.power = static_cast<int16_t>(row.power);
        p.impactx = static_cast<int16_t>(row.impactx);
        rig.battle.ki(); // no draws: the script is empty
        EXPECT_EQ(std::tuple(p.power, p.angle), std::tuple(row.powerafter, 30))
            << row.own << " at " << row.target << ", last impact " << row.impactx << ", power "
            << row.power;
    }
    Rig rig(3, true);
    rig.player(0).target = 1;
    rig.player(0).power = 81;
    rig.player(1).hitpoints = -4;
    rig.push({0.9, 0.0}); // seat 2, 500 pixels to the right; then the angle draw
    rig.battle.ki();
    EXPECT_EQ(std::tuple(rig.player(0).target, rig.player(0).power, rig.player(0).angle),
              std::tuple(2, 75, 110));
}

// A weapon without rounds in the list at a computer player's turn: it tries
// to launch in every frame of the loop, with the aim it took once, so its
// power stays within 2 of where it was. A weapon with rounds then fires that
// aim, and the next turn corrects the power once more.
TEST(ComputerPlayer, EmptyStockRetriesEveryFrameWithTheSameAim) {
    Rig rig(2, true, {100, 400});
    playerrec& p = rig.player(0);
    p.target = 1;
    p.impactx = 370; // short of the target: up by 2
    p.power = 80;
    rig.battle.weaponclicked(1); // none of these
    Wake w = rig.battle.wake();
    while (rig.battle.frames < 100) {
        rig.clock.t += w.seconds;
        w = rig.battle.wake();
    }
    EXPECT_EQ(std::tuple(p.power, p.angle, rig.sound.fires, rig.battle.shotstate),
              std::tuple(82, 30, 100, 0));
    rig.battle.weaponclicked(0);
    rig.battle.frame(0.015625);
    ASSERT_EQ(rig.battle.shotstate, 1);
    EXPECT_NEAR(rig.battle.shotvx, -std::cos(30 * rig.battle.degtorad) * 82 * 15, 1e-9);
    rig.battle.shotstate = 0; // its next turn
    rig.battle.frame(0.015625);
    EXPECT_EQ(p.power, 84);
}

// The target retry reseeds at one unchanging clock reading; it must still
// get a new value each time.
TEST(MixRandom, ReseedsAtTheSameReadingGiveNewValues) {
    MixRandom random;
    random.reseed(3.0);
    const double first = random.draw();
    random.reseed(3.0);
    EXPECT_NE(random.draw(), first);
}

// Whole rounds driven through wake() as the window drives them, with the
// game's generator. Every round ends with at most one tank standing, and the
// hand-over comes at the wake after the one that cleared running. Nobody is
// healed, and no ground sinks below row 360.
TEST(HeadlessRound, ComputerPlayersAlwaysFinish) {
    for (int players = 2; players <= 8; ++players) {
        for (uint64_t seed = 1; seed <= 8; ++seed) {
            SCOPED_TRACE(testing::Message() << players << " players, seed " << seed);
            Model model = newgame(std::vector<std::string>(players, "*P"));
            MixRandom random(seed * 7919 + players);
            FakeClock clock;
            FakeSound sound;
            Battle battle(model, random, clock, sound);
            battle.setup();
            battle.begin();
            Wake w = battle.wake();
            for (int wakes = 0; !w.decided; ++wakes) {
                ASSERT_LT(wakes, 200000) << "no hand-over";
                const bool decided = !battle.running;
                const auto before = model.players;
                clock.t += std::max(0.0, w.seconds);
                w = battle.wake();
                ASSERT_EQ(w.decided, decided);
                ASSERT_TRUE(battle.curplayer >= 0 && battle.curplayer <= model.lastplayer);
                for (int i = 0; i < kPlayerSlots; ++i)
                    ASSERT_LE(model.players[i].hitpoints, before[i].hitpoints) << "player " << i;
                ASSERT_LE(*std::max_element(battle.heights.begin(), battle.heights.end()), 360);
            }
            EXPECT_FALSE(battle.wake().decided) << "the loop has stopped";
            EXPECT_LE(std::count_if(model.players.begin(), model.players.end(), living), 1);
        }
    }
}
