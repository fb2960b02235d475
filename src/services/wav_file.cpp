#include "services/wav_file.h"

#include <cstring>

namespace {

constexpr size_t kRiffHeader = 12;
constexpr size_t kChunkHeader = 8;
constexpr size_t kMinFormatSize = 16;
constexpr size_t kExtensibleSize = 40;
constexpr uint16_t kTagPcm = 1;
constexpr uint16_t kTagExtensible = 0xFFFE;
// The GUID of an extensible header's sub-format after its leading format tag.
constexpr uint8_t kSubFormatTail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                        0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

uint16_t le16(const uint8_t* p) {
    return uint16_t(p[0] | p[1] << 8);
}
uint32_t le32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

std::string tagText(uint16_t tag) {
    const char* name = nullptr;
    switch (tag) {
        case 2:
            name = "Microsoft ADPCM";
            break;
        case 3:
            name = "floating point";
            break;
        case 6:
            name = "A-law";
            break;
        case 7:
            name = "mu-law";
            break;
        case 0x11:
            name = "IMA ADPCM";
            break;
        case 0x55:
            name = "MPEG layer 3";
            break;
        default:
            break;
    }
    std::string text = "format tag " + std::to_string(tag);
    if (name != nullptr) text += std::string(" (") + name + ")";
    return text + " is not supported";
}

// Checks the "fmt " chunk's `size` bytes at `p` and fills the layout's format.
bool readFormat(const uint8_t* p, size_t size, WavLayout& layout, std::string& error) {
    if (size < kMinFormatSize) {
        error = "\"fmt \" chunk of " + std::to_string(size) + " bytes is too short";
        return false;
    }
    uint16_t tag = le16(p);
    if (tag == kTagExtensible) {
        if (size < kExtensibleSize) {
            error = "extensible \"fmt \" chunk of " + std::to_string(size) + " bytes is too short";
            return false;
        }
        if (std::memcmp(p + 26, kSubFormatTail, sizeof kSubFormatTail) != 0) {
            error = "extensible format with an unknown sub-format is not supported";
            return false;
        }
        tag = le16(p + 24);
    }
    if (tag != kTagPcm) {
        error = tagText(tag);
        return false;
    }
    const uint16_t channels = le16(p + 2);
    const uint32_t rate = le32(p + 4);
    const uint16_t blockAlign = le16(p + 12);
    if (channels != 1 && channels != 2) {
        error = std::to_string(channels) + " channels are not supported";
        return false;
    }
    // The bits per sample come from block align and channels, not from the
    // header's own field.
    const int bits = blockAlign / channels * 8;
    if (bits == 0) {
        error = "block align " + std::to_string(blockAlign) + " holds no whole sample";
        return false;
    }
    if (bits != 8 && bits != 16) {
        error = std::to_string(bits) + "-bit samples are not supported";
        return false;
    }
    if (rate < 100 || rate > 200000) {
        error = "sample rate " + std::to_string(rate) + " is not supported";
        return false;
    }
    layout.channels = channels;
    layout.bitsPerSample = bits;
    layout.samplesPerSecond = rate;
    return true;
}

}  // namespace

bool parseWav(const uint8_t* data, size_t size, WavLayout& layout, std::string& error) {
    layout = WavLayout();
    if (size < kRiffHeader) {
        error = "file is shorter than a WAV header";
        return false;
    }
    if (std::memcmp(data, "RIFF", 4) != 0 || std::memcmp(data + 8, "WAVE", 4) != 0) {
        error = "not a RIFF WAVE file";
        return false;
    }
    // The RIFF size is not trusted: streamed output leaves it wrong.
    bool haveFormat = false;
    bool haveData = false;
    size_t pos = kRiffHeader;
    while (size - pos >= kChunkHeader && !(haveFormat && haveData)) {
        const uint8_t* chunk = data + pos;
        const uint32_t length = le32(chunk + 4);
        const size_t body = pos + kChunkHeader;
        const size_t left = size - body;
        if (std::memcmp(chunk, "data", 4) == 0 && !haveData) {
            haveData = true;
            layout.dataOffset = body;
            layout.dataSize = length;
            if (length > left) {
                layout.dataSize = uint32_t(left);
                layout.warning = "data size " + std::to_string(length) +
                                 " runs past the end of the file; playing the " +
                                 std::to_string(left) + " bytes there";
                break;
            }
        } else if (std::memcmp(chunk, "fmt ", 4) == 0 && !haveFormat) {
            if (length > left) {
                error = "\"fmt \" chunk runs past the end of the file";
                return false;
            }
            if (!readFormat(chunk + kChunkHeader, length, layout, error)) return false;
            haveFormat = true;
        } else if (length > left) {
            // Only a chunk we would skip is cut off; what came before stands.
            break;
        }
        // Chunks of odd length carry a pad byte.
        const uint64_t next = uint64_t(body) + length + (length & 1);
        if (next > size) break;
        pos = size_t(next);
    }
    if (!haveFormat) {
        error = "no \"fmt \" chunk";
        return false;
    }
    if (!haveData) {
        error = "no \"data\" chunk";
        return false;
    }
    return true;
}
