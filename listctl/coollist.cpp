#include "listctl/coollist.h"

#include <commctrl.h>

#include <algorithm>

#include "com/latebound.h"
#include "core/errors.h"
#include "runtime/form.h"
#include "runtime/gdi.h"
#include "runtime/services.h"
#include "runtime/subclass.h"

namespace kelva::lst {

namespace {

constexpr UINT_PTR kEditSubclassId = 0x4C53;  // 'LS'
constexpr UINT_PTR kPicSubclassId = 0x4C50;

RECT winRect(const Rect& r) { return {r.left, r.top, r.right, r.bottom}; }

void fillSolidRect(HDC dc, const RECT& r, COLORREF c) {
    rt::BrushPtr brush(CreateSolidBrush(c));
    FillRect(dc, &r, brush.get());
}

void tintRect(HDC dc, const RECT& r, COLORREF c) {
    rt::BrushPtr brush(CreateSolidBrush(c));
    rt::ScopedSelect sel(dc, brush.get());
    PatBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, 0xA000C9);  // destination AND pattern
}

void drawGradient(HDC dc, const RECT& r, const Vertex16& c1, const Vertex16& c2, bool vertical) {
    TRIVERTEX v[2] = {{r.left, r.top, c1.red, c1.green, c1.blue, 0}, {r.right, r.bottom, c2.red, c2.green, c2.blue, 0}};
    GRADIENT_RECT mesh{0, 1};
    GradientFill(dc, v, 2, &mesh, 1, vertical ? GRADIENT_FILL_RECT_V : GRADIENT_FILL_RECT_H);
}

void drawRoundBox(HDC dc, RECT r, int offset, int radius, COLORREF fill, COLORREF pen) {
    rt::PenPtr p(CreatePen(PS_SOLID, 1, pen));
    rt::BrushPtr b(CreateSolidBrush(fill));
    rt::ScopedSelect sp(dc, p.get());
    rt::ScopedSelect sb(dc, b.get());
    InflateRect(&r, -offset, -offset);
    RoundRect(dc, r.left, r.top, r.right, r.bottom, radius, radius);
}

// Pixels in the units of a container's scale mode (1 twips, 2 points, 3 pixels, 4 characters,
// 5 inches, 6 millimetres, 7 centimetres; a user scale is taken as twips).
double pixelsToScale(double px, int mode, bool vertical) {
    const double twips = px * (vertical ? rt::twipsPerPixelY() : rt::twipsPerPixelX());
    switch (mode) {
    case 2: return twips / 20.0;
    case 3: return px;
    case 4: return twips / (vertical ? 240.0 : 120.0);
    case 5: return twips / 1440.0;
    case 6: return twips / 1440.0 * 25.4;
    case 7: return twips / 1440.0 * 2.54;
    default: return twips;
    }
}

LPCWSTR standardCursor(int pointer) {
    switch (pointer) {
    case 1: return IDC_ARROW;
    case 2: return IDC_CROSS;
    case 3: return IDC_IBEAM;
    case 4: return IDC_ICON;
    case 5: return IDC_SIZEALL;
    case 6: return IDC_SIZENESW;
    case 7: return IDC_SIZENS;
    case 8: return IDC_SIZENWSE;
    case 9: return IDC_SIZEWE;
    case 10: return IDC_UPARROW;
    case 11: return IDC_WAIT;
    case 12: return IDC_NO;
    case 13: return IDC_APPSTARTING;
    case 14: return IDC_HELP;
    case 15: return IDC_SIZEALL;
    default: return nullptr;
    }
}

}  // namespace

// ---- constituent windows ---------------------------------------------------------------------------

HWND VScrollBar::createWindow(HWND parent, const RECT& px) {
    return CreateWindowExW(0, L"SCROLLBAR", L"", WS_CHILD | SBS_VERT, px.left, px.top, px.right - px.left,
                           px.bottom - px.top, parent, nullptr, GetModuleHandleW(nullptr), nullptr);
}

HWND EditBox::createWindow(HWND parent, const RECT& px) {
    // One line that scrolls sideways: an item's text is one line of the list.
    HWND h = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | ES_AUTOHSCROLL | ES_LEFT, px.left, px.top,
                             px.right - px.left, px.bottom - px.top, parent, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (h) rt::setWindowSubclass(h, subclassProc, kEditSubclassId, reinterpret_cast<DWORD_PTR>(this));
    return h;
}

LRESULT CALLBACK EditBox::subclassProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
    return rt::guardMessage(h, [&] { return message(h, msg, wParam, lParam, reinterpret_cast<EditBox*>(data)); },
                            [&] { return rt::defSubclassProc(h, msg, wParam, lParam); });
}

LRESULT EditBox::message(HWND h, UINT msg, WPARAM wParam, LPARAM lParam, EditBox* self) {
    switch (msg) {
    case WM_GETDLGCODE: return rt::defSubclassProc(h, msg, wParam, lParam) | DLGC_WANTALLKEYS;
    case WM_CHAR:
        if (self->Char && self->Char(static_cast<wchar_t>(wParam))) return 0;
        break;
    case WM_KILLFOCUS: {
        const LRESULT r = rt::defSubclassProc(h, msg, wParam, lParam);
        if (self->LostFocus) self->LostFocus(reinterpret_cast<HWND>(wParam));
        return r;
    }
    case WM_SETFOCUS: {
        const LRESULT r = rt::defSubclassProc(h, msg, wParam, lParam);
        if (self->GotFocus) self->GotFocus(reinterpret_cast<HWND>(wParam));
        return r;
    }
    case WM_NCDESTROY: rt::removeWindowSubclass(h, subclassProc, kEditSubclassId); break;
    default: break;
    }
    return rt::defSubclassProc(h, msg, wParam, lParam);
}

std::wstring EditBox::text() const {
    const int n = GetWindowTextLengthW(hwnd());
    std::wstring s(static_cast<std::size_t>(n) + 1, L'\0');
    GetWindowTextW(hwnd(), s.data(), n + 1);
    s.resize(static_cast<std::size_t>(n));
    return s;
}

void EditBox::setText(const std::wstring& s) { SetWindowTextW(hwnd(), s.c_str()); }

// ---- life cycle --------------------------------------------------------------------------------------

CoolList::CoolList() : font_(std::make_shared<rt::Font>()) {}

CoolList::~CoolList() {
    *alive_ = false;
    terminate();
    if (fontListener_) font_->unlisten(fontListener_);
    if (customCursor_) DestroyCursor(customCursor_);
}

void CoolList::onCreated() { createParts(); }

LRESULT CALLBACK CoolList::picListProc(HWND h, UINT msg, WPARAM w, LPARAM l, UINT_PTR, DWORD_PTR data) {
    return rt::guardMessage(h, [&] { return picListMessage(h, msg, w, l, reinterpret_cast<CoolList*>(data)); },
                            [&] { return rt::defSubclassProc(h, msg, w, l); });
}

LRESULT CoolList::picListMessage(HWND h, UINT msg, WPARAM w, LPARAM l, CoolList* self) {
    if (msg == WM_SETCURSOR && LOWORD(l) == HTCLIENT) {
        HCURSOR c = nullptr;
        if (self->props_.mousePointer == 99) c = self->customCursor_;
        else if (LPCWSTR id = standardCursor(self->props_.mousePointer)) c = LoadCursorW(nullptr, id);
        if (c) {
            SetCursor(c);
            return TRUE;
        }
    }
    // A drag ends when the mouse is taken away (Alt+Tab, a modal box), not only at the button's
    // release, so auto-scroll never runs on without a hand on the button.
    if ((msg == WM_CAPTURECHANGED && reinterpret_cast<HWND>(l) != h) || msg == WM_CANCELMODE) self->model_.mouseUp();
    if (msg == WM_NCDESTROY) rt::removeWindowSubclass(h, picListProc, kPicSubclassId);
    return rt::defSubclassProc(h, msg, w, l);
}

void CoolList::createParts() {
    if (partsMade_) return;
    partsMade_ = true;
    const SIZE sz = clientPixels();
    const double tx = rt::twipsPerPixelX(), ty = rt::twipsPerPixelY();
    picList_ = std::make_unique<rt::PictureBox>();
    picList_->create(*form(), this, L"picList", {0, 0, sz.cx * tx, sz.cy * ty}, true);
    picList_->setAutoRedraw(true);
    picList_->surface().scale().setMode(rt::ScaleMode::Pixels);
    picList_->surface().setFont(font_);
    picList_->MouseDown = [this](const rt::MouseArgs& a) { picMouseDown(a); };
    picList_->MouseMove = [this](const rt::MouseArgs& a) { picMouseMove(a); };
    picList_->MouseUp = [this](const rt::MouseArgs& a) { picMouseUp(a); };
    picList_->Click = [this] { model_.click(); };
    picList_->DblClick = [this] { model_.dblClick(); };
    rt::setWindowSubclass(picList_->hwnd(), picListProc, kPicSubclassId, reinterpret_cast<DWORD_PTR>(this));

    sbVert_ = std::make_unique<VScrollBar>();
    sbVert_->create(*form(), this, L"sbVert", {0, 0, 13 * tx, sz.cy * ty}, true);

    txtEdit_ = std::make_unique<EditBox>();
    txtEdit_->create(*form(), this, L"txtEdit", {0, 0, 100 * tx, 20 * ty}, true);
    txtEdit_->Char = [this](wchar_t c) { return editChar(c); };
    txtEdit_->LostFocus = [this](HWND to) {
        finishEdit(false);
        if (to != hwnd() && model_.hasFocus()) model_.exitFocus();
    };
    txtEdit_->GotFocus = [this](HWND from) {
        if (from != hwnd() && !model_.hasFocus()) model_.enterFocus();
    };

    fontListener_ = font_->listen([this](const rt::Font&) { applyFont(); });
}

void CoolList::initProperties() {
    const rt::Ambient amb = ambient();
    props_ = ListProps{};
    applyBorder();
    font_->setDesc(amb.font);
    props_ = newControlProps(amb.font, static_cast<std::int16_t>(lineHeight()));
    picList_->surface().setBackColor(props_.backNormal);
    picList_->surface().setForeColor(props_.fontNormal);
    model_.setFocusProperty(true);
    model_.setHoverSelection(false);
    model_.setOrderType(0);
    model_.resetListIndex();
    model_.setSelectMode(0, !amb.userMode);
    cacheColors();
}

void CoolList::readProperties(const rt::PropertyBag& bag) {
    const rt::Ambient amb = ambient();
    props_ = readProps(bag, amb.font);
    // A stored value passes the checks its setter makes before anything is laid out with it.
    rt::Font stored(props_.font);
    checkStoredProps(props_, lineHeight(stored), static_cast<int>(clientPixels().cx));
    applyBorder();
    props_.scrollBarWidth = clampScrollBarWidth(props_.scrollBarWidth, static_cast<int>(clientPixels().cx));
    rt::Control::setEnabled(props_.enabled);
    if (sbVert_) EnableWindow(sbVert_->hwnd(), props_.enabled);
    font_->setDesc(props_.font);
    picList_->surface().setBackColor(props_.backNormal);
    picList_->surface().setForeColor(props_.fontNormal);
    model_.setFocusProperty(props_.focus);
    model_.setHoverSelection(props_.hoverSelection);
    model_.setOrderType(props_.orderType);
    selectionPicture_ = rt::Picture::fromData(props_.selectionPicture);
    model_.setSelectMode(props_.selectMode, true);
    mouseIcon_ = rt::Picture::fromData(props_.mouseIcon);
    applyCursor();
    model_.resetListIndex();
    cacheColors();
}

void CoolList::writeProperties(rt::PropertyBag& bag) {
    props_.font = font_->desc();
    props_.focus = model_.focusProperty();
    props_.hoverSelection = model_.hoverSelection();
    props_.orderType = model_.orderType();
    props_.selectMode = model_.selectMode();
    props_.selectionPicture = selectionPicture_ ? selectionPicture_->toData() : rt::PictureData{};
    props_.mouseIcon = mouseIcon_ ? mouseIcon_->toData() : rt::PictureData{};
    writeProps(bag, props_, ambient().font, static_cast<std::int16_t>(lineHeight()));
}

void CoolList::onTerminate() {
    finishEdit(false);
    imageList_.reset();
    model_.mouseUp();
}

// ---- layout -------------------------------------------------------------------------------------------

int CoolList::lineHeight() { return lineHeight(*font_); }

int CoolList::lineHeight(rt::Font& font) {
    HDC dc = picList_->surface().hdc();
    rt::ScopedSelect sel(dc, font.handle());
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    return std::max<int>(tm.tmHeight, 1);
}

RowGeometry CoolList::geometry() const {
    return {static_cast<int>(clientPixels().cx), model_.rowHeight(), props_.itemOffset, props_.itemTextLeft,
            barShown_ ? static_cast<int>(props_.scrollBarWidth) : 0};
}

void CoolList::onResize() { layout(); }

void CoolList::layout() {
    if (!picList_ || layoutInProgress_) return;
    const int rh = rowHeightFor(props_.itemHeightAuto, props_.itemHeight, lineHeight());
    SIZE inner = clientPixels();
    const std::int16_t rows = visibleRowsFor(inner.cy, rh);
    layoutInProgress_ = true;
    const double tx = rt::twipsPerPixelX(), ty = rt::twipsPerPixelY();
    if (inner.cy != rows * rh) {
        setHeight(rect().height - inner.cy * ty + rows * rh * ty);
        inner = clientPixels();
    }
    picList_->move({0, 0, inner.cx * tx, inner.cy * ty});
    sbVert_->move({(inner.cx - props_.scrollBarWidth) * tx, 0, props_.scrollBarWidth * tx, inner.cy * ty});
    ShowWindow(sbVert_->hwnd(), SW_HIDE);
    barShown_ = false;
    model_.setLayout(static_cast<std::int16_t>(rh), rows);
    model_.updateScrollBar();
    layoutInProgress_ = false;
    repaint();
}

void CoolList::scrollBarChanged() {
    if (!sbVert_) return;
    const bool show = model_.scrollShown();
    SCROLLINFO si{sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 0, 0, 0, 0};
    si.nMax = std::max<int>(model_.scrollMax(), 0) + model_.visibleRows() - 1;
    si.nPage = static_cast<UINT>(model_.visibleRows());
    si.nPos = model_.topIndex();
    SetScrollInfo(sbVert_->hwnd(), SB_CTL, &si, show);
    if (show != barShown_) {
        barShown_ = show;
        ShowWindow(sbVert_->hwnd(), show ? SW_SHOWNA : SW_HIDE);
        if (show) sbVert_->bringToFront();
        if (!layoutInProgress_) repaint();
    }
}

// ---- painting -------------------------------------------------------------------------------------------

void CoolList::cacheColors() {
    backNormal_ = rt::toColorRef(props_.backNormal);
    backSelected_ = rt::toColorRef(props_.backSelected);
    boxBorder_ = rt::toColorRef(props_.boxBorder);
    textNormal_ = rt::toColorRef(props_.fontNormal);
    textSelected_ = rt::toColorRef(props_.fontSelected);
    g1_ = splitColor(rt::toColorRef(props_.backSelectedG1));
    g2_ = splitColor(rt::toColorRef(props_.backSelectedG2));
}

void CoolList::repaint() {
    if (!picList_) return;
    if (!userMode()) {
        paintDesigner();
        return;
    }
    if (!layoutInProgress_) redrawVisible();
}

void CoolList::paintDesigner() {
    auto& s = picList_->surface();
    s.cls();
    const int w = static_cast<int>(clientPixels().cx);
    const int tw = static_cast<int>(s.textWidth(name()));
    int x = props_.itemTextLeft + props_.itemOffset;
    if (props_.alignment == 1) x = (w - tw) / 2;
    else if (props_.alignment == 2) x = w - tw - props_.itemOffset;
    s.currentX = x;
    s.currentY = props_.itemOffset;
    s.setForeColor(props_.fontNormal);
    s.print(name());
    RECT r{0, 0, w, model_.rowHeight()};
    DrawFocusRect(s.hdc(), &r);
    picList_->refresh();
}

void CoolList::redrawVisible() {
    if (!picList_ || !visible() || model_.listCount() == 0 || layoutInProgress_) return;
    const int top = model_.topIndex();
    for (int i = top; i <= top + model_.visibleRows() - 1 && i < model_.listCount(); ++i)
        paintRow(static_cast<std::int16_t>(i));
    drawFocusBox(model_.listIndex());
    InvalidateRect(picList_->hwnd(), nullptr, FALSE);
}

void CoolList::clearList() {
    if (!picList_) return;
    picList_->surface().cls();
    InvalidateRect(picList_->hwnd(), nullptr, FALSE);
}

void CoolList::drawRow(std::int16_t index) {
    if (!picList_ || layoutInProgress_ || !userMode()) return;
    paintRow(index);
}

void CoolList::drawFocusBox(std::int16_t index) {
    if (!picList_ || layoutInProgress_ || !userMode()) return;
    if (!model_.focusProperty() || !model_.hasFocus()) return;
    const auto row = model_.rowOf(index);
    if (!row) return;
    // The box is drawn by inversion: the row is painted first, so drawing it twice never erases it.
    paintRow(index);
    HDC dc = picList_->surface().hdc();
    RECT r = winRect(rowRect(geometry(), *row));
    SetTextColor(dc, textNormal_);
    SetBkColor(dc, backNormal_);
    DrawFocusRect(dc, &r);
    InvalidateRect(picList_->hwnd(), &r, FALSE);
}

void CoolList::paintRow(std::int16_t index) {
    const auto row = model_.rowOf(index);
    if (!row) return;
    HDC dc = picList_->surface().hdc();
    const RowGeometry g = geometry();
    const RECT R = winRect(rowRect(g, *row));
    RECT T = winRect(textRect(g, *row));
    const Item& it = model_.item(index);
    const bool selected = model_.flag(index);
    const int style = props_.selectModeStyle;
    bool underline = false;
    COLORREF text = textNormal_;
    std::int16_t icon = it.icon;
    if (selected) {
        switch (style) {
        case 1: fillSolidRect(dc, R, backNormal_); break;
        case 2: drawGradient(dc, R, g1_, g2_, true); break;
        case 3: drawGradient(dc, R, g1_, g2_, false); break;
        case 4:
            fillSolidRect(dc, R, backNormal_);
            drawRoundBox(dc, R, props_.boxOffset, props_.boxRadius, backSelected_, boxBorder_);
            break;
        case 5:
            fillSolidRect(dc, R, backNormal_);
            underline = true;
            break;
        case 6:
            if (selectionPicture_) selectionPicture_->draw(dc, 0, R.top, R.right, g.rowHeight);
            else fillSolidRect(dc, R, backSelected_);
            break;
        default: fillSolidRect(dc, R, backSelected_); break;
        }
        text = textSelected_;
        icon = it.iconSelected;
    } else {
        fillSolidRect(dc, R, backNormal_);
    }
    drawIcon(dc, icon, rowRect(g, *row));
    if (selected && style == 1) tintRect(dc, R, backSelected_);

    rt::FontDesc fd = font_->desc();
    fd.underline = underline;
    rt::FontPtr f = rt::createFont(fd);
    rt::ScopedSelect sel(dc, f.get());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, text);
    // DT_NOPREFIX: an "&" in an item is text, not an access-key marker.
    UINT format = DT_NOPREFIX;
    if (props_.wordWrap) {
        format |= DT_WORDBREAK;
        if (props_.alignment == 1) format |= DT_CENTER;
        else if (props_.alignment == 2) format |= DT_RIGHT;
    } else {
        format |= DT_SINGLELINE | DT_VCENTER;
    }
    DrawTextW(dc, it.text.c_str(), static_cast<int>(it.text.size()), &T, format);
    InvalidateRect(picList_->hwnd(), &R, FALSE);
}

void CoolList::drawIcon(HDC dc, std::int16_t image, const Rect& row) {
    if (!imageList_ || image <= 0) return;
    try {
        const int rh = model_.rowHeight();
        double y = row.top + props_.itemOffset;
        if (!props_.wordWrap) {
            com::Variant h = com::get(imageList_.get(), L"ImageHeight");
            com::Variant l;
            if (FAILED(VariantChangeType(l.get(), h.get(), 0, VT_I4))) return;
            y = row.top + (rh - V_I4(l.get())) / 2;
        }
        auto images = com::getObject(imageList_.get(), L"ListImages");
        auto picture = com::getObject(images.get(), L"Item", {com::Variant::fromInt16(image)});
        const auto hdc = static_cast<long>(reinterpret_cast<std::intptr_t>(dc));
        com::call(picture.get(), L"Draw",
                  {com::Variant::fromInt32(hdc),
                   com::Variant::fromDouble(pixelsToScale(props_.itemOffset, imageScaleMode_, false)),
                   com::Variant::fromDouble(pixelsToScale(y, imageScaleMode_, true)), com::Variant::fromInt16(1)});
    } catch (const std::exception&) {
        // No such image: the row shows no icon.
    }
}

void CoolList::SetImageList(IDispatch* imageList) {
    imageList_ = com::ComPtr<IDispatch>(imageList);
    imageScaleMode_ = 1;
    if (imageList_) {
        try {
            auto parent = com::getObject(imageList_.get(), L"Parent");
            com::Variant mode = com::get(parent.get(), L"ScaleMode");
            com::Variant l;
            if (SUCCEEDED(VariantChangeType(l.get(), mode.get(), 0, VT_I4))) imageScaleMode_ = V_I4(l.get());
        } catch (const std::exception&) {
        }
    }
    repaint();
}

// ---- methods --------------------------------------------------------------------------------------------

void CoolList::AddItem(const lst::ItemText& text, std::int16_t icon, std::int16_t iconSelected) {
    model_.addItem(text, icon, iconSelected);
}
void CoolList::InsertItem(std::int16_t index, const lst::ItemText& text, std::int16_t icon, std::int16_t iconSelected) {
    model_.insertItem(index, text, icon, iconSelected);
}
void CoolList::ModifyItem(std::int16_t index, const lst::ItemText& text, std::int16_t icon, std::int16_t iconSelected) {
    model_.modifyItem(index, text, icon, iconSelected);
}
void CoolList::RemoveItem(std::int16_t index) { model_.removeItem(index); }
std::int16_t CoolList::FindFirst(std::wstring_view s, std::int16_t start, bool startWith) const {
    return model_.findFirst(s, start, startWith);
}
void CoolList::Clear() {
    finishEdit(false);
    model_.clear();
    if (picList_) {
        const SIZE sz = clientPixels();
        picList_->move({0, 0, sz.cx * rt::twipsPerPixelX(), sz.cy * rt::twipsPerPixelY()});
    }
}
void CoolList::Order() { model_.order(); }

// ---- properties ------------------------------------------------------------------------------------------

void CoolList::setSelectMode(std::int32_t v) {
    model_.setSelectMode(v, !userMode());
    propertyChanged(L"SelectMode");
}
void CoolList::setOrderType(std::int32_t v) {
    model_.setOrderType(v);
    propertyChanged(L"OrderType");
}
void CoolList::setAlignment(std::int32_t v) {
    if (!alignmentAccepted(v)) kelva::raise(err::InvalidPropertyValue);
    props_.alignment = v;
    repaint();
    propertyChanged(L"Alignment");
}
void CoolList::applyBorder() {
    if (!hwnd()) return;
    LONG style = GetWindowLongW(hwnd(), GWL_STYLE), ex = GetWindowLongW(hwnd(), GWL_EXSTYLE);
    style &= ~WS_BORDER;
    ex &= ~WS_EX_CLIENTEDGE;
    if (props_.borderStyle == 1) {
        if (props_.appearance == 1) ex |= WS_EX_CLIENTEDGE;
        else style |= WS_BORDER;
    }
    SetWindowLongW(hwnd(), GWL_STYLE, style);
    SetWindowLongW(hwnd(), GWL_EXSTYLE, ex);
    SetWindowPos(hwnd(), nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED | SWP_NOACTIVATE);
}
void CoolList::setAppearance(std::int16_t v) {
    if (v != 0 && v != 1) kelva::raise(err::InvalidPropertyValue);
    props_.appearance = v;
    applyBorder();
    propertyChanged(L"Appearance");
}
void CoolList::setBorderStyle(std::int16_t v) {
    if (v != 0 && v != 1) kelva::raise(err::InvalidPropertyValue);
    props_.borderStyle = v;
    applyBorder();
    propertyChanged(L"BorderStyle");
}
void CoolList::setBackNormal(std::uint32_t c) {
    props_.backNormal = c;
    cacheColors();
    picList_->surface().setBackColor(c);
    repaint();
    propertyChanged(L"BackNormal");
}
void CoolList::setBackSelected(std::uint32_t c) {
    props_.backSelected = c;
    cacheColors();
    repaint();
    propertyChanged(L"BackSelected");
}
void CoolList::setBackSelectedG1(std::uint32_t c) {
    props_.backSelectedG1 = c;
    cacheColors();
    repaint();
    propertyChanged(L"BackSelectedG1");
}
void CoolList::setBackSelectedG2(std::uint32_t c) {
    props_.backSelectedG2 = c;
    cacheColors();
    repaint();
    propertyChanged(L"BackSelectedG2");
}
void CoolList::setBoxBorder(std::uint32_t c) {
    props_.boxBorder = c;
    cacheColors();
    repaint();
    propertyChanged(L"BoxBorder");
}
void CoolList::setBoxOffset(std::int16_t v) {
    if (!boxOffsetAccepted(v, model_.rowHeight())) return;
    props_.boxOffset = v;
    repaint();
    propertyChanged(L"BoxOffset");
}
void CoolList::setBoxRadius(std::int16_t v) {
    props_.boxRadius = v;
    repaint();
    propertyChanged(L"BoxRadius");
}
void CoolList::setEnabled(bool v) {
    props_.enabled = v;
    rt::Control::setEnabled(v);
    if (sbVert_) EnableWindow(sbVert_->hwnd(), v);
    propertyChanged(L"Enabled");
}
void CoolList::setFocus(bool v) {
    model_.setFocusProperty(v);
    propertyChanged(L"Focus");
}
void CoolList::setFont(const std::shared_ptr<rt::Font>& f) {
    if (!f) kelva::raise(err::ObjectNotSet);
    font_->setDesc(f->desc());
    propertyChanged(L"Font");
}
void CoolList::applyFont() {
    if (!picList_) return;
    picList_->surface().setFont(font_);
    layout();
}
void CoolList::setFontNormal(std::uint32_t c) {
    props_.fontNormal = c;
    cacheColors();
    picList_->surface().setForeColor(c);
    repaint();
    propertyChanged(L"FontNormal");
}
void CoolList::setFontSelected(std::uint32_t c) {
    props_.fontSelected = c;
    cacheColors();
    repaint();
    propertyChanged(L"FontSelected");
}
void CoolList::setHoverSelection(bool v) {
    model_.setHoverSelection(v);
    propertyChanged(L"HoverSelection");
}
void CoolList::setItemHeight(std::int16_t v) {
    props_.itemHeight = v;
    layout();
    propertyChanged(L"ItemHeight");
}
void CoolList::setItemHeightAuto(bool v) {
    props_.itemHeightAuto = v;
    layout();
    propertyChanged(L"ItemHeightAuto");
}
void CoolList::setItemOffset(std::int16_t v) {
    if (!itemOffsetAccepted(v, model_.rowHeight())) return;
    props_.itemOffset = v;
    repaint();
    propertyChanged(L"ItemOffset");
}
void CoolList::setItemTextLeft(std::int16_t v) {
    props_.itemTextLeft = v;
    repaint();
    propertyChanged(L"ItemTextLeft");
}
void CoolList::applyCursor() {
    if (customCursor_) {
        DestroyCursor(customCursor_);
        customCursor_ = nullptr;
    }
    if (!mouseIcon_) return;
    // The picture becomes an opaque cursor with its hot spot at the top left.
    const int w = mouseIcon_->width(), h = mouseIcon_->height();
    rt::BitmapPtr mask(CreateBitmap(w, h, 1, 1, nullptr));
    {
        rt::MemoryDcPtr dc(CreateCompatibleDC(nullptr));
        rt::ScopedSelect sel(dc.get(), mask.get());
        PatBlt(dc.get(), 0, 0, w, h, BLACKNESS);
    }
    ICONINFO ii{FALSE, 0, 0, mask.get(), mouseIcon_->handle()};
    customCursor_ = reinterpret_cast<HCURSOR>(CreateIconIndirect(&ii));
}
void CoolList::setMouseIcon(std::shared_ptr<rt::Picture> p) {
    mouseIcon_ = std::move(p);
    applyCursor();
    propertyChanged(L"MouseIcon");
}
void CoolList::setMousePointer(std::int16_t v) {
    if (!mousePointerAccepted(v)) kelva::raise(err::InvalidPropertyValue);
    props_.mousePointer = v;
    propertyChanged(L"MousePointer");
}
void CoolList::setScrollBarWidth(std::int16_t v) {
    props_.scrollBarWidth = clampScrollBarWidth(v, static_cast<int>(clientPixels().cx));
    if (sbVert_) ShowWindow(sbVert_->hwnd(), SW_HIDE);
    barShown_ = false;
    layout();
    propertyChanged(L"ScrollBarWidth");
}
void CoolList::setSelectionPicture(std::shared_ptr<rt::Picture> p) {
    selectionPicture_ = std::move(p);
    repaint();
    propertyChanged(L"SelectionPicture");
}
void CoolList::setSelectModeStyle(std::int32_t v) {
    if (!selectModeStyleAccepted(v)) kelva::raise(err::InvalidPropertyValue);
    props_.selectModeStyle = v;
    repaint();
    propertyChanged(L"SelectModeStyle");
}
void CoolList::setWordWrap(bool v) {
    props_.wordWrap = v;
    repaint();
    propertyChanged(L"WordWrap");
}

// ---- input ----------------------------------------------------------------------------------------------

void CoolList::raise(Event e) {
    switch (e) {
    case Event::Click:
        if (Click) Click();
        break;
    case Event::DblClick:
        if (DblClick) DblClick();
        break;
    case Event::ListIndexChange:
        if (ListIndexChange) ListIndexChange();
        break;
    case Event::Scroll:
        if (Scroll) Scroll();
        break;
    case Event::TopIndexChange:
        if (TopIndexChange) TopIndexChange();
        break;
    }
}

void CoolList::picMouseDown(const rt::MouseArgs& a) {
    if (GetFocus() != hwnd() && GetFocus() != editWindow()) SetFocus(hwnd());
    model_.mouseDown(a.button, a.y);
    rt::MouseArgs args = a;
    if (MouseDown) MouseDown(args);
}

void CoolList::picMouseMove(const rt::MouseArgs& a) {
    const int inner = static_cast<int>(picList_->clientPixels().cy);
    const AutoScroll dir = model_.mouseMove(a.button, a.y, inner);
    if (dir != AutoScroll::None) {
        std::shared_ptr<bool> alive = alive_;
        model_.runAutoScroll(
            dir, inner, [] { return static_cast<std::uint32_t>(GetTickCount()); },
            [this, alive](std::uint32_t ms) {
                // The program is ending: the drag ends with it, and the quit request stays queued.
                const auto pumped = [&] {
                    if (!rt::doEvents() && *alive) model_.mouseUp();
                    return *alive;
                };
                if (!pumped()) return false;
                if (!model_.buttonHeld()) return true;
                MsgWaitForMultipleObjects(0, nullptr, FALSE, ms, QS_ALLINPUT);
                return pumped();
            });
        if (!*alive) return;
    }
    rt::MouseArgs args = a;
    if (MouseMove) MouseMove(args);
}

void CoolList::picMouseUp(const rt::MouseArgs& a) {
    model_.mouseUp();
    rt::MouseArgs args = a;
    if (MouseUp) MouseUp(args);
}

void CoolList::onKeyDown(int keyCode, int shift) {
    if (!keyPreview_) return;
    model_.keyDown(keyCode);
    auto k = static_cast<std::int16_t>(keyCode), s = static_cast<std::int16_t>(shift);
    if (KeyDown) KeyDown(k, s);
}

void CoolList::onKeyUp(int keyCode, int shift) {
    if (!keyPreview_) return;
    auto k = static_cast<std::int16_t>(keyCode), s = static_cast<std::int16_t>(shift);
    if (KeyUp) KeyUp(k, s);
}

void CoolList::onVScroll(int code) {
    const int top = model_.topIndex(), page = model_.visibleRows();
    switch (code) {
    case SB_LINEUP: model_.scrollTo(top - 1); break;
    case SB_LINEDOWN: model_.scrollTo(top + 1); break;
    case SB_PAGEUP: model_.scrollTo(top - page); break;
    case SB_PAGEDOWN: model_.scrollTo(top + page); break;
    case SB_TOP: model_.scrollTo(0); break;
    case SB_BOTTOM: model_.scrollTo(model_.scrollMax()); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
        SCROLLINFO si{sizeof si, SIF_TRACKPOS | SIF_POS, 0, 0, 0, 0, 0};
        GetScrollInfo(sbVert_->hwnd(), SB_CTL, &si);
        model_.scrollTo(code == SB_THUMBTRACK ? si.nTrackPos : si.nPos, code == SB_THUMBTRACK);
        break;
    }
    default: break;
    }
}

void CoolList::onWheel(int delta) {
    UINT lines = 3;
    SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    wheelRest_ += delta;
    const int notches = wheelRest_ / WHEEL_DELTA;
    if (notches == 0) return;
    wheelRest_ -= notches * WHEEL_DELTA;
    const int step = lines == WHEEL_PAGESCROLL ? model_.visibleRows() : static_cast<int>(lines);
    model_.scrollTo(model_.topIndex() - notches * step);
}

LRESULT CoolList::wndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_SETFOCUS:
        if (reinterpret_cast<HWND>(wParam) != editWindow() && !model_.hasFocus()) model_.enterFocus();
        return 0;
    case WM_KILLFOCUS:
        if (reinterpret_cast<HWND>(wParam) != editWindow() && model_.hasFocus()) model_.exitFocus();
        return 0;
    case WM_CHAR:
        if (keyPreview_) {
            auto k = static_cast<std::int16_t>(wParam);
            if (KeyPress) KeyPress(k);
        }
        return 0;
    case WM_VSCROLL:
        if (sbVert_ && reinterpret_cast<HWND>(lParam) == sbVert_->hwnd()) onVScroll(LOWORD(wParam));
        return 0;
    case WM_MOUSEWHEEL: onWheel(GET_WHEEL_DELTA_WPARAM(wParam)); return 0;
    case WM_CTLCOLOREDIT:
        if (txtEdit_ && reinterpret_cast<HWND>(lParam) == txtEdit_->hwnd() && editBrush_) {
            HDC dc = reinterpret_cast<HDC>(wParam);
            const bool sel = model_.listIndex() >= 0 && model_.flag(model_.listIndex()) && props_.selectModeStyle != 5;
            SetTextColor(dc, sel ? textSelected_ : textNormal_);
            SetBkColor(dc, sel ? backSelected_ : backNormal_);
            return reinterpret_cast<LRESULT>(editBrush_.get());
        }
        break;
    default: break;
    }
    return rt::UserControl::wndProc(msg, wParam, lParam);
}

// ---- in-place editing --------------------------------------------------------------------------------------

void CoolList::StartEdit() {
    const std::int16_t li = model_.listIndex();
    if (li < 0 || !txtEdit_) return;
    keyPreview_ = false;
    HWND e = txtEdit_->hwnd();
    SendMessageW(e, WM_SETFONT, reinterpret_cast<WPARAM>(font_->handle()), FALSE);
    const bool sel = model_.flag(li) && props_.selectModeStyle != 5;
    editBrush_.reset(CreateSolidBrush(sel ? backSelected_ : backNormal_));
    // The box never stands outside the list: the item is scrolled into view first.
    model_.ensureVisible(li);
    const Rect r = editBoxRect(geometry(), li - model_.topIndex(), props_.wordWrap, lineHeight());
    LONG style = GetWindowLongW(e, GWL_STYLE) & ~(ES_CENTER | ES_RIGHT);
    if (props_.wordWrap && props_.alignment == 1) style |= ES_CENTER;
    else if (props_.wordWrap && props_.alignment == 2) style |= ES_RIGHT;
    SetWindowLongW(e, GWL_STYLE, style);
    const double tx = rt::twipsPerPixelX(), ty = rt::twipsPerPixelY();
    txtEdit_->move({r.left * tx, r.top * ty, (r.right - r.left) * tx, (r.bottom - r.top) * ty});
    txtEdit_->setText(model_.item(li).text);
    SendMessageW(e, EM_SETSEL, 0, static_cast<LPARAM>(model_.item(li).text.size()));
    editOpen_ = true;
    ShowWindow(e, SW_SHOW);
    txtEdit_->bringToFront();
    SetFocus(e);
}

void CoolList::EndEdit(bool modify) { finishEdit(modify); }

bool CoolList::editChar(wchar_t c) {
    if (c == 13 || (c == 10 && !props_.wordWrap)) {
        finishEdit(true);
        return true;
    }
    if (c == 10) return true;  // Ctrl+Enter: no line break in a one-line box
    if (c == 27) {
        finishEdit(false);
        return true;
    }
    return false;
}

void CoolList::finishEdit(bool save) {
    if (!editOpen_ || !txtEdit_) return;
    editOpen_ = false;
    const std::int16_t li = model_.listIndex();
    if (save && li >= 0) {
        // Line breaks pasted into the box are not part of an item's text.
        std::wstring text = txtEdit_->text();
        std::erase_if(text, [](wchar_t ch) { return ch == L'\r' || ch == L'\n'; });
        model_.setItemText(li, std::move(text));
    }
    HWND e = txtEdit_->hwnd();
    if (GetFocus() == e) SetFocus(hwnd());
    ShowWindow(e, SW_HIDE);
    keyPreview_ = true;
    if (li >= 0) {
        drawRow(li);
        drawFocusBox(li);
    }
}

}  // namespace kelva::lst

namespace kelva::lst {
void CoolList::closeEdit() { finishEdit(false); }
}  // namespace kelva::lst
