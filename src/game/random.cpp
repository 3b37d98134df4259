#include "game/random.h"

#include <cstring>

namespace ordnix {

uint64_t MixRandom::next() {
    // splitmix64: one step of a Weyl sequence, then a strong bit mix.
    state_ += 0x9e3779b97f4a7c15ULL;
    uint64_t z = state_;
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
}

double MixRandom::draw() {
    return static_cast<double>(next() >> 40) / 16777216.0; // 24 bits
}

void MixRandom::reseed(double clockreading) {
    uint64_t bits = 0;
    static_assert(sizeof bits == sizeof clockreading);
    std::memcpy(&bits, &clockreading, sizeof bits);
    // The state moves on with every reseed, so equal readings still lead to
    // different values.
    state_ ^= bits * 0xd6e8feb86659fd93ULL;
    next();
}

} // namespace ordnix
