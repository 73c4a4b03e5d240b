#include "runtime/services.h"

#include <cstring>
#include <vector>

#include "core/errors.h"

namespace kelva::rt {

namespace {
std::wstring sectionPath(std::wstring_view app, std::wstring_view section) {
    return L"Software\\VB and VBA Program Settings\\" + std::wstring(app) + L"\\" + std::wstring(section);
}

class RegKey {
public:
    ~RegKey() {
        if (key_) RegCloseKey(key_);
    }
    HKEY* put() { return &key_; }
    HKEY get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

MessageBoxAnswerer& answerer() {
    static MessageBoxAnswerer a;
    return a;
}
}  // namespace

std::wstring getSetting(std::wstring_view app, std::wstring_view section, std::wstring_view key,
                        std::wstring_view def) {
    RegKey k;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, sectionPath(app, section).c_str(), 0, KEY_QUERY_VALUE, k.put()) != ERROR_SUCCESS)
        return std::wstring(def);
    const std::wstring name(key);
    DWORD type = 0, bytes = 0;
    if (RegQueryValueExW(k.get(), name.c_str(), nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS || type != REG_SZ)
        return std::wstring(def);
    std::vector<wchar_t> buf(bytes / sizeof(wchar_t) + 1, L'\0');
    DWORD size = static_cast<DWORD>(buf.size() * sizeof(wchar_t));
    if (RegQueryValueExW(k.get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buf.data()), &size) !=
        ERROR_SUCCESS)
        return std::wstring(def);
    return std::wstring(buf.data());  // stops at the terminator, stored or not
}

bool saveSetting(std::wstring_view app, std::wstring_view section, std::wstring_view key, std::wstring_view value) {
    RegKey k;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, sectionPath(app, section).c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                        k.put(), nullptr) != ERROR_SUCCESS)
        return false;
    const std::wstring v(value);
    return RegSetValueExW(k.get(), std::wstring(key).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(v.c_str()),
                          static_cast<DWORD>((v.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

bool deleteSetting(std::wstring_view app, std::wstring_view section, std::wstring_view key) {
    RegKey k;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, sectionPath(app, section).c_str(), 0, KEY_SET_VALUE, k.put()) != ERROR_SUCCESS)
        return false;
    return RegDeleteValueW(k.get(), std::wstring(key).c_str()) == ERROR_SUCCESS;
}

int msgBox(const MessageBoxRequest& r) {
    if (answerer()) return answerer()(r);
    return MessageBoxW(r.owner, r.text.c_str(), r.title.c_str(), r.flags);
}

void setMessageBoxAnswerer(MessageBoxAnswerer a) { answerer() = std::move(a); }

bool setClipboardText(std::wstring_view text) {
    const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (!mem) return false;
    void* p = GlobalLock(mem);
    if (!p) {
        GlobalFree(mem);
        return false;
    }
    std::memcpy(p, text.data(), text.size() * sizeof(wchar_t));
    static_cast<wchar_t*>(p)[text.size()] = L'\0';
    GlobalUnlock(mem);
    if (!OpenClipboard(nullptr)) {
        GlobalFree(mem);
        return false;
    }
    EmptyClipboard();
    const bool ok = SetClipboardData(CF_UNICODETEXT, mem) != nullptr;
    CloseClipboard();
    if (!ok) GlobalFree(mem);  // the clipboard owns it only when it took it
    return ok;
}

std::optional<std::wstring> clipboardText() {
    if (!OpenClipboard(nullptr)) return std::nullopt;
    std::optional<std::wstring> out;
    if (HANDLE h = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* p = static_cast<const wchar_t*>(GlobalLock(h))) {
            const std::size_t max = GlobalSize(h) / sizeof(wchar_t);
            std::size_t n = 0;
            while (n < max && p[n]) ++n;  // never past the block, terminated or not
            out = std::wstring(p, n);
            GlobalUnlock(h);
        }
    }
    CloseClipboard();
    return out;
}

int messageLoop() {
    MSG msg{};
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}

bool doEvents() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // The program's loop must still see it, or the program never ends.
            PostQuitMessage(static_cast<int>(msg.wParam));
            return false;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return true;
}

void reportUncaughtException(HWND hwnd, const std::exception* e) noexcept {
    static bool reporting = false;
    if (reporting) return;  // the box's own messages may fail again: one box is enough
    reporting = true;
    try {
        std::wstring text = L"예기치 않은 오류로 이 작업을 마치지 못했습니다";
        if (const auto* vb = dynamic_cast<const VbError*>(e)) text += L":\r\n" + vb->description();
        else if (e) {
            const char* what = e->what();
            text += L":\r\n" + std::wstring(what, what + std::strlen(what));
        }
        HWND top = hwnd ? GetAncestor(hwnd, GA_ROOT) : nullptr;
        wchar_t title[256] = L"";
        if (top) GetWindowTextW(top, title, 256);
        msgBox({top, text, title, MB_OK | MB_ICONERROR});
    } catch (...) {
    }
    reporting = false;
}

}  // namespace kelva::rt
