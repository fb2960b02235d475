#include "shell/replay_files.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <vector>

#include "platform/content_hash.h"
#include "platform/xdg_dirs.h"
#include "shell/game_version.h"

namespace fs = std::filesystem;

namespace {

// Saved names sort by time: kestova-YYYYMMDD-HHMMSS[-N].rec.
std::vector<std::string> savedReplays(const std::string& directory) {
    std::vector<std::string> names;
    std::error_code ignored;
    for (const auto& entry : fs::directory_iterator(directory, ignored)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("kestova-", 0) == 0 && entry.path().extension() == ".rec") {
            names.push_back(name);
        }
    }
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        // "-2" after the plain name of the same second.
        return a.size() != b.size() && a.compare(0, 23, b, 0, 23) == 0 ? a.size() < b.size()
                                                                       : a < b;
    });
    return names;
}

std::string versionName(const std::string& version, uint64_t hash) {
    char text[24];
    std::snprintf(text, sizeof text, "%016" PRIx64, hash);
    return "Kestova " + (version.empty() ? std::string("?") : version) + " with data " + text;
}

}  // namespace

std::string replaysDirectory() {
    const std::string data = platform::dataHome();
    return (data.empty() ? std::string(".") : data) + "/kestova/replays";
}

std::string latestReplay(const std::string& directory) {
    const std::vector<std::string> names = savedReplays(directory);
    return names.empty() ? "" : directory + "/" + names.back();
}

std::string saveReplay(const replay::Recording& recording, const std::string& directory,
                       int64_t calendarSeconds, std::string& error, size_t keep) {
    std::error_code code;
    fs::create_directories(directory, code);
    if (code) {
        error = directory + ": " + code.message();
        return "";
    }
    const std::string base = directory + "/kestova-" + platform::fileTimeStamp(calendarSeconds);
    std::string path = base + ".rec";
    for (int n = 2; fs::exists(path, code) && n < 1000; ++n) {
        path = base + "-" + std::to_string(n) + ".rec";
    }
    if (!replay::writeRecording(path, recording, error)) return "";
    const std::vector<std::string> names = savedReplays(directory);
    for (size_t i = 0; i + keep < names.size(); ++i) fs::remove(directory + "/" + names[i], code);
    return path;
}

bool stampOf(const std::string& archivePath, GameStamp& stamp, std::string& error) {
    stamp.version = gameVersion();
    return platform::fileHash(archivePath, stamp.dataHash, error);
}

bool loadReplay(const std::string& path, const GameStamp& stamp, replay::Recording& out,
                std::string& error) {
    if (!replay::readRecording(path, out, error)) return false;
    if (out.kind != "match") {
        error = path + ": not a recorded match";
        return false;
    }
    if (out.gameVersion != stamp.version || out.dataHash != stamp.dataHash) {
        error = path + ": made by " + versionName(out.gameVersion, out.dataHash) + ", this is " +
                versionName(stamp.version, stamp.dataHash);
        return false;
    }
    return true;
}

ReplaySaver::~ReplaySaver() {
    finish();
}

void ReplaySaver::save(replay::Recording recording, int64_t calendarSeconds) {
    finish();
    worker_ = std::thread([this, recording = std::move(recording), calendarSeconds]() mutable {
        std::string error;
        if (!stamped_) stamped_ = stampOf(archivePath_, stamp_, error);
        recording.gameVersion = stamp_.version;
        recording.dataHash = stamp_.dataHash;
        if (!stamped_ || saveReplay(recording, directory_, calendarSeconds, error).empty()) {
            std::cerr << "kestova: the match was not saved: " << error << '\n';
        }
    });
}

void ReplaySaver::finish() {
    if (worker_.joinable()) worker_.join();
}
