#pragma once
// The push button's behaviour apart from any window: its visual states, the state machine that
// turns input into paints and events, its paint plan and its colour table.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelva::ctl::button {

enum State : int { Disabled = 0, Normal = 1, Focused = 2, Hot = 3, Pressed = 4 };

inline constexpr int kMouseLeft = 1;
inline constexpr int kMouseRight = 2;

struct Model {
    int lastMouseButton = 0;
    bool paintSuppressed = true;  // nothing paints until the properties are in
    bool armed = false;
    bool hasFocus = false;
    bool mouseInside = false;
    bool formActive = false;
    bool spaceHeld = false;
    bool leftHeld = false;
    bool isDefault = false;
    bool enabled = true;
    int state = Normal;
};

// What an input asks the window to do, in this order: paint, then raise events.
struct Effects {
    std::optional<int> paint;
    bool trackLeave = false;
    bool doEvents = false;
    bool click = false;
    bool dblClick = false;
    bool mouseMove = false;
    std::optional<int> formActivate;  // 1 active, 0 inactive
    int tabMove = 0;                  // +1 next control, -1 previous
};

// paint s (unconditional) and paint s unless s; a suppressed paint leaves the state alone.
void paint(Model& m, Effects& fx, int s);
void paintUnless(Model& m, Effects& fx, int s);

Effects mouseMove(Model& m, double x, double y, double clientWidth, double clientHeight);
Effects mouseDown(Model& m, int button);
Effects mouseUp(Model& m, int button);
Effects dblClick(Model& m);
Effects keyDown(Model& m, int keyCode);
Effects keyUp(Model& m, int keyCode);
Effects accessKeyPress(Model& m);
Effects gotFocus(Model& m);
Effects lostFocus(Model& m);
Effects ambientChanged(Model& m, std::wstring_view name, bool displayAsDefault);
// The parent form became active (true) or inactive (false).
Effects formActivation(Model& m, bool active);
Effects mouseLeave(Model& m);
// The Enabled setter's repaint.
Effects setEnabled(Model& m, bool value);

// Whether an activation message of the parent form reports activation. WM_ACTIVATE carries the
// activation state in its low word (a minimised window being deactivated has a non-zero high word);
// WM_NCACTIVATE carries TRUE or FALSE.
bool activationOf(unsigned msg, std::uintptr_t wParam);

// The access key of a caption: the character after the first single "&", lower-cased; a search
// that would start at the last two characters ends without a key.
std::wstring getAccessKey(std::wstring_view caption);

// The caption a new button takes: the first of "&OK", "&Cancel", "&Apply" that no button on the
// form has yet, else its own name.
std::wstring defaultCaption(const std::vector<std::wstring>& captionsOnForm, std::wstring_view name);

// Colour table: roles 0-7 by state 0-4, and the state gradients of states 1-3 (0x00BBGGRR).
struct Colors {
    std::array<std::array<std::uint32_t, 5>, 8> role;
    std::array<std::uint32_t, 3> gradientTop;     // states 1..3
    std::array<std::uint32_t, 3> gradientBottom;  // states 1..3
};
const Colors& stateColors();

inline constexpr std::uint32_t kDisabledFace = 0xEAF4F5;
inline constexpr std::uint32_t kPressedFace = 0xDEE3E7;
inline constexpr std::uint32_t kDisabledCaption = 0x92A1A1;
inline constexpr std::uint32_t kFaceTop = 0xFBFCFC;
inline constexpr std::uint32_t kFaceBottom = 0xE6EBEC;

// One step of the paint: a one-pixel line (end point left out), a filled rectangle (right and bottom
// exclusive), a pixel, the caption in a rectangle, or the focus rectangle.
struct Op {
    enum Kind { Line, Fill, Pixel, Caption, FocusRect } kind;
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    std::uint32_t color = 0;
};

// The lines of a vertical gradient from top colour (at rect top) to bottom colour (at rect
// bottom, inclusive). A rectangle without height has no gradient.
void gradientOps(std::vector<Op>& ops, int left, int top, int right, int bottom, std::uint32_t topColor,
                 std::uint32_t bottomColor);

struct PaintInput {
    int state = Normal;
    int width = 0, height = 0;  // client pixels
    bool enabled = true;
    bool hasFocus = false;
    bool focusRect = true;
    std::uint32_t foreColor = 0;
};
std::vector<Op> paintPlan(const PaintInput& in);

}  // namespace kelva::ctl::button
