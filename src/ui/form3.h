#pragma once
// The results and shop window between two rounds: the results page lists
// every player's scores (paid out by the application before the window
// opens); the shop page lets each human player in turn buy weapon packs.
// "Next" steps the shop walk: from the results to the shop, from buyer to
// buyer, and after the last buyer it reports that the next round begins.
//
// Ownership: a plain top-level widget without WA_DeleteOnClose; whoever
// creates it deletes it. The application hides it when the next round begins
// and deletes it with deleteLater(), so the report always returns into a live
// window.

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
    // onnextround: the walk is past the last buyer, once; onquit ends the
    // program (the close box before that).
    Form3(Model& model, std::function<void()> onnextround, std::function<void()> onquit,
          QWidget* parent = nullptr);

  protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void build();
    void load();
    int selectedrow() const; // catalogue row of the shop list's selection
    void refresh();          // buylist_ clicked, or a key released on it
    void buyit();            // buybutton_ clicked
    void next();             // nextbutton_ clicked
    void showmoney();
    void showstock();

    Model& model_;
    ShopWalk walk_{model_}; // the page and the buyer shown
    std::function<void()> onnextround_;
    std::function<void()> onquit_;
    bool quitting_ = false;

    QLabel* resultsheading_ = nullptr;
    QGroupBox* resultsframe_ = nullptr;
    std::array<QLabel*, 8> resultlines_{};
    QGroupBox* shopframe_ = nullptr;
    QLabel* weaponcaption_ = nullptr;
    QComboBox* buylist_ = nullptr;
    QLabel* costlabel_ = nullptr;
    QLabel* quantitylabel_ = nullptr;
    QLabel* stocklabel_ = nullptr;
    QLabel* moneylabel_ = nullptr;
    QPushButton* buybutton_ = nullptr;
    QPushButton* nextbutton_ = nullptr;
};

} // namespace ordnix
