// The open-file dialog under Wine, answered by a helper thread as a user would answer it.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <thread>

#include "tabctl/xtab_filedialog.h"

using namespace kelva::tabctl;

namespace {

// Finds the dialog by its title, then either cancels it or types a file name and presses OK. It
// always closes the dialog in the end, so a test can never hang on it.
class Answer {
public:
    explicit Answer(std::wstring fileName = {}) : name_(std::move(fileName)) {
        worker_ = std::thread([this] { run(); });
    }
    ~Answer() { worker_.join(); }
    bool found() const { return found_; }
    std::wstring filterText;

private:
    void run() {
        HWND dlg = nullptr;
        for (int i = 0; i < 800 && !dlg; ++i) {  // a cold start of the dialog can be slow
            dlg = FindWindowW(nullptr, kOpenFileTitle);
            if (!dlg) Sleep(25);
        }
        if (!dlg) return;
        found_ = true;
        Sleep(100);
        if (!name_.empty()) {
            for (int id : {0x47c /* cmb13 */, 0x480 /* edt1 */}) SetDlgItemTextW(dlg, id, name_.c_str());
            PostMessageW(dlg, WM_COMMAND, IDOK, 0);
            for (int i = 0; i < 100 && IsWindow(dlg); ++i) Sleep(25);
        }
        if (IsWindow(dlg)) PostMessageW(dlg, WM_COMMAND, IDCANCEL, 0);
    }
    std::wstring name_;
    std::atomic<bool> found_{false};
    std::thread worker_;
};

TEST(XTabFileDialog, CancelledDialogAnswersNothing) {
    std::wstring answer = L"unset";
    {
        Answer cancel;
        answer = showFileOpenDialog(nullptr, L"", L"");
        EXPECT_TRUE(cancel.found()) << "no window titled Open File";
    }
    EXPECT_EQ(answer, L"");
}

TEST(XTabFileDialog, ChosenFileAnswersItsFullPath) {
    wchar_t tmp[MAX_PATH];
    GetTempPathW(MAX_PATH, tmp);
    const std::filesystem::path dir = std::filesystem::path(tmp) / L"xtab_dialog";
    std::filesystem::create_directories(dir);
    std::ofstream(dir / L"pic one.bmp") << "BM";
    std::wstring answer;
    {
        Answer pick(L"pic one.bmp");
        answer = showFileOpenDialog(nullptr, dir.wstring(), L"Bitmaps|*.bmp|All|*.*");
        EXPECT_TRUE(pick.found());
    }
    EXPECT_EQ(std::filesystem::path(answer), dir / L"pic one.bmp");
}

}  // namespace
