#pragma once
#include <memory>

#include "engine/surface.h"

class ZefDX;
namespace platform {
class PixelSurface;
}

// A surface of `picture`'s size holding a copy of it, made anew only when the
// size changes: notes are drawn over it, never over the game's own picture.
Surface& canvasOver(ZefDX* engine, std::unique_ptr<Surface>& canvas,
                    const platform::PixelSurface& picture);
