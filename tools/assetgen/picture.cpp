#include "picture.h"

#include <algorithm>

namespace {

void put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(v & 0xFF);
    out.push_back((v >> 8) & 0xFF);
}

void put32(std::vector<uint8_t>& out, uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

// Colours whose every channel vanishes in a 16-bit layout would turn transparent.
constexpr int kDarkest = 8;

}  // namespace

Picture::Picture(int width, int height)
    : width_(width),
      height_(height),
      surface_(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height)) {}

cairo_t* Picture::context() const {
    cairo_t* cr = cairo_create(surface_.get());
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_GRAY);
    return cr;
}

uint32_t Picture::rgbAt(int x, int y) const {
    cairo_surface_flush(surface_.get());
    const unsigned char* data = cairo_image_surface_get_data(surface_.get());
    int stride = cairo_image_surface_get_stride(surface_.get());
    return fileColour(reinterpret_cast<const uint32_t*>(data + y * stride)[x]);
}

uint32_t Picture::fileColour(uint32_t argb) {
    uint32_t a = argb >> 24;
    if (a < 128) return 0;
    // Premultiplied channels: divide out the coverage so edges keep their own colour.
    uint32_t r = std::min<uint32_t>(255, ((argb >> 16) & 0xFF) * 255 / a);
    uint32_t g = std::min<uint32_t>(255, ((argb >> 8) & 0xFF) * 255 / a);
    uint32_t b = std::min<uint32_t>(255, (argb & 0xFF) * 255 / a);
    if (r < kDarkest && g < kDarkest && b < kDarkest) r = g = b = kDarkest;
    return (r << 16) | (g << 8) | b;
}

void Picture::ditherTo565() {
    static const int kBayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    cairo_surface_flush(surface_.get());
    unsigned char* data = cairo_image_surface_get_data(surface_.get());
    int stride = cairo_image_surface_get_stride(surface_.get());
    auto quantise = [](uint32_t c, int threshold, int step) {
        int v = static_cast<int>(c) + threshold * step / 16;
        v = v / step * step;
        return static_cast<uint32_t>(std::min(v, 256 - step));
    };
    for (int y = 0; y < height_; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(data + y * stride);
        for (int x = 0; x < width_; ++x) {
            uint32_t argb = row[x];
            if ((argb >> 24) != 255) continue;  // only fully opaque areas carry gradients
            int t = kBayer[y & 3][x & 3];
            uint32_t r = quantise((argb >> 16) & 0xFF, t, 8);
            uint32_t g = quantise((argb >> 8) & 0xFF, t, 4);
            uint32_t b = quantise(argb & 0xFF, t, 8);
            row[x] = 0xFF000000u | (r << 16) | (g << 8) | b;
        }
    }
    cairo_surface_mark_dirty(surface_.get());
}

std::vector<uint8_t> Picture::toBmp() const {
    const uint32_t rowBytes = (static_cast<uint32_t>(width_) * 3 + 3) & ~3u;
    const uint32_t imageBytes = rowBytes * static_cast<uint32_t>(height_);
    std::vector<uint8_t> out;
    out.reserve(54 + imageBytes);
    out.push_back('B');
    out.push_back('M');
    put32(out, 54 + imageBytes);
    put32(out, 0);
    put32(out, 54);
    put32(out, 40);
    put32(out, static_cast<uint32_t>(width_));
    put32(out, static_cast<uint32_t>(height_));  // positive: bottom-up rows
    put16(out, 1);
    put16(out, 24);
    put32(out, 0);  // BI_RGB
    put32(out, imageBytes);
    put32(out, 2835);
    put32(out, 2835);
    put32(out, 0);
    put32(out, 0);
    cairo_surface_flush(surface_.get());
    const unsigned char* data = cairo_image_surface_get_data(surface_.get());
    int stride = cairo_image_surface_get_stride(surface_.get());
    for (int y = height_ - 1; y >= 0; --y) {
        size_t start = out.size();
        const auto* row = reinterpret_cast<const uint32_t*>(data + y * stride);
        for (int x = 0; x < width_; ++x) {
            uint32_t rgb = fileColour(row[x]);
            out.push_back(rgb & 0xFF);
            out.push_back((rgb >> 8) & 0xFF);
            out.push_back((rgb >> 16) & 0xFF);
        }
        out.resize(start + rowBytes, 0);
    }
    return out;
}
