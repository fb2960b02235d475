// The pixel loops eight pixels at a time with SSE2, which every x86-64
// processor has. Rows shorter than a block go pixel by pixel; a row that is
// not a whole number of blocks ends with one block laid over the last eight
// pixels, which is harmless because drawing a pixel twice from a source that
// does not move gives the same result.
#if defined(__x86_64__) || defined(_M_X64)
#include <emmintrin.h>

#include "platform/pixel_rows.h"

namespace platform {
namespace pixel_rows_detail {

namespace {

inline __m128i load8(const uint16_t* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}
inline void store8(uint16_t* p, __m128i v) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v);
}

// Source where it is not 0, else the destination (the key's lanes of the
// source are 0, so an or puts the destination there).
inline __m128i keyed8(__m128i src, __m128i dst) {
    const __m128i hole = _mm_cmpeq_epi16(src, _mm_setzero_si128());
    return _mm_or_si128(src, _mm_and_si128(hole, dst));
}

// What a block of the source makes of the destination under it.
template <bool Keyed>
inline __m128i over8(const uint16_t* dst, __m128i src) {
    return Keyed ? keyed8(src, load8(dst)) : src;
}

// One row of at least eight pixels by blocks, `block(x)` giving the source
// pixels of the destination's x .. x + 7. The block laid over the row's end
// is worked out before any other is stored and stored last: reading pixels
// that a store still on its way covers in part would wait for that store.
template <bool Keyed, typename Block>
inline void drawRow(uint16_t* dst, int width, Block block) {
    const int last = width - 8;
    const __m128i end = over8<Keyed>(dst + last, block(last));
    for (int x = 0; x < last; x += 8) store8(dst + x, over8<Keyed>(dst + x, block(x)));
    store8(dst + last, end);
}

// Pixels from srcLast[-7 - x] up to srcLast[-x], reversed into lanes 0..7.
inline __m128i reversed8(const uint16_t* srcLast, int x) {
    const __m128i v = load8(srcLast - x - 7);
    const __m128i halves = _mm_shufflehi_epi16(_mm_shufflelo_epi16(v, _MM_SHUFFLE(0, 1, 2, 3)),
                                               _MM_SHUFFLE(0, 1, 2, 3));
    return _mm_shuffle_epi32(halves, _MM_SHUFFLE(1, 0, 3, 2));
}

void fillSse2(uint16_t* dst, ptrdiff_t dstStride, int width, int height, uint16_t pixel) {
    if (dstStride == width) {  // whole rows: one run
        width *= height;
        height = 1;
    }
    const __m128i v = _mm_set1_epi16(int16_t(pixel));
    for (int y = 0; y < height; ++y, dst += dstStride) {
        if (width < 8) {
            for (int x = 0; x < width; ++x) dst[x] = pixel;
            continue;
        }
        int x = 0;
        for (; x + 32 <= width; x += 32) {
            store8(dst + x, v);
            store8(dst + x + 8, v);
            store8(dst + x + 16, v);
            store8(dst + x + 24, v);
        }
        for (; x + 8 <= width; x += 8) store8(dst + x, v);
        if (x < width) store8(dst + width - 8, v);
    }
}

void keyedSse2(uint16_t* dst, ptrdiff_t dstStride, const uint16_t* src, ptrdiff_t srcStride,
               int width, int height) {
    for (int y = 0; y < height; ++y, dst += dstStride, src += srcStride) {
        if (width < 8) {
            for (int x = 0; x < width; ++x) {
                if (src[x] != 0) dst[x] = src[x];
            }
            continue;
        }
        drawRow<true>(dst, width, [src](int x) { return load8(src + x); });
    }
}

template <bool Keyed>
void mirroredRows(uint16_t* dst, ptrdiff_t dstStride, const uint16_t* srcLast, ptrdiff_t srcStride,
                  int width, int height) {
    for (int y = 0; y < height; ++y, dst += dstStride, srcLast += srcStride) {
        if (width < 8) {
            for (int x = 0; x < width; ++x) {
                const uint16_t p = srcLast[-x];
                if (!Keyed || p != 0) dst[x] = p;
            }
            continue;
        }
        drawRow<Keyed>(dst, width, [srcLast](int x) { return reversed8(srcLast, x); });
    }
}

void mirroredSse2(uint16_t* dst, ptrdiff_t dstStride, const uint16_t* srcLast, ptrdiff_t srcStride,
                  int width, int height, bool keyed) {
    if (keyed) {
        mirroredRows<true>(dst, dstStride, srcLast, srcStride, width, height);
    } else {
        mirroredRows<false>(dst, dstStride, srcLast, srcStride, width, height);
    }
}

void prepareColumnsSse2(StretchMap& map, int32_t, int32_t) {
    map.window.clear();
    map.shuffle.clear();
}

// Eight source pixels picked one by one into the lanes: SSE2 has no byte
// shuffle, but the picking stays branch-free and the store is one block.
inline __m128i picked8(const uint16_t* src, const int32_t* column) {
    __m128i v = _mm_cvtsi32_si128(src[column[0]]);
    v = _mm_insert_epi16(v, src[column[1]], 1);
    v = _mm_insert_epi16(v, src[column[2]], 2);
    v = _mm_insert_epi16(v, src[column[3]], 3);
    v = _mm_insert_epi16(v, src[column[4]], 4);
    v = _mm_insert_epi16(v, src[column[5]], 5);
    v = _mm_insert_epi16(v, src[column[6]], 6);
    return _mm_insert_epi16(v, src[column[7]], 7);
}

template <bool Keyed>
void gatheredRows(uint16_t* dst, ptrdiff_t dstStride, const uint16_t* src, ptrdiff_t srcStride,
                  const StretchMap& map) {
    const int width = int(map.column.size());
    const int32_t* column = map.column.data();
    for (int32_t row : map.row) {
        const uint16_t* from = src + row * srcStride;
        if (width < 8) {
            for (int x = 0; x < width; ++x) {
                const uint16_t p = from[column[x]];
                if (!Keyed || p != 0) dst[x] = p;
            }
        } else {
            drawRow<Keyed>(dst, width, [from, column](int x) { return picked8(from, column + x); });
        }
        dst += dstStride;
    }
}

void gatheredSse2(uint16_t* dst, ptrdiff_t dstStride, const uint16_t* src, ptrdiff_t srcStride,
                  const StretchMap& map, bool keyed) {
    if (keyed) {
        gatheredRows<true>(dst, dstStride, src, srcStride, map);
    } else {
        gatheredRows<false>(dst, dstStride, src, srcStride, map);
    }
}

// Four blue-green-red-x pixels in 32-bit lanes to 5-6-5 in the low lanes.
inline __m128i to565x4(__m128i bgrx) {
    const __m128i b = _mm_and_si128(_mm_srli_epi32(bgrx, 3), _mm_set1_epi32(0x001F));
    const __m128i g = _mm_and_si128(_mm_srli_epi32(bgrx, 5), _mm_set1_epi32(0x07E0));
    const __m128i r = _mm_and_si128(_mm_srli_epi32(bgrx, 8), _mm_set1_epi32(0xF800));
    return _mm_or_si128(_mm_or_si128(b, g), r);
}

// SSE2 packs 32-bit lanes with signed saturation only: shift the range down
// by 0x8000 around the pack.
inline __m128i pack565(__m128i a, __m128i b) {
    const __m128i bias = _mm_set1_epi32(0x8000);
    const __m128i packed = _mm_packs_epi32(_mm_sub_epi32(a, bias), _mm_sub_epi32(b, bias));
    return _mm_xor_si128(packed, _mm_set1_epi16(int16_t(0x8000)));
}

void bgrx32Sse2(uint16_t* dst, const uint8_t* src, int count) {
    int x = 0;
    for (; x + 8 <= count; x += 8) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 4 * x));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 4 * x + 16));
        store8(dst + x, pack565(to565x4(a), to565x4(b)));
    }
    bgrx32Plain(dst + x, src + 4 * x, count - x);
}

}  // namespace

// Three-byte pixels need a byte shuffle to line up; without one the plain
// loop is as good.
const PixelRows kSse2 = {fillSse2,     keyedSse2,  mirroredSse2, prepareColumnsSse2,
                         gatheredSse2, bgr24Plain, bgrx32Sse2};

}  // namespace pixel_rows_detail
}  // namespace platform
#endif
