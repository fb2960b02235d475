#include "icon.h"

#include <cairo.h>

#include <filesystem>

#include "art.h"
#include "draw_kit.h"

using namespace kit;

namespace {

// The whole icon in a unit square.
void drawIcon(cairo_t* cr) {
    roundedRect(cr, 0.02, 0.02, 0.96, 0.96, 0.18);
    cairo_clip_preserve(cr);
    verticalGradient(cr, 0.0, hex(art::kSkyTop), 0.66, hex(art::kHaze));
    cairo_fill(cr);
    // The sea, with two crests.
    cairo_rectangle(cr, 0, 0.66, 1, 0.34);
    verticalGradient(cr, 0.66, hex(0x2A8AC0), 1.0, hex(0x0E3A78));
    cairo_fill(cr);
    cairo_set_line_width(cr, 0.025);
    colour(cr, hex(0xD8F0FA), 0.8);
    for (double y : {0.78, 0.9}) {
        cairo_move_to(cr, 0.52, y);
        cairo_curve_to(cr, 0.6, y - 0.03, 0.68, y + 0.03, 0.76, y);
        cairo_stroke(cr);
    }
    // The island and its palm.
    cairo_save(cr);
    cairo_translate(cr, 0.25, 0.68);
    cairo_scale(cr, 0.23, 0.07);
    disc(cr, 0, 0, 1);
    cairo_restore(cr);
    fillAndOutline(cr, hex(0xE8C880), kBrownInk, 0.015);
    cairo_move_to(cr, 0.24, 0.66);
    cairo_curve_to(cr, 0.23, 0.55, 0.26, 0.46, 0.31, 0.4);
    cairo_set_line_width(cr, 0.045);
    colour(cr, hex(0x7A5030));
    cairo_stroke(cr);
    for (double angle : {-2.7, -2.0, -1.2, -0.4, 0.3}) {
        cairo_save(cr);
        cairo_translate(cr, 0.31, 0.4);
        cairo_rotate(cr, angle);
        cairo_move_to(cr, 0, 0);
        cairo_curve_to(cr, 0.06, -0.05, 0.14, -0.03, 0.19, 0.04);
        cairo_curve_to(cr, 0.12, 0.0, 0.06, 0.02, 0, 0);
        cairo_restore(cr);
        fillAndOutline(cr, hex(0x3EAE3A), hex(0x1E5A1C), 0.012);
    }
    // The plane, climbing.
    cairo_save(cr);
    cairo_translate(cr, 0.6, 0.33);
    cairo_rotate(cr, -0.25);
    cairo_scale(cr, 0.014, 0.014);
    art::drawPlane(cr, false);
    cairo_restore(cr);
    cairo_reset_clip(cr);
    roundedRect(cr, 0.02, 0.02, 0.96, 0.96, 0.18);
    colour(cr, kInk);
    cairo_set_line_width(cr, 0.02);
    cairo_stroke(cr);
}

}  // namespace

bool writeIcons(const std::string& dir, std::string& error) {
    for (int size : {32, 64, 128, 256}) {
        const std::string name = std::to_string(size) + "x" + std::to_string(size);
        const std::filesystem::path folder = std::filesystem::path(dir) / name / "apps";
        std::error_code ec;
        std::filesystem::create_directories(folder, ec);
        cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, size, size);
        cairo_t* cr = cairo_create(surface);
        cairo_scale(cr, size, size);
        drawIcon(cr);
        cairo_destroy(cr);
        const std::string file = (folder / "kestova.png").string();
        const cairo_status_t status = cairo_surface_write_to_png(surface, file.c_str());
        cairo_surface_destroy(surface);
        if (ec || status != CAIRO_STATUS_SUCCESS) {
            error = "cannot write " + file;
            return false;
        }
    }
    return true;
}
