#pragma once
// Canvases for the painters' native tests: one records every call, one rasterises into memory the
// way GDI does (lines leave out their end point, XOR pen, brush fills ignore the pen mode), so that
// an overlay drawn twice can be compared pixel by pixel.
#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "tabctl/xtab_canvas.h"

namespace kelva::tabctl::test {

struct Op {
    enum Kind { Line, Fill, Pixel, XorPixel, RoundRect, Clear, Text, Measure, Focus, Picture, Mode, Font } kind;
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    Rgb color = 0;
    int mode = kDrawCopyPen;  // the pen mode in force
    std::wstring text;
    bool masked = false;
    bool operator==(const Op& o) const {
        return kind == o.kind && x1 == o.x1 && y1 == o.y1 && x2 == o.x2 && y2 == o.y2 && color == o.color &&
               mode == o.mode;
    }
};

// Every character measures 6 by 13 pixels.
inline constexpr int kCharWidth = 6;
inline constexpr int kCharHeight = 13;

class RecordingCanvas : public Canvas {
public:
    explicit RecordingCanvas(int height = 400) : height_(height) {}
    std::vector<Op> ops;
    int mode = kDrawCopyPen;

    int height() const override { return height_; }
    void setDrawMode(int m) override {
        mode = m;
        ops.push_back({Op::Mode, m, 0, 0, 0, 0, mode});
    }
    void line(int x1, int y1, int x2, int y2, Rgb c) override { ops.push_back({Op::Line, x1, y1, x2, y2, c, mode}); }
    void fillRect(int x, int y, int w, int h, Rgb c) override { ops.push_back({Op::Fill, x, y, w, h, c, mode}); }
    void setPixel(int x, int y, Rgb c) override { ops.push_back({Op::Pixel, x, y, 0, 0, c, mode}); }
    void xorPixel(int x, int y, Rgb c) override { ops.push_back({Op::XorPixel, x, y, 0, 0, c, mode}); }
    void roundRect(const Rect& r, int ew, int eh, Rgb pen, std::optional<Rgb> brush) override {
        Op o{Op::RoundRect, r.left, r.top, r.right, r.bottom, pen, mode};
        o.text = std::to_wstring(ew) + L"," + std::to_wstring(eh) + L"," +
                 (brush ? std::to_wstring(*brush) : std::wstring(L"hollow"));
        ops.push_back(o);
    }
    void clear(Rgb back) override { ops.push_back({Op::Clear, 0, 0, 0, 0, back, mode}); }
    void setFont(FontRole f) override {
        font = f;
        ops.push_back({Op::Font, f == FontRole::Active ? 1 : 0, 0, 0, 0, 0, mode});
    }
    int textWidth(std::wstring_view t) override { return static_cast<int>(t.size()) * kCharWidth; }
    Rect measureText(std::wstring_view t, const Rect& r, unsigned) override {
        return {r.left, r.top, r.left + static_cast<int>(t.size()) * kCharWidth, r.top + kCharHeight};
    }
    void drawText(std::wstring_view t, const Rect& r, unsigned flags, Rgb c) override {
        Op o{Op::Text, r.left, r.top, r.right, r.bottom, c, mode};
        o.text = std::wstring(t);
        o.mode = static_cast<int>(flags);
        ops.push_back(o);
    }
    void focusRect(const Rect& r) override { ops.push_back({Op::Focus, r.left, r.top, r.right, r.bottom, 0, mode}); }
    void drawPicture(const TabPicture&, int x, int y, int w, int h, bool masked, Rgb transparent) override {
        Op o{Op::Picture, x, y, w, h, transparent, mode};
        o.masked = masked;
        ops.push_back(o);
    }

    std::vector<Op> of(Op::Kind k) const {
        std::vector<Op> out;
        for (const Op& o : ops)
            if (o.kind == k) out.push_back(o);
        return out;
    }
    FontRole font = FontRole::Inactive;

private:
    int height_;
};

// Memory raster with GDI's rules for what the painters use.
class PixelCanvas : public Canvas {
public:
    PixelCanvas(int w, int h, Rgb back = 0xC0C0C0) : px(static_cast<std::size_t>(w * h), back), w_(w), h_(h) {}
    std::vector<Rgb> px;
    int mode = kDrawCopyPen;

    Rgb at(int x, int y) const { return px[static_cast<std::size_t>(y * w_ + x)]; }
    int height() const override { return h_; }
    void setDrawMode(int m) override { mode = m; }
    void line(int x1, int y1, int x2, int y2, Rgb c) override {
        // Bresenham without the end point, as LineTo draws.
        int dx = std::abs(x2 - x1), dy = -std::abs(y2 - y1), sx = x1 < x2 ? 1 : -1, sy = y1 < y2 ? 1 : -1;
        int err = dx + dy, x = x1, y = y1;
        while (!(x == x2 && y == y2)) {
            pen(x, y, c);
            const int e2 = 2 * err;
            if (e2 >= dy) err += dy, x += sx;
            if (e2 <= dx) err += dx, y += sy;
        }
    }
    void fillRect(int x, int y, int w, int h, Rgb c) override {
        for (int j = y; j < y + h; ++j)
            for (int i = x; i < x + w; ++i) put(i, j, c);
    }
    void setPixel(int x, int y, Rgb c) override { put(x, y, c); }
    void xorPixel(int x, int y, Rgb c) override {
        if (inside(x, y)) put(x, y, at(x, y) ^ c);
    }
    void roundRect(const Rect& r, int, int, Rgb pen, std::optional<Rgb> brush) override {
        if (brush) fillRect(r.left + 1, r.top + 1, r.right - r.left - 2, r.bottom - r.top - 2, *brush);
        line(r.left, r.top, r.right - 1, r.top, pen);
        line(r.right - 1, r.top, r.right - 1, r.bottom - 1, pen);
        line(r.right - 1, r.bottom - 1, r.left, r.bottom - 1, pen);
        line(r.left, r.bottom - 1, r.left, r.top, pen);
    }
    void clear(Rgb back) override { std::fill(px.begin(), px.end(), back); }
    void setFont(FontRole) override {}
    int textWidth(std::wstring_view t) override { return static_cast<int>(t.size()) * kCharWidth; }
    Rect measureText(std::wstring_view t, const Rect& r, unsigned) override {
        return {r.left, r.top, r.left + static_cast<int>(t.size()) * kCharWidth, r.top + kCharHeight};
    }
    void drawText(std::wstring_view, const Rect& r, unsigned, Rgb c) override {
        put(r.left, r.top, c);  // a mark is enough: text is not what these tests look at
    }
    void focusRect(const Rect& r) override {
        for (int x = r.left; x < r.right; x += 2) flip(x, r.top), flip(x, r.bottom - 1);
        for (int y = r.top + 1; y < r.bottom - 1; y += 2) flip(r.left, y), flip(r.right - 1, y);
    }
    void drawPicture(const TabPicture&, int x, int y, int w, int h, bool, Rgb) override { fillRect(x, y, w, h, 0x123456); }

private:
    bool inside(int x, int y) const { return x >= 0 && y >= 0 && x < w_ && y < h_; }
    void put(int x, int y, Rgb c) {
        if (inside(x, y)) px[static_cast<std::size_t>(y * w_ + x)] = c;
    }
    void pen(int x, int y, Rgb c) {
        if (!inside(x, y)) return;
        put(x, y, mode == kDrawXorPen ? at(x, y) ^ c : c);
    }
    void flip(int x, int y) {
        if (inside(x, y)) put(x, y, at(x, y) ^ 0xFFFFFF);
    }
    int w_, h_;
};

}  // namespace kelva::tabctl::test
