#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "cmdedit/apply.h"

using namespace kelva::cmd;
namespace fs = std::filesystem;

namespace {
const wchar_t* kTable =
    L"[Civil]\r\nLL=선 그리기>LL\r\nCC=원 그리기>CC\r\n\r\n"
    L"[레이어]\r\nLA=레이어 켜기>LA\r\n\r\n";
const wchar_t* kMenu =
    L"[선 그리기]^C^C_LL\r\n[원 그리기]^C^C_cc\r\nID_LL [_Button(\"선\", \"LL\")]^C^C_LL\r\n[레이어 켜기]^C^C_LA\r\n";
const wchar_t* kLisp = L"(defun c:LL() (k:line))\r\n(defun c:cc() (k:circle))\r\n(defun c:LA() (k:on))\r\n";

Editor editor() {
    Editor e;
    setGridHeaders(e);
    EXPECT_EQ(loadCommandTable(e, kTable, false), std::nullopt);
    return e;
}

class MemoryFiles : public FileStore {
public:
    std::map<fs::path, std::wstring> files;
    std::set<fs::path> failWrites, failReads;
    std::vector<fs::path> removed;
    bool exists(const fs::path& p) override { return files.count(p) > 0; }
    std::optional<std::wstring> read(const fs::path& p) override {
        if (failReads.count(p)) return std::nullopt;
        return files.at(p);
    }
    bool write(const fs::path& p, const std::wstring& text) override {
        if (failWrites.count(p)) return false;
        files[p] = text;
        return true;
    }
    void remove(const fs::path& p) override {
        removed.push_back(p);
        files.erase(p);
    }
};

MemoryFiles suite() {
    MemoryFiles m;
    m.files[fs::path(L"K") / L"Kelva.mns"] = kMenu;
    m.files[fs::path(L"K") / L"Kelva.lsp"] = kLisp;
    m.files[fs::path(L"K") / L"KelvaCmd.ini"] = kTable;
    m.files[fs::path(L"K") / L"Kelva.mnr"] = L"derived";
    return m;
}
}  // namespace

TEST(ApplyPatterns, RenamesMenuToolbarLispAndTable) {
    Editor e = editor();
    commitUserName(e.grids[0], 1, L"ln");
    commitUserName(e.grids[0], 2, L"ci");
    std::array<std::wstring, 3> t = {kMenu, kLisp, kTable};
    applyPatterns(e, false, t);
    EXPECT_EQ(t[MenuSource],
              L"[선 그리기]^C^C_LN\r\n[원 그리기]^C^C_CI\r\nID_LL [_Button(\"선\", \"LL\")]^C^C_LN\r\n[레이어 켜기]^C^C_LA\r\n");
    EXPECT_EQ(t[LispSource], L"(defun c:LN() (k:line))\r\n(defun c:CI() (k:circle))\r\n(defun c:LA() (k:on))\r\n");
    EXPECT_NE(t[CommandTable].find(L"LL=선 그리기>LN\r\n"), std::wstring::npos);
    EXPECT_NE(t[CommandTable].find(L"CC=원 그리기>CI\r\n"), std::wstring::npos);
}

TEST(ApplyPatterns, ChainsAndSwapsRenameEachCommandOnce) {
    Editor e;
    setGridHeaders(e);
    loadCommandTable(e, L"h\r\nA=pa>A\r\nB=pb>B\r\nC=pc>C\r\n\r\n", false);
    commitUserName(e.grids[0], 1, L"B");
    commitUserName(e.grids[0], 2, L"C");
    std::array<std::wstring, 3> t = {L"[pa]^C^C_A [pb]^C^C_B", L"(defun c:A() (defun c:B() (defun c:A()", L"A=pa>A\r\nB=pb>B"};
    applyPatterns(e, false, t);
    EXPECT_EQ(t[MenuSource], L"[pa]^C^C_B [pb]^C^C_C");
    EXPECT_EQ(t[LispSource], L"(defun c:B() (defun c:C() (defun c:B()");
    EXPECT_EQ(t[CommandTable], L"A=pa>B\r\nB=pb>C");
    // A swap.
    commitUserName(e.grids[0], 2, L"A");
    std::array<std::wstring, 3> s = {L"", L"(defun c:A()(defun c:b()", L""};
    applyPatterns(e, false, s);
    EXPECT_EQ(s[LispSource], L"(defun c:B()(defun c:A()");
}

TEST(ApplyPatterns, RestoreDefaultsMapsUserNamesBack) {
    Editor e = editor();
    commitUserName(e.grids[0], 1, L"LN");
    std::array<std::wstring, 3> t = {L"[선 그리기]^C^C_LN", L"(defun c:ln()", L"LL=선 그리기>LN"};
    applyPatterns(e, true, t);
    EXPECT_EQ(t[MenuSource], L"[선 그리기]^C^C_LL");
    EXPECT_EQ(t[LispSource], L"(defun c:LL()");
    EXPECT_EQ(t[CommandTable], L"LL=선 그리기>LL");
}

TEST(ApplyCommands, RewritesAllThreeAndDeletesDerivedMenus) {
    Editor e = editor();
    commitUserName(e.grids[1], 1, L"lo");
    MemoryFiles m = suite();
    auto r = applyCommands(e, false, m, L"K");
    EXPECT_EQ(r.outcome, ApplyResult::Outcome::Written);
    EXPECT_EQ(m.removed.size(), 4u);
    EXPECT_FALSE(m.exists(fs::path(L"K") / L"Kelva.mnr"));
    EXPECT_NE(m.files[fs::path(L"K") / L"Kelva.mns"].find(L"^C^C_LO"), std::wstring::npos);
    EXPECT_NE(m.files[fs::path(L"K") / L"Kelva.lsp"].find(L"c:LO()"), std::wstring::npos);
    EXPECT_NE(m.files[fs::path(L"K") / L"KelvaCmd.ini"].find(L"켜기>LO"), std::wstring::npos);
}

TEST(ApplyCommands, MissingOrUnreadableFileWritesNothing) {
    Editor e = editor();
    commitUserName(e.grids[1], 1, L"lo");
    MemoryFiles m = suite();
    m.files.erase(fs::path(L"K") / L"KelvaCmd.ini");
    auto r = applyCommands(e, false, m, L"K");
    EXPECT_EQ(r.outcome, ApplyResult::Outcome::Missing);
    EXPECT_EQ(r.message, L"K\\KelvaCmd.ini 파일을 찾을 수 없습니다 ");
    EXPECT_EQ(m.files[fs::path(L"K") / L"Kelva.mns"], kMenu);

    MemoryFiles u = suite();
    u.failReads.insert(fs::path(L"K") / L"Kelva.lsp");
    EXPECT_EQ(applyCommands(e, false, u, L"K").outcome, ApplyResult::Outcome::ReadFailed);
    EXPECT_EQ(u.files[fs::path(L"K") / L"Kelva.mns"], kMenu);
}

TEST(ApplyCommands, FailedWriteKeepsThatFileAndWritesTheRest) {
    Editor e = editor();
    commitUserName(e.grids[1], 1, L"lo");
    MemoryFiles m = suite();
    m.failWrites.insert(fs::path(L"K") / L"Kelva.lsp");
    auto r = applyCommands(e, false, m, L"K");
    EXPECT_EQ(r.outcome, ApplyResult::Outcome::WriteFailed);
    EXPECT_EQ(r.message, L"K\\Kelva.lsp 파일에 쓸 수 없습니다");
    EXPECT_EQ(m.files[fs::path(L"K") / L"Kelva.lsp"], kLisp);
    EXPECT_NE(m.files[fs::path(L"K") / L"KelvaCmd.ini"].find(L">LO"), std::wstring::npos);
}

namespace {
class TempDir {
public:
    TempDir() : path_(fs::temp_directory_path() / ("kelvacmd_" + std::to_string(reinterpret_cast<std::uintptr_t>(this)))) {
        fs::remove_all(path_);
        fs::create_directories(path_);
    }
    ~TempDir() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

std::string bytesOf(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}
}  // namespace

TEST(DiskFiles, KoreanRoundTripsInCodePage949AndShrinkLeavesNoTail) {
    TempDir dir;
    DiskFileStore disk;
    auto p = dir.path() / "Kelva.lsp";
    ASSERT_TRUE(disk.write(p, L"(defun c:선() 긴 텍스트 긴 텍스트)"));
    EXPECT_EQ(bytesOf(p).substr(0, 11), "(defun c:\xBC\xB1");
    EXPECT_EQ(disk.read(p), L"(defun c:선() 긴 텍스트 긴 텍스트)");
    ASSERT_TRUE(disk.write(p, L"ab"));
    EXPECT_EQ(bytesOf(p), "ab");
    EXPECT_EQ(disk.read(dir.path() / "none"), std::nullopt);
    int entries = 0;
    for ([[maybe_unused]] auto& f : fs::directory_iterator(dir.path())) ++entries;
    EXPECT_EQ(entries, 1);  // no temporary file left behind
}

TEST(DiskFiles, WriteThatCannotCompleteKeepsTheOldFile) {
    TempDir dir;
    DiskFileStore disk;
    auto blocked = dir.path() / "KelvaCmd.ini";
    fs::create_directory(blocked);  // a folder where the file should be
    EXPECT_FALSE(disk.write(blocked, L"x"));
    EXPECT_TRUE(fs::is_directory(blocked));
    EXPECT_FALSE(disk.write(dir.path() / "missing" / "Kelva.mns", L"x"));
    int entries = 0;
    for ([[maybe_unused]] auto& f : fs::directory_iterator(dir.path())) ++entries;
    EXPECT_EQ(entries, 1);
}

TEST(DiskFiles, WholeApplyOnARealFolder) {
    TempDir dir;
    DiskFileStore disk;
    ASSERT_TRUE(disk.write(dir.path() / "Kelva.mns", kMenu));
    ASSERT_TRUE(disk.write(dir.path() / "Kelva.lsp", kLisp));
    ASSERT_TRUE(disk.write(dir.path() / "KelvaCmd.ini", kTable));
    ASSERT_TRUE(disk.write(dir.path() / "Kelva.cuix", L"z"));
    Editor e = editor();
    commitUserName(e.grids[0], 1, L"ln");
    EXPECT_EQ(applyCommands(e, false, disk, dir.path()).outcome, ApplyResult::Outcome::Written);
    EXPECT_FALSE(fs::exists(dir.path() / "Kelva.cuix"));
    Editor again;
    setGridHeaders(again);
    ASSERT_EQ(loadCommandTable(again, *disk.read(dir.path() / "KelvaCmd.ini"), false), std::nullopt);
    EXPECT_EQ(again.grids[0].text(1, ColCurrent), L"LN");
    // Restoring the defaults from the reloaded table brings the first text back.
    EXPECT_EQ(applyCommands(again, true, disk, dir.path()).outcome, ApplyResult::Outcome::Written);
    EXPECT_EQ(disk.read(dir.path() / "Kelva.lsp"), kLisp);
}
