#include <gtest/gtest.h>

#include <string>

#include "cmdedit/names.h"

using namespace kelva::cmd;

TEST(ReplaceText, MatchesEitherCaseAndNeverOverlaps) {
    EXPECT_EQ(replaceText(L"abBa", L"B", L"x"), L"axxa");
    EXPECT_EQ(replaceText(L"aaa", L"aa", L"b"), L"ba");
    // The replacement is not searched again, even when it holds the pattern.
    EXPECT_EQ(replaceText(L"ab", L"a", L"aa"), L"aab");
    EXPECT_EQ(replaceText(L"", L"a", L"b"), L"");
    EXPECT_EQ(replaceText(L"abc", L"", L"x"), L"abc");
    EXPECT_EQ(replaceText(L"선(defun c:ab()", L"(DEFUN C:AB()", L"(defun c:X()"), L"선(defun c:X()");
}

TEST(Names, FoldOnlyAsciiLetters) {
    EXPECT_EQ(upper(L"ab9_한z"), L"AB9_한Z");
    EXPECT_EQ(lower(L"AB9_한Z"), L"ab9_한z");
    EXPECT_TRUE(equalsNoCase(L"Kelva", L"KELVA"));
    EXPECT_FALSE(equalsNoCase(L"Kelva", L"Kelv"));
    EXPECT_EQ(findNoCase(L"xxAbxab", L"AB", 3), 5u);
    EXPECT_EQ(findNoCase(L"a", L"ab"), std::wstring_view::npos);
    EXPECT_EQ(trimBlanks(L"  a b  "), L"a b");
    EXPECT_EQ(trimBlanks(L"   "), L"");
}

TEST(Names, CheckedWhereTheyEnter) {
    EXPECT_EQ(checkName(L"  ln ").name, L"ln");
    EXPECT_TRUE(checkName(L"  ln ").ok());
    EXPECT_TRUE(checkName(L"K-LINE_2").ok());
    EXPECT_TRUE(checkName(L"선긋기").ok());  // Korean is written in code page 949
    EXPECT_EQ(checkName(L"   ").error, kNoNameMessage);
    EXPECT_EQ(checkName(L"").error, kNoNameMessage);
    for (const wchar_t* bad : {L"L N", L"L\"N", L"L'N", L"(LN", L"LN)", L"L;N", L"L\tN", L"L\nN", L"L^N", L"L\\N", L"L=N"})
        EXPECT_EQ(checkName(bad).error, kBadCharMessage) << static_cast<int>(bad[1]);
    EXPECT_NE(checkName(L"L\U0001F600").error.find(L"CP949"), std::wstring::npos);
}
