#include <cmath>

#include "art.h"
#include "draw_kit.h"

using namespace kit;

namespace art {
namespace {

constexpr int kScreenW = 640, kScreenH = 480;

void place(cairo_t* cr, const Picture& picture, double x, double y, double scale = 1.0,
           bool mirror = false) {
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_scale(cr, mirror ? -scale : scale, scale);
    cairo_set_source_surface(cr, picture.surface(), -picture.width() / 2.0,
                             -picture.height() / 2.0);
    cairo_paint(cr);
    cairo_restore(cr);
}

// A dark card with a soft vignette: the splash pictures' common ground.
void cardBackground(cairo_t* cr, Rgb top, Rgb bottom) {
    verticalGradient(cr, 0, top, kScreenH, bottom);
    cairo_paint(cr);
    cairo_pattern_t* glow = cairo_pattern_create_radial(320, 220, 20, 320, 240, 360);
    cairo_pattern_add_color_stop_rgba(glow, 0, 1, 1, 1, 0.10);
    cairo_pattern_add_color_stop_rgba(glow, 1, 1, 1, 1, 0.0);
    cairo_set_source(cr, glow);
    cairo_paint(cr);
    cairo_pattern_destroy(glow);
}

void stars(cairo_t* cr, int count, unsigned seed) {
    // A fixed little generator: the same stars every run.
    unsigned s = seed;
    colour(cr, hex(0xE8ECFF), 0.85);
    for (int i = 0; i < count; ++i) {
        s = s * 1103515245u + 12345u;
        double x = (s >> 8) % kScreenW;
        s = s * 1103515245u + 12345u;
        double y = (s >> 8) % kScreenH;
        disc(cr, x, y, ((s >> 4) % 3 == 0) ? 1.3 : 0.8);
    }
    cairo_fill(cr);
}

TextStyle gold(double size) {
    TextStyle t;
    t.size = size;
    t.fill = hex(0xFFF4B0);
    t.fillBottom = hex(0xF0A020);
    t.ink = kBrownInk;
    t.inkWidth = size / 16;
    return t;
}

TextStyle pale(double size) {
    TextStyle t;
    t.size = size;
    t.fill = hex(0xF4F8FF);
    t.fillBottom = hex(0xA8C8F0);
    t.ink = hex(0x1C2440);
    t.inkWidth = size / 14;
    return t;
}

Picture presents() {
    Picture p(kScreenW, kScreenH);
    Pen cr(p);
    cardBackground(cr, hex(0x10143A), hex(0x2A1848));
    stars(cr, 90, 7);
    outlinedText(cr, "Interaction", 320, 240, gold(72));
    outlinedText(cr, "presents", 320, 300, pale(28));
    return p;
}

Picture zefDX() {
    Picture p(kScreenW, kScreenH);
    Pen cr(p);
    cardBackground(cr, hex(0x0C2830), hex(0x083848));
    // Emblem: a lightning Z in a ring.
    cairo_set_line_width(cr, 8);
    disc(cr, 320, 170, 62);
    colour(cr, hex(0x40D0E0));
    cairo_stroke(cr);
    cairo_move_to(cr, 288, 132);
    cairo_line_to(cr, 352, 132);
    cairo_line_to(cr, 306, 196);
    cairo_line_to(cr, 354, 196);
    cairo_line_to(cr, 352, 210);
    cairo_line_to(cr, 284, 210);
    cairo_line_to(cr, 330, 146);
    cairo_line_to(cr, 288, 146);
    cairo_close_path(cr);
    fillAndOutline(cr, hex(0xE8FCFF), hex(0x145060), 3);
    outlinedText(cr, "powered by", 320, 290, pale(24));
    TextStyle t = pale(64);
    t.fillBottom = hex(0x40D0E0);
    outlinedText(cr, "zefDX", 320, 360, t);
    return p;
}

Picture mirefen() {
    Picture p(kScreenW, kScreenH);
    Pen cr(p);
    cardBackground(cr, hex(0x143020), hex(0x0C2018));
    // Emblem: reeds over rippling water.
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    for (int i = 0; i < 5; ++i) {
        double x = 280 + i * 20;
        cairo_move_to(cr, x, 210);
        cairo_curve_to(cr, x - 4, 170, x + 8, 140 + i * 4, x + 4 - i, 110 + (i % 2) * 16);
        cairo_set_line_width(cr, 5);
        colour(cr, hex(0x8CD05A));
        cairo_stroke(cr);
    }
    for (int i = 0; i < 3; ++i) {
        cairo_move_to(cr, 250 + i * 10, 222 + i * 12);
        cairo_curve_to(cr, 300, 212 + i * 12, 340, 232 + i * 12, 390 - i * 10, 222 + i * 12);
        cairo_set_line_width(cr, 4);
        colour(cr, hex(0x60B8D0));
        cairo_stroke(cr);
    }
    TextStyle t = gold(66);
    t.fill = hex(0xE8FFD0);
    t.fillBottom = hex(0x8CD05A);
    t.ink = hex(0x123018);
    outlinedText(cr, "Mirefen", 320, 340, t);
    return p;
}

Picture corvale() {
    Picture p(kScreenW, kScreenH);
    Pen cr(p);
    cardBackground(cr, hex(0x281420), hex(0x180C18));
    // Emblem: a bird in flight across a low moon.
    disc(cr, 320, 170, 70);
    colour(cr, hex(0xF0D8A8));
    cairo_fill(cr);
    cairo_move_to(cr, 250, 180);
    cairo_curve_to(cr, 280, 150, 305, 150, 320, 175);
    cairo_curve_to(cr, 335, 150, 360, 150, 390, 180);
    cairo_curve_to(cr, 360, 168, 340, 172, 322, 195);
    cairo_curve_to(cr, 300, 172, 280, 168, 250, 180);
    cairo_close_path(cr);
    fillAndOutline(cr, hex(0x3A2438), hex(0x1C1020), 2);
    TextStyle t = pale(66);
    t.fill = hex(0xFFF0F0);
    t.fillBottom = hex(0xE89AA8);
    t.ink = hex(0x2A1020);
    outlinedText(cr, "Corvale", 320, 340, t);
    return p;
}

void speaker(cairo_t* cr, double x, double y, bool facingRight) {
    double d = facingRight ? 1 : -1;
    cairo_move_to(cr, x - 12 * d, y - 12);
    cairo_line_to(cr, x - 2 * d, y - 12);
    cairo_line_to(cr, x + 14 * d, y - 28);
    cairo_line_to(cr, x + 14 * d, y + 28);
    cairo_line_to(cr, x - 2 * d, y + 12);
    cairo_line_to(cr, x - 12 * d, y + 12);
    cairo_close_path(cr);
    fillAndOutline(cr, hex(0xE0E4EC), hex(0x202430), 3);
    cairo_set_line_width(cr, 4);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    colour(cr, hex(0xE0E4EC));
    for (int i = 1; i <= 3; ++i) {
        double r = 16 + i * 12;
        double a0 = facingRight ? -0.6 : kPi - 0.6, a1 = a0 + 1.2;
        cairo_new_path(cr);
        cairo_arc(cr, x + 14 * d, y, r, a0, a1);
        cairo_stroke(cr);
    }
}

Picture stereoCard() {
    Picture p(kScreenW, kScreenH);
    Pen cr(p);
    cardBackground(cr, hex(0x181820), hex(0x101014));
    roundedRect(cr, 120, 130, 400, 220, 24);
    fillAndOutline(cr, hex(0x242630), hex(0xE0E4EC), 5);
    roundedRect(cr, 134, 144, 372, 192, 16);
    colour(cr, hex(0xE0E4EC));
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
    speaker(cr, 190, 220, false);
    speaker(cr, 450, 220, true);
    outlinedText(cr, "STEREO", 320, 212, pale(40));
    outlinedText(cr, "SOUND", 320, 258, pale(40));
    TextStyle small = pale(18);
    small.inkWidth = 1;
    outlinedText(cr, "best with the speakers on", 320, 312, small);
    return p;
}

// The island scene of the title: sky, sea, an island with palms and two planes.
void titleScene(cairo_t* cr) {
    Picture sky = skyPicture();
    Picture sea = seaPicture();
    colour(cr, hex(kSkyTop));
    cairo_paint(cr);
    cairo_set_source_surface(cr, sky.surface(), 0, 120);
    cairo_paint(cr);
    for (int x = -460; x < kScreenW; x += sea.width()) {
        cairo_set_source_surface(cr, sea.surface(), x, 360);
        cairo_paint(cr);
    }
    Picture island = islandPicture();
    Picture palm = palmPicture(0);
    static const double kPalms[][3] = {{-80, -48, 1}, {10, -60, 0}, {95, -45, 0}};
    for (const auto& pl : kPalms) place(cr, palm, 320 + pl[0], 360 + pl[1], 1.0, pl[2] > 0);
    place(cr, island, 320, 360);
    for (const auto& pl : kPalms) place(cr, palm, 320 + pl[0], 360 + pl[1], 1.0, pl[2] > 0);
    place(cr, planePicture(7), 140, 300, 1.6);
    place(cr, planePicture(23 + 32), 520, 270, 1.6);
}

Picture logo() {
    Picture p(kScreenW, kScreenH);
    Pen cr(p);
    titleScene(cr);
    TextStyle t = gold(104);
    t.inkWidth = 7;
    outlinedText(cr, "Kestova!", 320, 180, t);
    TextStyle sub = pale(22);
    sub.inkWidth = 2;
    outlinedText(cr, "bombs, palms and a bit of sunshine", 320, 222, sub);
    return p;
}

Picture copyright() {
    Picture p(kScreenW, kScreenH);
    Pen cr(p);
    cardBackground(cr, hex(0x10143A), hex(0x181030));
    stars(cr, 60, 23);
    outlinedText(cr, "Kestova!", 320, 150, gold(64));
    outlinedText(cr, "made by Interaction", 320, 230, pale(28));
    outlinedText(cr, "Copyright (c) Interaction. All rights reserved.", 320, 290, pale(18));
    outlinedText(cr, "Thank you for playing!", 320, 370, gold(30));
    return p;
}

Picture teaser() {
    Picture p(kScreenW, kScreenH);
    Pen cr(p);
    // Sunset sky over a dark sea, a squadron in silhouette.
    cairo_pattern_t* g = cairo_pattern_create_linear(0, 0, 0, 360);
    cairo_pattern_add_color_stop_rgb(g, 0, 0.18, 0.10, 0.32);
    cairo_pattern_add_color_stop_rgb(g, 0.6, 0.85, 0.35, 0.30);
    cairo_pattern_add_color_stop_rgb(g, 1, 1.0, 0.78, 0.38);
    cairo_set_source(cr, g);
    cairo_paint(cr);
    cairo_pattern_destroy(g);
    disc(cr, 320, 360, 90);
    colour(cr, hex(0xFFE890));
    cairo_fill(cr);
    cairo_rectangle(cr, 0, 360, kScreenW, 120);
    verticalGradient(cr, 360, hex(0x502848), 480, hex(0x201030));
    cairo_fill(cr);
    for (int i = 0; i < 5; ++i) {
        cairo_rectangle(cr, 250 - i * 10, 370 + i * 14, 140 + i * 20, 3);
    }
    colour(cr, hex(0xFFD070), 0.7);
    cairo_fill(cr);
    static const double kSquadron[][2] = {{420, 250}, {470, 230}, {470, 272}};
    for (const auto& s : kSquadron) {
        cairo_save(cr);
        cairo_translate(cr, s[0], s[1]);
        cairo_scale(cr, -1.1, 1.1);
        cairo_move_to(cr, -20, -1);
        cairo_curve_to(cr, -10, -6, 6, -7, 14, -5);
        cairo_curve_to(cr, 18, -4, 18, 5, 14, 6);
        cairo_curve_to(cr, 4, 7, -10, 5, -20, 2);
        cairo_close_path(cr);
        cairo_move_to(cr, -19, -1);
        cairo_line_to(cr, -21, -10);
        cairo_line_to(cr, -16, -10);
        cairo_line_to(cr, -11, -2);
        cairo_close_path(cr);
        cairo_rectangle(cr, -6, 2, 15, 4);
        colour(cr, hex(0x281830));
        cairo_fill(cr);
        cairo_restore(cr);
    }
    TextStyle t = gold(96);
    t.inkWidth = 6;
    outlinedText(cr, "Kestova 2", 320, 150, t);
    outlinedText(cr, "coming soon", 320, 210, pale(36));
    return p;
}

Picture smallLogo() {
    Picture p(300, 76);
    Pen cr(p);
    // A vapour trail swooping under the title.
    cairo_move_to(cr, 20, 66);
    cairo_curve_to(cr, 100, 74, 200, 74, 286, 52);
    cairo_set_line_width(cr, 4);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    colour(cr, hex(0xF4FAFF));
    cairo_stroke(cr);
    TextStyle t = gold(54);
    t.inkWidth = 3.5;
    outlinedText(cr, "Kestova!", 150, 56, t);
    return p;
}

}  // namespace

void addScreens(AssetBundle& bundle) {
    bundle.addPicture("gfx/smalllogo_0.bmp", smallLogo());
    bundle.addPicture("gfx/presents.bmp", presents());
    bundle.addPicture("gfx/zefDX.bmp", zefDX());
    bundle.addPicture("gfx/Mirefen.bmp", mirefen());
    bundle.addPicture("gfx/Corvale.bmp", corvale());
    bundle.addPicture("gfx/dolby.bmp", stereoCard());
    bundle.addPicture("gfx/logo.bmp", logo());
    bundle.addPicture("gfx/copyright.bmp", copyright());
    bundle.addPicture("gfx/kv2-teaser.bmp", teaser());
}

}  // namespace art
