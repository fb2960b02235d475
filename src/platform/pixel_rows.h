#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace platform {

// The inner loops of the pixel surface, in one table per instruction set:
// a plain loop that builds everywhere, SSE2 (every x86-64 processor has it)
// and AVX2, chosen at start-up when the processor has it. Every level gives
// the same pixels; the blit and fill drivers do the clipping and hand these
// whole rectangles. Strides count pixels, not bytes. Source and destination
// never overlap.
enum class SimdLevel { Plain, Sse2, Avx2 };

// Where each destination pixel of a stretched blit reads its source: row y,
// column x reads source row `row[y]`, column `column[x]`, both counted from
// the source rectangle's top-left corner. The vector levels add what they
// need to gather a block at a time.
struct StretchMap {
    std::vector<int32_t> column;
    std::vector<int32_t> row;
    // Per block of destination pixels: where it starts and the first source
    // column of each run of pixels it loads, or kScalarBlock where the block
    // reaches too far.
    std::vector<int32_t> window;
    // Per block: byte-shuffle indices picking its pixels out of the loaded
    // runs.
    std::vector<uint8_t> shuffle;
    static constexpr int32_t kScalarBlock = INT32_MIN;
};

struct PixelRows {
    void (*fill)(uint16_t* dst, ptrdiff_t dstStride, int width, int height, uint16_t pixel);
    // Source pixels equal to 0 are skipped.
    void (*keyed)(uint16_t* dst, ptrdiff_t dstStride, const uint16_t* src, ptrdiff_t srcStride,
                  int width, int height);
    // Left-right mirror: dst[x] = srcLast[-x] in every row.
    void (*mirrored)(uint16_t* dst, ptrdiff_t dstStride, const uint16_t* srcLast,
                     ptrdiff_t srcStride, int width, int height, bool keyed);
    // Completes `map.column` with what `gathered` needs. The source columns
    // that may be read lie in [lowest, limit) of every source row.
    void (*prepareColumns)(StretchMap& map, int32_t lowest, int32_t limit);
    // Draws the map's rows and columns from `src`, its top-left corner.
    void (*gathered)(uint16_t* dst, ptrdiff_t dstStride, const uint16_t* src, ptrdiff_t srcStride,
                     const StretchMap& map, bool keyed);
    // One BMP row of `count` pixels, blue-green-red bytes (three, or four
    // with a byte that is ignored), truncated to 5-6-5.
    void (*bgr24)(uint16_t* dst, const uint8_t* src, int count);
    void (*bgrx32)(uint16_t* dst, const uint8_t* src, int count);
};

// The table of the selected level.
const PixelRows& pixelRows();

SimdLevel simdLevel();
// The levels this processor runs, plain first, best last.
std::vector<SimdLevel> availableSimdLevels();
// Selects a level (one this processor runs); start-up selects the best.
void selectSimdLevel(SimdLevel level);
const char* simdLevelName(SimdLevel level);

namespace pixel_rows_detail {
extern const PixelRows kPlain;
// The plain BMP row conversions, which levels without a byte shuffle share.
void bgr24Plain(uint16_t* dst, const uint8_t* src, int count);
void bgrx32Plain(uint16_t* dst, const uint8_t* src, int count);
#if defined(__x86_64__) || defined(_M_X64)
extern const PixelRows kSse2;
extern const PixelRows kAvx2;
bool processorHasAvx2();
#endif
}  // namespace pixel_rows_detail

}  // namespace platform
