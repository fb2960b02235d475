#pragma once
#include <cstdint>
#include <string>

#include "engine/frame_pacer.h"
#include "engine/hires_clock.h"
#include "engine/zef_base.h"
#include "platform/rect.h"

namespace platform {
class System;
}
class Surface;
class ZefSound;
class ZefInput;
class ZefFileManager;
class Sound;

using RECT = platform::Rect;

// The engine's root: screen, services and the per-frame step.
class ZefDX : public ZefListOwner {
  public:
    // `window` is the platform the engine draws into and takes its services from.
    ZefDX(platform::System* window, bool fullscreen, int32_t width, int32_t height,
          int32_t bitsPerPixel);
    ~ZefDX() override;

    void createSound();
    void createInput(uint32_t mask);
    void setDisplayMode(int32_t width, int32_t height, int32_t bitsPerPixel);
    void process() override;
    void frame();
    void wait(int32_t milliseconds);
    int32_t setClipRect(const RECT* rect);
    void playAnimation(const std::string& fileName, int32_t x, int32_t y);
    // The player asked to close the program: waits and blocking screens
    // return at their next poll and the main loop ends.
    bool closeRequested() const;

    // Error reporting and log.
    void showError(const std::string& operation, const std::string& message, int32_t code);
    [[noreturn]] void fatalError(const std::string& operation, const std::string& message,
                                 int32_t code);
    void log(const std::string& text);
    // One line on standard error about a file taken with a repair (a sound
    // that ends before its data does); the game goes on.
    void warn(const std::string& text);
    // Saves the picture on screen into the pictures folder and plays
    // `shutterSound`; a failure is one line on standard error.
    void saveScreenshot();

    platform::System* window;
    HiResClock clock;  // the program's one clock, read through the platform
    Surface* front = nullptr;
    Surface* back = nullptr;
    Surface* background = nullptr;
    ZefSound* sound = nullptr;
    ZefInput* input = nullptr;
    ZefFileManager* fileManager = nullptr;
    bool clearEachFrame = true;
    // A replay seeking runs the game dark: nothing drawn, nothing presented.
    bool drawingOff = false;
    bool soundEnabled = true;
    bool stopped = false;
    int32_t debugLevel = 0;
    int32_t width = 0;
    int32_t height = 0;
    int32_t bitsPerPixel = 0;
    int32_t viewX = 0;
    int32_t viewY = 0;
    bool fullscreen = true;
    int32_t timeProcessed = 0;
    int32_t timeStarted = 0;
    int32_t timePresented = 0;
    int32_t frameCounter = 0;
    int32_t pixelFormat = 0;
    RECT clipRect;
    FramePacer pacer;
    // Where log lines go; nothing attaches one in the game, tests may.
    void (*logSink)(const std::string& line, void* context) = nullptr;
    void* logContext = nullptr;
    // Takes warnings over instead of standard error (tests, fuzzers).
    void (*warnSink)(const std::string& line, void* context) = nullptr;
    void* warnContext = nullptr;
    // Takes fatal errors over before the box and the exit (fuzzers throw
    // back to their harness from it). If it returns, the error goes on as usual.
    void (*fatalHook)(const std::string& text, void* context) = nullptr;
    void* fatalContext = nullptr;
    Sound* shutterSound = nullptr;  // not owned
};
