// The battlefield window on the real clock, driven through the real event
// path: keys through the window's key filter (with auto-repeat), the weapon
// list, the Quit button and its question, Enter firing a shell, and the close
// box at any moment.

#include "game/numbers.h"
#include "ui/form1.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace ordnix;

namespace {

constexpr double kFrameStep = 1.0 / 64.0; // dt of a frame paced by the tick clock

// The real tick clock, counting its readings: a battlefield that is woken
// reads the clock, so a count that stands still means nothing wakes it.
class CountingClock final : public Clock {
  public:
    long reads = 0;
    double now() override {
        ++reads;
        return tick_.now();
    }
    double secondsuntil(double reading) override { return tick_.secondsuntil(reading); }

  private:
    TickClock tick_;
};

class RecordingSound final : public Sound {
  public:
    std::vector<SoundId> played;
    void play(SoundId id) override { played.push_back(id); }
    long count(SoundId id) const { return std::count(played.begin(), played.end(), id); }
};

// Runs the event loop for up to `ms` milliseconds, looking at `until` about
// every millisecond; returns whether `until` came true.
bool spin(int ms, const std::function<bool()>& until = {}) {
    QEventLoop loop;
    QElapsedTimer elapsed;
    elapsed.start();
    bool met = false;
    QTimer poll;
    poll.setTimerType(Qt::PreciseTimer);
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (until && until()) {
            met = true;
            loop.quit();
        } else if (elapsed.elapsed() >= ms) {
            loop.quit();
        }
    });
    poll.start(1);
    loop.exec();
    // Windows closed meanwhile go now, as they would in the main loop.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return met;
}

double median(std::vector<double> v) {
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// A round between two human players, Red and Blue, in a battlefield window.
struct Field {
    Model model;
    MixRandom random;
    CountingClock clock;
    RecordingSound sound;
    Battle battle{model, random, clock, sound};
    int roundsover = 0;
    int quits = 0;
    std::unique_ptr<Form1> form;

    Field() {
        initweapons(model);
        model.lastplayer = 1;
        std::array<PlayerChoice, 8> choices;
        choices[0] = {"Red", false};
        choices[1] = {"Blue", false};
        startgame(model, choices);
        form = std::make_unique<Form1>(
            battle, [this] { ++roundsover; }, [this] { ++quits; });
    }
    ~Field() { form.reset(); }

    template <class W> W* control(const char* name) {
        W* w = form->findChild<W*>(name);
        if (!w)
            ADD_FAILURE() << "no control " << name;
        return w;
    }
    QString text(const char* label) { return control<QLabel>(label)->text(); }
    QComboBox* weapons() { return control<QComboBox>("Combo1"); }
    QLabel* marker() { return control<QLabel>("Image1"); }
    playerrec& current() { return model.players[battle.curplayer]; }

    // The first frame has run and its status lines are up.
    bool firstframe() {
        return spin(1000, [this] { return battle.frames > 0; });
    }

    // Where the keyboard goes: the control with the focus, else the field.
    QWidget* keytarget() {
        QWidget* w = form->focusWidget();
        return w ? w : control<QWidget>("Picture1");
    }

    // Holds `key` for `ms` milliseconds as a keyboard does: one press, then
    // auto-repeat pairs (a repeated release and press) about 30 times a
    // second; the real release follows only when `release` is set. Returns
    // the dt of the frames that ran meanwhile.
    std::vector<double> hold(Qt::Key key, int ms, QWidget* target = nullptr, bool release = true) {
        if (!target)
            target = keytarget();
        std::vector<double> dts;
        long seen = battle.frames;
        QElapsedTimer held;
        held.start();
        QTest::keyPress(target, key);
        qint64 nextrepeat = 33;
        spin(ms, [&] {
            if (battle.frames != seen) {
                seen = battle.frames;
                dts.push_back(battle.lastdt);
            }
            if (held.elapsed() >= nextrepeat) {
                QTest::simulateEvent(target, false, key, Qt::NoModifier, QString(), true);
                QTest::simulateEvent(target, true, key, Qt::NoModifier, QString(), true);
                nextrepeat += 33;
            }
            return false;
        });
        if (release)
            QTest::keyRelease(target, key);
        return dts;
    }

    QMessageBox* question() { return form->findChild<QMessageBox*>("QuitQuestion"); }
    void quit() { QTest::mouseClick(control<QPushButton>("Command1"), Qt::LeftButton); }

    // Aims the current player's barrel straight up with little power, so the
    // shell comes down close by soon.
    void aimup() {
        current().angle = 90;
        current().power = 30;
        battle.draw(); // the muzzle point follows the barrel
    }
    // Presses Enter and keeps it down until the shell flies.
    bool fire() {
        QWidget* target = keytarget();
        QTest::keyPress(target, Qt::Key_Return);
        const bool flying = spin(1000, [this] { return battle.shotstate == 1; });
        QTest::keyRelease(target, Qt::Key_Return);
        return flying;
    }
};

std::string statusline1(const playerrec& p, double wind) {
    return "Angle:" + numtext(p.angle) + " Power:" + numtext(p.power) +
           " Wind:" + numtext(static_cast<long>(std::floor(wind)));
}

} // namespace

TEST(Form1, OpensAsDesigned) {
    Field f;
    Form1& w = *f.form;
    EXPECT_EQ(w.windowTitle(), "Quarvel Ordnix");
    EXPECT_EQ(w.size(), QSize(620, 451));
    EXPECT_EQ(w.minimumSize(), w.maximumSize());
    EXPECT_TRUE(w.isVisible());

    for (const char* name : {"Picture4", "Picture1", "Picture3", "Combo1", "Command1", "Label1",
                             "Label2", "Label3", "Label4"})
        EXPECT_TRUE(f.control<QWidget>(name)->isVisible()) << name;
    EXPECT_EQ(f.text("Label4"), "Selected Weapon:");
    EXPECT_EQ(f.control<QPushButton>("Command1")->text(), "Quit");
    EXPECT_EQ(f.control<QWidget>("Picture1")->geometry(), QRect(8, 48, 600, 360));
    EXPECT_EQ(f.control<QWidget>("Picture1")->parentWidget(), &w);

    // The first turn is prepared: all seven weapons, the grenade's rounds,
    // the marker over the current tank.
    QComboBox* list = f.weapons();
    ASSERT_EQ(list->count(), 7);
    const char* names[] = {"25 mm Grenade", "50 mm Grenade", "50kg Bomb",  "500kg Bomb",
                           "5 Mega Nuke!",  "Cluster bomb",  "Killer bomb"};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(list->itemText(i), names[i]);
    EXPECT_EQ(list->currentIndex(), 0);
    EXPECT_EQ(f.text("Label3"), "Ammo: 9999");

    QLabel* marker = f.marker();
    EXPECT_TRUE(marker->isVisible());
    EXPECT_EQ(marker->parentWidget(), f.control<QWidget>("Picture1"));
    const playerrec& p = f.current();
    EXPECT_EQ(marker->pos(), QPoint(p.x - 6, f.battle.heights[p.x + 8] - 50));
    EXPECT_EQ(marker->size(), QSize(32, 32));
    EXPECT_EQ(marker->pixmap().size(), QSize(32, 32));

    ASSERT_TRUE(f.firstframe());
    EXPECT_EQ(f.text("Label2").toStdString(), p.name + ": Hitpoints: 100 Score: 0");
    EXPECT_EQ(f.text("Label1").toStdString(), statusline1(p, f.battle.wind));
    EXPECT_EQ(f.roundsover, 0);
    EXPECT_EQ(f.quits, 0);
}

// A held arrow moves the aim one step in every frame, and frames come every
// two ticks of the clock: 32 steps a second.
struct HeldArrow {
    const char* name;
    Qt::Key key;
    int16_t playerrec::*field;
    int direction;
};

class Form1HeldArrow : public testing::TestWithParam<HeldArrow> {};

TEST_P(Form1HeldArrow, MovesTheAimOneStepPerFrame) {
    const HeldArrow& c = GetParam();
    Field f;
    ASSERT_TRUE(f.firstframe());
    playerrec& p = f.current();
    const int before = p.*c.field;
    const long framesbefore = f.battle.frames;

    const std::vector<double> dts = f.hold(c.key, 500);

    const int moved = (p.*c.field - before) * c.direction;
    EXPECT_GE(moved, 10);
    EXPECT_LE(moved, 20);
    EXPECT_EQ(median(dts), kFrameStep);
    EXPECT_NEAR(moved, static_cast<double>(f.battle.frames - framesbefore), 2.0);
    EXPECT_EQ(f.battle.heldkey, 0); // the real release clears it
    // The status line shows the new aim.
    spin(100, [&] { return f.text("Label1").toStdString() == statusline1(p, f.battle.wind); });
    EXPECT_EQ(f.text("Label1").toStdString(), statusline1(p, f.battle.wind));
}

INSTANTIATE_TEST_SUITE_P(Keys, Form1HeldArrow,
                         testing::Values(HeldArrow{"Up", Qt::Key_Up, &playerrec::power, 1},
                                         HeldArrow{"Down", Qt::Key_Down, &playerrec::power, -1},
                                         HeldArrow{"Right", Qt::Key_Right, &playerrec::angle, 1},
                                         HeldArrow{"Left", Qt::Key_Left, &playerrec::angle, -1}),
                         [](const testing::TestParamInfo<HeldArrow>& info) {
                             return std::string(info.param.name);
                         });

TEST(Form1, AKeyHeldWhileTheWeaponListHasTheFocusReachesTheKeyStep) {
    Field f;
    ASSERT_TRUE(f.firstframe());
    QComboBox* list = f.weapons();
    list->setFocus();
    ASSERT_EQ(f.form->focusWidget(), list);
    const int before = f.current().power;

    f.hold(Qt::Key_Up, 300, list);

    EXPECT_GE(f.current().power - before, 5);
    EXPECT_EQ(list->currentIndex(), 0); // the grenade is the top entry already
}

TEST(Form1, OnlyARealKeyReleaseClearsTheHeldKey) {
    Field f;
    ASSERT_TRUE(f.firstframe());
    QWidget* field = f.keytarget();
    struct Step {
        QEvent::Type type;
        Qt::Key key;
        bool autorepeat;
        int16_t heldkey;
    };
    const Step steps[] = {
        {QEvent::KeyPress, Qt::Key_Up, false, 38},
        {QEvent::KeyRelease, Qt::Key_Up, true, 38}, // between auto-repeats
        {QEvent::KeyPress, Qt::Key_Up, true, 38},
        {QEvent::KeyRelease, Qt::Key_Up, false, 0}, // the key comes up
        {QEvent::KeyPress, Qt::Key_Left, false, 37},
        {QEvent::KeyPress, Qt::Key_A, false, 65},     // another key replaces it
        {QEvent::KeyRelease, Qt::Key_X, false, 0},    // any release clears it
        {QEvent::KeyPress, Qt::Key_Enter, false, 13}, // keypad Enter fires too
        {QEvent::KeyRelease, Qt::Key_Enter, false, 0},
    };
    for (const Step& s : steps) {
        QTest::simulateEvent(field, s.type == QEvent::KeyPress, s.key, Qt::NoModifier, QString(),
                             s.autorepeat);
        EXPECT_EQ(f.battle.heldkey, s.heldkey)
            << "after key " << s.key << (s.autorepeat ? " (repeat)" : "");
    }
}

TEST(Form1, QuitThenNoGoesOnWithOneLongStep) {
    Field f;
    ASSERT_TRUE(f.firstframe());
    f.quit();
    QPointer<QMessageBox> box = f.question();
    ASSERT_TRUE(box);
    EXPECT_TRUE(box->isVisible());
    EXPECT_EQ(box->text(), "Do you realy want to quit?");
    EXPECT_EQ(box->windowTitle(), "Ordnix");
    EXPECT_EQ(box->icon(), QMessageBox::NoIcon);
    EXPECT_EQ(box->standardButtons(), QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(box->windowModality(), Qt::ApplicationModal);

    // The battlefield stands still while the question is open.
    const long frames = f.battle.frames;
    spin(250);
    EXPECT_EQ(f.battle.frames, frames);

    QTest::mouseClick(box->button(QMessageBox::No), Qt::LeftButton);
    EXPECT_EQ(f.battle.frames, frames + 1);
    EXPECT_GT(f.battle.lastdt, 0.1);
    EXPECT_EQ(f.quits, 0);

    // Then the frames go on at their pace.
    EXPECT_TRUE(spin(500, [&] { return f.battle.frames >= frames + 4; }));
    EXPECT_EQ(f.battle.lastdt, kFrameStep);
    EXPECT_FALSE(box);
    EXPECT_FALSE(f.form->questionopen());
}

TEST(Form1, QuitThenYesEndsTheProgram) {
    Field f;
    ASSERT_TRUE(f.firstframe());
    f.quit();
    QMessageBox* box = f.question();
    ASSERT_TRUE(box);
    const long frames = f.battle.frames;
    QTest::mouseClick(box->button(QMessageBox::Yes), Qt::LeftButton);
    EXPECT_EQ(f.quits, 1);
    spin(150);
    EXPECT_EQ(f.battle.frames, frames);
    EXPECT_EQ(f.roundsover, 0);
}

TEST(Form1, EnterFiresTheGrenadeAndTheTurnPassesAfterTheFlight) {
    Field f;
    ASSERT_TRUE(f.firstframe());
    const int shooter = f.battle.curplayer;
    const int other = 1 - shooter;
    f.aimup();

    ASSERT_TRUE(f.fire());
    EXPECT_EQ(f.battle.shooter, shooter);
    EXPECT_FALSE(f.marker()->isVisible());
    EXPECT_EQ(f.model.players[shooter].ammo[0], 9998);
    ASSERT_GE(f.sound.played.size(), 1u);
    EXPECT_EQ(f.sound.played.front(), SoundId::Fire);
    EXPECT_EQ(f.sound.count(SoundId::Fire), 1);

    // The shell comes down, explodes, and the other player has the turn.
    ASSERT_TRUE(spin(3000, [&] { return f.battle.shotstate == 0; }));
    EXPECT_EQ(f.battle.curplayer, other);
    EXPECT_EQ(f.sound.count(SoundId::Explode), 1);
    EXPECT_TRUE(f.marker()->isVisible());
    const playerrec& next = f.model.players[other];
    EXPECT_EQ(f.marker()->pos(), QPoint(next.x - 6, f.battle.heights[next.x + 8] - 50));
    spin(100, [&] { return f.text("Label2").startsWith(QString::fromStdString(next.name)); });
    EXPECT_TRUE(f.text("Label2").startsWith(QString::fromStdString(next.name + ":")));
    EXPECT_EQ(f.model.players[other].ammo[0], 9999);
    EXPECT_EQ(f.roundsover, 0);
}

TEST(Form1, EnterHeldOnAnEmptyStockOnlyRepeatsTheFireSound) {
    Field f;
    ASSERT_TRUE(f.firstframe());
    const int shooter = f.battle.curplayer;

    // The 50 mm grenade, of which the player has none, chosen in the list
    // with the keyboard; the choice sends the focus back to the field, which
    // then gets the key's release.
    QComboBox* list = f.weapons();
    list->setFocus();
    QTest::keyPress(list, Qt::Key_Down);
    QTest::keyRelease(f.keytarget(), Qt::Key_Down);
    ASSERT_EQ(list->currentIndex(), 1);
    EXPECT_EQ(f.text("Label3"), "Ammo: 0");
    EXPECT_EQ(f.current().curweapon, 1);

    const long frames = f.battle.frames;
    f.hold(Qt::Key_Return, 300, nullptr, false);
    const long ran = f.battle.frames - frames;
    EXPECT_GE(ran, 5);
    EXPECT_GE(f.sound.count(SoundId::Fire), ran - 1); // once in every frame
    EXPECT_EQ(f.battle.shotstate, 0);
    EXPECT_EQ(f.battle.heldkey, kKeyEnter);
    EXPECT_EQ(f.model.players[shooter].ammo[1], 0);
    EXPECT_EQ(f.model.players[shooter].ammo[0], 9999);
    EXPECT_TRUE(f.marker()->isVisible());

    // Enter is still down; choosing the grenade in the list fires it.
    list->setCurrentIndex(0);
    emit list->activated(0);
    EXPECT_EQ(f.text("Label3"), "Ammo: 9999");
    EXPECT_TRUE(spin(500, [&] { return f.battle.shotstate == 1; }));
    EXPECT_EQ(f.model.players[shooter].ammo[0], 9998);
    EXPECT_EQ(f.battle.heldkey, 0);
    QTest::keyRelease(f.keytarget(), Qt::Key_Return);
}

// The window manager's close box at any moment ends the program once, and
// nothing wakes the battlefield afterwards.
enum class Moment { Aiming, Flight, Explosion, Question };

class Form1Closed : public testing::TestWithParam<Moment> {};

TEST_P(Form1Closed, EndsTheProgramAndStopsTheBattlefield) {
    Field f;
    ASSERT_TRUE(f.firstframe());
    switch (GetParam()) {
    case Moment::Aiming:
        break;
    case Moment::Flight:
        f.aimup();
        ASSERT_TRUE(f.fire());
        break;
    case Moment::Explosion:
        f.aimup();
        ASSERT_TRUE(f.fire());
        ASSERT_TRUE(spin(3000, [&] { return f.battle.exploding(); }));
        break;
    case Moment::Question:
        f.quit();
        ASSERT_TRUE(f.question());
        break;
    }
    QPointer<QMessageBox> box = f.question();

    f.form->close();
    EXPECT_EQ(f.quits, 1);
    EXPECT_EQ(f.roundsover, 0);
    EXPECT_FALSE(f.form->isVisible());

    const long reads = f.clock.reads;
    const long frames = f.battle.frames;
    spin(200);
    // A question still open cannot bring the battlefield back either.
    if (box && box->isVisible())
        QTest::mouseClick(box->button(QMessageBox::No), Qt::LeftButton);
    spin(100);
    EXPECT_EQ(f.clock.reads, reads);
    EXPECT_EQ(f.battle.frames, frames);
    EXPECT_EQ(f.quits, 1);

    // A second close changes nothing.
    f.form->close();
    EXPECT_EQ(f.quits, 1);
}

std::string momentname(const testing::TestParamInfo<Moment>& info) {
    static const char* const names[] = {"Aiming", "Flight", "Explosion", "Question"};
    return names[static_cast<int>(info.param)];
}

INSTANTIATE_TEST_SUITE_P(Moments, Form1Closed,
                         testing::Values(Moment::Aiming, Moment::Flight, Moment::Explosion,
                                         Moment::Question),
                         momentname);
