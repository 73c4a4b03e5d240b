#include "palette/win/page_tabs.h"

#include "palette/win/fonts.h"
#include "runtime/mouse.h"
#include "runtime/subclass.h"
#include "tabctl/xtab.h"

namespace kelva::palette {

namespace {

std::int32_t ole(std::uint32_t c) { return static_cast<std::int32_t>(c); }

// The design settings that differ from the tab control's defaults.
rt::PropertyBag designBag() {
    rt::PropertyBag bag;
    bag.write(L"TabCount", std::int32_t{6});
    bag.write(L"TabTheme", std::int32_t{2});
    bag.write(L"TabOffset", static_cast<std::int32_t>(kTabOffset));
    bag.write(L"ShowFocusRect", false);
    bag.write(L"ActiveTabBackEndColor", ole(0xC8D0D4));
    bag.write(L"BackColor", ole(0xC8D0D4));
    bag.write(L"DisabledTabBackColor", ole(0xC8D0D4));
    bag.write(L"DisabledTabForeColor", ole(0x80000015));
    bag.write(L"InActiveTabBackStartColor", ole(0x80000016));
    bag.write(L"InActiveTabBackEndColor", ole(0x80000016));
    bag.write(L"TabStripBackColor", ole(0x80000016));
    bag.write(L"ForeColor", ole(0x808080));
    bag.write(L"InActiveTabForeColor", ole(0x808080));
    bag.write(L"BottomRightInnerBorderColor", ole(0x808080));
    bag.write(L"OuterBorderColor", ole(0xFFFFFF));
    bag.write(L"TopLeftInnerBorderColor", ole(0xFFFFFF));
    for (int i = 0; i < 6; ++i) bag.write(L"TabCaption(" + std::to_wstring(i) + L")", L"Tab " + std::to_wstring(i));
    rt::FontDesc font;
    font.name = substituteFace(kDesignHangulFace);
    font.size = 9;
    font.charset = 129;
    font.bold = true;
    bag.write(L"ActiveTabFont", font);
    font.bold = false;
    bag.write(L"InActiveTabFont", font);
    return bag;
}

class XTabPages : public PageTabs {
public:
    XTabPages(rt::Form& form, rt::TwipsRect rect) : tab_(form.add<tabctl::ucXTab>(L"XTab", rect)) {
        tab_.load(designBag());
        tab_.BeforeTabSwitch = [this](std::int16_t, bool& cancel) {
            if (BeforeTabSwitch) BeforeTabSwitch(cancel);
        };
        tab_.KeyDown = [this](std::int16_t& key, std::int16_t& shift) {
            if (KeyDown) KeyDown(key, shift);
        };
        window_ = tab_.hwnd();
        rt::setWindowSubclass(window_, keysProc, 1, reinterpret_cast<DWORD_PTR>(this));
    }
    ~XTabPages() override {
        if (IsWindow(window_)) rt::removeWindowSubclass(window_, keysProc, 1);
    }
    rt::Control& control() override { return tab_; }
    int TabCount() override { return tab_.TabCount(); }
    void setTabCount(int n) override { tab_.setTabCount(n); }
    void setTabCaption(int index, const std::wstring& caption) override { tab_.setTabCaption(index, caption); }
    int ActiveTab() override { return tab_.ActiveTab(); }
    void setActiveTab(int index) override { tab_.setActiveTab(index); }
    void setEnabled(bool on) override { tab_.setEnabled(on); }

private:
    static LRESULT CALLBACK keysProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR self) {
        if (msg != WM_KEYDOWN) return rt::defSubclassProc(h, msg, wParam, lParam);
        auto* me = reinterpret_cast<XTabPages*>(self);
        if (me->KeyArriving) me->KeyArriving(static_cast<int>(wParam), rt::shiftState());
        const LRESULT r = rt::defSubclassProc(h, msg, wParam, lParam);
        if (me->KeyHandled) me->KeyHandled();
        return r;
    }

    tabctl::ucXTab& tab_;
    HWND window_ = nullptr;
};

}  // namespace

std::unique_ptr<PageTabs> createPageTabs(rt::Form& form, rt::TwipsRect rect) {
    return std::make_unique<XTabPages>(form, rect);
}

}  // namespace kelva::palette
