// The editor window driven by messages under Wine: categories, cell edits, search, buttons, and the
// files behind them. Message boxes are answered through the runtime's seam and recorded.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "cmdedit/apply.h"
#include "cmdedit/file_store.h"
#include "cmdedit/names.h"
#include "cmdedit/win/main_window.h"
#include "runtime/services.h"
#include "runtime/tests/win_support.h"

using namespace kelva;
using namespace kelva::cmd;
using kelva::testing::pump;
namespace fs = std::filesystem;

namespace {

std::wstring tableText(int bigCategory = -1) {
    std::wstring t;
    for (int c = 0; c < kCategories; ++c) {
        t += L"[" + std::wstring(kCategoryNames[static_cast<std::size_t>(c)]) + L"]\r\n";
        if (c == 0) t += L"LL=선 그리기>LL\r\nCC=원 그리기>XC\r\nAR=호 그리기>AR\r\n";
        if (c == 4) t += L"TX=문자 쓰기>TX\r\n";
        if (c == bigCategory)
            for (int i = 0; i < 40; ++i) t += L"B" + std::to_wstring(i) + L"=큰 " + std::to_wstring(i) + L">B" + std::to_wstring(i) + L"\r\n";
        t += L"\r\n";
    }
    return t;
}
const wchar_t* kMenu = L"[선 그리기]^C^C_LL\r\n[원 그리기]^C^C_XC\r\n[호 그리기]^C^C_AR\r\n[문자 쓰기]^C^C_TX\r\n";
const wchar_t* kLisp = L"(defun c:LL()\r\n(defun c:XC()\r\n(defun c:AR()\r\n(defun c:TX()\r\n";

class EditorWindow : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        folder = fs::path(temp) / (L"kelvacmd_" + std::to_wstring(GetCurrentProcessId()) + L"_" + std::to_wstring(GetTickCount()));
        fs::create_directories(folder);
        rt::setMessageBoxAnswerer([this](const rt::MessageBoxRequest& r) {
            messages.push_back(r.text);
            EXPECT_EQ(r.title, L"Kelva 명령어 변경");
            EXPECT_EQ(r.flags, static_cast<UINT>(MB_OK));
            return IDOK;
        });
    }
    void TearDown() override {
        window.reset();
        rt::setMessageBoxAnswerer({});
        std::error_code ec;
        fs::remove_all(folder, ec);
    }
    void writeSuite(const std::wstring& table = tableText()) {
        ASSERT_TRUE(disk.write(folder / L"KelvaCmd.ini", table));
        ASSERT_TRUE(disk.write(folder / L"Kelva.mns", kMenu));
        ASSERT_TRUE(disk.write(folder / L"Kelva.lsp", kLisp));
    }
    void open() {
        window = std::make_unique<MainWindow>(folder);
        window->findAcad = [] { return com::ComPtr<IDispatch>{}; };
        window->form().show();
        SetForegroundWindow(window->form().hwnd());
        SetActiveWindow(window->form().hwnd());
        pump(20);
    }
    std::wstring read(const wchar_t* name) { return disk.read(folder / name).value_or(L"<none>"); }
    // A click in the middle of a cell of the shown grid.
    void clickCell(int g, int row, int col) {
        GridWindow& grid = window->grid(g);
        auto box = cellBox(grid.model(), row, col, grid.clientHeightTwips());
        ASSERT_TRUE(box);
        LPARAM at = MAKELPARAM((box->left + box->width / 2) / 15, (box->top + box->height / 2) / 15);
        SendMessageW(grid.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageW(grid.hwnd(), WM_LBUTTONUP, 0, at);
    }
    void key(HWND h, int vk) {
        SendMessageW(h, WM_KEYDOWN, static_cast<WPARAM>(vk), 1);
        SendMessageW(h, WM_KEYUP, static_cast<WPARAM>(vk), 0xC0000001);
    }
    void press(const wchar_t* name) {
        HWND b = window->button(name).hwnd();
        SendMessageW(b, WM_MOUSEMOVE, 0, MAKELPARAM(10, 10));
        SendMessageW(b, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
        SendMessageW(b, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
        pump(5);
    }
    void chooseCategory(int i) {
        auto& list = window->list();
        LPARAM at = MAKELPARAM(10, i * list.rowHeight() + list.rowHeight() / 2);
        SendMessageW(list.picList().hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageW(list.picList().hwnd(), WM_LBUTTONUP, 0, at);
    }
    void type(const std::wstring& text) { SetWindowTextW(window->tbEdit().hwnd(), text.c_str()); }
    const Grid& grid(int i) { return window->grid(i).model(); }

    fs::path folder;
    DiskFileStore disk;
    std::unique_ptr<MainWindow> window;
    std::vector<std::wstring> messages;
};

std::string bytesOf(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// The suite's three files as they lie on the disk.
std::array<std::string, 3> suiteBytes(const fs::path& folder) {
    return {bytesOf(folder / L"Kelva.mns"), bytesOf(folder / L"Kelva.lsp"), bytesOf(folder / L"KelvaCmd.ini")};
}

int leftovers(const fs::path& folder) {
    int n = 0;
    for (auto& f : fs::directory_iterator(folder)) {
        const std::wstring name = f.path().filename().wstring();
        n += name.find(L".tmp") != std::wstring::npos || name.find(L".bak") != std::wstring::npos;
    }
    return n;
}

// A read that gives one byte fewer than the file holds.
class ShortReadDisk : public DiskFileStore {
protected:
    std::size_t readSome(std::FILE* f, char* into, std::size_t size) override {
        return DiskFileStore::readSome(f, into, size > 0 ? size - 1 : 0);
    }
};

}  // namespace

TEST_F(EditorWindow, StartShowsCategoriesAndTheFirstGrid) {
    writeSuite(tableText(5));
    open();
    EXPECT_TRUE(messages.empty());
    wchar_t caption[64];
    GetWindowTextW(window->form().hwnd(), caption, 64);
    EXPECT_STREQ(caption, L"Kelva 명령어 변경");
    EXPECT_EQ(window->list().ListCount(), 11);
    EXPECT_EQ(window->list().ListIndex(), 0);
    EXPECT_EQ(window->list().ItemText(6), L"수정Ⅱ");
    EXPECT_TRUE(window->grid(0).visible());
    EXPECT_FALSE(window->tbEdit().visible());
    EXPECT_FALSE(window->tbFind().visible());
    EXPECT_EQ(grid(0).rows(), 55);
    EXPECT_EQ(grid(0).text(0, 2), L"사용자 명령어");
    EXPECT_EQ(grid(0).text(2, ColUser), L"XC");
    EXPECT_EQ(grid(0).backColor(2, ColUser), kChangedColor);
    EXPECT_FALSE(grid(0).verticalScrollBar);

    chooseCategory(5);
    EXPECT_EQ(window->list().ListIndex(), 5);
    EXPECT_TRUE(window->grid(5).visible());
    EXPECT_FALSE(window->grid(0).visible());
    EXPECT_TRUE(window->grid(5).model().verticalScrollBar);  // 40 commands do not fit
    EXPECT_EQ(window->grid(5).rect().left, 1800);
}

TEST_F(EditorWindow, MissingTableStillGivesEmptyGridsAndApplyReportsIt) {
    open();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], L"KelvaCmd.ini 파일을 찾을 수 없습니다 ");
    EXPECT_EQ(grid(3).rows(), 55);
    press(L"cbOK");
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1], folder.wstring() + L"\\Kelva.mns 파일을 찾을 수 없습니다 ");
}

TEST_F(EditorWindow, EditingAUserCellStoresUpperCaseAndMovesDown) {
    writeSuite();
    open();
    clickCell(0, 1, ColProgram);
    EXPECT_FALSE(window->tbEdit().visible());  // only the user column edits
    clickCell(0, 1, ColUser);
    ASSERT_TRUE(window->tbEdit().visible());
    EXPECT_EQ(window->tbEdit().text(), L"LL");
    EXPECT_EQ(GetFocus(), window->tbEdit().hwnd());
    type(L"ln");
    key(window->tbEdit().hwnd(), VK_RETURN);
    EXPECT_EQ(grid(0).text(1, ColUser), L"LN");
    EXPECT_EQ(grid(0).backColor(1, ColUser), kChangedColor);
    EXPECT_EQ(window->editRow(), 2);
    EXPECT_EQ(window->tbEdit().text(), L"XC");
    // The default typed in another case: stored as the default, coloured as default.
    type(L"cc");
    key(window->tbEdit().hwnd(), VK_UP);
    EXPECT_EQ(grid(0).text(2, ColUser), L"CC");
    EXPECT_EQ(grid(0).backColor(2, ColUser), kDefaultColor);
    EXPECT_EQ(window->editRow(), 1);
    key(window->tbEdit().hwnd(), VK_UP);  // row 1: nothing
    EXPECT_EQ(window->editRow(), 1);
    // A blank typed into a name never arrives.
    SendMessageW(window->tbEdit().hwnd(), WM_CHAR, L' ', 1);
    EXPECT_EQ(window->tbEdit().text(), L"LN");
    EXPECT_TRUE(messages.empty());
}

TEST_F(EditorWindow, EmptyNamesAreRefusedAndEscapeRestoresTheDefault) {
    writeSuite();
    open();
    clickCell(0, 2, ColUser);
    type(L"");
    key(window->tbEdit().hwnd(), VK_RETURN);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], L"명령어가 입력되지 않았습니다  ");
    EXPECT_EQ(window->editRow(), 2);
    key(window->tbEdit().hwnd(), VK_ESCAPE);
    EXPECT_EQ(messages.size(), 1u);  // no message on Escape
    EXPECT_FALSE(window->tbEdit().visible());
    EXPECT_EQ(grid(0).text(2, ColUser), L"CC");
    EXPECT_EQ(grid(0).backColor(2, ColUser), kDefaultColor);

    // Clicking away commits; an empty row's user cell hides the editor.
    clickCell(0, 3, ColUser);
    type(L"ax");
    clickCell(0, 10, ColUser);
    EXPECT_EQ(grid(0).text(3, ColUser), L"AX");
    EXPECT_FALSE(window->tbEdit().visible());
}

TEST_F(EditorWindow, SearchFindsProgramOrDefaultAcrossCategories) {
    writeSuite();
    open();
    SetWindowTextW(window->tbSearch().hwnd(), L"  tx ");
    key(window->tbSearch().hwnd(), VK_RETURN);
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(window->list().ListIndex(), 4);
    EXPECT_TRUE(window->grid(4).visible());
    ASSERT_TRUE(window->tbFind().visible());
    EXPECT_EQ(window->tbFind().text(), L"문자 쓰기");
    EXPECT_EQ(window->tbFind().rect().left, 1800 + 15);
    // A user name is not a search term.
    SetWindowTextW(window->tbSearch().hwnd(), L"XC");
    key(window->tbSearch().hwnd(), VK_RETURN);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], L"입력한 XC 명령어를 찾을 수 없습니다 ");
    SetWindowTextW(window->tbSearch().hwnd(), L"");
    key(window->tbSearch().hwnd(), VK_RETURN);
    EXPECT_EQ(messages.back(), L"검색할 명령어를 입력해 주십시오 ");
    // Scrolling a grid takes the marker away.
    SendMessageW(window->grid(4).hwnd(), WM_VSCROLL, SB_LINEDOWN, 0);
    SendMessageW(window->grid(4).hwnd(), WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_FALSE(window->tbFind().visible());
}

TEST_F(EditorWindow, ApplyRewritesTheSuiteFilesAndRefusesDuplicates) {
    writeSuite();
    ASSERT_TRUE(disk.write(folder / L"Kelva.mnr", L"derived"));
    open();
    clickCell(0, 1, ColUser);
    type(L"ar");
    key(window->tbEdit().hwnd(), VK_ESCAPE);
    press(L"cbOK");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], L"AR 명령이 중복되어 입력됐습니다 ");
    EXPECT_EQ(read(L"Kelva.lsp"), kLisp);
    EXPECT_TRUE(fs::exists(folder / L"Kelva.mnr"));

    clickCell(0, 1, ColUser);
    type(L"ln");
    key(window->tbEdit().hwnd(), VK_ESCAPE);
    press(L"cbOK");
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1], kCompletionMessage);
    EXPECT_FALSE(fs::exists(folder / L"Kelva.mnr"));
    EXPECT_EQ(read(L"Kelva.mns"), L"[선 그리기]^C^C_LN\r\n[원 그리기]^C^C_XC\r\n[호 그리기]^C^C_AR\r\n[문자 쓰기]^C^C_TX\r\n");
    EXPECT_NE(read(L"Kelva.lsp").find(L"(defun c:LN()"), std::wstring::npos);
    EXPECT_NE(read(L"KelvaCmd.ini").find(L"LL=선 그리기>LN\r\n"), std::wstring::npos);
    EXPECT_EQ(grid(0).text(1, ColCurrent), L"LN");  // the files carry the new name: so does the grid
    // Nothing new: said so, and nothing is written.
    press(L"cbOK");
    EXPECT_EQ(messages.back(), kNothingChangedMessage);

    // Restoring defaults rewrites every user name back and reloads the grids.
    press(L"cbDefault");
    EXPECT_EQ(messages.back(), kCompletionMessage);
    EXPECT_EQ(read(L"Kelva.mns"), L"[선 그리기]^C^C_LL\r\n[원 그리기]^C^C_CC\r\n[호 그리기]^C^C_AR\r\n[문자 쓰기]^C^C_TX\r\n");
    EXPECT_EQ(grid(0).text(2, ColUser), L"CC");
    EXPECT_EQ(grid(0).text(2, ColCurrent), L"CC");
    EXPECT_EQ(grid(0).text(4, ColProgram), L"");  // reloaded, not appended
}

TEST_F(EditorWindow, AThirdFileThatCannotBeReplacedLeavesAllThreeAsTheyWere) {
    writeSuite();
    ASSERT_TRUE(disk.write(folder / L"Kelva.mnr", L"derived"));
    open();
    clickCell(0, 1, ColUser);
    type(L"ln");
    key(window->tbEdit().hwnd(), VK_ESCAPE);
    const auto before = suiteBytes(folder);
    // Another program reads the command table and lets nobody delete it: it cannot be replaced,
    // and neither may the two files before it be.
    HANDLE held = CreateFileW((folder / L"KelvaCmd.ini").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    press(L"cbOK");
    CloseHandle(held);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], folder.wstring() + L"\\KelvaCmd.ini 파일에 쓸 수 없습니다");
    EXPECT_EQ(suiteBytes(folder), before);
    EXPECT_TRUE(fs::exists(folder / L"Kelva.mnr"));  // AutoCAD's menu files go only with a success
    EXPECT_EQ(leftovers(folder), 0);
    EXPECT_EQ(grid(0).text(1, ColCurrent), L"LL");  // the files still carry the old name

    // The same with a read-only command table; then, writable again, the apply goes through.
    ASSERT_TRUE(SetFileAttributesW((folder / L"KelvaCmd.ini").c_str(), FILE_ATTRIBUTE_READONLY));
    press(L"cbOK");
    EXPECT_EQ(messages.back(), folder.wstring() + L"\\KelvaCmd.ini 파일에 쓸 수 없습니다");
    EXPECT_EQ(suiteBytes(folder), before);
    EXPECT_EQ(leftovers(folder), 0);
    ASSERT_TRUE(SetFileAttributesW((folder / L"KelvaCmd.ini").c_str(), FILE_ATTRIBUTE_NORMAL));
    press(L"cbOK");
    EXPECT_EQ(messages.back(), kCompletionMessage);
    EXPECT_NE(read(L"Kelva.lsp").find(L"(defun c:LN()"), std::wstring::npos);
    EXPECT_NE(read(L"KelvaCmd.ini").find(L">LN"), std::wstring::npos);
    EXPECT_FALSE(fs::exists(folder / L"Kelva.mnr"));
}

TEST_F(EditorWindow, FilesAreReadStrictlyAndNeverReplacedByWhatCouldNotBeRead) {
    writeSuite();
    // A LISP file saved as UTF-8.
    const std::string utf8Lisp = "(defun c:LL() (princ \"\xEC\x84\xA0\"))\r\n(defun c:XC()\r\n";
    {
        std::ofstream out(folder / L"Kelva.lsp", std::ios::binary | std::ios::trunc);
        out << utf8Lisp;
    }
    open();
    clickCell(0, 1, ColUser);
    type(L"ln");
    key(window->tbEdit().hwnd(), VK_ESCAPE);
    const auto before = suiteBytes(folder);
    press(L"cbOK");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find(folder.wstring() + L"\\Kelva.lsp 파일에 한글 코드(CP949)가 아닌 문자가 있어"), std::wstring::npos);
    EXPECT_EQ(suiteBytes(folder), before);
    EXPECT_EQ(bytesOf(folder / L"Kelva.lsp"), utf8Lisp);

    // A read that stops short of the file's size is a failed read.
    ASSERT_TRUE(disk.write(folder / L"Kelva.lsp", kLisp));
    window->files = std::make_shared<ShortReadDisk>();
    const auto again = suiteBytes(folder);
    press(L"cbOK");
    EXPECT_EQ(messages.back(), folder.wstring() + L"\\Kelva.mns 파일 읽는 중 에러");
    EXPECT_EQ(suiteBytes(folder), again);
}

TEST_F(EditorWindow, AnUndecodableCommandTableLeavesTheGridsEmptyAndIsKept) {
    writeSuite();
    const std::string utf8Table = "[Civil]\r\nLL=\xEC\x84\xA0 \xEA\xB7\xB8\xEB\xA6\xAC\xEA\xB8\xB0>LL\r\n\r\n";
    {
        std::ofstream out(folder / L"KelvaCmd.ini", std::ios::binary | std::ios::trunc);
        out << utf8Table;
    }
    open();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find(L"KelvaCmd.ini 파일에 한글 코드(CP949)가 아닌 문자가 있어"), std::wstring::npos);
    for (int i = 0; i < kCategories; ++i) EXPECT_EQ(grid(i).rows(), kGridRows);
    press(L"cbDefault");
    EXPECT_EQ(bytesOf(folder / L"KelvaCmd.ini"), utf8Table);  // never rewritten, never emptied
    EXPECT_EQ(read(L"Kelva.lsp"), kLisp);
}

TEST_F(EditorWindow, SavedUserCommandsComeBack) {
    writeSuite();
    open();
    clickCell(0, 1, ColUser);
    type(L"ln");
    key(window->tbEdit().hwnd(), VK_ESCAPE);
    fs::path file = folder / L"내 명령.ucm";
    window->chooseUserFile = [&](bool save) -> std::optional<fs::path> {
        EXPECT_TRUE(save);
        return file;
    };
    press(L"cbSave");
    EXPECT_EQ(messages.back(), L"저장 완료!\n\n나중에 이 파일을 열어서 설정한 명령을 복원할 수 있습니다  ");
    EXPECT_NE(read(L"내 명령.ucm").find(L"LL=LN\r\nCC=XC\r\n"), std::wstring::npos);

    window.reset();
    open();
    EXPECT_EQ(grid(0).text(1, ColUser), L"LL");
    window->chooseUserFile = [&](bool save) -> std::optional<fs::path> {
        EXPECT_FALSE(save);
        return file;
    };
    press(L"cbOpen");
    EXPECT_EQ(messages.back(), L"사용자가 저장한 명령을 가져왔습니다\n\n[명령 변경] 버튼을 눌러야 Kelva의 명령이 변경됩니다   ");
    EXPECT_EQ(grid(0).text(1, ColUser), L"LN");
    EXPECT_EQ(grid(0).backColor(1, ColUser), kChangedColor);
    std::size_t shown = messages.size();
    window->chooseUserFile = [](bool) { return std::optional<fs::path>{}; };
    press(L"cbOpen");  // cancelled: nothing happens
    EXPECT_EQ(messages.size(), shown);
}

TEST_F(EditorWindow, HelpWithoutItsFileAndExit) {
    writeSuite();
    open();
    press(L"cbHelp");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], L"Kelva 도움말 파일을 찾을 수 없습니다 ");
    bool unloaded = false;
    window->form().Unload = [&] { unloaded = true; };
    press(L"cbExit");
    EXPECT_TRUE(unloaded);
    EXPECT_FALSE(IsWindowVisible(window->form().hwnd()));
}

TEST_F(EditorWindow, NamesAreCheckedWhereTheyEnter) {
    writeSuite();
    open();
    clickCell(0, 1, ColUser);
    HWND e = window->tbEdit().hwnd();
    // Typing: characters no command name may hold never arrive.
    type(L"");
    for (wchar_t c : std::wstring(L"L( N;\"'^\\=X")) SendMessageW(e, WM_CHAR, c, 1);
    EXPECT_EQ(window->tbEdit().text(), L"LNX");
    // Set by other means (as a paste of old may): trimmed, or refused with a message.
    type(L"  ln  ");
    key(e, VK_RETURN);
    EXPECT_EQ(grid(0).text(1, ColUser), L"LN");
    EXPECT_TRUE(messages.empty());
    type(L"A B");
    key(e, VK_RETURN);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], kBadCharMessage);
    EXPECT_EQ(window->editRow(), 2);  // refused: the editor stays on its row
    EXPECT_EQ(grid(0).text(2, ColUser), L"XC");
    type(L"L\xD83D\xDE00");  // outside code page 949
    key(e, VK_ESCAPE);
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_NE(messages[1].find(L"CP949"), std::wstring::npos);
    EXPECT_TRUE(window->tbEdit().visible());
    EXPECT_EQ(grid(0).text(2, ColUser), L"XC");
    // Pasting: a refused name is not pasted; a good one is pasted trimmed.
    ASSERT_TRUE(rt::setClipboardText(L"L(N"));
    type(L"");
    SendMessageW(e, WM_PASTE, 0, 0);
    EXPECT_EQ(messages.back(), kBadCharMessage);
    EXPECT_EQ(window->tbEdit().text(), L"");
    ASSERT_TRUE(rt::setClipboardText(L"  cx \r\n"));
    SendMessageW(e, WM_PASTE, 0, 0);
    EXPECT_EQ(window->tbEdit().text(), L"cx");
    key(e, VK_ESCAPE);
    EXPECT_EQ(grid(0).text(2, ColUser), L"CX");

    // Apply: the name being typed is committed before the duplicate check.
    clickCell(0, 3, ColUser);
    type(L"ln");
    std::size_t shown = messages.size();
    press(L"cbOK");
    ASSERT_EQ(messages.size(), shown + 1);
    EXPECT_EQ(messages.back(), L"LN 명령이 중복되어 입력됐습니다 ");
    EXPECT_EQ(read(L"Kelva.lsp"), kLisp);
    // A name that slipped in unchecked is refused at apply.
    window->grid(0).model().setText(3, ColUser, L"A;R");
    press(L"cbOK");
    EXPECT_EQ(messages.back(), kBadCharMessage);
    EXPECT_EQ(read(L"Kelva.lsp"), kLisp);

    // Import: names that would break the files are left out, and the user is told.
    window->grid(0).model().setText(3, ColUser, L"AR");
    fs::path file = folder / L"bad.ucm";
    ASSERT_TRUE(disk.write(file, L" 0 \r\nLL=L L\r\nCC=  CY \r\nAR=(AR)\r\n"));
    window->chooseUserFile = [&](bool) -> std::optional<fs::path> { return file; };
    press(L"cbOpen");
    EXPECT_EQ(grid(0).text(1, ColUser), L"LN");
    EXPECT_EQ(grid(0).text(2, ColUser), L"CY");
    EXPECT_EQ(grid(0).text(3, ColUser), L"AR");
    EXPECT_NE(messages.back().find(L"2개는 가져오지 않았습니다"), std::wstring::npos);
}

TEST_F(EditorWindow, TheGridsStayTrueToTheFiles) {
    writeSuite();
    open();
    clickCell(0, 1, ColUser);
    type(L"ln");
    key(window->tbEdit().hwnd(), VK_ESCAPE);
    press(L"cbOK");
    ASSERT_EQ(messages.back(), kCompletionMessage);
    // A second rename of the same command starts from the name the first one wrote.
    clickCell(0, 1, ColUser);
    type(L"lm");
    key(window->tbEdit().hwnd(), VK_ESCAPE);
    press(L"cbOK");
    EXPECT_EQ(messages.back(), kCompletionMessage);
    EXPECT_NE(read(L"Kelva.lsp").find(L"(defun c:LM()"), std::wstring::npos);
    EXPECT_EQ(read(L"Kelva.lsp").find(L"(defun c:LN()"), std::wstring::npos);
    EXPECT_NE(read(L"KelvaCmd.ini").find(L"LL=선 그리기>LM\r\n"), std::wstring::npos);
    // An edit not applied yet does not mislead the restore: it starts from the names the files
    // carry, and the grids are read again from the disk.
    clickCell(0, 1, ColUser);
    type(L"zz");
    key(window->tbEdit().hwnd(), VK_ESCAPE);
    press(L"cbDefault");
    EXPECT_EQ(messages.back(), kCompletionMessage);
    EXPECT_EQ(read(L"Kelva.lsp"), L"(defun c:LL()\r\n(defun c:CC()\r\n(defun c:AR()\r\n(defun c:TX()\r\n");
    EXPECT_EQ(read(L"Kelva.mns"), L"[선 그리기]^C^C_LL\r\n[원 그리기]^C^C_CC\r\n[호 그리기]^C^C_AR\r\n[문자 쓰기]^C^C_TX\r\n");
    for (int col : {ColDefault, ColUser, ColCurrent}) EXPECT_EQ(grid(0).text(1, col), L"LL");
    EXPECT_FALSE(grid(0).backColor(1, ColUser));
    EXPECT_EQ(grid(0).rows(), kGridRows);
}

TEST_F(EditorWindow, TheEditorClosesWhenTheCategoryChanges) {
    writeSuite();
    open();
    clickCell(0, 1, ColUser);
    type(L"ln");
    chooseCategory(4);
    EXPECT_FALSE(window->tbEdit().visible());
    EXPECT_EQ(grid(0).text(1, ColUser), L"LN");  // committed to its own grid on the way out
    // An Enter that still reaches the editor renames nothing in the grid shown now.
    type(L"qq");
    key(window->tbEdit().hwnd(), VK_RETURN);
    EXPECT_EQ(grid(4).text(1, ColUser), L"TX");
    EXPECT_EQ(grid(0).text(1, ColUser), L"LN");
    EXPECT_TRUE(messages.empty());
}

TEST_F(EditorWindow, TheKeyPathChecksItsRowAsTheFocusPathDoes) {
    writeSuite();
    open();
    clickCell(0, 3, ColUser);
    ASSERT_TRUE(window->tbEdit().visible());
    // The grid lost the row under the editor (a reload, say): the keys must not write past it.
    window->grid(0).model().setRows(2);
    type(L"zz");
    key(window->tbEdit().hwnd(), VK_RETURN);
    key(window->tbEdit().hwnd(), VK_UP);
    key(window->tbEdit().hwnd(), VK_ESCAPE);
    EXPECT_EQ(grid(0).rows(), 2);
    EXPECT_EQ(grid(0).text(1, ColUser), L"LL");
    EXPECT_TRUE(IsWindow(window->form().hwnd()));
    EXPECT_TRUE(messages.empty());  // no failure to report either
}

TEST_F(EditorWindow, AMalformedOrLongTableStillGivesFullGridsInTheirPlaces) {
    std::wstring t;
    for (int c = 0; c < kCategories; ++c) {
        t += L"[" + std::wstring(kCategoryNames[static_cast<std::size_t>(c)]) + L"]\r\n";
        if (c == 0)
            for (int i = 0; i < 55; ++i) t += L"C" + std::to_wstring(i) + L"=프로그램 " + std::to_wstring(i) + L">C" + std::to_wstring(i) + L"\r\n";
        if (c == 1) t += L"LA=레이어 켜기>LA\r\n";
        if (c == 2) t += L"VP=뷰포트 without marker\r\n";
        t += L"\r\n";
    }
    writeSuite(t);
    open();
    ASSERT_EQ(messages.size(), 1u);  // the line without ">"
    EXPECT_EQ(grid(1).text(1, ColDefault), L"LA");  // the 55th entry of category 0 shifted nothing
    EXPECT_EQ(grid(0).text(54, ColDefault), L"C53");
    for (int i = 0; i < kCategories; ++i) EXPECT_EQ(grid(i).rows(), kGridRows) << i;
    chooseCategory(3);
    clickCell(3, 10, ColUser);  // a row past the read ones: no editor, no failure
    EXPECT_FALSE(window->tbEdit().visible());
}

TEST_F(EditorWindow, TheGridScrollsSidewaysToEveryColumn) {
    writeSuite(tableText(5));
    open();
    GridWindow& g = window->grid(0);
    const int width = static_cast<int>(g.clientPixels().cx) * 15;
    ASSERT_LT(width, totalWidth(g.model()));  // the four columns are wider than the grid
    EXPECT_FALSE(cellBox(g.model(), 0, ColCurrent, g.clientHeightTwips()).value().left + 1600 <= width);
    SetWindowTextW(window->tbSearch().hwnd(), L"LL");
    key(window->tbSearch().hwnd(), VK_RETURN);
    ASSERT_TRUE(window->tbFind().visible());
    SendMessageW(g.hwnd(), WM_HSCROLL, SB_LINERIGHT, 0);
    EXPECT_EQ(g.model().leftCol, 1);
    EXPECT_FALSE(window->tbFind().visible());  // a scroll sideways is a scroll
    auto current = cellBox(g.model(), 0, ColCurrent, g.clientHeightTwips());
    ASSERT_TRUE(current);
    EXPECT_LE(current->left + current->width, width);  // "현재 명령어" shows whole
    SendMessageW(g.hwnd(), WM_HSCROLL, SB_LEFT, 0);
    EXPECT_EQ(g.model().leftCol, 0);

    // With the vertical bar the user column is cut at the right: the editor scrolls it in first.
    chooseCategory(5);
    GridWindow& big = window->grid(5);
    ASSERT_TRUE(big.model().verticalScrollBar);
    clickCell(5, 2, ColUser);
    ASSERT_TRUE(window->tbEdit().visible());
    const auto& box = window->tbEdit().rect();
    EXPECT_LE(box.left + box.width, big.rect().left + 15 + big.clientPixels().cx * 15);
    EXPECT_GE(box.left, big.rect().left);
}

TEST_F(EditorWindow, EveryRowOfEveryCategoryCanBeReachedByTheWheelAndEdited) {
    // Categories 0 to 5 hold 31, 32, 33, 34, 35 and 60 commands (the grid keeps 54 of the 60).
    const std::array<int, 6> counts = {31, 32, 33, 34, 35, 60};
    std::wstring t;
    for (int c = 0; c < kCategories; ++c) {
        t += L"[" + std::wstring(kCategoryNames[static_cast<std::size_t>(c)]) + L"]\r\n";
        for (int i = 0; c < 6 && i < counts[static_cast<std::size_t>(c)]; ++i) {
            const std::wstring name = L"K" + std::to_wstring(c) + L"X" + std::to_wstring(i);
            t += name + L"=명령 " + std::to_wstring(c) + L"-" + std::to_wstring(i) + L">" + name + L"\r\n";
        }
        t += L"\r\n";
    }
    writeSuite(t);
    open();
    ASSERT_TRUE(messages.empty());
    const auto wheel = [](HWND h, int delta) { SendMessageW(h, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(delta)), 0); };
    for (int c = 0; c < 6; ++c) {
        const int count = counts[static_cast<std::size_t>(c)];
        const int last = std::min(count, kGridRows - 1);
        chooseCategory(c);
        GridWindow& g = window->grid(c);
        ASSERT_TRUE(g.visible());
        const LONG style = GetWindowLongW(g.hwnd(), GWL_STYLE);
        ASSERT_TRUE(style & WS_HSCROLL) << count;  // the columns are wider than the grid
        // A row is reached when it lies wholly in the client area, above the sideways bar.
        const auto whole = [&](int row) {
            auto box = cellBox(g.model(), row, ColUser, g.clientHeightTwips());
            return box && box->top + box->height <= g.clientHeightTwips();
        };
        ASSERT_EQ(g.model().topRow, 1);
        const bool bar = (style & WS_VSCROLL) != 0;
        EXPECT_EQ(bar, !whole(last)) << count << " commands";
        if (count > 32) {
            EXPECT_TRUE(bar) << count << " commands";
        }
        if (count == 60) {
            // The wheel over an open editor scrolls its grid too.
            clickCell(c, 1, ColUser);
            ASSERT_TRUE(window->tbEdit().visible());
            wheel(GetFocus(), -WHEEL_DELTA);
            EXPECT_GT(g.model().topRow, 1);
            EXPECT_FALSE(window->tbEdit().visible());
            SendMessageW(g.hwnd(), WM_VSCROLL, SB_TOP, 0);
        }
        // A fine-grained wheel, a third of a notch at a time, down to the last command.
        for (int turn = 0; turn < 200 && !whole(last); ++turn)
            wheel(g.hwnd(), -WHEEL_DELTA / 3);
        ASSERT_TRUE(whole(last)) << count << " commands";
        clickCell(c, last, ColUser);
        ASSERT_TRUE(window->tbEdit().visible()) << count;
        EXPECT_EQ(window->editRow(), last);
        EXPECT_EQ(window->tbEdit().text(), L"K" + std::to_wstring(c) + L"X" + std::to_wstring(last - 1));
        type(L"zz" + std::to_wstring(c));
        key(window->tbEdit().hwnd(), VK_ESCAPE);
        EXPECT_EQ(grid(c).text(last, ColUser), L"ZZ" + std::to_wstring(c));
    }
    EXPECT_TRUE(messages.empty());
}

TEST_F(EditorWindow, AWheelTurnedBackScrollsAtItsFirstNotch) {
    writeSuite(tableText(1));  // 40 commands: more than the grid shows
    open();
    chooseCategory(1);
    GridWindow& g = window->grid(1);
    ASSERT_TRUE(GetWindowLongW(g.hwnd(), GWL_STYLE) & WS_VSCROLL);
    const auto wheel = [&](int delta) { SendMessageW(g.hwnd(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(delta)), 0); };
    wheel(-WHEEL_DELTA);
    const int down = g.model().topRow;
    ASSERT_GT(down, 1);
    wheel(-WHEEL_DELTA / 3);
    wheel(-WHEEL_DELTA / 3);
    ASSERT_EQ(g.model().topRow, down) << "two thirds of a notch scroll nothing";
    wheel(WHEEL_DELTA);
    EXPECT_EQ(g.model().topRow, 1) << "the first notch back scrolls up";
    wheel(WHEEL_DELTA / 3);
    wheel(WHEEL_DELTA / 3);
    wheel(-WHEEL_DELTA);
    EXPECT_EQ(g.model().topRow, down) << "and the first notch down again scrolls down";
}
