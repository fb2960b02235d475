#include "platform/screenshot.h"

#include <png.h>
#include <sys/stat.h>

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <memory>
#include <vector>

#include "platform/xdg_dirs.h"

namespace platform {

namespace {

bool isDirectory(const std::string& path) {
    struct stat info;
    return !path.empty() && stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// The XDG_PICTURES_DIR line of user-dirs.dirs: a quoted path that is either
// absolute or starts with $HOME/.
std::string userDirsEntry(const std::string& home) {
    const std::string config = envOr("XDG_CONFIG_HOME", home.empty() ? "" : home + "/.config");
    if (config.empty()) return "";
    std::ifstream file(config + "/user-dirs.dirs");
    std::string line;
    const std::string key = "XDG_PICTURES_DIR=\"";
    while (std::getline(file, line)) {
        if (line.compare(0, key.size(), key) != 0) continue;
        const size_t end = line.find('"', key.size());
        if (end == std::string::npos) return "";
        std::string value = line.substr(key.size(), end - key.size());
        if (value.compare(0, 5, "$HOME") == 0) return home.empty() ? "" : home + value.substr(5);
        return value[0] == '/' ? value : "";
    }
    return "";
}

struct PngWriter {
    png_structp png = nullptr;
    png_infop info = nullptr;
    ~PngWriter() { png_destroy_write_struct(&png, info != nullptr ? &info : nullptr); }
};

void pngError(png_structp png, png_const_charp message) {
    auto* error = static_cast<std::string*>(png_get_error_ptr(png));
    *error = message;
    std::longjmp(png_jmpbuf(png), 1);
}

void pngWarning(png_structp, png_const_charp) {}

// Everything that may longjmp lives here, with no C++ object to unwind.
bool encode(std::FILE* file, const std::vector<png_bytep>& rows, int width, int height,
            std::string& error) {
    PngWriter w;
    w.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &error, pngError, pngWarning);
    if (w.png == nullptr) {
        error = "out of memory";
        return false;
    }
    w.info = png_create_info_struct(w.png);
    if (w.info == nullptr) {
        error = "out of memory";
        return false;
    }
    if (setjmp(png_jmpbuf(w.png))) return false;
    png_init_io(w.png, file);
    png_set_IHDR(w.png, w.info, png_uint_32(width), png_uint_32(height), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    // The picture has 5, 6 and 5 bits of red, green and blue.
    png_color_8 bits;
    std::memset(&bits, 0, sizeof bits);
    bits.red = 5;
    bits.green = 6;
    bits.blue = 5;
    png_set_sBIT(w.png, w.info, &bits);
    png_write_info(w.png, w.info);
    png_write_image(w.png, const_cast<png_bytepp>(rows.data()));
    png_write_end(w.png, nullptr);
    return true;
}

}  // namespace

std::string picturesDirectory() {
    const std::string home = envOr("HOME", "");
    for (const std::string& candidate : {envOr("XDG_PICTURES_DIR", ""), userDirsEntry(home),
                                         home.empty() ? std::string() : home + "/Pictures"}) {
        if (isDirectory(candidate)) return candidate;
    }
    return ".";
}

bool writePng(const PixelSurface& picture, const std::string& path, std::string& error) {
    const int width = picture.width(), height = picture.height();
    std::vector<png_byte> rgb(size_t(width) * size_t(height) * 3);
    std::vector<png_bytep> rows(static_cast<size_t>(height));
    for (int y = 0; y < height; ++y) {
        const uint16_t* src = picture.pixels() + size_t(y) * size_t(picture.pitch() / 2);
        png_bytep row = &rgb[size_t(y) * size_t(width) * 3];
        rows[size_t(y)] = row;
        for (int x = 0; x < width; ++x) {
            const unsigned r = src[x] >> 11, g = (src[x] >> 5) & 63, b = src[x] & 31;
            // Repeating the high bits spreads each value over the whole byte.
            row[3 * x] = png_byte(r << 3 | r >> 2);
            row[3 * x + 1] = png_byte(g << 2 | g >> 4);
            row[3 * x + 2] = png_byte(b << 3 | b >> 2);
        }
    }
    // "x": never replace a file that appeared meanwhile.
    std::FILE* file = std::fopen(path.c_str(), "wbx");
    if (file == nullptr) {
        error = path + ": " + std::strerror(errno);
        return false;
    }
    std::string pngMessage;
    bool ok = encode(file, rows, width, height, pngMessage);
    if (std::fclose(file) != 0 && ok) {
        ok = false;
        pngMessage = std::strerror(errno);
    }
    if (!ok) {
        error = path + ": " + (pngMessage.empty() ? "cannot write" : pngMessage);
        std::remove(path.c_str());
    }
    return ok;
}

std::string saveScreenshot(const PixelSurface& picture, const std::string& directory,
                           int64_t calendarSeconds, std::string& error) {
    const std::string base = directory + "/kestova-" + fileTimeStamp(calendarSeconds);
    // A thousand pictures in one second would be a runaway key, not a player.
    for (int n = 1; n <= 1000; ++n) {
        const std::string path = base + (n == 1 ? "" : "-" + std::to_string(n)) + ".png";
        struct stat info;
        if (lstat(path.c_str(), &info) == 0) continue;
        if (writePng(picture, path, error)) return path;
        // Taken meanwhile by another program: the next name. Else a real failure.
        if (lstat(path.c_str(), &info) != 0) return "";
    }
    error = base + ".png: too many screenshots with this name";
    return "";
}

}  // namespace platform
