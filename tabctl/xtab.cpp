#include "tabctl/xtab.h"

#include <commdlg.h>
#include <uxtheme.h>

#include <cmath>
#include <functional>

#include "core/errors.h"
#include "core/values.h"
#include "runtime/form.h"
#include "runtime/gdi.h"
#include "runtime/scale.h"
#include "tabctl/gdi_canvas.h"
#include "tabctl/xtab_filedialog.h"
#include "tabctl/xtab_imagelist.h"
#include "tabctl/xtab_paint.h"
#include "tabctl/xtab_pictures.h"
#include "tabctl/xtab_theme.h"

namespace kelva::tabctl {

namespace {

bool systemIsWinXP() {
    OSVERSIONINFOA v{};
    v.dwOSVersionInfoSize = sizeof v;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    const BOOL ok = GetVersionExA(&v);
#pragma GCC diagnostic pop
    OsVersion os{ok == TRUE, v.dwMajorVersion, v.dwMinorVersion, v.dwBuildNumber, v.dwPlatformId};
    return tabctl::isWinXP(os);
}

long systemThemeName(wchar_t* file, int fileChars, wchar_t* color, int colorChars, wchar_t* size, int sizeChars) {
    return static_cast<long>(GetCurrentThemeName(file, fileChars, color, colorChars, size, sizeChars));
}

Rgb sysColor(int index) { return static_cast<Rgb>(GetSysColor(index)); }

using TrackMouseEventFn = BOOL(WINAPI*)(LPTRACKMOUSEEVENT);

// comctl32's _TrackMouseEvent, found by name as the system without user32's one offers it.
TrackMouseEventFn comctlTrackMouseEvent() {
    static TrackMouseEventFn fn = [] {
        HMODULE m = GetModuleHandleA("comctl32");
        if (!m) m = LoadLibraryA("comctl32");
        return m ? reinterpret_cast<TrackMouseEventFn>(reinterpret_cast<void*>(GetProcAddress(m, "_TrackMouseEvent")))
                 : nullptr;
    }();
    return fn;
}

std::shared_ptr<rt::Picture> runtimePicture(const PictureRef& p) {
    auto* g = dynamic_cast<GdiTabPicture*>(p.get());
    return g ? g->picture : nullptr;
}

}  // namespace

XTabPlatform& xtabPlatform() {
    static XTabPlatform p{ctl::isExported, systemIsWinXP, systemThemeName};
    return p;
}

ucXTab::ucXTab() = default;

ucXTab::~ucXTab() {
    terminate();
    teardown();
}

template <class F>
void ucXTab::safely(F&& step) noexcept {
    // Messages come from the window system: nothing may unwind through its frames.
    try {
        step();
    } catch (...) {
    }
}

// ---- life cycle ----------------------------------------------------------------------------

void ucXTab::onCreated() {
    ownWindow_ = hwnd();
    surface().scale().setMode(rt::ScaleMode::Pixels);
    x_.s.BackColor = surface().backColor();
    x_.s.ForeColor = surface().foreColor();
}

void ucXTab::initProperties() {
    double parentWidth = 0;
    if (form() && form()->hwnd()) {
        RECT r{};
        GetWindowRect(form()->hwnd(), &r);
        parentWidth = (r.right - r.left) * rt::twipsPerPixelX();
    }
    x_.initProperties(parentWidth);
    syncSurfaceColors();
}

void ucXTab::readProperties(const rt::PropertyBag& bag) {
    x_.readProperties(bag);
    syncSurfaceColors();
    if (userMode()) {
        try {
            startSubclassing();
        } catch (const VbError& e) {
            throw e.withSource(L"ucXTab.UserControl_ReadProperties");
        }
    }
}

void ucXTab::writeProperties(rt::PropertyBag& bag) { x_.writeProperties(bag); }

void ucXTab::startSubclassing() {
    auto& s = x_.s;
    auto& platform = xtabPlatform();
    s.bTrackMouse = true;
    s.bTrackUser32 = platform.isExported("TrackMouseEvent", "User32");
    if (!s.bTrackUser32 && !platform.isExported("_TrackMouseEvent", "Comctl32")) s.bTrackMouse = false;
    if (!s.bTrackMouse) return;

    engine_.start(ownWindow_);
    for (UINT m : {WM_MOUSEMOVE, WM_MOUSELEAVE, WM_MOUSEWHEEL, WM_LBUTTONDOWN, WM_LBUTTONUP})
        engine_.addMsg(ownWindow_, static_cast<std::int32_t>(m), ctl::WhenAfter);
    engine_.addMsg(ownWindow_, WM_TIMER, ctl::WhenBefore);

    if (!form() || !form()->hwnd()) raise(438);  // a parent without a window handle
    parentWindow_ = form()->hwnd();
    engine_.start(parentWindow_);
    for (UINT m : {WM_ACTIVATE, WM_MOVING, WM_SIZING, WM_EXITSIZEMOVE, WM_SYSCOLORCHANGE, WM_THEMECHANGED})
        engine_.addMsg(parentWindow_, static_cast<std::int32_t>(m), ctl::WhenAfter);

    // The form's unload: a cancelled request (any non-zero Cancel) leaves everything running; an
    // unload that goes ahead ends the subscriptions at once.
    unloadHook_ = form()->hookQueryUnload([this](bool cancelled, rt::UnloadReason) {
        if (!cancelled && x_.s.bSubclassed) teardown();
    });
    s.bSubclassed = true;
}

void ucXTab::teardown(bool ownWindowGoing) {
    if (tornDown_) return;
    tornDown_ = true;
    // Subscriptions first, so that nothing of the window system calls back into a control that is
    // taking itself apart; then every step of the end, each whatever the one before it did.
    safely([&] {
        if (unloadHook_ && form()) form()->unhookQueryUnload(unloadHook_);
        unloadHook_ = 0;
    });
    safely([&] {
        if (!engine_.records().started()) return;
        // While its own window is being destroyed the engine lets go of that window by itself,
        // after the message; taking the link out from inside the window's chain is not ours to do.
        if (ownWindowGoing) {
            if (parentWindow_ && engine_.index(parentWindow_, false) >= 0) engine_.stop(parentWindow_);
        } else {
            engine_.stopAll();
        }
    });
    safely([&] {
        if (ownWindow_ && IsWindow(ownWindow_)) KillTimer(ownWindow_, 0);
    });
    safely([&] { x_.terminateSteps(); });
    x_.s.bSubclassed = false;
}

void ucXTab::onTerminate() { teardown(); }

void ucXTab::windowDestroyed() {
    teardown(true);
    ownWindow_ = nullptr;
}

void ucXTab::onShow() {
    safely([&] { x_.refresh(); });
}

void ucXTab::onResize() {
    safely([&] { x_.refresh(); });
}

void ucXTab::onPaint() {
    safely([&] { x_.refresh(); });
}

// ---- the message callback ------------------------------------------------------------------

void ucXTab::zSubclass_Proc(bool, bool&, LRESULT&, HWND&, UINT& uMsg, WPARAM& wParam, LPARAM&) {
    safely([&] {
        switch (uMsg) {
        case WM_MOUSEMOVE: x_.wmMouseMove(); break;
        case WM_MOUSELEAVE: x_.wmMouseLeave(); break;
        // The wheel's delta is the high word: the parameter read as a signed 32-bit value is
        // negative exactly when the wheel turned toward the user.
        case WM_MOUSEWHEEL: x_.wmMouseWheel(static_cast<std::int32_t>(static_cast<std::uint32_t>(wParam))); break;
        case WM_LBUTTONDOWN: x_.wmLButtonDown(); break;
        case WM_LBUTTONUP: x_.wmLButtonUp(); break;
        case WM_TIMER: x_.TimerEvent(); break;
        case WM_ACTIVATE: x_.wmActivate(); break;
        case WM_SIZING: x_.wmSizing(); break;
        case WM_MOVING: x_.wmMoving(); break;
        case WM_EXITSIZEMOVE: x_.wmExitSizeMove(); break;
        case WM_SYSCOLORCHANGE:
        case WM_THEMECHANGED: x_.wmColorsChanged(); break;
        default: break;
        }
    });
}

// ---- surface events ------------------------------------------------------------------------

LRESULT ucXTab::wndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_CHAR) {
        safely([&] {
            std::int16_t key = static_cast<std::int16_t>(wParam);
            x_.keyPress(key);
        });
        return 0;
    }
    return rt::UserControl::wndProc(msg, wParam, lParam);
}

void ucXTab::onMouseDown(const rt::MouseArgs& a) {
    safely([&] {
        x_.mouseDown(static_cast<std::int16_t>(a.button), static_cast<std::int16_t>(a.shift), static_cast<float>(a.x),
                     static_cast<float>(a.y));
    });
}
void ucXTab::onMouseUp(const rt::MouseArgs& a) {
    safely([&] {
        x_.mouseUp(static_cast<std::int16_t>(a.button), static_cast<std::int16_t>(a.shift), static_cast<float>(a.x),
                   static_cast<float>(a.y));
    });
}
void ucXTab::onMouseMove(const rt::MouseArgs& a) {
    safely([&] {
        x_.mouseMove(static_cast<std::int16_t>(a.button), static_cast<std::int16_t>(a.shift), static_cast<float>(a.x),
                     static_cast<float>(a.y));
    });
}
void ucXTab::onClick() {
    safely([&] { x_.click(); });
}
void ucXTab::onDblClick() {
    safely([&] { x_.dblClick(); });
}
void ucXTab::onKeyDown(int key, int shift) {
    safely([&] { x_.keyDown(static_cast<std::int16_t>(key), static_cast<std::int16_t>(shift)); });
}
void ucXTab::onKeyUp(int key, int shift) {
    safely([&] { x_.keyUp(static_cast<std::int16_t>(key), static_cast<std::int16_t>(shift)); });
}
void ucXTab::onGotFocus() {
    safely([&] { x_.gotFocus(); });
}
void ucXTab::onLostFocus() {
    safely([&] { x_.lostFocus(); });
}
void ucXTab::onAccessKeyPress(wchar_t key) {
    safely([&] {
        std::int16_t k = static_cast<std::int16_t>(key);
        x_.accessKeyPress(k);
    });
}

// ---- host services -------------------------------------------------------------------------

bool ucXTab::userMode() {
    try {
        return form() != nullptr && ambient().userMode;
    } catch (...) {
        return false;
    }
}

std::uint32_t ucXTab::ambientBackColor() { return ambient().backColor; }
rt::FontDesc ucXTab::ambientFont() { return ambient().font; }

void ucXTab::setSurfaceEnabled(bool on) { rt::Control::setEnabled(on); }

void ucXTab::lockWindowUpdate(bool lock) { LockWindowUpdate(lock ? ownWindow_ : nullptr); }

int ucXTab::containedCount() {
    contained_ = contained();
    return static_cast<int>(contained_.size());
}
std::uintptr_t ucXTab::containedId(int i) { return reinterpret_cast<std::uintptr_t>(contained_.at(static_cast<std::size_t>(i))); }
bool ucXTab::containedLeft(int i, double& left) {
    left = contained_.at(static_cast<std::size_t>(i))->rect().left;
    return true;
}
bool ucXTab::setContainedLeft(int i, double left) {
    contained_.at(static_cast<std::size_t>(i))->setLeft(left);
    return true;
}
double ucXTab::visibleWidth() { return rect().width; }

void ucXTab::pGetCachedProperties() {
    auto& s = x_.s;
    s.scaleWidth = ScaleWidth();
    s.scaleHeight = ScaleHeight();
    s.iconSize = GetSystemMetrics(s.PictureSize != 0 ? SM_CXICON : SM_CXSMICON);
}

template <class F>
void ucXTab::paint(F&& step) {
    if (!ownWindow_) return;
    pGetCachedProperties();
    GdiCanvas canvas(surface(), x_.s);
    PaintEnv env{sysColor, userMode(), x_.s.TabTheme == 1 || x_.s.TabTheme == 4 ? GetThemeInfo() : std::wstring()};
    XTabPainter painter(x_.s, canvas, std::move(env));
    std::invoke(step, painter);
    // The painters may set the surface's pen colour (ForeColor) as they go.
    surface().setForeColor(x_.s.ForeColor);
    InvalidateRect(ownWindow_, nullptr, FALSE);
}

void ucXTab::drawMe() {
    paint(&XTabPainter::drawMe);
}
void ucXTab::drawBackground() {
    paint(&XTabPainter::drawBackground);
}
void ucXTab::drawTabs() {
    paint(&XTabPainter::drawTabs);
}
void ucXTab::drawControlBox(int state, int tab) {
    paint([&](XTabPainter& p) { p.drawControlBox(state, tab); });
}
void ucXTab::drawHover(int tab) {
    x_.s.HoverTab = tab;
    paint(&XTabPainter::drawOnMouseOver);
}
void ucXTab::drawOverXOred() {
    paint(&XTabPainter::drawOverXOred);
}
void ucXTab::showHideFocus() {
    paint(&XTabPainter::showHideFocus);
}

void ucXTab::resetColorsToDefault() {
    setAutoRedraw(false);
    ThemeEnv env;
    if (themeUsesScheme(x_.s.TabTheme)) env.schemeName = GetThemeInfo();
    env.ambientReadable = form() != nullptr;
    if (env.ambientReadable) env.ambientBackColor = ambient().backColor;
    env.sysColor = sysColor;
    tabctl::resetColorsToDefault(x_.s, env);
    syncSurfaceColors();
}

bool ucXTab::themeDetectedNone() { return GetThemeInfo() == kThemeNone; }

void ucXTab::setHoverTimer(bool on) {
    if (!ownWindow_) return;
    if (on)
        SetTimer(ownWindow_, 0, 10, nullptr);
    else
        KillTimer(ownWindow_, 0);
}

void ucXTab::trackMouseLeave() {
    if (!x_.s.bTrackMouse || !ownWindow_) return;
    TRACKMOUSEEVENT tme{};
    tme.cbSize = sizeof tme;
    tme.dwFlags = TME_LEAVE;
    tme.hwndTrack = ownWindow_;
    tme.dwHoverTime = 0;
    if (x_.s.bTrackUser32)
        TrackMouseEvent(&tme);
    else if (auto fn = comctlTrackMouseEvent())
        fn(&tme);
}

Point ucXTab::cursorPos() {
    POINT p{};
    GetCursorPos(&p);
    if (ownWindow_) ScreenToClient(ownWindow_, &p);
    return {p.x, p.y};
}

PictureRef ucXTab::pictureFromData(const rt::PictureData& data) {
    auto p = rt::Picture::fromData(data);
    return p ? std::make_shared<GdiTabPicture>(std::move(p)) : nullptr;
}

rt::PictureData ucXTab::pictureToData(const PictureRef& picture) {
    auto p = runtimePicture(picture);
    return p ? p->toData() : rt::PictureData{};
}

void ucXTab::syncSurfaceColors() {
    auto& s = x_.s;
    if (surface().backColor() != s.BackColor) surface().setBackColor(s.BackColor);
    surface().setForeColor(s.ForeColor);
    setMaskColor(s.PictureMaskColor);
}

// ---- public face ---------------------------------------------------------------------------

void ucXTab::setActiveTabBackEndColor(std::uint32_t c) { x_.setColor(&XTabState::ActiveTabBackEndColor, c, L"ActiveTabBackEndColor"); }
void ucXTab::setActiveTabBackStartColor(std::uint32_t c) { x_.setColor(&XTabState::ActiveTabBackStartColor, c, L"ActiveTabBackStartColor"); }
void ucXTab::setActiveTabForeColor(std::uint32_t c) { x_.setColor(&XTabState::ActiveTabForeColor, c, L"ActiveTabForeColor"); }
void ucXTab::setBottomRightInnerBorderColor(std::uint32_t c) { x_.setColor(&XTabState::BottomRightInnerBorderColor, c, L"BottomRightInnerBorderColor"); }
void ucXTab::setDisabledTabBackColor(std::uint32_t c) { x_.setColor(&XTabState::DisabledTabBackColor, c, L"DisabledTabBackColor"); }
void ucXTab::setDisabledTabForeColor(std::uint32_t c) { x_.setColor(&XTabState::DisabledTabForeColor, c, L"DisabledTabForeColor"); }
void ucXTab::setHoverColor(std::uint32_t c) { x_.setColor(&XTabState::HoverColor, c, L"HoverColor"); }
void ucXTab::setInActiveTabBackEndColor(std::uint32_t c) { x_.setColor(&XTabState::InActiveTabBackEndColor, c, L"InActiveTabBackEndColor"); }
void ucXTab::setInActiveTabBackStartColor(std::uint32_t c) { x_.setColor(&XTabState::InActiveTabBackStartColor, c, L"InActiveTabBackStartColor"); }
void ucXTab::setInActiveTabForeColor(std::uint32_t c) { x_.setColor(&XTabState::InActiveTabForeColor, c, L"InActiveTabForeColor"); }
void ucXTab::setOuterBorderColor(std::uint32_t c) { x_.setColor(&XTabState::OuterBorderColor, c, L"OuterBorderColor"); }
void ucXTab::setTabStripBackColor(std::uint32_t c) { x_.setColor(&XTabState::TabStripBackColor, c, L"TabStripBackColor"); }
void ucXTab::setTopLeftInnerBorderColor(std::uint32_t c) { x_.setColor(&XTabState::TopLeftInnerBorderColor, c, L"TopLeftInnerBorderColor"); }

void ucXTab::setFocusedColor(std::uint32_t c) { x_.setFocusedColor(c); }

void ucXTab::setForeColor(std::uint32_t c) {
    x_.s.ForeColor = c;
    syncSurfaceColors();
    x_.refresh();
    propertyChanged(L"ForeColor");
}

void ucXTab::setBackColor(std::uint32_t c) {
    x_.s.BackColor = c;
    syncSurfaceColors();
    x_.refresh();
    propertyChanged(L"BackColor");
}

void ucXTab::setPictureMaskColor(std::uint32_t c) {
    x_.s.PictureMaskColor = c;
    syncSurfaceColors();
    x_.refresh();
    propertyChanged(L"PictureMaskColor");
}

void ucXTab::setUseFocusedColor(bool v) { x_.setBool(&XTabState::UseFocusedColor, v, L"UseFocusedColor"); }
void ucXTab::setUseMaskColor(bool v) { x_.setBool(&XTabState::UseMaskColor, v, L"UseMaskColor"); }

std::uint32_t ucXTab::GetRGBFromOLE(std::uint32_t lOleColor) { return toRgb(lOleColor, sysColor); }

bool ucXTab::IsWinXP() {
    auto& p = xtabPlatform();
    return p.isWinXP && p.isWinXP();
}

std::wstring ucXTab::GetThemeInfo() {
    auto& p = xtabPlatform();
    return themeInfo(IsWinXP(), p.themeName ? p.themeName : ThemeNameQuery(systemThemeName));
}

void ucXTab::ResetColorsToDefault() { resetColorsToDefault(); }
void ucXTab::ResetAllColors() { x_.resetAllColors(); }

void ucXTab::setActiveTabFont(FontRef f) { x_.setActiveTabFont(std::move(f)); }
void ucXTab::setInActiveTabFont(FontRef f) { x_.setInActiveTabFont(std::move(f)); }
void ucXTab::setFont(std::shared_ptr<rt::Font> f) {
    if (f) surface().setFont(std::move(f));
}

void ucXTab::setActiveTabHeight(std::int32_t v) { x_.setLong(&XTabState::ActiveTabHeight, v, L"ActiveTabHeight"); }
void ucXTab::setInActiveTabHeight(std::int32_t v) { x_.setLong(&XTabState::InActiveTabHeight, v, L"InActiveTabHeight"); }
void ucXTab::setPictureAlign(std::int32_t v) { x_.setLong(&XTabState::PictureAlign, v, L"PictureAlign"); }
void ucXTab::setPictureSize(std::int32_t v) { x_.setLong(&XTabState::PictureSize, v, L"PictureSize"); }
void ucXTab::setTabStyle(std::int32_t v) { x_.setTabStyle(v); }
void ucXTab::setTabTheme(std::int32_t v) { x_.setTabTheme(v); }
void ucXTab::setUseThemeDetection(bool v) { x_.setUseThemeDetection(v); }
void ucXTab::setXRadius(std::int32_t v) { x_.setLong(&XTabState::XRadius, v, L"XRadius"); }
void ucXTab::setYRadius(std::int32_t v) { x_.setLong(&XTabState::YRadius, v, L"YRadius"); }
bool ucXTab::Enabled() const { return rt::Control::enabled(); }
void ucXTab::setEnabled(bool v) { x_.setEnabled(v); }
void ucXTab::setShowFocusRect(bool v) { x_.setBool(&XTabState::ShowFocusRect, v, L"ShowFocusRect"); }
void ucXTab::setUseControlBox(bool v) { x_.setBool(&XTabState::UseControlBox, v, L"UseControlBox"); }
void ucXTab::setUseMouseWheelScroll(bool v) { x_.setUseMouseWheelScroll(v); }

void ucXTab::setActiveTab(std::int32_t n) { x_.setActiveTab(n); }
void ucXTab::setTabCount(std::int32_t n) { x_.setTabCount(n); }
void ucXTab::setTabCaption(std::int32_t i, std::wstring c) { x_.setTabCaption(i, std::move(c)); }
void ucXTab::setTabEnabled(std::int32_t i, bool v) { x_.setTabEnabled(i, v); }
void ucXTab::setTabOffset(std::int32_t v) { x_.setTabOffset(v); }
std::shared_ptr<rt::Picture> ucXTab::TabPicture(std::int32_t i) const { return runtimePicture(x_.TabPicture(i)); }
void ucXTab::setTabPicture(std::int32_t i, std::shared_ptr<rt::Picture> p) {
    x_.setTabPicture(i, p ? std::make_shared<GdiTabPicture>(std::move(p)) : nullptr);
}
void ucXTab::InsertTab(std::int32_t lAfterIndex, std::wstring sCaption) { x_.InsertTab(lAfterIndex, std::move(sCaption)); }
void ucXTab::RemoveTab(std::int32_t lIndex) { x_.RemoveTab(lIndex); }

void ucXTab::AddControl(rt::Control* Ctrl, HWND& lhWnd, std::int32_t lLeft, std::int32_t lTop, std::int32_t lWidth,
                        std::int32_t lHeight, std::int32_t lTabIndex) {
    try {
        if (lTabIndex != -1 && lTabIndex != x_.ActiveTab()) x_.setActiveTab(lTabIndex);
    } catch (const VbError& e) {
        throw e.withSource(L"ucXTab.AddControl");
    }
    safely([&] {
        if (!Ctrl) {
            SetParent(lhWnd, ownWindow_);
            SetWindowPos(lhWnd, nullptr, lLeft, lTop, lWidth, lHeight, SWP_SHOWWINDOW);
            return;
        }
        SetParent(Ctrl->hwnd(), ownWindow_);
        if (lLeft != -1) Ctrl->setProperty(L"Left", static_cast<std::int32_t>(lLeft));
        if (lTop != -1) Ctrl->setProperty(L"Top", static_cast<std::int32_t>(lTop));
        if (lWidth != -1) Ctrl->setProperty(L"Width", static_cast<std::int32_t>(lWidth));
        if (lHeight != -1) Ctrl->setProperty(L"Height", static_cast<std::int32_t>(lHeight));
        Ctrl->setProperty(L"Visible", true);
    });
}

void ucXTab::CopyTabImagesFromImageList(IDispatch* oIml) {
    safely([&] { copyTabImages(x_.s.tabs, [oIml](std::int32_t index) { return imageListPicture(oIml, index); }); });
    x_.refresh();
}

void ucXTab::CopyTabImagesFromImageList(ImageListSource* oIml) {
    safely([&] {
        if (!oIml) return;
        copyTabImages(x_.s.tabs, [oIml](std::int32_t index) -> PictureRef {
            auto p = oIml->ListImagesPicture(index);
            return p ? std::make_shared<GdiTabPicture>(std::move(p)) : nullptr;
        });
    });
    x_.refresh();
}

void ucXTab::RemoveTabImages(std::int32_t Index, bool bRemoveAll) {
    safely([&] { removeTabImages(x_.s.tabs, Index, bRemoveAll); });
    x_.refresh();
}

void ucXTab::DrawImage(HDC lDestHDC, HBITMAP lhBmp, std::uint32_t lTransColor, std::int16_t iLeft, std::int16_t iTop,
                       std::int16_t iWidth, std::int16_t iHeight) {
    drawImage(lDestHDC, lhBmp, lTransColor, iLeft, iTop, iWidth, iHeight);
}

std::wstring ucXTab::ShowFileOpenDialog(HWND lhWndOwner, const std::wstring& sInitDir, const std::wstring& sFilter) {
    return showFileOpenDialog(lhWndOwner, sInitDir, sFilter);
}

void ucXTab::Cls() { surface().cls(); }

void ucXTab::Refresh() { x_.refresh(); }
void ucXTab::DrawTabs() { drawTabs(); }
void ucXTab::DrawTabsTabbedDialog() {
    paint(&XTabPainter::drawTabsTabbedDialog);
}
void ucXTab::DrawTabsPropertyPages() {
    paint(&XTabPainter::drawTabsPropertyPages);
}
void ucXTab::DrawBackgroundTabbedDialog() {
    paint(&XTabPainter::drawBackgroundTabbedDialog);
}
void ucXTab::DrawBackgroundPropertyPages() {
    paint(&XTabPainter::drawBackgroundPropertyPages);
}
void ucXTab::ShowHideFocus() { showHideFocus(); }
void ucXTab::TimerEvent() { x_.TimerEvent(); }
HDC ucXTab::hDC() { return surface().hdc(); }
std::int32_t ucXTab::ScaleWidth() { return toInt32(scaleWidth()); }
std::int32_t ucXTab::ScaleHeight() { return toInt32(scaleHeight()); }

std::wstring ucXTab::Version(bool bDateTime) {
    const std::wstring v = L"1.0.152";
    return bDateTime ? v + L" (3/11/2007 10:00:26 AM)" : v;
}

bool ucXTab::setProperty(std::wstring_view name, const rt::PropValue& value) {
    if (rt::sameName(name, L"TabCount")) setTabCount(rt::asLong(value));
    else if (rt::sameName(name, L"ActiveTab")) setActiveTab(rt::asLong(value));
    else if (rt::sameName(name, L"TabTheme")) setTabTheme(rt::asLong(value));
    else if (rt::sameName(name, L"TabStyle")) setTabStyle(rt::asLong(value));
    else if (rt::sameName(name, L"TabOffset")) setTabOffset(rt::asLong(value));
    else if (rt::sameName(name, L"ShowFocusRect")) setShowFocusRect(rt::asBool(value));
    else if (rt::sameName(name, L"UseControlBox")) setUseControlBox(rt::asBool(value));
    else if (rt::sameName(name, L"Enabled")) setEnabled(rt::asBool(value));
    else return rt::UserControl::setProperty(name, value);
    return true;
}

}  // namespace kelva::tabctl
