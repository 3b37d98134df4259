// The walk between two rounds: results, the shop pages of seat 0 and of every
// later human player, then the next round; and buying on those pages.
#include "game/shop.h"
#include "game/shopwalk.h"
#include "game_fakes.h"

#include <vector>

using namespace ordnix;

namespace {
using Page = ShopWalk::Page;
using Step = ShopWalk::Step;

struct Move {
    Step step;
    int buyer; // buyer() after the step
};

const char* stepname(Step s) {
    switch (s) {
    case Step::OpenShop:
        return "OpenShop";
    case Step::NextBuyer:
        return "NextBuyer";
    case Step::NextRound:
        return "NextRound";
    case Step::None:
        return "None";
    }
    return "?";
}
} // namespace

// Each "Next" moves exactly one step; computer players other than seat 0 get
// no page; the step past the last buyer begins the next round once, and later
// presses do nothing.
TEST(ShopWalk, NextLeadsThroughSeatZeroAndTheLaterHumansIntoTheNextRoundOnce) {
    struct Row {
        const char* what;
        std::vector<std::string> players; // "*": a computer player
        std::vector<Move> moves;
    };
    const Row rows[] = {
        {.what = "two humans",
         .players = {"Blue", "Red"},
         .moves = {{Step::OpenShop, 0}, {Step::NextBuyer, 1}, {Step::NextRound, 1}}},
        {.what = "only seat 0 is human",
         .players = {"Blue", "*Red", "*Green"},
         .moves = {{Step::OpenShop, 0}, {Step::NextRound, 0}}},
        {.what = "seat 0 is a computer player and still shops",
         .players = {"*Blue", "Red", "*Green", "Gold"},
         .moves = {{Step::OpenShop, 0},
                   {Step::NextBuyer, 1},
                   {Step::NextBuyer, 3},
                   {Step::NextRound, 3}}},
        {.what = "computer players only",
         .players = {"*Blue", "*Red"},
         .moves = {{Step::OpenShop, 0}, {Step::NextRound, 0}}},
        {.what = "computer players last",
         .players = {"A", "B", "*C", "*D"},
         .moves = {{Step::OpenShop, 0}, {Step::NextBuyer, 1}, {Step::NextRound, 1}}},
        {.what = "eight humans",
         .players = {"A", "B", "C", "D", "E", "F", "G", "H"},
         .moves = {{Step::OpenShop, 0},
                   {Step::NextBuyer, 1},
                   {Step::NextBuyer, 2},
                   {Step::NextBuyer, 3},
                   {Step::NextBuyer, 4},
                   {Step::NextBuyer, 5},
                   {Step::NextBuyer, 6},
                   {Step::NextBuyer, 7},
                   {Step::NextRound, 7}}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        Model m = newgame(row.players);
        ShopWalk walk(m);
        EXPECT_EQ(std::tuple(walk.page(), walk.buyer()), std::tuple(Page::Results, 0));
        for (size_t k = 0; k < row.moves.size(); ++k) {
            const Move& want = row.moves[k];
            const Step got = walk.next();
            EXPECT_STREQ(stepname(got), stepname(want.step)) << "press " << k + 1;
            const Page page = want.step == Step::NextRound ? Page::Over : Page::Shop;
            EXPECT_EQ(std::tuple(walk.page(), walk.buyer()), std::tuple(page, want.buyer))
                << "press " << k + 1;
        }
        for (int k = 0; k < 2; ++k)
            EXPECT_STREQ(stepname(walk.next()), "None");
        EXPECT_EQ(walk.page(), Page::Over);
    }
}

// A lastplayer beyond the table (no game sets one) still ends the walk inside
// the table.
TEST(ShopWalk, StaysInsideThePlayerTableWhateverLastplayerSays) {
    Model m = newgame({"A", "B"});
    m.lastplayer = 40;
    ShopWalk walk(m);
    int presses = 0;
    while (walk.next() != Step::NextRound && presses < 100) {
        ++presses;
        EXPECT_LT(walk.buyer(), kPlayerSlots);
    }
    EXPECT_EQ(presses, kPlayerSlots); // the results page and one page per slot
}

// "Buy it" buys one pack for the buyer of the page shown, only with more money
// than the cost, never row 0, and nothing on the results page or once the
// next round has begun. Money and stock stop at the 16-bit limits.
TEST(ShopWalk, BuyTakesOnePackForTheBuyerShownWhenTheMoneyExceedsTheCost) {
    struct Row {
        const char* what;
        int presses; // "Next" presses before buying; two human players
        int16_t money;
        int16_t stock = 0; // of the row bought, before
        int row = 1;       // 50 mm Grenade: 10 for 50
        bool bought;
        int buyer; // whose money and stock change
        int16_t moneyafter;
        int16_t stockafter;
    };
    const Row rows[] = {
        {.what = "money equal to the cost",
         .presses = 1,
         .money = 50,
         .bought = false,
         .buyer = 0,
         .moneyafter = 50,
         .stockafter = 0},
        {.what = "one more than the cost",
         .presses = 1,
         .money = 51,
         .bought = true,
         .buyer = 0,
         .moneyafter = 1,
         .stockafter = 10},
        {.what = "second buyer",
         .presses = 2,
         .money = 120,
         .bought = true,
         .buyer = 1,
         .moneyafter = 70,
         .stockafter = 10},
        {.what = "Killer bomb",
         .presses = 1,
         .money = 501,
         .row = 6,
         .bought = true,
         .buyer = 0,
         .moneyafter = 1,
         .stockafter = 4},
        {.what = "stock at the limit",
         .presses = 1,
         .money = 100,
         .stock = 32760,
         .bought = true,
         .buyer = 0,
         .moneyafter = 50,
         .stockafter = 32767},
        {.what = "the basic weapon is not for sale",
         .presses = 1,
         .money = 100,
         .row = 0,
         .bought = false,
         .buyer = 0,
         .moneyafter = 100,
         .stockafter = 0},
        {.what = "no row past the catalogue",
         .presses = 1,
         .money = 100,
         .row = kCatalogueRows,
         .bought = false,
         .buyer = 0,
         .moneyafter = 100,
         .stockafter = 0},
        {.what = "results page",
         .presses = 0,
         .money = 100,
         .bought = false,
         .buyer = 0,
         .moneyafter = 100,
         .stockafter = 0},
        {.what = "next round begun",
         .presses = 3,
         .money = 100,
         .bought = false,
         .buyer = 1,
         .moneyafter = 100,
         .stockafter = 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        Model m = newgame({"Blue", "Red"});
        for (playerrec& p : m.players) {
            p.money = row.money;
            p.ammo[row.row % kWeaponRows] = row.stock;
        }
        const Model before = m;
        ShopWalk walk(m);
        for (int k = 0; k < row.presses; ++k)
            walk.next();
        EXPECT_EQ(walk.buy(row.row), row.bought);
        const playerrec& p = m.players[row.buyer];
        EXPECT_EQ(std::tuple(p.money, p.ammo[row.row % kWeaponRows]),
                  std::tuple(row.moneyafter, row.stockafter));
        const playerrec& other = m.players[1 - row.buyer];
        const playerrec& was = before.players[1 - row.buyer];
        EXPECT_EQ(std::tuple(other.money, other.ammo), std::tuple(was.money, was.ammo));
    }
}
