#include "contact_sheet.h"

#include <algorithm>
#include <filesystem>

#include "draw_kit.h"

namespace {

// The picture as stored in its file: transparent pixels shown on a checkerboard.
Picture asStored(const Picture& picture) {
    return Picture::filled(picture.width(), picture.height(), [&](int x, int y) {
        uint32_t rgb = picture.rgbAt(x, y);
        if (rgb == 0) rgb = ((x / 4 + y / 4) % 2) ? 0x5C4A6A : 0x4A3C58;
        return 0xFF000000u | rgb;
    });
}

std::string fileNameFor(const std::string& title) {
    std::string name;
    for (char c : title) {
        if (c == ' ' || c == '(' || c == ')') continue;
        name += (c == '/' || c == '.') ? '_' : c;
    }
    return name + ".png";
}

}  // namespace

bool writeContactSheets(const AssetBundle& bundle, const std::string& dir, std::string& error) {
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (ec) {
        error = "cannot create " + dir + ": " + ec.message();
        return false;
    }
    for (const AssetBundle::Group& group : bundle.groups()) {
        int cellW = 0, cellH = 0;
        for (const Picture& p : group.pictures) {
            cellW = std::max(cellW, p.width());
            cellH = std::max(cellH, p.height());
        }
        const int zoom = cellW <= 24 ? 4 : cellW <= 96 ? 2 : 1;
        const int count = static_cast<int>(group.pictures.size());
        const int columns = std::max(1, std::min(count, 1400 / (cellW * zoom + 12)));
        const int rows = (count + columns - 1) / columns;
        const int labelH = count > 1 ? 14 : 0;
        const int pitchW = cellW * zoom + 12, pitchH = cellH * zoom + 12 + labelH;
        Picture sheet(columns * pitchW + 8, rows * pitchH + 34);
        {
            Pen cr(sheet);
            kit::colour(cr, kit::hex(0x30343C));
            cairo_paint(cr);
            kit::selectFont(cr, 14);
            kit::colour(cr, kit::hex(0xF0F0F0));
            cairo_move_to(cr, 8, 20);
            cairo_show_text(cr, group.title.c_str());
            for (int i = 0; i < count; ++i) {
                const Picture& p = group.pictures[i];
                double x = 8 + (i % columns) * pitchW, y = 30 + (i / columns) * pitchH;
                if (labelH) {
                    kit::selectFont(cr, 10);
                    kit::colour(cr, kit::hex(0xC8C8C8));
                    cairo_move_to(cr, x, y + 10);
                    cairo_show_text(cr, std::to_string(i).c_str());
                }
                Picture stored = asStored(p);
                cairo_save(cr);
                cairo_translate(cr, x, y + labelH);
                cairo_scale(cr, zoom, zoom);
                cairo_set_source_surface(cr, stored.surface(), 0, 0);
                cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
                cairo_paint(cr);
                cairo_restore(cr);
            }
        }
        std::string path = dir + "/" + fileNameFor(group.title);
        if (cairo_surface_write_to_png(sheet.surface(), path.c_str()) != CAIRO_STATUS_SUCCESS) {
            error = "cannot write " + path;
            return false;
        }
    }
    return true;
}
