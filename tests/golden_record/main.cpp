// Records and re-traces the golden runs under tests/golden.
//   kestova_golden retrace [NAME...]  replay the recordings, write new traces
//   kestova_golden record NAME...     play the scenario's driver anew, write
//                                     the recording and its trace
// Either one changes golden files: do it on purpose, and say in the commit
// which behaviour changed and why.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "golden_record/drivers.h"
#include "golden_support/golden_run.h"
#include "golden_support/trace_file.h"

namespace {

int usage() {
    std::fprintf(stderr, "usage: kestova_golden retrace [NAME...] | record NAME...\n");
    return 2;
}

const golden::Scenario* findScenario(const std::string& name) {
    for (const golden::Scenario& s : golden::scenarios()) {
        if (s.name == name) return &s;
    }
    return nullptr;
}

bool traceRun(const std::string& name, golden::Recording& recording, const golden::Driver* driver,
              size_t* presents) {
    golden::TraceWriter trace;
    golden::RunHooks hooks;
    if (driver != nullptr) hooks.driver = *driver;
    hooks.onFrame = [&](size_t, const golden::Snapshot& frame) {
        trace.add(frame);
        if (presents != nullptr) ++*presents;
        return true;
    };
    const int code = golden::runRecording(recording, hooks);
    const std::string base = golden::goldenDir() + "/" + name;
    std::string error;
    if (code != 0) {
        std::fprintf(stderr, "%s: the run ended with exit code %d\n", name.c_str(), code);
        return false;
    }
    if ((driver != nullptr && !golden::writeRecording(base + ".rec", recording, error)) ||
        !trace.save(base + ".trace.gz", error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return false;
    }
    std::printf("%s: %zu frames, %d key reads, %zu key changes\n", name.c_str(), trace.frames(),
                recording.reads, recording.changes.size());
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return usage();
    const std::string command = argv[1];
    std::vector<std::string> names(argv + 2, argv + argc);
    bool ok = true;
    if (command == "retrace") {
        if (names.empty()) {
            for (const auto& e : std::filesystem::directory_iterator(golden::goldenDir())) {
                if (e.path().extension() == ".rec") names.push_back(e.path().stem().string());
            }
        }
        for (const std::string& name : names) {
            golden::Recording recording;
            std::string error;
            if (!golden::readRecording(golden::goldenDir() + "/" + name + ".rec", recording,
                                       error)) {
                std::fprintf(stderr, "%s\n", error.c_str());
                ok = false;
                continue;
            }
            ok = traceRun(name, recording, nullptr, nullptr) && ok;
        }
    } else if (command == "record" && !names.empty()) {
        for (const std::string& name : names) {
            const golden::Scenario* scenario = findScenario(name);
            if (scenario == nullptr) {
                std::fprintf(stderr, "no scenario named %s\n", name.c_str());
                ok = false;
                continue;
            }
            golden::Recording recording = scenario->setup;
            size_t presents = 0;
            golden::Driver driver = scenario->makeDriver(&presents);
            ok = traceRun(name, recording, &driver, &presents) && ok;
        }
    } else {
        return usage();
    }
    return ok ? 0 : 1;
}
