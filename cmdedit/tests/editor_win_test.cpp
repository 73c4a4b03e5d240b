// The editor window driven by messages under Wine: categories, cell edits, search, buttons, and the
// files behind them. Message boxes are answered through the runtime's seam and recorded.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

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
    EXPECT_EQ(grid(0).text(1, ColCurrent), L"LL");  // the grids keep the names read at start

    // Restoring defaults rewrites every user name back and reloads the grids.
    press(L"cbDefault");
    EXPECT_EQ(messages.back(), kCompletionMessage);
    EXPECT_EQ(read(L"Kelva.mns"), L"[선 그리기]^C^C_LL\r\n[원 그리기]^C^C_CC\r\n[호 그리기]^C^C_AR\r\n[문자 쓰기]^C^C_TX\r\n");
    EXPECT_EQ(grid(0).text(2, ColUser), L"CC");
    EXPECT_EQ(grid(0).text(2, ColCurrent), L"CC");
    EXPECT_EQ(grid(0).text(4, ColProgram), L"");  // reloaded, not appended
}

TEST_F(EditorWindow, AFileThatCannotBeWrittenIsReportedAndKept) {
    writeSuite();
    open();
    clickCell(0, 1, ColUser);
    type(L"ln");
    key(window->tbEdit().hwnd(), VK_ESCAPE);
    // Another program reads the LISP source and lets nobody delete it: it cannot be replaced.
    HANDLE held = CreateFileW((folder / L"Kelva.lsp").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    press(L"cbOK");
    CloseHandle(held);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], folder.wstring() + L"\\Kelva.lsp 파일에 쓸 수 없습니다");
    EXPECT_EQ(read(L"Kelva.lsp"), kLisp);
    EXPECT_NE(read(L"Kelva.mns").find(L"^C^C_LN"), std::wstring::npos);
    EXPECT_NE(read(L"KelvaCmd.ini").find(L">LN"), std::wstring::npos);
    int leftovers = 0;
    for (auto& f : fs::directory_iterator(folder)) leftovers += f.path().wstring().find(L".tmp") != std::wstring::npos;
    EXPECT_EQ(leftovers, 0);
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
