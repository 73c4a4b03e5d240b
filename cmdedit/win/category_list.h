#pragma once
// The category list as the editor uses it: AddItem, ListIndex, ItemSelected and Click.
// TEMPORARY: a plain system list box stands in until the owner-drawn list control is merged.
#include <functional>
#include <string>

#include "runtime/control.h"

namespace kelva::cmd {

class CategoryList : public rt::Control {
public:
    const wchar_t* typeName() const override { return L"ucCoolList"; }
    void AddItem(const std::wstring& text);
    int ListIndex() const;
    void setListIndex(int index);  // raises no Click
    void setItemSelected(int index, bool selected);
    int ListCount() const;
    std::function<void()> Click;
    HWND listHwnd() const { return list_; }

protected:
    HWND createWindow(HWND parent, const RECT& px) override;
    LRESULT wndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    HWND list_ = nullptr;
};

}  // namespace kelva::cmd
