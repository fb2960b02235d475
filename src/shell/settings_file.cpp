#include "shell/settings_file.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <system_error>

#include "platform/ini_file.h"

namespace {

std::string absoluteEnv(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && value[0] == '/' ? std::string(value) : std::string();
}

}  // namespace

std::string settingsPath() {
    std::string config = absoluteEnv("XDG_CONFIG_HOME");
    if (config.empty()) {
        const std::string home = absoluteEnv("HOME");
        if (home.empty()) return std::string();
        config = home + "/.config";
    }
    return config + "/kestova/settings.ini";
}

Settings SettingsFile::load() {
    platform::IniContents contents;
    std::string error;
    switch (platform::readIniFile(path_, contents, error)) {
        case platform::IniRead::Missing:
            break;
        case platform::IniRead::Unreadable:
            std::cerr << "kestova: warning: " << path_ << ": " << error
                      << "; the settings are the defaults" << std::endl;
            break;
        case platform::IniRead::Ok: {
            std::vector<std::string> warnings;
            Settings settings = settingsFrom(contents, path_, warnings);
            for (const std::string& w : warnings) std::cerr << "kestova: warning: " << w << '\n';
            std::cerr.flush();
            held_ = settingsText(settings);
            return settings;
        }
    }
    Settings defaults;
    held_ = settingsText(defaults);
    return defaults;
}

void SettingsFile::save(const Settings& settings) {
    const std::string text = settingsText(settings);
    if (path_.empty() || text == held_) return;
    const std::filesystem::path file(path_);
    const std::string temporary = path_ + ".new";
    std::error_code ec;
    std::filesystem::create_directories(file.parent_path(), ec);
    bool written = !ec;
    if (written) {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << text;
        out.close();
        written = out.good() && std::rename(temporary.c_str(), path_.c_str()) == 0;
        if (!written) std::remove(temporary.c_str());
    }
    if (written) {
        held_ = text;
    } else if (!warned_) {
        warned_ = true;
        std::cerr << "kestova: warning: cannot write the settings to " << path_
                  << "; the game goes on without saving them" << std::endl;
    }
}
