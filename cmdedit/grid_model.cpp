#include "cmdedit/grid_model.h"

#include <algorithm>

namespace kelva::cmd {

Grid::Grid(int columns, int rows) : cols(columns), colWidth(columns, 1000), colAlignment(columns, 0) {
    setRows(rows);
}

void Grid::setRows(int n) {
    if (n < 0) n = 0;
    cells.resize(static_cast<std::size_t>(n), std::vector<GridCell>(static_cast<std::size_t>(cols)));
    if (row >= n) row = n > 0 ? n - 1 : 0;
    if (topRow >= n) topRow = std::max(1, n - 1);
}

const std::wstring& Grid::text(int r, int c) const { return cells.at(r).at(c).text; }
void Grid::setText(int r, int c, std::wstring value) { cells.at(r).at(c).text = std::move(value); }
void Grid::setCellBackColor(std::uint32_t color) { cells.at(row).at(col).backColor = color; }

bool Grid::setCurrent(int r, int c) {
    if (r < 0 || r >= rows() || c < 0 || c >= cols) return false;
    row = r;
    col = c;
    return true;
}

int visibleDataRows(const Grid& g, int clientHeight) {
    return std::max(0, (clientHeight - g.rowHeight) / g.rowHeight);
}

int maxTopRow(const Grid& g, int clientHeight) {
    return std::max(1, g.rows() - visibleDataRows(g, clientHeight));
}

bool scrollTo(Grid& g, int top, int clientHeight) {
    int t = std::clamp(top, 1, maxTopRow(g, clientHeight));
    if (t == g.topRow) return false;
    g.topRow = t;
    return true;
}

bool ensureVisible(Grid& g, int r, int clientHeight) {
    if (r < 1) return false;
    if (r < g.topRow) return scrollTo(g, r, clientHeight);
    int shown = visibleDataRows(g, clientHeight);
    if (shown > 0 && r >= g.topRow + shown) return scrollTo(g, r - shown + 1, clientHeight);
    return false;
}

ScrollBarsNeeded scrollBarsNeeded(const Grid& g, int rows, int innerWidth, int innerHeight, int barWidth, int barHeight) {
    ScrollBarsNeeded need;
    // Two rounds settle it: a bar the second round adds cannot call for the first one again.
    for (int round = 0; round < 2; ++round) {
        need.horizontal = totalWidth(g) > innerWidth - (need.vertical ? barWidth : 0);
        need.vertical = rows - 1 > visibleDataRows(g, innerHeight - (need.horizontal ? barHeight : 0));
    }
    return need;
}

int totalWidth(const Grid& g) {
    int w = 0;
    for (int c = 0; c < g.cols; ++c) w += g.colWidth[static_cast<std::size_t>(c)];
    return w;
}

int maxLeftCol(const Grid& g, int clientWidth) {
    int left = g.cols > 0 ? g.cols - 1 : 0, width = g.cols > 0 ? g.colWidth[static_cast<std::size_t>(left)] : 0;
    while (left > 0 && width + g.colWidth[static_cast<std::size_t>(left - 1)] <= clientWidth)
        width += g.colWidth[static_cast<std::size_t>(--left)];
    return left;
}

bool scrollToCol(Grid& g, int left, int clientWidth) {
    int l = std::clamp(left, 0, maxLeftCol(g, clientWidth));
    if (l == g.leftCol) return false;
    g.leftCol = l;
    return true;
}

bool ensureColVisible(Grid& g, int c, int clientWidth) {
    if (c < 0 || c >= g.cols) return false;
    if (c < g.leftCol) return scrollToCol(g, c, clientWidth);
    int left = g.leftCol, right = 0;
    for (int i = left; i <= c; ++i) right += g.colWidth[static_cast<std::size_t>(i)];
    while (left < c && right > clientWidth) right -= g.colWidth[static_cast<std::size_t>(left++)];
    return scrollToCol(g, left, clientWidth);
}

std::optional<CellBox> cellBox(const Grid& g, int r, int c, int clientHeight) {
    if (r < 0 || r >= g.rows() || c < 0 || c >= g.cols || c < g.leftCol) return std::nullopt;
    int top = 0;
    if (r > 0) {
        if (r < g.topRow) return std::nullopt;
        top = g.rowHeight * (1 + r - g.topRow);
        if (top >= clientHeight) return std::nullopt;
    }
    int left = 0;
    for (int i = g.leftCol; i < c; ++i) left += g.colWidth[static_cast<std::size_t>(i)];
    return CellBox{left, top, g.colWidth[static_cast<std::size_t>(c)], g.rowHeight};
}

std::optional<CellHit> hitTest(const Grid& g, int x, int y, int clientHeight) {
    if (x < 0 || y < 0 || y >= clientHeight) return std::nullopt;
    int r = y / g.rowHeight;
    if (r > 0) r = g.topRow + r - 1;
    if (r >= g.rows()) return std::nullopt;
    int left = 0;
    for (int c = g.leftCol; c < g.cols; ++c) {
        left += g.colWidth[static_cast<std::size_t>(c)];
        if (x < left) return CellHit{r, c};
    }
    return std::nullopt;
}

}  // namespace kelva::cmd
