#pragma once
#include <string>
#include <vector>

namespace platform {

// One `key = value` line of an INI file, under its [section].
struct IniEntry {
    std::string section;
    std::string key;
    std::string value;
    int line = 0;  // counted from 1
};

struct IniContents {
    std::vector<IniEntry> entries;  // in file order
    std::vector<int> badLines;  // lines that are neither an entry, a section, a comment nor blank
};

enum class IniRead { Ok, Missing, Unreadable };

// Reads the file at `path`. A missing or unreadable file leaves `contents`
// empty; for Unreadable `error` says why.
IniRead readIniFile(const std::string& path, IniContents& contents, std::string& error);

}  // namespace platform
