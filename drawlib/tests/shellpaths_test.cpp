#include "drawlib/shellpaths.h"

#include <windows.h>

#include <gtest/gtest.h>

using namespace kelva::draw;

TEST(ShellPaths, RelativePath) {
    EXPECT_EQ(relativePath(L"C:\\a\\b", L"C:\\a\\c\\d.txt"), L"..\\c\\d.txt");
    EXPECT_EQ(relativePath(L"C:\\a", L"C:\\a\\d.txt"), L".\\d.txt");
    EXPECT_EQ(relativePath(L"C:\\a\\b", L"D:\\x.txt"), L"D:\\x.txt");
    // Names outside code page 949 survive.
    EXPECT_EQ(relativePath(L"C:\\\u00E9t\u00E9", L"C:\\\u00E9t\u00E9\\\u0101.txt"), L".\\\u0101.txt");
}

TEST(ShellPaths, FindFileAlongAFolderList) {
    wchar_t dir[MAX_PATH];
    GetTempPathW(MAX_PATH, dir);
    std::wstring folder = std::wstring(dir) + L"find_\u0101\uAC00";
    CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring file = folder + L"\\\u0101.txt";
    HANDLE h = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    CloseHandle(h);
    const std::wstring found = findFile(L"\u0101.txt", folder);
    EXPECT_EQ(CompareStringOrdinal(found.c_str(), -1, file.c_str(), -1, TRUE), CSTR_EQUAL) << found;
    EXPECT_EQ(findFile(L"no_such_file_anywhere.xyz", folder), L"Err");
    DeleteFileW(file.c_str());
    RemoveDirectoryW(folder.c_str());
}

TEST(ShellPaths, LocaleTextComparisonIgnoresCase) {
    EXPECT_EQ(compareTextLocale(L"abc", L"ABC"), 0);
    EXPECT_EQ(compareTextLocale(L"a", L"B"), -1);
    EXPECT_EQ(compareTextLocale(L"\uAC00", L"\uB098"), -1);
}
