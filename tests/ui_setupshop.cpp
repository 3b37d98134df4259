// The player setup window and the results-and-shop window, driven through
// their controls.
#include "ui/form2.h"
#include "ui/form3.h"
#include "ui_support.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>

using namespace ordnix;

// The player count (2 at first, moved with the keyboard) shows bare digits
// and enables the frames in use; names and choices in disabled frames stay
// but are not used. Back at two, Start gives two human players at the edges.
TEST(Form2, CountEnablesTheFramesInUseAndStartTakesOnlyThose) {
    Model model;
    int starts = 0;
    // Start reports the choices; the application writes them as here.
    Form2 form(
        [&](int players, const std::array<PlayerChoice, 8>& choices) {
            ++starts;
            model.lastplayer = static_cast<int16_t>(players - 1);
            startgame(model, choices);
        },
        nullptr);
    form.show();
    EXPECT_EQ(form.size(), QSize(556, 267));
    auto* count = control<QScrollBar>(&form, "HScroll1");
    auto* name = control<QLineEdit>(&form, "Text1_5");
    for (int n : {2, 8, 3, 5, 2}) {
        count->setFocus();
        for (int k = 0; k < 8 && count->value() != n; ++k)
            QTest::keyClick(count, count->value() < n ? Qt::Key_Right : Qt::Key_Left);
        EXPECT_EQ(control<QLabel>(&form, "Label2")->text(), QString::number(n));
        for (int i = 0; i < 8; ++i)
            EXPECT_EQ(control(&form, QString("Frame1_%1").arg(i))->isEnabled(), i < n)
                << n << " players, frame " << i;
        if (n == 8) {
            name->clear();
            QTest::keyClicks(name, "Zed");
            click(control(&form, "Option2_6"));
        }
    }
    QTest::keyClicks(name, "xx"); // a disabled frame takes no typing
    EXPECT_EQ(name->text(), "Zed");
    click(control(&form, "Command1"));
    ASSERT_EQ(starts, 1);
    EXPECT_TRUE(model.players[5].name.empty() && !model.players[6].ai);
    for (int i = 0; i < 2; ++i) {
        const playerrec& p = model.players[i];
        EXPECT_EQ(std::tuple(p.name, p.x, p.hitpoints, p.angle, p.power, p.ammo[0], p.ai),
                  std::tuple(i ? "Player 2" : "Player 1", i ? 550 : 50, 100, 30, 50, 9999, false));
    }
}

// The results list every player and pay the round scores out; scores and
// money stop at the largest 16-bit number.
TEST(Form3, ResultsListEveryPlayerAndPayTheRoundScoresOut) {
    Model m = newgame({"Blue", "Red", "*Green"});
    m.players[0].roundscore = 40;
    m.players[1].totalscore = m.players[1].money = 32700;
    m.players[1].roundscore = 100;
    m.players[2].roundscore = -13;
    creditroundscores(m); // the application pays out when the round is decided
    Form3 form(m, nullptr, nullptr);
    auto text = [&](const char* label) { return control<QLabel>(&form, label)->text(); };
    EXPECT_EQ(text("Label2_0"), "Player: 1 (Blue) Total score: 40 Last round: 40");
    EXPECT_EQ(text("Label2_1"), "Player: 2 (Red) Total score: 32767 Last round: 100");
    EXPECT_EQ(text("Label2_2"), "Player: 3 (Green) Total score:-13 Last round:-13");
    EXPECT_TRUE(control(&form, "Label2_3")->isHidden());
    EXPECT_EQ(m.players[1].money, 32767);
}

// "Next" leads from the results through the shop pages: seat 0's page, titled
// for Player 1 whoever that is, then one for each later human player; then it
// starts the next round, once however often it is clicked. On each page the
// 50 mm Grenade (10 for 50) sells only for more money than its cost.
TEST(Form3, NextWalksTheShopPagesThenStartsTheNextRoundOnce) {
    struct Page {
        QString title;       // after "Buy menu for "
        int buys;            // clicks on "Buy it"
        int grenades, money; // afterwards
    };
    struct Row {
        const char* what;
        std::vector<std::string> players; // "*": a computer player
        std::vector<int16_t> scores;      // of the round, paid out as money
        std::vector<Page> pages;
    };
    const Row rows[] = {
        {.what = "two humans",
         .players = {"Blue", "Red"},
         .scores = {50, 51},
         .pages = {{.title = "Player 1", .buys = 1, .grenades = 0, .money = 50},
                   {.title = "Red", .buys = 1, .grenades = 10, .money = 1}}},
        {.what = "only seat 0 is human",
         .players = {"Blue", "*Red", "*Green"},
         .scores = {120},
         .pages = {{.title = "Player 1", .buys = 3, .grenades = 20, .money = 20}}},
        {.what = "seat 0 is a computer player and still shops",
         .players = {"*Blue", "Red", "*Green", "Gold"},
         .scores = {0, 70, 0, 60},
         .pages = {{.title = "Player 1", .buys = 0, .grenades = 0, .money = 0},
                   {.title = "Red", .buys = 0, .grenades = 0, .money = 70},
                   {.title = "Gold", .buys = 1, .grenades = 10, .money = 10}}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        Model m = newgame(row.players);
        for (size_t i = 0; i < row.scores.size(); ++i)
            m.players[i].roundscore = row.scores[i];
        creditroundscores(m);
        int nextrounds = 0;
        Form3 form(
            m, [&] { ++nextrounds; }, nullptr);
        form.show();
        auto text = [&](const char* label) { return control<QLabel>(&form, label)->text(); };
        for (const Page& page : row.pages) {
            SCOPED_TRACE(page.title.toStdString());
            click(control(&form, "Command1"));
            EXPECT_TRUE(control(&form, "Frame2")->isVisible());
            for (int k = 0; k < page.buys; ++k)
                click(control(&form, "Command2"));
            EXPECT_EQ(std::tuple(control<QGroupBox>(&form, "Frame2")->title(), text("Label6"),
                                 text("Label7")),
                      std::tuple("Buy menu for " + page.title,
                                 QString("Already have: %1").arg(page.grenades),
                                 QString("Money: %1").arg(page.money)));
        }
        EXPECT_EQ(nextrounds, 0);
        click(control(&form, "Command1"));
        EXPECT_EQ(nextrounds, 1);
        m.players[0].hitpoints = 40;       // the new round is under way
        click(control(&form, "Command1")); // on the button, disabled by now
        emit control<QAbstractButton>(&form, "Command1")->clicked(); // a click queued before that
        EXPECT_EQ(std::tuple(nextrounds, m.players[0].hitpoints), std::tuple(1, 40));
    }
}
