// The battlefield window driven through the real event path (held keys with
// auto-repeat, the weapon list, Quit and its question, Enter, the close box),
// and a whole game through the application. The battlefield's time jumps to
// each wake-up, so what a test sees does not hang on how busy the machine
// is; the held-key pacing alone runs on the real clock.
#include "rounddriver.h"
#include "ui/form1.h"
#include "ui/form2.h"
#include "ui/form3.h"
#include "ui/gameapp.h"
#include "ui/picturebox.h"
#include "ui/widgets.h"
#include "ui/xkeyrepeats.h"
#include "ui_support.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>

#include <algorithm>
#include <array>
#include <cstring>

using namespace ordnix;

namespace {

// Counts the readings of the clock it passes on: a window that still wakes
// the battlefield reads the clock, so a count that stands still means
// nothing does.
struct CountingClock final : Clock {
    explicit CountingClock(Clock& time) : time(time) {}
    long reads = 0;
    Clock& time;
    double now() override {
        ++reads;
        return time.now();
    }
    double secondsuntil(double at) override { return time.secondsuntil(at); }
};

// Real seconds a test waits at most for what a few frames bring: only a
// hang takes that long.
constexpr int kPatienceMs = 10000;

// A round between two human players, after its first frame, on the jumping
// clock or on the real tick clock.
struct Field {
    enum Time { Jumping, Real };
    explicit Field(Time time = Jumping) : clock(time == Real ? static_cast<Clock&>(tick) : jump) {}

    JumpClock jump{kStepByStep};
    TickClock tick;
    Model model = newgame({"Red", "Blue"});
    MixRandom random;
    CountingClock clock;
    FakeSound sound;
    Battle battle{model, random, clock, sound};
    int quits = 0;
    Form1 form{battle, [] {}, [this] { ++quits; }};
    bool started = open(); // waits for the first frame

    // As the application opens the battlefield.
    bool open() {
        battle.setup();
        form.show();
        battle.begin();
        form.startclock();
        return spin(kPatienceMs, [this] { return battle.frames > 0; });
    }

    QComboBox* list() { return control<QComboBox>(&form, "Combo1"); }
    playerrec& current() { return model.players[battle.curplayer]; }
    QMessageBox* question() { return form.findChild<QMessageBox*>("QuitQuestion"); }
    // Keys go to the control with the focus, else to the field.
    void key(bool press, Qt::Key k, bool repeat = false,
             Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QWidget* to = form.focusWidget() ? form.focusWidget() : control(&form, "Picture1");
        QTest::simulateEvent(to, press, k, modifiers, QString(), repeat);
    }
    // An instant tap: press and release with no frame between them.
    void tap(Qt::Key k) {
        key(true, k);
        key(false, k);
    }
    // Runs the loop until `n` more frames have passed.
    bool frames(long n) {
        const long until = battle.frames + n;
        return spin(kPatienceMs, [&] { return battle.frames >= until; });
    }
    // Runs the loop until `done`, or false after a second of game time.
    bool withinasecond(const std::function<bool()>& done) {
        const long until = battle.frames + 32;
        spin(kPatienceMs, [&] { return done() || battle.frames >= until; });
        return done();
    }
    QString focused() { return form.focusWidget() ? form.focusWidget()->objectName() : "none"; }
    // Aims straight up with little power, so that the shell lands soon, and
    // holds Enter until it flies.
    bool fire() {
        current().angle = 90;
        current().power = 30;
        battle.draw();
        key(true, Qt::Key_Return);
        return withinasecond([this] { return battle.shotstate == 1; });
    }
};

} // namespace

// A held Up raises the power once a frame, a frame every two clock ticks
// (dt 1/64 in most frames), also while the weapon list has the focus; only a
// real release ends it, not one between auto-repeats. On the real clock:
// this is what a player gets from the window's timer and the tick clock.
TEST(Form1, HeldUpRaisesThePowerOncePerFrame) {
    for (bool onlist : {false, true}) {
        SCOPED_TRACE(onlist ? "focus on the list" : "focus on the field");
        Field f(Field::Real);
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
        EXPECT_EQ(f.battle.heldkey, kKeyUp);
        f.key(false, Qt::Key_Up);
        EXPECT_EQ(f.battle.heldkey, 0);
    }
}

// Enter held on a weapon the player has none of (chosen in the opened list)
// only clicks, in every frame, even when the player's last choice differs
// from the list; the list still
// takes a choice, and a weapon in stock then fires. The turn passes when the
// shell has come down.
TEST(Form1, EnterOnAnEmptyStockOnlyClicksThenAStockedWeaponFiresAndTheTurnPasses) {
    Field f;
    EXPECT_EQ(f.form.size(), QSize(620, 451));
    const int shooter = f.battle.curplayer;
    auto* ammo = control<QLabel>(&f.form, "Label3");
    f.list()->setFocus();
    f.tap(Qt::Key_F4); // opens the list; its keys choose the next weapon
    ASSERT_TRUE(f.list()->view()->isVisible());
    QTest::keyClick(f.list()->view(), Qt::Key_Down);
    QTest::keyClick(f.list()->view(), Qt::Key_Return);
    ASSERT_EQ(ammo->text(), "Ammo: 0");
    f.current().curweapon = 0; // in stock: firing must follow the list
    EXPECT_FALSE(f.fire());
    EXPECT_GE(f.sound.fires, 20); // about 32 frames in a second
    f.list()->setCurrentIndex(0);
    emit f.list()->activated(0); // as a choice with the mouse
    EXPECT_EQ(ammo->text(), "Ammo: 9999");
    ASSERT_TRUE(f.withinasecond([&] { return f.battle.shotstate == 1; }));
    f.key(false, Qt::Key_Return);
    ASSERT_TRUE(spin(kPatienceMs, [&] { return f.battle.shotstate == 0; }));
    EXPECT_EQ(std::tuple(f.model.players[shooter].ammo[0], f.battle.curplayer, f.sound.explosions),
              std::tuple(9998, 1 - shooter, 1));
}

// An instant tap while the player aims acts in one frame: Right turns the
// barrel once, Enter fires, and on a weapon without rounds Enter clicks once.
// The same taps while the shell flies leave nothing for the next player.
TEST(Form1, AnInstantTapActsOnceWhileAimingAndNotAtAllDuringAFlight) {
    Field f;
    const int angle = f.current().angle;
    f.tap(Qt::Key_Right);
    ASSERT_TRUE(f.frames(1));
    const int turned = f.current().angle;
    EXPECT_GT(turned, angle);
    ASSERT_TRUE(f.frames(3));
    EXPECT_EQ(std::tuple(f.current().angle, f.battle.heldkey), std::tuple(turned, 0));

    f.list()->setCurrentIndex(1);
    emit f.list()->activated(1); // no rounds of these
    f.tap(Qt::Key_Return);
    ASSERT_TRUE(f.frames(4));
    EXPECT_EQ(std::tuple(f.sound.fires, f.battle.shotstate), std::tuple(1, 0));
    f.list()->setCurrentIndex(0);
    emit f.list()->activated(0);

    f.current().angle = 90;
    f.current().power = 30;
    f.battle.draw();
    f.tap(Qt::Key_Return);
    ASSERT_TRUE(f.frames(1));
    ASSERT_EQ(std::tuple(f.sound.fires, f.battle.shotstate), std::tuple(2, 1));
    const int next = 1 - f.battle.curplayer;
    const int nextangle = f.model.players[next].angle;
    f.tap(Qt::Key_Left);
    f.tap(Qt::Key_Return);
    ASSERT_TRUE(spin(kPatienceMs, [&] { return f.battle.shotstate == 0; }));
    ASSERT_TRUE(f.frames(4));
    EXPECT_EQ(std::tuple(f.battle.curplayer, f.model.players[next].angle, f.sound.fires,
                         f.battle.shotstate),
              std::tuple(next, nextangle, 2, 0));
}

// Under X a press is dropped before Qt sees it only when it repeats the arrow
// the window last gave the rules (same keycode and modifiers, to the window
// with the focus, no list open) and the rules still hold that arrow with its
// step done: such a press would change nothing. Everything else passes.
TEST(Form1, UnderXOnlyPressesThatRepeatTheHeldArrowAreDropped) {
    enum Before { Held, ReleasedHere, ReleasedInTheRules, ReleasedBeforeAFrame, ListOpen };
    struct Case {
        const char* what;
        Before before;
        uint8_t type; // 2: a key press, 3: a release; the top bit: sent by a program
        uint32_t keycode, state;
        bool otherwindow, dropped;
    };
    const Case cases[] = {
        {"the held Right repeated", Held, 2, 114, 0, false, true},
        {"another key", Held, 2, 113, 0, false, false},
        {"the same key with Alt", Held, 2, 114, 8, false, false},
        {"to another window", Held, 2, 114, 0, true, false},
        {"a release", Held, 3, 114, 0, false, false},
        {"a press another program sent", Held, 2 | 0x80, 114, 0, false, false},
        {"after the release", ReleasedHere, 2, 114, 0, false, false},
        {"after a release elsewhere", ReleasedInTheRules, 2, 114, 0, false, false},
        {"after a release before the first step", ReleasedBeforeAFrame, 2, 114, 0, false, false},
        {"with the weapon list open", ListOpen, 2, 114, 0, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Field f;
        f.form.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&f.form));
        QWidget* field = control(&f.form, "Picture1");
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier, 114, 0xff53, 0);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_Right, Qt::NoModifier, 114, 0xff53, 0);
        QApplication::sendEvent(field, &press);
        if (c.before != ReleasedBeforeAFrame) {
            ASSERT_TRUE(f.frames(1));
        }
        if (c.before == ReleasedHere)
            QApplication::sendEvent(field, &release);
        if (c.before == ReleasedInTheRules || c.before == ReleasedBeforeAFrame)
            f.battle.keyup();
        if (c.before == ListOpen)
            f.list()->showPopup();

        std::array<uint8_t, 32> event{};
        event[0] = c.type;
        event[1] = static_cast<uint8_t>(c.keycode);
        const auto window = static_cast<uint32_t>(f.form.winId() + (c.otherwindow ? 1 : 0));
        const auto state = static_cast<uint16_t>(c.state);
        std::memcpy(&event[12], &window, sizeof window);
        std::memcpy(&event[28], &state, sizeof state);
        XKeyRepeats filter([&f](uint32_t w, uint32_t keycode, uint32_t s) {
            return f.form.repeatsheldarrow(w, keycode, s);
        });
        EXPECT_EQ(filter.nativeEventFilter("xcb_generic_event_t", event.data(), nullptr),
                  c.dropped);
        EXPECT_FALSE(filter.nativeEventFilter("windows_generic_MSG", event.data(), nullptr));
        if (c.before == ListOpen)
            f.list()->hidePopup();
    }
}

// Arrow keys aim whichever control has the focus: they never move the focus
// and never step the closed weapon list. Alt+Down and Alt+Up only open and
// close the list: the power stays. Opened, the list takes the keys itself,
// and the arrow that opened it lets go when released there.
TEST(Form1, ArrowsAimWithoutMovingTheFocusOrTheClosedList) {
    Field f;
    for (const char* name : {"Combo1", "Command1", "Picture1"}) {
        SCOPED_TRACE(name);
        control(&f.form, name)->setFocus();
        const int angle = f.current().angle;
        for (Qt::Key k : {Qt::Key_Down, Qt::Key_Up, Qt::Key_Left, Qt::Key_Down, Qt::Key_Right,
                          Qt::Key_Right, Qt::Key_Right}) {
            f.tap(k);
            ASSERT_TRUE(f.frames(1));
        }
        EXPECT_EQ(std::tuple(f.focused(), f.list()->currentIndex(), f.current().curweapon,
                             f.current().angle - angle > 0),
                  std::tuple(QString(name), 0, 0, true));
    }
    f.list()->setFocus();
    const int power = f.current().power;
    // Opened by one key and closed by the other or the same; the last one
    // opens it again.
    for (Qt::Key k : {Qt::Key_Down, Qt::Key_Up, Qt::Key_Up, Qt::Key_Up, Qt::Key_Down}) {
        const bool open = f.list()->view()->isVisible();
        SCOPED_TRACE(open ? "open list" : "closed list");
        QWidget* to = open ? static_cast<QWidget*>(f.list()->view()) : f.list();
        QTest::simulateEvent(to, true, k, Qt::AltModifier, QString(), false);
        // Released where the keys now go: the opened list, or the closed one.
        to = f.list()->view()->isVisible() ? static_cast<QWidget*>(f.list()->view()) : f.list();
        QTest::simulateEvent(to, false, k, Qt::AltModifier, QString(), false);
        ASSERT_TRUE(f.frames(2));
        EXPECT_EQ(std::tuple(f.list()->view()->isVisible(), f.list()->currentIndex(),
                             f.current().power, f.battle.heldkey),
                  std::tuple(!open, 0, power, 0));
    }
    QTest::keyClick(f.list()->view(), Qt::Key_Down);
    QTest::keyClick(f.list()->view(), Qt::Key_Return);
    EXPECT_EQ(std::tuple(f.list()->currentIndex(), f.current().curweapon), std::tuple(1, 1));
}

// The quit question reads as it shows. After No the focus is back on the
// battlefield: a held Left turns the barrel, and Down, then Enter, fire the
// weapon that was selected.
TEST(Form1, AfterQuitNoTheArrowsAimAgainAndTheWeaponStays) {
    Field f;
    click(control(&f.form, "Command1"));
    QMessageBox* box = f.question();
    ASSERT_TRUE(box);
    QAccessibleInterface* read = QAccessible::queryAccessibleInterface(box);
    ASSERT_TRUE(read);
    QStringList buttons;
    for (QAbstractButton* b : box->buttons())
        buttons << QAccessible::queryAccessibleInterface(b)->text(QAccessible::Name);
    buttons.sort();
    EXPECT_EQ(std::tuple(read->text(QAccessible::Name), read->text(QAccessible::Value), buttons),
              std::tuple(QString("Ordnix"), QString("Do you realy want to quit?"),
                         QStringList{"No", "Yes"}));
    click(box->button(QMessageBox::No));
    EXPECT_EQ(f.focused(), "Picture1");
    const int angle = f.current().angle;
    f.key(true, Qt::Key_Left);
    for (int k = 0; k < 5; ++k) {
        f.frames(2);
        f.key(true, Qt::Key_Left, true);
    }
    f.key(false, Qt::Key_Left);
    EXPECT_LE(f.current().angle, angle - 8);
    f.tap(Qt::Key_Down);
    f.tap(Qt::Key_Return);
    ASSERT_TRUE(f.withinasecond([&] { return f.battle.shotstate == 1; }));
    EXPECT_EQ(std::tuple(f.focused(), f.list()->currentIndex(),
                         f.model.players[f.battle.shooter].ammo[0]),
              std::tuple(QString("Picture1"), 0, kBasicShots - 1));
}

// Quit asks first: no frame runs while the question is open, and No goes on
// with one long step. Yes, or the close box at any moment, then ends the
// program once, and nothing wakes the battlefield afterwards, not even a No
// to a question left open.
namespace {

void quitthenno(Field& f) {
    click(control(&f.form, "Command1"));
    ASSERT_TRUE(f.question());
    const long frames = f.battle.frames;
    spin(250);
    EXPECT_EQ(f.battle.frames, frames);
    f.jump.t += 0.25; // the player takes a quarter of a second to answer
    click(f.question()->button(QMessageBox::No));
    EXPECT_TRUE(f.battle.frames == frames + 1 && f.battle.lastdt > 0.1) << f.battle.lastdt;
}

// The program was told to end once, and nothing has woken the battlefield
// since the clock read `reads`.
void expectendedonce(Field& f, long reads) {
    spin(200);
    EXPECT_EQ(std::tuple(f.quits, f.clock.reads), std::tuple(1, reads));
}

} // namespace

TEST(Form1, QuitYesEndsTheProgramOnceAndStopsTheBattlefield) {
    Field f;
    ASSERT_NO_FATAL_FAILURE(quitthenno(f));
    click(control(&f.form, "Command1"));
    ASSERT_TRUE(f.question());
    click(f.question()->button(QMessageBox::Yes));
    expectendedonce(f, f.clock.reads);
}

TEST(Form1, TheCloseBoxWhileAimingEndsTheProgramOnceAndStopsTheBattlefield) {
    Field f;
    ASSERT_NO_FATAL_FAILURE(quitthenno(f));
    f.form.close();
    expectendedonce(f, f.clock.reads);
}

TEST(Form1, TheCloseBoxDuringAFlightEndsTheProgramOnceAndStopsTheBattlefield) {
    Field f;
    ASSERT_NO_FATAL_FAILURE(quitthenno(f));
    ASSERT_TRUE(f.fire()); // frames go on after No
    f.form.close();
    expectendedonce(f, f.clock.reads);
}

TEST(Form1, TheCloseBoxWithTheQuestionOpenEndsTheProgramOnceAndStopsTheBattlefield) {
    Field f;
    ASSERT_NO_FATAL_FAILURE(quitthenno(f));
    click(control(&f.form, "Command1"));
    f.form.close();
    const long reads = f.clock.reads;
    if (QMessageBox* box = f.question()) // left open
        click(box->button(QMessageBox::No));
    expectendedonce(f, reads);
}

// Two computer players on the jumping clock: round one, the results, the shop,
// and round two on a new landscape with money and totals carried over.
TEST(GameFlow, TwoComputerPlayersPlayTwoRoundsWithTheShopBetween) {
    JumpClock clock;
    GameApp app(&clock);
    app.start();
    for (const char* name : {"Option2_0", "Option2_1", "Command1"})
        click(control(app.setup(), name));
    const auto firstland = app.battle().heights;
    spin(60000, [&] { return app.results() && !app.battlefield(); });
    QPointer<Form3> shop = app.results();
    ASSERT_TRUE(shop && shop->isVisible()) << "round one not decided";
    click(control(shop, "Command1"));
    const Model before = app.model();

    // Both players are computer players, so the next Next starts round two on
    // a new landscape.
    click(control(shop, "Command1"));
    EXPECT_NE(app.battle().heights, firstland);
    for (int i = 0; i < 2; ++i) {
        const playerrec &p = app.model().players[i], &b = before.players[i];
        EXPECT_EQ(std::tuple(p.hitpoints, p.ammo[0], p.totalscore, p.money),
                  std::tuple(100, kBasicShots, b.totalscore, b.money));
    }
}

namespace {
int windowsshown() {
    int n = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        n += w->isVisible();
    return n;
}
} // namespace

// One window at a time, and the screen says which. A report from a window
// that is already finished (a second Start, a queued Next) changes nothing,
// and a finished window is deleted once the event loop runs again. The
// results show the round scores already paid out; a close box ends the game.
TEST(GameFlow, OneWindowAtATimeAndLateReportsChangeNothing) {
    using Screen = GameApp::Screen;
    JumpClock clock;
    GameApp app(&clock);
    EXPECT_EQ(app.screen(), Screen::Setup);
    app.start();
    EXPECT_EQ(std::tuple(windowsshown(), app.model().weapons[1].name, app.model().lastplayer),
              std::tuple(1, std::string("50 mm Grenade"), 1));
    QPointer<Form2> setup = app.setup();
    for (const char* name : {"Option2_0", "Option2_1", "Command1"})
        click(control(setup, name));
    QPointer<Form1> field = app.battlefield();
    ASSERT_TRUE(field);
    emit control<QAbstractButton>(setup, "Command1")->clicked(); // a second Start
    EXPECT_EQ(std::tuple(app.screen(), app.battlefield(), app.setup(), windowsshown()),
              std::tuple(Screen::Battlefield, field.data(), nullptr, 1));

    ASSERT_TRUE(spin(60000, [&] { return app.screen() == Screen::Results; }));
    EXPECT_EQ(std::tuple(app.battlefield(), windowsshown(), setup.isNull()),
              std::tuple(nullptr, 1, true));
    spin(1);
    EXPECT_TRUE(field.isNull());
    const Model& m = app.model();
    const int best = m.players[1].roundscore > m.players[0].roundscore;
    EXPECT_GT(m.players[best].roundscore, 0);
    EXPECT_EQ(control<QLabel>(app.results(), QString("Label2_%1").arg(best))->text(),
              QString("Player: %1 (Player %1) Total score: %2 Last round: %2")
                  .arg(best + 1)
                  .arg(m.players[best].roundscore));

    QPointer<Form3> shop = app.results();
    click(control(shop, "Command1"));
    click(control(shop, "Command1"));
    field = app.battlefield();
    ASSERT_TRUE(field);
    emit control<QAbstractButton>(shop, "Command1")->clicked(); // a queued Next
    EXPECT_EQ(std::tuple(app.screen(), app.battlefield(), app.results(), windowsshown()),
              std::tuple(Screen::Battlefield, field.data(), nullptr, 1));

    field->close();
    EXPECT_EQ(app.screen(), Screen::Ended);
    spin(1);
    EXPECT_TRUE(shop.isNull());
}

// The battlefield's pictures are freed as soon as the round is decided: the
// results window is built and shown while the finished battlefield window
// still exists, and the two need not hold their pictures at the same time.
TEST(GameFlow, TheFinishedBattlefieldsPicturesGoBeforeTheResultsWindowShows) {
    JumpClock clock;
    GameApp app(&clock);
    RoundDriver driver(app, false);
    QPointer<PictureBox> picture = app.battlefield()->findChild<PictureBox*>("Picture1");
    ASSERT_TRUE(picture && !picture->image().isNull());
    // Counts the results windows shown, checking the pictures at each.
    class Watch final : public QObject {
      public:
        explicit Watch(const QPointer<PictureBox>& picture) : picture_(picture) {}
        int shown = 0;

      protected:
        bool eventFilter(QObject* watched, QEvent* event) override {
            if (event->type() == QEvent::Show && qobject_cast<Form3*>(watched)) {
                EXPECT_TRUE(picture_ && picture_->image().isNull());
                ++shown;
            }
            return false;
        }

      private:
        const QPointer<PictureBox>& picture_;
    } watch(picture);
    qApp->installEventFilter(&watch);
    ASSERT_TRUE(spin(60000, [&] { return driver.step(), driver.rounds() == 1; }));
    EXPECT_EQ(watch.shown, 1);
}

// A key let go while another of the game's windows shows is let go in the
// rules too: on the results page, on the shop page, at the quit question. A
// key still held when the next round starts keeps acting.
namespace {
void sendkey(QWidget* to, bool press, Qt::Key k) {
    QTest::simulateEvent(to, press, k, Qt::NoModifier, QString(), false);
}
QWidget* keysgoto(QWidget* window) {
    return window->focusWidget() ? window->focusWidget() : window;
}
} // namespace

TEST(GameFlow, AKeyLetGoBetweenRoundsIsLetGoInTheRules) {
    enum Where { ResultsPage, ShopPage, StillHeld };
    for (Where where : {ResultsPage, ShopPage, StillHeld}) {
        SCOPED_TRACE(where);
        JumpClock clock(kStepByStep); // each flight is seen
        GameApp app(&clock);
        RoundDriver driver(app, false);
        Battle& battle = app.battle();
        // Right goes down in every flight and stays down until the results.
        bool decided = false;
        spin(60000, [&] {
            if (app.battlefield() && battle.shotstate == 1 && battle.heldkey != kKeyRight)
                sendkey(control(app.battlefield(), "Picture1"), true, Qt::Key_Right);
            decided = decided || driver.step();
            return decided;
        });
        QPointer<Form3> results = app.results();
        ASSERT_TRUE(results && battle.heldkey == kKeyRight);
        if (where == ShopPage)
            click(control(results, "Command1"));
        if (where != StillHeld)
            sendkey(keysgoto(results), false, Qt::Key_Right);
        for (int page = where == ShopPage ? 1 : 0; page < 3; ++page) // through both buyers
            click(control(results, "Command1"));
        ASSERT_TRUE(app.battlefield());
        EXPECT_EQ(battle.heldkey, where == StillHeld ? kKeyRight : 0);
    }
}

TEST(GameFlow, AKeyLetGoAtTheQuitQuestionIsLetGoInTheRules) {
    JumpClock clock(kStepByStep);
    GameApp app(&clock);
    app.start();
    click(control(app.setup(), "Command1"));
    Battle& battle = app.battle();
    QPointer<Form1> field = app.battlefield();
    ASSERT_TRUE(spin(kPatienceMs, [&] { return battle.frames > 0; }));
    sendkey(control(field, "Picture1"), true, Qt::Key_Right);
    const long pressed = battle.frames;
    ASSERT_TRUE(spin(kPatienceMs, [&] { return battle.frames >= pressed + 2; }));
    click(control(field, "Command1"));
    auto* box = field->findChild<QMessageBox*>("QuitQuestion");
    ASSERT_TRUE(box);
    // The game's font is the application's now; the question keeps the
    // desktop's, as a standard dialog.
    EXPECT_EQ(QApplication::font(), uifont(8));
    EXPECT_EQ(box->font(), desktopfont());
    EXPECT_NE(box->font(), uifont(8));
    sendkey(keysgoto(box), false, Qt::Key_Right);
    click(box->button(QMessageBox::No));
    const int angle = app.model().players[battle.curplayer].angle;
    const long answered = battle.frames;
    ASSERT_TRUE(spin(kPatienceMs, [&] { return battle.frames >= answered + 3; }));
    EXPECT_EQ(std::tuple(battle.heldkey, app.model().players[battle.curplayer].angle),
              std::tuple(0, angle));
}
