#pragma once
#include <cstdint>
#include <string>

#include "engine/zef_base.h"
#include "platform/system.h"

// One WAV file held whole in a voice of the sound device. Plays only while
// the engine's sound is enabled; without a device it stays empty and silent.
class Sound : public ZefBase {
  public:
    // `fileName` as the archive knows it, e.g. "sfx/splash.wav".
    Sound(ZefDX* owner, const std::string& fileName);
    ~Sound() override;

    void play(bool looping);  // from the current position
    void stop();              // the position stays
    void rewind();
    void setPan(int32_t pan);         // hundredths of a dB, -10000 left to 10000 right
    void setFrequency(uint32_t hz);   // 0 restores the file's own rate
    void setVolume(int32_t percent);  // 0 to 100 of the file's own loudness
    // Writes the playback rate into `hz`; leaves it alone when silent.
    void getFrequency(uint32_t& hz) const;
    bool playing() const;
    // Whether the last play() asked for a loop.
    bool looping() const { return looping_; }

    bool loaded() const { return voice_ >= 0; }
    const platform::PcmFormat& format() const { return format_; }
    uint32_t dataSize() const { return dataSize_; }

  private:
    bool active() const;
    platform::AudioDevice* device_ = nullptr;
    platform::AudioDevice::VoiceId voice_ = -1;
    platform::PcmFormat format_;
    uint32_t dataSize_ = 0;
    bool looping_ = false;
};
