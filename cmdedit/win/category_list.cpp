#include "cmdedit/win/category_list.h"

namespace kelva::cmd {

HWND CategoryList::createWindow(HWND parent, const RECT& px) {
    registerWindowClass(L"KelvaCmdCategories", 0);
    HWND box = createOwnWindow(L"KelvaCmdCategories", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, parent, px);
    if (!box) return nullptr;
    list_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"LISTBOX", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | LBS_NOTIFY | WS_VSCROLL, 0, 0,
                            px.right - px.left, px.bottom - px.top, box, nullptr, GetModuleHandleW(nullptr), nullptr);
    SendMessageW(list_, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    return box;
}

LRESULT CategoryList::wndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_COMMAND && reinterpret_cast<HWND>(lParam) == list_ && HIWORD(wParam) == LBN_SELCHANGE) {
        if (Click) Click();
        return 0;
    }
    if (msg == WM_SIZE && list_) MoveWindow(list_, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
    return Control::wndProc(msg, wParam, lParam);
}

void CategoryList::AddItem(const std::wstring& text) {
    SendMessageW(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
}
int CategoryList::ListIndex() const { return static_cast<int>(SendMessageW(list_, LB_GETCURSEL, 0, 0)); }
void CategoryList::setListIndex(int index) { SendMessageW(list_, LB_SETCURSEL, static_cast<WPARAM>(index), 0); }
void CategoryList::setItemSelected(int index, bool selected) {
    if (selected) setListIndex(index);
    else if (ListIndex() == index) setListIndex(-1);
}
int CategoryList::ListCount() const { return static_cast<int>(SendMessageW(list_, LB_GETCOUNT, 0, 0)); }

}  // namespace kelva::cmd
