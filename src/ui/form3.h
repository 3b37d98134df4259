#pragma once
// The results and shop window between two rounds: the results page lists
// every player's scores (and pays the round scores out); the shop page lets
// each human player in turn buy weapon packs. "Next" leads from the results
// to the shop, from buyer to buyer, and after the last buyer into the next
// round.
//
// Ownership: a plain top-level widget without WA_DeleteOnClose; whoever
// creates it deletes it. When it starts the next round it calls onnextround
// (which opens the battlefield) and then closes itself; onnextround may
// delete the window with deleteLater() (a direct delete is tolerated too).

#include "game/model.h"
#include "game/shopwalk.h"

#include <QWidget>

#include <array>
#include <functional>

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;

namespace ordnix {

class Form3 : public QWidget {
    Q_OBJECT
  public:
    // onnextround opens the next round's battlefield; onquit ends the
    // program (the close box).
    Form3(Model& model, std::function<void()> onnextround, std::function<void()> onquit,
          QWidget* parent = nullptr);

    // True once "Next" has started the next round.
    bool roundstarted() const { return walk_.page() == ShopWalk::Page::Over; }

  protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void build();
    void load();
    int selectedrow() const; // catalogue row of the shop list's selection
    void refresh();          // Combo1 click and key up
    void buyit();            // Command2 click
    void next();             // Command1 click
    void showmoney();
    void showstock();

    Model& model_;
    ShopWalk walk_{model_}; // the page and the buyer shown
    std::function<void()> onnextround_;
    std::function<void()> onquit_;
    bool quitting_ = false;

    QLabel* label1_ = nullptr;
    QGroupBox* frame1_ = nullptr;
    std::array<QLabel*, 8> label2_{};
    QGroupBox* frame2_ = nullptr;
    QLabel* label3_ = nullptr;
    QComboBox* combo1_ = nullptr;
    QLabel* label4_ = nullptr;
    QLabel* label5_ = nullptr;
    QLabel* label6_ = nullptr;
    QLabel* label7_ = nullptr;
    QPushButton* command2_ = nullptr;
    QPushButton* command1_ = nullptr;
};

} // namespace ordnix
