#include "scene_preview.h"

#include <cmath>

#include "art.h"
#include "draw_kit.h"

namespace {

// Draws a picture the way a keyed blit with its hotspot would: `hx`, `hy` from the top-left.
void blitAt(cairo_t* cr, const Picture& p, double x, double y, double hx, double hy,
            bool mirror = false) {
    Picture stored = Picture::filled(p.width(), p.height(), [&](int xx, int yy) {
        uint32_t rgb = p.rgbAt(mirror ? p.width() - 1 - xx : xx, yy);
        return rgb ? (0xFF000000u | rgb) : 0u;
    });
    cairo_set_source_surface(cr, stored.surface(), std::floor(x - hx), std::floor(y - hy));
    cairo_paint(cr);
}

}  // namespace

Picture scenePreview() {
    Picture scene(640, 480);
    Pen cr(scene);
    kit::colour(cr, kit::hex(art::kSkyTop));
    cairo_paint(cr);
    Picture sky = art::skyPicture(), sea = art::seaPicture();
    blitAt(cr, sky, 0, 120, 0, 0);
    for (int x = -460; x < 640; x += 540) blitAt(cr, sea, x, 360, 0, 0);
    Picture island = art::islandPicture();
    blitAt(cr, island, 320, 360, island.width() / 2, island.height() / 2);
    // Palms on their arc: x = 320 + 150 dirX[d], y = 360 + 60 dirY[d], mirrored left of centre.
    Picture palm = art::palmPicture(0), stump = art::palmPicture(9);
    for (int d : {224, 236, 248, 6, 18, 31}) {
        double t = 1.5705 - d * 6.282 / 256;
        double x = std::trunc(320 + std::cos(t) * 150), y = std::trunc(360 - std::sin(t) * 60);
        const Picture& p = d == 18 ? stump : palm;
        blitAt(cr, p, x, y, p.width() / 2, p.height() / 2, d > 128);
    }
    // The cannon stands 20 above the island's centre; on the mock-up it aims up and right.
    Picture cannon = art::cannonPicture(22);
    blitAt(cr, cannon, 320, 340, cannon.width() / 2, cannon.height() / 2);
    Picture plane = art::planePicture(9);
    blitAt(cr, plane, 520, 250, 24, 24);
    return scene;
}
