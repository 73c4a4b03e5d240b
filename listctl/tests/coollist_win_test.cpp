#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/errors.h"
#include "core/tests/checks.h"
#include "listctl/coollist.h"
#include "runtime/form.h"
#include "runtime/gdi.h"
#include "runtime/tests/fake_dispatch.h"
#include "runtime/tests/win_support.h"

using namespace kelva;
using namespace kelva::lst;
using namespace kelva::testing;
using com::ComPtr;

namespace {

// A form hosting one list (as the editor hosts lstKelva: 1575 x 3630 twips) and a text box to
// take the focus away; every event the list raises is logged in order.
struct ListHost {
    rt::Form form{testForm(L"list test", {600, 600, 6000, 6000}, 0xF0F0F0)};
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
        showAndActivate(form);
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

void CALLBACK releaseButton(HWND w, UINT, UINT_PTR id, DWORD) {
    KillTimer(w, id);
    PostMessageW(w, WM_LBUTTONUP, 0, pointParam(10, 10));
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

TEST(CoolListWin, HeightSnapsToWholeRowsAndScrollBarAppears) {
    ListHost h;
    const int rh = h.list.rowHeight();
    const SIZE inner = h.list.clientPixels();
    EXPECT_EQ(inner.cy % rh, 0);
    EXPECT_EQ(h.list.visibleRows(), inner.cy / rh);
    h.fill(h.list.visibleRows());
    EXPECT_FALSE(IsWindowVisible(h.list.scrollBarWindow()));
    EXPECT_EQ(h.list.geometry().barWidth, 0);
    h.list.AddItem(L"one more");
    EXPECT_TRUE(IsWindowVisible(h.list.scrollBarWindow()));
    EXPECT_EQ(h.list.geometry().barWidth, 13);
    h.list.setScrollBarWidth(5);
    EXPECT_EQ(h.list.ScrollBarWidth(), 9);
    h.list.setScrollBarWidth(500);
    EXPECT_EQ(h.list.ScrollBarWidth(), inner.cx / 2);
    RECT r;
    GetWindowRect(h.list.scrollBarWindow(), &r);
    EXPECT_EQ(r.right - r.left, inner.cx / 2);
}

TEST(CoolListWin, KeysFocusAndKeyEvents) {
    ListHost h;
    h.fill(30);
    SetFocus(h.list.hwnd());
    h.key(VK_DOWN);  // no current item: nothing moves, the event still comes
    EXPECT_EQ(h.list.ListIndex(), -1);
    EXPECT_EQ(h.log, (std::vector<std::string>{"KeyDown40", "KeyUp40"}));
    h.list.setListIndex(0);
    h.log.clear();
    h.key(VK_NEXT);
    EXPECT_EQ(h.list.ListIndex(), h.list.visibleRows());
    h.key(VK_END);
    EXPECT_EQ(h.list.ListIndex(), 29);
    EXPECT_EQ(h.list.TopIndex(), 30 - h.list.visibleRows());
    h.log.clear();
    SendMessageW(h.list.hwnd(), WM_KEYDOWN, VK_SPACE, 0);
    SendMessageW(h.list.hwnd(), WM_CHAR, L' ', 0);
    EXPECT_EQ(h.log, (std::vector<std::string>{"Click", "KeyDown32", "KeyPress32"}));
    EXPECT_TRUE(h.list.model().hasFocus());
    SetFocus(h.other.hwnd());
    EXPECT_FALSE(h.list.model().hasFocus());
}

TEST(CoolListWin, WheelAndScrollBarScroll) {
    ListHost h;
    h.fill(40);
    SetFocus(h.list.hwnd());
    SendMessageW(h.list.hwnd(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
    UINT lines = 3;
    SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    EXPECT_EQ(h.list.TopIndex(), static_cast<int>(lines));
    EXPECT_EQ(h.log, (std::vector<std::string>{"Scroll", "TopIndexChange"}));
    SendMessageW(h.list.hwnd(), WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA * 5), 0);
    EXPECT_EQ(h.list.TopIndex(), 0);
    h.log.clear();
    HWND sb = h.list.scrollBarWindow();
    SendMessageW(h.list.hwnd(), WM_VSCROLL, SB_LINEDOWN, reinterpret_cast<LPARAM>(sb));
    SendMessageW(h.list.hwnd(), WM_VSCROLL, SB_PAGEDOWN, reinterpret_cast<LPARAM>(sb));
    EXPECT_EQ(h.list.TopIndex(), 1 + h.list.visibleRows());
    EXPECT_EQ(GetScrollPos(sb, SB_CTL), h.list.TopIndex());
    SendMessageW(h.list.hwnd(), WM_VSCROLL, SB_BOTTOM, reinterpret_cast<LPARAM>(sb));
    EXPECT_EQ(h.list.TopIndex(), 40 - h.list.visibleRows());
    // Clicking row 0 now picks the item at the top index.
    h.click(0);
    EXPECT_EQ(h.list.ListIndex(), 40 - h.list.visibleRows());
}

TEST(CoolListWin, RightButtonSelectsNothingButDragSelects) {
    ListHost h;
    h.fill(5);
    SendMessageW(h.pic(), WM_RBUTTONDOWN, MK_RBUTTON, pointParam(10, h.rowY(1)));
    EXPECT_EQ(h.list.ListIndex(), -1);
    SendMessageW(h.pic(), WM_MOUSEMOVE, MK_RBUTTON, pointParam(10, h.rowY(2)));
    EXPECT_EQ(h.list.ListIndex(), 2);
    SendMessageW(h.pic(), WM_RBUTTONUP, 0, pointParam(10, h.rowY(2)));
    EXPECT_EQ(h.log.front(), "MouseDown2");
}

TEST(CoolListWin, AutoScrollRunsWhileTheButtonIsHeldBelow) {
    ListHost h;
    h.fill(60);
    const int last = h.list.visibleRows() - 1;
    SendMessageW(h.pic(), WM_LBUTTONDOWN, MK_LBUTTON, pointParam(10, h.rowY(last)));
    ASSERT_EQ(h.list.ListIndex(), last);
    // The loop runs inside the move below; a timer lets go of the button after a while.
    SetTimer(h.pic(), 77, 400, releaseButton);
    const int below = h.list.picList().clientPixels().cy + 30;  // 40 ms a step
    // The real mouse stands where the moves say it is: a window that another program opens meanwhile
    // makes the system send a move from the real position, which would end the drag over the list.
    POINT at{10, below};
    ClientToScreen(h.pic(), &at);
    SetCursorPos(at.x, at.y);
    SendMessageW(h.pic(), WM_MOUSEMOVE, MK_LBUTTON, pointParam(10, below));
    EXPECT_FALSE(h.list.model().buttonHeld());
    // 400 ms at one step each 40 ms: some steps, each scrolling the new item into view.
    EXPECT_GT(h.list.ListIndex(), last + 2);
    EXPECT_LT(h.list.ListIndex(), last + 20);
    EXPECT_EQ(h.list.TopIndex(), h.list.ListIndex() - last);
}

TEST(CoolListWin, InPlaceEditSavesWithEnterAndCancelsOtherwise) {
    ListHost h;
    h.fill(5);
    h.list.StartEdit();  // no current item
    EXPECT_FALSE(h.list.editing());
    h.list.setListIndex(1);
    h.list.StartEdit();
    ASSERT_TRUE(h.list.editing());
    HWND e = h.list.editWindow();
    EXPECT_TRUE(IsWindowVisible(e));
    EXPECT_EQ(GetFocus(), e);
    DWORD s = 0, en = 0;
    SendMessageW(e, EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&en));
    EXPECT_EQ(s, 0u);
    EXPECT_EQ(en, 4u);
    SendMessageW(e, WM_CHAR, L'새', 0);  // replaces the selected text
    SendMessageW(e, WM_CHAR, 13, 0);
    EXPECT_FALSE(h.list.editing());
    EXPECT_FALSE(IsWindowVisible(e));
    EXPECT_EQ(h.list.ItemText(1), L"새");
    EXPECT_EQ(GetFocus(), h.list.hwnd());
    // Escape, then EndEdit(True): nothing changes
    h.list.StartEdit();
    SendMessageW(e, WM_CHAR, L'x', 0);
    SendMessageW(e, WM_CHAR, 27, 0);
    h.list.EndEdit(true);
    EXPECT_EQ(h.list.ItemText(1), L"새");
    // Focus elsewhere keeps the old text; so does a ListIndex assignment or a scroll
    h.list.StartEdit();
    SendMessageW(e, WM_CHAR, L'y', 0);
    SetFocus(h.other.hwnd());
    EXPECT_FALSE(h.list.editing());
    EXPECT_EQ(h.list.ItemText(1), L"새");
    h.list.StartEdit();
    h.list.setListIndex(2);
    EXPECT_FALSE(h.list.editing());
    h.list.setListIndex(1);
    h.list.StartEdit();
    SendMessageW(e, WM_CHAR, L'z', 0);
    h.list.EndEdit(true);
    EXPECT_EQ(h.list.ItemText(1), L"z");
}

TEST(CoolListWin, EditBoxLiesOverTheTextAndTakesTheRowColours) {
    ListHost h;
    h.fill(5);
    h.list.setBackSelected(0x0000FF);
    h.list.setFontSelected(0xFFFFFF);
    h.list.setAlignment(1);
    h.list.setListIndex(2);
    h.list.StartEdit();
    HWND e = h.list.editWindow();
    RECT r;
    GetWindowRect(e, &r);
    MapWindowPoints(nullptr, h.list.hwnd(), reinterpret_cast<POINT*>(&r), 2);
    const Rect want = editBoxRect(h.list.geometry(), 2, true, h.list.rowHeight());
    EXPECT_EQ(r.left, want.left);
    EXPECT_EQ(r.top, want.top);
    EXPECT_EQ(r.right, want.right);
    EXPECT_TRUE(GetWindowLongW(e, GWL_STYLE) & ES_CENTER);
    pump(20);
    Capture c(e);
    EXPECT_EQ(c.at(c.width() - 2, c.height() / 2), 0x0000FFu);  // the selected back colour
    h.list.EndEdit(false);
    h.list.setSelectModeStyle(5);  // underline: the normal colours
    h.list.StartEdit();
    pump(20);
    Capture c5(e);
    EXPECT_EQ(c5.at(c5.width() - 2, c5.height() / 2), rt::toColorRef(0x80000005));
    h.list.EndEdit(false);
}

namespace {
// The colour at the right end of a row, clear of its text.
std::uint32_t rowColour(ListHost& h, int row, int dx = 4) {
    Capture c(h.pic());
    return c.at(h.list.geometry().width - h.list.geometry().barWidth - dx, h.rowY(row));
}
}  // namespace

TEST(CoolListWin, SelectionStylesPaintTheirLook) {
    ListHost h;
    h.fill(6);
    h.list.setBackNormal(0xFFFFFF);
    h.list.setBackSelected(0xC08000);
    h.list.setBackSelectedG1(0x0000FF);
    h.list.setBackSelectedG2(0x00FF00);
    h.list.setBoxBorder(0x000000);
    h.list.setListIndex(1);
    SetFocus(h.other.hwnd());
    EXPECT_EQ(rowColour(h, 0), 0xFFFFFFu);
    EXPECT_EQ(rowColour(h, 1), 0xC08000u);  // style 0: filled
    h.list.setSelectModeStyle(1);          // tinted: white AND the colour
    EXPECT_EQ(rowColour(h, 1), 0xC08000u);
    h.list.setBackNormal(0x0F0F0F);
    EXPECT_EQ(rowColour(h, 1), 0x0F0F0Fu & 0xC08000u);
    h.list.setBackNormal(0xFFFFFF);
    h.list.setSelectModeStyle(2);  // vertical gradient: red at the top, green at the bottom
    {
        Capture c(h.pic());
        const int x = 30, top = h.list.rowHeight(), bottom = 2 * h.list.rowHeight() - 1;
        EXPECT_GT(c.at(x, top) & 0xFF, 0xC0u);
        EXPECT_GT((c.at(x, bottom) >> 8) & 0xFF, 0xC0u);
        c.save(L"coollist_gradient_v");
    }
    h.list.setSelectModeStyle(3);  // horizontal: red at the left, green at the right
    {
        Capture c(h.pic());
        const int y = h.rowY(1);
        EXPECT_GT(c.at(1, y) & 0xFF, 0xC0u);
        EXPECT_GT((c.at(h.list.geometry().width - 2, y) >> 8) & 0xFF, 0xC0u);
    }
    h.list.setSelectModeStyle(4);  // a box inside the row, the border colour at its edge
    h.list.setBoxOffset(2);
    {
        Capture c(h.pic());
        const int y = h.rowY(1);
        EXPECT_EQ(c.at(0, y), 0xFFFFFFu);
        EXPECT_EQ(c.at(2, y), 0x000000u);
        EXPECT_EQ(c.at(h.list.geometry().width - 6, y), 0xC08000u);
        c.save(L"coollist_roundbox");
    }
    h.list.setBoxOffset(100);  // more than half a row: ignored
    EXPECT_EQ(h.list.BoxOffset(), 2);
    h.list.setSelectModeStyle(5);
    EXPECT_EQ(rowColour(h, 1), 0xFFFFFFu);
    h.list.setSelectModeStyle(6);  // no picture: as style 0
    EXPECT_EQ(rowColour(h, 1), 0xC08000u);
    std::vector<std::uint8_t> px(4 * 4 * 4, 0);
    for (std::size_t i = 0; i < px.size(); i += 4) px[i + 1] = 0x80;  // green
    h.list.setSelectionPicture(rt::Picture::fromPixels(4, 4, px));
    EXPECT_EQ(rowColour(h, 1), 0x008000u);
}

TEST(CoolListWin, FocusBoxAndScreenshot) {
    ListHost h;
    h.fill(12);
    h.list.setBackNormal(0xFFFFFF);
    h.list.setListIndex(3);
    SetFocus(h.other.hwnd());
    const auto without = Capture(h.pic()).at(0, 3 * h.list.rowHeight());
    SetFocus(h.list.hwnd());
    Capture with(h.pic());
    EXPECT_NE(with.at(0, 3 * h.list.rowHeight()), without);
    h.list.setFocus(true);  // drawing the box again keeps it
    EXPECT_EQ(Capture(h.pic()).at(0, 3 * h.list.rowHeight()), with.at(0, 3 * h.list.rowHeight()));
    h.list.setFocus(false);
    EXPECT_EQ(Capture(h.pic()).at(0, 3 * h.list.rowHeight()), without);
    h.list.setFocus(true);
    Capture(h.list.hwnd()).save(L"coollist_focus");
}

TEST(CoolListWin, PropertyBagRoundTripAndStoredItemHeight) {
    rt::PropertyBag bag;
    {
        ListHost h;
        h.list.setAlignment(2);
        h.list.setBackSelected(0x123456);
        h.list.setSelectModeStyle(4);
        h.list.setWordWrap(false);
        h.list.setHoverSelection(true);
        h.list.setSelectMode(1);
        h.list.setOrderType(1);
        h.list.setMousePointer(2);
        auto f = std::make_shared<rt::Font>(rt::FontDesc{L"Verdana", 14, true});
        h.list.setFont(f);
        h.list.setItemHeightAuto(false);
        h.list.setItemHeight(40);
        EXPECT_EQ(h.list.rowHeight(), 40);
        EXPECT_EQ(errorOf([&] { h.list.setAlignment(3); }), err::InvalidPropertyValue);
        EXPECT_EQ(h.list.Alignment(), 2);
        h.list.save(bag);
    }
    ListHost h(&bag);
    EXPECT_EQ(h.list.Alignment(), 2);
    EXPECT_EQ(h.list.BackSelected(), 0x123456u);
    EXPECT_EQ(h.list.SelectModeStyle(), 4);
    EXPECT_FALSE(h.list.WordWrap());
    EXPECT_TRUE(h.list.HoverSelection());
    EXPECT_EQ(h.list.SelectMode(), 1);
    EXPECT_EQ(h.list.OrderType(), 1);
    EXPECT_EQ(h.list.MousePointer(), 2);
    EXPECT_EQ(h.list.Font()->desc().name, L"Verdana");
    EXPECT_TRUE(h.list.Font()->desc().bold);
    EXPECT_EQ(h.list.rowHeight(), 40);
    EXPECT_EQ(h.list.ListIndex(), -1);
    // A stored item height below the font's line loads as the line.
    rt::PropertyBag small;
    small.write(L"ItemHeight", std::int32_t{3});
    small.write(L"ItemHeightAuto", false);
    ListHost s(&small);
    EXPECT_GT(s.list.ItemHeight(), 3);
    EXPECT_EQ(s.list.ItemHeight(), s.list.rowHeight());
    // A new control saves nothing beyond the defaults.
    ListHost fresh;
    rt::PropertyBag none;
    fresh.list.save(none);
    EXPECT_TRUE(none.empty()) << rt::asString(rt::PropValue(none.entries().front().name));
}

namespace {

// An image list reached by member name, as the list expects one: ImageHeight, ListImages(i).Draw
// and Parent.ScaleMode. Image i draws a 6 x 6 square of its colour; only images 1 and 2 exist.
ComPtr<FakeDispatch> imageList() {
    auto image = [](int index) {
        auto image = FakeDispatch::make();
        image->member(L"Draw", [index](const DISPPARAMS& args, com::Variant&) {
            if (args.cArgs != 4) return DISP_E_BADPARAMCOUNT;
            const auto dc = FakeDispatch::number(args, 0), x = FakeDispatch::number(args, 1),
                       y = FakeDispatch::number(args, 2);
            if (!dc || !x || !y) return DISP_E_TYPEMISMATCH;
            const int left = static_cast<int>(*x), top = static_cast<int>(*y);
            RECT r{left, top, left + 6, top + 6};
            rt::BrushPtr b(CreateSolidBrush(index == 1 ? RGB(255, 0, 0) : RGB(0, 255, 0)));
            FillRect(reinterpret_cast<HDC>(static_cast<std::intptr_t>(*dc)), &r, b.get());
            return S_OK;
        });
        return image;
    };
    auto images = [image] {
        auto images = FakeDispatch::make();
        images->member(L"Item", [image](const DISPPARAMS& args, com::Variant& result) {
            if (args.cArgs != 1) return DISP_E_BADPARAMCOUNT;
            const auto i = FakeDispatch::number(args, 0);
            if (!i || *i < 1 || *i > 2) return DISP_E_BADINDEX;
            result = com::Variant::fromDispatch(image(static_cast<int>(*i)).get());
            return S_OK;
        });
        return images;
    };
    auto container = [] {
        auto container = FakeDispatch::make();
        container->property(L"ScaleMode", com::Variant::fromInt16(3));
        return container;
    };
    auto list = FakeDispatch::make();
    list->property(L"ImageHeight", com::Variant::fromInt32(6))
        .object(L"ListImages", images)
        .object(L"Parent", container);
    return list;
}

}  // namespace

TEST(CoolListWin, IconsFromAnImageListByMemberName) {
    ListHost h;
    h.list.setBackNormal(0xFFFFFF);
    h.list.AddItem(L"one", 1, 2);
    h.list.AddItem(L"none", 0, 0);
    h.list.AddItem(L"missing", 7, 7);
    const long objects = com::ModuleCounts::objects();
    h.list.SetImageList(imageList().get());
    SetFocus(h.other.hwnd());
    const int rh = h.list.rowHeight();
    Capture c(h.pic());
    EXPECT_EQ(c.at(2, 2), 0x0000FFu);  // image 1 at (ItemOffset, row top + ItemOffset)
    EXPECT_EQ(c.at(2, rh + 2), 0xFFFFFFu);
    EXPECT_EQ(c.at(2, 2 * rh + 2), 0xFFFFFFu);  // no such image: no icon, no error
    h.list.setListIndex(0);                     // selected: IconSelected
    EXPECT_EQ(Capture(h.pic()).at(2, 2), 0x00FF00u);
    h.list.setWordWrap(false);  // centred in the row
    Capture c2(h.pic());
    // Probed left of the text, which starts at ItemTextLeft over the icon.
    EXPECT_EQ(c2.at(0, (rh - 6) / 2), 0x00FF00u);
    EXPECT_EQ(c2.at(0, (rh - 6) / 2 + 5), 0x00FF00u);
    EXPECT_NE(c2.at(0, (rh - 6) / 2 - 1), 0x00FF00u);
    h.list.SetImageList(nullptr);
    EXPECT_NE(Capture(h.pic()).at(0, (rh - 6) / 2), 0x00FF00u);
    EXPECT_EQ(com::ModuleCounts::objects(), objects);  // every object of the image list let go
}

TEST(CoolListWin, HoverDoubleClickAndClear) {
    ListHost h;
    h.fill(8);
    h.list.setBackNormal(0xFFFFFF);
    h.list.setHoverSelection(true);
    for (int row : {0, 1, 1, 3}) SendMessageW(h.pic(), WM_MOUSEMOVE, 0, pointParam(10, h.rowY(row)));
    EXPECT_EQ(h.list.ListIndex(), 3);
    EXPECT_EQ(std::count(h.log.begin(), h.log.end(), "ListIndexChange"), 3);
    h.log.clear();
    SendMessageW(h.pic(), WM_LBUTTONDBLCLK, MK_LBUTTON, pointParam(10, h.rowY(3)));
    SendMessageW(h.pic(), WM_LBUTTONUP, 0, pointParam(10, h.rowY(3)));
    EXPECT_EQ(h.log, (std::vector<std::string>{"DblClick", "MouseUp"}));
    h.log.clear();
    h.list.Clear();
    EXPECT_TRUE(h.log.empty());
    EXPECT_EQ(h.list.ListCount(), 0);
    EXPECT_EQ(Capture(h.pic()).at(h.list.geometry().width - 4, h.rowY(3)), 0xFFFFFFu);
    SendMessageW(h.pic(), WM_LBUTTONDOWN, MK_LBUTTON, pointParam(10, h.rowY(0)));
    SendMessageW(h.pic(), WM_LBUTTONUP, 0, pointParam(10, h.rowY(0)));
    EXPECT_EQ(h.log, (std::vector<std::string>{"MouseDown1", "MouseUp"}));  // no item: no Click
}

TEST(CoolListWin, RemovingItemsRepaintsAndPullsTheScrollBack) {
    ListHost h;
    h.fill(h.list.visibleRows() + 3);
    h.list.setBackNormal(0xFFFFFF);
    h.list.setTopIndex(3);
    h.log.clear();
    h.list.RemoveItem(0);
    EXPECT_EQ(h.list.TopIndex(), 2);
    EXPECT_EQ(h.log, (std::vector<std::string>{"Scroll", "TopIndexChange"}));
    while (h.list.ListCount() > 2) h.list.RemoveItem(0);
    EXPECT_FALSE(IsWindowVisible(h.list.scrollBarWindow()));
    Capture c(h.pic());
    EXPECT_EQ(c.at(c.width() - 3, h.rowY(4)), 0xFFFFFFu);  // cleared below the last item
}

TEST(CoolListWin, AHostileStoredSetNeverGivesInvertedRectangles) {
    rt::PropertyBag bag;
    bag.write(L"ScrollBarWidth", std::int32_t{-30});
    bag.write(L"BoxOffset", std::int32_t{-6});
    bag.write(L"ItemOffset", std::int32_t{400});
    bag.write(L"SelectModeStyle", std::int32_t{77});
    bag.write(L"Alignment", std::int32_t{-2});
    bag.write(L"ItemHeight", std::int32_t{-9});
    bag.write(L"ItemHeightAuto", false);
    ListHost h(&bag);
    const int rh = h.list.rowHeight();
    EXPECT_EQ(h.list.ScrollBarWidth(), 9);
    EXPECT_GE(h.list.BoxOffset(), 0);
    EXPECT_LE(h.list.BoxOffset(), rh / 2);
    EXPECT_EQ(h.list.ItemOffset(), 0);
    EXPECT_EQ(h.list.SelectModeStyle(), 0);
    EXPECT_EQ(h.list.Alignment(), 0);
    EXPECT_GE(h.list.ItemHeight(), rh);
    h.fill(40);
    RECT bar;
    GetWindowRect(h.list.scrollBarWindow(), &bar);
    EXPECT_EQ(bar.right - bar.left, 9);
    h.list.setListIndex(3);
    h.list.StartEdit();
    RECT e;
    GetWindowRect(h.list.editWindow(), &e);
    EXPECT_GT(e.right - e.left, 0);
    EXPECT_GT(e.bottom - e.top, 0);
    h.list.EndEdit(false);
    // The setters refuse the same values.
    EXPECT_EQ(errorOf([&] { h.list.setSelectModeStyle(7); }), err::InvalidPropertyValue);
    EXPECT_EQ(errorOf([&] { h.list.setSelectModeStyle(-1); }), err::InvalidPropertyValue);
    h.list.setBoxOffset(-2);
    h.list.setItemOffset(-2);
    EXPECT_GE(h.list.BoxOffset(), 0);
    EXPECT_EQ(h.list.ItemOffset(), 0);
    // A huge stored width is held to half the list.
    rt::PropertyBag wide;
    wide.write(L"ScrollBarWidth", std::int32_t{30000});
    ListHost w(&wide);
    EXPECT_EQ(w.list.ScrollBarWidth(), w.list.clientPixels().cx / 2);
}

TEST(CoolListWin, StartEditBringsItsItemIntoViewFirst) {
    ListHost h;
    h.fill(30);
    h.list.setListIndex(25);
    h.list.setTopIndex(0);
    ASSERT_FALSE(h.list.model().rowOf(25));
    h.list.StartEdit();
    ASSERT_TRUE(h.list.editing());
    EXPECT_TRUE(h.list.model().rowOf(25));
    EXPECT_EQ(h.list.TopIndex(), 25 - h.list.visibleRows() + 1);
    RECT e, inner;
    GetWindowRect(h.list.editWindow(), &e);
    MapWindowPoints(nullptr, h.list.hwnd(), reinterpret_cast<POINT*>(&e), 2);
    GetClientRect(h.list.hwnd(), &inner);
    EXPECT_GE(e.top, 0);
    EXPECT_LE(e.bottom, inner.bottom);
    EXPECT_EQ(GetFocus(), h.list.editWindow());
    h.list.EndEdit(false);
    // Upward too.
    h.list.setListIndex(2);
    h.list.setTopIndex(static_cast<std::int16_t>(30 - h.list.visibleRows()));
    ASSERT_FALSE(h.list.model().rowOf(2));
    h.list.StartEdit();
    EXPECT_EQ(h.list.TopIndex(), 2);
    h.list.EndEdit(false);
}

TEST(CoolListWin, OrderAndClearCloseAnOpenEditFirst) {
    ListHost h;
    for (const auto* t : {L"다", L"가", L"나"}) h.list.AddItem(t);
    h.list.setListIndex(0);
    h.list.StartEdit();
    SetWindowTextW(h.list.editWindow(), L"바뀜");
    h.list.Order();
    EXPECT_FALSE(h.list.editing());
    EXPECT_FALSE(IsWindowVisible(h.list.editWindow()));
    EXPECT_NE(GetFocus(), h.list.editWindow());
    EXPECT_EQ(h.list.ItemText(0), L"가");  // the edit was not saved into a moved item
    EXPECT_EQ(h.list.ItemText(2), L"다");
    h.list.setListIndex(1);
    h.list.StartEdit();
    h.list.Clear();
    EXPECT_FALSE(h.list.editing());
    EXPECT_FALSE(IsWindowVisible(h.list.editWindow()));
    EXPECT_EQ(h.list.ListCount(), 0);
    // Keys reach the list again.
    h.list.AddItem(L"하나");
    h.list.AddItem(L"둘");
    h.list.setListIndex(0);
    h.key(VK_DOWN);
    EXPECT_EQ(h.list.ListIndex(), 1);
}

namespace {
HWND gCaptureThief = nullptr;
bool gSafetyReleased = false;
void CALLBACK safetyRelease(HWND w, UINT msg, UINT_PTR id, DWORD time) {
    gSafetyReleased = true;
    releaseButton(w, msg, id, time);
}
void CALLBACK stealCapture(HWND w, UINT, UINT_PTR id, DWORD) {
    KillTimer(w, id);
    SetCapture(gCaptureThief);
}
void CALLBACK cancelMode(HWND w, UINT, UINT_PTR id, DWORD) {
    KillTimer(w, id);
    SendMessageW(w, WM_CANCELMODE, 0, 0);
}
void CALLBACK quitProgram(HWND w, UINT, UINT_PTR id, DWORD) {
    KillTimer(w, id);
    PostQuitMessage(5);
}
}  // namespace

TEST(CoolListWin, ADragEndsWhenTheMouseIsTakenAwayOrTheProgramQuits) {
    for (TIMERPROC end : {stealCapture, cancelMode, quitProgram}) {
        ListHost h;
        h.fill(300);
        gCaptureThief = h.other.hwnd();
        const int last = h.list.visibleRows() - 1;
        SendMessageW(h.pic(), WM_LBUTTONDOWN, MK_LBUTTON, pointParam(10, h.rowY(last)));
        SetTimer(h.pic(), 78, 150, end);
        // The button is never released: only the loss of the mouse may end the loop, before this safety
        // release, which only keeps a broken loop from running for ever.
        gSafetyReleased = false;
        SetTimer(h.pic(), 79, 10000, safetyRelease);
        SendMessageW(h.pic(), WM_MOUSEMOVE, MK_LBUTTON, pointParam(10, h.list.picList().clientPixels().cy + 30));
        KillTimer(h.pic(), 79);
        if (end == quitProgram) {
            // The request outlived the loop, for the program's own message loop.
            MSG msg;
            ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
            EXPECT_EQ(msg.wParam, 5u);
        }
        EXPECT_FALSE(gSafetyReleased) << "the loop outlived the loss of the mouse";
        EXPECT_FALSE(h.list.model().buttonHeld());
        const int reached = h.list.ListIndex();
        EXPECT_GT(reached, last);
        pump(100);
        EXPECT_EQ(h.list.ListIndex(), reached);  // nothing runs on afterwards
        ReleaseCapture();
    }
}

TEST(CoolListWin, TheEditBoxIsOneLineThatScrollsSideways) {
    ListHost h;
    h.fill(3);
    h.list.setListIndex(1);
    h.list.StartEdit();
    HWND e = h.list.editWindow();
    const LONG style = GetWindowLongW(e, GWL_STYLE);
    EXPECT_FALSE(style & ES_MULTILINE);
    EXPECT_TRUE(style & ES_AUTOHSCROLL);
    // A text longer than the box is typed on, not cut.
    const std::wstring longText(80, L'가');
    SetWindowTextW(e, longText.c_str());
    SendMessageW(e, EM_SETSEL, 80, 80);
    SendMessageW(e, WM_CHAR, L'끝', 0);
    SendMessageW(e, WM_CHAR, 13, 0);
    EXPECT_EQ(h.list.ItemText(1), longText + L"끝");
    // Ctrl+Enter puts no line break in; pasted line breaks are not stored.
    h.list.StartEdit();
    SendMessageW(e, WM_CHAR, 10, 0);
    EXPECT_TRUE(h.list.editing());
    SetWindowTextW(e, L"첫 줄\r\n둘째 줄\n");
    SendMessageW(e, WM_CHAR, 13, 0);
    EXPECT_EQ(h.list.ItemText(1), L"첫 줄둘째 줄");
}
