#include <cmath>

#include "audio.h"

using namespace synth;

namespace audio {
namespace {

// Noise filtered around a loop: one pass warms the filter up so that the second pass, which
// is kept, ends in the state it started from.
Track loopedNoise(int length, uint32_t seed, double cutoffHz) {
    Noise noise(seed);
    Track white(length);
    for (double& v : white) v = noise.next();
    OnePole filter;
    Track out(length);
    for (int pass = 0; pass < 3; ++pass) {
        for (int i = 0; i < length; ++i) out[i] = filter.lowpass(white[i], cutoffHz);
    }
    return out;
}

// The propeller drone. Every partial has a whole number of cycles in the loop.
Track engineLoop() {
    const int n = kRate / 2;  // 0.5 s: all frequencies are multiples of 2 Hz
    const double f0 = 200, chop = 30;
    Track rumble = loopedNoise(n, 11, 900);
    Track out(n);
    for (int i = 0; i < n; ++i) {
        double t = static_cast<double>(i) / kRate;
        double pulse = 0;
        for (int k = 1; k <= 12; ++k) pulse += std::sin(kTwoPi * k * f0 * t + k * 0.7) / k;
        double am = 0.7 + 0.3 * std::sin(kTwoPi * chop * t);
        out[i] = (pulse * 0.5 + rumble[i] * 1.2) * am;
    }
    normalise(out, 0.6);
    return out;
}

// A wailing dive: a vibrato tone over rushing wind, one second long.
constexpr int kFallingRate = 16000;

Track fallingLoop() {
    const int n = kRate;
    const double f0 = 620, vibrato = 6, depth = 45;
    Track wind = loopedNoise(n, 23, 2500);
    Track out(n);
    for (int i = 0; i < n; ++i) {
        double t = static_cast<double>(i) / kRate;
        // Phase of f0 + depth*sin(2*pi*vibrato*t); whole cycles of both keep the seam.
        double phase = f0 * t + depth / (kTwoPi * vibrato) * (1 - std::cos(kTwoPi * vibrato * t));
        double tone = sawWave(phase, 6);
        out[i] = tone * 0.6 + wind[i] * 2.0;
    }
    normalise(out, 0.55);
    return out;
}

Track whistle() {
    const int n = samples(2.2);
    Noise noise(5);
    Track out(n);
    double phase = 0;
    for (int i = 0; i < n; ++i) {
        double t = static_cast<double>(i) / n;
        double f = 1700 * std::pow(500.0 / 1700.0, t);
        phase += f / kRate;
        double env = std::min(1.0, i / (0.05 * kRate)) * (0.6 + 0.4 * t) *
                     std::min(1.0, (n - i) / (0.05 * kRate));
        out[i] = env * (std::sin(kTwoPi * phase) + 0.2 * std::sin(2 * kTwoPi * phase) +
                        0.05 * noise.next());
    }
    normalise(out, 0.5);
    return out;
}

Track explosion(double seconds, uint32_t seed, double boomHz, double brightness) {
    const int n = samples(seconds);
    Noise noise(seed);
    OnePole body, crackle;
    Track out(n);
    double phase = 0;
    for (int i = 0; i < n; ++i) {
        double t = static_cast<double>(i) / kRate;
        double cutoff = 200 + brightness * std::exp(-t * 4);
        double roar = body.lowpass(noise.next(), cutoff) * 3.0;
        double pops = noise.next() > 0.995 - 0.02 * std::exp(-t * 3) ? noise.next() : 0;
        phase += boomHz * (1 - 0.5 * t / seconds) / kRate;
        double boom = std::sin(kTwoPi * phase) * strike(t, 0.004, 0.18);
        out[i] = (roar + crackle.highpass(pops, 1500) * 0.6) * strike(t, 0.005, seconds / 3.5) +
                 boom * 0.9;
    }
    normalise(out, 0.9);
    return out;
}

Track splash(double seconds, uint32_t seed, double centreHz, double thump) {
    const int n = samples(seconds);
    Noise noise(seed);
    StateVariable wash;
    Track out(n);
    double phase = 0;
    for (int i = 0; i < n; ++i) {
        double t = static_cast<double>(i) / kRate;
        wash.run(noise.next(), centreHz * (1 - 0.4 * t / seconds), 0.7);
        double body = wash.band * strike(t, 0.01, seconds / 4);
        phase += 70.0 / kRate;
        double low = std::sin(kTwoPi * phase) * strike(t, 0.005, 0.08) * thump;
        out[i] = body + low;
    }
    // Bubbles: short rising blips after the impact.
    for (int b = 0; b < 5; ++b) {
        int start = samples(seconds * (0.25 + 0.12 * b));
        double f = 450 + 90 * b, ph = 0;
        for (int i = 0; i < samples(0.05) && start + i < n; ++i) {
            double t = static_cast<double>(i) / kRate;
            ph += f * (1 + 12 * t) / kRate;
            out[start + i] += 0.25 * std::sin(kTwoPi * ph) * strike(t, 0.003, 0.015);
        }
    }
    normalise(out, 0.8);
    return out;
}

Track machineGun() {
    const int n = samples(0.32);
    Noise noise(41);
    OnePole tone;
    Track out(n);
    for (int shot = 0; shot < 3; ++shot) {
        int start = samples(0.085 * shot);
        double phase = 0;
        for (int i = 0; start + i < n; ++i) {
            double t = static_cast<double>(i) / kRate;
            phase += 140.0 / kRate;
            double crack = tone.lowpass(noise.next(), 3500) * strike(t, 0.001, 0.018);
            double thud = std::sin(kTwoPi * phase) * strike(t, 0.002, 0.03);
            out[start + i] += crack * 2.5 + thud * 0.7;
        }
    }
    normalise(out, 0.85);
    return out;
}

// The menu click is made and stored at half the output rate: the menu plays
// its start click at 22000 Hz, an octave above the other clicks, so starting
// a match sounds different from moving through the rows.
constexpr int kClickRate = 11025;

Track click() {
    const int n = static_cast<int>(0.07 * kClickRate + 0.5);
    Track out(n);
    for (int i = 0; i < n; ++i) {
        double t = static_cast<double>(i) / kClickRate;
        // Harmonics 1 and 3 only: the 5th would fold back below 5512 Hz.
        out[i] = squareWave(1320 * t, 3) * strike(t, 0.002, 0.018);
    }
    normalise(out, 0.6);
    return out;
}

// The studio chime of the intro: a rising bell arpeggio.
Track chime() {
    const int n = samples(1.8);
    Track out(n);
    const int notes[] = {72, 76, 79, 84};
    for (int k = 0; k < 4; ++k) {
        int start = samples(0.12 * k);
        double f = noteHz(notes[k]);
        for (int i = 0; start + i < n; ++i) {
            double t = static_cast<double>(i) / kRate;
            double bell = std::sin(kTwoPi * f * t) +
                          0.35 * std::sin(kTwoPi * f * 2.76 * t) * std::exp(-t * 6);
            out[start + i] += bell * strike(t, 0.004, 0.45);
        }
    }
    normalise(out, 0.7);
    return out;
}

}  // namespace

void addSounds(AssetBundle& bundle) {
    bundle.addFile("sfx/rot5loo1.wav", toWav(engineLoop()));
    bundle.addFile("sfx/engnxplo.wav", toWav(explosion(1.3, 17, 70, 3200)));
    // Stored slower than it was made: a falling plane raises the rate by 10 Hz a
    // frame while it is below 22000, so the scream climbs as the plane falls.
    bundle.addFile("sfx/ovrevlp1.wav", toWav(fallingLoop(), kFallingRate));
    bundle.addFile("sfx/bmbwstl2.wav", toWav(whistle()));
    bundle.addFile("sfx/splash.wav", toWav(splash(0.7, 29, 1800, 0.4)));
    bundle.addFile("sfx/planesplash.wav", toWav(splash(1.4, 31, 1000, 1.0)));
    bundle.addFile("sfx/spanloo.wav", toWav(machineGun()));
    bundle.addFile("sfx/cannonfire.wav", toWav(explosion(0.9, 37, 90, 5000)));
    bundle.addFile("sfx/warningbeep.wav", toWav(click(), kClickRate));
    bundle.addFile("sfx/sunshineDance.wav", toWav(sunshineDance()));
    bundle.addFile("sfx/interaction.wav", toWav(chime()));
}

}  // namespace audio
