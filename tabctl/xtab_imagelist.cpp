#include "tabctl/xtab_imagelist.h"

#include "com/latebound.h"
#include "tabctl/gdi_canvas.h"

namespace kelva::tabctl {

namespace {
std::int64_t integerOf(const com::Variant& v) {
    com::Variant n;
    if (FAILED(VariantChangeType(n.put(), const_cast<VARIANT*>(v.get()), 0, VT_I8))) return 0;
    return V_I8(n.get());
}
}  // namespace

PictureRef imageListPicture(IDispatch* imageList, std::int32_t index) {
    auto images = com::getObject(imageList, L"ListImages");
    auto image = com::getObject(images.get(), L"Item", {com::Variant::fromInt32(index)});
    auto picture = com::getObject(image.get(), L"Picture");
    const auto type = static_cast<int>(integerOf(com::get(picture.get(), L"Type")));
    // OLE_HANDLE is 32 bits wide; GDI handles fit in it and are sign-extended on 64-bit Windows.
    const auto handle = reinterpret_cast<HANDLE>(
        static_cast<std::intptr_t>(static_cast<std::int32_t>(integerOf(com::get(picture.get(), L"Handle")))));
    if (type == 0 || !handle) return nullptr;  // an empty picture
    // The tab keeps the picture object, and so its handle, alive for as long as it shows it.
    IDispatch* raw = picture.get();
    std::shared_ptr<void> owner(raw, [held = std::move(picture)](void*) mutable { held.reset(); });
    return std::make_shared<GdiTabPicture>(std::move(owner), handle, type);
}

}  // namespace kelva::tabctl
