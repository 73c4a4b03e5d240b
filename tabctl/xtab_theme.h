#pragma once
// Colours of the tab control: the colour properties, the colour arithmetic every painter uses, the
// five themes that load a colour set, and the visual-style detection behind them.
//
// Painting translates colours for itself and never writes a translation back into a property: a
// property that holds a system colour keeps it, follows the system, and is saved as that colour.
#include <cstdint>
#include <functional>
#include <string>

#include "core/color.h"
#include "tabctl/xtab_canvas.h"
#include "tabctl/xtab_logic.h"

namespace kelva::tabctl {

// ---- colour arithmetic ---------------------------------------------------------------------

// The RGB of an OLE colour; black for a value that is no colour.
Rgb toRgb(std::uint32_t ole, const SysColorLookup& sysColor);

// Channels of a value taken as it is (a system colour gives its index as red).
constexpr std::uint32_t redValue(std::uint32_t c) { return c & 0xFFu; }
constexpr std::uint32_t greenValue(std::uint32_t c) { return (c >> 8) & 0xFFu; }
constexpr std::uint32_t blueValue(std::uint32_t c) { return (c >> 16) & 0xFFu; }

// The colour made lighter (positive offset) or darker, each channel clamped to 0..255.
Rgb offsetColor(std::uint32_t ole, std::int32_t offset, const SysColorLookup& sysColor);

// The blend of two colours, alpha 255 giving the first and 0 the second, each channel rounded half
// to even. The values are not translated first.
Rgb alphaBlend(std::uint32_t color1, std::uint32_t color2, std::uint8_t alpha);

// ---- visual style ------------------------------------------------------------------------------

struct OsVersion {
    bool ok = false;  // the version query answered
    std::uint32_t major = 0, minor = 0, build = 0, platformId = 0;
};
// Windows XP exactly: 5.1, build 2600 or later, NT platform.
bool isWinXP(const OsVersion& v);

// The visual-style name query (GetCurrentThemeName's shape): theme file, colour scheme and size
// buffers with their sizes in wide characters; 0 on success.
using ThemeNameQuery =
    std::function<long(wchar_t* file, int fileChars, wchar_t* color, int colorChars, wchar_t* size, int sizeChars)>;

inline constexpr int kThemeNameChars = 255;
inline constexpr const wchar_t* kThemeNone = L"None";
inline constexpr const wchar_t* kThemeError = L"UxTheme_Error";

// "None" off XP; "UxTheme_Error" when the query fails; else the colour-scheme name without NULs and
// outer blanks ("None" when nothing is left).
std::wstring themeInfo(bool winXP, const ThemeNameQuery& query);

// ---- themes ------------------------------------------------------------------------------------

struct ThemeEnv {
    std::wstring schemeName;           // GetThemeInfo's answer, asked by theme 1 only
    std::uint32_t ambientBackColor = 0x8000000F;
    bool ambientReadable = true;       // false: the container's BackColor cannot be read
    SysColorLookup sysColor;           // theme 4 shades the system caption colour
};

// Loads the colour set of the stored theme into the state's colour properties, straight into storage
// (the rows a theme keeps stay as they are); a theme outside 0..4 changes nothing. Theme 1 reads
// env.schemeName.
void resetColorsToDefault(XTabState& s, const ThemeEnv& env);

// Whether a theme takes the scheme name (only theme 1 asks for it).
constexpr bool themeUsesScheme(std::int32_t theme) { return theme == 1; }

// Theme detection in the paint cycle: 1 for any answer but "None", else 0.
constexpr std::int32_t detectedTheme(std::wstring_view info) { return info == kThemeNone ? 0 : 1; }

}  // namespace kelva::tabctl
