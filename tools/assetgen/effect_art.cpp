#include <cmath>

#include "art.h"
#include "draw_kit.h"

using namespace kit;

namespace art {
namespace {

// Palm pictures: 84 by 88, the foot of the trunk at the bottom centre, so that a palm placed
// by its centre stands 44 pixels above its feet.
constexpr int kPalmWidth = 84, kPalmHeight = 88, kPalmFrames = 10;
constexpr double kFootX = 42, kFootY = 87, kTrunkHeight = 62;

void leaf(cairo_t* cr, double x, double y, double angle, double length, double droop, Rgb fill,
          Rgb ink) {
    const int kSteps = 12;
    double ca = std::cos(angle), sa = std::sin(angle);
    auto centre = [&](double s, double& cx, double& cy) {
        cx = x + s * length * ca;
        cy = y + s * length * sa + droop * s * s * length;
    };
    double upper[kSteps + 1][2], lower[kSteps + 1][2];
    for (int i = 0; i <= kSteps; ++i) {
        double s = static_cast<double>(i) / kSteps, cx, cy, nx, ny;
        centre(s, cx, cy);
        double ax, ay;
        centre(std::min(1.0, s + 0.01), ax, ay);
        double bx, by;
        centre(std::max(0.0, s - 0.01), bx, by);
        double dx = ax - bx, dy = ay - by, n = std::hypot(dx, dy);
        nx = -dy / n;
        ny = dx / n;
        double w = 5.0 * std::sin(kPi * std::min(s * 1.2, 1.0)) * (1 - 0.45 * s) + 0.5;
        upper[i][0] = cx + nx * w;
        upper[i][1] = cy + ny * w;
        lower[i][0] = cx - nx * w;
        lower[i][1] = cy - ny * w;
    }
    cairo_move_to(cr, upper[0][0], upper[0][1]);
    for (int i = 1; i <= kSteps; ++i) cairo_line_to(cr, upper[i][0], upper[i][1]);
    for (int i = kSteps; i >= 0; --i) cairo_line_to(cr, lower[i][0], lower[i][1]);
    cairo_close_path(cr);
    fillAndOutline(cr, fill, ink, 1);
    // Midrib.
    double cx, cy;
    cairo_move_to(cr, x, y);
    for (int i = 1; i <= kSteps; ++i) {
        centre(static_cast<double>(i) / kSteps, cx, cy);
        cairo_line_to(cr, cx, cy);
    }
    colour(cr, mix(fill, ink, 0.45));
    cairo_set_line_width(cr, 0.9);
    cairo_stroke(cr);
}

// The trunk from the foot up to `height`, leaning right; returns its top point.
void trunk(cairo_t* cr, double height, Rgb bark, double& topX, double& topY) {
    const int kSteps = 10;
    auto at = [&](double s, double& x, double& y) {
        x = kFootX + 6 * s * s;
        y = kFootY - s * kTrunkHeight;
    };
    double sEnd = height / kTrunkHeight;
    cairo_new_path(cr);
    for (int side = 0; side < 2; ++side) {
        for (int i = 0; i <= kSteps; ++i) {
            int j = side == 0 ? i : kSteps - i;
            double s = sEnd * j / kSteps, x, y;
            at(s, x, y);
            double w = 4.0 - 1.6 * s;
            cairo_line_to(cr, x + (side == 0 ? -w : w), y);
        }
    }
    cairo_close_path(cr);
    fillAndOutline(cr, bark, kBrownInk, 1.1);
    // Rings of the bark.
    colour(cr, mix(bark, kBrownInk, 0.5));
    cairo_set_line_width(cr, 1);
    for (double h = 6; h < height - 2; h += 6) {
        double x, y;
        at(h / kTrunkHeight, x, y);
        double w = 4.0 - 1.6 * h / kTrunkHeight;
        cairo_move_to(cr, x - w + 0.5, y + 1);
        cairo_line_to(cr, x + w - 0.5, y - 0.5);
        cairo_stroke(cr);
    }
    at(sEnd, topX, topY);
}

void flames(cairo_t* cr, double x, double y, double size) {
    if (size <= 0) return;
    static const double kTongues[][3] = {{0, 0, 1}, {-6, 3, 0.7}, {6, 2, 0.75}, {-2, 5, 0.6}};
    for (const auto& t : kTongues) {
        double fx = x + t[0] * size / 10, fy = y + t[1] * size / 10, s = size * t[2];
        cairo_move_to(cr, fx, fy - s * 1.6);
        cairo_curve_to(cr, fx + s * 0.9, fy - s * 0.6, fx + s * 0.8, fy + s * 0.5, fx,
                       fy + s * 0.5);
        cairo_curve_to(cr, fx - s * 0.8, fy + s * 0.5, fx - s * 0.9, fy - s * 0.6, fx,
                       fy - s * 1.6);
        cairo_close_path(cr);
        fillAndOutline(cr, hex(0xF07820), hex(0xA83410), 1);
        disc(cr, fx, fy - s * 0.1, s * 0.45);
        colour(cr, hex(0xFFE060));
        cairo_fill(cr);
    }
}

void smoke(cairo_t* cr, double x, double y, double size) {
    if (size <= 0) return;
    disc(cr, x, y, size);
    disc(cr, x + size * 0.8, y - size * 0.6, size * 0.8);
    disc(cr, x - size * 0.7, y - size * 0.4, size * 0.7);
    colour(cr, hex(0x8A8C90));
    cairo_fill(cr);
}

Picture palm(int frame) {
    Picture p(kPalmWidth, kPalmHeight);
    Pen cr(p);
    // Frame 0 stands; 1 to 9 burn, lose the crown, break and end on a charred stump.
    double t = frame / static_cast<double>(kPalmFrames - 1);
    Rgb bark = mix(hex(0x9A6A3A), hex(0x4A3428), std::min(1.0, t * 1.6));
    double height = frame <= 2
                        ? kTrunkHeight
                        : kTrunkHeight - (kTrunkHeight - 12) * std::min(1.0, (frame - 2) / 4.0);
    double topX, topY;
    trunk(cr, height, bark, topX, topY);
    if (frame <= 4) {
        Rgb leafFill = mix(hex(0x3EAE3A), hex(0x8A5A28), std::min(1.0, t * 2.4));
        Rgb leafInk = mix(hex(0x1E5A1C), kBrownInk, std::min(1.0, t * 2.4));
        // Side fronds arch over and hang; burning ones wilt further.
        double wilt = t * 0.5;
        // Angle (radians, 0 pointing right) and length of each frond, back ones first.
        static const double kLeaves[][2] = {{-2.2, 26},  {-0.9, 26},  {-1.55, 20},
                                            {-3.05, 31}, {0.05, 31},  {-2.6, 33},
                                            {-0.5, 33},  {-1.25, 24}, {-1.9, 24}};
        for (const auto& l : kLeaves) {
            double droop = 0.25 + 0.55 * std::fabs(std::cos(l[0])) + wilt;
            leaf(cr, topX, topY, l[0], l[1] * (1 - t * 0.4), droop, leafFill, leafInk);
        }
        for (int i = 0; i < 3; ++i) {
            disc(cr, topX - 3 + i * 3, topY + 3 + (i % 2), 2.4);
            fillAndOutline(cr, mix(hex(0x7A4A20), hex(0x3C2A20), t), kBrownInk, 0.8);
        }
    } else if (frame <= 7) {
        // The crown tumbles down beside the trunk.
        double fall = (frame - 4) * 14.0;
        leaf(cr, topX - 8, topY + fall - 10, 2.6, 18, 0.05, hex(0x7A5428), kBrownInk);
        leaf(cr, topX + 6, topY + fall - 14, 0.3, 16, 0.06, hex(0x6A4A24), kBrownInk);
    }
    double fire = frame == 0 ? 0 : std::max(0.0, 9.0 - std::fabs(frame - 3.0) * 2.2);
    flames(cr, topX, topY + 2, fire);
    if (frame >= 5)
        smoke(cr, topX + (frame - 5) * 2, topY - 6 - (frame - 5) * 4, 5 - (frame - 5) * 0.8);
    if (frame == kPalmFrames - 1) {
        // A last ember on the stump.
        disc(cr, topX, topY + 1, 1.6);
        colour(cr, hex(0xF0801C));
        cairo_fill(cr);
    }
    return p;
}

Picture splash(int frame) {
    const int kWidth = 40, kHeight = 48;
    Picture p(kWidth, kHeight);
    Pen cr(p);
    const Rgb kWater = hex(0xE6F6FC), kShade = hex(0x8CC8E4), kInkBlue = hex(0x2E6E8E);
    double cx = kWidth / 2.0, base = kHeight - 1.0;
    double rise = std::sin(kPi * (frame + 1) / 9.0);
    double height = 6 + 36 * rise;
    double width = 5 + frame * 1.6;
    if (frame < 6) {
        cairo_move_to(cr, cx - width, base);
        cairo_curve_to(cr, cx - width * 0.4, base - height * 0.5, cx - 3, base - height, cx,
                       base - height);
        cairo_curve_to(cr, cx + 3, base - height, cx + width * 0.4, base - height * 0.5, cx + width,
                       base);
        cairo_close_path(cr);
        verticalGradient(cr, base - height, kWater, base, kShade);
        cairo_fill_preserve(cr);
        colour(cr, kInkBlue);
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
    }
    // Droplets thrown out to both sides on arcs.
    for (int i = 0; i < 6; ++i) {
        double vx = (i % 3 + 1) * 2.2 * (i < 3 ? -1 : 1);
        double vy = 6.5 - (i % 3) * 1.2;
        double tt = frame + 1.0;
        double dx = cx + vx * tt, dy = base - 4 - (vy * tt - 0.7 * tt * tt);
        if (dy > base - 1 || dx < 2 || dx > kWidth - 2) continue;
        disc(cr, dx, dy, 1.8);
        fillAndOutline(cr, kWater, kInkBlue, 0.8);
    }
    // Foam ring on the water.
    cairo_save(cr);
    cairo_translate(cr, cx, base - 1.5);
    cairo_scale(cr, 6 + frame * 1.8, 1.6);
    disc(cr, 0, 0, 1);
    cairo_restore(cr);
    colour(cr, kWater);
    cairo_fill(cr);
    return p;
}

// A spark of direction band `dir` (0..31) and age band `age` (0 bright .. 3 smoke).
Picture sparc(int dir, int age) {
    Picture p(12, 12);
    Pen cr(p);
    cairo_translate(cr, 6, 6);
    // Sparks of one picture cover the directions 8 * dir to 8 * dir + 7.
    cairo_rotate(cr, stepAngle(dir * 8 + 3.5));
    static const unsigned kTail[] = {0xFFD040, 0xF89020, 0xD84818, 0x6A6A70};
    static const unsigned kHead[] = {0xFFFFF0, 0xFFE060, 0xF8A040, 0x84848A};
    static const double kLength[] = {6.5, 5.5, 4.0, 2.0};
    static const double kRadius[] = {1.9, 1.7, 1.5, 2.6};
    cairo_move_to(cr, 1, -1.3);
    cairo_line_to(cr, -kLength[age], 0);
    cairo_line_to(cr, 1, 1.3);
    cairo_close_path(cr);
    colour(cr, hex(kTail[age]));
    cairo_fill(cr);
    disc(cr, 1, 0, kRadius[age]);
    colour(cr, hex(kHead[age]));
    cairo_fill(cr);
    return p;
}

Picture arrow(int frame) {
    Picture p(32, 32);
    Pen cr(p);
    cairo_translate(cr, 16, 16);
    // Picture k points exactly along step 8k: 8 right, 24 left.
    cairo_rotate(cr, stepAngle(frame * 8));
    cairo_move_to(cr, -12, -3.5);
    cairo_line_to(cr, 1, -3.5);
    cairo_line_to(cr, 1, -9);
    cairo_line_to(cr, 13, 0);
    cairo_line_to(cr, 1, 9);
    cairo_line_to(cr, 1, 3.5);
    cairo_line_to(cr, -12, 3.5);
    cairo_close_path(cr);
    cairo_pattern_t* g = cairo_pattern_create_linear(0, -9, 0, 9);
    cairo_pattern_add_color_stop_rgb(g, 0, 1.0, 0.93, 0.45);
    cairo_pattern_add_color_stop_rgb(g, 1, 0.95, 0.52, 0.1);
    cairo_set_source(cr, g);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(g);
    colour(cr, kBrownInk);
    cairo_set_line_width(cr, 2);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke(cr);
    return p;
}

Picture healthIcon() {
    Picture p(11, 11);
    Pen cr(p);
    roundedRect(cr, 0.5, 0.5, 10, 10, 2);
    fillAndOutline(cr, hex(0xF8F8F8), kInk, 1);
    colour(cr, hex(0xE02424));
    cairo_rectangle(cr, 4, 2, 3, 7);
    cairo_rectangle(cr, 2, 4, 7, 3);
    cairo_fill(cr);
    return p;
}

Picture reloadIcon() {
    Picture p(11, 11);
    Pen cr(p);
    // A brass shell standing upright.
    cairo_move_to(cr, 3, 10);
    cairo_line_to(cr, 3, 4.5);
    cairo_curve_to(cr, 3, 1.5, 5.5, 0.5, 5.5, 0.5);
    cairo_curve_to(cr, 5.5, 0.5, 8, 1.5, 8, 4.5);
    cairo_line_to(cr, 8, 10);
    cairo_close_path(cr);
    fillAndOutline(cr, hex(0xF0C040), kBrownInk, 1);
    colour(cr, hex(0xC07828));
    cairo_rectangle(cr, 3.5, 5, 4, 1.5);
    cairo_fill(cr);
    return p;
}

}  // namespace

Picture palmPicture(int frame) {
    return palm(frame);
}

void addEffects(AssetBundle& bundle) {
    std::vector<Picture> palms;
    for (int f = 0; f < kPalmFrames; ++f) palms.push_back(palm(f));
    bundle.addSeries("gfx/palm", std::move(palms));
    std::vector<Picture> splashes;
    for (int f = 0; f < 8; ++f) splashes.push_back(splash(f));
    bundle.addSeries("gfx/splash", std::move(splashes));
    std::vector<Picture> sparcs;
    for (int age = 0; age < 4; ++age) {
        for (int dir = 0; dir < 32; ++dir) sparcs.push_back(sparc(dir, age));
    }
    bundle.addSeries("gfx/sparc", std::move(sparcs));
    std::vector<Picture> arrows;
    for (int f = 0; f < 32; ++f) arrows.push_back(arrow(f));
    bundle.addSeries("gfx/arrow", std::move(arrows));
    std::vector<Picture> icons;
    icons.push_back(healthIcon());
    icons.push_back(reloadIcon());
    bundle.addSeries("gfx/icon", std::move(icons));
}

}  // namespace art
