#include <cmath>

#include "art.h"
#include "draw_kit.h"

using namespace kit;

namespace art {
namespace {

// The plane seen from its left side, nose to +x, centred on the origin, about 40 long.
void planeBody(cairo_t* cr, bool bladeLong) {
    const Rgb kRed = hex(0xD8302A), kRedDark = hex(0x9C1E1C), kCream = hex(0xF4EAD2);
    // Far wing, darker, behind the fuselage.
    cairo_move_to(cr, -4, 1);
    cairo_line_to(cr, 6, 1);
    cairo_line_to(cr, 3, -4);
    cairo_line_to(cr, -5, -4);
    cairo_close_path(cr);
    fillAndOutline(cr, kRedDark, kInk, 1);
    // Tail fin and stabiliser.
    cairo_move_to(cr, -19, -1);
    cairo_line_to(cr, -21, -10);
    cairo_line_to(cr, -16, -10);
    cairo_line_to(cr, -11, -2);
    cairo_close_path(cr);
    fillAndOutline(cr, kRed, kInk, 1);
    cairo_move_to(cr, -20, 1);
    cairo_line_to(cr, -12, 0);
    cairo_line_to(cr, -12, 3);
    cairo_line_to(cr, -20, 3);
    cairo_close_path(cr);
    fillAndOutline(cr, kRedDark, kInk, 1);
    // Fuselage: a teardrop from the tail to the round cowling.
    cairo_move_to(cr, -20, -1);
    cairo_curve_to(cr, -10, -6, 6, -7, 14, -5);
    cairo_curve_to(cr, 18, -4, 18, 5, 14, 6);
    cairo_curve_to(cr, 4, 7, -10, 5, -20, 2);
    cairo_close_path(cr);
    cairo_pattern_t* g = cairo_pattern_create_linear(0, -7, 0, 7);
    cairo_pattern_add_color_stop_rgb(g, 0, 0.98, 0.45, 0.38);
    cairo_pattern_add_color_stop_rgb(g, 0.45, kRed.r, kRed.g, kRed.b);
    cairo_pattern_add_color_stop_rgb(g, 1, kRedDark.r, kRedDark.g, kRedDark.b);
    cairo_set_source(cr, g);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(g);
    colour(cr, kInk);
    cairo_set_line_width(cr, 1.2);
    cairo_stroke(cr);
    // A cream band behind the cockpit: the livery reads the same on both sides.
    cairo_move_to(cr, -8, -5.4);
    cairo_line_to(cr, -4, -5.8);
    cairo_line_to(cr, -4, 5.2);
    cairo_line_to(cr, -8, 4.6);
    cairo_close_path(cr);
    colour(cr, kCream);
    cairo_fill(cr);
    // Canopy.
    cairo_move_to(cr, -2, -6);
    cairo_curve_to(cr, 0, -12, 7, -12, 9, -6);
    cairo_close_path(cr);
    fillAndOutline(cr, hex(0x9EE0F6), kInk, 1);
    colour(cr, hex(0xF0FCFF));
    cairo_rectangle(cr, 2, -10, 2, 2);
    cairo_fill(cr);
    // Near wing, over the fuselage.
    cairo_move_to(cr, -6, 2);
    cairo_line_to(cr, 9, 2);
    cairo_line_to(cr, 7, 6);
    cairo_line_to(cr, -5, 6);
    cairo_close_path(cr);
    fillAndOutline(cr, kCream, kInk, 1);
    // Wheel strut and wheel.
    cairo_move_to(cr, 6, 5);
    cairo_line_to(cr, 8, 10);
    colour(cr, kInk);
    cairo_set_line_width(cr, 1.2);
    cairo_stroke(cr);
    disc(cr, 8, 11, 2.2);
    fillAndOutline(cr, hex(0x505058), kInk, 0.8);
    // Spinner and propeller; the two pictures alternate every frame.
    disc(cr, 18, 0, 2.8);
    fillAndOutline(cr, kCream, kInk, 1);
    double half = bladeLong ? 11 : 3.5;
    roundedRect(cr, 19.2, -half, 2.6, 2 * half, 1.2);
    fillAndOutline(cr, hex(0x8C7A64), kInk, 0.8);
}

Picture plane(int frame) {
    Picture p(48, 48);
    Pen cr(p);
    int step = (frame % 32) * 8;
    cairo_translate(cr, 24, 24);
    cairo_rotate(cr, stepAngle(step));
    // Pointing left the plane rolls over, so the canopy stays on top.
    if (step > 128) cairo_scale(cr, 1, -1);
    planeBody(cr, frame < 32);
    return p;
}

// Barrel length from the pivot to the muzzle, and the pivot below the picture's centre.
constexpr double kBarrel = 35, kPivotBelow = 10;

Picture cannon(int frame) {
    const int kWidth = 84, kHeight = 68;
    Picture p(kWidth, kHeight);
    Pen cr(p);
    const double px = kWidth / 2, py = kHeight / 2 + kPivotBelow;
    const Rgb kSteel = hex(0x5A6068), kSteelLight = hex(0x8C949E), kSteelDark = hex(0x3C4046);
    // Barrel, pointing along the frame's direction: 0 left, 16 up, 32 right.
    cairo_save(cr);
    cairo_translate(cr, px, py);
    cairo_rotate(cr, stepAngle(frame * 4 - 64));
    cairo_move_to(cr, 0, -5);
    cairo_line_to(cr, kBarrel - 4, -3.5);
    cairo_line_to(cr, kBarrel - 4, 3.5);
    cairo_line_to(cr, 0, 5);
    cairo_close_path(cr);
    cairo_pattern_t* g = cairo_pattern_create_linear(0, -5, 0, 5);
    cairo_pattern_add_color_stop_rgb(g, 0, kSteelLight.r, kSteelLight.g, kSteelLight.b);
    cairo_pattern_add_color_stop_rgb(g, 0.4, kSteel.r, kSteel.g, kSteel.b);
    cairo_pattern_add_color_stop_rgb(g, 1, kSteelDark.r, kSteelDark.g, kSteelDark.b);
    cairo_set_source(cr, g);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(g);
    colour(cr, kInk);
    cairo_set_line_width(cr, 1.2);
    cairo_stroke(cr);
    roundedRect(cr, kBarrel - 5, -5, 5, 10, 1.5);
    fillAndOutline(cr, kSteel, kInk, 1.2);
    roundedRect(cr, 12, -5.2, 3, 10.4, 1);
    fillAndOutline(cr, kSteelLight, kInk, 0.8);
    cairo_restore(cr);
    // Turret dome over the pivot and a plinth of sandbags beneath it.
    cairo_new_path(cr);
    cairo_arc(cr, px, py + 2, 13, kPi, 2 * kPi);
    cairo_close_path(cr);
    cairo_pattern_t* dome = cairo_pattern_create_radial(px - 4, py - 6, 1, px, py, 14);
    cairo_pattern_add_color_stop_rgb(dome, 0, kSteelLight.r, kSteelLight.g, kSteelLight.b);
    cairo_pattern_add_color_stop_rgb(dome, 1, kSteelDark.r, kSteelDark.g, kSteelDark.b);
    cairo_set_source(cr, dome);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(dome);
    colour(cr, kInk);
    cairo_set_line_width(cr, 1.2);
    cairo_stroke(cr);
    // Sandbags: a bottom row of four, three above it.
    for (int row = 0; row < 2; ++row) {
        for (int i = 0; i < 4 - row; ++i) {
            double bx = px - 21 + row * 5 + i * 10.5;
            roundedRect(cr, bx, py + 8 - row * 4, 10.5, 6, 3);
            fillAndOutline(cr, row == 0 ? hex(0xB89A64) : hex(0xC8AC74), kBrownInk, 1);
        }
    }
    roundedRect(cr, px - 16, py + 1, 32, 5, 2);
    fillAndOutline(cr, kSteel, kInk, 1);
    return p;
}

Picture shell() {
    Picture p(10, 10);
    Pen cr(p);
    disc(cr, 5, 5, 3.8);
    cairo_pattern_t* g = cairo_pattern_create_radial(3.8, 3.8, 0.5, 5, 5, 4);
    cairo_pattern_add_color_stop_rgb(g, 0, 0.75, 0.77, 0.8);
    cairo_pattern_add_color_stop_rgb(g, 1, 0.22, 0.23, 0.26);
    cairo_set_source(cr, g);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(g);
    colour(cr, kInk);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    return p;
}

Picture bullet() {
    Picture p(6, 6);
    Pen cr(p);
    disc(cr, 3, 3, 2.6);
    colour(cr, hex(0xFFB030));
    cairo_fill(cr);
    disc(cr, 3, 3, 1.3);
    colour(cr, hex(0xFFFBD0));
    cairo_fill(cr);
    return p;
}

Picture bomb(int frame) {
    Picture p(22, 22);
    Pen cr(p);
    cairo_translate(cr, 11, 11);
    cairo_rotate(cr, stepAngle(frame * 8));
    // Tail fins behind the body.
    cairo_move_to(cr, -5, 0);
    cairo_line_to(cr, -9, -4.5);
    cairo_line_to(cr, -10, -4.5);
    cairo_line_to(cr, -10, 4.5);
    cairo_line_to(cr, -9, 4.5);
    cairo_close_path(cr);
    fillAndOutline(cr, hex(0x6E7458), kInk, 1);
    cairo_save(cr);
    cairo_scale(cr, 1, 0.5);
    disc(cr, 1, 0, 7.5);
    cairo_restore(cr);
    cairo_pattern_t* g = cairo_pattern_create_linear(0, -4, 0, 4);
    cairo_pattern_add_color_stop_rgb(g, 0, 0.62, 0.66, 0.48);
    cairo_pattern_add_color_stop_rgb(g, 1, 0.25, 0.28, 0.2);
    cairo_set_source(cr, g);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(g);
    colour(cr, kInk);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    cairo_rectangle(cr, -2, -3.6, 1.5, 7.2);
    colour(cr, hex(0xE0C040));
    cairo_fill(cr);
    return p;
}

}  // namespace

void drawPlane(cairo_t* cr, bool bladeLong) {
    planeBody(cr, bladeLong);
}
Picture planePicture(int frame) {
    return plane(frame);
}
Picture cannonPicture(int frame) {
    return cannon(frame);
}

void addVehicles(AssetBundle& bundle) {
    std::vector<Picture> planes;
    for (int f = 0; f < 64; ++f) planes.push_back(plane(f));
    bundle.addSeries("gfx/plane", std::move(planes));
    std::vector<Picture> cannons;
    for (int f = 0; f <= 32; ++f) cannons.push_back(cannon(f));
    bundle.addSeries("gfx/cannon", std::move(cannons));
    std::vector<Picture> balls;
    balls.push_back(shell());
    balls.push_back(bullet());
    bundle.addSeries("gfx/cannonball", std::move(balls));
    std::vector<Picture> bombs;
    for (int f = 0; f < 32; ++f) bombs.push_back(bomb(f));
    bundle.addSeries("gfx/bomb", std::move(bombs));
}

}  // namespace art
