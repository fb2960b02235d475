#include "platform/headless.h"

#define XXH_STATIC_LINKING_ONLY  // the hashing state on the stack
#include <xxhash.h>
#if defined(__x86_64__) || defined(_M_X64)
#include <xxh_x86dispatch.h>  // the library's AVX2 path where the processor has it
#endif

#include <algorithm>
#include <cstring>
#include <iostream>

#include "platform/mixer.h"
#include "platform/result_codes.h"
#include "platform/screenshot_key.h"

namespace platform {

namespace {

constexpr int kHeadlessAudioRate = 22050;
constexpr int64_t kDefaultCalendarSeconds = 946684800;  // 2000-01-01, a fixed seed

// XXH3 of the pixels, row by row: it runs at memory speed, so the unpaced
// game is not timing its own test double.
uint64_t frameHash(const PixelSurface& s) {
    const size_t rowBytes = size_t(s.width()) * 2;
    const auto* pixels = reinterpret_cast<const uint8_t*>(s.pixels());
    if (size_t(s.pitch()) == rowBytes) return XXH3_64bits(pixels, rowBytes * size_t(s.height()));
    XXH3_state_t state;
    XXH3_64bits_reset(&state);
    for (int y = 0; y < s.height(); ++y) {
        XXH3_64bits_update(&state, pixels + size_t(y) * size_t(s.pitch()), rowBytes);
    }
    return XXH3_64bits_digest(&state);
}

}  // namespace

struct HeadlessSystem::Impl {
    struct ScriptedKey {
        int code, fromRead, toRead;
    };

    class HWindow : public Window {
      public:
        explicit HWindow(Impl& owner) : o(owner) {}
        int32_t open(const WindowConfig& config) override {
            o.config = config;
            o.windowOpen = true;
            return kOk;
        }
        bool isOpen() const override { return o.windowOpen; }
        int32_t present(const PixelSurface& back) override {
            Frame frame;
            frame.timeMs = uint32_t(o.nowMs);
            frame.hash = frameHash(back);
            frame.width = back.width();
            frame.height = back.height();
            if (o.keepPixels) {
                frame.pixels.resize(size_t(frame.width) * size_t(frame.height));
                for (int y = 0; y < frame.height; ++y) {
                    std::memcpy(&frame.pixels[size_t(y) * size_t(frame.width)],
                                back.pixels() + size_t(y) * (back.pitch() / 2),
                                size_t(frame.width) * 2);
                }
            }
            ++o.presents;
            o.frames.push_back(std::move(frame));
            if (o.self->onPresent) o.self->onPresent(o.frames.back());
            return kOk;
        }
        void leaveFullscreen() override {}
        void close() override { o.windowOpen = false; }
        void setCursorVisible(bool visible) override { o.cursorVisible = visible; }
        int clientWidth() const override { return o.config.width; }
        int clientHeight() const override { return o.config.height; }
        void pumpEvents() override {}
        bool closeRequested() const override { return o.closeRequested; }
        void showMessageBox(const std::string& caption, const std::string& text) override {
            std::cerr << caption << ": " << text << std::endl;
            o.boxes.push_back(caption + "\n" + text);
        }
        bool hasFocus() const override { return o.focus; }

      private:
        Impl& o;
    };

    class HInput : public InputDevice {
      public:
        explicit HInput(Impl& owner) : o(owner) {}
        void readKeys(uint8_t state[256]) override {
            const int index = o.reads++;
            uint8_t held[256] = {};
            if (o.self->onKeyRead) o.self->onKeyRead(index, held);
            for (const ScriptedKey& k : o.script) {
                if (index >= k.fromRead && index < k.toRead) held[k.code & 0xFF] = 0x80;
            }
            for (int i = 0; i < 256; ++i) state[i] = held[i] ? 0x80 : 0;
            o.screenshotKey.take(state);
            o.muteKey.take(state);
        }
        bool screenshotRequested() override { return o.screenshotKey.requested(); }
        bool muteRequested() override { return o.muteKey.requested(); }
        void readMouse(MouseState& state) override { state = o.mouse; }
        void setMousePos(int x, int y) override {
            o.mouse.x = x;
            o.mouse.y = y;
        }

      private:
        Impl& o;
    };

    class HClock : public Clock {
      public:
        explicit HClock(Impl& owner) : o(owner) {}
        uint64_t counter() override { return o.nowMs; }
        uint64_t counterFrequency() override { return 1000; }
        void sleepMs(uint32_t ms) override {
            o.nowMs += ms;
            o.slept += ms;
        }
        int64_t calendarSeconds() override { return o.calendar; }

      private:
        Impl& o;
    };

    class HAudio : public AudioDevice {
      public:
        explicit HAudio(Impl& owner) : o(owner) {}
        int32_t open() override {
            if (!o.audioAvailable) return kErrSoundNoDriver;
            if (!o.mixer) o.mixer.reset(new Mixer(kHeadlessAudioRate));
            return kOk;
        }
        bool isOpen() const override { return o.mixer != nullptr; }
        VoiceId createVoice(const PcmFormat& format, const uint8_t* data, size_t bytes) override {
            const VoiceId id = o.mixer ? o.mixer->createVoice(format, data, bytes) : -1;
            if (id >= 0) o.voices.push_back(id);
            return id;
        }
        void destroyVoice(VoiceId id) override {
            if (o.mixer) o.mixer->destroyVoice(id);
            o.voices.erase(std::remove(o.voices.begin(), o.voices.end(), id), o.voices.end());
        }
        void play(VoiceId id, bool looping) override {
            if (o.mixer) o.mixer->play(id, looping);
        }
        void stop(VoiceId id) override {
            if (o.mixer) o.mixer->stop(id);
        }
        void setPosition(VoiceId id, uint32_t byteOffset) override {
            if (o.mixer) o.mixer->setPosition(id, byteOffset);
        }
        bool isPlaying(VoiceId id) const override { return o.mixer && o.mixer->isPlaying(id); }
        void setPan(VoiceId id, int32_t pan) override {
            if (o.mixer) o.mixer->setPan(id, pan);
        }
        void setFrequency(VoiceId id, uint32_t hz) override {
            if (o.mixer) o.mixer->setFrequency(id, hz);
        }
        uint32_t getFrequency(VoiceId id) const override {
            return o.mixer ? o.mixer->getFrequency(id) : 0;
        }
        void setVolume(VoiceId id, int32_t percent) override {
            if (o.mixer) o.mixer->setVolume(id, percent);
        }

      private:
        Impl& o;
    };

    explicit Impl(HeadlessSystem* owner)
        : self(owner), window(*this), input(*this), clock(*this), audio(*this) {}

    HeadlessSystem* self;
    HWindow window;
    HInput input;
    HClock clock;
    HAudio audio;

    WindowConfig config;
    bool windowOpen = false;
    bool cursorVisible = true;  // a new window shows the pointer
    bool closeRequested = false;
    bool focus = true;
    ScreenshotKey screenshotKey;
    MuteKey muteKey;
    std::vector<ScriptedKey> script;
    int reads = 0;
    MouseState mouse;
    uint64_t nowMs = 0;
    uint64_t slept = 0;
    int64_t calendar = kDefaultCalendarSeconds;
    bool keepPixels = true;
    std::vector<Frame> frames;
    size_t presents = 0;
    std::vector<std::string> boxes;
    bool audioAvailable = true;
    std::unique_ptr<Mixer> mixer;
    std::vector<AudioDevice::VoiceId> voices;  // created and not yet destroyed
};

HeadlessSystem::HeadlessSystem() : impl_(new Impl(this)) {}
HeadlessSystem::~HeadlessSystem() = default;

Window& HeadlessSystem::window() {
    return impl_->window;
}
InputDevice& HeadlessSystem::input() {
    return impl_->input;
}
Clock& HeadlessSystem::clock() {
    return impl_->clock;
}
AudioDevice& HeadlessSystem::audio() {
    return impl_->audio;
}

void HeadlessSystem::holdKey(int code, int fromRead, int toRead) {
    impl_->script.push_back({code, fromRead, toRead});
}
void HeadlessSystem::clearKeys() {
    impl_->script.clear();
}
int HeadlessSystem::keyReads() const {
    return impl_->reads;
}

uint32_t HeadlessSystem::nowMs() const {
    return uint32_t(impl_->nowMs);
}
void HeadlessSystem::advanceMs(uint32_t ms) {
    impl_->clock.sleepMs(ms);
}
void HeadlessSystem::setNowMs(uint64_t ms) {
    impl_->nowMs = ms;
}
uint64_t HeadlessSystem::totalSleptMs() const {
    return impl_->slept;
}
void HeadlessSystem::setCalendarSeconds(int64_t s) {
    impl_->calendar = s;
}

void HeadlessSystem::setKeepPixels(bool keep) {
    impl_->keepPixels = keep;
}
const std::vector<HeadlessSystem::Frame>& HeadlessSystem::frames() const {
    return impl_->frames;
}
size_t HeadlessSystem::presentCount() const {
    return impl_->presents;
}
void HeadlessSystem::clearFrames() {
    impl_->frames.clear();
}
void HeadlessSystem::requestClose() {
    impl_->closeRequested = true;
}
bool HeadlessSystem::cursorVisible() const {
    return impl_->cursorVisible;
}
void HeadlessSystem::setFocus(bool focused) {
    impl_->focus = focused;
}
const std::vector<std::string>& HeadlessSystem::messageBoxes() const {
    return impl_->boxes;
}

void HeadlessSystem::setAudioAvailable(bool available) {
    impl_->audioAvailable = available;
}

std::vector<int16_t> HeadlessSystem::mixAudio(size_t frames) {
    std::vector<int16_t> out(frames * 2, 0);
    if (impl_->mixer) impl_->mixer->mix(out.data(), frames);
    return out;
}

int HeadlessSystem::playingVoices() const {
    return int(
        std::count_if(impl_->voices.begin(), impl_->voices.end(),
                      [this](AudioDevice::VoiceId id) { return impl_->mixer->isPlaying(id); }));
}

int HeadlessSystem::outputRate() const {
    return kHeadlessAudioRate;
}

}  // namespace platform
