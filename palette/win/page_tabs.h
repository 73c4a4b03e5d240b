#pragma once
// What the palette window uses of its tab control `XTab` (ucXTab): tab count, captions, the active
// tab, Enabled, and the events BeforeTabSwitch and KeyDown. The pages are picture boxes contained in
// it; the control parks the pages of hidden tabs sideways by its TabOffset.
#include <functional>
#include <memory>
#include <string>

#include "runtime/form.h"

namespace kelva::palette {

// The design's TabOffset: the pages of tabs 1 to 5 start parked this far to the left per tab.
inline constexpr double kTabOffset = 14860;

class PageTabs {
public:
    virtual ~PageTabs() = default;
    virtual rt::Control& control() = 0;  // the container of the pages
    virtual int TabCount() = 0;
    virtual void setTabCount(int n) = 0;
    virtual void setTabCaption(int index, const std::wstring& caption) = 0;
    virtual int ActiveTab() = 0;
    virtual void setActiveTab(int index) = 0;
    virtual void setEnabled(bool on) = 0;

    std::function<void(bool& cancel)> BeforeTabSwitch;
    std::function<void(int keyCode, int shift)> KeyDown;
    // A key reaches the tab control, before the control acts on it (it may switch pages, then
    // raises KeyDown); KeyHandled follows when the control is done with the key.
    std::function<void(int keyCode, int shift)> KeyArriving;
    std::function<void()> KeyHandled;
};

// The palette's tab control with its design settings, placed on the form at `rect` (twips).
std::unique_ptr<PageTabs> createPageTabs(rt::Form& form, rt::TwipsRect rect);

}  // namespace kelva::palette
