#pragma once
// What the tab control's painters draw on. The painters never touch GDI: they emit these calls, so
// they build and run anywhere (a recording canvas in the tests, the GDI adapter in the control).
// Coordinates are pixels of the control surface; colours reaching the canvas are plain RGB
// (0x00BBGGRR), already translated from OLE colours by the painter.
#include <cstdint>
#include <optional>
#include <string_view>

#include "tabctl/xtab_logic.h"

namespace kelva::tabctl {

using Rgb = std::uint32_t;

// Raster modes of the pen, as the surface's DrawMode numbers them.
inline constexpr int kDrawCopyPen = 13;
inline constexpr int kDrawXorPen = 7;

// DrawText flags the painters use.
inline constexpr unsigned kDtCenter = 0x1;
inline constexpr unsigned kDtVCenter = 0x4;
inline constexpr unsigned kDtSingleLine = 0x20;
inline constexpr unsigned kDtCalcRect = 0x400;
inline constexpr unsigned kDtEndEllipsis = 0x8000;

enum class FontRole { Active, Inactive };

// Picture types: only a bitmap can be drawn with a transparent colour.
inline constexpr int kPictureBitmap = 1;
inline constexpr int kPictureIcon = 3;

class Canvas {
public:
    virtual ~Canvas() = default;

    // Height of the surface in pixels: rows outside it are never visible, so fills clip to it.
    virtual int height() const = 0;

    // The pen's raster mode for the lines that follow (kDrawCopyPen or kDrawXorPen).
    virtual void setDrawMode(int mode) = 0;
    // A one-pixel solid line from (x1, y1) up to, not including, (x2, y2), combined by the draw mode.
    virtual void line(int x1, int y1, int x2, int y2, Rgb color) = 0;
    // A solid rectangle from (x, y), width by height, right and bottom exclusive; the draw mode does
    // not apply (a brush fill).
    virtual void fillRect(int x, int y, int width, int height, Rgb color) = 0;
    // One pixel set to the colour, whatever the draw mode.
    virtual void setPixel(int x, int y, Rgb color) = 0;
    // One pixel combined with the value by exclusive or: doing it twice restores the pixel.
    virtual void xorPixel(int x, int y, Rgb value) = 0;
    // A rounded rectangle outlined with a one-pixel pen and filled with a solid brush, or left
    // unfilled without one.
    virtual void roundRect(const Rect& r, int ellipseWidth, int ellipseHeight, Rgb pen, std::optional<Rgb> brush) = 0;
    // The whole surface in one colour.
    virtual void clear(Rgb back) = 0;

    virtual void setFont(FontRole font) = 0;
    // Width of a text in the current font, pixels.
    virtual int textWidth(std::wstring_view text) = 0;
    // DrawText with DT_CALCRECT: the rectangle the text needs, from r's top left.
    virtual Rect measureText(std::wstring_view text, const Rect& r, unsigned flags) = 0;
    virtual void drawText(std::wstring_view text, const Rect& r, unsigned flags, Rgb color) = 0;
    // The dotted focus rectangle, drawn by exclusive or (twice restores).
    virtual void focusRect(const Rect& r) = 0;
    // A picture stretched to (x, y, width, height); masked: the transparent colour's pixels are left
    // untouched (bitmaps only).
    virtual void drawPicture(const TabPicture& picture, int x, int y, int width, int height, bool masked,
                             Rgb transparent) = 0;
};

}  // namespace kelva::tabctl
