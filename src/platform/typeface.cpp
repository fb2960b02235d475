#include "platform/typeface.h"

#include <SDL.h>
#include <SDL_ttf.h>
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

namespace platform {

namespace {

// Text-alignment flags as the game passes them.
constexpr int kAlignRight = 2;
constexpr int kAlignCentre = 6;
constexpr int kAlignHorizontalMask = 6;
constexpr int kAlignBottom = 8;
constexpr int kAlignBaseline = 24;
constexpr int kAlignVerticalMask = 24;

bool ttfReady(std::string& error) {
    static bool ready = TTF_WasInit() > 0 || TTF_Init() == 0;
    if (!ready) error = std::string("cannot start the font renderer: ") + TTF_GetError();
    return ready;
}

// The file and face index fontconfig chooses for `family`; empty when none.
std::string resolveFamily(const std::string& family, int& index) {
    std::string file;
    if (!FcInit()) return file;
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(family.c_str()));
    if (!pattern) return file;
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    if (match) {
        FcChar8* path = nullptr;
        if (FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch && path) {
            file = reinterpret_cast<const char*>(path);
        }
        if (FcPatternGetInteger(match, FC_INDEX, 0, &index) != FcResultMatch) index = 0;
        FcPatternDestroy(match);
    }
    FcPatternDestroy(pattern);
    return file;
}

uint16_t blend565(uint16_t under, uint16_t over, uint32_t alpha) {
    const uint32_t r = ((over >> 11) * alpha + (under >> 11) * (255 - alpha)) / 255;
    const uint32_t g = (((over >> 5) & 63) * alpha + ((under >> 5) & 63) * (255 - alpha)) / 255;
    const uint32_t b = ((over & 31) * alpha + (under & 31) * (255 - alpha)) / 255;
    return uint16_t(r << 11 | g << 5 | b);
}

}  // namespace

struct Typeface::Impl {
    TTF_Font* font = nullptr;
    std::string path;
    // The coverage of texts drawn lately: the game draws the same few
    // strings every frame, and rendering one costs more than drawing it.
    struct Rendered {
        std::string text;
        uint32_t rgb = 0;
        int width = 0, height = 0;
        std::vector<uint8_t> alpha;
    };
    std::vector<Rendered> recent;
    static constexpr size_t kRecent = 16;

    const Rendered* render(const std::string& text, uint32_t rgb);
};

const Typeface::Impl::Rendered* Typeface::Impl::render(const std::string& text, uint32_t rgb) {
    for (const Rendered& r : recent) {
        if (r.rgb == rgb && r.text == text) return &r;
    }
    const SDL_Color colour{uint8_t(rgb & 0xFF), uint8_t((rgb >> 8) & 0xFF),
                           uint8_t((rgb >> 16) & 0xFF), 255};
    // The game's strings are 8-bit text.
    SDL_Surface* rendered = TTF_RenderText_Blended(font, text.c_str(), colour);
    if (!rendered) return nullptr;
    SDL_Surface* argb = SDL_ConvertSurfaceFormat(rendered, SDL_PIXELFORMAT_ARGB8888, 0);
    SDL_FreeSurface(rendered);
    if (!argb) return nullptr;
    Rendered r{text, rgb, argb->w, argb->h, {}};
    r.alpha.reserve(size_t(argb->w) * size_t(argb->h));
    for (int row = 0; row < argb->h; ++row) {
        const uint32_t* src = reinterpret_cast<const uint32_t*>(
            static_cast<const uint8_t*>(argb->pixels) + row * argb->pitch);
        for (int col = 0; col < argb->w; ++col) r.alpha.push_back(uint8_t(src[col] >> 24));
    }
    SDL_FreeSurface(argb);
    if (recent.size() >= kRecent) recent.erase(recent.begin());
    recent.push_back(std::move(r));
    return &recent.back();
}

Typeface::Typeface() : impl_(new Impl) {}

Typeface::~Typeface() {
    if (impl_->font) TTF_CloseFont(impl_->font);
}

std::unique_ptr<Typeface> Typeface::open(const std::string& family, int pixelHeight,
                                         std::string& error) {
    int index = 0;
    const std::string path = resolveFamily(family, index);
    if (path.empty()) {
        error = "fontconfig found no font at all for \"" + family + "\"";
        return nullptr;
    }
    if (!ttfReady(error)) return nullptr;
    const int wanted = std::max(1, pixelHeight);
    TTF_Font* font = TTF_OpenFontIndex(path.c_str(), wanted, index);
    if (!font) {
        error = "cannot open font file " + path + ": " + TTF_GetError();
        return nullptr;
    }
    // The height asked for is the whole line (cell) height in pixels, not the
    // em size. Measure the ratio at a large size, where rounding of the
    // ascent and descent does not distort it, then scale.
    constexpr int kProbeSize = 512;
    if (TTF_SetFontSize(font, kProbeSize) == 0) {
        const int probeHeight = TTF_FontHeight(font);
        const int size =
            probeHeight > 0 ? int(std::lround(double(wanted) * kProbeSize / probeHeight)) : wanted;
        TTF_SetFontSize(font, std::max(1, size));
    }
    std::unique_ptr<Typeface> face(new Typeface);
    face->impl_->font = font;
    face->impl_->path = path;
    return face;
}

void Typeface::draw(PixelSurface& surface, int x, int y, const std::string& text, uint32_t rgb,
                    int alignment) {
    if (text.empty() || !impl_->font) return;
    const Impl::Rendered* rendered = impl_->render(text, rgb);
    if (!rendered) return;
    const int w = rendered->width, h = rendered->height;

    const int align = alignment & kAlignHorizontalMask;
    if (align == kAlignCentre) {
        x -= w / 2;
    } else if (align == kAlignRight) {
        x -= w;
    }
    const int vertical = alignment & kAlignVerticalMask;
    if (vertical == kAlignBaseline) {
        y -= TTF_FontAscent(impl_->font);
    } else if (vertical == kAlignBottom) {
        y -= h;
    }

    const uint16_t ink = PixelSurface::pixelFromRGB(rgb);
    const int firstRow = std::max(0, -y), endRow = std::min(h, surface.height() - y);
    const int firstCol = std::max(0, -x), endCol = std::min(w, surface.width() - x);
    const ptrdiff_t stride = surface.pitch() / 2;
    for (int row = firstRow; row < endRow; ++row) {
        const uint8_t* alpha = rendered->alpha.data() + size_t(row) * size_t(w);
        uint16_t* line = surface.pixels() + (y + row) * stride;
        for (int col = firstCol; col < endCol; ++col) {
            if (alpha[col] == 0) continue;
            uint16_t p = blend565(line[x + col], ink, alpha[col]);
            // Text must stay visible where it lands on the transparent value.
            if (p == 0) p = 0x0821;
            line[x + col] = p;
        }
    }
}

std::string Typeface::path() const {
    return impl_->path;
}

}  // namespace platform
