#include "platform/mixer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace platform {

namespace {

constexpr uint32_t kMinFrequency = 100;
constexpr uint32_t kMaxFrequency = 200000;
constexpr int32_t kPanLimit = 10000;  // hundredths of a dB; the far side is then silent
constexpr size_t kChunkFrames = 256;

// Gain of the channel a pan turns away from: |pan| hundredths of a decibel down.
float attenuation(int32_t pan) {
    const int32_t a = std::abs(pan);
    if (a >= kPanLimit) return 0.0f;
    return float(std::pow(10.0, -a / 2000.0));
}

int16_t saturate(float v) {
    if (v >= 32767.0f) return 32767;
    if (v <= -32768.0f) return -32768;
    return int16_t(std::lrint(v));
}

}  // namespace

Mixer::Mixer(int outputRate) : outputRate_(outputRate > 0 ? outputRate : 22050) {}

int Mixer::outputRate() const {
    return outputRate_;
}

AudioDevice::VoiceId Mixer::createVoice(const PcmFormat& format, const uint8_t* data,
                                        size_t bytes) {
    if ((format.channels != 1 && format.channels != 2) ||
        (format.bitsPerSample != 8 && format.bitsPerSample != 16) || format.samplesPerSecond <= 0) {
        return -1;
    }
    Voice voice;
    voice.id = nextId_++;
    voice.format = format;
    const size_t bytesPerSample = size_t(format.bitsPerSample / 8);
    const size_t blockAlign = bytesPerSample * size_t(format.channels);
    voice.frameCount = data ? bytes / blockAlign : 0;
    const size_t count = voice.frameCount * size_t(format.channels);
    voice.samples.resize(count);
    if (bytesPerSample == 1) {
        for (size_t i = 0; i < count; ++i) {
            // Unsigned 8-bit; a multiply, since shifting a negative value is undefined.
            voice.samples[i] = int16_t((int(data[i]) - 128) * 256);
        }
    } else if (count > 0) {
#if __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
        // Little-endian 16-bit samples are already what this processor holds.
        std::memcpy(voice.samples.data(), data, count * 2);
#else
        for (size_t i = 0; i < count; ++i) {
            voice.samples[i] = int16_t(uint16_t(data[2 * i] | data[2 * i + 1] << 8));
        }
#endif
    }
    voices_.push_back(std::move(voice));
    return voices_.back().id;
}

void Mixer::destroyVoice(AudioDevice::VoiceId id) {
    voices_.erase(
        std::remove_if(voices_.begin(), voices_.end(), [id](const Voice& v) { return v.id == id; }),
        voices_.end());
}

void Mixer::play(AudioDevice::VoiceId id, bool looping) {
    if (Voice* v = find(id)) {
        v->looping = looping;
        v->playing = v->frameCount > 0;
    }
}

void Mixer::stop(AudioDevice::VoiceId id) {
    if (Voice* v = find(id)) v->playing = false;
}

void Mixer::setPosition(AudioDevice::VoiceId id, uint32_t byteOffset) {
    Voice* v = find(id);
    if (!v) return;
    const uint32_t blockAlign = uint32_t(v->format.channels * v->format.bitsPerSample / 8);
    const size_t frame = byteOffset / blockAlign;
    // A position past the end is refused, as the sound device refuses it.
    if (frame < v->frameCount || frame == 0) v->position = double(frame);
}

bool Mixer::isPlaying(AudioDevice::VoiceId id) const {
    const Voice* v = find(id);
    return v && v->playing;
}

void Mixer::setPan(AudioDevice::VoiceId id, int32_t pan) {
    if (Voice* v = find(id)) v->pan = std::clamp(pan, -kPanLimit, kPanLimit);
}

void Mixer::setFrequency(AudioDevice::VoiceId id, uint32_t hz) {
    if (Voice* v = find(id))
        v->frequency = hz == 0 ? 0 : std::clamp(hz, kMinFrequency, kMaxFrequency);
}

uint32_t Mixer::getFrequency(AudioDevice::VoiceId id) const {
    const Voice* v = find(id);
    if (!v) return 0;
    return v->frequency != 0 ? v->frequency : uint32_t(v->format.samplesPerSecond);
}

void Mixer::setVolume(AudioDevice::VoiceId id, int32_t percent) {
    if (Voice* v = find(id)) v->volume = float(std::clamp(percent, 0, 100)) / 100.0f;
}

void Mixer::mix(int16_t* out, size_t frames) {
    float acc[2 * kChunkFrames];
    while (frames > 0) {
        const size_t n = std::min(frames, kChunkFrames);
        std::fill(acc, acc + 2 * n, 0.0f);
        for (Voice& v : voices_) {
            if (!v.playing) continue;
            const double step = double(getFrequency(v.id)) / outputRate_;
            // Negative pan keeps the sound on the left by turning the right down.
            const float gainL = v.volume * (v.pan > 0 ? attenuation(v.pan) : 1.0f);
            const float gainR = v.volume * (v.pan < 0 ? attenuation(v.pan) : 1.0f);
            const int ch = v.format.channels;
            const double length = double(v.frameCount);
            for (size_t i = 0; i < n; ++i) {
                const size_t i0 = size_t(v.position);
                const float frac = float(v.position - double(i0));
                // The next frame wraps to the start when looping, so the seam
                // is interpolated like any other pair of frames.
                size_t i1 = i0 + 1;
                if (i1 >= v.frameCount) i1 = v.looping ? 0 : i0;
                const int16_t* a = &v.samples[i0 * ch];
                const int16_t* b = &v.samples[i1 * ch];
                const float left = a[0] + (b[0] - a[0]) * frac;
                const float right = ch == 2 ? a[1] + (b[1] - a[1]) * frac : left;
                acc[2 * i] += left * gainL;
                acc[2 * i + 1] += right * gainR;
                v.position += step;
                if (v.position >= length) {
                    if (v.looping) {
                        v.position = std::fmod(v.position, length);
                    } else {
                        // A finished one-shot rewinds, so playing it again
                        // plays it whole.
                        v.playing = false;
                        v.position = 0.0;
                        break;
                    }
                }
            }
        }
        for (size_t i = 0; i < 2 * n; ++i) out[i] = saturate(acc[i]);
        out += 2 * n;
        frames -= n;
    }
}

Mixer::Voice* Mixer::find(AudioDevice::VoiceId id) {
    for (Voice& v : voices_) {
        if (v.id == id) return &v;
    }
    return nullptr;
}

const Mixer::Voice* Mixer::find(AudioDevice::VoiceId id) const {
    for (const Voice& v : voices_) {
        if (v.id == id) return &v;
    }
    return nullptr;
}

}  // namespace platform
