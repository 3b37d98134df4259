#include "game/numbers.h"

#include <cmath>
#include <cstdlib>
#include <limits>

namespace ordnix {

double roundeven(double v) {
    if (!std::isfinite(v))
        return v;
    const double down = std::floor(v);
    const double frac = v - down;
    if (frac > 0.5)
        return down + 1.0;
    if (frac < 0.5)
        return down;
    return std::fmod(down, 2.0) == 0.0 ? down : down + 1.0;
}

int16_t store16(double v) {
    if (std::isnan(v))
        return 0;
    const double r = roundeven(v);
    if (r >= std::numeric_limits<int16_t>::max())
        return std::numeric_limits<int16_t>::max();
    if (r <= std::numeric_limits<int16_t>::min())
        return std::numeric_limits<int16_t>::min();
    return static_cast<int16_t>(r);
}

std::string numtext(long v) {
    // The magnitude in unsigned arithmetic, where negating the most negative
    // value is defined too.
    const unsigned long bits = static_cast<unsigned long>(v);
    std::string text = std::to_string(v < 0 ? 0UL - bits : bits);
    text.insert(text.begin(), v < 0 ? '-' : ' ');
    return text;
}

} // namespace ordnix
