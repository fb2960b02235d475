// The recording reader: any bytes are read or refused with a reason, never
// read past their end; what is read writes back and reads again the same, and walks
// its ticks without leaving the key arrays. An even first byte makes the
// rest a body whose checksum is filled in, so that damage inside gets past
// the check and reaches the parser.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "services/recording.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    std::vector<uint8_t> bytes(data + 1, data + size);
    if ((data[0] & 1) == 0) {
        uint64_t h = 14695981039346656037ull;
        for (uint8_t b : bytes) h = (h ^ b) * 1099511628211ull;
        for (int i = 0; i < 8; ++i) bytes.push_back(uint8_t(h >> (8 * i)));
    }
    replay::Recording r;
    std::string error;
    if (!replay::parse(bytes.data(), bytes.size(), r, error)) {
        if (error.empty()) std::abort();
        return 0;
    }
    // Numbers may be written longer than needed; written again they read the same.
    const std::vector<uint8_t> again = replay::serialise(r);
    replay::Recording back;
    if (!replay::parse(again.data(), again.size(), back, error)) std::abort();
    if (replay::serialise(back) != again) std::abort();
    replay::KeyCursor cursor(r);
    uint8_t held[256], marked[256];
    // A long recording is walked in part: the reader is what is fuzzed.
    for (int i = r.firstRead; i < r.reads && i < r.firstRead + 4096; ++i) cursor.next(held, marked);
    return 0;
}
