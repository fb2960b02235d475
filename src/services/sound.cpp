#include "services/sound.h"

#include "engine/zef_dx.h"
#include "platform/result_codes.h"
#include "services/wav_file.h"
#include "services/zef_file_manager.h"
#include "services/zef_sound.h"

Sound::Sound(ZefDX* owner, const std::string& fileName) : ZefBase(owner) {
    if (owner->sound == nullptr || owner->sound->device == nullptr) {
        owner->log("Warning: DirectSound object not available, skipping sound load");
        return;
    }
    const char* op = "Sound::Sound()";
    std::unique_ptr<ZefStream> stream = owner->fileManager->openFile(fileName);

    WavLayout wav;
    std::string error;
    if (!parseWav(stream->data(), stream->size(), wav, error)) {
        owner->fatalError(op, fileName + ": " + error, -1);
    }
    owner->log("Loading sound file [" + fileName + "], " + std::to_string(wav.dataSize) +
               " bytes .");
    // A file cut short plays what it has, then silence.
    if (!wav.warning.empty()) owner->warn(fileName + ": " + wav.warning);
    format_.channels = wav.channels;
    format_.bitsPerSample = wav.bitsPerSample;
    format_.samplesPerSecond = int(wav.samplesPerSecond);
    dataSize_ = wav.dataSize;
    const uint8_t* samples = stream->data() + wav.dataOffset;

    device_ = owner->sound->device;
    voice_ = device_->createVoice(format_, samples, dataSize_);
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

void Sound::setVolume(int32_t percent) {
    if (voice_ >= 0) device_->setVolume(voice_, percent);
}

void Sound::getFrequency(uint32_t& hz) const {
    if (active()) hz = device_->getFrequency(voice_);
}
