#pragma once
// The battlefield window: shows the round that the rules play, feeds them the
// keys, the weapon list and the timer's wake-ups, and hands over to the
// results when the round is decided.

#include "game/battle.h"
#include "game/ports.h"
#include "render/imagesurface.h"

#include <QTimer>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class QComboBox;
class QLabel;
class QMessageBox;
class QPushButton;

namespace ordnix {

class PictureBox;
class StatusLabel;
class XKeyRepeats;

class Form1 final : public QWidget, public BattleView {
    Q_OBJECT
  public:
    // The window attaches itself to the battle; the application sets up the
    // round around show() and then starts the clock. `onroundover` reports
    // that the round is decided (the application shows the results and
    // retires this window); `onquit` ends the program.
    Form1(Battle& battle, std::function<void()> onroundover, std::function<void()> onquit,
          QWidget* parent = nullptr);
    ~Form1() override;

    // Starts Timer1: its first tick, 10 ms on, starts the frame loop; then
    // it wakes the battlefield whenever the rules ask to be woken.
    void startclock();

    // The key events this window passes to the rules: its own controls' and
    // the opened weapon list's. The application lets go of the held key on
    // a release anywhere else.
    bool owns(QObject* watched) const;

    // An X key press that would change nothing: it repeats the arrow this
    // window last gave the rules (same keycode, same modifiers, to this
    // window with the keyboard focus, no list open), and the rules still
    // hold that key. Under X such presses are dropped before Qt sees them.
    bool repeatsheldarrow(uint32_t window, uint32_t keycode, uint32_t state) const;

    // BattleView
    void setweapons(const std::vector<std::string>& names) override;
    void selectweapon(int index) override;
    void setammolabel(const std::string& text) override;
    void showmarker(int left, int top) override;
    void hidemarker() override;
    void setstatus(const std::string& label2, const std::string& label1) override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void buildcontrols();
    void wakeup();
    void weaponchosen(int index);
    void focusbattlefield();
    void quitclicked();
    void questionanswered(bool yes);
    bool ours(QObject* watched) const;
    bool inlistpopup(QObject* watched) const; // the opened weapon list

    // The arrow press this window last gave the rules, as the platform sent
    // it; cleared by any release or other press it passes on.
    struct ArrowPress {
        uint32_t keycode = 0, state = 0;
        int code = 0; // the rules' key code, 0: none
    } lastarrow_;
    std::unique_ptr<XKeyRepeats> xrepeats_; // under X only

    Battle& battle_;
    std::function<void()> onroundover_;
    std::function<void()> onquit_;
    ImageSurface surface_;

    QWidget* toolstrip_ = nullptr;
    QLabel* weaponcaption_ = nullptr;
    QComboBox* weaponlist_ = nullptr;
    QLabel* ammolabel_ = nullptr;
    QPushButton* quitbutton_ = nullptr;
    PictureBox* battlefield_ = nullptr;
    QLabel* marker_ = nullptr;
    QWidget* backbuffer_ = nullptr;
    QWidget* statusstrip_ = nullptr;
    StatusLabel* playerline_ = nullptr;
    StatusLabel* aimline_ = nullptr;
    // What the status lines show, as the rules wrote it (the designed
    // captions until the first frame).
    std::string playertext_ = "Player: 1 Hitpoints: 100";
    std::string aimtext_ = "Label1";
    QTimer waketimer_; // wakes the battlefield for the first tick, each frame and ring
};

} // namespace ordnix
