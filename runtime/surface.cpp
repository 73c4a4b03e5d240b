#include "runtime/surface.h"

#include <algorithm>

namespace kelva::rt {

Surface::Surface()
    : dc_(CreateCompatibleDC(nullptr)), scale_(0, 0, twipsPerPixelX(), twipsPerPixelY()),
      font_(std::make_shared<Font>()) {
    resize(1, 1);
}

Surface::~Surface() {
    if (dc_ && originalBitmap_) SelectObject(dc_.get(), originalBitmap_);
}

void Surface::resize(int w, int h) {
    w = std::max(w, 1);
    h = std::max(h, 1);
    if (bitmap_ && w == width_ && h == height_) return;
    HDC screen = GetDC(nullptr);
    BitmapPtr fresh(CreateCompatibleBitmap(screen, w, h));
    ReleaseDC(nullptr, screen);
    if (!fresh) return;  // keeps the old bitmap: drawing goes on at the old size
    MemoryDcPtr tmp(CreateCompatibleDC(dc_.get()));
    {
        ScopedSelect sel(tmp.get(), fresh.get());
        RECT all{0, 0, w, h};
        BrushPtr brush(CreateSolidBrush(toColorRef(backColor_)));
        FillRect(tmp.get(), &all, brush.get());
        if (bitmap_) BitBlt(tmp.get(), 0, 0, std::min(w, width_), std::min(h, height_), dc_.get(), 0, 0, SRCCOPY);
    }
    HGDIOBJ old = SelectObject(dc_.get(), fresh.get());
    if (!originalBitmap_) originalBitmap_ = old;
    bitmap_ = std::move(fresh);
    width_ = w;
    height_ = h;
    scale_.resize(w, h);
}

void Surface::setBackColor(std::uint32_t c) {
    backColor_ = c;
    cls();
}

void Surface::setFont(std::shared_ptr<Font> font) {
    if (font) font_ = std::move(font);
}

void Surface::setPicture(std::shared_ptr<Picture> picture) {
    picture_ = std::move(picture);
    cls();
}

void Surface::fill() {
    RECT all{0, 0, width_, height_};
    BrushPtr brush(CreateSolidBrush(toColorRef(backColor_)));
    FillRect(dc_.get(), &all, brush.get());
    if (picture_) picture_->draw(dc_.get(), 0, 0, picture_->width(), picture_->height());
}

void Surface::cls() {
    fill();
    currentX = scale_.scaleLeft();
    currentY = scale_.scaleTop();
}

void Surface::print(std::wstring_view text) {
    ScopedSelect sel(dc_.get(), font_->handle());
    SetBkMode(dc_.get(), TRANSPARENT);
    SetTextColor(dc_.get(), toColorRef(foreColor_));
    TextOutW(dc_.get(), scale_.toPixelX(currentX), scale_.toPixelY(currentY), text.data(), static_cast<int>(text.size()));
    currentY += textHeight(text);
    currentX = scale_.scaleLeft();
}

double Surface::textWidth(std::wstring_view text) {
    ScopedSelect sel(dc_.get(), font_->handle());
    SIZE sz{};
    GetTextExtentPoint32W(dc_.get(), text.data(), static_cast<int>(text.size()), &sz);
    return scale_.widthFromPixels(sz.cx);
}

double Surface::textHeight(std::wstring_view) {
    ScopedSelect sel(dc_.get(), font_->handle());
    TEXTMETRICW tm{};
    GetTextMetricsW(dc_.get(), &tm);
    return scale_.heightFromPixels(tm.tmHeight);
}

void Surface::line(double x1, double y1, double x2, double y2, std::optional<std::uint32_t> color) {
    PenPtr pen(CreatePen(PS_SOLID, 1, toColorRef(color.value_or(foreColor_))));
    ScopedSelect sel(dc_.get(), pen.get());
    MoveToEx(dc_.get(), scale_.toPixelX(x1), scale_.toPixelY(y1), nullptr);
    LineTo(dc_.get(), scale_.toPixelX(x2), scale_.toPixelY(y2));
    currentX = x2;
    currentY = y2;
}

void Surface::paintPicture(const Picture& pic, double x, double y, std::optional<double> w, std::optional<double> h) {
    const int px = scale_.toPixelX(x), py = scale_.toPixelY(y);
    const int pw = w ? scale_.widthToPixels(*w) : pic.width();
    const int ph = h ? scale_.heightToPixels(*h) : pic.height();
    pic.draw(dc_.get(), px, py, pw, ph);
}

void Surface::setPixel(double x, double y, std::uint32_t c) {
    SetPixel(dc_.get(), scale_.toPixelX(x), scale_.toPixelY(y), toColorRef(c));
}

void Surface::blitTo(HDC target, const RECT& clip) const {
    BitBlt(target, clip.left, clip.top, clip.right - clip.left, clip.bottom - clip.top, dc_.get(), clip.left, clip.top,
           SRCCOPY);
}

}  // namespace kelva::rt
