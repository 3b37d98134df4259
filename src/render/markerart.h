#pragma once
// The turn marker shown above the player whose turn it is: a 32 x 32
// downward-pointing arrow in blue and purple with light edges.

#include <QImage>

namespace ordnix {

constexpr int kMarkerSize = 32;

// Drawn pixel by pixel on a transparent background (Format_ARGB32).
QImage makemarker();

} // namespace ordnix
