#pragma once
#include "platform/rect.h"

namespace platform {

struct Size {
    int width = 0;
    int height = 0;
};

// Where the game's picture goes in a drawable area: as large as fits with
// its aspect kept, centred, black bars around it. `factor` is the whole
// enlargement done with nearest neighbour first, the largest that fits, so
// that the smooth scaling after it stretches by less than one pixel per
// game pixel and every game pixel comes out the same size.
struct PictureLayout {
    Rect dest;       // in the area's pixels; empty for an empty area
    int factor = 1;  // 1: the picture goes to the screen as it is
};

// `maxTexture` is the renderer's largest texture side, 0 for no limit.
PictureLayout layoutPicture(Size picture, Size area, int maxTexture);

// A window for the picture: the largest whole multiple of it that fits the
// area, and never smaller than the picture itself.
Size windowedSize(Size picture, Size area);

}  // namespace platform
