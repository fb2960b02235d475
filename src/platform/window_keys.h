#pragma once
#include <cstdint>

namespace platform {

// The keys the window takes for itself before the game reads the keyboard:
// Alt+Enter switches between full screen and a window, Alt+F4 asks to close,
// F12 (with or without Alt) asks for a screenshot, M mutes or unmutes.
// The Alt keys have no part in the game and are never passed on, and a key
// pressed with Alt for the window stays hidden until it is let go, so none
// of them counts as a key hit in the game.
class WindowKeys {
  public:
    enum class Action { None, ToggleFullscreen, Close, Screenshot, ToggleMute };

    // A key going down, by the game's key code; `alt`: an Alt key is held;
    // `repeat`: the keyboard's auto-repeat, which acts only once.
    Action keyDown(uint8_t code, bool alt, bool repeat);
    void keyUp(uint8_t code);
    // Clears the taken keys from a 256-byte key state.
    void mask(uint8_t state[256]) const;

  private:
    bool taken_[256] = {};
};

}  // namespace platform
