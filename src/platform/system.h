#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "platform/pixel_surface.h"
#include "platform/rect.h"

namespace platform {

struct WindowConfig {
    std::string title = "Kestova!";
    int width = 640;
    int height = 480;
    bool fullscreen = true;
};

// The main window and its picture.
class Window {
  public:
    virtual ~Window() = default;
    // Opens the window (full screen when asked and possible). Returns a
    // result code; kOk on success.
    virtual int32_t open(const WindowConfig& config) = 0;
    virtual bool isOpen() const = 0;
    // Shows a 640x480-style back picture, scaled into the window with its
    // aspect kept. Returns a result code.
    virtual int32_t present(const PixelSurface& back) = 0;
    // Gives the desktop back for good: only a fatal error box calls it.
    virtual void leaveFullscreen() = 0;
    virtual void close() = 0;
    virtual void setCursorVisible(bool visible) = 0;
    virtual int clientWidth() const = 0;
    virtual int clientHeight() const = 0;
    // Delivers pending window-system messages.
    virtual void pumpEvents() = 0;
    // True once the player asked to close the program (the window manager's
    // close, Alt+F4, SIGTERM, SIGINT). Noted while pumping; it never ends the
    // process by itself: the game's waits and loops look at it and wind down.
    virtual bool closeRequested() const = 0;
    // A modal box with one OK button; returns when it is closed. Also writes
    // the text to standard error. The display is as it was afterwards: full
    // screen and a hidden pointer come back.
    virtual void showMessageBox(const std::string& caption, const std::string& text) = 0;
    // Whether the window has the keyboard focus; a window that cannot tell has it.
    virtual bool hasFocus() const { return true; }
    // Whether the player switched between full screen and a window
    // (Alt+Enter), and if so which one they left it in.
    virtual bool chosenFullscreen(bool& fullscreen) const {
        (void)fullscreen;
        return false;
    }
    // The size the player gave the window by resizing it; 0 x 0 if none.
    virtual void chosenWindowSize(int& width, int& height) const { width = height = 0; }
};

// A window that hands every call to another; wrappers override what they change,
// so that no call is silently left at its default.
class ForwardingWindow : public Window {
  public:
    explicit ForwardingWindow(Window& inner) : inner_(inner) {}
    int32_t open(const WindowConfig& config) override { return inner_.open(config); }
    bool isOpen() const override { return inner_.isOpen(); }
    int32_t present(const PixelSurface& back) override { return inner_.present(back); }
    void leaveFullscreen() override { inner_.leaveFullscreen(); }
    void close() override { inner_.close(); }
    void setCursorVisible(bool visible) override { inner_.setCursorVisible(visible); }
    int clientWidth() const override { return inner_.clientWidth(); }
    int clientHeight() const override { return inner_.clientHeight(); }
    void pumpEvents() override { inner_.pumpEvents(); }
    bool closeRequested() const override { return inner_.closeRequested(); }
    void showMessageBox(const std::string& caption, const std::string& text) override {
        inner_.showMessageBox(caption, text);
    }
    bool hasFocus() const override { return inner_.hasFocus(); }
    bool chosenFullscreen(bool& fullscreen) const override {
        return inner_.chosenFullscreen(fullscreen);
    }
    void chosenWindowSize(int& width, int& height) const override {
        inner_.chosenWindowSize(width, height);
    }

  protected:
    Window& inner_;
};

struct MouseState {
    int32_t x = 0, y = 0, z = 0;  // absolute axes
    uint8_t buttons[4] = {0, 0, 0, 0};
};

// One game pad as its layout names it (SDL's game controller mapping).
struct PadState {
    enum Button : uint16_t {
        kDpadUp = 1 << 0,
        kDpadDown = 1 << 1,
        kDpadLeft = 1 << 2,
        kDpadRight = 1 << 3,
        kSouth = 1 << 4,  // A
        kEast = 1 << 5,   // B
        kStart = 1 << 6,
        kBack = 1 << 7,
        kRightShoulder = 1 << 8,
    };
    bool connected = false;
    uint16_t buttons = 0;          // Button bits held
    int16_t leftX = 0, leftY = 0;  // left stick, -32768..32767, +y down
};

// The keyboard and mouse, read once per input update.
class InputDevice {
  public:
    virtual ~InputDevice() = default;
    // Fills 256 bytes indexed by the DirectInput-style scan codes the game
    // uses (0x01 Escape, 0x39 Space, 0x44 F10, ...): 0x80 when down, else 0.
    // Pumps the window system as needed, so a close request is seen here too.
    // Keys the window itself takes (Alt, Alt+Enter, Alt+F4) never show here.
    virtual void readKeys(uint8_t state[256]) = 0;
    virtual void readMouse(MouseState& state) = 0;
    virtual void setMousePos(int x, int y) = 0;
    // The pads playing the left (0) and the right (1) side; unplugged sides
    // read as not connected.
    virtual void readPads(PadState pads[2]) { pads[0] = pads[1] = PadState(); }
    // True once for each press of the screenshot key (F12), which readKeys
    // takes for the window and never reports.
    virtual bool screenshotRequested() { return false; }
    // True once for each press of the mute key (M), which readKeys also
    // takes for the window.
    virtual bool muteRequested() { return false; }
};

// Milliseconds and sleep. Real time in the game, virtual time in tests.
class Clock {
  public:
    virtual ~Clock() = default;
    virtual uint64_t counter() = 0;           // ticks since an arbitrary origin
    virtual uint64_t counterFrequency() = 0;  // ticks per second; 0 if none
    virtual void sleepMs(uint32_t ms) = 0;
    virtual int64_t calendarSeconds() = 0;  // seeds the random generator

    // Whole milliseconds since the counter's origin (the counter itself when
    // it has no frequency).
    uint64_t milliseconds() {
        const uint64_t ticks = counter(), frequency = counterFrequency();
        if (frequency == 0) return ticks;
        return ticks / frequency * 1000 + ticks % frequency * 1000 / frequency;
    }
};

// The machine's monotonic clock, the real game's; its sleep really waits.
Clock& steadyClock();

// PCM as it lies in a sound file.
struct PcmFormat {
    int channels = 2;        // 1 or 2
    int bitsPerSample = 16;  // 8 (unsigned) or 16 (signed)
    int samplesPerSecond = 22050;
};

// A mixing output of static voices with per-voice pitch and pan.
class AudioDevice {
  public:
    virtual ~AudioDevice() = default;
    // Opens the output (16-bit stereo, 22050 Hz or the device's own rate).
    // Returns a result code; on failure the device stays silent.
    virtual int32_t open() = 0;
    virtual bool isOpen() const = 0;

    using VoiceId = int32_t;
    // Copies the samples; returns -1 when not open.
    virtual VoiceId createVoice(const PcmFormat& format, const uint8_t* data, size_t bytes) = 0;
    virtual void destroyVoice(VoiceId id) = 0;
    virtual void play(VoiceId id, bool looping) = 0;  // from the current position
    virtual void stop(VoiceId id) = 0;                // position stays
    virtual void setPosition(VoiceId id, uint32_t byteOffset) = 0;
    virtual bool isPlaying(VoiceId id) const = 0;
    // Hundredths of a decibel, -10000 (left only) to 10000 (right only);
    // the opposite channel is attenuated by |pan|/100 dB. Clamped.
    virtual void setPan(VoiceId id, int32_t pan) = 0;
    // Playback rate in samples per second; 0 restores the file's own rate.
    virtual void setFrequency(VoiceId id, uint32_t hz) = 0;
    virtual uint32_t getFrequency(VoiceId id) const = 0;
    // Loudness in percent of the file's own, 0 (silent) to 100; a device
    // without volume plays everything at full.
    virtual void setVolume(VoiceId id, int32_t percent) {
        (void)id;
        (void)percent;
    }
};

// Everything the engine takes from the outside world.
class System {
  public:
    virtual ~System() = default;
    virtual Window& window() = 0;
    virtual InputDevice& input() = 0;
    virtual Clock& clock() = 0;
    virtual AudioDevice& audio() = 0;
};

// How the real window shows the picture. Either way the game draws the same
// 640x480 frames; Alt+Enter switches between the two at any time.
struct DisplayOptions {
    bool windowed = false;  // a resizable window instead of the whole screen
    bool vsync = true;      // where the renderer offers it
    // The window's size; 0: the largest whole multiple of the picture that fits.
    int windowWidth = 0;
    int windowHeight = 0;
};

// The real game: SDL2 window, keyboard, audio and clock.
std::unique_ptr<System> createSdlSystem(const DisplayOptions& options = {});

}  // namespace platform
