#pragma once
#include <cairo.h>

#include <string>

// Small drawing vocabulary shared by the picture makers.
namespace kit {

constexpr double kPi = 3.14159265358979323846;

struct Rgb {
    double r, g, b;
};

// 0xRRGGBB.
constexpr Rgb hex(unsigned v) {
    return {((v >> 16) & 0xFF) / 255.0, ((v >> 8) & 0xFF) / 255.0, (v & 0xFF) / 255.0};
}
Rgb mix(Rgb a, Rgb b, double t);

// The outline colours: never black, which is the transparent colour.
constexpr Rgb kInk = hex(0x2A2A30);
constexpr Rgb kBrownInk = hex(0x3C2414);

void colour(cairo_t* cr, Rgb c, double alpha = 1.0);
void roundedRect(cairo_t* cr, double x, double y, double w, double h, double r);
// Fills the current path, then strokes it in `ink`; the path is consumed.
void fillAndOutline(cairo_t* cr, Rgb fill, Rgb ink, double lineWidth);
void disc(cairo_t* cr, double x, double y, double r);
// A vertical gradient from `top` at y0 to `bottom` at y1 as the source.
void verticalGradient(cairo_t* cr, double y0, Rgb top, double y1, Rgb bottom);

// Direction steps: 0 up, 64 right, turning clockwise; the angle for cairo_rotate of a shape
// drawn pointing right.
double stepAngle(double step);

// Text in a bold sans face with a thick outline; (x, y) is the baseline's centre when
// `centred`, else its start. Returns the advance.
struct TextStyle {
    double size = 20;
    Rgb fill = hex(0xFFFFFF);
    Rgb fillBottom = hex(0xFFFFFF);  // vertical gradient over the glyph height
    Rgb ink = kInk;
    double inkWidth = 3;
    bool centred = true;
    bool serif = false;
};
void selectFont(cairo_t* cr, double size, bool serif = false);
double outlinedText(cairo_t* cr, const std::string& text, double x, double y,
                    const TextStyle& style);

}  // namespace kit
