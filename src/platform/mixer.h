#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/system.h"

namespace platform {

// Our own mixer of static voices: per-voice pitch (linear interpolation),
// pan in hundredths of a decibel, looping. No locking: the SDL backend wraps
// calls in its audio lock, the headless backend calls it directly.
class Mixer {
  public:
    explicit Mixer(int outputRate = 22050);
    int outputRate() const;

    AudioDevice::VoiceId createVoice(const PcmFormat& format, const uint8_t* data, size_t bytes);
    void destroyVoice(AudioDevice::VoiceId id);
    void play(AudioDevice::VoiceId id, bool looping);
    void stop(AudioDevice::VoiceId id);
    void setPosition(AudioDevice::VoiceId id, uint32_t byteOffset);
    bool isPlaying(AudioDevice::VoiceId id) const;
    void setPan(AudioDevice::VoiceId id, int32_t pan);
    void setFrequency(AudioDevice::VoiceId id, uint32_t hz);
    uint32_t getFrequency(AudioDevice::VoiceId id) const;
    void setVolume(AudioDevice::VoiceId id, int32_t percent);

    // Adds nothing to the caller's buffer: writes `frames` interleaved
    // stereo frames, the sum of all playing voices, saturated.
    void mix(int16_t* out, size_t frames);

  private:
    struct Voice {
        AudioDevice::VoiceId id = -1;
        PcmFormat format;
        std::vector<int16_t> samples;  // converted to signed 16-bit, interleaved
        size_t frameCount = 0;
        double position = 0.0;  // in source frames
        bool playing = false;
        bool looping = false;
        int32_t pan = 0;
        uint32_t frequency = 0;  // 0: the file's own rate
        float volume = 1.0f;
    };
    Voice* find(AudioDevice::VoiceId id);
    const Voice* find(AudioDevice::VoiceId id) const;
    int outputRate_;
    AudioDevice::VoiceId nextId_ = 1;  // ids are never reused
    std::vector<Voice> voices_;
};

}  // namespace platform
