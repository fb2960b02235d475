#pragma once
#include <string>

#include "shell/settings.h"

// $XDG_CONFIG_HOME/kestova/settings.ini, else ~/.config/kestova/settings.ini;
// empty when neither variable gives an absolute folder.
std::string settingsPath();

// The player's settings file. A file that is missing or damaged costs the
// player nothing: what cannot be read keeps its default, with one warning on
// stderr per line, and the file is written again only once something in it
// changed. Writing goes to a temporary name first, then takes the file's
// place; a folder that cannot be written gives one line on stderr.
class SettingsFile {
  public:
    explicit SettingsFile(std::string path) : path_(std::move(path)) {}

    Settings load();
    // Writes `settings` unless the file already holds them.
    void save(const Settings& settings);

    const std::string& path() const { return path_; }

  private:
    std::string path_;
    std::string held_;  // what the file holds, as this game would write it
    bool warned_ = false;
};
