#pragma once
#include <cstdint>

// Unit vectors of the 256 direction steps (0 up, 64 right, clockwise),
// built once by the asset set with the constants 1.5705 and 6.282.
extern double dirX[256];
extern double dirY[256];
void buildDirectionTables();

// The step pointing along (dx, dy).
int32_t directionOf(double dx, double dy);
