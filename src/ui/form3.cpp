#include "ui/form3.h"

#include "game/numbers.h"
#include "game/shop.h"
#include "ui/widgets.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include <string>

namespace ordnix {

namespace {
constexpr int kResultLines = 8;
// Widths of the results lines, as designed.
constexpr int kLineWidths[kResultLines] = {369, 369, 361, 377, 361, 369, 369, 361};
} // namespace

Form3::Form3(Model& model, std::function<void()> onnextround, std::function<void()> onquit,
             QWidget* parent)
    : QWidget(parent), model_(model), onnextround_(std::move(onnextround)),
      onquit_(std::move(onquit)) {
    build();
    load();
}

// The controls in their designed state.
void Form3::build() {
    setObjectName(QStringLiteral("Form3"));
    fixwindow(this, QStringLiteral("Quarvel Ordnix"), 414, 250);

    resultsheading_ = makelabel(this, "Label1", QStringLiteral("Results:"), 8, 8, 393, 33);
    resultsheading_->setFont(uifont(12, true, true));

    resultsframe_ = makeframe(this, "Frame1", QString(), 8, 40, 393, 161);
    for (int i = 0; i < kResultLines; ++i) {
        resultlines_[i] =
            makelabel(resultsframe_, ("Label2_" + std::to_string(i)).c_str(),
                      QStringLiteral("Name, Punkte!"), 8, 16 + 16 * i, kLineWidths[i], 17);
        resultlines_[i]->setFont(uifont(9.75));
    }

    shopframe_ =
        makeframe(this, "Frame2", QStringLiteral("Buy menu for Player 1"), 8, 40, 393, 161);
    shopframe_->hide();
    weaponcaption_ = makelabel(shopframe_, "Label3", QStringLiteral("Weapon:"), 16, 32, 49, 17);
    buylist_ = makelist(shopframe_, "Combo1", 64, 32, 313, 21);
    weaponcaption_->setBuddy(buylist_); // a screen reader names the list "Weapon:"
    costlabel_ = makelabel(shopframe_, "Label4", QStringLiteral("Cost:"), 16, 64, 97, 17);
    quantitylabel_ = makelabel(shopframe_, "Label5", QStringLiteral("Quantity:"), 16, 80, 89, 17);
    stocklabel_ =
        makelabel(shopframe_, "Label6", QStringLiteral("Already have:"), 16, 104, 177, 17);
    moneylabel_ = makelabel(shopframe_, "Label7", QStringLiteral("Money:"), 16, 128, 113, 17);
    buybutton_ = makebutton(shopframe_, "Command2", QStringLiteral("Buy it"), 288, 128, 89, 25);
    nextbutton_ = makebutton(this, "Command1", QStringLiteral("Next"), 8, 216, 89, 25);

    // A click in the list refreshes the labels; so does any key released
    // while the list has the focus.
    connect(buylist_, &QComboBox::activated, this, &Form3::refresh);
    buylist_->installEventFilter(this);
    connect(buybutton_, &QPushButton::clicked, this, &Form3::buyit);
    connect(nextbutton_, &QPushButton::clicked, this, &Form3::next);
}

// Window load: list the results, fill the shop.
void Form3::load() {
    for (int i = 0; i < kResultLines; ++i) {
        resultlines_[i]->setText(qtext(resultsline(model_, i)));
        resultlines_[i]->hide();
    }
    for (int i = 0; i <= model_.lastplayer && i < kResultLines; ++i)
        resultlines_[i]->show();

    for (int w = kFirstShopRow; w <= kLastShopRow; ++w)
        buylist_->addItem(qtext(model_.weapons[w].name));
    // Selecting by program raises no click here, so refresh directly.
    buylist_->setCurrentIndex(0);
    refresh();
    showmoney();
}

int Form3::selectedrow() const {
    return buylist_->currentIndex() + kFirstShopRow;
}

void Form3::showmoney() {
    moneylabel_->setText(qtext("Money:" + numtext(model_.players[walk_.buyer()].money)));
}

void Form3::showstock() {
    const int w = selectedrow();
    if (w < kFirstShopRow || w > kLastShopRow)
        return;
    stocklabel_->setText(qtext("Already have:" + numtext(model_.players[walk_.buyer()].ammo[w])));
}

void Form3::refresh() {
    const int w = selectedrow();
    if (w < kFirstShopRow || w > kLastShopRow)
        return;
    costlabel_->setText(qtext("Cost:" + numtext(model_.weapons[w].cost)));
    quantitylabel_->setText(qtext("Quantity:" + numtext(model_.weapons[w].quantity)));
    showstock();
    showmoney();
}

void Form3::buyit() {
    walk_.buy(selectedrow());
    showmoney();
    showstock();
}

void Form3::next() {
    if (quitting_)
        return;
    // Exactly one step per click, as the walk says.
    switch (walk_.next()) {
    case ShopWalk::Step::OpenShop: // seat 0's page keeps the designed title
        resultsframe_->hide();
        shopframe_->show();
        return;
    case ShopWalk::Step::NextBuyer:
        showmoney();
        // An ampersand in a name is shown as typed, not taken as a shortcut.
        shopframe_->setTitle(qtext("Buy menu for " + model_.players[walk_.buyer()].name)
                                 .replace('&', QStringLiteral("&&")));
        showstock();
        return;
    case ShopWalk::Step::NextRound:
        nextbutton_->setEnabled(false);
        if (onnextround_)
            onnextround_();
        return;
    case ShopWalk::Step::None: // the next round has begun: a queued click
        return;
    }
}

// The close box ends the program, unless the window closes after starting
// the next round (or while the program is already ending).
void Form3::closeEvent(QCloseEvent* event) {
    event->accept();
    if (walk_.page() == ShopWalk::Page::Over || quitting_)
        return;
    quitting_ = true;
    if (onquit_)
        onquit_();
}

bool Form3::eventFilter(QObject* watched, QEvent* event) {
    if (watched == buylist_ && event->type() == QEvent::KeyRelease)
        refresh();
    return QWidget::eventFilter(watched, event);
}

} // namespace ordnix
