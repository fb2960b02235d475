// Screenshots: F12 saves the picture on screen as a PNG in the pictures
// folder, never over an existing file, never as a key the game sees, and a
// folder that cannot be written costs one line on stderr and nothing else.
#include "platform/screenshot.h"

#include <cairo.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <time.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "match_screen_fixture.h"
#include "services/sound.h"
#include "support/scratch_dir.h"

namespace {

namespace fs = std::filesystem;

// The headless calendar starts at 2000-01-01 00:00:00 UTC.
const char* const kFirstName = "kestova-20000101-000000.png";

// Sets environment variables for one test and puts the old values back.
class ScopedEnv {
  public:
    void set(const char* name, const std::string& value) {
        remember(name);
        setenv(name, value.c_str(), 1);
    }
    void unset(const char* name) {
        remember(name);
        unsetenv(name);
    }
    ~ScopedEnv() {
        for (const auto& [name, value] : old_) {
            if (value.first) {
                setenv(name.c_str(), value.second.c_str(), 1);
            } else {
                unsetenv(name.c_str());
            }
        }
        tzset();
    }

  private:
    void remember(const char* name) {
        if (old_.count(name) != 0) return;
        const char* v = getenv(name);
        old_[name] = {v != nullptr, v != nullptr ? v : ""};
    }
    std::map<std::string, std::pair<bool, std::string>> old_;
};

// The PNG decoded (by cairo, not by the writer's library) back to 5-6-5.
std::vector<uint16_t> decodePng(const std::string& path, int& width, int& height) {
    std::vector<uint16_t> out;
    cairo_surface_t* image = cairo_image_surface_create_from_png(path.c_str());
    if (cairo_surface_status(image) == CAIRO_STATUS_SUCCESS) {
        width = cairo_image_surface_get_width(image);
        height = cairo_image_surface_get_height(image);
        const int stride = cairo_image_surface_get_stride(image);
        const unsigned char* data = cairo_image_surface_get_data(image);
        for (int y = 0; y < height; ++y) {
            const auto* row = reinterpret_cast<const uint32_t*>(data + size_t(y) * size_t(stride));
            for (int x = 0; x < width; ++x) {
                const uint32_t p = row[x];
                const uint32_t r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
                // Each value must be the widening of a 5-6-5 one, not just near it.
                const uint16_t v = uint16_t((r >> 3) << 11 | (g >> 2) << 5 | (b >> 3));
                const bool widened = r == ((r >> 3) << 3 | r >> 5) &&
                                     g == ((g >> 2) << 2 | g >> 6) && b == ((b >> 3) << 3 | b >> 5);
                out.push_back(widened ? v : uint16_t(~v));
            }
        }
    }
    cairo_surface_destroy(image);
    return out;
}

class ScreenshotTest : public screen_test::ScreenFixture {
  protected:
    void SetUp() override {
        env.set("TZ", "UTC");
        tzset();
        env.set("XDG_PICTURES_DIR", pictures.path());
        ScreenFixture::SetUp();
        system().setKeepPixels(true);
    }
    void pressF12() { tap(DIK_F12); }
    std::string shot(const std::string& name) const { return pictures.path() + "/" + name; }

    ScopedEnv env;
    kit::ScratchDir pictures;
};

TEST_F(ScreenshotTest, SavedFileIsThePictureOnScreenAndClicks) {
    step(3);  // the menu, its arrows still sliding
    const std::vector<uint16_t> shown = system().frames().back().pixels;
    form().click->stop();
    pressF12();
    step();
    int width = 0, height = 0;
    const std::vector<uint16_t> decoded = decodePng(shot(kFirstName), width, height);
    ASSERT_EQ(width, 640);
    ASSERT_EQ(height, 480);
    EXPECT_TRUE(decoded == shown) << "the PNG is not the presented frame";
    EXPECT_TRUE(form().click->playing());
    // F12 is the window's: the menu never saw a key.
    EXPECT_FALSE(engine->input->keyDown(DIK_F12));
    EXPECT_EQ(menu().selectedRow, 0);
}

TEST_F(ScreenshotTest, NamesNeverCollideAndNoFileIsOverwritten) {
    {
        std::ofstream mine(shot(kFirstName));
        mine << "the player's own file";
    }
    pressF12();
    step(2);
    pressF12();
    step(2);
    EXPECT_TRUE(fs::exists(shot("kestova-20000101-000000-2.png")));
    EXPECT_TRUE(fs::exists(shot("kestova-20000101-000000-3.png")));
    std::ifstream mine(shot(kFirstName));
    std::string text;
    std::getline(mine, text);
    EXPECT_EQ(text, "the player's own file");
    // A held F12 is one screenshot, not one per frame.
    hold(DIK_F12, 5);
    step(5);
    EXPECT_TRUE(fs::exists(shot("kestova-20000101-000000-4.png")));
    EXPECT_FALSE(fs::exists(shot("kestova-20000101-000000-5.png")));
}

TEST_F(ScreenshotTest, UnwritableFolderCostsOneLineAndTheGameGoesOn) {
    // Not even root may create files in /proc.
    env.set("XDG_PICTURES_DIR", "/proc");
    testing::internal::CaptureStderr();
    pressF12();
    step();
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    EXPECT_NE(err.find("/proc/kestova-20000101-000000.png"), std::string::npos) << err;
    EXPECT_TRUE(system().messageBoxes().empty());
    tap(DIK_DOWN);
    step(2);
    EXPECT_EQ(menu().selectedRow, 1);
}

TEST_F(ScreenshotTest, F12IsNoAnyKeyOfTheQuitScreen) {
    // F12 while the quit screen waits for a key, then Escape: back to the menu.
    const int read = system().keyReads();
    system().holdKey(DIK_ESCAPE, read, read + 1);
    system().holdKey(DIK_F12, read + 3, read + 6);
    system().holdKey(DIK_ESCAPE, read + 8, read + 9);
    step();
    EXPECT_FALSE(form().quitRequested) << "F12 answered the quit screen";
    EXPECT_TRUE(fs::exists(shot(kFirstName)));
}

TEST(PicturesDirectory, EnvironmentThenUserDirsThenPicturesThenHere) {
    ScopedEnv env;
    kit::ScratchDir home;
    env.set("HOME", home.path());
    env.unset("XDG_CONFIG_HOME");
    env.unset("XDG_PICTURES_DIR");
    EXPECT_EQ(platform::picturesDirectory(), ".");
    fs::create_directory(home.path() + "/Pictures");
    EXPECT_EQ(platform::picturesDirectory(), home.path() + "/Pictures");

    fs::create_directories(home.path() + "/.config");
    fs::create_directory(home.path() + "/Bilder");
    {
        std::ofstream dirs(home.path() + "/.config/user-dirs.dirs");
        dirs << "# written by xdg-user-dirs-update\n"
             << "XDG_DESKTOP_DIR=\"$HOME/Desktop\"\n"
             << "XDG_PICTURES_DIR=\"$HOME/Bilder\"\n";
    }
    EXPECT_EQ(platform::picturesDirectory(), home.path() + "/Bilder");

    fs::create_directory(home.path() + "/shots");
    env.set("XDG_PICTURES_DIR", home.path() + "/shots");
    EXPECT_EQ(platform::picturesDirectory(), home.path() + "/shots");
    // A folder that does not exist is passed over.
    env.set("XDG_PICTURES_DIR", home.path() + "/gone");
    EXPECT_EQ(platform::picturesDirectory(), home.path() + "/Bilder");
}

}  // namespace
