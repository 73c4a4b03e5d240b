#include <gtest/gtest.h>

#include "core/textcodec.h"
#include "setup/tests/fakes.h"

using namespace kelva::setup;
using namespace kelva::setup::fakes;

namespace {
constexpr Hive HKCU = Hive::CurrentUser;
const std::wstring kFolderText = kFolder;
}  // namespace

TEST(ReleaseVersion, ReadsTheNumberInTheReleaseName) {
    EXPECT_DOUBLE_EQ(ReleaseVersion(L"R15.0"), 15.0);
    EXPECT_DOUBLE_EQ(ReleaseVersion(L"R16.2"), 16.2);
    EXPECT_DOUBLE_EQ(ReleaseVersion(L"R17.1"), 17.1);
    EXPECT_DOUBLE_EQ(ReleaseVersion(L"R18.0"), 18.0);
    EXPECT_DOUBLE_EQ(ReleaseVersion(L"17.2"), 17.2);
    EXPECT_EQ(ReleaseVersion(L"Settings"), 0.0);
    EXPECT_EQ(ReleaseVersion(L""), 0.0);
    EXPECT_EQ(ReleaseVersion(L"R16,2"), 0.0);  // "." is the decimal point, whatever the locale
}

class MenuStep : public ::testing::Test {
protected:
    SetupWorld w;
    std::wstring v, menus;
    void SetUp() override {
        w.ini.set(L"MENU", L"MenuFileName", L"km");
        w.ini.set(L"MENU", L"MenuGroups", L"KM");
        v = w.release(L"R17.1", L"ACAD-5001:409");
        menus = SetupWorld::profile(v, L"<<Unnamed Profile>>") + L"\\Menus";
    }
    Registrar run() {
        Registrar r(w.services());
        r.RegisterMenuGroups();
        return r;
    }
};

TEST_F(MenuStep, TakesTheFirstFreeGroupAndPopNumbers) {
    w.registry.setText(HKCU, menus, L"Group1", L"ACAD acad");
    w.registry.setText(HKCU, menus, L"Pop1", L"ACAD pop1");
    w.registry.setText(HKCU, menus, L"Pop2", L"ACAD pop2");
    w.registry.setText(HKCU, menus, L"Pop3", L"ACAD pop3");
    auto r = run();
    EXPECT_FALSE(r.gSetupFailed) << r.gSetupErrors;
    EXPECT_EQ(w.value(menus, L"Group2"), L"KM " + kFolderText + L"\\km");
    EXPECT_EQ(w.value(menus, L"Pop4"), L"KM pop1");
    EXPECT_EQ(w.value(menus, L"Group1"), L"ACAD acad");
}

TEST_F(MenuStep, FillsHolesAndWritesNoPopWhenThereIsNone) {
    w.registry.setText(HKCU, menus, L"Group1", L"a");
    w.registry.setText(HKCU, menus, L"Group3", L"b");
    w.registry.setText(HKCU, menus, L"Pop2", L"c");
    run();
    EXPECT_EQ(w.value(menus, L"Group2"), L"KM " + kFolderText + L"\\km");
    EXPECT_EQ(w.value(menus, L"Pop1"), L"KM pop1");

    const std::wstring other = SetupWorld::profile(v, L"Other") + L"\\Menus";
    w.registry.setText(HKCU, other, L"Group1", L"a");
    run();
    EXPECT_EQ(w.value(other, L"Group2"), L"KM " + kFolderText + L"\\km");
    EXPECT_EQ(w.value(other, L"Pop1"), L"<missing>");
}

TEST_F(MenuStep, ForeignPopValuesAreNeverOverwrittenOrCounted) {
    for (int i = 1; i <= 21; ++i) w.registry.setText(HKCU, menus, L"Pop" + std::to_wstring(i), L"X pop" + std::to_wstring(i));
    w.registry.setText(HKCU, menus, L"Pop25", L"Y pop");
    w.registry.setText(HKCU, menus, L"Popular", L"Z");  // another application's value
    w.registry.setText(HKCU, menus, L"Group1", L"X");
    auto r = run();
    EXPECT_FALSE(r.gSetupFailed) << r.gSetupErrors;
    EXPECT_EQ(w.value(menus, L"Pop21"), L"X pop21");
    EXPECT_EQ(w.value(menus, L"Pop22"), L"KM pop1");
    EXPECT_EQ(w.value(menus, L"Pop25"), L"Y pop");
    EXPECT_EQ(w.value(menus, L"Popular"), L"Z");
}

TEST_F(MenuStep, AProfileHoldingTheGroupInAnyCaseIsLeftAloneWithItsCustomizationFile) {
    w.registry.setText(HKCU, menus, L"Group1", L"km " + lowerText(kFolderText) + L"\\KM");
    const std::wstring gc = SetupWorld::profile(v, L"<<Unnamed Profile>>") + L"\\General Configuration";
    w.registry.setText(HKCU, gc, L"MenuFile", L"C:\\u\\acad");
    w.files.put(L"C:\\u\\acad.cui", "a\r\n    </CommonItems>");
    const std::wstring before = w.registry.dump();
    run();
    EXPECT_EQ(w.registry.dump(), before);
    EXPECT_EQ(w.files.operations, 0);
}

TEST_F(MenuStep, EmptyMenusKeyAndMissingCurVerAreSkipped) {
    w.registry.createKey(HKCU, menus);
    w.registry.createKey(HKCU, std::wstring(kAutoCadKey) + L"R16.2\\ACAD-4001:409\\Profiles\\P\\Menus");
    w.registry.setText(HKCU, std::wstring(kAutoCadKey) + L"R16.2\\ACAD-4001:409\\Profiles\\P\\Menus", L"Group1", L"x");
    const std::wstring before = w.registry.dump();
    auto r = run();
    EXPECT_FALSE(r.gSetupFailed);
    EXPECT_EQ(w.registry.dump(), before);
}

TEST_F(MenuStep, PartialMenuOnlyForReleasesFrom16_2To18AndOnlyWithAMenuFile) {
    w.registry.setText(HKCU, menus, L"Group1", L"x");
    for (auto [rel, cur] : {std::pair{L"R15.0", L"A"}, {L"R16.2", L"B"}, {L"R18.0", L"C"}, {L"Rx", L"D"}}) {
        const std::wstring vk = w.release(rel, cur);
        const std::wstring p = SetupWorld::profile(vk, L"P");
        w.registry.setText(HKCU, p + L"\\Menus", L"Group1", L"x");
        w.registry.setText(HKCU, p + L"\\General Configuration", L"MenuFile", std::wstring(L"C:\\m\\") + rel);
        w.files.put(std::wstring(L"C:\\m\\") + rel + L".cui", "a\r\n    </CommonItems>");
    }
    // The R17.1 profile has no MenuFile: no customization file is touched for it.
    auto r = run();
    EXPECT_FALSE(r.gSetupFailed) << r.gSetupErrors;
    auto patched = [&](const wchar_t* rel) {
        return w.files.get(std::wstring(L"C:\\m\\") + rel + L".cui").find("km.cui") != std::string::npos;
    };
    EXPECT_FALSE(patched(L"R15.0"));
    EXPECT_TRUE(patched(L"R16.2"));
    EXPECT_FALSE(patched(L"R18.0"));
    EXPECT_FALSE(patched(L"Rx"));
    EXPECT_TRUE(w.files.has(L"C:\\m\\R16.2.bak"));
    EXPECT_EQ(w.value(std::wstring(kAutoCadKey) + L"Rx\\D\\Profiles\\P\\Menus", L"Group2"), L"<missing>");
    EXPECT_EQ(w.value(std::wstring(kAutoCadKey) + L"R18.0\\C\\Profiles\\P\\Menus", L"Group2"), L"KM " + kFolderText + L"\\km");
}

TEST_F(MenuStep, MissingSetupValuesFailTheStepWithoutWriting) {
    w.registry.setText(HKCU, menus, L"Group1", L"x");
    const std::wstring before = w.registry.dump();
    w.ini.set(L"MENU", L"MenuGroups", L"");
    auto r = run();
    EXPECT_TRUE(r.gSetupFailed);
    EXPECT_EQ(r.gSetupErrors, L"메뉴등록 실패");
    EXPECT_EQ(w.registry.dump(), before);
}

TEST_F(MenuStep, ARefusedWriteFailsTheStep) {
    w.registry.setText(HKCU, menus, L"Group1", L"x");
    w.registry.denyWritesBelow(HKCU, menus);
    auto r = run();
    EXPECT_EQ(r.gSetupErrors, L"메뉴등록 실패");
}

class StartupStep : public ::testing::Test {
protected:
    SetupWorld w;
    std::wstring v, profile, startup;
    void SetUp() override {
        w.ini.set(L"APPLOAD", L"Startup", L"kelva.lsp,kelva.arx");
        v = w.release(L"R16.2", L"ACAD-4001:412");
        profile = SetupWorld::profile(v, L"<<Unnamed Profile>>");
        w.registry.createKey(HKCU, profile);
        startup = profile + L"\\Dialogs\\Appload\\Startup";
    }
    Registrar run() {
        Registrar r(w.services());
        r.RegisterStartupSuite();
        return r;
    }
};

TEST_F(StartupStep, AProfileWithoutTheKeyGetsItAndTheEntries) {
    w.registry.setText(Hive::LocalMachine, v, L"AcadLocation", L"C:\\Program Files\\AutoCAD 2006");
    auto r = run();
    EXPECT_FALSE(r.gSetupFailed) << r.gSetupErrors;
    EXPECT_EQ(w.value(startup, L"1Startup"), kFolderText + L"\\kelva.lsp");
    EXPECT_EQ(w.value(startup, L"2Startup"), kFolderText + L"\\kelva.arx");
    EXPECT_EQ(w.value(startup, L"NumStartup"), L"2");
    const std::wstring app = v + L"\\Applications\\AcadAppLoad";
    EXPECT_EQ(w.value(app, L"DESCRIPTION"), L"AcadAppload Command Module");
    EXPECT_EQ(w.value(app, L"LOADER"), L"C:\\Program Files\\AutoCAD 2006\\Appload.arx");
    EXPECT_EQ(w.value(app, L"LOADCTRLS"), L"dword:15");
}

TEST_F(StartupStep, ExistingEntriesAreKeptAndNeverOverwritten) {
    w.registry.setText(HKCU, startup, L"NumStartup", L"1");
    w.registry.setText(HKCU, startup, L"1Startup", L"C:\\other\\a.lsp");
    w.registry.setText(HKCU, startup, L"2Startup", L"C:\\other\\b.lsp");  // count lags behind
    w.registry.setText(HKCU, startup, L"3Startup", lowerText(kFolderText) + L"\\KELVA.ARX");
    const std::wstring app = v + L"\\Applications\\AcadAppLoad";
    w.registry.setText(HKCU, app, L"LOADER", L"mine");
    w.registry.setText(HKCU, app, L"DESCRIPTION", L"theirs");
    w.registry.setDword(HKCU, app, L"LOADCTRLS", 2);
    auto r = run();
    EXPECT_FALSE(r.gSetupFailed) << r.gSetupErrors;
    EXPECT_EQ(w.value(startup, L"2Startup"), L"C:\\other\\b.lsp");
    EXPECT_EQ(w.value(startup, L"4Startup"), kFolderText + L"\\kelva.lsp");
    EXPECT_EQ(w.value(startup, L"5Startup"), L"<missing>");
    EXPECT_EQ(w.value(startup, L"NumStartup"), L"4");
    EXPECT_EQ(w.value(app, L"LOADER"), L"mine");
    EXPECT_EQ(w.value(app, L"DESCRIPTION"), L"theirs");
    EXPECT_EQ(w.value(app, L"LOADCTRLS"), L"dword:15");
}

TEST_F(StartupStep, EmptyItemsAreSkippedAndTwiceListedItemsAddedTwice) {
    w.ini.set(L"APPLOAD", L"Startup", L",a.lsp,,a.lsp,");
    run();
    EXPECT_EQ(w.value(startup, L"1Startup"), kFolderText + L"\\a.lsp");
    EXPECT_EQ(w.value(startup, L"2Startup"), kFolderText + L"\\a.lsp");
    EXPECT_EQ(w.value(startup, L"3Startup"), L"<missing>");
    EXPECT_EQ(w.value(startup, L"NumStartup"), L"2");
}

TEST_F(StartupStep, NoLoaderWithoutAutoCadsLocationAndEveryReleaseCounts) {
    const std::wstring v2 = w.release(L"NoDigits", L"X");
    w.registry.createKey(HKCU, SetupWorld::profile(v2, L"P"));
    auto r = run();
    EXPECT_EQ(r.gSetupErrors, L"Appload 실패 (AutoCAD R16.2\\ACAD-4001:412 설치 위치 없음), "
                              L"Appload 실패 (AutoCAD NoDigits\\X 설치 위치 없음)");
    EXPECT_EQ(w.value(v + L"\\Applications\\AcadAppLoad", L"LOADER"), L"<missing>");
    EXPECT_EQ(w.value(SetupWorld::profile(v2, L"P") + L"\\Dialogs\\Appload\\Startup", L"1Startup"),
              kFolderText + L"\\kelva.lsp");
}

TEST_F(StartupStep, FailuresAppendToEarlierOnes) {
    w.registry.denyWritesBelow(HKCU, profile + L"\\Dialogs");
    Registrar r(w.services());
    r.gSetupErrors = L"메뉴등록 실패";
    r.RegisterStartupSuite();
    EXPECT_EQ(r.gSetupErrors, L"메뉴등록 실패, Appload 실패");
}

TEST_F(StartupStep, ACountThatIsNoNumberFailsTheStep) {
    w.registry.setText(HKCU, startup, L"NumStartup", L"many");
    auto r = run();
    EXPECT_EQ(r.gSetupErrors, L"Appload 실패");
}

TEST_F(StartupStep, AListCutByTheBufferKeepsItsCompleteItemsAndIsReported) {
    std::wstring list = L"a.lsp,";
    while (list.size() < 300) list += L"x";
    w.ini.set(L"APPLOAD", L"Startup", list);
    auto r = run();
    EXPECT_EQ(w.value(startup, L"1Startup"), kFolderText + L"\\a.lsp");
    EXPECT_EQ(w.value(startup, L"2Startup"), L"<missing>");
    EXPECT_TRUE(r.gSetupFailed);
    EXPECT_EQ(r.gSetupErrors.rfind(L"Appload 실패", 0), 0u);
}

TEST(SupportPath, AppendsTheFolderAsAnEntryOfItsOwn) {
    bool changed = false;
    EXPECT_EQ(supportPathWith(L"C:\\A;C:\\B", L"C:\\K", changed), L"C:\\A;C:\\B;C:\\K;");
    EXPECT_TRUE(changed);
    EXPECT_EQ(supportPathWith(L"C:\\A;", L"C:\\K", changed), L"C:\\A;C:\\K;");
    EXPECT_EQ(supportPathWith(L"C:\\A;c:\\k\\;C:\\B", L"C:\\K", changed), L"C:\\A;c:\\k\\;C:\\B");
    EXPECT_FALSE(changed);
    EXPECT_EQ(supportPathWith(L"C:\\K2;C:\\A", L"C:\\K", changed), L"C:\\K2;C:\\A;C:\\K;");
    EXPECT_TRUE(changed);
}

TEST(SupportPathStep, KeepsTheValuesTypeAndSkipsEmptyPaths) {
    SetupWorld w;
    const std::wstring v = w.release(L"R17.0", L"ACAD-5001:412");
    const std::wstring g1 = SetupWorld::profile(v, L"A") + L"\\General";
    const std::wstring g2 = SetupWorld::profile(v, L"B") + L"\\General";
    const std::wstring g3 = SetupWorld::profile(v, L"C") + L"\\General";
    w.registry.setText(HKCU, g1, L"ACAD", L"%ProgramFiles%\\AutoCAD\\Support", regtype::ExpandSz);
    w.registry.setText(HKCU, g2, L"ACAD", L"");
    // Written without its terminating NUL: the last character must survive.
    w.registry.setRaw(HKCU, g3, L"ACAD", RawValue{regtype::Sz, utf16Bytes(L"C:\\A;C:\\B")});
    Registrar r(w.services());
    r.AddSupportPath();
    EXPECT_FALSE(r.gSetupFailed);
    RawValue raw;
    ASSERT_EQ(w.registry.queryValue(HKCU, g1, L"ACAD", raw), 0);
    EXPECT_EQ(raw.type, regtype::ExpandSz);
    EXPECT_EQ(w.value(g1, L"ACAD"), L"%ProgramFiles%\\AutoCAD\\Support;" + kFolderText + L";");
    EXPECT_EQ(w.value(g2, L"ACAD"), L"");
    EXPECT_EQ(w.value(g3, L"ACAD"), L"C:\\A;C:\\B;" + kFolderText + L";");
    // A second run finds the folder on every path and has nothing to write, even where writing
    // would fail.
    w.registry.denyWritesBelow(HKCU, g3);
    const std::wstring before = w.registry.dump();
    Registrar again(w.services());
    again.AddSupportPath();
    EXPECT_FALSE(again.gSetupFailed);
    EXPECT_EQ(w.registry.dump(), before);
    w.registry.setText(HKCU, g3, L"ACAD", L"C:\\A");
    Registrar denied(w.services());
    denied.AddSupportPath();
    EXPECT_EQ(denied.gSetupErrors, L"경로추가 실패");
}

TEST(LibraryStep, EveryFileThatDidNotRegisterIsReported) {
    SetupWorld w;
    w.ini.set(L"Library", L"Lib", L"KelvaSub.dll,,KelvaView.ocx, x.dll");
    w.servers.codes[lowerText(kFolderText + L"\\KelvaSub.dll")] = 4;
    w.servers.codes[lowerText(kFolderText + L"\\KelvaView.ocx")] = 3;
    Registrar r(w.services());
    r.gSetupErrors = L"Appload 실패";
    r.gSetupFailed = true;
    r.RegisterLibraries();
    EXPECT_EQ(w.servers.calls, (std::vector<std::wstring>{kFolderText + L"\\KelvaSub.dll", kFolderText + L"\\KelvaView.ocx",
                                                           kFolderText + L"\\ x.dll"}));
    EXPECT_EQ(r.gSetupErrors, L"Appload 실패, 라이브러리 등록 실패3 (KelvaView.ocx), 라이브러리 등록 실패0 ( x.dll)");
}

TEST(LibraryStep, NoListMeansNothingToRegisterAndACutListIsReported) {
    SetupWorld w;
    Registrar r(w.services());
    r.RegisterLibraries();
    EXPECT_TRUE(w.servers.calls.empty());
    EXPECT_EQ(r.gSetupErrors, L"라이브러리 등록 실패 (Setup.ini에 Lib 목록 없음)");

    std::wstring list = L"a.dll,";
    while (list.size() < 260) list += L"b";
    w.ini.set(L"Library", L"Lib", list);
    w.servers.codes[lowerText(kFolderText + L"\\a.dll")] = 4;
    Registrar cut(w.services());
    cut.RegisterLibraries();
    EXPECT_EQ(w.servers.calls.size(), 1u);
    EXPECT_TRUE(cut.gSetupFailed);
    EXPECT_EQ(cut.gSetupErrors, L"라이브러리 등록 실패 (Setup.ini의 Lib 목록이 255자를 넘어 끝까지 읽을 수 없음)");
}

TEST(SetupIni, ListsKeepBlanksAndEmptyItems) {
    MemoryIni ini;
    ini.set(L"Library", L"Lib", L"a, b,,c");
    auto list = GetIniList(ini, L"Setup.ini", L"library", L"LIB");
    EXPECT_EQ(list.items, (std::vector<std::wstring>{L"a", L" b", L"", L"c"}));
    EXPECT_FALSE(list.cut);
    EXPECT_EQ(usableItems(list), (std::vector<std::wstring>{L"a", L" b", L"c"}));
    EXPECT_EQ(GetIniList(ini, L"Setup.ini", L"x", L"y").items, (std::vector<std::wstring>{L""}));
    EXPECT_EQ(GetIniValue(ini, L"Setup.ini", L"x", L"y", L"def").text, L"def");
    ini.set(L"S", L"K", std::wstring(300, L'a'));
    auto v = GetIniValue(ini, L"Setup.ini", L"S", L"K", L"");
    EXPECT_EQ(v.text.size(), 254u);
    EXPECT_TRUE(v.cut);
}
