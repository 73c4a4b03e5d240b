#include "drawlib/paths.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "core/tests/checks.h"

using namespace kelva::draw;
using kelva::Case;
using kelva::checkRows;

namespace {
using BaseAndPath = std::tuple<std::wstring, std::wstring>;
}  // namespace

TEST(Paths, DriveName) {
    const std::vector<Case<std::wstring, std::wstring>> rows = {
        {L"C:\\a\\b", L"C:"},
        {L"d:x.txt", L"d:"},
        {L"\\\\server\\share\\dir\\f", L"\\\\server\\share"},
        {L"\\\\server\\share", L"\\\\server\\share"},
        {L"\\\\server", L"", "a server without a share is no drive"},
        {L"a\\b", L""},
        {L"", L""},
    };
    checkRows(rows, driveName);
}

TEST(Paths, AbsolutePathFromABaseFolder) {
    const std::wstring base = L"C:\\a\\b";
    const std::vector<Case<BaseAndPath, std::wstring>> rows = {
        {{base, L"x.txt"}, L"C:\\a\\b\\x.txt"},
        {{base, L"..\\x.txt"}, L"C:\\a\\x.txt"},
        {{base, L"..\\..\\y\\x.txt"}, L"C:\\y\\x.txt"},
        {{base, L".\\x.txt"}, L"C:\\a\\b\\x.txt"},
        {{base, L"\\x.txt"}, L"C:\\x.txt", "the root of the base's drive"},
        {{base, L"D:\\z.txt"}, L"D:\\z.txt", "an absolute path stays"},
        {{base, L"\\\\srv\\s\\z.txt"}, L"\\\\srv\\s\\z.txt", "a network path stays"},
        {{L"C:\\a\\b\\", L"..\\x.txt"}, L"C:\\a\\x.txt", "a base with a trailing backslash"},
        {{L"C:\\a\\b\\", L"x.txt"}, L"C:\\a\\b\\x.txt", "a base with a trailing backslash"},
        {{L"C:\\a\\b\\", L".\\x.txt"}, L"C:\\a\\b\\x.txt", "a base with a trailing backslash"},
        {{L"  C:\\a\\b  ", L"  x.txt "}, L"C:\\a\\b\\x.txt", "blanks around both are dropped"},
        {{base, L"..\\.\\x.txt"}, L"C:\\a\\x.txt"},
        {{L"\\\\srv\\share\\d", L"\\x.txt"}, L"\\\\srv\\share\\x.txt", "the root of a network share"},
    };
    checkRows(rows, absolutePath);
}

TEST(Paths, MoreLevelsThanTheBaseHasStayAtItsTop) {
    const std::vector<Case<BaseAndPath, std::wstring>> rows = {
        {{L"C:\\a", L"..\\..\\..\\x.txt"}, L"C:\\x.txt"},
        {{L"C:\\a\\b", L"..\\..\\..\\..\\x.txt"}, L"C:\\x.txt"},
    };
    checkRows(rows, absolutePath);
}

TEST(Paths, CutAtNull) {
    const std::vector<Case<std::wstring, std::wstring>> rows = {
        {std::wstring(L"ab\0cd", 5), L"ab"},
        {L"abc", L"abc"},
    };
    checkRows(rows, cutAtNull);
}
