#include <gtest/gtest.h>

#include <map>

#include "core/errors.h"
#include "core/tests/checks.h"
#include "setup/cregistry.h"
#include "setup/memory_registry.h"
#include "setup/text.h"

using namespace kelva::setup;

namespace {
constexpr Hive HKCU = Hive::CurrentUser;
constexpr Hive HKLM = Hive::LocalMachine;

std::wstring text(const RegData& d) {
    const auto* t = std::get_if<std::wstring>(&d);
    return t ? *t : L"<not text>";
}

RawValue raw(std::uint32_t type, std::vector<std::uint8_t> bytes) { return RawValue{type, std::move(bytes)}; }
}  // namespace

TEST(KeyPaths, RepeatedLeadingAndTrailingSeparatorsVanish) {
    EXPECT_EQ(normalizeKeyPath(L"Software\\Autodesk\\AutoCAD\\"), L"Software\\Autodesk\\AutoCAD");
    EXPECT_EQ(normalizeKeyPath(L"\\\\a\\\\\\b\\"), L"a\\b");
    EXPECT_EQ(normalizeKeyPath(L"\\"), L"");
}

TEST(Registry, PropertyKeyIsKeyRootAndSubkey) {
    MemoryRegistry mem;
    mem.setText(HKCU, L"Software\\A\\B", L"v", L"x");
    cRegistry reg(mem);
    reg.KeyRoot = L"Software\\A\\";
    EXPECT_EQ(reg.currentKey(), L"Software\\A");
    EXPECT_FALSE(std::holds_alternative<std::wstring>(reg.GetRegistryValue(L"v")));
    reg.Subkey = L"B";
    EXPECT_EQ(text(reg.GetRegistryValue(L"v")), L"x");
    EXPECT_EQ(reg.DataType(L"v"), regtype::Sz);
    EXPECT_EQ(reg.DataType(L"missing"), 0u);
    reg.Subkey = L"C";
    EXPECT_EQ(reg.DataType(L"v"), 0u);
}

TEST(Registry, MissingValuesGiveTheDefaultOrEmpty) {
    MemoryRegistry mem;
    mem.createKey(HKCU, L"K");
    cRegistry reg(mem);
    reg.KeyRoot = L"K";
    EXPECT_TRUE(std::holds_alternative<std::monostate>(reg.GetRegistryValue(L"CurVer")));
    EXPECT_EQ(dataText(reg.GetRegistryValue(L"CurVer")), L"");
    EXPECT_EQ(text(reg.GetRegistryValue(L"CurVer", std::wstring(L"d"))), L"d");
    EXPECT_EQ(text(reg.GetRegistryValue2(HKCU, L"Nope", L"x", std::wstring(L"d"))), L"d");
    // A text value of size 0 gives the default too.
    mem.setRaw(HKCU, L"K", L"zero", raw(regtype::Sz, {}));
    EXPECT_EQ(text(reg.GetRegistryValue(L"zero", std::wstring(L"d"))), L"d");
}

TEST(Registry, TextValuesLoseOnlyTheTerminatorsThatAreThere) {
    MemoryRegistry mem;
    cRegistry reg(mem);
    reg.KeyRoot = L"K";
    // Written by another program without its terminating NUL: the last character stays.
    auto noNul = utf16Bytes(L"C:\\A;C:\\B");
    mem.setRaw(HKCU, L"K", L"ACAD", raw(regtype::Sz, noNul));
    EXPECT_EQ(text(reg.GetRegistryValue(L"ACAD")), L"C:\\A;C:\\B");
    mem.setText(HKCU, L"K", L"ok", L"abc");
    EXPECT_EQ(text(reg.GetRegistryValue(L"ok")), L"abc");
    // An odd byte count (a broken value) is read without going past its end.
    mem.setRaw(HKCU, L"K", L"odd", raw(regtype::Sz, {'a', 0, 'b'}));
    EXPECT_EQ(text(reg.GetRegistryValue(L"odd")), L"a");
    std::wstring big(3000, L'x');
    mem.setText(HKCU, L"K", L"big", big);
    EXPECT_EQ(text(reg.GetRegistryValue(L"big")), big);
}

TEST(Registry, ExpandStringsStayUnexpandedWhenRead) {
    MemoryRegistry mem;
    mem.setEnvironment(L"ProgramFiles", L"C:\\Program Files");
    mem.setText(HKCU, L"K", L"ACAD", L"%ProgramFiles%\\AutoCAD\\Support", regtype::ExpandSz);
    cRegistry reg(mem);
    reg.KeyRoot = L"K";
    EXPECT_EQ(text(reg.GetRegistryValue(L"ACAD")), L"%ProgramFiles%\\AutoCAD\\Support");
    EXPECT_EQ(reg.DataType(L"ACAD"), regtype::ExpandSz);
    // ...and expanded in the listing of a key's values.
    auto values = reg.EnumRegistryValues(HKCU, L"K");
    ASSERT_EQ(values.size(), 1u);
    EXPECT_EQ(text(values[0].second), L"C:\\Program Files\\AutoCAD\\Support");
}

TEST(Registry, DwordsBinaryAndMultiStrings) {
    MemoryRegistry mem;
    cRegistry reg(mem);
    reg.KeyRoot = L"K";
    mem.setDword(HKCU, L"K", L"n", 15);
    EXPECT_EQ(std::get<std::int32_t>(reg.GetRegistryValue(L"n")), 15);
    mem.setDword(HKCU, L"K", L"neg", 0xFFFFFFFEu);
    EXPECT_EQ(std::get<std::int32_t>(reg.GetRegistryValue(L"neg")), -2);
    // A DWORD stored with two bytes is read from those two only.
    mem.setRaw(HKCU, L"K", L"short", raw(regtype::Dword, {0x34, 0x12}));
    EXPECT_EQ(std::get<std::int32_t>(reg.GetRegistryValue(L"short")), 0x1234);
    mem.setRaw(HKCU, L"K", L"bin", raw(regtype::Binary, {10, 255, 16}));
    EXPECT_EQ(std::get<std::vector<std::uint8_t>>(reg.GetRegistryValue(L"bin")), (std::vector<std::uint8_t>{10, 255, 16}));
    auto multi = utf16Bytes(std::wstring(L"a\0bc\0\0", 6));
    mem.setRaw(HKCU, L"K", L"multi", raw(regtype::MultiSz, multi));
    EXPECT_EQ(text(reg.GetRegistryValue(L"multi")), std::wstring(L"a\0bc", 4));
    auto firstEmpty = utf16Bytes(std::wstring(L"\0x\0\0", 4));
    mem.setRaw(HKCU, L"K", L"multi2", raw(regtype::MultiSz, firstEmpty));
    EXPECT_EQ(text(reg.GetRegistryValue(L"multi2", std::wstring(L"d"))), L"d");
    mem.setRaw(HKCU, L"K", L"other", raw(11, {1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_TRUE(std::holds_alternative<std::monostate>(reg.GetRegistryValue(L"other")));

    auto values = reg.EnumRegistryValues(HKCU, L"K");
    std::map<std::wstring, std::wstring> listed;
    for (auto& [name, data] : values) listed[name] = dataText(data);
    EXPECT_EQ(listed[L"n"], L"15");
    EXPECT_EQ(listed[L"bin"], L"0A FF 10");
    EXPECT_EQ(listed[L"multi"], L"a,bc");
    EXPECT_EQ(listed[L"other"], L"");
    EXPECT_EQ(values.front().first, L"n");  // in the key's own order
}

TEST(Registry, EnumeratesInTheKeysOwnOrderAndMissingKeysAreEmpty) {
    MemoryRegistry mem;
    mem.createKey(HKCU, L"Root\\R18.0");
    mem.createKey(HKCU, L"Root\\R15.0");
    mem.createKey(HKCU, L"root\\R16.2");  // the parent named in another case
    cRegistry reg(mem);
    EXPECT_EQ(reg.EnumRegistryKeys(HKCU, L"Root\\"), (std::vector<std::wstring>{L"R18.0", L"R15.0", L"R16.2"}));
    EXPECT_EQ(reg.EnumRegistryKeys(HKCU, L"\\\\Root\\\\"), (std::vector<std::wstring>{L"R18.0", L"R15.0", L"R16.2"}));
    EXPECT_TRUE(reg.EnumRegistryKeys(HKCU, L"Nope").empty());
    EXPECT_TRUE(reg.EnumRegistryValues(HKCU, L"Nope").empty());
    EXPECT_EQ(reg.EnumRegistryKeys(HKCU, L""), (std::vector<std::wstring>{L"Root"}));
}

TEST(Registry, WritesByType) {
    MemoryRegistry mem;
    mem.createKey(HKCU, L"K");
    cRegistry reg(mem);
    reg.KeyRoot = L"K";
    EXPECT_TRUE(reg.SetRegistryValue(L"NumStartup", std::int32_t{3}, regtype::Sz));
    RawValue v;
    ASSERT_EQ(mem.queryValue(HKCU, L"K", L"NumStartup", v), 0);
    EXPECT_EQ(v.data, (std::vector<std::uint8_t>{'3', 0, 0, 0}));
    EXPECT_TRUE(reg.SetRegistryValue(L"k", std::wstring(L"가나"), regtype::Sz));
    ASSERT_EQ(mem.queryValue(HKCU, L"K", L"k", v), 0);
    EXPECT_EQ(v.data.size(), 6u);  // two UTF-16 units and the terminator
    EXPECT_EQ(text(reg.GetRegistryValue(L"k")), L"가나");
    EXPECT_TRUE(reg.SetRegistryValue(L"d", std::wstring(L" 15 "), regtype::Dword));
    EXPECT_EQ(std::get<std::int32_t>(reg.GetRegistryValue(L"d")), 15);
    EXPECT_EQ(kelva::errorOf([&] { reg.SetRegistryValue(L"d", std::wstring(L"abc"), regtype::Dword); }),
              kelva::err::TypeMismatch);
    EXPECT_TRUE(reg.SetRegistryValue(L"m", std::wstring(L"a\0b", 3), regtype::MultiSz));
    ASSERT_EQ(mem.queryValue(HKCU, L"K", L"m", v), 0);
    EXPECT_EQ(v.data, utf16Bytes(std::wstring(L"a\0b\0\0", 5)));
    EXPECT_TRUE(reg.SetRegistryValue(L"b", std::vector<std::uint8_t>{1, 2}, regtype::Binary));
    EXPECT_EQ(reg.DataType(L"b"), regtype::Binary);
    EXPECT_TRUE(reg.SetRegistryValue(L"q", std::wstring(L"x"), 11));  // nothing written
    EXPECT_EQ(reg.DataType(L"q"), 0u);
    reg.KeyRoot = L"Missing";
    EXPECT_FALSE(reg.SetRegistryValue(L"x", std::wstring(L"x"), regtype::Sz));
    mem.denyWritesBelow(HKCU, L"K");
    reg.KeyRoot = L"K";
    EXPECT_FALSE(reg.SetRegistryValue(L"x", std::wstring(L"x"), regtype::Sz));
}

TEST(Registry, KeysAreCreatedAlongThePathAndDeleted) {
    MemoryRegistry mem;
    cRegistry reg(mem);
    reg.KeyRoot = L"Software\\Kelva";
    reg.Subkey = L"A\\B";
    EXPECT_FALSE(reg.KeyExists());
    EXPECT_EQ(reg.CreateKey(), L"0");
    EXPECT_TRUE(reg.KeyExists());
    EXPECT_EQ(reg.CreateKey(), L"0");  // an existing key is success
    EXPECT_EQ(reg.CreateKey(L"C"), L"0");
    EXPECT_EQ(mem.openForRead(HKCU, L"software\\kelva\\c"), 0);
    EXPECT_EQ(reg.DeleteKey(L"C"), 0);
    EXPECT_NE(mem.openForRead(HKCU, L"Software\\Kelva\\C"), 0);
    ASSERT_TRUE(reg.SetRegistryValue(L"v", std::wstring(L"1"), regtype::Sz));
    EXPECT_EQ(reg.DeleteValue(L"V"), 0);
    EXPECT_EQ(reg.DataType(L"v"), 0u);
    EXPECT_NE(reg.DeleteValue(L"v"), 0);
    mem.denyWritesBelow(HKCU, L"Software\\Locked");
    reg.KeyRoot = L"Software\\Locked";
    EXPECT_EQ(reg.CreateKey(), L"");
}

TEST(Registry, TrimNullCutsInPlace) {
    std::wstring t(L"ab\0cd", 5);
    EXPECT_EQ(cRegistry::TrimNull(t), L"ab");
    EXPECT_EQ(t, L"ab");
    std::wstring plain = L"abc";
    EXPECT_EQ(cRegistry::TrimNull(plain), L"abc");
}

TEST(Registry, RemoteMembersReportAnUnreachableComputer) {
    MemoryRegistry mem;
    cRegistry reg(mem);
    EXPECT_EQ(text(reg.ReadRemoteRegistryValue(L"\\\\nowhere", HKLM, L"x")), L"Error!");
    EXPECT_FALSE(reg.WriteRemoteRegistryValue(L"\\\\nowhere", HKLM, L"x", std::wstring(L"y"), regtype::Sz));
}
