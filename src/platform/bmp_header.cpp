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
constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kV2HeaderSize = 52;  // the first with the colour masks inside
constexpr uint32_t kOs2HeaderSize = 64;
enum Compression : uint32_t {
    kRgb = 0,
    kRle8 = 1,
    kRle4 = 2,
    kBitFields = 3,  // Huffman 1D in OS/2 headers and at 1 bit
    kJpeg = 4,       // RLE24 in OS/2 headers
    kPng = 5,
    kAlphaBitFields = 6,
};

std::string hex(uint32_t v) {
    static const char digits[] = "0123456789ABCDEF";
    std::string out = "0x";
    for (int shift = 28; shift >= 0; shift -= 4) out += digits[(v >> shift) & 0xF];
    return out;
}

// One run of set bits that fits the pixel.
bool usableMask(uint32_t mask, uint32_t bits) {
    if (mask == 0 || (bits < 32 && (mask >> bits) != 0)) return false;
    while ((mask & 1) == 0) mask >>= 1;
    return (mask & (mask + 1)) == 0;
}

// Which compressions we load, and how: plain rows and RLE go to SDL's
// reader, bit fields are decoded here; the rest is named and refused.
bool readCompression(uint32_t infoSize, BmpInfo& info, std::string& error) {
    const bool os2 = infoSize == kOs2HeaderSize;
    const std::string depth = std::to_string(info.bits) + "-bit";
    switch (info.compression) {
        case kRgb:
            return true;
        case kRle8:
        case kRle4: {
            const uint32_t needed = info.compression == kRle8 ? 8 : 4;
            if (info.bits != needed) {
                error = "RLE" + std::to_string(needed) + " compression of " + depth +
                        " pixels is damaged";
                return false;
            }
            info.rle = true;
            return true;
        }
        case kBitFields:
            if (info.bits == 1) {
                error = "Huffman-compressed 1-bit pictures are not supported";
                return false;
            }
            break;
        case kJpeg:
            error = os2 ? "OS/2 RLE24-compressed pictures are not supported"
                        : "JPEG-compressed BMP pictures are not supported";
            return false;
        case kPng:
            error = "PNG-compressed BMP pictures are not supported";
            return false;
        case kAlphaBitFields:
            break;
        default:
            error = "BMP compression " + std::to_string(info.compression) + " is not supported";
            return false;
    }
    if (os2 || (info.bits != 16 && info.bits != 32)) {
        error = "bit-field compression of " + depth + " pixels is damaged";
        return false;
    }
    info.bitFields = true;
    return true;
}

// The colour masks and where the pixels start, for bit-field pictures.
bool readMasks(const uint8_t* data, size_t size, uint32_t infoSize, uint32_t pixelOffset,
               BmpInfo& info, std::string& error) {
    // From the v2 header on the masks are its fields; after the plain
    // 40-byte header they follow it, three (four with alpha) words.
    const bool inHeader = infoSize >= kV2HeaderSize;
    const size_t at = kFileHeaderSize + (inHeader ? kInfoHeaderSize : infoSize);
    const size_t masksEnd = inHeader ? kFileHeaderSize + infoSize
                                     : at + (info.compression == kAlphaBitFields ? 16 : 12);
    if (masksEnd > size || (pixelOffset != 0 && pixelOffset < masksEnd)) {
        error = "bit-field compression without its colour masks (the pixels start at byte " +
                std::to_string(pixelOffset) + ")";
        return false;
    }
    uint32_t all = 0;
    for (int i = 0; i < 3; ++i) {
        const uint32_t mask = readU32(data + at + 4 * size_t(i));
        if (!usableMask(mask, info.bits) || (all & mask) != 0) {
            error = "BMP colour masks " + hex(readU32(data + at)) + ", " +
                    hex(readU32(data + at + 4)) + ", " + hex(readU32(data + at + 8)) +
                    " are not usable";
            return false;
        }
        all |= mask;
        info.masks[i] = mask;
    }
    info.pixelOffset = pixelOffset != 0 ? pixelOffset : masksEnd;
    return true;
}

}  // namespace

bool readBmpHeader(const uint8_t* data, size_t size, BmpInfo& info, std::string& error) {
    info = BmpInfo();
    if (!data || size < kFileHeaderSize + 4) {
        error = "truncated BMP header (" + std::to_string(size) + " bytes)";
        return false;
    }
    if (data[0] != 'B' || data[1] != 'M') {
        error = "not a BMP picture (no BM signature)";
        return false;
    }
    const uint32_t pixelOffset = readU32(data + 10);
    const uint8_t* header = data + kFileHeaderSize;
    const uint32_t infoSize = readU32(header);
    info.infoSize = infoSize;
    info.fileOffset = pixelOffset;
    if (infoSize < 12 || infoSize > 1024) {
        error = "damaged BMP header (info header size " + std::to_string(infoSize) + ")";
        return false;
    }
    if (size - kFileHeaderSize < infoSize) {
        error = "truncated BMP header (" + std::to_string(size) + " bytes)";
        return false;
    }
    int64_t width, height;
    if (infoSize < kInfoHeaderSize) {  // the old 12-byte core header with 16-bit sizes
        width = readU16(header + 4);
        height = readU16(header + 6);
        info.bits = readU16(header + 10);
    } else {
        width = int32_t(readU32(header + 4));
        height = int32_t(readU32(header + 8));
        info.bits = readU16(header + 14);
        info.compression = readU32(header + 16);
    }
    info.topDown = height < 0;
    if (height < 0) height = -height;
    if (width <= 0 || height <= 0) {
        error = "BMP picture has no pixels (" + std::to_string(width) + "x" +
                std::to_string(height) + ")";
        return false;
    }
    if (width > kMaxPictureSide || height > kMaxPictureSide ||
        uint64_t(width) * uint64_t(height) * 2 > kMaxPictureBytes) {
        error = "BMP picture too large (" + std::to_string(width) + "x" + std::to_string(height) +
                "; at most " + std::to_string(kMaxPictureSide) + " pixels a side and " +
                std::to_string(kMaxPictureBytes >> 20) + " MiB of 16-bit pixels)";
        return false;
    }
    info.width = int32_t(width);
    info.height = int32_t(height);
    const uint32_t bits = info.bits;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) {
        error = "unsupported BMP bit depth " + std::to_string(bits);
        return false;
    }
    if (pixelOffset > size) {
        error = "BMP pixel data offset " + std::to_string(pixelOffset) +
                " lies past the end of the file (" + std::to_string(size) + " bytes)";
        return false;
    }
    if (!readCompression(infoSize, info, error)) return false;
    if (info.bitFields && !readMasks(data, size, infoSize, pixelOffset, info, error)) return false;
    const size_t rowsStart = info.bitFields ? info.pixelOffset : pixelOffset;
    if (rowsStart != 0 && !info.rle) {
        const uint64_t rowBytes = ((uint64_t(width) * bits + 31) / 32) * 4;
        const uint64_t needed = uint64_t(rowsStart) + rowBytes * uint64_t(height);
        if (needed > size) {
            error = "truncated BMP pixel data (needs " + std::to_string(needed) + " bytes, has " +
                    std::to_string(size) + ")";
            return false;
        }
    }
    return true;
}

}  // namespace platform
