#pragma once
// The SDL implementations of the platform interfaces; seen only by the
// platform's own .cpp files.
#include <SDL.h>

#include <memory>

#include "platform/gamepads.h"
#include "platform/mixer.h"
#include "platform/screenshot_key.h"
#include "platform/system.h"

namespace platform {

class SdlWindow : public Window {
  public:
    ~SdlWindow() override;
    int32_t open(const WindowConfig& config) override;
    bool isOpen() const override { return window_ != nullptr; }
    int32_t present(const PixelSurface& back) override;
    void leaveFullscreen() override;
    void close() override;
    void setCursorVisible(bool visible) override;
    int clientWidth() const override { return config_.width; }
    int clientHeight() const override { return config_.height; }
    void pumpEvents() override;
    void showMessageBox(const std::string& caption, const std::string& text) override;
    bool hasFocus() const override {
        return window_ && (SDL_GetWindowFlags(window_) & SDL_WINDOW_INPUT_FOCUS) != 0;
    }

  private:
    [[noreturn]] void closeRequested();
    WindowConfig config_;
    SDL_Window* window_ = nullptr;
    SDL_Renderer* renderer_ = nullptr;
    SDL_Texture* texture_ = nullptr;
    int textureW_ = 0, textureH_ = 0;
};

class SdlInput : public InputDevice {
  public:
    explicit SdlInput(Window& window) : window_(window) {}
    void readKeys(uint8_t state[256]) override;
    void readMouse(MouseState& state) override;
    void setMousePos(int x, int y) override;
    void readPads(PadState pads[2]) override;
    bool screenshotRequested() override { return screenshotKey_.requested(); }

  private:
    Window& window_;
    ScreenshotKey screenshotKey_;
    std::unique_ptr<Gamepads> pads_;  // opened at the first read
};

class SdlClock : public Clock {
  public:
    uint64_t counter() override;
    uint64_t counterFrequency() override;
    void sleepMs(uint32_t ms) override;
    int64_t calendarSeconds() override;
};

class SdlAudio : public AudioDevice {
  public:
    ~SdlAudio() override;
    int32_t open() override;
    bool isOpen() const override { return device_ != 0; }
    VoiceId createVoice(const PcmFormat& format, const uint8_t* data, size_t bytes) override;
    void destroyVoice(VoiceId id) override;
    void play(VoiceId id, bool looping) override;
    void stop(VoiceId id) override;
    void setPosition(VoiceId id, uint32_t byteOffset) override;
    bool isPlaying(VoiceId id) const override;
    void setPan(VoiceId id, int32_t pan) override;
    void setFrequency(VoiceId id, uint32_t hz) override;
    uint32_t getFrequency(VoiceId id) const override;
    void close();

  private:
    static void callback(void* self, Uint8* stream, int len);
    SDL_AudioDeviceID device_ = 0;
    std::unique_ptr<Mixer> mixer_;
};

}  // namespace platform
