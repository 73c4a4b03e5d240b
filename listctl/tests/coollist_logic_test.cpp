#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/errors.h"
#include "core/tests/checks.h"
#include "listctl/coollist_logic.h"

using namespace kelva;
using namespace kelva::lst;

namespace {

// Records what the model asks of its window, as short texts in order.
struct Recorder : Sink {
    std::vector<std::string> log;
    void drawRow(std::int16_t i) override { log.push_back("row" + std::to_string(i)); }
    void drawFocusBox(std::int16_t i) override { log.push_back("box" + std::to_string(i)); }
    void redrawVisible() override { log.push_back("all"); }
    void clearList() override { log.push_back("cls"); }
    void closeEdit() override { log.push_back("close"); }
    void scrollBarChanged() override { log.push_back("bar"); }
    void raise(Event e) override {
        static const char* names[] = {"Click", "DblClick", "ListIndexChange", "Scroll", "TopIndexChange"};
        log.push_back(names[static_cast<int>(e)]);
    }
    std::vector<std::string> events() const {
        std::vector<std::string> out;
        for (const auto& s : log)
            if (std::isupper(static_cast<unsigned char>(s[0]))) out.push_back(s);
        return out;
    }
    int count(const std::string& what) const { return static_cast<int>(std::count(log.begin(), log.end(), what)); }
};

struct Fixture {
    Recorder sink;
    ListModel m{sink};
    explicit Fixture(int items = 0, int visible = 5) {
        m.setLayout(16, static_cast<std::int16_t>(visible));
        for (int i = 0; i < items; ++i) m.addItem(L"item" + std::to_wstring(i));
        sink.log.clear();
    }
};

std::vector<std::wstring> texts(const ListModel& m) {
    std::vector<std::wstring> out;
    for (int i = 0; i < m.listCount(); ++i) out.push_back(m.itemText(static_cast<std::int16_t>(i)));
    return out;
}

}  // namespace

// ---- items ---------------------------------------------------------------------------------------

TEST(ListItems, AddAppendsWithoutSelectingAndDrawsOnlyVisibleRows) {
    Fixture f(0, 2);
    f.m.addItem(L"a");
    f.m.addItem(3.5, 1, 2);
    f.m.addItem(L"c");
    EXPECT_EQ(texts(f.m), (std::vector<std::wstring>{L"a", L"3.5", L"c"}));
    EXPECT_EQ(f.m.itemIcon(1), 1);
    EXPECT_EQ(f.m.itemIconSelected(1), 2);
    EXPECT_EQ(f.m.listIndex(), -1);
    EXPECT_EQ(f.m.selectedCount(), 0);
    EXPECT_TRUE(f.sink.events().empty());
    EXPECT_EQ(f.sink.count("row0") + f.sink.count("row1"), 2);
    EXPECT_EQ(f.sink.count("row2"), 0);  // below the visible rows
    EXPECT_TRUE(f.m.scrollShown());
    EXPECT_EQ(f.m.scrollMax(), 1);
}

TEST(ListItems, FullListOverflowsAndKeepsItsSpareEmpty) {
    Fixture f;
    for (int i = 0; i < kMaxItems; ++i) f.m.addItem(L"x");
    EXPECT_EQ(f.m.listCount(), 32767);
    EXPECT_EQ(errorOf([&] { f.m.addItem(L"zzz"); }), err::Overflow);
    EXPECT_EQ(errorOf([&] { f.m.insertItem(0, L"zzz"); }), err::Overflow);
    EXPECT_EQ(f.m.listCount(), 32767);
    // The refused text must not linger where a search still looks.
    EXPECT_EQ(f.m.findFirst(L"zzz", 0, false), -1);
}

TEST(ListItems, InsertRules) {
    Fixture f;
    EXPECT_EQ(errorOf([&] { f.m.insertItem(0, L"a"); }), err::InvalidPropertyIndex);
    f.m.addItem(L"a");
    f.m.addItem(L"b");
    EXPECT_EQ(errorOf([&] { f.m.insertItem(3, L"x"); }), err::InvalidPropertyIndex);
    EXPECT_EQ(errorOf([&] { f.m.insertItem(-1, L"x"); }), err::InvalidPropertyIndex);
    EXPECT_EQ(f.m.listCount(), 2);
    f.m.insertItem(2, L"c");  // at the count: appends
    EXPECT_EQ(texts(f.m), (std::vector<std::wstring>{L"a", L"b", L"c"}));
    f.m.setListIndex(1);
    f.sink.log.clear();
    f.m.insertItem(0, L"first");
    EXPECT_EQ(texts(f.m), (std::vector<std::wstring>{L"first", L"a", L"b", L"c"}));
    EXPECT_EQ(f.m.listIndex(), 2);  // still "b"
    EXPECT_TRUE(f.m.itemSelected(2));
    EXPECT_FALSE(f.m.itemSelected(0));
    EXPECT_EQ(f.sink.events(), std::vector<std::string>{"ListIndexChange"});
}

TEST(ListItems, InsertBeforeCurrentDoesNotScroll) {
    Fixture f(10, 3);
    f.m.setTopIndex(7);
    f.m.setListIndex(9);
    f.sink.log.clear();
    f.m.insertItem(0, L"new");
    EXPECT_EQ(f.m.listIndex(), 10);
    EXPECT_EQ(f.m.topIndex(), 7);  // item 10 is now out of view, and stays so
    EXPECT_EQ(f.sink.count("Scroll"), 0);
    f.m.setListIndex(10);  // the next assignment scrolls again
    EXPECT_EQ(f.m.topIndex(), 8);
}

TEST(ListItems, RemoveRules) {
    Fixture f(5, 10);
    EXPECT_EQ(errorOf([&] { f.m.removeItem(5); }), err::InvalidPropertyIndex);
    EXPECT_EQ(errorOf([&] { f.m.removeItem(-1); }), err::InvalidPropertyIndex);
    f.m.setListIndex(3);
    f.m.removeItem(0);
    EXPECT_EQ(f.m.listIndex(), 2);
    EXPECT_EQ(f.m.itemText(2), L"item3");
    f.m.removeItem(3);  // after the current item
    EXPECT_EQ(f.m.listIndex(), 2);
    f.sink.log.clear();
    f.m.removeItem(2);  // the current item
    EXPECT_EQ(f.m.listIndex(), -1);
    EXPECT_EQ(f.m.selectedCount(), 0);
    EXPECT_EQ(f.sink.count("cls"), 1);  // fewer items than rows: the list is cleared, then repainted
    EXPECT_EQ(f.sink.log.back(), "all");
    EXPECT_EQ(texts(f.m), (std::vector<std::wstring>{L"item1", L"item2"}));
}

TEST(ListItems, RemovingPastAFormerCurrentItemKeepsLaterAssignmentsSafe) {
    Fixture f(4, 10);
    f.m.setListIndex(3);
    f.m.removeItem(3);  // previous index 3 now lies past the end
    f.m.removeItem(2);
    f.m.removeItem(1);
    f.m.setListIndex(0);
    EXPECT_EQ(f.m.listIndex(), 0);
    EXPECT_EQ(f.m.selectedCount(), 1);
}

TEST(ListItems, ModifyKeepsWhatIsLeftOut) {
    Fixture f(2);
    EXPECT_EQ(errorOf([&] { f.m.modifyItem(2, L"x"); }), err::InvalidPropertyIndex);
    EXPECT_EQ(errorOf([&] { f.m.modifyItem(-1, L"x"); }), err::SubscriptOutOfRange);
    f.m.modifyItem(0, L"changed", 4, 5);
    f.sink.log.clear();
    f.m.modifyItem(0, 0, -1, -1);
    EXPECT_EQ(f.m.itemText(0), L"changed");
    EXPECT_EQ(f.m.itemIcon(0), 4);
    EXPECT_EQ(f.m.itemIconSelected(0), 5);
    EXPECT_EQ(f.sink.log, (std::vector<std::string>{"row0", "box-1"}));
    f.m.modifyItem(0, L"", -1, 0);  // a text, even empty, replaces; 0 is a real icon value
    EXPECT_EQ(f.m.itemText(0), L"");
    EXPECT_EQ(f.m.itemIconSelected(0), 0);
    f.m.modifyItem(1, L"0");
    EXPECT_EQ(f.m.itemText(1), L"0");
}

TEST(ListItems, IndexedPropertiesCheckTheirIndex) {
    Fixture f;
    EXPECT_EQ(errorOf([&] { (void)f.m.itemText(0); }), err::InvalidPropertyIndex);
    f.m.addItem(L"a");
    EXPECT_EQ(errorOf([&] { (void)f.m.itemText(1); }), err::InvalidPropertyIndex);
    EXPECT_EQ(errorOf([&] { (void)f.m.itemText(-1); }), err::SubscriptOutOfRange);
    EXPECT_EQ(errorOf([&] { f.m.setItemSelected(-2, true); }), err::SubscriptOutOfRange);
    EXPECT_EQ(errorOf([&] { f.m.setItemIcon(1, 2); }), err::InvalidPropertyIndex);
    f.m.setItemIcon(0, -7);
    EXPECT_EQ(f.m.itemIcon(0), -7);
    f.m.setItemText(0, L"b");
    EXPECT_EQ(f.m.itemText(0), L"b");
}

TEST(ListItems, FindFirst) {
    Fixture f;
    EXPECT_EQ(errorOf([&] { (void)f.m.findFirst(L"a"); }), err::InvalidPropertyIndex);
    for (const auto* t : {L"", L"Line", L"polyline", L"LINE", L"arc"}) f.m.addItem(t);
    EXPECT_EQ(f.m.findFirst(L"", 0, false), 1);
    EXPECT_EQ(f.m.findFirst(L"", 0, true), 1);
    EXPECT_EQ(f.m.findFirst(L"line", 0, false), 2);  // case-sensitive
    EXPECT_EQ(f.m.findFirst(L"line", 0, true), -1);
    EXPECT_EQ(f.m.findFirst(L"L", 2, true), 3);
    EXPECT_EQ(f.m.findFirst(L"arc", 5, false), -1);
    EXPECT_EQ(f.m.findFirst(L"arc", 100, false), -1);
    EXPECT_EQ(errorOf([&] { (void)f.m.findFirst(L"a", -1); }), err::SubscriptOutOfRange);
    EXPECT_EQ(f.m.listIndex(), -1);
}

TEST(ListItems, ClearResetsEverythingWithoutEvents) {
    Fixture f(8, 3);
    f.m.setListIndex(7);
    f.sink.log.clear();
    f.m.clear();
    EXPECT_EQ(f.m.listCount(), 0);
    EXPECT_EQ(f.m.listIndex(), -1);
    EXPECT_EQ(f.m.previousIndex(), -1);
    EXPECT_EQ(f.m.topIndex(), 0);
    EXPECT_FALSE(f.m.scrollShown());
    EXPECT_TRUE(f.sink.events().empty());
    f.m.addItem(L"again");
    EXPECT_EQ(f.m.itemText(0), L"again");
}

// ---- sorting -------------------------------------------------------------------------------------

TEST(ListOrder, SortsByCodeUnitBothWaysAndDropsTheSelection) {
    Fixture f(0, 3);
    for (const auto* t : {L"b", L"B", L"가", L"a", L"c", L"A", L"b"}) f.m.addItem(t);
    f.m.setItemIcon(2, 9);  // icons move with their text
    f.m.setListIndex(4);
    f.m.setTopIndex(2);
    f.sink.log.clear();
    f.m.order();
    EXPECT_EQ(texts(f.m), (std::vector<std::wstring>{L"A", L"B", L"a", L"b", L"b", L"c", L"가"}));
    EXPECT_EQ(f.m.itemIcon(6), 9);
    EXPECT_EQ(f.m.listIndex(), -1);
    EXPECT_EQ(f.m.selectedCount(), 0);
    EXPECT_EQ(f.m.topIndex(), 0);
    EXPECT_EQ(f.sink.events(), (std::vector<std::string>{"ListIndexChange", "Scroll", "TopIndexChange"}));
    f.m.setOrderType(1);
    EXPECT_EQ(texts(f.m).front(), L"A");  // the order type alone sorts nothing
    f.m.order();
    EXPECT_EQ(texts(f.m), (std::vector<std::wstring>{L"가", L"c", L"b", L"b", L"a", L"B", L"A"}));
}

TEST(ListOrder, OneItemIsLeftAlone) {
    Fixture f(1);
    f.m.setListIndex(0);
    f.sink.log.clear();
    f.m.order();
    EXPECT_EQ(f.m.listIndex(), 0);
    EXPECT_TRUE(f.sink.log.empty());
}

TEST(ListOrder, AnOpenEditClosesBeforeItemsMove) {
    Fixture f(4, 3);
    f.m.setListIndex(1);
    f.sink.log.clear();
    f.m.order();
    ASSERT_FALSE(f.sink.log.empty());
    EXPECT_EQ(f.sink.log.front(), "close");
    f.sink.log.clear();
    f.m.clear();
    ASSERT_FALSE(f.sink.log.empty());
    EXPECT_EQ(f.sink.log.front(), "close");
}

TEST(ListOrder, LargeShuffledListComesOutSorted) {
    std::vector<Item> items;
    unsigned seed = 12345;
    for (int i = 0; i < 500; ++i) {
        seed = seed * 1103515245u + 12345u;
        items.push_back({std::to_wstring(seed % 1000), static_cast<std::int16_t>(i), 0});
    }
    items.push_back({L"spare", 0, 0});
    shellSort(items, 500, false);
    for (int i = 1; i < 500; ++i) EXPECT_LE(compareOrdinal(items[i - 1].text, items[i].text), 0);
    EXPECT_EQ(items[500].text, L"spare");  // the spare entry is not part of the sort
}

TEST(ListOrder, OrdinalComparisonByCodeUnit) {
    EXPECT_LT(compareOrdinal(L"Z", L"a"), 0);
    EXPECT_LT(compareOrdinal(L"ab", L"abc"), 0);
    EXPECT_EQ(compareOrdinal(L"가", L"가"), 0);
    // A supplementary character sorts by its high surrogate, below U+E000.
    const std::wstring emoji = sizeof(wchar_t) == 2 ? std::wstring{static_cast<wchar_t>(0xD83D), static_cast<wchar_t>(0xDE00)}
                                                    : std::wstring(1, static_cast<wchar_t>(0x1F600));
    EXPECT_LT(compareOrdinal(emoji, std::wstring(1, static_cast<wchar_t>(0xE000))), 0);
}

// ---- selection -----------------------------------------------------------------------------------

TEST(ListSelection, ListIndexAssignment) {
    Fixture f(3);
    EXPECT_EQ(errorOf([&] { f.m.setListIndex(3); }), err::InvalidPropertyValue);
    EXPECT_EQ(errorOf([&] { f.m.setListIndex(-2); }), err::InvalidPropertyValue);
    f.m.setListIndex(1);
    EXPECT_EQ(f.sink.log, (std::vector<std::string>{"close", "row1", "box1", "ListIndexChange"}));
    f.sink.log.clear();
    f.m.setListIndex(1);  // the same value raises the event again
    EXPECT_EQ(f.sink.events(), std::vector<std::string>{"ListIndexChange"});
    f.m.setListIndex(2);
    EXPECT_FALSE(f.m.itemSelected(1));
    EXPECT_TRUE(f.m.itemSelected(2));
    f.m.setListIndex(-1);
    EXPECT_EQ(f.m.selectedCount(), 0);
}

TEST(ListSelection, ItemSelectedInSingleAndMultipleSelection) {
    Fixture f(4);
    f.m.setItemSelected(2, true);
    EXPECT_EQ(f.m.listIndex(), 2);
    EXPECT_EQ(f.sink.events(), std::vector<std::string>{"ListIndexChange"});
    f.sink.log.clear();
    f.m.setItemSelected(2, false);  // single selection: nothing happens
    EXPECT_TRUE(f.m.itemSelected(2));
    EXPECT_TRUE(f.sink.log.empty());
    f.m.setSelectMode(1);
    f.m.setItemSelected(0, true);
    f.m.setItemSelected(3, true);
    f.m.setItemSelected(2, false);
    EXPECT_EQ(f.m.selectedCount(), 2);
    EXPECT_EQ(f.m.listIndex(), 2);
    f.m.setListIndex(1);  // multiple selection: moving the current item selects nothing
    EXPECT_EQ(f.m.selectedCount(), 2);
    EXPECT_FALSE(f.m.itemSelected(1));
}

TEST(ListSelection, BackToSingleSelectionKeepsOnlyTheCurrentItem) {
    Fixture f(4);
    f.m.setSelectMode(1);
    for (std::int16_t i = 0; i < 4; ++i) f.m.setItemSelected(i, true);
    f.m.setListIndex(2);
    f.m.setSelectMode(0);
    EXPECT_EQ(f.m.selectedCount(), 1);
    EXPECT_TRUE(f.m.itemSelected(2));
    f.m.setSelectMode(1);
    f.m.setItemSelected(0, true);
    f.m.setListIndex(-1);
    f.m.setSelectMode(0);  // no current item: nothing stays selected
    EXPECT_EQ(f.m.selectedCount(), 0);
    f.m.setSelectMode(1);
    f.m.setItemSelected(0, true);
    f.m.setSelectMode(0, true);  // inside a designer the flags stay
    EXPECT_EQ(f.m.selectedCount(), 1);
}

// ---- scrolling -----------------------------------------------------------------------------------

TEST(ListScroll, TopIndexRangeAndEvents) {
    Fixture f(3, 5);
    for (int v : {0, 1, -1}) EXPECT_EQ(errorOf([&] { f.m.setTopIndex(static_cast<std::int16_t>(v)); }), err::InvalidPropertyValue);
    Fixture g(5, 5);
    g.m.setTopIndex(0);  // as many items as rows: 0 is the only value
    EXPECT_EQ(g.sink.events(), std::vector<std::string>{"TopIndexChange"});
    EXPECT_FALSE(g.m.scrollShown());
    Fixture h(12, 5);
    EXPECT_EQ(errorOf([&] { h.m.setTopIndex(8); }), err::InvalidPropertyValue);
    h.m.setTopIndex(7);
    EXPECT_EQ(h.m.topIndex(), 7);
    EXPECT_EQ(h.sink.events(), (std::vector<std::string>{"Scroll", "TopIndexChange", "TopIndexChange"}));
    h.sink.log.clear();
    h.m.scrollTo(7, true);  // the thumb dragged without moving: Scroll only
    EXPECT_EQ(h.sink.events(), std::vector<std::string>{"Scroll"});
}

TEST(ListScroll, ScrollBarAppearsWithOneItemMoreThanRows) {
    Fixture f(5, 5);
    EXPECT_FALSE(f.m.scrollShown());
    f.m.addItem(L"sixth");
    EXPECT_TRUE(f.m.scrollShown());
    EXPECT_EQ(f.m.scrollMax(), 1);
    f.m.setTopIndex(1);
    f.m.removeItem(0);  // the shorter range pulls the value back
    EXPECT_FALSE(f.m.scrollShown());
    EXPECT_EQ(f.m.topIndex(), 0);
}

TEST(ListScroll, ListIndexScrollsIntoView) {
    Fixture f(20, 5);
    f.m.setListIndex(9);
    EXPECT_EQ(f.m.topIndex(), 5);
    f.m.setListIndex(2);
    EXPECT_EQ(f.m.topIndex(), 2);
    f.sink.log.clear();
    f.m.setListIndex(19);
    EXPECT_EQ(f.m.topIndex(), 15);
    EXPECT_EQ(f.sink.events(), (std::vector<std::string>{"Scroll", "TopIndexChange", "ListIndexChange"}));
    EXPECT_EQ(f.m.rowOf(19), 4);
    EXPECT_FALSE(f.m.rowOf(14).has_value());
}

// ---- mouse ---------------------------------------------------------------------------------------

TEST(ListMouse, ClickSelectsAndOrdersEvents) {
    Fixture f(3, 5);
    f.m.mouseDown(1, 20.0);  // row 1
    EXPECT_EQ(f.m.listIndex(), 1);
    EXPECT_TRUE(f.m.buttonHeld());
    f.m.mouseUp();
    f.m.click();
    EXPECT_EQ(f.sink.events(), (std::vector<std::string>{"ListIndexChange", "Click"}));
    f.sink.log.clear();
    f.m.mouseDown(1, 70.0);  // below the last item
    EXPECT_EQ(f.m.listIndex(), 1);
    EXPECT_TRUE(f.m.buttonHeld());
    f.m.mouseUp();
    f.m.click();
    EXPECT_EQ(f.sink.events(), std::vector<std::string>{"Click"});
    f.m.mouseDown(kRightButton, 0.0);
    EXPECT_EQ(f.m.listIndex(), 1);
    Fixture empty(0);
    empty.m.click();
    empty.m.dblClick();
    EXPECT_TRUE(empty.sink.events().empty());
}

TEST(ListMouse, MultipleSelectionTogglesAndPaintsTheDrag) {
    Fixture f(6, 6);
    f.m.setSelectMode(1);
    f.m.setItemSelected(1, true);
    f.m.setItemSelected(2, true);
    f.m.setItemSelected(3, true);
    f.m.mouseDown(1, 16 * 1 + 3);  // on a selected item: deselects it
    EXPECT_FALSE(f.m.itemSelected(1));
    EXPECT_FALSE(f.m.dragValue());
    f.m.mouseMove(1, 16 * 2 + 3, 96);
    f.m.mouseMove(1, 16 * 3 + 3, 96);
    f.m.mouseMove(1, 16 * 4 + 3, 96);
    EXPECT_EQ(f.m.selectedCount(), 0);
    EXPECT_EQ(f.m.listIndex(), 4);
    f.m.mouseUp();
    EXPECT_TRUE(f.m.dragValue());
    f.m.mouseDown(1, 5);  // on an unselected item: selects, and the drag selects
    f.m.mouseMove(kRightButton, 16 + 5, 96);
    EXPECT_EQ(f.m.selectedCount(), 2);
}

TEST(ListMouse, HoverMovesTheSelectionRowByRow) {
    Fixture f(5, 5);
    f.m.mouseMove(0, 10, 80);
    EXPECT_EQ(f.m.listIndex(), -1);  // no hover, no button
    f.m.setHoverSelection(true);
    f.sink.log.clear();
    f.m.mouseMove(0, 3, 80);
    f.m.mouseMove(0, 10, 80);  // the same row: nothing
    f.m.mouseMove(0, 20, 80);
    f.m.mouseMove(0, 40, 80);
    EXPECT_EQ(f.m.listIndex(), 2);
    EXPECT_EQ(f.m.selectedCount(), 1);
    EXPECT_EQ(f.sink.count("ListIndexChange"), 3);
}

TEST(ListMouse, AfterAScrollTheFirstRowCountsAsNew) {
    Fixture f(10, 5);
    f.m.setHoverSelection(true);
    f.m.mouseMove(0, 3, 80);
    EXPECT_EQ(f.m.listIndex(), 0);
    f.m.setTopIndex(3);
    f.m.mouseMove(0, 4, 80);
    EXPECT_EQ(f.m.listIndex(), 3);
}

TEST(ListMouse, AutoScrollIntervals) {
    EXPECT_EQ(ListModel::autoScrollInterval(AutoScroll::Up, -1, 80), 480);
    EXPECT_EQ(ListModel::autoScrollInterval(AutoScroll::Up, -23, 80), 40);
    EXPECT_EQ(ListModel::autoScrollInterval(AutoScroll::Up, -500, 80), 40);
    EXPECT_EQ(ListModel::autoScrollInterval(AutoScroll::Down, 80 + 10, 80), 320);
    EXPECT_EQ(ListModel::autoScrollInterval(AutoScroll::Down, 80 + 30, 80), 40);
}

TEST(ListMouse, AutoScrollStepsOncePerIntervalUntilReleased) {
    Fixture f(50, 5);
    f.m.setSelectMode(1);
    f.m.mouseDown(1, 20);  // item 1, selected: the drag selects
    EXPECT_EQ(f.m.mouseMove(1, 90, 80), AutoScroll::Down);  // 10 below: every 320 ms
    std::uint32_t clock = 1000;
    int waits = 0;
    f.m.runAutoScroll(
        AutoScroll::Down, 80, [&] { return clock; },
        [&](std::uint32_t ms) {
            ++waits;
            clock += std::min<std::uint32_t>(ms, 100);
            if (clock >= 1000 + 1000) f.m.mouseUp();
            // A move outside the list while the loop runs only updates the latest y.
            EXPECT_EQ(f.m.mouseMove(1, 200, 80), AutoScroll::None);
            return true;
        });
    // Steps at 0, 321, 642, 963 ms.
    EXPECT_EQ(f.m.listIndex(), 5);
    EXPECT_EQ(f.m.selectedCount(), 5);
    EXPECT_GT(waits, 4);
}

TEST(ListMouse, AutoScrollUpEndsWhenTheMouseIsBack) {
    Fixture f(50, 5);
    f.m.setListIndex(30);
    f.m.mouseDown(1, 20);
    EXPECT_EQ(f.m.listIndex(), 27);
    EXPECT_EQ(f.m.mouseMove(1, -30, 80), AutoScroll::Up);
    std::uint32_t clock = 0;
    int steps = 0;
    f.m.runAutoScroll(AutoScroll::Up, 80, [&] { return clock; }, [&](std::uint32_t ms) {
        clock += ms;
        if (++steps == 10) f.m.setLatestY(10);
        return true;
    });
    EXPECT_EQ(f.m.listIndex(), 17);
    EXPECT_EQ(f.m.topIndex(), 17);
    EXPECT_TRUE(f.m.buttonHeld());
}

TEST(ListMouse, AutoScrollStopsWhenTheControlGoes) {
    Fixture f(50, 5);
    f.m.mouseDown(1, 20);
    f.m.mouseMove(1, -5, 80);
    int calls = 0;
    f.m.runAutoScroll(AutoScroll::Up, 80, [] { return 0u; }, [&](std::uint32_t) { return ++calls < 3; });
    EXPECT_EQ(calls, 3);
}

// ---- keys and focus ------------------------------------------------------------------------------

TEST(ListKeys, Moves) {
    Fixture f(20, 5);
    f.m.keyDown(40);
    EXPECT_EQ(f.m.listIndex(), -1);  // no current item: nothing moves
    f.m.setListIndex(0);
    f.m.keyDown(38);
    EXPECT_EQ(f.m.listIndex(), 0);
    f.m.keyDown(40);
    EXPECT_EQ(f.m.listIndex(), 1);
    f.m.keyDown(34);
    EXPECT_EQ(f.m.listIndex(), 6);
    f.m.keyDown(35);
    EXPECT_EQ(f.m.listIndex(), 19);
    f.m.keyDown(40);
    EXPECT_EQ(f.m.listIndex(), 19);
    f.m.setListIndex(15);
    f.m.keyDown(34);  // on the last page: the last item
    EXPECT_EQ(f.m.listIndex(), 19);
    f.m.setListIndex(14);
    f.m.keyDown(34);
    EXPECT_EQ(f.m.listIndex(), 19);
    f.m.setListIndex(13);
    f.m.keyDown(34);
    EXPECT_EQ(f.m.listIndex(), 18);
    f.m.setListIndex(5);
    f.m.keyDown(33);  // near the top: item 0
    EXPECT_EQ(f.m.listIndex(), 0);
    f.m.setListIndex(6);
    f.m.keyDown(33);
    EXPECT_EQ(f.m.listIndex(), 1);
    f.m.keyDown(36);
    EXPECT_EQ(f.m.listIndex(), 0);
}

TEST(ListKeys, SpaceClicksAndTogglesInMultipleSelection) {
    Fixture f(3);
    f.m.keyDown(32);
    EXPECT_TRUE(f.sink.events().empty());
    f.m.setListIndex(1);
    f.sink.log.clear();
    f.m.keyDown(32);
    EXPECT_EQ(f.sink.events(), std::vector<std::string>{"Click"});
    EXPECT_TRUE(f.m.itemSelected(1));
    f.m.setSelectMode(1);
    f.m.keyDown(32);
    EXPECT_FALSE(f.m.itemSelected(1));
    f.m.keyDown(40);  // arrows move the focus box only
    EXPECT_EQ(f.m.selectedCount(), 0);
}

TEST(ListFocus, FocusBoxFollowsFocusAndTheProperty) {
    Fixture f(3);
    f.m.setListIndex(1);
    f.sink.log.clear();
    f.m.enterFocus();
    f.m.exitFocus();
    f.m.setFocusProperty(false);
    EXPECT_EQ(f.sink.log, (std::vector<std::string>{"box1", "row1", "row1"}));
    EXPECT_FALSE(f.m.hasFocus());
}

TEST(ListText, NumbersBecomeTheirText) {
    EXPECT_EQ(ItemText(12).str(), L"12");
    EXPECT_EQ(ItemText(0.1).str(), L"0.1");
    EXPECT_EQ(ItemText(L"가나").str(), L"가나");
    EXPECT_TRUE(ItemText(0).isNumberZero());
    EXPECT_FALSE(ItemText(L"0").isNumberZero());
}
