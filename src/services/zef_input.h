#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "engine/zef_base.h"
#include "platform/system.h"
#include "services/dik_codes.h"

// Presses keys for other devices (the pads) after each keyboard read, as the
// computer opponent does: into the current array, on top of the keyboard.
class KeyFeed {
  public:
    virtual ~KeyFeed() = default;
    // `frameRead`: the read that starts a frame, not one of a blocking screen.
    // A feed may also mark keys in `oldKeys` that it held at the read before.
    virtual void press(uint8_t keys[256], uint8_t oldKeys[256], bool frameRead) = 0;
};

// The keyboard (and optionally the mouse), read once per frame. Keeps each
// key's state in this update and the one before, so callers can ask both
// "held" and "pressed just now". F10 ends the program from any update; a
// close request ends the blocking waits at their next poll.
class ZefInput : public ZefBase {
  public:
    static constexpr uint32_t kKeyboard = 1;
    static constexpr uint32_t kMouse = 2;

    ZefInput(ZefDX* owner, uint32_t deviceMask);
    ~ZefInput() override;

    void update();
    // The update that starts a frame (the engine's step and a paused match);
    // blocking screens call update().
    void updateFrame();
    bool keyDown(int code) const { return (keys[code & 0xFF] & 0x80) != 0; }
    bool keyHit(int code) const {
        return (keys[code & 0xFF] & 0x80) != 0 && (oldKeys[code & 0xFF] & 0x80) == 0;
    }
    bool anyKeyHit() const;
    void waitForKeyHit();
    void waitForNoKeys();
    void setMousePos(int32_t x, int32_t y, int32_t z);
    // Inside updateFrame's read (a frame's, not a blocking screen's).
    bool frameRead() const { return frameRead_; }

    int32_t minX = 0, minY = 0;
    int32_t maxX = 0, maxY = 0;  // inclusive
    double mouseScale = 1.0;
    double mouseX = 0.0, mouseY = 0.0, mouseZ = 0.0;
    std::string keyNames[256];
    // Public on purpose: the computer opponent presses keys by writing 255
    // here; the next update moves them into the previous array.
    uint8_t keys[256] = {};     // current update
    uint8_t oldKeys[256] = {};  // the update before
    bool mouseEnabled = false;
    bool keyboardEnabled = false;
    platform::MouseState currentMouse;
    platform::MouseState previousMouse;
    KeyFeed* keyFeed = nullptr;  // not owned
    // Called at each press of the mute key, which no key array shows.
    std::function<void()> onMute;

  private:
    platform::InputDevice* device_ = nullptr;
    bool frameRead_ = false;
};
