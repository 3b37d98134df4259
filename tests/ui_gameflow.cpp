// Whole games through the application and its windows, on a clock that runs
// forty times faster than real time: player setup, rounds played by the
// computer players, the results and the shop, the next round, and the close
// box of the results window ending the program.

#include "game/numbers.h"
#include "ui/form1.h"
#include "ui/form2.h"
#include "ui/form3.h"
#include "ui/gameapp.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QGroupBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <string>

using namespace ordnix;

namespace {

// The tick clock, sped up: readings are whole ticks of a time that runs
// `speed` times faster than real time, and a timer sleeps the real share.
class ScaledClock final : public Clock {
  public:
    explicit ScaledClock(double speed) : speed_(speed) {}
    double now() override { return totick(monotonicseconds() * speed_); }
    double secondsuntil(double reading) override {
        return (reading - monotonicseconds() * speed_) / speed_;
    }

  private:
    double speed_;
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

template <class W> W* control(QWidget* form, const char* name) {
    W* w = form ? form->findChild<W*>(name) : nullptr;
    if (!w)
        ADD_FAILURE() << "no control " << name;
    return w;
}

void click(QWidget* form, const char* button) {
    if (QPushButton* b = control<QPushButton>(form, button))
        QTest::mouseClick(b, Qt::LeftButton);
}

// Battlefield windows on screen.
int battlefields() {
    int n = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        n += (qobject_cast<Form1*>(w) && w->isVisible()) ? 1 : 0;
    return n;
}

constexpr int kRoundLimitMs = 60000; // a round of computer players, generously

struct Game {
    ScaledClock clock{40};
    GameApp app{&clock};
    Model& model = app.model();
    Battle& battle = app.battle();

    Game() { app.start(); }

    // Player setup through its controls: "AI" or "Human" for each of the
    // two players, then Start.
    void begin(bool firstai, bool secondai) {
        Form2* setup = app.setup();
        ASSERT_TRUE(setup);
        ASSERT_TRUE(setup->isVisible());
        const std::array<bool, 2> ai{firstai, secondai};
        for (int i = 0; i < 2; ++i) {
            const std::string name = (ai[i] ? "Option2_" : "Option1_") + std::to_string(i);
            QRadioButton* option = control<QRadioButton>(setup, name.c_str());
            ASSERT_TRUE(option);
            QTest::mouseClick(option, Qt::LeftButton);
            ASSERT_TRUE(option->isChecked()) << name;
        }
        click(setup, "Command1");
        ASSERT_TRUE(app.battlefield());
    }

    // Waits for the round to be decided and the results window to show.
    Form3* results() {
        spin(kRoundLimitMs, [this] { return app.results() && !app.battlefield(); });
        Form3* f = app.results();
        return f && f->isVisible() ? f : nullptr;
    }
    QString text(QWidget* form, const char* label) { return control<QLabel>(form, label)->text(); }
};

std::string resultsline(const Model& m, int i) {
    const playerrec& p = m.players[i];
    return "Player:" + numtext(i + 1) + " (" + p.name + ") Total score:" + numtext(p.totalscore) +
           " Last round:" + numtext(p.roundscore);
}

int living(const Model& m) {
    int n = 0;
    for (const playerrec& p : m.players)
        n += p.hitpoints > 0 ? 1 : 0;
    return n;
}

} // namespace

TEST(GameFlow, TwoComputerPlayersPlayTwoRoundsWithTheShopBetween) {
    Game g;
    g.begin(true, true);
    EXPECT_TRUE(g.app.setup() == nullptr || !g.app.setup()->isVisible());
    EXPECT_EQ(battlefields(), 1);
    const auto firstland = g.battle.heights;

    // Round one, played by the computer alone.
    Form3* results = g.results();
    ASSERT_TRUE(results) << "round one not decided";
    EXPECT_FALSE(g.app.setup());
    EXPECT_EQ(battlefields(), 0);
    EXPECT_LE(living(g.model), 1);
    for (int i = 0; i < 2; ++i) {
        const playerrec& p = g.model.players[i];
        EXPECT_EQ(p.totalscore, p.roundscore);
        EXPECT_EQ(p.money, p.roundscore);
        const std::string line = "Label2_" + std::to_string(i);
        EXPECT_EQ(g.text(results, line.c_str()).toStdString(), resultsline(g.model, i));
    }
    EXPECT_FALSE(control<QLabel>(results, "Label2_2")->isVisible());

    // The shop opens on the first player's page; the computer buys with the
    // first player's money if there is enough.
    click(results, "Command1");
    QGroupBox* shop = control<QGroupBox>(results, "Frame2");
    ASSERT_TRUE(shop->isVisible());
    EXPECT_EQ(shop->title(), "Buy menu for Player 1");
    const int money = g.model.players[0].money;
    const bool canbuy = money > g.model.weapons[1].cost;
    click(results, "Command2"); // "Buy it": the 50 mm grenade, selected first
    const int spent = canbuy ? g.model.weapons[1].cost : 0;
    EXPECT_EQ(g.model.players[0].money, money - spent);
    EXPECT_EQ(g.model.players[0].ammo[1], canbuy ? g.model.weapons[1].quantity : 0);

    std::array<int16_t, 2> totals{g.model.players[0].totalscore, g.model.players[1].totalscore};
    std::array<int16_t, 2> moneys{g.model.players[0].money, g.model.players[1].money};

    // The second player is a computer player too: the next Next starts round
    // two on a new landscape, everyone whole again, money and totals kept.
    QPointer<Form3> closing = results;
    click(results, "Command1");
    ASSERT_TRUE(g.app.battlefield());
    EXPECT_NE(g.battle.heights, firstland);
    for (int i = 0; i < 2; ++i) {
        const playerrec& p = g.model.players[i];
        EXPECT_EQ(p.hitpoints, 100);
        EXPECT_EQ(p.ammo[0], kBasicShots);
        EXPECT_EQ(p.roundscore, 0);
        EXPECT_EQ(p.totalscore, totals[i]);
        EXPECT_EQ(p.money, moneys[i]);
    }
    // A second, hasty click opens nothing more.
    if (closing)
        click(closing, "Command1");
    spin(50);
    EXPECT_FALSE(closing);
    EXPECT_EQ(battlefields(), 1);

    // Round two to its results.
    results = g.results();
    ASSERT_TRUE(results) << "round two not decided";
    for (int i = 0; i < 2; ++i) {
        const playerrec& p = g.model.players[i];
        EXPECT_EQ(p.totalscore, totals[i] + p.roundscore);
        EXPECT_EQ(p.money, moneys[i] + p.roundscore);
    }
}

TEST(GameFlow, TheComputerPlayerFiresOnItsOwnAgainstAHuman) {
    Game g;
    g.begin(false, true);
    ASSERT_FALSE(g.model.players[0].ai);
    ASSERT_TRUE(g.model.players[1].ai);
    Form1* field = g.app.battlefield();
    ASSERT_TRUE(field);

    // The human fires with Enter when it is their turn.
    if (g.battle.curplayer == 0) {
        QWidget* keys = field->focusWidget() ? field->focusWidget() : field;
        QTest::keyPress(keys, Qt::Key_Return);
        ASSERT_TRUE(spin(2000, [&] { return g.battle.shotstate == 1; }));
        QTest::keyRelease(keys, Qt::Key_Return);
        EXPECT_EQ(g.battle.shooter, 0);
    }

    // The computer's turn comes and it fires without a key. A key pressed
    // while its shell flies is not taken.
    int16_t heldbyhuman = -1;
    ASSERT_TRUE(spin(5000, [&] {
        if (g.battle.curplayer != 1 || g.battle.shotstate != 1)
            return false;
        QTest::keyPress(field, Qt::Key_Left);
        heldbyhuman = g.battle.heldkey;
        QTest::keyRelease(field, Qt::Key_Left);
        return true;
    }));
    EXPECT_EQ(g.battle.shooter, 1);
    EXPECT_EQ(g.model.players[1].ammo[0], kBasicShots - 1);
    EXPECT_EQ(heldbyhuman, 0);

    // Then the turn comes back to the human, and nothing is fired for them.
    ASSERT_TRUE(spin(5000, [&] {
        return !g.app.battlefield() || (g.battle.curplayer == 0 && g.battle.shotstate == 0);
    }));
    if (!g.app.battlefield())
        return; // the computer's shell decided the round
    const int16_t rounds = g.model.players[0].ammo[0];
    const long frames = g.battle.frames;
    spin(100);
    EXPECT_GT(g.battle.frames, frames);
    EXPECT_EQ(g.battle.curplayer, 0);
    EXPECT_EQ(g.battle.shotstate, 0);
    EXPECT_EQ(g.model.players[0].ammo[0], rounds);
}

TEST(GameFlow, TheResultsWindowsCloseBoxEndsTheProgram) {
    Game g;
    g.begin(true, true);
    Form3* results = g.results();
    ASSERT_TRUE(results);

    // The close box, clicked while the application's main loop runs.
    QSignalSpy ending(qApp, &QCoreApplication::aboutToQuit);
    QTimer::singleShot(0, results, [results] { results->close(); });
    QTimer stuck; // a program that does not end is stopped after a while
    stuck.setSingleShot(true);
    QObject::connect(&stuck, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    stuck.start(3000);
    EXPECT_EQ(QCoreApplication::exec(), 0);
    EXPECT_EQ(ending.count(), 1);
    EXPECT_FALSE(g.app.battlefield());
    EXPECT_EQ(battlefields(), 0);
}
