// libFuzzer target: any byte string as a drawing file. The reader must stay inside the input, never
// size a buffer from an unchecked field, and hand back only normalised bitmaps.
#include <algorithm>
#include <cstdlib>

#include "preview/dwgpreview.h"
#include "preview/tests/fixture.h"

using namespace kelva::preview;

namespace {
// The reader promises to check every range before it asks for it: a range outside the input is a
// fault of the reader here, not a read error.
class StrictSource final : public ByteSource {
public:
    explicit StrictSource(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    std::uint64_t size() const override { return bytes_.size(); }
    void read(std::uint64_t offset, std::span<std::uint8_t> out) override {
        if (offset > bytes_.size() || out.size() > bytes_.size() - offset) std::abort();
        std::copy_n(bytes_.begin() + static_cast<std::ptrdiff_t>(offset), out.size(), out.begin());
    }

private:
    std::span<const std::uint8_t> bytes_;
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    StrictSource src(std::span<const std::uint8_t>(data, size));
    // The stand-in decoder takes the reader down its PNG path; the platform's own decoder is
    // exercised by the Windows tests.
    const PreviewResult r = readPreview(src, kelva::preview::fixture::decodeStoredPng);
    if (const Dib* d = std::get_if<Dib>(&r)) {
        const std::size_t table = d->bitsPerPixel == 8 ? kPaletteSize : 0;
        const bool sane = (d->bitsPerPixel == 8 || d->bitsPerPixel == 32) && d->width > 0 && d->height > 0 &&
                          d->width <= kMaxPreviewDimension && d->height <= kMaxPreviewDimension &&
                          d->info.size() == kInfoHeaderSize + table &&
                          d->bits.size() == d->stride() * static_cast<std::size_t>(d->height);
        if (!sane) std::abort();
    }
    if (const ReadError* e = std::get_if<ReadError>(&r); e && e->number <= 0) std::abort();
    return 0;
}
