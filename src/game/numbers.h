#pragma once
// Number conventions of the game: every counter is a 16-bit integer, written
// through one rounding helper, and every number shown in a caption goes
// through one text helper.

#include <cstdint>
#include <string>

namespace ordnix {

// Nearest integer with halves to the even neighbour (87.5 -> 88, 12.5 -> 12).
double roundeven(double v);

// Stores a real value into a 16-bit counter: rounded with halves to even and
// saturated to [-32768, 32767], so nothing ever wraps. NaN stores 0.
int16_t store16(double v);

// A minus sign or one blank, then the decimal digits: 250 -> " 250", -13 -> "-13".
std::string numtext(long v);

} // namespace ordnix
