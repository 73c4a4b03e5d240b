// The customization-file rewrite on real files: encodings, line ends, read-only and locked files,
// and a failure at each step of the replacement.
#include <windows.h>

#include "core/textcodec.h"
#include "setup/cui_patch.h"
#include "setup/tests/fakes.h"
#include "setup/tests/win_support.h"
#include "setup/win/win_files.h"

using namespace kelva::setup;
using namespace kelva::setup::fakes;
using namespace kelva::setup::wintest;

namespace {

std::string utf8(std::wstring_view t) { return kelva::encodeLenient(kelva::Codec::Utf8, t); }

// The real file system, failing at one chosen step the way a full disk or a crash would.
class FaultyFiles : public WinFiles {
public:
    std::wstring failOn;
    bool writeNew(std::wstring_view path, std::string_view bytes) override {
        if (failOn == L"write") {
            WinFiles::writeNew(path, bytes.substr(0, bytes.size() / 2));
            return false;
        }
        return WinFiles::writeNew(path, bytes);
    }
    bool replace(std::wstring_view target, std::wstring_view replacement, std::wstring_view backup) override {
        if (failOn == L"replace") return false;
        if (failOn == L"replace-half") {
            // The old file went to the backup name, the new one never arrived.
            const std::wstring t(target), b(backup);
            MoveFileExW(t.c_str(), b.c_str(), MOVEFILE_REPLACE_EXISTING);
            return false;
        }
        return WinFiles::replace(target, replacement, backup);
    }
};

struct PatchResult {
    bool failed;
    std::wstring errors;
};

PatchResult patch(FileStore& files, const std::wstring& path) {
    SetupWorld w;
    SetupServices s = w.services();
    Registrar r(SetupServices{s.registry, files, s.ini, s.servers, s.probe, s.messages, s.programFolder});
    r.AddPartialMenu(L"kelva.cui", path);
    return {r.gSetupFailed, r.gSetupErrors};
}

bool temporaryFileLeft(const std::wstring& folder) {
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((folder + L"\\~kelva*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return false;
    FindClose(h);
    return true;
}

int filesIn(const std::wstring& folder) {
    int n = 0;
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((folder + L"\\*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return 0;
    do {
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) ++n;
    } while (FindNextFileW(h, &fd));
    FindClose(h);
    return n;
}

}  // namespace

TEST(CuiOnDisk, EveryLayoutGetsTheLineAndKeepsItsBytes) {
    const std::wstring layouts[] = {
        L"<a>\r\n    </CommonItems>\r\n",
        L"<a>\n    </CommonItems>\n",
        L"<a>\r\n\t\t</CommonItems>\r\n",
        L"\xFEFF<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<!-- 사용자 메뉴 -->\r\n  </CommonItems>\r\n",
    };
    for (const auto& text : layouts) {
        ScratchFolder dir;
        const std::wstring path = dir / L"acad.cui";
        ASSERT_TRUE(writeBytes(path, utf8(text)));
        ASSERT_TRUE(writeBytes(dir / L"acad.bak", "an older backup"));
        WinFiles files;
        const PatchResult run = patch(files, path);
        EXPECT_FALSE(run.failed) << std::string(run.errors.begin(), run.errors.end());
        EXPECT_EQ(readBytes(path), utf8(*insertPartialMenu(text, L"kelva.cui")));
        EXPECT_EQ(readBytes(dir / L"acad.bak"), utf8(text));
        EXPECT_EQ(filesIn(dir.path()), 2);
        // A second run finds the line and touches nothing.
        EXPECT_FALSE(patch(files, path).failed);
        EXPECT_EQ(readBytes(dir / L"acad.bak"), utf8(text));
    }
}

TEST(CuiOnDisk, TheLineEndsWithCrlfInLfAndCrlfFiles) {
    const std::string line = "        <PartialMenuFile>kelva.cui</PartialMenuFile>\r\n";
    for (const std::string eol : {"\n", "\r\n"}) {
        ScratchFolder dir;
        const std::wstring path = dir / L"acad.cui";
        const std::string head = "\xEF\xBB\xBF<CustSection>" + eol + "  <CommonItems>" + eol;
        const std::string tail = "  </CommonItems>" + eol + "</CustSection>" + eol;
        ASSERT_TRUE(writeBytes(path, head + tail));
        WinFiles files;
        EXPECT_FALSE(patch(files, path).failed);
        EXPECT_EQ(readBytes(path), head + line + tail) << (eol.size() == 1 ? "LF file" : "CRLF file");
    }
}

TEST(CuiOnDisk, InvalidUtf8IsNotRewritten) {
    ScratchFolder dir;
    const std::wstring path = dir / L"acad.cui";
    const std::string bad = "<a>\xC3\x28 \xFF\r\n    </CommonItems>";
    ASSERT_TRUE(writeBytes(path, bad));
    WinFiles files;
    const PatchResult run = patch(files, path);
    EXPECT_EQ(run.errors, L"CUI 파일 열기 실패");
    EXPECT_EQ(readBytes(path), bad);
    EXPECT_EQ(filesIn(dir.path()), 1);
}

TEST(CuiOnDisk, ALockedFileIsAReadFailure) {
    ScratchFolder dir;
    const std::wstring path = dir / L"acad.cui";
    ASSERT_TRUE(writeBytes(path, "<a>\r\n    </CommonItems>"));
    HANDLE lock = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    WinFiles files;
    const PatchResult run = patch(files, path);
    CloseHandle(lock);
    EXPECT_EQ(run.errors, L"CUI 파일 열기 실패");
    EXPECT_EQ(readBytes(path), "<a>\r\n    </CommonItems>");
}

TEST(CuiOnDisk, AReadOnlyFileIsAWriteFailureAndStaysAsItWas) {
    ScratchFolder dir;
    const std::wstring path = dir / L"acad.cui";
    ASSERT_TRUE(writeBytes(path, "<a>\r\n    </CommonItems>"));
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY);
    WinFiles files;
    const PatchResult run = patch(files, path);
    EXPECT_EQ(run.errors, L"CUI 파일 등록 실패");
    EXPECT_EQ(readBytes(path), "<a>\r\n    </CommonItems>");
    EXPECT_EQ(GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_READONLY, static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(filesIn(dir.path()), 1);
}

TEST(CuiOnDisk, AFailureAtEachStepLeavesTheOldFileWholeAndNoTemporaryFile) {
    const std::string original = utf8(L"<a>한글\r\n    </CommonItems>");
    for (const wchar_t* step : {L"write", L"replace", L"replace-half"}) {
        SCOPED_TRACE(::testing::Message() << std::string(step, step + wcslen(step)));
        ScratchFolder dir;
        const std::wstring path = dir / L"acad.cui";
        ASSERT_TRUE(writeBytes(path, original));
        ASSERT_TRUE(writeBytes(dir / L"acad.bak", "previous"));
        FaultyFiles files;
        files.failOn = step;
        const PatchResult run = patch(files, path);
        EXPECT_EQ(run.errors, L"CUI 파일 등록 실패");
        EXPECT_EQ(readBytes(path), original);
        EXPECT_FALSE(temporaryFileLeft(dir.path()));
    }
}
