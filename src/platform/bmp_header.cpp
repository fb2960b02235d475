#include "platform/bmp_header.h"

namespace platform {

namespace {

uint32_t readU32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
uint16_t readU16(const uint8_t* p) {
    return uint16_t(p[0] | p[1] << 8);
}

constexpr size_t kFileHeaderSize = 14;
constexpr uint32_t kCompressionNone = 0;
constexpr uint32_t kCompressionBitfields = 3;

}  // namespace

bool checkBmpHeader(const uint8_t* data, size_t size, std::string& error) {
    if (!data || size < kFileHeaderSize + 4) {
        error = "truncated BMP header (" + std::to_string(size) + " bytes)";
        return false;
    }
    if (data[0] != 'B' || data[1] != 'M') {
        error = "not a BMP picture (no BM signature)";
        return false;
    }
    const uint32_t pixelOffset = readU32(data + 10);
    const uint8_t* info = data + kFileHeaderSize;
    const uint32_t infoSize = readU32(info);
    if (infoSize < 12 || infoSize > 1024) {
        error = "damaged BMP header (info header size " + std::to_string(infoSize) + ")";
        return false;
    }
    if (size - kFileHeaderSize < infoSize) {
        error = "truncated BMP header (" + std::to_string(size) + " bytes)";
        return false;
    }
    int64_t width, height;
    uint32_t bits, compression = kCompressionNone;
    if (infoSize < 40) {  // the old 12-byte core header with 16-bit sizes
        width = readU16(info + 4);
        height = readU16(info + 6);
        bits = readU16(info + 10);
    } else {
        width = int32_t(readU32(info + 4));
        height = int32_t(readU32(info + 8));
        bits = readU16(info + 14);
        compression = readU32(info + 16);
    }
    if (height < 0) height = -height;  // top-down rows
    if (width <= 0 || height <= 0) {
        error = "BMP picture has no pixels (" + std::to_string(width) + "x" +
                std::to_string(height) + ")";
        return false;
    }
    if (width > kMaxPictureSide || height > kMaxPictureSide) {
        error =
            "BMP picture too large (" + std::to_string(width) + "x" + std::to_string(height) + ")";
        return false;
    }
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) {
        error = "unsupported BMP bit depth " + std::to_string(bits);
        return false;
    }
    if (pixelOffset > size) {
        error = "BMP pixel data offset " + std::to_string(pixelOffset) +
                " lies past the end of the file (" + std::to_string(size) + " bytes)";
        return false;
    }
    if (pixelOffset != 0 &&
        (compression == kCompressionNone || compression == kCompressionBitfields)) {
        const uint64_t rowBytes = ((uint64_t(width) * bits + 31) / 32) * 4;
        const uint64_t needed = uint64_t(pixelOffset) + rowBytes * uint64_t(height);
        if (needed > size) {
            error = "truncated BMP pixel data (needs " + std::to_string(needed) + " bytes, has " +
                    std::to_string(size) + ")";
            return false;
        }
    }
    return true;
}

}  // namespace platform
