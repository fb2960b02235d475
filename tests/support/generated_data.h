#pragma once
// The generated "Kestova.dat" of this build, opened through the engine's file manager.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "engine/zef_dx.h"
#include "platform/headless.h"
#include "platform/pixel_surface.h"
#include "services/zef_file_manager.h"
#include "support/byte_writers.h"
#include "support/scratch_dir.h"

namespace generated_data {

inline std::string archivePath() {
    return kit::buildDir() + "/Kestova.dat";
}

class GeneratedDataFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(std::filesystem::exists(archivePath()))
            << archivePath() << " is missing: build the kestova_data target first";
        engine = std::make_unique<ZefDX>(&system, true, 640, 480, 16);
        files().setArchive(archivePath());
    }

    ZefFileManager& files() { return *engine->fileManager; }

    std::vector<uint8_t> bytesOf(const std::string& name) {
        auto stream = files().openFile(name);
        return std::vector<uint8_t>(stream->data(), stream->data() + stream->size());
    }

    // The picture as the engine holds it: 5-6-5, near-blacks turned into 0.
    std::unique_ptr<platform::PixelSurface> picture(const std::string& name) {
        std::vector<uint8_t> data = bytesOf(name);
        std::string error;
        auto surface = platform::PixelSurface::decodeBMP(data.data(), data.size(), error);
        EXPECT_TRUE(surface) << name << ": " << error;
        return surface;
    }

    // How many numbered pictures base_0, base_1, ... exist without a gap.
    int seriesLength(const std::string& base) {
        int n = 0;
        while (files().fileExists(base + "_" + std::to_string(n) + ".bmp")) ++n;
        return n;
    }

    platform::HeadlessSystem system;
    std::unique_ptr<ZefDX> engine;
};

using kit::le16;
using kit::le32;

}  // namespace generated_data
