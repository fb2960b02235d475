#pragma once
// Shared by the libFuzzer harnesses: a headless engine whose fatal errors
// come back to the harness as exceptions, and a private scratch directory.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>

#include "engine/zef_dx.h"
#include "platform/headless.h"
#include "services/zef_input.h"

namespace fuzz {

// Time passes only where a network machine waits: a run never takes real time.
class WaitingClock : public platform::Clock {
  public:
    uint64_t counter() override { return ms_; }
    uint64_t counterFrequency() override { return 1000; }
    void sleepMs(uint32_t ms) override { ms_ += ms; }
    int64_t calendarSeconds() override { return 0; }

  private:
    uint64_t ms_ = 0;
};

// A fatal error the engine reported: the input was refused, which is the
// sound outcome for a damaged file.
struct Refused : std::runtime_error {
    using std::runtime_error::runtime_error;
};

inline void throwRefused(const std::string& text, void*) {
    throw Refused(text);
}

// Aborts (a finding) with a message when a promise of the code under test
// does not hold.
inline void require(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "broken promise: %s\n", what);
        std::abort();
    }
}

// One engine for the whole run: building a 640x480 display per input would
// dominate the time of every execution.
struct Engine {
    Engine() {
        dx = std::make_unique<ZefDX>(&sys, true, 640, 480, 16);
        dx->fatalHook = throwRefused;
        dx->warnSink = [](const std::string&, void*) {};
        dx->pacer.start(38);
        dx->createSound();
        dx->createInput(ZefInput::kKeyboard);
        sys.setKeepPixels(false);
    }
    // A refused input may have left the engine stopped; the next one starts clean.
    void reset() {
        dx->stopped = false;
        sys.clearFrames();
        sys.clearKeys();
    }
    platform::HeadlessSystem sys;
    std::unique_ptr<ZefDX> dx;
};

// A fresh directory under the system's temporary directory, removed at exit.
class ScratchDir {
  public:
    ScratchDir() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "kestova-fuzz-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) {
            std::perror("mkdtemp");
            std::abort();
        }
        path_ = pattern;
    }
    ~ScratchDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    std::string file(const std::string& name) const { return (path_ / name).string(); }
    const std::filesystem::path& path() const { return path_; }

    void write(const std::string& name, const uint8_t* data, size_t size) const {
        std::ofstream out(file(name), std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), std::streamsize(size));
        require(bool(out), "scratch file written");
    }

  private:
    std::filesystem::path path_;
};

}  // namespace fuzz
