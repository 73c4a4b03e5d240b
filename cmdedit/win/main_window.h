#pragma once
// frmMain: the editor's only window. Category list, one grid per category, the cell editor laid
// over a user cell, the search, and the six buttons that open, save, restore, apply, help and exit.
#include <array>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

#include "cmdedit/apply.h"
#include "cmdedit/command_table.h"
#include "cmdedit/win/grid_window.h"
#include "com/com_ptr.h"
#include "controls/xpbutton.h"
#include "listctl/coollist.h"
#include "runtime/form.h"

namespace kelva::cmd {

extern const wchar_t* const kCaption;  // the window's caption and every message box's

class SearchImage;

class MainWindow {
public:
    // folder: where Kelva.mns, Kelva.lsp, KelvaCmd.ini and Kelva.chm lie (the program's own).
    explicit MainWindow(std::filesystem::path folder);
    ~MainWindow();
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    rt::Form& form() { return *form_; }
    Editor& editor() { return editor_; }
    GridWindow& grid(int i) { return *fgCmd_[static_cast<std::size_t>(i)]; }
    lst::CoolList& list() { return *lstKelva_; }
    rt::StdControl& tbEdit() { return *tbEdit_; }
    rt::StdControl& tbSearch() { return *tbSearch_; }
    rt::StdControl& tbFind() { return *tbFind_; }
    rt::Control& imgSearch();
    ctl::XPButton& button(std::wstring_view name);
    int currentGrid() const { return currentGrid_; }
    int editRow() const { return editRow_; }

    // Seams: the file a user command file goes to or comes from (nothing = cancelled), the
    // running AutoCAD, and the files on the disk.
    std::function<std::optional<std::filesystem::path>(bool save)> chooseUserFile;
    std::function<com::ComPtr<IDispatch>()> findAcad;
    std::shared_ptr<FileStore> files = std::make_shared<DiskFileStore>();

    // The members AutoCAD is driven by while names are applied.
    com::ComPtr<IDispatch> GetACAD();
    void LoadKelvaMenu();
    void UnLoadKelvaMenu();
    void LoadLisp();
    // The document the members above work on, as applying names sets it.
    void attachForTest(com::ComPtr<IDispatch> document) { acadDoc_ = std::move(document); }

private:
    void Form_Load();
    void lstKelva_Click();
    void showCategory(int i);
    void fgCmd_Click(int index);
    void fgCmd_Scroll();
    void tbEdit_LostFocus();
    bool tbEdit_KeyDown(int key);
    void imgSearch_Click();
    void cbOpen_Click();
    void cbSave_Click();
    void cbOK_Click();
    void cbDefault_Click();
    void cbHelp_Click();
    void cbExit_Click();
    // Reads the command table into the grids; `reload` starts them from their header rows.
    void loadCommandTable(bool restoreDefaults, bool reload);
    ApplyResult::Outcome applyCommands(bool restoreDefaults);
    // The grid the open cell editor writes to: nothing when the editor is closed or its row holds
    // no command (any more).
    Grid* editTarget();
    // Stores the open editor's name in its cell; false, with the reason shown, when the name is
    // refused (the editor then keeps the focus).
    bool commitEditor();
    void refuse(const std::wstring& message);
    void pasteName();
    void hideEditor();
    void placeOver(rt::StdControl& box, GridWindow& g);
    void refreshGrids();
    // The rows of a category's grid the scroll bar must reach, the header included.
    int categoryRows(int i);
    void takeGrids();  // the window's grids into editor_
    void say(const std::wstring& text);
    static LRESULT CALLBACK editProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
    static LRESULT editMessage(HWND, UINT, WPARAM, LPARAM, MainWindow* self);
    static LRESULT CALLBACK searchProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);

    std::filesystem::path folder_;
    Editor editor_;
    std::unique_ptr<rt::Form> form_;
    lst::CoolList* lstKelva_ = nullptr;
    std::array<GridWindow*, kCategories> fgCmd_{};
    rt::StdControl* tbEdit_ = nullptr;
    rt::StdControl* tbSearch_ = nullptr;
    rt::StdControl* tbFind_ = nullptr;
    SearchImage* imgSearch_ = nullptr;
    std::vector<ctl::XPButton*> buttons_;
    int currentGrid_ = 0;
    int editRow_ = 0;
    bool escaping_ = false;
    std::wstring refused_;  // the editor text last refused with a message
    com::ComPtr<IDispatch> acadApp_, acadDoc_;
};

// The folder of the running program.
std::filesystem::path programFolder();

}  // namespace kelva::cmd
