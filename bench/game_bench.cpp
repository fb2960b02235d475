// Whole-game figures on the headless backend with the generated Kestova.dat:
// loading the asset set against reading the archive into memory, and
// unpaced frames of a computer-against-computer match against a plain copy
// of one 640x480 16-bit frame. Peak memory is reported as a counter.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <vector>

#include "engine/surface.h"
#include "engine/zef_dx.h"
#include "game/end_screen.h"
#include "game/game_controller.h"
#include "game/mmenu.h"
#include "platform/headless.h"
#include "services/dik_codes.h"
#include "shell/main_window.h"

namespace {

constexpr size_t kFrameBytes = 640 * 480 * 2;

// The game reads its data from the current directory.
bool enterBuildDir(benchmark::State& state) {
    std::error_code ec;
    std::filesystem::current_path(KESTOVA_BUILD_DIR, ec);
    if (ec || !std::filesystem::exists("Kestova.dat")) {
        state.SkipWithError("Kestova.dat is missing from the build directory");
        return false;
    }
    return true;
}

double peakMemoryMiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;  // ru_maxrss is in KiB on Linux
}

// The main window with its engine and every asset loaded, start-up screens
// skipped.
struct LoadedGame {
    LoadedGame() {
        sys.setKeepPixels(false);
        form = std::make_unique<TForm1>(&sys);
        form->FormCreate();
        form->FormActivate();
        form->random.seed(1);
        form->loadAssetSet();
        form->assetsLoaded = true;
    }
    void frame() {
        form->engine->back->fill(nullptr, uint16_t(form->skyColour));
        form->engine->process();
        if (sys.frames().size() > 1000) sys.clearFrames();
    }
    platform::HeadlessSystem sys;
    std::unique_ptr<TForm1> form;
};

void BM_ArchiveReadIntoMemory(benchmark::State& state) {
    if (!enterBuildDir(state)) return;
    size_t bytes = 0;
    for (auto _ : state) {
        // One sized read: the least any loader of the whole file must do.
        bytes = size_t(std::filesystem::file_size("Kestova.dat"));
        std::vector<char> data(bytes);
        std::ifstream in("Kestova.dat", std::ios::binary);
        in.read(data.data(), std::streamsize(bytes));
        benchmark::DoNotOptimize(data.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations() * bytes));
}

void BM_AssetSetLoad(benchmark::State& state) {
    if (!enterBuildDir(state)) return;
    const auto bytes = std::filesystem::file_size("Kestova.dat");
    for (auto _ : state) {
        LoadedGame game;
        benchmark::DoNotOptimize(game.form->menu);
        state.PauseTiming();  // tearing down is not loading
        game.form.reset();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(int64_t(state.iterations() * bytes));
    state.counters["peak_MiB"] = peakMemoryMiB();
}

void BM_FrameCopy(benchmark::State& state) {
    std::vector<uint8_t> from(kFrameBytes, 0x5A), to(kFrameBytes);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), kFrameBytes);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations());
    state.SetBytesProcessed(int64_t(state.iterations() * kFrameBytes));
}

// Frames of a computer-against-computer match, the pacer's sleep costing no
// real time: items per second are unpaced frames per second.
void BM_ComputerMatchFrames(benchmark::State& state) {
    if (!enterBuildDir(state)) return;
    LoadedGame game;
    MMenu* menu = game.form->menu;
    menu->isComputer[0] = menu->isComputer[1] = 1;
    menu->warDays = 1000000;  // never over while measured
    menu->palmTrees = 10;
    menu->selectedRow = 4;
    game.sys.holdKey(DIK_RETURN, game.sys.keyReads(), game.sys.keyReads() + 1);
    game.frame();
    if (game.form->match == nullptr) {
        state.SkipWithError("the menu did not start a match");
        return;
    }
    for (auto _ : state) game.frame();
    state.SetItemsProcessed(state.iterations());
    state.counters["day_parts"] =
        double(game.form->match->day - 1) * 3 + game.form->match->dayPart + 1;
    state.counters["peak_MiB"] = peakMemoryMiB();
}

}  // namespace

BENCHMARK(BM_ArchiveReadIntoMemory)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AssetSetLoad)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FrameCopy)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ComputerMatchFrames)->Unit(benchmark::kMicrosecond)->MinTime(5.0);
