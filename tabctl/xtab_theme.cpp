#include "tabctl/xtab_theme.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "core/values.h"

namespace kelva::tabctl {

Rgb toRgb(std::uint32_t ole, const SysColorLookup& sysColor) { return oleToRgb(ole, sysColor).value_or(0); }

Rgb offsetColor(std::uint32_t ole, std::int32_t offset, const SysColorLookup& sysColor) {
    const Rgb c = toRgb(ole, sysColor);
    auto shade = [offset](std::uint32_t channel) {
        const std::int64_t v = static_cast<std::int64_t>(channel) + offset;
        return static_cast<unsigned>(std::clamp<std::int64_t>(v, 0, 255));
    };
    return rgb(shade(redValue(c)), shade(greenValue(c)), shade(blueValue(c)));
}

Rgb alphaBlend(std::uint32_t color1, std::uint32_t color2, std::uint8_t alpha) {
    const double a = alpha / 255.0;
    auto mix = [a](std::uint32_t c1, std::uint32_t c2) {
        return static_cast<unsigned>(roundHalfEven((1 - a) * c2 + a * c1));
    };
    return rgb(mix(redValue(color1), redValue(color2)), mix(greenValue(color1), greenValue(color2)),
               mix(blueValue(color1), blueValue(color2)));
}

bool isWinXP(const OsVersion& v) {
    return v.ok && v.major == 5 && v.minor == 1 && v.build >= 2600 && v.platformId == 2;
}

std::wstring themeInfo(bool winXP, const ThemeNameQuery& query) {
    if (!winXP) return kThemeNone;
    // The query writes wide characters: each buffer holds exactly the count it is announced with,
    // plus one so that a name filling the buffer without its NUL still ends.
    std::array<wchar_t, kThemeNameChars + 1> file{}, color{};
    if (!query || query(file.data(), kThemeNameChars, color.data(), kThemeNameChars, nullptr, 0) != 0)
        return kThemeError;
    std::wstring name(color.data());  // up to the terminating NUL
    const auto first = name.find_first_not_of(L' ');
    if (first == std::wstring::npos) return kThemeNone;
    name = name.substr(first, name.find_last_not_of(L' ') - first + 1);
    return name;
}

// ---- the theme table ----------------------------------------------------------------------------

namespace {

// What a theme does with one colour property.
struct Cell {
    enum Kind : std::uint8_t { Keep, Value, Ambient, Scheme, CaptionShade } kind = Keep;
    std::int64_t value = 0;  // the colour, or the shade of the caption colour
};
constexpr Cell keep{};
constexpr Cell v(std::uint32_t c) { return {Cell::Value, c}; }
constexpr Cell ambient{Cell::Ambient, 0};
constexpr Cell scheme{Cell::Scheme, 0};
constexpr Cell caption(std::int32_t offset) { return {Cell::CaptionShade, offset}; }

struct Row {
    std::uint32_t XTabState::*field;
    std::array<Cell, 5> theme;
};

// Order matters only for theme 1: scheme colours, fore colours, then the strip, disabled and
// border colours.
constexpr std::array<Row, 14> kThemeTable{{
    {&XTabState::ActiveTabBackStartColor, {v(0x8000000F), scheme, v(0x8000000F), v(0xF8F8F8), v(0xE7F8FB)}},
    {&XTabState::ActiveTabBackEndColor, {v(0x8000000F), scheme, v(0x8000000F), keep, v(0xDCEDF0)}},
    {&XTabState::InActiveTabBackStartColor, {v(0x8000000F), scheme, v(0x80000016), v(0xE5E5E5), v(0xDCEDF0)}},
    {&XTabState::InActiveTabBackEndColor, {v(0x8000000F), scheme, v(0x80000016), keep, v(0xCBDCDF)}},
    {&XTabState::HoverColor, {keep, scheme, keep, keep, caption(+16)}},
    {&XTabState::FocusedColor, {keep, scheme, keep, keep, caption(-16)}},
    {&XTabState::ActiveTabForeColor, {v(0x80000012), v(0x80000012), v(0x80000012), v(0xA76D50), v(0x80000012)}},
    {&XTabState::InActiveTabForeColor, {v(0x80000012), v(0x80000012), v(0x80000011), v(0x909090), v(0x80000012)}},
    {&XTabState::TabStripBackColor, {keep, ambient, v(0x80000016), v(0x8000000F), keep}},
    {&XTabState::DisabledTabBackColor, {v(0x8000000F), v(0x8000000F), v(0x8000000F), v(0x8000000F), v(0x8000000F)}},
    {&XTabState::DisabledTabForeColor, {v(0x80000015), v(0xA0A0A0), v(0x80000015), v(0x80000015), v(0xA0A0A0)}},
    {&XTabState::OuterBorderColor, {v(0x80000015), v(0x9B9C91), v(0x80000014), v(0x909090), v(0xA8B9BC)}},
    {&XTabState::TopLeftInnerBorderColor, {v(0x80000014), keep, keep, keep, v(0x80000014)}},
    {&XTabState::BottomRightInnerBorderColor, {v(0x80000010), keep, v(0x80000010), keep, v(0x80000010)}},
}};

// Theme 1's colours by visual-style scheme: "NormalColor" (and every other answer), "HomeStead",
// "Metallic".
struct SchemeRow {
    std::uint32_t XTabState::*field;
    std::array<std::uint32_t, 3> scheme;
};
constexpr std::array<SchemeRow, 6> kSchemeTable{{
    {&XTabState::ActiveTabBackStartColor, {0xFBFDFB, 0xFFFFFF, 0xFBFDFB}},
    {&XTabState::ActiveTabBackEndColor, {0xFBFDFB, 0xFEFCFC, 0xFBFDFB}},
    {&XTabState::InActiveTabBackStartColor, {0xFFFFFF, 0xF5FFFF, 0xFFFFFF}},
    {&XTabState::InActiveTabBackEndColor, {0xEAF0F0, 0xDAECF2, 0xD8BEBE}},
    {&XTabState::HoverColor, {0x3BC7FF, 0x4F91E3, 0x3BC7FF}},
    {&XTabState::FocusedColor, {0xEE8269, 0x6FB1A2 /* 0x8FD1C2 darkened by 32 */, 0xEE8269}},
}};

int schemeColumn(std::wstring_view name) {
    if (name == L"HomeStead") return 1;
    if (name == L"Metallic") return 2;
    return 0;
}

}  // namespace

void resetColorsToDefault(XTabState& s, const ThemeEnv& env) {
    const std::int32_t theme = s.TabTheme;
    if (theme < 0 || theme > 4) return;
    const int column = schemeColumn(env.schemeName);
    for (const Row& row : kThemeTable) {
        const Cell& cell = row.theme[static_cast<std::size_t>(theme)];
        std::uint32_t& target = s.*row.field;
        switch (cell.kind) {
        case Cell::Keep: break;
        case Cell::Value: target = static_cast<std::uint32_t>(cell.value); break;
        case Cell::Ambient:
            if (env.ambientReadable) target = env.ambientBackColor;
            break;
        case Cell::Scheme:
            for (const SchemeRow& s : kSchemeTable)
                if (s.field == row.field) target = s.scheme[static_cast<std::size_t>(column)];
            break;
        case Cell::CaptionShade:
            target = offsetColor(0x80000003, static_cast<std::int32_t>(cell.value), env.sysColor);
            break;
        }
    }
    if (theme == 4) {
        s.PictureMaskColor = 0xFF00FF;
        s.PictureSize = 0;
        s.UseFocusedColor = true;
        s.UseMaskColor = true;
        s.UseThemeDetection = false;
    }
}

}  // namespace kelva::tabctl
