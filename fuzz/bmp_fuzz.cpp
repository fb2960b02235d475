// BMP pictures as the surface loader takes them from a file's stream: a
// damaged picture is refused with a reason, a decoded one is drawn (plain,
// keyed, stretched and mirrored, partly off a clipped surface). Pictures
// whose rows we convert ourselves must come out alike at every
// instruction-set level, and as SDL's own reader and converter make them.
#include <SDL.h>

#include <vector>

#include "fuzz_support.h"
#include "platform/bmp_header.h"
#include "platform/bmp_rows.h"
#include "platform/pixel_rows.h"
#include "platform/pixel_surface.h"
#include "services/zef_stream.h"

namespace {

std::vector<uint16_t> pixelsOf(const platform::PixelSurface& s) {
    std::vector<uint16_t> out;
    for (int y = 0; y < s.height(); ++y)
        for (int x = 0; x < s.width(); ++x) out.push_back(s.getPixel(x, y));
    return out;
}

// Empty when SDL refuses the picture.
std::vector<uint16_t> sdlPixels(const uint8_t* data, size_t size) {
    std::vector<uint16_t> out;
    SDL_Surface* loaded = SDL_LoadBMP_RW(SDL_RWFromConstMem(data, int(size)), 1);
    if (loaded == nullptr) return out;
    SDL_Surface* converted = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGB565, 0);
    SDL_FreeSurface(loaded);
    if (converted == nullptr) return out;
    for (int y = 0; y < converted->h; ++y) {
        const auto* row = reinterpret_cast<const uint16_t*>(
            static_cast<const uint8_t*>(converted->pixels) + y * converted->pitch);
        out.insert(out.end(), row, row + converted->w);
    }
    SDL_FreeSurface(converted);
    return out;
}

void compareConversions(const uint8_t* data, size_t size, const platform::PixelSurface& picture) {
    platform::BmpInfo info;
    std::string error;
    if (!platform::readBmpHeader(data, size, info, error) || !platform::convertsDirectly(info)) {
        return;
    }
    const std::vector<uint16_t> ours = pixelsOf(picture);
    for (platform::SimdLevel level : platform::availableSimdLevels()) {
        platform::selectSimdLevel(level);
        auto again = platform::PixelSurface::decodeBMP(data, size, error);
        fuzz::require(again && pixelsOf(*again) == ours, "every level converts rows alike");
    }
    const std::vector<uint16_t> sdl = sdlPixels(data, size);
    fuzz::require(sdl.empty() || sdl == ours, "rows convert as SDL converts them");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The stream hands the decoder the file's bytes, as Surface does.
    ZefStream stream("gfx/fuzz.bmp", std::vector<uint8_t>(data, data + size));
    std::string error;
    auto picture = platform::PixelSurface::decodeBMP(stream.data(), stream.size(), error);
    if (!picture) {
        fuzz::require(!error.empty(), "a refused picture says why");
        return 0;
    }
    const int w = picture->width(), h = picture->height();
    fuzz::require(w > 0 && h > 0 && w <= platform::kMaxPictureSide &&
                      h <= platform::kMaxPictureSide &&
                      uint64_t(w) * uint64_t(h) * 2 <= platform::kMaxPictureBytes,
                  "a decoded picture has a sane size");
    fuzz::require(picture->pixels() != nullptr && picture->pitch() >= 2 * w,
                  "a decoded picture has its pixels");
    compareConversions(stream.data(), stream.size(), *picture);

    platform::PixelSurface screen(64, 48);
    screen.copyPicture(*picture, -w / 3, -h / 3);
    screen.setClipper(platform::Rect{0, 0, 64, 48});
    const platform::Rect whole{0, 0, w, h};
    picture->blit(screen, whole, platform::Rect{5, 7, 5 + w, 7 + h}, {});
    picture->blit(screen, whole, platform::Rect{-3, 2, -3 + w / 2 + 1, 2 + h * 2}, {true, true});
    // Reading the corner touches the last row the decoder wrote.
    (void)picture->getPixel(w - 1, h - 1);
    return 0;
}
