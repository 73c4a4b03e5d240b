#pragma once
// What the preview control is, apart from Windows: its persisted properties, the stored form of
// them, and the plan of one paint (border, picture placement, focus rectangle) in pixels.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace kelva::preview {

inline constexpr std::uint32_t kButtonFaceColor = 0x8000000F;

struct ThumbViewProperties {
    std::wstring drawingFile;
    bool stretch = false;
    std::int16_t specialEffect = 0;  // Border_Effect: None 0, Raised 1, Sunken 2, Etched 3
    std::uint32_t backColor = kButtonFaceColor;
    bool enabled = true;
    bool operator==(const ThumbViewProperties&) const = default;
};

// Property names in the order they are written to a host's property bag; they are read back in
// the order of kReadOrder (SpecialEffect first, through the property, so it repaints).
inline constexpr const wchar_t* kWriteOrder[] = {L"SpecialEffect", L"Stretch", L"BackColor", L"Enabled", L"DrawingFile"};
inline constexpr const wchar_t* kReadOrder[] = {L"SpecialEffect", L"DrawingFile", L"Stretch", L"BackColor", L"Enabled"};

// Stored form in a stream: a version word, then the five properties in write order (16-bit
// effect, 16-bit booleans as True -1 / False 0, 32-bit colour, the path as a 32-bit count of
// UTF-16 units and the units). Little-endian.
inline constexpr std::uint16_t kStreamVersion = 1;
inline constexpr std::size_t kStreamFixedSize = 16;         // everything before the path's units
inline constexpr std::uint32_t kMaxStoredPathUnits = 32767;  // the longest path Windows accepts

std::vector<std::uint8_t> encodeProperties(const ThumbViewProperties& p);
// The count of path units a stored record announces after its fixed part; nothing when the fixed
// part is not one this control wrote (wrong version, count beyond any path).
std::optional<std::uint32_t> storedPathUnits(std::span<const std::uint8_t> fixedPart);
// The properties of a complete record; nothing when the record is not well formed.
std::optional<ThumbViewProperties> decodeProperties(std::span<const std::uint8_t> record);

struct PixelRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const PixelRect&) const = default;
};

struct PictureBlit {
    PixelRect dest;  // where the picture lands (right/bottom exclusive)
    int srcX = 0, srcY = 0, srcWidth = 0, srcHeight = 0;
    bool stretched = false;
    bool operator==(const PictureBlit&) const = default;
};

struct PaintPlan {
    PixelRect border;              // also the rectangle cleared to the back colour
    unsigned edge = 0;             // DrawEdge edge value, 0 for no border
    unsigned edgeFlags = 0;        // DrawEdge flags (all four sides)
    std::optional<PictureBlit> picture;  // drawn after the border, so a stretched picture covers it
    std::optional<PixelRect> focus;      // drawn last while the control has the focus
};

struct PictureSize {
    int width = 0, height = 0;
};

PaintPlan planPaint(int width, int height, std::int16_t specialEffect, bool stretch,
                    std::optional<PictureSize> picture, bool focused);

// VB-style mouse arguments: Button 1 left, 2 right, 4 middle; Shift 1 shift, 2 ctrl, 4 alt.
struct MouseKeys {
    bool left = false, right = false, middle = false, shift = false, ctrl = false, alt = false;
};
std::int16_t buttonMask(const MouseKeys& k);
std::int16_t shiftMask(const MouseKeys& k);

}  // namespace kelva::preview
