#pragma once
// Gradient pictures of the collapsible frame, built in pixels: a straight blend in RGB or a blend in
// the lightness-saturation (HLS) model, and the HLS conversions it rests on.
#include <cstdint>
#include <vector>

namespace kelva::ctl {

struct Hls {
    float h = 0;  // sixths of the colour circle, -1 up to 5
    float s = 0;
    float l = 0;
};

Hls rgbToHls(std::uint8_t red, std::uint8_t green, std::uint8_t blue);
void hlsToRgb(float h, float s, float l, std::uint8_t& red, std::uint8_t& green, std::uint8_t& blue);

enum class GradientMode { Rgb = 0, Hls = 1 };

// Top-down 32-bit pixels (blue, green, red, 0), width x height. Direction 0 blends top to bottom,
// anything else left to right; the first colour is at the top (left) edge. Only the low three bytes
// of each colour count. An empty size gives no pixels; a single line along the direction takes the
// first colour. Modes other than RGB and HLS leave the pixels black.
std::vector<std::uint8_t> gradientPixels(int width, int height, int direction, std::uint32_t first,
                                         std::uint32_t second, int mode);

}  // namespace kelva::ctl
