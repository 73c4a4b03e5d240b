#pragma once
// frmAbout: the version line and the home-page link, top-most; it goes at the first deactivation,
// key press or press of its button.
#include <functional>
#include <memory>
#include <string>

#include "controls/xpbutton.h"
#include "runtime/form.h"

namespace kelva::palette {

class DragLabel;

// The suite's version, shown by the about box.
extern const wchar_t* const kVersionLine;
// The home page the link opens; the suite names none, so the link shows nothing and opens nothing.
extern const wchar_t* const kHomePage;
inline constexpr std::uint32_t kLinkHoverColor = 0x830893;

class AboutWindow {
public:
    explicit AboutWindow(HWND owner);
    ~AboutWindow();
    void show();
    void close();
    bool loaded() const { return form_ && visible_; }
    rt::Form* form() { return form_.get(); }
    DragLabel& home() { return *lblHome_; }
    ctl::XPButton& exitButton() { return *cbExit_; }

    // OpenURL: the shell's "Open" verb on the address; tests replace the shell call.
    void OpenURL(const std::wstring& address, int showCommand);
    std::function<void(const std::wstring& address, int showCommand)> shellOpen;

private:
    void load();
    static LRESULT CALLBACK keysProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
    HWND owner_;
    std::unique_ptr<rt::Form> form_, retired_;
    DragLabel* lblHome_ = nullptr;
    ctl::XPButton* cbExit_ = nullptr;
    bool visible_ = false;
};

}  // namespace kelva::palette
