#include "platform/pad_slots.h"

#include <algorithm>

namespace platform {

void PadSlots::update(const std::vector<int32_t>& connected) {
    auto isConnected = [&](int32_t id) {
        return std::find(connected.begin(), connected.end(), id) != connected.end();
    };
    for (int32_t& slot : slots_) {
        if (slot != kNone && !isConnected(slot)) slot = kNone;
    }
    for (int32_t id : connected) {
        if (id == slots_[0] || id == slots_[1]) continue;
        if (slots_[0] == kNone) {
            slots_[0] = id;
        } else if (slots_[1] == kNone) {
            slots_[1] = id;
        }
    }
}

}  // namespace platform
