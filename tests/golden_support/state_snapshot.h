#pragma once
// The game's state at one presented frame, as the golden traces store it.
#include "shell/state_digest.h"

namespace golden {

using Field = StateField;
using Snapshot = StateFields;

inline Snapshot snapshotGame() {
    return stateFields();
}

}  // namespace golden
