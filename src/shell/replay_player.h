#pragma once
// Watching recorded matches, and recording the matches played. During a
// replay: Space or P pauses and resumes, Left and Right jump 10 s back and
// forward, Up and Down step the speed through x1/4 to x8, Home goes back to
// the start, Escape leaves. A line at the bottom shows where the replay is.
#include <memory>
#include <string>
#include <vector>

#include "services/recording.h"
#include "shell/replay_files.h"

class TForm1;
class PlaybackSystem;
class MatchRecorder;
class Surface;
namespace platform {
class PixelSurface;
}

// Draws `text` (lines split at '\n', the last at the bottom) in the game's
// font over a copy of `picture` kept in `canvas`; null until the font is there.
const platform::PixelSurface* drawOver(TForm1& form, std::unique_ptr<Surface>& canvas,
                                       const platform::PixelSurface& picture,
                                       const std::string& text);

// Plays `recording` on screen until Escape or a close request; the world is
// left where the replay stood.
void watchReplay(TForm1& form, PlaybackSystem& playback, const replay::Recording& recording);

// The replays around a game: every match recorded and saved when it ends;
// with a playback system, R in the menu plays the last one.
class Replays {
  public:
    // `playback` null: no replays from the menu (network play).
    Replays(PlaybackSystem* playback, std::string directory);
    ~Replays();
    // Chains itself onto the main window's frame hook.
    void attach(TForm1& form);
    // The program ends: a match in progress is saved.
    void finish();
    // Saves the match so far with network play's last state digests, for a
    // bug report when the two machines went out of step. Says where, or
    // nothing when it could not (the reason goes to standard error).
    std::string saveReport(const std::vector<replay::NetDigest>& digests);

  private:
    void frameStart(TForm1& form);
    void playLast(TForm1& form);
    bool stamp(TForm1& form);

    PlaybackSystem* playback_;
    std::string directory_;
    std::unique_ptr<MatchRecorder> recorder_;
    std::unique_ptr<ReplaySaver> saver_;
    std::unique_ptr<Surface> noteCanvas_;
    GameStamp stamp_;
    bool stamped_ = false;
    bool watching_ = false;
    TForm1* form_ = nullptr;
};

// kestova --replay FILE: the recording is checked before any window opens;
// a refusal is one line on standard error and exit code 1.
int runReplayProgram(const std::string& path, bool windowed);
