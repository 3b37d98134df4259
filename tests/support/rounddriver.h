#pragma once
// Plays whole rounds through the application's real windows, fast (give the
// application a JumpClock): either two human players who each drop a grenade
// on their own tank (three shots decide a round; both visit the shop) or two
// computer players. Call step() from the event loop, e.g. from a 1 ms timer;
// it never waits itself.
#include "clocks.h"
#include "ui/form1.h"
#include "ui/form2.h"
#include "ui/form3.h"
#include "ui/gameapp.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QPointer>

namespace ordnix {

class RoundDriver {
  public:
    // Opens the setup window and starts the game.
    RoundDriver(GameApp& app, bool computers) : app_(app), computers_(computers) {
        app_.start();
        if (computers_)
            for (const char* name : {"Option2_0", "Option2_1"})
                button(app_.setup(), name)->click();
        button(app_.setup(), "Command1")->click();
    }

    // One step: on the battlefield, aims and presses or releases Enter; on
    // a results window seen for the first time, counts the round and returns
    // true; later, clicks Next once (to the shop, through each buyer's page,
    // into the next round), so that every page gets painted.
    bool step() {
        Form3* results = app_.results();
        if (!results || app_.screen() != GameApp::Screen::Results) {
            if (!computers_)
                shoot();
            return false;
        }
        if (results != counted_) {
            counted_ = results;
            ++rounds_;
            return true;
        }
        button(results, "Command1")->click();
        return false;
    }

    int rounds() const { return rounds_; }

  private:
    static QAbstractButton* button(QWidget* form, const char* name) {
        return form->findChild<QAbstractButton*>(name);
    }

    void key(QEvent::Type type) {
        QKeyEvent event(type, Qt::Key_Return, Qt::NoModifier);
        QCoreApplication::sendEvent(app_.battlefield()->findChild<QWidget*>("Picture1"), &event);
    }

    // The current player aims straight up with little power and holds Enter
    // until the shell leaves; it comes down on its own tank.
    void shoot() {
        Battle& battle = app_.battle();
        if (!app_.battlefield())
            return;
        if (holding_ && battle.heldkey != kKeyEnter) { // the shell has left
            key(QEvent::KeyRelease);
            holding_ = false;
        }
        if (holding_ || !battle.running || battle.shotstate != 0 || battle.exploding())
            return;
        playerrec& p = app_.model().players[battle.curplayer];
        p.angle = 90;
        p.power = 20;
        battle.draw(); // the barrel follows the new aim
        key(QEvent::KeyPress);
        holding_ = true;
    }

    GameApp& app_;
    bool computers_;
    bool holding_ = false;
    int rounds_ = 0;
    QPointer<Form3> counted_;
};

} // namespace ordnix
