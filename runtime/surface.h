#pragma once
// A drawing surface with a persistent bitmap: what the picture box and the user-control host draw
// on. Drawing goes to the bitmap through its own DC and in the surface's scale; the window shows the
// bitmap. Cls fills it with the back colour and puts the background picture at the top left.
#include <windows.h>

#include <memory>
#include <optional>
#include <string_view>

#include "runtime/font.h"
#include "runtime/gdi.h"
#include "runtime/picture.h"
#include "runtime/scale.h"

namespace kelva::rt {

class Surface {
public:
    Surface();
    ~Surface();
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    // Sizes the bitmap to the client area, keeping what was drawn.
    void resize(int pixelWidth, int pixelHeight);
    HDC hdc() const { return dc_.get(); }
    int pixelWidth() const { return width_; }
    int pixelHeight() const { return height_; }
    SurfaceScale& scale() { return scale_; }
    const SurfaceScale& scale() const { return scale_; }

    std::uint32_t backColor() const { return backColor_; }
    void setBackColor(std::uint32_t oleColor);  // repaints the background, as Cls
    std::uint32_t foreColor() const { return foreColor_; }
    void setForeColor(std::uint32_t oleColor) { foreColor_ = oleColor; }
    Font& font() { return *font_; }
    void setFont(std::shared_ptr<Font> font);
    const std::shared_ptr<Font>& fontObject() const { return font_; }
    const std::shared_ptr<Picture>& picture() const { return picture_; }
    void setPicture(std::shared_ptr<Picture> picture);  // the background picture; shows it (Cls)

    double currentX = 0, currentY = 0;

    void cls();
    // Draws text at the current position and moves it to the start of the next line.
    void print(std::wstring_view text);
    double textWidth(std::wstring_view text);
    double textHeight(std::wstring_view text);
    // A one-pixel line from the first point up to, not including, the second; the fore colour when
    // no colour is given. Leaves the current position at the end point.
    void line(double x1, double y1, double x2, double y2, std::optional<std::uint32_t> oleColor = {});
    void paintPicture(const Picture& pic, double x, double y, std::optional<double> w = {}, std::optional<double> h = {});
    void setPixel(double x, double y, std::uint32_t oleColor);

    // Copies the bitmap to a window DC.
    void blitTo(HDC target, const RECT& clip) const;

private:
    void fill();
    MemoryDcPtr dc_;
    BitmapPtr bitmap_;
    HGDIOBJ originalBitmap_ = nullptr;
    int width_ = 0, height_ = 0;
    SurfaceScale scale_;
    std::uint32_t backColor_ = 0x8000000F;
    std::uint32_t foreColor_ = 0x80000012;
    std::shared_ptr<Font> font_;
    std::shared_ptr<Picture> picture_;
};

}  // namespace kelva::rt
