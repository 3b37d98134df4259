#pragma once
// The whole run: the shared model, the random generator, the clock, the
// sound and the battlefield state live here; the windows come and go.

#include "game/battle.h"
#include "game/clock.h"
#include "game/model.h"
#include "game/random.h"
#include "ui/qtsound.h"

#include <QPointer>

namespace ordnix {

class Form1;
class Form2;
class Form3;

class GameApp {
  public:
    // `clock` replaces the tick clock, for tests that play faster than real time.
    explicit GameApp(Clock* clock = nullptr);
    ~GameApp();
    GameApp(const GameApp&) = delete;
    GameApp& operator=(const GameApp&) = delete;

    // Shows the player setup window.
    void start();

    Model& model() { return model_; }
    Battle& battle() { return battle_; }
    Form1* battlefield() const;
    Form2* setup() const;
    Form3* results() const;

  private:
    void openbattlefield(); // a round begins
    void openresults();     // a round is decided
    void quit();

    Model model_;
    MixRandom random_;
    TickClock tickclock_;
    QtSound sound_;
    Battle battle_;
    QPointer<Form1> form1_;
    QPointer<Form2> form2_;
    QPointer<Form3> form3_;
    bool quitting_ = false;
};

} // namespace ordnix
