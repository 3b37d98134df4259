#pragma once
// The battlefield's geometry and colours.

#include "game/ports.h"

namespace ordnix {

constexpr int kFieldWidth = 600;  // pixels; terrain columns 0..600
constexpr int kFieldHeight = 360; // pixels; ground deeper than row 360 is lifted to 359
constexpr int kColumns = kFieldWidth + 1;
constexpr int kOutlinePoints = 605;                // slots 0..604; the polygon uses 0..602
constexpr int kGroundPolygonPoints = kColumns + 2; // the columns, then two closing corners
constexpr int kClosingRow = 400;                   // the ground polygon closes below the picture

// Degrees to radians with pi taken as 3.14, as the game's numbers were tuned.
constexpr double kDegToRad = 3.14 / 180.0;

constexpr Rgb kSky{0, 0, 255};
constexpr Rgb kGround{0, 192, 0};
constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kBlastFill{250, 0, 20};
constexpr Rgb kBlastOutline{205, 10, 50};

} // namespace ordnix
