// The palette window under Wine, driven by real window messages: start-up from the settings store,
// clicks and keys on the pages with the highlight and preview read back as pixels, double-click to
// the clipboard, the favourites menus, the panel toggle, the options window, the about box and the
// exit. Screenshots of each state go to screenshots/ beside the test program.
#include <gtest/gtest.h>

#include <cstdlib>

#include "acadsim/com/objects.h"
#include "palette/win/about_window.h"
#include "palette/win/char_window.h"
#include "palette/win/option_window.h"
#include "palette/win/palette_controls.h"
#include "palette/win/popup.h"
#include "runtime/gdi.h"
#include "runtime/services.h"
#include "runtime/tests/win_support.h"

using namespace kelva;
using namespace kelva::palette;
using namespace kelva::testing;

namespace {

class PaletteWindow : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        rt::setMessageBoxAnswerer([this](const rt::MessageBoxRequest& r) {
            messages.push_back(r.text);
            EXPECT_EQ(r.title, L"Kelva 특수문자");
            return IDOK;
        });
        setPopupAnswerer([this](const std::vector<std::wstring>& items) {
            menus.push_back(items);
            return menuAnswer;
        });
    }
    void TearDown() override {
        window.reset();
        rt::setMessageBoxAnswerer({});
        setPopupAnswerer({});
        CoUninitialize();
    }
    void open() {
        window = std::make_unique<CharWindow>(store);
        window->findAcad = [] { return com::ComPtr<IDispatch>(); };
        window->Unloaded = [this] { ++unloads; };
        window->show();
        activate(window->form().hwnd(), 30);
    }
    HWND pageWindow(int p) { return window->page(p).hwnd(); }
    // Centre of a page cell in the page's client pixels.
    POINT cellCentre(int cell) {
        const CellMetrics& m = window->charMap().metrics;
        return {((cell - 1) % kColumns) * m.pageW + m.pageW / 2, ((cell - 1) / kColumns) * m.pageH + m.pageH / 2};
    }
    void press(HWND h, POINT at, UINT down, UINT up, WPARAM held) {
        SendMessageW(h, down, held, pointParam(at.x, at.y));
        SendMessageW(h, up, 0, pointParam(at.x, at.y));
    }
    void click(int page, int cell) { press(pageWindow(page), cellCentre(cell), WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON); }
    void doubleClick(int page, int cell) {
        click(page, cell);
        press(pageWindow(page), cellCentre(cell), WM_LBUTTONDBLCLK, WM_LBUTTONUP, MK_LBUTTON);
    }
    void key(HWND h, int vk, bool ctrl = false) {
        if (ctrl) {
            BYTE state[256];
            GetKeyboardState(state);
            state[VK_CONTROL] = 0x80;
            SetKeyboardState(state);
        }
        SendMessageW(h, WM_KEYDOWN, static_cast<WPARAM>(vk), 1);
        if (ctrl) {
            BYTE state[256];
            GetKeyboardState(state);
            state[VK_CONTROL] = 0;
            SetKeyboardState(state);
        }
    }
    // The colour a page shows inside a cell, off its outline and glyph.
    std::uint32_t cellBack(int page, int cell) {
        const CellMetrics& m = window->charMap().metrics;
        Capture c(pageWindow(page));
        return c.at(((cell - 1) % kColumns) * m.pageW + 2, ((cell - 1) / kColumns) * m.pageH + 2);
    }
    // True when the box shows anything besides its background.
    static bool showsSomething(HWND h) {
        Capture c(h);
        const std::uint32_t back = c.at(1, 1);
        for (int y = 0; y < c.height(); ++y)
            for (int x = 0; x < c.width(); ++x)
                if (c.at(x, y) != back) return true;
        return false;
    }
    double heightTwips() {
        RECT r;
        GetWindowRect(window->form().hwnd(), &r);
        return (r.bottom - r.top) * 15.0;
    }
    void clickButton(ctl::XPButton& b) {
        SendMessageW(b.hwnd(), WM_MOUSEMOVE, 0, pointParam(5, 5));
        SendMessageW(b.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, pointParam(5, 5));
        SendMessageW(b.hwnd(), WM_LBUTTONUP, 0, pointParam(5, 5));
        pump(10);
    }

    MemoryStore store;
    std::unique_ptr<CharWindow> window;
    std::vector<std::wstring> messages;
    std::vector<std::vector<std::wstring>> menus;
    int menuAnswer = 1;
    int unloads = 0;
    const std::uint32_t highlight = GetSysColor(COLOR_HIGHLIGHT);
    const std::uint32_t white = GetSysColor(COLOR_WINDOW);
};

}  // namespace

TEST_F(PaletteWindow, FirstStartWithAnEmptyStore) {
    open();
    wchar_t caption[64] = {};
    GetWindowTextW(window->form().hwnd(), caption, 64);
    EXPECT_STREQ(caption, L"Kelva 특수문자");
    EXPECT_TRUE(window->previewBox().visible());
    EXPECT_TRUE(window->previewFrame().visible());
    EXPECT_TRUE(window->acadCheck().visible());
    EXPECT_TRUE(GetWindowLongW(window->form().hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_FALSE(window->panel().visible());
    EXPECT_EQ(heightTwips(), 5490);
    EXPECT_EQ(SendMessageW(window->option(WriteMode::New).hwnd(), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(window->button(L"cbWrite").Caption(), L"문자 쓰기");
    EXPECT_EQ(window->heightBox().text(), L"3.000");
    EXPECT_EQ(window->charMap().favorites, L"㎡㎥√×²³Φ");
    EXPECT_EQ(window->tabs().TabCount(), 6);
    EXPECT_EQ(window->tabs().ActiveTab(), 0);
    EXPECT_EQ(window->pageToolTip(3), L"더블 클릭시 클립보드로 복사");
    EXPECT_GT(SendMessageW(window->fontBox().hwnd(), CB_GETCOUNT, 0, 0), 0);
    EXPECT_FALSE(window->fontBox().text().empty());  // the window's own font
    // Every page was rendered: its first cell shows a glyph or an outline on white.
    for (int p = 0; p < kPageCount; ++p) EXPECT_EQ(window->page(p).surface().pixelWidth() > 0, true);
    Capture(window->form().hwnd()).save(L"palette_collapsed");
}

// The preview's frame goes with the preview box at start-up too, as the options window hides both.
TEST_F(PaletteWindow, StoredPreviewOffHidesTheBoxAndItsFrame) {
    store.values = {{L"Preview", L"0"}, {L"Copy", L"0"}, {L"OnTop", L"0"}, {L"TextHeight", L"2.5"},
                    {L"Back", L"True"}, {L"NewText", L"False"}};
    open();
    EXPECT_FALSE(window->previewBox().visible());
    EXPECT_FALSE(window->previewFrame().visible());
    EXPECT_EQ(window->pageToolTip(0), L"");
    EXPECT_FALSE(GetWindowLongW(window->form().hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(window->heightBox().text(), L"2.500");
    EXPECT_EQ(window->writeMode(), WriteMode::Back);
    EXPECT_EQ(window->button(L"cbWrite").Caption(), L"문자 선택");
}

TEST_F(PaletteWindow, ClicksOnEveryPageHighlightAndPreview) {
    open();
    for (int p = 0; p < kPageCount; ++p) {
        window->setActivePage(p);
        pump(5);
        const int cell = p == 5 ? 39 : 96;
        EXPECT_EQ(cellBack(p, cell), white) << p;
        click(p, cell);
        EXPECT_EQ(window->charMap().selectedCell, cell);
        EXPECT_EQ(window->charMap().selectedChar, cellChar(p, cell)) << p;
        EXPECT_EQ(cellBack(p, cell), highlight) << p;
        EXPECT_TRUE(showsSomething(window->previewBox().hwnd())) << p;
        Capture(window->form().hwnd()).save(L"palette_page" + std::to_wstring(p));
    }
    // A blank cell previews nothing.
    click(5, 30);
    EXPECT_FALSE(showsSomething(window->previewBox().hwnd()));
    // The page left by a tab switch keeps no highlight.
    click(5, 40);
    window->setActivePage(0);
    pump(5);
    EXPECT_EQ(window->charMap().selectedCell, 0);
    window->setActivePage(5);
    pump(5);
    EXPECT_EQ(cellBack(5, 40), white);
}

// A click lands in the cell under it and every grid line stands on a cell edge, whatever the
// screen's pixels per inch: ctest runs this case again in a prefix of its own at 120 dpi.
TEST_F(PaletteWindow, ClickSelectsTheCellUnderItAndTheGridMeetsTheCells) {
    if (const char* dpi = std::getenv("KELVA_EXPECT_DPI")) {
        ASSERT_EQ(rt::screenDpiX(), std::atoi(dpi));
    }
    open();
    const CellMetrics& m = window->charMap().metrics;
    for (int cell : {1, 19, 96, 172, 190}) {
        click(0, cell);
        EXPECT_EQ(window->charMap().selectedCell, cell);
        EXPECT_EQ(cellBack(0, cell), highlight) << cell;
    }
    // The last row of page 0 is blank: only grid lines, on every cell edge and nowhere else.
    click(0, 1);
    Capture c(pageWindow(0));
    const std::uint32_t grid = 0xC0C0C0;
    const int top = 9 * m.pageH, middle = top + m.pageH / 2;
    for (int col = 0; col <= kColumns; ++col) {
        EXPECT_EQ(c.at(col * m.pageW, middle), grid) << "vertical line " << col;
        if (col < kColumns) {
            const int x = col * m.pageW + m.pageW / 2;
            EXPECT_EQ(c.at(x, top), grid) << "top of column " << col;
            EXPECT_EQ(c.at(x, top + m.pageH), grid) << "bottom of column " << col;
            EXPECT_EQ(c.at(x, middle), white) << "inside column " << col;
        }
    }
    Capture(window->form().hwnd()).save(L"palette_dpi" + std::to_wstring(rt::screenDpiX()));
}

TEST_F(PaletteWindow, KeyboardMovesAndPageSwitches) {
    open();
    click(0, 20);
    key(pageWindow(0), VK_RIGHT);
    EXPECT_EQ(window->charMap().selectedCell, 21);
    EXPECT_EQ(cellBack(0, 21), highlight);
    EXPECT_EQ(cellBack(0, 20), white);
    key(pageWindow(0), VK_DOWN, true);
    EXPECT_EQ(window->charMap().selectedCell, 173);
    key(pageWindow(0), VK_HOME, true);
    EXPECT_EQ(window->charMap().selectedCell, 1);
    key(pageWindow(0), VK_PRIOR);
    EXPECT_EQ(window->tabs().ActiveTab(), 1);
    EXPECT_EQ(window->charMap().selectedCell, 1);
    EXPECT_EQ(cellBack(1, 1), highlight);
    key(pageWindow(1), VK_NEXT);
    key(pageWindow(0), VK_NEXT);
    EXPECT_EQ(window->tabs().ActiveTab(), 5);
    // A character key inserts the previewed cell's character and copies it.
    SendMessageW(pageWindow(5), WM_CHAR, L'a', 1);
    EXPECT_EQ(window->charsBox().text(), cellChar(5, 1));
    EXPECT_EQ(rt::clipboardText().value_or(L""), cellChar(5, 1));
}

// A keyboard page switch, then switches by the tab control and a click: no page loses a glyph.
TEST_F(PaletteWindow, KeyboardThenMouseSwitchesKeepEveryGlyph) {
    open();
    click(0, 30);
    key(pageWindow(0), VK_PRIOR);
    window->setActivePage(2);
    window->setActivePage(3);
    click(3, 50);
    pump(5);
    // Cell 30 of pages 2 and 3 still shows its character (something besides white inside the cell).
    for (int p : {2, 3}) {
        window->setActivePage(p);
        pump(5);
        const CellMetrics& m = window->charMap().metrics;
        Capture c(pageWindow(p));
        bool inked = false;
        for (int y = 2; y < m.pageH - 2; ++y)
            for (int x = 2; x < m.pageW - 2; ++x)
                if (c.at(11 * m.pageW + x, 1 * m.pageH + y) != white) inked = true;
        EXPECT_TRUE(inked) << "page " << p << " lost the glyph of cell 30";
    }
}

// With no cell selected, no key selects a cell off the page (Home selected cell -18).
TEST_F(PaletteWindow, KeysWithNoCellSelectedStayOnThePage) {
    open();
    for (int vk : {VK_HOME, VK_END, VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN})
        for (bool ctrl : {false, true}) {
            window->resetSelection();  // as at start-up
            key(pageWindow(0), vk, ctrl);
            const int s = window->charMap().selectedCell;
            EXPECT_GE(s, 0) << vk << " ctrl " << ctrl;
            EXPECT_LE(s, kCellCount) << vk << " ctrl " << ctrl;
            EXPECT_EQ(window->charMap().previewTag, std::to_wstring(s));
            if (s > 0) {
                EXPECT_EQ(cellBack(0, s), highlight) << vk << " ctrl " << ctrl;
            }
        }
}

// Page keys that both the tab control and the window's own handler act on move one page, once, the
// window's way (Page Up is the next page wherever the focus is), and keep the selected cell; the
// tab control's own arrows move as it says and keep the cell too.
TEST_F(PaletteWindow, PageKeysOnTheTabStripMoveOnePageOnceAndKeepTheCell) {
    open();
    click(0, 40);
    HWND strip = window->tabs().control().hwnd();
    SetFocus(strip);
    key(strip, VK_PRIOR, true);
    EXPECT_EQ(window->tabs().ActiveTab(), 1);
    EXPECT_EQ(window->charMap().selectedCell, 40);
    EXPECT_EQ(cellBack(1, 40), highlight);
    key(strip, VK_NEXT, true);
    EXPECT_EQ(window->tabs().ActiveTab(), 0);
    EXPECT_EQ(window->charMap().selectedCell, 40);
    EXPECT_EQ(cellBack(0, 40), highlight);
    key(strip, VK_NEXT);
    EXPECT_EQ(window->tabs().ActiveTab(), 5);
    key(strip, VK_RIGHT);
    EXPECT_EQ(window->tabs().ActiveTab(), 0);
    EXPECT_EQ(window->charMap().selectedCell, 40);
    EXPECT_EQ(cellBack(0, 40), highlight);
}

TEST_F(PaletteWindow, DoubleClickCopiesAndTheButtonsBesideTheBox) {
    open();
    doubleClick(0, 4);
    EXPECT_EQ(window->charsBox().text(), cellChar(0, 4));
    EXPECT_EQ(rt::clipboardText().value_or(L""), cellChar(0, 4));
    store.values[L"Copy"] = L"0";  // read at each double-click
    rt::setClipboardText(L"kept");
    doubleClick(0, 5);
    EXPECT_EQ(window->charsBox().text(), cellChar(0, 4) + cellChar(0, 5));
    EXPECT_EQ(rt::clipboardText().value_or(L""), L"kept");
    window->charsBox().setText(L" ㎡ ");
    clickButton(window->button(L"cbCopy"));
    EXPECT_EQ(rt::clipboardText().value_or(L""), L" ㎡ ");  // the full text, untrimmed
    clickButton(window->button(L"cbDel"));
    EXPECT_EQ(window->charsBox().text(), L"");
}

TEST_F(PaletteWindow, FavouritesAddedAndDeletedAreSavedAtExit) {
    RegistryStore registry;
    rt::deleteSetting(kAppName, kSection, L"Favorite");
    window = std::make_unique<CharWindow>(registry);
    window->findAcad = [] { return com::ComPtr<IDispatch>(); };
    window->show();
    pump(20);
    press(pageWindow(0), cellCentre(96), WM_RBUTTONDOWN, WM_RBUTTONUP, MK_RBUTTON);
    ASSERT_EQ(menus.size(), 1u);
    EXPECT_EQ(window->charMap().favorites, L"㎡㎥√×²³Φ" + cellChar(0, 96));
    // Delete the first favourite from the strip's menu.
    const CellMetrics& m = window->charMap().metrics;
    press(window->favoritesStrip().hwnd(), {m.favW / 2, m.favH / 2}, WM_RBUTTONDOWN, WM_RBUTTONUP, MK_RBUTTON);
    EXPECT_EQ(menus.back(), (std::vector<std::wstring>{L"삭제", L"취소"}));
    EXPECT_EQ(window->charMap().favorites, L"㎥√×²³Φ" + cellChar(0, 96));
    EXPECT_EQ(rt::getSetting(kAppName, kSection, L"Favorite", L"<none>"), L"<none>");  // only at exit
    clickButton(window->button(L"cbExit"));
    EXPECT_EQ(rt::getSetting(kAppName, kSection, L"Favorite", L"<none>"), L"㎥√×²³Φ" + cellChar(0, 96));
    EXPECT_EQ(rt::getSetting(kAppName, kSection, L"NewText", L""), L"True");
    EXPECT_EQ(rt::getSetting(kAppName, kSection, L"WriteACAD", L""), L"0");
    for (const wchar_t* k : {L"WriteACAD", L"Top", L"Left", L"NewText", L"Back", L"Front", L"TextHeight", L"Favorite"})
        rt::deleteSetting(kAppName, kSection, k);
}

TEST_F(PaletteWindow, AltF4IsRefusedAndExitSaves) {
    open();
    window->heightBox().setText(L"12.5x");
    SendMessageW(window->form().hwnd(), WM_SYSCOMMAND, SC_CLOSE, 0);
    pump(5);
    EXPECT_TRUE(IsWindowVisible(window->form().hwnd()));
    EXPECT_EQ(unloads, 0);
    EXPECT_TRUE(store.values.empty());
    clickButton(window->button(L"cbExit"));
    EXPECT_EQ(unloads, 1);
    EXPECT_EQ(store.order, L"WriteACAD;Top;Left;NewText;Back;Front;TextHeight;Favorite;");
    EXPECT_EQ(store.values[L"TextHeight"], L"12.5x");
}

TEST_F(PaletteWindow, PanelToggleWithAndWithoutAutoCAD) {
    open();
    window->acadCheck().setValue(1);
    window->acadCheck().Click();
    EXPECT_EQ(messages, std::vector<std::wstring>{L"AutoCAD를 실행 후 사용해 주십시오  "});
    EXPECT_EQ(window->acadCheck().Value(), 0);
    EXPECT_EQ(heightTwips(), 5490);
    // With AutoCAD running (the stand-in's objects, in process) the panel opens and the window grows.
    auto acad = acad::sim::createInstance({});
    window->findAcad = [&] { return acad.application; };
    window->acadCheck().setValue(1);
    window->acadCheck().Click();
    pump(10);
    EXPECT_EQ(heightTwips(), kFullHeight);
    EXPECT_TRUE(window->panel().visible());
    EXPECT_TRUE(window->writer().document);
    Capture(window->form().hwnd()).save(L"palette_panel_open");
    // The write button's caption follows the chosen option.
    SendMessageW(window->option(WriteMode::Front).hwnd(), BM_CLICK, 0, 0);
    EXPECT_EQ(window->button(L"cbWrite").Caption(), L"문자 선택");
    SendMessageW(window->option(WriteMode::New).hwnd(), BM_CLICK, 0, 0);
    EXPECT_EQ(window->button(L"cbWrite").Caption(), L"문자 쓰기");
    window->acadCheck().Click();  // ticked again while already tall: only shows
    EXPECT_EQ(heightTwips(), kFullHeight);
    window->acadCheck().setValue(0);
    window->acadCheck().Click();
    EXPECT_EQ(heightTwips(), 5490);
    EXPECT_FALSE(window->panel().visible());
    window->writer().release();
}

TEST_F(PaletteWindow, OptionsOKAppliesAtOnceAndCancelChangesNothing) {
    open();
    clickButton(window->button(L"cbOption"));
    OptionWindow* options = window->optionWindow();
    ASSERT_TRUE(options && options->loaded());
    for (const wchar_t* c : {L"chkTop", L"chkAcad", L"chkCopy", L"chkPreview"}) EXPECT_EQ(options->check(c).Value(), 1) << c;
    Capture(options->form()->hwnd()).save(L"palette_options");
    options->check(L"chkCopy").setValue(0);
    options->check(L"chkPreview").setValue(0);
    clickButton(options->button(L"cbExit"));
    EXPECT_FALSE(options->loaded());
    EXPECT_TRUE(store.values.empty());
    EXPECT_TRUE(window->previewBox().visible());

    clickButton(window->button(L"cbOption"));
    options = window->optionWindow();
    EXPECT_EQ(options->check(L"chkCopy").Value(), 1);  // loaded again from the store
    options->check(L"chkCopy").setValue(0);
    options->check(L"chkPreview").setValue(0);
    options->check(L"chkAcad").setValue(0);
    clickButton(options->button(L"cbOK"));
    EXPECT_EQ(store.order, L"Preview;Copy;AutoCAD;OnTop;");
    EXPECT_EQ(store.values[L"Copy"], L"0");
    EXPECT_FALSE(window->previewBox().visible());
    EXPECT_FALSE(window->previewFrame().visible());
    EXPECT_FALSE(window->acadCheck().visible());
    for (int p = 0; p < kPageCount; ++p) EXPECT_EQ(window->pageToolTip(p), L"") << p;
    EXPECT_FALSE(options->loaded());
}

TEST_F(PaletteWindow, AboutBoxClosesOnAKeyAndOnDeactivation) {
    open();
    clickButton(window->button(L"cbAbout"));
    AboutWindow* about = window->aboutWindow();
    ASSERT_TRUE(about && about->loaded());
    EXPECT_TRUE(GetWindowLongW(about->form()->hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    Capture(about->form()->hwnd()).save(L"palette_about");
    // The link lights up under the mouse and goes black outside it; without an address it opens nothing.
    std::vector<std::wstring> opened;
    about->shellOpen = [&](const std::wstring& a, int) { opened.push_back(a); };
    SendMessageW(about->home().hwnd(), WM_MOUSEMOVE, 0, pointParam(3, 3));
    EXPECT_EQ(about->home().foreColor(), kLinkHoverColor);
    SendMessageW(about->form()->hwnd(), WM_MOUSEMOVE, 0, pointParam(2, 2));
    EXPECT_EQ(about->home().foreColor(), 0u);
    SendMessageW(about->home().hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, pointParam(3, 3));
    EXPECT_TRUE(opened.empty());
    about->OpenURL(L"http://example.invalid/", SW_SHOWMAXIMIZED);
    EXPECT_EQ(opened, std::vector<std::wstring>{L"http://example.invalid/"});
    SendMessageW(about->form()->hwnd(), WM_CHAR, L'x', 1);
    EXPECT_FALSE(about->loaded());

    clickButton(window->button(L"cbAbout"));
    about = window->aboutWindow();
    ASSERT_TRUE(about->loaded());
    activate(window->form().hwnd(), 10);
    EXPECT_TRUE(pumpUntil([&] { return !about->loaded(); })) << "still loaded after its deactivation";
}
