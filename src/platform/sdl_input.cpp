#include "platform/sdl_backend.h"
#include "platform/sdl_keymap.h"

namespace platform {

void SdlInput::readKeys(uint8_t state[256]) {
    // Pumping here also lets a close request through during blocking key waits.
    window_.pumpEvents();
    int count = 0;
    const Uint8* keys = SDL_GetKeyboardState(&count);
    mapKeyboardState(keys, count, state);
    window_.maskWindowKeys(state);
}

void SdlInput::readPads(PadState pads[2]) {
    if (!pads_) pads_ = createSdlGamepads();
    pads_->read(pads);
}

void SdlInput::readMouse(MouseState& state) {
    int x = 0, y = 0;
    const Uint32 buttons = SDL_GetMouseState(&x, &y);
    state.x = x;
    state.y = y;
    state.z = 0;
    state.buttons[0] = (buttons & SDL_BUTTON_LMASK) ? 0x80 : 0;
    state.buttons[1] = (buttons & SDL_BUTTON_RMASK) ? 0x80 : 0;
    state.buttons[2] = (buttons & SDL_BUTTON_MMASK) ? 0x80 : 0;
    state.buttons[3] = (buttons & SDL_BUTTON_X1MASK) ? 0x80 : 0;
}

void SdlInput::setMousePos(int x, int y) {
    if (SDL_Window* w = SDL_GetMouseFocus()) SDL_WarpMouseInWindow(w, x, y);
}

}  // namespace platform
