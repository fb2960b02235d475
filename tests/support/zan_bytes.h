#pragma once
// Builds ".zan" files word by word, for files the encoder would never write.
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "support/byte_writers.h"

namespace testzan {

class Bytes {
  public:
    Bytes& i32(int32_t v) {
        kit::putLE(data, uint32_t(v), 4);
        return *this;
    }
    Bytes& header(int32_t width, int32_t height, int32_t period) {
        return i32(width).i32(height).i32(period);
    }
    // A frame command with the given words as its data.
    Bytes& frame(std::initializer_list<uint16_t> words) {
        i32(1).i32(int32_t(words.size() * 2));
        for (uint16_t w : words) kit::putLE(data, w, 2);
        return *this;
    }
    Bytes& wait(int32_t ms) { return i32(2).i32(ms); }
    Bytes& load(const std::string& name) {
        i32(3);
        std::string field = name;
        field.resize(256, '\0');
        data.insert(data.end(), field.begin(), field.end());
        return *this;
    }
    Bytes& play(int32_t number, int32_t flags) { return i32(4).i32(number).i32(flags); }
    Bytes& stop(int32_t number) { return i32(5).i32(number); }
    Bytes& end() { return i32(0); }

    std::vector<uint8_t> data;
};

}  // namespace testzan
