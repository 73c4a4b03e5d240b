#pragma once
// The loaded preview: a memory device context holding a bitmap made from the reader's normalised
// bitmap. Everything is released in reverse order of creation, also when a step fails.
#include <windows.h>

#include <memory>

#include "preview/dwgpreview.h"

namespace kelva::preview {

class LoadedPicture {
public:
    // Throws VbError (out of memory) when GDI refuses a step; nothing is left behind then.
    static std::unique_ptr<LoadedPicture> create(HDC reference, const Dib& dib);
    ~LoadedPicture();
    LoadedPicture(const LoadedPicture&) = delete;
    LoadedPicture& operator=(const LoadedPicture&) = delete;

    HDC dc() const { return dc_; }
    int width() const { return width_; }
    int height() const { return height_; }

    struct Key {};  // only create() makes one
    explicit LoadedPicture(Key) {}

private:
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previous_ = nullptr;
    int width_ = 0;
    int height_ = 0;
};

}  // namespace kelva::preview
