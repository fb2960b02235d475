#pragma once
#include <climits>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/system.h"

namespace platform {

// The twin of the SDL system for tests: no window, a virtual millisecond
// clock whose sleep advances time at once, keys scripted per input read,
// every presented frame kept, audio mixed on demand into a buffer.
class HeadlessSystem : public System {
  public:
    HeadlessSystem();
    ~HeadlessSystem() override;

    Window& window() override;
    InputDevice& input() override;
    Clock& clock() override;
    AudioDevice& audio() override;

    // --- keys ---
    // Holds `code` down for the reads numbered [fromRead, toRead) (reads are
    // counted from 0, one per readKeys call).
    void holdKey(int code, int fromRead, int toRead = INT_MAX);
    // Releases every scripted key.
    void clearKeys();
    // Called at every read with the read's number, before the state is
    // built; may change the script or hold keys itself through `held`.
    std::function<void(int readIndex, uint8_t held[256])> onKeyRead;
    int keyReads() const;

    // --- clock ---
    uint32_t nowMs() const;         // virtual milliseconds
    void advanceMs(uint32_t ms);    // what sleepMs does
    void setNowMs(uint64_t ms);     // e.g. just below a 32-bit wrap
    uint64_t totalSleptMs() const;  // every sleep added up
    void setCalendarSeconds(int64_t s);

    // --- frames ---
    struct Frame {
        uint32_t timeMs = 0;
        uint64_t hash = 0;             // XXH3 (64 bits) of the pixels, row by row
        std::vector<uint16_t> pixels;  // empty unless keepPixels
        int width = 0, height = 0;
    };
    void setKeepPixels(bool keep);  // default true; hashes are always kept
    const std::vector<Frame>& frames() const;
    size_t presentCount() const;
    void clearFrames();
    std::function<void(const Frame&)> onPresent;
    // --- window ---
    // Asks the program to close, as the window manager's close or SIGTERM
    // does; the window reports it from then on.
    void requestClose();
    // Whether the pointer shows over the window.
    bool cursorVisible() const;
    // The keyboard focus, as the window system gives and takes it.
    void setFocus(bool focused);
    // Message boxes shown (caption + "\n" + text).
    const std::vector<std::string>& messageBoxes() const;

    // --- audio ---
    // Fails to open when false, as a machine without a sound card does.
    void setAudioAvailable(bool available);
    // Mixes the next `frames` stereo frames at the output rate (22050 Hz)
    // and returns them interleaved left, right.
    std::vector<int16_t> mixAudio(size_t frames);
    // How many voices are playing now.
    int playingVoices() const;
    int outputRate() const;

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace platform
