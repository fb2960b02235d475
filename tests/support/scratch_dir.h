#pragma once
// Folders the tests work in: a fresh scratch folder removed with its object,
// and the build folder, where the build puts the game's data.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "current_dir.h"

namespace kit {

// A fresh folder under the system's temporary folder, removed with the object.
class ScratchDir {
  public:
    ScratchDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "kestova_XXXXXX").string();
        std::vector<char> buf(pattern.begin(), pattern.end());
        buf.push_back('\0');
        if (mkdtemp(buf.data()) != nullptr) path_ = buf.data();
    }
    ~ScratchDir() {
        std::error_code ignored;
        if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }
    bool ready() const { return !path_.empty(); }

    static void write(const std::string& file, const std::string& text) {
        std::filesystem::create_directories(std::filesystem::path(file).parent_path());
        std::ofstream(file, std::ios::binary) << text;
    }
    static std::string read(const std::string& file) {
        std::ostringstream text;
        text << std::ifstream(file, std::ios::binary).rdbuf();
        return text.str();
    }

  private:
    std::string path_;
};

// The build folder as the current one, as the game runs beside its data.
class InBuildDir : public ::testing::Test {
  protected:
    void SetUp() override {
        here_ = std::make_unique<CurrentDir>(buildDir());
        ASSERT_TRUE(std::filesystem::exists("Kestova.dat"))
            << "Kestova.dat is made by the build in " << buildDir();
    }
    void TearDown() override { here_.reset(); }

  private:
    std::unique_ptr<CurrentDir> here_;
};

}  // namespace kit
