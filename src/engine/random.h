#pragma once
#include <cstdint>

// The program's linear congruential generator: 64-bit state, multiplier
// 0x0000015A00004E35, increment 1; a draw is the upper 32 bits of the new
// state with the sign bit cleared.
class Random {
  public:
    void seed(uint64_t state) { state_ = state; }
    uint64_t state() const { return state_; }
    int32_t next() {
        state_ = state_ * 0x0000015A00004E35ull + 1ull;
        return int32_t(uint32_t(state_ >> 32) & 0x7FFFFFFFu);
    }

  private:
    uint64_t state_ = 0;
};
