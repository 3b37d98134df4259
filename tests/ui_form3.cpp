// The results and shop window, driven through its controls: the results
// page and its payout, the shop's labels and purchases, and "Next" from
// buyer to buyer into the next round.

#include "ui/form3.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace ordnix;

namespace {

struct Shop {
    Model model;
    int nextrounds = 0;
    int quits = 0;
    std::unique_ptr<Form3> form;

    // A game of the given players ("*" in front of a name: a computer player).
    explicit Shop(const std::vector<std::string>& names) {
        initweapons(model);
        model.lastplayer = static_cast<int16_t>(names.size() - 1);
        std::array<PlayerChoice, 8> choices;
        for (size_t i = 0; i < names.size(); ++i) {
            const bool ai = names[i].starts_with('*');
            choices[i] = {ai ? names[i].substr(1) : names[i], ai};
        }
        startgame(model, choices);
    }
    playerrec& player(int i) { return model.players[i]; }

    // The battlefield shows the window when the round is decided.
    void open() {
        form = std::make_unique<Form3>(
            model, [this] { ++nextrounds; }, [this] { ++quits; });
        form->show();
    }
    template <class W> W* control(const char* name) {
        W* w = form->findChild<W*>(name);
        if (!w)
            ADD_FAILURE() << "no control " << name;
        return w;
    }
    QString text(const char* label) { return control<QLabel>(label)->text(); }
    QString title() { return control<QGroupBox>("Frame2")->title(); }
    bool shopshown() { return control<QGroupBox>("Frame2")->isVisible(); }
    bool resultsshown() { return control<QGroupBox>("Frame1")->isVisible(); }
    void next() { QTest::mouseClick(control<QPushButton>("Command1"), Qt::LeftButton); }
    void buyit() { QTest::mouseClick(control<QPushButton>("Command2"), Qt::LeftButton); }
    // Chooses a weapon in the list with the keyboard: Down moves the
    // selection, the key release refreshes the labels.
    void choose(int entry) {
        QComboBox* list = control<QComboBox>("Combo1");
        list->setFocus();
        for (int k = 0; k < 6 && list->currentIndex() < entry; ++k)
            QTest::keyClick(list, Qt::Key_Down);
        for (int k = 0; k < 6 && list->currentIndex() > entry; ++k)
            QTest::keyClick(list, Qt::Key_Up);
        EXPECT_EQ(list->currentIndex(), entry);
    }
};

} // namespace

TEST(Form3, OpensAsDesigned) {
    Shop s({"A", "B"});
    s.open();
    Form3& f = *s.form;
    EXPECT_EQ(f.windowTitle(), "Quarvel Ordnix");
    EXPECT_EQ(f.size(), QSize(414, 250));
    EXPECT_EQ(f.minimumSize(), f.maximumSize());

    QLabel* results = s.control<QLabel>("Label1");
    EXPECT_EQ(results->text(), "Results:");
    EXPECT_EQ(results->geometry(), QRect(8, 8, 393, 33));
    EXPECT_EQ(results->font().pointSizeF(), 12.0);
    EXPECT_TRUE(results->font().bold());
    EXPECT_TRUE(results->font().underline());
    EXPECT_EQ(results->font().family(), "MS Sans Serif");

    EXPECT_EQ(s.control<QGroupBox>("Frame1")->title(), "");
    EXPECT_EQ(s.control<QGroupBox>("Frame1")->geometry(), QRect(8, 40, 393, 161));
    EXPECT_EQ(s.control<QGroupBox>("Frame2")->geometry(), QRect(8, 40, 393, 161));
    EXPECT_TRUE(s.resultsshown());
    EXPECT_FALSE(s.shopshown());
    EXPECT_EQ(s.title(), "Buy menu for Player 1");

    const int widths[] = {369, 369, 361, 377, 361, 369, 369, 361};
    for (int i = 0; i < 8; ++i) {
        SCOPED_TRACE(i);
        QLabel* line = s.control<QLabel>(("Label2_" + std::to_string(i)).c_str());
        EXPECT_EQ(line->geometry(), QRect(8, 16 + 16 * i, widths[i], 17));
        EXPECT_EQ(line->font().pointSizeF(), 9.75);
        EXPECT_FALSE(line->font().bold());
    }

    QComboBox* list = s.control<QComboBox>("Combo1");
    EXPECT_FALSE(list->isEditable());
    EXPECT_EQ(list->geometry(), QRect(64, 32, 313, 21));
    QStringList entries;
    for (int k = 0; k < list->count(); ++k)
        entries << list->itemText(k);
    EXPECT_EQ(entries, (QStringList{"50 mm Grenade", "50kg Bomb", "500kg Bomb", "5 Mega Nuke!",
                                    "Cluster bomb", "Killer bomb"}));
    EXPECT_EQ(list->currentIndex(), 0);
    EXPECT_EQ(s.text("Label3"), "Weapon:");
    EXPECT_EQ(s.control<QPushButton>("Command2")->text(), "Buy it");
    EXPECT_EQ(s.control<QPushButton>("Command2")->geometry(), QRect(288, 128, 89, 25));
    EXPECT_EQ(s.control<QPushButton>("Command1")->text(), "Next");
    EXPECT_EQ(s.control<QPushButton>("Command1")->geometry(), QRect(8, 216, 89, 25));
}

TEST(Form3, ResultsListThePlayersAndPayTheRoundScoresOut) {
    Shop s({"Blue", "Red", "*Green"});
    s.player(0).totalscore = 80;
    s.player(0).roundscore = 40;
    s.player(0).money = 5;
    s.player(2).roundscore = -13;
    s.open();

    const char* lines[] = {
        "Player: 1 (Blue) Total score: 120 Last round: 40",
        "Player: 2 (Red) Total score: 0 Last round: 0",
        "Player: 3 (Green) Total score:-13 Last round:-13",
    };
    for (int i = 0; i < 8; ++i) {
        SCOPED_TRACE(i);
        QLabel* line = s.control<QLabel>(("Label2_" + std::to_string(i)).c_str());
        EXPECT_EQ(line->isVisible(), i < 3);
        if (i < 3) {
            EXPECT_EQ(line->text(), lines[i]);
        }
    }
    EXPECT_EQ(s.player(0).money, 45);
    EXPECT_EQ(s.player(1).money, 0);
    EXPECT_EQ(s.player(0).roundscore, 40); // cleared only when the next round starts
    EXPECT_EQ(s.text("Label4"), "Cost: 50");
    EXPECT_EQ(s.text("Label5"), "Quantity: 10");
    EXPECT_EQ(s.text("Label6"), "Already have: 0");
    EXPECT_EQ(s.text("Label7"), "Money: 45");
}

TEST(Form3, ScoresAndMoneyStopAtTheLimit) {
    Shop s({"A", "B"});
    s.player(0).totalscore = 32700;
    s.player(0).money = 32767;
    s.player(0).roundscore = 100;
    s.player(0).ammo[1] = 32765;
    s.open();
    EXPECT_EQ(s.player(0).totalscore, 32767);
    EXPECT_EQ(s.player(0).money, 32767);
    s.next();
    s.buyit();
    EXPECT_EQ(s.player(0).money, 32717);
    EXPECT_EQ(s.player(0).ammo[1], 32767);
    EXPECT_EQ(s.text("Label6"), "Already have: 32767");
}

TEST(Form3, BuyingNeedsMoreMoneyThanTheCost) {
    struct Case {
        int money;
        int clicks;
        int moneyafter;
        int shotsafter;
    };
    const Case cases[] = {
        {50, 1, 50, 0},   // money equal to the cost is not enough
        {51, 1, 1, 10},   //
        {120, 3, 20, 20}, // the third click buys nothing
        {0, 1, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.money);
        Shop s({"A", "B"});
        s.player(0).roundscore = static_cast<int16_t>(c.money);
        s.player(0).ammo[1] = 0;
        s.open();
        s.next();
        for (int k = 0; k < c.clicks; ++k)
            s.buyit();
        EXPECT_EQ(s.player(0).money, c.moneyafter);
        EXPECT_EQ(s.player(0).ammo[1], c.shotsafter);
        EXPECT_EQ(s.text("Label7"), QString("Money: %1").arg(c.moneyafter));
        EXPECT_EQ(s.text("Label6"), QString("Already have: %1").arg(c.shotsafter));
        EXPECT_EQ(s.control<QComboBox>("Combo1")->currentIndex(), 0);
    }
}

TEST(Form3, ChoosingAWeaponShowsItsPriceAndTheBuyersStock) {
    Shop s({"A", "B"});
    s.player(0).money = 650;
    s.player(0).ammo[6] = 4;
    s.open();
    s.next();
    s.choose(5);
    EXPECT_EQ(s.text("Label4"), "Cost: 500");
    EXPECT_EQ(s.text("Label5"), "Quantity: 4");
    EXPECT_EQ(s.text("Label6"), "Already have: 4");
    s.buyit();
    EXPECT_EQ(s.player(0).ammo[6], 8);
    EXPECT_EQ(s.text("Label7"), "Money: 150");

    s.choose(2);
    EXPECT_EQ(s.text("Label4"), "Cost: 200");
    EXPECT_EQ(s.text("Label5"), "Quantity: 5");
    EXPECT_EQ(s.text("Label6"), "Already have: 0");
    s.buyit();
    EXPECT_EQ(s.player(0).ammo[3], 0);
    EXPECT_EQ(s.text("Label7"), "Money: 150");
}

TEST(Form3, NextWalksTheHumanBuyersThenStartsTheNextRound) {
    struct Case {
        std::vector<std::string> players;
        std::vector<QString> titles; // shop page titles, one per Next
    };
    const Case cases[] = {
        {{"Blue", "Red"}, {"Buy menu for Player 1", "Buy menu for Red"}},
        {{"Blue", "*Red", "*Green"}, {"Buy menu for Player 1"}},
        {{"*Blue", "Red", "*Green", "Gold"},
         {"Buy menu for Player 1", "Buy menu for Red", "Buy menu for Gold"}},
        {{"A", "*B", "C", "*D", "*E", "*F", "*G", "*H"},
         {"Buy menu for Player 1", "Buy menu for C"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.players.size());
        Shop s(c.players);
        s.player(0).money = 200;
        s.open();
        for (const QString& title : c.titles) {
            s.next();
            EXPECT_TRUE(s.shopshown());
            EXPECT_FALSE(s.resultsshown());
            EXPECT_EQ(s.title(), title);
            EXPECT_EQ(s.nextrounds, 0);
        }
        s.next();
        EXPECT_EQ(s.nextrounds, 1);
        EXPECT_TRUE(s.form->roundstarted());
        EXPECT_FALSE(s.form->isVisible());
        EXPECT_EQ(s.quits, 0);
    }
}

TEST(Form3, TheShopPageShowsTheBuyersMoneyAndStock) {
    Shop s({"Blue", "Red"});
    s.player(0).money = 70;
    s.player(1).money = 300;
    s.player(1).ammo[1] = 30;
    s.open();
    s.next();
    EXPECT_EQ(s.text("Label7"), "Money: 70");
    s.next();
    EXPECT_EQ(s.text("Label7"), "Money: 300");
    EXPECT_EQ(s.text("Label6"), "Already have: 30");
    s.buyit();
    EXPECT_EQ(s.player(1).money, 250);
    EXPECT_EQ(s.player(1).ammo[1], 40);
    EXPECT_EQ(s.player(0).money, 70);
}

TEST(Form3, TheNextRoundResetsHitpointsBasicShotsAndRoundScoresOnly) {
    Shop s({"A", "B", "C"});
    for (int i = 0; i < 3; ++i) {
        s.player(i).hitpoints = static_cast<int16_t>(-20 * i);
        s.player(i).ammo[0] = 9994;
        s.player(i).ammo[4] = 5;
        s.player(i).roundscore = 30;
        s.player(i).angle = 100;
    }
    s.open();
    for (int k = 0; k < 4; ++k)
        s.next();
    ASSERT_EQ(s.nextrounds, 1);
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(s.player(i).hitpoints, 100);
        EXPECT_EQ(s.player(i).ammo[0], 9999);
        EXPECT_EQ(s.player(i).roundscore, 0);
        EXPECT_EQ(s.player(i).ammo[4], 5);
        EXPECT_EQ(s.player(i).angle, 100);
        EXPECT_EQ(s.player(i).totalscore, 30);
        EXPECT_EQ(s.player(i).money, 30);
    }
}

TEST(Form3, NextDoesNothingOnceTheNextRoundHasStarted) {
    Shop s({"A", "*B"});
    s.open();
    s.next();
    s.next();
    ASSERT_EQ(s.nextrounds, 1);
    s.player(0).hitpoints = 40; // the new round is under way
    QPushButton* next = s.control<QPushButton>("Command1");
    next->click();
    next->click();
    s.next();
    EXPECT_EQ(s.nextrounds, 1);
    EXPECT_EQ(s.player(0).hitpoints, 40);
    EXPECT_EQ(s.quits, 0);
}

TEST(Form3, TheCloseBoxEndsTheProgramButNotAfterTheNextRoundStarted) {
    {
        Shop s({"A", "B"});
        s.open();
        s.next();
        s.form->close();
        EXPECT_EQ(s.quits, 1);
        EXPECT_EQ(s.nextrounds, 0);
    }
    {
        Shop s({"A", "B"});
        s.open();
        for (int k = 0; k < 3; ++k)
            s.next();
        s.form->close();
        EXPECT_EQ(s.nextrounds, 1);
        EXPECT_EQ(s.quits, 0);
    }
}
