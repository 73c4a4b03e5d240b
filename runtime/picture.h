#pragma once
// The picture object: a bitmap with its size, made from stored BMP bytes, a bitmap resource or
// 32-bit pixels, and turned back into BMP bytes for the property bag.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "runtime/gdi.h"
#include "runtime/propbag.h"

namespace kelva::rt {

class Picture {
public:
    // Takes ownership of the bitmap.
    explicit Picture(HBITMAP bitmap);

    HBITMAP handle() const { return bitmap_.get(); }
    int width() const { return width_; }
    int height() const { return height_; }

    // Nothing for empty or malformed bytes: a stored picture that cannot be read is no picture.
    static std::shared_ptr<Picture> fromData(const PictureData& data);
    static std::shared_ptr<Picture> fromResource(HINSTANCE module, const wchar_t* name);
    // Top-down pixels, 4 bytes each (blue, green, red, 0).
    static std::shared_ptr<Picture> fromPixels(int width, int height, const std::vector<std::uint8_t>& bgra);
    PictureData toData() const;

    // Copies the picture onto dc, stretched to the rectangle.
    void draw(HDC dc, int x, int y, int w, int h) const;

private:
    BitmapPtr bitmap_;
    int width_ = 0, height_ = 0;
};

}  // namespace kelva::rt
