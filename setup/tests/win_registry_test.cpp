// cRegistry over the real registry (the wide functions), inside a private sandbox.
#include <windows.h>

#include <map>

#include "setup/cregistry.h"
#include "setup/text.h"
#include "setup/tests/win_support.h"
#include "setup/win/win_registry.h"

using namespace kelva::setup;
using kelva::setup::wintest::RegistrySandbox;

namespace {
constexpr Hive HKCU = Hive::CurrentUser;

void putRaw(HKEY root, const wchar_t* path, const wchar_t* name, DWORD type, const void* data, DWORD bytes) {
    HKEY k = nullptr;
    ASSERT_EQ(RegCreateKeyExW(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr), ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExW(k, name, 0, type, static_cast<const BYTE*>(data), bytes), ERROR_SUCCESS);
    RegCloseKey(k);
}

std::wstring text(const RegData& d) {
    const auto* t = std::get_if<std::wstring>(&d);
    return t ? *t : L"<not text>";
}
}  // namespace

using WinRegistryTest = RegistrySandbox;

TEST_F(WinRegistryTest, TextValuesKeepTheirLastCharacterAndLongValuesComeWhole) {
    const wchar_t noNul[] = L"C:\\A;C:\\B";
    putRaw(HKEY_CURRENT_USER, L"Software\\T", L"ACAD", REG_SZ, noNul, sizeof noNul - sizeof(wchar_t));
    const std::wstring big(3000, L'가');
    putRaw(HKEY_CURRENT_USER, L"Software\\T", L"big", REG_SZ, big.c_str(), static_cast<DWORD>((big.size() + 1) * 2));
    WinRegistry store;
    cRegistry reg(store);
    reg.KeyRoot = L"Software\\\\T\\";
    EXPECT_EQ(text(reg.GetRegistryValue(L"ACAD")), L"C:\\A;C:\\B");
    EXPECT_EQ(text(reg.GetRegistryValue(L"big")), big);
    auto values = reg.EnumRegistryValues(HKCU, L"Software\\T");
    ASSERT_EQ(values.size(), 2u);
    EXPECT_EQ(text(values[0].second), L"C:\\A;C:\\B");
    EXPECT_EQ(text(values[1].second), big);
}

TEST_F(WinRegistryTest, LongNamesAndLargeDataAreEnumeratedWhole) {
    const std::wstring longName(1000, L'n');
    const std::vector<BYTE> blob(10000, 0xAB);
    putRaw(HKEY_CURRENT_USER, L"Software\\T", longName.c_str(), REG_BINARY, blob.data(), static_cast<DWORD>(blob.size()));
    const std::wstring longKey = L"Software\\T\\" + std::wstring(250, L'k');
    HKEY k = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, longKey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(k);
    WinRegistry store;
    cRegistry reg(store);
    auto values = reg.EnumRegistryValues(HKCU, L"Software\\T");
    ASSERT_EQ(values.size(), 1u);
    EXPECT_EQ(values[0].first, longName);
    EXPECT_EQ(text(values[0].second).size(), 10000u * 3 - 1);
    EXPECT_EQ(reg.EnumRegistryKeys(HKCU, L"Software\\T"), (std::vector<std::wstring>{std::wstring(250, L'k')}));
}

TEST_F(WinRegistryTest, ExpandStringsDwordsAndMultiStrings) {
    SetEnvironmentVariableW(L"KELVA_TEST_ROOT", L"D:\\도면");
    const wchar_t expand[] = L"%KELVA_TEST_ROOT%\\support";
    putRaw(HKEY_CURRENT_USER, L"Software\\T", L"ACAD", REG_EXPAND_SZ, expand, sizeof expand);
    const WORD shortDword = 0x1234;
    putRaw(HKEY_CURRENT_USER, L"Software\\T", L"short", REG_DWORD, &shortDword, sizeof shortDword);
    const DWORD fifteen = 15;
    putRaw(HKEY_CURRENT_USER, L"Software\\T", L"n", REG_DWORD, &fifteen, sizeof fifteen);
    const wchar_t multi[] = L"a\0bc\0";
    putRaw(HKEY_CURRENT_USER, L"Software\\T", L"m", REG_MULTI_SZ, multi, sizeof multi);
    WinRegistry store;
    cRegistry reg(store);
    reg.KeyRoot = L"Software\\T";
    EXPECT_EQ(text(reg.GetRegistryValue(L"ACAD")), expand);
    EXPECT_EQ(reg.DataType(L"ACAD"), static_cast<std::uint32_t>(REG_EXPAND_SZ));
    EXPECT_EQ(std::get<std::int32_t>(reg.GetRegistryValue(L"short")), 0x1234);
    EXPECT_EQ(std::get<std::int32_t>(reg.GetRegistryValue(L"n")), 15);
    EXPECT_EQ(text(reg.GetRegistryValue(L"m")), std::wstring(L"a\0bc", 4));
    std::map<std::wstring, std::wstring> listed;
    for (auto& [name, data] : reg.EnumRegistryValues(HKCU, L"Software\\T")) listed[name] = dataText(data);
    EXPECT_EQ(listed[L"ACAD"], L"D:\\도면\\support");
    EXPECT_EQ(listed[L"n"], L"15");
    EXPECT_EQ(listed[L"m"], L"a,bc");
    EXPECT_EQ(text(reg.ReadRemoteRegistryValue(L"", HKCU, L"ACAD")), L"D:\\도면\\support");
    EXPECT_EQ(text(reg.ReadRemoteRegistryValue(L"\\\\kelva-no-such-host", HKCU, L"ACAD")), L"Error!");
}

TEST_F(WinRegistryTest, WritesCreatesAndDeletes) {
    WinRegistry store;
    cRegistry reg(store);
    reg.hkey = HKCU;
    reg.KeyRoot = L"Software\\Autodesk\\AutoCAD\\R16.2\\ACAD-4001:412\\Profiles\\P";
    EXPECT_FALSE(reg.KeyExists());
    EXPECT_EQ(reg.CreateKey(L"Dialogs\\Appload\\Startup"), L"0");
    reg.KeyRoot += L"\\Dialogs\\Appload\\Startup";
    EXPECT_TRUE(reg.KeyExists());
    EXPECT_TRUE(reg.SetRegistryValue(L"NumStartup", std::int32_t{3}, regtype::Sz));
    EXPECT_TRUE(reg.SetRegistryValue(L"1Startup", std::wstring(L"C:\\켈바\\a.lsp"), regtype::Sz));
    EXPECT_TRUE(reg.SetRegistryValue(L"LOADCTRLS", std::int32_t{15}, regtype::Dword));
    wchar_t buf[64] = {};
    DWORD bytes = sizeof buf;
    ASSERT_EQ(RegGetValueW(HKEY_CURRENT_USER, reg.currentKey().c_str(), L"1Startup", RRF_RT_REG_SZ, nullptr, buf, &bytes),
              ERROR_SUCCESS);
    EXPECT_STREQ(buf, L"C:\\켈바\\a.lsp");
    EXPECT_EQ(bytes, (wcslen(buf) + 1) * sizeof(wchar_t));
    DWORD n = 0;
    bytes = sizeof n;
    ASSERT_EQ(RegGetValueW(HKEY_CURRENT_USER, reg.currentKey().c_str(), L"LOADCTRLS", RRF_RT_REG_DWORD, nullptr, &n, &bytes),
              ERROR_SUCCESS);
    EXPECT_EQ(n, 15u);
    EXPECT_EQ(text(reg.GetRegistryValue(L"NumStartup")), L"3");
    EXPECT_EQ(reg.DeleteValue(L"NumStartup"), 0);
    EXPECT_EQ(reg.DataType(L"NumStartup"), 0u);
    reg.KeyRoot = L"Software\\Missing";
    EXPECT_FALSE(reg.SetRegistryValue(L"x", std::wstring(L"y"), regtype::Sz));
    EXPECT_TRUE(reg.EnumRegistryKeys(HKCU, L"Software\\Missing").empty());
}
