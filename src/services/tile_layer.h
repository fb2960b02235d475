#pragma once
#include <cstdint>
#include <vector>

#include "engine/zef_base.h"

class Surface;

// A grid of equal tiles drawn behind everything, scrolled with the view at
// its own parallax, optionally repeating, with animated tiles.
class TileLayer : public ZefBase {
  public:
    // A tile height of 0 gives square tiles.
    TileLayer(ZefDX* owner, int32_t left, int32_t top, int32_t columns, int32_t rows,
              int32_t tileWidth, int32_t tileHeight = 0);

    void fillAll(Surface* surface);
    Surface* getTile(int32_t column, int32_t row) const;
    void process() override;

    int32_t left, top, right, bottom;
    int32_t columns, rows;
    int32_t tileWidth, tileHeight;
    bool wrapAcross = false;
    bool wrapDown = false;
    double parallaxAcross = 1.0;
    double parallaxDown = 1.0;
    int32_t stepPeriod = 1;
    int32_t stepCounter = 0;
    Surface* outsideTile = nullptr;  // not owned
    std::vector<Surface*> cells;     // row by row; surfaces not owned
};
