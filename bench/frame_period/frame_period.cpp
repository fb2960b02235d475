// Measures the game's frame period on the real display: the main loop's
// present and 38 ms pacing, with vsync asked for or not. Prints the mean and
// the spread of the period and of the present over the frames.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "engine/surface.h"
#include "engine/zef_dx.h"
#include "platform/system.h"

namespace {

struct Stats {
    double mean = 0, sd = 0, min = 0, max = 0;
};

Stats statsOf(const std::vector<double>& values) {
    Stats s;
    if (values.empty()) return s;
    for (double v : values) s.mean += v;
    s.mean /= double(values.size());
    for (double v : values) s.sd += (v - s.mean) * (v - s.mean);
    s.sd = std::sqrt(s.sd / double(values.size()));
    s.min = *std::min_element(values.begin(), values.end());
    s.max = *std::max_element(values.begin(), values.end());
    return s;
}

int usage() {
    std::fprintf(stderr, "Usage: frame_period [--vsync on|off] [--window] [--frames N]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    platform::DisplayOptions options;
    int frames = 1000;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--vsync" && i + 1 < argc) {
            const std::string value = argv[++i];
            if (value != "on" && value != "off") return usage();
            options.vsync = value == "on";
        } else if (arg == "--window") {
            options.windowed = true;
        } else if (arg == "--frames" && i + 1 < argc) {
            frames = std::atoi(argv[++i]);
            if (frames < 1) return usage();
        } else {
            return usage();
        }
    }

    std::unique_ptr<platform::System> system = platform::createSdlSystem(options);
    auto* engine = new ZefDX(system.get(), true, 640, 480, 16);
    engine->pacer.start(38);

    using Clock = std::chrono::steady_clock;
    const auto ms = [](Clock::duration d) {
        return std::chrono::duration<double, std::milli>(d).count();
    };
    std::vector<double> periods, presents;
    Clock::time_point last = Clock::now();
    // One frame more than measured: the first period starts at its end.
    for (int i = 0; i <= frames && !engine->closeRequested(); ++i) {
        // A picture that changes every frame, as the game's do.
        engine->back->fill(nullptr, uint16_t(i * 2113));
        RECT bar{(i * 7) % 600, 0, (i * 7) % 600 + 40, 480};
        engine->back->fill(&bar, 0xFFFF);
        const Clock::time_point before = Clock::now();
        engine->frame();
        presents.push_back(ms(Clock::now() - before));
        engine->pacer.wait();
        system->window().pumpEvents();
        const Clock::time_point now = Clock::now();
        if (i > 0) periods.push_back(ms(now - last));
        last = now;
    }
    delete engine;

    const Stats period = statsOf(periods), present = statsOf(presents);
    std::printf(
        "vsync %s, %s: %zu frames: period mean %.2f ms, sd %.2f ms (min %.2f, max %.2f); "
        "present mean %.2f ms, sd %.2f ms (max %.2f)\n",
        options.vsync ? "on " : "off", options.windowed ? "window" : "full screen", periods.size(),
        period.mean, period.sd, period.min, period.max, present.mean, present.sd, present.max);
    return 0;
}
