#pragma once
// Records every match played in the main window, in memory: from the menu
// frame that starts it, the keys of every read (the pads' included), the
// window's focus and a state digest about once a second. A finished match is
// handed on at the top of the next frame, never written during one.
#include <functional>

#include "services/recording.h"
#include "services/zef_input.h"

class TForm1;

class MatchRecorder : public KeyFeed {
  public:
    // Reads between two digests: about a second at 38 ms.
    static constexpr int kDigestReads = 26;

    // Sits between the input and `inner` (the pads), which presses first.
    MatchRecorder(TForm1& form, KeyFeed* inner);

    void press(uint8_t keys[256], uint8_t oldKeys[256], bool frameRead) override;
    // At the top of every frame of the main loop.
    void frameStart();
    // The program ends: a match in progress ends with it.
    void finish();
    // The match so far (empty outside one), its version and data to be filled in.
    replay::Recording snapshot() const;

    // A finished match, its game version and data hash still to be filled in.
    std::function<void(replay::Recording&&)> onMatchEnd;

  private:
    enum class State { Idle, Menu, Match };
    bool listed(const void* screen) const;
    void end();

    TForm1& form_;
    KeyFeed* inner_;
    State state_ = State::Idle;
    replay::Recording rec_;
    uint8_t held_[256] = {};
    bool focused_ = true;
    int read_ = 0;
    int lastDigest_ = 0;
};
