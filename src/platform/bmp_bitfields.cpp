#include "platform/bmp_bitfields.h"

namespace platform {

namespace {

// One colour mask: where its bits lie and how to widen them to 8 bits.
struct Channel {
    explicit Channel(uint32_t mask) : mask(mask) {
        while (((mask >> shift) & 1) == 0) ++shift;
        max = mask >> shift;
    }
    // Scaled and truncated, as SDL widens the channels of plain 16-bit
    // pictures, so that both kinds of picture agree pixel for pixel.
    uint32_t to8(uint32_t pixel) const {
        const uint64_t c = (pixel & mask) >> shift;
        return uint32_t(c * 255 / max);
    }
    uint32_t mask;
    int shift = 0;
    uint64_t max = 0;  // the channel's largest value
};

}  // namespace

std::unique_ptr<PixelSurface> decodeBitFieldBmp(const uint8_t* data, const BmpInfo& info) {
    auto picture = std::make_unique<PixelSurface>(info.width, info.height);
    if (picture->pixels() == nullptr) return nullptr;
    const Channel red(info.masks[0]), green(info.masks[1]), blue(info.masks[2]);
    const size_t bytesPerPixel = info.bits / 8;
    const size_t rowBytes = ((size_t(info.width) * info.bits + 31) / 32) * 4;
    const size_t pitch = size_t(picture->pitch()) / 2;
    for (int32_t row = 0; row < info.height; ++row) {
        const uint8_t* in = data + info.pixelOffset + size_t(row) * rowBytes;
        const int32_t y = info.topDown ? row : info.height - 1 - row;
        uint16_t* out = picture->pixels() + size_t(y) * pitch;
        for (int32_t x = 0; x < info.width; ++x, in += bytesPerPixel) {
            uint32_t v = uint32_t(in[0]) | uint32_t(in[1]) << 8;
            if (bytesPerPixel == 4) v |= uint32_t(in[2]) << 16 | uint32_t(in[3]) << 24;
            // The same truncation to 5-6-5 as the conversion of every other picture.
            out[x] =
                uint16_t((red.to8(v) >> 3) << 11 | (green.to8(v) >> 2) << 5 | blue.to8(v) >> 3);
        }
    }
    return picture;
}

}  // namespace platform
