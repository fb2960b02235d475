#pragma once
#include <cstdint>
#include <string>

namespace platform {

// An environment variable's value, or `fallback` when it is unset or empty.
std::string envOr(const char* name, const std::string& fallback);

// Where the game keeps its own files: $XDG_DATA_HOME, else ~/.local/share;
// empty when neither can be told. The folder need not exist.
std::string dataHome();

// YYYYMMDD-HHMMSS in local time, as the files the game saves are named.
std::string fileTimeStamp(int64_t calendarSeconds);

}  // namespace platform
