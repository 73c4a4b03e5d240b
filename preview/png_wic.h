#pragma once
// PNG previews decoded by the platform's imaging component (WIC), not a bundled decoder.
#include "preview/dwgpreview.h"

namespace kelva::preview {

// The decoder readPreview takes: nothing when the bytes do not decode or the image is larger
// than any preview. Needs COM initialised on the calling thread.
std::optional<DecodedImage> decodePngWithWic(std::span<const std::uint8_t> png);

}  // namespace kelva::preview
