#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "game/pad_keys.h"
#include "game/side_keys.h"

namespace platform {
struct IniContents;
}

// An entry of the settings file the game does not know; kept as it was.
struct SettingsEntry {
    std::string section;
    std::string key;
    std::string value;
};

// What the player chose and keeps from one start to the next. Defaults are
// the game as it is without a settings file.
struct Settings {
    Settings();

    // [menu]
    int32_t isComputer[2] = {1, 0};
    int32_t strength[2] = {3, 3};  // of a computer side, 1 to 5
    int32_t warDays = 5;
    int32_t palmTrees = 3;
    // [display]; a size of 0 lets the window pick its own.
    bool fullscreen = true;
    int32_t windowWidth = 0;
    int32_t windowHeight = 0;
    // [sound], in percent.
    int32_t musicVolume = 100;
    int32_t effectsVolume = 100;
    bool muted = false;
    // [left_keys], [right_keys], [pad]
    SideKeys keys[2];
    PadButtons pad;

    std::vector<SettingsEntry> unknown;
};

// The settings in `contents`, read from `fileName`. Each line that cannot be
// read adds one warning naming the file and the line, and its entry keeps
// its default.
Settings settingsFrom(const platform::IniContents& contents, const std::string& fileName,
                      std::vector<std::string>& warnings);

// An action's keys ("numpad8 up") and a pad action's buttons ("a right_shoulder"),
// as the file writes them.
std::string keysText(const SideKeys& keys, SideAction action);
std::string padText(uint16_t buttons);

// The whole file for `settings`, unknown entries included.
std::string settingsText(const Settings& settings);
