#include <algorithm>
#include <cstdlib>
#include <iostream>

#include "platform/picture_layout.h"
#include "platform/result_codes.h"
#include "platform/sdl_backend.h"
#include "platform/sdl_keymap.h"
#include "platform/text_wrap.h"

namespace platform {

namespace {

// How long a window manager gets to answer a full-screen request before the
// window's size is taken as its answer.
constexpr Uint32 kSettleMs = 200;
constexpr int kMinimumWidth = 320;
constexpr int kMinimumHeight = 240;
// Characters on one line of a message box: well inside a 1024-pixel screen.
constexpr size_t kMessageColumns = 64;

int displayOf(SDL_Window* window) {
    const int index = window != nullptr ? SDL_GetWindowDisplayIndex(window) : 0;
    return index < 0 ? 0 : index;
}

SDL_Rect displayBounds(int display) {
    SDL_Rect bounds{0, 0, 0, 0};
    if (SDL_GetDisplayBounds(display, &bounds) != 0) bounds = SDL_Rect{0, 0, 640, 480};
    return bounds;
}

SDL_Renderer* createRenderer(SDL_Window* window, bool vsync) {
    const Uint32 sync = vsync ? SDL_RENDERER_PRESENTVSYNC : 0;
    for (Uint32 flags :
         {sync, Uint32(0), Uint32(SDL_RENDERER_SOFTWARE | sync), Uint32(SDL_RENDERER_SOFTWARE)}) {
        if (SDL_Renderer* renderer = SDL_CreateRenderer(window, -1, flags)) return renderer;
    }
    return nullptr;
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
    fullscreen_ = config.fullscreen && !options_.windowed;
    leftForGood_ = false;
    closeRequested_ = false;
    // Born borderless at the desktop's size and place for full screen: a bare
    // X server with no window manager to grant it shows that over the whole
    // screen. A window starts at the picture's size and grows to fit.
    const SDL_Rect screen = displayBounds(0);
    window_ = fullscreen_ ? SDL_CreateWindow(config.title.c_str(), screen.x, screen.y, screen.w,
                                             screen.h, SDL_WINDOW_BORDERLESS | SDL_WINDOW_SHOWN)
                          : SDL_CreateWindow(config.title.c_str(), SDL_WINDOWPOS_CENTERED,
                                             SDL_WINDOWPOS_CENTERED, config.width, config.height,
                                             SDL_WINDOW_RESIZABLE | SDL_WINDOW_SHOWN);
    if (!window_) {
        std::cerr << "Display: " << SDL_GetError() << std::endl;
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return kErrInvalidMode;
    }
    SDL_SetWindowMinimumSize(window_, kMinimumWidth, kMinimumHeight);
    renderer_ = createRenderer(window_, options_.vsync);
    if (!renderer_) {
        std::cerr << "Display: " << SDL_GetError() << std::endl;
        close();
        return kErrGeneric;
    }
    SDL_RendererInfo info;
    if (SDL_GetRendererInfo(renderer_, &info) == 0 && (info.flags & SDL_RENDERER_TARGETTEXTURE)) {
        maxTexture_ = std::min(info.max_texture_width, info.max_texture_height);
        if (maxTexture_ <= 0) maxTexture_ = 1 << 14;
    }
    if (fullscreen_) {
        enterFullscreen();
    } else {
        enterWindow();
    }
    SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
    SDL_RenderClear(renderer_);
    SDL_RenderPresent(renderer_);
    setCursorVisible(false);
    SDL_RaiseWindow(window_);
    return kOk;
}

// Full screen where it is granted. The window is made to cover the screen
// first, since without a window manager nobody answers the request; where a
// window manager answers with anything short of the screen, a window it is.
void SdlWindow::enterFullscreen() {
    const SDL_Rect screen = displayBounds(displayOf(window_));
    // The size changes on the way are not the window's own.
    fullscreen_ = true;
    SDL_SetWindowResizable(window_, SDL_FALSE);
    SDL_SetWindowBordered(window_, SDL_FALSE);
    SDL_SetWindowSize(window_, screen.w, screen.h);
    SDL_SetWindowPosition(window_, screen.x, screen.y);
    bool granted = SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN_DESKTOP) == 0;
    settle();
    int w = 0, h = 0;
    SDL_GetWindowSize(window_, &w, &h);
    granted = granted && w >= screen.w && h >= screen.h;
    fullscreen_ = granted;
    if (!granted) enterWindow();
}

// A resizable window, centred, at the largest whole multiple of the picture
// that the desktop has room for.
void SdlWindow::enterWindow() {
    fullscreen_ = false;
    SDL_SetWindowFullscreen(window_, 0);
    SDL_SetWindowBordered(window_, SDL_TRUE);
    SDL_SetWindowResizable(window_, SDL_TRUE);
    const int display = displayOf(window_);
    SDL_Rect usable = displayBounds(display);
    SDL_GetDisplayUsableBounds(display, &usable);
    int top = 0, left = 0, bottom = 0, right = 0;
    if (SDL_GetWindowBordersSize(window_, &top, &left, &bottom, &right) != 0) {
        top = left = bottom = right = 0;
    }
    const Size room{usable.w - left - right, usable.h - top - bottom};
    Size size = windowedSize({config_.width, config_.height}, room);
    if (options_.windowWidth > 0 && options_.windowHeight > 0) {
        size = Size{
            std::clamp(options_.windowWidth, kMinimumWidth, std::max(room.width, kMinimumWidth)),
            std::clamp(options_.windowHeight, kMinimumHeight,
                       std::max(room.height, kMinimumHeight))};
    }
    SDL_SetWindowSize(window_, size.width, size.height);
    SDL_SetWindowPosition(window_, SDL_WINDOWPOS_CENTERED_DISPLAY(display),
                          SDL_WINDOWPOS_CENTERED_DISPLAY(display));
    settle();
    noteWindowedSize();
    ownW_ = windowedW_;
    ownH_ = windowedH_;
}

void SdlWindow::noteWindowedSize() {
    if (!window_ || fullscreen_) return;
    SDL_GetWindowSize(window_, &windowedW_, &windowedH_);
}

// Lets the window manager's answer arrive; the events that come meanwhile
// are handled as usual.
void SdlWindow::settle() {
    const Uint32 start = SDL_GetTicks();
    SDL_Event event;
    while (SDL_GetTicks() - start < kSettleMs) {
        while (SDL_PollEvent(&event)) handleEvent(event);
        SDL_Delay(10);
    }
    redrawWanted_ = true;
}

int32_t SdlWindow::present(const PixelSurface& back) {
    if (!renderer_) return kErrSurfaceLost;
    if (!picture_ || pictureW_ != back.width() || pictureH_ != back.height()) {
        if (picture_) SDL_DestroyTexture(picture_);
        picture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGB565, SDL_TEXTUREACCESS_STREAMING,
                                     back.width(), back.height());
        if (!picture_) return kErrOutOfMemory;
        pictureW_ = back.width();
        pictureH_ = back.height();
        upscaledFactor_ = 0;
    }
    if (SDL_UpdateTexture(picture_, nullptr, back.pixels(), back.pitch()) != 0) {
        return kErrGeneric;
    }
    hasPicture_ = true;
    render();
    return kOk;
}

bool SdlWindow::ensureUpscaled(int factor) {
    if (upscaled_ && upscaledFactor_ == factor) return true;
    if (upscaled_) SDL_DestroyTexture(upscaled_);
    upscaled_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_TARGET,
                                  pictureW_ * factor, pictureH_ * factor);
    upscaledFactor_ = upscaled_ ? factor : 0;
    if (upscaled_) SDL_SetTextureScaleMode(upscaled_, SDL_ScaleModeLinear);
    return upscaled_ != nullptr;
}

// Draws the last presented frame for the window's present size: enlarged by
// a whole factor with nearest neighbour, then smoothly to its place.
void SdlWindow::render() {
    if (!renderer_ || !picture_ || !hasPicture_) return;
    redrawWanted_ = false;
    int outW = 0, outH = 0;
    if (SDL_GetRendererOutputSize(renderer_, &outW, &outH) != 0) return;
    const PictureLayout layout = layoutPicture({pictureW_, pictureH_}, {outW, outH}, maxTexture_);
    const SDL_Rect dest{layout.dest.left, layout.dest.top, layout.dest.width(),
                        layout.dest.height()};
    SDL_Texture* source = picture_;
    if (layout.factor > 1 && ensureUpscaled(layout.factor) &&
        SDL_SetRenderTarget(renderer_, upscaled_) == 0) {
        SDL_SetTextureScaleMode(picture_, SDL_ScaleModeNearest);
        SDL_RenderCopy(renderer_, picture_, nullptr, nullptr);
        SDL_SetRenderTarget(renderer_, nullptr);
        source = upscaled_;
    } else {
        SDL_SetTextureScaleMode(picture_, SDL_ScaleModeLinear);
    }
    SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
    SDL_RenderClear(renderer_);
    SDL_RenderCopy(renderer_, source, nullptr, &dest);
    SDL_RenderPresent(renderer_);
}

void SdlWindow::dropTextures() {
    if (upscaled_) SDL_DestroyTexture(upscaled_);
    if (picture_) SDL_DestroyTexture(picture_);
    upscaled_ = nullptr;
    picture_ = nullptr;
    upscaledFactor_ = 0;
    pictureW_ = pictureH_ = 0;
    hasPicture_ = false;
}

void SdlWindow::leaveFullscreen() {
    leftForGood_ = true;
    if (window_ && fullscreen_) enterWindow();
}

void SdlWindow::close() {
    dropTextures();
    if (renderer_) SDL_DestroyRenderer(renderer_);
    if (window_) {
        SDL_DestroyWindow(window_);
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }
    renderer_ = nullptr;
    window_ = nullptr;
    maxTexture_ = 0;
}

void SdlWindow::setCursorVisible(bool visible) {
    cursorVisible_ = visible;
    if (window_) SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE);
}

void SdlWindow::pumpEvents() {
    if (!SDL_WasInit(SDL_INIT_VIDEO)) return;
    SDL_Event event;
    while (SDL_PollEvent(&event)) handleEvent(event);
    if (toggleWanted_ && window_ && !leftForGood_) {
        toggleWanted_ = false;
        toggled_ = true;
        if (fullscreen_) {
            enterWindow();
        } else {
            enterFullscreen();
        }
    }
    if (redrawWanted_) render();
}

void SdlWindow::handleEvent(const SDL_Event& event) {
    switch (event.type) {
        case SDL_QUIT:  // also what SIGINT and SIGTERM become
            closeRequested_ = true;
            break;
        case SDL_WINDOWEVENT:
            if (event.window.event == SDL_WINDOWEVENT_CLOSE) closeRequested_ = true;
            // Between two frames the last one is shown again at the new size.
            if (event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED ||
                event.window.event == SDL_WINDOWEVENT_EXPOSED) {
                redrawWanted_ = true;
            }
            if (event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) noteWindowedSize();
            break;
        case SDL_KEYDOWN: {
            const bool alt = (event.key.keysym.mod & KMOD_ALT) != 0;
            switch (windowKeys_.keyDown(dikFromScancode(event.key.keysym.scancode), alt,
                                        event.key.repeat != 0)) {
                case WindowKeys::Action::ToggleFullscreen:
                    toggleWanted_ = !toggleWanted_;
                    break;
                case WindowKeys::Action::Close:
                    closeRequested_ = true;
                    break;
                case WindowKeys::Action::Screenshot:
                    ++screenshotRequests_;
                    break;
                case WindowKeys::Action::ToggleMute:
                    ++muteRequests_;
                    break;
                case WindowKeys::Action::None:
                    break;
            }
            break;
        }
        case SDL_KEYUP:
            windowKeys_.keyUp(dikFromScancode(event.key.keysym.scancode));
            break;
        case SDL_RENDER_DEVICE_RESET:
            // The textures are gone; the next present builds them again.
            dropTextures();
            break;
        default:
            break;
    }
}

void SdlWindow::showMessageBox(const std::string& caption, const std::string& text) {
    std::cerr << caption << ": " << text << std::endl;
    // Without a display the box cannot be shown; the text is on stderr.
    if (!window_ && !std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) return;
    // SDL shows the box from a forked child. A program leaving for good gives
    // the display back first: the renderer's threads, running on at the fork,
    // could leave the child's Xlib half-changed, and it crashed before
    // showing the box.
    if (leftForGood_) close();
    const bool comeBack = window_ && fullscreen_ && !leftForGood_;
    if (comeBack) SDL_SetWindowFullscreen(window_, 0);
    SDL_ShowCursor(SDL_ENABLE);
    // Wrapped so that the box fits a small screen.
    const std::string lines = wrapText(text, kMessageColumns);
    if (SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, caption.c_str(), lines.c_str(), window_) !=
        0) {
        std::cerr << "kestova: the error box could not be shown: " << SDL_GetError() << std::endl;
    }
    if (!window_ || leftForGood_) return;
    // Only a fatal error leaves full screen for good; after any other box the
    // display is as it was.
    if (comeBack) enterFullscreen();
    setCursorVisible(cursorVisible_);
    render();
}

}  // namespace platform
