// The whole registration over the real registry (a sandbox), real files and real libraries:
// several releases and profiles, a missing CurVer, an empty Menus key, a REG_EXPAND_SZ support path
// and pop values of other applications.
#include <windows.h>

#include "core/textcodec.h"
#include "setup/tests/fakes.h"
#include "setup/tests/registry_dump.h"
#include "setup/tests/win_support.h"
#include "setup/win/win_files.h"
#include "setup/win/win_ini.h"
#include "setup/win/win_registry.h"
#include "setup/win/win_servers.h"

using namespace kelva::setup;
using namespace kelva::setup::fakes;
using namespace kelva::setup::wintest;

namespace {

constexpr Hive HKCU = Hive::CurrentUser;
const std::wstring kBase = L"Software\\Autodesk\\AutoCAD";

void setText(WinRegistry& r, Hive hive, const std::wstring& key, const wchar_t* name, const std::wstring& text,
             std::uint32_t type = regtype::Sz) {
    ASSERT_EQ(r.createKey(hive, key), 0);
    auto bytes = utf16Bytes(text);
    bytes.insert(bytes.end(), {0, 0});
    ASSERT_EQ(r.setValue(hive, key, name, RawValue{type, bytes}), 0);
}

std::wstring valueOf(WinRegistry& r, const std::wstring& key, const wchar_t* name) {
    RawValue v;
    if (r.queryValue(HKCU, key, name, v) != 0) return L"<missing>";
    std::wstring t = fromUtf16Bytes(v.data.data(), v.data.size());
    while (!t.empty() && t.back() == 0) t.pop_back();
    return t;
}

class Machine : public RegistrySandbox {
protected:
    ScratchFolder program, user;
    WinRegistry registry;
    WinFiles files;
    WinIni ini;
    WinServerRegistrar servers;
    ScriptedProbe probe;
    RecordedMessages messages;
    std::wstring v162, v180, unnamed, work, r18;
    std::string cuiOriginal;

    void SetUp() override {
        RegistrySandbox::SetUp();
        const std::wstring ini =
            L"[MENU]\r\nMenuFileName=kelva\r\nMenuGroups=KELVA\r\n[APPLOAD]\r\nStartup=kelva.lsp,kelva.arx\r\n"
            L"[Library]\r\nLib=fixture_registers.dll\r\n";
        ASSERT_TRUE(writeBytes(program / L"Setup.ini", kelva::encodeLenient(kelva::Codec::Cp949, ini)));
        ASSERT_TRUE(CopyFileW((moduleFolder() + L"\\fixture_registers.dll").c_str(), (program / L"fixture_registers.dll").c_str(),
                              FALSE));

        v162 = kBase + L"\\R16.2\\ACAD-4001:412";
        setText(registry, HKCU, kBase + L"\\R16.2", L"CurVer", L"ACAD-4001:412");
        unnamed = v162 + L"\\Profiles\\<<Unnamed Profile>>";
        setText(registry, HKCU, unnamed + L"\\Menus", L"Group1", L"ACAD C:\\acad\\acad");
        setText(registry, HKCU, unnamed + L"\\Menus", L"Pop1", L"ACAD POP1");
        setText(registry, HKCU, unnamed + L"\\Menus", L"Pop2", L"EXPRESS POP1");
        setText(registry, HKCU, unnamed + L"\\Menus", L"PopupHelper", L"another application");
        setText(registry, HKCU, unnamed + L"\\Menus", L"Pop30", L"far away");
        setText(registry, HKCU, unnamed + L"\\General", L"ACAD", L"%KELVA_ACAD%\\support;C:\\fonts", regtype::ExpandSz);
        setText(registry, HKCU, unnamed + L"\\General Configuration", L"MenuFile", user / L"acad");
        setText(registry, Hive::LocalMachine, v162, L"AcadLocation", L"C:\\Program Files\\AutoCAD 2006");
        cuiOriginal = kelva::encodeLenient(kelva::Codec::Utf8,
                                           L"\xFEFF<CustSection>\r\n  <CommonItems>\r\n    <!-- 메뉴 -->\r\n  </CommonItems>\r\n"
                                           L"</CustSection>\r\n");
        ASSERT_TRUE(writeBytes(user / L"acad.cui", cuiOriginal));

        work = v162 + L"\\Profiles\\작업";
        ASSERT_EQ(registry.createKey(HKCU, work + L"\\Menus"), 0);  // empty Menus key
        setText(registry, HKCU, work + L"\\General", L"ACAD", L"C:\\a;");

        // A release without CurVer, and one past the customization-file releases.
        ASSERT_EQ(registry.createKey(HKCU, kBase + L"\\R17.0\\ACAD-5001:412\\Profiles\\P\\Menus"), 0);
        setText(registry, HKCU, kBase + L"\\R17.0\\ACAD-5001:412\\Profiles\\P\\Menus", L"Group1", L"x");
        v180 = kBase + L"\\R18.0\\ACAD-8001:412";
        setText(registry, HKCU, kBase + L"\\R18.0", L"CurVer", L"ACAD-8001:412");
        r18 = v180 + L"\\Profiles\\Default";
        setText(registry, HKCU, r18 + L"\\Menus", L"Group1", L"ACAD acad");
        setText(registry, HKCU, r18 + L"\\General Configuration", L"MenuFile", user / L"acad");
        setText(registry, Hive::LocalMachine, v180, L"AcadLocation", L"C:\\Program Files\\AutoCAD 2010");
    }

    Registrar registrar() {
        return Registrar(SetupServices{registry, files, ini, servers, probe, messages, program.path()});
    }
    std::wstring snapshot() {
        return dumpTree(registry, HKCU, kBase) + dumpTree(registry, Hive::LocalMachine, L"Software");
    }
};

}  // namespace

TEST_F(Machine, RegistersEveryReleaseAndProfile) {
    auto r = registrar();
    ASSERT_EQ(r.Main(), Outcome::Registered) << std::string(r.gSetupErrors.begin(), r.gSetupErrors.end());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, L"AutoCAD 등록 완료  ");
    const std::wstring folder = program.path();

    EXPECT_EQ(valueOf(registry, unnamed + L"\\Menus", L"Group2"), L"KELVA " + folder + L"\\kelva");
    EXPECT_EQ(valueOf(registry, unnamed + L"\\Menus", L"Pop3"), L"KELVA pop1");
    EXPECT_EQ(valueOf(registry, unnamed + L"\\Menus", L"PopupHelper"), L"another application");
    EXPECT_EQ(valueOf(registry, work + L"\\Menus", L"Group1"), L"<missing>");
    EXPECT_EQ(valueOf(registry, r18 + L"\\Menus", L"Group2"), L"KELVA " + folder + L"\\kelva");
    EXPECT_EQ(valueOf(registry, kBase + L"\\R17.0\\ACAD-5001:412\\Profiles\\P\\Menus", L"Group2"), L"<missing>");

    RawValue acad;
    ASSERT_EQ(registry.queryValue(HKCU, unnamed + L"\\General", L"ACAD", acad), 0);
    EXPECT_EQ(acad.type, regtype::ExpandSz);
    EXPECT_EQ(valueOf(registry, unnamed + L"\\General", L"ACAD"), L"%KELVA_ACAD%\\support;C:\\fonts;" + folder + L";");
    EXPECT_EQ(valueOf(registry, work + L"\\General", L"ACAD"), L"C:\\a;" + folder + L";");

    const std::wstring startup = work + L"\\Dialogs\\Appload\\Startup";
    EXPECT_EQ(valueOf(registry, startup, L"NumStartup"), L"2");
    EXPECT_EQ(valueOf(registry, startup, L"1Startup"), folder + L"\\kelva.lsp");
    EXPECT_EQ(valueOf(registry, startup, L"2Startup"), folder + L"\\kelva.arx");
    EXPECT_EQ(valueOf(registry, v180 + L"\\Applications\\AcadAppLoad", L"LOADER"),
              L"C:\\Program Files\\AutoCAD 2010\\Appload.arx");
    EXPECT_EQ(valueOf(registry, v162 + L"\\Applications\\AcadAppLoad", L"LOADER"),
              L"C:\\Program Files\\AutoCAD 2006\\Appload.arx");

    // Only the release 16.2 profile patches the customization file.
    const std::string cui = readBytes(user / L"acad.cui");
    EXPECT_EQ(cui, kelva::encodeLenient(kelva::Codec::Utf8,
                                        L"\xFEFF<CustSection>\r\n  <CommonItems>\r\n    <!-- 메뉴 -->\r\n"
                                        L"        <PartialMenuFile>kelva.cui</PartialMenuFile>\r\n  </CommonItems>\r\n"
                                        L"</CustSection>\r\n"));
    EXPECT_EQ(readBytes(user / L"acad.bak"), cuiOriginal);
}

TEST_F(Machine, ASecondRunChangesNothing) {
    ASSERT_EQ(registrar().Main(), Outcome::Registered);
    const std::wstring registryAfterFirst = snapshot();
    const std::string cui = readBytes(user / L"acad.cui");
    const std::string bak = readBytes(user / L"acad.bak");
    ASSERT_EQ(registrar().Main(), Outcome::Registered);
    EXPECT_EQ(snapshot(), registryAfterFirst);
    EXPECT_EQ(readBytes(user / L"acad.cui"), cui);
    EXPECT_EQ(readBytes(user / L"acad.bak"), bak);
}

TEST_F(Machine, AFileThatDoesNotRegisterFailsTheRun) {
    const std::wstring ini = L"[MENU]\r\nMenuFileName=kelva\r\nMenuGroups=KELVA\r\n[APPLOAD]\r\nStartup=kelva.lsp\r\n"
                             L"[Library]\r\nLib=fixture_registers.dll,gone.dll\r\n";
    ASSERT_TRUE(writeBytes(program / L"Setup.ini", kelva::encodeLenient(kelva::Codec::Cp949, ini)));
    auto r = registrar();
    EXPECT_EQ(r.Main(), Outcome::Failed);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].caption, L"Kelva 설치");
    EXPECT_EQ(messages.shown[0].text.substr(0, messages.shown[0].text.find(L"\r\n")), L"라이브러리 등록 실패0 (gone.dll)");
}
