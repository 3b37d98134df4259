#pragma once
// The whole run and its window flow. The shared model, the random generator,
// the clock, the sound and the battlefield state live here; the windows come
// and go. The windows only show and report; this class alone decides which
// window follows and runs the model changes in the order the game needs:
//
//   Setup        start(): catalogue filled, setup window shown
//   Battlefield  Start: players written; round set up, window shown, first turn
//   Results      round decided: round scores paid out, results window shown
//   Battlefield  past the last buyer: hit points, basic shots, scores reset
//   Ended        Cancel, Quit answered Yes, or a close box
//
// A finished window is hidden and deleted once control is back in the event
// loop, so the report that finished it always returns into a live window.

#include "game/battle.h"
#include "game/clock.h"
#include "game/model.h"
#include "game/random.h"
#include "ui/pulsesound.h"

#include <QPointer>
#include <QWidget>

#include <array>
#include <memory>
#include <vector>

namespace ordnix {

class Form1;
class Form2;
class Form3;

class GameApp {
  public:
    enum class Screen { Setup, Battlefield, Results, Ended };

    // `clock` replaces the tick clock, for tests that play faster than real time.
    explicit GameApp(Clock* clock = nullptr);
    ~GameApp();
    GameApp(const GameApp&) = delete;
    GameApp& operator=(const GameApp&) = delete;

    // Shows the player setup window.
    void start();

    Screen screen() const { return screen_; }
    Model& model() { return model_; }
    Battle& battle() { return battle_; }
    // The window of the current screen, or null.
    Form1* battlefield() const;
    Form2* setup() const;
    Form3* results() const;

  private:
    // What the windows report.
    void started(int players, const std::array<PlayerChoice, 8>& choices); // setup: Start
    void roundover(); // battlefield: the round is decided
    void nextround(); // shop: past the last buyer
    void quit();      // any window: the program ends

    void openbattlefield();
    void retire(QWidget* window);

    Screen screen_ = Screen::Setup;
    Model model_;
    MixRandom random_;
    TickClock tickclock_;
    PulseSound sound_;
    Battle battle_;
    QPointer<Form1> form1_;
    QPointer<Form2> form2_;
    QPointer<Form3> form3_;
    std::vector<QPointer<QWidget>> retired_; // hidden, their deletion pending
    // Lets go of the held key on a release that the battlefield window does
    // not see: in the results and shop window, the quit question, or while
    // no battlefield window exists.
    std::unique_ptr<QObject> releases_;
};

} // namespace ordnix
