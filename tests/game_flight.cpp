// The launch, where a flight ends, and the frame pacing through wake().
#include "game_fakes.h"

#include <tuple>

using namespace ordnix;

// Straight up is not quite vertical with pi taken as 3.14; the round comes
// from the weapon selected in the list, not from the player's last choice.
TEST(Launch, VelocityFromAngleAndPowerAndAmmoFromTheSelectedWeapon) {
    Rig rig;
    FakeView view;
    view.selected = 3;
    rig.battle.attach(nullptr, &view);
    rig.player(0).angle = 90;
    rig.player(0).power = 100;
    rig.player(0).ammo[3] = 5;
    rig.battle.draw();
    ASSERT_TRUE(rig.battle.launch());
    EXPECT_NEAR(rig.battle.shotvx, -1.194490, 1e-5);
    EXPECT_NEAR(rig.battle.shotvy, 1499.999524, 1e-5);
    EXPECT_EQ(rig.battle.shotx, rig.player(0).tipx);
    EXPECT_EQ(rig.battle.shoty, rig.player(0).tipy);
    EXPECT_EQ(rig.player(0).ammo[3], 4);
}

// An empty stock fires nothing, but the firing sound plays in every frame
// while Enter stays held.
TEST(Launch, EmptyStockOnlyPlaysTheFiringSound) {
    Rig rig;
    rig.player(0).curweapon = 4;
    rig.battle.heldkey = kKeyEnter;
    for (int n = 0; n < 3; ++n)
        rig.battle.frame(0.015625);
    EXPECT_EQ(rig.sound.fires, 3);
    EXPECT_EQ(rig.battle.shotstate, 0);
    EXPECT_EQ(rig.battle.heldkey, kKeyEnter);
}

// A shell at rest at (x, y), with column 600 at row 300: it moves with the
// velocity from before the frame, which then changes by wind and gravity.
// Beyond column 600 or left of 0 the flight ends without a blast; a shell
// exactly at ground height flies on.
TEST(Flight, FrameAcceleratesAndTestsTheColumnUnderTheShell) {
    const std::tuple<double, double, bool, bool, double, int> cases[] = {
        // x, y, flight ends, blast, y afterwards, impactx
        {600.9, 299, false, false, 299, 0},  {600.9, 301, true, false, 300, 601},
        {601.0, -50, true, false, -50, 601}, {-0.1, -500, true, false, -500, 0},
        {300.5, 250, false, false, 250, 0},  {300.5, 250.01, true, true, 250, 300}};
    for (const auto& [x, y, ends, blast, endy, impactx] : cases) {
        SCOPED_TRACE(testing::Message() << "shell at " << x << ", " << y);
        Rig rig;
        rig.battle.heights[600] = 300;
        rig.push({0.5}); // the next turn's wind
        rig.battle.shotstate = 1;
        rig.battle.shotx = x;
        rig.battle.shoty = y;
        rig.battle.wind = 64; // pushes to the left
        rig.battle.flightframe(0.015625);
        EXPECT_DOUBLE_EQ(rig.battle.shotvx, -1.0);
        EXPECT_DOUBLE_EQ(rig.battle.shotvy, -46.875);
        EXPECT_DOUBLE_EQ(rig.battle.shoty, endy);
        EXPECT_EQ(rig.battle.exploding(), blast);
        rig.battle.finishexplosion();
        EXPECT_EQ(rig.battle.shotstate, ends ? 0 : 1);
        EXPECT_EQ(rig.battle.curplayer, ends ? 1 : 0);
        EXPECT_EQ(rig.player(0).impactx, impactx);
    }
}

// Waking at the reading the battle asks for gives frames two ticks apart
// with dt 0.015625, so a held Up raises the power by round(0.625) = 1 per
// frame.
TEST(Pacing, FramesTwoTicksApartRaiseThePowerByOne) {
    Rig rig;
    rig.battle.heldkey = kKeyUp;
    rig.battle.startloop();
    Wake w = rig.battle.wake();
    for (int frame = 1; frame <= 10; ++frame) {
        const double last = rig.clock.t;
        rig.clock.t = w.nextat;
        w = rig.battle.wake();
        EXPECT_DOUBLE_EQ(rig.clock.t - last, 0.03125) << "frame " << frame;
        EXPECT_DOUBLE_EQ(rig.battle.lastdt, 0.015625);
        EXPECT_EQ(rig.player(0).power, 50 + frame);
    }
}
