#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace golden {

// Writes 5-6-5 pixels as a PNG; false when it cannot.
bool writePng(const std::string& path, const std::vector<uint16_t>& pixels, int width, int height);

}  // namespace golden
