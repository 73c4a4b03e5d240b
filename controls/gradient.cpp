#include "controls/gradient.h"

#include <algorithm>

#include "core/values.h"

namespace kelva::ctl {

Hls rgbToHls(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    const float r = red / 255.0f, g = green / 255.0f, b = blue / 255.0f;
    const float mx = std::max({r, g, b}), mn = std::min({r, g, b});
    Hls out;
    out.l = (mx + mn) / 2;
    if (mx == mn) return out;
    const float d = mx - mn;
    out.s = out.l <= 0.5f ? d / (mx + mn) : d / (2 - mx - mn);
    if (r == mx) out.h = (g - b) / d;
    else if (g == mx) out.h = 2 + (b - r) / d;
    else out.h = 4 + (r - g) / d;
    return out;
}

namespace {
std::uint8_t toByte(float part) {
    double v = roundHalfEven(static_cast<double>(part) * 255.0);
    return static_cast<std::uint8_t>(std::clamp(v, 0.0, 255.0));
}
}  // namespace

void hlsToRgb(float h, float s, float l, std::uint8_t& red, std::uint8_t& green, std::uint8_t& blue) {
    float r, g, b;
    if (s == 0) {
        r = g = b = l;
    } else {
        const float m1 = l <= 0.5f ? l * (1 - s) : l - s * (1 - l);
        const float m2 = 2 * l - m1;
        const float span = m2 - m1;
        if (h < 0) {
            r = m2, g = m1, b = m1 - h * span;
        } else if (h < 1) {
            r = m2, g = m1 + h * span, b = m1;
        } else if (h < 2) {
            r = m1 - (h - 2) * span, g = m2, b = m1;
        } else if (h < 3) {
            r = m1, g = m2, b = m1 + (h - 2) * span;
        } else if (h < 4) {
            r = m1, g = m1 - (h - 4) * span, b = m2;
        } else {
            r = m1 + (h - 4) * span, g = m1, b = m2;
        }
    }
    red = toByte(r), green = toByte(g), blue = toByte(b);
}

std::vector<std::uint8_t> gradientPixels(int width, int height, int direction, std::uint32_t first,
                                         std::uint32_t second, int mode) {
    if (width <= 0 || height <= 0) return {};
    std::vector<std::uint8_t> px(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4, 0);
    if (mode != 0 && mode != 1) return px;
    auto part = [](std::uint32_t c, int k) { return static_cast<std::uint8_t>((c >> (8 * k)) & 0xFF); };
    const std::uint8_t r1 = part(first, 0), g1 = part(first, 1), b1 = part(first, 2);
    const std::uint8_t r2 = part(second, 0), g2 = part(second, 1), b2 = part(second, 2);
    const Hls h1 = rgbToHls(r1, g1, b1), h2 = rgbToHls(r2, g2, b2);
    const int n = direction == 0 ? height : width;
    for (int i = 0; i < n; ++i) {
        // t runs from 1 on the first line to 0 on the last; a single line is the first colour.
        const double t = n == 1 ? 1.0 : static_cast<double>(n - 1 - i) / (n - 1);
        std::uint8_t r, g, b;
        if (mode == 0) {
            auto mix = [t](std::uint8_t c1, std::uint8_t c2) {
                return static_cast<std::uint8_t>(roundHalfEven(c2 + t * (c1 - c2)));
            };
            r = mix(r1, r2), g = mix(g1, g2), b = mix(b1, b2);
        } else {
            auto mixf = [t](float a1, float a2) { return static_cast<float>(a2 + t * (a1 - a2)); };
            hlsToRgb(mixf(h1.h, h2.h), mixf(h1.s, h2.s), mixf(h1.l, h2.l), r, g, b);
        }
        const int count = direction == 0 ? width : height;
        for (int j = 0; j < count; ++j) {
            const int x = direction == 0 ? j : i, y = direction == 0 ? i : j;
            auto* p = &px[(static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)) * 4];
            p[0] = b, p[1] = g, p[2] = r;
        }
    }
    return px;
}

}  // namespace kelva::ctl
