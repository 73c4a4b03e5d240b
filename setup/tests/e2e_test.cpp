// Setup.exe run as a program: in a folder of its own with Setup.ini and library fixtures, against
// this prefix's registry; its message box is read and answered like a user would.
#include <windows.h>

#include "core/textcodec.h"
#include "setup/tests/registry_dump.h"
#include "setup/tests/win_support.h"
#include "setup/win/win_registry.h"

using namespace kelva::setup;
using namespace kelva::setup::fakes;
using namespace kelva::setup::wintest;

namespace {

const std::wstring kRelease = L"Software\\Autodesk\\AutoCAD\\R16.2";
const std::wstring kVersion = kRelease + L"\\ACAD-4001:412";
const std::wstring kProfile = kVersion + L"\\Profiles\\<<Unnamed Profile>>";
// An AutoCAD of the other bitness beside it, installed in the view of the machine's keys that
// Setup (built like this test) does not see unless it asks for it.
const std::wstring kReleaseOther = L"Software\\Autodesk\\AutoCAD\\R17.0";
const std::wstring kVersionOther = kReleaseOther + L"\\ACAD-5001:412";
const std::wstring kProfileOther = kVersionOther + L"\\Profiles\\<<Unnamed Profile>>";
constexpr bool k64BitProgram = sizeof(void*) == 8;
constexpr View kOtherView = k64BitProgram ? View::Bits32 : View::Bits64;

struct Box {
    bool shown = false;
    std::wstring text, caption;
    bool okOnly = false;
    bool informationIcon = false;
    DWORD exitCode = 9999;
};

class Process {
public:
    explicit Process(std::wstring commandLine) {
        STARTUPINFOW si{};
        si.cb = sizeof si;
        started_ = CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi_) != FALSE;
    }
    ~Process() {
        if (!started_) return;
        if (WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(pi_.hProcess, 1);
        CloseHandle(pi_.hThread);
        CloseHandle(pi_.hProcess);
    }
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;
    bool started() const { return started_; }
    DWORD id() const { return pi_.dwProcessId; }
    HANDLE handle() const { return pi_.hProcess; }

private:
    PROCESS_INFORMATION pi_{};
    bool started_ = false;
};

struct FindBox {
    DWORD pid;
    HWND found = nullptr;
};

BOOL CALLBACK findBox(HWND hwnd, LPARAM param) {
    auto* f = reinterpret_cast<FindBox*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    wchar_t cls[32] = {};
    GetClassNameW(hwnd, cls, 32);
    if (pid == f->pid && lstrcmpW(cls, L"#32770") == 0 && IsWindowVisible(hwnd)) {
        f->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

std::wstring windowText(HWND hwnd) {
    std::wstring t(static_cast<size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
    t.resize(static_cast<size_t>(GetWindowTextW(hwnd, t.data(), static_cast<int>(t.size()))));
    return t;
}

bool visibleButton(HWND box, int id) {
    HWND b = GetDlgItem(box, id);
    return b && IsWindowVisible(b);
}

// Runs Setup.exe, reads its one message box, presses OK and waits for it to end.
Box runSetup(const std::wstring& folder) {
    Box box;
    Process setup(L"\"" + folder + L"\\Setup.exe\"");
    EXPECT_TRUE(setup.started()) << GetLastError();
    if (!setup.started()) return box;
    for (int i = 0; i < 600 && !box.shown; ++i) {
        FindBox f{setup.id()};
        EnumWindows(findBox, reinterpret_cast<LPARAM>(&f));
        if (f.found) {
            Sleep(50);  // let the dialog finish laying itself out
            box.shown = true;
            box.caption = windowText(f.found);
            box.text = windowText(GetDlgItem(f.found, 0xFFFF));
            box.okOnly = visibleButton(f.found, IDOK) && !visibleButton(f.found, IDCANCEL) && !visibleButton(f.found, IDYES) &&
                         !visibleButton(f.found, IDNO) && !visibleButton(f.found, IDABORT) && !visibleButton(f.found, IDRETRY);
            HWND icon = GetDlgItem(f.found, 0x0440);
            box.informationIcon = icon && IsWindowVisible(icon) && SendMessageW(icon, STM_GETICON, 0, 0) != 0;
            PostMessageW(f.found, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(f.found, IDOK)));
            break;
        }
        if (WaitForSingleObject(setup.handle(), 50) == WAIT_OBJECT_0) break;
    }
    if (WaitForSingleObject(setup.handle(), 30000) == WAIT_OBJECT_0) GetExitCodeProcess(setup.handle(), &box.exitCode);
    return box;
}

void setText(WinRegistry& r, HiveView hive, const std::wstring& key, const wchar_t* name, const std::wstring& text) {
    ASSERT_EQ(r.createKey(hive, key), 0);
    auto bytes = utf16Bytes(text);
    bytes.insert(bytes.end(), {0, 0});
    ASSERT_EQ(r.setValue(hive, key, name, RawValue{regtype::Sz, bytes}), 0);
}

// The prefix's own registry holds an AutoCAD release for the test's life.
class SetupProgram : public ::testing::Test {
protected:
    ScratchFolder program, user;
    WinRegistry registry;

    void SetUp() override {
        clean();
        const std::wstring built = moduleFolder();
        ASSERT_TRUE(CopyFileW((built + L"\\..\\Setup.exe").c_str(), (program / L"Setup.exe").c_str(), FALSE));
        ASSERT_TRUE(CopyFileW((built + L"\\fixture_registers.dll").c_str(), (program / L"KelvaSub.dll").c_str(), FALSE));
        const std::wstring ini = L"[MENU]\r\nMenuFileName=kelva\r\nMenuGroups=KELVA\r\n[APPLOAD]\r\nStartup=kelva.lsp\r\n"
                                 L"[Library]\r\nLib=KelvaSub.dll\r\n";
        ASSERT_TRUE(writeBytes(program / L"Setup.ini", kelva::encodeLenient(kelva::Codec::Cp949, ini)));
        for (const wchar_t* stale : {L"kelva.mnr", L"kelva.mnc", L"acad.lsp"}) ASSERT_TRUE(writeBytes(program / stale, "stale"));
        setText(registry, Hive::CurrentUser, kRelease, L"CurVer", L"ACAD-4001:412");
        setText(registry, Hive::CurrentUser, kProfile + L"\\Menus", L"Group1", L"ACAD acad");
        setText(registry, Hive::CurrentUser, kProfile + L"\\General", L"ACAD", L"C:\\acad\\support");
        setText(registry, Hive::CurrentUser, kProfile + L"\\General Configuration", L"MenuFile", user / L"acad");
        setText(registry, Hive::LocalMachine, kVersion, L"AcadLocation", L"C:\\AutoCAD");
        ASSERT_TRUE(writeBytes(user / L"acad.cui", "<a>\r\n    </CommonItems>\r\n"));
    }
    void TearDown() override { clean(); }
    void clean() {
        RegDeleteTreeW(HKEY_CURRENT_USER, kRelease.c_str());
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, kRelease.c_str());
        RegDeleteTreeW(HKEY_CURRENT_USER, kReleaseOther.c_str());
        HKEY other = nullptr;
        const REGSAM otherView = k64BitProgram ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software", 0, KEY_ALL_ACCESS | otherView, &other) == ERROR_SUCCESS) {
            RegDeleteTreeW(other, kReleaseOther.substr(kReleaseOther.find(L'\\') + 1).c_str());
            RegCloseKey(other);
        }
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\KelvaTest\\Fixture");
    }
    std::wstring snapshot() {
        return dumpTree(registry, Hive::CurrentUser, kRelease) + dumpTree(registry, Hive::LocalMachine, kRelease);
    }
    std::wstring value(const std::wstring& key, const wchar_t* name) {
        RawValue v;
        if (registry.queryValue(Hive::CurrentUser, key, name, v) != 0) return L"<missing>";
        std::wstring t = fromUtf16Bytes(v.data.data(), v.data.size());
        while (!t.empty() && t.back() == 0) t.pop_back();
        return t;
    }
};

// Waits until the fixture says it is ready (its table entry is in place).
bool waitReady(const Process& p) {
    const std::wstring name = L"KelvaFixtureReady-" + std::to_wstring(p.id());
    for (int i = 0; i < 400; ++i) {
        if (HANDLE e = OpenEventW(SYNCHRONIZE, FALSE, name.c_str())) {
            const bool ok = WaitForSingleObject(e, 20000) == WAIT_OBJECT_0;
            CloseHandle(e);
            return ok;
        }
        if (WaitForSingleObject(p.handle(), 50) == WAIT_OBJECT_0) return false;
    }
    return false;
}

void stopFixture(const Process& p) {
    const std::wstring name = L"KelvaFixtureQuit-" + std::to_wstring(p.id());
    if (HANDLE e = OpenEventW(EVENT_MODIFY_STATE, FALSE, name.c_str())) {
        SetEvent(e);
        CloseHandle(e);
    }
    WaitForSingleObject(p.handle(), 20000);
}

const std::wstring kRefusal =
    L"AutoCAD가 실행중이므로 등록할 수 없습니다\r\n\r\nAutoCAD를 종료하고 Kelva이 설치된 폴더의 Setup.exe를 한번 실행해 주십시오  ";

}  // namespace

TEST_F(SetupProgram, RegistersAndSaysSoThenASecondRunChangesNothing) {
    const Box first = runSetup(program.path());
    ASSERT_TRUE(first.shown);
    EXPECT_EQ(first.text, L"AutoCAD 등록 완료  ");
    EXPECT_EQ(first.caption, L"Kelva");
    EXPECT_TRUE(first.okOnly);
    EXPECT_TRUE(first.informationIcon);
    EXPECT_EQ(first.exitCode, 0u);
    for (const wchar_t* stale : {L"kelva.mnr", L"kelva.mnc", L"acad.lsp"}) EXPECT_FALSE(exists(program / stale));
    EXPECT_EQ(value(kProfile + L"\\Menus", L"Group2"), L"KELVA " + program.path() + L"\\kelva");
    EXPECT_EQ(value(kProfile + L"\\General", L"ACAD"), L"C:\\acad\\support;" + program.path() + L";");
    EXPECT_EQ(value(kProfile + L"\\Dialogs\\Appload\\Startup", L"1Startup"), program.path() + L"\\kelva.lsp");
    EXPECT_EQ(value(kVersion + L"\\Applications\\AcadAppLoad", L"LOADER"), L"C:\\AutoCAD\\Appload.arx");
    EXPECT_NE(readBytes(user / L"acad.cui").find("<PartialMenuFile>kelva.cui</PartialMenuFile>"), std::string::npos);
    EXPECT_EQ(lstrcmpiW(value(L"Software\\KelvaTest\\Fixture", L"Registered").c_str(), (program / L"KelvaSub.dll").c_str()), 0);

    const std::wstring registryAfterFirst = snapshot();
    const std::string cui = readBytes(user / L"acad.cui");
    const Box second = runSetup(program.path());
    EXPECT_EQ(second.text, L"AutoCAD 등록 완료  ");
    EXPECT_EQ(snapshot(), registryAfterFirst);
    EXPECT_EQ(readBytes(user / L"acad.cui"), cui);
}

TEST_F(SetupProgram, ServesAnAutoCadOfTheOtherBitnessFromTheViewItIsInstalledIn) {
    const HiveView otherMachine{Hive::LocalMachine, kOtherView};
    setText(registry, otherMachine, kReleaseOther, L"CurVer", L"ACAD-5001:412");
    setText(registry, otherMachine, kVersionOther, L"AcadLocation", L"C:\\AutoCAD 2007");
    setText(registry, Hive::CurrentUser, kReleaseOther, L"CurVer", L"ACAD-5001:412");
    setText(registry, Hive::CurrentUser, kProfileOther + L"\\General", L"ACAD", L"C:\\acad2007\\support");
    // Setup's own view does not hold it.
    ASSERT_NE(registry.openForRead(Hive::LocalMachine, kVersionOther), 0);
    const Box box = runSetup(program.path());
    ASSERT_TRUE(box.shown);
    EXPECT_EQ(box.text, L"AutoCAD 등록 완료  ");
    EXPECT_EQ(box.exitCode, 0u);
    EXPECT_EQ(value(kVersionOther + L"\\Applications\\AcadAppLoad", L"LOADER"), L"C:\\AutoCAD 2007\\Appload.arx");
    EXPECT_EQ(value(kProfileOther + L"\\Dialogs\\Appload\\Startup", L"1Startup"), program.path() + L"\\kelva.lsp");
    EXPECT_EQ(value(kVersion + L"\\Applications\\AcadAppLoad", L"LOADER"), L"C:\\AutoCAD\\Appload.arx");
}

TEST(SetupManifest, AsksForAdministratorRights) {
    const std::wstring exe = moduleFolder() + L"\\..\\Setup.exe";
    HMODULE image = LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(image, nullptr);
    HRSRC res = FindResourceW(image, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
    ASSERT_NE(res, nullptr);
    const char* text = static_cast<const char*>(LockResource(LoadResource(image, res)));
    const std::string manifest(text, SizeofResource(image, res));
    FreeLibrary(image);
    EXPECT_NE(manifest.find("level=\"requireAdministrator\" uiAccess=\"false\""), std::string::npos);
}

TEST_F(SetupProgram, FailuresAreReportedAndNeverAsSuccess) {
    const std::wstring ini = L"[MENU]\r\nMenuFileName=kelva\r\nMenuGroups=KELVA\r\n[APPLOAD]\r\nStartup=kelva.lsp\r\n"
                             L"[Library]\r\nLib=KelvaSub.dll,notes.dll\r\n";
    ASSERT_TRUE(writeBytes(program / L"Setup.ini", kelva::encodeLenient(kelva::Codec::Cp949, ini)));
    ASSERT_TRUE(writeBytes(program / L"notes.dll", "no library"));
    const Box box = runSetup(program.path());
    ASSERT_TRUE(box.shown);
    EXPECT_EQ(box.caption, L"Kelva 설치");
    EXPECT_EQ(box.text.substr(0, box.text.find(L"\r\n")), L"라이브러리 등록 실패1 (notes.dll)");
    EXPECT_NE(box.text.find(L"\r\nKelva 등록시 문제가 발생했습니다.\r\n수동으로 Kelva을 등록해 주십시오.\r\n"), std::wstring::npos);
    EXPECT_TRUE(box.okOnly);
    EXPECT_EQ(box.exitCode, 1u);
}

TEST_F(SetupProgram, RefusesBesideAnAutoCadUnderEachProgId) {
    const std::wstring before = snapshot();
    for (const wchar_t* progId : {L"AutoCAD.Application", L"AutoCAD.Application.14", L"AutoCAD.Application.15",
                                  L"AutoCAD.Application.16", L"AutoCAD.Application.17", L"AutoCAD.Application.18"}) {
        SCOPED_TRACE(::testing::Message() << std::string(progId, progId + wcslen(progId)));
        Process acad(L"\"" + moduleFolder() + L"\\fixture_autocad.exe\" " + progId);
        ASSERT_TRUE(acad.started());
        ASSERT_TRUE(waitReady(acad));
        const Box box = runSetup(program.path());
        stopFixture(acad);
        ASSERT_TRUE(box.shown);
        EXPECT_EQ(box.text, kRefusal);
        EXPECT_EQ(box.caption, L"Kelva");
        EXPECT_TRUE(box.okOnly);
        EXPECT_EQ(box.exitCode, 2u);
        EXPECT_EQ(snapshot(), before);
        for (const wchar_t* stale : {L"kelva.mnr", L"kelva.mnc", L"acad.lsp"}) EXPECT_TRUE(exists(program / stale));
    }
    // Once AutoCAD is gone, Setup runs.
    EXPECT_EQ(runSetup(program.path()).text, L"AutoCAD 등록 완료  ");
}

TEST_F(SetupProgram, RefusesBesideAnAutoCadProcessWithoutATableEntry) {
    ScratchFolder acadFolder;
    ASSERT_TRUE(CopyFileW((moduleFolder() + L"\\fixture_autocad.exe").c_str(), (acadFolder / L"acad.exe").c_str(), FALSE));
    const std::wstring before = snapshot();
    Process acad(L"\"" + (acadFolder / L"acad.exe") + L"\" /process-only");
    ASSERT_TRUE(acad.started());
    ASSERT_TRUE(waitReady(acad));
    const Box box = runSetup(program.path());
    stopFixture(acad);
    EXPECT_EQ(box.text, kRefusal);
    EXPECT_EQ(snapshot(), before);
}
