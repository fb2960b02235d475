#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace platform {

// The largest picture we load: a damaged or hostile header (a 1 KB RLE file
// that claims 16384x16384) must not cost hundreds of megabytes.
constexpr int32_t kMaxPictureSide = 8192;
constexpr uint64_t kMaxPictureBytes = 64ull << 20;  // of 16-bit pixels

// What a BMP's headers say, once checked.
struct BmpInfo {
    int32_t width = 0;
    int32_t height = 0;  // always positive; see topDown
    bool topDown = false;
    uint32_t bits = 0;
    uint32_t compression = 0;
    bool rle = false;               // RLE8 or RLE4, bottom-up as SDL reads them
    bool bitFields = false;         // 16 or 32 bits through the colour masks below
    uint32_t masks[3] = {0, 0, 0};  // red, green, blue, when bitFields
    size_t pixelOffset = 0;         // first pixel byte, when bitFields
    uint32_t infoSize = 0;          // the info header's own size
    uint32_t fileOffset = 0;        // the pixel offset the file header gives (0: none)
};

// Checks a BMP's headers against the bytes actually there before any pixel
// is decoded: signature, header size, picture size (bounded above), bit
// depth, compression, colour masks, and that uncompressed rows lie inside
// `size`. Sets `error` to what the file is and returns false on a picture
// that is damaged or of a kind we do not load.
bool readBmpHeader(const uint8_t* data, size_t size, BmpInfo& info, std::string& error);

}  // namespace platform
