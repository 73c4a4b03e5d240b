#include "preview/thumbview_logic.h"

#include "core/values.h"

namespace kelva::preview {

namespace {
void put16(std::vector<std::uint8_t>& b, std::uint16_t v) {
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}
void put32(std::vector<std::uint8_t>& b, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}
std::uint16_t get16(std::span<const std::uint8_t> b, std::size_t at) {
    return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}
std::uint32_t get32(std::span<const std::uint8_t> b, std::size_t at) {
    return get16(b, at) | (static_cast<std::uint32_t>(get16(b, at + 2)) << 16);
}
std::uint16_t boolWord(bool v) { return v ? 0xFFFF : 0; }
std::optional<bool> wordBool(std::uint16_t w) {
    if (w == 0xFFFF) return true;
    if (w == 0) return false;
    return std::nullopt;
}
}  // namespace

std::vector<std::uint8_t> encodeProperties(const ThumbViewProperties& p) {
    std::vector<std::uint8_t> b;
    put16(b, kStreamVersion);
    put16(b, static_cast<std::uint16_t>(p.specialEffect));
    put16(b, boolWord(p.stretch));
    put32(b, p.backColor);
    put16(b, boolWord(p.enabled));
    put32(b, static_cast<std::uint32_t>(p.drawingFile.size()));
    for (wchar_t c : p.drawingFile) put16(b, static_cast<std::uint16_t>(c));
    return b;
}

std::optional<std::uint32_t> storedPathUnits(std::span<const std::uint8_t> fixed) {
    if (fixed.size() < kStreamFixedSize || get16(fixed, 0) != kStreamVersion) return std::nullopt;
    const std::uint32_t units = get32(fixed, 12);
    if (units > kMaxStoredPathUnits) return std::nullopt;
    return units;
}

std::optional<ThumbViewProperties> decodeProperties(std::span<const std::uint8_t> record) {
    const auto units = storedPathUnits(record);
    if (!units || record.size() != kStreamFixedSize + 2 * std::size_t{*units}) return std::nullopt;
    const auto stretch = wordBool(get16(record, 4));
    const auto enabled = wordBool(get16(record, 10));
    if (!stretch || !enabled) return std::nullopt;
    ThumbViewProperties p;
    p.specialEffect = static_cast<std::int16_t>(get16(record, 2));
    p.stretch = *stretch;
    p.backColor = get32(record, 6);
    p.enabled = *enabled;
    for (std::uint32_t i = 0; i < *units; ++i)
        p.drawingFile.push_back(static_cast<wchar_t>(get16(record, kStreamFixedSize + 2 * i)));
    return p;
}

PaintPlan planPaint(int width, int height, std::int16_t effect, bool stretch, std::optional<PictureSize> picture,
                    bool focused) {
    constexpr unsigned kRaisedInner = 4, kSunkenOuter = 2, kEtched = 6, kAllSides = 15;
    PaintPlan plan;
    plan.border = {0, 0, width, height};
    switch (effect) {
    case 1: plan.edge = kRaisedInner; break;
    case 2: plan.edge = kSunkenOuter; break;
    case 3: plan.edge = kEtched; break;
    default: break;  // None, and values no border stands for
    }
    if (plan.edge) plan.edgeFlags = kAllSides;
    if (picture && picture->width > 0 && picture->height > 0) {
        PictureBlit blit;
        blit.srcWidth = picture->width;
        blit.srcHeight = picture->height;
        if (stretch) {
            blit.dest = {0, 0, width, height};
            blit.stretched = true;
        } else {
            // Whole pixels, halves to even as the runtime rounds; the picture is taken from its
            // own origin so no row or column is lost.
            const int x = static_cast<int>(roundHalfEven((width - picture->width) / 2.0));
            const int y = static_cast<int>(roundHalfEven((height - picture->height) / 2.0));
            blit.dest = {x, y, x + picture->width, y + picture->height};
        }
        plan.picture = blit;
    }
    if (focused) plan.focus = PixelRect{5, 5, width - 5, height - 5};
    return plan;
}

std::int16_t buttonMask(const MouseKeys& k) {
    return static_cast<std::int16_t>((k.left ? 1 : 0) | (k.right ? 2 : 0) | (k.middle ? 4 : 0));
}
std::int16_t shiftMask(const MouseKeys& k) {
    return static_cast<std::int16_t>((k.shift ? 1 : 0) | (k.ctrl ? 2 : 0) | (k.alt ? 4 : 0));
}

}  // namespace kelva::preview
