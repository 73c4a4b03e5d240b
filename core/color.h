#pragma once
// OLE colours: below 0x80000000 an RGB value 0x00BBGGRR, 0x800000nn the system colour nn.
#include <cstdint>
#include <functional>
#include <optional>

namespace kelva {

using Rgb = std::uint32_t;  // 0x00BBGGRR, as GDI's COLORREF
// Looks up a system colour by index (GetSysColor on Windows, a table in tests).
using SysColorLookup = std::function<Rgb(int index)>;

inline constexpr int kLastSysColorIndex = 30;  // the highest system colour index Windows defines

// The RGB value an OLE colour stands for; nothing for a value that is no colour (unknown system
// index, palette indexes without a palette, other high bytes).
std::optional<Rgb> oleToRgb(std::uint32_t ole, const SysColorLookup& sysColor);

constexpr std::uint32_t rgb(unsigned r, unsigned g, unsigned b) {
    return (r & 0xFFu) | ((g & 0xFFu) << 8) | ((b & 0xFFu) << 16);
}
constexpr unsigned redOf(Rgb c) { return c & 0xFFu; }
constexpr unsigned greenOf(Rgb c) { return (c >> 8) & 0xFFu; }
constexpr unsigned blueOf(Rgb c) { return (c >> 16) & 0xFFu; }

}  // namespace kelva
