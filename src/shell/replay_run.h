#pragma once
// A match recording replayed in the main window's world: where it starts,
// the keys it gives the input, and the run from its start to any tick, shown
// or dark (nothing drawn, presented or heard, no pacing).
#include <functional>
#include <memory>
#include <string>

#include "services/recording.h"
#include "services/zef_input.h"

class TForm1;

// The world as it stands at the top of a menu frame, into the recording.
void captureStart(const TForm1& form, replay::Recording& out);
// Puts the world back at the recording's start: the menu alone above the sky
// and sea, the generator, the menu, the view and the banner as they were.
void restoreStart(TForm1& form, const replay::Recording& recording);

// Gives the input the recorded keys of each tick instead of the devices'.
// The devices' own keys stay readable (the replay's controls); F10 still
// ends the program.
class ReplayFeed : public KeyFeed {
  public:
    explicit ReplayFeed(const replay::Recording& recording) : cursor_(recording) {}
    void press(uint8_t keys[256], uint8_t oldKeys[256], bool frameRead) override;
    int read() const { return cursor_.read(); }
    bool focused() const { return cursor_.focused(); }
    const uint8_t* deviceKeys() const { return device_; }

  private:
    replay::KeyCursor cursor_;
    uint8_t device_[256] = {};
};

class ReplayRun {
  public:
    // The recording must outlive the run. The input takes the replay's keys
    // until the run is destroyed.
    ReplayRun(TForm1& form, const replay::Recording& recording);
    ~ReplayRun();

    // Back to the start, at the first tick.
    void restart();
    // One frame of the main loop. False, doing nothing, at the recording's
    // end, once the program would end, or once the state parted from the
    // stored digests (then `problem` says where).
    bool step();
    // Runs dark to the top of the first frame at or after `read`, from the
    // start when that lies behind; then `step` shows that frame.
    void seek(int read);
    // Dark or shown from now on; `onDark` lets sound and pacing follow.
    void setDark(bool dark);

    int read() const { return feed_->read(); }
    int length() const;
    bool focused() const { return feed_->focused(); }
    const uint8_t* deviceKeys() const { return feed_->deviceKeys(); }
    const std::string& problem() const { return problem_; }
    std::function<void(bool dark)> onDark;

  private:
    bool checkDigest();

    TForm1& form_;
    const replay::Recording& rec_;
    std::unique_ptr<ReplayFeed> feed_;
    KeyFeed* ownFeed_;
    size_t digest_ = 0;
    std::string problem_;
};

// Ticks as a player reads them: "m:ss" at the 38 ms frame period.
std::string tickTime(int read);
