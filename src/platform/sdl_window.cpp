#include <cstdlib>
#include <iostream>

#include "platform/result_codes.h"
#include "platform/sdl_backend.h"

namespace platform {

namespace {

// Full screen scales the picture up; where no real full screen is to be had
// (a virtual X server, a desktop no larger than the picture) a plain window
// shows it at its own size.
bool wantsWindowed(const WindowConfig& config) {
    if (!config.fullscreen || std::getenv("KESTOVA_WINDOWED")) return true;
    SDL_DisplayMode desktop;
    if (SDL_GetDesktopDisplayMode(0, &desktop) != 0) return true;
    return desktop.w <= config.width && desktop.h <= config.height;
}

}  // namespace

SdlWindow::~SdlWindow() {
    close();
}

int32_t SdlWindow::open(const WindowConfig& config) {
    if (window_) return kOk;
    config_ = config;
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        std::cerr << "Display: " << SDL_GetError() << std::endl;
        return kErrGeneric;
    }
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "0");
    SDL_SetHint(SDL_HINT_RENDER_VSYNC, "0");
    const Uint32 base = SDL_WINDOW_BORDERLESS | SDL_WINDOW_SHOWN;
    if (!wantsWindowed(config)) {
        window_ =
            SDL_CreateWindow(config.title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                             config.width, config.height, base | SDL_WINDOW_FULLSCREEN_DESKTOP);
    }
    if (!window_) {
        window_ = SDL_CreateWindow(config.title.c_str(), SDL_WINDOWPOS_CENTERED,
                                   SDL_WINDOWPOS_CENTERED, config.width, config.height, base);
    }
    if (!window_) {
        std::cerr << "Display: " << SDL_GetError() << std::endl;
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return kErrInvalidMode;
    }
    renderer_ = SDL_CreateRenderer(window_, -1, 0);
    if (!renderer_) renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
    if (!renderer_) {
        std::cerr << "Display: " << SDL_GetError() << std::endl;
        close();
        return kErrGeneric;
    }
    // Scaled up with black bars, the aspect kept, nearest neighbour.
    SDL_RenderSetLogicalSize(renderer_, config.width, config.height);
    SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
    SDL_RenderClear(renderer_);
    SDL_RenderPresent(renderer_);
    SDL_ShowCursor(SDL_DISABLE);
    SDL_RaiseWindow(window_);
    return kOk;
}

int32_t SdlWindow::present(const PixelSurface& back) {
    if (!renderer_) return kErrSurfaceLost;
    if (!texture_ || textureW_ != back.width() || textureH_ != back.height()) {
        if (texture_) SDL_DestroyTexture(texture_);
        texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGB565, SDL_TEXTUREACCESS_STREAMING,
                                     back.width(), back.height());
        if (!texture_) return kErrOutOfMemory;
        textureW_ = back.width();
        textureH_ = back.height();
    }
    if (SDL_UpdateTexture(texture_, nullptr, back.pixels(), back.pitch()) != 0) {
        return kErrGeneric;
    }
    SDL_RenderClear(renderer_);
    SDL_RenderCopy(renderer_, texture_, nullptr, nullptr);
    SDL_RenderPresent(renderer_);
    return kOk;
}

void SdlWindow::leaveFullscreen() {
    if (window_) SDL_SetWindowFullscreen(window_, 0);
}

void SdlWindow::close() {
    if (texture_) SDL_DestroyTexture(texture_);
    if (renderer_) SDL_DestroyRenderer(renderer_);
    if (window_) {
        SDL_DestroyWindow(window_);
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }
    texture_ = nullptr;
    renderer_ = nullptr;
    window_ = nullptr;
}

void SdlWindow::setCursorVisible(bool visible) {
    if (window_) SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE);
}

void SdlWindow::pumpEvents() {
    if (!SDL_WasInit(SDL_INIT_VIDEO)) return;
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        if (event.type == SDL_QUIT ||
            (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_CLOSE)) {
            closeRequested();
        }
    }
}

// A borderless full-screen window has no close button; the window manager's
// close (Alt+F4) gives the display back and ends the program normally.
void SdlWindow::closeRequested() {
    close();
    SDL_Quit();
    std::_Exit(0);
}

void SdlWindow::showMessageBox(const std::string& caption, const std::string& text) {
    std::cerr << caption << ": " << text << std::endl;
    if (!window_ && !std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) return;
    leaveFullscreen();
    SDL_ShowCursor(SDL_ENABLE);
    // Without a display the box cannot be shown; the text is on stderr.
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, caption.c_str(), text.c_str(), window_);
}

}  // namespace platform
