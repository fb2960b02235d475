#include "platform/executable_dir.h"

#include <filesystem>

namespace platform {

std::string executableDirectory() {
    std::error_code ec;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec || self.empty()) return {};
    return self.parent_path().string();
}

}  // namespace platform
