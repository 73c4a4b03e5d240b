#include "runtime/picture.h"

#include <cstring>

namespace kelva::rt {

Picture::Picture(HBITMAP bitmap) : bitmap_(bitmap) {
    BITMAP bm{};
    if (bitmap && GetObjectW(bitmap, sizeof bm, &bm)) {
        width_ = bm.bmWidth;
        height_ = bm.bmHeight;
    }
}

std::shared_ptr<Picture> Picture::fromData(const PictureData& data) {
    const auto& b = data.bmp;
    if (b.size() < sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER) || b[0] != 'B' || b[1] != 'M') return nullptr;
    BITMAPFILEHEADER fh;
    std::memcpy(&fh, b.data(), sizeof fh);
    BITMAPINFOHEADER ih;
    std::memcpy(&ih, b.data() + sizeof fh, sizeof ih);
    if (ih.biSize < sizeof ih || ih.biWidth <= 0 || ih.biHeight == 0 || ih.biPlanes != 1) return nullptr;
    if (ih.biBitCount != 24 && ih.biBitCount != 32) return nullptr;
    if (ih.biCompression != BI_RGB) return nullptr;
    const std::uint64_t rows = ih.biHeight < 0 ? -static_cast<std::int64_t>(ih.biHeight) : ih.biHeight;
    const std::uint64_t stride = ((static_cast<std::uint64_t>(ih.biWidth) * ih.biBitCount + 31) / 32) * 4;
    if (fh.bfOffBits > b.size() || b.size() - fh.bfOffBits < stride * rows) return nullptr;
    HDC screen = GetDC(nullptr);
    BITMAPINFO bi{};
    bi.bmiHeader = ih;
    bi.bmiHeader.biSize = sizeof ih;
    HBITMAP bmp = CreateDIBitmap(screen, &bi.bmiHeader, CBM_INIT, b.data() + fh.bfOffBits, &bi, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    if (!bmp) return nullptr;
    return std::make_shared<Picture>(bmp);
}

std::shared_ptr<Picture> Picture::fromResource(HINSTANCE module, const wchar_t* name) {
    auto bmp = static_cast<HBITMAP>(LoadImageW(module, name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (!bmp) return nullptr;
    return std::make_shared<Picture>(bmp);
}

std::shared_ptr<Picture> Picture::fromPixels(int width, int height, const std::vector<std::uint8_t>& bgra) {
    if (width <= 0 || height <= 0 || bgra.size() < static_cast<std::size_t>(width) * height * 4) return nullptr;
    HBITMAP bmp = CreateBitmap(width, height, 1, 32, nullptr);
    if (!bmp) return nullptr;
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;  // top-down rows
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    bi.bmiHeader.biSizeImage = static_cast<DWORD>(height * (((32 * width + 31) / 32) * 4));
    if (!SetDIBits(nullptr, bmp, 0, static_cast<UINT>(height), bgra.data(), &bi, DIB_RGB_COLORS)) {
        DeleteObject(bmp);
        return nullptr;
    }
    return std::make_shared<Picture>(bmp);
}

PictureData Picture::toData() const {
    PictureData out;
    if (!bitmap_ || width_ <= 0 || height_ <= 0) return out;
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = width_;
    bi.bmiHeader.biHeight = height_;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    const std::size_t pixels = static_cast<std::size_t>(width_) * height_ * 4;
    std::vector<std::uint8_t> bits(pixels);
    HDC screen = GetDC(nullptr);
    int got = GetDIBits(screen, bitmap_.get(), 0, static_cast<UINT>(height_), bits.data(), &bi, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    if (got != height_) return out;
    BITMAPFILEHEADER fh{};
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof fh + sizeof(BITMAPINFOHEADER);
    fh.bfSize = static_cast<DWORD>(fh.bfOffBits + pixels);
    bi.bmiHeader.biSizeImage = static_cast<DWORD>(pixels);
    out.bmp.resize(fh.bfSize);
    std::memcpy(out.bmp.data(), &fh, sizeof fh);
    std::memcpy(out.bmp.data() + sizeof fh, &bi.bmiHeader, sizeof bi.bmiHeader);
    std::memcpy(out.bmp.data() + fh.bfOffBits, bits.data(), pixels);
    return out;
}

void Picture::draw(HDC dc, int x, int y, int w, int h) const {
    if (!bitmap_) return;
    MemoryDcPtr src(CreateCompatibleDC(dc));
    if (!src) return;
    ScopedSelect sel(src.get(), bitmap_.get());
    if (w == width_ && h == height_) BitBlt(dc, x, y, w, h, src.get(), 0, 0, SRCCOPY);
    else StretchBlt(dc, x, y, w, h, src.get(), 0, 0, width_, height_, SRCCOPY);
}

}  // namespace kelva::rt
