#include "services/animator.h"

#include <algorithm>
#include <cstring>

#include "engine/surface.h"
#include "engine/zef_dx.h"
#include "services/sound.h"
#include "services/zef_file_manager.h"
#include "services/zef_stream.h"

namespace {

enum Command : int32_t { kEnd = 0, kFrame = 1, kWait = 2, kLoadSound = 3, kPlay = 4, kStop = 5 };
constexpr uint16_t kEndOfFrame = 0x8000;
constexpr size_t kSoundNameSize = 256;
// The frame buffer is sized from the header; a size past this is a damaged
// header, not an animation.
constexpr int64_t kMaxBufferPixels = 16 * 1024 * 1024;
// Escape and F10 are looked at once a frame; no period may keep them waiting
// longer than this.
constexpr int32_t kMaxFramePeriodMs = 5000;

// 5-5-5 to 5-6-5: red and green move up a bit, blue stays, bit 15 is lost.
uint16_t to565(uint16_t p) {
    return uint16_t(((p & 0xFFE0) << 1) | (p & 0x001F));
}

}  // namespace

Animator::Animator(ZefDX* owner, const std::string& fileName, int32_t bufferPixels)
    : ZefBase(owner), target(owner->back), bufferSize(bufferPixels) {
    if (fileName != "0") open(fileName);
}

Animator::~Animator() = default;

void Animator::fail(const std::string& problem) {
    owner->fatalError("Animator::process()", fileName_ + ": " + problem, -1);
}

bool Animator::read32(int32_t& value) {
    uint8_t b[4];
    if (stream_->read(b, 4) != 4) return false;
    value =
        int32_t(uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24);
    return true;
}

void Animator::open(const std::string& fileName) {
    frame_.clear();
    frame_.shrink_to_fit();
    fileName_ = fileName;
    stream_ = owner->fileManager->openFile(fileName);
    if (!read32(width) || !read32(height) || !read32(framePeriod)) {
        owner->fatalError("Animator::open()", fileName + ": file ends inside its header", -1);
    }
    if (framePeriod > kMaxFramePeriodMs) {
        owner->fatalError("Animator::open()",
                          fileName + ": frame period " + std::to_string(framePeriod) +
                              " ms is longer than " + std::to_string(kMaxFramePeriodMs) + " ms",
                          -1);
    }
    if (bufferSize == 0) {
        int64_t pixels = (int64_t(width) + 1) * (int64_t(height) + 1) + 4 * int64_t(height);
        if (width < 0 || height < 0 || pixels > kMaxBufferPixels) {
            owner->fatalError("Animator::open()",
                              fileName + ": bad animation size " + std::to_string(width) + "x" +
                                  std::to_string(height),
                              -1);
        }
        bufferSize = int32_t(pixels);
    }
    if (bufferSize < 0 || bufferSize > kMaxBufferPixels) {
        owner->fatalError("Animator::open()",
                          fileName + ": bad frame buffer size " + std::to_string(bufferSize), -1);
    }
    frame_.assign(size_t(bufferSize), 0);
    bufferSize *= 2;
    readPos_ = 0;
    finished = false;
}

void Animator::process() {
    if (stream_ == nullptr) return;
    for (;;) {
        int32_t code;
        if (!read32(code)) fail("file ends before its end command");
        switch (code) {
            case kEnd:
                frame_.clear();
                frame_.shrink_to_fit();
                finished = true;
                stream_.reset();
                return;
            case kFrame:
                readFrame();
                drawFrame();
                return;
            case kWait: {
                int32_t ms;
                if (!read32(ms)) fail("file ends inside a wait command");
                owner->wait(ms);
                break;
            }
            case kLoadSound:
                loadSound();
                break;
            case kPlay: {
                int32_t number, flags;
                if (!read32(number) || !read32(flags)) fail("file ends inside a play command");
                Sound* sound = soundAt(number);
                if (owner->soundEnabled) {
                    sound->stop();
                    sound->rewind();
                    sound->play((flags & 0xFF) != 0);
                }
                break;
            }
            case kStop: {
                int32_t number;
                if (!read32(number)) fail("file ends inside a stop command");
                soundAt(number)->stop();
                break;
            }
            default:
                break;  // unknown commands carry no payload
        }
    }
}

void Animator::loadSound() {
    char name[kSoundNameSize];
    if (stream_->read(name, kSoundNameSize) != kSoundNameSize) {
        fail("file ends inside a load sound command");
    }
    if (std::memchr(name, 0, kSoundNameSize) == nullptr) fail("sound name has no end");
    sounds_.push_back(std::make_unique<Sound>(owner, std::string(name)));
}

Sound* Animator::soundAt(int32_t number) {
    if (number < 0 || size_t(number) >= sounds_.size()) {
        fail("sound " + std::to_string(number) + " was never loaded");
    }
    return sounds_[size_t(number)].get();
}

void Animator::readFrame() {
    int32_t length;
    if (!read32(length)) fail("file ends inside a frame command");
    if (length < 0) fail("negative frame length " + std::to_string(length));
    // A frame exactly as long as the buffer is refused too.
    if (length >= bufferSize) {
        owner->fatalError("Animator::process()", "Frame size bigger than buffer!", length);
    }
    if (stream_->read(frame_.data(), size_t(length)) != size_t(length)) {
        fail("frame runs past the end of the file");
    }
    // The words of the frame; a stray odd byte at the end is not one.
    frameWords_ = size_t(length) / 2;
}

void Animator::checkFrame(size_t words, int surfaceWidth, int surfaceHeight, bool convert) {
    size_t pos = 0;
    int64_t line = y;  // absolute surface line of the line start
    int64_t column = x;
    for (;;) {
        if (pos >= words) fail("frame has no end-of-frame word");
        uint16_t word = frame_[pos++];
        if (word == kEndOfFrame) return;
        if (word > kEndOfFrame) {
            line += 0x10000 - word;
            column = x;
            // Trailing skips may reach the bottom edge; only a run there would draw.
            if (line > surfaceHeight) fail("line skip leaves the surface");
            continue;
        }
        column += word;
        if (pos >= words) fail("frame has no end-of-frame word");
        size_t count = frame_[pos++];
        if (count > words - pos) fail("run runs past the end of the frame");
        if (count > 0 && (line < 0 || line >= surfaceHeight || column < 0 ||
                          column + int64_t(count) > surfaceWidth)) {
            fail("run leaves the surface");
        }
        if (convert) {
            std::transform(frame_.begin() + pos, frame_.begin() + pos + count, frame_.begin() + pos,
                           to565);
        }
        pos += count;
        column += int64_t(count);
    }
}

void Animator::drawFrame() {
    size_t words = frameWords_;
    frameWords_ = 0;
    // Without pixels to draw into (the lock failing) the frame is skipped.
    if (target == nullptr || target->ddSurface == nullptr) return;
    platform::PixelSurface& surface = *target->ddSurface;
    checkFrame(words, surface.width(), surface.height(), owner->pixelFormat == 565);

    // Every run was checked above, so the copies stay inside the surface.
    const size_t pitch = size_t(surface.pitch()) / 2;
    uint16_t* pixels = surface.pixels();
    size_t line = size_t(y);
    size_t column = size_t(x);
    readPos_ = 0;
    for (;;) {
        uint16_t word = frame_[readPos_++];
        if (word == kEndOfFrame) break;
        if (word > kEndOfFrame) {
            line += size_t(0x10000 - word);
            column = size_t(x);
            continue;
        }
        column += word;
        size_t count = frame_[readPos_++];
        if (count > 0) {
            std::memcpy(pixels + line * pitch + column, frame_.data() + readPos_, count * 2);
        }
        column += count;
        readPos_ += count;
    }
}
