#include "platform/pixel_surface.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/bmp_bitfields.h"
#include "platform/bmp_header.h"
#include "platform/bmp_rows.h"
#include "platform/pixel_rows.h"
#include "platform/result_codes.h"

namespace platform {

struct PixelSurface::Impl {
    SDL_Surface* surface = nullptr;
    bool hasClipper = false;
    Rect clip;
};

namespace {

SDL_Surface* createRgb565(int width, int height) {
    if (width < 0 || height < 0) return nullptr;
    return SDL_CreateRGBSurfaceWithFormat(0, width, height, 16, SDL_PIXELFORMAT_RGB565);
}

Rect intersect(const Rect& a, const Rect& b) {
    return Rect{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                std::min(a.bottom, b.bottom)};
}

bool isEmpty(const Rect& r) {
    return r.right <= r.left || r.bottom <= r.top;
}

bool contains(const Rect& outer, const Rect& inner) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

// Nearest neighbour: destination cell i of dstLen cells spread over srcLen
// source cells shows the source cell under its centre, (2i + 1) * srcLen /
// (2 * dstLen). For i, i + 1, ... the quotient and remainder are carried
// along instead of dividing for every pixel.
struct SampleStepper {
    SampleStepper(int64_t i, int64_t srcLen, int64_t dstLen)
        : divisor(2 * dstLen),
          stepQuotient((2 * srcLen) / divisor),
          stepRemainder((2 * srcLen) % divisor) {
        const int64_t numerator = (2 * i + 1) * srcLen;
        index = int32_t(numerator / divisor);
        remainder = numerator % divisor;
    }
    void next() {
        index += int32_t(stepQuotient);
        remainder += stepRemainder;
        if (remainder >= divisor) {
            remainder -= divisor;
            ++index;
        }
    }
    int64_t divisor, stepQuotient, stepRemainder;
    int32_t index = 0;
    int64_t remainder = 0;
};

// The source row and column of each pixel of the part `shown` of a stretched
// destination, as the level's gather wants them. A game draws the same
// pictures at the same sizes frame after frame, so the last map is kept.
const StretchMap& stretchMap(const PixelRows& rows, const Rect& shown, int32_t srcW, int32_t srcH,
                             int32_t dstW, int32_t dstH, bool mirror, int32_t lowest,
                             int32_t limit) {
    struct Key {
        const PixelRows* rows;
        int32_t values[10];
        bool mirror;
        bool operator==(const Key& o) const {
            return rows == o.rows && mirror == o.mirror &&
                   std::equal(values, values + 10, o.values);
        }
    };
    const Key key{
        &rows,
        {shown.left, shown.top, shown.right, shown.bottom, srcW, srcH, dstW, dstH, lowest, limit},
        mirror};
    thread_local StretchMap map;
    thread_local Key built{};
    if (built == key) return map;
    map.column.resize(size_t(shown.width()));
    SampleStepper column(shown.left, srcW, dstW);
    for (int32_t& c : map.column) {
        c = mirror ? srcW - 1 - column.index : column.index;
        column.next();
    }
    map.row.resize(size_t(shown.height()));
    SampleStepper row(shown.top, srcH, dstH);
    for (int32_t& r : map.row) {
        r = row.index;
        row.next();
    }
    rows.prepareColumns(map, lowest, limit);
    built = key;
    return map;
}

// Opaque rows: whole rows in one copy when both pictures have no padding.
void copyRows(uint16_t* dst, ptrdiff_t dstStride, const uint16_t* src, ptrdiff_t srcStride,
              int width, int height) {
    if (dstStride == width && srcStride == width) {
        std::memcpy(dst, src, size_t(width) * size_t(height) * 2);
        return;
    }
    for (int y = 0; y < height; ++y, dst += dstStride, src += srcStride) {
        std::memcpy(dst, src, size_t(width) * 2);
    }
}

}  // namespace

PixelSurface::PixelSurface(int width, int height) : impl_(new Impl) {
    impl_->surface = createRgb565(width, height);  // SDL clears its pixels
}

PixelSurface::~PixelSurface() {
    if (impl_->surface) SDL_FreeSurface(impl_->surface);
}

std::unique_ptr<PixelSurface> PixelSurface::decodeBMP(const uint8_t* data, size_t size,
                                                      std::string& error) {
    BmpInfo info;
    if (!readBmpHeader(data, size, info, error)) return nullptr;
    // Bit-field pictures (SDL's reader takes their masks only in a few
    // layouts and orders) and plain 24- and 32-bit ones are decoded here.
    if (info.bitFields || convertsDirectly(info)) {
        auto picture = info.bitFields ? decodeBitFieldBmp(data, info) : decodeDirectBmp(data, info);
        if (!picture) error = "not enough memory for the picture";
        return picture;
    }
    SDL_RWops* rw = SDL_RWFromConstMem(data, int(std::min<size_t>(size, INT32_MAX)));
    if (!rw) {
        error = std::string("cannot read the picture: ") + SDL_GetError();
        return nullptr;
    }
    SDL_Surface* loaded = SDL_LoadBMP_RW(rw, 1);
    if (!loaded) {
        error = std::string("damaged BMP picture: ") + SDL_GetError();
        return nullptr;
    }
    SDL_Surface* converted = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGB565, 0);
    SDL_FreeSurface(loaded);
    if (!converted) {
        error = std::string("cannot convert the picture to 16 bits: ") + SDL_GetError();
        return nullptr;
    }
    // A picture with an alpha channel or key must not carry them into our blits.
    SDL_SetColorKey(converted, SDL_FALSE, 0);
    SDL_SetSurfaceBlendMode(converted, SDL_BLENDMODE_NONE);
    std::unique_ptr<PixelSurface> result(new PixelSurface(0, 0));
    SDL_FreeSurface(result->impl_->surface);
    result->impl_->surface = converted;
    // SDL reads RLE rows bottom-up whatever the height's sign says.
    if (info.rle && info.topDown) result->flipRows();
    return result;
}

void PixelSurface::flipRows() {
    const int rowBytes = width() * 2;
    std::vector<uint8_t> spare(static_cast<size_t>(rowBytes));
    uint8_t* pixels = static_cast<uint8_t*>(impl_->surface->pixels);
    const int pitch = impl_->surface->pitch;
    for (int top = 0, bottom = height() - 1; top < bottom; ++top, --bottom) {
        uint8_t* a = pixels + size_t(top) * pitch;
        uint8_t* b = pixels + size_t(bottom) * pitch;
        std::memcpy(spare.data(), a, size_t(rowBytes));
        std::memcpy(a, b, size_t(rowBytes));
        std::memcpy(b, spare.data(), size_t(rowBytes));
    }
}

int PixelSurface::width() const {
    return impl_->surface ? impl_->surface->w : 0;
}
int PixelSurface::height() const {
    return impl_->surface ? impl_->surface->h : 0;
}

uint16_t* PixelSurface::pixels() {
    return impl_->surface ? static_cast<uint16_t*>(impl_->surface->pixels) : nullptr;
}
const uint16_t* PixelSurface::pixels() const {
    return impl_->surface ? static_cast<const uint16_t*>(impl_->surface->pixels) : nullptr;
}
int PixelSurface::pitch() const {
    return impl_->surface ? impl_->surface->pitch : 0;
}

void PixelSurface::setClipper(const Rect& clip) {
    impl_->hasClipper = true;
    impl_->clip = intersect(clip, Rect{0, 0, width(), height()});
}

void PixelSurface::removeClipper() {
    impl_->hasClipper = false;
}
bool PixelSurface::hasClipper() const {
    return impl_->hasClipper;
}

Rect PixelSurface::clipRect() const {
    return impl_->hasClipper ? impl_->clip : Rect{0, 0, width(), height()};
}

int32_t PixelSurface::blit(PixelSurface& dest, const Rect& src, const Rect& dst,
                           const BlitOptions& options) const {
    if (isEmpty(src) || isEmpty(dst)) return kOk;
    if (!impl_->surface || !dest.impl_->surface) return kErrGeneric;
    if (!contains(Rect{0, 0, width(), height()}, src)) return kErrInvalidRect;
    Rect visible = dst;
    if (dest.impl_->hasClipper) {
        visible = intersect(dst, dest.impl_->clip);
        if (isEmpty(visible)) return kOk;
    } else if (!contains(Rect{0, 0, dest.width(), dest.height()}, dst)) {
        return kErrInvalidRect;
    }

    if (&dest == this) {
        // Drawing a surface onto itself reads a copy, so no row is read after
        // it has been drawn over.
        PixelSurface copy(src.width(), src.height());
        if (!copy.impl_->surface) return kErrOutOfMemory;
        copy.copyPicture(*this, -src.left, -src.top);
        return copy.blit(dest, Rect{0, 0, src.width(), src.height()}, dst, options);
    }

    const PixelRows& rows = pixelRows();
    const int32_t srcW = src.width(), srcH = src.height();
    const int32_t dstW = dst.width(), dstH = dst.height();
    const ptrdiff_t srcStride = pitch() / 2, dstStride = dest.pitch() / 2;
    const uint16_t* srcBase = pixels();
    uint16_t* to = dest.pixels() + visible.top * dstStride + visible.left;
    const int32_t skipX = visible.left - dst.left, skipY = visible.top - dst.top;
    if (srcW == dstW && srcH == dstH) {
        const uint16_t* from = srcBase + (src.top + skipY) * srcStride;
        if (options.mirror) {
            rows.mirrored(to, dstStride, from + src.right - 1 - skipX, srcStride, visible.width(),
                          visible.height(), options.colourKey);
        } else if (options.colourKey) {
            rows.keyed(to, dstStride, from + src.left + skipX, srcStride, visible.width(),
                       visible.height());
        } else {
            copyRows(to, dstStride, from + src.left + skipX, srcStride, visible.width(),
                     visible.height());
        }
        return kOk;
    }

    // Stretched: every destination pixel samples the source cell under its
    // centre, computed over the whole (unclipped) destination so a partly
    // hidden sprite shows exactly the part that would be there.
    const StretchMap& map =
        stretchMap(rows, Rect{skipX, skipY, skipX + visible.width(), skipY + visible.height()},
                   srcW, srcH, dstW, dstH, options.mirror, -src.left, width() - src.left);
    rows.gathered(to, dstStride, srcBase + src.top * srcStride + src.left, srcStride, map,
                  options.colourKey);
    return kOk;
}

int32_t PixelSurface::fill(const Rect* rect, uint16_t pixel) {
    if (!impl_->surface) return kErrGeneric;
    const Rect whole{0, 0, width(), height()};
    Rect area = rect ? *rect : whole;
    if (rect && isEmpty(area)) return kOk;
    if (impl_->hasClipper) {
        area = intersect(area, impl_->clip);
        if (isEmpty(area)) return kOk;
    } else if (!contains(whole, area)) {
        return kErrInvalidRect;
    }
    const ptrdiff_t stride = pitch() / 2;
    pixelRows().fill(pixels() + area.top * stride + area.left, stride, area.width(), area.height(),
                     pixel);
    return kOk;
}

void PixelSurface::copyPicture(const PixelSurface& picture, int x, int y) {
    if (!impl_->surface || !picture.impl_->surface) return;
    const Rect placed{x, y, x + picture.width(), y + picture.height()};
    const Rect area = intersect(placed, Rect{0, 0, width(), height()});
    if (isEmpty(area)) return;
    const ptrdiff_t fromStride = picture.pitch() / 2, toStride = pitch() / 2;
    copyRows(pixels() + area.top * toStride + area.left, toStride,
             picture.pixels() + (area.top - y) * fromStride + (area.left - x), fromStride,
             area.width(), area.height());
}

uint16_t PixelSurface::getPixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= width() || y >= height()) return 0;
    return pixels()[size_t(y) * (pitch() / 2) + x];
}

void PixelSurface::setPixel(int x, int y, uint16_t pixel) {
    if (x < 0 || y < 0 || x >= width() || y >= height()) return;
    pixels()[size_t(y) * (pitch() / 2) + x] = pixel;
}

uint16_t PixelSurface::pixelFromRGB(uint32_t rgb) {
    // The same truncating 8-to-5/6 bit conversion SDL applies when it converts
    // a decoded picture, so a colour and its picture agree.
    static SDL_PixelFormat* format = SDL_AllocFormat(SDL_PIXELFORMAT_RGB565);
    const uint8_t r = rgb & 0xFF, g = (rgb >> 8) & 0xFF, b = (rgb >> 16) & 0xFF;
    if (!format) return uint16_t(((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3));
    return uint16_t(SDL_MapRGB(format, r, g, b));
}

}  // namespace platform
