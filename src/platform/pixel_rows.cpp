// The plain loops (the reference every vector level must match) and the
// choice of level.
#include "platform/pixel_rows.h"

#include <algorithm>

namespace platform {

namespace pixel_rows_detail {

namespace {

void fillPlain(uint16_t* dst, ptrdiff_t dstStride, int width, int height, uint16_t pixel) {
    for (int y = 0; y < height; ++y, dst += dstStride) std::fill(dst, dst + width, pixel);
}

void keyedPlain(uint16_t* dst, ptrdiff_t dstStride, const uint16_t* src, ptrdiff_t srcStride,
                int width, int height) {
    for (int y = 0; y < height; ++y, dst += dstStride, src += srcStride) {
        for (int x = 0; x < width; ++x) {
            if (src[x] != 0) dst[x] = src[x];
        }
    }
}

void mirroredPlain(uint16_t* dst, ptrdiff_t dstStride, const uint16_t* srcLast, ptrdiff_t srcStride,
                   int width, int height, bool keyed) {
    for (int y = 0; y < height; ++y, dst += dstStride, srcLast += srcStride) {
        for (int x = 0; x < width; ++x) {
            const uint16_t p = srcLast[-x];
            if (!keyed || p != 0) dst[x] = p;
        }
    }
}

void prepareColumnsPlain(StretchMap& map, int32_t, int32_t) {
    map.window.clear();
    map.shuffle.clear();
}

void gatheredPlain(uint16_t* dst, ptrdiff_t dstStride, const uint16_t* src, ptrdiff_t srcStride,
                   const StretchMap& map, bool keyed) {
    const int width = int(map.column.size());
    const int32_t* column = map.column.data();
    for (int32_t row : map.row) {
        const uint16_t* from = src + row * srcStride;
        for (int x = 0; x < width; ++x) {
            const uint16_t p = from[column[x]];
            if (!keyed || p != 0) dst[x] = p;
        }
        dst += dstStride;
    }
}

}  // namespace

namespace {

// The truncating conversion SDL applies to 24-bit pictures, so that decoded
// pictures and pixelFromRGB agree.
inline uint16_t to565(uint8_t b, uint8_t g, uint8_t r) {
    return uint16_t((r >> 3) << 11 | (g >> 2) << 5 | b >> 3);
}

}  // namespace

void bgr24Plain(uint16_t* dst, const uint8_t* src, int count) {
    for (int x = 0; x < count; ++x, src += 3) dst[x] = to565(src[0], src[1], src[2]);
}

void bgrx32Plain(uint16_t* dst, const uint8_t* src, int count) {
    for (int x = 0; x < count; ++x, src += 4) dst[x] = to565(src[0], src[1], src[2]);
}

const PixelRows kPlain = {fillPlain,     keyedPlain, mirroredPlain, prepareColumnsPlain,
                          gatheredPlain, bgr24Plain, bgrx32Plain};

}  // namespace pixel_rows_detail

namespace {

using namespace pixel_rows_detail;

SimdLevel bestLevel() {
#if defined(__x86_64__) || defined(_M_X64)
    return processorHasAvx2() ? SimdLevel::Avx2 : SimdLevel::Sse2;
#else
    return SimdLevel::Plain;
#endif
}

const PixelRows& tableOf(SimdLevel level) {
#if defined(__x86_64__) || defined(_M_X64)
    if (level == SimdLevel::Avx2) return kAvx2;
    if (level == SimdLevel::Sse2) return kSse2;
#endif
    (void)level;
    return kPlain;
}

struct Selection {
    SimdLevel level = bestLevel();
    const PixelRows* rows = &tableOf(level);
};

Selection& selection() {
    static Selection chosen;
    return chosen;
}

}  // namespace

const PixelRows& pixelRows() {
    return *selection().rows;
}

SimdLevel simdLevel() {
    return selection().level;
}

std::vector<SimdLevel> availableSimdLevels() {
    std::vector<SimdLevel> levels{SimdLevel::Plain};
#if defined(__x86_64__) || defined(_M_X64)
    levels.push_back(SimdLevel::Sse2);
    if (processorHasAvx2()) levels.push_back(SimdLevel::Avx2);
#endif
    return levels;
}

void selectSimdLevel(SimdLevel level) {
    const std::vector<SimdLevel> levels = availableSimdLevels();
    // A level the processor lacks would crash on its first instruction.
    if (std::find(levels.begin(), levels.end(), level) == levels.end()) level = bestLevel();
    selection().level = level;
    selection().rows = &tableOf(level);
}

const char* simdLevelName(SimdLevel level) {
    switch (level) {
        case SimdLevel::Avx2:
            return "AVX2";
        case SimdLevel::Sse2:
            return "SSE2";
        case SimdLevel::Plain:
            break;
    }
    return "plain";
}

}  // namespace platform
