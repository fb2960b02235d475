#include "engine/zef_dx.h"

#include <cstdio>
#include <cstdlib>

#include "engine/error_codes.h"
#include "engine/surface.h"
#include "platform/fatal_signals.h"
#include "platform/result_codes.h"
#include "platform/system.h"
#include "services/zef_file_manager.h"
#include "services/zef_input.h"
#include "services/zef_sound.h"

namespace {
constexpr uint8_t kEscape = 0x01;
constexpr uint8_t kSpace = 0x39;
// -1 as the process's status: 255.
constexpr int kFatalExitCode = -1;
}  // namespace

ZefDX::ZefDX(platform::System* window, bool fullscreen, int32_t width, int32_t height,
             int32_t bitsPerPixel)
    : ZefListOwner(nullptr),
      window(window),
      clock(window->clock()),
      fullscreen(fullscreen),
      pacer(clock) {
    pacer.start(0);
    this->width = width;
    this->height = height;
    this->bitsPerPixel = bitsPerPixel;
    fileManager = new ZefFileManager(this);

    platform::WindowConfig config;
    config.width = width;
    config.height = height;
    config.fullscreen = fullscreen;
    int32_t result = window->window().open(config);
    if (result != platform::kOk)
        fatalError("ZefDX::ZefDX()", "Cannot create DirectDraw object", result);
    if (!fullscreen) {
        this->width = window->window().clientWidth();
        this->height = window->window().clientHeight();
    }
    setDisplayMode(width, height, bitsPerPixel);

    front = new Surface(this);
    back = new Surface(this);
    front->createAsFront();
    back->createAsBack();
    front->blitFlags = 0;
    back->blitFlags = 0;
    setClipRect(nullptr);
    // The platform's pictures are always 5-6-5.
    pixelFormat = 565;
}

ZefDX::~ZefDX() {
    delete fileManager;
    fileManager = nullptr;
    delete sound;
    sound = nullptr;
    delete input;
    input = nullptr;
    delete back;
    back = nullptr;
    delete front;
    front = nullptr;
    // Leaving the screen gives the desktop back its own mode.
    window->window().close();
    // The list part then deletes every child still in it.
}

void ZefDX::createSound() {
    sound = new ZefSound(this);
}

void ZefDX::createInput(uint32_t mask) {
    input = new ZefInput(this, mask);
}

void ZefDX::setDisplayMode(int32_t width, int32_t height, int32_t bitsPerPixel) {
    if (!fullscreen) return;
    this->width = width;
    this->height = height;
    this->bitsPerPixel = bitsPerPixel;
    // The window scales any picture size; only the pixel depth is fixed.
    if (bitsPerPixel != 16 || width <= 0 || height <= 0) {
        fatalError("ZefDX::setDisplayMode()",
                   "Cannot set video mode " + std::to_string(width) + "x" + std::to_string(height) +
                       "x" + std::to_string(bitsPerPixel),
                   platform::kErrInvalidMode);
    }
}

void ZefDX::process() {
    if (stopped) return;
    if (input != nullptr) input->updateFrame();
    timeStarted = pacer.elapsed();
    if (clearEachFrame) {
        if (background != nullptr) {
            background->blitFlags = 0;
            background->blit(back, 0, 0, nullptr, nullptr, 1.0);
        } else {
            back->fill(nullptr, 0);
        }
    }
    ZefListOwner::process();
    timeProcessed = pacer.elapsed();
    if (debugLevel > 0) {
        // One pixel per millisecond: white is the period, the others how far
        // the frame had come at each stage.
        RECT period{0, 0, pacer.periodMs, 4};
        back->fillRGB(&period, 0xFFFFFF);
        RECT presented{0, 1, timePresented, 3};
        back->fillRGB(&presented, 0x0000FF);
        RECT processed{0, 1, timeProcessed, 3};
        back->fillRGB(&processed, 0x00FF00);
        RECT started{0, 1, timeStarted, 3};
        back->fillRGB(&started, 0xFF0000);
    }
    frame();
    timePresented = pacer.elapsed();
    pacer.wait();
    frameCounter += 1;
}

void ZefDX::frame() {
    if (!drawingOff) window->window().present(*back->ddSurface);
    if (!fullscreen) return;
    // A flip: the picture just shown becomes the front, the old front the
    // back, so the back holds the picture shown before this one.
    // The clip list belongs to the back surface, whichever picture it holds.
    bool clipped = back->ddSurface->hasClipper();
    RECT clip = back->ddSurface->clipRect();
    std::swap(front->ddSurface, back->ddSurface);
    front->ddSurface->removeClipper();
    if (clipped) back->ddSurface->setClipper(clip);
}

void ZefDX::wait(int32_t milliseconds) {
    int32_t steps = milliseconds / 50;
    for (int32_t i = 0; i < steps; ++i) {
        if (input != nullptr) {
            input->update();
            if (input->keyHit(kEscape) || input->keyHit(kSpace)) return;
        }
        if (closeRequested()) return;
        clock.sleepMs(50);
    }
}

bool ZefDX::closeRequested() const {
    return window->window().closeRequested();
}

int32_t ZefDX::setClipRect(const RECT* rect) {
    if (rect == nullptr) {
        clipRect = RECT{0, 0, back->width, back->height};
        return back->setClipRect(&clipRect);
    }
    return back->setClipRect(rect);
}

void ZefDX::showError(const std::string& operation, const std::string& message, int32_t code) {
    window->window().showMessageBox("ZefDX Error", formatErrorText(operation, message, code));
}

void ZefDX::fatalError(const std::string& operation, const std::string& message, int32_t code) {
    if (fatalHook != nullptr) fatalHook(formatErrorText(operation, message, code), fatalContext);
    // What must not outlive the program is undone before the box waits.
    platform::beforeFatalExit();
    window->window().leaveFullscreen();
    platform::exitOnTerminationSignals(kFatalExitCode);
    showError(operation, message, code);
    stopped = true;
    // No destructor runs; the system takes the devices back.
    std::_Exit(kFatalExitCode);
}

void ZefDX::log(const std::string& text) {
    if (logSink != nullptr) logSink(text, logContext);
}

void ZefDX::warn(const std::string& text) {
    if (warnSink != nullptr) {
        warnSink(text, warnContext);
    } else {
        std::fprintf(stderr, "kestova: warning: %s\n", text.c_str());
    }
}
