// The computer player: a random living target, an opening angle from the
// distance table with power 75, then two points of power per shot towards
// the target; and whole rounds of computer players.
#include "game_fakes.h"

#include <algorithm>
#include <tuple>

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
        SCOPED_TRACE(testing::Message() << "seat " << seat << " first draw " << draws[0]);
        Rig rig(3, true);
        rig.battle.curplayer = static_cast<int16_t>(seat);
        rig.random.script.assign(draws.begin(), draws.end());
        rig.battle.ki();
        EXPECT_EQ(rig.player(seat).target, target);
        EXPECT_TRUE(rig.random.script.empty()) << "every draw used";
    }
}

// The opening angle: a base by distance d = own x - target x, mirrored as
// 165 - base for a target on the right, plus 15 times the draw.
TEST(ComputerPlayer, OpeningAngleFromTheDistanceTable) {
    const std::tuple<int, double, int> cases[] = {
        // distance, draw, angle
        {1, 0, 75},      {100, 0, 75},    {101, 0, 70},   {200, 0, 70},   {201, 0, 65},
        {300, 0, 65},    {301, 0, 60},    {400, 0, 60},   {401, 0, 55},   {500, 0, 55},
        {501, 0, 50},    {501, kTop, 65}, {150, 0.5, 78}, {-1, 0, 90},    {-100, 0, 90},
        {-101, 0, 95},   {-200, 0, 95},   {-201, 0, 100}, {-300, 0, 100}, {-301, 0, 105},
        {-400, 0, 105},  {-401, 0, 110},  {-500, 0, 110}, {-501, 0, 115}, {-501, kTop, 130},
        {-150, 0.5, 102}};
    for (const auto& [d, r, angle] : cases) {
        Rig rig(2, true);
        const int own = d > 0 ? 560 : 40;
        rig.player(0).x = static_cast<int16_t>(own);
        rig.player(1).x = static_cast<int16_t>(own - d);
        rig.push({0.0, r});
        rig.battle.ki();
        EXPECT_EQ(rig.player(0).angle, angle) << "distance " << d << " draw " << r;
    }
}

// With a living target the power moves by two: up when the last shell came
// down short of it, down when it went past, and at an exact hit down for a
// target on the right, up for one on the left. The angle stays, and the
// power stops at its 16-bit limits.
TEST(ComputerPlayer, PowerCorrectionTowardsTheTarget) {
    const std::tuple<int, int, int, int, int> cases[] = {
        // own x, target x, last impact, power before and after
        {100, 400, 370, 80, 82}, {100, 400, 400, 80, 78},       {400, 100, 100, 80, 82},
        {400, 100, 70, 80, 78},  {100, 400, 370, 32767, 32767}, {100, 400, 450, -32768, -32768}};
    for (const auto& [own, target, impactx, power, expected] : cases) {
        Rig rig(2, true);
        rig.player(0).x = static_cast<int16_t>(own);
        rig.player(1).x = static_cast<int16_t>(target);
        rig.player(0).target = 1;
        rig.player(0).angle = 63;
        rig.player(0).power = static_cast<int16_t>(power);
        rig.player(0).impactx = static_cast<int16_t>(impactx);
        rig.battle.ki(); // no draws: the script is empty
        EXPECT_EQ(rig.player(0).power, expected) << own << " at " << target << ", " << impactx;
        EXPECT_EQ(rig.player(0).angle, 63);
    }
}

TEST(ComputerPlayer, DeadTargetIsReplacedAndPowerReset) {
    Rig rig(3, true);
    rig.player(0).target = 1;
    rig.player(0).power = 81;
    rig.player(1).hitpoints = -4;
    rig.push({0.9, 0.0}); // seat 2, then the angle draw
    rig.battle.ki();
    EXPECT_EQ(rig.player(0).target, 2);
    EXPECT_EQ(rig.player(0).power, 75);
    EXPECT_EQ(rig.player(0).angle, 110) << "500 pixels to the right";
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
// hand-over comes at the wake after the one that cleared running.
TEST(HeadlessRound, ComputerPlayersAlwaysFinish) {
    for (int players = 2; players <= 8; ++players) {
        for (uint64_t seed = 1; seed <= 8; ++seed) {
            SCOPED_TRACE(testing::Message() << players << " players, seed " << seed);
            Model model;
            seatplayers(model, players, true);
            MixRandom random(seed * 7919 + players);
            FakeClock clock;
            FakeSound sound;
            Battle battle(model, random, clock, sound);
            battle.setup();
            battle.begin();
            battle.startloop();
            Wake w = battle.wake();
            std::array<int16_t, kPlayerSlots> hp{};
            for (int i = 0; i < kPlayerSlots; ++i)
                hp[i] = model.players[i].hitpoints;
            for (int wakes = 0; !w.handover; ++wakes) {
                ASSERT_LT(wakes, 200000) << "no hand-over";
                const bool decided = !battle.running;
                clock.t = std::max(clock.t, w.nextat);
                w = battle.wake();
                ASSERT_EQ(w.handover, decided);
                ASSERT_TRUE(battle.curplayer >= 0 && battle.curplayer <= model.lastplayer);
                for (int i = 0; i < kPlayerSlots; ++i) {
                    ASSERT_LE(model.players[i].hitpoints, hp[i]) << "player " << i << " healed";
                    hp[i] = model.players[i].hitpoints;
                }
                ASSERT_LE(*std::max_element(battle.heights.begin(), battle.heights.end()), 360);
            }
            EXPECT_FALSE(battle.wake().handover) << "the loop has stopped";
            EXPECT_LE(std::count_if(model.players.begin(), model.players.end(), living), 1);
        }
    }
}
