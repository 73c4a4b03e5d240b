#include "tabctl/xtab_geometry.h"

#include <limits>

#include "core/errors.h"
#include "core/values.h"

namespace kelva::tabctl {

namespace {

// Coordinates are worked out in 64 bits and must come back into the 32-bit range of a RECT.
std::int32_t fit(std::int64_t v) {
    if (v < std::numeric_limits<std::int32_t>::min() || v > std::numeric_limits<std::int32_t>::max())
        raise(err::Overflow);
    return static_cast<std::int32_t>(v);
}

Rect rect(std::int64_t l, std::int64_t t, std::int64_t r, std::int64_t b) { return {fit(l), fit(t), fit(r), fit(b)}; }

// Close box by its tab's right edge and top, per layout and theme.
Rect closeBox(bool pages, std::int32_t theme, std::int64_t r, std::int64_t t) {
    if (theme == 0) return rect(r - 14, t + 5, r - 4, t + 15);
    if (pages && theme == 2) return rect(r - 13, t + 5, r - 3, t + 15);
    return rect(r - 13, t + 6, r - 3, t + 16);
}

}  // namespace

std::wstring measuredCaption(std::wstring_view caption) {
    std::wstring out;
    out.reserve(caption.size());
    for (std::size_t i = 0; i < caption.size(); ++i) {
        out.push_back(caption[i]);
        if (caption[i] == L'&' && i + 1 < caption.size() && caption[i + 1] == L'&') ++i;
    }
    if (out.find(L'&') != std::wstring::npos) out.pop_back();
    return out;
}

std::vector<TabShape> layoutTabs(const LayoutInput& in) {
    if (!drawsAnything(in.style, in.theme)) return {};
    return usesPropertyPagesLayout(in.style, in.theme) ? layoutPropertyPages(in) : layoutTabbedDialog(in);
}

std::vector<TabShape> layoutTabbedDialog(const LayoutInput& in) {
    std::vector<TabShape> out;
    if (in.tabCount < 1) return out;  // no tab: nothing to divide the width by
    const std::int64_t w = static_cast<std::int64_t>(roundHalfEven(static_cast<double>(in.width) / in.tabCount));
    out.reserve(static_cast<std::size_t>(in.tabCount));
    for (std::int32_t i = 0; i < in.tabCount; ++i) {
        const std::int64_t l = w * i;
        const std::int64_t r = i == in.tabCount - 1 ? static_cast<std::int64_t>(in.width) - 1 : l + w;
        const std::int64_t h = i == in.activeTab ? in.activeHeight : in.inactiveHeight;
        const std::int64_t g = i == in.activeTab ? in.inactiveHeight : in.activeHeight;
        const std::int64_t t = h > g ? 0 : g - h;
        const std::int64_t b = t + h + (in.theme == 3 ? 2 : 0);
        out.push_back({rect(l, t, r, b), closeBox(false, in.theme, r, t)});
    }
    return out;
}

std::vector<TabShape> layoutPropertyPages(const LayoutInput& in) {
    std::vector<TabShape> out;
    if (in.tabCount < 1) return out;
    const std::int32_t theme = in.theme;
    const std::int64_t strip = stripHeight(in.activeHeight, in.inactiveHeight);
    // Picture side and the pad beside it.
    const std::int64_t margin = theme == 0 ? 6 : 2;
    const std::int64_t ps = std::min<std::int64_t>(in.pictureSize, strip - margin);
    const std::int64_t pad = theme == 3 ? 4 : 1;
    const bool fourPixelStart = theme == 2 || theme == 3;  // tab 0 indented when it is the active tab
    out.reserve(static_cast<std::size_t>(in.tabCount));
    std::int64_t prevRight = 0;
    for (std::int32_t i = 0; i < in.tabCount; ++i) {
        const auto idx = static_cast<std::size_t>(i);
        const bool active = i == in.activeTab;
        std::int64_t w = (idx < in.textWidths.size() ? in.textWidths[idx] : 0) + 14;
        if (idx < in.hasPicture.size() && in.hasPicture[idx]) w += ps + pad;
        std::int64_t l, r;
        if (i == 0) {
            if (active) {
                l = fourPixelStart ? 2 : 0;
                r = fourPixelStart ? w + 1 : w;
            } else {
                l = fourPixelStart ? 0 : 2;
                r = (theme == 1 || theme == 4) ? w + 1 : w;
            }
        } else {
            bool gap = theme == 3;
            if (theme == 1 || theme == 4) gap = !(active || i == in.activeTab + 1);
            l = prevRight + (gap ? 1 : 0);
            r = l + w;
        }
        if (in.useControlBox) {
            static constexpr std::int64_t pushActive[5] = {15, 21, 15, 6, 21};
            static constexpr std::int64_t pushOther[5] = {12, 15, 12, 0, 15};
            r += active ? pushActive[theme] : pushOther[theme];
        }
        const std::int64_t t = strip - (active ? in.activeHeight : in.inactiveHeight);
        const std::int64_t b = strip + (theme == 3 ? 2 : 0);
        out.push_back({rect(l, t, r, b), closeBox(true, theme, r, t)});
        prevRight = r;
    }
    return out;
}

std::int32_t tabAt(const std::vector<TabShape>& shapes, std::int32_t x, std::int32_t y) {
    for (std::size_t i = 0; i < shapes.size(); ++i)
        if (insideInclusive(shapes[i].tab, x, y)) return static_cast<std::int32_t>(i);
    return -1;
}

}  // namespace kelva::tabctl
