#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace platform {

// A 64-bit hash of bytes (XXH3): tells one data archive from another.
uint64_t contentHash(const uint8_t* data, size_t size);

// The hash of a whole file, mapped; false with `error` when it cannot be read.
bool fileHash(const std::string& path, uint64_t& hash, std::string& error);

}  // namespace platform
