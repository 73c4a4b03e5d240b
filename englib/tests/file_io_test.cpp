#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "core/errors.h"
#include "core/tests/checks.h"
#include "englib/file_io.h"

#ifdef _WIN32
#include <windows.h>
#endif

using namespace kelva;
using namespace kelva::eng;
namespace fs = std::filesystem;

namespace {
fs::path folder() {
    const fs::path d = fs::temp_directory_path() /
                       (std::string("kelva-fileio-") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(d);
    return d;
}
std::string contents(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}
size_t entries(const fs::path& d) { return static_cast<size_t>(std::distance(fs::directory_iterator(d), fs::directory_iterator())); }
}  // namespace

TEST(OutputFile, ReplacesTheTargetOnlyOnCommit) {
    const fs::path d = folder(), target = d / "out.bin";
    std::ofstream(target) << "old contents that are longer";
    {
        OutputFile f;
        f.open(target);
        f.write("new", 3);
        EXPECT_EQ(contents(target), "old contents that are longer");
        f.commit();
    }
    EXPECT_EQ(contents(target), "new");
    EXPECT_EQ(entries(d), 1u);
    fs::remove_all(d);
}

TEST(OutputFile, AbandonedWritesLeaveNothingBehind) {
    const fs::path d = folder(), target = d / "keep.bin";
    std::ofstream(target) << "keep";
    {
        OutputFile f;
        f.open(target);
        std::string big(300000, 'x');
        f.write(big.data(), big.size());  // beyond the buffer: really on disk
    }  // destroyed without commit
    EXPECT_EQ(contents(target), "keep");
    EXPECT_EQ(entries(d), 1u);
    fs::remove_all(d);
}

TEST(OutputFile, LargeAndSmallWritesKeepTheirOrder) {
    const fs::path d = folder(), target = d / "mix.bin";
    std::string expected;
    OutputFile f;
    f.open(target);
    for (int i = 0; i < 2000; ++i) {
        const std::string piece = i % 100 == 0 ? std::string(70000, static_cast<char>('a' + i % 26)) : std::to_string(i);
        f.write(piece.data(), piece.size());
        expected += piece;
    }
    f.commit();
    EXPECT_EQ(contents(target), expected);
    fs::remove_all(d);
}

TEST(OutputFile, BadNames) {
    const fs::path d = folder();
    std::ofstream(d / "a1.txt") << "1";
    std::ofstream(d / "a2.txt") << "2";
    OutputFile f;
    EXPECT_EQ(errorOf([&] { f.open(d / "a*.txt"); }), kBadFileName);
    EXPECT_EQ(errorOf([&] { f.open(d / "a?.txt"); }), kBadFileName);
    EXPECT_EQ(errorOf([&] { f.open(""); }), kBadFileName);
    EXPECT_EQ(entries(d), 2u);  // the wildcards matched nothing that got touched
    EXPECT_EQ(errorOf([&] { f.open(d / "no-such-folder" / "x.bin"); }), kPathNotFound);
    EXPECT_FALSE(f.isOpen());
    EXPECT_EQ(errorOf([&] { f.write("x", 1); }), kBadFileName);
    fs::remove_all(d);
}

TEST(OutputFile, ATargetThatCannotBeReplacedIsRefusedAtOnce) {
    const fs::path d = folder();
    fs::create_directory(d / "folder.bin");
    const fs::path locked = d / "locked.bin";
    std::ofstream(locked) << "keep";
    fs::permissions(locked, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write, fs::perm_options::remove);
    OutputFile f;
    EXPECT_EQ(errorOf([&] { f.open(d / "folder.bin"); }), err::PathFileAccess);
    EXPECT_EQ(errorOf([&] { f.open(locked); }), err::PathFileAccess);
    EXPECT_FALSE(f.isOpen());
    EXPECT_EQ(entries(d), 2u);  // no temporary file left behind
    EXPECT_EQ(contents(locked), "keep");
    fs::permissions(locked, fs::perms::owner_write, fs::perm_options::add);
#ifdef _WIN32
    // Held open by another program that does not share deletion.
    const fs::path held = d / "held.bin";
    std::ofstream(held) << "held";
    const HANDLE other = CreateFileW(held.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(other, INVALID_HANDLE_VALUE);
    EXPECT_EQ(errorOf([&] { f.open(held); }), err::PathFileAccess);
    CloseHandle(other);
    EXPECT_EQ(entries(d), 3u);
    f.open(held);  // free again
    f.abandon();
#endif
    fs::remove_all(d);
}

TEST(InputFile, ReadsAndReportsMissingFiles) {
    const fs::path d = folder();
    std::ofstream(d / "in.bin") << "hello";
    {
        InputFile in(d / "in.bin");
        EXPECT_EQ(in.size(), 5u);
        char buf[5];
        in.read(buf, 5);
        EXPECT_EQ(std::string(buf, 5), "hello");
        EXPECT_EQ(errorOf([&] { in.read(buf, 1); }), err::InputPastEnd);
    }
    EXPECT_EQ(errorOf([&] { InputFile x(d / "missing.bin"); }), err::FileNotFound);
    fs::remove_all(d);
}
