// Where the game looks for its archive: the current directory, beside the
// program, then the installed data folder of the program's prefix.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/headless.h"
#include "shell/application.h"
#include "shell/data_location.h"
#include "support/scratch_dir.h"

namespace fs = std::filesystem;

namespace {

class DataLocationTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(scratch_.ready());
        root = fs::canonical(scratch_.path());
        bin = root / "prefix/bin";
        data = root / "prefix/share/kestova";
        home = root / "home";
        for (const fs::path& dir : {bin, data, home}) fs::create_directories(dir);
        here_ = std::make_unique<kit::CurrentDir>(home);
    }
    void TearDown() override { here_.reset(); }
    static void put(const fs::path& path) { std::ofstream(path) << "x"; }
    DataLookup find(const fs::path& executableDir) {
        return findDataArchive("Kestova.dat", executableDir.string(), "../share/kestova");
    }

    fs::path root, bin, data, home;

  private:
    kit::ScratchDir scratch_;
    std::unique_ptr<kit::CurrentDir> here_;
};

TEST_F(DataLocationTest, EachPlaceIsTakenInTurn) {
    put(data / "Kestova.dat");
    DataLookup found = find(bin);
    EXPECT_EQ(found.path, (data / "Kestova.dat").string());
    EXPECT_EQ(found.places.size(), 3u);

    put(bin / "Kestova.dat");
    found = find(bin);
    EXPECT_EQ(found.path, (bin / "Kestova.dat").string());
    EXPECT_EQ(found.places.size(), 2u);

    // The current directory wins, under the plain name, as before.
    put(home / "Kestova.dat");
    found = find(bin);
    EXPECT_EQ(found.path, "Kestova.dat");
    EXPECT_EQ(found.places, std::vector<std::string>{(home / "Kestova.dat").string()});
}

TEST_F(DataLocationTest, NoPlaceHoldingItNamesThemAll) {
    fs::create_directory(bin / "Kestova.dat");  // a folder is not the archive
    const DataLookup missing = find(bin);
    EXPECT_EQ(missing.path, "");
    EXPECT_EQ(describeMissingArchive("Kestova.dat", missing),
              "Cannot open file Kestova.dat (looked in " + (home / "Kestova.dat").string() + ", " +
                  (bin / "Kestova.dat").string() + ", " + (data / "Kestova.dat").string() + ")");

    // Started from its own folder: that folder is looked at once.
    fs::current_path(bin);
    EXPECT_EQ(find(bin).places.size(), 2u);
    // Where the program lies is unknown: only the current directory.
    EXPECT_EQ(find("").places.size(), 1u);
}

TEST_F(DataLocationTest, GameWithoutItsDataSaysWhereItLooked) {
    platform::HeadlessSystem system;
    EXPECT_EXIT(runApplication(system), ::testing::ExitedWithCode(255),
                "Function ZefDX::checkFile\\(\\): 'Cannot open file Kestova.dat \\(looked in " +
                    (home / "Kestova.dat").string() +
                    ", .*/Kestova.dat, .*/share/kestova/Kestova.dat\\)'");
}

}  // namespace
