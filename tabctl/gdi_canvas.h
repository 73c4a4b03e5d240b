#pragma once
// The only drawing code of the tab control: the painters' canvas over a GDI device context. Each
// line and fill makes and deletes its own pen or brush, as the painters expect of their primitives.
#include <windows.h>

#include <array>
#include <memory>
#include <optional>
#include <type_traits>

#include "runtime/gdi.h"
#include "runtime/picture.h"
#include "runtime/surface.h"
#include "tabctl/xtab_canvas.h"
#include "tabctl/xtab_logic.h"

namespace kelva::tabctl {

// A tab picture held by the window side, shared with whoever gave it: the runtime's picture object,
// or another component's picture object (an image list's), kept alive by `owner` and drawn through
// its handle, which stays that component's.
struct GdiTabPicture : TabPicture {
    explicit GdiTabPicture(std::shared_ptr<rt::Picture> p) : picture(std::move(p)) {}
    GdiTabPicture(std::shared_ptr<void> owner, HANDLE handle, int type);
    int width() const override;
    int height() const override;
    int type() const override { return picture ? kPictureBitmap : kind; }
    HBITMAP bitmap() const;
    std::shared_ptr<rt::Picture> picture;
    std::shared_ptr<void> owner;
    HANDLE handle = nullptr;
    int kind = kPictureBitmap;
};

using SharedFont = std::shared_ptr<std::remove_pointer_t<HFONT>>;

class GdiCanvas : public Canvas {
public:
    // The control's surface, with the control's two caption fonts.
    GdiCanvas(rt::Surface& surface, const XTabState& s);
    // Any device context (a memory bitmap in tests and benchmarks).
    GdiCanvas(HDC dc, int height, const rt::FontDesc& activeFont, const rt::FontDesc& inactiveFont);
    ~GdiCanvas() override;
    GdiCanvas(const GdiCanvas&) = delete;
    GdiCanvas& operator=(const GdiCanvas&) = delete;

    int height() const override { return height_; }
    void setDrawMode(int mode) override;
    void line(int x1, int y1, int x2, int y2, Rgb color) override;
    void fillRect(int x, int y, int width, int height, Rgb color) override;
    void setPixel(int x, int y, Rgb color) override;
    void xorPixel(int x, int y, Rgb value) override;
    void roundRect(const Rect& r, int ellipseWidth, int ellipseHeight, Rgb pen, std::optional<Rgb> brush) override;
    void clear(Rgb back) override;
    void setFont(FontRole font) override;
    int textWidth(std::wstring_view text) override;
    Rect measureText(std::wstring_view text, const Rect& r, unsigned flags) override;
    void drawText(std::wstring_view text, const Rect& r, unsigned flags, Rgb color) override;
    void focusRect(const Rect& r) override;
    void drawPicture(const TabPicture& picture, int x, int y, int width, int height, bool masked,
                     Rgb transparent) override;

private:
    HDC dc_;
    int width_ = 0, height_ = 0;
    // Active, inactive; shared with the font cache, and held here until the context's own font is
    // back in it (the destructor's body runs before the members go).
    std::array<SharedFont, 2> fonts_{};
    HGDIOBJ originalFont_ = nullptr;
    int originalRop_ = R2_COPYPEN;
};

// The size of a bitmap, read with the platform's own BITMAP record size (it differs between 32 and
// 64 bits); an empty size for a handle that is no bitmap.
SIZE bitmapSize(HBITMAP bitmap);

// The whole bitmap stretched into (x, y, width, height) of dc, its pixels of the transparent colour
// left out. The bitmap stays the caller's.
void drawImage(HDC dc, HBITMAP bitmap, Rgb transparent, int x, int y, int width, int height);

}  // namespace kelva::tabctl
