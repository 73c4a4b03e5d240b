#include "drawlib/pub_logic.h"

#include <gtest/gtest.h>

namespace kelva::drawlib {
namespace {

TEST(PubLogic, CommandLineTextsStartOnANewLine) {
    EXPECT_EQ(onNewLine(L"작업 완료"), L"\r\n작업 완료");
    EXPECT_EQ(onNewLine(L""), L"\r\n");
    // The default point prompt therefore shows an empty line before its text.
    EXPECT_EQ(onNewLine(kDefaultPointPrompt), L"\r\n\r\n점 선택: ");
}

TEST(PubLogic, MajorVersionIsTheFirstTwoCharacters) {
    EXPECT_EQ(majorVersion(L"16.2s (LMS Tech)"), L"16");
    EXPECT_EQ(majorVersion(L"R14"), L"R1");
    EXPECT_EQ(majorVersion(L"9"), L"9");
    EXPECT_EQ(majorVersion(L""), L"");
}

TEST(PubLogic, CancelMarkIsATrailingAsterisk) {
    EXPECT_TRUE(endsWithCancelMark(L"Specify point: *Cancel*"));
    EXPECT_TRUE(endsWithCancelMark(L"*"));
    EXPECT_FALSE(endsWithCancelMark(L""));
    EXPECT_FALSE(endsWithCancelMark(L"*Cancel* "));
    EXPECT_FALSE(endsWithCancelMark(L"Command:"));
}

}  // namespace
}  // namespace kelva::drawlib
