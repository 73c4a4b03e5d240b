#pragma once
// The tab control's behaviour apart from any window: its one state struct (properties, tab
// records, hover, focus and press state, the drawing snapshot), the tab model (switching, insert,
// remove, captions and access keys), input (mouse, keyboard, wheel, close boxes, hover timer,
// focus), the paint cycle's guard and persistence through the property bag. Drawing, windows and
// the platform are reached through XTabHost; events go out through XTabEvents.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/propbag.h"

namespace kelva::tabctl {

// Rectangles in control pixels; right and bottom exclusive.
struct Rect {
    std::int32_t left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const Rect&) const = default;
};
struct Point {
    std::int32_t x = 0, y = 0;
    bool operator==(const Point&) const = default;
};

// A tab picture as the control holds it: shared by reference, drawn by the window side. The window
// file wraps its bitmaps in a subclass; native tests use their own.
struct TabPicture {
    virtual ~TabPicture() = default;
    virtual int width() const = 0;
    virtual int height() const = 0;
    // 1 a bitmap (the only kind drawn with a transparent colour), 3 an icon, 4 a metafile.
    virtual int type() const { return 1; }
};
using PictureRef = std::shared_ptr<TabPicture>;

// A font object shared with whoever set it: a change the host makes to it shows at the next paint.
using FontRef = std::shared_ptr<rt::FontDesc>;

struct TabRecord {
    Rect BoxRect;                 // close box, rewritten by every paint
    std::int32_t Reserved1 = 0;
    std::wstring Caption;         // as set, "&" markers included
    Rect TabRect;                 // the tab on the strip, rewritten by every paint
    std::int32_t Reserved2 = 0;
    bool Enabled = true;
    std::int32_t AccessKey = 0;   // ANSI code of the upper-cased key, 0 for none
    PictureRef Picture;
    std::int32_t Reserved3 = 0;
};

inline constexpr std::uint32_t kDefaultFocusedColor = 15630953;  // &HEE8269
inline constexpr std::uint32_t kDefaultHoverColor = 3917823;     // &H3BC7FF
inline constexpr std::uint32_t kDefaultMaskColor = 0xC0C0C0;
inline constexpr std::int32_t kDefaultTabOffset = 10000;

// Everything one control holds. Painters read it and write the tab and close-box rectangles;
// the logic below owns the rest.
struct XTabState {
    // Public face, non-colour.
    FontRef ActiveTabFont, InActiveTabFont;
    std::int32_t ActiveTabHeight = 20;
    std::int32_t InActiveTabHeight = 18;
    std::int32_t PictureAlign = 0;
    std::int32_t PictureSize = 0;
    std::int32_t TabStyle = 0;
    std::int32_t TabTheme = 0;
    bool UseThemeDetection = false;
    std::int32_t XRadius = 10, YRadius = 10;
    bool Enabled = true;
    bool bTrackMouse = false;
    bool bTrackUser32 = false;
    bool bSubclassed = false;

    // Tabs and pages.
    // Indices 0 .. TabCount - 1, from the start: a control whose properties never loaded still
    // has as many records as its count says.
    std::vector<TabRecord> tabs = std::vector<TabRecord>(3);
    std::int32_t TabCount = 3;
    std::int32_t ActiveTab = 0;
    std::int32_t LastActiveTab = 0;
    std::int32_t HoverTab = 0;
    bool CancelSwitch = false;
    std::int32_t TabOffset = kDefaultTabOffset;
    bool Busy = false;
    // Identities (XTabHost::containedId) of controls parked for good by RemoveTab: no later move
    // touches them, so they never reappear on another tab.
    std::vector<std::uintptr_t> removedControls;

    // Input.
    bool MouseInside = false;
    bool MouseInBox = false;
    Point CursorPos;
    bool HoverShown = false;
    Rect HoverRect;
    bool IsFocused = false;
    bool FormIsMoving = false;
    bool ShowFocusRect = true;
    bool UseControlBox = false;
    bool UseMouseWheelScroll = true;
    std::int32_t PressedBox = -1;  // the close box the left button went down on, -1 for none

    // Colours (OLE colours). BackColor, ForeColor and PictureMaskColor are the surface's; the
    // window keeps its surface equal to these.
    std::uint32_t ActiveTabBackStartColor = 0x8000000F;
    std::uint32_t ActiveTabBackEndColor = 0x8000000F;
    std::uint32_t ActiveTabForeColor = 0x80000012;
    std::uint32_t InActiveTabBackStartColor = 0x8000000F;
    std::uint32_t InActiveTabBackEndColor = 0x8000000F;
    std::uint32_t InActiveTabForeColor = 0x80000012;
    std::uint32_t DisabledTabBackColor = 0x80000010;
    std::uint32_t DisabledTabForeColor = 0x80000014;
    std::uint32_t TabStripBackColor = 0x8000000F;
    std::uint32_t OuterBorderColor = 0x80000015;
    std::uint32_t TopLeftInnerBorderColor = 0x80000014;
    std::uint32_t BottomRightInnerBorderColor = 0x80000010;
    std::uint32_t FocusedColor = kDefaultFocusedColor;
    std::uint32_t HoverColor = kDefaultHoverColor;
    std::uint32_t BackColor = 0x8000000F;
    std::uint32_t ForeColor = 0;
    std::uint32_t PictureMaskColor = kDefaultMaskColor;
    bool UseFocusedColor = true;
    bool UseMaskColor = true;

    // Paint cycle and drawing snapshot.
    bool firstPaintDone = false;
    bool theme3BackgroundDrawn = false;
    bool focusDrawn = false;  // the exclusive-or focus rectangle is on the surface now
    std::int32_t scaleWidth = 0, scaleHeight = 0;  // surface pixels
    std::int32_t iconSize = 16;
};

// Events, in the order of the control's event interface. Arguments the Parts pass by reference are
// references here.
struct XTabEvents {
    std::function<void(std::int16_t iNewActiveTab, bool& bCancel)> BeforeTabSwitch;
    std::function<void(std::int16_t lLastActiveTab)> TabSwitch;
    std::function<void()> Click;
    std::function<void()> ControlBoxEnter;
    std::function<void()> ControlBoxExit;
    std::function<void(float& X, float& Y)> ControlBoxHover;
    std::function<void(float& X, float& Y)> ControlBoxMouseDown;
    std::function<void(float& X, float& Y)> ControlBoxMouseUp;
    std::function<void()> DblClick;
    std::function<void(std::int16_t& KeyCode, std::int16_t& Shift)> KeyDown;
    std::function<void(std::int16_t& KeyCode, std::int16_t& Shift)> KeyUp;
    std::function<void(std::int16_t& KeyAscii)> KeyPress;
    std::function<void(std::int16_t& Button, std::int16_t& Shift, float& X, float& Y)> MouseDown;
    std::function<void(std::int16_t& Button, std::int16_t& Shift, float& X, float& Y)> MouseMove;
    std::function<void(std::int16_t& Button, std::int16_t& Shift, float& X, float& Y)> MouseUp;
    std::function<void(std::int32_t& ActiveTab, float& X, float& Y)> MouseHover;
    std::function<void()> MouseScrollUp;
    std::function<void()> MouseScrollDown;
    std::function<void(std::int32_t& AfterTabIndex)> TabInsert;
    std::function<void(std::int32_t& TabIndex)> TabRemove;
    std::function<void()> AfterCompleteInit;
    std::function<void()> MouseEnter;
    std::function<void()> MouseLeave;
    std::function<void(std::wstring sStatus)> Status;
};

// What the logic needs of the window, the painters and the platform. The window file implements it
// over Win32 and the GDI canvas; native tests implement it with recorders.
class XTabHost {
public:
    // Container services.
    virtual void propertyChanged(std::wstring_view name) = 0;
    virtual bool userMode() = 0;  // the ambient UserMode; false when it cannot be read
    virtual std::uint32_t ambientBackColor() = 0;
    virtual rt::FontDesc ambientFont() = 0;
    virtual void setAccessKeys(std::wstring keys) = 0;
    virtual bool autoRedraw() = 0;
    virtual void setAutoRedraw(bool on) = 0;
    virtual void setSurfaceEnabled(bool on) = 0;
    virtual void refreshSurface() = 0;              // shows what was drawn
    virtual void lockWindowUpdate(bool lock) = 0;
    // Contained controls, in the container's order. Left is in the container's scale (twips).
    virtual int containedCount() = 0;
    virtual std::uintptr_t containedId(int i) = 0;
    virtual bool containedLeft(int i, double& left) = 0;  // false when it cannot be read
    virtual bool setContainedLeft(int i, double left) = 0;
    // The visible width of the surface in the container's scale, for telling a page's controls apart.
    virtual double visibleWidth() = 0;

    // Drawing: the paint steps of the current style and theme.
    virtual void drawMe() = 0;                       // clear, background, tabs
    virtual void drawBackground() = 0;
    virtual void drawTabs() = 0;
    virtual void drawControlBox(int state, int tab) = 0;
    virtual void drawHover(int tab) = 0;             // the hover painter; sets HoverShown / HoverRect
    virtual void drawOverXOred() = 0;                // toggles the hover overlay
    virtual void showHideFocus() = 0;                // toggles the focus rectangle
    virtual void resetColorsToDefault() = 0;
    virtual bool themeDetectedNone() = 0;            // GetThemeInfo answers "None"
    virtual bool isWinXP() = 0;

    // Platform.
    virtual void setHoverTimer(bool on) = 0;         // timer 0 of the control window, 10 ms
    virtual void trackMouseLeave() = 0;
    virtual Point cursorPos() = 0;                   // client pixels of the control window

    // Persistence of pictures: the bag's own form of a picture object.
    virtual PictureRef pictureFromData(const rt::PictureData& data) = 0;
    virtual rt::PictureData pictureToData(const PictureRef& picture) = 0;

protected:
    ~XTabHost() = default;
};

// The key position of a caption: "&&" does not count; 0 when there is no key. The key character is
// the one after it.
std::size_t keyPosition(std::wstring_view caption);
// The access key code of a caption (upper-cased ANSI code), 0 when it has none: a final "&" marks none.
std::int32_t accessKeyCode(std::wstring_view caption);

// The tab a contained control belongs to while tab 0 is active.
std::int32_t tabOfControl(double left, std::int32_t tabOffset, double visibleWidth);

class XTabLogic {
public:
    XTabLogic(XTabHost& host, XTabEvents& events) : host_(host), ev_(events) {}

    XTabState s;

    // Life cycle.
    void initProperties(double parentWidth);
    void readProperties(const rt::PropertyBag& bag);
    void writeProperties(rt::PropertyBag& bag);
    // Steps of the end: each runs even when an earlier one failed.
    void terminateSteps();

    // Tabs.
    std::int32_t TabCount() const { return s.TabCount; }
    void setTabCount(std::int32_t n);
    std::int32_t ActiveTab() const { return s.ActiveTab; }
    void setActiveTab(std::int32_t n);
    std::int32_t LastActiveTab() const { return s.LastActiveTab; }
    std::wstring TabCaption(std::int32_t i) const;
    void setTabCaption(std::int32_t i, std::wstring caption);
    bool TabEnabled(std::int32_t i) const;
    void setTabEnabled(std::int32_t i, bool on);
    std::int32_t TabOffset() const { return s.TabOffset; }
    void setTabOffset(std::int32_t v);
    void InsertTab(std::int32_t lAfterIndex, std::wstring sCaption = L"NewTab");
    void RemoveTab(std::int32_t lTabIndex);
    PictureRef TabPicture(std::int32_t i) const;
    void setTabPicture(std::int32_t i, PictureRef p);
    void clearTabPictures();  // pClearTabPictures: no repaint, nothing reported
    void accessKeyPress(std::int16_t& keyAscii);
    void assignAccessKeys();

    // Properties that store, repaint and report.
    void setLong(std::int32_t XTabState::*field, std::int32_t v, std::wstring_view name);
    void setBool(bool XTabState::*field, bool v, std::wstring_view name);
    void setColor(std::uint32_t XTabState::*field, std::uint32_t v, std::wstring_view name);
    void setTabTheme(std::int32_t v);
    void setTabStyle(std::int32_t v);
    void setUseThemeDetection(bool v);
    void setEnabled(bool v);
    void setFocusedColor(std::uint32_t v);
    void setUseMouseWheelScroll(bool v);
    void setIsFocused(bool v);
    void setActiveTabFont(FontRef f);
    void setInActiveTabFont(FontRef f);
    void resetAllColors();

    // Paint cycle.
    void refresh();
    void showHideFocusGuarded();  // pShowHideFocus
    // Whether a full paint leaves the focus rectangle on the surface, and whether the toggle draws
    // one at all: the painters draw it only at run time, with ShowFocusRect, in a known style and theme.
    bool focusDrawable();

    // Input from the surface.
    void mouseDown(std::int16_t button, std::int16_t shift, float x, float y);
    void mouseMove(std::int16_t button, std::int16_t shift, float x, float y);
    void mouseUp(std::int16_t button, std::int16_t shift, float x, float y);
    void click();
    void dblClick();
    void keyDown(std::int16_t keyCode, std::int16_t shift);
    void keyUp(std::int16_t keyCode, std::int16_t shift);
    void keyPress(std::int16_t& keyAscii);
    void gotFocus();
    void lostFocus();
    // Input from the subscribed messages.
    void wmMouseMove();
    void wmMouseLeave();
    void wmMouseWheel(std::int32_t wParam);
    void wmLButtonDown();
    void wmLButtonUp();
    void TimerEvent();
    void wmActivate();
    void wmSizing();
    void wmMoving();
    void wmExitSizeMove();
    void wmColorsChanged();

    // Strip height: the larger of the two tab heights.
    std::int32_t stripHeight() const;
    // Stops the hover timer and forgets the overlay (after erasing it when it is on the surface).
    void clearHover(bool erase);

private:
    void handleContainedControls(std::int32_t newTab);
    void handleTabCount();
    void switchTo(std::int32_t n, bool cancellable);
    void handleMouseDown(float x, float y);
    void handleMouseMove(float x, float y);
    void scrollTabs(std::int32_t w);
    void boxEnterOrHover(std::int32_t tab);
    void boxLeave();
    std::int32_t boxUnderCursor();  // reads the cursor; the first tab whose close box holds it, or -1
    std::int32_t clampHoverTab();
    bool isContainedRemoved(std::uintptr_t id) const;

    XTabHost& host_;
    XTabEvents& ev_;
};

}  // namespace kelva::tabctl
