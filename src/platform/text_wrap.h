#pragma once
#include <cstddef>
#include <string>

namespace platform {

// Breaks `text` into lines of at most `columns` characters, at spaces where
// it can and inside words (long paths) where it must. Line breaks already in
// the text stay.
std::string wrapText(const std::string& text, size_t columns);

}  // namespace platform
