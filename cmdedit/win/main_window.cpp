#include "cmdedit/win/main_window.h"

#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>

#include "cmdedit/file_store.h"
#include "cmdedit/menu_reload.h"
#include "cmdedit/names.h"
#include "cmdedit/win/acad_menus.h"
#include "cmdedit/win/cdialog.h"
#include "com/latebound.h"
#include "runtime/services.h"
#include "runtime/subclass.h"

namespace kelva::cmd {

const wchar_t* const kCaption = L"Kelva 명령어 변경";

namespace {
constexpr rt::TwipsRect kGridArea{1800, 120, 5700, 8685};
constexpr double kImageLeft = 1380, kImageTop = 6600;

struct ButtonSpec {
    const wchar_t* name;
    const wchar_t* caption;
    double top;
};
constexpr ButtonSpec kButtons[] = {{L"cbOpen", L"설정 열기", 3960},  {L"cbSave", L"설정 저장", 4380},
                                   {L"cbDefault", L"모두 기본값", 4800}, {L"cbOK", L"명령 변경", 5220},
                                   {L"cbHelp", L"도움말", 5640},      {L"cbExit", L"종   료", 6060}};

// Asks for a user command file with the system's dialogs.
std::optional<std::filesystem::path> askUserFile(HWND owner, bool save) {
    cDialog dialog;
    dialog.Owner = owner;
    // The filter shows *.ucm files, so a name typed without extension gets that one.
    dialog.DefaultExt = L"ucm";
    dialog.setFilter(std::wstring(L"사용자 명령 파일 (*.ucm)|*.ucm"));
    dialog.DialogTitle = save ? L"사용자 명령어 설정 파일 저장" : L"사용자 명령어 설정 파일 열기";
    dialog.Flags = save ? OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST : OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST;
    if (!(save ? dialog.ShowSave() : dialog.ShowOpen())) return std::nullopt;
    return std::filesystem::path(dialog.FileName());
}
}  // namespace

// The 16 x 16 picture that starts the search; it looks pressed while the button is down.
class SearchImage : public rt::Control {
public:
    const wchar_t* typeName() const override { return L"Image"; }
    std::function<void()> Click;

protected:
    HWND createWindow(HWND parent, const RECT& px) override {
        registerWindowClass(L"KelvaCmdSearchImage", 0);
        return createOwnWindow(L"KelvaCmdSearchImage", WS_CHILD | WS_VISIBLE, 0, parent, px);
    }
    LRESULT wndProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
        switch (msg) {
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd(), &ps);
            RECT rc;
            GetClientRect(hwnd(), &rc);
            FillRect(dc, &rc, GetSysColorBrush(COLOR_BTNFACE));
            rt::PenPtr pen(CreatePen(PS_SOLID, 2, RGB(40, 40, 120)));
            HGDIOBJ old = SelectObject(dc, pen.get());
            SelectObject(dc, GetStockObject(NULL_BRUSH));
            Ellipse(dc, 1, 1, 11, 11);
            MoveToEx(dc, 10, 10, nullptr);
            LineTo(dc, 15, 15);
            SelectObject(dc, old);
            EndPaint(hwnd(), &ps);
            return 0;
        }
        case WM_LBUTTONDOWN:
            SetCapture(hwnd());
            move({kImageLeft + 20, kImageTop + 20, rect().width, rect().height});
            return 0;
        case WM_LBUTTONUP: {
            ReleaseCapture();
            move({kImageLeft, kImageTop, rect().width, rect().height});
            POINT p{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
            RECT rc;
            GetClientRect(hwnd(), &rc);
            if (PtInRect(&rc, p) && Click) Click();
            return 0;
        }
        default: return Control::wndProc(msg, wParam, lParam);
        }
    }
};

std::filesystem::path programFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        path.resize(path.size() * 2);
    }
    return std::filesystem::path(path).parent_path();
}

MainWindow::MainWindow(std::filesystem::path folder) : folder_(std::move(folder)) {
    rt::FormLayout layout;
    layout.caption = kCaption;
    layout.rect = {0, 0, 7710, 9420};
    layout.font = rt::FontDesc{L"Verdana", 9};
    form_ = std::make_unique<rt::Form>(layout);
    lstKelva_ = &form_->add<lst::CoolList>(L"lstKelva", {120, 120, 1575, 3630});
    lstKelva_->initNew();
    for (const auto& b : kButtons) {
        auto& button = form_->add<ctl::XPButton>(b.name, {120, b.top, 1575, 375});
        rt::PropertyBag bag;
        bag.write(L"Caption", std::wstring(b.caption));
        button.load(bag);
        button.setFont(std::make_shared<rt::Font>(rt::FontDesc{L"Verdana", 9}));
        buttons_.push_back(&button);
    }
    form_->add<rt::StdControl>(L"Label1", {120, 6780, 1020, 180}, nullptr, rt::StdControl::Kind::Label)
        .setText(L"명령어 검색:");
    tbSearch_ = &form_->add<rt::StdControl>(L"tbSearch", {120, 7020, 1275, 255}, nullptr, rt::StdControl::Kind::TextBox);
    imgSearch_ = &form_->add<SearchImage>(L"imgSearch", {kImageLeft, kImageTop, 240, 240});
    for (int i = 0; i < kCategories; ++i)
        fgCmd_[static_cast<std::size_t>(i)] = &form_->add<GridWindow>(L"fgCmd" + std::to_wstring(i), kGridArea);
    tbEdit_ = &form_->add<rt::StdControl>(L"tbEdit", {0, 0, 1600, 255}, nullptr, rt::StdControl::Kind::TextBox);
    tbFind_ = &form_->add<rt::StdControl>(L"tbFind", {0, 0, 2500, 255}, nullptr, rt::StdControl::Kind::TextBox);
    SendMessageW(tbFind_->hwnd(), EM_SETREADONLY, TRUE, 0);

    chooseUserFile = [this](bool save) { return askUserFile(form_->hwnd(), save); };
    findAcad = getAcad;

    lstKelva_->Click = [this] { lstKelva_Click(); };
    for (int i = 0; i < kCategories; ++i) {
        GridWindow& g = grid(i);
        g.Click = [this, i] { fgCmd_Click(i); };
        g.KeyDown = [this, i](int, int) { fgCmd_Click(i); };
        g.Scroll = [this] { fgCmd_Scroll(); };
    }
    imgSearch_->Click = [this] { imgSearch_Click(); };
    button(L"cbOpen").Click = [this] { cbOpen_Click(); };
    button(L"cbSave").Click = [this] { cbSave_Click(); };
    button(L"cbDefault").Click = [this] { cbDefault_Click(); };
    button(L"cbOK").Click = [this] { cbOK_Click(); };
    button(L"cbHelp").Click = [this] { cbHelp_Click(); };
    button(L"cbExit").Click = [this] { cbExit_Click(); };
    rt::setWindowSubclass(tbEdit_->hwnd(), editProc, 1, reinterpret_cast<DWORD_PTR>(this));
    rt::setWindowSubclass(tbSearch_->hwnd(), searchProc, 1, reinterpret_cast<DWORD_PTR>(this));
    Form_Load();
}

MainWindow::~MainWindow() {
    if (tbEdit_ && tbEdit_->hwnd()) rt::removeWindowSubclass(tbEdit_->hwnd(), editProc, 1);
    if (tbSearch_ && tbSearch_->hwnd()) rt::removeWindowSubclass(tbSearch_->hwnd(), searchProc, 1);
}

rt::Control& MainWindow::imgSearch() { return *imgSearch_; }

ctl::XPButton& MainWindow::button(std::wstring_view name) {
    for (auto* b : buttons_)
        if (b->name() == name) return *b;
    throw std::out_of_range("no such button");
}

void MainWindow::say(const std::wstring& text) { rt::msgBox({form_->hwnd(), text, kCaption, MB_OK}); }

void MainWindow::Form_Load() {
    for (const wchar_t* name : kCategoryNames) lstKelva_->AddItem(name);
    lstKelva_->setListIndex(0);
    setGridHeaders(editor_);
    for (int i = 0; i < kCategories; ++i) grid(i).model() = editor_.grids[static_cast<std::size_t>(i)];
    loadCommandTable(false, false);
    for (int i = 0; i < kCategories; ++i) grid(i).setVisible(false);
    showCategory(0);
    tbEdit_->setVisible(false);
    tbFind_->setVisible(false);
}

void MainWindow::refreshGrids() {
    for (int i = 0; i < kCategories; ++i) {
        grid(i).model() = editor_.grids[static_cast<std::size_t>(i)];
        grid(i).fitRows(categoryRows(i));
    }
}

int MainWindow::categoryRows(int i) {
    // As many rows as the category's section had lines, or as hold a command when more: a last
    // section cut short by the end of the file keeps the count of an earlier reading.
    const Grid& m = grid(i).model();
    int filled = 1;
    for (int r = 1; r < m.rows(); ++r)
        if (!m.text(r, ColProgram).empty()) filled = r + 1;
    return std::max(editor_.categoryRowCount[static_cast<std::size_t>(i)], filled);
}

void MainWindow::takeGrids() {
    for (int i = 0; i < kCategories; ++i) editor_.grids[static_cast<std::size_t>(i)] = grid(i).model();
}

void MainWindow::loadCommandTable(bool restoreDefaults, bool reload) {
    // The window's grids are the truth while it runs; the reader works on a copy of them.
    takeGrids();
    auto path = folder_ / L"KelvaCmd.ini";
    if (!files->exists(path)) {
        say(L"KelvaCmd.ini 파일을 찾을 수 없습니다 ");
    } else if (TextRead read = readText(*files, path); !read.ok()) {
        say(readErrorMessage(path.wstring(), read.error));
    } else {
        if (reload) clearGrids(editor_);
        if (auto error = cmd::loadCommandTable(editor_, read.text, restoreDefaults)) say(*error);
    }
    // Every grid keeps its full rows, however the reading ended.
    initGridRows(editor_);
    refreshGrids();
}

void MainWindow::showCategory(int i) {
    // The editor belongs to the grid it was opened over: it never stays over another.
    hideEditor();
    GridWindow& g = grid(i);
    g.move(kGridArea);
    g.setVisible(true);
    g.bringToFront();
    g.fitRows(categoryRows(i));
    for (int k = 0; k < kCategories; ++k)
        if (k != i) grid(k).setVisible(false);
    // The editor and the marker lie over the grids.
    if (tbFind_->visible()) tbFind_->bringToFront();
}

void MainWindow::lstKelva_Click() {
    int i = lstKelva_->ListIndex();
    if (i >= 0 && i < kCategories) showCategory(i);
}

void MainWindow::placeOver(rt::StdControl& box, GridWindow& g) {
    CellBox cell = g.currentCellBox();
    const rt::TwipsRect& at = g.rect();
    // The grid's border takes one pixel before the client area.
    box.move({at.left + 15 + cell.left, at.top + 15 + cell.top, static_cast<double>(cell.width), static_cast<double>(cell.height)});
}

void MainWindow::fgCmd_Click(int index) {
    GridWindow& g = grid(index);
    Grid& m = g.model();
    if (m.col == ColUser) {
        if (!m.text(m.row, ColProgram).empty()) {
            editRow_ = m.row;
            refused_.clear();
            placeOver(*tbEdit_, g);
            tbEdit_->setText(m.text(m.row, ColUser));
            tbEdit_->setVisible(true);
            tbEdit_->bringToFront();
            SetFocus(tbEdit_->hwnd());
            SendMessageW(tbEdit_->hwnd(), EM_SETSEL, 0, -1);
        } else {
            hideEditor();
        }
    }
    currentGrid_ = index;
}

void MainWindow::fgCmd_Scroll() {
    tbFind_->setVisible(false);
    hideEditor();
}

void MainWindow::hideEditor() {
    if (!tbEdit_->visible()) return;
    // Focus leaves the editor first, so its name is committed as when the user clicks away.
    if (GetFocus() == tbEdit_->hwnd()) SetFocus(grid(currentGrid_).hwnd());
    tbEdit_->setVisible(false);
}

Grid* MainWindow::editTarget() {
    if (!tbEdit_->visible()) return nullptr;
    Grid& m = grid(currentGrid_).model();
    if (editRow_ < 1 || editRow_ >= m.rows() || m.text(editRow_, ColProgram).empty()) return nullptr;
    return &m;
}

void MainWindow::refuse(const std::wstring& message) {
    refused_ = tbEdit_->text();
    say(message);
    PostMessageW(tbEdit_->hwnd(), WM_APP, 0, 0);  // focus back once the focus change is over
}

bool MainWindow::commitEditor() {
    Grid* m = editTarget();
    if (!m) return true;
    CheckedName name = checkName(tbEdit_->text());
    if (!name.ok()) {
        refuse(name.error);
        return false;
    }
    commitUserName(*m, editRow_, name.name);
    refused_.clear();
    InvalidateRect(grid(currentGrid_).hwnd(), nullptr, FALSE);
    return true;
}

void MainWindow::tbEdit_LostFocus() {
    if (!editTarget()) return;
    const std::wstring text = tbEdit_->text();
    // Leaving an empty editor with Escape held is its way of giving up; a name refused already
    // is not refused twice.
    if (text.empty() && (escaping_ || GetAsyncKeyState(VK_ESCAPE) < 0)) return;
    if (!refused_.empty() && text == refused_) return;
    commitEditor();
}

bool MainWindow::tbEdit_KeyDown(int key) {
    GridWindow& g = grid(currentGrid_);
    Grid& m = g.model();
    auto move = [&](int to) {
        if (!editTarget()) {
            hideEditor();
            return;
        }
        if (!commitEditor()) return;
        m.setCurrent(to, ColUser);
        g.refresh();
        fgCmd_Click(currentGrid_);
    };
    switch (key) {
    case VK_RETURN:
    case VK_DOWN:
        if (m.row != m.rows() - 1) move(editRow_ + 1);
        return true;
    case VK_UP:
        if (m.row != 1) move(editRow_ - 1);
        return true;
    case VK_ESCAPE: {
        escaping_ = true;
        bool close = true;
        if (Grid* target = editTarget()) {
            if (tbEdit_->text().empty()) restoreUserName(*target, editRow_);
            else close = commitEditor();
            g.refresh();
        }
        if (close) hideEditor();
        escaping_ = false;
        return true;
    }
    default: return false;
    }
}

void MainWindow::pasteName() {
    // A pasted name is checked as it enters: trimmed, and refused whole when the suite's files
    // could not carry it.
    auto text = rt::clipboardText();
    if (!text) return;
    // What a copy takes along around a name (a line end, a tab) is not part of it.
    const auto space = [](wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n'; };
    std::wstring piece = *text;
    while (!piece.empty() && space(piece.back())) piece.pop_back();
    std::size_t lead = 0;
    while (lead < piece.size() && space(piece[lead])) ++lead;
    piece.erase(0, lead);
    if (piece.empty()) return;
    CheckedName name = checkName(piece);
    if (!name.ok()) {
        say(name.error);
        return;
    }
    SendMessageW(tbEdit_->hwnd(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(name.name.c_str()));
}

LRESULT CALLBACK MainWindow::editProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
    return rt::guardMessage(h, [&] { return editMessage(h, msg, wParam, lParam, reinterpret_cast<MainWindow*>(data)); },
                            [&] { return rt::defSubclassProc(h, msg, wParam, lParam); });
}

LRESULT MainWindow::editMessage(HWND h, UINT msg, WPARAM wParam, LPARAM lParam, MainWindow* self) {
    switch (msg) {
    case WM_GETDLGCODE: return DLGC_WANTALLKEYS | rt::defSubclassProc(h, msg, wParam, lParam);
    case WM_KEYDOWN:
        if (self->tbEdit_KeyDown(static_cast<int>(wParam))) return 0;
        break;
    case WM_CHAR:
        // Enter, Escape and Tab are keys of the editor, not text; a character no command name may
        // hold (a blank, a quote, a parenthesis ...) is not typed at all. Other control codes
        // (Backspace, Ctrl+C, Ctrl+V ...) keep their work.
        if (wParam == L'\r' || wParam == L'\n' || wParam == L'\t' || wParam == 27) return 0;
        if (wParam >= 0x20 && !nameCharAllowed(static_cast<wchar_t>(wParam))) return 0;
        break;
    case WM_PASTE:
        self->pasteName();
        return 0;
    case WM_MOUSEWHEEL:
        // The editor lies over a cell of its grid: the wheel scrolls the grid there as anywhere
        // else over it (the scroll then closes the editor).
        SendMessageW(self->grid(self->currentGrid_).hwnd(), msg, wParam, lParam);
        return 0;
    case WM_KILLFOCUS: {
        LRESULT r = rt::defSubclassProc(h, msg, wParam, lParam);
        self->tbEdit_LostFocus();
        return r;
    }
    case WM_APP:
        if (IsWindowVisible(h)) SetFocus(h);
        return 0;
    default: break;
    }
    return rt::defSubclassProc(h, msg, wParam, lParam);
}

LRESULT CALLBACK MainWindow::searchProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
    auto* self = reinterpret_cast<MainWindow*>(data);
    return rt::guardMessage(
        h,
        [&] {
            if (msg == WM_KEYDOWN && wParam == VK_RETURN) {
                self->imgSearch_Click();
                return LRESULT{0};
            }
            if (msg == WM_CHAR && wParam == L'\r') return LRESULT{0};
            return rt::defSubclassProc(h, msg, wParam, lParam);
        },
        [&] { return rt::defSubclassProc(h, msg, wParam, lParam); });
}

void MainWindow::imgSearch_Click() {
    if (tbSearch_->text().empty()) {
        say(L"검색할 명령어를 입력해 주십시오 ");
        SetFocus(tbSearch_->hwnd());
        return;
    }
    std::wstring term = trimBlanks(tbSearch_->text());
    for (int i = 0; i < kCategories; ++i) editor_.grids[static_cast<std::size_t>(i)] = grid(i).model();
    auto hit = findCommand(editor_, term);
    if (!hit) {
        say(L"입력한 " + term + L" 명령어를 찾을 수 없습니다 ");
        SetFocus(tbSearch_->hwnd());
        SendMessageW(tbSearch_->hwnd(), EM_SETSEL, 0, -1);
        return;
    }
    lstKelva_->setItemSelected(static_cast<std::int16_t>(hit->grid), true);
    showCategory(hit->grid);
    GridWindow& g = grid(hit->grid);
    g.model().setCurrent(hit->row, ColProgram);
    placeOver(*tbFind_, g);
    tbFind_->setText(g.model().text(hit->row, ColProgram));
    tbFind_->setVisible(true);
    tbFind_->bringToFront();
    g.refresh();
}

void MainWindow::cbSave_Click() {
    if (!commitEditor()) return;
    auto file = chooseUserFile ? chooseUserFile(true) : std::nullopt;
    if (!file) return;
    takeGrids();
    if (!files->write(*file, writeUserCommands(editor_))) {
        say(file->wstring() + L" 파일에 쓸 수 없습니다");
        return;
    }
    say(L"저장 완료!\n\n나중에 이 파일을 열어서 설정한 명령을 복원할 수 있습니다  ");
}

void MainWindow::cbOpen_Click() {
    hideEditor();
    auto file = chooseUserFile ? chooseUserFile(false) : std::nullopt;
    if (!file) return;
    TextRead read = readText(*files, *file);
    if (!read.ok()) {
        say(readErrorMessage(*file, read.error));
        return;
    }
    takeGrids();
    ImportResult imported = readUserCommands(editor_, read.text);
    for (int i = 0; i < kCategories; ++i) {
        grid(i).model() = editor_.grids[static_cast<std::size_t>(i)];
        grid(i).refresh();
    }
    say(L"사용자가 저장한 명령을 가져왔습니다\n\n[명령 변경] 버튼을 눌러야 Kelva의 명령이 변경됩니다   ");
    if (imported.refused > 0)
        say(L"명령어로 쓸 수 없는 이름 " + std::to_wstring(imported.refused) + L"개는 가져오지 않았습니다\n\n" + kBadCharMessage);
}

void MainWindow::cbOK_Click() {
    // The name being typed counts: it is committed (and checked) before the duplicates are.
    if (!commitEditor()) return;
    hideEditor();
    takeGrids();
    if (auto refused = findRefusedName(editor_)) {
        say(*refused);
        return;
    }
    if (auto name = findDuplicate(editor_)) {
        say(*name + L" 명령이 중복되어 입력됐습니다 ");
        return;
    }
    applyCommands(false);
}

void MainWindow::cbDefault_Click() {
    applyCommands(true);
    // The grids show what the command table on the disk now says, whether the restore went
    // through or not.
    loadCommandTable(false, true);
}

ApplyResult::Outcome MainWindow::applyCommands(bool restoreDefaults) {
    hideEditor();
    takeGrids();
    ApplyResult result = cmd::applyCommands(editor_, restoreDefaults, *files, folder_);
    if (result.outcome != ApplyResult::Outcome::Written) {
        say(result.message);
        return result.outcome;
    }
    // The files carry the user names now: so does the current column (a restore reloads the
    // whole table after this).
    if (!restoreDefaults) {
        takeAppliedNames(editor_);
        for (int i = 0; i < kCategories; ++i) {
            grid(i).model() = editor_.grids[static_cast<std::size_t>(i)];
            grid(i).refresh();
        }
    }
    try {
        acadApp_ = findAcad ? findAcad() : com::ComPtr<IDispatch>{};
        if (acadApp_) acadDoc_ = com::getObject(acadApp_.get(), L"ActiveDocument");
    } catch (const std::exception&) {
        acadDoc_.reset();
    }
    UnLoadKelvaMenu();
    LoadKelvaMenu();
    say(kCompletionMessage);
    acadDoc_.reset();
    acadApp_.reset();
    return result.outcome;
}

com::ComPtr<IDispatch> MainWindow::GetACAD() { return getAcad(); }

void MainWindow::UnLoadKelvaMenu() {
    if (!acadDoc_) return;
    AcadMenuHost host(acadDoc_.get());
    unloadKelvaMenu(host);
}

void MainWindow::LoadKelvaMenu() {
    if (!acadDoc_) return;
    AcadMenuHost host(acadDoc_.get());
    loadKelvaMenu(host);
}

void MainWindow::LoadLisp() {
    std::wstring command = L"(load \"" + folder_.wstring() + L"\\Kelva.lsp\")\r";
    com::call(acadDoc_.get(), L"SendCommand", {com::Variant::fromString(command)});
}

void MainWindow::cbHelp_Click() {
    auto path = folder_ / L"Kelva.chm";
    DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        say(L"Kelva 도움말 파일을 찾을 수 없습니다 ");
        return;
    }
    // HTML Help is loaded when asked for, so the editor runs where it is not installed.
    HMODULE hh = LoadLibraryW(L"hhctrl.ocx");
    if (!hh) {
        say(L"Kelva 도움말 파일을 찾을 수 없습니다 ");
        return;
    }
    using HtmlHelpW = HWND(WINAPI*)(HWND, LPCWSTR, UINT, DWORD_PTR);
    auto show = reinterpret_cast<HtmlHelpW>(reinterpret_cast<void*>(GetProcAddress(hh, "HtmlHelpW")));
    std::wstring topic = path.wstring() + L"::/html/KelvaCmd.htm";
    if (show) show(form_->hwnd(), topic.c_str(), 0, 0);
}

void MainWindow::cbExit_Click() { form_->unload(); }

}  // namespace kelva::cmd
