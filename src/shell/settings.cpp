#include "shell/settings.h"

#include <algorithm>
#include <cstdlib>
#include <sstream>

#include "game/computer_strength.h"
#include "platform/ini_file.h"
#include "services/key_names.h"

namespace {

// A whole number between `low` and `high`.
struct NumberEntry {
    const char* section;
    const char* key;
    int32_t Settings::*field;
    int32_t low, high;
};

const NumberEntry kNumbers[] = {
    {"menu", "war_days", &Settings::warDays, 1, 9999},
    {"menu", "palm_trees", &Settings::palmTrees, 1, 10},
    {"display", "window_width", &Settings::windowWidth, 0, 16384},
    {"display", "window_height", &Settings::windowHeight, 0, 16384},
    {"sound", "music_volume", &Settings::musicVolume, 0, 100},
    {"sound", "effects_volume", &Settings::effectsVolume, 0, 100},
};

struct SwitchEntry {
    const char* section;
    const char* key;
    bool Settings::*field;
};

const SwitchEntry kSwitches[] = {
    {"display", "fullscreen", &Settings::fullscreen},
    {"sound", "mute", &Settings::muted},
};

const char* const kPlayerKeys[2] = {"left_player", "right_player"};
const char* const kStrengthKeys[2] = {"left_strength", "right_strength"};
const char* const kKeySections[2] = {"left_keys", "right_keys"};

std::vector<std::string> words(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> out;
    for (std::string word; in >> word;) out.push_back(word);
    return out;
}

bool readNumber(const std::string& text, int32_t low, int32_t high, int32_t& out) {
    if (text.empty() || text.size() > 9) return false;
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (*end != '\0' || value < low || value > high) return false;
    out = int32_t(value);
    return true;
}

// One or two keys; fire takes one.
bool readKeys(const std::string& text, SideKeys& keys, SideAction action) {
    const std::vector<std::string> names = words(text);
    const size_t most = action == SideAction::Fire ? 1 : 2;
    if (names.empty() || names.size() > most) return false;
    uint8_t codes[2];
    for (size_t i = 0; i < 2; ++i) {
        const int code = keyFromLabel(names[i < names.size() ? i : 0]);
        if (code <= 0) return false;
        codes[i] = uint8_t(code);
    }
    bindAction(keys, action, codes[0], codes[1]);
    return true;
}

uint16_t padButtonFromName(const std::string& name) {
    for (uint16_t bit = 1; bit != 0; bit = uint16_t(bit << 1)) {
        const char* own = padButtonName(bit);
        if (own != nullptr && name == own) return bit;
    }
    return 0;
}

bool readPadButtons(const std::string& text, uint16_t& out) {
    const std::vector<std::string> names = words(text);
    if (names.empty()) return false;
    uint16_t buttons = 0;
    for (const std::string& name : names) {
        const uint16_t bit = padButtonFromName(name);
        if (bit == 0) return false;
        buttons = uint16_t(buttons | bit);
    }
    out = buttons;
    return true;
}

}  // namespace

std::string keysText(const SideKeys& keys, SideAction action) {
    uint8_t pair[2];
    actionKeys(keys, action, pair);
    std::string text = keyLabel(pair[0]);
    if (pair[1] != pair[0]) text += " " + keyLabel(pair[1]);
    return text;
}

std::string padText(uint16_t buttons) {
    std::string text;
    for (uint16_t bit = 1; bit != 0; bit = uint16_t(bit << 1)) {
        const char* name = padButtonName(bit);
        if ((buttons & bit) == 0 || name == nullptr) continue;
        if (!text.empty()) text += ' ';
        text += name;
    }
    return text;
}

namespace {

// Reads one known entry into `s`; false when the game knows the entry but
// not its value, and with `known` false when it does not know the entry.
bool readEntry(const platform::IniEntry& e, Settings& s, bool& known) {
    known = true;
    for (const NumberEntry& n : kNumbers) {
        if (e.section == n.section && e.key == n.key) {
            return readNumber(e.value, n.low, n.high, s.*n.field);
        }
    }
    for (const SwitchEntry& b : kSwitches) {
        if (e.section == b.section && e.key == b.key) {
            if (e.value != "yes" && e.value != "no") return false;
            s.*b.field = e.value == "yes";
            return true;
        }
    }
    for (int side = 0; side < 2; ++side) {
        if (e.section == "menu" && e.key == kPlayerKeys[side]) {
            if (e.value != "human" && e.value != "computer") return false;
            s.isComputer[side] = e.value == "computer" ? 1 : 0;
            return true;
        }
        if (e.section == "menu" && e.key == kStrengthKeys[side]) {
            return readNumber(e.value, kWeakestStrength, kStrongestStrength, s.strength[side]);
        }
        for (int action = 0; action < kSideActionCount; ++action) {
            if (e.section == kKeySections[side] && e.key == sideActionName(SideAction(action))) {
                return readKeys(e.value, s.keys[side], SideAction(action));
            }
        }
    }
    for (int action = 0; action < kSideActionCount; ++action) {
        if (e.section == "pad" && e.key == sideActionName(SideAction(action))) {
            return readPadButtons(e.value, s.pad.action[action]);
        }
    }
    known = false;
    return true;
}

}  // namespace

Settings::Settings() : keys{defaultSideKeys(0), defaultSideKeys(1)}, pad(defaultPadButtons()) {}

Settings settingsFrom(const platform::IniContents& contents, const std::string& fileName,
                      std::vector<std::string>& warnings) {
    Settings s;
    auto warn = [&](int line, const std::string& what) {
        warnings.push_back(fileName + ":" + std::to_string(line) + ": " + what);
    };
    for (int line : contents.badLines) warn(line, "not a 'name = value' line; left out");
    for (const platform::IniEntry& e : contents.entries) {
        bool known = false;
        if (!readEntry(e, s, known)) {
            warn(e.line, "cannot use '" + e.value + "' for " + e.key + "; the default stays");
        } else if (!known) {
            s.unknown.push_back({e.section, e.key, e.value});
        }
    }
    return s;
}

std::string settingsText(const Settings& s) {
    std::string text = "# Kestova's settings, written by the game; unknown entries are kept.\n";
    auto section = [&](const std::string& name) { text += "\n[" + name + "]\n"; };
    auto put = [&](const std::string& key, const std::string& value) {
        text += key + " = " + value + "\n";
    };
    auto putNumbers = [&](const std::string& in) {
        for (const NumberEntry& n : kNumbers) {
            if (in == n.section) put(n.key, std::to_string(s.*n.field));
        }
        for (const SwitchEntry& b : kSwitches) {
            if (in == b.section) put(b.key, s.*b.field ? "yes" : "no");
        }
    };
    auto putUnknown = [&](const std::string& in) {
        for (const SettingsEntry& e : s.unknown) {
            if (e.section == in) put(e.key, e.value);
        }
    };
    std::vector<std::string> own = {"menu", "display", "sound"};
    section("menu");
    for (int side = 0; side < 2; ++side) {
        put(kPlayerKeys[side], s.isComputer[side] == 1 ? "computer" : "human");
        put(kStrengthKeys[side], std::to_string(s.strength[side]));
    }
    putNumbers("menu");
    putUnknown("menu");
    for (const char* name : {"display", "sound"}) {
        section(name);
        putNumbers(name);
        putUnknown(name);
    }
    for (int side = 0; side < 2; ++side) {
        own.push_back(kKeySections[side]);
        section(kKeySections[side]);
        for (int action = 0; action < kSideActionCount; ++action) {
            put(sideActionName(SideAction(action)), keysText(s.keys[side], SideAction(action)));
        }
        putUnknown(kKeySections[side]);
    }
    own.push_back("pad");
    section("pad");
    for (int action = 0; action < kSideActionCount; ++action) {
        put(sideActionName(SideAction(action)), padText(s.pad.action[action]));
    }
    putUnknown("pad");
    // Sections the game does not know, in the order they first came.
    for (const SettingsEntry& e : s.unknown) {
        if (std::find(own.begin(), own.end(), e.section) != own.end()) continue;
        own.push_back(e.section);
        section(e.section);
        putUnknown(e.section);
    }
    return text;
}
