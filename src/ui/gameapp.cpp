#include "ui/gameapp.h"
#include "ui/widgets.h"

#include "ui/form1.h"
#include "ui/form2.h"
#include "ui/form3.h"

#include <QCoreApplication>
#include <QKeyEvent>

#include <chrono>
#include <functional>
#include <utility>

namespace ordnix {

namespace {
// Every run plays differently: the first draw of a run comes before any
// reseed, so the generator starts from the time of day.
uint64_t runseed() {
    return static_cast<uint64_t>(std::chrono::system_clock::now().time_since_epoch().count()) ^
           static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
}

// Reports every real key release that reaches one of the program's widgets.
class ReleaseFilter final : public QObject {
  public:
    explicit ReleaseFilter(std::function<void(QObject*)> released)
        : released_(std::move(released)) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyRelease && watched->isWidgetType() &&
            !static_cast<QKeyEvent*>(event)->isAutoRepeat())
            released_(watched);
        return false;
    }

  private:
    std::function<void(QObject*)> released_;
};

} // namespace

GameApp::GameApp(Clock* clock)
    : random_(runseed()), battle_(model_, random_, clock ? *clock : tickclock_, sound_) {
    // The held key survives from round to round only while the key is
    // really held: a key let go in any of the game's windows lets go of it.
    releases_ = std::make_unique<ReleaseFilter>([this](QObject* watched) {
        if (!form1_ || !form1_->owns(watched))
            battle_.keyup();
    });
    QCoreApplication::instance()->installEventFilter(releases_.get());
    usegamefont();
}

GameApp::~GameApp() {
    releases_.reset(); // a deleted filter uninstalls itself
    // Windows still open, or hidden and not yet deleted, go before the data
    // they work on.
    screen_ = Screen::Ended;
    delete form1_.data();
    delete form2_.data();
    delete form3_.data();
    for (const QPointer<QWidget>& window : retired_)
        delete window.data();
}

Form1* GameApp::battlefield() const {
    return form1_.data();
}
Form2* GameApp::setup() const {
    return form2_.data();
}
Form3* GameApp::results() const {
    return form3_.data();
}

void GameApp::start() {
    if (screen_ != Screen::Setup || form2_)
        return;
    initweapons(model_);
    model_.lastplayer = 1; // the setup window opens on two players
    form2_ =
        new Form2([this](int players,
                         const std::array<PlayerChoice, 8>& choices) { started(players, choices); },
                  [this] { quit(); });
    form2_->show();
}

void GameApp::started(int players, const std::array<PlayerChoice, 8>& choices) {
    if (screen_ != Screen::Setup)
        return;
    model_.lastplayer = static_cast<int16_t>(players - 1);
    startgame(model_, choices);
    form2_->hide(); // the setup window goes before the battlefield shows
    openbattlefield();
    retire(std::exchange(form2_, nullptr));
}

// Round setup, the window shown, the scene and the first turn; the clock's
// first tick then starts the frame loop.
void GameApp::openbattlefield() {
    screen_ = Screen::Battlefield;
    form1_ = new Form1(
        battle_, [this] { roundover(); }, [this] { quit(); });
    battle_.setup();
    form1_->show();
    battle_.begin();
    form1_->startclock();
}

void GameApp::roundover() {
    if (screen_ != Screen::Battlefield)
        return;
    screen_ = Screen::Results;
    creditroundscores(model_); // before the results lines show the totals
    form3_ = new Form3(
        model_, [this] { nextround(); }, [this] { quit(); });
    form3_->show();
    retire(std::exchange(form1_, nullptr));
}

void GameApp::nextround() {
    if (screen_ != Screen::Results)
        return;
    resetforround(model_);
    openbattlefield();
    retire(std::exchange(form3_, nullptr));
}

void GameApp::quit() {
    screen_ = Screen::Ended;
    QCoreApplication::quit();
}

void GameApp::retire(QWidget* window) {
    if (!window)
        return;
    window->hide();
    window->deleteLater();
    std::erase_if(retired_, [](const QPointer<QWidget>& w) { return w.isNull(); });
    retired_.emplace_back(window);
}

} // namespace ordnix
