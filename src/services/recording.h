#pragma once
// A recorded run: the game version and data it was made with, where it
// starts (the generator, the menu and the few other values the game's state
// holds), every key change by the number of the key read (tick) it happens
// at, and a digest of the game's state about once a second, so that a replay
// checks itself as it goes. The saved matches and the golden runs use it.
#include <cstdint>
#include <string>
#include <vector>

namespace replay {

// The format's own version; a file of another one is refused.
// Format 1 had no strengths and no bindings: those recordings use the defaults.
// Format 3 adds network digests after the rest; a recording without them is
// still written as format 2.
constexpr uint32_t kFormatVersion = 3;

struct KeyChange {
    int read = 0;  // the tick (from 0) from which the key is down or up
    int code = 0;  // DirectInput-style key code
    bool down = false;
};

// A key a game pad marked as held at the tick before, so that it is no hit.
struct OldKeyMark {
    int read = 0;
    int code = 0;
};

// The window gained or lost the keyboard focus from this tick on.
struct FocusChange {
    int read = 0;
    bool focused = true;
};

struct DigestMark {
    int read = 0;  // taken at the top of the frame whose first read is this
    uint64_t digest = 0;
};

// Network play's state digests up to where the two machines parted, kept
// in a report of it: the tick in lockstep, this machine's digest and the
// partner's (0 where one took none).
struct NetDigest {
    uint32_t tick = 0;
    uint64_t own = 0, partner = 0;
};

struct Recording {
    // "program": the whole program from activation to exit, seeded with the
    // calendar seconds in `seed`. "match": from a menu frame on, the
    // generator's state in `seed`, the rest of the start below.
    std::string kind = "match";
    std::string gameVersion;
    uint64_t dataHash = 0;  // of Kestova.dat
    uint64_t seed = 0;
    // isComputer left, isComputer right, war days, palm trees, selected row.
    int menu[5] = {1, 0, 5, 3, 0};
    int strength[2] = {3, 3};  // of each computer side
    // Both sides' keys (up, down, left, right two each, then fire), or none
    // for the defaults.
    std::vector<uint8_t> bindings;
    static constexpr size_t kBindingBytes = 18;
    int arrowX = 320, arrowY = 240;
    int frameCounter = 0;
    int viewX = 0, viewY = 0;
    int layerSteps[2] = {0, 0};
    std::string banner;
    int bannerFrames = 0;
    std::vector<uint8_t> heldKeys;  // down before the first read
    int firstRead = 0;              // the tick of the first read replayed
    int reads = 0;                  // ticks of the whole run
    std::vector<KeyChange> changes;
    std::vector<OldKeyMark> marks;
    std::vector<FocusChange> focus;
    std::vector<DigestMark> digests;
    std::vector<NetDigest> netDigests;  // a report's; none in a plain recording
    static constexpr size_t kMaxNetDigests = 64;
};

// The bytes of a recording, and back. `parse` refuses damage with what is
// wrong in `error` (no file name; the caller adds it).
std::vector<uint8_t> serialise(const Recording& recording);
bool parse(const uint8_t* data, size_t size, Recording& out, std::string& error);

// Files: errors name the file.
bool readRecording(const std::string& path, Recording& out, std::string& error);
bool writeRecording(const std::string& path, const Recording& recording, std::string& error);

// The key code of a DirectInput name such as "DIK_RETURN"; -1 if none.
int keyCodeOf(const std::string& name);

// Walks the ticks from the first read on: the keys held at each (256 bytes,
// 0x80 down), starting from the held keys of the start.
class KeyCursor {
  public:
    explicit KeyCursor(const Recording& recording);
    // The keys of the next tick, and the old keys a pad marked there.
    void next(uint8_t held[256], uint8_t marked[256]);
    int read() const { return read_; }
    // The window's focus as of the last tick given out.
    bool focused() const { return focused_; }

  private:
    const Recording& rec_;
    uint8_t held_[256] = {};
    size_t change_ = 0, mark_ = 0, focus_ = 0;
    int read_;
    bool focused_ = true;
};

}  // namespace replay
