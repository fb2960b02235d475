#pragma once

// The water line, in world pixels: below it planes sink, shots splash and
// sparks bounce; shadows lie on it.
constexpr double kSeaLevel = 370.0;
