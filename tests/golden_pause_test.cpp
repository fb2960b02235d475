// Golden matches replayed with a pause put in: P at a frame's read, P again
// some reads later, every later key change shifted by the reads the pause
// took. With the paused pictures taken out (and the time and the key reads
// shifted back), the run must be the recorded one to the last bit; while
// paused nothing may change and nothing may sound.
#include <gtest/gtest.h>

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <string>
#include <vector>

#include "golden_support/golden_run.h"
#include "golden_support/trace_file.h"
#include "services/dik_codes.h"

namespace {

constexpr int kFrameMs = 38;

std::string fieldOf(const golden::Snapshot& frame, const std::string& name) {
    for (const golden::Field& f : frame) {
        if (f.first == name) return f.second;
    }
    return "";
}

void setField(golden::Snapshot& frame, const std::string& name, const std::string& value) {
    for (golden::Field& f : frame) {
        if (f.first == name) f.second = value;
    }
}

// The hash the replay gives a stretch of silence of `samples` values.
std::string silenceHash(size_t samples) {
    uint64_t h = 14695981039346656037ull;
    for (size_t i = 0; i < samples; ++i) h = (h ^ 0u) * 1099511628211ull;
    char text[12];
    std::snprintf(text, sizeof text, "%08" PRIx32, uint32_t(h ^ (h >> 32)));
    return text;
}

golden::Recording withPause(const golden::Recording& original, int read, int length) {
    golden::Recording out = original;
    for (golden::KeyChange& c : out.changes) {
        if (c.read > read) c.read += length;
    }
    out.changes.push_back({read, DIK_P, true});
    out.changes.push_back({read + 1, DIK_P, false});
    out.changes.push_back({read + length, DIK_P, true});
    out.changes.push_back({read + length + 1, DIK_P, false});
    std::stable_sort(
        out.changes.begin(), out.changes.end(),
        [](const golden::KeyChange& a, const golden::KeyChange& b) { return a.read < b.read; });
    out.reads += length;
    return out;
}

struct Case {
    const char* name;
    double at;   // where in the run the pause goes, as a share of its frames
    int length;  // key reads the pause takes
};

class GoldenPause : public ::testing::TestWithParam<Case> {};

TEST_P(GoldenPause, PausedRunIsTheRecordedOne) {
    const Case c = GetParam();
    const std::string base = golden::goldenDir() + "/" + c.name;
    golden::Recording recording;
    std::string error;
    ASSERT_TRUE(golden::readRecording(base + ".rec", recording, error)) << error;

    // The plain run, to find a frame of play whose read is its own.
    std::vector<golden::Snapshot> plain;
    golden::RunHooks collect;
    collect.onFrame = [&](size_t, const golden::Snapshot& f) {
        plain.push_back(f);
        return true;
    };
    golden::Recording copy = recording;
    ASSERT_EQ(golden::runRecording(copy, collect), 0);
    size_t pausedAt = size_t(double(plain.size()) * c.at);
    auto reads = [&](size_t i) { return std::stoi(fieldOf(plain[i], "reads")); };
    auto ordinary = [&](size_t i) {
        return fieldOf(plain[i], "screens").find("match") != std::string::npos &&
               reads(i) == reads(i - 1) + 1 && reads(i + 1) == reads(i) + 1;
    };
    while (pausedAt + 1 < plain.size() && !ordinary(pausedAt)) ++pausedAt;
    ASSERT_LT(pausedAt + 1, plain.size());
    const int pRead = reads(pausedAt) - 1;

    // A shift of whole samples keeps every frame's share of the sound.
    const bool wholeSamples = (c.length * kFrameMs * 22050) % 1000 == 0;
    golden::TraceChecker trace;
    if (wholeSamples) {
        ASSERT_TRUE(trace.load(base + ".trace.gz", error)) << error;
    }

    golden::Recording paused = withPause(recording, pRead, c.length);
    std::string report;
    size_t frames = 0;
    // A stopped replay inside the pause's own loop ends the process through
    // F10, so the report is printed as soon as there is one.
    auto speak = [&] {
        if (report.empty()) return true;
        std::fprintf(stderr, "%s, paused at frame %zu for %d reads:\n%s", c.name, pausedAt,
                     c.length, report.c_str());
        std::fflush(stderr);
        return false;
    };
    golden::RunHooks hooks;
    hooks.onFrame = [&](size_t index, const golden::Snapshot& got) {
        frames = index + 1;
        if (index <= pausedAt) return true;  // checked by the golden runs themselves
        const size_t pausedFrames = size_t(c.length);
        if (index <= pausedAt + pausedFrames) {
            // Paused: the game as it was when P came, a silent mix, the same
            // picture under the word and again at the end.
            for (const golden::Field& f : plain[pausedAt]) {
                if (f.first == "time" || f.first == "reads" || f.first == "sound" ||
                    f.first == "picture" || f.first == "frame") {
                    continue;
                }
                if (fieldOf(got, f.first) != f.second) {
                    report += "paused picture " + std::to_string(index - pausedAt) + ": " +
                              f.first + " changed to " + fieldOf(got, f.first) + "\n";
                }
            }
            if (fieldOf(got, "frame") != fieldOf(plain[pausedAt + 1], "frame")) {
                report += "the frame counter ran while paused\n";
            }
            const std::string sound = fieldOf(got, "sound");
            if (sound != silenceHash(2 * 837) && sound != silenceHash(2 * 838)) {
                report += "sound while paused, picture " + std::to_string(index - pausedAt) + "\n";
            }
            const bool last = index == pausedAt + pausedFrames;
            if ((fieldOf(got, "picture") == fieldOf(plain[pausedAt], "picture")) != last) {
                report += "paused picture " + std::to_string(index - pausedAt) +
                          (last ? " is not the frozen one\n" : " shows no word\n");
            }
            return speak();
        }
        golden::Snapshot shifted = got;
        setField(shifted, "time",
                 std::to_string(std::stoll(fieldOf(got, "time")) - c.length * kFrameMs));
        setField(shifted, "reads", std::to_string(std::stoi(fieldOf(got, "reads")) - c.length));
        const size_t original = index - pausedFrames;
        if (!wholeSamples && original < plain.size()) {
            setField(shifted, "sound", fieldOf(plain[original], "sound"));
        }
        std::string diff;
        if (wholeSamples) {
            diff = trace.check(original, shifted);
        } else if (original >= plain.size()) {
            diff = "  more frames than the recording\n";
        } else if (shifted != plain[original]) {
            for (size_t i = 0; i < shifted.size() && i < plain[original].size(); ++i) {
                if (shifted[i] != plain[original][i]) {
                    diff += "  " + shifted[i].first + ": recorded " + plain[original][i].second +
                            ", replayed " + shifted[i].second + "\n";
                }
            }
        }
        if (!diff.empty()) report += "frame " + std::to_string(original) + " differs:\n" + diff;
        return speak();
    };
    // The checker reads its deltas in order: feed it the untouched frames first.
    if (wholeSamples) {
        for (size_t i = 0; i <= pausedAt; ++i) ASSERT_EQ(trace.check(i, plain[i]), "") << i;
    }
    ASSERT_EQ(golden::runRecording(paused, hooks), 0);
    EXPECT_TRUE(report.empty()) << c.name << ", paused at frame " << pausedAt << " for " << c.length
                                << " reads:\n"
                                << report;
    EXPECT_EQ(frames, plain.size() + size_t(c.length));
}

INSTANTIATE_TEST_SUITE_P(Golden, GoldenPause,
                         ::testing::Values(Case{"computer_vs_computer", 0.4, 10},
                                           Case{"computer_vs_computer", 0.7, 3},
                                           Case{"scripted_humans", 0.3, 250}),
                         [](const ::testing::TestParamInfo<Case>& info) {
                             std::string name = info.param.name;
                             return name + "_" + std::to_string(info.param.length);
                         });

}  // namespace
