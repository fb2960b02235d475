#pragma once
// Shared by the long runs: the real game on the headless backend with the
// generated Kestova.dat, the live heap size, and the engine's screen state.
#include <gtest/gtest.h>

#include <cstddef>
#include <memory>

#include "engine/surface.h"
#include "engine/zef_base.h"
#include "engine/zef_dx.h"
#include "platform/headless.h"
#include "shell/main_window.h"
#include "support/scratch_dir.h"

#if defined(__SANITIZE_ADDRESS__)
#define KESTOVA_LONGRUN_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KESTOVA_LONGRUN_ASAN 1
#endif
#endif

#ifdef KESTOVA_LONGRUN_ASAN
// GCC ships no allocator_interface.h; its runtime has the function all the same.
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#else
#include <malloc.h>
#endif

namespace longrun {

// Bytes the program holds on the heap right now.
inline size_t liveHeapBytes() {
#ifdef KESTOVA_LONGRUN_ASAN
    return __sanitizer_get_current_allocated_bytes();
#else
    return mallinfo2().uordblks;
#endif
}

}  // namespace longrun
