#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/errors.h"
#include "listctl/coollist.h"
#include "runtime/form.h"
#include "runtime/gdi.h"
#include "runtime/tests/win_support.h"

using namespace kelva;
using namespace kelva::lst;
using kelva::testing::Capture;
using kelva::testing::pointParam;
using kelva::testing::pump;

namespace {

rt::FormLayout layout() {
    rt::FormLayout l;
    l.caption = L"list test";
    l.rect = {600, 600, 6000, 6000};
    l.borderless = true;
    l.font = {L"굴림", 9};
    l.backColor = 0xF0F0F0;
    return l;
}

// A form hosting one list (as the editor hosts lstKelva: 1575 x 3630 twips) and a text box to
// take the focus away; every event the list raises is logged in order.
struct ListHost {
    rt::Form form{layout()};
    CoolList& list;
    rt::StdControl& other;
    std::vector<std::string> log;

    explicit ListHost(const rt::PropertyBag* bag = nullptr, rt::TwipsRect r = {120, 120, 1575, 3630})
        : list(form.add<CoolList>(L"lstKelva", r)),
          other(form.add<rt::StdControl>(L"txtOther", {3000, 120, 1500, 300}, nullptr, rt::StdControl::Kind::TextBox)) {
        if (bag) list.load(*bag);
        else list.initNew();
        list.Click = [this] { log.push_back("Click"); };
        list.DblClick = [this] { log.push_back("DblClick"); };
        list.ListIndexChange = [this] { log.push_back("ListIndexChange"); };
        list.Scroll = [this] { log.push_back("Scroll"); };
        list.TopIndexChange = [this] { log.push_back("TopIndexChange"); };
        list.MouseDown = [this](rt::MouseArgs& a) { log.push_back("MouseDown" + std::to_string(a.button)); };
        list.MouseUp = [this](rt::MouseArgs&) { log.push_back("MouseUp"); };
        list.KeyDown = [this](std::int16_t& k, std::int16_t&) { log.push_back("KeyDown" + std::to_string(k)); };
        list.KeyPress = [this](std::int16_t& k) { log.push_back("KeyPress" + std::to_string(k)); };
        list.KeyUp = [this](std::int16_t& k, std::int16_t&) { log.push_back("KeyUp" + std::to_string(k)); };
        form.show();
        SetForegroundWindow(form.hwnd());
        SetActiveWindow(form.hwnd());
        pump(20);
    }
    void fill(int n) {
        for (int i = 0; i < n; ++i) list.AddItem(L"항목 " + std::to_wstring(i));
    }
    HWND pic() { return list.picList().hwnd(); }
    int rowY(int row) { return row * list.rowHeight() + list.rowHeight() / 2; }
    void click(int row, int x = 10) {
        SendMessageW(pic(), WM_LBUTTONDOWN, MK_LBUTTON, pointParam(x, rowY(row)));
        SendMessageW(pic(), WM_LBUTTONUP, 0, pointParam(x, rowY(row)));
    }
    void key(WPARAM vk) {
        SendMessageW(list.hwnd(), WM_KEYDOWN, vk, 0);
        SendMessageW(list.hwnd(), WM_KEYUP, vk, 0);
    }
};

int errorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const VbError& e) {
        return e.number();
    }
    return 0;
}

}  // namespace

TEST(CoolListWin, HostUseAddItemListIndexAndClick) {
    ListHost h;
    const wchar_t* names[] = {L"그리기", L"수정", L"치수", L"문자"};
    for (const auto* n : names) h.list.AddItem(n);
    h.list.setListIndex(0);  // the host's start: no Click
    EXPECT_EQ(h.log, std::vector<std::string>{"ListIndexChange"});
    h.log.clear();
    h.click(2);
    EXPECT_EQ(h.list.ListIndex(), 2);
    EXPECT_EQ(GetFocus(), h.list.hwnd());
    EXPECT_EQ(h.log, (std::vector<std::string>{"ListIndexChange", "MouseDown1", "MouseUp", "Click"}));
    EXPECT_TRUE(h.list.ItemSelected(2));
    EXPECT_FALSE(h.list.ItemSelected(0));
    h.list.setItemSelected(1, true);
    EXPECT_EQ(h.list.ListIndex(), 1);
    EXPECT_EQ(h.list.SelectedCount(), 1);
    EXPECT_EQ(errorOf([&] { h.list.setListIndex(4); }), err::InvalidPropertyValue);
}
