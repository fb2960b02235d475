#include <benchmark/benchmark.h>

#include "platform/pixel_surface.h"

using platform::PixelSurface;

namespace {

// A 64x48 sprite with a transparent border onto a clipped 640x480 back picture.
struct Scene {
    Scene() : back(640, 480), sprite(64, 48) {
        back.setClipper({0, 0, 640, 480});
        for (int y = 4; y < 44; ++y)
            for (int x = 4; x < 60; ++x) sprite.setPixel(x, y, uint16_t(0x1234 + x + y));
    }
    PixelSurface back;
    PixelSurface sprite;
};

void blitLoop(benchmark::State& state, int w, int h, bool mirror, int left) {
    Scene s;
    const platform::Rect src{0, 0, 64, 48};
    const PixelSurface::BlitOptions options{true, mirror};
    for (auto _ : state) {
        const platform::Rect dst{left, 200, left + w, 200 + h};
        benchmark::DoNotOptimize(s.sprite.blit(s.back, src, dst, options));
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_KeyedBlit(benchmark::State& state) {
    blitLoop(state, 64, 48, false, 300);
}
void BM_KeyedBlitHalfOffScreen(benchmark::State& state) {
    blitLoop(state, 64, 48, false, -32);
}
void BM_MirroredBlit(benchmark::State& state) {
    blitLoop(state, 64, 48, true, 300);
}
void BM_StretchedBlit(benchmark::State& state) {
    blitLoop(state, 96, 72, false, 300);
}

void BM_FillWholeBack(benchmark::State& state) {
    Scene s;
    for (auto _ : state) benchmark::DoNotOptimize(s.back.fill(nullptr, 0x03FF));
}

}  // namespace

BENCHMARK(BM_KeyedBlit);
BENCHMARK(BM_KeyedBlitHalfOffScreen);
BENCHMARK(BM_MirroredBlit);
BENCHMARK(BM_StretchedBlit);
BENCHMARK(BM_FillWholeBack);
