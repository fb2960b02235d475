#pragma once
// Pictures and archives written by the tests themselves, and an engine on
// the headless backend working in a scratch directory.
#include <gtest/gtest.h>
#include <unistd.h>

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

namespace picture_test {

// Exact 5-6-5 colours as 0x00BBGGRR and their pixel values.
constexpr uint32_t kRed = 0x0000F8, kGreen = 0x00FC00, kBlue = 0xF80000, kWhite = 0xFFFFFF;
constexpr uint16_t kRedPixel = 0xF800, kGreenPixel = 0x07E0, kBluePixel = 0x001F;

inline void putLE(std::string& out, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out += char((v >> (8 * i)) & 0xFF);
}

// A 24-bit bottom-up BMP; `colour(x, y)` gives 0x00BBGGRR with y from the top.
inline std::string bmp(int width, int height, const std::function<uint32_t(int, int)>& colour) {
    const int rowBytes = (width * 3 + 3) & ~3;
    std::string out = "BM";
    putLE(out, uint32_t(54 + rowBytes * height), 4);
    putLE(out, 0, 4);
    putLE(out, 54, 4);
    putLE(out, 40, 4);
    putLE(out, uint32_t(width), 4);
    putLE(out, uint32_t(height), 4);
    putLE(out, 1, 2);
    putLE(out, 24, 2);
    putLE(out, 0, 4);
    putLE(out, uint32_t(rowBytes * height), 4);
    putLE(out, 2835, 4);
    putLE(out, 2835, 4);
    putLE(out, 0, 4);
    putLE(out, 0, 4);
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x) {
            const uint32_t c = colour(x, y);
            out += char((c >> 16) & 0xFF);
            out += char((c >> 8) & 0xFF);
            out += char(c & 0xFF);
        }
        out.append(size_t(rowBytes - width * 3), '\0');
    }
    return out;
}

inline std::string solid(int width, int height, uint32_t rgb) {
    return bmp(width, height, [rgb](int, int) { return rgb; });
}

using Files = std::vector<std::pair<std::string, std::string>>;

// The archive layout: count, 88-byte entries, then the data in entry order.
inline std::string archive(const Files& files) {
    std::string out;
    putLE(out, uint32_t(files.size()), 4);
    uint32_t offset = uint32_t(4 + 88 * files.size());
    for (const auto& [name, data] : files) {
        std::string field = name;
        field.resize(80, '\0');
        out += field;
        putLE(out, offset, 4);
        putLE(out, uint32_t(data.size()), 4);
        offset += uint32_t(data.size());
    }
    for (const auto& file : files) out += file.second;
    return out;
}

// Overwrites a little-endian 32-bit word of `bytes` at `at`.
inline void poke32(std::string& bytes, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes[at + size_t(i)] = char((v >> (8 * i)) & 0xFF);
}
// Where entry i's name, offset and size fields start.
inline size_t entryName(int i) {
    return 4 + 88 * size_t(i);
}
inline size_t entryOffset(int i) {
    return entryName(i) + 80;
}
inline size_t entrySize(int i) {
    return entryName(i) + 84;
}

inline void writeFile(const std::string& path, const std::string& bytes) {
    const std::filesystem::path p(path);
    if (p.has_parent_path()) std::filesystem::create_directories(p.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

// An engine on the headless backend in a fresh current directory, with its
// log lines kept.
class EngineFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        previousDir_ = std::filesystem::current_path();
        char pattern[] = "/tmp/kestova_pictures_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
        std::filesystem::current_path(dir_);
        engine = std::make_unique<ZefDX>(&system, true, 640, 480, 16);
        engine->logSink = [](const std::string& line, void* context) {
            static_cast<std::vector<std::string>*>(context)->push_back(line);
        };
        engine->logContext = &logLines;
    }
    void TearDown() override {
        engine.reset();
        std::error_code ignored;
        std::filesystem::current_path(previousDir_, ignored);
        std::filesystem::remove_all(dir_, ignored);
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
    std::filesystem::path previousDir_;
    std::string dir_;
};

}  // namespace picture_test
