#include "shell/playback_system.h"

#include <algorithm>
#include <cstring>

#include "services/dik_codes.h"

class PlaybackSystem::PlaybackWindow : public platform::ForwardingWindow {
  public:
    explicit PlaybackWindow(PlaybackSystem& owner)
        : ForwardingWindow(owner.inner_.window()), owner_(owner) {}
    int32_t present(const platform::PixelSurface& back) override {
        const int32_t result = owner_.show(back);
        if (owner_.replaying_) owner_.pace();
        return result;
    }
    bool hasFocus() const override {
        return owner_.replaying_ && owner_.recordedFocus ? owner_.recordedFocus()
                                                         : inner_.hasFocus();
    }

  private:
    PlaybackSystem& owner_;
};

class PlaybackSystem::PlaybackClock : public platform::Clock {
  public:
    explicit PlaybackClock(PlaybackSystem& owner)
        : owner_(owner), inner_(owner.inner_.clock()), frequency_(inner_.counterFrequency()) {}
    uint64_t counter() override {
        if (!owner_.replaying_) return inner_.counter();
        return base_ + (frequency_ != 0 ? virtualMs_ * frequency_ / 1000 : virtualMs_);
    }
    uint64_t counterFrequency() override { return frequency_; }
    void sleepMs(uint32_t ms) override {
        if (owner_.replaying_) {
            virtualMs_ += ms;
        } else {
            inner_.sleepMs(ms);
        }
    }
    int64_t calendarSeconds() override { return inner_.calendarSeconds(); }
    // Virtual time goes on from the real time of now.
    void startVirtual() {
        base_ = inner_.counter();
        virtualMs_ = 0;
    }
    uint64_t virtualMs() const { return virtualMs_; }
    platform::Clock& inner() { return inner_; }

  private:
    PlaybackSystem& owner_;
    platform::Clock& inner_;
    uint64_t frequency_;
    uint64_t base_ = 0;
    uint64_t virtualMs_ = 0;
};

class PlaybackSystem::PlaybackAudio : public platform::AudioDevice {
  public:
    explicit PlaybackAudio(platform::AudioDevice& inner) : inner_(inner) {}
    int32_t open() override { return inner_.open(); }
    bool isOpen() const override { return inner_.isOpen(); }
    VoiceId createVoice(const platform::PcmFormat& format, const uint8_t* data,
                        size_t bytes) override {
        const VoiceId id = inner_.createVoice(format, data, bytes);
        if (id >= 0) voices_[id] = Voice();
        return id;
    }
    void destroyVoice(VoiceId id) override {
        voices_.erase(id);
        inner_.destroyVoice(id);
    }
    void play(VoiceId id, bool looping) override {
        Voice& v = voices_[id];
        v.looping = looping;
        v.playing = true;
        if (!muted_) inner_.play(id, looping);
    }
    void stop(VoiceId id) override {
        voices_[id].playing = false;
        inner_.stop(id);
    }
    void setPosition(VoiceId id, uint32_t byteOffset) override {
        inner_.setPosition(id, byteOffset);
    }
    bool isPlaying(VoiceId id) const override {
        if (!muted_) return inner_.isPlaying(id);
        const auto v = voices_.find(id);
        return v != voices_.end() && v->second.playing;
    }
    void setPan(VoiceId id, int32_t pan) override { inner_.setPan(id, pan); }
    void setFrequency(VoiceId id, uint32_t hz) override { inner_.setFrequency(id, hz); }
    uint32_t getFrequency(VoiceId id) const override { return inner_.getFrequency(id); }

    void setMuted(bool muted) {
        if (muted == muted_) return;
        muted_ = muted;
        for (auto& [id, v] : voices_) {
            if (muted) {
                v.playing = inner_.isPlaying(id);
                if (v.playing) inner_.stop(id);
            } else if (v.playing && v.looping) {
                inner_.play(id, true);
            } else {
                // A short sound cut off by the silence stays cut off.
                v.playing = false;
            }
        }
    }

  private:
    struct Voice {
        bool looping = false;
        bool playing = false;
    };
    platform::AudioDevice& inner_;
    std::map<VoiceId, Voice> voices_;
    bool muted_ = false;
};

PlaybackSystem::PlaybackSystem(platform::System& inner)
    : inner_(inner),
      window_(std::make_unique<PlaybackWindow>(*this)),
      clock_(std::make_unique<PlaybackClock>(*this)),
      audio_(std::make_unique<PlaybackAudio>(inner.audio())) {}

PlaybackSystem::~PlaybackSystem() = default;

platform::Window& PlaybackSystem::window() {
    return *window_;
}

platform::Clock& PlaybackSystem::clock() {
    return *clock_;
}

platform::AudioDevice& PlaybackSystem::audio() {
    return *audio_;
}

void PlaybackSystem::setReplaying(bool replaying) {
    if (replaying == replaying_) return;
    if (replaying) clock_->startVirtual();
    replaying_ = replaying;
    setSpeed(speed_);
}

void PlaybackSystem::setSpeed(double speed) {
    speed_ = speed;
    realAnchor_ = clock_->inner().counter();
    virtualAnchor_ = clock_->virtualMs();
}

void PlaybackSystem::setMuted(bool muted) {
    audio_->setMuted(muted);
}

void PlaybackSystem::presentStill(const platform::PixelSurface& picture) {
    show(picture);
    setSpeed(speed_);
}

void PlaybackSystem::showNote(const std::string& text, uint32_t forMs) {
    platform::Clock& real = clock_->inner();
    note_ = text;
    noteUntil_ = real.counter() + uint64_t(forMs) * real.counterFrequency() / 1000;
}

int32_t PlaybackSystem::show(const platform::PixelSurface& picture) {
    std::string text;
    if (replaying_) {
        if (statusLine) text = statusLine();
    } else if (!note_.empty() && clock_->inner().counter() < noteUntil_) {
        text = note_;
    }
    const platform::PixelSurface* shown =
        text.empty() || !compose ? nullptr : compose(picture, text);
    return inner_.window().present(shown != nullptr ? *shown : picture);
}

void PlaybackSystem::latchKeys() {
    uint8_t now[256];
    inner_.input().readKeys(now);
    // Keys already down when the replay began are no presses.
    for (int code = 0; code < 256; ++code) {
        if (primed_) hits_[code] |= now[code] & ~held_[code] & 0x80;
    }
    std::memcpy(held_, now, sizeof held_);
    primed_ = true;
}

void PlaybackSystem::takeHits(uint8_t hits[256]) {
    latchKeys();
    std::memcpy(hits, hits_, sizeof hits_);
    std::memset(hits_, 0, sizeof hits_);
}

void PlaybackSystem::pace() {
    platform::Clock& real = clock_->inner();
    const uint64_t frequency = real.counterFrequency();
    if (frequency == 0) return;
    // Where real time should stand for the game time shown so far.
    const double dueMs = double(clock_->virtualMs() - virtualAnchor_) / speed_;
    auto nowMs = [&] { return double(real.counter() - realAnchor_) * 1000.0 / double(frequency); };
    if (nowMs() - dueMs > 250.0) {
        // Far behind (a slow machine at x8): go on from here rather than rush.
        setSpeed(speed_);
        return;
    }
    // A wait of the game (a title card) comes due all at once at the next
    // picture: it is slept in short slices, watching the keys, and Escape
    // cuts it short.
    for (latchKeys(); hits_[DIK_ESCAPE] == 0 && dueMs > nowMs(); latchKeys()) {
        real.sleepMs(uint32_t(std::min(20.0, dueMs - nowMs()) + 0.5));
    }
}
