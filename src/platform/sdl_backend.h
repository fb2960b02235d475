#pragma once
// The SDL implementations of the platform interfaces; seen only by the
// platform's own .cpp files.
#include <SDL.h>

#include <memory>

#include "platform/gamepads.h"
#include "platform/mixer.h"
#include "platform/system.h"
#include "platform/window_keys.h"

namespace platform {

class SdlWindow : public Window {
  public:
    explicit SdlWindow(const DisplayOptions& options) : options_(options) {}
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
    bool closeRequested() const override { return closeRequested_; }
    void showMessageBox(const std::string& caption, const std::string& text) override;
    bool hasFocus() const override {
        return window_ && (SDL_GetWindowFlags(window_) & SDL_WINDOW_INPUT_FOCUS) != 0;
    }
    // Clears the keys the window took for itself from a key state.
    void maskWindowKeys(uint8_t state[256]) const { windowKeys_.mask(state); }
    // True once for each press of F12 since the last call.
    bool takeScreenshotRequest() {
        const bool asked = screenshotRequests_ > 0;
        screenshotRequests_ = 0;
        return asked;
    }

  private:
    void handleEvent(const SDL_Event& event);
    void enterFullscreen();
    void enterWindow();
    void settle();
    void render();
    void dropTextures();
    bool ensureUpscaled(int factor);

    DisplayOptions options_;
    WindowConfig config_;
    SDL_Window* window_ = nullptr;
    SDL_Renderer* renderer_ = nullptr;
    SDL_Texture* picture_ = nullptr;   // the game's frame as it was presented
    SDL_Texture* upscaled_ = nullptr;  // the frame enlarged by a whole factor
    int pictureW_ = 0, pictureH_ = 0;
    int upscaledFactor_ = 0;
    int maxTexture_ = 0;  // 0: no render targets, the frame goes out as it is
    bool hasPicture_ = false;
    bool fullscreen_ = false;
    bool leftForGood_ = false;
    bool cursorVisible_ = false;
    bool closeRequested_ = false;
    int screenshotRequests_ = 0;
    bool toggleWanted_ = false;
    bool redrawWanted_ = false;
    WindowKeys windowKeys_;
};

class SdlInput : public InputDevice {
  public:
    explicit SdlInput(SdlWindow& window) : window_(window) {}
    void readKeys(uint8_t state[256]) override;
    void readMouse(MouseState& state) override;
    void setMousePos(int x, int y) override;
    void readPads(PadState pads[2]) override;
    bool screenshotRequested() override { return window_.takeScreenshotRequest(); }

  private:
    SdlWindow& window_;
    std::unique_ptr<Gamepads> pads_;  // opened at the first read
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
