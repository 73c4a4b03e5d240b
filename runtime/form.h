#pragma once
// A form: a top-level window made from a layout in twips, holding its controls by name. It gives
// its user controls their ambient properties, routes access keys, Tab, keys and activation, and
// reads and writes its controls' stored design data.
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "runtime/control.h"
#include "runtime/designdata.h"
#include "runtime/usercontrol.h"

namespace kelva::rt {

struct FormLayout {
    std::wstring caption;
    TwipsRect rect;            // outer bounds, in twips
    bool borderless = false;   // no caption and no frame
    HWND owner = nullptr;      // an owned (modeless) window stays above its owner
    FontDesc font;
    std::uint32_t backColor = 0x8000000F;
    bool keyPreview = false;   // the form sees every key before the control that has the focus
};

// Why a form is asked to unload.
enum class UnloadReason {
    FormControlMenu = 0,  // the window's system menu: its close command or Alt+F4
    FormCode = 1,         // Form::unload from code
    AppWindows = 2,       // the user's logon session is ending
    AppTaskManager = 3,   // another program closes the window (WM_CLOSE from outside)
    FormOwner = 5,        // the form that owns this one is unloading
};

enum class WindowState { Normal = 0, Minimized = 1, Maximized = 2 };

class Form {
public:
    explicit Form(const FormLayout& layout);
    ~Form();
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    // Null once the form has unloaded.
    HWND hwnd() const { return hwnd_; }
    bool loaded() const { return hwnd_ != nullptr; }

    template <class T, class... Args>
    T& add(std::wstring name, TwipsRect rect, Control* container = nullptr, Args&&... args) {
        auto c = std::make_unique<T>(std::forward<Args>(args)...);
        T& ref = *c;
        controls_.push_back(std::move(c));
        try {
            ref.create(*this, container, std::move(name), rect);
        } catch (...) {
            controls_.pop_back();
            throw;
        }
        return ref;
    }
    Control* control(std::wstring_view name) const;
    const std::vector<std::unique_ptr<Control>>& controls() const { return controls_; }

    Ambient ambientFor(const UserControl* c) const;
    void setUserMode(bool v) { userMode_ = v; }
    bool userMode() const { return userMode_; }
    // The control shown as the form's default button (ambient DisplayAsDefault).
    void setDefaultControl(UserControl* c);
    const FontDesc& font() const { return font_; }
    void setFont(const FontDesc& f);
    std::uint32_t backColor() const { return backColor_; }

    // Caption and geometry. Left, Top, Width and Height are the outer bounds in twips (screen
    // coordinates); ScaleWidth and ScaleHeight the client area in twips.
    std::wstring caption() const;
    void setCaption(std::wstring_view text);
    double left() const;
    double top() const;
    double width() const;
    double height() const;
    void setLeft(double twips);
    void setTop(double twips);
    void setWidth(double twips);
    void setHeight(double twips);
    void move(TwipsRect r);
    double scaleWidth() const;
    double scaleHeight() const;
    WindowState windowState() const;
    void setWindowState(WindowState s);

    void show();
    // Shows the form modeless, owned by owner (it stays above it and goes with it).
    void show(HWND owner);
    void show(Form& owner) { show(owner.hwnd()); }
    void hide();
    void setTopMost(bool on);
    bool topMost() const;
    bool active() const { return hwnd_ && GetActiveWindow() == hwnd_; }
    bool keyPreview() const { return keyPreview_; }
    void setKeyPreview(bool v) { keyPreview_ = v; }
    // Focus to the next (or previous) control that takes it, in tab order, as Tab and Shift+Tab do.
    void moveFocus(bool forward);
    // Sends an access key to the first user control that lists it; false when none does.
    bool dispatchAccessKey(wchar_t key);
    // Unloads as a request from code: QueryUnload, Unload, then the window and its controls' windows
    // go (after the running event, when called from one). False when QueryUnload cancelled.
    bool unload();

    // At run time every user control reads its stored properties from the node of the same name
    // (searched through nested nodes), or from an empty bag when it has none; in a designer a
    // control without a node starts as a new instance.
    void loadDesign(const DesignNode& form);
    DesignNode saveDesign(std::wstring_view type, std::wstring_view name);

    // Tooltip of a window of this form; an empty text removes it.
    void setToolTip(HWND tool, std::wstring_view text);
    HWND toolTipWindow() const { return toolTip_; }

    // Keys that a control of the form leaves: KeyDown, then (for a character) KeyPress reach the
    // form. keyCode and keyAscii come by reference: the form may change them, 0 drops the key.
    void controlKeyDown(int& keyCode, int shift);
    void controlKeyUp(int& keyCode, int shift);
    void controlKeyPress(int& keyAscii);
    // With KeyPreview on, what the focused control gets first goes through these; the result is
    // what is left for the control.
    int previewKeyDown(int keyCode, int shift);
    int previewKeyUp(int keyCode, int shift);
    int previewKeyPress(int keyAscii);

    std::function<void(bool active)> Activate;
    std::function<bool(UnloadReason)> QueryUnload;  // true cancels
    std::function<void()> Unload;
    // Raised once the window is gone, outside every event: the owner may let go of the form here.
    std::function<void()> Unloaded;
    std::function<void(int& keyCode, int shift)> KeyDown, KeyUp;
    std::function<void(int& keyAscii)> KeyPress;
    // The mouse over the form itself (not over a control), in twips.
    std::function<void(const MouseArgs&)> MouseDown, MouseUp, MouseMove;
    std::function<void()> Click, DblClick;

    // Controls that must act when their form is about to unload (after the host's QueryUnload,
    // with its verdict) hook in here; the id removes the hook.
    int hookQueryUnload(std::function<void(bool cancelled, UnloadReason)> hook);
    void unhookQueryUnload(int id);

private:
    static LRESULT CALLBACK staticProc(HWND, UINT, WPARAM, LPARAM);
    LRESULT wndProc(UINT msg, WPARAM wParam, LPARAM lParam);
    void destroyControls();
    bool queryUnload(UnloadReason reason);  // true when cancelled
    bool unloadFor(UnloadReason reason);
    void finishUnload();
    void teardown();
    MouseArgs mouseArgs(int button, LPARAM lParam) const;
    void setBounds(int x, int y, int w, int h);

    HWND hwnd_ = nullptr;
    HWND toolTip_ = nullptr;
    std::vector<std::unique_ptr<Control>> controls_;
    FontDesc font_;
    std::uint32_t backColor_;
    bool userMode_ = true;
    bool keyPreview_ = false;
    UserControl* defaultControl_ = nullptr;
    bool unloading_ = false;
    bool pressed_ = false;
    std::vector<std::pair<int, std::function<void(bool, UnloadReason)>>> unloadHooks_;
    int nextHook_ = 1;
    HWND lastFocus_ = nullptr;  // the control that had the focus when the form was deactivated
};

// The form a window belongs to (the window itself or one of its controls), or null.
Form* formOf(HWND hwnd);

}  // namespace kelva::rt
