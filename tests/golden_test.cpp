// Golden runs: every recording under tests/golden replayed headless, each
// presented frame compared with its recorded trace: the game's state field by
// field, the picture and the sound. Re-record with scripts/golden.sh.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "golden_support/golden_run.h"
#include "golden_support/png_dump.h"
#include "golden_support/trace_file.h"

namespace {

std::vector<std::string> goldenNames() {
    std::vector<std::string> names;
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(golden::goldenDir(), ignored)) {
        if (entry.path().extension() == ".rec") names.push_back(entry.path().stem().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

class GoldenRun : public ::testing::TestWithParam<std::string> {};

TEST_P(GoldenRun, ReplaysAsRecorded) {
    const std::string base = golden::goldenDir() + "/" + GetParam();
    golden::Recording recording;
    golden::TraceChecker trace;
    std::string error;
    ASSERT_TRUE(golden::readRecording(base + ".rec", recording, error)) << error;
    ASSERT_TRUE(trace.load(base + ".trace.gz", error)) << error;

    std::string mismatch;
    size_t frames = 0;
    golden::RunHooks hooks;
    hooks.onFrame = [&](size_t index, const golden::Snapshot& frame) {
        frames = index + 1;
        const std::string report = trace.check(index, frame);
        if (report.empty()) return true;
        mismatch = GetParam() + ": frame " + std::to_string(index) +
                   " differs from the recording:\n" + report;
        if (trace.pictureDiffered()) {
            const std::string png = std::string(KESTOVA_BUILD_DIR) + "/golden-" + GetParam() +
                                    "-frame" + std::to_string(index) + ".png";
            if (golden::writePng(png, golden::presentedPixels(), 640, 480)) {
                mismatch += "  the replayed picture is in " + png + "\n";
            }
        }
        // Printed at once: a whole-program run stops through F10, which ends
        // this process.
        std::fprintf(stderr, "%s", mismatch.c_str());
        std::fflush(stderr);
        return false;
    };
    const int exitCode = golden::runRecording(recording, hooks);
    ASSERT_TRUE(mismatch.empty()) << "the replay left the recording: the report is above";
    EXPECT_EQ(exitCode, 0);
    EXPECT_EQ(frames, trace.frames()) << "the replay ended before the recording";
}

INSTANTIATE_TEST_SUITE_P(Golden, GoldenRun, ::testing::ValuesIn(goldenNames()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                             return info.param;
                         });

}  // namespace
