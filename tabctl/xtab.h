#pragma once
// ucXTab: the themed tab container. Pages are the controls placed on it, parked sideways by
// TabOffset while their tab is hidden. The window wires messages, the surface and the platform to
// the logic (xtab_logic) and paints through the painters (xtab_paint) on a GDI canvas.
#include <oaidl.h>

#include <functional>
#include <memory>
#include <string>

#include "controls/subclass.h"
#include "runtime/font.h"
#include "runtime/picture.h"
#include "runtime/usercontrol.h"
#include "tabctl/xtab_logic.h"
#include "tabctl/gdi_canvas.h"
#include "tabctl/xtab_theme.h"

namespace kelva::tabctl {

// GdiTabPicture, the window side's tab picture, is declared with the canvas that draws it.

// The platform answers the control asks for, replaceable so tests can play another system: whether
// a module exports a function (the mouse-leave request), the version test and the visual-style name.
struct XTabPlatform {
    std::function<bool(const char* function, const char* module)> isExported;
    std::function<bool()> isWinXP;
    ThemeNameQuery themeName;  // GetCurrentThemeName
};
XTabPlatform& xtabPlatform();

// An image list reached by member name: ListImages(index from 1).Picture; nothing when there is no
// such image.
struct ImageListSource {
    virtual ~ImageListSource() = default;
    virtual std::shared_ptr<rt::Picture> ListImagesPicture(std::int32_t index) = 0;
};

class ucXTab : public rt::UserControl, public ctl::SubclassOwner, public XTabEvents, private XTabHost {
public:
    ucXTab();
    ~ucXTab() override;
    const wchar_t* typeName() const override { return L"ucXTab"; }

    // The message callback: stays the first public member.
    void zSubclass_Proc(bool bBefore, bool& bHandled, LRESULT& lReturn, HWND& lng_hWnd, UINT& uMsg, WPARAM& wParam,
                        LPARAM& lParam) override;

    // ---- colours ----
    std::uint32_t ActiveTabBackEndColor() const { return x_.s.ActiveTabBackEndColor; }
    void setActiveTabBackEndColor(std::uint32_t c);
    std::uint32_t ActiveTabBackStartColor() const { return x_.s.ActiveTabBackStartColor; }
    void setActiveTabBackStartColor(std::uint32_t c);
    std::uint32_t ActiveTabForeColor() const { return x_.s.ActiveTabForeColor; }
    void setActiveTabForeColor(std::uint32_t c);
    std::uint32_t BottomRightInnerBorderColor() const { return x_.s.BottomRightInnerBorderColor; }
    void setBottomRightInnerBorderColor(std::uint32_t c);
    std::uint32_t DisabledTabBackColor() const { return x_.s.DisabledTabBackColor; }
    void setDisabledTabBackColor(std::uint32_t c);
    std::uint32_t DisabledTabForeColor() const { return x_.s.DisabledTabForeColor; }
    void setDisabledTabForeColor(std::uint32_t c);
    std::uint32_t FocusedColor() const { return x_.s.FocusedColor; }
    void setFocusedColor(std::uint32_t c);
    std::uint32_t ForeColor() const { return x_.s.ForeColor; }
    void setForeColor(std::uint32_t c);
    std::uint32_t BackColor() const { return x_.s.BackColor; }
    void setBackColor(std::uint32_t c);
    std::uint32_t HoverColor() const { return x_.s.HoverColor; }
    void setHoverColor(std::uint32_t c);
    std::uint32_t InActiveTabBackEndColor() const { return x_.s.InActiveTabBackEndColor; }
    void setInActiveTabBackEndColor(std::uint32_t c);
    std::uint32_t InActiveTabBackStartColor() const { return x_.s.InActiveTabBackStartColor; }
    void setInActiveTabBackStartColor(std::uint32_t c);
    std::uint32_t InActiveTabForeColor() const { return x_.s.InActiveTabForeColor; }
    void setInActiveTabForeColor(std::uint32_t c);
    std::uint32_t OuterBorderColor() const { return x_.s.OuterBorderColor; }
    void setOuterBorderColor(std::uint32_t c);
    std::uint32_t PictureMaskColor() const { return x_.s.PictureMaskColor; }
    void setPictureMaskColor(std::uint32_t c);
    std::uint32_t TabStripBackColor() const { return x_.s.TabStripBackColor; }
    void setTabStripBackColor(std::uint32_t c);
    std::uint32_t TopLeftInnerBorderColor() const { return x_.s.TopLeftInnerBorderColor; }
    void setTopLeftInnerBorderColor(std::uint32_t c);
    bool UseFocusedColor() const { return x_.s.UseFocusedColor; }
    void setUseFocusedColor(bool v);
    bool UseMaskColor() const { return x_.s.UseMaskColor; }
    void setUseMaskColor(bool v);
    std::uint32_t GetRGBFromOLE(std::uint32_t lOleColor);
    bool IsWinXP();
    std::wstring GetThemeInfo();
    void ResetColorsToDefault();
    void ResetAllColors();

    // ---- fonts, sizes, style ----
    FontRef ActiveTabFont() const { return x_.s.ActiveTabFont; }
    void setActiveTabFont(FontRef f);
    FontRef InActiveTabFont() const { return x_.s.InActiveTabFont; }
    void setInActiveTabFont(FontRef f);
    void setFont(std::shared_ptr<rt::Font> f);  // the surface's font: no repaint, not stored
    std::int32_t ActiveTabHeight() const { return x_.s.ActiveTabHeight; }
    void setActiveTabHeight(std::int32_t v);
    std::int32_t InActiveTabHeight() const { return x_.s.InActiveTabHeight; }
    void setInActiveTabHeight(std::int32_t v);
    std::int32_t PictureAlign() const { return x_.s.PictureAlign; }
    void setPictureAlign(std::int32_t v);
    std::int32_t PictureSize() const { return x_.s.PictureSize; }
    void setPictureSize(std::int32_t v);
    std::int32_t TabStyle() const { return x_.s.TabStyle; }
    void setTabStyle(std::int32_t v);
    std::int32_t TabTheme() const { return x_.s.TabTheme; }
    void setTabTheme(std::int32_t v);
    bool UseThemeDetection() const { return x_.s.UseThemeDetection; }
    void setUseThemeDetection(bool v);
    std::int32_t XRadius() const { return x_.s.XRadius; }
    void setXRadius(std::int32_t v);
    std::int32_t YRadius() const { return x_.s.YRadius; }
    void setYRadius(std::int32_t v);
    bool Enabled() const;
    void setEnabled(bool v) override;
    bool enabled() const override { return x_.s.Enabled; }
    bool ShowFocusRect() const { return x_.s.ShowFocusRect; }
    void setShowFocusRect(bool v);
    bool UseControlBox() const { return x_.s.UseControlBox; }
    void setUseControlBox(bool v);
    bool UseMouseWheelScroll() const { return x_.s.UseMouseWheelScroll; }
    void setUseMouseWheelScroll(bool v);

    // ---- tabs ----
    std::int32_t ActiveTab() const { return x_.ActiveTab(); }
    void setActiveTab(std::int32_t n);
    std::int32_t LastActiveTab() const { return x_.LastActiveTab(); }
    std::int32_t TabCount() const { return x_.TabCount(); }
    void setTabCount(std::int32_t n);
    std::wstring TabCaption(std::int32_t iTabIndex) const { return x_.TabCaption(iTabIndex); }
    void setTabCaption(std::int32_t iTabIndex, std::wstring sTabCaption);
    bool TabEnabled(std::int32_t lTabIndex) const { return x_.TabEnabled(lTabIndex); }
    void setTabEnabled(std::int32_t lTabIndex, bool v);
    std::int32_t TabOffset() const { return x_.TabOffset(); }
    void setTabOffset(std::int32_t lOffset);
    std::shared_ptr<rt::Picture> TabPicture(std::int32_t lTabIndex) const;
    void setTabPicture(std::int32_t lTabIndex, std::shared_ptr<rt::Picture> oTabPicture);
    void InsertTab(std::int32_t lAfterIndex, std::wstring sCaption = L"NewTab");
    void RemoveTab(std::int32_t lIndex);
    // Ctrl may be null: then the window lhWnd is placed. -1 leaves a number as it is.
    void AddControl(rt::Control* Ctrl, HWND& lhWnd, std::int32_t lLeft, std::int32_t lTop, std::int32_t lWidth,
                    std::int32_t lHeight, std::int32_t lTabIndex);

    // ---- pictures ----
    void CopyTabImagesFromImageList(ImageListSource* oIml);
    // The same from an image-list component reached by member name (ListImages(i).Picture).
    void CopyTabImagesFromImageList(IDispatch* oIml);
    void RemoveTabImages(std::int32_t Index, bool bRemoveAll);
    void DrawImage(HDC lDestHDC, HBITMAP lhBmp, std::uint32_t lTransColor, std::int16_t iLeft, std::int16_t iTop,
                   std::int16_t iWidth, std::int16_t iHeight);
    std::wstring ShowFileOpenDialog(HWND lhWndOwner, const std::wstring& sInitDir, const std::wstring& sFilter);
    void Cls();

    // ---- painting ----
    void Refresh();
    void DrawTabs();
    void DrawTabsTabbedDialog();
    void DrawTabsPropertyPages();
    void DrawBackgroundTabbedDialog();
    void DrawBackgroundPropertyPages();
    void ShowHideFocus();
    void TimerEvent();
    HDC hDC();
    std::int32_t ScaleWidth();
    std::int32_t ScaleHeight();
    static std::wstring Version(bool bDateTime);

    // ---- for tests, screenshots and the host's own checks ----
    const XTabState& state() const { return x_.s; }
    XTabLogic& logic() { return x_; }
    const ctl::SubclassEngine& engine() const { return engine_; }
    HWND parentWindow() const { return parentWindow_; }
    bool setProperty(std::wstring_view name, const rt::PropValue& value) override;

protected:
    void onCreated() override;
    void initProperties() override;
    void readProperties(const rt::PropertyBag& bag) override;
    void writeProperties(rt::PropertyBag& bag) override;
    void onShow() override;
    void onResize() override;
    void onPaint() override;
    void onTerminate() override;
    void onMouseDown(const rt::MouseArgs& a) override;
    void onMouseUp(const rt::MouseArgs& a) override;
    void onMouseMove(const rt::MouseArgs& a) override;
    void onClick() override;
    void onDblClick() override;
    void onKeyDown(int key, int shift) override;
    void onKeyUp(int key, int shift) override;
    void onGotFocus() override;
    void onLostFocus() override;
    void onAccessKeyPress(wchar_t key) override;
    LRESULT wndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void windowDestroyed() override;

private:
    // XTabHost
    void propertyChanged(std::wstring_view name) override { rt::UserControl::propertyChanged(name); }
    bool userMode() override;
    std::uint32_t ambientBackColor() override;
    rt::FontDesc ambientFont() override;
    void setAccessKeys(std::wstring keys) override { rt::UserControl::setAccessKeys(std::move(keys)); }
    bool autoRedraw() override { return rt::SurfaceControl::autoRedraw(); }
    void setAutoRedraw(bool on) override { rt::SurfaceControl::setAutoRedraw(on); }
    void setSurfaceEnabled(bool on) override;
    void refreshSurface() override { rt::SurfaceControl::refresh(); }
    void lockWindowUpdate(bool lock) override;
    int containedCount() override;
    std::uintptr_t containedId(int i) override;
    bool containedLeft(int i, double& left) override;
    bool setContainedLeft(int i, double left) override;
    double visibleWidth() override;
    void drawMe() override;
    void drawBackground() override;
    void drawTabs() override;
    void drawControlBox(int state, int tab) override;
    void drawHover(int tab) override;
    void drawOverXOred() override;
    void showHideFocus() override;
    void resetColorsToDefault() override;
    bool themeDetectedNone() override;
    bool isWinXP() override { return IsWinXP(); }
    void setHoverTimer(bool on) override;
    void trackMouseLeave() override;
    Point cursorPos() override;
    PictureRef pictureFromData(const rt::PictureData& data) override;
    rt::PictureData pictureToData(const PictureRef& picture) override;

    template <class F>
    void paint(F&& step);
    void pGetCachedProperties();
    void syncSurfaceColors();
    void startSubclassing();
    void teardown(bool ownWindowGoing = false);
    template <class F>
    void safely(F&& step) noexcept;

    XTabLogic x_{*this, *this};
    ctl::SubclassEngine engine_{*this, ctl::SubclassErrors::Raise};
    HWND ownWindow_ = nullptr;
    HWND parentWindow_ = nullptr;
    int unloadHook_ = 0;
    bool tornDown_ = false;
    std::vector<rt::Control*> contained_;  // snapshot for one walk over the contained controls
};

}  // namespace kelva::tabctl
