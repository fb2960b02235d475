#include <cmath>

#include "art.h"
#include "draw_kit.h"

using namespace kit;

namespace art {
namespace {

Picture fireGradient() {
    Picture p(200, 20);
    Pen cr(p);
    cairo_pattern_t* g = cairo_pattern_create_linear(0, 0, 200, 0);
    cairo_pattern_add_color_stop_rgb(g, 0.00, 0.45, 0.04, 0.03);
    cairo_pattern_add_color_stop_rgb(g, 0.35, 0.90, 0.30, 0.05);
    cairo_pattern_add_color_stop_rgb(g, 0.65, 1.00, 0.80, 0.15);
    cairo_pattern_add_color_stop_rgb(g, 1.00, 1.00, 1.00, 1.00);
    cairo_set_source(cr, g);
    cairo_paint(cr);
    cairo_pattern_destroy(g);
    return p;
}

void cloud(cairo_t* cr, double x, double y, double scale) {
    static const double kPuffs[][3] = {{-30, 4, 14}, {-12, -6, 18}, {10, -10, 20},
                                       {30, -2, 15}, {44, 6, 10},   {0, 6, 14}};
    // Shadowed underside first, then the lit body slightly higher.
    for (int pass = 0; pass < 2; ++pass) {
        for (const auto& puff : kPuffs) {
            disc(cr, x + puff[0] * scale, y + (puff[1] - pass * 3) * scale, puff[2] * scale);
        }
        colour(cr, pass == 0 ? hex(0xC4D4E8) : hex(0xF6FAFF), 0.92);
        cairo_fill(cr);
    }
}

Picture sky() {
    Picture p(640, 240);
    Pen cr(p);
    // Eased gradient: deep blue holds for a while, then brightens quickly toward the haze.
    cairo_pattern_t* g = cairo_pattern_create_linear(0, 0, 0, 240);
    const int kStops = 12;
    for (int i = 0; i <= kStops; ++i) {
        double t = static_cast<double>(i) / kStops;
        double e = t * t;
        Rgb c = mix(hex(kSkyTop), hex(kHaze), e);
        cairo_pattern_add_color_stop_rgb(g, t, c.r, c.g, c.b);
    }
    cairo_set_source(cr, g);
    cairo_paint(cr);
    cairo_pattern_destroy(g);
    // A pale sun glow low on the right.
    cairo_pattern_t* sun = cairo_pattern_create_radial(520, 190, 4, 520, 190, 110);
    cairo_pattern_add_color_stop_rgba(sun, 0, 1, 0.98, 0.85, 0.55);
    cairo_pattern_add_color_stop_rgba(sun, 1, 1, 0.98, 0.85, 0.0);
    cairo_set_source(cr, sun);
    cairo_rectangle(cr, 380, 60, 260, 180);
    cairo_fill(cr);
    cairo_pattern_destroy(sun);
    cloud(cr, 90, 120, 1.0);
    cloud(cr, 300, 80, 0.7);
    cloud(cr, 470, 150, 1.2);
    cloud(cr, 610, 100, 0.6);
    // Far islands on the horizon, faint in the haze.
    colour(cr, hex(0x9CBCC8));
    cairo_move_to(cr, 150, 240);
    cairo_curve_to(cr, 170, 228, 200, 226, 230, 240);
    cairo_move_to(cr, 380, 240);
    cairo_curve_to(cr, 395, 232, 420, 233, 436, 240);
    cairo_fill(cr);
    // The top rows stay the exact screen colour so the fill above the layer joins it.
    colour(cr, hex(kSkyTop));
    cairo_rectangle(cr, 0, 0, 640, 8);
    cairo_fill(cr);
    p.ditherTo565();
    return p;
}

// One row of wave crests: arcs repeating every `period` pixels, a whole number per tile.
void waveRow(cairo_t* cr, double y, double period, double amplitude, double shift, Rgb light,
             double width) {
    cairo_set_line_width(cr, width);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    for (double x = -period + shift; x < 540 + period; x += period) {
        cairo_move_to(cr, x, y);
        cairo_curve_to(cr, x + period * 0.25, y - amplitude, x + period * 0.45, y - amplitude,
                       x + period * 0.6, y);
        colour(cr, light, 0.9);
        cairo_stroke(cr);
    }
}

Picture sea() {
    const int kWidth = 540;
    Picture p(kWidth, 120);
    Pen cr(p);
    colour(cr, hex(kHaze));
    cairo_paint(cr);
    // Water from a wavy line near the top; 30 swells fit the tile exactly.
    const int kSwells = 30;
    cairo_move_to(cr, 0, 120);
    for (int x = 0; x <= kWidth; ++x) {
        double y = 5.0 + 1.6 * std::sin(2 * kPi * kSwells * x / kWidth);
        cairo_line_to(cr, x, y);
    }
    cairo_line_to(cr, kWidth, 120);
    cairo_close_path(cr);
    cairo_pattern_t* g = cairo_pattern_create_linear(0, 4, 0, 120);
    cairo_pattern_add_color_stop_rgb(g, 0.0, 0.42, 0.82, 0.84);
    cairo_pattern_add_color_stop_rgb(g, 0.25, 0.20, 0.70, 0.76);
    cairo_pattern_add_color_stop_rgb(g, 1.0, 0.05, 0.42, 0.58);
    cairo_set_source(cr, g);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
    // Rows of crests, wider and further apart toward the viewer.
    struct Row {
        double y, period, amplitude, shift, width, light;
    };
    static const Row kRows[] = {{14, 27, 2, 0, 1.2, 0.9},  {24, 36, 3, 13, 1.5, 0.8},
                                {38, 45, 4, 20, 1.8, 0.7}, {55, 54, 5, 6, 2.2, 0.6},
                                {76, 60, 6, 33, 2.6, 0.5}, {100, 90, 7, 50, 3.0, 0.45}};
    for (const Row& row : kRows) {
        Rgb light = mix(hex(0x3FA8B8), hex(0xE8FAFA), row.light);
        waveRow(cr, row.y, row.period, row.amplitude, row.shift, light, row.width);
        // A darker trough under each crest row gives the swell some body.
        waveRow(cr, row.y + row.amplitude + 2, row.period, -row.amplitude * 0.5,
                row.shift + row.period * 0.3, hex(0x11607A), row.width * 0.7);
    }
    // Glints along the surface line.
    colour(cr, hex(0xF4FFFF));
    for (int i = 0; i < 18; ++i) {
        double x = i * 30.0 + 7;
        cairo_rectangle(cr, x, 8 + (i % 3), 3 + (i % 2) * 2, 1);
    }
    cairo_fill(cr);
    p.ditherTo565();
    return p;
}

// Height of the island's ground above its picture's top, by horizontal offset from centre.
// Palms stand on this line (their feet 44 pixels below their centres) and it meets the sea
// line 10 pixels below the centre.
double groundRow(double u) {
    double a = std::fabs(u);
    if (a <= 110) return 16 + 18 * (u / 106) * (u / 106);
    return 16 + 18 * (110.0 / 106) * (110.0 / 106) + (a - 110) * 0.27;
}

Picture island() {
    const int kWidth = 300, kHeight = 64;
    const double cx = kWidth / 2.0, seaRow = kHeight / 2.0 + 10;
    Picture p(kWidth, kHeight);
    Pen cr(p);
    // The part under water, tinted by the sea.
    cairo_move_to(cr, cx - 150, seaRow);
    cairo_curve_to(cr, cx - 110, seaRow + 14, cx + 110, seaRow + 14, cx + 150, seaRow);
    cairo_close_path(cr);
    colour(cr, hex(0x5EB0A4));
    cairo_fill(cr);
    // Sand above the water.
    cairo_move_to(cr, cx - 150, seaRow + 1);
    for (int u = -150; u <= 150; ++u) cairo_line_to(cr, cx + u, std::min(groundRow(u), seaRow));
    cairo_line_to(cr, cx + 150, seaRow + 1);
    cairo_close_path(cr);
    verticalGradient(cr, 14, hex(0xF2DC9A), seaRow, hex(0xD2B06C));
    cairo_fill_preserve(cr);
    colour(cr, hex(0x8A6A3A));
    cairo_set_line_width(cr, 1.2);
    cairo_stroke(cr);
    // Wet sand just above the waterline.
    cairo_rectangle(cr, cx - 140, seaRow - 3, 280, 3);
    colour(cr, hex(0xBC9A5E), 0.8);
    cairo_fill(cr);
    // Grass cap following the ground, with tufts.
    cairo_move_to(cr, cx - 116, groundRow(-116) + 1);
    for (int u = -116; u <= 116; ++u) cairo_line_to(cr, cx + u, groundRow(u) - 1.5);
    for (int u = 116; u >= -116; --u) {
        double depth = 4 + 2 * std::sin(u * 0.35) + 1.5 * std::sin(u * 0.9);
        cairo_line_to(cr, cx + u, groundRow(u) + depth);
    }
    cairo_close_path(cr);
    verticalGradient(cr, 12, hex(0x6CC83C), 40, hex(0x3A8C2A));
    cairo_fill_preserve(cr);
    colour(cr, hex(0x2C5A1C));
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    colour(cr, hex(0x86DC50));
    for (int u = -108; u <= 108; u += 9) {
        double g = groundRow(u) - 1;
        cairo_move_to(cr, cx + u - 2, g);
        cairo_line_to(cr, cx + u, g - 4 - (u / 9 % 2 == 0 ? 1 : 0));
        cairo_line_to(cr, cx + u + 2, g);
        cairo_close_path(cr);
    }
    cairo_fill(cr);
    // Pebbles and shells on the beach, at fixed places.
    static const double kStones[][3] = {{-132, 1, 2.0}, {-124, 3, 1.5}, {121, 2, 2.2},
                                        {134, 4, 1.4},  {-140, 5, 1.2}, {128, 6, 1.0}};
    for (const auto& s : kStones) {
        disc(cr, cx + s[0], seaRow - 6 + s[1], s[2]);
        colour(cr, hex(0x9A8A78));
        cairo_fill(cr);
    }
    // Foam where the sand meets the sea.
    cairo_set_line_width(cr, 2);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    colour(cr, hex(0xF4FCFC));
    cairo_move_to(cr, cx - 146, seaRow);
    cairo_line_to(cr, cx + 146, seaRow);
    cairo_stroke(cr);
    return p;
}

Picture shadow() {
    Picture p(44, 8);
    Pen cr(p);
    cairo_save(cr);
    cairo_translate(cr, 22, 4);
    cairo_scale(cr, 20, 3);
    disc(cr, 0, 0, 1);
    cairo_restore(cr);
    colour(cr, hex(0x0E5466));
    cairo_fill(cr);
    return p;
}

}  // namespace

Picture skyPicture() {
    return sky();
}
Picture seaPicture() {
    return sea();
}
Picture islandPicture() {
    return island();
}

void addScenery(AssetBundle& bundle) {
    bundle.addPicture("gfx/firegradient.bmp", fireGradient());
    bundle.addPicture("gfx/sky.bmp", sky());
    bundle.addPicture("gfx/sea540.bmp", sea());
    bundle.addPicture("gfx/island.bmp", island());
    bundle.addPicture("gfx/shadow_0.bmp", shadow());
}

}  // namespace art
