#include <algorithm>
#include <cmath>
#include <cstddef>

#include "platform/pixel_surface.h"

namespace platform {

// A one-pixel outline inside (left, top)-(right - 1, bottom - 1), as the
// system's RoundRect draws with a null brush: straight edges joined by the
// quarters of a cornerW x cornerH ellipse.
void PixelSurface::drawRoundRect(const Rect& r, int cornerW, int cornerH, uint16_t pixel) {
    if (r.right <= r.left || r.bottom <= r.top) return;
    const Rect clip = clipRect();  // always inside the surface
    uint16_t* const base = pixels();
    const ptrdiff_t stride = pitch() / 2;
    const int32_t last = r.right - 1, bottom = r.bottom - 1;
    auto plot = [&](int32_t x, int32_t y) {
        if (x >= clip.left && x < clip.right && y >= clip.top && y < clip.bottom) {
            base[y * stride + x] = pixel;
        }
    };
    // Every pixel of the top-left quarter is drawn in all four corners.
    auto plot4 = [&](int32_t x, int32_t y) {
        const int32_t mx = r.left + last - x, my = r.top + bottom - y;
        plot(x, y);
        plot(mx, y);
        plot(x, my);
        plot(mx, my);
    };
    const int cw = std::clamp(cornerW, 0, r.width());
    const int ch = std::clamp(cornerH, 0, r.height());
    const double rx = (cw - 1) / 2.0, ry = (ch - 1) / 2.0;
    const int32_t edgeX = cw >= 2 ? r.left + cw / 2 : r.left;
    const int32_t edgeY = ch >= 2 ? r.top + ch / 2 : r.top;
    for (int32_t x = edgeX; x <= last - (edgeX - r.left); ++x) {
        plot(x, r.top);
        plot(x, bottom);
    }
    for (int32_t y = edgeY; y <= bottom - (edgeY - r.top); ++y) {
        plot(r.left, y);
        plot(last, y);
    }
    if (cw < 2 || ch < 2) return;
    const double cx = r.left + rx, cy = r.top + ry;
    // Sample the quarter ellipse along both axes so steep and flat parts
    // both come out without gaps.
    for (int32_t x = r.left; x <= int32_t(std::floor(cx)); ++x) {
        const double t = (x - cx) / rx;
        plot4(x, int32_t(std::lround(cy - ry * std::sqrt(std::max(0.0, 1.0 - t * t)))));
    }
    for (int32_t y = r.top; y <= int32_t(std::floor(cy)); ++y) {
        const double t = (y - cy) / ry;
        plot4(int32_t(std::lround(cx - rx * std::sqrt(std::max(0.0, 1.0 - t * t)))), y);
    }
}

}  // namespace platform
