#pragma once
// The window of a command grid: paints the grid model, turns clicks, keys and scrolling into
// changes of the current cell and the first shown row and column, and raises Click, KeyDown and
// Scroll. Its columns are wider than the grid area, so it scrolls sideways too.
#include <functional>

#include "cmdedit/grid_model.h"
#include "runtime/control.h"

namespace kelva::cmd {

class GridWindow : public rt::Control {
public:
    const wchar_t* typeName() const override { return L"MSFlexGrid"; }
    Grid& model() { return grid_; }
    const Grid& model() const { return grid_; }
    // Repaints and shows or hides the scroll bar after the model changed.
    void refresh();
    // Shows the vertical scroll bar (and so the wheel) exactly when `rows` rows, the header
    // included, do not all fit whole in the window with its sideways bar; then refreshes.
    void fitRows(int rows);
    // The current cell's box in twips inside the grid (CellLeft, CellTop, CellWidth, CellHeight);
    // the grid scrolls to show the cell first.
    CellBox currentCellBox();
    int clientHeightTwips() const;
    int clientWidthTwips() const;

    std::function<void()> Click;
    std::function<void(int key, int shift)> KeyDown;
    std::function<void()> Scroll;

protected:
    HWND createWindow(HWND parent, const RECT& px) override;
    LRESULT wndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void paint(HDC dc);
    void scrolled(int top);
    void scrolledSideways(int left);
    Grid grid_;
    int wheel_ = 0;  // wheel turns not yet a whole notch (fine-grained wheels and touch pads)
};

}  // namespace kelva::cmd
