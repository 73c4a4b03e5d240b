#include "runtime/scale.h"

#include <cmath>

#include "core/values.h"

namespace kelva::rt {

std::int32_t roundPixel(double v) {
    if (std::isnan(v)) return 0;
    double r = roundHalfEven(v);
    if (r > 2147483647.0) return 2147483647;
    if (r < -2147483648.0) return -2147483647 - 1;
    return static_cast<std::int32_t>(r);
}

SurfaceScale::SurfaceScale(int pixelWidth, int pixelHeight, double tppX, double tppY)
    : pixelWidth_(pixelWidth), pixelHeight_(pixelHeight), tppX_(tppX), tppY_(tppY) {
    fitToMode();
}

void SurfaceScale::fitToMode() {
    switch (mode_) {
    case ScaleMode::Twips:
        left_ = top_ = 0;
        width_ = pixelWidth_ * tppX_;
        height_ = pixelHeight_ * tppY_;
        break;
    case ScaleMode::Pixels:
        left_ = top_ = 0;
        width_ = pixelWidth_;
        height_ = pixelHeight_;
        break;
    case ScaleMode::User:
        break;
    }
}

void SurfaceScale::resize(int pixelWidth, int pixelHeight) {
    pixelWidth_ = pixelWidth;
    pixelHeight_ = pixelHeight;
    fitToMode();
}

void SurfaceScale::setMode(ScaleMode mode) {
    mode_ = mode;
    fitToMode();
}

void SurfaceScale::setUserScale(double left, double top, double width, double height) {
    mode_ = ScaleMode::User;
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
}

double SurfaceScale::pxPerUnitX() const {
    if (mode_ == ScaleMode::Twips) return 1.0 / tppX_;
    if (mode_ == ScaleMode::Pixels) return 1.0;
    return width_ == 0 ? 0 : pixelWidth_ / width_;
}
double SurfaceScale::pxPerUnitY() const {
    if (mode_ == ScaleMode::Twips) return 1.0 / tppY_;
    if (mode_ == ScaleMode::Pixels) return 1.0;
    return height_ == 0 ? 0 : pixelHeight_ / height_;
}

std::int32_t SurfaceScale::toPixelX(double x) const { return roundPixel((x - left_) * pxPerUnitX()); }
std::int32_t SurfaceScale::toPixelY(double y) const { return roundPixel((y - top_) * pxPerUnitY()); }
double SurfaceScale::widthFromPixels(double px) const {
    double k = pxPerUnitX();
    return k == 0 ? 0 : px / k;
}
double SurfaceScale::heightFromPixels(double py) const {
    double k = pxPerUnitY();
    return k == 0 ? 0 : py / k;
}
double SurfaceScale::fromPixelX(double px) const { return left_ + widthFromPixels(px); }
double SurfaceScale::fromPixelY(double py) const { return top_ + heightFromPixels(py); }
std::int32_t SurfaceScale::widthToPixels(double w) const { return roundPixel(w * pxPerUnitX()); }
std::int32_t SurfaceScale::heightToPixels(double h) const { return roundPixel(h * pxPerUnitY()); }

}  // namespace kelva::rt
