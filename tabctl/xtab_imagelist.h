#pragma once
// Tab pictures from an image list: another component, reached by member name as
// ListImages(index from 1).Picture, whose picture objects offer their Handle and Type.
#include <oaidl.h>

#include <cstdint>

#include "tabctl/xtab_logic.h"

namespace kelva::tabctl {

// The picture of image `index` (from 1), shared with the list: the tab holds a reference to the
// list's picture object and draws through its handle, never copying or deleting it. Nothing for an
// image without a picture; an error (no list, no such image) is thrown.
PictureRef imageListPicture(IDispatch* imageList, std::int32_t index);

}  // namespace kelva::tabctl
