#pragma once
// A host for the tab control's logic that records what the logic asks of the window: property
// notifications, access keys, contained controls with their Left, paint steps, the hover timer and
// the exclusive-or decorations (whose on-screen state it tracks as a real surface would).
#include <map>
#include <string>
#include <vector>

#include "tabctl/xtab_logic.h"

namespace kelva::tabctl::test {

struct FakePicture : TabPicture {
    explicit FakePicture(int tag) : tag(tag) {}
    int width() const override { return 16; }
    int height() const override { return 16; }
    int tag;
};

struct Child {
    std::uintptr_t id;
    double left;
    bool movable = true;
};

class FakeHost : public XTabHost {
public:
    XTabLogic* logic = nullptr;
    std::vector<std::wstring> changed;
    std::wstring accessKeys;
    bool autoRedrawOn = false;
    bool surfaceEnabled = true;
    bool user = true;
    bool winXP = false;
    bool themeNone = true;
    int lockDepth = 0, locks = 0;
    std::vector<Child> children;
    double width = 9000;  // twips
    std::vector<std::string> log;
    bool timerOn = false;
    int xorToggles = 0;
    bool overlayOnScreen = false;  // the hover overlay's pixels are on the surface
    bool focusOnScreen = false;    // the focus rectangle's pixels are on the surface
    int resets = 0;
    Point cursor;
    bool throwInDrawMe = false;

    // Tabs laid out 60 pixels wide on a 20 pixel strip, each with a 12 pixel close box.
    void layout() {
        auto& s = logic->s;
        for (std::size_t i = 0; i < s.tabs.size(); ++i) {
            const int x = static_cast<int>(i) * 60;
            s.tabs[i].TabRect = {x, 0, x + 60, 20};
            s.tabs[i].BoxRect = {x + 44, 4, x + 56, 16};
        }
    }

    void propertyChanged(std::wstring_view name) override { changed.emplace_back(name); }
    bool userMode() override { return user; }
    std::uint32_t ambientBackColor() override { return 0x8000000F; }
    rt::FontDesc ambientFont() override { return rt::FontDesc{L"Tahoma", 8.25}; }
    void setAccessKeys(std::wstring keys) override { accessKeys = std::move(keys); }
    bool autoRedraw() override { return autoRedrawOn; }
    void setAutoRedraw(bool on) override { autoRedrawOn = on; }
    void setSurfaceEnabled(bool on) override { surfaceEnabled = on; }
    void refreshSurface() override { log.push_back("refreshSurface"); }
    void lockWindowUpdate(bool lock) override {
        lockDepth += lock ? 1 : -1;
        if (lock) ++locks;
    }
    int containedCount() override { return static_cast<int>(children.size()); }
    std::uintptr_t containedId(int i) override { return children[static_cast<std::size_t>(i)].id; }
    bool containedLeft(int i, double& left) override {
        left = children[static_cast<std::size_t>(i)].left;
        return true;
    }
    bool setContainedLeft(int i, double left) override {
        auto& c = children[static_cast<std::size_t>(i)];
        if (!c.movable) return false;
        c.left = left;
        return true;
    }
    double visibleWidth() override { return width; }

    void drawMe() override {
        if (throwInDrawMe) throw VbErrorForTest();
        log.push_back("drawMe");
        layout();
        overlayOnScreen = false;  // cleared with the surface
        auto& s = logic->s;
        focusOnScreen = user && s.ShowFocusRect && s.IsFocused && s.TabTheme >= 0 && s.TabTheme <= 4 &&
                        (s.TabStyle == 0 || s.TabStyle == 1);
    }
    void drawBackground() override { log.push_back("drawBackground"); }
    void drawTabs() override {
        log.push_back("drawTabs");
        layout();
        auto& s = logic->s;
        focusOnScreen = user && s.ShowFocusRect && s.IsFocused && s.TabTheme >= 0 && s.TabTheme <= 4 &&
                        (s.TabStyle == 0 || s.TabStyle == 1);
    }
    void drawControlBox(int state, int tab) override { log.push_back("box" + std::to_string(state) + ":" + std::to_string(tab)); }
    void drawHover(int tab) override {
        log.push_back("hover" + std::to_string(tab));
        auto& s = logic->s;
        s.HoverTab = tab;
        s.HoverShown = true;
        s.HoverRect = s.tabs[static_cast<std::size_t>(tab)].TabRect;
        overlayOnScreen = !overlayOnScreen;
    }
    void drawOverXOred() override {
        log.push_back("xor");
        ++xorToggles;
        overlayOnScreen = !overlayOnScreen;
    }
    void showHideFocus() override {
        log.push_back("focus");
        focusOnScreen = !focusOnScreen;
    }
    void resetColorsToDefault() override { ++resets; }
    bool themeDetectedNone() override { return themeNone; }
    bool isWinXP() override { return winXP; }
    void setHoverTimer(bool on) override { timerOn = on; }
    void trackMouseLeave() override { log.push_back("track"); }
    Point cursorPos() override { return cursor; }
    PictureRef pictureFromData(const rt::PictureData& data) override {
        return std::make_shared<FakePicture>(data.bmp.empty() ? 0 : data.bmp[0]);
    }
    rt::PictureData pictureToData(const PictureRef& p) override {
        return rt::PictureData{{static_cast<std::uint8_t>(static_cast<const FakePicture&>(*p).tag)}};
    }

    struct VbErrorForTest : std::exception {};

    int count(const std::string& entry) const {
        int n = 0;
        for (const auto& e : log) n += e == entry;
        return n;
    }
};

// A control as a new instance on a form, with its recorded events.
struct Fixture {
    FakeHost host;
    XTabEvents ev;
    XTabLogic x{host, ev};
    std::vector<std::string> events;

    explicit Fixture(int tabs = 3, double parentWidth = 9000) {
        host.logic = &x;
        x.initProperties(parentWidth);
        if (tabs != 3) x.setTabCount(tabs);
        x.refresh();
        ev.BeforeTabSwitch = [this](std::int16_t n, bool&) { events.push_back("before" + std::to_string(n)); };
        ev.TabSwitch = [this](std::int16_t last) { events.push_back("switch" + std::to_string(last)); };
        ev.TabInsert = [this](std::int32_t& a) { events.push_back("insert" + std::to_string(a)); };
        ev.TabRemove = [this](std::int32_t& a) { events.push_back("remove" + std::to_string(a)); };
        ev.MouseDown = [this](std::int16_t& b, std::int16_t&, float&, float&) { events.push_back("down" + std::to_string(b)); };
        ev.KeyDown = [this](std::int16_t& k, std::int16_t&) { events.push_back("key" + std::to_string(k)); };
        ev.MouseScrollUp = [this] { events.push_back("scrollUp"); };
        ev.MouseScrollDown = [this] { events.push_back("scrollDown"); };
        ev.ControlBoxMouseDown = [this](float&, float&) { events.push_back("boxDown"); };
        ev.ControlBoxMouseUp = [this](float&, float&) { events.push_back("boxUp"); };
        ev.ControlBoxEnter = [this] { events.push_back("boxEnter"); };
        ev.ControlBoxExit = [this] { events.push_back("boxExit"); };
        ev.MouseHover = [this](std::int32_t& t, float&, float&) { events.push_back("mouseHover" + std::to_string(t)); };
        ev.Status = [this](std::wstring st) { events.push_back(std::string(st.begin(), st.end())); };
        ev.MouseEnter = [this] { events.push_back("enter"); };
        ev.MouseLeave = [this] { events.push_back("leave"); };
    }
    // One control per tab at design position 600 twips, placed while tab 0 is active.
    void placeControls() {
        for (std::int32_t k = 0; k < x.s.TabCount; ++k)
            host.children.push_back({static_cast<std::uintptr_t>(100 + k), 600.0 - k * x.s.TabOffset});
    }
    double leftOf(std::uintptr_t id) const {
        for (const auto& c : host.children)
            if (c.id == id) return c.left;
        return -1;
    }
};

}  // namespace kelva::tabctl::test
