#include "cmdedit/win/grid_window.h"

#include <windowsx.h>

#include "core/color.h"
#include "core/units.h"
#include "runtime/gdi.h"

namespace kelva::cmd {
namespace {
constexpr double kTpp = 15.0;
int px(int twips) { return twipsToPixels(twips, kTpp); }
int shiftState() {
    return (GetKeyState(VK_SHIFT) < 0 ? 1 : 0) | (GetKeyState(VK_CONTROL) < 0 ? 2 : 0) | (GetKeyState(VK_MENU) < 0 ? 4 : 0);
}
}  // namespace

HWND GridWindow::createWindow(HWND parent, const RECT& rc) {
    registerWindowClass(L"KelvaCmdGrid", CS_DBLCLKS);
    return createOwnWindow(L"KelvaCmdGrid", WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS | WS_BORDER | WS_VSCROLL | WS_HSCROLL,
                           0, parent, rc);
}

int GridWindow::clientHeightTwips() const { return static_cast<int>(clientPixels().cy * kTpp); }
int GridWindow::clientWidthTwips() const { return static_cast<int>(clientPixels().cx * kTpp); }

void GridWindow::refresh() {
    if (!hwnd()) return;
    // The vertical bar first: it takes from the width the sideways bar depends on.
    ShowScrollBar(hwnd(), SB_VERT, grid_.verticalScrollBar);
    const bool sideways = totalWidth(grid_) > clientWidthTwips();
    ShowScrollBar(hwnd(), SB_HORZ, sideways);
    scrollToCol(grid_, grid_.leftCol, clientWidthTwips());
    if (sideways) {
        SCROLLINFO si{sizeof si, SIF_RANGE | SIF_POS | SIF_PAGE, 0, 0, 0, 0, 0};
        si.nMax = grid_.cols - 1;
        si.nPage = static_cast<UINT>(grid_.cols - maxLeftCol(grid_, clientWidthTwips()));
        si.nPos = grid_.leftCol;
        SetScrollInfo(hwnd(), SB_HORZ, &si, TRUE);
    }
    scrollTo(grid_, grid_.topRow, clientHeightTwips());
    if (grid_.verticalScrollBar) {
        SCROLLINFO si{sizeof si, SIF_RANGE | SIF_POS | SIF_PAGE, 1, 0, 0, 0, 0};
        int shown = visibleDataRows(grid_, clientHeightTwips());
        si.nMax = std::max(1, grid_.rows() - 1);
        si.nPage = static_cast<UINT>(std::max(1, shown));
        si.nPos = grid_.topRow;
        SetScrollInfo(hwnd(), SB_VERT, &si, TRUE);
    }
    InvalidateRect(hwnd(), nullptr, TRUE);
}

void GridWindow::fitRows(int rows) {
    if (!hwnd()) return;
    RECT client;
    GetClientRect(hwnd(), &client);
    const LONG style = GetWindowLongW(hwnd(), GWL_STYLE);
    const int barWidth = GetSystemMetrics(SM_CXVSCROLL), barHeight = GetSystemMetrics(SM_CYHSCROLL);
    // The area inside the border, whichever bars show now.
    const int width = client.right + ((style & WS_VSCROLL) ? barWidth : 0);
    const int height = client.bottom + ((style & WS_HSCROLL) ? barHeight : 0);
    const auto twips = [](int pixels) { return static_cast<int>(pixels * kTpp); };
    grid_.verticalScrollBar =
        scrollBarsNeeded(grid_, rows, twips(width), twips(height), twips(barWidth), twips(barHeight)).vertical;
    refresh();
}

CellBox GridWindow::currentCellBox() {
    int h = clientHeightTwips();
    const bool down = ensureVisible(grid_, grid_.row, h);
    if (ensureColVisible(grid_, grid_.col, clientWidthTwips()) || down) refresh();
    return cellBox(grid_, grid_.row, grid_.col, h).value_or(CellBox{});
}

void GridWindow::scrolled(int top) {
    if (!scrollTo(grid_, top, clientHeightTwips())) return;
    refresh();
    if (Scroll) Scroll();
}

void GridWindow::scrolledSideways(int left) {
    if (!scrollToCol(grid_, left, clientWidthTwips())) return;
    refresh();
    if (Scroll) Scroll();
}

void GridWindow::paint(HDC dc) {
    RECT client;
    GetClientRect(hwnd(), &client);
    rt::BrushPtr window(CreateSolidBrush(GetSysColor(COLOR_WINDOW)));
    FillRect(dc, &client, window.get());
    rt::BrushPtr fixed(CreateSolidBrush(GetSysColor(COLOR_BTNFACE)));
    rt::PenPtr line(CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW)));
    HGDIOBJ oldPen = SelectObject(dc, line.get());
    HGDIOBJ oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    int h = clientHeightTwips();
    for (int r = 0; r < grid_.rows(); ++r)
        for (int c = 0; c < grid_.cols; ++c) {
            auto box = cellBox(grid_, r, c, h);
            if (!box) continue;
            RECT rc{px(box->left), px(box->top), px(box->left + box->width), px(box->top + box->height)};
            const GridCell& cell = grid_.cells[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)];
            if (r == 0) FillRect(dc, &rc, fixed.get());
            else if (cell.backColor) {
                rt::BrushPtr b(CreateSolidBrush(rt::toColorRef(*cell.backColor)));
                FillRect(dc, &rc, b.get());
            }
            if (r > 0 && r == grid_.row && c == grid_.col) DrawFocusRect(dc, &rc);
            MoveToEx(dc, rc.left, rc.bottom - 1, nullptr);
            LineTo(dc, rc.right - 1, rc.bottom - 1);
            LineTo(dc, rc.right - 1, rc.top - 1);
            UINT align = grid_.colAlignment[static_cast<std::size_t>(c)] == 4 ? DT_CENTER : DT_LEFT;
            RECT text = rc;
            InflateRect(&text, -2, 0);
            DrawTextW(dc, cell.text.c_str(), static_cast<int>(cell.text.size()), &text, align | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        }
    SelectObject(dc, oldFont);
    SelectObject(dc, oldPen);
}

LRESULT GridWindow::wndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd(), &ps);
        paint(dc);
        EndPaint(hwnd(), &ps);
        return 0;
    }
    case WM_ERASEBKGND: return 1;
    case WM_GETDLGCODE: return DLGC_WANTARROWS;
    case WM_LBUTTONDOWN: {
        SetFocus(hwnd());
        auto hit = hitTest(grid_, static_cast<int>(GET_X_LPARAM(lParam) * kTpp), static_cast<int>(GET_Y_LPARAM(lParam) * kTpp),
                           clientHeightTwips());
        if (!hit || hit->row == 0) return 0;  // the header row is fixed
        grid_.setCurrent(hit->row, hit->col);
        InvalidateRect(hwnd(), nullptr, FALSE);
        if (Click) Click();
        return 0;
    }
    case WM_KEYDOWN: {
        int key = static_cast<int>(wParam);
        int r = grid_.row, c = grid_.col;
        if (key == VK_UP && r > 1) --r;
        if (key == VK_DOWN && r < grid_.rows() - 1) ++r;
        if (key == VK_LEFT && c > 0) --c;
        if (key == VK_RIGHT && c < grid_.cols - 1) ++c;
        if (r != grid_.row || c != grid_.col) {
            grid_.setCurrent(r, c);
            const bool down = ensureVisible(grid_, r, clientHeightTwips());
            if ((ensureColVisible(grid_, c, clientWidthTwips()) || down) && Scroll) Scroll();
            refresh();
        }
        if (KeyDown) KeyDown(key, shiftState());
        return 0;
    }
    case WM_VSCROLL: {
        int top = grid_.topRow, page = std::max(1, visibleDataRows(grid_, clientHeightTwips()));
        switch (LOWORD(wParam)) {
        case SB_LINEUP: --top; break;
        case SB_LINEDOWN: ++top; break;
        case SB_PAGEUP: top -= page; break;
        case SB_PAGEDOWN: top += page; break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: top = HIWORD(wParam); break;
        case SB_TOP: top = 1; break;
        case SB_BOTTOM: top = grid_.rows(); break;
        default: return 0;
        }
        scrolled(top);
        return 0;
    }
    case WM_HSCROLL: {
        int left = grid_.leftCol;
        switch (LOWORD(wParam)) {
        case SB_LINELEFT:
        case SB_PAGELEFT: --left; break;
        case SB_LINERIGHT:
        case SB_PAGERIGHT: ++left; break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: left = HIWORD(wParam); break;
        case SB_LEFT: left = 0; break;
        case SB_RIGHT: left = grid_.cols; break;
        default: return 0;
        }
        scrolledSideways(left);
        return 0;
    }
    case WM_MOUSEWHEEL: {
        if (!grid_.verticalScrollBar) return 0;
        // Part of a notch turned the other way is no start on this one: a turn back counts from zero,
        // or its first notch would be spent cancelling what is left of the last.
        const int delta = GET_WHEEL_DELTA_WPARAM(wParam);
        if ((wheel_ < 0 && delta > 0) || (wheel_ > 0 && delta < 0)) wheel_ = 0;
        wheel_ += delta;
        const int notches = wheel_ / WHEEL_DELTA;
        wheel_ -= notches * WHEEL_DELTA;
        if (notches != 0) scrolled(grid_.topRow - notches * 3);
        return 0;
    }
    case WM_SIZE: refresh(); break;
    default: break;
    }
    return Control::wndProc(msg, wParam, lParam);
}

}  // namespace kelva::cmd
