#include "color.h"

namespace kelva {

std::optional<Rgb> oleToRgb(std::uint32_t ole, const SysColorLookup& sysColor) {
    switch (ole >> 24) {
    case 0x00:  // plain RGB
    case 0x02:  // palette-relative RGB: without a palette it is the RGB value itself
        return ole & 0x00FFFFFFu;
    case 0x80: {
        const std::uint32_t index = ole & 0x00FFFFFFu;
        if (index > static_cast<std::uint32_t>(kLastSysColorIndex) || !sysColor) return std::nullopt;
        return sysColor(static_cast<int>(index)) & 0x00FFFFFFu;
    }
    default:
        return std::nullopt;
    }
}

}  // namespace kelva
