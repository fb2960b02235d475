#pragma once
#include <cstdint>
#include <vector>

// A small synthesiser: oscillators, noise, envelopes and one-pole and state-variable
// filters, enough for the game's effects and its tune. Mono, 22050 samples per second.
namespace synth {

constexpr int kRate = 22050;
constexpr double kTwoPi = 6.28318530717958647692;

using Track = std::vector<double>;

inline int samples(double seconds) {
    return static_cast<int>(seconds * kRate + 0.5);
}
double noteHz(int midiNote);

// Deterministic white noise in -1..1.
class Noise {
  public:
    explicit Noise(uint32_t seed) : state_(seed ? seed : 1) {}
    double next();

  private:
    uint32_t state_;
};

class OnePole {
  public:
    double lowpass(double x, double cutoffHz);
    double highpass(double x, double cutoffHz) { return x - lowpass(x, cutoffHz); }

  private:
    double y_ = 0;
};

// Chamberlin state-variable filter; `q` damping from about 0.1 (ringing) to 1.4.
class StateVariable {
  public:
    void run(double x, double cutoffHz, double damping);
    double low = 0, band = 0, high = 0;
};

// Band-limited sawtooth-like and square-like sums of harmonics up to `harmonics`.
double sawWave(double phase, int harmonics);
double squareWave(double phase, int harmonics);

// Exponential decay from 1 with the given time to fall to about 1/e, after a linear attack.
double strike(double t, double attack, double decay);

// Adds `source` into `track` at `start`, wrapping around the end when `wrap` is set.
void mixInto(Track& track, const Track& source, int start, double gain, bool wrap);

// Scales the track so that its largest magnitude is `peak` (of full scale).
void normalise(Track& track, double peak);

// A PCM WAV file: canonical 44-byte header, 16-bit mono at kRate.
// `rate` is the playback rate written in the header.
std::vector<uint8_t> toWav(const Track& track, int rate = kRate);

}  // namespace synth
