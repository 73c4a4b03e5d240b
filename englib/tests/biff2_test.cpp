#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/errors.h"
#include "core/tests/checks.h"
#include "englib/biff2.h"
#include "xls_case.h"

using namespace kelva;
using namespace kelva::eng;
using kelva::eng::testing::XlsCase;
namespace fs = std::filesystem;

namespace {
using biff2::CellAttributes;

std::string contents(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}
std::string bytes(std::initializer_list<int> b) {
    std::string s;
    for (int v : b) s += static_cast<char>(v);
    return s;
}
struct Record {
    int opcode;
    std::string body;
};
// Our own walk of the stream, for byte-exact checks; the reader-side oracle is xlrd_check.py.
std::vector<Record> records(const std::string& data) {
    std::vector<Record> out;
    size_t pos = 0;
    while (pos + 4 <= data.size()) {
        const int op = static_cast<unsigned char>(data[pos]) | static_cast<unsigned char>(data[pos + 1]) << 8;
        const size_t len = static_cast<unsigned char>(data[pos + 2]) | static_cast<unsigned char>(data[pos + 3]) << 8;
        out.push_back({op, data.substr(pos + 4, len)});
        pos += 4 + len;
    }
    EXPECT_EQ(pos, data.size());
    return out;
}
std::vector<Record> after(const std::vector<Record>& all, size_t skip) { return {all.begin() + static_cast<long>(skip), all.end()}; }
constexpr size_t kPrologue = 26;  // BOF, FORMATCOUNT and 24 FORMAT records

CellAttributes plain() { return biff2::cellAttributes(0, 0, 0, 0); }
}  // namespace

TEST(Biff2Writer, NewSheetHoldsBofFormatsAndOnlyEofOnClose) {
    XlsCase x("empty");
    ExcelFile f;
    f.createFile(x.path());
    f.closeFile();
    const auto r = records(contents(x.path()));
    ASSERT_EQ(r.size(), kPrologue + 1);
    EXPECT_EQ(contents(x.path()).substr(0, 8), bytes({0x09, 0, 4, 0, 2, 0, 0x10, 0}));
    EXPECT_EQ(r[1].opcode, 0x1F);
    EXPECT_EQ(r[1].body, bytes({23, 0}));
    for (size_t i = 0; i < 24; ++i) {
        EXPECT_EQ(r[2 + i].opcode, 0x1E);
        const std::wstring& fmt = biff2::defaultFormats()[i];
        EXPECT_EQ(r[2 + i].body, static_cast<char>(fmt.size()) + std::string(fmt.begin(), fmt.end()));
    }
    EXPECT_EQ(r.back().opcode, 0x0A);
    EXPECT_TRUE(r.back().body.empty());
}

TEST(Biff2Writer, CellsOfEveryKind) {
    XlsCase x("cells");
    ExcelFile f;
    f.createFile(x.path());
    f.setFont(L"Arial", 10, 0);
    f.setFont(L"Times", 12, 1);
    f.writeInteger(1, 1, plain(), 42);
    x.cell(0, 0, 42);
    f.writeInteger(2, 1, plain(), -5);  // INTEGER cells are unsigned: this one must go as a NUMBER
    x.cell(1, 0, -5);
    f.writeInteger(3, 1, plain(), 32767);
    x.cell(2, 0, 32767);
    f.writeNumber(1, 2, plain(), 3.14159);
    x.cell(0, 1, 3.14159);
    f.writeNumber(2, 2, plain(), -1e-300);
    x.cell(1, 1, -1e-300);
    f.writeLabel(1, 3, plain(), L"hello, world");
    x.text(0, 2, "hello, world");
    f.writeLabel(2, 3, plain(), L"");
    x.text(1, 2, "");
    // Font 1, format 4 (#,##0.00), centred with a left and bottom border, shaded, locked.
    f.writeNumber(10, 5, biff2::cellAttributes(64, 64, 4, 2 + 8 + 64 + 128), 1234.5);
    x.cell(9, 4, 1234.5, 1, 4, 2 + 8 + 64 + 128, 64);
    // Font 3 (not defined: the reader still reports the index), text format, right aligned, hidden.
    f.writeLabel(11, 5, biff2::cellAttributes(128, 192, 23, 3 + 16 + 32), L"R");
    x.text(10, 4, "R", 3, 23, 3 + 16 + 32, 128);
    f.writeNumber(16384, 256, plain(), 1);
    x.cell(16383, 255, 1);
    x.font("Arial", 200, 0);
    x.font("Times", 240, 1);
    f.closeFile();

    const auto r = after(records(contents(x.path())), kPrologue + 2);
    EXPECT_EQ(r[0].opcode, 0x02);
    EXPECT_EQ(r[0].body, bytes({0, 0, 0, 0, 0, 0, 0, 42, 0}));
    EXPECT_EQ(r[1].opcode, 0x03);
    EXPECT_EQ(r[1].body.size(), 15u);
    EXPECT_EQ(r[6].opcode, 0x04);
    EXPECT_EQ(r[6].body, bytes({1, 0, 2, 0, 0, 0, 0, 0}));  // empty label: length 8, length byte 0
}

TEST(Biff2Writer, TextThatDoesNotFitWritesNothing) {
    XlsCase x("text-faults");
    ExcelFile f;
    f.createFile(x.path());
    EXPECT_EQ(errorOf([&] { f.writeLabel(1, 1, plain(), std::wstring(256, L'a')); }), err::Overflow);
    EXPECT_EQ(errorOf([&] { f.writeLabel(1, 1, plain(), L"abc가"); }), err::Overflow);
    EXPECT_EQ(errorOf([&] { f.setHeader(L"머리말"); }), err::Overflow);
    EXPECT_EQ(errorOf([&] { f.setFont(L"굴림", 10, 0); }), err::Overflow);
    f.writeLabel(2, 1, plain(), std::wstring(255, L'z'));
    x.text(1, 0, std::string(255, 'z'));
    f.closeFile();
    EXPECT_EQ(records(contents(x.path())).size(), kPrologue + 2);
}

TEST(Biff2Writer, RangesOfFields) {
    XlsCase x("ranges");
    ExcelFile f;
    f.createFile(x.path());
    EXPECT_EQ(errorOf([] { biff2::cellAttributes(0, 192, 64, 0); }), err::Overflow);
    EXPECT_EQ(errorOf([] { biff2::cellAttributes(256, 0, 0, 0); }), err::Overflow);
    EXPECT_EQ(errorOf([] { biff2::cellAttributes(0, 0, 0, -1); }), err::Overflow);
    EXPECT_EQ(errorOf([&] { f.writeNumber(0, 1, plain(), 1); }), err::Overflow);
    EXPECT_EQ(errorOf([&] { f.writeNumber(16385, 1, plain(), 1); }), err::Overflow);
    EXPECT_EQ(errorOf([&] { f.writeLabel(1, 257, plain(), L"x"); }), err::Overflow);
    EXPECT_EQ(errorOf([&] { f.writeInteger(-3, 1, plain(), 1); }), err::Overflow);
    EXPECT_EQ(errorOf([&] { f.setRowHeight(16385, 10); }), err::Overflow);
    EXPECT_EQ(errorOf([&] { f.setColumnWidth(0, 3, 10); }), err::Overflow);
    EXPECT_EQ(errorOf([&] { f.setColumnWidth(1, 3, 128); }), err::Overflow);
    EXPECT_EQ(errorOf([&] { f.setFont(L"Arial", 1639, 0); }), err::Overflow);
    EXPECT_EQ(errorOf([&] { f.setFont(L"Arial", 10, 256); }), err::Overflow);
    EXPECT_EQ(errorOf([&] { f.setRowHeight(1, 2000); }), err::Overflow);
    EXPECT_EQ(errorOf([&] { f.insertHorizPageBreak(0); }), err::Overflow);
    EXPECT_EQ(errorOf([&] { f.setMargin(10, 1.0); }), err::InvalidCall);  // would be an EOF record
    f.closeFile();
    EXPECT_EQ(records(contents(x.path())).size(), kPrologue + 1);
}

TEST(Biff2Writer, SheetSettings) {
    XlsCase x("settings");
    ExcelFile f;
    f.createFile(x.path());
    f.setColumnWidth(1, 3, 10);
    x.columnWidth(0, 2560);
    x.columnWidth(1, 2560);
    x.columnWidth(2, 2560);
    f.setColumnWidth(5, 5, 25);
    x.columnWidth(4, 6400);
    f.setFont(L"Serif", 10, 1 + 2);
    x.font("Serif", 200, 3);
    f.setFont(L"Mono", 9, 4 + 8);
    x.font("Mono", 180, 12);
    f.setMargin(38, 0.5);
    f.setMargin(39, 0.75);
    f.setMargin(40, 1.25);
    f.setMargin(41, 1.0);
    x.margin(38, 0.5);
    x.margin(39, 0.75);
    x.margin(40, 1.25);
    x.margin(41, 1.0);
    f.setHeader(L"");
    f.setHeader(L"&CPage &P");
    x.header("&CPage &P");
    f.setFooter(L"Kelva table");
    x.footer("Kelva table");
    f.printGridLines(true);
    f.printGridLines(false);
    f.protectSpreadsheet(true);
    x.flag(0x2B, 1);
    x.flag(0x2B, 0);
    x.flag(0x12, 1);
    f.setDefaultRowHeight(15);
    x.defaultRowHeight(300);
    f.setRowHeight(3, 30);
    x.rowHeight(2, 600);
    f.writeNumber(3, 1, plain(), 7);
    x.cell(2, 0, 7);
    f.closeFile();

    const auto r = after(records(contents(x.path())), kPrologue);
    EXPECT_EQ(bytes({0x24, 0, 4, 0}) + r[0].body, bytes({0x24, 0, 4, 0, 0, 2, 0, 0x0A}));
    EXPECT_EQ(r[2].opcode, 0x31);
    EXPECT_EQ(r[2].body, bytes({200, 0, 3, 0, 5}) + "Serif");
    EXPECT_EQ(r[8].opcode, 0x14);
    EXPECT_EQ(r[8].body, bytes({0}));  // an empty header is just its length byte
    EXPECT_EQ(r[11].opcode, 0x2B);
    EXPECT_EQ(r[11].body, bytes({1, 0}));
    EXPECT_EQ(r[12].body, bytes({0, 0}));
    EXPECT_EQ(r[15].opcode, 0x08);
    EXPECT_EQ(r[15].body, bytes({2, 0, 0, 0, 0, 1, 0x58, 2, 0, 0, 0, 0, 0, 0, 0, 0}));
}

TEST(Biff2Writer, PageBreaksAreSortedAndWrittenOnClose) {
    XlsCase x("breaks");
    ExcelFile f;
    f.createFile(x.path());
    f.insertHorizPageBreak(20);
    f.insertHorizPageBreak(5);
    f.insertHorizPageBreak(20);
    x.pageBreaks({4, 19, 19});
    f.writeNumber(25, 1, plain(), 1);
    x.cell(24, 0, 1);
    f.closeFile();
    const auto r = records(contents(x.path()));
    ASSERT_GE(r.size(), 2u);
    EXPECT_EQ(r[r.size() - 2].opcode, 0x1B);
    EXPECT_EQ(r[r.size() - 2].body, bytes({3, 0, 4, 0, 19, 0, 19, 0}));
}

TEST(Biff2Writer, OpenAndClosedStates) {
    ExcelFile never;
    EXPECT_NO_THROW(never.closeFile());
    EXPECT_EQ(errorOf([&] { never.writeNumber(1, 1, plain(), 1); }), 52);
    EXPECT_EQ(errorOf([&] { never.writeDefaultFormats(); }), 52);
    EXPECT_NO_THROW(never.printGridLines(true));  // ignores every error

    XlsCase x("closed-twice");
    ExcelFile f;
    f.createFile(x.path());
    f.closeFile();
    EXPECT_EQ(errorOf([&] { f.closeFile(); }), 52);
    EXPECT_EQ(errorOf([&] { f.setHeader(L"late"); }), 52);
    EXPECT_EQ(errorOf([&] { f.insertHorizPageBreak(3); }), 52);
    EXPECT_EQ(ExcelFile::mki(0x1234), (std::wstring{L'\x34', L'\x12'}));
    EXPECT_EQ(ExcelFile::mki(-1), (std::wstring{L'\xFF', L'\xFF'}));
}

TEST(Biff2Writer, ACallerWritingTheFormatsAgainGetsThemTwice) {
    XlsCase x("formats-twice");
    ExcelFile f;
    f.createFile(x.path());
    f.writeDefaultFormats();
    f.closeFile();
    EXPECT_EQ(records(contents(x.path())).size(), 2 * kPrologue);
}

TEST(Biff2Writer, CreatingAgainFinishesTheOpenSheet) {
    XlsCase first("first-of-two"), second("second-of-two");
    ExcelFile f;
    f.createFile(first.path());
    f.writeNumber(1, 1, plain(), 1);
    first.cell(0, 0, 1);
    f.insertHorizPageBreak(2);
    first.pageBreaks({1});
    f.createFile(second.path());
    f.writeNumber(1, 1, plain(), 2);
    second.cell(0, 0, 2);
    f.closeFile();
}

TEST(Biff2Writer, ReleasingTheObjectFinishesTheOpenSheet) {
    XlsCase x("released-open");
    {
        ExcelFile f;
        f.createFile(x.path());
        f.writeLabel(1, 1, plain(), L"kept");
        x.text(0, 0, "kept");
    }
    EXPECT_EQ(records(contents(x.path())).back().opcode, 0x0A);
}

TEST(Biff2Writer, AnExistingFileIsReplacedWholeOnClose) {
    XlsCase x("replaced");
    const std::string old(100000, 'Q');
    std::ofstream(x.path(), std::ios::binary) << old;
    ExcelFile f;
    f.createFile(x.path());
    f.writeNumber(1, 1, plain(), 5);
    x.cell(0, 0, 5);
    EXPECT_EQ(contents(x.path()), old);  // untouched while the new sheet is being written
    f.closeFile();
    EXPECT_LT(contents(x.path()).size(), 1000u);
}

TEST(Biff2Writer, WildcardNamesNeverReachADelete) {
    XlsCase a("wild-a"), b("wild-b");
    for (XlsCase* c : {&a, &b}) {
        ExcelFile f;
        f.createFile(c->path());
        f.writeNumber(1, 1, plain(), 9);
        c->cell(0, 0, 9);
        f.closeFile();
    }
    ExcelFile f;
    EXPECT_EQ(errorOf([&] { f.createFile(a.path().parent_path() / "wild-?.xls"); }), 52);
    EXPECT_EQ(errorOf([&] { f.createFile(a.path().parent_path() / "*.xls"); }), 52);
    EXPECT_TRUE(fs::exists(a.path()));
    EXPECT_TRUE(fs::exists(b.path()));
    EXPECT_EQ(errorOf([&] { f.writeNumber(1, 1, plain(), 1); }), 52);
    EXPECT_EQ(errorOf([&] { f.closeFile(); }), 52);
}

TEST(Biff2Writer, FailedCreateLeavesNoFile) {
    XlsCase x("never-created");
    x.absent();
    ExcelFile f;
    EXPECT_EQ(errorOf([&] { f.createFile(x.path().parent_path() / "no-such-folder" / "x.xls"); }), kPathNotFound);
    EXPECT_FALSE(fs::exists(x.path()));
}

TEST(Biff2Writer, CreateFailsAtOnceForATargetThatCannotBeReplaced) {
    // A folder of the sheet's name: the error comes from CreateFile, not after every cell is written.
    const fs::path d = fs::temp_directory_path() / "kelva-biff2-folder-target";
    fs::remove_all(d);
    fs::create_directories(d / "sheet.xls");
    ExcelFile f;
    EXPECT_EQ(errorOf([&] { f.createFile(d / "sheet.xls"); }), err::PathFileAccess);
    EXPECT_FALSE(f.isOpen());
    EXPECT_EQ(errorOf([&] { f.writeNumber(1, 1, plain(), 1); }), 52);
    EXPECT_EQ(std::distance(fs::directory_iterator(d), fs::directory_iterator()), 1);
    fs::remove_all(d);
}

TEST(Biff2Writer, PasswordRequestsAreRefusedAndTheSheetStaysReadable) {
    XlsCase x("password");
    ExcelFile f;
    f.createFile(x.path());
    EXPECT_EQ(errorOf([&] { f.setFilePassword(L"secret"); }), kPasswordNotSupported);
    f.writeNumber(1, 1, plain(), 3);
    x.cell(0, 0, 3);
    f.closeFile();
}

TEST(Biff2Writer, ManyCells) {
    XlsCase x("many-cells");
    ExcelFile f;
    f.createFile(x.path());
    for (int r = 1; r <= 400; ++r)
        for (int c = 1; c <= 12; ++c) {
            if ((r + c) % 3 == 0) {
                f.writeInteger(r, c, plain(), static_cast<std::int16_t>(r * c - 2000));
                x.cell(r - 1, c - 1, r * c - 2000);
            } else if ((r + c) % 3 == 1) {
                f.writeNumber(r, c, plain(), r / 7.0 + c);
                x.cell(r - 1, c - 1, r / 7.0 + c);
            } else {
                const std::string t = "r" + std::to_string(r) + "c" + std::to_string(c);
                f.writeLabel(r, c, plain(), std::wstring(t.begin(), t.end()));
                x.text(r - 1, c - 1, t);
            }
        }
    f.closeFile();
}
