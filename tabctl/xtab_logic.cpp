#include "tabctl/xtab_logic.h"

#include <algorithm>
#include <cmath>
#include <cwctype>
#include <new>
#include <stdexcept>

#include "core/errors.h"
#include "core/values.h"
#include "tabctl/xtab_geometry.h"

namespace kelva::tabctl {

namespace {

std::wstring sourceOf(const wchar_t* proc) { return std::wstring(L"ucXTab.") + proc; }

[[noreturn]] void fail(int number, const wchar_t* proc) { throw VbError(number, {}, sourceOf(proc)); }

// Every public procedure hands a failure on with its own name as the source. Memory that cannot
// be had (a tab array of a huge count, a caption, a record) is Basic's "Out of memory", raised the
// same way, so the host's error handling sees it like any other error of the control.
template <class F>
auto guarded(const wchar_t* proc, F&& f) {
    try {
        return f();
    } catch (const VbError& e) {
        throw e.withSource(sourceOf(proc));
    } catch (const std::bad_alloc&) {
        throw VbError(err::OutOfMemory, {}, sourceOf(proc));
    } catch (const std::length_error&) {
        throw VbError(err::OutOfMemory, {}, sourceOf(proc));
    }
}

// Busy and AutoRedraw for a switch by keyboard, mouse or access key; both go back to what they were
// on every way out, an error included.
class SwitchScope {
public:
    SwitchScope(XTabState& s, XTabHost& host) : s_(s), host_(host), busy_(s.Busy), autoRedraw_(host.autoRedraw()) {
        s_.Busy = true;
        host_.setAutoRedraw(true);
    }
    ~SwitchScope() {
        host_.setAutoRedraw(autoRedraw_);
        s_.Busy = busy_;
    }
    SwitchScope(const SwitchScope&) = delete;
    SwitchScope& operator=(const SwitchScope&) = delete;

private:
    XTabState& s_;
    XTabHost& host_;
    bool busy_;
    bool autoRedraw_;
};

class BusyScope {
public:
    explicit BusyScope(XTabState& s) : s_(s), busy_(s.Busy) { s_.Busy = true; }
    ~BusyScope() { s_.Busy = busy_; }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    XTabState& s_;
    bool busy_;
};

// The window-update lock of InsertTab and RemoveTab, released also when a step fails.
class UpdateLock {
public:
    explicit UpdateLock(XTabHost& host) : host_(host) { host_.lockWindowUpdate(true); }
    ~UpdateLock() { host_.lockWindowUpdate(false); }
    UpdateLock(const UpdateLock&) = delete;
    UpdateLock& operator=(const UpdateLock&) = delete;

private:
    XTabHost& host_;
};

bool ptInRect(const Rect& r, Point p) { return tabctl::ptInRect(r, p.x, p.y); }

bool hoverTheme(std::int32_t theme) { return theme == 1 || theme == 4; }

std::int32_t whole(float v) { return toInt32(static_cast<double>(v)); }

std::wstring tabName(const wchar_t* base, std::int32_t i) { return base + std::to_wstring(i) + L")"; }

}  // namespace

std::size_t keyPosition(std::wstring_view caption) {
    // "&&" shows one "&" and marks nothing: blank those pairs out before looking for the marker.
    std::wstring c(caption);
    for (std::size_t i = 0; i + 1 < c.size(); ++i) {
        if (c[i] == L'&' && c[i + 1] == L'&') {
            c[i] = c[i + 1] = L'\x01';
            ++i;
        }
    }
    auto p = c.rfind(L'&');
    return p == std::wstring::npos ? 0 : p + 1;
}

std::int32_t accessKeyCode(std::wstring_view caption) {
    const std::size_t p = keyPosition(caption);
    if (p == 0 || p >= caption.size()) return 0;  // no marker, or a marker with nothing after it
    return static_cast<std::int32_t>(std::towupper(caption[p]));
}

std::int32_t tabOfControl(double left, std::int32_t tabOffset, double visibleWidth) {
    if (tabOffset <= 0) return 0;
    // With tab 0 active a control of tab k stands at its design position minus k offsets. A design
    // position lies within the visible width, or a little left of the surface where the offset
    // leaves room: that range, one offset wide, decides.
    const double x = roundHalfEven(left);
    const double anchor = (visibleWidth > 0 && visibleWidth < tabOffset) ? visibleWidth - tabOffset : 0.0;
    return static_cast<std::int32_t>(-std::floor((x - anchor) / tabOffset));
}

// ---------------------------------------------------------------------------------------------
// Life cycle

void XTabLogic::initProperties(double parentWidth) {
    guarded(L"UserControl_InitProperties", [&] {
        s.ShowFocusRect = s.UseFocusedColor = s.UseMaskColor = s.UseMouseWheelScroll = true;
        s.Enabled = true;
        s.PictureAlign = s.PictureSize = s.TabStyle = s.ActiveTab = 0;
        s.ActiveTabBackEndColor = s.ActiveTabBackStartColor = 0x8000000F;
        s.ActiveTabForeColor = 0x80000012;
        s.BottomRightInnerBorderColor = 0x80000010;
        s.DisabledTabBackColor = 0x80000010;
        s.DisabledTabForeColor = 0x80000014;
        s.FocusedColor = kDefaultFocusedColor;
        s.HoverColor = kDefaultHoverColor;
        s.InActiveTabBackEndColor = s.InActiveTabBackStartColor = 0x8000000F;
        s.InActiveTabForeColor = 0x80000012;
        s.OuterBorderColor = 0x80000015;
        s.ActiveTabHeight = 20;
        s.InActiveTabHeight = 18;
        s.LastActiveTab = 0;
        s.TabCount = 3;
        s.TabStripBackColor = host_.ambientBackColor();
        s.TopLeftInnerBorderColor = 0x80000014;
        s.XRadius = s.YRadius = 10;
        s.ActiveTabFont = std::make_shared<rt::FontDesc>(host_.ambientFont());
        s.InActiveTabFont = std::make_shared<rt::FontDesc>(host_.ambientFont());
        s.ActiveTabFont->bold = true;
        s.PictureMaskColor = kDefaultMaskColor;
        s.TabOffset = parentWidth > 10000 ? toInt32(parentWidth + 1000) : kDefaultTabOffset;
        s.tabs.assign(static_cast<std::size_t>(s.TabCount), TabRecord{});
        for (std::int32_t i = 0; i < s.TabCount; ++i) s.tabs[static_cast<std::size_t>(i)].Caption = L"Tab " + std::to_wstring(i);
        host_.resetColorsToDefault();
    });
}

void XTabLogic::readProperties(const rt::PropertyBag& bag) {
    guarded(L"UserControl_ReadProperties", [&] {
        auto color = [&](std::wstring_view key, std::uint32_t def) {
            return static_cast<std::uint32_t>(bag.readLong(key, static_cast<std::int32_t>(def)));
        };
        s.ActiveTab = bag.readLong(L"ActiveTab", 0);
        s.UseControlBox = bag.readBool(L"UseControlBox", false);
        s.ShowFocusRect = bag.readBool(L"ShowFocusRect", true);
        s.UseFocusedColor = bag.readBool(L"UseFocusedColor", true);
        s.Enabled = bag.readBool(L"Enabled", true);
        s.UseMaskColor = bag.readBool(L"UseMaskColor", true);
        s.UseMouseWheelScroll = bag.readBool(L"UseMouseWheelScroll", true);
        s.UseThemeDetection = bag.readBool(L"UseThemeDetection", false);
        s.PictureAlign = bag.readLong(L"PictureAlign", 0);
        s.PictureSize = bag.readLong(L"PictureSize", 0);
        s.TabStyle = bag.readLong(L"TabStyle", 0);
        s.TabTheme = bag.readLong(L"TabTheme", 0);
        s.ActiveTabBackEndColor = color(L"ActiveTabBackEndColor", 0x8000000F);
        s.ActiveTabBackStartColor = color(L"ActiveTabBackStartColor", 0x8000000F);
        s.ActiveTabForeColor = color(L"ActiveTabForeColor", 0x80000012);
        s.ActiveTabHeight = bag.readLong(L"ActiveTabHeight", 20);
        s.BottomRightInnerBorderColor = color(L"BottomRightInnerBorderColor", 0x80000010);
        s.DisabledTabBackColor = color(L"DisabledTabBackColor", 0x80000010);
        s.DisabledTabForeColor = color(L"DisabledTabForeColor", 0x80000014);
        s.FocusedColor = color(L"FocusedColor", kDefaultFocusedColor);
        s.HoverColor = color(L"HoverColor", kDefaultHoverColor);
        s.InActiveTabBackEndColor = color(L"InActiveTabBackEndColor", 0x8000000F);
        s.InActiveTabBackStartColor = color(L"InActiveTabBackStartColor", 0x8000000F);
        s.InActiveTabForeColor = color(L"InActiveTabForeColor", 0x80000012);
        s.InActiveTabHeight = bag.readLong(L"InActiveTabHeight", 18);
        s.OuterBorderColor = color(L"OuterBorderColor", 0x80000015);
        std::int32_t count = bag.readLong(L"TabCount", 3);
        // A stored count below one cannot size the tabs: the control falls back to its default.
        if (count < 1) count = 3;
        s.TabStripBackColor = color(L"TabStripBackColor", host_.ambientBackColor());
        s.TopLeftInnerBorderColor = color(L"TopLeftInnerBorderColor", 0x80000014);
        s.XRadius = bag.readLong(L"XRadius", 10);
        s.YRadius = bag.readLong(L"YRadius", 10);
        const rt::FontDesc ambient = host_.ambientFont();
        s.ActiveTabFont = std::make_shared<rt::FontDesc>(bag.readFont(L"ActiveTabFont", ambient));
        s.InActiveTabFont = std::make_shared<rt::FontDesc>(bag.readFont(L"InActiveTabFont", ambient));
        s.BackColor = color(L"BackColor", 0x8000000F);
        host_.setSurfaceEnabled(bag.readBool(L"Enabled", true));
        s.ForeColor = color(L"ForeColor", 0);
        s.PictureMaskColor = color(L"PictureMaskColor", kDefaultMaskColor);
        s.TabOffset = bag.readLong(L"TabOffset", kDefaultTabOffset);

        // The count is taken only with the array that holds it: a count no memory can hold leaves
        // both as they were.
        s.tabs.assign(static_cast<std::size_t>(count), TabRecord{});
        s.TabCount = count;
        for (std::int32_t i = 0; i < s.TabCount; ++i) {
            TabRecord& t = s.tabs[static_cast<std::size_t>(i)];
            t.Caption = bag.readString(tabName(L"TabCaption(", i), L"Tab" + std::to_wstring(i));
            t.Enabled = bag.readBool(tabName(L"TabEnabled(", i), true);
            t.AccessKey = bag.readLong(tabName(L"TabAccessKey(", i), 0);
            rt::PictureData pic = bag.readPicture(tabName(L"TabPicture(", i));
            t.Picture = pic.empty() ? nullptr : host_.pictureFromData(pic);
        }
        if (s.ActiveTab < 0 || s.ActiveTab >= s.TabCount) s.ActiveTab = 0;
        s.HoverTab = s.ActiveTab;
        if (s.TabTheme == 1) host_.resetColorsToDefault();
        assignAccessKeys();
    });
}

void XTabLogic::writeProperties(rt::PropertyBag& bag) {
    guarded(L"UserControl_WriteProperties", [&] {
        auto color = [&](std::wstring_view key, std::uint32_t v, std::uint32_t def) {
            bag.write(key, static_cast<std::int32_t>(v), static_cast<std::int32_t>(def));
        };
        const rt::FontDesc ambient = host_.ambientFont();
        auto font = [&](std::wstring_view key, const FontRef& f) { bag.write(key, f ? *f : ambient, ambient); };
        bag.write(L"TabCount", s.TabCount, std::int32_t{3});
        for (std::int32_t i = 0; i < s.TabCount && i < static_cast<std::int32_t>(s.tabs.size()); ++i) {
            const TabRecord& t = s.tabs[static_cast<std::size_t>(i)];
            bag.write(tabName(L"TabCaption(", i), t.Caption, L"Tab" + std::to_wstring(i));
            bag.write(tabName(L"TabEnabled(", i), t.Enabled, true);
            bag.write(tabName(L"TabAccessKey(", i), t.AccessKey, std::int32_t{0});
            bag.write(tabName(L"TabPicture(", i), t.Picture ? host_.pictureToData(t.Picture) : rt::PictureData{},
                      rt::PictureData{});
        }
        bag.write(L"ActiveTab", s.ActiveTab, std::int32_t{0});
        color(L"ActiveTabBackEndColor", s.ActiveTabBackEndColor, 0x8000000F);
        color(L"ActiveTabBackStartColor", s.ActiveTabBackStartColor, 0x8000000F);
        font(L"ActiveTabFont", s.ActiveTabFont);
        color(L"ActiveTabForeColor", s.ActiveTabForeColor, 0x80000012);
        bag.write(L"ActiveTabHeight", s.ActiveTabHeight, std::int32_t{20});
        color(L"BackColor", s.BackColor, 0x8000000F);
        color(L"BottomRightInnerBorderColor", s.BottomRightInnerBorderColor, 0x80000010);
        color(L"DisabledTabBackColor", s.DisabledTabBackColor, 0x80000010);
        color(L"DisabledTabForeColor", s.DisabledTabForeColor, 0x80000014);
        bag.write(L"Enabled", s.Enabled, true);
        color(L"FocusedColor", s.FocusedColor, kDefaultFocusedColor);
        color(L"ForeColor", s.ForeColor, 0);
        color(L"HoverColor", s.HoverColor, kDefaultHoverColor);
        color(L"InActiveTabBackEndColor", s.InActiveTabBackEndColor, 0x8000000F);
        color(L"InActiveTabBackStartColor", s.InActiveTabBackStartColor, 0x8000000F);
        font(L"InActiveTabFont", s.InActiveTabFont);
        color(L"InActiveTabForeColor", s.InActiveTabForeColor, 0x80000012);
        bag.write(L"InActiveTabHeight", s.InActiveTabHeight, std::int32_t{18});
        color(L"OuterBorderColor", s.OuterBorderColor, 0x80000015);
        bag.write(L"PictureAlign", s.PictureAlign, std::int32_t{0});
        color(L"PictureMaskColor", s.PictureMaskColor, kDefaultMaskColor);
        bag.write(L"PictureSize", s.PictureSize, std::int32_t{0});
        bag.write(L"ShowFocusRect", s.ShowFocusRect, true);
        color(L"TabStripBackColor", s.TabStripBackColor, host_.ambientBackColor());
        bag.write(L"TabStyle", s.TabStyle, std::int32_t{0});
        bag.write(L"TabTheme", s.TabTheme, std::int32_t{0});
        color(L"TopLeftInnerBorderColor", s.TopLeftInnerBorderColor, 0x80000014);
        bag.write(L"UseControlBox", s.UseControlBox, false);
        bag.write(L"UseFocusedColor", s.UseFocusedColor, true);
        bag.write(L"UseMaskColor", s.UseMaskColor, true);
        bag.write(L"UseMouseWheelScroll", s.UseMouseWheelScroll, true);
        bag.write(L"UseThemeDetection", s.UseThemeDetection, false);
        bag.write(L"XRadius", s.XRadius, std::int32_t{10});
        bag.write(L"YRadius", s.YRadius, std::int32_t{10});
        bag.write(L"TabOffset", s.TabOffset, std::int32_t{kDefaultTabOffset});
    });
}

void XTabLogic::terminateSteps() {
    // Each step of the end runs whatever the one before it did: a failing switch must not leave
    // pictures held or the hover timer running.
    try {
        clearHover(false);
    } catch (...) {
    }
    try {
        if (s.ActiveTab != 0 && s.TabCount > 0) switchTo(0, false);
    } catch (...) {
    }
    try {
        clearTabPictures();
    } catch (...) {
    }
}

// ---------------------------------------------------------------------------------------------
// Tabs

void XTabLogic::setTabCount(std::int32_t n) {
    guarded(L"TabCount", [&] {
        if (n < 1) fail(err::InvalidPropertyValue, L"TabCount");
        s.TabCount = n;
        try {
            handleTabCount();
        } catch (...) {
            // The count stays the size of the array, whatever step failed: a tab array that could
            // not take a huge count is as it was, and so is the count.
            s.TabCount = static_cast<std::int32_t>(s.tabs.size());
            throw;
        }
        refresh();
        host_.propertyChanged(L"TabCount");
    });
}

void XTabLogic::handleTabCount() {
    const auto n = static_cast<std::size_t>(s.TabCount);
    if (s.tabs.size() < n) {
        const std::size_t old = s.tabs.size();
        s.tabs.resize(n);
        for (std::size_t i = old; i < n; ++i) {
            s.tabs[i] = TabRecord{};
            s.tabs[i].Caption = L"Tab " + std::to_wstring(i);
        }
        return;
    }
    s.tabs.resize(n);
    assignAccessKeys();
    // The shown page went away with its tab: bring the last remaining page into view the way any
    // switch does, so the pages keep their offsets from the active one.
    if (s.ActiveTab >= s.TabCount) switchTo(s.TabCount - 1, false);
}

void XTabLogic::setActiveTab(std::int32_t n) {
    guarded(L"ActiveTab", [&] {
        if (n < 0 || n >= s.TabCount) n = 0;
        if (n == s.ActiveTab) return;
        switchTo(n, true);
    });
}

void XTabLogic::switchTo(std::int32_t n, bool cancellable) {
    s.CancelSwitch = false;
    if (ev_.BeforeTabSwitch) ev_.BeforeTabSwitch(static_cast<std::int16_t>(n), s.CancelSwitch);
    if (cancellable && s.CancelSwitch) return;
    handleContainedControls(n);
    s.LastActiveTab = s.ActiveTab;
    s.ActiveTab = n;
    s.HoverTab = n;
    // The overlay belongs to the old strip; take it away before the strip is drawn anew.
    clearHover(true);
    host_.drawBackground();
    host_.drawTabs();
    s.focusDrawn = s.IsFocused && focusDrawable();  // the tab paint draws the rectangle with the tabs
    host_.propertyChanged(L"ActiveTab");
    refresh();
    host_.refreshSurface();
    if (ev_.TabSwitch) ev_.TabSwitch(static_cast<std::int16_t>(s.LastActiveTab));
}

bool XTabLogic::isContainedRemoved(std::uintptr_t id) const {
    return std::find(s.removedControls.begin(), s.removedControls.end(), id) != s.removedControls.end();
}

void XTabLogic::handleContainedControls(std::int32_t newTab) {
    const double d = static_cast<double>(newTab - s.ActiveTab) * s.TabOffset;
    const int count = host_.containedCount();
    for (int i = 0; i < count; ++i) {
        try {
            if (isContainedRemoved(host_.containedId(i))) continue;
            double left = 0;
            if (host_.containedLeft(i, left)) host_.setContainedLeft(i, left + d);
        } catch (...) {
            // A control that cannot be moved stays where it is; the others still move.
        }
    }
}

std::wstring XTabLogic::TabCaption(std::int32_t i) const {
    if (i < 0 || i >= s.TabCount || i >= static_cast<std::int32_t>(s.tabs.size())) return {};
    return s.tabs[static_cast<std::size_t>(i)].Caption;
}

void XTabLogic::setTabCaption(std::int32_t i, std::wstring caption) {
    guarded(L"TabCaption", [&] {
        if (i < 0 || i >= s.TabCount) fail(err::SubscriptOutOfRange, L"TabCaption");
        TabRecord& t = s.tabs[static_cast<std::size_t>(i)];
        t.AccessKey = accessKeyCode(caption);
        t.Caption = std::move(caption);
        assignAccessKeys();
        host_.propertyChanged(L"TabCaption");
        refresh();
    });
}

bool XTabLogic::TabEnabled(std::int32_t i) const {
    if (i < 0 || i >= s.TabCount || i >= static_cast<std::int32_t>(s.tabs.size())) return false;
    return s.tabs[static_cast<std::size_t>(i)].Enabled;
}

void XTabLogic::setTabEnabled(std::int32_t i, bool on) {
    guarded(L"TabEnabled", [&] {
        if (i < 0 || i >= s.TabCount) fail(err::SubscriptOutOfRange, L"TabEnabled");
        s.tabs[static_cast<std::size_t>(i)].Enabled = on;
        host_.propertyChanged(L"TabEnabled");
        refresh();
        if (s.UseControlBox) host_.drawControlBox(on ? 0 : 2, i);
    });
}

void XTabLogic::setTabOffset(std::int32_t v) {
    s.TabOffset = v;
    host_.propertyChanged(L"TabOffset");
}

void XTabLogic::InsertTab(std::int32_t lAfterIndex, std::wstring sCaption) {
    guarded(L"InsertTab", [&] {
        if (lAfterIndex < -1 || lAfterIndex >= s.TabCount) fail(err::SubscriptOutOfRange, L"InsertTab");
        {
            UpdateLock lock(host_);
            const std::int32_t shown = s.ActiveTab;
            // The tab of a control is read from its position with tab 0 active, so go there first,
            // whatever a handler says: the positions would mean nothing otherwise.
            if (s.ActiveTab != 0) switchTo(0, false);
            const double width = host_.visibleWidth();
            const int count = host_.containedCount();
            for (int i = 0; i < count; ++i) {
                try {
                    if (isContainedRemoved(host_.containedId(i))) continue;
                    double left = 0;
                    if (!host_.containedLeft(i, left)) continue;
                    if (tabOfControl(left, s.TabOffset, width) > lAfterIndex) host_.setContainedLeft(i, left - s.TabOffset);
                } catch (...) {
                }
            }
            // The new tab is a record of its own; every record after it moves on whole, with its
            // flag, key and picture.
            TabRecord t;
            t.AccessKey = accessKeyCode(sCaption);
            t.Caption = std::move(sCaption);
            s.tabs.insert(s.tabs.begin() + (lAfterIndex + 1), std::move(t));
            s.TabCount += 1;
            assignAccessKeys();
            refresh();
            host_.propertyChanged(L"TabCount");
            host_.propertyChanged(L"TabCaption");
            // A tab that went in before the shown one moves that page one index on; one that went in
            // at the shown tab's own place is the tab the user asked for, and is shown.
            setActiveTab(shown > lAfterIndex + 1 ? shown + 1 : shown);
        }
        std::int32_t after = lAfterIndex;
        if (ev_.TabInsert) ev_.TabInsert(after);
    });
}

void XTabLogic::RemoveTab(std::int32_t lTabIndex) {
    guarded(L"RemoveTab", [&] {
        if (s.TabCount == 1) return;
        if (lTabIndex < 0 || lTabIndex >= s.TabCount) fail(err::SubscriptOutOfRange, L"RemoveTab");
        {
            UpdateLock lock(host_);
            const std::int32_t shown = s.ActiveTab;
            if (s.ActiveTab != 0) switchTo(0, false);
            const double width = host_.visibleWidth();
            const double parkDistance = static_cast<double>(s.TabCount) * s.TabOffset;
            const int count = host_.containedCount();
            for (int i = 0; i < count; ++i) {
                try {
                    const std::uintptr_t id = host_.containedId(i);
                    if (isContainedRemoved(id)) continue;
                    double left = 0;
                    if (!host_.containedLeft(i, left)) continue;
                    const std::int32_t tab = tabOfControl(left, s.TabOffset, width);
                    if (tab == lTabIndex) {
                        host_.setContainedLeft(i, left + parkDistance);
                        s.removedControls.push_back(id);
                    } else if (tab > lTabIndex) {
                        host_.setContainedLeft(i, left + s.TabOffset);
                    }
                } catch (...) {
                }
            }
            s.tabs.erase(s.tabs.begin() + lTabIndex);
            s.TabCount -= 1;
            assignAccessKeys();
            clampHoverTab();
            refresh();
            host_.propertyChanged(L"TabCount");
            // The user stays where they were: a tab removed left of the shown page moves that page
            // one index down; the shown tab itself gives way to the tab now at its place (the new
            // last one when it was the last).
            std::int32_t next = shown;
            if (lTabIndex < shown) next = shown - 1;
            else if (lTabIndex == shown) next = std::min(shown, s.TabCount - 1);
            setActiveTab(next);
        }
        std::int32_t index = lTabIndex;
        if (ev_.TabRemove) ev_.TabRemove(index);
    });
}

PictureRef XTabLogic::TabPicture(std::int32_t i) const {
    return guarded(L"TabPicture", [&] {
        if (i < 0 || i >= static_cast<std::int32_t>(s.tabs.size())) fail(err::SubscriptOutOfRange, L"TabPicture");
        return s.tabs[static_cast<std::size_t>(i)].Picture;
    });
}

void XTabLogic::setTabPicture(std::int32_t i, PictureRef p) {
    guarded(L"TabPicture", [&] {
        if (i < 0 || i >= static_cast<std::int32_t>(s.tabs.size())) fail(err::SubscriptOutOfRange, L"TabPicture");
        s.tabs[static_cast<std::size_t>(i)].Picture = std::move(p);
        refresh();
        host_.propertyChanged(L"TabPicture");
    });
}

void XTabLogic::clearTabPictures() {
    for (auto& t : s.tabs) t.Picture.reset();
}

void XTabLogic::assignAccessKeys() {
    std::wstring keys;
    for (const auto& t : s.tabs)
        if (t.AccessKey != 0) keys.push_back(static_cast<wchar_t>(t.AccessKey));
    host_.setAccessKeys(std::move(keys));
}

void XTabLogic::accessKeyPress(std::int16_t& keyAscii) {
    guarded(L"UserControl_AccessKeyPress", [&] {
        if (keyAscii >= 97 && keyAscii <= 122) keyAscii = static_cast<std::int16_t>(keyAscii - 32);
        for (std::int32_t i = 0; i < s.TabCount; ++i) {
            const TabRecord& t = s.tabs[static_cast<std::size_t>(i)];
            if (t.AccessKey == keyAscii && i != s.ActiveTab && t.Enabled) {
                if (s.Busy) return;
                SwitchScope scope(s, host_);
                setActiveTab(i);
                return;
            }
        }
    });
}

// ---------------------------------------------------------------------------------------------
// Properties

void XTabLogic::setLong(std::int32_t XTabState::*field, std::int32_t v, std::wstring_view name) {
    s.*field = v;
    refresh();
    host_.propertyChanged(name);
}

void XTabLogic::setBool(bool XTabState::*field, bool v, std::wstring_view name) {
    s.*field = v;
    refresh();
    host_.propertyChanged(name);
}

void XTabLogic::setColor(std::uint32_t XTabState::*field, std::uint32_t v, std::wstring_view name) {
    s.*field = v;
    refresh();
    host_.propertyChanged(name);
}

void XTabLogic::setTabTheme(std::int32_t v) {
    guarded(L"TabTheme", [&] {
        s.TabTheme = v;
        // The hover overlay and its timer belong to the old look.
        clearHover(false);
        host_.resetColorsToDefault();
        refresh();
        host_.refreshSurface();
        host_.propertyChanged(L"TabTheme");
    });
}

void XTabLogic::setTabStyle(std::int32_t v) {
    guarded(L"TabStyle", [&] {
        s.TabStyle = v;
        clearHover(false);
        refresh();
        host_.propertyChanged(L"TabStyle");
    });
}

void XTabLogic::setUseThemeDetection(bool v) {
    guarded(L"UseThemeDetection", [&] {
        s.UseThemeDetection = v;
        const bool xp = host_.isWinXP();
        if (v && xp)
            setTabTheme(1);
        else if (!xp && v)
            setTabTheme(0);
        refresh();
        host_.propertyChanged(L"UseThemeDetection");
    });
}

void XTabLogic::setEnabled(bool v) {
    guarded(L"Enabled", [&] {
        host_.setSurfaceEnabled(v);
        s.Enabled = v;
        refresh();
        host_.propertyChanged(L"Enabled");
    });
}

void XTabLogic::setFocusedColor(std::uint32_t v) {
    guarded(L"FocusedColor", [&] {
        s.FocusedColor = v;
        // The repaint draws the highlight anew in the new colour where the look has one. A further
        // exclusive-or pass would fall on a rectangle no highlight is on (the strip's corner, or
        // the tab the mouse last left) and leave a band there.
        refresh();
        host_.propertyChanged(L"FocusedColor");
    });
}

void XTabLogic::setUseMouseWheelScroll(bool v) {
    s.UseMouseWheelScroll = v;
    host_.propertyChanged(L"UseMouseWheelScroll");
}

void XTabLogic::setIsFocused(bool v) {
    guarded(L"IsFocused", [&] {
        s.IsFocused = v;
        refresh();
    });
}

void XTabLogic::setActiveTabFont(FontRef f) {
    guarded(L"ActiveTabFont", [&] {
        s.ActiveTabFont = std::move(f);
        refresh();
        host_.propertyChanged(L"ActiveTabFont");
    });
}

void XTabLogic::setInActiveTabFont(FontRef f) {
    guarded(L"InActiveTabFont", [&] {
        s.InActiveTabFont = std::move(f);
        refresh();
        host_.propertyChanged(L"InActiveTabFont");
    });
}

void XTabLogic::resetAllColors() {
    guarded(L"ResetAllColors", [&] {
        {
            BusyScope busy(s);
            host_.resetColorsToDefault();
        }
        refresh();
    });
}

// ---------------------------------------------------------------------------------------------
// Paint cycle

bool XTabLogic::focusDrawable() {
    return s.TabTheme >= 0 && s.TabTheme <= 4 && (s.TabStyle == 0 || s.TabStyle == 1) && s.ShowFocusRect &&
           host_.userMode();
}

void XTabLogic::refresh() {
    guarded(L"Refresh", [&] {
        if (s.Busy) return;
        BusyScope busy(s);
        host_.setAutoRedraw(true);
        if (!s.firstPaintDone) {
            const bool um = host_.userMode();
            s.firstPaintDone = true;
            if (um && ev_.AfterCompleteInit) ev_.AfterCompleteInit();
        }
        if (s.UseThemeDetection) s.TabTheme = host_.themeDetectedNone() ? 0 : 1;
        // The surface is cleared and drawn anew: whatever overlay was on it is gone with it.
        clearHover(false);
        host_.drawMe();
        s.focusDrawn = s.IsFocused && focusDrawable();
        if (!host_.userMode()) host_.setAutoRedraw(false);
    });
}

void XTabLogic::showHideFocusGuarded() {
    guarded(L"pShowHideFocus", [&] {
        if (s.Busy) return;
        BusyScope busy(s);
        // The rectangle is an exclusive-or drawing: toggle it only when what is on the surface
        // differs from the focus the control really has.
        const bool want = s.IsFocused && focusDrawable();
        if (want == s.focusDrawn || !focusDrawable()) return;
        if (s.firstPaintDone) {
            const bool old = host_.autoRedraw();
            host_.setAutoRedraw(true);
            try {
                host_.showHideFocus();
            } catch (...) {
                host_.setAutoRedraw(old);
                throw;
            }
            host_.setAutoRedraw(false);
        } else {
            host_.showHideFocus();
        }
        s.focusDrawn = want;
    });
}

void XTabLogic::clearHover(bool erase) {
    const bool shown = s.HoverShown;
    host_.setHoverTimer(false);
    s.HoverShown = false;
    if (erase && shown) host_.drawOverXOred();
}

std::int32_t XTabLogic::stripHeight() const { return tabctl::stripHeight(s.ActiveTabHeight, s.InActiveTabHeight); }

// ---------------------------------------------------------------------------------------------
// Surface input

void XTabLogic::mouseDown(std::int16_t button, std::int16_t shift, float x, float y) {
    guarded(L"UserControl_MouseDown", [&] {
        if (s.Busy) return;
        if (ev_.MouseDown) ev_.MouseDown(button, shift, x, y);
        if (button == 1) {
            SwitchScope scope(s, host_);
            handleMouseDown(x, y);
        }
    });
}

void XTabLogic::handleMouseDown(float fx, float fy) {
    guarded(L"pHandleMouseDown", [&] {
        // The highlight is an exclusive-or drawing: take it off before forgetting it, or its pixels
        // stay behind on a tab the switch does not redraw.
        if (hoverTheme(s.TabTheme) && s.HoverShown) clearHover(true);
        const std::int32_t x = whole(fx), y = whole(fy);
        if (y > stripHeight()) return;
        for (std::int32_t i = 0; i < s.TabCount; ++i) {
            const TabRecord& t = s.tabs[static_cast<std::size_t>(i)];
            if (insideInclusive(t.TabRect, x, y) && t.Enabled) {
                if (i != s.ActiveTab) setActiveTab(i);
                return;
            }
        }
    });
}

void XTabLogic::mouseMove(std::int16_t button, std::int16_t shift, float x, float y) {
    guarded(L"UserControl_MouseMove", [&] {
        if (ev_.MouseMove) ev_.MouseMove(button, shift, x, y);
        handleMouseMove(x, y);
    });
}

void XTabLogic::handleMouseMove(float fx, float fy) {
    guarded(L"pHandleMouseMove", [&] {
        if (!hoverTheme(s.TabTheme)) return;
        const std::int32_t x = whole(fx), y = whole(fy);
        if (s.HoverShown) return;
        if (y > stripHeight()) return;
        for (std::int32_t i = 0; i < s.TabCount; ++i) {
            const TabRecord& t = s.tabs[static_cast<std::size_t>(i)];
            if (t.TabRect.left <= x && x <= t.TabRect.right && t.Enabled) {
                if (i != s.ActiveTab) {
                    s.HoverTab = i;
                    if (s.TabStyle == 0 || s.TabStyle == 1) {
                        host_.drawHover(i);
                        if (s.HoverShown) host_.setHoverTimer(true);
                    }
                }
                return;
            }
        }
    });
}

void XTabLogic::mouseUp(std::int16_t button, std::int16_t shift, float x, float y) {
    guarded(L"UserControl_MouseUp", [&] {
        if (!s.Busy && ev_.MouseUp) ev_.MouseUp(button, shift, x, y);
    });
}

void XTabLogic::click() {
    if (ev_.Click) ev_.Click();
}

void XTabLogic::dblClick() {
    if (ev_.DblClick) ev_.DblClick();
}

void XTabLogic::keyDown(std::int16_t keyCode, std::int16_t shift) {
    guarded(L"UserControl_KeyDown", [&] {
        {
            SwitchScope scope(s, host_);
            const bool ctrl = (shift & 2) != 0;
            const std::int32_t a = s.ActiveTab, last = s.TabCount - 1;
            if (keyCode == 39 || (keyCode == 34 && ctrl)) {
                if (a < last) {
                    if (TabEnabled(a + 1)) setActiveTab(a + 1);
                } else if (TabEnabled(0)) {
                    setActiveTab(0);
                }
            } else if (keyCode == 37 || (keyCode == 33 && ctrl)) {
                if (a == 0) {
                    if (s.TabCount > 1 && TabEnabled(last)) setActiveTab(last);
                } else if (s.TabCount > 1 && TabEnabled(a - 1)) {
                    setActiveTab(a - 1);
                }
            }
        }
        if (ev_.KeyDown) ev_.KeyDown(keyCode, shift);
    });
}

void XTabLogic::keyUp(std::int16_t keyCode, std::int16_t shift) {
    if (ev_.KeyUp) ev_.KeyUp(keyCode, shift);
}

void XTabLogic::keyPress(std::int16_t& keyAscii) {
    if (ev_.KeyPress) ev_.KeyPress(keyAscii);
}

void XTabLogic::gotFocus() {
    guarded(L"UserControl_GotFocus", [&] {
        s.HoverTab = s.ActiveTab;
        setIsFocused(true);
        showHideFocusGuarded();
    });
}

void XTabLogic::lostFocus() {
    guarded(L"UserControl_LostFocus", [&] {
        s.HoverTab = s.ActiveTab;
        setIsFocused(false);
        showHideFocusGuarded();
    });
}

// ---------------------------------------------------------------------------------------------
// Subscribed messages

std::int32_t XTabLogic::clampHoverTab() {
    s.HoverTab = std::clamp(s.HoverTab, std::int32_t{0}, std::max(s.TabCount - 1, std::int32_t{0}));
    return s.HoverTab;
}

void XTabLogic::boxEnterOrHover(std::int32_t tab) {
    if (s.MouseInBox) {
        float x = static_cast<float>(s.CursorPos.x), y = static_cast<float>(s.CursorPos.y);
        if (ev_.ControlBoxHover) ev_.ControlBoxHover(x, y);
    } else {
        s.MouseInBox = true;
        if (ev_.ControlBoxEnter) ev_.ControlBoxEnter();
    }
    host_.drawControlBox(1, tab);
}

void XTabLogic::boxLeave() {
    if (s.MouseInBox) {
        if (ev_.ControlBoxExit) ev_.ControlBoxExit();
        s.MouseInBox = false;
    }
}

void XTabLogic::wmMouseMove() {
    if (!s.MouseInside) {
        s.MouseInside = true;
        host_.trackMouseLeave();
        if (ev_.MouseEnter) ev_.MouseEnter();
    }
    s.CursorPos = host_.cursorPos();
    const Point p = s.CursorPos;
    float x = static_cast<float>(p.x), y = static_cast<float>(p.y);
    if (hoverTheme(s.TabTheme)) {
        auto examine = [&](std::int32_t tab, bool controlEnabledMatters) {
            std::int32_t reported = tab;
            if (ev_.MouseHover) ev_.MouseHover(reported, x, y);
            if (!s.UseControlBox) return;
            const TabRecord& t = s.tabs[static_cast<std::size_t>(tab)];
            if (ptInRect(t.BoxRect, p)) {
                if (t.Enabled)
                    boxEnterOrHover(tab);
                else
                    host_.drawControlBox(2, tab);
            } else if (!controlEnabledMatters || s.Enabled) {
                if (t.Enabled) {
                    boxLeave();
                    host_.drawControlBox(0, tab);
                } else {
                    host_.drawControlBox(2, tab);
                }
            } else {
                host_.drawControlBox(2, tab);
            }
        };
        if (s.ActiveTab >= 0 && s.ActiveTab < s.TabCount && ptInRect(s.tabs[static_cast<std::size_t>(s.ActiveTab)].TabRect, p)) {
            examine(s.ActiveTab, true);
            return;
        }
        const std::int32_t h = clampHoverTab();
        if (ptInRect(s.tabs[static_cast<std::size_t>(h)].TabRect, p)) examine(h, false);
        return;
    }
    if (!s.UseControlBox) return;
    for (std::int32_t i = 0; i < s.TabCount; ++i) {
        const TabRecord& t = s.tabs[static_cast<std::size_t>(i)];
        if (ptInRect(t.BoxRect, p)) {
            s.HoverTab = i;
            if (t.Enabled)
                boxEnterOrHover(i);
            else
                host_.drawControlBox(2, i);
            return;
        }
        if (i == s.HoverTab) {
            boxLeave();
            host_.drawControlBox(t.Enabled ? 0 : 2, i);
        }
    }
}

void XTabLogic::wmMouseLeave() {
    s.MouseInside = false;
    if (ev_.MouseLeave) ev_.MouseLeave();
}

void XTabLogic::wmMouseWheel(std::int32_t wParam) {
    if (!TabEnabled(s.ActiveTab) || !s.UseMouseWheelScroll) return;
    if (wParam < 0) {
        if (ev_.MouseScrollUp) ev_.MouseScrollUp();
    } else if (ev_.MouseScrollDown) {
        ev_.MouseScrollDown();
    }
    scrollTabs(wParam);
}

void XTabLogic::scrollTabs(std::int32_t w) {
    guarded(L"ScrollTabs", [&] {
        std::int32_t target = s.ActiveTab;
        if (w < 0 && s.ActiveTab < s.TabCount - 1)
            target = s.ActiveTab + 1;
        else if (w >= 0 && s.ActiveTab > 0)
            target = s.ActiveTab - 1;
        // Like the keyboard, the wheel stops at a disabled neighbour: selecting it would leave the
        // wheel dead on a tab the user cannot use.
        if (target != s.ActiveTab && TabEnabled(target)) setActiveTab(target);
    });
}

std::int32_t XTabLogic::boxUnderCursor() {
    s.CursorPos = host_.cursorPos();
    for (std::int32_t i = 0; i < s.TabCount; ++i)
        if (ptInRect(s.tabs[static_cast<std::size_t>(i)].BoxRect, s.CursorPos)) return i;
    return -1;
}

void XTabLogic::wmLButtonDown() {
    if (!s.UseControlBox) return;
    const std::int32_t i = boxUnderCursor();
    s.PressedBox = -1;
    if (i < 0) return;
    if (!s.tabs[static_cast<std::size_t>(i)].Enabled) {
        host_.drawControlBox(2, i);
        return;
    }
    s.MouseInBox = true;
    s.PressedBox = i;
    float x = static_cast<float>(s.CursorPos.x), y = static_cast<float>(s.CursorPos.y);
    if (ev_.ControlBoxMouseDown) ev_.ControlBoxMouseDown(x, y);
    host_.drawControlBox(2, i);
}

void XTabLogic::wmLButtonUp() {
    if (!s.UseControlBox) return;
    const std::int32_t i = boxUnderCursor();
    const std::int32_t pressed = s.PressedBox;
    s.PressedBox = -1;
    if (i < 0) return;
    if (!s.tabs[static_cast<std::size_t>(i)].Enabled) {
        host_.drawControlBox(2, i);
        return;
    }
    s.MouseInBox = true;
    float x = static_cast<float>(s.CursorPos.x), y = static_cast<float>(s.CursorPos.y);
    if (ev_.ControlBoxMouseUp) ev_.ControlBoxMouseUp(x, y);
    // A close is a press and a release on the same box; a drag that merely ends on a box closes
    // nothing.
    if (pressed == i) RemoveTab(i);
}

void XTabLogic::TimerEvent() {
    guarded(L"TimerEvent", [&] {
        if (!hoverTheme(s.TabTheme)) {
            clearHover(false);  // no overlay lives in this look
            return;
        }
        s.CursorPos = host_.cursorPos();
        const Point p = s.CursorPos;
        const Rect& r = s.HoverRect;
        if (p.x < r.left || p.x > r.right || p.y < r.top || p.y > r.bottom) clearHover(true);
    });
}

void XTabLogic::wmActivate() {
    s.HoverTab = s.ActiveTab;
    refresh();
}

void XTabLogic::wmSizing() {
    s.FormIsMoving = false;
    if (ev_.Status) ev_.Status(L"Form is sizing...");
}

void XTabLogic::wmMoving() {
    s.FormIsMoving = true;
    if (ev_.Status) ev_.Status(L"Form is moving...");
}

void XTabLogic::wmExitSizeMove() {
    if (ev_.Status) ev_.Status(std::wstring(L"Finished ") + (s.FormIsMoving ? L"Moving." : L"Sizing."));
}

void XTabLogic::wmColorsChanged() {
    host_.resetColorsToDefault();
    refresh();
}

}  // namespace kelva::tabctl
