#include "services/sound.h"

#include <vector>

#include "engine/zef_dx.h"
#include "platform/result_codes.h"
#include "services/zef_file_manager.h"
#include "services/zef_sound.h"

namespace {

constexpr size_t kHeaderSize = 44;
constexpr uint16_t kFormatPcm = 1;

uint16_t le16(const uint8_t* p) {
    return uint16_t(p[0] | p[1] << 8);
}
uint32_t le32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

}  // namespace

Sound::Sound(ZefDX* owner, const std::string& fileName) : ZefBase(owner) {
    if (owner->sound == nullptr || owner->sound->device == nullptr) {
        owner->log("Warning: DirectSound object not available, skipping sound load");
        return;
    }
    const char* op = "Sound::Sound()";
    std::unique_ptr<ZefStream> stream = owner->fileManager->openFile(fileName);

    // The canonical 44-byte header is read from its fixed positions; the
    // chunk names are not looked at.
    uint8_t header[kHeaderSize];
    if (stream->read(header, kHeaderSize) != kHeaderSize) {
        owner->fatalError(op, fileName + ": file is shorter than a WAV header", -1);
    }
    uint16_t formatTag = le16(header + 20);
    uint16_t channels = le16(header + 22);
    uint32_t rate = le32(header + 24);
    uint16_t blockAlign = le16(header + 32);
    uint32_t dataSize = le32(header + 40);

    owner->log("Loading sound file [" + fileName + "], " + std::to_string(dataSize) + " bytes .");

    if (formatTag != kFormatPcm) {
        owner->fatalError(
            op, fileName + ": not a PCM sound (format tag " + std::to_string(formatTag) + ")", -1);
    }
    if (channels != 1 && channels != 2) {
        owner->fatalError(op, fileName + ": unsupported channel count " + std::to_string(channels),
                          -1);
    }
    // The bits per sample come from block align and channels, not from the
    // header's own field.
    int bits = blockAlign / channels * 8;
    if (bits != 8 && bits != 16) {
        owner->fatalError(op, fileName + ": unsupported block align " + std::to_string(blockAlign),
                          -1);
    }
    if (rate < 100 || rate > 200000) {
        owner->fatalError(op, fileName + ": unsupported sample rate " + std::to_string(rate), -1);
    }
    // A damaged size would have the buffer filled with whatever lies beyond
    // the file; refuse it instead.
    if (dataSize > stream->remaining()) {
        owner->fatalError(op,
                          fileName + ": data size " + std::to_string(dataSize) +
                              " is larger than the " + std::to_string(stream->remaining()) +
                              " sample bytes in the file",
                          -1);
    }
    format_.channels = channels;
    format_.bitsPerSample = bits;
    format_.samplesPerSecond = int(rate);
    dataSize_ = dataSize;

    std::vector<uint8_t> samples(dataSize);
    stream->read(samples.data(), samples.size());

    device_ = owner->sound->device;
    voice_ = device_->createVoice(format_, samples.data(), samples.size());
    if (voice_ < 0) owner->fatalError(op, "Cannot create sound buffer", platform::kErrGeneric);
}

Sound::~Sound() {
    if (voice_ >= 0) device_->destroyVoice(voice_);
}

bool Sound::active() const {
    return voice_ >= 0 && owner->soundEnabled;
}

void Sound::play(bool looping) {
    if (!active()) return;
    looping_ = looping;
    device_->play(voice_, looping);
}

bool Sound::playing() const {
    return active() && device_->isPlaying(voice_);
}

void Sound::stop() {
    if (active()) device_->stop(voice_);
}

void Sound::rewind() {
    if (voice_ >= 0) device_->setPosition(voice_, 0);
}

void Sound::setPan(int32_t pan) {
    if (active()) device_->setPan(voice_, pan);
}

void Sound::setFrequency(uint32_t hz) {
    if (active()) device_->setFrequency(voice_, hz);
}

void Sound::getFrequency(uint32_t& hz) const {
    if (active()) hz = device_->getFrequency(voice_);
}
