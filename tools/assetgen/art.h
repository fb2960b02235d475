#pragma once
#include <vector>

#include "asset_bundle.h"
#include "picture.h"

// The picture makers, one per area of the game. Each adds its files to the bundle.
namespace art {

// Colours the scenery shares, so that the sky, the sea and the island meet without seams.
constexpr unsigned kSkyTop = 0x2048A0;  // exact on the 5-6-5 grid: the screen above the sky
constexpr unsigned kHaze = 0xC8E0EC;    // the horizon, where the sky meets the sea

void addScenery(AssetBundle& bundle);   // fire gradient, sky, sea, island, shadow
void addVehicles(AssetBundle& bundle);  // plane, cannon, cannonball, bomb
void addEffects(AssetBundle& bundle);   // palm, splash, sparc, arrow, icon
void addAlphabet(AssetBundle& bundle);  // the bitmap font
void addScreens(AssetBundle& bundle);   // full-screen pictures and the small logo

// Single pictures the screens reuse to stage a scene.
Picture skyPicture();
Picture seaPicture();
Picture islandPicture();
Picture palmPicture(int frame);
Picture planePicture(int frame);
Picture cannonPicture(int frame);
// The plane as vectors, nose to +x, centred on the origin, about 40 long.
void drawPlane(cairo_t* cr, bool bladeLong);

}  // namespace art
