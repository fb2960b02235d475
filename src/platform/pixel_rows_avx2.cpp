// The pixel loops sixteen pixels at a time with AVX2, for processors that
// have it (chosen at run time; only these functions use its instructions).
// As with SSE2, a row that is not a whole number of blocks ends with one
// block laid over its last pixels.
#if defined(__x86_64__) || defined(_M_X64)
#include <immintrin.h>

#include <algorithm>
#include <vector>

#include "platform/pixel_rows.h"

#define KV_AVX2 __attribute__((target("avx2")))

namespace platform {
namespace pixel_rows_detail {

bool processorHasAvx2() {
    return __builtin_cpu_supports("avx2");
}

namespace {

KV_AVX2 inline __m256i load16(const uint16_t* p) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}
KV_AVX2 inline void store16(uint16_t* p, __m256i v) {
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v);
}
KV_AVX2 inline __m128i load8(const uint16_t* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}
KV_AVX2 inline void store8(uint16_t* p, __m128i v) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v);
}

// Source where it is not 0, else the destination.
KV_AVX2 inline __m256i keyed16(__m256i src, __m256i dst) {
    const __m256i hole = _mm256_cmpeq_epi16(src, _mm256_setzero_si256());
    return _mm256_or_si256(src, _mm256_and_si256(hole, dst));
}
KV_AVX2 inline __m128i keyed8(__m128i src, __m128i dst) {
    const __m128i hole = _mm_cmpeq_epi16(src, _mm_setzero_si128());
    return _mm_or_si128(src, _mm_and_si128(hole, dst));
}

// Byte indices reversing the eight 16-bit lanes of each 128-bit half.
KV_AVX2 inline __m256i reverseWords() {
    return _mm256_setr_epi8(14, 15, 12, 13, 10, 11, 8, 9, 6, 7, 4, 5, 2, 3, 0, 1,  //
                            14, 15, 12, 13, 10, 11, 8, 9, 6, 7, 4, 5, 2, 3, 0, 1);
}

// srcLast[-x - 15] .. srcLast[-x], reversed into lanes 0..15.
KV_AVX2 inline __m256i reversed16(const uint16_t* srcLast, int x) {
    const __m256i halves = _mm256_shuffle_epi8(load16(srcLast - x - 15), reverseWords());
    return _mm256_permute4x64_epi64(halves, _MM_SHUFFLE(1, 0, 3, 2));
}
KV_AVX2 inline __m128i reversed8(const uint16_t* srcLast, int x) {
    return _mm_shuffle_epi8(load8(srcLast - x - 7), _mm256_castsi256_si128(reverseWords()));
}

KV_AVX2 void fillAvx2(uint16_t* dst, ptrdiff_t dstStride, int width, int height, uint16_t pixel) {
    if (dstStride == width) {  // whole rows: one run
        width *= height;
        height = 1;
    }
    const __m256i v = _mm256_set1_epi16(int16_t(pixel));
    for (int y = 0; y < height; ++y, dst += dstStride) {
        if (width < 16) {
            for (int x = 0; x < width; ++x) dst[x] = pixel;
            continue;
        }
        int x = 0;
        for (; x + 64 <= width; x += 64) {
            store16(dst + x, v);
            store16(dst + x + 16, v);
            store16(dst + x + 32, v);
            store16(dst + x + 48, v);
        }
        for (; x + 16 <= width; x += 16) store16(dst + x, v);
        if (x < width) store16(dst + width - 16, v);
    }
}

// What a block of the source makes of the destination under it.
template <bool Keyed>
KV_AVX2 inline __m256i over16(const uint16_t* dst, __m256i src) {
    return Keyed ? keyed16(src, load16(dst)) : src;
}
template <bool Keyed>
KV_AVX2 inline __m128i over8(const uint16_t* dst, __m128i src) {
    return Keyed ? keyed8(src, load8(dst)) : src;
}

// One row by blocks: `block16(x)` and `block8(x)` give the source pixels of
// the destination's x .. x + 15 and x .. x + 7, `one(x)` a single one. The
// block laid over the row's end is worked out before any other is stored
// and stored last: reading pixels that a store still on its way covers in
// part would wait for that store.
template <bool Keyed, typename Block16, typename Block8, typename One>
KV_AVX2 inline void drawRow(uint16_t* dst, int width, Block16 block16, Block8 block8, One one) {
    if (width >= 16) {
        const int last = width - 16;
        const __m256i end = over16<Keyed>(dst + last, block16(last));
        for (int x = 0; x < last; x += 16) store16(dst + x, over16<Keyed>(dst + x, block16(x)));
        store16(dst + last, end);
    } else if (width >= 8) {
        const __m128i end = over8<Keyed>(dst + width - 8, block8(width - 8));
        store8(dst, over8<Keyed>(dst, block8(0)));
        store8(dst + width - 8, end);
    } else {
        for (int x = 0; x < width; ++x) {
            const uint16_t p = one(x);
            if (!Keyed || p != 0) dst[x] = p;
        }
    }
}

KV_AVX2 void keyedAvx2(uint16_t* dst, ptrdiff_t dstStride, const uint16_t* src, ptrdiff_t srcStride,
                       int width, int height) {
    for (int y = 0; y < height; ++y, dst += dstStride, src += srcStride) {
        drawRow<true>(
            dst, width, [src](int x) KV_AVX2 { return load16(src + x); },
            [src](int x) KV_AVX2 { return load8(src + x); }, [src](int x) { return src[x]; });
    }
}

template <bool Keyed>
KV_AVX2 void mirroredRows(uint16_t* dst, ptrdiff_t dstStride, const uint16_t* srcLast,
                          ptrdiff_t srcStride, int width, int height) {
    for (int y = 0; y < height; ++y, dst += dstStride, srcLast += srcStride) {
        drawRow<Keyed>(
            dst, width, [srcLast](int x) KV_AVX2 { return reversed16(srcLast, x); },
            [srcLast](int x) KV_AVX2 { return reversed8(srcLast, x); },
            [srcLast](int x) { return srcLast[-x]; });
    }
}

KV_AVX2 void mirroredAvx2(uint16_t* dst, ptrdiff_t dstStride, const uint16_t* srcLast,
                          ptrdiff_t srcStride, int width, int height, bool keyed) {
    if (keyed) {
        mirroredRows<true>(dst, dstStride, srcLast, srcStride, width, height);
    } else {
        mirroredRows<false>(dst, dstStride, srcLast, srcStride, width, height);
    }
}

// Blocks of sixteen destination pixels; the last one is laid over the row's
// last sixteen. Narrower rows go pixel by pixel.
inline int blockCount(int width) {
    return width >= 16 ? (width + 15) / 16 : 0;
}
inline int blockStart(int block, int width) {
    return std::min(block * 16, width - 16);
}

// A block reads one run of sixteen source pixels when its columns lie that
// close together (as when enlarging), else each half (eight destination
// pixels) reads its own run; each shuffles its pixels out of them. Runs stay
// inside the source row. A block with a half that reaches too far goes pixel
// by pixel. Blocks are listed in drawing order, the one over the row's end
// first (see drawRow), as (x, first run, second run).
void prepareColumnsAvx2(StretchMap& map, int32_t lowest, int32_t limit) {
    const int width = int(map.column.size());
    const int blocks = blockCount(width);
    map.window.clear();
    map.shuffle.assign(size_t(blocks) * 64, 0x80);
    // Where a run of sixteen pixels starting at or left of `least` holds
    // every column up to `most`, or kScalarBlock.
    auto runFor = [lowest, limit](int32_t least, int32_t most) {
        const int32_t run = std::min(least, limit - 16);
        return run >= lowest && most - run <= 15 ? run : StretchMap::kScalarBlock;
    };
    for (int n = 0; n < blocks; ++n) {
        const int x = blockStart(n == 0 ? blocks - 1 : n - 1, width);
        const int32_t* column = map.column.data() + x;
        const auto [least, most] = std::minmax_element(column, column + 16);
        int32_t runs[2];
        runs[0] = runs[1] = runFor(*least, *most);
        if (runs[0] == StretchMap::kScalarBlock) {
            for (int half = 0; half < 2; ++half) {
                const auto [l, m] = std::minmax_element(column + 8 * half, column + 8 * half + 8);
                runs[half] = runFor(*l, *m);
            }
            if (runs[1] == StretchMap::kScalarBlock) runs[0] = StretchMap::kScalarBlock;
        }
        map.window.insert(map.window.end(), {x, runs[0], runs[1]});
        if (runs[0] == StretchMap::kScalarBlock) continue;
        // The first 32 bytes pick from the runs' first eight pixels, the next
        // 32 from their last eight; 0x80 gives 0, so the two can be or-ed.
        uint8_t* shuffle = map.shuffle.data() + size_t(n) * 64;
        for (int j = 0; j < 16; ++j) {
            const int offset = column[j] - runs[j / 8];
            uint8_t* pick = shuffle + (offset < 8 ? 0 : 32) + 2 * j;
            pick[0] = uint8_t(2 * (offset % 8));
            pick[1] = uint8_t(2 * (offset % 8) + 1);
        }
    }
}

// One row through the column map, `blocks` > 0. The first block listed is
// the one over the row's end: it is worked out first and stored last (see
// drawRow).
template <bool Keyed>
KV_AVX2 inline __m256i gatherBlock(const uint16_t* dst, const uint16_t* src, const int32_t* column,
                                   const int32_t* block, const __m256i* pick) {
    const int x = block[0];
    const int32_t first = block[1], second = block[2];
    __m256i low, high;
    if (first == StretchMap::kScalarBlock) {
        alignas(32) uint16_t picked[16];
        for (int i = 0; i < 16; ++i) {
            const uint16_t p = src[column[x + i]];
            picked[i] = !Keyed || p != 0 ? p : dst[x + i];
        }
        return _mm256_load_si256(reinterpret_cast<const __m256i*>(picked));
    }
    if (first == second) {
        low = _mm256_broadcastsi128_si256(load8(src + first));
        high = _mm256_broadcastsi128_si256(load8(src + first + 8));
    } else {
        low = _mm256_loadu2_m128i(reinterpret_cast<const __m128i*>(src + second),
                                  reinterpret_cast<const __m128i*>(src + first));
        high = _mm256_loadu2_m128i(reinterpret_cast<const __m128i*>(src + second + 8),
                                   reinterpret_cast<const __m128i*>(src + first + 8));
    }
    return over16<Keyed>(dst + x,
                         _mm256_or_si256(_mm256_shuffle_epi8(low, _mm256_loadu_si256(pick)),
                                         _mm256_shuffle_epi8(high, _mm256_loadu_si256(pick + 1))));
}

template <bool Keyed>
KV_AVX2 inline void gatherRow(uint16_t* dst, const uint16_t* src, const int32_t* column,
                              const StretchMap& map, int blocks) {
    const int32_t* block = map.window.data();
    const __m256i* pick = reinterpret_cast<const __m256i*>(map.shuffle.data());
    const __m256i end = gatherBlock<Keyed>(dst, src, column, block, pick);
    for (int n = 1; n < blocks; ++n) {
        store16(dst + block[3 * n],
                gatherBlock<Keyed>(dst, src, column, block + 3 * n, pick + 2 * n));
    }
    store16(dst + block[0], end);
}

template <bool Keyed>
KV_AVX2 void gatheredRows(uint16_t* dst, ptrdiff_t dstStride, const uint16_t* src,
                          ptrdiff_t srcStride, const StretchMap& map) {
    const int width = int(map.column.size()), height = int(map.row.size());
    const int blocks = blockCount(width);
    const int32_t* column = map.column.data();
    const int32_t* row = map.row.data();
    thread_local std::vector<uint16_t> picked;
    for (int y = 0; y < height; ++y, dst += dstStride) {
        const uint16_t* from = src + row[y] * srcStride;
        if (blocks == 0) {
            for (int x = 0; x < width; ++x) {
                const uint16_t p = from[column[x]];
                if (!Keyed || p != 0) dst[x] = p;
            }
        } else if (Keyed && y + 1 < height && row[y + 1] == row[y]) {
            // An enlarged picture draws a source row several times: pick
            // its pixels once, then only key them onto each row.
            picked.resize(size_t(width));
            gatherRow<false>(picked.data(), from, column, map, blocks);
            const int32_t same = row[y];
            for (; y < height && row[y] == same; ++y, dst += dstStride) {
                keyedAvx2(dst, 0, picked.data(), 0, width, 1);
            }
            --y;
            dst -= dstStride;
        } else {
            gatherRow<Keyed>(dst, from, column, map, blocks);
        }
    }
}

KV_AVX2 void gatheredAvx2(uint16_t* dst, ptrdiff_t dstStride, const uint16_t* src,
                          ptrdiff_t srcStride, const StretchMap& map, bool keyed) {
    if (keyed) {
        gatheredRows<true>(dst, dstStride, src, srcStride, map);
    } else {
        gatheredRows<false>(dst, dstStride, src, srcStride, map);
    }
}

// Eight pixels of blue-green-red-x in 32-bit lanes to 5-6-5 in the low half.
KV_AVX2 inline __m128i to565x8(__m256i bgrx) {
    const __m256i b = _mm256_and_si256(_mm256_srli_epi32(bgrx, 3), _mm256_set1_epi32(0x001F));
    const __m256i g = _mm256_and_si256(_mm256_srli_epi32(bgrx, 5), _mm256_set1_epi32(0x07E0));
    const __m256i r = _mm256_and_si256(_mm256_srli_epi32(bgrx, 8), _mm256_set1_epi32(0xF800));
    const __m256i packed =
        _mm256_packus_epi32(_mm256_or_si256(_mm256_or_si256(b, g), r), _mm256_setzero_si256());
    return _mm256_castsi256_si128(_mm256_permute4x64_epi64(packed, _MM_SHUFFLE(3, 1, 2, 0)));
}

KV_AVX2 void bgr24Avx2(uint16_t* dst, const uint8_t* src, int count) {
    // Twelve bytes of each half spread to four 32-bit lanes.
    const __m256i spread = _mm256_setr_epi8(0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1, 0,
                                            1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1);
    int x = 0;
    // Each step loads 28 bytes for its 24: stop while two pixels are left.
    for (; x + 10 <= count; x += 8) {
        const uint8_t* p = src + 3 * x;
        const __m256i bytes = _mm256_inserti128_si256(
            _mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p))),
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 12)), 1);
        store8(dst + x, to565x8(_mm256_shuffle_epi8(bytes, spread)));
    }
    bgr24Plain(dst + x, src + 3 * x, count - x);
}

KV_AVX2 void bgrx32Avx2(uint16_t* dst, const uint8_t* src, int count) {
    int x = 0;
    for (; x + 8 <= count; x += 8) {
        store8(dst + x, to565x8(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + 4 * x))));
    }
    bgrx32Plain(dst + x, src + 4 * x, count - x);
}

}  // namespace

const PixelRows kAvx2 = {fillAvx2,     keyedAvx2, mirroredAvx2, prepareColumnsAvx2,
                         gatheredAvx2, bgr24Avx2, bgrx32Avx2};

}  // namespace pixel_rows_detail
}  // namespace platform
#endif
