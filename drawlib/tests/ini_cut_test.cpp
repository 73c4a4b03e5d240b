#include "drawlib/ini.h"

#include <gtest/gtest.h>

using kelva::draw::ini::cutCp949;

TEST(IniCut, NeverSplitsATwoByteCharacter) {
    // "가" is B0 A1 in code page 949.
    std::string korean;
    for (int k = 0; k < 200; ++k) korean += "\xB0\xA1";
    EXPECT_EQ(cutCp949(korean, 254).size(), 254u);
    EXPECT_EQ(cutCp949("a" + korean, 254).size(), 253u);
    EXPECT_EQ(cutCp949("abc", 254), "abc");
    EXPECT_EQ(cutCp949(std::string(300, 'x'), 254).size(), 254u);
    // A lead byte at the very end stands alone.
    EXPECT_EQ(cutCp949("ab\xB0", 254), "ab\xB0");
}
