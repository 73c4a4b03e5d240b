#pragma once
// The command grid: rows and columns of text cells, a current cell, per-cell back colours, column
// widths and alignment, the first shown row and a vertical scroll bar. Row 0 is a fixed header row.
// Plain data and pure functions; the window in win/ only paints it and turns input into calls.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kelva::cmd {

struct GridCell {
    std::wstring text;
    std::optional<std::uint32_t> backColor;  // OLE colour; unset keeps the grid's own
};

struct Grid {
    int cols = 4;
    std::vector<std::vector<GridCell>> cells;  // [row][col]
    std::vector<int> colWidth;                 // twips
    std::vector<int> colAlignment;             // 4 = centred
    int row = 0, col = 0;                      // current cell
    int topRow = 1;                            // first non-header row shown
    int leftCol = 0;                           // first column shown (the grid scrolls sideways)
    bool verticalScrollBar = false;
    int rowHeight = 255;                       // twips

    explicit Grid(int columns = 4, int rows = 1);
    int rows() const { return static_cast<int>(cells.size()); }
    // New rows are empty; fewer rows drop the last ones. The current row stays inside.
    void setRows(int n);
    const std::wstring& text(int r, int c) const;
    void setText(int r, int c, std::wstring value);
    // The current cell's colour.
    void setCellBackColor(std::uint32_t color);
    std::optional<std::uint32_t> backColor(int r, int c) const { return cells.at(r).at(c).backColor; }
    bool setCurrent(int r, int c);  // false (and unchanged) outside the grid
};

// Geometry in twips, relative to the grid's client area.
struct CellBox {
    int left = 0, top = 0, width = 0, height = 0;
};
// Rows that fit below the header in a client height.
int visibleDataRows(const Grid& g, int clientHeight);
// Largest top row that still fills the view.
int maxTopRow(const Grid& g, int clientHeight);
// Scrolls so the top row is `top` (clamped); true when it moved.
bool scrollTo(Grid& g, int top, int clientHeight);
// Brings row r into view; true when the grid scrolled.
bool ensureVisible(Grid& g, int r, int clientHeight);
// The scroll bars a grid needs in a window whose area inside its border is innerWidth x
// innerHeight (no bar taken off yet), with bars barWidth wide and barHeight high: the sideways
// bar when the columns are wider than what the vertical bar leaves, the vertical bar when `rows`
// rows (the header included) do not all fit whole above the sideways bar. Either bar can call
// for the other.
struct ScrollBarsNeeded {
    bool vertical = false, horizontal = false;
};
ScrollBarsNeeded scrollBarsNeeded(const Grid& g, int rows, int innerWidth, int innerHeight, int barWidth, int barHeight);
// Sideways, by whole columns: the largest first column that still fills the width, scrolling to
// a first column (clamped; true when it moved), and bringing a column wholly into view.
int totalWidth(const Grid& g);
int maxLeftCol(const Grid& g, int clientWidth);
bool scrollToCol(Grid& g, int left, int clientWidth);
bool ensureColVisible(Grid& g, int c, int clientWidth);
// The box of a cell (CellLeft/CellTop/CellWidth/CellHeight); a hidden row or a column scrolled
// away to the left gives nothing.
std::optional<CellBox> cellBox(const Grid& g, int r, int c, int clientHeight);
struct CellHit {
    int row, col;
};
std::optional<CellHit> hitTest(const Grid& g, int x, int y, int clientHeight);

}  // namespace kelva::cmd
