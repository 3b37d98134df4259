#include "ui/gameapp.h"

#include "ui/form1.h"
#include "ui/form2.h"
#include "ui/form3.h"

#include <QCoreApplication>

#include <chrono>

namespace ordnix {

namespace {
// Every run plays differently: the first draw of a run comes before any
// reseed, so the generator starts from the time of day.
uint64_t runseed() {
    return static_cast<uint64_t>(std::chrono::system_clock::now().time_since_epoch().count()) ^
           static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
}
} // namespace

GameApp::GameApp(Clock* clock)
    : random_(runseed()), battle_(model_, random_, clock ? *clock : tickclock_, sound_) {}

GameApp::~GameApp() {
    // Windows that are still open go before the data they work on.
    quitting_ = true;
    delete form1_.data();
    delete form2_.data();
    delete form3_.data();
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
    form2_ = new Form2(
        model_, [this] { openbattlefield(); }, [this] { quit(); });
    form2_->setAttribute(Qt::WA_DeleteOnClose);
    form2_->show();
}

void GameApp::openbattlefield() {
    // A closed window may linger until its deferred deletion.
    if (quitting_ || (form1_ && !form1_->closing()))
        return;
    form1_ = new Form1(
        battle_, [this] { openresults(); }, [this] { quit(); });
    form1_->setAttribute(Qt::WA_DeleteOnClose);
}

void GameApp::openresults() {
    if (quitting_ || (form3_ && !form3_->roundstarted()))
        return;
    form3_ = new Form3(
        model_, [this] { openbattlefield(); }, [this] { quit(); });
    form3_->setAttribute(Qt::WA_DeleteOnClose);
    form3_->show();
}

void GameApp::quit() {
    quitting_ = true;
    QCoreApplication::quit();
}

} // namespace ordnix
