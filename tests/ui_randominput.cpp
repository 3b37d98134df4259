// Random input through the real windows on the fast clock: keys pressed,
// held and released, clicks on every control, list choices, names typed,
// the quit question answered, windows closed, across setup, battlefield,
// results and shop, with what the player sees checked after every event.
// The program runs in the application's own event loop, as it does for a
// player; when it ends, a new game starts. Random play rarely ends a round
// (quits come sooner), so when the events are used up before every window
// was reached, the player starts one more game against a computer player
// and plays it patiently to the results and shop. A failure names its seed and
// event: ORDNIX_RANDOMINPUT_SEED=<seed> replays the same input (the game's
// own random draws and the timing differ from run to run), and
// ORDNIX_RANDOMINPUT_EVENTS=<n> plays longer.
#include "ui/form1.h"
#include "ui/gameapp.h"
#include "ui_support.h"
#include "ui_windowrules.h"

#include <QAbstractItemView>
#include <QGuiApplication>
#include <QKeySequence>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QWindow>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <utility>

using namespace ordnix;
using namespace windowrules;

namespace {

constexpr long kEvents = 20000;

// The offscreen platform warns about every window feature it lacks (raise,
// keyboard grab, size hints); everything else goes on to the handler that
// was there before.
QtMessageHandler otherhandler = nullptr;
void quietplatform(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (!message.startsWith("This plugin does not support") && otherhandler)
        otherhandler(type, context, message);
}

uint64_t envnumber(const char* name, uint64_t fallback) {
    const char* s = std::getenv(name);
    return s && *s ? std::strtoull(s, nullptr, 10) : fallback;
}

struct Key {
    Qt::Key key;
    const char* text;
    Qt::KeyboardModifiers modifiers = Qt::NoModifier;
};

// The keys a player presses: the game's, those the controls use, and others.
const Key kKeys[] = {{Qt::Key_Left, ""},
                     {Qt::Key_Right, ""},
                     {Qt::Key_Up, ""},
                     {Qt::Key_Down, ""},
                     {Qt::Key_Return, "\r"},
                     {Qt::Key_Enter, "\r", Qt::KeypadModifier},
                     {Qt::Key_Tab, "\t"},
                     {Qt::Key_Backtab, "", Qt::ShiftModifier},
                     {Qt::Key_Space, " "},
                     {Qt::Key_Escape, "\x1b"},
                     {Qt::Key_A, "a"},
                     {Qt::Key_Q, "q"},
                     {Qt::Key_Z, "z"},
                     {Qt::Key_5, "5"},
                     {Qt::Key_Backspace, "\b"},
                     {Qt::Key_F4, ""},
                     {Qt::Key_Down, "", Qt::AltModifier}};
// How often each is picked on the battlefield, where the game's keys matter most.
const int kFieldWeights[] = {8, 8, 6, 6, 8, 2, 2, 1, 2, 2, 1, 1, 1, 1, 1, 1, 1};
// The same without the keys that move a focused weapon list (arrows, Space,
// F4, Alt+Down and the digit that picks "5 Mega Nuke!").
const int kSparingWeights[] = {0, 0, 0, 0, 8, 2, 2, 1, 0, 2, 1, 1, 1, 0, 1, 0, 0};
// In the quit question: moving between the buttons more than answering.
const int kQuestionWeights[] = {3, 3, 1, 1, 1, 1, 4, 2, 2, 2, 1, 1, 1, 1, 1, 1, 1};
static_assert(std::size(kFieldWeights) == std::size(kKeys));
static_assert(std::size(kQuestionWeights) == std::size(kKeys));
static_assert(std::size(kSparingWeights) == std::size(kKeys));

// What the battlefield showed at the previous check of its round.
struct RoundWatch {
    QPointer<QWidget> window; // a new window may take the address of a deleted one
    std::array<int16_t, kPlayerSlots> hitpoints{};
    QPointer<QMessageBox> question;
    long frames = 0;
    double shotx = 0, shoty = 0;
    // A computer player's aiming: who, from which shell on, and how often
    // its aim has moved since.
    int aimer = -1;
    double aimfrom = 0;
    int16_t angle = 0, power = 0;
    int aimmoves = 0;
};

// Plays the game with random input. `sparelist`: while a computer player
// has the turn, leave the weapon list alone. A computer player whose list
// shows an empty weapon moves its power every frame and then shoots off the
// field for thousands of turns (a known fault, being mended), so no round
// would end.
class Driver final : public QObject {
  public:
    Driver(uint64_t seed, long events, bool sparelist)
        : random_(seed), total_(events), sparelist_(sparelist) {
        qApp->installEventFilter(this);
        // Qt also ends the event loop when the last window closes; the game
        // must have ended the program first.
        connect(qApp, &QGuiApplication::lastWindowClosed, this, [this] {
            if (!ended_ && !stopping_)
                fail("the last window closed, but the game did not end");
        });
    }
    ~Driver() override { qApp->removeEventFilter(this); }

    long events = 0;                  // input events sent
    std::string broken;               // the first invariant that failed
    std::map<std::string, long> seen; // how often each situation came up
    std::string lastaction;           // what the player did last

    // Plays one program run, from the setup window until it ends or the
    // events are used up; false when the events are used up or a rule broke.
    bool run(Clock& clock) {
        auto app = std::make_unique<GameApp>(&clock);
        app_ = app.get();
        ended_ = stopping_ = false;
        round_ = {};
        lastshown_ = nullptr;
        lastname_.clear();
        app->start();
        QTimer::singleShot(0, this, [this] { step(); });
        QApplication::exec();
        if (ended_) {
            ++seen["program ended"];
            ++seen["program ended by " + lastaction];
            // Nothing of the game shows or runs afterwards.
            if (!shownwindows().isEmpty())
                fail("a game window still shown after the program ended");
            const long frames = app->battle().frames;
            spin(5);
            if (app->battle().frames != frames)
                fail("the battlefield runs on after the program ended");
        } else if (!stopping_) {
            fail("the event loop ended without the program ending");
        }
        app.reset();
        app_ = nullptr;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        held_.clear();
        return broken.empty() && !done();
    }

    // What every run must have come through.
    static constexpr const char* kCoverage[] = {"Form2 events",
                                                "Form1 events",
                                                "results shown",
                                                "shop events",
                                                "next round from the shop",
                                                "answered No",
                                                "question events",
                                                "list choice",
                                                "name typed",
                                                "program ended"};

    bool covered() const {
        for (const char* what : kCoverage)
            if (!seen.contains(what))
                return false;
        return true;
    }
    // The events are used up, and everything was seen, or the patient game
    // got as far as it goes (the next round) or nowhere.
    bool done() const {
        const bool patientdone = patient_ && (seen.contains("next round from the shop") ||
                                              patientsteps_ > kPatientSteps);
        return events >= total_ && (covered() || events >= 2 * total_ || patientdone);
    }

  protected:
    // The program ends through the application's quit.
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == qApp && event->type() == QEvent::Quit)
            ended_ = true;
        return false;
    }

  private:
    bool chance(double p) { return std::uniform_real_distribution<double>(0, 1)(random_) < p; }
    int pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random_); }
    template <class T> T* anyof(const QList<T*>& list) {
        return list.isEmpty() ? nullptr : list[pick(0, static_cast<int>(list.size()) - 1)];
    }

    void fail(const std::string& what) {
        if (broken.empty())
            broken = what;
    }

    void stop() {
        stopping_ = true;
        QCoreApplication::exit(0);
    }

    // One event, its check, and the pause before the next one.
    void step() {
        if (ended_ || stopping_)
            return;
        check();
        if (!broken.empty() || done())
            return stop();
        if (!patient_ && events >= total_) {
            patient_ = true; // a new game, played patiently (see the top)
            return stop();
        }
        if (patient_)
            playpatiently();
        else
            act();
        if (ended_)
            return;
        check();
        if (!broken.empty())
            return stop();
        QTimer::singleShot(patient_ ? 5 : pause(), this, [this] { step(); });
    }

    // Mostly none, so that events come faster than frames; sometimes long
    // enough for a flight to land. While a computer player aims or a shell
    // flies, the player rather watches.
    int pause() {
        const Battle& b = app_->battle();
        QWidget* w = shown();
        const bool watching = w && w->objectName() == "Form1" && !question() &&
                              !QApplication::activePopupWidget() &&
                              (b.shotstate == 1 || app_->model().players[b.curplayer].ai);
        if (watching && chance(0.2))
            return pick(2, 5);
        if (std::exchange(holding_, false) && chance(0.5))
            return 1;
        const double r = std::uniform_real_distribution<double>(0, 1)(random_);
        if (r < 0.88)
            return 0;
        if (r < 0.98)
            return 1;
        if (r < 0.997)
            return pick(3, 8);
        return pick(20, 40);
    }

    QWidget* shown() const {
        const QWidgetList list = shownwindows();
        return list.size() == 1 ? list.front() : nullptr;
    }
    QMessageBox* question() const {
        Form1* field = app_->battlefield();
        auto* q = field ? field->findChild<QMessageBox*>("QuitQuestion") : nullptr;
        return q && q->isVisible() ? q : nullptr;
    }

    void check() {
        const QWidgetList windows = shownwindows();
        if (windows.size() != 1)
            return fail(std::to_string(windows.size()) + " game windows shown");
        QWidget* w = windows.front();
        if (w != lastshown_) {
            if (w->objectName() == "Form3")
                ++seen["results shown"];
            if (w->objectName() == "Form1" && lastname_ == "Form3")
                ++seen["next round from the shop"];
            lastshown_ = w;
            lastname_ = w->objectName();
        }
        std::string why = checkmodel(app_->model());
        if (why.empty() && w->objectName() == "Form2")
            why = checksetup(w, app_->model());
        if (why.empty() && w->objectName() == "Form1")
            why = checkbattlefield(w, app_->battle(), app_->model()) + checkround(w);
        if (why.empty() && w->objectName() == "Form3")
            why = checkresults(w, app_->model());
        if (!why.empty())
            fail(w->objectName().toStdString() + ": " + why);
    }

    // Within a round hit points only fall, and no frame runs while the quit
    // question is open.
    std::string checkround(QWidget* field) {
        const Battle& b = app_->battle();
        const auto& players = app_->model().players;
        if (!round_.window || round_.window != field) {
            round_ = {};
            round_.window = field;
            for (int i = 0; i < kPlayerSlots; ++i)
                round_.hitpoints[i] = players[i].hitpoints;
        }
        for (int i = 0; i < kPlayerSlots; ++i) {
            if (players[i].hitpoints > round_.hitpoints[i])
                return "player " + std::to_string(i) + " healed within a round";
            round_.hitpoints[i] = players[i].hitpoints;
        }
        QMessageBox* q = question();
        if (q && q == round_.question &&
            (b.frames != round_.frames || b.shotx != round_.shotx || b.shoty != round_.shoty))
            return "the battlefield ran while the quit question was open";
        round_.question = q;

        // A computer player aims once in its turn; while its launch keeps
        // failing it keeps that aim.
        const playerrec& p = players[b.curplayer];
        if (b.shotstate == 0 && p.ai) {
            if (round_.aimer != b.curplayer || round_.aimfrom != b.shotx) {
                round_.aimer = b.curplayer;
                round_.aimfrom = b.shotx;
                round_.aimmoves = 0;
            } else if ((p.angle != round_.angle || p.power != round_.power) &&
                       ++round_.aimmoves > 1) {
                return "computer player " + std::to_string(b.curplayer) +
                       " moves its aim while it waits (power " + std::to_string(p.power) + ")";
            }
            round_.angle = p.angle;
            round_.power = p.power;
        } else {
            round_.aimer = -1;
        }
        if (b.frames > round_.frames)
            seen["frames"] += b.frames - round_.frames;
        round_.frames = b.frames;
        round_.shotx = b.shotx;
        round_.shoty = b.shoty;
        return {};
    }

    // --- input through the platform's path --------------------------------

    // Keys go to the window with the keyboard focus, which hands them to its
    // focused control (or an open list), as the platform delivers them.
    QWindow* keywindow() const {
        if (QWindow* w = QGuiApplication::focusWindow(); w && w->isVisible())
            return w;
        if (QWidget* popup = QApplication::activePopupWidget())
            return popup->windowHandle();
        if (QMessageBox* q = question())
            return q->windowHandle();
        QWidget* w = shown();
        return w ? w->windowHandle() : nullptr;
    }

    void sendkey(const Key& k, bool press, bool repeat = false) {
        QWindow* to = keywindow();
        if (!to)
            return;
        ++events;
        lastaction = (press ? "press " : "release ") + QKeySequence(k.key).toString().toStdString();
        QTest::simulateEvent(to, press, k.key, k.modifiers, QString::fromUtf8(k.text), repeat);
    }

    bool computersturn() const {
        QWidget* w = shown();
        return w && w->objectName() == "Form1" &&
               app_->model().players[app_->battle().curplayer].ai;
    }
    bool sparing() const { return sparelist_ && computersturn(); }

    // The battlefield's list shows a weapon the current player has no
    // rounds of: a player who reads "Ammo: 0" picks another.
    bool emptychoice() const {
        QWidget* w = shown();
        auto* list = w ? w->findChild<QComboBox*>("Combo1") : nullptr;
        if (!list || w->objectName() != "Form1" || list->currentIndex() < 0)
            return false;
        return app_->model().players[app_->battle().curplayer].ammo[list->currentIndex()] <= 0;
    }

    // A press of a key not held, an auto-repeat of one that is, or a release.
    void keyevent(const int* weights) {
        if (sparing())
            weights = kSparingWeights;
        if (!held_.empty() && chance(0.45)) {
            auto it = held_.begin();
            std::advance(it, pick(0, static_cast<int>(held_.size()) - 1));
            const Key k = kKeys[*it];
            // Between auto-repeats some platforms send a release too.
            if (weights[*it] > 0 && chance(0.2)) {
                sendkey(k, false, true);
                sendkey(k, true, true);
                return;
            }
            held_.erase(it);
            sendkey(k, false);
            return;
        }
        std::discrete_distribution<int> which(weights, weights + std::size(kKeys));
        const int i = which(random_);
        sendkey(kKeys[i], true, held_.count(i) > 0);
        held_.insert(i);
        holding_ = i <= 5; // an arrow or Enter: held like a person holds it
    }

    // A left click at a random point of what shows of `w`, delivered to
    // its window.
    void clickon(QWidget* w) {
        if (!w || !w->isVisible())
            return;
        const QRect area = w->visibleRegion().boundingRect();
        QWindow* window = w->window()->windowHandle();
        if (area.isEmpty() || !window)
            return;
        const QPoint at(pick(area.left(), area.right()), pick(area.top(), area.bottom()));
        ++events;
        lastaction =
            "click on " + w->objectName().toStdString() + " " + w->metaObject()->className();
        QTest::mouseClick(window, Qt::LeftButton, Qt::NoModifier,
                          window->mapFromGlobal(w->mapToGlobal(at)));
    }

    QWidget* named(const QString& name) const {
        QWidget* w = shown();
        return w ? w->findChild<QWidget*>(name) : nullptr;
    }

    // Any visible control of the shown window, the inert ones included;
    // the setup window's Cancel has its own, rarer turn.
    QWidget* anycontrol() {
        QWidget* w = shown();
        if (!w)
            return nullptr;
        QWidgetList controls;
        for (QWidget* c : w->findChildren<QWidget*>())
            if (c->isVisible() && !(w->objectName() == "Form2" && c->objectName() == "Command3"))
                controls << c;
        return anyof(controls);
    }

    // The close box of a top-level window, through the platform.
    void closebox(QWidget* w) {
        if (!w || !w->windowHandle())
            return;
        ++events;
        lastaction = "close box of " + w->objectName().toStdString();
        ++seen["close box " + w->objectName().toStdString()];
        w->windowHandle()->close();
    }

    // A click into a name box, then a few letters, a blank or a Backspace.
    void typeaname(QWidget* w) {
        QList<QLineEdit*> boxes;
        for (QLineEdit* box : w->findChildren<QLineEdit*>())
            if (box->isEnabled())
                boxes << box;
        clickon(anyof(boxes));
        static const Key kTyped[] = {{Qt::Key_A, "a"},     {Qt::Key_Q, "q"},
                                     {Qt::Key_Z, "z"},     {Qt::Key_5, "5"},
                                     {Qt::Key_Space, " "}, {Qt::Key_Backspace, "\b"}};
        for (int n = pick(1, 5); n > 0; --n) {
            const Key& k = kTyped[pick(0, static_cast<int>(std::size(kTyped)) - 1)];
            sendkey(k, true);
            sendkey(k, false);
        }
        ++seen["name typed"];
    }

    // --- what a player does in each window --------------------------------

    void act() {
        if (QWidget* popup = QApplication::activePopupWidget())
            return inlist(popup);
        if (QMessageBox* q = question())
            return answer(q);
        QWidget* w = shown();
        if (!w)
            return;
        const QString name = w->objectName();
        ++seen[name.toStdString() + " events"];
        if (name == "Form2")
            return insetup(w);
        if (name == "Form1")
            return onfield(w);
        inresults(w);
    }

    void insetup(QWidget* w) {
        const double r = std::uniform_real_distribution<double>(0, 1)(random_);
        if (r < 0.30)
            keyevent(kFieldWeights);
        else if (r < 0.50)
            clickon(anycontrol());
        else if (r < 0.65)
            typeaname(w);
        else if (r < 0.91) // the player choices, AI more often: computer rounds end sooner
            clickon(named(QString(chance(0.8) ? "Option2_%1" : "Option1_%1").arg(pick(0, 7))));
        else if (r < 0.96)
            clickon(named("HScroll1"));
        else if (r < 0.99) {
            ++seen["start clicked"];
            clickon(named("Command1"));
        } else if (chance(0.3))
            closebox(w);
        else if (chance(0.3))
            clickon(named("Command3"));
    }

    // One human against one computer player, started from a fresh setup:
    // the human fires at every turn, and the computer player, which aims
    // closer shot by shot, ends the round. The results and shop are then
    // played as ever. Between two actions the game runs a few frames.
    void playpatiently() {
        ++patientsteps_;
        if (QApplication::activePopupWidget() || question())
            return act(); // not opened by this play; closed as ever
        QWidget* w = shown();
        if (!w)
            return;
        const QString name = w->objectName();
        ++seen[name.toStdString() + " events"];
        if (name == "Form2") {
            auto* computer = qobject_cast<QAbstractButton*>(named("Option2_1"));
            clickon(computer && !computer->isChecked() ? computer : named("Command1"));
        } else if (name == "Form1") {
            if (app_->battle().shotstate == 0 && !computersturn()) {
                sendkey({Qt::Key_Return, "\r"}, true);
                sendkey({Qt::Key_Return, "\r"}, false);
            }
        } else {
            inresults(w);
        }
    }

    void onfield(QWidget* w) {
        const double r = std::uniform_real_distribution<double>(0, 1)(random_);
        const double list = emptychoice() ? 0.15 : 0.03;
        if (r < 0.85 || (r < 0.85 + list && sparing()))
            keyevent(kFieldWeights);
        else if (r < 0.85 + list) {
            ++seen["weapon list clicked"];
            clickon(named("Combo1"));
        } else if (r < 0.8515 + list) {
            ++seen["quit clicked"];
            clickon(named("Command1"));
        } else if (r < 0.9999)
            clickon(anycontrol());
        else
            closebox(w);
    }

    void answer(QMessageBox* q) {
        ++seen["question events"];
        const double r = std::uniform_real_distribution<double>(0, 1)(random_);
        if (r < 0.55) {
            ++seen["answered No"];
            clickon(q->button(QMessageBox::No));
        } else if (r < 0.65) {
            sendkey({Qt::Key_Escape, "\x1b"}, true);
            sendkey({Qt::Key_Escape, "\x1b"}, false);
        } else if (r < 0.67) {
            ++seen["answered Yes"];
            clickon(q->button(QMessageBox::Yes));
        } else if (r < 0.85) {
            keyevent(kQuestionWeights);
        } else if (r < 0.98) {
            clickon(anycontrol()); // the battlefield behind it takes no clicks
        } else {
            closebox(q);
        }
    }

    void inlist(QWidget* popup) {
        ++seen["list open"];
        auto* list = popup->findChild<QAbstractItemView*>();
        const double r = std::uniform_real_distribution<double>(0, 1)(random_);
        if (sparing()) {
            sendkey({Qt::Key_Escape, "\x1b"}, true);
            sendkey({Qt::Key_Escape, "\x1b"}, false);
        } else if (r < 0.45 && list && list->model()->rowCount() > 0) {
            // On the battlefield mostly a weapon with rounds left.
            QList<int> rows;
            const playerrec& p = app_->model().players[app_->battle().curplayer];
            for (int i = 0; i < list->model()->rowCount(); ++i)
                if (chance(0.5) || shown()->objectName() != "Form1" ||
                    (i < kWeaponRows && p.ammo[i] > 0))
                    rows << i;
            const QModelIndex item = list->model()->index(
                rows.isEmpty() ? 0 : rows[pick(0, static_cast<int>(rows.size()) - 1)], 0);
            ++seen["list choice"];
            const QRect at = list->visualRect(item);
            QWindow* window = list->window()->windowHandle();
            if (!at.isValid() || !window)
                return;
            ++events;
            QTest::mouseClick(window, Qt::LeftButton, Qt::NoModifier,
                              window->mapFromGlobal(list->viewport()->mapToGlobal(at.center())));
        } else if (r < 0.92) {
            keyevent(kFieldWeights);
        } else {
            clickon(anycontrol()); // beside the list: closes it
        }
    }

    void inresults(QWidget* w) {
        const double r = std::uniform_real_distribution<double>(0, 1)(random_);
        if (QWidget* shop = w->findChild<QWidget*>("Frame2"); shop && shop->isVisible())
            ++seen["shop events"];
        if (r < 0.30) {
            ++seen["next clicked"];
            clickon(named("Command1"));
        } else if (r < 0.45)
            clickon(named("Command2"));
        else if (r < 0.55)
            clickon(named("Combo1"));
        else if (r < 0.85)
            keyevent(kFieldWeights);
        else if (r < 0.997)
            clickon(anycontrol());
        else
            closebox(w);
    }

    static constexpr long kPatientSteps = 4000; // 5 ms apart: some 20 s of play
    std::mt19937_64 random_;
    long total_;
    bool patient_ = false;  // playing the patient game
    long patientsteps_ = 0; // its steps so far
    bool sparelist_;
    GameApp* app_ = nullptr;
    bool ended_ = false, stopping_ = false;
    std::set<int> held_;   // indices into kKeys of keys held down
    bool holding_ = false; // a game key was just pressed
    RoundWatch round_;
    QPointer<QWidget> lastshown_;
    QString lastname_;
};

// Plays `total` events (ORDNIX_RANDOMINPUT_EVENTS) from the seed
// ORDNIX_RANDOMINPUT_SEED names, and checks that every window was reached.
void playrandomly(bool sparelist) {
    const uint64_t seed = envnumber("ORDNIX_RANDOMINPUT_SEED", 1);
    const long total = static_cast<long>(envnumber("ORDNIX_RANDOMINPUT_EVENTS", kEvents));
    SpeededClock clock(40);
    Driver driver(seed, total, sparelist);
    otherhandler = qInstallMessageHandler(quietplatform);
    while (driver.run(clock)) {
    }
    qInstallMessageHandler(otherhandler);
    for (const auto& [what, count] : driver.seen)
        std::printf("%8ld  %s\n", count, what.c_str());
    ASSERT_EQ(driver.broken, "") << "seed " << seed << ", event " << driver.events << " ("
                                 << driver.lastaction << ")"
                                 << " (rerun with ORDNIX_RANDOMINPUT_SEED=" << seed << ")";
    EXPECT_GE(driver.events, total);
    for (const char* what : Driver::kCoverage)
        EXPECT_TRUE(driver.seen.contains(what)) << "never came to: " << what;
}

} // namespace

TEST(RandomInput, TwentyThousandEventsLeaveOneWindowShownWithItsCaptionsInFormat) {
    playrandomly(true);
}

// The same with the weapon list in play during a computer player's turn too:
// such a player, left on a weapon without rounds, waits with the same aim.
TEST(RandomInput, EveryInputAlsoOnTheWeaponListDuringAComputerPlayersTurn) {
    playrandomly(false);
}
