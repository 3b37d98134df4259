#pragma once
// The player setup window: number of players, and for each player a name and
// human or computer. "Start" reports the choices, "Cancel" or the close box
// the end of the program; the window itself changes no game data.
//
// Ownership: a plain top-level widget without WA_DeleteOnClose; whoever
// creates it deletes it. The application hides it after Start and deletes it
// with deleteLater(), so the report always returns into a live window.

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
    // Start: the number of players (2 to 8) and every frame's name and kind,
    // of which the first `players` are in use.
    using StartReport = std::function<void(int players, const std::array<PlayerChoice, 8>&)>;

    // onstart takes Start, once; onquit ends the program (Cancel, or the
    // close box before Start).
    Form2(StartReport onstart, std::function<void()> onquit, QWidget* parent = nullptr);

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void build();
    void load();
    void playercount(int v); // playercountbar_ moved
    void start();            // startbutton_ clicked
    void cancel();           // cancelbutton_ clicked

    StartReport onstart_;
    std::function<void()> onquit_;
    bool started_ = false;
    bool quitting_ = false;

    QLabel* playerscaption_ = nullptr;
    QScrollBar* playercountbar_ = nullptr;
    QLabel* playercountlabel_ = nullptr;
    std::array<QGroupBox*, 8> playerframes_{};
    std::array<QLabel*, 8> namecaptions_{};
    std::array<QLineEdit*, 8> nameboxes_{};
    std::array<QRadioButton*, 8> humanoptions_{};
    std::array<QRadioButton*, 8> aioptions_{};
    QPushButton* startbutton_ = nullptr;
    QPushButton* cancelbutton_ = nullptr;
};

} // namespace ordnix
