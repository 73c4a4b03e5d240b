#pragma once
// Services of the runtime: the per-user settings store, message boxes (with a seam a test
// answers), the Unicode clipboard and pumping pending messages.
#include <windows.h>

#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace kelva::rt {

// Settings: strings by application, section and key under the current user's registry
// (HKCU\Software\VB and VBA Program Settings\<application>\<section>).
std::wstring getSetting(std::wstring_view app, std::wstring_view section, std::wstring_view key,
                        std::wstring_view def = {});
// False when the store could not be written.
bool saveSetting(std::wstring_view app, std::wstring_view section, std::wstring_view key, std::wstring_view value);
bool deleteSetting(std::wstring_view app, std::wstring_view section, std::wstring_view key);

struct MessageBoxRequest {
    HWND owner = nullptr;
    std::wstring text;
    std::wstring title;
    UINT flags = MB_OK;
};
// Shows a message box and returns the button chosen (IDOK, ...). With an answerer installed, the
// answerer is asked instead and no window appears.
int msgBox(const MessageBoxRequest& request);
using MessageBoxAnswerer = std::function<int(const MessageBoxRequest&)>;
void setMessageBoxAnswerer(MessageBoxAnswerer answerer);  // empty: real message boxes again

// The clipboard's Unicode text; false / nothing when the clipboard cannot be opened.
bool setClipboardText(std::wstring_view text);
std::optional<std::wstring> clipboardText();

// Runs the messages waiting for this thread, as DoEvents does. A WM_QUIT found on the way is
// posted again for the program's own message loop, and the pumping stops: false then.
bool doEvents();
// The program's message loop: runs until WM_QUIT and answers its exit code.
int messageLoop();

// The barrier of every window procedure: a C++ exception must not unwind through the system's
// code that called it. The exception is reported to the user (a message box owned by the
// window's top-level window; one at a time) and the message gets the fallback's answer, usually
// the default window procedure's.
void reportUncaughtException(HWND hwnd, const std::exception* e) noexcept;
template <class Work, class Fallback>
LRESULT guardMessage(HWND hwnd, Work&& work, Fallback&& fallback) noexcept {
    try {
        return work();
    } catch (const std::exception& e) {
        reportUncaughtException(hwnd, &e);
    } catch (...) {
        reportUncaughtException(hwnd, nullptr);
    }
    return fallback();
}

}  // namespace kelva::rt
