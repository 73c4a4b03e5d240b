#include "palette/charmap_logic.h"

#include <cmath>
#include <utility>

#include "core/values.h"

namespace kelva::palette {

const wchar_t* const kCopyTooltip = L"더블 클릭시 클립보드로 복사";
const wchar_t* const kFavoritesFull = L"즐겨찾기 항목 중 하나를 삭제후 추가해 주십시오  ";
const wchar_t* const kDefaultFavorites = L"㎡㎥√×²³Φ";

namespace {
// nearest(v) as an integer: halves to the even neighbour.
long long nearest(double v) { return static_cast<long long>(roundHalfEven(v)); }
// Integer division truncating toward zero; a zero divisor gives 0 rather than a crash (a window
// too small to hold a cell).
long long idiv(long long a, long long b) { return b == 0 ? 0 : a / b; }
}  // namespace

CellMetrics computeMetrics(double pageWidthTw, double pageHeightTw, double stripWidthTw, double stripHeightTw,
                           double tppX, double tppY) {
    CellMetrics m;
    m.tppX = tppX;
    m.tppY = tppY;
    const long long tx = nearest(tppX), ty = nearest(tppY);
    m.pageW = static_cast<std::int16_t>(idiv(nearest(pageWidthTw / kColumns), tx));
    m.pageH = static_cast<std::int16_t>(idiv(nearest(pageHeightTw / kRows), ty));
    m.favW = static_cast<std::int16_t>(idiv(nearest(stripWidthTw / kFavoriteColumns), tx));
    m.favH = static_cast<std::int16_t>(idiv(nearest(stripHeightTw / 1), ty));
    m.pageWTw = static_cast<float>(m.pageW * tppX);
    m.pageHTw = static_cast<float>(m.pageH * tppY);
    m.favWTw = static_cast<float>(m.favW * tppX);
    m.favHTw = static_cast<float>(m.favH * tppY);
    return m;
}

PixelPos cellOrigin(int cell, int columns, int cellW, int cellH) {
    const int col = cell % columns;
    const int row = static_cast<int>(std::floor(static_cast<double>(cell) / columns));
    if (col != 0) return {(col - 1) * cellW, row * cellH};
    return {(columns - 1) * cellW, (row - 1) * cellH};
}

int hitPage(double x, double y, const CellMetrics& m) {
    if (x < 0)
        x = 0;
    else if (idiv(nearest(x), nearest(m.pageWTw)) >= kColumns)
        x = (kColumns - 1) * static_cast<double>(m.pageWTw);
    if (y < 0)
        y = 0;
    else if (idiv(nearest(y), nearest(m.pageHTw)) >= kRows)
        y = (kRows - 1) * static_cast<double>(m.pageHTw);
    const long long col = idiv(idiv(nearest(x), nearest(m.tppX)), m.pageW);
    const long long row = idiv(idiv(nearest(y), nearest(m.tppY)), m.pageH);
    const long long cell = col + kColumns * row + 1;
    return static_cast<int>(cell > kCellCount ? kCellCount : cell);
}

int hitStrip(double x, double y, const CellMetrics& m, int favoritesLength) {
    if (x < 0)
        x = 0;
    else if (idiv(nearest(x), nearest(m.favWTw)) >= kFavoriteColumns)
        x = (kFavoriteColumns - 1) * static_cast<double>(m.favWTw);
    const int rows = favoritesLength / kFavoriteColumns;
    if (y < 0)
        y = 0;
    else if (idiv(nearest(y), nearest(m.favHTw)) >= rows)
        y = (rows - 1) * static_cast<double>(m.favHTw) +
            (favoritesLength % kFavoriteColumns != 0 ? static_cast<double>(m.favHTw) : 0.0);
    const long long col = idiv(idiv(nearest(x), nearest(m.tppX)), m.favW);
    // Rows below zero come from an empty strip: the division truncates toward zero, so an exact
    // negative row keeps its sign and the cell comes out at or below zero.
    const long long row = idiv(idiv(nearest(y), nearest(m.tppY)), m.favH);
    return static_cast<int>(col + kFavoriteColumns * row + 1);
}

KeyMove pageKeyMove(int keyCode, int shift, int s) {
    const bool ctrl = (shift & key::CtrlBit) != 0;
    // A target off the page is no move: with no cell selected (0), Home would otherwise reach the
    // first cell of the row above the page.
    auto to = [s](int target, bool allowed) {
        return allowed && target >= 1 && target <= kCellCount && target != s ? KeyMove{KeyMove::Cell, target}
                                                                              : KeyMove{};
    };
    const int col = s % kColumns;
    switch (keyCode) {
    case key::Left: return ctrl ? to(s - 2, s - 2 > 0) : to(s - 1, s - 1 > 0);
    case key::Right: return ctrl ? to(s + 2, s + 2 <= kCellCount) : to(s + 1, s + 1 <= kCellCount);
    case key::Up:
        if (ctrl) return to(col == 0 ? kColumns : col, (col == 0 ? kColumns : col) > 0);
        return to(s - kColumns, s > kColumns);
    case key::Down:
        if (ctrl) {
            const int target = (col == 0 ? kColumns : col) + (kCellCount - kColumns);
            return to(target, target <= kCellCount);
        }
        return to(s + kColumns, s < kCellCount - kColumns + 1);
    case key::Home:
        if (ctrl) return to(1, true);
        return to(col == 0 ? s - (kColumns - 1) : s - (col - 1), true);
    case key::End:
        if (ctrl) return to(kCellCount, true);
        return to(s + kColumns - col, col != 0);
    case key::Tab: return ctrl ? KeyMove{KeyMove::NextPage} : KeyMove{};
    case key::PageUp: return KeyMove{KeyMove::NextPage};
    case key::PageDown: return KeyMove{KeyMove::PreviousPage};
    default: return {};
    }
}

KeyMove formKeyMove(int keyCode, int shift) {
    if (keyCode == key::Tab && (shift & key::CtrlBit)) return KeyMove{KeyMove::NextPage};
    if (keyCode == key::PageUp) return KeyMove{KeyMove::NextPage};
    if (keyCode == key::PageDown) return KeyMove{KeyMove::PreviousPage};
    return {};
}

int stripKeyTarget(int keyCode, int shift, int f, int length) {
    const bool ctrl = (shift & key::CtrlBit) != 0;
    int target = 0;
    switch (keyCode) {
    case key::Left: target = f - (ctrl ? 2 : 1); if (target <= 0) return 0; break;
    case key::Right: target = f + (ctrl ? 2 : 1); if (target > length) return 0; break;
    case key::Home: target = 1; break;
    case key::End: target = length; break;
    default: return 0;
    }
    return target == f ? 0 : target;
}

std::wstring trimBlanks(std::wstring_view text) {
    const auto first = text.find_first_not_of(L' ');
    if (first == std::wstring_view::npos) return {};
    const auto last = text.find_last_not_of(L' ');
    return std::wstring(text.substr(first, last - first + 1));
}

// ----- selection

void CharMap::resetSelection() {
    selectedCell = 0;
    previewTag = L"0";
    keyboardTabSwitch = false;
}

std::wstring CharMap::GetCellChar(int cell) { return cellChar(view_.activePage(), cell); }

std::wstring CharMap::favoriteChar(int index) const {
    if (index < 1 || index > static_cast<int>(favorites.size())) return {};
    return favorites.substr(static_cast<std::size_t>(index - 1), 1);
}

void CharMap::SelectCell(int n, bool focused) {
    if (n > kCellCount) n = kCellCount;
    const int page = view_.activePage();
    const std::wstring text = cellChar(page, n);
    view_.showPreview(text);
    previewTag = std::to_wstring(n);
    const int old = selectedCell;
    // The old highlight is redrawn with this page's own character: the remembered character may
    // belong to the page that was shown when the cell was selected (a keyboard page switch keeps
    // the cell number), and drawing it here would put a foreign or blank glyph into this page.
    if (old >= 0) view_.drawPageCell(page, pageCell(old), cellChar(page, old), false, true);
    view_.drawPageCell(page, pageCell(n), text, true, focused);
    selectedCell = n;
    selectedChar = text;
}

void CharMap::SelectFavorite(int n, bool focused) {
    const int length = static_cast<int>(favorites.size());
    if (length < n) n = length;
    const std::wstring text = favoriteChar(n);
    view_.showPreview(text);
    favoriteIndex = n;
    const int old = selectedFavorite;
    if (old >= 0) view_.drawFavoriteCell(favCell(old), favoriteChar(old), false, true, false);
    view_.drawFavoriteCell(favCell(n), text, true, focused, false);
    selectedFavorite = n;
}

void CharMap::DrawFavorites() {
    view_.clearFavorites();
    for (int i = 1; i <= kFavoriteColumns; ++i)
        view_.drawFavoriteCell({(i - 1) * metrics.favW, 0}, favoriteChar(i), false, true, true);
}

void CharMap::MapPopupMenu(double x, double y) {
    if (view_.popup({L"즐겨찾기에 추가", L"취소"}) != 1) return;
    const int cell = hitPage(x, y, metrics);
    if (favorites.size() >= static_cast<std::size_t>(kFavoriteColumns))
        view_.message(kFavoritesFull);
    else
        favorites += GetCellChar(cell);
    DrawFavorites();
}

void CharMap::FavoritePopupMenu(double x, double y) {
    if (view_.popup({L"삭제", L"취소"}) != 1) return;
    const int n = hitStrip(x, y, metrics, static_cast<int>(favorites.size()));
    if (n >= 1 && n <= static_cast<int>(favorites.size())) favorites.erase(static_cast<std::size_t>(n - 1), 1);
    DrawFavorites();
}

void CharMap::insertAndCopy(const std::wstring& text) {
    if (text.empty()) return;
    view_.insertText(text);
    view_.copyToClipboard(trimBlanks(text));
}

// ----- pages

void CharMap::pageMouseMove(int button, double x, double y) {
    if (!(button & 3)) return;
    mouseCell = hitPage(x, y, metrics);
    SelectCell(mouseCell, true);
}

void CharMap::pageMouseDown(int button, double x, double y) {
    keyboardTabSwitch = false;
    pageMouseMove(button, x, y);
    if (button & 2) MapPopupMenu(x, y);
}

void CharMap::pageDblClick() {
    const std::wstring text = GetCellChar(mouseCell);
    if (text.empty()) return;  // a blank cell leaves the box and the clipboard alone
    view_.insertText(text);
    if (view_.copyOnDoubleClick()) view_.copyToClipboard(trimBlanks(text));
}

void CharMap::pageKeyPress() {
    int cell = 0;
    try {
        cell = std::stoi(previewTag);
    } catch (...) {
        cell = 0;
    }
    insertAndCopy(GetCellChar(cell));
}

void CharMap::switchPage(const KeyMove& move) {
    const int count = kPageCount;
    const int active = view_.activePage();
    const int target = move.kind == KeyMove::NextPage ? (active + 1) % count : (active + count - 1) % count;
    keyboardTabSwitch = true;
    view_.setActivePage(target);
    SelectCell(selectedCell, true);
}

void CharMap::pageKeyDown(int keyCode, int shift) {
    const KeyMove move = pageKeyMove(keyCode, shift, selectedCell);
    if (move.kind == KeyMove::Cell)
        SelectCell(move.cell, true);
    else if (move.kind != KeyMove::None)
        switchPage(move);
}

void CharMap::tabKeyStarting(int keyCode, int shift) { tabKey_ = TabKey{keyCode, shift, view_.activePage()}; }

void CharMap::tabKeyEnded() { tabKey_.reset(); }

void CharMap::formKeyDown(int keyCode, int shift) {
    const std::optional<TabKey> key = std::exchange(tabKey_, std::nullopt);
    const KeyMove move = formKeyMove(keyCode, shift);
    if (move.kind != KeyMove::None) {
        switchPage(move);
        return;
    }
    // The tab control has switched pages on this key itself (its arrows): a keyboard page switch,
    // so the same cell number is selected on the page it shows.
    if (key && view_.activePage() != key->page) SelectCell(selectedCell, true);
}

void CharMap::pageLostFocus() { SelectCell(selectedCell, false); }

bool CharMap::beforeTabSwitch() {
    if (tabKey_) {
        // The tab control moves on Ctrl+Page Up and Ctrl+Page Down before it passes the key on, the
        // other way round from this window's own handler: its move is cancelled, so that the page
        // moves once and the same way wherever the focus is.
        if (formKeyMove(tabKey_->keyCode, tabKey_->shift).kind != KeyMove::None) return true;
        keyboardTabSwitch = true;
    }
    view_.showPreview(L"");
    previewTag = L"0";
    if (selectedCell > 0) {
        // The page being left is still the active one: its own character goes back into the cell.
        const int page = view_.activePage();
        view_.drawPageCell(page, pageCell(selectedCell), cellChar(page, selectedCell), false, true);
    }
    if (!keyboardTabSwitch) selectedCell = 0;
    selectedChar.clear();
    return false;
}

// ----- the strip

void CharMap::stripMouseMove(int button, double x, double y) {
    if (!(button & 3)) return;
    const int cell = hitStrip(x, y, metrics, static_cast<int>(favorites.size()));
    favoriteIndex = cell;
    SelectFavorite(cell, true);
}

void CharMap::stripMouseDown(int button, double x, double y) {
    stripMouseMove(button, x, y);
    if (button & 2) FavoritePopupMenu(x, y);
}

void CharMap::stripDblClick() { insertAndCopy(favoriteChar(favoriteIndex)); }

void CharMap::stripKeyPress() { insertAndCopy(favoriteChar(favoriteIndex)); }

void CharMap::stripKeyDown(int keyCode, int shift) {
    const int target = stripKeyTarget(keyCode, shift, selectedFavorite, static_cast<int>(favorites.size()));
    if (target != 0) SelectFavorite(target, true);
}

void CharMap::stripLostFocus() {
    SelectFavorite(selectedFavorite, false);
    selectedFavorite = 0;
}

}  // namespace kelva::palette
