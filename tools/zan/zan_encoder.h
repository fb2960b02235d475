#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Writes ".zan" animation files: a 12-byte header (width, height, frame
// period) and a command stream whose frames hold only what changed since the
// previous frame, as runs of pixels along the lines.
namespace zan {

// Builds one file, command by command, in the order the player will run them.
//
//   zan::Encoder enc(640, 480, 76);      // area size, ms per frame (0: engine's)
//   int boom = enc.loadSound("sfx/boom.wav");
//   enc.addFrame(picture);                // width*height 5-6-5 pixels, row by row
//   enc.playSound(boom, false);
//   enc.addWait(500);
//   enc.addFrame(nextPicture);            // stores only the changed pixels
//   std::vector<uint8_t> bytes = enc.finish();
//
// Pixels are given in the 5-6-5 layout and stored as 5-5-5, so the lowest
// green bit is lost: a player on a 5-6-5 display shows (p & ~0x0020).
class Encoder {
  public:
    Encoder(int32_t width, int32_t height, int32_t framePeriodMs);

    // The previous picture the first frame is compared against. By default
    // the first frame is stored whole, since the player draws over whatever
    // the screen held before.
    void setBackground(const std::vector<uint16_t>& pixels565);

    // A frame of exactly width*height pixels; anything else is refused
    // (returns false and adds nothing).
    bool addFrame(const std::vector<uint16_t>& pixels565);
    void addWait(int32_t milliseconds);
    // Returns the sound's number (0, 1, 2, ... in loading order). Names are
    // archive names of at most 255 characters; longer ones are cut.
    int32_t loadSound(const std::string& archiveName);
    void playSound(int32_t number, bool looping);
    void stopSound(int32_t number);

    // Appends the end command and returns the whole file.
    std::vector<uint8_t> finish();

    int32_t width() const { return width_; }
    int32_t height() const { return height_; }
    int32_t frameCount() const { return frames_; }

  private:
    void put32(int32_t value);
    int32_t width_;
    int32_t height_;
    int32_t frames_ = 0;
    int32_t sounds_ = 0;
    bool haveBackground_ = false;
    std::vector<uint16_t> previous_;  // in the stored 5-5-5 layout
    std::vector<uint8_t> out_;
};

// The frame data of one frame (without command code and length): the runs
// that turn `previous` into `current`, both width*height 5-5-5 pixels.
// With `whole` set every pixel is stored.
std::vector<uint16_t> encodeFrame(const std::vector<uint16_t>& previous,
                                  const std::vector<uint16_t>& current, int32_t width,
                                  int32_t height, bool whole);

// 5-6-5 to the stored 5-5-5 layout.
inline uint16_t to555(uint16_t p565) {
    return uint16_t(((p565 >> 1) & 0x7FE0) | (p565 & 0x001F));
}

}  // namespace zan
