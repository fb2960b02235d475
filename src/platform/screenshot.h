#pragma once
#include <cstdint>
#include <string>

#include "platform/pixel_surface.h"

namespace platform {

// Where screenshots go: the XDG pictures folder (the environment variable,
// else the user's user-dirs.dirs), else ~/Pictures, else the current
// directory. Only existing folders are taken.
std::string picturesDirectory();

// Writes the picture as an 8-bit RGB PNG (each 5-6-5 value widened, so it
// converts back exactly). Returns false and sets `error` on failure; a
// partly written file is removed.
bool writePng(const PixelSurface& picture, const std::string& path, std::string& error);

// Saves the picture into `directory` as kestova-YYYYMMDD-HHMMSS.png (local
// time of `calendarSeconds`), adding -2, -3, ... when the name is taken; an
// existing file is never overwritten. Returns the path written, or an empty
// string with `error` set.
std::string saveScreenshot(const PixelSurface& picture, const std::string& directory,
                           int64_t calendarSeconds, std::string& error);

}  // namespace platform
