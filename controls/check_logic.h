#pragma once
// The picture check box's behaviour apart from any window: which of its twelve box pictures shows,
// and how presses, the hover timer and Enabled change value, picture and caption colour.
#include <cstdint>
#include <optional>

#include "runtime/propbag.h"

namespace kelva::ctl::check {

enum class Look { Idle, Mouseover, Pushed, Disabled };

// The twelve pictures, in resource order: look by look, each for values 0, 1, 2.
enum Picture : int {
    IdleNoValue, IdleChecked, IdleGreyed,
    MouseoverNoValue, MouseoverChecked, MouseoverGreyed,
    PushedNoValue, PushedChecked, PushedGreyed,
    DisabledNoValue, CheckedDisabled, DisabledGrey,
};
inline constexpr int kPictureCount = 12;

// The picture of a value in a look; values other than 0, 1, 2 choose none.
std::optional<Picture> pictureFor(Look look, std::int32_t value);

inline constexpr std::uint32_t kDefaultDisabledColor = 0xC0C0C0;
inline constexpr std::uint32_t kDefaultCaptionColor = 0x800000;
inline constexpr std::uint32_t kDefaultBackColor = 0xFFFFFF;

struct Model {
    std::int32_t value = 0;
    bool mouseEnabled = false;
    std::int16_t enabled = -1;  // only -1 counts as enabled
    std::uint32_t foreColor = 0;
    std::uint32_t disabledColor = kDefaultDisabledColor;
    bool timerRunning = false;
    std::optional<Picture> shown;      // what the box shows
    std::uint32_t captionColor = 0;    // the caption's colour now
};

struct Effects {
    bool mouseDown = false;
    bool click = false;
};

bool isEnabled(const Model& m);
// Shows the picture of the value in the look that Enabled gives (idle or disabled).
void showRestingPicture(Model& m);
void setValue(Model& m, std::int32_t value);
void setEnabled(Model& m, std::int16_t value, bool userMode);
void setForeColor(Model& m, std::uint32_t color);
Effects pressDown(Model& m, int button);
Effects pressUp(Model& m, int button);
// A tick of the hover timer with the cursor over the box or its caption, or elsewhere.
void tick(Model& m, bool cursorOver);

// The persisted state. Caption, BackColor and font live in the caption control; the host passes
// them in and gets them back.
struct Persisted {
    std::int32_t value = 0;
    std::wstring caption;
    std::int16_t enabled = -1;
    rt::FontDesc font;
    std::uint32_t foreColor = 0;
    std::uint32_t backColor = kDefaultBackColor;
    std::uint32_t disabledColor = kDefaultDisabledColor;
};
// name: the control's name; parentFont: the parent form's font (the default of "Font").
void writeProperties(rt::PropertyBag& bag, const Persisted& p, std::wstring_view name, const rt::FontDesc& parentFont);
Persisted readProperties(const rt::PropertyBag& bag, std::wstring_view name, const rt::FontDesc& parentFont);

}  // namespace kelva::ctl::check
