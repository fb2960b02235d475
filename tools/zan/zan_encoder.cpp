#include "zan_encoder.h"

#include <algorithm>

namespace zan {

namespace {

constexpr uint16_t kEndOfFrame = 0x8000;
constexpr int32_t kMaxWord = 0x7FFF;  // largest skip, count or line step in one word
// A gap of this many unchanged pixels or fewer is cheaper to store than to
// skip, since a new run costs a skip word and a count word.
constexpr int32_t kMergeGap = 2;

enum Code : int32_t { kEnd = 0, kFrame = 1, kWait = 2, kLoadSound = 3, kPlay = 4, kStop = 5 };

void putLineSteps(std::vector<uint16_t>& out, int32_t lines) {
    while (lines > 0) {
        int32_t step = std::min(lines, kMaxWord);
        out.push_back(uint16_t(0x10000 - step));
        lines -= step;
    }
}

}  // namespace

std::vector<uint16_t> encodeFrame(const std::vector<uint16_t>& previous,
                                  const std::vector<uint16_t>& current, int32_t width,
                                  int32_t height, bool whole) {
    std::vector<uint16_t> out;
    int32_t lineStart = 0;  // the line the decoder's line start is on
    for (int32_t y = 0; y < height; ++y) {
        const uint16_t* cur = current.data() + size_t(y) * width;
        const uint16_t* prev = previous.empty() ? nullptr : previous.data() + size_t(y) * width;
        auto changed = [&](int32_t x) { return whole || prev == nullptr || cur[x] != prev[x]; };

        int32_t cursor = 0;
        int32_t x = 0;
        while (x < width) {
            if (!changed(x)) {
                ++x;
                continue;
            }
            // Extend the run over short unchanged gaps.
            int32_t end = x + 1;
            int32_t probe = end;
            while (probe < width && probe - end <= kMergeGap) {
                if (changed(probe)) end = probe + 1;
                ++probe;
            }
            if (y != lineStart) {
                putLineSteps(out, y - lineStart);
                lineStart = y;
            }
            int32_t skip = x - cursor;
            while (skip > kMaxWord) {
                out.push_back(uint16_t(kMaxWord));
                out.push_back(0);
                skip -= kMaxWord;
            }
            int32_t start = x;
            while (start < end) {
                int32_t count = std::min(end - start, kMaxWord);
                out.push_back(uint16_t(start == x ? skip : 0));
                out.push_back(uint16_t(count));
                out.insert(out.end(), cur + start, cur + start + count);
                start += count;
            }
            cursor = end;
            x = end;
        }
    }
    out.push_back(kEndOfFrame);
    return out;
}

Encoder::Encoder(int32_t width, int32_t height, int32_t framePeriodMs)
    : width_(std::max(width, 0)), height_(std::max(height, 0)) {
    put32(width_);
    put32(height_);
    put32(framePeriodMs);
}

void Encoder::put32(int32_t value) {
    uint32_t v = uint32_t(value);
    for (int i = 0; i < 4; ++i) out_.push_back(uint8_t(v >> (8 * i)));
}

void Encoder::setBackground(const std::vector<uint16_t>& pixels565) {
    if (pixels565.size() != size_t(width_) * size_t(height_)) return;
    previous_.resize(pixels565.size());
    std::transform(pixels565.begin(), pixels565.end(), previous_.begin(), to555);
    haveBackground_ = true;
}

bool Encoder::addFrame(const std::vector<uint16_t>& pixels565) {
    if (pixels565.size() != size_t(width_) * size_t(height_)) return false;
    std::vector<uint16_t> stored(pixels565.size());
    std::transform(pixels565.begin(), pixels565.end(), stored.begin(), to555);
    bool whole = frames_ == 0 && !haveBackground_;
    std::vector<uint16_t> data = encodeFrame(previous_, stored, width_, height_, whole);
    put32(kFrame);
    put32(int32_t(data.size() * 2));
    for (uint16_t word : data) {
        out_.push_back(uint8_t(word & 0xFF));
        out_.push_back(uint8_t(word >> 8));
    }
    previous_ = std::move(stored);
    ++frames_;
    return true;
}

void Encoder::addWait(int32_t milliseconds) {
    put32(kWait);
    put32(milliseconds);
}

int32_t Encoder::loadSound(const std::string& archiveName) {
    put32(kLoadSound);
    char name[256] = {};
    archiveName.copy(name, sizeof(name) - 1);
    out_.insert(out_.end(), name, name + sizeof(name));
    return sounds_++;
}

void Encoder::playSound(int32_t number, bool looping) {
    put32(kPlay);
    put32(number);
    put32(looping ? 1 : 0);
}

void Encoder::stopSound(int32_t number) {
    put32(kStop);
    put32(number);
}

std::vector<uint8_t> Encoder::finish() {
    std::vector<uint8_t> bytes = out_;
    uint8_t end[4] = {0, 0, 0, 0};
    static_assert(kEnd == 0, "the end command is a zero word");
    bytes.insert(bytes.end(), end, end + 4);
    return bytes;
}

}  // namespace zan
