#include "tabctl/gdi_canvas.h"

#include <vector>

#include "runtime/font.h"

namespace kelva::tabctl {

namespace {
rt::FontDesc descOf(const FontRef& f) { return f ? *f : rt::FontDesc{}; }

// The caption fonts of the controls, made once: every paint asks for the same two, and a font is
// far dearer to make than anything else a paint does. The few distinct fonts live as long as the
// program. A canvas shares the fonts it draws with: one the cache lets go while a device context
// still has it selected lives on until that canvas has put the context's own font back.
SharedFont cachedFont(const rt::FontDesc& desc) {
    static std::vector<std::pair<rt::FontDesc, SharedFont>> cache;
    for (auto& [d, f] : cache)
        if (d == desc) return f;
    if (cache.size() >= 16) cache.erase(cache.begin());
    cache.emplace_back(desc, SharedFont(rt::createFont(desc)));
    return cache.back().second;
}
RECT toRect(const Rect& r) { return {r.left, r.top, r.right, r.bottom}; }
}  // namespace

GdiCanvas::GdiCanvas(rt::Surface& surface, const XTabState& s)
    : GdiCanvas(surface.hdc(), surface.pixelHeight(), descOf(s.ActiveTabFont), descOf(s.InActiveTabFont)) {}

GdiCanvas::GdiCanvas(HDC dc, int height, const rt::FontDesc& activeFont, const rt::FontDesc& inactiveFont)
    : dc_(dc), height_(height), fonts_{cachedFont(activeFont), cachedFont(inactiveFont)} {
    originalRop_ = GetROP2(dc_);
    originalFont_ = SelectObject(dc_, fonts_[1].get());
    SetBkMode(dc_, TRANSPARENT);
}

GdiCanvas::~GdiCanvas() {
    SetROP2(dc_, originalRop_);
    if (originalFont_) SelectObject(dc_, originalFont_);
}

void GdiCanvas::setDrawMode(int mode) { SetROP2(dc_, mode == kDrawXorPen ? R2_XORPEN : R2_COPYPEN); }

void GdiCanvas::line(int x1, int y1, int x2, int y2, Rgb color) {
    rt::PenPtr pen(CreatePen(PS_SOLID, 1, color));
    rt::ScopedSelect sel(dc_, pen.get());
    MoveToEx(dc_, x1, y1, nullptr);
    LineTo(dc_, x2, y2);
}

void GdiCanvas::fillRect(int x, int y, int w, int h, Rgb color) {
    rt::BrushPtr brush(CreateSolidBrush(color));
    const RECT r{x, y, x + w, y + h};
    FillRect(dc_, &r, brush.get());
}

namespace {
// Some GDI implementations combine a set pixel by the pen's raster mode: a pixel is always written
// as given, whatever mode the lines around it use.
class CopyMode {
public:
    explicit CopyMode(HDC dc) : dc_(dc), old_(SetROP2(dc, R2_COPYPEN)) {}
    ~CopyMode() { SetROP2(dc_, old_); }
    CopyMode(const CopyMode&) = delete;
    CopyMode& operator=(const CopyMode&) = delete;

private:
    HDC dc_;
    int old_;
};
}  // namespace

void GdiCanvas::setPixel(int x, int y, Rgb color) {
    CopyMode copy(dc_);
    SetPixelV(dc_, x, y, color);
}

void GdiCanvas::xorPixel(int x, int y, Rgb value) {
    CopyMode copy(dc_);
    const COLORREF now = GetPixel(dc_, x, y);
    if (now == CLR_INVALID) return;  // outside the bitmap
    SetPixelV(dc_, x, y, (now ^ value) & 0xFFFFFFu);
}

void GdiCanvas::roundRect(const Rect& r, int ew, int eh, Rgb pen, std::optional<Rgb> brush) {
    rt::PenPtr p(CreatePen(PS_SOLID, 1, pen));
    rt::BrushPtr b(brush ? CreateSolidBrush(*brush) : nullptr);
    rt::ScopedSelect sp(dc_, p.get());
    rt::ScopedSelect sb(dc_, b ? static_cast<HGDIOBJ>(b.get()) : GetStockObject(NULL_BRUSH));
    RoundRect(dc_, r.left, r.top, r.right, r.bottom, ew, eh);
}

void GdiCanvas::clear(Rgb back) {
    rt::BrushPtr brush(CreateSolidBrush(back));
    const RECT all{0, 0, 1 << 15, height_};
    FillRect(dc_, &all, brush.get());
}

void GdiCanvas::setFont(FontRole font) { SelectObject(dc_, fonts_[font == FontRole::Active ? 0 : 1].get()); }

int GdiCanvas::textWidth(std::wstring_view text) {
    SIZE sz{};
    GetTextExtentPoint32W(dc_, text.data(), static_cast<int>(text.size()), &sz);
    return sz.cx;
}

Rect GdiCanvas::measureText(std::wstring_view text, const Rect& r, unsigned flags) {
    RECT rc = toRect(r);
    DrawTextW(dc_, text.data(), static_cast<int>(text.size()), &rc, flags | DT_CALCRECT);
    return {rc.left, rc.top, rc.right, rc.bottom};
}

void GdiCanvas::drawText(std::wstring_view text, const Rect& r, unsigned flags, Rgb color) {
    RECT rc = toRect(r);
    SetTextColor(dc_, color);
    SetBkMode(dc_, TRANSPARENT);
    DrawTextW(dc_, text.data(), static_cast<int>(text.size()), &rc, flags);
}

void GdiCanvas::focusRect(const Rect& r) {
    const RECT rc = toRect(r);
    // DrawFocusRect combines with the screen by exclusive or in the colours of the DC.
    SetTextColor(dc_, RGB(0, 0, 0));
    SetBkColor(dc_, RGB(255, 255, 255));
    DrawFocusRect(dc_, &rc);
}

GdiTabPicture::GdiTabPicture(std::shared_ptr<void> o, HANDLE h, int t) : owner(std::move(o)), handle(h), kind(t) {}

HBITMAP GdiTabPicture::bitmap() const {
    if (picture) return picture->handle();
    return kind == kPictureBitmap ? static_cast<HBITMAP>(handle) : nullptr;
}

int GdiTabPicture::width() const { return picture ? picture->width() : bitmapSize(bitmap()).cx; }
int GdiTabPicture::height() const { return picture ? picture->height() : bitmapSize(bitmap()).cy; }

void GdiCanvas::drawPicture(const TabPicture& picture, int x, int y, int w, int h, bool masked, Rgb transparent) {
    const auto* p = dynamic_cast<const GdiTabPicture*>(&picture);
    if (!p) return;
    if (masked) {
        drawImage(dc_, p->bitmap(), transparent, x, y, w, h);
    } else if (p->picture) {
        p->picture->draw(dc_, x, y, w, h);
    } else if (p->kind == kPictureIcon) {
        DrawIconEx(dc_, x, y, static_cast<HICON>(p->handle), w, h, 0, nullptr, DI_NORMAL);
    } else if (const SIZE size = bitmapSize(p->bitmap()); size.cx > 0 && size.cy > 0) {
        rt::MemoryDcPtr mem(CreateCompatibleDC(dc_));
        rt::ScopedSelect sel(mem.get(), p->bitmap());
        StretchBlt(dc_, x, y, w, h, mem.get(), 0, 0, size.cx, size.cy, SRCCOPY);
    }
}

SIZE bitmapSize(HBITMAP bitmap) {
    BITMAP bm{};
    if (!bitmap || GetObjectW(bitmap, sizeof bm, &bm) != static_cast<int>(sizeof bm)) return {0, 0};
    return {bm.bmWidth, bm.bmHeight};
}

void drawImage(HDC dc, HBITMAP bitmap, Rgb transparent, int x, int y, int width, int height) {
    const SIZE size = bitmapSize(bitmap);
    if (size.cx <= 0 || size.cy <= 0 || width <= 0 || height <= 0) return;
    rt::MemoryDcPtr mem(CreateCompatibleDC(dc));
    if (!mem) return;
    rt::ScopedSelect sel(mem.get(), bitmap);
    TransparentBlt(dc, x, y, width, height, mem.get(), 0, 0, size.cx, size.cy, transparent);
}

}  // namespace kelva::tabctl
