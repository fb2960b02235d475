#pragma once
#include <cstdint>
#include <string>

namespace platform {

// A 64-bit hash (XXH3) of a whole file's bytes: two machines compare their
// data files by it. False with `error` set when the file cannot be read.
bool fileDigest(const std::string& path, uint64_t& digest, std::string& error);

}  // namespace platform
