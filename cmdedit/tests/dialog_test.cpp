#include <gtest/gtest.h>

#include "cmdedit/dialog_logic.h"

using namespace kelva::cmd;
using namespace std::string_literals;

TEST(FileDialogText, FilterPiecesEndInNul) {
    EXPECT_EQ(filterApiForm(L"사용자 명령 파일 (*.ucm)|*.ucm"), L"사용자 명령 파일 (*.ucm)\0*.ucm\0\0"s);
    EXPECT_EQ(filterApiForm(L"All\0*.*"s), L"All\0*.*\0\0"s);  // NUL separators pass as they are
    EXPECT_EQ(filterApiForm(L""), L"\0\0"s);
}

TEST(FileDialogText, ChosenNames) {
    EXPECT_EQ(takeUntilDoubleNul(L"C:\\a\\b.ucm\0\0\0\0"s, 6), L"C:\\a\\b.ucm");
    EXPECT_EQ(takeUntilDoubleNul(L"C:\\a\0x.ucm\0y.ucm\0\0"s, 5), L"C:\\a\0x.ucm\0y.ucm"s);
    EXPECT_EQ(takeUntilDoubleNul(L"abc"s, 10), L"abc");
    EXPECT_EQ(parseFileNames(L"C:\\a\\b.ucm"), (std::vector<std::wstring>{L"C:\\a\\b.ucm"}));
    EXPECT_EQ(parseFileNames(L"C:\\a\0x.ucm\0y.ucm"s), (std::vector<std::wstring>{L"C:\\a\\x.ucm", L"C:\\a\\y.ucm"}));
    EXPECT_EQ(parseFileNames(L"C:\\\0x.ucm"s), (std::vector<std::wstring>{L"C:\\x.ucm"}));
    EXPECT_EQ(parseFileNames(L"C:\\a\0x.ucm\0\0z"s), (std::vector<std::wstring>{L"C:\\a\\x.ucm", L"C:\\a"}));
}
