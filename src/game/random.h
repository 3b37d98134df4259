#pragma once
// The program's one random generator. Values are uniform in [0, 1) and are
// whole multiples of 2^-24, so a value converted to single precision stays
// the same value and never rounds up to 1.

#include <cstdint>

namespace ordnix {

class Random {
  public:
    virtual ~Random() = default;
    // A fresh value in [0, 1).
    virtual double draw() = 0;
    // Mixes a clock reading (seconds) into the current state; never restarts
    // the sequence from the reading alone.
    virtual void reseed(double clockreading) = 0;
};

// The generator the game plays with: a 64-bit mixing generator whose state
// advances on every draw and on every reseed.
class MixRandom final : public Random {
  public:
    explicit MixRandom(uint64_t seed = 0x6f72646e69780001ULL) : state_(seed) {}
    double draw() override;
    void reseed(double clockreading) override;

  private:
    uint64_t next();
    uint64_t state_;
};

} // namespace ordnix
