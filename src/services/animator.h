#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/zef_base.h"

class Surface;
class Sound;
class ZefStream;

// Plays a ".zan" animation: a script of frames (runs of pixels drawn over
// what the back surface already shows), waits and sound commands. Each
// process() runs commands up to and including the next frame.
//
// Damaged files are refused with a fatal error naming the file before any
// pixel is drawn from them: nothing is read or written outside the file,
// the frame buffer, the surface or the sound list.
class Animator : public ZefBase {
  public:
    // "0" opens nothing. `bufferPixels` 0 sizes the frame buffer from the
    // file's header.
    Animator(ZefDX* owner, const std::string& fileName, int32_t bufferPixels);
    ~Animator() override;

    void open(const std::string& fileName);
    void process() override;

    bool finished = false;
    Surface* target;  // the engine's back surface, not owned
    int32_t x = 0;
    int32_t y = 0;
    int32_t framePeriod = 0;
    int32_t width = 0;
    int32_t height = 0;
    // In pixels until a file is opened, in bytes from then on.
    int32_t bufferSize = 0;

    size_t soundCount() const { return sounds_.size(); }

  private:
    bool read32(int32_t& value);
    [[noreturn]] void fail(const std::string& problem);
    void readFrame();
    void loadSound();
    Sound* soundAt(int32_t number);
    // Walks the frame's words, checks every run against the buffer and the
    // surface, and converts the pixels to 5-6-5 when `convert` is set.
    void checkFrame(size_t words, int surfaceWidth, int surfaceHeight, bool convert);
    void drawFrame();

    std::string fileName_;
    std::vector<std::unique_ptr<Sound>> sounds_;
    std::unique_ptr<ZefStream> stream_;
    std::vector<uint16_t> frame_;
    size_t frameWords_ = 0;  // words of the frame just read
    size_t readPos_ = 0;
};
