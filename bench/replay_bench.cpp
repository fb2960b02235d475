// Replays on the headless backend with the generated Kestova.dat: a
// 10-minute match of two humans (each of their ten control keys changing
// with a chance of 1 in 16 at every read, busier than real hands) is
// recorded once; then seeking to its end runs it dark, against the same
// replay shown (drawn and presented); its file's size; and what saving it
// costs the frame that hands it over, against a plain copy of one frame.
#include <benchmark/benchmark.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <vector>

#include "engine/zef_dx.h"
#include "game/mmenu.h"
#include "platform/headless.h"
#include "services/dik_codes.h"
#include "shell/main_window.h"
#include "shell/match_recorder.h"
#include "shell/replay_files.h"
#include "shell/replay_run.h"

namespace {

constexpr int kTenMinutes = 600000 / 38;  // reads

struct World {
    World() {
        std::filesystem::current_path(KESTOVA_BUILD_DIR);
        sys.setKeepPixels(false);
        form.FormCreate();
        form.FormActivate();
        form.loadAssetSet();
        form.assetsLoaded = true;
    }
    platform::HeadlessSystem sys;
    TForm1 form{&sys};
};

const replay::Recording& tenMinutes() {
    static replay::Recording recording = [] {
        World world;
        TForm1& form = world.form;
        form.menu->isComputer[0] = form.menu->isComputer[1] = 0;
        form.menu->warDays = 1000;
        form.menu->selectedRow = 4;
        MatchRecorder recorder(form, form.engine->input->keyFeed);
        form.engine->input->keyFeed = &recorder;
        replay::Recording out;
        recorder.onMatchEnd = [&out](replay::Recording&& r) { out = std::move(r); };
        const int controls[10] = {DIK_W,  DIK_S,    DIK_A,    DIK_D,     DIK_LSHIFT,
                                  DIK_UP, DIK_DOWN, DIK_LEFT, DIK_RIGHT, DIK_SPACE};
        uint8_t held[256] = {};
        uint64_t random = 7;
        int reads = 0;
        world.sys.onKeyRead = [&](int, uint8_t keys[256]) {
            ++reads;
            for (int code : controls) {
                random = random * 6364136223846793005ull + 1442695040888963407ull;
                if ((random >> 60) == 0) held[code] ^= 0x80;
            }
            // Return starts the match from the menu.
            held[DIK_RETURN] = reads < 3 ? 0x80 : 0;
            std::memcpy(keys, held, sizeof held);
        };
        while (reads < kTenMinutes) {
            recorder.frameStart();
            form.runFrame();
        }
        recorder.finish();
        form.engine->input->keyFeed = nullptr;
        return out;
    }();
    return recording;
}

void BM_DarkSeekTenMinutes(benchmark::State& state) {
    const replay::Recording& r = tenMinutes();
    World world;
    for (auto _ : state) {
        ReplayRun run(world.form, r);
        run.seek(r.reads);
        if (!run.problem().empty() || run.read() != r.reads) {
            state.SkipWithError("the dark run did not reach the recording's end");
            return;
        }
    }
    state.counters["ticks/s"] = benchmark::Counter(double(r.reads) * double(state.iterations()),
                                                   benchmark::Counter::kIsRate);
}
BENCHMARK(BM_DarkSeekTenMinutes)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();

void BM_ShownReplayTenMinutes(benchmark::State& state) {
    const replay::Recording& r = tenMinutes();
    World world;
    for (auto _ : state) {
        ReplayRun run(world.form, r);
        while (run.step()) world.sys.clearFrames();
        if (!run.problem().empty()) state.SkipWithError(run.problem().c_str());
    }
    state.counters["ticks/s"] = benchmark::Counter(double(r.reads) * double(state.iterations()),
                                                   benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ShownReplayTenMinutes)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();

void BM_RecordingTenMinutes(benchmark::State& state) {
    const replay::Recording& r = tenMinutes();
    size_t bytes = 0;
    for (auto _ : state) bytes = replay::serialise(r).size();
    state.counters["bytes"] = double(bytes);
    state.counters["changes"] = double(r.changes.size());
}
BENCHMARK(BM_RecordingTenMinutes)->Unit(benchmark::kMicrosecond);

// What the frame that ends a match pays: handing the recording to the saver.
void BM_SaveHandOver(benchmark::State& state) {
    const replay::Recording& r = tenMinutes();
    const std::string dir = (std::filesystem::temp_directory_path() / "kestova-bench").string();
    for (auto _ : state) {
        state.PauseTiming();
        auto saver = std::make_unique<ReplaySaver>(dir, "Kestova.dat");
        replay::Recording copy = r;
        state.ResumeTiming();
        saver->save(std::move(copy), 1733650000);
        state.PauseTiming();
        saver.reset();
        state.ResumeTiming();
    }
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_SaveHandOver)->Unit(benchmark::kMicrosecond)->Iterations(50);

}  // namespace
