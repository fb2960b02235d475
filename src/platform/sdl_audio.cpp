#include <iostream>

#include "platform/result_codes.h"
#include "platform/sdl_backend.h"

namespace platform {

namespace {

constexpr int kWantedRate = 22050;
constexpr Uint16 kBufferFrames = 512;

// Holds the device's lock for the scope of one voice operation.
class AudioLock {
  public:
    explicit AudioLock(SDL_AudioDeviceID device) : device_(device) { SDL_LockAudioDevice(device_); }
    ~AudioLock() { SDL_UnlockAudioDevice(device_); }

  private:
    SDL_AudioDeviceID device_;
};

}  // namespace

SdlAudio::~SdlAudio() {
    close();
}

int32_t SdlAudio::open() {
    if (device_) return kOk;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        std::cerr << "Sound: " << SDL_GetError() << std::endl;
        return kErrSoundNoDriver;
    }
    SDL_AudioSpec want{}, have{};
    want.freq = kWantedRate;
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = kBufferFrames;
    want.callback = &SdlAudio::callback;
    want.userdata = this;
    // Any rate the device likes; the mixer resamples to it.
    device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, SDL_AUDIO_ALLOW_FREQUENCY_CHANGE);
    if (device_ == 0) {
        std::cerr << "Sound: " << SDL_GetError() << std::endl;
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return kErrSoundNoDriver;
    }
    mixer_.reset(new Mixer(have.freq));
    SDL_PauseAudioDevice(device_, 0);
    return kOk;
}

void SdlAudio::close() {
    if (!device_) return;
    SDL_CloseAudioDevice(device_);
    device_ = 0;
    mixer_.reset();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void SdlAudio::callback(void* self, Uint8* stream, int len) {
    // SDL holds the device lock while it calls us.
    auto* audio = static_cast<SdlAudio*>(self);
    audio->mixer_->mix(reinterpret_cast<int16_t*>(stream), size_t(len) / 4);
}

AudioDevice::VoiceId SdlAudio::createVoice(const PcmFormat& format, const uint8_t* data,
                                           size_t bytes) {
    if (!device_) return -1;
    AudioLock lock(device_);
    return mixer_->createVoice(format, data, bytes);
}

void SdlAudio::destroyVoice(VoiceId id) {
    if (!device_) return;
    AudioLock lock(device_);
    mixer_->destroyVoice(id);
}

void SdlAudio::play(VoiceId id, bool looping) {
    if (!device_) return;
    AudioLock lock(device_);
    mixer_->play(id, looping);
}

void SdlAudio::stop(VoiceId id) {
    if (!device_) return;
    AudioLock lock(device_);
    mixer_->stop(id);
}

void SdlAudio::setPosition(VoiceId id, uint32_t byteOffset) {
    if (!device_) return;
    AudioLock lock(device_);
    mixer_->setPosition(id, byteOffset);
}

bool SdlAudio::isPlaying(VoiceId id) const {
    if (!device_) return false;
    AudioLock lock(device_);
    return mixer_->isPlaying(id);
}

void SdlAudio::setPan(VoiceId id, int32_t pan) {
    if (!device_) return;
    AudioLock lock(device_);
    mixer_->setPan(id, pan);
}

void SdlAudio::setFrequency(VoiceId id, uint32_t hz) {
    if (!device_) return;
    AudioLock lock(device_);
    mixer_->setFrequency(id, hz);
}

void SdlAudio::setVolume(VoiceId id, int32_t percent) {
    if (!device_) return;
    AudioLock lock(device_);
    mixer_->setVolume(id, percent);
}

uint32_t SdlAudio::getFrequency(VoiceId id) const {
    if (!device_) return 0;
    AudioLock lock(device_);
    return mixer_->getFrequency(id);
}

}  // namespace platform
