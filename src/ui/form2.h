#pragma once
// The player setup window: number of players, and for each player a name and
// human or computer. "Start" writes the player table and hands over to the
// battlefield; "Cancel" or the close box ends the program.
//
// Ownership: a plain top-level widget without WA_DeleteOnClose; whoever
// creates it deletes it. After "Start" the window hides itself, calls
// onstart (which opens the battlefield), then closes itself; onstart may
// delete the window with deleteLater() (a direct delete is tolerated too).

#include "game/model.h"

#include <QWidget>

#include <array>
#include <functional>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QScrollBar;

namespace ordnix {

class Form2 : public QWidget {
    Q_OBJECT
  public:
    // onstart opens the battlefield; onquit ends the program (Cancel, or the
    // close box before Start).
    Form2(Model& model, std::function<void()> onstart, std::function<void()> onquit,
          QWidget* parent = nullptr);

    // True once Start has handed over to the battlefield.
    bool started() const { return started_; }

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void build();
    void load();
    void playercount(int v); // HScroll1 change
    void start();            // Command1 click
    void cancel();           // Command3 click

    Model& model_;
    std::function<void()> onstart_;
    std::function<void()> onquit_;
    bool started_ = false;
    bool quitting_ = false;

    QLabel* label1_ = nullptr;
    QScrollBar* hscroll1_ = nullptr;
    QLabel* label2_ = nullptr;
    std::array<QGroupBox*, 8> frame1_{};
    std::array<QLabel*, 8> label3_{};
    std::array<QLineEdit*, 8> text1_{};
    std::array<QRadioButton*, 8> option1_{};
    std::array<QRadioButton*, 8> option2_{};
    QPushButton* command1_ = nullptr;
    QPushButton* command3_ = nullptr;
};

} // namespace ordnix
