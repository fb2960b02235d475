#pragma once
// Pictures and archives written by the tests themselves, and an engine on
// the headless backend working in a scratch directory.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/surface.h"
#include "engine/zef_dx.h"
#include "platform/headless.h"
#include "services/zef_file_manager.h"
#include "support/byte_writers.h"
#include "support/scratch_dir.h"

namespace picture_test {

// Exact 5-6-5 colours as 0x00BBGGRR and their pixel values.
constexpr uint32_t kRed = 0x0000F8, kGreen = 0x00FC00, kBlue = 0xF80000, kWhite = 0xFFFFFF;
constexpr uint16_t kRedPixel = 0xF800, kGreenPixel = 0x07E0, kBluePixel = 0x001F;

// The kit's writers as strings, the archive's own contents type.
inline std::string bmp(int width, int height, const std::function<uint32_t(int, int)>& colour) {
    return kit::text(kit::bmp24(width, height, colour));
}
inline std::string solid(int width, int height, uint32_t rgb) {
    return kit::text(kit::solidBmp(width, height, rgb));
}

using Files = kit::Files;
using kit::archive;
using kit::entryName;
using kit::entryOffset;
using kit::entrySize;
using kit::pokeLE;
using kit::writeFile;

// An engine on the headless backend in a fresh current directory, with its
// log lines kept.
class EngineFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.ready());
        here_ = std::make_unique<kit::CurrentDir>(dir_.path());
        engine = std::make_unique<ZefDX>(&system, true, 640, 480, 16);
        engine->logSink = [](const std::string& line, void* context) {
            static_cast<std::vector<std::string>*>(context)->push_back(line);
        };
        engine->logContext = &logLines;
    }
    void TearDown() override {
        engine.reset();
        here_.reset();
    }

    // Writes the files as "Kestova.dat" and selects it.
    void useArchive(const Files& files) {
        writeFile("Kestova.dat", archive(files));
        engine->fileManager->setArchive("Kestova.dat");
    }

    uint16_t backPixel(int x, int y) const { return engine->back->ddSurface->getPixel(x, y); }
    void clearBack() { engine->back->fill(nullptr, 0); }
    // Pixels of the back surface with the given value inside `r`.
    int countIn(const RECT& r, uint16_t pixel) const {
        int n = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) n += backPixel(x, y) == pixel;
        return n;
    }
    // Pixels of the whole back surface that are not 0.
    int paintedCount() const {
        int n = 0;
        for (int y = 0; y < engine->height; ++y)
            for (int x = 0; x < engine->width; ++x) n += backPixel(x, y) != 0;
        return n;
    }
    // The smallest rectangle holding every non-zero pixel of the back surface.
    RECT paintedBounds() const {
        RECT r{engine->width, engine->height, 0, 0};
        for (int y = 0; y < engine->height; ++y)
            for (int x = 0; x < engine->width; ++x)
                if (backPixel(x, y) != 0) {
                    r.left = std::min(r.left, x);
                    r.top = std::min(r.top, y);
                    r.right = std::max(r.right, x + 1);
                    r.bottom = std::max(r.bottom, y + 1);
                }
        return r;
    }

    platform::HeadlessSystem system;
    std::unique_ptr<ZefDX> engine;
    std::vector<std::string> logLines;

  private:
    kit::ScratchDir dir_;
    std::unique_ptr<kit::CurrentDir> here_;
};

}  // namespace picture_test
