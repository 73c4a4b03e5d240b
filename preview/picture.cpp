#include "preview/picture.h"

#include "core/errors.h"

namespace kelva::preview {

std::unique_ptr<LoadedPicture> LoadedPicture::create(HDC reference, const Dib& dib) {
    auto p = std::make_unique<LoadedPicture>(Key{});
    p->width_ = dib.width;
    p->height_ = dib.height;
    p->dc_ = CreateCompatibleDC(reference);
    if (!p->dc_) raise(err::OutOfMemory);
    p->bitmap_ = CreateCompatibleBitmap(reference, dib.width, dib.height);
    if (!p->bitmap_) raise(err::OutOfMemory);
    // The rows go in before the bitmap is selected: SetDIBits wants it in no device context.
    const auto* info = reinterpret_cast<const BITMAPINFO*>(dib.info.data());
    const int lines = SetDIBits(p->dc_, p->bitmap_, 0, static_cast<UINT>(dib.height), dib.bits.data(), info, DIB_RGB_COLORS);
    if (lines != dib.height) raise(err::OutOfMemory);
    HGDIOBJ previous = SelectObject(p->dc_, p->bitmap_);
    if (!previous || previous == HGDI_ERROR) raise(err::OutOfMemory);
    p->previous_ = previous;
    return p;
}

LoadedPicture::~LoadedPicture() {
    if (dc_ && previous_) SelectObject(dc_, previous_);
    if (bitmap_) DeleteObject(bitmap_);
    if (dc_) DeleteDC(dc_);
}

}  // namespace kelva::preview
