#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "cmdedit/menu_reload.h"

using namespace kelva::cmd;

namespace {
// A small AutoCAD: loaded groups and the menu bar's menus, with a call log and injectable refusals.
class FakeAcad : public MenuHost {
public:
    std::vector<std::wstring> groups, bar, log;
    bool refuseLoad = false, refuseUnload = false;
    bool groupLoaded(std::wstring_view g) override {
        for (auto& x : groups) if (x == g) return true;
        return false;
    }
    void unloadGroup(std::wstring_view g) override {
        log.push_back(L"unload");
        if (refuseUnload || !groupLoaded(g)) throw std::runtime_error("refused");
        std::erase(groups, std::wstring(g));
        std::erase(bar, std::wstring(kMenuName));
    }
    void loadGroup(std::wstring_view file) override {
        log.push_back(L"load " + std::wstring(file));
        if (refuseLoad) throw std::runtime_error("refused");
        groups.emplace_back(kMenuGroup);
    }
    bool menuBarHas(std::wstring_view m) override {
        for (auto& x : bar) if (x == m) return true;
        return false;
    }
    int menuBarCount() override { return static_cast<int>(bar.size()); }
    void insertInMenuBar(std::wstring_view group, std::wstring_view menu, int position) override {
        if (!groupLoaded(group)) throw std::runtime_error("no group");
        log.push_back(L"insert " + std::to_wstring(position));
        bar.insert(bar.begin() + std::min<int>(position - 1, static_cast<int>(bar.size())), std::wstring(menu));
    }
};
}  // namespace

TEST(MenuReload, ReloadAppendsTheMenuOnce) {
    FakeAcad a;
    a.groups = {L"ACAD", L"Kelva"};
    a.bar = {L"&File", L"Kel&va", L"&Help"};
    unloadKelvaMenu(a);
    loadKelvaMenu(a);
    EXPECT_EQ(a.log, (std::vector<std::wstring>{L"unload", L"load Kelva.mns", L"insert 3"}));
    EXPECT_EQ(a.bar, (std::vector<std::wstring>{L"&File", L"&Help", L"Kel&va"}));
}

TEST(MenuReload, LoadedGroupWithoutMenuGetsItBackWithoutReload) {
    FakeAcad a;
    a.groups = {L"Kelva"};
    a.bar = {L"&File"};
    loadKelvaMenu(a);
    EXPECT_EQ(a.log, (std::vector<std::wstring>{L"insert 2"}));
    loadKelvaMenu(a);  // already there: nothing more
    EXPECT_EQ(a.bar.size(), 2u);
}

TEST(MenuReload, RefusalsAreSwallowed) {
    FakeAcad a;
    a.refuseUnload = true;
    a.refuseLoad = true;
    EXPECT_NO_THROW(unloadKelvaMenu(a));
    EXPECT_NO_THROW(loadKelvaMenu(a));
    EXPECT_TRUE(a.bar.empty());
}
