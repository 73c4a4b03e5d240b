// The pages and the favourites strip against a view that keeps what each cell of each page shows.
#include <gtest/gtest.h>

#include <array>
#include <map>

#include "palette/charmap_logic.h"

using namespace kelva::palette;

namespace {

struct Shown {
    std::wstring text;
    bool selected = false, focused = true;
};

class FakeView : public CharMapView {
public:
    explicit FakeView(CharMap*& map) : map_(map) {}
    int page = 0;
    std::array<std::array<Shown, kCellCount + 1>, kPageCount> pages;
    std::array<Shown, kFavoriteColumns + 1> strip;
    std::wstring preview, box, clipboard;
    bool copySetting = true;
    int menuAnswer = 1;
    std::vector<std::vector<std::wstring>> menus;
    std::vector<std::wstring> messages;
    int cellW = 20, cellH = 21, favW = 22;

    // Renders every page the way the window does at start-up.
    void fill() {
        for (int p = 0; p < kPageCount; ++p)
            for (int c = 1; c <= kCellCount; ++c) pages[p][c] = {codeText(drawnCode(p, c)), false, true};
    }
    int activePage() override { return page; }
    void setActivePage(int p) override {
        if (p == page) return;
        map_->beforeTabSwitch();
        page = p;
    }
    void drawPageCell(int p, PixelPos at, const std::wstring& text, bool selected, bool focused) override {
        if (at.x < 0 || at.y < 0 || at.x % cellW || at.y % cellH) return;  // outside or misaligned: nowhere
        const int col = at.x / cellW, row = at.y / cellH;
        if (col >= kColumns || row >= kRows) return;
        pages[p][row * kColumns + col + 1] = {text, selected, focused};
    }
    void drawFavoriteCell(PixelPos at, const std::wstring& text, bool selected, bool focused, bool) override {
        if (at.x < 0 || at.y != 0 || at.x % favW) return;
        const int col = at.x / favW;
        if (col >= kFavoriteColumns) return;
        strip[col + 1] = {text, selected, focused};
    }
    void clearFavorites() override { strip = {}; }
    void showPreview(const std::wstring& text) override { preview = text; }
    void insertText(const std::wstring& text) override { box += text; }
    void copyToClipboard(const std::wstring& text) override { clipboard = text; }
    bool copyOnDoubleClick() override { return copySetting; }
    int popup(const std::vector<std::wstring>& items) override {
        menus.push_back(items);
        return menuAnswer;
    }
    void message(const std::wstring& text) override { messages.push_back(text); }

private:
    CharMap*& map_;
};

class CharMapTest : public ::testing::Test {
protected:
    CharMap* ptr = nullptr;
    FakeView view{ptr};
    CharMap map{view};
    void SetUp() override {
        ptr = &map;
        map.metrics = computeMetrics(20 * 15 * 19, 21 * 15 * 10, 22 * 15 * 13, 300, 15, 15);
        view.fill();
        map.favorites = kDefaultFavorites;
        map.DrawFavorites();
    }
    // Centre of a page cell, in twips.
    static std::pair<double, double> centre(int cell) {
        return {((cell - 1) % kColumns) * 300.0 + 150, ((cell - 1) / kColumns) * 315.0 + 150};
    }
    void click(int cell, int button = 1) {
        auto [x, y] = centre(cell);
        map.pageMouseDown(button, x, y);
    }
    // Every cell of every page shows its own character and only `selected` on `page` is highlighted.
    void expectIntact(int page = -1, int selected = 0) {
        for (int p = 0; p < kPageCount; ++p)
            for (int c = 1; c <= kCellCount; ++c) {
                EXPECT_EQ(view.pages[p][c].text, codeText(drawnCode(p, c))) << "page " << p << " cell " << c;
                EXPECT_EQ(view.pages[p][c].selected, p == page && c == selected) << "page " << p << " cell " << c;
            }
    }
};

}  // namespace

TEST(CharMapGeometry, MetricsFromTheDesignSizes) {
    // The pages' drawing area of 6255 x 3135 twips (a bordered 6315 x 3195 box) and the 4305 x 300 strip.
    const CellMetrics m = computeMetrics(6255, 3135, 4305, 300, 15, 15);
    EXPECT_EQ(m.pageW, 21);  // nearest(329.2) = 329, 329 div 15
    EXPECT_EQ(m.pageH, 20);  // nearest(313.5) = 314 (half to even), 314 div 15
    EXPECT_EQ(m.favW, 22);
    EXPECT_EQ(m.favH, 20);
    EXPECT_FLOAT_EQ(m.pageWTw, 315);
    EXPECT_FLOAT_EQ(m.favHTw, 300);
}

TEST(CharMapGeometry, CellOriginsAndHitTests) {
    EXPECT_EQ(cellOrigin(1, 19, 20, 21), (PixelPos{0, 0}));
    EXPECT_EQ(cellOrigin(19, 19, 20, 21), (PixelPos{360, 0}));  // the last column keeps its row
    EXPECT_EQ(cellOrigin(20, 19, 20, 21), (PixelPos{0, 21}));
    EXPECT_EQ(cellOrigin(190, 19, 20, 21), (PixelPos{360, 189}));
    EXPECT_LT(cellOrigin(0, 19, 20, 21).y, 0);  // cell 0 lies above the page: drawn nowhere

    const CellMetrics m = computeMetrics(20 * 15 * 19, 21 * 15 * 10, 22 * 15 * 13, 300, 15, 15);
    EXPECT_EQ(hitPage(0, 0, m), 1);
    EXPECT_EQ(hitPage(301, 316, m), 21);
    // A drag beyond the right or bottom edge keeps the last column or row; beyond the left or top, the first.
    EXPECT_EQ(hitPage(99999, 10, m), 19);
    EXPECT_EQ(hitPage(10, 99999, m), 172);
    EXPECT_EQ(hitPage(99999, 99999, m), 190);
    EXPECT_EQ(hitPage(-50, -50, m), 1);
    EXPECT_EQ(hitPage(-50, 99999, m), 172);

    EXPECT_EQ(hitStrip(10, 10, m, 7), 1);
    EXPECT_EQ(hitStrip(22 * 15 * 3 + 5, 200, m, 7), 4);
    EXPECT_EQ(hitStrip(99999, 10, m, 13), 13);
    EXPECT_EQ(hitStrip(10, 9999, m, 7), 1);  // a single row whatever y is
    EXPECT_LE(hitStrip(10, 10, m, 0), 0);    // an empty strip selects nothing
}

TEST(CharMapKeys, MovesOnAPageFollowTheTable) {
    auto cell = [](int key, int shift, int s) {
        KeyMove m = pageKeyMove(key, shift, s);
        return m.kind == KeyMove::Cell ? m.cell : -1;
    };
    const int ctrl = key::CtrlBit;
    EXPECT_EQ(cell(key::Left, 0, 5), 4);
    EXPECT_EQ(cell(key::Left, 0, 1), -1);
    EXPECT_EQ(cell(key::Left, ctrl, 2), -1);
    EXPECT_EQ(cell(key::Right, ctrl, 189), -1);  // 191 is beyond the page
    EXPECT_EQ(cell(key::Right, 0, 190), -1);
    EXPECT_EQ(cell(key::Right, ctrl, 188), 190);
    EXPECT_EQ(cell(key::Up, 0, 19), -1);
    EXPECT_EQ(cell(key::Up, 0, 20), 1);
    EXPECT_EQ(cell(key::Up, ctrl, 100), 5);
    EXPECT_EQ(cell(key::Up, ctrl, 38), 19);
    EXPECT_EQ(cell(key::Down, 0, 172), -1);
    EXPECT_EQ(cell(key::Down, 0, 171), 190);
    EXPECT_EQ(cell(key::Down, ctrl, 5), 176);
    EXPECT_EQ(cell(key::Down, ctrl, 19), 190);
    EXPECT_EQ(cell(key::Home, 0, 25), 20);
    EXPECT_EQ(cell(key::Home, 0, 38), 20);
    EXPECT_EQ(cell(key::Home, 0, 20), -1);  // already first
    EXPECT_EQ(cell(key::Home, ctrl, 77), 1);
    EXPECT_EQ(cell(key::End, 0, 25), 38);
    EXPECT_EQ(cell(key::End, 0, 38), -1);
    EXPECT_EQ(cell(key::End, ctrl, 3), 190);
    EXPECT_EQ(pageKeyMove(key::Tab, 0, 5).kind, KeyMove::None);
    EXPECT_EQ(pageKeyMove(key::Tab, ctrl, 5).kind, KeyMove::NextPage);
    EXPECT_EQ(pageKeyMove(key::PageUp, 0, 5).kind, KeyMove::NextPage);
    EXPECT_EQ(pageKeyMove(key::PageDown, 0, 5).kind, KeyMove::PreviousPage);
    EXPECT_EQ(formKeyMove(key::Left, 0).kind, KeyMove::None);
    EXPECT_EQ(formKeyMove(key::Tab, ctrl).kind, KeyMove::NextPage);

    EXPECT_EQ(stripKeyTarget(key::Left, 0, 1, 7), 0);
    EXPECT_EQ(stripKeyTarget(key::Right, ctrl, 5, 7), 7);
    EXPECT_EQ(stripKeyTarget(key::Right, ctrl, 6, 7), 0);
    EXPECT_EQ(stripKeyTarget(key::End, 0, 2, 7), 7);
    EXPECT_EQ(stripKeyTarget(key::Home, 0, 1, 7), 0);
}

TEST_F(CharMapTest, ClickSelectsWithPreviewAndMovesTheHighlight) {
    click(96);
    EXPECT_EQ(map.selectedCell, 96);
    EXPECT_EQ(view.preview, cellChar(0, 96));
    EXPECT_EQ(map.previewTag, L"96");
    expectIntact(0, 96);
    map.pageKeyDown(key::Right, 0);
    expectIntact(0, 97);
    map.pageLostFocus();
    EXPECT_FALSE(view.pages[0][97].focused);  // grey while the page has no focus
    // Moving with no button held does nothing; there is no hover highlight.
    auto [x, y] = std::pair{15.0, 15.0};
    map.pageMouseMove(0, x, y);
    EXPECT_EQ(map.selectedCell, 97);
}

TEST_F(CharMapTest, BlankCellsPickAsEmptyAndInsertNothing) {
    click(95);
    EXPECT_EQ(view.preview, L"");
    map.pageDblClick();
    map.pageKeyPress();
    EXPECT_EQ(view.box, L"");
    EXPECT_EQ(view.clipboard, L"");
}

TEST_F(CharMapTest, DoubleClickInsertsAndCopiesOnlyWhenTheSettingSaysSo) {
    click(1);  // A1A1, the ideographic space: inserted whole, copied trimmed of nothing (not a blank)
    click(4);
    map.pageDblClick();
    EXPECT_EQ(view.box, cellChar(0, 4));
    EXPECT_EQ(view.clipboard, cellChar(0, 4));
    view.copySetting = false;
    view.clipboard = L"kept";
    click(5);
    map.pageDblClick();
    EXPECT_EQ(view.box, cellChar(0, 4) + cellChar(0, 5));
    EXPECT_EQ(view.clipboard, L"kept");
    map.pageKeyPress();  // a character key always copies
    EXPECT_EQ(view.clipboard, cellChar(0, 5));
}

TEST_F(CharMapTest, KeyboardPageSwitchKeepsTheCellNumber) {
    click(40);
    map.pageKeyDown(key::PageUp, 0);
    EXPECT_EQ(view.page, 1);
    EXPECT_EQ(map.selectedCell, 40);
    EXPECT_EQ(view.preview, cellChar(1, 40));
    expectIntact(1, 40);
    map.pageKeyDown(key::PageDown, 0);
    map.pageKeyDown(key::PageDown, 0);
    EXPECT_EQ(view.page, 5);  // 0 wraps to 5
    expectIntact(5, 40);
    map.formKeyDown(key::Tab, key::CtrlBit);
    EXPECT_EQ(view.page, 0);  // 5 wraps to 0
    expectIntact(0, 40);
}

TEST_F(CharMapTest, MouseTabSwitchClearsTheSelection) {
    click(40);
    view.setActivePage(2);
    EXPECT_EQ(map.selectedCell, 0);
    EXPECT_EQ(map.previewTag, L"0");
    EXPECT_EQ(view.preview, L"");
    expectIntact();
}

// A keyboard page switch followed by page switches with the mouse (the flag stays set until a press
// on a page) and then a click must leave every page's glyphs in place.
TEST_F(CharMapTest, KeyboardThenMouseSwitchesEraseNoGlyph) {
    click(30);
    map.pageKeyDown(key::PageUp, 0);  // page 1, cell 30 kept
    view.setActivePage(2);            // mouse: the cell number is still kept, its character is not
    view.setActivePage(3);
    click(50);
    expectIntact(3, 50);
    view.setActivePage(0);
    click(30);
    expectIntact(0, 30);
}

TEST_F(CharMapTest, FavouritesAddDeleteAndFullStrip) {
    EXPECT_EQ(view.strip[1].text, L"㎡");
    EXPECT_EQ(view.strip[8].text, L"");
    click(96, 2);  // right press: selects, then offers the menu
    ASSERT_EQ(view.menus.size(), 1u);
    EXPECT_EQ(view.menus[0], (std::vector<std::wstring>{L"즐겨찾기에 추가", L"취소"}));
    EXPECT_EQ(map.favorites, std::wstring(kDefaultFavorites) + cellChar(0, 96));
    EXPECT_EQ(view.strip[8].text, cellChar(0, 96));
    view.menuAnswer = 2;
    click(97, 2);
    EXPECT_EQ(map.favorites.size(), 8u);
    view.menuAnswer = 1;
    click(95, 2);  // a blank cell adds nothing
    EXPECT_EQ(map.favorites.size(), 8u);
    for (int c = 1; map.favorites.size() < 13; ++c) click(c + 1, 2);
    EXPECT_EQ(view.strip[13].text, map.favorites.substr(12, 1));
    click(50, 2);
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(view.messages[0], kFavoritesFull);
    EXPECT_EQ(map.favorites.size(), 13u);

    // Delete the second favourite with the strip's menu.
    const std::wstring before = map.favorites;
    map.stripMouseDown(2, 22 * 15 + 5, 100);
    EXPECT_EQ(view.menus.back(), (std::vector<std::wstring>{L"삭제", L"취소"}));
    EXPECT_EQ(map.favorites, before.substr(0, 1) + before.substr(2));
    EXPECT_EQ(view.strip[13].text, L"");
    EXPECT_EQ(view.strip[2].text, before.substr(2, 1));
}

TEST_F(CharMapTest, StripSelectionKeysAndInsertion) {
    map.stripMouseDown(1, 22 * 15 * 2 + 5, 100);
    EXPECT_EQ(map.selectedFavorite, 3);
    EXPECT_EQ(view.preview, L"√");
    EXPECT_TRUE(view.strip[3].selected);
    map.stripKeyDown(key::End, 0);
    EXPECT_EQ(map.selectedFavorite, 7);
    EXPECT_FALSE(view.strip[3].selected);
    EXPECT_EQ(view.strip[3].text, L"√");
    view.copySetting = false;  // the strip copies whatever the setting says
    map.stripKeyPress();
    EXPECT_EQ(view.box, L"Φ");
    EXPECT_EQ(view.clipboard, L"Φ");
    map.stripLostFocus();
    EXPECT_EQ(map.selectedFavorite, 0);
    EXPECT_FALSE(view.strip[7].focused);  // an unfocused favourite is drawn in normal colours
    EXPECT_EQ(view.strip[7].text, L"Φ");

    // An empty strip: nothing to pick, nothing inserted.
    map.favorites.clear();
    map.DrawFavorites();
    map.stripMouseDown(1, 10, 10);
    map.stripDblClick();
    EXPECT_EQ(view.box, L"Φ");
}

TEST(CharMapText, TrimBlanks) {
    EXPECT_EQ(trimBlanks(L"  ㎡ "), L"㎡");
    EXPECT_EQ(trimBlanks(L"   "), L"");
    EXPECT_EQ(trimBlanks(L"\x3000"), L"\x3000");  // the ideographic space is a character of its own
}
