#pragma once
// Layout is in twips (1/1440 inch), painting in pixels: 15 twips per pixel at 96 dots per inch.
#include <cstdint>

#include "values.h"

namespace kelva {

inline constexpr int kTwipsPerInch = 1440;

constexpr double twipsPerPixel(int dotsPerInch) { return static_cast<double>(kTwipsPerInch) / dotsPerInch; }

// A pixel count in twips (exact: the count times the screen's twips per pixel).
constexpr double pixelsToTwips(std::int32_t pixels, double tpp = 15.0) { return pixels * tpp; }

// Twips to a whole pixel coordinate, rounded half to even like every fractional coordinate.
inline std::int32_t twipsToPixels(double twips, double tpp = 15.0) { return toInt32(twips / tpp); }

}  // namespace kelva
