#pragma once
// The walk through the window between two rounds: first the results page,
// then a shop page for seat 0 (whoever sits there) and for every later human
// player in seat order; the "Next" after the last buyer begins the next round.
// The results and shop window shows the page and the buyer this says.

#include "game/model.h"

namespace ordnix {

class ShopWalk {
  public:
    enum class Page { Results, Shop, Over }; // Over: the next round has begun

    // What one "Next" leads to.
    enum class Step {
        OpenShop,  // results page to the shop page of seat 0
        NextBuyer, // to the shop page of the next human player, buyer()
        NextRound, // past the last buyer: the walk is over, the next round begins
        None,      // the walk was already over: nothing happens
    };

    explicit ShopWalk(Model& model) : model_(model) {}

    Page page() const { return page_; }
    // Whose shop page it is; 0 on the results page.
    int buyer() const { return buyer_; }

    Step next();

    // One pack of catalogue row w for the buyer, on a shop page only (see
    // buy() in shop.h for the rule). True if bought.
    bool buy(int w);

  private:
    Model& model_;
    Page page_ = Page::Results;
    int buyer_ = 0;
};

} // namespace ordnix
