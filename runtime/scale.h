#pragma once
// The coordinate systems of a drawing surface: twips, pixels, or a user scale laid over the client
// area (ScaleLeft, ScaleTop, ScaleWidth, ScaleHeight). Drawing happens in pixels; a fractional pixel
// coordinate rounds half to even.
#include <cstdint>

namespace kelva::rt {

enum class ScaleMode { User = 0, Twips = 1, Pixels = 3 };

class SurfaceScale {
public:
    SurfaceScale(int pixelWidth, int pixelHeight, double twipsPerPixelX = 15.0, double twipsPerPixelY = 15.0);

    // Keeps the current mode; twips and pixels follow the new client size, a user scale keeps its
    // extent (so its units stretch with the surface, as they do in the original runtime).
    void resize(int pixelWidth, int pixelHeight);
    void setMode(ScaleMode mode);
    void setUserScale(double left, double top, double width, double height);  // switches to User
    ScaleMode mode() const { return mode_; }

    double scaleLeft() const { return left_; }
    double scaleTop() const { return top_; }
    double scaleWidth() const { return width_; }
    double scaleHeight() const { return height_; }

    // Scale units to pixel coordinates (rounded) and back (exact).
    std::int32_t toPixelX(double x) const;
    std::int32_t toPixelY(double y) const;
    double fromPixelX(double px) const;
    double fromPixelY(double py) const;
    // Lengths (no origin): a width of text in pixels as scale units, and the reverse.
    double widthFromPixels(double px) const;
    double heightFromPixels(double py) const;
    std::int32_t widthToPixels(double w) const;
    std::int32_t heightToPixels(double h) const;

private:
    void fitToMode();
    double pxPerUnitX() const;
    double pxPerUnitY() const;

    int pixelWidth_, pixelHeight_;
    double tppX_, tppY_;
    ScaleMode mode_ = ScaleMode::Twips;
    double left_ = 0, top_ = 0, width_ = 0, height_ = 0;
};

// A pixel coordinate from a fractional value: half to even, clamped to the 32-bit range.
std::int32_t roundPixel(double v);

}  // namespace kelva::rt
