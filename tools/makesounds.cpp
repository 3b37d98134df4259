// Synthesises the game's two sounds and writes them as 16-bit PCM mono wave
// files: fire.wav (a sharp crack with a quick falling tone) and explode.wav
// (a low rumble with a boom). Same output on every run: the noise comes from
// a fixed-seed generator of our own.
//
// Usage: makesounds OUTPUT_FOLDER

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr int kRate = 22050;
constexpr double kPi = 3.14159265358979323846;

// xorshift32: small, fast and identical on every platform.
class Noise {
  public:
    explicit Noise(uint32_t seed) : state_(seed) {}
    // A value in [-1, 1).
    double next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return static_cast<double>(state_) / 2147483648.0 - 1.0;
    }

  private:
    uint32_t state_;
};

// Scales the samples so the loudest one sits at `peak` of full scale.
void normalise(std::vector<double>& samples, double peak) {
    double loudest = 0.0;
    for (double s : samples)
        loudest = std::max(loudest, std::fabs(s));
    if (loudest > 0.0)
        for (double& s : samples)
            s *= peak / loudest;
}

// A short ramp at both ends so the sound starts and stops without a click.
void fadeends(std::vector<double>& samples, int ramp) {
    const int n = static_cast<int>(samples.size());
    for (int i = 0; i < ramp && i < n; ++i) {
        const double g = static_cast<double>(i) / ramp;
        samples[i] *= g;
        samples[n - 1 - i] *= g;
    }
}

// ~0.25 s: a noise crack that dies within a few milliseconds, over a tone
// falling from 900 Hz to 140 Hz, the whole decaying quickly.
std::vector<double> firesound() {
    const int n = kRate / 4;
    std::vector<double> out(n);
    Noise noise(0x5eed0001u);
    double phase = 0.0;
    double bright = 0.0; // one-pole high-pass state for the crack
    double prev = 0.0;
    for (int i = 0; i < n; ++i) {
        const double t = static_cast<double>(i) / kRate;
        const double w = noise.next();
        bright = 0.6 * (bright + w - prev);
        prev = w;
        const double crack = bright * std::exp(-t * 60.0);
        const double freq = 140.0 + 760.0 * std::exp(-t * 18.0);
        phase += 2.0 * kPi * freq / kRate;
        const double tone = std::sin(phase) * std::exp(-t * 14.0);
        out[i] = 0.9 * crack + 0.6 * tone;
    }
    fadeends(out, 32);
    normalise(out, 0.85);
    return out;
}

// ~0.8 s: noise through a low-pass whose cutoff sinks over time, plus a boom
// sliding from 70 Hz to 35 Hz, with an exponential decay.
std::vector<double> explodesound() {
    const int n = kRate * 4 / 5;
    std::vector<double> out(n);
    Noise noise(0x5eed0002u);
    double low1 = 0.0, low2 = 0.0; // two one-pole low-pass stages
    double phase = 0.0;
    for (int i = 0; i < n; ++i) {
        const double t = static_cast<double>(i) / kRate;
        const double cutoff = 150.0 + 1800.0 * std::exp(-t * 6.0);
        const double a = 1.0 - std::exp(-2.0 * kPi * cutoff / kRate);
        low1 += a * (noise.next() - low1);
        low2 += a * (low1 - low2);
        const double freq = 35.0 + 35.0 * std::exp(-t * 5.0);
        phase += 2.0 * kPi * freq / kRate;
        const double boom = std::sin(phase) * std::exp(-t * 4.5);
        const double attack = std::min(1.0, t / 0.004);
        out[i] = attack * (2.5 * low2 * std::exp(-t * 4.0) + 0.7 * boom);
    }
    fadeends(out, 64);
    normalise(out, 0.9);
    return out;
}

void put16(std::vector<uint8_t>& b, uint32_t v) {
    b.push_back(static_cast<uint8_t>(v & 0xff));
    b.push_back(static_cast<uint8_t>((v >> 8) & 0xff));
}

void put32(std::vector<uint8_t>& b, uint32_t v) {
    put16(b, v & 0xffff);
    put16(b, v >> 16);
}

void puttag(std::vector<uint8_t>& b, const char* tag) {
    for (int i = 0; i < 4; ++i)
        b.push_back(static_cast<uint8_t>(tag[i]));
}

// RIFF/WAVE, PCM, mono, 16 bits, little-endian whatever the host.
std::vector<uint8_t> wavebytes(const std::vector<double>& samples) {
    const uint32_t datasize = static_cast<uint32_t>(samples.size() * 2);
    std::vector<uint8_t> b;
    b.reserve(44 + datasize);
    puttag(b, "RIFF");
    put32(b, 36 + datasize);
    puttag(b, "WAVE");
    puttag(b, "fmt ");
    put32(b, 16);        // size of the format block
    put16(b, 1);         // PCM
    put16(b, 1);         // mono
    put32(b, kRate);     // samples per second
    put32(b, kRate * 2); // bytes per second
    put16(b, 2);         // bytes per frame
    put16(b, 16);        // bits per sample
    puttag(b, "data");
    put32(b, datasize);
    for (double s : samples) {
        const double clamped = std::clamp(s, -1.0, 1.0);
        const auto v = static_cast<int16_t>(std::lround(clamped * 32767.0));
        put16(b, static_cast<uint16_t>(v));
    }
    return b;
}

bool writefile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
    f.close();
    if (!f) {
        std::fprintf(stderr, "makesounds: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: makesounds OUTPUT_FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];
    const bool ok = writefile(folder + "/fire.wav", wavebytes(firesound())) &&
                    writefile(folder + "/explode.wav", wavebytes(explodesound()));
    return ok ? 0 : 1;
}
