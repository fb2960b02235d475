#pragma once
#include <cstdint>
#include <memory>

#include "platform/bmp_header.h"
#include "platform/pixel_surface.h"

namespace platform {

// Decodes the rows of a 16- or 32-bit bit-field picture that readBmpHeader
// accepted, whatever order and width its colour masks have.
std::unique_ptr<PixelSurface> decodeBitFieldBmp(const uint8_t* data, const BmpInfo& info);

}  // namespace platform
