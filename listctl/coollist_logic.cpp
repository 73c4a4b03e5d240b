#include "listctl/coollist_logic.h"

#include <algorithm>
#include <cmath>

#include "core/errors.h"
#include "core/values.h"

namespace kelva::lst {

std::wstring ItemText::str() const {
    if (const auto* s = std::get_if<std::wstring>(&v_)) return *s;
    return formatDouble(std::get<double>(v_));
}

namespace {
// A character beyond the basic plane sorts as its high surrogate would.
std::uint32_t unitKey(wchar_t c) {
    const auto v = static_cast<std::uint32_t>(c);
    return v > 0xFFFF ? 0xD800 + ((v - 0x10000) >> 10) : v;
}
}  // namespace

int compareOrdinal(std::wstring_view a, std::wstring_view b) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const auto x = unitKey(a[i]), y = unitKey(b[i]);
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

void shellSort(std::vector<Item>& items, std::size_t count, bool descending) {
    std::size_t gap = 1;
    while (gap <= count) gap = gap * 3 + 1;
    while (gap > 1) {
        gap /= 3;
        for (std::size_t i = gap; i < count; ++i) {
            Item moving = std::move(items[i]);
            std::size_t j = i;
            while (j >= gap) {
                const int c = compareOrdinal(items[j - gap].text, moving.text);
                if (descending ? c > 0 : c <= 0) break;
                items[j] = std::move(items[j - gap]);
                j -= gap;
            }
            items[j] = std::move(moving);
        }
    }
}

// ---- items ----------------------------------------------------------------------------------

void ListModel::checkItemIndex(std::int16_t index) const {
    if (count_ == 0 || index > count_ - 1) raise(err::InvalidPropertyIndex);
    if (index < 0) raise(err::SubscriptOutOfRange);
}

void ListModel::grow() {
    items_.emplace_back();
    flags_.push_back(false);
}

void ListModel::addItem(const ItemText& text, std::int16_t icon, std::int16_t iconSelected) {
    // The count is checked before the spare entry is written, so a full list keeps its spare empty.
    if (count_ >= kMaxItems) raise(err::Overflow);
    auto& spare = items_[static_cast<std::size_t>(count_)];
    spare = Item{text.str(), icon, iconSelected};
    ++count_;
    grow();
    updateScrollBar();
    if (count_ <= visibleRows_) sink_->drawRow(static_cast<std::int16_t>(count_ - 1));
}

void ListModel::insertItem(std::int16_t index, const ItemText& text, std::int16_t icon, std::int16_t iconSelected) {
    if (count_ == 0 || index > count_ || index < 0) raise(err::InvalidPropertyIndex);
    if (count_ >= kMaxItems) raise(err::Overflow);
    Item fresh{text.str(), icon, iconSelected};
    ++count_;
    grow();
    const auto at = static_cast<std::size_t>(index);
    std::move_backward(items_.begin() + static_cast<std::ptrdiff_t>(at), items_.end() - 1, items_.end());
    for (std::size_t i = flags_.size() - 1; i > at; --i) flags_[i] = flags_[i - 1];
    items_[at] = std::move(fresh);
    flags_[at] = false;
    updateScrollBar();
    scrollIntoView_ = false;
    if (listIndex_ >= 0 && listIndex_ >= index) setListIndex(static_cast<std::int16_t>(listIndex_ + 1));
    sink_->redrawVisible();
}

void ListModel::modifyItem(std::int16_t index, const ItemText& text, std::int16_t icon, std::int16_t iconSelected) {
    checkItemIndex(index);
    auto& it = items_[static_cast<std::size_t>(index)];
    if (!text.isNumberZero()) it.text = text.str();
    if (icon >= 0) it.icon = icon;
    if (iconSelected >= 0) it.iconSelected = iconSelected;
    redrawItem(index);
}

void ListModel::removeItem(std::int16_t index) {
    if (count_ == 0 || index > count_ - 1 || index < 0) raise(err::InvalidPropertyIndex);
    const auto at = static_cast<std::ptrdiff_t>(index);
    items_.erase(items_.begin() + at);
    flags_.erase(flags_.begin() + at);
    --count_;
    updateScrollBar();
    scrollIntoView_ = false;
    if (index == listIndex_) setListIndex(-1);
    else if (index < listIndex_) setListIndex(static_cast<std::int16_t>(listIndex_ - 1));
    if (count_ < visibleRows_) sink_->clearList();
    sink_->redrawVisible();
}

std::int16_t ListModel::findFirst(std::wstring_view find, std::int16_t startIndex, bool startWith) const {
    if (count_ == 0) raise(err::InvalidPropertyIndex);
    if (startIndex < 0) raise(err::SubscriptOutOfRange);
    for (int i = startIndex; i <= count_; ++i) {
        const std::wstring& t = items_[static_cast<std::size_t>(i)].text;
        bool match;
        if (find.empty()) match = !t.empty();
        else if (startWith) match = std::wstring_view(t).substr(0, find.size()) == find;
        else match = t.find(find) != std::wstring::npos;
        if (match) return static_cast<std::int16_t>(i);
    }
    return -1;
}

void ListModel::clear() {
    sink_->closeEdit();  // the item under an open edit goes
    scrollShown_ = false;
    scrollMax_ = 0;
    top_ = 0;
    rememberedTop_ = 0;
    sink_->scrollBarChanged();
    sink_->clearList();
    items_.assign(1, Item{});
    flags_.assign(1, false);
    count_ = 0;
    previous_ = -1;
    listIndex_ = -1;
    mouseY_.reset();
}

void ListModel::order() {
    if (count_ < 2) return;
    sink_->closeEdit();  // before the item under it moves
    shellSort(items_, static_cast<std::size_t>(count_), orderType_ == 1);
    setListIndex(-1);
    scrollTo(0);
    std::fill(flags_.begin(), flags_.end(), false);
    sink_->redrawVisible();
}

void ListModel::redrawItem(std::int16_t index) {
    sink_->drawRow(index);
    sink_->drawFocusBox(listIndex_);
}

const std::wstring& ListModel::itemText(std::int16_t index) const {
    checkItemIndex(index);
    return items_[static_cast<std::size_t>(index)].text;
}
void ListModel::setItemText(std::int16_t index, std::wstring text) {
    checkItemIndex(index);
    items_[static_cast<std::size_t>(index)].text = std::move(text);
    redrawItem(index);
}
std::int16_t ListModel::itemIcon(std::int16_t index) const {
    checkItemIndex(index);
    return items_[static_cast<std::size_t>(index)].icon;
}
void ListModel::setItemIcon(std::int16_t index, std::int16_t v) {
    checkItemIndex(index);
    items_[static_cast<std::size_t>(index)].icon = v;
    redrawItem(index);
}
std::int16_t ListModel::itemIconSelected(std::int16_t index) const {
    checkItemIndex(index);
    return items_[static_cast<std::size_t>(index)].iconSelected;
}
void ListModel::setItemIconSelected(std::int16_t index, std::int16_t v) {
    checkItemIndex(index);
    items_[static_cast<std::size_t>(index)].iconSelected = v;
    redrawItem(index);
}
bool ListModel::itemSelected(std::int16_t index) const {
    checkItemIndex(index);
    return flags_[static_cast<std::size_t>(index)];
}

void ListModel::setItemSelected(std::int16_t index, bool value) {
    checkItemIndex(index);
    if (selectMode_ == 0) {
        if (value) setListIndex(index);
        return;
    }
    flags_[static_cast<std::size_t>(index)] = value;
    sink_->drawRow(index);
    if (index == listIndex_) sink_->drawFocusBox(index);
}

// ---- selection --------------------------------------------------------------------------------

void ListModel::setListIndex(std::int16_t value) {
    if (value > count_ - 1 || value < -1) raise(err::InvalidPropertyValue);
    sink_->closeEdit();
    if (value < 0 || count_ == 0) {
        listIndex_ = -1;
        mouseY_.reset();
    } else {
        listIndex_ = value;
    }
    // The previous index may lie past the end once items were removed after it was current.
    auto validFlag = [this](std::int16_t i) { return i >= 0 && i < count_; };
    if (selectMode_ == 0) {
        if (validFlag(previous_)) flags_[static_cast<std::size_t>(previous_)] = false;
        if (listIndex_ >= 0) flags_[static_cast<std::size_t>(listIndex_)] = true;
    }
    if (validFlag(previous_)) sink_->drawRow(previous_);
    previous_ = listIndex_;
    if (listIndex_ >= 0) {
        sink_->drawRow(listIndex_);
        sink_->drawFocusBox(listIndex_);
    }
    if (scrollIntoView_) {
        ensureVisible(listIndex_);
    } else {
        scrollIntoView_ = true;
    }
    sink_->raise(Event::ListIndexChange);
}

std::int16_t ListModel::selectedCount() const {
    return static_cast<std::int16_t>(std::count(flags_.begin(), flags_.end(), true));
}

void ListModel::setTopIndex(std::int16_t value) {
    if (value > count_ - visibleRows_ || value < 0) raise(err::InvalidPropertyValue);
    scrollTo(value);
    sink_->raise(Event::TopIndexChange);
}

void ListModel::setSelectMode(std::int32_t value, bool designMode) {
    selectMode_ = value;
    if (!designMode && value == 0) {
        // Single selection keeps at most one selected item: the current one.
        std::fill(flags_.begin(), flags_.end(), false);
        if (listIndex_ >= 0) {
            flags_[static_cast<std::size_t>(listIndex_)] = true;
            sink_->drawRow(listIndex_);
            sink_->drawFocusBox(listIndex_);
        }
    }
    updateScrollBar();
    sink_->redrawVisible();
}

// ---- layout and scrolling ------------------------------------------------------------------------

void ListModel::setLayout(std::int16_t rowHeight, std::int16_t visibleRows) {
    rowHeight_ = std::max<std::int16_t>(rowHeight, 1);
    visibleRows_ = std::max<std::int16_t>(visibleRows, 1);
}

void ListModel::updateScrollBar() {
    scrollShown_ = visibleRows_ < count_;
    scrollMax_ = count_ - visibleRows_;
    sink_->scrollBarChanged();
    // A shorter range pulls the value down with it, as a scroll bar does.
    const std::int32_t limit = std::max<std::int32_t>(scrollMax_, 0);
    if (top_ > limit) scrollTo(limit);
}

void ListModel::scrollTo(std::int32_t value, bool thumbTrack) {
    value = std::clamp<std::int32_t>(value, 0, std::max<std::int32_t>(scrollMax_, 0));
    top_ = static_cast<std::int16_t>(value);
    if (top_ != rememberedTop_) {
        rememberedTop_ = top_;
        mouseY_.reset();
        sink_->closeEdit();
        sink_->scrollBarChanged();
        sink_->redrawVisible();
        sink_->raise(Event::Scroll);
        sink_->raise(Event::TopIndexChange);
    }
    if (thumbTrack) sink_->raise(Event::Scroll);
}

void ListModel::ensureVisible(std::int16_t index) {
    if (index >= 0 && index < top_) scrollTo(index);
    else if (index >= 0 && index > top_ + visibleRows_ - 1) scrollTo(index - visibleRows_ + 1);
}

std::optional<int> ListModel::rowOf(std::int16_t index) const {
    if (index < top_ || index >= count_ || index > top_ + visibleRows_ - 1) return std::nullopt;
    return index - top_;
}

// ---- input --------------------------------------------------------------------------------------

void ListModel::mouseDown(int button, double y) {
    if (button != kRightButton) {
        const double row = std::floor(y / rowHeight_);
        const double index = row + top_;
        if (index >= 0 && index < count_) {
            const auto i = static_cast<std::int16_t>(index);
            if (selectMode_ == 0) flags_[static_cast<std::size_t>(i)] = true;
            else if (selectMode_ == 1) {
                flags_[static_cast<std::size_t>(i)] = !flags_[static_cast<std::size_t>(i)];
                dragValue_ = flags_[static_cast<std::size_t>(i)];
            }
            mouseY_ = y;
            setListIndex(i);
        }
        buttonHeld_ = true;
    }
}

AutoScroll ListModel::mouseMove(int buttons, double y, int innerHeight) {
    latestY_ = static_cast<int>(roundHalfEven(y));
    if (latestY_ < 0) return autoScrolling_ ? AutoScroll::None : AutoScroll::Up;
    if (latestY_ > innerHeight - 1) return autoScrolling_ ? AutoScroll::None : AutoScroll::Down;
    const int row = latestY_ / rowHeight_;
    const std::optional<int> rememberedRow =
        mouseY_ ? std::optional<int>(static_cast<int>(roundHalfEven(*mouseY_)) / rowHeight_) : std::nullopt;
    if (row != rememberedRow && (hover_ || buttons != 0)) {
        const int index = row + top_;
        if (index >= 0 && index < count_) {
            flags_[static_cast<std::size_t>(index)] = dragValue_;
            setListIndex(static_cast<std::int16_t>(index));
            mouseY_ = y;
        }
    }
    return AutoScroll::None;
}

void ListModel::mouseUp() {
    buttonHeld_ = false;
    dragValue_ = true;
}

void ListModel::click() {
    if (listIndex_ >= 0) sink_->raise(Event::Click);
}

void ListModel::dblClick() {
    if (listIndex_ >= 0) sink_->raise(Event::DblClick);
}

void ListModel::keyDown(int keyCode) {
    if (count_ == 0 || listIndex_ == -1) return;
    const int li = listIndex_, vr = visibleRows_, n = count_;
    switch (keyCode) {
    case 38:
        if (li > 0) setListIndex(static_cast<std::int16_t>(li - 1));
        break;
    case 40:
        if (li < n - 1) setListIndex(static_cast<std::int16_t>(li + 1));
        break;
    case 33: setListIndex(static_cast<std::int16_t>(vr >= li ? 0 : li - vr)); break;
    case 34: setListIndex(static_cast<std::int16_t>(li < n - vr - 1 ? li + vr : n - 1)); break;
    case 36: setListIndex(0); break;
    case 35: setListIndex(static_cast<std::int16_t>(n - 1)); break;
    case 32:
        if (selectMode_ != 0) {
            flags_[static_cast<std::size_t>(li)] = !flags_[static_cast<std::size_t>(li)];
            sink_->drawRow(listIndex_);
            sink_->drawFocusBox(listIndex_);
        }
        sink_->raise(Event::Click);
        break;
    default: break;
    }
}

void ListModel::enterFocus() {
    hasFocus_ = true;
    sink_->drawFocusBox(listIndex_);
}

void ListModel::exitFocus() {
    hasFocus_ = false;
    sink_->drawRow(listIndex_);
}

void ListModel::setFocusProperty(bool v) {
    focus_ = v;
    if (v) sink_->drawFocusBox(listIndex_);
    else sink_->drawRow(listIndex_);
}

void ListModel::setHoverSelection(bool v) {
    hover_ = v;
    sink_->drawRow(listIndex_);
    sink_->drawFocusBox(listIndex_);
}

// ---- auto-scroll ----------------------------------------------------------------------------------

int ListModel::autoScrollInterval(AutoScroll dir, int latestY, int innerHeight) {
    const long long v = dir == AutoScroll::Up ? 500LL + 20LL * latestY : 500LL - 20LL * (latestY - innerHeight - 1LL);
    return static_cast<int>(std::clamp<long long>(v, 40, 500));
}

bool ListModel::autoScrollContinues(AutoScroll dir, int innerHeight) const {
    if (!buttonHeld_) return false;
    return dir == AutoScroll::Up ? latestY_ < 0 : latestY_ > innerHeight - 1;
}

void ListModel::autoScrollStep(AutoScroll dir) {
    if (dir == AutoScroll::Up && listIndex_ > 0) {
        const auto to = static_cast<std::int16_t>(listIndex_ - 1);
        if (selectMode_ == 1) flags_[static_cast<std::size_t>(to)] = dragValue_;
        setListIndex(to);
    } else if (dir == AutoScroll::Down && listIndex_ < count_ - 1) {
        const auto to = static_cast<std::int16_t>(listIndex_ + 1);
        if (selectMode_ == 1) flags_[static_cast<std::size_t>(to)] = dragValue_;
        setListIndex(to);
    }
}

void ListModel::runAutoScroll(AutoScroll dir, int innerHeight, const std::function<std::uint32_t()>& now,
                              const std::function<bool(std::uint32_t)>& wait) {
    if (dir == AutoScroll::None || autoScrolling_) return;
    autoScrolling_ = true;
    const auto interval = static_cast<std::uint32_t>(autoScrollInterval(dir, latestY_, innerHeight));
    bool first = true;
    std::uint32_t last = now();
    bool alive = true;
    while (autoScrollContinues(dir, innerHeight)) {
        const std::uint32_t t = now();
        std::uint32_t left = 0;
        if (first || t - last > interval) {
            first = false;
            last = t;
            autoScrollStep(dir);
            left = interval + 1;
        } else {
            left = interval + 1 - (t - last);
        }
        if (!wait(left)) {
            alive = false;
            break;
        }
    }
    if (alive) autoScrolling_ = false;
}

}  // namespace kelva::lst
