#pragma once
// What the palette window uses of the tab control that holds its six pages: tab count, captions,
// the active tab, Enabled, and the events BeforeTabSwitch and KeyDown. The pages are controls
// contained in it.
#include <functional>
#include <memory>
#include <string>

#include "runtime/form.h"

namespace kelva::palette {

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
    // A page was placed inside for tab `index`: shown only while its tab is active.
    virtual void addPage(rt::Control& page, int index) = 0;

    std::function<void()> BeforeTabSwitch;
    std::function<void(int keyCode, int shift)> KeyDown;
};

// The palette's tab control, placed on the form at `rect` (twips).
std::unique_ptr<PageTabs> createPageTabs(rt::Form& form, rt::TwipsRect rect);

}  // namespace kelva::palette
