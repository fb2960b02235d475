#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace platform {

// The largest picture side we accept; a damaged header must not make the
// decoder ask for gigabytes.
constexpr int32_t kMaxPictureSide = 16384;

// Checks a BMP's headers against the bytes actually there before the decoder
// sees them: signature, header size, picture size, bit depth, and that the
// uncompressed pixel rows lie inside `size`. Sets `error` and returns false
// on a damaged picture.
bool checkBmpHeader(const uint8_t* data, size_t size, std::string& error);

}  // namespace platform
