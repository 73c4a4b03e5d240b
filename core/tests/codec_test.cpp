#include <gtest/gtest.h>

#include "core/textcodec.h"

using namespace kelva;

TEST(Codec, Cp949RoundTripsHangulAndSymbols) {
    const std::wstring text = L"가힣 똠뷁 ㎡√ABC";
    auto bytes = encodeStrict(Codec::Cp949, text);
    ASSERT_TRUE(bytes.has_value());
    EXPECT_EQ(bytes->substr(0, 2), std::string("\xB0\xA1", 2));  // 가
    EXPECT_EQ(decodeStrict(Codec::Cp949, *bytes), text);
    // One KS X 1001 code: A1A1 is the ideographic space.
    EXPECT_EQ(decodeStrict(Codec::Cp949, std::string("\xA1\xA1", 2)), std::wstring(1, L'\x3000'));
}

TEST(Codec, Cp949StrictRejectsWhatItCannotMap) {
    EXPECT_FALSE(encodeStrict(Codec::Cp949, L"\x0E01").has_value());  // Thai is not in 949
    EXPECT_EQ(encodeLenient(Codec::Cp949, L"a\x0E01"), "a?");
    EXPECT_FALSE(decodeStrict(Codec::Cp949, std::string("\xB0", 1)).has_value());  // lone lead byte
    EXPECT_FALSE(decodeStrict(Codec::Cp949, std::string("\xA8\xA5", 2)).has_value());  // unassigned code
}

TEST(Codec, Utf8StrictAndLenient) {
    const std::wstring text = L"<CommonItems> 한글 ²";
    auto bytes = encodeStrict(Codec::Utf8, text);
    ASSERT_TRUE(bytes.has_value());
    EXPECT_EQ(decodeStrict(Codec::Utf8, *bytes), text);
    EXPECT_FALSE(decodeStrict(Codec::Utf8, "ab\xC3").has_value());
    EXPECT_FALSE(decodeStrict(Codec::Utf8, "\xFF").has_value());
    const std::wstring lenient = decodeLenient(Codec::Utf8, "a\xFF" "b");
    EXPECT_EQ(lenient, L"a\xFFFD" L"b");
    EXPECT_EQ(decodeStrict(Codec::Utf8, ""), L"");
    EXPECT_EQ(encodeStrict(Codec::Utf8, L""), "");
}
