#pragma once
// A control on a form: a window with an exact position in twips inside its container (the form or
// a container control), reached by name, with the late-bound property access a host uses for
// controls it does not know.
#include <windows.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <functional>
#include <optional>

#include "runtime/gdi.h"
#include "runtime/mouse.h"
#include "runtime/propbag.h"

namespace kelva::rt {

class Form;

struct TwipsRect {
    double left = 0, top = 0, width = 0, height = 0;
};

class Control {
public:
    Control() = default;
    virtual ~Control();
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    // Makes the window inside container (or the form when null). A constituent is part of the
    // container itself (a user control's own picture box), not a control the host placed in it.
    void create(Form& form, Control* container, std::wstring name, TwipsRect rect, bool constituent = false);
    bool constituent() const { return constituent_; }

    const std::wstring& name() const { return name_; }
    virtual const wchar_t* typeName() const = 0;
    HWND hwnd() const { return hwnd_; }
    Form* form() const { return form_; }
    Control* container() const { return container_; }
    // The controls the host placed inside this one, in the order they were placed.
    std::vector<Control*> contained() const;

    const TwipsRect& rect() const { return rect_; }
    void move(TwipsRect r);
    void setLeft(double v) { move({v, rect_.top, rect_.width, rect_.height}); }
    void setTop(double v) { move({rect_.left, v, rect_.width, rect_.height}); }
    void setWidth(double v) { move({rect_.left, rect_.top, v, rect_.height}); }
    void setHeight(double v) { move({rect_.left, rect_.top, rect_.width, v}); }
    void bringToFront();
    void sendToBack();

    virtual bool enabled() const;
    virtual void setEnabled(bool v);
    bool visible() const;
    void setVisible(bool v);

    // Late-bound assignment by name; false when the control has no such property. The base
    // knows Left, Top, Width, Height, Visible, Enabled and ToolTipText.
    virtual bool setProperty(std::wstring_view name, const PropValue& value);

    // Client size in pixels.
    SIZE clientPixels() const;

    // The tip the form shows while the mouse rests on the control; empty for none.
    const std::wstring& toolTipText() const { return toolTipText_; }
    void setToolTipText(std::wstring_view text);

protected:
    // Creates the window at the given pixel rectangle inside parent; returns it.
    virtual HWND createWindow(HWND parent, const RECT& px) = 0;
    // Messages of windows made with registerWindowClass; the default is DefWindowProcW.
    virtual LRESULT wndProc(UINT msg, WPARAM wParam, LPARAM lParam);
    // Called when the window is being destroyed, before the handle goes.
    virtual void windowDestroyed() {}
    // Called once the window exists: the place to make constituent controls.
    virtual void onCreated() {}
    // Pixels the window is taller than the control's Height (the dropped list of a combo box).
    virtual int dropHeight() const { return 0; }

    static void registerWindowClass(const wchar_t* className, UINT style = CS_DBLCLKS);
    // CreateWindowExW for a class registered above, with this control bound to it.
    HWND createOwnWindow(const wchar_t* className, DWORD style, DWORD exStyle, HWND parent, const RECT& px);

private:
    static LRESULT CALLBACK staticProc(HWND, UINT, WPARAM, LPARAM);
    RECT pixelRect(const TwipsRect& r) const;

    std::wstring name_;
    HWND hwnd_ = nullptr;
    Form* form_ = nullptr;
    Control* container_ = nullptr;
    std::vector<Control*> contained_;
    TwipsRect rect_;
    bool constituent_ = false;
    std::wstring toolTipText_;
};

// The intrinsic controls the forms use, as thin wrappers over the system's controls. Their events
// are raised from the system's notifications and from their own messages: the mouse of a label
// (in twips), Click of an option button and a combo box's list, Change, KeyPress, GotFocus and
// LostFocus of the text and combo boxes. Tab and Shift+Tab move the focus on; with the form's
// KeyPreview on, the form sees their keys first.
class StdControl : public Control {
public:
    enum class Kind { Label, TextBox, CheckBox, OptionButton, ComboBox };
    explicit StdControl(Kind kind) : kind_(kind) {}
    ~StdControl() override;
    const wchar_t* typeName() const override;
    Kind kind() const { return kind_; }

    std::wstring text() const;
    void setText(std::wstring_view text);
    bool setProperty(std::wstring_view name, const PropValue& value) override;

    // Colours of the text and background (OLE colours); unset ones are the system's.
    void setForeColor(std::uint32_t c);
    std::optional<std::uint32_t> foreColor() const { return foreColor_; }
    void setBackColor(std::uint32_t c);
    void setFont(const FontDesc& f);
    // What a container (form or control) answers to a child's WM_CTLCOLOR... or WM_COMMAND; nothing
    // when the message is not one of those or the child is not one of ours.
    static std::optional<LRESULT> containerMessage(UINT msg, WPARAM wParam, LPARAM lParam);

    // Value of a check box (0, 1, 2) or an option button (0 or 1). Choosing an option button
    // clears the others of its container and raises Click.
    int value() const;
    void setValue(int v);

    // The list of a combo box.
    void addItem(std::wstring_view item);
    void clear();
    int listCount() const;
    std::wstring list(int index) const;
    int listIndex() const;
    void setListIndex(int index);

    std::function<void(const MouseArgs&)> MouseDown, MouseUp, MouseMove;
    std::function<void()> Click, DblClick, Change, GotFocus, LostFocus;
    std::function<void(int& keyAscii)> KeyPress;
    std::function<void(int& keyCode, int shift)> KeyDown;

protected:
    HWND createWindow(HWND parent, const RECT& px) override;
    int dropHeight() const override { return kind_ == Kind::ComboBox ? 200 : 0; }

private:
    // The answer to the container's WM_CTLCOLOR... for this control; 0 when it keeps the system's.
    static LRESULT colorMessage(HWND control, HDC dc);
    // A container passes on the WM_COMMAND notification of a child; true when it was one of ours.
    static bool commandMessage(HWND control, int code);
    static LRESULT CALLBACK subclassProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
    LRESULT message(HWND h, UINT msg, WPARAM wParam, LPARAM lParam);
    MouseArgs mouseArgs(int button, LPARAM lParam) const;
    void chosen();  // an option button became the chosen one

    Kind kind_;
    std::optional<std::uint32_t> foreColor_, backColor_;
    GdiPtr<HBRUSH> brush_;
    GdiPtr<HFONT> font_;
    HWND comboEdit_ = nullptr;
    MouseTracker mouse_;
    bool lastKeyTaken_ = false;
};

// A rectangle outline (a shape): no Enabled, drawn behind its siblings.
class Shape : public Control {
public:
    const wchar_t* typeName() const override { return L"Shape"; }
    void setBorderColor(std::uint32_t oleColor);
    std::uint32_t borderColor() const { return borderColor_; }
    bool setProperty(std::wstring_view name, const PropValue& value) override;

protected:
    HWND createWindow(HWND parent, const RECT& px) override;
    LRESULT wndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    std::uint32_t borderColor_ = 0;
};

}  // namespace kelva::rt
