#include "preview/png_wic.h"

#include <windows.h>
#include <wincodec.h>

#include <limits>

#include "com/com_ptr.h"

using kelva::com::ComPtr;

namespace kelva::preview {

std::optional<DecodedImage> decodePngWithWic(std::span<const std::uint8_t> png) {
    if (png.size() > std::numeric_limits<DWORD>::max()) return std::nullopt;
    ComPtr<IWICImagingFactory> factory;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory, factory.putVoid())))
        return std::nullopt;
    ComPtr<IWICStream> stream;
    if (FAILED(factory->CreateStream(stream.put())) ||
        FAILED(stream->InitializeFromMemory(const_cast<BYTE*>(png.data()), static_cast<DWORD>(png.size()))))
        return std::nullopt;
    ComPtr<IWICBitmapDecoder> decoder;
    if (FAILED(factory->CreateDecoder(GUID_ContainerFormatPng, nullptr, decoder.put())) ||
        FAILED(decoder->Initialize(stream.get(), WICDecodeMetadataCacheOnDemand)))
        return std::nullopt;
    ComPtr<IWICBitmapFrameDecode> frame;
    UINT width = 0, height = 0;
    if (FAILED(decoder->GetFrame(0, frame.put())) || FAILED(frame->GetSize(&width, &height))) return std::nullopt;
    constexpr UINT kMax = static_cast<UINT>(kMaxPreviewDimension);
    if (width == 0 || height == 0 || width > kMax || height > kMax) return std::nullopt;
    // Alpha is dropped: the control paints previews opaque, like the bitmap ones.
    ComPtr<IWICBitmapSource> converted;
    if (FAILED(WICConvertBitmapSource(GUID_WICPixelFormat32bppBGR, frame.get(), converted.put()))) return std::nullopt;
    DecodedImage image;
    image.width = static_cast<std::int32_t>(width);
    image.height = static_cast<std::int32_t>(height);
    image.bgrx.resize(std::size_t{width} * height * 4);
    if (FAILED(converted->CopyPixels(nullptr, width * 4, static_cast<UINT>(image.bgrx.size()), image.bgrx.data())))
        return std::nullopt;
    return image;
}

}  // namespace kelva::preview
