// Blits of the sizes the game draws, each next to a plain memcpy of the
// same number of pixel bytes, so the ratio survives a busy machine.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <vector>

#include "engine/surface.h"
#include "platform/pixel_surface.h"

namespace {

constexpr int kScreenW = 640, kScreenH = 480;

std::unique_ptr<Surface> makeSurface(int w, int h, bool keyed) {
    auto s = std::make_unique<Surface>(nullptr);
    s->ddSurface = std::make_unique<platform::PixelSurface>(w, h);
    s->width = w;
    s->height = h;
    s->blitFlags = keyed ? DDBLT_KEYSRC : 0;
    // A sprite-like picture: a filled disc on a transparent square.
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int dx = x - w / 2, dy = y - h / 2;
            const bool inside = dx * dx + dy * dy < (w / 2) * (w / 2);
            s->ddSurface->setPixel(x, y, inside ? uint16_t(0x1234 + x + y) : 0);
        }
    return s;
}

std::unique_ptr<Surface> makeBack() {
    auto back = makeSurface(kScreenW, kScreenH, false);
    back->setClipRect(nullptr);
    return back;
}

void memcpyOf(benchmark::State& state, size_t bytes) {
    std::vector<uint8_t> from(bytes, 0x5A), to(bytes);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), bytes);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes));
}

void BM_KeyedSprite48(benchmark::State& state) {
    auto back = makeBack();
    auto sprite = makeSurface(48, 48, true);
    for (auto _ : state) {
        sprite->blit(back.get(), 300, 200);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * 48 * 48 * 2);
}
BENCHMARK(BM_KeyedSprite48);

void BM_MirroredSprite48(benchmark::State& state) {
    auto back = makeBack();
    auto sprite = makeSurface(48, 48, true);
    BlitFx mirror;
    mirror.mirrorLeftRight = true;
    for (auto _ : state) {
        sprite->blit(back.get(), 300, 200, nullptr, &mirror);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * 48 * 48 * 2);
}
BENCHMARK(BM_MirroredSprite48);

void BM_Memcpy48(benchmark::State& state) {
    memcpyOf(state, 48 * 48 * 2);
}
BENCHMARK(BM_Memcpy48);

// A palm (84x88) drawn at a scale that is not a whole number, as a closer
// palm would be: every destination pixel picks its own source pixel.
constexpr double kPalmScale = 1.37;

RECT stretchedPalm(const Surface& palm) {
    return palm.placement(320, 240, nullptr, kPalmScale);
}

void BM_StretchedPalm(benchmark::State& state) {
    auto back = makeBack();
    auto palm = makeSurface(84, 88, true);
    for (auto _ : state) {
        palm->blit(back.get(), 320, 240, nullptr, nullptr, kPalmScale);
        benchmark::ClobberMemory();
    }
    const RECT to = stretchedPalm(*palm);
    state.SetBytesProcessed(int64_t(state.iterations()) * to.width() * to.height() * 2);
}
BENCHMARK(BM_StretchedPalm);

// Its floor: a memcpy of the pixels the stretched palm covers.
void BM_MemcpyStretchedPalm(benchmark::State& state) {
    const RECT to = stretchedPalm(*makeSurface(84, 88, true));
    memcpyOf(state, size_t(to.width()) * size_t(to.height()) * 2);
}
BENCHMARK(BM_MemcpyStretchedPalm);

void BM_OpaqueFullCopy(benchmark::State& state) {
    auto back = makeBack();
    auto picture = makeSurface(kScreenW, kScreenH, false);
    for (auto _ : state) {
        picture->blit(back.get(), 0, 0);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * kScreenW * kScreenH * 2);
}
BENCHMARK(BM_OpaqueFullCopy);

void BM_FullFill(benchmark::State& state) {
    auto back = makeBack();
    uint32_t pixel = 0;
    for (auto _ : state) {
        back->fill(nullptr, ++pixel & 0xFFFF);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * kScreenW * kScreenH * 2);
}
BENCHMARK(BM_FullFill);

void BM_MemcpyFull(benchmark::State& state) {
    memcpyOf(state, kScreenW * kScreenH * 2);
}
BENCHMARK(BM_MemcpyFull);

}  // namespace
