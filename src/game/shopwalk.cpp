#include "game/shopwalk.h"

#include "game/shop.h"

#include <algorithm>

namespace ordnix {

ShopWalk::Step ShopWalk::next() {
    switch (page_) {
    case Page::Results:
        page_ = Page::Shop;
        buyer_ = 0;
        return Step::OpenShop;
    case Page::Shop: {
        // Computer players get no page of their own, except at seat 0 above.
        // The bound only keeps the walk inside the table whatever the data says.
        const int last = std::min<int>(model_.lastplayer, kPlayerSlots - 1);
        int next = buyer_ + 1;
        while (next <= last && model_.players[next].ai)
            ++next;
        if (next > last) {
            page_ = Page::Over;
            return Step::NextRound;
        }
        buyer_ = next;
        return Step::NextBuyer;
    }
    case Page::Over:
        break;
    }
    return Step::None;
}

bool ShopWalk::buy(int w) {
    return page_ == Page::Shop && ordnix::buy(model_, buyer_, w);
}

} // namespace ordnix
