#pragma once
// A form: a top-level window made from a layout in twips, holding its controls by name. It gives
// its user controls their ambient properties, routes access keys and activation, and reads and
// writes its controls' stored design data.
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
};

enum class UnloadReason { FormControlMenu = 0, FormCode = 1, AppWindows = 2 };

class Form {
public:
    explicit Form(const FormLayout& layout);
    ~Form();
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    HWND hwnd() const { return hwnd_; }

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
    // The control shown as the form's default button (ambient DisplayAsDefault).
    void setDefaultControl(UserControl* c);
    const FontDesc& font() const { return font_; }
    void setFont(const FontDesc& f);
    std::uint32_t backColor() const { return backColor_; }

    void show();
    void hide();
    void setTopMost(bool on);
    bool active() const { return GetActiveWindow() == hwnd_; }
    // Focus to the next (or previous) control that takes it, as Tab and Shift+Tab do.
    void moveFocus(bool forward);
    // Sends an access key to the first user control that lists it; false when none does.
    bool dispatchAccessKey(wchar_t key);
    // Closes the window as a request from code; false when QueryUnload cancelled.
    bool unload();

    // Each user control of the form reads its stored properties from the node of the same name
    // (searched through nested nodes); one without a node starts as a new instance.
    void loadDesign(const DesignNode& form);
    DesignNode saveDesign(std::wstring_view type, std::wstring_view name);

    std::function<void(bool active)> Activate;
    std::function<bool(UnloadReason)> QueryUnload;  // true cancels
    std::function<void()> Unload;
    // Controls that must act when their form is about to unload (after the host's QueryUnload,
    // with its verdict) hook in here; the id removes the hook.
    int hookQueryUnload(std::function<void(bool cancelled, UnloadReason)> hook);
    void unhookQueryUnload(int id);

private:
    static LRESULT CALLBACK staticProc(HWND, UINT, WPARAM, LPARAM);
    LRESULT wndProc(UINT msg, WPARAM wParam, LPARAM lParam);
    void destroyControls();

    HWND hwnd_ = nullptr;
    std::vector<std::unique_ptr<Control>> controls_;
    FontDesc font_;
    std::uint32_t backColor_;
    bool userMode_ = true;
    UserControl* defaultControl_ = nullptr;
    bool unloading_ = false;
    bool queryUnload(UnloadReason reason);  // true when cancelled
    std::vector<std::pair<int, std::function<void(bool, UnloadReason)>>> unloadHooks_;
    int nextHook_ = 1;
    HWND lastFocus_ = nullptr;  // the control that had the focus when the form was deactivated
};

}  // namespace kelva::rt
