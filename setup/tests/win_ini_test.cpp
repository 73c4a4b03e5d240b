// Setup.ini through the profile functions: Korean text in the ANSI code page, long values, lists.
#include <windows.h>

#include "core/textcodec.h"
#include "setup/setup_ini.h"
#include "setup/tests/win_support.h"
#include "setup/win/win_ini.h"

using namespace kelva::setup;
using namespace kelva::setup::wintest;

TEST(SetupIniOnDisk, ReadsKoreanValuesListsAndCutsLongOnes) {
    ScratchFolder dir;
    const std::wstring ini = dir / L"Setup.ini";
    const std::wstring longList = L"a.dll," + std::wstring(300, L'b');
    const std::wstring text = L"[MENU]\r\nMenuFileName=kelva\r\nMenuGroups=켈바\r\n[APPLOAD]\r\nStartup=kelva.lsp,,도구.arx\r\n"
                              L"[Library]\r\nLib=" + longList + L"\r\n";
    ASSERT_TRUE(writeBytes(ini, kelva::encodeLenient(kelva::Codec::Cp949, text)));
    WinIni reader;
    EXPECT_EQ(GetIniValue(reader, ini, L"menu", L"menugroups", L"").text, L"켈바");
    EXPECT_EQ(GetIniValue(reader, ini, L"MENU", L"Missing", L"def").text, L"def");
    EXPECT_EQ(GetIniValue(reader, dir / L"none.ini", L"MENU", L"MenuGroups", L"def").text, L"def");
    auto startup = GetIniList(reader, ini, L"APPLOAD", L"Startup");
    EXPECT_EQ(startup.items, (std::vector<std::wstring>{L"kelva.lsp", L"", L"도구.arx"}));
    EXPECT_EQ(usableItems(startup), (std::vector<std::wstring>{L"kelva.lsp", L"도구.arx"}));
    auto lib = GetIniList(reader, ini, L"Library", L"Lib");
    EXPECT_TRUE(lib.cut);
    EXPECT_EQ(lib.items.back().size(), 254u - 6u);
    EXPECT_EQ(usableItems(lib), (std::vector<std::wstring>{L"a.dll"}));
    EXPECT_EQ(reader.read(ini, L"Library", L"Lib"), longList);
}
