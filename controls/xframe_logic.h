#pragma once
// The collapsible frame's behaviour apart from any window: colour sets, header zones, expanding and
// collapsing, the hover timer, persistence, and the header's glyph plan. Lengths are twips.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "runtime/propbag.h"

namespace kelva::ctl::xframe {

inline constexpr std::int32_t kHeaderHeight = 300;
inline constexpr std::int32_t kCollapsedHeight = 315;

struct ColorSet {
    std::uint32_t buttonColor, buttonHighlightColor, borderColor, foreColor;
    std::uint32_t gradientBottom, gradientTop, headerGradientBottom, headerGradientTop;
};
const ColorSet& disabledColors();
// The set of a scheme 0-3; nothing for any other value.
const ColorSet* schemeColors(std::int32_t scheme);

inline constexpr std::uint32_t kDefaultBackColor = 0x8000000F;

struct Model {
    bool displayPicture = false;
    bool enableGradient = false;
    bool expanded = true;
    bool fontBold = false, fontItalic = false, fontStrikethrough = false, fontUnderline = false;
    bool button = false;
    bool buttonPin = false;
    bool headerDrawn = false;
    bool framePinned = false;
    bool overExpandZone = false;
    bool overPinZone = false;
    bool bodyGradientBuilt = false;
    double fontSize = 8;
    std::int32_t colorScheme = 1;
    std::int32_t expandedHeight = 0;  // 0: not known yet
    ColorSet colors = *schemeColors(1);
    std::uint32_t currentButtonColor = 0xBB6132;
    std::wstring caption;
    // Kept by the surface and the header in the original; plain data here.
    bool enabled = true;
    std::uint32_t backColor = kDefaultBackColor;
    rt::FontDesc font;           // the header's font
    rt::PictureData picture;     // imgFramePic's picture
    bool timerEnabled = false;
};

// A new instance: the defaults of a frame just placed on a form.
Model newInstance(std::wstring_view name);

void applyColorScheme(Model& m);

// Whether x lies in the pin button's band, W - 450 ... W - 300.
bool inPinBand(double x, double headerWidth);

// Header mouse move; true when the header must repaint.
bool headerMouseMove(Model& m, double x, double headerWidth);
// Header click: the height the frame is to take, if any; the header repaints when repaint is set.
struct ClickResult {
    std::optional<std::int32_t> newHeight;
    bool repaintHeader = false;
};
ClickResult headerClick(Model& m, std::int32_t height);
// The Expanded setter: the height to take, if any (the header always repaints).
std::optional<std::int32_t> setExpanded(Model& m, bool value, std::int32_t height);
// A height in whole twips, rounded once (half to even): the expanded height is stored this way and
// every comparison with it takes the control's height this way too.
std::int32_t wholeTwips(double height);
// The layout step's bookkeeping at a (possibly new) height.
void layoutStep(Model& m, double height);
// The header painter's font step: the stored attributes onto the header's font; a stored size of 0
// keeps the header's size for this paint and becomes 8.
void applyHeaderFont(Model& m);
// A hover tick: true when the glyph colour changed and the header must repaint.
bool hoverTick(Model& m, bool cursorOverHeader);

void writeProperties(rt::PropertyBag& bag, const Model& m, std::wstring_view name, const rt::FontDesc& ambientFont);
// Reads a stored instance into m (which should hold newInstance's state); every key is guarded.
void readProperties(const rt::PropertyBag& bag, Model& m, std::wstring_view name, const rt::FontDesc& ambientFont);

// One glyph stroke in header twips, drawn from (x1, y1) up to but not including (x2, y2).
struct Segment {
    double x1, y1, x2, y2;
    std::uint32_t color;
};
// The pin and chevron strokes of the header; chevronsUp when the frame is at its expanded height.
std::vector<Segment> glyphPlan(const Model& m, double headerWidth, bool chevronsUp);
// The body's one-pixel border, in the order it is drawn.
std::vector<Segment> borderPlan(double width, double height, std::uint32_t color);

}  // namespace kelva::ctl::xframe
