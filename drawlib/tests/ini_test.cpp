#include "drawlib/ini.h"

#include <windows.h>

#include <fstream>
#include <iterator>

#include <gtest/gtest.h>

#include "core/textcodec.h"

namespace ini = kelva::draw::ini;

namespace {

class IniFile : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t dir[MAX_PATH];
        GetTempPathW(MAX_PATH, dir);
        // One file per test: ctest runs the cases side by side.
        const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        path_ = std::wstring(dir) + L"\uD55C\uAE00_" + std::wstring(name.begin(), name.end()) + L".ini";  // 한글_<test>.ini
        DeleteFileW(path_.c_str());
    }
    void TearDown() override { DeleteFileW(path_.c_str()); }
    std::string bytes() const {
        std::ifstream in(std::string(kelva::encodeLenient(kelva::Codec::Cp949, path_)), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    std::wstring path_;
};

}  // namespace

TEST_F(IniFile, KoreanSectionsKeysAndValuesInCodePage949) {
    ASSERT_TRUE(ini::writeValue(path_, L"\uC124\uC815", L"\uC774\uB984", L"\uD64D\uAE38\uB3D9"));  // 설정 / 이름 / 홍길동
    EXPECT_EQ(ini::readValue(path_, L"\uC124\uC815", L"\uC774\uB984", L""), L"\uD64D\uAE38\uB3D9");
    const std::string file = bytes();
    EXPECT_NE(file.find(*kelva::encodeStrict(kelva::Codec::Cp949, L"[\uC124\uC815]")), std::string::npos);
    EXPECT_NE(file.find(*kelva::encodeStrict(kelva::Codec::Cp949, L"\uC774\uB984=\uD64D\uAE38\uB3D9")), std::string::npos);
}

TEST_F(IniFile, MissingAndEmptyValuesReadAsTheDefault) {
    EXPECT_EQ(ini::readValue(path_, L"s", L"k", L""), L"");
    EXPECT_EQ(ini::readValue(path_, L"s", L"k", L"\uAE30\uBCF8"), L"\uAE30\uBCF8");
    ASSERT_TRUE(ini::writeValue(path_, L"s", L"empty", L""));
    EXPECT_EQ(ini::readValue(path_, L"s", L"empty", L"dflt"), L"dflt");
}

TEST_F(IniFile, LongValuesAreCutAtWholeCharacters) {
    std::wstring value = L"a";
    for (int k = 0; k < 200; ++k) value += L'\uAC00';
    ASSERT_TRUE(ini::writeValue(path_, L"s", L"long", value));
    // 1 + 2 x 126 = 253 bytes: a 127th character would need bytes 254 and 255.
    const std::wstring got = ini::readValue(path_, L"s", L"long", L"");
    EXPECT_EQ(got, value.substr(0, 127));
    ASSERT_TRUE(ini::writeValue(path_, L"s", L"ascii", std::wstring(300, L'x')));
    EXPECT_EQ(ini::readValue(path_, L"s", L"ascii", L"").size(), 254u);
}

TEST_F(IniFile, DeleteKeyAndSection) {
    ASSERT_TRUE(ini::writeValue(path_, L"\uAC00", L"k1", L"1"));
    ASSERT_TRUE(ini::writeValue(path_, L"\uAC00", L"k2", L"2"));
    ASSERT_TRUE(ini::writeValue(path_, L"other", L"k", L"3"));
    EXPECT_TRUE(ini::deleteKey(L"\uAC00", L"k1", path_));
    EXPECT_EQ(ini::readValue(path_, L"\uAC00", L"k1", L"gone"), L"gone");
    EXPECT_EQ(ini::readValue(path_, L"\uAC00", L"k2", L""), L"2");
    EXPECT_TRUE(ini::deleteSection(L"\uAC00", path_));
    EXPECT_EQ(ini::readValue(path_, L"\uAC00", L"k2", L"gone"), L"gone");
    EXPECT_EQ(ini::readValue(path_, L"other", L"k", L""), L"3");
}

TEST_F(IniFile, WritingWhereNoFileCanBeFails) {
    EXPECT_FALSE(ini::writeValue(L"Q:\\no\\such\\folder\\x.ini", L"s", L"k", L"v"));
}
