#pragma once
// The platform as the game sees it, with room for a replay: passed straight
// through during play; while a replay runs, time is virtual (the replay's
// waits and frame pacing cost nothing), each shown picture is held back to
// the replay's speed and carries its status line, the window's focus is the
// recorded one, and sound can be muted without losing the loops that play.
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "platform/system.h"

class PlaybackSystem : public platform::System {
  public:
    explicit PlaybackSystem(platform::System& inner);
    ~PlaybackSystem() override;

    platform::Window& window() override;
    platform::InputDevice& input() override { return inner_.input(); }
    platform::Clock& clock() override;
    platform::AudioDevice& audio() override;
    platform::System& inner() { return inner_; }

    // Replay mode on or off; on, the virtual time starts where real time is.
    void setReplaying(bool replaying);
    bool replaying() const { return replaying_; }
    // Frames shown per frame of game time: 0.25 to 8. Restarts the pacing.
    void setSpeed(double speed);
    // Sound off (the loops that play are taken up again when it comes back).
    void setMuted(bool muted);
    // Presents `picture` again now, unpaced (a paused or ended replay).
    void presentStill(const platform::PixelSurface& picture);
    // Shows `text` over the pictures of play for `forMs` milliseconds.
    void showNote(const std::string& text, uint32_t forMs);
    // The player's own keys pressed since the last call, 0x80 each: they are
    // looked at at every paced picture too, so that a press during a long
    // stretch of the replay (a title card) is not lost. After Escape the
    // pictures are no longer held back, so that the stretch ends at once.
    void takeHits(uint8_t hits[256]);

    // Draws text over a copy of a picture and returns the copy; null until
    // the game's font is there.
    std::function<const platform::PixelSurface*(const platform::PixelSurface&,
                                                const std::string& text)>
        compose;
    // While replaying: the status line over every picture, and the recorded focus.
    std::function<std::string()> statusLine;
    std::function<bool()> recordedFocus;

  private:
    class PlaybackWindow;
    class PlaybackClock;
    class PlaybackAudio;
    void pace();
    void latchKeys();
    int32_t show(const platform::PixelSurface& picture);

    platform::System& inner_;
    std::unique_ptr<PlaybackWindow> window_;
    std::unique_ptr<PlaybackClock> clock_;
    std::unique_ptr<PlaybackAudio> audio_;
    bool replaying_ = false;
    double speed_ = 1.0;
    uint64_t realAnchor_ = 0;     // inner counter at the last pacing anchor
    uint64_t virtualAnchor_ = 0;  // virtual milliseconds then
    std::string note_;
    uint64_t noteUntil_ = 0;  // inner counter
    uint8_t held_[256] = {};
    uint8_t hits_[256] = {};
    bool primed_ = false;  // held_ has been read once
};
