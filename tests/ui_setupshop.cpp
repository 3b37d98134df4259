// The player setup window and the results-and-shop window, driven through
// their controls.
#include "ui/form2.h"
#include "ui/form3.h"
#include "ui_support.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>

#include <memory>

using namespace ordnix;

namespace {

struct SetupWindow {
    Model model;
    int starts = 0;
    Form2 form{model, [this] { ++starts; }, [] {}};

    SetupWindow() { form.show(); }
    // Moves the player count with the keyboard, as a player would.
    void setcount(int v) {
        auto* s = control<QScrollBar>(&form, "HScroll1");
        s->setFocus();
        for (int k = 0; k < 8 && s->value() != v; ++k)
            QTest::keyClick(s, s->value() < v ? Qt::Key_Right : Qt::Key_Left);
        EXPECT_EQ(s->value(), v);
    }
};

struct Shop {
    Model model;
    int nextrounds = 0;
    std::unique_ptr<Form3> form;

    explicit Shop(const std::vector<std::string>& names) : model(newgame(names)) {}
    playerrec& player(int i) { return model.players[i]; }
    // The battlefield opens the window when the round is decided.
    void open() {
        form = std::make_unique<Form3>(
            model, [this] { ++nextrounds; }, [] {});
        form->show();
    }
    QString text(const QString& label) { return control<QLabel>(form.get(), label)->text(); }
    void next() { click(control(form.get(), "Command1")); }
};

} // namespace

TEST(Form2, StartAtOnceGivesTwoHumanPlayersAtTheEdges) {
    SetupWindow s;
    click(control(&s.form, "Command1"));
    ASSERT_EQ(s.starts, 1);
    for (int i = 0; i < 2; ++i) {
        const playerrec& p = s.model.players[i];
        EXPECT_EQ(std::tuple(p.name, p.x, p.hitpoints, p.angle, p.power, p.ammo[0], p.ai),
                  std::tuple(i ? "Player 2" : "Player 1", i ? 550 : 50, 100, 30, 50, 9999, false));
    }
}

// The player count shows bare digits and enables the frames in use; names
// and choices in disabled frames stay but are not used.
TEST(Form2, CountEnablesTheFramesInUseAndKeepsTheOthersAside) {
    SetupWindow s;
    EXPECT_EQ(s.form.size(), QSize(556, 267));
    s.setcount(8);
    auto* name = control<QLineEdit>(&s.form, "Text1_5");
    name->clear();
    QTest::keyClicks(name, "Zed");
    click(control(&s.form, "Option2_6"));
    for (int count : {8, 3, 5, 2}) {
        s.setcount(count);
        EXPECT_EQ(control<QLabel>(&s.form, "Label2")->text(), QString::number(count));
        for (int i = 0; i < 8; ++i)
            EXPECT_EQ(control(&s.form, QString("Frame1_%1").arg(i))->isEnabled(), i < count)
                << count << " players, frame " << i;
    }
    QTest::keyClicks(name, "xx"); // a disabled frame takes no typing
    EXPECT_EQ(name->text(), "Zed");
    click(control(&s.form, "Command1"));
    EXPECT_TRUE(s.model.players[5].name.empty() && !s.model.players[6].ai);
}

// The results list every player and pay the round scores out; scores and
// money stop at the largest 16-bit number.
TEST(Form3, ResultsListEveryPlayerAndPayTheRoundScoresOut) {
    Shop s({"Blue", "Red", "*Green"});
    s.player(0).roundscore = 40;
    s.player(1).totalscore = s.player(1).money = 32700;
    s.player(1).roundscore = 100;
    s.player(2).roundscore = -13;
    s.open();
    const char* lines[] = {"Player: 1 (Blue) Total score: 40 Last round: 40",
                           "Player: 2 (Red) Total score: 32767 Last round: 100",
                           "Player: 3 (Green) Total score:-13 Last round:-13"};
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(s.text(QString("Label2_%1").arg(i)), lines[i]);
    EXPECT_FALSE(control(s.form.get(), "Label2_3")->isVisible());
    EXPECT_EQ(s.player(1).money, 32767);
}

TEST(Form3, BuyingTheGrenadeNeedsMoreMoneyThanItsCost) {
    for (auto [money, clicks, left, shots] :
         {std::array{50, 1, 50, 0}, std::array{51, 1, 1, 10}, std::array{120, 3, 20, 20}}) {
        SCOPED_TRACE(money);
        Shop s({"A", "B"});
        s.player(0).roundscore = static_cast<int16_t>(money);
        s.open();
        s.next();
        for (int k = 0; k < clicks; ++k)
            click(control(s.form.get(), "Command2"));
        EXPECT_EQ(s.player(0).ammo[1], shots);
        EXPECT_EQ(s.text("Label7"), QString("Money: %1").arg(left));
    }
}

// "Next" leads through the shop pages of the human players (the first page
// is titled for Player 1 whoever buys), then starts the next round once.
TEST(Form3, NextWalksTheHumanBuyersThenStartsTheNextRoundOnce) {
    const std::pair<std::vector<std::string>, QStringList> cases[] = {
        {{"Blue", "Red"}, {"Buy menu for Player 1", "Buy menu for Red"}},
        {{"Blue", "*Red", "*Green"}, {"Buy menu for Player 1"}},
        {{"*Blue", "Red", "*Green", "Gold"},
         {"Buy menu for Player 1", "Buy menu for Red", "Buy menu for Gold"}},
    };
    for (const auto& [players, titles] : cases) {
        SCOPED_TRACE(players.size());
        Shop s(players);
        s.open();
        for (const QString& title : titles) {
            s.next();
            EXPECT_TRUE(control(s.form.get(), "Frame2")->isVisible());
            EXPECT_EQ(control<QGroupBox>(s.form.get(), "Frame2")->title(), title);
        }
        EXPECT_EQ(s.nextrounds, 0);
        s.next();
        EXPECT_EQ(s.nextrounds, 1);
        s.player(0).hitpoints = 40; // the new round is under way
        s.next();
        s.next();
        EXPECT_EQ(s.nextrounds, 1);
        EXPECT_EQ(s.player(0).hitpoints, 40);
    }
}
