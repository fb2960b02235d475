#include "intro.h"

#include <cmath>
#include <string>

#include "draw_kit.h"
#include "picture.h"
#include "zan_encoder.h"

using namespace kit;

namespace intro {
namespace {

constexpr int kWidth = 640, kHeight = 480, kPeriodMs = 40;
constexpr int kFrames = 90;      // 3.6 s of frames, then a short hold
constexpr int kLetterDelay = 3;  // frames between two letters starting to fall
constexpr int kFallFrames = 14;
constexpr double kBaseline = 260, kTitleSize = 76;
const char* const kTitle = "Interaction";

// Height above the resting place of a letter `f` frames after it started: a drop with two
// small bounces.
double letterLift(int f) {
    if (f < 0) return 1e9;
    double t = static_cast<double>(f) / kFallFrames;
    if (t < 0.6) return 300 * (1 - (t / 0.6) * (t / 0.6));
    if (t < 0.85) return 26 * std::sin(kPi * (t - 0.6) / 0.25);
    if (t < 1.0) return 8 * std::sin(kPi * (t - 0.85) / 0.15);
    return 0;
}

std::vector<uint16_t> to565(const Picture& picture) {
    std::vector<uint16_t> out(kWidth * kHeight);
    cairo_surface_flush(picture.surface());
    const unsigned char* data = cairo_image_surface_get_data(picture.surface());
    int stride = cairo_image_surface_get_stride(picture.surface());
    for (int y = 0; y < kHeight; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(data + y * stride);
        for (int x = 0; x < kWidth; ++x) {
            uint32_t p = row[x];
            out[y * kWidth + x] = static_cast<uint16_t>(
                ((p >> 19) & 0x1F) << 11 | ((p >> 10) & 0x3F) << 5 | ((p >> 3) & 0x1F));
        }
    }
    return out;
}

Picture frame(int f) {
    Picture p(kWidth, kHeight);
    Pen cr(p);
    // The screen is black when the intro starts; stay on it and draw only the title.
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_paint(cr);
    TextStyle style;
    style.size = kTitleSize;
    style.fill = hex(0xFFF4B0);
    style.fillBottom = hex(0xF0A020);
    style.ink = hex(0x5A3414);
    style.inkWidth = 4;
    style.centred = false;
    selectFont(cr, kTitleSize);
    cairo_text_extents_t whole;
    cairo_text_extents(cr, kTitle, &whole);
    double x = (kWidth - whole.x_advance) / 2;
    const int letters = static_cast<int>(std::string(kTitle).size());
    for (int i = 0; i < letters; ++i) {
        std::string letter(1, kTitle[i]);
        selectFont(cr, kTitleSize);
        cairo_text_extents_t ext;
        cairo_text_extents(cr, letter.c_str(), &ext);
        double lift = letterLift(f - i * kLetterDelay);
        if (lift < 400) outlinedText(cr, letter, x, kBaseline - lift, style);
        x += ext.x_advance;
    }
    // Once every letter has landed, a glint sweeps across and an underline grows.
    int landed = (letters - 1) * kLetterDelay + kFallFrames;
    if (f > landed) {
        double progress = std::min(1.0, (f - landed) / 16.0);
        double gx = (kWidth - whole.x_advance) / 2 - 40 + progress * (whole.x_advance + 80);
        cairo_save(cr);
        cairo_move_to(cr, (kWidth - whole.x_advance) / 2, kBaseline);
        cairo_text_path(cr, kTitle);
        cairo_clip(cr);
        cairo_pattern_t* glint = cairo_pattern_create_linear(gx - 30, 0, gx + 30, 0);
        cairo_pattern_add_color_stop_rgba(glint, 0, 1, 1, 1, 0);
        cairo_pattern_add_color_stop_rgba(glint, 0.5, 1, 1, 1, 0.9);
        cairo_pattern_add_color_stop_rgba(glint, 1, 1, 1, 1, 0);
        cairo_set_source(cr, glint);
        cairo_paint(cr);
        cairo_pattern_destroy(glint);
        cairo_restore(cr);
        double half = progress * whole.x_advance / 2;
        cairo_rectangle(cr, kWidth / 2 - half, kBaseline + 22, 2 * half, 5);
        colour(cr, hex(0xF0A020));
        cairo_fill(cr);
        TextStyle small = style;
        small.size = 20;
        small.inkWidth = 1.5;
        small.centred = true;
        small.fill = hex(0xE8F0FF);
        small.fillBottom = hex(0xA8C0E8);
        if (progress >= 1.0) outlinedText(cr, "s t u d i o", kWidth / 2, kBaseline + 60, small);
    }
    return p;
}

}  // namespace

void addIntro(AssetBundle& bundle) {
    zan::Encoder encoder(kWidth, kHeight, kPeriodMs);
    encoder.setBackground(std::vector<uint16_t>(kWidth * kHeight, 0));
    int chime = encoder.loadSound("sfx/interaction.wav");
    const int landed =
        (static_cast<int>(std::string(kTitle).size()) - 1) * kLetterDelay + kFallFrames;
    AssetBundle::Group sheet{"gfx/interaction.zan (every 6th frame)", {}};
    for (int f = 0; f < kFrames; ++f) {
        Picture picture = frame(f);
        if (f == landed) encoder.playSound(chime, false);
        encoder.addFrame(to565(picture));
        if (f % 6 == 0) sheet.pictures.push_back(std::move(picture));
    }
    encoder.addWait(600);
    bundle.addFile("gfx/interaction.zan", encoder.finish());
    bundle.addGroup(std::move(sheet));
}

}  // namespace intro
