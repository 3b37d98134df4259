#pragma once
// Between rounds: the results lines, the shop's buy rule and the walk over
// the buyers. The results and shop window shows what these say.

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

// The buyer after b: the next player who is not a computer player, or
// lastplayer + 1 when every player has had a turn.
int nextbuyer(const Model& m, int b);

} // namespace ordnix
