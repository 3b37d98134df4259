#pragma once
// Between rounds: the results lines and the shop's buy rule. The walk over
// the pages and the buyers is in shopwalk.h.

#include "game/model.h"

#include <string>

namespace ordnix {

// Catalogue rows the shop sells: 1..6 (row 0, the basic weapon, never).
constexpr int kFirstShopRow = 1;
constexpr int kLastShopRow = kCatalogueRows - 1;

// "Player: 1 (Blue) Total score: 120 Last round: 40" for slot i.
std::string resultsline(const Model& m, int i);

// One pack of row w for player b: only when the money is strictly greater
// than the cost. Money and stock stop at the 16-bit limits. True if bought.
bool buy(Model& m, int b, int w);

} // namespace ordnix
