#include <gtest/gtest.h>

#include "core/textcodec.h"
#include "setup/atomic_write.h"
#include "setup/cui_patch.h"
#include "setup/tests/fakes.h"

using namespace kelva::setup;
using namespace kelva::setup::fakes;

namespace {
const std::wstring kLine = L"        <PartialMenuFile>kelva.cui</PartialMenuFile>";
std::string utf8(std::wstring_view t) { return kelva::encodeLenient(kelva::Codec::Utf8, t); }
}  // namespace

TEST(PartialMenuPatch, CrlfFileWithFourBlanksGetsTheLineBeforeTheLineBreak) {
    auto out = insertPartialMenu(L"A\r\n    </CommonItems>", L"kelva.cui");
    ASSERT_TRUE(out);
    EXPECT_EQ(*out, L"A" + kLine + L"\r\n\r\n    </CommonItems>");
}

TEST(PartialMenuPatch, TypicalAutoCadLayoutStaysWellFormed) {
    const std::wstring in =
        L"<CustSection>\r\n  <CommonItems>\r\n    <PartialMenuFile>acad2.cui</PartialMenuFile>\r\n"
        L"  </CommonItems>\r\n</CustSection>\r\n";
    auto out = insertPartialMenu(in, L"kelva.cui");
    ASSERT_TRUE(out);
    // The six characters before the tag are not all blanks (two-blank indentation),
    // so the line goes at the start of the tag's line.
    EXPECT_EQ(*out, L"<CustSection>\r\n  <CommonItems>\r\n    <PartialMenuFile>acad2.cui</PartialMenuFile>\r\n" + kLine +
                        L"\r\n  </CommonItems>\r\n</CustSection>\r\n");
}

TEST(PartialMenuPatch, LfTabsAndOtherIndentationGetTheLineAtTheStartOfTheTagsLine) {
    EXPECT_EQ(*insertPartialMenu(L"<a>\n    </CommonItems>", L"kelva.cui"), L"<a>\n" + kLine + L"\r\n    </CommonItems>");
    EXPECT_EQ(*insertPartialMenu(L"<a>\r\n\t\t</CommonItems>", L"kelva.cui"),
              L"<a>\r\n" + kLine + L"\r\n\t\t</CommonItems>");
    EXPECT_EQ(*insertPartialMenu(L"</CommonItems>", L"kelva.cui"), kLine + L"\r\n</CommonItems>");
    // The tag after other markup on its line: the line goes right in front of the tag.
    EXPECT_EQ(*insertPartialMenu(L"<x/>\n<CommonItems></CommonItems>", L"kelva.cui"),
              L"<x/>\n<CommonItems>" + kLine + L"\r\n</CommonItems>");
    // Six blanks of an LF file with deeper indentation.
    EXPECT_EQ(*insertPartialMenu(L"<a>\n        </CommonItems>", L"kelva.cui"),
              L"<a>\n  " + kLine + L"\r\n      </CommonItems>");
}

TEST(PartialMenuPatch, ACrlfPairIsNeverSplit) {
    // Five blanks of indentation put the six characters' start between CR and LF: the line goes in
    // front of the pair, so no bare CR or LF is left behind.
    EXPECT_EQ(*insertPartialMenu(L"<a>\r\n     </CommonItems>", L"kelva.cui"),
              L"<a>" + kLine + L"\r\n\r\n     </CommonItems>");
    EXPECT_EQ(*insertPartialMenu(L"<a>\r\n\t\t\t\t\t</CommonItems>", L"kelva.cui"),
              L"<a>" + kLine + L"\r\n\r\n\t\t\t\t\t</CommonItems>");
}

TEST(PartialMenuPatch, OnlyTheFirstTagAndNoneWithoutIt) {
    auto out = insertPartialMenu(L"x\r\n    </CommonItems>\r\n    </CommonItems>", L"km.cui");
    ASSERT_TRUE(out);
    EXPECT_EQ(out->find(L"km.cui"), out->rfind(L"km.cui"));
    EXPECT_LT(out->find(L"km.cui"), out->find(L"</CommonItems>"));
    EXPECT_FALSE(insertPartialMenu(L"<CustSection/>", L"kelva.cui"));
    EXPECT_FALSE(insertPartialMenu(L"", L"kelva.cui"));
    EXPECT_FALSE(insertPartialMenu(L"</commonitems>", L"kelva.cui"));  // the tag is case-sensitive
}

TEST(PartialMenuPatch, ThePresenceTestLooksForTheNameInsertedInAnyCase) {
    EXPECT_FALSE(insertPartialMenu(L"<PartialMenuFile>KM.CUI</PartialMenuFile>\r\n    </CommonItems>", L"km.cui"));
    // kelva.cui named, but the suite's menu is km.cui this time: it is added.
    EXPECT_TRUE(insertPartialMenu(L"<PartialMenuFile>kelva.cui</PartialMenuFile>\r\n    </CommonItems>", L"km.cui"));
    auto once = insertPartialMenu(L"a\r\n    </CommonItems>", L"Kelva.cui");
    ASSERT_TRUE(once);
    EXPECT_FALSE(insertPartialMenu(*once, L"kelva.cui"));
}

class CuiFileTest : public ::testing::Test {
protected:
    SetupWorld world;
    Registrar registrar{world.services()};
    const std::wstring path = L"C:\\Users\\u\\acad.cui";
    const std::wstring backup = L"C:\\Users\\u\\acad.bak";
};

TEST_F(CuiFileTest, BomKoreanTextAndCrlfComeThroughByteForByte) {
    const std::wstring text = L"\xFEFF<?xml?>\r\n<!-- 한글 메뉴 -->\r\n    </CommonItems>";
    world.files.put(path, utf8(text));
    world.files.put(backup, "old backup");
    registrar.AddPartialMenu(L"kelva.cui", path);
    EXPECT_FALSE(registrar.gSetupFailed);
    EXPECT_EQ(world.files.get(path), utf8(*insertPartialMenu(text, L"kelva.cui")));
    EXPECT_EQ(world.files.get(path).substr(0, 3), "\xEF\xBB\xBF");
    EXPECT_EQ(world.files.get(backup), utf8(text));
    EXPECT_EQ(world.files.files.size(), 2u);  // no temporary file left
}

// The inserted line ends with CRLF in a file of LF lines as in one of CRLF lines; every other byte
// (BOM, Korean text, the file's own line ends, a last line without an end) stays as it was.
TEST_F(CuiFileTest, TheInsertedLineEndsWithCrlfWhateverTheFilesLineEnds) {
    const std::string line = "        <PartialMenuFile>kelva.cui</PartialMenuFile>\r\n";
    const std::string bom = "\xEF\xBB\xBF";
    const std::string korean = utf8(L"<!-- 한글 메뉴 -->");
    for (const std::string eol : {"\n", "\r\n"}) {
        SCOPED_TRACE(eol.size() == 1 ? "LF file" : "CRLF file");
        SetupWorld w;
        Registrar r(w.services());
        const std::string head = bom + "<CustSection>" + eol + "  <CommonItems>" + eol + "    " + korean + eol;
        const std::string tail = "  </CommonItems>" + eol + "</CustSection>";
        w.files.put(path, head + tail);
        r.AddPartialMenu(L"kelva.cui", path);
        EXPECT_FALSE(r.gSetupFailed);
        EXPECT_EQ(w.files.get(path), head + line + tail);
        EXPECT_EQ(w.files.get(backup), head + tail);
    }
}

TEST_F(CuiFileTest, AFileThatNamesTheMenuIsNeitherRewrittenNorBackedUp) {
    world.files.put(path, utf8(L"<PartialMenuFile>kelva.cui</PartialMenuFile>\r\n    </CommonItems>"));
    registrar.AddPartialMenu(L"kelva.cui", path);
    EXPECT_FALSE(world.files.has(backup));
    EXPECT_EQ(world.files.operations, 0);
}

TEST_F(CuiFileTest, MissingOrEmptyFilesAreLeftAloneSilently) {
    registrar.AddPartialMenu(L"kelva.cui", path);
    world.files.put(path, "");
    registrar.AddPartialMenu(L"kelva.cui", path);
    EXPECT_FALSE(registrar.gSetupFailed);
    EXPECT_EQ(world.files.operations, 0);
    EXPECT_EQ(world.files.get(path), "");
}

TEST_F(CuiFileTest, InvalidUtf8IsAReadFailureAndNothingIsWritten) {
    const std::string bad = "<a>\xC3\x28 \xFF\r\n    </CommonItems>";
    world.files.put(path, bad);
    registrar.AddPartialMenu(L"kelva.cui", path);
    EXPECT_TRUE(registrar.gSetupFailed);
    EXPECT_EQ(registrar.gSetupErrors, L"CUI 파일 열기 실패");
    EXPECT_EQ(world.files.get(path), bad);
    EXPECT_EQ(world.files.operations, 0);
}

TEST_F(CuiFileTest, AnUnreadableFileIsAReadFailure) {
    world.files.put(path, "x\r\n    </CommonItems>");
    world.files.unreadable.insert(MemoryFiles::key(path));
    registrar.gSetupErrors = L"earlier";
    registrar.AddPartialMenu(L"kelva.cui", path);
    EXPECT_EQ(registrar.gSetupErrors, L"CUI 파일 열기 실패");  // replaces, as the menu step's texts do
}

TEST_F(CuiFileTest, AReadOnlyFileIsAWriteFailureAndStaysAsItWas) {
    const std::string original = "x\r\n    </CommonItems>";
    world.files.put(path, original);
    world.files.readOnly.insert(MemoryFiles::key(path));
    registrar.AddPartialMenu(L"kelva.cui", path);
    EXPECT_EQ(registrar.gSetupErrors, L"CUI 파일 등록 실패");
    EXPECT_EQ(world.files.get(path), original);
    EXPECT_EQ(world.files.files.size(), 1u);
}

// Whatever step of the rewrite fails, the file holds its old or its new content whole.
TEST_F(CuiFileTest, AFailureAtEachStepLeavesAWholeFile) {
    const std::string original = "x\r\n    </CommonItems>";
    const std::string patched = utf8(*insertPartialMenu(L"x\r\n    </CommonItems>", L"kelva.cui"));
    for (const wchar_t* step : {L"write", L"replace", L"replace-half"}) {
        SCOPED_TRACE(::testing::Message() << std::string(step, step + wcslen(step)));
        SetupWorld w;
        Registrar r(w.services());
        w.files.put(path, original);
        w.files.failOn = step;
        r.AddPartialMenu(L"kelva.cui", path);
        EXPECT_EQ(r.gSetupErrors, L"CUI 파일 등록 실패");
        EXPECT_EQ(w.files.get(path), original);
        for (const auto& [name, bytes] : w.files.files)
            EXPECT_TRUE(name == MemoryFiles::key(path) || name == MemoryFiles::key(backup)) << "left behind";
    }
    SetupWorld w;
    w.files.put(path, original);
    EXPECT_TRUE(replaceFileContents(w.files, path, patched, backup));
    EXPECT_EQ(w.files.get(path), patched);
    EXPECT_EQ(w.files.get(backup), original);
}

TEST(AtomicWrite, AMissingTargetIsCreatedAndAFailedWriteLeavesNoFile) {
    MemoryFiles files;
    EXPECT_TRUE(replaceFileContents(files, L"C:\\d\\new.cui", "abc", L"C:\\d\\new.bak"));
    EXPECT_EQ(files.get(L"C:\\d\\new.cui"), "abc");
    EXPECT_FALSE(files.has(L"C:\\d\\new.bak"));
    files.failOn = L"write";
    EXPECT_FALSE(replaceFileContents(files, L"C:\\d\\other.cui", "abc", L"C:\\d\\other.bak"));
    EXPECT_EQ(files.files.size(), 1u);
}
