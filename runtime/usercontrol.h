#pragma once
// The user-control host: what a control built on a surface gets from its container. Ambient
// properties, the extender (Name, Visible), the parent form, the controls placed inside it, access
// keys, change notification, and the life cycle InitProperties (a new instance) or ReadProperties
// (a stored one), then Show; WriteProperties when the form is saved; Terminate at the end.
#include <functional>
#include <string>
#include <vector>

#include "runtime/picturebox.h"
#include "runtime/propbag.h"

namespace kelva::rt {

struct Ambient {
    bool userMode = true;  // false while a form designer shows the control
    FontDesc font;
    std::uint32_t backColor = 0x8000000F;
    bool displayAsDefault = false;
};

class UserControl : public SurfaceControl {
public:
    ~UserControl() override;

    // Life cycle, driven by the form.
    void initNew();
    void load(const PropertyBag& bag);
    void save(PropertyBag& bag);
    // Terminate runs once, before the window goes.
    void terminate();

    Ambient ambient() const;
    // The container tells the control that an ambient property changed.
    void ambientChanged(std::wstring_view name);

    // Access keys: the characters whose Alt combination (or, with the form's key handling, plain
    // press) reaches this control.
    const std::wstring& accessKeys() const { return accessKeys_; }
    void setAccessKeys(std::wstring keys) { accessKeys_ = std::move(keys); }
    void accessKeyPress(wchar_t key) { onAccessKeyPress(key); }

    // PropertyChanged: recorded, and reported to whoever listens (a designer, a test).
    std::function<void(std::wstring_view)> PropertyChangedHandler;
    const std::vector<std::wstring>& changedProperties() const { return changed_; }

    bool canGetFocus() const { return canGetFocus_; }

    // The colour a control's pictures treat as transparent, kept for the control to use.
    std::uint32_t maskColor() const { return maskColor_; }
    void setMaskColor(std::uint32_t c) { maskColor_ = c; }

protected:
    void propertyChanged(std::wstring_view name);
    HWND createWindow(HWND parent, const RECT& px) override;
    LRESULT wndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    // A control that takes no focus (a frame) is skipped by Tab and lets Tab into its children.
    void setCanGetFocus(bool v);
    void resized() override {
        if (propertiesIn_) onResize();
    }

    virtual void initProperties() {}
    virtual void readProperties(const PropertyBag&) {}
    virtual void writeProperties(PropertyBag&) {}
    virtual void onShow() {}
    virtual void onTerminate() {}
    virtual void onAmbientChanged(std::wstring_view) {}
    virtual void onAccessKeyPress(wchar_t) {}
    virtual void onKeyDown(int /*keyCode*/, int /*shift*/) {}
    virtual void onKeyUp(int /*keyCode*/, int /*shift*/) {}
    // The keys the control acts on. Those it does not use go on to its form (KeyDown, then
    // KeyPress for the character), and Tab moves the focus on unless the control uses it.
    virtual bool usesKey(int /*keyCode*/, int /*shift*/) const { return false; }
    virtual void onGotFocus() {}
    virtual void onLostFocus() {}

private:
    std::wstring accessKeys_;
    std::vector<std::wstring> changed_;
    bool canGetFocus_ = true;
    bool terminated_ = false;
    bool shown_ = false;
    bool propertiesIn_ = false;
    bool lastKeyTaken_ = false;  // the character of that key-down goes with it
    std::uint32_t maskColor_ = 0x8000000F;  // Resize is raised only after InitProperties or ReadProperties
    void afterProperties();
};

}  // namespace kelva::rt
