#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <random>
#include <sstream>

#include "cmdedit/apply.h"
#include "cmdedit/names.h"
#include "core/textcodec.h"

using namespace kelva::cmd;
namespace fs = std::filesystem;

namespace {
const wchar_t* kTable =
    L"[Civil]\r\nLL=선 그리기>LL\r\nCC=원 그리기>CC\r\n\r\n"
    L"[레이어]\r\nLA=레이어 켜기>LA\r\n\r\n";
const wchar_t* kMenu =
    L"[선 그리기]^C^C_LL\r\n[원 그리기]^C^C_cc\r\nID_LL [_Button(\"선\", \"LL\")]^C^C_LL\r\n[레이어 켜기]^C^C_LA\r\n";
const wchar_t* kLisp = L"(defun c:LL() (k:line))\r\n(defun c:cc() (k:circle))\r\n(defun c:LA() (k:on))\r\n";

Editor editor(const std::wstring& table = kTable) {
    Editor e;
    setGridHeaders(e);
    EXPECT_EQ(loadCommandTable(e, table, false), std::nullopt);
    return e;
}

class TempDir {
public:
    TempDir() {
        // Test processes run side by side: the name must differ between processes too.
        static std::random_device seed;
        path_ = fs::temp_directory_path() / ("kelvacmd_apply_" + std::to_string(seed()) + "_" + std::to_string(seed()));
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

void putBytes(const fs::path& p, const std::string& bytes) {
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out << bytes;
}

int entriesIn(const fs::path& dir) {
    int n = 0;
    for ([[maybe_unused]] auto& f : fs::directory_iterator(dir)) ++n;
    return n;
}

// The suite's three files and a derived menu file in a folder of their own.
struct Suite {
    TempDir dir;
    DiskFileStore disk;
    Suite() {
        putBytes(dir.path() / "Kelva.mns", *kelva::encodeStrict(kelva::Codec::Cp949, kMenu));
        putBytes(dir.path() / "Kelva.lsp", *kelva::encodeStrict(kelva::Codec::Cp949, kLisp));
        putBytes(dir.path() / "KelvaCmd.ini", *kelva::encodeStrict(kelva::Codec::Cp949, kTable));
        putBytes(dir.path() / "Kelva.mnr", "derived");
    }
    std::array<std::string, 3> files() const {
        return {bytesOf(dir.path() / "Kelva.mns"), bytesOf(dir.path() / "Kelva.lsp"), bytesOf(dir.path() / "KelvaCmd.ini")};
    }
    std::wstring text(const char* name) { return disk.read(dir.path() / name).value_or(L"<unreadable>"); }
};

// The real disk, with one chosen step of the store failing.
class FaultyDisk : public DiskFileStore {
public:
    int failAt = -1;  // the step (counted from 0) that fails; -1 for none
    int steps = 0;
    bool injected = false;
    std::optional<std::string> readBytes(const fs::path& p) override {
        return fail() ? std::nullopt : DiskFileStore::readBytes(p);
    }
    bool writeNew(const fs::path& p, const std::string& bytes) override {
        // A failed write may leave part of the file behind.
        if (fail()) {
            DiskFileStore::writeNew(p, bytes.substr(0, bytes.size() / 2));
            return false;
        }
        return DiskFileStore::writeNew(p, bytes);
    }
    bool replace(const fs::path& from, const fs::path& to) override { return !fail() && DiskFileStore::replace(from, to); }
    bool copyNew(const fs::path& from, const fs::path& to) override { return !fail() && DiskFileStore::copyNew(from, to); }
    bool readOnly(const fs::path& p) override { return fail() || DiskFileStore::readOnly(p); }

private:
    bool fail() {
        if (injected || steps++ != failAt) return false;
        injected = true;
        return true;
    }
};

// The real disk until a chosen step, when it stops taking anything (the program killed, the
// disk gone): that step and every later one fail.
class StoppingDisk : public DiskFileStore {
public:
    int stopAt = 0;
    bool stopped = false;
    std::optional<std::string> readBytes(const fs::path& p) override {
        return go() ? DiskFileStore::readBytes(p) : std::nullopt;
    }
    bool writeNew(const fs::path& p, const std::string& bytes) override { return go() && DiskFileStore::writeNew(p, bytes); }
    bool replace(const fs::path& from, const fs::path& to) override { return go() && DiskFileStore::replace(from, to); }
    bool copyNew(const fs::path& from, const fs::path& to) override { return go() && DiskFileStore::copyNew(from, to); }
    bool readOnly(const fs::path& p) override { return !go() || DiskFileStore::readOnly(p); }
    void remove(const fs::path& p) override {
        if (go()) DiskFileStore::remove(p);
    }

private:
    int steps_ = 0;
    bool go() {
        if (steps_++ == stopAt) stopped = true;
        return !stopped;
    }
};

// A read that gives one byte fewer than the file holds.
class ShortReadDisk : public DiskFileStore {
protected:
    std::size_t readSome(std::FILE* f, char* into, std::size_t size) override {
        return DiskFileStore::readSome(f, into, size > 0 ? size - 1 : 0);
    }
};
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

TEST(ApplyPatterns, RestoreDefaultsStartsFromTheNamesTheFilesCarry) {
    // The files carry LN; the user has typed ZZ since and not applied it.
    Editor e = editor(L"[Civil]\r\nLL=선 그리기>LN\r\n\r\n");
    commitUserName(e.grids[0], 1, L"ZZ");
    std::array<std::wstring, 3> t = {L"[선 그리기]^C^C_LN", L"(defun c:ln()", L"LL=선 그리기>LN"};
    applyPatterns(e, true, t);
    EXPECT_EQ(t[MenuSource], L"[선 그리기]^C^C_LL");
    EXPECT_EQ(t[LispSource], L"(defun c:LL()");
    EXPECT_EQ(t[CommandTable], L"LL=선 그리기>LL");
}

TEST(ApplyCommands, RewritesAllThreeThenDeletesDerivedMenus) {
    Suite s;
    ASSERT_TRUE(s.disk.write(s.dir.path() / "Kelva.cuix", L"z"));
    Editor e = editor();
    commitUserName(e.grids[1], 1, L"lo");
    auto r = applyCommands(e, false, s.disk, s.dir.path());
    EXPECT_EQ(r.outcome, ApplyResult::Outcome::Written);
    EXPECT_FALSE(fs::exists(s.dir.path() / "Kelva.mnr"));
    EXPECT_FALSE(fs::exists(s.dir.path() / "Kelva.cuix"));
    EXPECT_NE(s.text("Kelva.mns").find(L"^C^C_LO"), std::wstring::npos);
    EXPECT_NE(s.text("Kelva.lsp").find(L"c:LO()"), std::wstring::npos);
    EXPECT_NE(s.text("KelvaCmd.ini").find(L"켜기>LO"), std::wstring::npos);
    EXPECT_EQ(entriesIn(s.dir.path()), 3);  // no temporary file or backup left behind
}

TEST(ApplyCommands, MissingFileWritesNothing) {
    Suite s;
    fs::remove(s.dir.path() / "KelvaCmd.ini");
    Editor e = editor();
    commitUserName(e.grids[1], 1, L"lo");
    auto r = applyCommands(e, false, s.disk, s.dir.path());
    EXPECT_EQ(r.outcome, ApplyResult::Outcome::Missing);
    EXPECT_EQ(r.message, s.dir.path().wstring() + L"\\KelvaCmd.ini 파일을 찾을 수 없습니다 ");
    EXPECT_EQ(s.text("Kelva.mns"), kMenu);
    EXPECT_TRUE(fs::exists(s.dir.path() / "Kelva.mnr"));  // nothing happened, so AutoCAD's files stay
}

TEST(ApplyCommands, FilesThatCannotBeReadWhollyOrStrictlyAreNeverRewritten) {
    Editor e = editor();
    commitUserName(e.grids[0], 1, L"ln");
    const std::string utf8Lisp = "(defun c:LL() (princ \"\xEC\x84\xA0 \xEA\xB7\xB8\xEB\xA6\xAC\xEA\xB8\xB0\"))\r\n";
    {
        // A LISP file saved as UTF-8: decoding it as code page 949 would store "?" on the way back.
        Suite s;
        putBytes(s.dir.path() / "Kelva.lsp", utf8Lisp);
        auto before = s.files();
        auto r = applyCommands(e, false, s.disk, s.dir.path());
        EXPECT_EQ(r.outcome, ApplyResult::Outcome::ReadFailed);
        EXPECT_NE(r.message.find(L"Kelva.lsp 파일에 한글 코드(CP949)가 아닌 문자가 있어"), std::wstring::npos);
        EXPECT_EQ(s.files(), before);
        EXPECT_TRUE(fs::exists(s.dir.path() / "Kelva.mnr"));
    }
    {
        // A read that stops short of the file's size.
        Suite s;
        ShortReadDisk shortRead;
        auto before = s.files();
        auto r = applyCommands(e, false, shortRead, s.dir.path());
        EXPECT_EQ(r.outcome, ApplyResult::Outcome::ReadFailed);
        EXPECT_EQ(r.message, s.dir.path().wstring() + L"\\Kelva.mns 파일 읽는 중 에러");
        EXPECT_EQ(s.files(), before);
    }
    {
        // An empty command table is never taken as a text to rewrite.
        Suite s;
        putBytes(s.dir.path() / "KelvaCmd.ini", "");
        auto r = applyCommands(e, false, s.disk, s.dir.path());
        EXPECT_EQ(r.outcome, ApplyResult::Outcome::ReadFailed);
        EXPECT_EQ(r.message, s.dir.path().wstring() + L"\\KelvaCmd.ini 파일이 비어 있습니다 ");
        EXPECT_EQ(s.text("Kelva.lsp"), kLisp);
    }
}

TEST(ApplyCommands, ANameOutsideCodePage949IsRefusedBeforeAnyWrite) {
    Suite s;
    Editor e = editor();
    e.grids[0].setText(1, ColUser, L"L\U0001F600");
    auto before = s.files();
    auto r = applyCommands(e, false, s.disk, s.dir.path());
    EXPECT_EQ(r.outcome, ApplyResult::Outcome::WriteFailed);
    EXPECT_NE(r.message.find(L"Kelva.mns 파일에 한글 코드(CP949)로 쓸 수 없는"), std::wstring::npos);
    EXPECT_EQ(s.files(), before);
}

TEST(ApplyCommands, AFailedWriteLeavesAllThreeOldAndNamesTheFile) {
    Suite s;
    Editor e = editor();
    commitUserName(e.grids[1], 1, L"lo");
    auto before = s.files();
    // The third file is read-only: the two before it must not be replaced either.
    fs::permissions(s.dir.path() / "KelvaCmd.ini", fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    auto r = applyCommands(e, false, s.disk, s.dir.path());
    fs::permissions(s.dir.path() / "KelvaCmd.ini", fs::perms::owner_write, fs::perm_options::add);
    EXPECT_EQ(r.outcome, ApplyResult::Outcome::WriteFailed);
    EXPECT_EQ(r.message, s.dir.path().wstring() + L"\\KelvaCmd.ini 파일에 쓸 수 없습니다");
    EXPECT_EQ(s.files(), before);
    EXPECT_TRUE(fs::exists(s.dir.path() / "Kelva.mnr"));
    EXPECT_EQ(entriesIn(s.dir.path()), 4);
}

TEST(ApplyCommands, ASecondApplyWithNothingNewChangesNothing) {
    Suite s;
    Editor e = editor();
    commitUserName(e.grids[0], 1, L"ln");
    ASSERT_EQ(applyCommands(e, false, s.disk, s.dir.path()).outcome, ApplyResult::Outcome::Written);
    takeAppliedNames(e);
    EXPECT_EQ(e.grids[0].text(1, ColCurrent), L"LN");
    ASSERT_TRUE(s.disk.write(s.dir.path() / "Kelva.mnr", L"derived"));
    auto after = s.files();
    auto r = applyCommands(e, false, s.disk, s.dir.path());
    EXPECT_EQ(r.outcome, ApplyResult::Outcome::Unchanged);
    EXPECT_EQ(r.message, kNothingChangedMessage);
    EXPECT_EQ(s.files(), after);
    EXPECT_TRUE(fs::exists(s.dir.path() / "Kelva.mnr"));
    // A row changed twice in one run: the second rename starts from the name the first one wrote.
    commitUserName(e.grids[0], 1, L"lm");
    EXPECT_EQ(applyCommands(e, false, s.disk, s.dir.path()).outcome, ApplyResult::Outcome::Written);
    EXPECT_NE(s.text("Kelva.lsp").find(L"(defun c:LM()"), std::wstring::npos);
    takeAppliedNames(e);
    // And restoring the defaults from there brings the first texts back.
    EXPECT_EQ(applyCommands(e, true, s.disk, s.dir.path()).outcome, ApplyResult::Outcome::Written);
    EXPECT_EQ(s.text("Kelva.lsp"), kLisp);
}

// For a failure at each step of an apply, in turn, the three files are all old or all new, no
// temporary file or backup is left, and AutoCAD's derived menu files go only with a full success.
TEST(ApplyTransaction, AFailureAtAnyStepLeavesTheFilesAllOldOrAllNew) {
    std::mt19937 random(20261209);
    int runs = 0, failures = 0;
    for (int round = 0; round < 6; ++round) {
        // Random renames of some of the commands.
        Editor e = editor();
        std::uniform_int_distribution<int> pick(0, 2);
        const std::array<std::pair<int, int>, 3> rows = {{{0, 1}, {0, 2}, {1, 1}}};
        for (auto [g, r] : rows)
            if (pick(random) != 0) commitUserName(e.grids[static_cast<std::size_t>(g)], r, L"N" + std::to_wstring(pick(random) + 10 * round));
        Suite clean;
        auto old = clean.files();
        if (applyCommands(e, false, clean.disk, clean.dir.path()).outcome != ApplyResult::Outcome::Written) continue;
        auto fresh = clean.files();
        for (int step = 0;; ++step) {
            Suite s;
            FaultyDisk disk;
            disk.failAt = step;
            auto r = applyCommands(e, false, disk, s.dir.path());
            ++runs;
            auto now = s.files();
            if (!disk.injected) {
                EXPECT_EQ(r.outcome, ApplyResult::Outcome::Written);
                EXPECT_EQ(now, fresh);
                break;
            }
            ++failures;
            const bool allNew = now == fresh, allOld = now == old;
            EXPECT_TRUE(allNew || allOld) << "round " << round << ", failure at step " << step;
            EXPECT_EQ(r.outcome == ApplyResult::Outcome::Written, allNew) << "step " << step;
            EXPECT_EQ(fs::exists(s.dir.path() / "Kelva.mnr"), !allNew) << "step " << step;
            EXPECT_EQ(entriesIn(s.dir.path()), allNew ? 3 : 4) << "step " << step;
            EXPECT_EQ(r.message.empty(), allNew) << "step " << step;
        }
    }
    EXPECT_GT(failures, 6 * 8);  // every read, check, write and move of each round was made to fail
    EXPECT_GT(runs, failures);
}

// Whatever step the disk stops at, every file is whole (its old or its new text, never missing),
// a file left with its new text is named with the backup that holds its old one, and a backup an
// earlier run left is never overwritten.
TEST(ApplyTransaction, EachFileIsReplacedInOneStepAndNoOldTextIsLost) {
    Editor e = editor();
    commitUserName(e.grids[0], 1, L"ln");  // a rename in all three files
    Suite clean;
    const auto old = clean.files();
    ASSERT_EQ(applyCommands(e, false, clean.disk, clean.dir.path()).outcome, ApplyResult::Outcome::Written);
    const auto fresh = clean.files();
    const std::array<const char*, 3> names = {"Kelva.mns", "Kelva.lsp", "KelvaCmd.ini"};
    std::vector<fs::path> leftovers;  // backups earlier runs left, by name
    int leftNew = 0;
    for (int step = 0;; ++step) {
        Suite s;
        const fs::path& dir = s.dir.path();
        const std::vector<fs::path> earlier = leftovers;
        for (const auto& name : earlier) putBytes(dir / name, "older backup");
        StoppingDisk disk;
        disk.stopAt = step;
        const auto r = applyCommands(e, false, disk, dir);
        const auto now = s.files();
        for (std::size_t f = 0; f < 3; ++f) {
            ASSERT_TRUE(fs::exists(dir / names[f])) << names[f] << ", stopped at step " << step;
            EXPECT_TRUE(now[f] == old[f] || now[f] == fresh[f]) << names[f] << ", stopped at step " << step;
            if (now[f] != fresh[f] || r.outcome == ApplyResult::Outcome::Written) continue;
            ++leftNew;
            EXPECT_NE(r.message.find(dir.wstring() + L"\\" + fs::path(names[f]).wstring()), std::wstring::npos) << r.message;
            std::optional<fs::path> backup;
            for (const auto& entry : fs::directory_iterator(dir))
                if (entry.path().filename() != names[f] && bytesOf(entry.path()) == old[f]) backup = entry.path().filename();
            ASSERT_TRUE(backup) << names[f] << ": its old text is nowhere, stopped at step " << step;
            EXPECT_NE(r.message.find(dir.wstring() + L"\\" + backup->wstring() + L" 파일에 있습니다"), std::wstring::npos) << r.message;
            if (std::find(leftovers.begin(), leftovers.end(), *backup) == leftovers.end()) leftovers.push_back(*backup);
        }
        for (const auto& name : earlier) EXPECT_EQ(bytesOf(dir / name), "older backup") << name << ", stopped at step " << step;
        if (!disk.stopped) {
            EXPECT_EQ(r.outcome, ApplyResult::Outcome::Written);
            EXPECT_EQ(now, fresh);
            break;
        }
    }
    EXPECT_GT(leftNew, 0);  // some stops came after a file was replaced
    EXPECT_FALSE(leftovers.empty());
}

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
    EXPECT_EQ(entriesIn(dir.path()), 1);  // no temporary file left behind
    // A text the code page cannot carry is not written with "?" in its place.
    EXPECT_FALSE(disk.write(p, L"a\U0001F600"));
    EXPECT_EQ(bytesOf(p), "ab");
}

TEST(DiskFiles, WriteThatCannotCompleteKeepsTheOldFile) {
    TempDir dir;
    DiskFileStore disk;
    auto blocked = dir.path() / "KelvaCmd.ini";
    fs::create_directory(blocked);  // a folder where the file should be
    EXPECT_FALSE(disk.write(blocked, L"x"));
    EXPECT_TRUE(fs::is_directory(blocked));
    EXPECT_FALSE(disk.write(dir.path() / "missing" / "Kelva.mns", L"x"));
    EXPECT_EQ(entriesIn(dir.path()), 1);
}

TEST(DiskFiles, ReadsAreWholeAndStrict) {
    TempDir dir;
    DiskFileStore disk;
    auto p = dir.path() / "Kelva.lsp";
    putBytes(p, "(defun c:LL())\xBC\xB1");
    EXPECT_EQ(readText(disk, p).text, L"(defun c:LL())선");
    ShortReadDisk shortRead;
    EXPECT_EQ(readText(shortRead, p).error, ReadError::Unreadable);
    putBytes(p, "\xEC\x84\xA0");  // "선" in UTF-8
    EXPECT_EQ(readText(disk, p).error, ReadError::NotCp949);
    putBytes(p, "");
    EXPECT_EQ(readText(disk, p).error, ReadError::Empty);
    EXPECT_EQ(readText(disk, dir.path() / "none").error, ReadError::Unreadable);
}

TEST(DiskFiles, WholeApplyOnARealFolder) {
    Suite s;
    Editor e = editor();
    commitUserName(e.grids[0], 1, L"ln");
    EXPECT_EQ(applyCommands(e, false, s.disk, s.dir.path()).outcome, ApplyResult::Outcome::Written);
    Editor again;
    setGridHeaders(again);
    ASSERT_EQ(loadCommandTable(again, *s.disk.read(s.dir.path() / "KelvaCmd.ini"), false), std::nullopt);
    EXPECT_EQ(again.grids[0].text(1, ColCurrent), L"LN");
    // Restoring the defaults from the reloaded table brings the first text back.
    EXPECT_EQ(applyCommands(again, true, s.disk, s.dir.path()).outcome, ApplyResult::Outcome::Written);
    EXPECT_EQ(s.text("Kelva.lsp"), kLisp);
}
