// Start-up, exit, the panel toggle and the options window's OK over a store in memory.
#include <gtest/gtest.h>

#include <stdexcept>

#include "palette/charmap_logic.h"
#include "palette/settings_logic.h"

using namespace kelva::palette;

namespace {

class FakePalette : public PaletteView {
public:
    std::wstring log;  // every call, in order
    std::wstring caption;
    bool previewBox = true, previewFrame = true, acadCheck = true, topMost = false, panel = true;
    int check = 0;
    double height = kFullHeight, top = 1200, left = 2400;
    std::map<int, bool> tooltips;
    bool newText = false, back = false, front = false;
    std::wstring height_text = L"3.000", favs;
    bool acadRuns = false;
    std::wstring failStep;  // a step that throws
    std::vector<std::wstring> messages;

    void note(const wchar_t* what) {
        log += std::wstring(what) + L";";
        if (failStep == what) throw std::runtime_error("step fails");
    }
    void setCaption(const std::wstring& c) override { note(L"caption"); caption = c; }
    void fillFontList() override { note(L"fonts"); }
    void takeCellMetrics() override { note(L"metrics"); }
    void resetSelection() override { note(L"selection"); }
    void showPreview(bool on) override {
        note(L"preview");
        previewBox = previewFrame = on;
    }
    void showAcadCheck(bool on) override { note(L"acadcheck"); acadCheck = on; }
    void setTopMost(bool on) override { note(L"topmost"); topMost = on; }
    int acadCheckValue() override { return check; }
    void setAcadCheckValue(int v) override { note(L"checkvalue"); check = v; }
    double windowHeight() override { return height; }
    void setWindowHeight(double t) override { note(L"height"); height = t; }
    void showPanel(bool on) override { note(L"panel"); panel = on; }
    void coverWindowWithShape() override { note(L"shape"); }
    void setupTabs() override { note(L"tabs"); }
    int pageCount() override { return 6; }
    void setupPage(int page, bool tip) override {
        if (page == 0) note(L"pages");
        tooltips[page] = tip;
    }
    void setPageTooltip(int page, bool tip) override { tooltips[page] = tip; }
    void fillPages() override { note(L"fill"); }
    void setWriteMode(bool n, bool b, bool f) override {
        note(L"mode");
        newText = n, back = b, front = f;
    }
    bool writeModeNew() override { return newText; }
    bool writeModeBack() override { return back; }
    bool writeModeFront() override { return front; }
    void setTextHeight(const std::wstring& t) override { note(L"textheight"); height_text = t; }
    std::wstring textHeight() override { return height_text; }
    void setFavorites(const std::wstring& t) override { note(L"favorites"); favs = t; }
    std::wstring favorites() override { return favs; }
    double windowTop() override { return top; }
    double windowLeft() override { return left; }
    bool attachAutoCAD() override { note(L"attach"); return acadRuns; }
    void takeActiveDocument() override { note(L"document"); }
    void focusChars() override { note(L"focus"); }
    void message(const std::wstring& t) override { messages.push_back(t); }
};

}  // namespace

TEST(Startup, FirstRunWithAnEmptyStore) {
    FakePalette view;
    MemoryStore store;
    runStartup(view, store);
    EXPECT_EQ(view.log,
              L"caption;fonts;metrics;selection;preview;acadcheck;topmost;checkvalue;height;panel;shape;tabs;pages;fill;"
              L"mode;textheight;favorites;");
    EXPECT_EQ(view.caption, L"Kelva 특수문자");
    EXPECT_TRUE(view.previewBox);
    EXPECT_TRUE(view.acadCheck);
    EXPECT_TRUE(view.topMost);
    EXPECT_EQ(view.check, 0);
    EXPECT_FALSE(view.panel);
    EXPECT_EQ(view.height, 5490);
    EXPECT_TRUE(view.tooltips[5]);
    EXPECT_TRUE(view.newText);
    EXPECT_FALSE(view.back || view.front);
    EXPECT_EQ(view.height_text, L"3.000");
    EXPECT_EQ(view.favs, L"㎡㎥√×²³Φ");
    EXPECT_TRUE(store.values.empty());  // reading writes nothing
}

TEST(Startup, StoredValuesAndTheSharedPreviewRule) {
    FakePalette view;
    MemoryStore store;
    store.values = {{L"Preview", L"0"}, {L"AutoCAD", L"0"}, {L"OnTop", L"0"}, {L"Copy", L"0"},
                    {L"WriteACAD", L"1"}, {L"NewText", L"False"}, {L"Back", L"True"}, {L"Front", L"false"},
                    {L"TextHeight", L"2.5"}, {L"Favorite", L""}};
    runStartup(view, store);
    // The preview's frame goes with the box, as the options window hides both.
    EXPECT_FALSE(view.previewBox);
    EXPECT_FALSE(view.previewFrame);
    EXPECT_FALSE(view.acadCheck);
    EXPECT_FALSE(view.topMost);
    EXPECT_EQ(view.check, 1);
    EXPECT_TRUE(view.panel);
    EXPECT_EQ(view.height, kFullHeight);
    EXPECT_FALSE(view.tooltips[0]);
    EXPECT_TRUE(view.back);
    EXPECT_FALSE(view.newText || view.front);
    EXPECT_EQ(view.height_text, L"2.500");
    EXPECT_EQ(view.favs, L"");
}

TEST(Startup, AFailingStepOrABadValueIsSkipped) {
    FakePalette view;
    view.failStep = L"fonts";
    view.height = 5490;  // already short: not shrunk a second time
    MemoryStore store;
    store.values = {{L"Preview", L"abc"}, {L"TextHeight", L"high"}};
    runStartup(view, store);
    EXPECT_NE(view.log.find(L"metrics;"), std::wstring::npos);
    EXPECT_EQ(view.log.find(L"preview;"), std::wstring::npos);  // unreadable: left as designed
    EXPECT_TRUE(view.previewBox);
    EXPECT_EQ(view.height, 5490);
    EXPECT_EQ(view.height_text, L"3.000");
    EXPECT_EQ(view.favs, L"㎡㎥√×²³Φ");
}

TEST(Exit, SystemMenuCloseIsRefusedAndExitSavesInOrder) {
    EXPECT_TRUE(refuseClose(true));
    EXPECT_FALSE(refuseClose(false));
    FakePalette view;
    view.check = 1;
    view.back = true;
    view.height_text = L"abc";  // saved as typed
    view.favs = L"㎡";
    MemoryStore store;
    store.refuse[L"Top"] = true;
    saveOnExit(view, store);
    EXPECT_EQ(store.order, L"WriteACAD;Left;NewText;Back;Front;TextHeight;Favorite;");
    EXPECT_EQ(store.values[L"WriteACAD"], L"1");
    EXPECT_EQ(store.values[L"Left"], L"2400");
    EXPECT_EQ(store.values[L"NewText"], L"False");
    EXPECT_EQ(store.values[L"Back"], L"True");
    EXPECT_EQ(store.values[L"TextHeight"], L"abc");
    EXPECT_EQ(store.values[L"Favorite"], L"㎡");

    // What exit wrote is what the next start reads.
    FakePalette next;
    runStartup(next, store);
    EXPECT_EQ(next.check, 1);
    EXPECT_TRUE(next.back);
    EXPECT_EQ(next.favs, L"㎡");
}

TEST(PanelToggle, NoAutoCADLeavesTheWindowAlone) {
    FakePalette view;
    view.height = 5490;
    view.panel = false;
    view.check = 1;  // ticked by the user
    togglePanel(view);
    EXPECT_EQ(view.messages, std::vector<std::wstring>{kAcadNotRunning});
    EXPECT_EQ(view.check, 0);
    EXPECT_EQ(view.height, 5490);
    EXPECT_FALSE(view.panel);

    FakePalette open;  // unticking with no AutoCAD keeps the panel open
    open.check = 0;
    togglePanel(open);
    EXPECT_TRUE(open.panel);
    EXPECT_EQ(open.height, kFullHeight);
}

TEST(PanelToggle, GrowsAndShrinksOnlyAcrossTheThreshold) {
    FakePalette view;
    view.acadRuns = true;
    view.height = 5490;
    view.check = 1;
    togglePanel(view);
    EXPECT_EQ(view.height, kFullHeight);
    EXPECT_TRUE(view.panel);
    EXPECT_NE(view.log.find(L"shape;focus;document;"), std::wstring::npos);
    togglePanel(view);  // on again while already tall: only shows
    EXPECT_EQ(view.height, kFullHeight);
    view.check = 0;
    togglePanel(view);
    EXPECT_EQ(view.height, 5490);
    EXPECT_FALSE(view.panel);
    togglePanel(view);  // off again while short: only hides
    EXPECT_EQ(view.height, 5490);
}

TEST(Options, EmptyStoreReadsAllCheckedAndOKSavesThenApplies) {
    MemoryStore store;
    OptionValues v = readOptions(store);
    EXPECT_EQ(v.preview + v.copy + v.acad + v.onTop, 4);
    FakePalette palette;
    v.preview = 0;
    v.copy = 0;
    applyOptions(v, store, palette);
    EXPECT_EQ(store.order, L"Preview;Copy;AutoCAD;OnTop;");
    EXPECT_EQ(store.values[L"Preview"], L"0");
    EXPECT_EQ(store.values[L"OnTop"], L"1");
    EXPECT_FALSE(palette.previewBox);
    EXPECT_FALSE(palette.previewFrame);
    ASSERT_EQ(palette.tooltips.size(), 6u);
    for (auto& [page, tip] : palette.tooltips) EXPECT_FALSE(tip) << page;
    EXPECT_TRUE(palette.topMost);
    EXPECT_EQ(readOptions(store).preview, 0);
}

TEST(SettingValues, ConversionsOfStoredText) {
    MemoryStore s;
    s.values = {{L"a", L" 2.5 "}, {L"b", L"TRUE"}, {L"c", L"0"}, {L"d", L"-1"}, {L"e", L"x"}, {L"f", L"99999"}};
    EXPECT_EQ(readInt(s, L"a", 0), 2);  // half to even
    EXPECT_TRUE(readBool(s, L"b", false));
    EXPECT_FALSE(readBool(s, L"c", true));
    EXPECT_TRUE(readBool(s, L"d", false));
    EXPECT_THROW(readBool(s, L"e", false), BadSetting);
    EXPECT_THROW(readInt(s, L"f", 0), BadSetting);  // beyond an Integer
    EXPECT_EQ(readInt(s, L"missing", 7), 7);
    EXPECT_EQ(formatHeight(2.5), L"2.500");
    EXPECT_EQ(formatHeight(1.0005), L"1.001");
}
