#include "services/tile_layer.h"

#include <string>

#include "engine/surface.h"
#include "engine/zef_dx.h"

TileLayer::TileLayer(ZefDX* owner, int32_t left, int32_t top, int32_t columns, int32_t rows,
                     int32_t tileWidth, int32_t tileHeight)
    : ZefBase(owner),
      left(left),
      top(top),
      columns(columns),
      rows(rows),
      tileWidth(tileWidth),
      tileHeight(tileHeight == 0 ? tileWidth : tileHeight) {
    right = left + columns * this->tileWidth - 1;
    bottom = top + rows * this->tileHeight - 1;
    owner->log("New " + std::to_string(columns) + "x" + std::to_string(rows) + " tile layer, (" +
               std::to_string(left) + "," + std::to_string(top) + ")-(" + std::to_string(right) +
               "," + std::to_string(bottom) + "), tile size " + std::to_string(this->tileWidth) +
               "x" + std::to_string(this->tileHeight) + ".");
    // Empty tiles would make the drawing walk stand still, a negative grid
    // has no cells to hold.
    if (columns < 0 || rows < 0 || this->tileWidth <= 0 || this->tileHeight <= 0) {
        owner->fatalError("TileLayer::TileLayer()",
                          "Invalid tile layer: " + std::to_string(columns) + "x" +
                              std::to_string(rows) + " tiles of " +
                              std::to_string(this->tileWidth) + "x" +
                              std::to_string(this->tileHeight),
                          -1);
    }
    cells.assign(size_t(columns) * size_t(rows), nullptr);
}

void TileLayer::fillAll(Surface* surface) {
    cells.assign(cells.size(), surface);
}

Surface* TileLayer::getTile(int32_t column, int32_t row) const {
    // The remainder keeps the sign of the column: negative ones stay outside.
    if (wrapAcross && columns > 0) column %= columns;
    if (wrapDown && rows > 0) row %= rows;
    if (column < 0 || column >= columns || row < 0 || row >= rows) return outsideTile;
    return cells[size_t(row) * size_t(columns) + size_t(column)];
}

void TileLayer::process() {
    const RECT& clip = owner->clipRect;
    const int32_t wx = int32_t(owner->viewX * parallaxAcross + clip.left);
    const int32_t wy = int32_t(owner->viewY * parallaxDown + clip.top);
    const int32_t column0 = (wx - left) / tileWidth;
    const int32_t row0 = (wy - top) / tileHeight;
    const int32_t offX = (wx - left) - column0 * tileWidth;
    const int32_t offY = (wy - top) - row0 * tileHeight;
    const int32_t sx0 = clip.left - offX;

    int32_t row = row0;
    for (int32_t sy = clip.top - offY; sy < clip.bottom; sy += tileHeight, ++row) {
        int32_t column = column0;
        for (int32_t sx = sx0; sx < clip.right; sx += tileWidth, ++column) {
            if (Surface* tile = getTile(column, row)) tile->blit(owner->back, sx, sy);
        }
    }

    if (++stepCounter >= stepPeriod) {
        stepCounter = 0;
        for (Surface*& cell : cells) {
            if (cell != nullptr) cell = cell->nextFrame;
        }
        if (outsideTile != nullptr) outsideTile = outsideTile->nextFrame;
    }
}
