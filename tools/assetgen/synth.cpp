#include "synth.h"

#include <algorithm>
#include <cmath>

namespace synth {

double noteHz(int midiNote) {
    return 440.0 * std::pow(2.0, (midiNote - 69) / 12.0);
}

double Noise::next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_ / 2147483647.5 - 1.0;
}

double OnePole::lowpass(double x, double cutoffHz) {
    double a = 1.0 - std::exp(-kTwoPi * cutoffHz / kRate);
    y_ += a * (x - y_);
    return y_;
}

void StateVariable::run(double x, double cutoffHz, double damping) {
    double f = 2.0 * std::sin(3.14159265358979 * std::min(cutoffHz, kRate / 6.0) / kRate);
    low += f * band;
    high = x - low - damping * band;
    band += f * high;
}

double sawWave(double phase, int harmonics) {
    double s = 0;
    for (int k = 1; k <= harmonics; ++k) s += std::sin(kTwoPi * k * phase) / k;
    return s * 0.55;
}

double squareWave(double phase, int harmonics) {
    double s = 0;
    for (int k = 1; k <= harmonics; k += 2) s += std::sin(kTwoPi * k * phase) / k;
    return s * 0.9;
}

double strike(double t, double attack, double decay) {
    if (t < 0) return 0;
    if (t < attack) return t / attack;
    return std::exp(-(t - attack) / decay);
}

void mixInto(Track& track, const Track& source, int start, double gain, bool wrap) {
    const int n = static_cast<int>(track.size());
    for (size_t i = 0; i < source.size(); ++i) {
        int at = start + static_cast<int>(i);
        if (wrap) {
            at %= n;
        } else if (at >= n) {
            break;
        }
        track[at] += source[i] * gain;
    }
}

void normalise(Track& track, double peak) {
    double largest = 0;
    for (double v : track) largest = std::max(largest, std::fabs(v));
    if (largest <= 0) return;
    for (double& v : track) v *= peak / largest;
}

std::vector<uint8_t> toWav(const Track& track, int rate) {
    const uint32_t dataBytes = static_cast<uint32_t>(track.size() * 2);
    std::vector<uint8_t> out;
    out.reserve(44 + dataBytes);
    auto text = [&](const char* s) { out.insert(out.end(), s, s + 4); };
    auto u32 = [&](uint32_t v) {
        for (int i = 0; i < 4; ++i) out.push_back((v >> (8 * i)) & 0xFF);
    };
    auto u16 = [&](uint16_t v) {
        out.push_back(v & 0xFF);
        out.push_back(v >> 8);
    };
    text("RIFF");
    u32(36 + dataBytes);
    text("WAVE");
    text("fmt ");
    u32(16);
    u16(1);  // PCM
    u16(1);  // mono
    u32(uint32_t(rate));
    u32(uint32_t(rate) * 2);
    u16(2);
    u16(16);
    text("data");
    u32(dataBytes);
    for (double v : track) {
        long s = std::lround(std::clamp(v, -1.0, 1.0) * 32767.0);
        u16(static_cast<uint16_t>(static_cast<int16_t>(s)));
    }
    return out;
}

}  // namespace synth
