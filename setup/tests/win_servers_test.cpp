// COM self-registration of the listed files, with library fixtures built for the purpose.
#include <windows.h>

#include "setup/tests/win_support.h"
#include "setup/win/win_servers.h"

using namespace kelva::setup;
using namespace kelva::setup::wintest;

namespace {
std::wstring fixture(const wchar_t* name) { return moduleFolder() + L"\\" + name; }

bool copyTo(const std::wstring& from, const std::wstring& to) { return CopyFileW(from.c_str(), to.c_str(), FALSE) != FALSE; }
}  // namespace

class ServerRegistration : public RegistrySandbox {};

TEST_F(ServerRegistration, EachOutcomeHasItsCode) {
    ScratchFolder dir;
    ASSERT_TRUE(writeBytes(dir / L"notes.dll", "this is no library"));
    ASSERT_TRUE(copyTo(fixture(L"fixture_registers.dll"), dir / L"hidden.dll"));
    SetFileAttributesW((dir / L"hidden.dll").c_str(), FILE_ATTRIBUTE_HIDDEN);
    CreateDirectoryW((dir / L"folder.dll").c_str(), nullptr);
    WinServerRegistrar servers;
    EXPECT_EQ(servers.RegisterServer(fixture(L"fixture_registers.dll")), 4);
    EXPECT_EQ(servers.RegisterServer(fixture(L"fixture_fails.dll")), 3);
    EXPECT_EQ(servers.RegisterServer(fixture(L"fixture_noexport.dll")), 2);
    EXPECT_EQ(servers.RegisterServer(dir / L"notes.dll"), 1);
    EXPECT_EQ(servers.RegisterServer(dir / L"missing.dll"), 0);
    EXPECT_EQ(servers.RegisterServer(dir / L"hidden.dll"), 0);
    EXPECT_EQ(servers.RegisterServer(dir / L"folder.dll"), 0);
    EXPECT_EQ(servers.RegisterServer(L""), 0);
    EXPECT_EQ(servers.RegisterServer(dir.path() + L"\\"), 0);
}

TEST_F(ServerRegistration, TheExportRunsAndTheLibraryIsUnloadedAfterwards) {
    WinServerRegistrar servers;
    const std::wstring path = fixture(L"fixture_registers.dll");
    ASSERT_EQ(servers.RegisterServer(path), 4);
    wchar_t mark[MAX_PATH * 2] = {};
    DWORD bytes = sizeof mark;
    ASSERT_EQ(RegGetValueW(HKEY_CURRENT_USER, L"Software\\KelvaTest\\Fixture", L"Registered", RRF_RT_REG_SZ, nullptr, mark,
                           &bytes),
              ERROR_SUCCESS);
    EXPECT_EQ(lstrcmpiW(mark, path.c_str()), 0);
    EXPECT_EQ(GetModuleHandleW(path.c_str()), nullptr);
    EXPECT_EQ(servers.RegisterServer(fixture(L"fixture_noexport.dll")), 2);
    EXPECT_EQ(GetModuleHandleW(fixture(L"fixture_noexport.dll").c_str()), nullptr);
}

TEST_F(ServerRegistration, ALibraryFindsWhatItNeedsInItsOwnFolder) {
    ScratchFolder dir;
    ASSERT_TRUE(copyTo(fixture(L"fixture_needs_dependency.dll"), dir / L"needs.dll"));
    WinServerRegistrar servers;
    EXPECT_EQ(servers.RegisterServer(dir / L"needs.dll"), 1);  // its dependency is nowhere to be found
    ASSERT_TRUE(copyTo(fixture(L"deps\\fixture_dependency.dll"), dir / L"fixture_dependency.dll"));
    EXPECT_EQ(servers.RegisterServer(dir / L"needs.dll"), 4);
}
