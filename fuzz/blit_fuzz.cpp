// Blits and fills with sizes, positions, clip rectangles, colour key, mirror
// and stretch the fuzzer chooses, drawn at every instruction-set level the
// processor runs: each level must leave exactly the pixels the plain loop
// leaves, and return the same result.
#include <fuzzer/FuzzedDataProvider.h>

#include <vector>

#include "fuzz_support.h"
#include "platform/pixel_rows.h"
#include "platform/pixel_surface.h"

namespace {

using platform::PixelSurface;
using platform::Rect;

std::vector<uint16_t> pixelsOf(const PixelSurface& s) {
    std::vector<uint16_t> out;
    for (int y = 0; y < s.height(); ++y)
        for (int x = 0; x < s.width(); ++x) out.push_back(s.getPixel(x, y));
    return out;
}

Rect rectFrom(FuzzedDataProvider& in, int spread) {
    const int left = in.ConsumeIntegralInRange(-spread, spread);
    const int top = in.ConsumeIntegralInRange(-spread, spread);
    return Rect{left, top, left + in.ConsumeIntegralInRange(-4, 2 * spread),
                top + in.ConsumeIntegralInRange(-4, 2 * spread)};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    const int sw = in.ConsumeIntegralInRange(1, 80), sh = in.ConsumeIntegralInRange(1, 40);
    const int dw = in.ConsumeIntegralInRange(1, 120), dh = in.ConsumeIntegralInRange(1, 60);
    const bool selfBlit = in.ConsumeIntegralInRange(0, 15) == 0;
    const bool clipped = in.ConsumeBool();
    const Rect clip = rectFrom(in, 60);
    const Rect src = rectFrom(in, 40);
    const Rect dst = rectFrom(in, 80);
    const Rect fillArea = rectFrom(in, 80);
    PixelSurface::BlitOptions options;
    options.colourKey = in.ConsumeBool();
    options.mirror = in.ConsumeBool();
    const uint16_t fillPixel = in.ConsumeIntegral<uint16_t>();
    // The rest are the source's pixels, repeated; zeros are the key.
    std::vector<uint16_t> picture(size_t(sw) * sh, 0);
    const std::vector<uint8_t> rest = in.ConsumeRemainingBytes<uint8_t>();
    for (size_t i = 0; i < picture.size() && rest.size() >= 2; ++i) {
        const size_t at = (2 * i) % (rest.size() - 1);
        picture[i] = uint16_t(rest[at] | rest[at + 1] << 8);
    }

    std::vector<uint16_t> expected;
    int32_t expectedBlit = 0, expectedFill = 0;
    for (platform::SimdLevel level : platform::availableSimdLevels()) {
        platform::selectSimdLevel(level);
        PixelSurface from(sw, sh), onto(dw, dh);
        for (int y = 0; y < sh; ++y)
            for (int x = 0; x < sw; ++x) from.setPixel(x, y, picture[size_t(y) * sw + x]);
        for (int y = 0; y < dh; ++y)
            for (int x = 0; x < dw; ++x) onto.setPixel(x, y, uint16_t(0x1111 * (x + y)));
        if (clipped) onto.setClipper(clip);
        PixelSurface& source = selfBlit ? onto : from;
        const int32_t blitResult = source.blit(onto, src, dst, options);
        const int32_t fillResult = onto.fill(&fillArea, fillPixel);
        const int32_t again = source.blit(onto, src, dst, options);
        fuzz::require(again == blitResult, "a blit drawn twice answers the same");
        if (level == platform::SimdLevel::Plain) {
            expected = pixelsOf(onto);
            expectedBlit = blitResult;
            expectedFill = fillResult;
            continue;
        }
        fuzz::require(blitResult == expectedBlit, "every level answers a blit alike");
        fuzz::require(fillResult == expectedFill, "every level answers a fill alike");
        fuzz::require(pixelsOf(onto) == expected, "every level draws the plain loop's pixels");
    }
    return 0;
}
