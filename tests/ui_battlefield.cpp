// The battlefield window on the real clock, driven through the real event
// path (held keys with auto-repeat, the weapon list, Quit and its question,
// Enter, the close box), and a whole game through the application.
#include "ui/form1.h"
#include "ui/form2.h"
#include "ui/form3.h"
#include "ui/gameapp.h"
#include "ui_support.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>

#include <algorithm>

using namespace ordnix;

namespace {

// The real tick clock, counting its readings: a window that still wakes the
// battlefield reads the clock, so a count that stands still means nothing does.
struct CountingClock final : Clock {
    long reads = 0;
    TickClock tick;
    double now() override {
        ++reads;
        return tick.now();
    }
    double secondsuntil(double at) override { return tick.secondsuntil(at); }
};

struct CountingSound final : Sound {
    long fires = 0, explosions = 0;
    void play(SoundId id) override { ++(id == SoundId::Fire ? fires : explosions); }
};

// A round between two human players, after its first frame.
struct Field {
    Model model = newgame({"Red", "Blue"});
    MixRandom random;
    CountingClock clock;
    CountingSound sound;
    Battle battle{model, random, clock, sound};
    int quits = 0;
    Form1 form{battle, [] {}, [this] { ++quits; }};
    bool started = spin(1000, [this] { return battle.frames > 0; });

    QWidget* get(const char* name) { return control(&form, name); }
    QComboBox* list() { return control<QComboBox>(&form, "Combo1"); }
    playerrec& current() { return model.players[battle.curplayer]; }
    QMessageBox* question() { return form.findChild<QMessageBox*>("QuitQuestion"); }
    // Keys go to the control with the focus, else to the field.
    void key(bool press, Qt::Key k, bool repeat = false) {
        QWidget* to = form.focusWidget() ? form.focusWidget() : get("Picture1");
        QTest::simulateEvent(to, press, k, Qt::NoModifier, QString(), repeat);
    }
    // Aims straight up with little power, so the shell lands soon, and fires.
    bool fire() {
        current().angle = 90;
        current().power = 30;
        battle.draw();
        key(true, Qt::Key_Return);
        const bool flying = spin(1000, [this] { return battle.shotstate == 1; });
        key(false, Qt::Key_Return);
        return flying;
    }
};

// The tick clock on a time that runs forty times faster than real time.
struct FastClock final : Clock {
    double now() override { return totick(monotonicseconds() * 40); }
    double secondsuntil(double at) override { return at / 40 - monotonicseconds(); }
};

} // namespace

// A held Up raises the power once a frame, a frame every two clock ticks,
// also while the weapon list has the focus; only a real release ends it.
TEST(Form1, HeldUpRaisesThePowerOncePerFrame) {
    for (bool onlist : {false, true}) {
        SCOPED_TRACE(onlist ? "focus on the list" : "focus on the field");
        Field f;
        if (onlist)
            f.list()->setFocus();
        const int power = f.current().power;
        const long frames = f.battle.frames;
        std::vector<double> dts; // of the frames while Up is down
        f.key(true, Qt::Key_Up);
        spin(500, [&] {
            if (f.battle.frames > frames + static_cast<long>(dts.size()))
                dts.push_back(f.battle.lastdt);
            return false;
        });
        EXPECT_GE(f.current().power - power, 10);
        EXPECT_NEAR(f.current().power - power, f.battle.frames - frames, 2.0);
        std::sort(dts.begin(), dts.end());
        EXPECT_EQ(dts.at(dts.size() / 2), 1.0 / 64);
        f.key(false, Qt::Key_Up, true);
        EXPECT_EQ(f.battle.heldkey, kKeyUp) << "a release between auto-repeats";
        f.key(false, Qt::Key_Up);
        EXPECT_EQ(f.battle.heldkey, 0);
    }
}

TEST(Form1, QuitThenNoGoesOnWithOneLongStepAndYesEnds) {
    Field f;
    click(f.get("Command1"));
    ASSERT_TRUE(f.question());
    long frames = f.battle.frames;
    spin(250);
    EXPECT_EQ(f.battle.frames, frames); // no frames while the question is open
    click(f.question()->button(QMessageBox::No));
    EXPECT_EQ(f.battle.frames, frames + 1);
    EXPECT_GT(f.battle.lastdt, 0.1);
    EXPECT_TRUE(spin(500, [&] { return f.battle.frames >= frames + 4; }));
    EXPECT_EQ(f.quits, 0);

    click(f.get("Command1"));
    ASSERT_TRUE(f.question());
    frames = f.battle.frames;
    click(f.question()->button(QMessageBox::Yes));
    spin(150);
    EXPECT_EQ(f.quits, 1);
    EXPECT_EQ(f.battle.frames, frames);
}

TEST(Form1, OpensAndEnterFiresAShellAndTheTurnPassesAfterIt) {
    Field f;
    ASSERT_TRUE(f.started);
    EXPECT_EQ(f.form.size(), QSize(620, 451));
    for (const char* name : {"Picture1", "Combo1", "Command1", "Label1", "Label2", "Image1"})
        EXPECT_TRUE(f.get(name)->isVisible()) << name;
    const int shooter = f.battle.curplayer;
    ASSERT_TRUE(f.fire());
    EXPECT_EQ(f.model.players[shooter].ammo[0], 9998);
    EXPECT_EQ(f.sound.fires, 1);
    ASSERT_TRUE(spin(3000, [&] { return f.battle.shotstate == 0; }));
    EXPECT_EQ(f.battle.curplayer, 1 - shooter);
    EXPECT_EQ(f.sound.explosions, 1);
}

// Enter stuck on a weapon the player has none of only clicks; the list still
// takes a choice, and a weapon in stock then fires.
TEST(Form1, EnterStuckOnAnEmptyStockKeepsTheListUsable) {
    Field f;
    f.list()->setFocus();
    f.key(true, Qt::Key_Down);
    f.key(false, Qt::Key_Down);
    ASSERT_EQ(control<QLabel>(&f.form, "Label3")->text(), "Ammo: 0");
    f.key(true, Qt::Key_Return);
    spin(300);
    EXPECT_GE(f.sound.fires, 7); // tried in every frame: about 9 in 300 ms
    EXPECT_EQ(f.battle.shotstate, 0);
    f.list()->setCurrentIndex(0);
    emit f.list()->activated(0); // as a choice with the mouse
    EXPECT_EQ(control<QLabel>(&f.form, "Label3")->text(), "Ammo: 9999");
    EXPECT_TRUE(spin(500, [&] { return f.battle.shotstate == 1; }));
}

// The close box at any moment ends the program once, and nothing wakes the
// battlefield afterwards, not even a No to a question left open.
TEST(Form1, TheCloseBoxEndsTheProgramOnceAndStopsTheBattlefield) {
    for (const char* moment : {"aiming", "flight", "question"}) {
        SCOPED_TRACE(moment);
        Field f;
        ASSERT_TRUE(moment[0] != 'f' || f.fire());
        if (moment[0] == 'q')
            click(f.get("Command1"));
        f.form.close();
        const long reads = f.clock.reads;
        if (QMessageBox* box = f.question())
            click(box->button(QMessageBox::No));
        spin(200);
        EXPECT_EQ(f.quits, 1);
        EXPECT_EQ(f.clock.reads, reads);
    }
}

// Two computer players on the fast clock: round one, the results, the shop,
// and round two on a new landscape with money and totals carried over.
TEST(GameFlow, TwoComputerPlayersPlayTwoRoundsWithTheShopBetween) {
    FastClock clock;
    GameApp app(&clock);
    app.start();
    click(control(app.setup(), "Option2_0"));
    click(control(app.setup(), "Option2_1"));
    click(control(app.setup(), "Command1"));
    const auto firstland = app.battle().heights;
    spin(60000, [&] { return app.results() && !app.battlefield(); });
    QPointer<Form3> shop = app.results();
    ASSERT_TRUE(shop && shop->isVisible()) << "round one not decided";
    click(control(shop, "Command1"));
    EXPECT_TRUE(control(shop, "Frame2")->isVisible());
    const Model before = app.model();

    // Both players are computer players, so the next Next starts round two on
    // a new landscape; a second, hasty click opens no second battlefield.
    click(control(shop, "Command1"));
    QPointer<Form1> field = app.battlefield();
    EXPECT_NE(app.battle().heights, firstland);
    for (int i = 0; i < 2; ++i) {
        const playerrec &p = app.model().players[i], &b = before.players[i];
        EXPECT_EQ(std::tuple(p.hitpoints, p.ammo[0], p.totalscore, p.money),
                  std::tuple(100, kBasicShots, b.totalscore, b.money));
    }
    if (shop)
        click(control(shop, "Command1"));
    spin(50);
    EXPECT_TRUE(field && field == app.battlefield());
}
