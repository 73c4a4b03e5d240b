#include "preview/thumbview.h"

#include <windowsx.h>

#include "com/activex/module.h"
#include "com/arguments.h"
#include "com/errors.h"
#include "com/values.h"
#include "core/color.h"
#include "core/errors.h"
#include "preview/filesource.h"
#include "preview/png_wic.h"

namespace kelva::preview {

namespace {
// Errors of the run time carry the library's name as their source, as the host sees them.
constexpr const wchar_t* kSource = L"KelvaView";
}  // namespace

const com::activex::ControlClass kThumbViewClass = {
    CLSID_ThumbView, IID__ThumbView, DIID___ThumbView, L"KelvaThumbView", SIZEL{2540, 2540}, kSource};

namespace {

// A member's body, its run-time errors reported with the control's name as their source.
template <typename F>
HRESULT member(F&& body) noexcept {
    return com::guarded(IID__ThumbView, kSource, std::forward<F>(body));
}

Rgb systemColor(int index) { return GetSysColor(index); }

std::optional<Rgb> colorOf(std::uint32_t ole) { return oleToRgb(ole, systemColor); }

class ScreenDc {
public:
    explicit ScreenDc(HWND hwnd) : hwnd_(hwnd), dc_(GetDC(hwnd)) {}
    ~ScreenDc() {
        if (dc_) ReleaseDC(hwnd_, dc_);
    }
    ScreenDc(const ScreenDc&) = delete;
    ScreenDc& operator=(const ScreenDc&) = delete;
    HDC get() const { return dc_; }

private:
    HWND hwnd_;
    HDC dc_;
};

class SavedDc {
public:
    explicit SavedDc(HDC dc) : dc_(dc), state_(SaveDC(dc)) {}
    ~SavedDc() {
        if (state_) RestoreDC(dc_, state_);
    }
    SavedDc(const SavedDc&) = delete;
    SavedDc& operator=(const SavedDc&) = delete;

private:
    HDC dc_;
    int state_;
};

class Brush {
public:
    explicit Brush(COLORREF c) : brush_(CreateSolidBrush(c)) {}
    ~Brush() {
        if (brush_) DeleteObject(brush_);
    }
    Brush(const Brush&) = delete;
    Brush& operator=(const Brush&) = delete;
    HBRUSH get() const { return brush_; }

private:
    HBRUSH brush_;
};

// A value read from a property bag, converted to the property's type; nothing when the bag does
// not hold the name. A value that cannot be converted is a type mismatch (or an overflow).
std::optional<com::Variant> readBagValue(IPropertyBag& bag, IErrorLog* log, const wchar_t* name, VARTYPE type) {
    com::Variant v;
    HRESULT hr = bag.Read(name, v.get(), log);
    if (FAILED(hr)) {
        if (hr == E_INVALIDARG) return std::nullopt;  // not stored: the default stands
        throw VbError(hr);
    }
    com::requireWellFormed(*v.get());
    if (v.isEmpty()) return std::nullopt;
    hr = VariantChangeType(v.get(), v.get(), 0, type);
    if (FAILED(hr)) raise(hr == DISP_E_OVERFLOW ? err::Overflow : err::TypeMismatch);
    return v;
}

void writeBagValue(IPropertyBag& bag, const wchar_t* name, com::Variant& v) {
    const HRESULT hr = bag.Write(name, v.get());
    if (FAILED(hr)) throw VbError(hr);
}

void readExactly(IStream& s, void* into, ULONG bytes) {
    ULONG got = 0;
    const HRESULT hr = s.Read(into, bytes, &got);
    if (FAILED(hr)) throw VbError(hr);
    if (got != bytes) raise(err::InputPastEnd);
}

VARIANT_BOOL variantBool(bool b) { return b ? VARIANT_TRUE : VARIANT_FALSE; }

// The members' ids in the type library.
constexpr DISPID kDrawingFile = 1, kStretch = 2, kSpecialEffect = 3;

}  // namespace

// ---- IDispatch -------------------------------------------------------------------------------------------------
const com::TypeDispatch& ThumbView::typeDispatch() {
    static const com::TypeDispatch table(
        com::interfaceTypeInfo(com::loadModuleTypeLib(com::activex::module()).get(), IID__ThumbView), {}, kSource);
    return table;
}

HRESULT ThumbView::Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                          EXCEPINFO* excep, UINT* argErr) {
    // A member failing without error information of its own must not report an earlier call's.
    SetErrorInfo(0, nullptr);
    const HRESULT hr = DispatchObject::Invoke(id, riid, lcid, flags, params, result, excep, argErr);
    // OLE colours go to late-bound callers as Long, the type script hosts can compare and print
    // (the system colours are then negative, as hosts write them: &H8000000F).
    if (SUCCEEDED(hr) && result && V_VT(result) == VT_UI4) {
        const auto bits = V_UI4(result);
        V_VT(result) = VT_I4;
        V_I4(result) = static_cast<LONG>(bits);
    }
    return hr;
}

// ---- properties and methods ------------------------------------------------------------------------------------
HRESULT ThumbView::put_DrawingFile(BSTR path) {
    return member([&] {
        props_.drawingFile.assign(path ? path : L"", path ? SysStringLen(path) : 0);
        propertyChanged(kDrawingFile);
    });
}

HRESULT ThumbView::get_DrawingFile(BSTR* path) {
    if (!path) return E_POINTER;
    *path = SysAllocStringLen(props_.drawingFile.data(), static_cast<UINT>(props_.drawingFile.size()));
    return *path ? S_OK : E_OUTOFMEMORY;
}

HRESULT ThumbView::put_Stretch(VARIANT_BOOL value) {
    props_.stretch = value != VARIANT_FALSE;
    propertyChanged(kStretch);
    return S_OK;
}

HRESULT ThumbView::get_Stretch(VARIANT_BOOL* value) {
    if (!value) return E_POINTER;
    *value = variantBool(props_.stretch);
    return S_OK;
}

void ThumbView::setSpecialEffect(long value) {
    // Kept as a 16-bit Integer, as the stored forms hold it.
    if (value < -32768 || value > 32767) raise(err::Overflow);
    props_.specialEffect = static_cast<std::int16_t>(value);
    propertyChanged(kSpecialEffect);
    repaintNow();
}

HRESULT ThumbView::put_SpecialEffect(Border_Effect value) {
    return member([&] { setSpecialEffect(static_cast<long>(value)); });
}

HRESULT ThumbView::get_SpecialEffect(Border_Effect* value) {
    if (!value) return E_POINTER;
    *value = static_cast<Border_Effect>(props_.specialEffect);
    return S_OK;
}

HRESULT ThumbView::get_BackColor(OLE_COLOR* color) {
    if (!color) return E_POINTER;
    *color = props_.backColor;
    return S_OK;
}

HRESULT ThumbView::put_BackColor(OLE_COLOR color) {
    return member([&] {
        if (!colorOf(color)) raise(err::InvalidPropertyValue);
        props_.backColor = color;
        propertyChanged(DISPID_BACKCOLOR);
        invalidate();
    });
}

HRESULT ThumbView::Refresh() {
    repaintNow();
    return S_OK;
}

HRESULT ThumbView::get_Enabled(VARIANT_BOOL* value) {
    if (!value) return E_POINTER;
    *value = variantBool(props_.enabled);
    return S_OK;
}

HRESULT ThumbView::put_Enabled(VARIANT_BOOL value) {
    props_.enabled = value != VARIANT_FALSE;
    if (window()) EnableWindow(window(), props_.enabled);
    propertyChanged(DISPID_ENABLED);
    return S_OK;
}

void ThumbView::loadPicture() {
    // Only one picture is ever held: the old one goes before the file is even opened, so a failed
    // read never leaves the picture of an earlier drawing.
    picture_.reset();
    PreviewResult result;
    {
        const auto file = openFileSource(std::filesystem::path(props_.drawingFile));
        result = readPreview(*file, decodePngWithWic);
    }  // closed before anything is painted or raised
    const auto* error = std::get_if<ReadError>(&result);
    const Dib* dib = error && error->shownBefore ? &*error->shownBefore : std::get_if<Dib>(&result);
    if (dib) {
        ScreenDc reference(window());
        if (!reference.get()) raise(err::OutOfMemory);
        picture_ = LoadedPicture::create(reference.get(), *dib);
    }
    // The entries before a failing one were already shown: their picture stays with the error.
    if (error) raise(error->number);
}

HRESULT ThumbView::PaintPreview(BSTR* result) {
    if (!result) return E_POINTER;
    *result = nullptr;
    return member([&] {
        try {
            loadPicture();
        } catch (...) {
            invalidate();
            throw;
        }
        repaintNow();
        *result = SysAllocString(L"");
        if (!*result) throw std::bad_alloc();
    });
}

// ---- painting --------------------------------------------------------------------------------------------------
void ThumbView::paint(HDC dc, const RECT& bounds, bool screen) {
    const int width = bounds.right - bounds.left;
    const int height = bounds.bottom - bounds.top;
    if (width <= 0 || height <= 0) return;
    SavedDc saved(dc);
    // The control paints in its own pixel coordinates, clipped to its rectangle: a centred picture
    // larger than the control is cut on all sides.
    OffsetViewportOrgEx(dc, bounds.left, bounds.top, nullptr);
    IntersectClipRect(dc, 0, 0, width, height);

    std::optional<PictureSize> size;
    if (picture_) size = PictureSize{picture_->width(), picture_->height()};
    const PaintPlan plan = planPaint(width, height, props_.specialEffect, props_.stretch, size, screen && focused_);

    RECT border{plan.border.left, plan.border.top, plan.border.right, plan.border.bottom};
    Brush back(colorOf(props_.backColor).value_or(GetSysColor(COLOR_BTNFACE)));
    if (back.get()) FillRect(dc, &border, back.get());
    if (plan.edge) DrawEdge(dc, &border, plan.edge, plan.edgeFlags);
    if (plan.picture && picture_) {
        const PictureBlit& b = *plan.picture;
        if (b.stretched) {
            SetStretchBltMode(dc, COLORONCOLOR);
            StretchBlt(dc, b.dest.left, b.dest.top, b.dest.right - b.dest.left, b.dest.bottom - b.dest.top,
                       picture_->dc(), b.srcX, b.srcY, b.srcWidth, b.srcHeight, SRCCOPY);
        } else {
            BitBlt(dc, b.dest.left, b.dest.top, b.srcWidth, b.srcHeight, picture_->dc(), b.srcX, b.srcY, SRCCOPY);
        }
    }
    // Drawn by every paint while the control has the focus, never toggled on its own: a repaint
    // between getting and losing the focus cannot leave it inverted.
    if (plan.focus) {
        RECT f{plan.focus->left, plan.focus->top, plan.focus->right, plan.focus->bottom};
        SetTextColor(dc, RGB(0, 0, 0));
        SetBkColor(dc, RGB(255, 255, 255));
        DrawFocusRect(dc, &f);
    }
}

// ---- mouse and focus -------------------------------------------------------------------------------------------
void ThumbView::fireMouse(DISPID id, std::int16_t button, WPARAM keys, LPARAM at) {
    MouseKeys k;
    k.shift = (keys & MK_SHIFT) != 0;
    k.ctrl = (keys & MK_CONTROL) != 0;
    k.alt = GetKeyState(VK_MENU) < 0;
    VARIANT args[4];
    V_VT(&args[0]) = VT_R4;
    V_R4(&args[0]) = static_cast<float>(GET_Y_LPARAM(at));
    V_VT(&args[1]) = VT_R4;
    V_R4(&args[1]) = static_cast<float>(GET_X_LPARAM(at));
    V_VT(&args[2]) = VT_I2;
    V_I2(&args[2]) = shiftMask(k);
    V_VT(&args[3]) = VT_I2;
    V_I2(&args[3]) = button;
    fireEvent(id, args, 4);
}

bool ThumbView::onMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    constexpr DISPID kClick = 1, kDblClick = 2, kMouseMove = 3, kMouseUp = 4, kMouseDown = 5;
    const auto held = [wp] {
        MouseKeys k;
        k.left = (wp & MK_LBUTTON) != 0;
        k.right = (wp & MK_RBUTTON) != 0;
        k.middle = (wp & MK_MBUTTON) != 0;
        return buttonMask(k);
    };
    result = 0;
    switch (msg) {
    case WM_SETFOCUS:
        focused_ = true;
        invalidate();
        return true;
    case WM_KILLFOCUS:
        focused_ = false;
        invalidate();
        return true;
    case WM_MOUSEMOVE:
        fireMouse(kMouseMove, held(), wp, lp);
        return true;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK: {
        if (window() && GetFocus() != window()) SetFocus(window());
        if (window()) SetCapture(window());
        const std::int16_t button = (msg == WM_LBUTTONDOWN) ? 1 : (msg == WM_RBUTTONDOWN || msg == WM_RBUTTONDBLCLK) ? 2 : 4;
        if (button == 1) leftDown_ = true;
        fireMouse(kMouseDown, button, wp, lp);
        return true;
    }
    case WM_LBUTTONDBLCLK:
        fireEvent(kDblClick);
        return true;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: {
        const std::int16_t button = msg == WM_LBUTTONUP ? 1 : msg == WM_RBUTTONUP ? 2 : 4;
        // A click is a left press and release both on the control; decided before the capture
        // goes, as losing the capture cancels a press.
        bool click = false;
        if (button == 1 && leftDown_) {
            RECT client{};
            const POINT at{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
            click = window() && GetClientRect(window(), &client) && PtInRect(&client, at);
            leftDown_ = false;
        }
        if ((wp & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) == 0 && GetCapture() == window()) ReleaseCapture();
        fireMouse(kMouseUp, button, wp, lp);
        if (click) fireEvent(kClick);
        return true;
    }
    case WM_CAPTURECHANGED:
        leftDown_ = false;
        return true;
    default:
        return false;
    }
}

void ThumbView::onWindowCreated() { EnableWindow(window(), props_.enabled); }

// ---- persistence -----------------------------------------------------------------------------------------------
void ThumbView::initProperties() {
    props_ = ThumbViewProperties{};
    if (window()) EnableWindow(window(), TRUE);
    invalidate();
}

void ThumbView::apply(const ThumbViewProperties& p) {
    setSpecialEffect(p.specialEffect);  // through the property: repaints
    props_.drawingFile = p.drawingFile;
    props_.stretch = p.stretch;
    props_.backColor = p.backColor;
    props_.enabled = p.enabled;
    if (window()) EnableWindow(window(), p.enabled);
    invalidate();
}

void ThumbView::readProperties(IPropertyBag& bag, IErrorLog* log) {
    // Everything is read and checked before anything changes: a bad value loses nothing.
    ThumbViewProperties p;
    for (const wchar_t* name : kReadOrder) {
        const std::wstring_view n = name;
        if (n == L"SpecialEffect") {
            if (auto v = readBagValue(bag, log, name, VT_I2)) p.specialEffect = V_I2(v->get());
        } else if (n == L"DrawingFile") {
            if (auto v = readBagValue(bag, log, name, VT_BSTR)) p.drawingFile = com::toWString(V_BSTR(v->get()));
        } else if (n == L"Stretch") {
            if (auto v = readBagValue(bag, log, name, VT_BOOL)) p.stretch = V_BOOL(v->get()) != VARIANT_FALSE;
        } else if (n == L"BackColor") {
            if (auto v = readBagValue(bag, log, name, VT_I4)) p.backColor = static_cast<std::uint32_t>(V_I4(v->get()));
            if (!colorOf(p.backColor)) raise(err::InvalidPropertyValue);
        } else if (n == L"Enabled") {
            if (auto v = readBagValue(bag, log, name, VT_BOOL)) p.enabled = V_BOOL(v->get()) != VARIANT_FALSE;
        }
    }
    apply(p);
}

void ThumbView::writeProperties(IPropertyBag& bag) {
    // Values equal to their defaults are not written, as a host's stored form expects.
    const ThumbViewProperties defaults;
    for (const wchar_t* name : kWriteOrder) {
        const std::wstring_view n = name;
        com::Variant v;
        if (n == L"SpecialEffect" && props_.specialEffect != defaults.specialEffect) {
            v = com::Variant::fromInt16(props_.specialEffect);
        } else if (n == L"Stretch" && props_.stretch != defaults.stretch) {
            v = com::Variant::fromBool(props_.stretch);
        } else if (n == L"BackColor" && props_.backColor != defaults.backColor) {
            v = com::Variant::fromInt32(static_cast<LONG>(props_.backColor));
        } else if (n == L"Enabled" && props_.enabled != defaults.enabled) {
            v = com::Variant::fromBool(props_.enabled);
        } else if (n == L"DrawingFile" && props_.drawingFile != defaults.drawingFile) {
            v = com::Variant::fromString(props_.drawingFile);
        } else {
            continue;
        }
        writeBagValue(bag, name, v);
    }
}

void ThumbView::readStream(IStream& stream) {
    std::vector<std::uint8_t> record(kStreamFixedSize);
    readExactly(stream, record.data(), static_cast<ULONG>(record.size()));
    const auto units = storedPathUnits(record);
    if (!units) raise(err::InvalidPropertyValue);
    record.resize(kStreamFixedSize + 2 * std::size_t{*units});
    if (*units) readExactly(stream, record.data() + kStreamFixedSize, 2 * *units);
    const auto p = decodeProperties(record);
    if (!p || !colorOf(p->backColor)) raise(err::InvalidPropertyValue);
    apply(*p);
}

void ThumbView::writeStream(IStream& stream) {
    const auto record = encodeProperties(props_);
    ULONG written = 0;
    const HRESULT hr = stream.Write(record.data(), static_cast<ULONG>(record.size()), &written);
    if (FAILED(hr)) throw VbError(hr);
    if (written != record.size()) throw VbError(STG_E_MEDIUMFULL);
}

ULONGLONG ThumbView::streamSizeMax() { return kStreamFixedSize + 2 * props_.drawingFile.size(); }

}  // namespace kelva::preview
