#include "palette/win/popup.h"

#include <windows.h>

#include "palette/charmap_logic.h"

namespace kelva::palette {

namespace {
PopupAnswerer& answerer() {
    static PopupAnswerer a;
    return a;
}
}  // namespace

void setPopupAnswerer(PopupAnswerer a) { answerer() = std::move(a); }

int clsPopup::Popup(const std::vector<std::wstring>& items) {
    if (answerer()) return answerer()(items);
    POINT at{};
    GetCursorPos(&at);  // where the user clicked, before building takes any time
    HMENU menu = CreatePopupMenu();
    if (!menu) return 0;
    for (std::size_t i = 0; i < items.size(); ++i) {
        const UINT_PTR id = i + 1;
        if (trimBlanks(items[i]) == L"-")
            AppendMenuW(menu, MF_SEPARATOR, id, L"");
        else
            AppendMenuW(menu, MF_STRING, id, items[i].c_str());
    }
    const int chosen = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON, at.x, at.y, 0,
                                      GetForegroundWindow(), nullptr);
    DestroyMenu(menu);
    return chosen;
}

}  // namespace kelva::palette
