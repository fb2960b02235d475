#include "golden_support/golden_run.h"

#include <cinttypes>
#include <cstdio>

#include "engine/surface.h"
#include "engine/zef_dx.h"
#include "game/game_controller.h"
#include "platform/headless.h"
#include "platform/pixel_surface.h"
#include "platform/system.h"
#include "services/dik_codes.h"
#include "shell/application.h"
#include "shell/main_window.h"
#include "shell/replay_run.h"
#include "support/current_dir.h"

namespace golden {

namespace {

// 32 bits of a 64-bit hash are plenty to tell two frames apart.
std::string hex32(uint64_t v) {
    char text[12];
    std::snprintf(text, sizeof text, "%08" PRIx32, uint32_t(v ^ (v >> 32)));
    return text;
}

uint64_t hashSamples(const std::vector<int16_t>& samples) {
    uint64_t h = 14695981039346656037ull;
    for (int16_t s : samples) h = (h ^ uint16_t(s)) * 1099511628211ull;
    return h;
}

class Runner {
  public:
    Runner(Recording& recording, const RunHooks& hooks) : rec_(recording), hooks_(hooks) {
        system_.setKeepPixels(false);
        system_.setCalendarSeconds(recording.seed);
        system_.onKeyRead = [this](int read, uint8_t held[256]) { keys(read, held); };
        system_.onPresent = [this](const platform::HeadlessSystem::Frame& f) { presented(f); };
        if (hooks_.driver) rec_.changes.clear();
    }

    int run() {
        if (rec_.kind == "program") return runApplication(system_);
        runMatch();
        return 0;
    }

  private:
    void runMatch() {
        TForm1 form(&system_);
        form.FormCreate();
        form.FormActivate();
        form.loadAssetSet();
        form.assetsLoaded = true;
        if (!hooks_.driver) {
            // The game's own replay, from the menu on, to the recording's end.
            ReplayRun run(form, rec_);
            while (frameStarts() && run.step()) {
            }
            return;
        }
        // The scenario's menu on a fresh world, which is the start it records.
        restoreStart(form, rec_);
        captureStart(form, rec_);
        rec_.firstRead = system_.keyReads();
        // The main loop of the first paint, from the menu on, until the driver is done.
        while (!form.quitRequested && !driverDone_ && frameStarts()) form.runFrame();
        rec_.reads = system_.keyReads();
    }

    bool frameStarts() {
        stopped_ = stopped_ || (hooks_.onFrameStart && !hooks_.onFrameStart(system_.keyReads()));
        return !stopped_;
    }

    void keys(int read, uint8_t held[256]) {
        // A match replay takes its keys through the game's own replay feed.
        if (stopped_ || (!hooks_.driver && read > rec_.reads + kSlackReads)) {
            // Off the recording: end the program at once.
            held[DIK_F10] = 0x80;
            return;
        }
        if (hooks_.driver) {
            uint8_t want[256] = {};
            if (!driverDone_) driverDone_ = hooks_.driver(read, want);
            for (int code = 0; code < 256; ++code) {
                const bool down = want[code] != 0;
                if (down != (held_[code] != 0)) rec_.changes.push_back({read, code, down});
                held_[code] = down ? 0x80 : 0;
            }
            rec_.reads = read + 1;
        } else if (rec_.kind == "program") {
            while (next_ < rec_.changes.size() && rec_.changes[next_].read <= read) {
                const KeyChange& c = rec_.changes[next_++];
                held_[c.code] = c.down ? 0x80 : 0;
            }
        }
        for (int code = 0; code < 256; ++code) held[code] = held_[code];
    }

    void presented(const platform::HeadlessSystem::Frame& frame) {
        const size_t index = frames_++;
        const uint64_t due = uint64_t(system_.nowMs()) * uint64_t(system_.outputRate()) / 1000;
        std::vector<int16_t> sound = system_.mixAudio(size_t(due - mixed_));
        mixed_ = due;

        Snapshot snapshot;
        snapshot.emplace_back("time", std::to_string(frame.timeMs));
        snapshot.emplace_back("reads", std::to_string(system_.keyReads()));
        snapshot.emplace_back("picture", hex32(frame.hash));
        snapshot.emplace_back("sound", hex32(hashSamples(sound)));
        snapshot.emplace_back("pointer", system_.cursorVisible() ? "shown" : "hidden");
        Snapshot game = snapshotGame();
        snapshot.insert(snapshot.end(), game.begin(), game.end());
        if (hooks_.onFrame && !hooks_.onFrame(index, snapshot)) stopped_ = true;
        // The headless system keeps every frame's hash; nothing here needs them.
        system_.clearFrames();
    }

    // A whole-program replay may read on a little past its recording (the
    // last key wait); beyond this it has left the recorded path.
    static constexpr int kSlackReads = 100000;

    Recording& rec_;
    const RunHooks& hooks_;
    // The game finds its data in the current folder, as beside the binary.
    kit::CurrentDir inBuildDir_{kit::buildDir()};
    platform::HeadlessSystem system_;
    uint8_t held_[256] = {};
    size_t next_ = 0;
    size_t frames_ = 0;
    uint64_t mixed_ = 0;
    bool stopped_ = false;
    bool driverDone_ = false;
};

}  // namespace

int runRecording(Recording& recording, const RunHooks& hooks) {
    Runner runner(recording, hooks);
    return runner.run();
}

std::vector<uint16_t> presentedPixels() {
    std::vector<uint16_t> out;
    if (Form1 == nullptr || Form1->engine == nullptr || Form1->engine->back == nullptr) return out;
    const platform::PixelSurface& s = *Form1->engine->back->ddSurface;
    out.reserve(size_t(s.width()) * size_t(s.height()));
    for (int y = 0; y < s.height(); ++y) {
        const uint16_t* row = s.pixels() + size_t(y) * size_t(s.pitch() / 2);
        out.insert(out.end(), row, row + s.width());
    }
    return out;
}

std::string goldenDir() {
    return std::string(KESTOVA_SOURCE_DIR) + "/tests/golden";
}

}  // namespace golden
