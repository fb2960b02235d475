// BMP pictures as the surface loader takes them from a file's stream: a
// damaged picture is refused with a reason, a decoded one is drawn (plain,
// keyed, stretched and mirrored, partly off a clipped surface).
#include "fuzz_support.h"
#include "platform/bmp_header.h"
#include "platform/pixel_surface.h"
#include "services/zef_stream.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The stream hands the decoder the file's bytes, as Surface does.
    ZefStream stream("gfx/fuzz.bmp", std::vector<uint8_t>(data, data + size));
    std::string error;
    auto picture = platform::PixelSurface::decodeBMP(stream.bytes().data(), stream.size(), error);
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

    platform::PixelSurface screen(64, 48);
    screen.copyPicture(*picture, -w / 3, -h / 3);
    screen.setClipper(platform::Rect{0, 0, 64, 48});
    const platform::Rect whole{0, 0, w, h};
    picture->blit(screen, whole, platform::Rect{5, 7, 5 + w, 7 + h}, {});
    picture->blit(screen, whole, platform::Rect{-3, 2, -3 + w / 2 + 1, 2 + h * 2},
                  {true, true});
    // Reading the corner touches the last row the decoder wrote.
    (void)picture->getPixel(w - 1, h - 1);
    return 0;
}
