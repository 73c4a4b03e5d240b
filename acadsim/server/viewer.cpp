#include "acadsim/server/viewer.h"

#include <string>

namespace kelva::acad::server {

namespace {
constexpr UINT kRefresh = WM_APP + 1;
constexpr wchar_t kClass[] = L"AcadSimViewer";
constexpr std::size_t kMaxLines = 2000;  // a large drawing is summarised, not listed
}  // namespace

Viewer::Viewer(sim::Session& session) : session_(session) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW wc{sizeof(wc)};
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kClass;
    RegisterClassExW(&wc);
    const std::wstring caption = sim::captionOf(session_);
    hwnd_ = CreateWindowExW(0, kClass, caption.c_str(), WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 640, 400, nullptr,
                            nullptr, instance, this);
    if (!hwnd_) return;
    list_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"LISTBOX", L"", WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOINTEGRALHEIGHT, 0, 0, 640,
                            400, hwnd_, nullptr, instance, nullptr);
    font_ = CreateFontW(-13, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, HANGUL_CHARSET, 0, 0, 0, 0, L"NanumGothic");
    if (list_ && font_) SendMessageW(list_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    RECT rc;
    GetClientRect(hwnd_, &rc);
    if (list_) MoveWindow(list_, 0, 0, rc.right, rc.bottom, FALSE);
    ShowWindow(hwnd_, SW_SHOWNOACTIVATE);
    refresh();
}

Viewer::~Viewer() {
    if (hwnd_) {
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
    if (font_) DeleteObject(font_);
}

void Viewer::invalidate() {
    if (!hwnd_ || pending_) return;
    pending_ = true;
    PostMessageW(hwnd_, kRefresh, 0, 0);
}

void Viewer::refresh() {
    pending_ = false;
    SetWindowTextW(hwnd_, sim::captionOf(session_).c_str());
    const Drawing& d = sim::drawingOf(session_);
    SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list_, LB_RESETCONTENT, 0, 0);
    std::size_t shown = 0;
    for (EntityId id : d.modelSpace()) {
        if (++shown > kMaxLines) {
            const std::wstring more = L"... " + std::to_wstring(d.liveCount()) + L" entities";
            SendMessageW(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(more.c_str()));
            break;
        }
        const std::wstring line = d.dumpLine(id);
        SendMessageW(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
    }
    SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list_, nullptr, TRUE);
    const bool visible = sim::visibleOf(session_);
    const int state = sim::windowStateOf(session_);  // acNorm 1, acMin 2, acMax 3
    ShowWindow(hwnd_, !visible ? SW_HIDE : state == 2 ? SW_SHOWMINNOACTIVE : state == 3 ? SW_SHOWMAXIMIZED : SW_SHOWNOACTIVATE);
}

LRESULT CALLBACK Viewer::proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTW*>(lp);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
    }
    auto* self = reinterpret_cast<Viewer*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    switch (msg) {
    case kRefresh:
        if (self) self->refresh();
        return 0;
    case WM_SIZE:
        if (self && self->list_) MoveWindow(self->list_, 0, 0, LOWORD(lp), HIWORD(lp), TRUE);
        return 0;
    case WM_CLOSE:
        PostQuitMessage(0);  // closing AutoCAD's window ends it
        return 0;
    default: return DefWindowProcW(hwnd, msg, wp, lp);
    }
}

}  // namespace kelva::acad::server
