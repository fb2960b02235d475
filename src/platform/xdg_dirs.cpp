#include "platform/xdg_dirs.h"

#include <cstdlib>
#include <cstring>
#include <ctime>

namespace platform {

std::string envOr(const char* name, const std::string& fallback) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? std::string(value) : fallback;
}

std::string dataHome() {
    const std::string home = envOr("HOME", "");
    const std::string data = envOr("XDG_DATA_HOME", "");
    // A relative XDG path is invalid and ignored.
    if (!data.empty() && data[0] == '/') return data;
    return home.empty() ? "" : home + "/.local/share";
}

std::string fileTimeStamp(int64_t calendarSeconds) {
    const std::time_t t = std::time_t(calendarSeconds);
    std::tm local;
    if (localtime_r(&t, &local) == nullptr) std::memset(&local, 0, sizeof local);
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
    return text;
}

}  // namespace platform
