#include "drawlib/paths.h"

#include <gtest/gtest.h>

using namespace kelva::draw;

TEST(Paths, DriveName) {
    EXPECT_EQ(driveName(L"C:\\a\\b"), L"C:");
    EXPECT_EQ(driveName(L"d:x.txt"), L"d:");
    EXPECT_EQ(driveName(L"\\\\server\\share\\dir\\f"), L"\\\\server\\share");
    EXPECT_EQ(driveName(L"\\\\server\\share"), L"\\\\server\\share");
    EXPECT_EQ(driveName(L"\\\\server"), L"");
    EXPECT_EQ(driveName(L"a\\b"), L"");
    EXPECT_EQ(driveName(L""), L"");
}

TEST(Paths, AbsolutePathFromABaseFolder) {
    const std::wstring base = L"C:\\a\\b";
    EXPECT_EQ(absolutePath(base, L"x.txt"), L"C:\\a\\b\\x.txt");
    EXPECT_EQ(absolutePath(base, L"..\\x.txt"), L"C:\\a\\x.txt");
    EXPECT_EQ(absolutePath(base, L"..\\..\\y\\x.txt"), L"C:\\y\\x.txt");
    EXPECT_EQ(absolutePath(base, L".\\x.txt"), L"C:\\a\\b\\x.txt");
    EXPECT_EQ(absolutePath(base, L"\\x.txt"), L"C:\\x.txt");
    EXPECT_EQ(absolutePath(base, L"D:\\z.txt"), L"D:\\z.txt");
    EXPECT_EQ(absolutePath(base, L"\\\\srv\\s\\z.txt"), L"\\\\srv\\s\\z.txt");
    EXPECT_EQ(absolutePath(L"C:\\a\\b\\", L"..\\x.txt"), L"C:\\a\\x.txt");
    EXPECT_EQ(absolutePath(L"C:\\a\\b\\", L"x.txt"), L"C:\\a\\b\\x.txt");
    EXPECT_EQ(absolutePath(L"C:\\a\\b\\", L".\\x.txt"), L"C:\\a\\b\\x.txt");
    EXPECT_EQ(absolutePath(L"  C:\\a\\b  ", L"  x.txt "), L"C:\\a\\b\\x.txt");
    EXPECT_EQ(absolutePath(base, L"..\\.\\x.txt"), L"C:\\a\\x.txt");
    EXPECT_EQ(absolutePath(L"\\\\srv\\share\\d", L"\\x.txt"), L"\\\\srv\\share\\x.txt");
}

TEST(Paths, MoreLevelsThanTheBaseHasStayAtItsTop) {
    EXPECT_EQ(absolutePath(L"C:\\a", L"..\\..\\..\\x.txt"), L"C:\\x.txt");
    EXPECT_EQ(absolutePath(L"C:\\a\\b", L"..\\..\\..\\..\\x.txt"), L"C:\\x.txt");
}

TEST(Paths, CutAtNull) {
    EXPECT_EQ(cutAtNull(std::wstring(L"ab\0cd", 5)), L"ab");
    EXPECT_EQ(cutAtNull(L"abc"), L"abc");
}
