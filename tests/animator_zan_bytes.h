#pragma once
// Builds ".zan" files word by word, for files the encoder would never write.
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace testzan {

class Bytes {
  public:
    Bytes& i32(int32_t v) {
        for (int i = 0; i < 4; ++i) data.push_back(uint8_t(uint32_t(v) >> (8 * i)));
        return *this;
    }
    Bytes& header(int32_t width, int32_t height, int32_t period) {
        return i32(width).i32(height).i32(period);
    }
    // A frame command with the given words as its data.
    Bytes& frame(std::initializer_list<uint16_t> words) {
        i32(1).i32(int32_t(words.size() * 2));
        for (uint16_t w : words) {
            data.push_back(uint8_t(w));
            data.push_back(uint8_t(w >> 8));
        }
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
