#include "platform/pixel_surface.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/bmp_bitfields.h"
#include "platform/bmp_header.h"
#include "platform/result_codes.h"

namespace platform {

struct PixelSurface::Impl {
    SDL_Surface* surface = nullptr;
    bool hasClipper = false;
    Rect clip;
    bool keyed = false;  // the colour key currently set on `surface`
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

// Nearest neighbour: the source index whose cell holds the centre of
// destination cell `i` of `dstLen` cells spread over `srcLen` source cells.
inline int32_t sampleIndex(int64_t i, int64_t srcLen, int64_t dstLen) {
    return int32_t(((2 * i + 1) * srcLen) / (2 * dstLen));
}

// sampleIndex for i, i + 1, ... without a division per pixel: the quotient
// and remainder of (2i + 1) * srcLen / (2 * dstLen) carried along.
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

}  // namespace

PixelSurface::PixelSurface(int width, int height) : impl_(new Impl) {
    impl_->surface = createRgb565(width, height);
    if (impl_->surface) SDL_FillRect(impl_->surface, nullptr, 0);
}

PixelSurface::~PixelSurface() {
    if (impl_->surface) SDL_FreeSurface(impl_->surface);
}

std::unique_ptr<PixelSurface> PixelSurface::decodeBMP(const uint8_t* data, size_t size,
                                                      std::string& error) {
    BmpInfo info;
    if (!readBmpHeader(data, size, info, error)) return nullptr;
    // SDL's reader takes bit-field masks only in a few layouts and orders.
    if (info.bitFields) {
        auto picture = decodeBitFieldBmp(data, info);
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

    const int32_t srcW = src.width(), srcH = src.height();
    const int32_t dstW = dst.width(), dstH = dst.height();
    if (!options.mirror && srcW == dstW && srcH == dstH) {
        // The common sprite case: SDL's own keyed 16-bit copy.
        SDL_Surface* s = impl_->surface;
        if (impl_->keyed != options.colourKey) {
            SDL_SetColorKey(s, options.colourKey ? SDL_TRUE : SDL_FALSE, 0);
            impl_->keyed = options.colourKey;
        }
        SDL_Rect from{src.left + (visible.left - dst.left), src.top + (visible.top - dst.top),
                      visible.width(), visible.height()};
        SDL_Rect to{visible.left, visible.top, visible.width(), visible.height()};
        SDL_SetClipRect(dest.impl_->surface, nullptr);
        return SDL_BlitSurface(s, &from, dest.impl_->surface, &to) == 0 ? kOk : kErrGeneric;
    }

    // Stretched or mirrored: every destination pixel samples the source cell
    // under its centre, computed over the whole (unclipped) destination so a
    // partly hidden sprite shows exactly the part that would be there.
    const uint8_t* srcBase = static_cast<const uint8_t*>(impl_->surface->pixels);
    uint8_t* dstBase = static_cast<uint8_t*>(dest.impl_->surface->pixels);
    const int srcPitch = impl_->surface->pitch, dstPitch = dest.impl_->surface->pitch;
    const SampleStepper firstColumn(visible.left - dst.left, srcW, dstW);
    for (int32_t y = visible.top; y < visible.bottom; ++y) {
        const int32_t sy = src.top + sampleIndex(y - dst.top, srcH, dstH);
        const uint16_t* srcRow = reinterpret_cast<const uint16_t*>(srcBase + sy * srcPitch);
        if (options.mirror) {
            srcRow += src.left + srcW - 1;
        } else {
            srcRow += src.left;
        }
        uint16_t* dstRow = reinterpret_cast<uint16_t*>(dstBase + y * dstPitch);
        SampleStepper column = firstColumn;
        for (int32_t x = visible.left; x < visible.right; ++x, column.next()) {
            const uint16_t p = options.mirror ? *(srcRow - column.index) : srcRow[column.index];
            if (options.colourKey && p == 0) continue;
            dstRow[x] = p;
        }
    }
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
    SDL_Rect r{area.left, area.top, area.width(), area.height()};
    SDL_SetClipRect(impl_->surface, nullptr);
    return SDL_FillRect(impl_->surface, &r, pixel) == 0 ? kOk : kErrGeneric;
}

void PixelSurface::copyPicture(const PixelSurface& picture, int x, int y) {
    if (!impl_->surface || !picture.impl_->surface) return;
    const Rect placed{x, y, x + picture.width(), y + picture.height()};
    const Rect area = intersect(placed, Rect{0, 0, width(), height()});
    if (isEmpty(area)) return;
    const size_t rowBytes = size_t(area.width()) * 2;
    for (int32_t row = area.top; row < area.bottom; ++row) {
        const uint16_t* from =
            picture.pixels() + size_t(row - y) * (picture.pitch() / 2) + (area.left - x);
        uint16_t* to = pixels() + size_t(row) * (pitch() / 2) + area.left;
        std::memcpy(to, from, rowBytes);
    }
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
