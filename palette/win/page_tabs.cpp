#include "palette/win/page_tabs.h"

#include <commctrl.h>

#include <vector>

#include "runtime/picturebox.h"

namespace kelva::palette {

namespace {

// The pages' container: a strip of tabs (the system's tab control) above the pages.
class TabContainer : public rt::Control {
public:
    const wchar_t* typeName() const override { return L"ucXTab"; }
    HWND strip = nullptr;
    std::function<bool()> changing;  // true cancels
    std::function<void()> changed;
    std::function<void(int, int)> keyDown;

protected:
    HWND createWindow(HWND parent, const RECT& px) override {
        registerWindowClass(L"KelvaPageTabs", 0);
        return createOwnWindow(L"KelvaPageTabs", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS,
                               WS_EX_CONTROLPARENT, parent, px);
    }
    void onCreated() override {
        RECT rc;
        GetClientRect(hwnd(), &rc);
        strip = CreateWindowExW(0, WC_TABCONTROLW, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP, 0, 0,
                                rc.right, 24, hwnd(), nullptr, GetModuleHandleW(nullptr), nullptr);
        SendMessageW(strip, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
        SetWindowSubclass(strip, stripProc, 1, reinterpret_cast<DWORD_PTR>(this));
    }
    void windowDestroyed() override {
        if (strip) RemoveWindowSubclass(strip, stripProc, 1);
    }
    LRESULT wndProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == WM_NOTIFY) {
            const auto* n = reinterpret_cast<const NMHDR*>(lParam);
            if (n->hwndFrom == strip && n->code == TCN_SELCHANGING) return changing && changing() ? TRUE : FALSE;
            if (n->hwndFrom == strip && n->code == TCN_SELCHANGE) {
                if (changed) changed();
                return 0;
            }
        }
        if (msg == WM_ERASEBKGND) {
            RECT rc;
            GetClientRect(hwnd(), &rc);
            FillRect(reinterpret_cast<HDC>(wParam), &rc, GetSysColorBrush(COLOR_BTNFACE));
            return 1;
        }
        return Control::wndProc(msg, wParam, lParam);
    }

private:
    static LRESULT CALLBACK stripProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR self) {
        auto* me = reinterpret_cast<TabContainer*>(self);
        if (msg == WM_GETDLGCODE) return DLGC_WANTARROWS | DLGC_WANTTAB;
        if (msg == WM_KEYDOWN && me->keyDown) {
            const int vk = static_cast<int>(wParam);
            if (vk == VK_TAB || vk == VK_PRIOR || vk == VK_NEXT) {
                me->keyDown(vk, rt::shiftState());
                return 0;
            }
        }
        return DefSubclassProc(h, msg, wParam, lParam);
    }
};

class SystemPageTabs : public PageTabs {
public:
    SystemPageTabs(rt::Form& form, rt::TwipsRect rect) : box_(form.add<TabContainer>(L"XTab", rect)) {
        box_.changing = [this] {
            if (BeforeTabSwitch) BeforeTabSwitch();
            return false;
        };
        box_.changed = [this] { showActive(); };
        box_.keyDown = [this](int key, int shift) {
            if (KeyDown) KeyDown(key, shift);
        };
    }
    rt::Control& control() override { return box_; }
    int TabCount() override { return static_cast<int>(SendMessageW(box_.strip, TCM_GETITEMCOUNT, 0, 0)); }
    void setTabCount(int n) override {
        while (TabCount() < n) {
            std::wstring text = L"Tab " + std::to_wstring(TabCount());
            TCITEMW item{};
            item.mask = TCIF_TEXT;
            item.pszText = text.data();
            SendMessageW(box_.strip, TCM_INSERTITEMW, static_cast<WPARAM>(TabCount()), reinterpret_cast<LPARAM>(&item));
        }
        while (TabCount() > n) SendMessageW(box_.strip, TCM_DELETEITEM, static_cast<WPARAM>(TabCount() - 1), 0);
    }
    void setTabCaption(int index, const std::wstring& caption) override {
        std::wstring text = caption;
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = text.data();
        SendMessageW(box_.strip, TCM_SETITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    }
    int ActiveTab() override { return static_cast<int>(SendMessageW(box_.strip, TCM_GETCURSEL, 0, 0)); }
    void setActiveTab(int index) override {
        if (index == ActiveTab()) {
            showActive();
            return;
        }
        if (BeforeTabSwitch) BeforeTabSwitch();
        SendMessageW(box_.strip, TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
        showActive();
    }
    void setEnabled(bool on) override { EnableWindow(box_.strip, on); }
    void addPage(rt::Control& page, int index) override {
        if (static_cast<std::size_t>(index) >= pages_.size()) pages_.resize(static_cast<std::size_t>(index) + 1);
        pages_[static_cast<std::size_t>(index)] = &page;
        page.setVisible(index == ActiveTab());
    }

private:
    void showActive() {
        const int active = ActiveTab();
        for (std::size_t i = 0; i < pages_.size(); ++i)
            if (pages_[i]) pages_[i]->setVisible(static_cast<int>(i) == active);
    }
    TabContainer& box_;
    std::vector<rt::Control*> pages_;
};

}  // namespace

std::unique_ptr<PageTabs> createPageTabs(rt::Form& form, rt::TwipsRect rect) {
    return std::make_unique<SystemPageTabs>(form, rect);
}

}  // namespace kelva::palette
