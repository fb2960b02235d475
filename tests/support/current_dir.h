#pragma once
// The build folder, where the build puts the game's data, and a current
// folder for a while. Free of the test framework: the golden tools use it too.
#include <filesystem>
#include <string>

namespace kit {

inline std::string buildDir() {
    return KESTOVA_BUILD_DIR;
}

// Makes `dir` the current folder while the object lives.
class CurrentDir {
  public:
    explicit CurrentDir(const std::filesystem::path& dir)
        : previous_(std::filesystem::current_path()) {
        std::filesystem::current_path(dir);
    }
    ~CurrentDir() {
        std::error_code ignored;
        std::filesystem::current_path(previous_, ignored);
    }
    CurrentDir(const CurrentDir&) = delete;
    CurrentDir& operator=(const CurrentDir&) = delete;

  private:
    std::filesystem::path previous_;
};

}  // namespace kit
