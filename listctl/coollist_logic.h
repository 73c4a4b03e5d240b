#pragma once
// The list's behaviour apart from any window: the item table with its spare entry, the selection
// flags, the current item, the scroll position and the mouse and key rules. Everything it wants
// drawn or raised goes through a Sink, in the order the host must see it.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace kelva::lst {

// The Text argument of AddItem, InsertItem and ModifyItem: a text, or a number (shown as its text;
// the number 0 passed to ModifyItem leaves the text alone).
class ItemText {
public:
    ItemText(std::wstring s) : v_(std::move(s)) {}        // NOLINT: implicit, as a Variant argument
    ItemText(const wchar_t* s) : v_(std::wstring(s)) {}  // NOLINT
    ItemText(std::wstring_view s) : v_(std::wstring(s)) {}  // NOLINT
    ItemText(double d) : v_(d) {}                          // NOLINT
    ItemText(int i) : v_(static_cast<double>(i)) {}        // NOLINT
    bool isNumberZero() const { return std::holds_alternative<double>(v_) && std::get<double>(v_) == 0.0; }
    std::wstring str() const;

private:
    std::variant<std::wstring, double> v_;
};

struct Item {
    std::wstring text;
    std::int16_t icon = 0;
    std::int16_t iconSelected = 0;
};

enum class Event { Click, DblClick, ListIndexChange, Scroll, TopIndexChange };

// What the model asks of its window.
class Sink {
public:
    virtual ~Sink() = default;
    virtual void drawRow(std::int16_t index) = 0;       // DrawList: only when the row shows
    virtual void drawFocusBox(std::int16_t index) = 0;  // only with Focus on and the focus inside
    virtual void redrawVisible() = 0;
    virtual void clearList() = 0;             // picList cleared (rows below the last item)
    virtual void closeEdit() = 0;             // an open edit closes without saving
    virtual void scrollBarChanged() = 0;      // shown / maximum / value / large change to mirror
    virtual void raise(Event e) = 0;
};

// A sink that does nothing: for a model without a window.
class NullSink : public Sink {
public:
    void drawRow(std::int16_t) override {}
    void drawFocusBox(std::int16_t) override {}
    void redrawVisible() override {}
    void clearList() override {}
    void closeEdit() override {}
    void scrollBarChanged() override {}
    void raise(Event) override {}
};

inline constexpr int kMaxItems = 32767;
inline constexpr int kRightButton = 2;

enum class AutoScroll { None, Up, Down };

// Ordinal comparison by UTF-16 code unit, on every platform.
int compareOrdinal(std::wstring_view a, std::wstring_view b);

// The Shell sort of Order: gaps 1, 4, 13, 40, ... from the first one above count, down to 1.
void shellSort(std::vector<Item>& items, std::size_t count, bool descending);

class ListModel {
public:
    explicit ListModel(Sink& sink) : sink_(&sink) {}
    void setSink(Sink& sink) { sink_ = &sink; }

    // ---- items ----
    void addItem(const ItemText& text, std::int16_t icon = 0, std::int16_t iconSelected = 0);
    void insertItem(std::int16_t index, const ItemText& text, std::int16_t icon = 0, std::int16_t iconSelected = 0);
    void modifyItem(std::int16_t index, const ItemText& text, std::int16_t icon = -1, std::int16_t iconSelected = -1);
    void removeItem(std::int16_t index);
    std::int16_t findFirst(std::wstring_view findString, std::int16_t startIndex = 0, bool startWith = false) const;
    void clear();
    void order();

    const std::wstring& itemText(std::int16_t index) const;
    void setItemText(std::int16_t index, std::wstring text);
    std::int16_t itemIcon(std::int16_t index) const;
    void setItemIcon(std::int16_t index, std::int16_t v);
    std::int16_t itemIconSelected(std::int16_t index) const;
    void setItemIconSelected(std::int16_t index, std::int16_t v);
    bool itemSelected(std::int16_t index) const;
    void setItemSelected(std::int16_t index, bool value);
    const Item& item(std::int16_t index) const { return items_[static_cast<std::size_t>(index)]; }
    bool flag(std::int16_t index) const { return flags_[static_cast<std::size_t>(index)]; }

    std::int16_t listCount() const { return count_; }
    std::int16_t listIndex() const { return listIndex_; }
    void setListIndex(std::int16_t value);
    std::int16_t selectedCount() const;
    std::int16_t topIndex() const { return top_; }
    void setTopIndex(std::int16_t value);
    std::int32_t selectMode() const { return selectMode_; }
    // designMode: inside a form designer the flags are left alone.
    void setSelectMode(std::int32_t value, bool designMode = false);
    std::int32_t orderType() const { return orderType_; }
    void setOrderType(std::int32_t v) { orderType_ = v; }
    std::int16_t previousIndex() const { return previous_; }
    // A ListIndex straight from the stored properties: no redraw, no event.
    void resetListIndex() { listIndex_ = -1; }

    // ---- layout and the scroll bar ----
    std::int16_t visibleRows() const { return visibleRows_; }
    std::int16_t rowHeight() const { return rowHeight_; }
    void setLayout(std::int16_t rowHeight, std::int16_t visibleRows);
    void updateScrollBar();
    bool scrollShown() const { return scrollShown_; }
    std::int32_t scrollMax() const { return scrollMax_; }
    // The scroll bar's value changes (by the user, TopIndex, ListIndex or Order). thumbTrack: the
    // thumb is being dragged, which raises Scroll once more.
    void scrollTo(std::int32_t value, bool thumbTrack = false);
    // Scrolls so that the item shows (as a ListIndex assignment does).
    void ensureVisible(std::int16_t index);
    // The row (0-based, below the top) an item shows in; nothing when it does not show.
    std::optional<int> rowOf(std::int16_t index) const;

    // ---- input ----
    void mouseDown(int button, double y);
    // innerHeight: the list's height in pixels. Returns the auto-scroll to run, if any.
    AutoScroll mouseMove(int buttons, double y, int innerHeight);
    void mouseUp();
    void click();
    void dblClick();
    void keyDown(int keyCode);
    void enterFocus();
    void exitFocus();
    bool hasFocus() const { return hasFocus_; }
    bool focusProperty() const { return focus_; }
    void setFocusProperty(bool v);
    bool hoverSelection() const { return hover_; }
    void setHoverSelection(bool v);
    bool buttonHeld() const { return buttonHeld_; }
    bool dragValue() const { return dragValue_; }
    std::optional<double> rememberedY() const { return mouseY_; }

    // Auto-scroll while the button is held outside the list: the step interval in milliseconds,
    // whether the loop goes on, and one step.
    static int autoScrollInterval(AutoScroll dir, int latestY, int innerHeight);
    bool autoScrollContinues(AutoScroll dir, int innerHeight) const;
    void autoScrollStep(AutoScroll dir);
    int latestY() const { return latestY_; }
    void setLatestY(int y) { latestY_ = y; }
    // The loop: now() gives milliseconds, wait(ms) lets messages run for at most ms and returns
    // false when the control has gone.
    void runAutoScroll(AutoScroll dir, int innerHeight, const std::function<std::uint32_t()>& now,
                       const std::function<bool(std::uint32_t)>& wait);

private:
    void checkItemIndex(std::int16_t index) const;  // 381 / 9
    void redrawItem(std::int16_t index);            // its row, then the focus box of ListIndex
    void grow();

    Sink* sink_;
    std::vector<Item> items_{Item{}};
    std::vector<bool> flags_{false};
    std::int16_t count_ = 0;
    std::int16_t listIndex_ = -1;
    std::int16_t previous_ = -1;
    bool scrollIntoView_ = true;
    std::int32_t selectMode_ = 0;
    std::int32_t orderType_ = 0;
    std::int16_t rowHeight_ = 1;
    std::int16_t visibleRows_ = 1;
    std::int16_t top_ = 0;            // the scroll bar's value
    std::int16_t rememberedTop_ = 0;
    std::int32_t scrollMax_ = 0;
    bool scrollShown_ = false;
    std::optional<double> mouseY_;    // the y that last chose an item
    int latestY_ = 0;
    bool dragValue_ = false;
    bool buttonHeld_ = false;
    bool hasFocus_ = false;
    bool focus_ = true;
    bool hover_ = false;
    bool autoScrolling_ = false;
};

}  // namespace kelva::lst
