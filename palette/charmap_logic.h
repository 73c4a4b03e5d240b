#pragma once
// The palette's pages and favourites strip as state and rules: cell metrics, hit-testing, the
// selection and preview, keyboard moves, insertion and the two right-click menus. The window hands
// this a view that draws cells and talks to the text box, clipboard and menus; nothing here needs
// a window, so the rules are tested natively against a recording view.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "palette/charpages.h"

namespace kelva::palette {

inline constexpr int kFavoriteColumns = 13;
inline constexpr int kPageColumns = kColumns;
extern const wchar_t* const kCopyTooltip;   // "더블 클릭시 클립보드로 복사"
extern const wchar_t* const kFavoritesFull;  // the message when the strip holds 13 characters
extern const wchar_t* const kDefaultFavorites;

// Key codes and shift bits as the window passes them on.
namespace key {
inline constexpr int Tab = 9, PageUp = 33, PageDown = 34, End = 35, Home = 36, Left = 37, Up = 38, Right = 39,
                     Down = 40;
inline constexpr int ShiftBit = 1, CtrlBit = 2, AltBit = 4;
}  // namespace key

// Sizes of one page cell and one favourite cell, in pixels and in twips, taken once at start-up.
struct CellMetrics {
    std::int16_t pageW = 0, pageH = 0, favW = 0, favH = 0;  // pixels
    float pageWTw = 0, pageHTw = 0, favWTw = 0, favHTw = 0;  // twips
    double tppX = 15, tppY = 15;
};
// From the drawing areas (in twips) of the first page and of the strip.
CellMetrics computeMetrics(double pageWidthTw, double pageHeightTw, double stripWidthTw, double stripHeightTw,
                           double tppX, double tppY);

struct PixelPos {
    int x = 0, y = 0;
    bool operator==(const PixelPos&) const = default;
};
// Top left of cell c (1-based) in a grid of `columns`; cell 0 lies outside the grid.
PixelPos cellOrigin(int cell, int columns, int cellW, int cellH);

// The cell under a point of a page, in the page's scale units (twips); always 1..190.
int hitPage(double x, double y, const CellMetrics& m);
// The favourite under a point of the strip; 0 or below when the strip is empty.
int hitStrip(double x, double y, const CellMetrics& m, int favoritesLength);

// Where a key moves the selection on a page; `page switch` keys give a page instead.
struct KeyMove {
    enum Kind { None, Cell, NextPage, PreviousPage } kind = None;
    int cell = 0;
};
KeyMove pageKeyMove(int keyCode, int shift, int selected);
// The form's own key handler: only the page-switch keys (passed on by the tab control).
KeyMove formKeyMove(int keyCode, int shift);
// Where a key moves the selected favourite (0: no move).
int stripKeyTarget(int keyCode, int shift, int selected, int favoritesLength);

// What the pages and the strip need from their window.
class CharMapView {
public:
    virtual ~CharMapView() = default;
    virtual int activePage() = 0;
    // Switches the tab control's page; the tab control raises BeforeTabSwitch on the way.
    virtual void setActivePage(int page) = 0;
    // One cell, one cell in size, at a pixel position of a page or of the strip.
    virtual void drawPageCell(int page, PixelPos at, const std::wstring& text, bool selected, bool focused) = 0;
    // full: the strip is being redrawn whole (a cell then covers its grid line too).
    virtual void drawFavoriteCell(PixelPos at, const std::wstring& text, bool selected, bool focused, bool full) = 0;
    virtual void clearFavorites() = 0;
    virtual void showPreview(const std::wstring& text) = 0;
    // Replaces the selection of the selected-characters box (inserts at the caret).
    virtual void insertText(const std::wstring& text) = 0;
    virtual void copyToClipboard(const std::wstring& text) = 0;
    // The setting "Copy", read at each double-click on a page.
    virtual bool copyOnDoubleClick() = 0;
    // A popup menu at the cursor: the chosen item's 1-based position, 0 when dismissed.
    virtual int popup(const std::vector<std::wstring>& items) = 0;
    virtual void message(const std::wstring& text) = 0;
};

// Blanks trimmed from both ends, as the clipboard copies get them.
std::wstring trimBlanks(std::wstring_view text);

class CharMap {
public:
    explicit CharMap(CharMapView& view) : view_(view) {}

    CellMetrics metrics;
    int selectedCell = 0;
    std::wstring selectedChar;
    int mouseCell = 0;
    std::wstring previewTag = L"0";
    bool keyboardTabSwitch = false;
    std::wstring favorites;
    int selectedFavorite = 0;
    int favoriteIndex = 0;

    void resetSelection();
    std::wstring GetCellChar(int cell);
    void SelectCell(int cell, bool focused);
    void SelectFavorite(int index, bool focused);
    void DrawFavorites();
    void MapPopupMenu(double x, double y);
    void FavoritePopupMenu(double x, double y);

    // Pages. Buttons: 1 left, 2 right; positions in the page's scale units.
    void pageMouseMove(int button, double x, double y);
    void pageMouseDown(int button, double x, double y);
    void pageDblClick();
    void pageKeyPress();
    void pageKeyDown(int keyCode, int shift);
    void pageLostFocus();
    // A key goes down on the tab control (before the tab control acts on it), and its handling ended.
    void tabKeyStarting(int keyCode, int shift);
    void tabKeyEnded();
    // The form's key handler, reached through the tab control's KeyDown.
    void formKeyDown(int keyCode, int shift);
    // BeforeTabSwitch of the tab control; true cancels the switch.
    bool beforeTabSwitch();

    // The favourites strip.
    void stripMouseMove(int button, double x, double y);
    void stripMouseDown(int button, double x, double y);
    void stripDblClick();
    void stripKeyPress();
    void stripKeyDown(int keyCode, int shift);
    void stripLostFocus();

private:
    void switchPage(const KeyMove& move);
    std::wstring favoriteChar(int index) const;
    void insertAndCopy(const std::wstring& text);
    PixelPos pageCell(int cell) const { return cellOrigin(cell, kPageColumns, metrics.pageW, metrics.pageH); }
    PixelPos favCell(int cell) const { return cellOrigin(cell, kFavoriteColumns, metrics.favW, metrics.favH); }

    // The key the tab control is handling, and the page shown when it went down.
    struct TabKey {
        int keyCode, shift, page;
    };
    std::optional<TabKey> tabKey_;
    CharMapView& view_;
};

}  // namespace kelva::palette
