#pragma once
// Shared by the long runs: the real game on the headless backend with the
// generated Kestova.dat, the live heap size, and the engine's screen state.
#include <gtest/gtest.h>

#include <cstddef>
#include <filesystem>
#include <memory>

#include "engine/surface.h"
#include "engine/zef_base.h"
#include "engine/zef_dx.h"
#include "platform/headless.h"
#include "shell/main_window.h"

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

inline bool inList(const dlist<ZefBase>& list, const ZefBase* object) {
    for (const ZefBase* member = list.head; member != nullptr; member = member->next) {
        if (member == object) return true;
    }
    return false;
}

// Runs with the build directory as the current one, where the build puts the
// game's data, as the game itself runs beside it.
class InBuildDir : public ::testing::Test {
  protected:
    void SetUp() override {
        previous_ = std::filesystem::current_path();
        std::filesystem::current_path(KESTOVA_BUILD_DIR);
        ASSERT_TRUE(std::filesystem::exists("Kestova.dat"))
            << "Kestova.dat is made by the build in " << KESTOVA_BUILD_DIR;
    }
    void TearDown() override {
        std::error_code ignored;
        std::filesystem::current_path(previous_, ignored);
    }

  private:
    std::filesystem::path previous_;
};

}  // namespace longrun
