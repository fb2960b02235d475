#include "golden_support/png_dump.h"

#include <cairo.h>

namespace golden {

bool writePng(const std::string& path, const std::vector<uint16_t>& pixels, int width, int height) {
    if (width <= 0 || height <= 0 || pixels.size() < size_t(width) * size_t(height)) return false;
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
    cairo_surface_flush(surface);
    unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(data + size_t(y) * size_t(stride));
        for (int x = 0; x < width; ++x) {
            const uint16_t p = pixels[size_t(y) * size_t(width) + size_t(x)];
            const uint32_t r = (p >> 11) & 31, g = (p >> 5) & 63, b = p & 31;
            row[x] = (r * 255 / 31) << 16 | (g * 255 / 63) << 8 | (b * 255 / 31);
        }
    }
    cairo_surface_mark_dirty(surface);
    const bool ok = cairo_surface_write_to_png(surface, path.c_str()) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(surface);
    return ok;
}

}  // namespace golden
