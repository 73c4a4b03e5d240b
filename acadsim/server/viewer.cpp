#include "acadsim/server/viewer.h"

namespace kelva::acad::server {

namespace {
constexpr wchar_t kClass[] = L"AcadSimViewer";
constexpr std::size_t kMaxLines = 2000;  // a large drawing is summarised, not listed
constexpr UINT_PTR kRefillTimer = 1;
// A burst of calls is over once the drawing has kept still this long; a burst that goes on and on is
// still shown every kLongestLagMs, so a demo sees text arriving.
constexpr UINT kTickMs = 50;
constexpr ULONGLONG kQuietMs = 100;
constexpr ULONGLONG kLongestLagMs = 1000;
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
    caption_ = sim::captionOf(session_);
    hwnd_ = CreateWindowExW(0, kClass, caption_.c_str(), WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 640, 400, nullptr,
                            nullptr, instance, this);
    if (!hwnd_) return;
    list_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"LISTBOX", L"", WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOINTEGRALHEIGHT, 0, 0, 640,
                            400, hwnd_, nullptr, instance, nullptr);
    font_ = CreateFontW(-13, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, HANGUL_CHARSET, 0, 0, 0, 0, L"NanumGothic");
    if (list_ && font_) SendMessageW(list_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    RECT rc;
    GetClientRect(hwnd_, &rc);
    if (list_) MoveWindow(list_, 0, 0, rc.right, rc.bottom, FALSE);
    visible_ = sim::visibleOf(session_);
    state_ = sim::windowStateOf(session_);
    show();
    refill();
}

Viewer::~Viewer() {
    if (hwnd_) {
        KillTimer(hwnd_, kRefillTimer);
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
    if (font_) DeleteObject(font_);
}

void Viewer::invalidate() {
    if (!hwnd_) return;
    showState();
    lastChange_ = GetTickCount64();
    if (stale_) return;
    stale_ = true;
    firstChange_ = lastChange_;
    SetTimer(hwnd_, kRefillTimer, kTickMs, nullptr);
}

// Cheap, and a client expects it at once (it activates AutoCAD by the caption, shows or hides it).
void Viewer::showState() {
    std::wstring caption = sim::captionOf(session_);
    if (caption != caption_) {
        caption_ = std::move(caption);
        SetWindowTextW(hwnd_, caption_.c_str());
    }
    const bool visible = sim::visibleOf(session_);
    const int state = sim::windowStateOf(session_);
    if (visible == visible_ && state == state_) return;
    visible_ = visible;
    state_ = state;
    show();
}

void Viewer::show() {
    ShowWindow(hwnd_, !visible_ ? SW_HIDE : state_ == 2 ? SW_SHOWMINNOACTIVE : state_ == 3 ? SW_SHOWMAXIMIZED : SW_SHOWNOACTIVATE);
}

void Viewer::onTimer() {
    const ULONGLONG now = GetTickCount64();
    if (now - lastChange_ < kQuietMs && now - firstChange_ < kLongestLagMs) return;
    KillTimer(hwnd_, kRefillTimer);
    stale_ = false;
    refill();
}

void Viewer::refill() {
    ++refills_;
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
}

LRESULT CALLBACK Viewer::proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTW*>(lp);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
    }
    auto* self = reinterpret_cast<Viewer*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    switch (msg) {
    case WM_TIMER:
        if (self && wp == kRefillTimer) self->onTimer();
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
