#include <cctype>
#include <cmath>
#include <sstream>
#include <string>

#include "audio.h"

using namespace synth;

namespace audio {
namespace {

constexpr int kBeat = kRate / 2;  // 120 beats a minute, a whole number of samples
constexpr int kEighth = kBeat / 2;
constexpr int kBars = 16;
constexpr int kLength = kBars * 4 * kBeat;

// "C5", "F#4", "Bb3" to a MIDI note number; "R" is a rest (-1).
int parseNote(const std::string& name) {
    if (name == "R") return -1;
    static const int kSemitone[] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
    int note = kSemitone[std::toupper(name[0]) - 'A'];
    size_t i = 1;
    if (name[i] == '#') ++note, ++i;
    if (name[i] == 'b') --note, ++i;
    int octave = std::stoi(name.substr(i));
    return 12 * (octave + 1) + note;
}

// A steel-drum voice: bright strike, a pair of partials, quick decay.
Track steelNote(double hz, double seconds) {
    Track out(samples(seconds + 0.6));
    for (size_t i = 0; i < out.size(); ++i) {
        double t = static_cast<double>(i) / kRate;
        double env = strike(t, 0.004, 0.28) * (t < seconds ? 1.0 : std::exp(-(t - seconds) / 0.08));
        out[i] = env * (std::sin(kTwoPi * hz * t) +
                        0.45 * std::sin(kTwoPi * 2 * hz * t) * std::exp(-t * 9) +
                        0.18 * std::sin(kTwoPi * 3.01 * hz * t) * std::exp(-t * 14));
    }
    return out;
}

Track pluck(double hz, double seconds) {
    Track out(samples(seconds));
    for (size_t i = 0; i < out.size(); ++i) {
        double t = static_cast<double>(i) / kRate;
        out[i] = squareWave(hz * t, 5) * strike(t, 0.003, 0.07);
    }
    return out;
}

Track bassNote(double hz, double seconds) {
    Track out(samples(seconds));
    OnePole soften;
    for (size_t i = 0; i < out.size(); ++i) {
        double t = static_cast<double>(i) / kRate;
        double env = strike(t, 0.005, 0.35) * std::min(1.0, (out.size() - i) / 200.0);
        out[i] = soften.lowpass(sawWave(hz * t, 8), 700) * env;
    }
    return out;
}

Track kick() {
    Track out(samples(0.25));
    double phase = 0;
    for (size_t i = 0; i < out.size(); ++i) {
        double t = static_cast<double>(i) / kRate;
        phase += (50 + 90 * std::exp(-t * 30)) / kRate;
        out[i] = std::sin(kTwoPi * phase) * strike(t, 0.002, 0.07);
    }
    return out;
}

Track snare(uint32_t seed) {
    Noise noise(seed);
    OnePole tone;
    Track out(samples(0.18));
    for (size_t i = 0; i < out.size(); ++i) {
        double t = static_cast<double>(i) / kRate;
        out[i] = (tone.highpass(noise.next(), 900) + 0.3 * std::sin(kTwoPi * 190 * t)) *
                 strike(t, 0.001, 0.05);
    }
    return out;
}

Track hat(uint32_t seed) {
    Noise noise(seed);
    OnePole tone;
    Track out(samples(0.05));
    for (size_t i = 0; i < out.size(); ++i) {
        double t = static_cast<double>(i) / kRate;
        out[i] = tone.highpass(noise.next(), 5000) * strike(t, 0.001, 0.012);
    }
    return out;
}

// One bar per entry: the chord (bass root first) and the melody as note/eighths pairs.
struct Bar {
    const char* chord;
    const char* melody;
};
const Bar kSong[kBars] = {
    {"C3 C4 E4 G4", "E5 2 G5 2 C6 2 G5 2"},      {"G2 B3 D4 G4", "D5 2 G5 2 B5 3 A5 1"},
    {"A2 C4 E4 A4", "C6 2 B5 1 A5 1 E5 4"},      {"F2 C4 F4 A4", "F5 2 A5 2 C6 2 A5 2"},
    {"C3 C4 E4 G4", "G5 3 E5 1 G5 2 C6 2"},      {"G2 B3 D4 G4", "B5 2 A5 2 G5 2 D5 2"},
    {"F2 C4 F4 A4", "A5 2 C6 2 A5 1 G5 1 F5 2"}, {"G2 B3 D4 G4", "G5 6 R 2"},
    {"F2 C4 F4 A4", "C6 2 A5 2 F5 2 A5 2"},      {"G2 B3 D4 G4", "B5 2 D6 2 B5 2 G5 2"},
    {"E2 B3 E4 G4", "G5 2 E5 2 B5 3 G5 1"},      {"A2 C4 E4 A4", "A5 4 E5 2 C6 2"},
    {"D3 D4 F4 A4", "D6 2 A5 2 F5 2 A5 2"},      {"G2 B3 D4 G4", "B5 2 G5 2 D5 2 G5 2"},
    {"C3 C4 E4 G4", "C6 3 G5 1 E5 2 G5 2"},      {"G2 B3 F4 G4", "F5 2 D5 2 B4 2 G5 2"},
};

}  // namespace

Track sunshineDance() {
    Track mix(kLength, 0.0);
    const Track kickHit = kick();
    for (int bar = 0; bar < kBars; ++bar) {
        const int barStart = bar * 4 * kBeat;
        std::istringstream chord(kSong[bar].chord);
        std::string rootName;
        chord >> rootName;
        const double root = noteHz(parseNote(rootName));
        std::string name;
        std::vector<double> chordHz;
        while (chord >> name) chordHz.push_back(noteHz(parseNote(name)));
        // Bass: root, fifth, octave, fifth on the beats.
        static const double kBassSteps[] = {1.0, 1.4983, 2.0, 1.4983};
        for (int beat = 0; beat < 4; ++beat) {
            mixInto(mix, bassNote(root * kBassSteps[beat], 0.45), barStart + beat * kBeat, 0.55,
                    true);
        }
        // Off-beat chord stabs, the island lilt.
        for (int beat = 0; beat < 4; ++beat) {
            for (double hz : chordHz) {
                mixInto(mix, pluck(hz, 0.2), barStart + beat * kBeat + kEighth, 0.12, true);
            }
        }
        // Drums: kick on 1 and 3, snare on 2 and 4, hats on every eighth.
        for (int beat = 0; beat < 4; ++beat) {
            int at = barStart + beat * kBeat;
            mixInto(mix, beat % 2 == 0 ? kickHit : snare(100 + bar * 4 + beat), at, 0.7, true);
            mixInto(mix, hat(500 + bar * 8 + beat * 2), at, 0.18, true);
            mixInto(mix, hat(501 + bar * 8 + beat * 2), at + kEighth, 0.28, true);
        }
        // Melody.
        std::istringstream melody(kSong[bar].melody);
        int eighth = 0, length = 0;
        while (melody >> name >> length) {
            int note = parseNote(name);
            if (note >= 0) {
                mixInto(mix, steelNote(noteHz(note), length * kEighth / double(kRate) * 0.9),
                        barStart + eighth * kEighth, 0.5, true);
            }
            eighth += length;
        }
    }
    normalise(mix, 0.8);
    return mix;
}

}  // namespace audio
