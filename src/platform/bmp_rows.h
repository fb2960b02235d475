#pragma once
#include <cstdint>
#include <memory>

#include "platform/bmp_header.h"
#include "platform/pixel_surface.h"

namespace platform {

// Plain 24- and 32-bit pictures (the game's own) whose rows lie where the
// file header says: their rows are converted straight into 5-6-5 here,
// giving the pixels SDL's reader and converter give. Other kinds go there.
bool convertsDirectly(const BmpInfo& info);
// Null when the picture's memory cannot be had.
std::unique_ptr<PixelSurface> decodeDirectBmp(const uint8_t* data, const BmpInfo& info);

}  // namespace platform
