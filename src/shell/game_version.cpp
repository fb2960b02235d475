#include "shell/game_version.h"

#ifndef KESTOVA_VERSION
#error "KESTOVA_VERSION comes from the project's version in CMake"
#endif

const std::string& gameVersion() {
    static const std::string version = KESTOVA_VERSION;
    return version;
}
