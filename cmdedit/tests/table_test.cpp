#include <gtest/gtest.h>

#include "cmdedit/apply.h"
#include "cmdedit/command_table.h"
#include "cmdedit/names.h"

using namespace kelva::cmd;

namespace {
// One section per category: header, entries, closing empty line.
std::wstring table(const std::vector<std::vector<std::wstring>>& sections) {
    std::wstring t;
    for (std::size_t c = 0; c < kCategories; ++c) {
        t += L"[" + std::to_wstring(c) + L"]\r\n";
        if (c < sections.size())
            for (const auto& e : sections[c]) t += e + L"\r\n";
        t += L"\r\n";
    }
    return t;
}

Editor loaded(const std::wstring& text, bool restore = false) {
    Editor e;
    setGridHeaders(e);
    EXPECT_EQ(loadCommandTable(e, text, restore), std::nullopt);
    return e;
}
}  // namespace

TEST(CommandTable, EntriesFillRowsAndColourChangedNames) {
    Editor e = loaded(table({{L"LL=선 그리기>LL", L"CC=원>XC", L"AA=호>aa"}, {}, {L"LA=레이어 켜기>LA"}}));
    const Grid& g = e.grids[0];
    EXPECT_EQ(g.rows(), kGridRows);
    EXPECT_EQ(g.text(0, 0), L"프로그램");
    EXPECT_EQ(g.text(1, ColProgram), L"선 그리기");
    EXPECT_EQ(g.text(2, ColUser), L"XC");
    EXPECT_EQ(g.text(2, ColCurrent), L"XC");
    EXPECT_EQ(g.backColor(2, ColUser), kChangedColor);
    EXPECT_FALSE(g.backColor(1, ColUser));
    EXPECT_FALSE(g.backColor(3, ColUser));  // same name in another case
    EXPECT_EQ(g.text(4, ColProgram), L"");
    EXPECT_EQ(e.categoryRowCount[0], 4);
    EXPECT_EQ(e.categoryRowCount[1], 1);  // a section without entries
    EXPECT_EQ(e.grids[1].text(1, 0), L"");
    EXPECT_EQ(e.grids[2].text(1, ColDefault), L"LA");
}

TEST(CommandTable, HeaderWithEqualsIsSkippedAndRestoreShowsDefaults) {
    std::wstring t = L"A=B>C\r\nLL=선>XL\r\n\r\n" + table({}).substr(table({}).find(L"[1]"));
    Editor e = loaded(t);
    EXPECT_EQ(e.grids[0].text(1, ColDefault), L"LL");
    EXPECT_EQ(e.grids[0].text(2, ColDefault), L"");
    Editor r;
    setGridHeaders(r);
    loadCommandTable(r, t, false);
    ASSERT_EQ(loadCommandTable(r, t, true), std::nullopt);
    EXPECT_EQ(r.grids[0].text(1, ColUser), L"LL");
    EXPECT_EQ(r.grids[0].text(1, ColCurrent), L"LL");
    EXPECT_FALSE(r.grids[0].backColor(1, ColUser));
    EXPECT_EQ(r.grids[0].text(2, ColDefault), L"");  // reloaded from one row, not appended
}

TEST(CommandTable, BadOrShortInputKeepsWhatWasRead) {
    Editor e;
    setGridHeaders(e);
    auto err = loadCommandTable(e, L"h\r\nLL=선>LL\r\nCC=원 without marker\r\n", false);
    ASSERT_TRUE(err);
    EXPECT_NE(err->find(L"3"), std::wstring::npos);
    EXPECT_EQ(e.grids[0].text(1, ColDefault), L"LL");

    Editor cut;
    setGridHeaders(cut);
    cut.categoryRowCount[1] = 7;
    EXPECT_EQ(loadCommandTable(cut, L"h\r\nLL=선>LL\r\n\r\nh\r\nAA=a>AA", false), std::nullopt);
    EXPECT_EQ(cut.categoryRowCount[0], 2);
    EXPECT_EQ(cut.categoryRowCount[1], 7);  // cut short by the end: keeps its count
    EXPECT_EQ(cut.grids[1].text(1, ColDefault), L"AA");
    for (const auto& g : cut.grids) EXPECT_EQ(g.rows(), kGridRows);

    Editor empty;
    setGridHeaders(empty);
    EXPECT_EQ(loadCommandTable(empty, L"", false), std::nullopt);
    EXPECT_EQ(empty.grids[10].rows(), kGridRows);
}

TEST(CommandTable, AnEntryWithAnEmptyOrBrokenNameIsRefusedByItsLineAndNeverRenamed) {
    // Lines 2 to 5: no current name, no default name, a blank inside the current name, no program.
    const std::wstring t = table({{L"LL=선 그리기>", L"=원 그리기>CC", L"AR=호 그리기>A R", L"TX=>TX", L"PL=폴리선>PX"}});
    Editor e;
    setGridHeaders(e);
    const auto message = loadCommandTable(e, t, false);
    EXPECT_EQ(message.value_or(L"<none>"), L"KelvaCmd.ini 2, 3, 4, 5번째 줄은 명령어가 비었거나 명령어로 쓸 수 없는 이름이어서 읽지 않았습니다 ");
    EXPECT_EQ(e.grids[0].text(1, ColDefault), L"PL");  // the one sound entry
    EXPECT_EQ(e.grids[0].text(2, ColProgram), L"");
    EXPECT_EQ(e.grids[1].rows(), kGridRows);            // the sections after it read on
    // Restoring the defaults renames the sound entry only: the macro of the entry without a current
    // name keeps its command, the others theirs.
    std::array<std::wstring, 3> texts = {L"[선 그리기]^C^C_LL\r\n[원 그리기]^C^C_CC\r\n[]^C^C_TX\r\n[폴리선]^C^C_PX\r\n",
                                         L"(defun c:LL()(defun c:CC()(defun c:PX()", L"LL=선 그리기>\r\nTX=>TX\r\nPL=폴리선>PX\r\n"};
    applyPatterns(e, true, texts);
    EXPECT_EQ(texts[MenuSource], L"[선 그리기]^C^C_LL\r\n[원 그리기]^C^C_CC\r\n[]^C^C_TX\r\n[폴리선]^C^C_PL\r\n");
    EXPECT_EQ(texts[LispSource], L"(defun c:LL()(defun c:CC()(defun c:PL()");
    EXPECT_EQ(texts[CommandTable], L"LL=선 그리기>\r\nTX=>TX\r\nPL=폴리선>PL\r\n");
}

TEST(CommandTable, SectionKeepsAtMost54Commands) {
    std::vector<std::wstring> many;
    for (int i = 0; i < 54; ++i) many.push_back(L"C" + std::to_wstring(i) + L"=p" + std::to_wstring(i) + L">C" + std::to_wstring(i));
    Editor e = loaded(table({many, {L"X=x>X"}}));
    EXPECT_EQ(e.grids[0].text(54, ColDefault), L"C53");
    EXPECT_EQ(e.categoryRowCount[0], 55);
    EXPECT_EQ(e.grids[1].text(1, ColDefault), L"X");
}

TEST(CommandTable, ALongSectionDoesNotShiftTheCategoriesAfterIt) {
    for (int count : {55, 60}) {
        std::vector<std::wstring> many;
        for (int i = 0; i < count; ++i)
            many.push_back(L"C" + std::to_wstring(i) + L"=p" + std::to_wstring(i) + L">C" + std::to_wstring(i));
        Editor e = loaded(table({many, {L"X=x>X"}, {L"Y=y>Y"}}));
        EXPECT_EQ(e.grids[0].rows(), kGridRows);
        EXPECT_EQ(e.grids[0].text(54, ColDefault), L"C53");  // the entries past the grid are cut off
        EXPECT_EQ(e.categoryRowCount[0], kGridRows);
        EXPECT_EQ(e.grids[1].text(1, ColDefault), L"X") << count;
        EXPECT_EQ(e.categoryRowCount[1], 2) << count;
        EXPECT_EQ(e.grids[2].text(1, ColDefault), L"Y") << count;
    }
}

TEST(CommandTable, AppliedNamesBecomeCurrentAndRefusedNamesAreFound) {
    Editor e = loaded(table({{L"LL=선>LL", L"CC=원>XC"}}));
    EXPECT_EQ(findRefusedName(e), std::nullopt);
    e.grids[0].setText(1, ColUser, L"L(L");
    EXPECT_EQ(findRefusedName(e), kBadCharMessage);
    e.grids[0].setText(1, ColUser, L" LN");
    EXPECT_EQ(findRefusedName(e), kBadCharMessage);
    commitUserName(e.grids[0], 1, L"ln");
    EXPECT_EQ(findRefusedName(e), std::nullopt);
    takeAppliedNames(e);
    EXPECT_EQ(e.grids[0].text(1, ColCurrent), L"LN");
    EXPECT_EQ(e.grids[0].text(2, ColCurrent), L"XC");
    EXPECT_EQ(e.grids[0].text(3, ColCurrent), L"");  // rows without a command stay empty
    clearGrids(e);
    EXPECT_EQ(e.grids[0].rows(), 1);
    EXPECT_EQ(e.grids[0].text(0, ColCurrent), L"현재 명령어");
}

TEST(UserCommands, SaveThenOpenGivesTheSameNames) {
    Editor e = loaded(table({{L"LL=선>LL", L"CC=원>CC"}, {L"LA=켜기>LA"}}));
    commitUserName(e.grids[0], 1, L"lx");
    commitUserName(e.grids[1], 1, L"la");
    std::wstring saved = writeUserCommands(e);
    EXPECT_NE(saved.find(L"LL=LX\r\n"), std::wstring::npos);
    EXPECT_NE(saved.find(L"\r\n=\r\n"), std::wstring::npos);  // an empty row

    Editor fresh = loaded(table({{L"LL=선>LL", L"CC=원>CC"}, {L"LA=켜기>LA"}}));
    EXPECT_EQ(readUserCommands(fresh, saved).changed, 1);  // LA=LA is equal and skipped
    EXPECT_EQ(fresh.grids[0].text(1, ColUser), L"LX");
    EXPECT_EQ(fresh.grids[0].backColor(1, ColUser), kChangedColor);
    EXPECT_FALSE(fresh.grids[1].backColor(1, ColUser));
}

TEST(UserCommands, ImportFindsByDefaultNameAndIgnoresOtherLines) {
    Editor e = loaded(table({{L"LL=선>LL"}, {}, {L"CC=원>CC"}}));
    auto n = readUserCommands(e, L"=CC\r\nno equals\r\n cc =zz \r\nll=x=y\r\nQQ=R\r\nLL=\r\n");
    EXPECT_EQ(n.changed, 2);
    EXPECT_EQ(n.refused, 1);                         // "LL=" would leave the command without a name
    EXPECT_EQ(e.grids[2].text(1, ColUser), L"ZZ");   // found by trimmed default; the name trimmed too
    EXPECT_EQ(e.grids[0].text(1, ColUser), L"X");    // parts after the second "=" ignored
    EXPECT_EQ(readUserCommands(e, L"LL=cc\r\n").changed, 1);
    EXPECT_EQ(e.grids[0].backColor(1, ColUser), kChangedColor);
}

TEST(UserCommands, ImportRefusesNamesThatWouldBreakTheSuiteFiles) {
    Editor e = loaded(table({{L"LL=선>LL", L"CC=원>CC", L"AR=호>AR", L"TX=문자>TX"}}));
    auto n = readUserCommands(e, L"LL=L N\r\nCC=C\"C\r\nAR=(AR)\r\nTX=T;X\r\n");
    EXPECT_EQ(n.changed, 0);
    EXPECT_EQ(n.refused, 4);
    for (int r = 1; r <= 4; ++r) EXPECT_EQ(e.grids[0].text(r, ColUser), e.grids[0].text(r, ColDefault));
}

TEST(Names, DuplicatesAcrossCategoriesIgnoringCase) {
    Editor e = loaded(table({{L"AA=a>AA", L"BB=b>BB"}, {L"CC=c>CC"}}));
    EXPECT_EQ(findDuplicate(e), std::nullopt);
    commitUserName(e.grids[1], 1, L"ab");
    commitUserName(e.grids[0], 2, L"AB");
    EXPECT_EQ(findDuplicate(e), L"AB");  // the name of the later row
    e.grids[0].setText(2, ColProgram, L"");
    EXPECT_EQ(findDuplicate(e), std::nullopt);  // rows without program never count
}

TEST(Names, CommitAndSearch) {
    Editor e = loaded(table({{L"LL=선 그리기>LL"}, {L"LA=켜기>LA"}}));
    Grid& g = e.grids[0];
    g.row = 5;
    commitUserName(g, 1, L"ll");
    EXPECT_EQ(g.text(1, ColUser), L"LL");
    EXPECT_EQ(g.backColor(1, ColUser), kDefaultColor);
    EXPECT_EQ(g.row, 5);
    commitUserName(g, 1, L"nl");
    EXPECT_EQ(g.text(1, ColUser), L"NL");
    EXPECT_EQ(g.backColor(1, ColUser), kChangedColor);
    restoreUserName(g, 1);
    EXPECT_EQ(g.text(1, ColUser), L"LL");

    auto hit = findCommand(e, L"  la ");
    ASSERT_TRUE(hit);
    EXPECT_EQ(hit->grid, 1);
    EXPECT_EQ(findCommand(e, L"선 그리기")->row, 1);
    commitUserName(g, 1, L"QQ");
    EXPECT_FALSE(findCommand(e, L"QQ"));  // user names are not searched
}
