#include <gtest/gtest.h>

#include "core/textcodec.h"
#include "setup/tests/fakes.h"

using namespace kelva::setup;
using namespace kelva::setup::fakes;

namespace {
constexpr Hive HKCU = Hive::CurrentUser;

// Two releases, three profiles, a customization file: what a machine with AutoCAD looks like.
void fillMachine(SetupWorld& w) {
    w.ini.set(L"MENU", L"MenuFileName", L"kelva");
    w.ini.set(L"MENU", L"MenuGroups", L"KELVA");
    w.ini.set(L"APPLOAD", L"Startup", L"kelva.lsp");
    w.ini.set(L"Library", L"Lib", L"KelvaSub.dll,KelvaView.ocx");
    w.servers.codes[lowerText(std::wstring(kFolder) + L"\\KelvaSub.dll")] = 4;
    w.servers.codes[lowerText(std::wstring(kFolder) + L"\\KelvaView.ocx")] = 4;
    const std::wstring v17 = w.release(L"R17.0", L"ACAD-5001:412");
    const std::wstring v16 = w.release(L"R16.0", L"ACAD-201:412");
    for (const auto& p : {SetupWorld::profile(v17, L"<<Unnamed Profile>>"), SetupWorld::profile(v17, L"작업"),
                          SetupWorld::profile(v16, L"P")}) {
        w.registry.setText(HKCU, p + L"\\Menus", L"Group1", L"ACAD C:\\acad\\acad");
        w.registry.setText(HKCU, p + L"\\Menus", L"Pop1", L"ACAD POP1");
        w.registry.setText(HKCU, p + L"\\General", L"ACAD", L"C:\\acad\\support;");
        w.registry.setText(HKCU, p + L"\\General Configuration", L"MenuFile", L"C:\\u\\acad");
    }
    w.registry.setText(Hive::LocalMachine, v17, L"AcadLocation", L"C:\\AutoCAD");
    w.registry.setText(Hive::LocalMachine, v16, L"AcadLocation", L"C:\\AutoCAD 2004");
    w.files.put(L"C:\\u\\acad.cui", "\xEF\xBB\xBF<a>\r\n    </CommonItems>");
}
}  // namespace

TEST(SetupMain, ARunningAutoCadGivesOnlyTheRefusal) {
    SetupWorld w;
    fillMachine(w);
    w.probe.running = true;
    for (const wchar_t* f : {L"kelva.mnr", L"kelva.mnc", L"acad.lsp"}) w.files.put(std::wstring(kFolder) + L"\\" + f, "x");
    const std::wstring before = w.registry.dump();
    const auto filesBefore = w.files.files;
    Registrar r(w.services());
    EXPECT_EQ(r.Main(), Outcome::Refused);
    ASSERT_EQ(w.messages.shown.size(), 1u);
    EXPECT_EQ(w.messages.shown[0].text,
              L"AutoCAD가 실행중이므로 등록할 수 없습니다\r\n\r\nAutoCAD를 종료하고 Kelva이 설치된 폴더의 Setup.exe를 한번 "
              L"실행해 주십시오  ");
    EXPECT_EQ(w.messages.shown[0].caption, L"Kelva");
    EXPECT_EQ(w.registry.dump(), before);
    EXPECT_EQ(w.files.files, filesBefore);
    EXPECT_TRUE(w.servers.calls.empty());
}

TEST(SetupMain, EverythingRegisteredGivesTheSuccessMessageAndASecondRunChangesNothing) {
    SetupWorld w;
    fillMachine(w);
    for (const wchar_t* f : {L"kelva.mnr", L"kelva.mnc", L"acad.lsp", L"kelva.mns"})
        w.files.put(std::wstring(kFolder) + L"\\" + f, "x");
    Registrar r(w.services());
    EXPECT_EQ(r.Main(), Outcome::Registered);
    ASSERT_EQ(w.messages.shown.size(), 1u);
    EXPECT_EQ(w.messages.shown[0].text, L"AutoCAD 등록 완료  ");
    EXPECT_EQ(w.messages.shown[0].caption, L"Kelva");
    EXPECT_FALSE(w.files.has(std::wstring(kFolder) + L"\\kelva.mnr"));
    EXPECT_FALSE(w.files.has(std::wstring(kFolder) + L"\\acad.lsp"));
    EXPECT_TRUE(w.files.has(std::wstring(kFolder) + L"\\kelva.mns"));
    const std::string cui = w.files.get(L"C:\\u\\acad.cui");
    EXPECT_EQ(cui, "\xEF\xBB\xBF<a>        <PartialMenuFile>kelva.cui</PartialMenuFile>\r\n\r\n    </CommonItems>");

    const std::wstring registry = w.registry.dump();
    const auto files = w.files.files;
    Registrar second(w.services());
    EXPECT_EQ(second.Main(), Outcome::Registered);
    // LOADCTRLS is written again each run, with the same value.
    EXPECT_EQ(w.registry.dump(), registry);
    EXPECT_EQ(w.files.files, files);
}

TEST(SetupMain, FailedStepsAreListedInTheFailureMessage) {
    SetupWorld w;
    fillMachine(w);
    w.servers.codes[lowerText(std::wstring(kFolder) + L"\\KelvaView.ocx")] = 2;
    w.registry.denyWritesBelow(HKCU, std::wstring(kAutoCadKey) + L"R16.0\\ACAD-201:412\\Profiles\\P\\Dialogs");
    Registrar r(w.services());
    EXPECT_EQ(r.Main(), Outcome::Failed);
    ASSERT_EQ(w.messages.shown.size(), 1u);
    EXPECT_EQ(w.messages.shown[0].caption, L"Kelva 설치");
    const std::wstring& t = w.messages.shown[0].text;
    EXPECT_EQ(t.substr(0, t.find(L"\r\n")), L"Appload 실패, 라이브러리 등록 실패2 (KelvaView.ocx)");
    EXPECT_NE(t.find(L"\r\nKelva 등록시 문제가 발생했습니다.\r\n수동으로 Kelva을 등록해 주십시오.\r\n"), std::wstring::npos);
}

TEST(SetupMain, AnUnreadableCustomizationFileLeadsTheMessage) {
    SetupWorld w;
    fillMachine(w);
    w.files.put(L"C:\\u\\acad.cui", "\xFF\xFE<a>\r\n    </CommonItems>");
    Registrar r(w.services());
    EXPECT_EQ(r.Main(), Outcome::Failed);
    const std::wstring& t = w.messages.shown.at(0).text;
    EXPECT_EQ(t.substr(0, t.find(L"\r\n")), L"CUI 파일 열기 실패");
}

TEST(SetupMain, ARunThatRegisteredNothingFailsAndNamesWhatWasMissing) {
    const std::wstring rest = L"\r\nKelva 등록시 문제가 발생했습니다.\r\n수동으로 Kelva을 등록해 주십시오.\r\n"
                              L"수동 설치 방법은 Kelva 지원 페이지를 참고해 주십시오.";
    // No AutoCAD at all: Setup.ini is complete and the libraries register, but there is no profile.
    SetupWorld empty;
    for (const wchar_t* key : {L"MenuFileName", L"MenuGroups"}) empty.ini.set(L"MENU", key, L"kelva");
    empty.ini.set(L"APPLOAD", L"Startup", L"kelva.lsp");
    empty.ini.set(L"Library", L"Lib", L"KelvaSub.dll");
    empty.servers.codes[lowerText(std::wstring(kFolder) + L"\\KelvaSub.dll")] = 4;
    Registrar r(empty.services());
    EXPECT_EQ(r.Main(), Outcome::Failed);
    ASSERT_EQ(empty.messages.shown.size(), 1u);
    EXPECT_EQ(empty.messages.shown[0].text,
              L"AutoCAD 프로필 없음 (AutoCAD를 설치하고 한번 실행한 뒤 Setup.exe를 다시 실행해 주십시오)" + rest);
    EXPECT_EQ(empty.messages.shown[0].caption, L"Kelva 설치");

    // A release AutoCAD never started, one whose folder is unknown, no start-up and no library list.
    SetupWorld w;
    fillMachine(w);
    w.ini.set(L"APPLOAD", L"Startup", L"");
    w.ini.set(L"Library", L"Lib", L"");
    w.registry.deleteValue(Hive::LocalMachine, std::wstring(kAutoCadKey) + L"R16.0\\ACAD-201:412", L"AcadLocation");
    const std::wstring v18 = w.release(L"R18.0", L"ACAD-8001:412");
    w.registry.setText(Hive::LocalMachine, v18, L"AcadLocation", L"C:\\AutoCAD 2010");
    Registrar run(w.services());
    EXPECT_EQ(run.Main(), Outcome::Failed);
    ASSERT_EQ(w.messages.shown.size(), 1u);
    EXPECT_EQ(w.messages.shown[0].text,
              L"Appload 실패 (Setup.ini에 Startup 목록 없음), Appload 실패 (AutoCAD R16.0\\ACAD-201:412 (64비트) 설치 위치 없음), "
              L"라이브러리 등록 실패 (Setup.ini에 Lib 목록 없음), "
              L"AutoCAD R18.0\\ACAD-8001:412 (64비트) 프로필 없음 (AutoCAD를 한번 실행한 뒤 Setup.exe를 다시 실행해 주십시오)" +
                  rest);
    EXPECT_EQ(w.messages.shown[0].caption, L"Kelva 설치");
}

TEST(SetupMain, ReleasesOfBothViewsAreServedAndOneWithoutProfileIsNamed) {
    SetupWorld w;
    fillMachine(w);
    // fillMachine's releases are 64-bit ones; a 32-bit AutoCAD keeps its installation in the other view.
    const HiveView machine32{Hive::LocalMachine, View::Bits32};
    const std::wstring v15 = w.release(L"R15.0", L"ACAD-1:412");
    w.registry.setText(HKCU, SetupWorld::profile(v15, L"P") + L"\\General", L"ACAD", L"C:\\acad2002\\support");
    w.registry.setText(machine32, std::wstring(kAutoCadKey) + L"R15.0", L"CurVer", L"ACAD-1:412");
    w.registry.setText(machine32, v15, L"AcadLocation", L"C:\\AutoCAD 2002");
    // Installed in the 32-bit view and never started: no key of the user's.
    w.registry.setText(machine32, std::wstring(kAutoCadKey) + L"R19.0", L"CurVer", L"ACAD-B001:412");
    w.registry.setText(machine32, std::wstring(kAutoCadKey) + L"R19.0\\ACAD-B001:412", L"AcadLocation", L"C:\\AutoCAD 2013");
    std::vector<std::wstring> machineKeys;
    ASSERT_EQ(w.registry.enumKeys(Hive::LocalMachine, L"Software\\Wow6432Node\\Autodesk\\AutoCAD", machineKeys), 0);
    EXPECT_EQ(machineKeys, (std::vector<std::wstring>{L"R15.0", L"R19.0"}));

    Registrar r(w.services());
    EXPECT_EQ(r.Main(), Outcome::Failed);
    const std::wstring& t = w.messages.shown.at(0).text;
    EXPECT_EQ(t.substr(0, t.find(L"\r\n")),
              L"AutoCAD R19.0\\ACAD-B001:412 (32비트) 프로필 없음 (AutoCAD를 한번 실행한 뒤 Setup.exe를 다시 실행해 주십시오)");
    EXPECT_EQ(w.messages.shown[0].caption, L"Kelva 설치");
    EXPECT_EQ(w.value(v15 + L"\\Applications\\AcadAppLoad", L"LOADER"), L"C:\\AutoCAD 2002\\Appload.arx");
    EXPECT_EQ(w.value(std::wstring(kAutoCadKey) + L"R17.0\\ACAD-5001:412\\Applications\\AcadAppLoad", L"LOADER"),
              L"C:\\AutoCAD\\Appload.arx");
    EXPECT_EQ(w.value(SetupWorld::profile(v15, L"P") + L"\\General", L"ACAD"),
              L"C:\\acad2002\\support;" + std::wstring(kFolder) + L";");
    EXPECT_EQ(w.value(SetupWorld::profile(v15, L"P") + L"\\Dialogs\\Appload\\Startup", L"1Startup"),
              std::wstring(kFolder) + L"\\kelva.lsp");
    EXPECT_EQ(w.registry.openForRead(HKCU, std::wstring(kAutoCadKey) + L"R19.0"), regerr::FileNotFound);
}
