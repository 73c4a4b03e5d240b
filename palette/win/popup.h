#pragma once
// clsPopup: a popup menu at the cursor, one item per element (a "-" element is a separator);
// returns the chosen item's 1-based position, 0 when the menu is dismissed.
#include <functional>
#include <string>
#include <vector>

namespace kelva::palette {

struct clsPopup {
    static int Popup(const std::vector<std::wstring>& items);
};

// Tests answer the menu instead of a user: with an answerer set, no menu appears.
using PopupAnswerer = std::function<int(const std::vector<std::wstring>& items)>;
void setPopupAnswerer(PopupAnswerer answerer);

}  // namespace kelva::palette
