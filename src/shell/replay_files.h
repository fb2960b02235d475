#pragma once
// Where the saved matches live, and the checks a recording passes before it
// is played.
#include <cstdint>
#include <string>
#include <thread>

#include "services/recording.h"

// $XDG_DATA_HOME/kestova/replays (by default ~/.local/share/kestova/replays).
std::string replaysDirectory();

// The newest kestova-*.rec there; empty when there is none.
std::string latestReplay(const std::string& directory);

// Saves into `directory` (made when missing) as kestova-YYYYMMDD-HHMMSS.rec,
// then keeps only the newest `keep` recordings. The path written, or empty
// with `error` set.
std::string saveReplay(const replay::Recording& recording, const std::string& directory,
                       int64_t calendarSeconds, std::string& error, size_t keep = 50);

// This game's version and the hash of the data archive it plays with.
struct GameStamp {
    std::string version;
    uint64_t dataHash = 0;
};
// The stamp of this game with the archive at `archivePath`; false with
// `error` when the archive cannot be read.
bool stampOf(const std::string& archivePath, GameStamp& stamp, std::string& error);

// Reads a recording to play: refused with one line naming the file and what
// is wrong, or both versions when it was made by another game or data.
bool loadReplay(const std::string& path, const GameStamp& stamp, replay::Recording& out,
                std::string& error);

// Stamps and writes recordings off the main thread, one at a time, so that
// a frame never waits for the disk. A failure is one line on standard error.
class ReplaySaver {
  public:
    // `archivePath`: the data archive the game plays with, for the stamp.
    ReplaySaver(std::string directory, std::string archivePath)
        : directory_(std::move(directory)), archivePath_(std::move(archivePath)) {}
    ~ReplaySaver();
    void save(replay::Recording recording, int64_t calendarSeconds);
    // Waits for the save in progress, if any.
    void finish();

  private:
    std::string directory_;
    std::string archivePath_;
    GameStamp stamp_;  // taken once, by the worker
    bool stamped_ = false;
    std::thread worker_;
};
