#include "palette/win/char_window.h"

#include <commctrl.h>

#include <algorithm>

#include "com/latebound.h"
#include "core/values.h"
#include "palette/win/about_window.h"
#include "palette/win/fonts.h"
#include "palette/win/option_window.h"
#include "palette/win/palette_controls.h"
#include "palette/win/popup.h"
#include "runtime/gdi.h"
#include "runtime/scale.h"
#include "runtime/services.h"

namespace kelva::palette {

namespace {

constexpr double kWidth = 6690;
constexpr std::uint32_t kBackground = 0x8000000F;
constexpr double kPageWidth = 6315, kPageHeight = 3195;

long long nearest(double v) { return static_cast<long long>(roundHalfEven(v)); }

rt::FontDesc hangulFont(double size, bool bold = false) {
    rt::FontDesc f;
    f.name = substituteFace(kDesignHangulFace);
    f.size = size;
    f.bold = bold;
    f.charset = 129;  // Hangul
    return f;
}

std::int32_t ole(std::uint32_t c) { return static_cast<std::int32_t>(c); }

const std::wstring kMissing(1, L'\xFFFF');

}  // namespace

// ----- settings store and the two window routines

std::optional<std::wstring> RegistryStore::get(std::wstring_view key) {
    std::wstring v = rt::getSetting(kAppName, kSection, key, kMissing);
    if (v == kMissing) return std::nullopt;
    return v;
}

void RegistryStore::save(std::wstring_view key, std::wstring_view value) {
    if (!rt::saveSetting(kAppName, kSection, key, value)) throw std::runtime_error("settings store refused");
}

void SetTopMost(HWND window, bool on) {
    SetWindowPos(window, on ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

void DragForm(HWND window) {
    ReleaseCapture();
    SendMessageW(window, WM_NCLBUTTONDOWN, HTCAPTION, 0);
}

// ----- the window

CharWindow::CharWindow(SettingsStore& store) : store_(store) {
    InitCommonControls();  // window initialise: a failure is ignored
    build();
    wire();
    runStartup(*this, store_);
}

CharWindow::~CharWindow() {
    frmOption_.reset();
    frmAbout_.reset();
    // The tab control may still raise events while its window goes: nobody listens any more, and
    // the form goes while everything its events could reach is still here.
    if (XTab_) {
        XTab_->BeforeTabSwitch = nullptr;
        XTab_->KeyDown = nullptr;
        XTab_->KeyArriving = nullptr;
        XTab_->KeyHandled = nullptr;
    }
    form_.reset();
}

void CharWindow::build() {
    rt::FormLayout layout;
    layout.caption = kTitle;
    RECT work{0, 0, 1024, 768};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const double left = std::max(0.0, ((work.right - work.left) * rt::twipsPerPixelX() - kWidth) / 2);
    const double top = std::max(0.0, ((work.bottom - work.top) * rt::twipsPerPixelY() - kFullHeight) / 2);
    layout.rect = {left, top, kWidth, kFullHeight};
    layout.borderless = true;
    layout.font = hangulFont(9);
    layout.backColor = kBackground;
    form_ = std::make_unique<rt::Form>(layout);
    rt::Form& f = *form_;

    shpRec_ = &f.add<rt::Shape>(L"shpRec", {0, 0, kWidth, kFullHeight});
    lblTop_ = &f.add<DragLabel>(L"lblTop", {0, 0, kWidth, 420});
    lblTop_->setColors(0x404040, 0xFFFFFF);
    imgIcon_ = &f.add<GlyphImage>(L"imgIcon", {105, 105, 195, 195}, nullptr, GlyphImage::Kind::Icon);
    lblTitle_ = &f.add<DragLabel>(L"lblTitle", {390, 90, 3000, 270});
    lblTitle_->setColors(0x404040, 0xFFFFFF);
    lblTitle_->setFont(hangulFont(9, true));
    lblTitle_->setText(kTitle);
    imgMini_ = &f.add<GlyphImage>(L"imgMini", {6300, 70, 255, 255}, nullptr, GlyphImage::Kind::Minimize);
    imgMini_->setToolTipText(L"최소화");

    XTab_ = createPageTabs(f, {60, 480, 6570, 3675});
    for (int i = 0; i < kPageCount; ++i) {
        // At design time the pages of tabs 1 to 5 lie parked to the left, one tab offset each.
        auto& p = f.add<KeyPictureBox>(L"picMap(" + std::to_wstring(i) + L")",
                                       {60 - i * kTabOffset, 420, kPageWidth, kPageHeight}, &XTab_->control(), true);
        p.surface().setBackColor(0x80000005);
        picMap_[static_cast<std::size_t>(i)] = &p;
    }
    // The scratch boxes are drawn on and copied from, never shown: a surface each, without a window.
    for (auto* scratch : {&picTemp_, &picFavTemp_}) {
        *scratch = std::make_unique<rt::Surface>();
        (*scratch)->resize(rt::roundPixel(315 / rt::twipsPerPixelX()), rt::roundPixel(315 / rt::twipsPerPixelY()));
        (*scratch)->setFont(std::make_shared<rt::Font>(hangulFont(9)));
    }

    f.add<rt::StdControl>(L"Label1", {120, 4260, 900, 240}, nullptr, rt::StdControl::Kind::Label).setText(L"즐겨 찾기 :");
    picFavorite_ = &f.add<KeyPictureBox>(L"picFavorite", {1020, 4215, 4305, 300}, nullptr, true);
    picFavorite_->setAutoRedraw(true);
    picFavorite_->surface().setBackColor(0x80000005);
    picFavorite_->surface().setFont(std::make_shared<rt::Font>(hangulFont(9)));

    XPSimpleFrame4_ = &f.add<ctl::XPSimpleFrame>(L"XPSimpleFrame4", {5460, 4215, 1110, 735});
    XPSimpleFrame4_->initNew();
    picLarge_ = &f.add<rt::PictureBox>(L"picLarge", {112, 105, 885, 525}, XPSimpleFrame4_);
    picLarge_->setAutoRedraw(true);
    picLarge_->surface().setBackColor(0x80000005);
    picLarge_->surface().setFont(std::make_shared<rt::Font>(hangulFont(27)));

    f.add<rt::StdControl>(L"Label2", {120, 4650, 900, 240}, nullptr, rt::StdControl::Kind::Label).setText(L"선택 문자 :");
    XPSimpleFrame1_ = &f.add<ctl::XPSimpleFrame>(L"XPSimpleFrame1", {1020, 4605, 2760, 330});
    XPSimpleFrame1_->initNew();
    tbChars_ = &f.add<rt::StdControl>(L"tbChars", {30, 30, 2700, 270}, XPSimpleFrame1_, rt::StdControl::Kind::TextBox);
    tbChars_->setFont(hangulFont(9));
    XPSimpleFrame1_->setAutoSizeContained(true);

    auto addButton = [&](const wchar_t* name, const wchar_t* caption, rt::TwipsRect r, bool focusRect,
                         rt::Control* container = nullptr) {
        auto& b = f.add<ctl::XPButton>(name, r, container);
        rt::PropertyBag bag;
        bag.write(L"Caption", std::wstring(caption));
        bag.write(L"FocusRect", focusRect);
        bag.write(L"Font", rt::FontDesc{L"Verdana", 8.25});
        b.load(bag);
        buttons_.push_back(&b);
        return &b;
    };
    addButton(L"cbDel", L"삭제", {3840, 4605, 690, 330}, false);
    addButton(L"cbCopy", L"복 사", {4590, 4605, 795, 330}, false);

    chkCAD_ = &f.add<ctl::Check>(L"chkCAD", {120, 5070, 1000, 255});
    {
        rt::PropertyBag bag;
        bag.write(L"Caption", std::wstring(L" ACAD"));
        bag.write(L"BackColor", ole(0x8000000F));
        bag.write(L"ForeColor", ole(0));
        chkCAD_->load(bag);
    }
    addButton(L"cbOption", L"옵 션", {3180, 5025, 1035, 375}, false);
    addButton(L"cbAbout", L"정 보", {4275, 5025, 1035, 375}, false);
    addButton(L"cbExit", L"종 료", {5370, 5025, 1200, 375}, false);

    xFrame1_ = &f.add<ctl::XFrame>(L"xFrame1", {60, 5490, 6570, 1875});
    {
        rt::PropertyBag bag;
        bag.write(L"Caption", std::wstring(L"AutoCAD에 문자 쓰기"));
        bag.write(L"ColorScheme", 0);
        bag.write(L"BorderColor", ole(0x9E9E9E));
        bag.write(L"ButtonColor", 0);
        bag.write(L"ButtonHighlightColor", ole(0xAFAFAF));
        bag.write(L"ForeColor", 0);
        bag.write(L"GradientBottom", ole(0xEFEFEF));
        bag.write(L"HeaderGradientTop", ole(0xE0E8EC));
        bag.write(L"HeaderGradientBottom", ole(0xE0E8EC));
        bag.write(L"Font", hangulFont(9));
        bag.write(L"Enabled", true);
        xFrame1_->load(bag);
    }
    f.add<rt::StdControl>(L"Label3", {150, 480, 600, 240}, xFrame1_, rt::StdControl::Kind::Label).setText(L"글꼴 : ");
    cobFont_ = &f.add<rt::StdControl>(L"cobFont", {750, 435, 2460, 300}, xFrame1_, rt::StdControl::Kind::ComboBox);
    XPSimpleFrame2_ = &f.add<ctl::XPSimpleFrame>(L"XPSimpleFrame2", {3360, 420, 2640, 345}, xFrame1_);
    XPSimpleFrame2_->initNew();
    f.add<rt::StdControl>(L"Label4", {60, 60, 1000, 225}, XPSimpleFrame2_, rt::StdControl::Kind::Label)
        .setText(L"문자크기 : ");
    tbHeight_ = &f.add<rt::StdControl>(L"tbHeight", {1080, 45, 1500, 255}, XPSimpleFrame2_, rt::StdControl::Kind::TextBox);
    tbHeight_->setText(L"3.000");
    imgGetText_ = &f.add<GlyphImage>(L"imgGetText", {6120, 450, 255, 255}, xFrame1_, GlyphImage::Kind::GetText);
    optNew_ = &f.add<rt::StdControl>(L"optNew", {150, 870, 2700, 255}, xFrame1_, rt::StdControl::Kind::OptionButton);
    optNew_->setText(L"위 글꼴로 새로 쓰기");
    optBack_ = &f.add<rt::StdControl>(L"optBack", {150, 1170, 2700, 255}, xFrame1_, rt::StdControl::Kind::OptionButton);
    optBack_->setText(L"기존 문자 뒤에 쓰기");
    optFront_ = &f.add<rt::StdControl>(L"optFront", {150, 1470, 2700, 255}, xFrame1_, rt::StdControl::Kind::OptionButton);
    optFront_->setText(L"기존 문자 앞에 쓰기");
    for (auto* c : {cobFont_, tbHeight_, optNew_, optBack_, optFront_}) c->setFont(hangulFont(9));
    addButton(L"cbWrite", L"문자 쓰기", {3360, 900, 1500, 420}, true, xFrame1_);
    addButton(L"cbGet", L"문자 가져오기", {4920, 900, 1500, 420}, true, xFrame1_);
    // Later controls lie above earlier ones, as the design stacks them.
    for (rt::Control* c : {static_cast<rt::Control*>(imgIcon_), static_cast<rt::Control*>(lblTitle_),
                           static_cast<rt::Control*>(imgMini_)})
        c->bringToFront();
    // What a simple frame holds lies above the frame's own outline.
    for (auto* frame : {XPSimpleFrame1_, XPSimpleFrame2_, XPSimpleFrame4_})
        for (auto* c : frame->contained()) c->bringToFront();
    shpRec_->sendToBack();
}

void CharWindow::wire() {
    rt::Form& f = *form_;
    for (auto* strip : {lblTop_, lblTitle_}) strip->MouseDown = [this] { DragForm(form_->hwnd()); };
    imgIcon_->MouseDown = [this] { DragForm(form_->hwnd()); };
    imgMini_->MouseDown = [this] { imgMini_->setLeft(6320), imgMini_->setTop(90); };
    imgMini_->MouseUp = [this] { imgMini_->setLeft(6300), imgMini_->setTop(70); };
    imgMini_->Click = [this] { minimize(); };
    imgGetText_->MouseDown = [this] { imgGetText_->setLeft(6140), imgGetText_->setTop(470); };
    imgGetText_->MouseUp = [this] { imgGetText_->setLeft(6120), imgGetText_->setTop(450); };
    imgGetText_->Click = [this] { writer_.imgGetText_Click(); };

    XTab_->BeforeTabSwitch = [this](bool& cancel) {
        if (map_.beforeTabSwitch()) cancel = true;
    };
    XTab_->KeyDown = [this](int key, int shift) { map_.formKeyDown(key, shift); };
    XTab_->KeyArriving = [this](int key, int shift) { map_.tabKeyStarting(key, shift); };
    XTab_->KeyHandled = [this] { map_.tabKeyEnded(); };
    for (auto* p : picMap_) {
        p->MouseDown = [this, p](const rt::MouseArgs& a) {
            SetFocus(p->hwnd());
            map_.pageMouseDown(a.button, a.x, a.y);
        };
        p->MouseMove = [this](const rt::MouseArgs& a) { map_.pageMouseMove(a.button, a.x, a.y); };
        p->DblClick = [this] { map_.pageDblClick(); };
        p->KeyDown = [this](int key, int shift) { map_.pageKeyDown(key, shift); };
        p->KeyPress = [this] { map_.pageKeyPress(); };
        p->LostFocus = [this] { map_.pageLostFocus(); };
    }
    picFavorite_->MouseDown = [this](const rt::MouseArgs& a) {
        SetFocus(picFavorite_->hwnd());
        map_.stripMouseDown(a.button, a.x, a.y);
    };
    picFavorite_->MouseMove = [this](const rt::MouseArgs& a) { map_.stripMouseMove(a.button, a.x, a.y); };
    picFavorite_->DblClick = [this] { map_.stripDblClick(); };
    picFavorite_->KeyDown = [this](int key, int shift) { map_.stripKeyDown(key, shift); };
    picFavorite_->KeyPress = [this] { map_.stripKeyPress(); };
    picFavorite_->LostFocus = [this] { map_.stripLostFocus(); };
    for (auto* option : {optNew_, optBack_, optFront_}) option->Click = [this] { cbWriteCaption(); };

    button(L"cbDel").Click = [this] {
        tbChars_->setText(L"");
        focusChars();
    };
    button(L"cbCopy").Click = [this] {
        SendMessageW(tbChars_->hwnd(), EM_SETSEL, 0, -1);
        rt::setClipboardText(tbChars_->text());
    };
    button(L"cbOption").Click = [this] { cbOption_Click(); };
    button(L"cbAbout").Click = [this] { cbAbout_Click(); };
    button(L"cbExit").Click = [this] { cbExit_Click(); };
    button(L"cbWrite").Click = [this] { writer_.cbWrite_Click(); };
    button(L"cbGet").Click = [this] { writer_.cbGet_Click(); };
    chkCAD_->Click = [this] { togglePanel(*this); };

    f.QueryUnload = [this](rt::UnloadReason reason) {
        if (refuseClose(reason == rt::UnloadReason::FormControlMenu)) return true;
        saveOnExit(*this, store_);
        return false;
    };
    f.Unload = [this] { onExit(); };
}

void CharWindow::show() {
    form_->show();
    SetForegroundWindow(form_->hwnd());
}

ctl::XPButton& CharWindow::button(std::wstring_view name) {
    for (auto* b : buttons_)
        if (b->name() == name) return *b;
    throw std::out_of_range("no such button");
}

rt::Control& CharWindow::image(std::wstring_view name) {
    if (name == L"imgMini") return *imgMini_;
    if (name == L"imgGetText") return *imgGetText_;
    return *imgIcon_;
}

rt::Control& CharWindow::titleStrip() { return *lblTop_; }

rt::StdControl& CharWindow::option(WriteMode m) {
    return m == WriteMode::New ? *optNew_ : m == WriteMode::Back ? *optBack_ : *optFront_;
}

// What the tip window itself holds for the page, not what was asked of it.
std::wstring CharWindow::pageToolTip(int page) const {
    HWND tip = form_->toolTipWindow();
    if (!tip) return {};
    wchar_t buffer[256] = {};
    TTTOOLINFOW info{};
    info.cbSize = sizeof info;
    info.hwnd = form_->hwnd();
    info.uId = reinterpret_cast<UINT_PTR>(picMap_.at(static_cast<std::size_t>(page))->hwnd());
    info.lpszText = buffer;
    if (!SendMessageW(tip, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&info))) return {};
    return buffer;
}

void CharWindow::cbWriteCaption() {
    button(L"cbWrite").setCaption(writeModeNew() ? L"문자 쓰기" : L"문자 선택");
}

// ----- rendering

void CharWindow::DrawGlyph(rt::Surface& s, const std::wstring& text, bool selected, bool focused, bool favorite) {
    rt::Font& font = s.font();
    // Plain face; a setter is only called for a change, since each one makes the font anew.
    const rt::FontDesc& d = font.desc();
    if (d.bold) font.setBold(false);
    if (d.italic) font.setItalic(false);
    if (d.strikethrough) font.setStrikethrough(false);
    if (d.underline) font.setUnderline(false);
    std::uint32_t back;
    if (focused)
        back = selected ? 0x8000000D : 0x80000005;
    else
        back = favorite ? 0x80000005 : 0x808080;
    std::uint32_t fore = selected ? 0x8000000E : 0x80000008;
    if (favorite && !focused) fore = 0x80000008;
    s.setBackColor(back);
    s.setForeColor(fore);
    s.currentX = static_cast<double>(nearest(s.scale().scaleWidth()) / 2 - nearest(s.textWidth(text)) / 2);
    s.currentY = static_cast<double>(nearest(s.scale().scaleHeight()) / 2 - nearest(s.textHeight(text)) / 2);
    s.print(text);
    // The box outline from (0, 0) to one pixel short of the far edges, its four sides as one path
    // with one pen: every page cell is drawn this way at start-up.
    const int r = s.pixelWidth() - 1, b = s.pixelHeight() - 1;
    const POINT outline[] = {{0, 0}, {r, 0}, {r, b}, {0, b}, {0, 0}};
    rt::PenPtr pen(CreatePen(PS_SOLID, 1, RGB(0xC0, 0xC0, 0xC0)));
    rt::ScopedSelect select(s.hdc(), pen.get());
    Polyline(s.hdc(), outline, 5);
}

void CharWindow::copyGlyph(const rt::Surface& from, rt::PictureBox& to, PixelPos at, int w, int h) {
    w = std::min(w, from.pixelWidth());
    h = std::min(h, from.pixelHeight());
    BitBlt(to.surface().hdc(), at.x, at.y, w, h, from.hdc(), 0, 0, SRCCOPY);
}

void CharWindow::FillCharMap(int page) {
    rt::PictureBox& box = *picMap_[static_cast<std::size_t>(page)];
    box.surface().cls();
    const int pen = 1;
    const int w = map_.metrics.pageW + 2 * pen, h = map_.metrics.pageH + 2 * pen;
    for (int cell = 1; cell <= kCellCount; ++cell) {
        DrawGlyph(*picTemp_, codeText(drawnCode(page, cell)), false, true, false);
        const PixelPos at{((cell - 1) % kColumns) * map_.metrics.pageW, ((cell - 1) / kColumns) * map_.metrics.pageH};
        copyGlyph(*picTemp_, box, at, w, h);
    }
    box.refresh();
}

int CharWindow::activePage() { return XTab_->ActiveTab(); }
void CharWindow::setActivePage(int page) { XTab_->setActiveTab(page); }

void CharWindow::drawPageCell(int page, PixelPos at, const std::wstring& text, bool selected, bool focused) {
    if (page < 0 || page >= kPageCount) return;
    DrawGlyph(*picTemp_, text, selected, focused, false);
    rt::PictureBox& box = *picMap_[static_cast<std::size_t>(page)];
    copyGlyph(*picTemp_, box, at, map_.metrics.pageW, map_.metrics.pageH);
    box.refresh();
}

void CharWindow::drawFavoriteCell(PixelPos at, const std::wstring& text, bool selected, bool focused, bool full) {
    DrawGlyph(*picFavTemp_, text, selected, focused, true);
    const int pad = full ? 2 : 0;
    copyGlyph(*picFavTemp_, *picFavorite_, at, map_.metrics.favW + pad, map_.metrics.favH + pad);
    picFavorite_->refresh();
}

void CharWindow::clearFavorites() {
    picFavorite_->surface().cls();
    picFavTemp_->font().setName(picFavorite_->surface().font().desc().name);
}

void CharWindow::showPreview(const std::wstring& text) {
    rt::Surface& s = picLarge_->surface();
    s.cls();
    s.currentX = static_cast<double>(nearest(s.scale().scaleWidth()) / 2 - nearest(s.textWidth(text)) / 2);
    s.currentY = static_cast<double>(nearest(s.scale().scaleHeight()) / 2 - nearest(s.textHeight(text)) / 2);
    s.print(text);
    picLarge_->refresh();
}

void CharWindow::insertText(const std::wstring& text) {
    SendMessageW(tbChars_->hwnd(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
}

void CharWindow::copyToClipboard(const std::wstring& text) { rt::setClipboardText(text); }

bool CharWindow::copyOnDoubleClick() {
    try {
        return readBool(store_, L"Copy", true);
    } catch (const BadSetting&) {
        return true;
    }
}

int CharWindow::popup(const std::vector<std::wstring>& items) { return clsPopup::Popup(items); }

void CharWindow::message(const std::wstring& text) { rt::msgBox({form_->hwnd(), text, kTitle, MB_OK}); }

// ----- start-up and the panel

void CharWindow::setCaption(const std::wstring& caption) { SetWindowTextW(form_->hwnd(), caption.c_str()); }

void CharWindow::fillFontList() {
    FillFontList(cobFont_->hwnd());
    cobFont_->setText(form_->font().name);
}

void CharWindow::takeCellMetrics() {
    const SIZE page = picMap_[0]->clientPixels();
    const SIZE strip = picFavorite_->clientPixels();
    const double tx = rt::twipsPerPixelX(), ty = rt::twipsPerPixelY();
    map_.metrics = computeMetrics(page.cx * tx, page.cy * ty, strip.cx * tx, strip.cy * ty, tx, ty);
    // A scratch box holds one cell and one pixel of drawing width beyond it.
    picTemp_->resize(map_.metrics.pageW + 1, map_.metrics.pageH + 1);
    rt::FontDesc large = picLarge_->surface().font().desc();
    large.size = 3 * picTemp_->font().desc().size;
    picLarge_->surface().font().setDesc(large);
    picFavTemp_->resize(map_.metrics.favW + 1, map_.metrics.favH + 1);
}

void CharWindow::showPreview(bool on) {
    picLarge_->setVisible(on);
    XPSimpleFrame4_->setVisible(on);
}

void CharWindow::showAcadCheck(bool on) { chkCAD_->setVisible(on); }
void CharWindow::setTopMost(bool on) { SetTopMost(form_->hwnd(), on); }
int CharWindow::acadCheckValue() { return chkCAD_->Value(); }
void CharWindow::setAcadCheckValue(int v) { chkCAD_->setValue(v); }

double CharWindow::windowHeight() {
    RECT r;
    GetWindowRect(form_->hwnd(), &r);
    return (r.bottom - r.top) * rt::twipsPerPixelY();
}

void CharWindow::setWindowHeight(double twips) {
    RECT r;
    GetWindowRect(form_->hwnd(), &r);
    const int height = static_cast<int>(roundHalfEven(twips / rt::twipsPerPixelY()));
    SetWindowPos(form_->hwnd(), nullptr, 0, 0, r.right - r.left, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CharWindow::showPanel(bool on) { xFrame1_->setVisible(on); }

void CharWindow::coverWindowWithShape() {
    RECT r;
    GetWindowRect(form_->hwnd(), &r);
    shpRec_->move({0, 0, (r.right - r.left) * rt::twipsPerPixelX(), (r.bottom - r.top) * rt::twipsPerPixelY()});
}

void CharWindow::setupTabs() {
    XTab_->setTabCount(kPageCount);
    XTab_->setEnabled(true);
    for (int i = 0; i < kPageCount; ++i) XTab_->setTabCaption(i, kTabCaptions[static_cast<std::size_t>(i)]);
    XTab_->setActiveTab(0);
}

int CharWindow::pageCount() { return XTab_->TabCount(); }

void CharWindow::setupPage(int page, bool copyTooltip) {
    rt::PictureBox& box = *picMap_.at(static_cast<std::size_t>(page));
    box.surface().scale().setUserScale(0, 0, box.rect().width, box.rect().height);
    box.setAutoRedraw(true);
    if (copyTooltip) setPageTooltip(page, true);
}

void CharWindow::setPageTooltip(int page, bool copyTooltip) {
    if (page < 0 || page >= kPageCount) return;
    picMap_[static_cast<std::size_t>(page)]->setToolTipText(copyTooltip ? kCopyTooltip : L"");
}

void CharWindow::fillPages() {
    for (int page = 0; page < kPageCount; ++page) FillCharMap(page);
}

void CharWindow::setWriteMode(bool newText, bool back, bool front) {
    // As with option buttons, choosing one clears the others; a False leaves them alone.
    auto choose = [](rt::StdControl* o, bool on, std::initializer_list<rt::StdControl*> others) {
        if (!on) {
            SendMessageW(o->hwnd(), BM_SETCHECK, BST_UNCHECKED, 0);
            return;
        }
        SendMessageW(o->hwnd(), BM_SETCHECK, BST_CHECKED, 0);
        for (auto* other : others) SendMessageW(other->hwnd(), BM_SETCHECK, BST_UNCHECKED, 0);
    };
    choose(optNew_, newText, {optBack_, optFront_});
    choose(optBack_, back, {optNew_, optFront_});
    choose(optFront_, front, {optNew_, optBack_});
    cbWriteCaption();
}

bool CharWindow::writeModeNew() { return SendMessageW(optNew_->hwnd(), BM_GETCHECK, 0, 0) == BST_CHECKED; }
bool CharWindow::writeModeBack() { return SendMessageW(optBack_->hwnd(), BM_GETCHECK, 0, 0) == BST_CHECKED; }
bool CharWindow::writeModeFront() { return SendMessageW(optFront_->hwnd(), BM_GETCHECK, 0, 0) == BST_CHECKED; }

void CharWindow::setTextHeight(const std::wstring& text) { tbHeight_->setText(text); }
std::wstring CharWindow::textHeight() { return tbHeight_->text(); }

void CharWindow::setFavorites(const std::wstring& text) {
    map_.favorites = text;
    map_.DrawFavorites();
}

double CharWindow::windowTop() {
    RECT r;
    GetWindowRect(form_->hwnd(), &r);
    return r.top * rt::twipsPerPixelY();
}

double CharWindow::windowLeft() {
    RECT r;
    GetWindowRect(form_->hwnd(), &r);
    return r.left * rt::twipsPerPixelX();
}

bool CharWindow::attachAutoCAD() {
    writer_.application = findAcad ? findAcad() : com::ComPtr<IDispatch>();
    return static_cast<bool>(writer_.application);
}

void CharWindow::takeActiveDocument() {
    writer_.document = com::getObject(writer_.application.get(), L"ActiveDocument");
}

void CharWindow::focusChars() { SetFocus(tbChars_->hwnd()); }

// ----- what the write routines use

std::wstring CharWindow::chars() { return tbChars_->text(); }

void CharWindow::setChars(const std::wstring& text) {
    tbChars_->setText(text);
    const auto end = static_cast<LPARAM>(text.size());
    SendMessageW(tbChars_->hwnd(), EM_SETSEL, static_cast<WPARAM>(end), end);
}

std::wstring CharWindow::fontName() { return cobFont_->text(); }
std::wstring CharWindow::heightText() { return tbHeight_->text(); }
void CharWindow::setHeightText(const std::wstring& text) { tbHeight_->setText(text); }

WriteMode CharWindow::writeMode() {
    if (writeModeBack()) return WriteMode::Back;
    if (writeModeFront()) return WriteMode::Front;
    return WriteMode::New;
}

void CharWindow::minimize() { ShowWindow(form_->hwnd(), SW_MINIMIZE); }
void CharWindow::restore() { ShowWindow(form_->hwnd(), SW_RESTORE); }

// ----- the two other windows and the exit

void CharWindow::cbOption_Click() {
    if (!frmOption_) frmOption_ = std::make_unique<OptionWindow>(*this, store_);
    frmOption_->show();
}

void CharWindow::cbAbout_Click() {
    if (!frmAbout_) frmAbout_ = std::make_unique<AboutWindow>(form_->hwnd());
    frmAbout_->show();
}

void CharWindow::cbExit_Click() { form_->unload(); }

void CharWindow::onExit() {
    if (exiting_) return;
    exiting_ = true;
    writer_.release();
    if (frmOption_) frmOption_->close();
    if (frmAbout_) frmAbout_->close();
    if (Unloaded) Unloaded();
}

}  // namespace kelva::palette
