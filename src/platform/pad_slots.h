#pragma once
#include <cstdint>
#include <vector>

namespace platform {

// Which connected pad plays which side. The first pad connected takes the
// left side and the second the right; an unplugged pad frees its side, and a
// pad plugged in (or one that was waiting as a third) takes the first free one.
class PadSlots {
  public:
    static constexpr int32_t kNone = -1;

    // `connected`: the ids of the pads connected now, in the order they were
    // connected. Ids are never reused for a new connection.
    void update(const std::vector<int32_t>& connected);
    int32_t pad(int side) const { return slots_[side]; }

  private:
    int32_t slots_[2] = {kNone, kNone};
};

}  // namespace platform
