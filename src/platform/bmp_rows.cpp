#include "platform/bmp_rows.h"

#include "platform/pixel_rows.h"

namespace platform {

namespace {

constexpr uint32_t kFileHeaderSize = 14;
constexpr uint32_t kInfoHeaderSize = 40;

}  // namespace

bool convertsDirectly(const BmpInfo& info) {
    return info.compression == 0 && !info.rle && !info.bitFields &&
           (info.bits == 24 || info.bits == 32) && info.infoSize >= kInfoHeaderSize &&
           info.fileOffset >= kFileHeaderSize + info.infoSize;
}

std::unique_ptr<PixelSurface> decodeDirectBmp(const uint8_t* data, const BmpInfo& info) {
    auto picture = std::make_unique<PixelSurface>(info.width, info.height);
    if (picture->pixels() == nullptr) return nullptr;
    const PixelRows& rows = pixelRows();
    const auto convert = info.bits == 24 ? rows.bgr24 : rows.bgrx32;
    // Rows are padded to four bytes; readBmpHeader made sure they are all there.
    const size_t rowBytes = ((size_t(info.width) * info.bits + 31) / 32) * 4;
    const ptrdiff_t stride = picture->pitch() / 2;
    for (int32_t row = 0; row < info.height; ++row) {
        const int32_t y = info.topDown ? row : info.height - 1 - row;
        convert(picture->pixels() + y * stride, data + info.fileOffset + size_t(row) * rowBytes,
                info.width);
    }
    return picture;
}

}  // namespace platform
