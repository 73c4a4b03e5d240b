#include "com/activex/control.h"

#include "com/activex/module.h"
#include "com/com_ptr.h"
#include "com/errors.h"
#include "com/server.h"

namespace kelva::com::activex {

// ---------------------------------------------------------------------------------------------------------------
HRESULT ConnectionPoint::GetConnectionInterface(IID* iid) {
    if (!iid) return E_POINTER;
    *iid = iid_;
    return S_OK;
}

HRESULT ConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** out) {
    if (!out) return E_POINTER;
    return owner().QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(out));
}

HRESULT ConnectionPoint::Advise(IUnknown* sink, DWORD* cookie) {
    if (!sink || !cookie) return E_POINTER;
    *cookie = 0;
    ComPtr<IUnknown> s;
    // An event sink may answer only as IDispatch.
    if (FAILED(sink->QueryInterface(iid_, s.putVoid())) &&
        (iid_ == IID_IPropertyNotifySink || FAILED(sink->QueryInterface(IID_IDispatch, s.putVoid()))))
        return CONNECT_E_CANNOTCONNECT;
    try {
        sinks_.push_back(std::move(s));
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    *cookie = static_cast<DWORD>(sinks_.size());
    return S_OK;
}

HRESULT ConnectionPoint::Unadvise(DWORD cookie) {
    if (cookie == 0 || cookie > sinks_.size() || !sinks_[cookie - 1]) return CONNECT_E_NOCONNECTION;
    // Emptied before the release: the sink's last Release may call back into this point.
    ComPtr<IUnknown> gone = std::move(sinks_[cookie - 1]);
    return S_OK;
}

HRESULT ConnectionPoint::EnumConnections(IEnumConnections** out) {
    if (out) *out = nullptr;
    return E_NOTIMPL;
}

template <typename F>
void ConnectionPoint::forEachSink(F&& call) {
    // A sink may unadvise itself or another sink (or the host release the control) while it
    // handles the call: every sink of the snapshot is held until all have been called.
    std::vector<ComPtr<IUnknown>> sinks;
    try {
        for (const auto& s : sinks_)
            if (s) sinks.push_back(s);
    } catch (const std::bad_alloc&) {
        return;
    }
    for (const auto& s : sinks) call(s.get());
}

void ConnectionPoint::fire(DISPID id, VARIANT* args, UINT count) {
    forEachSink([&](IUnknown* s) {
        DISPPARAMS params{args, nullptr, count, 0};
        static_cast<IDispatch*>(s)->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr,
                                           nullptr, nullptr);
    });
}

void ConnectionPoint::changed(DISPID id) {
    forEachSink([&](IUnknown* s) { static_cast<IPropertyNotifySink*>(s)->OnChanged(id); });
}

bool ConnectionPoint::connected() const {
    for (const auto& s : sinks_)
        if (s) return true;
    return false;
}

// ---------------------------------------------------------------------------------------------------------------
Control::Control(const ControlClass& cls) noexcept
    : class_(cls), extent_(cls.defaultExtent), events_(unknown(), cls.eventsIid),
      propertyNotify_(unknown(), IID_IPropertyNotifySink) {}

Control::~Control() {
    if (hwnd_) {
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
    inPlaceSite_.reset();
    site_.reset();
    viewSink_.reset();
}

void* Control::queryMixin(REFIID riid) noexcept {
    if (riid == IID_IOleObject) return static_cast<IOleObject*>(this);
    if (riid == IID_IOleWindow || riid == IID_IOleInPlaceObject) return static_cast<IOleInPlaceObject*>(this);
    if (riid == IID_IOleInPlaceActiveObject) return static_cast<IOleInPlaceActiveObject*>(this);
    if (riid == IID_IViewObject || riid == IID_IViewObject2) return static_cast<IViewObject2*>(this);
    if (riid == IID_IPersist || riid == IID_IPersistStreamInit) return static_cast<IPersistStreamInit*>(this);
    if (riid == IID_IPersistPropertyBag) return static_cast<IPersistPropertyBag*>(this);
    if (riid == IID_IOleControl) return static_cast<IOleControl*>(this);
    if (riid == IID_IProvideClassInfo || riid == IID_IProvideClassInfo2) return static_cast<IProvideClassInfo2*>(this);
    if (riid == IID_IConnectionPointContainer) return static_cast<IConnectionPointContainer*>(this);
    if (riid == IID_ISupportErrorInfo) return static_cast<ISupportErrorInfo*>(this);
    return nullptr;
}

// ---- IOleObject ------------------------------------------------------------------------------------------------
HRESULT Control::SetClientSite(IOleClientSite* site) {
    // The site is kept referenced: a container window that passes no container object of its own
    // (atl.dll's AtlAxWin) stays attached only through this reference.
    site_ = ComPtr<IOleClientSite>(site);
    return S_OK;
}

HRESULT Control::GetClientSite(IOleClientSite** site) {
    if (!site) return E_POINTER;
    *site = site_.copyOut();
    return S_OK;
}

HRESULT Control::SetHostNames(LPCOLESTR, LPCOLESTR) { return S_OK; }

HRESULT Control::Close(DWORD saveOption) {
    InPlaceDeactivate();
    // A container closing with "save if changed" stores the changed properties through its site.
    if (dirty_ && site_ && (saveOption == OLECLOSE_SAVEIFDIRTY || saveOption == OLECLOSE_PROMPTSAVE))
        site_->SaveObject();
    return S_OK;
}

HRESULT Control::SetMoniker(DWORD, IMoniker*) { return E_NOTIMPL; }
HRESULT Control::GetMoniker(DWORD, DWORD, IMoniker** m) {
    if (m) *m = nullptr;
    return E_NOTIMPL;
}
HRESULT Control::InitFromData(IDataObject*, BOOL, DWORD) { return E_NOTIMPL; }
HRESULT Control::GetClipboardData(DWORD, IDataObject** d) {
    if (d) *d = nullptr;
    return E_NOTIMPL;
}

HRESULT Control::DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND parent, LPCRECT pos) {
    if (site && !site_) SetClientSite(site);
    switch (verb) {
    case OLEIVERB_PRIMARY:
    case OLEIVERB_SHOW:
    case OLEIVERB_INPLACEACTIVATE:
    case OLEIVERB_UIACTIVATE:
        return activate(verb, parent, pos);
    case OLEIVERB_HIDE:
        UIDeactivate();
        if (hwnd_) ShowWindow(hwnd_, SW_HIDE);
        return S_OK;
    default:
        return verb > 0 ? OLEOBJ_S_INVALIDVERB : E_NOTIMPL;
    }
}

HRESULT Control::EnumVerbs(IEnumOLEVERB** e) {
    if (e) *e = nullptr;
    return OLEOBJ_E_NOVERBS;
}
HRESULT Control::Update() { return S_OK; }
HRESULT Control::IsUpToDate() { return S_OK; }
HRESULT Control::GetUserClassID(CLSID* clsid) {
    if (!clsid) return E_POINTER;
    *clsid = class_.clsid;
    return S_OK;
}
HRESULT Control::GetUserType(DWORD, LPOLESTR* t) {
    if (t) *t = nullptr;
    return OLE_S_USEREG;
}

HRESULT Control::SetExtent(DWORD aspect, SIZEL* size) {
    if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    if (!size) return E_POINTER;
    extent_ = *size;
    return S_OK;
}

HRESULT Control::GetExtent(DWORD aspect, SIZEL* size) {
    if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    if (!size) return E_POINTER;
    *size = extent_;
    return S_OK;
}

HRESULT Control::Advise(IAdviseSink*, DWORD* c) {
    if (c) *c = 0;
    return E_NOTIMPL;
}
HRESULT Control::Unadvise(DWORD) { return E_NOTIMPL; }
HRESULT Control::EnumAdvise(IEnumSTATDATA** e) {
    if (e) *e = nullptr;
    return E_NOTIMPL;
}
HRESULT Control::GetMiscStatus(DWORD, DWORD* status) {
    if (!status) return E_POINTER;
    *status = kControlMiscStatus;
    return S_OK;
}
HRESULT Control::SetColorScheme(LOGPALETTE*) { return E_NOTIMPL; }

HRESULT Control::activate(LONG verb, HWND parentHint, LPCRECT posHint) {
    if (!site_) return E_UNEXPECTED;
    if (!inPlaceSite_) {
        ComPtr<IOleInPlaceSite> ips;
        if (FAILED(site_->QueryInterface(IID_IOleInPlaceSite, ips.putVoid()))) return E_NOINTERFACE;
        if (ips->CanInPlaceActivate() != S_OK) return E_FAIL;
        const HRESULT hr = ips->OnInPlaceActivate();
        if (FAILED(hr)) return hr;
        inPlaceSite_ = std::move(ips);
    }
    if (!hwnd_) {
        HWND parent = nullptr;
        if (FAILED(inPlaceSite_->GetWindow(&parent))) parent = parentHint;
        if (!parent) return E_FAIL;
        ComPtr<IOleInPlaceFrame> frame;
        ComPtr<IOleInPlaceUIWindow> doc;
        RECT clip{};
        OLEINPLACEFRAMEINFO info{sizeof info};
        if (SUCCEEDED(inPlaceSite_->GetWindowContext(frame.put(), doc.put(), &pos_, &clip, &info))) {
            // The container's own rectangle; a verb's rectangle only when it gives none.
        } else if (posHint) {
            pos_ = *posHint;
        }
        if (pos_.right <= pos_.left && posHint) pos_ = *posHint;

        WNDCLASSEXW wc{sizeof wc};
        if (!GetClassInfoExW(module(), class_.windowClass, &wc)) {
            wc = WNDCLASSEXW{sizeof wc};
            wc.style = CS_DBLCLKS;
            wc.lpfnWndProc = &Control::windowProc;
            wc.hInstance = module();
            wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
            wc.lpszClassName = class_.windowClass;
            if (!RegisterClassExW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
                return HRESULT_FROM_WIN32(GetLastError());
        }
        hwnd_ = CreateWindowExW(0, class_.windowClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP,
                                pos_.left, pos_.top, pos_.right - pos_.left, pos_.bottom - pos_.top, parent, nullptr,
                                module(), this);
        if (!hwnd_) return HRESULT_FROM_WIN32(GetLastError());
        if (clip.right > clip.left) clipTo(&clip);
        onWindowCreated();
    } else {
        ShowWindow(hwnd_, SW_SHOW);
    }
    if (verb == OLEIVERB_UIACTIVATE || verb == OLEIVERB_PRIMARY) uiActivate();
    return S_OK;
}

void Control::uiActivate() {
    if (uiActive_ || !inPlaceSite_) return;
    uiActive_ = true;
    inPlaceSite_->OnUIActivate();
    ComPtr<IOleInPlaceFrame> frame;
    ComPtr<IOleInPlaceUIWindow> doc;
    RECT pos{}, clip{};
    OLEINPLACEFRAMEINFO info{sizeof info};
    if (SUCCEEDED(inPlaceSite_->GetWindowContext(frame.put(), doc.put(), &pos, &clip, &info))) {
        if (frame) frame->SetActiveObject(static_cast<IOleInPlaceActiveObject*>(this), nullptr);
        if (doc) doc->SetActiveObject(static_cast<IOleInPlaceActiveObject*>(this), nullptr);
    }
    if (hwnd_ && GetFocus() != hwnd_) SetFocus(hwnd_);
}

void Control::focusChanged(bool gotFocus) {
    ComPtr<IOleControlSite> controlSite;
    if (inPlaceSite_ && site_ && SUCCEEDED(site_->QueryInterface(IID_IOleControlSite, controlSite.putVoid())))
        controlSite->OnFocus(gotFocus);
}

// ---- IOleInPlaceObject -----------------------------------------------------------------------------------------
HRESULT Control::GetWindow(HWND* hwnd) {
    if (!hwnd) return E_POINTER;
    *hwnd = hwnd_;
    return hwnd_ ? S_OK : E_FAIL;
}
HRESULT Control::ContextSensitiveHelp(BOOL) { return E_NOTIMPL; }

HRESULT Control::InPlaceDeactivate() {
    UIDeactivate();
    if (hwnd_) {
        HWND h = hwnd_;
        hwnd_ = nullptr;
        SetWindowLongPtrW(h, GWLP_USERDATA, 0);
        DestroyWindow(h);
    }
    if (inPlaceSite_) {
        inPlaceSite_->OnInPlaceDeactivate();
        inPlaceSite_.reset();
    }
    return S_OK;
}

HRESULT Control::UIDeactivate() {
    // The frame and the document let go of the control here: a container whose windows keep their
    // active object referenced would otherwise hold the control for good.
    if (!uiActive_) return S_OK;
    uiActive_ = false;
    if (!inPlaceSite_) return S_OK;
    ComPtr<IOleInPlaceFrame> frame;
    ComPtr<IOleInPlaceUIWindow> doc;
    RECT pos{}, clip{};
    OLEINPLACEFRAMEINFO info{sizeof info};
    if (SUCCEEDED(inPlaceSite_->GetWindowContext(frame.put(), doc.put(), &pos, &clip, &info))) {
        if (doc) doc->SetActiveObject(nullptr, nullptr);
        if (frame) frame->SetActiveObject(nullptr, nullptr);
    }
    inPlaceSite_->OnUIDeactivate(FALSE);
    return S_OK;
}

HRESULT Control::SetObjectRects(LPCRECT pos, LPCRECT clip) {
    if (!pos) return E_POINTER;
    pos_ = *pos;
    if (hwnd_) {
        MoveWindow(hwnd_, pos->left, pos->top, pos->right - pos->left, pos->bottom - pos->top, TRUE);
        clipTo(clip);
    }
    return S_OK;
}

void Control::clipTo(LPCRECT clip) {
    // Only the part inside the container's clip rectangle shows (a control scrolled partly out of
    // its container's view must not paint over what surrounds it).
    RECT visible{};
    HRGN region = nullptr;
    if (clip) {
        if (!IntersectRect(&visible, &pos_, clip)) visible = RECT{};
        if (!EqualRect(&visible, &pos_)) {
            OffsetRect(&visible, -pos_.left, -pos_.top);
            region = CreateRectRgnIndirect(&visible);
            if (!region) return;
        }
    }
    // The window owns a region it accepts.
    if (!SetWindowRgn(hwnd_, region, TRUE) && region) DeleteObject(region);
}

HRESULT Control::ReactivateAndUndo() { return E_NOTIMPL; }
HRESULT Control::TranslateAccelerator(LPMSG) { return S_FALSE; }
HRESULT Control::OnFrameWindowActivate(BOOL) { return S_OK; }
HRESULT Control::OnDocWindowActivate(BOOL) { return S_OK; }
HRESULT Control::ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) { return S_OK; }
HRESULT Control::EnableModeless(BOOL) { return S_OK; }

// ---- IViewObject2 ----------------------------------------------------------------------------------------------
HRESULT Control::Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC dc, LPCRECTL bounds, LPCRECTL,
                      BOOL(STDMETHODCALLTYPE*)(ULONG_PTR), ULONG_PTR) {
    if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    if (!dc || !bounds) return E_INVALIDARG;
    const RECT r{bounds->left, bounds->top, bounds->right, bounds->bottom};
    paint(dc, r, false);
    return S_OK;
}

HRESULT Control::GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, LOGPALETTE** p) {
    if (p) *p = nullptr;
    return S_FALSE;
}
HRESULT Control::Freeze(DWORD, LONG, void*, DWORD*) { return E_NOTIMPL; }
HRESULT Control::Unfreeze(DWORD) { return E_NOTIMPL; }

HRESULT Control::SetAdvise(DWORD, DWORD, IAdviseSink* sink) {
    viewSink_ = ComPtr<IAdviseSink>(sink);
    return S_OK;
}

HRESULT Control::GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) {
    if (aspects) *aspects = DVASPECT_CONTENT;
    if (flags) *flags = 0;
    if (sink) *sink = viewSink_.copyOut();
    return S_OK;
}

HRESULT Control::GetExtent(DWORD aspect, LONG, DVTARGETDEVICE*, LPSIZEL size) { return GetExtent(aspect, size); }

// ---- persistence -----------------------------------------------------------------------------------------------
template <typename F>
HRESULT Control::guardedMember(F&& body) noexcept {
    return guarded(class_.dualIid, class_.errorSource ? class_.errorSource : L"", std::forward<F>(body));
}

HRESULT Control::GetClassID(CLSID* clsid) { return GetUserClassID(clsid); }
HRESULT Control::IsDirty() { return dirty_ ? S_OK : S_FALSE; }

HRESULT Control::Load(LPSTREAM stream) {
    if (!stream) return E_POINTER;
    return guardedMember([&] {
        readStream(*stream);
        dirty_ = false;
    });
}

HRESULT Control::Save(LPSTREAM stream, BOOL clearDirty) {
    if (!stream) return E_POINTER;
    return guardedMember([&] {
        writeStream(*stream);
        if (clearDirty) dirty_ = false;
    });
}

HRESULT Control::GetSizeMax(ULARGE_INTEGER* size) {
    if (!size) return E_POINTER;
    size->QuadPart = streamSizeMax();
    return S_OK;
}

HRESULT Control::InitNew() {
    return guardedMember([&] {
        initProperties();
        dirty_ = false;
    });
}

HRESULT Control::Load(IPropertyBag* bag, IErrorLog* log) {
    if (!bag) return E_POINTER;
    return guardedMember([&] {
        readProperties(*bag, log);
        dirty_ = false;
    });
}

HRESULT Control::Save(IPropertyBag* bag, BOOL clearDirty, BOOL) {
    if (!bag) return E_POINTER;
    return guardedMember([&] {
        writeProperties(*bag);
        if (clearDirty) dirty_ = false;
    });
}

// ---- IOleControl -----------------------------------------------------------------------------------------------
HRESULT Control::GetControlInfo(CONTROLINFO* info) {
    if (!info) return E_POINTER;
    info->cb = sizeof *info;
    info->hAccel = nullptr;
    info->cAccel = 0;
    info->dwFlags = 0;
    return S_OK;
}
HRESULT Control::OnMnemonic(MSG*) { return S_OK; }
HRESULT Control::OnAmbientPropertyChange(DISPID) { return S_OK; }
HRESULT Control::FreezeEvents(BOOL freeze) {
    freezeCount_ += freeze ? 1 : -1;
    if (freezeCount_ < 0) freezeCount_ = 0;
    return S_OK;
}

// ---- class info, connection points, error info ----------------------------------------------------------------
HRESULT Control::GetClassInfo(ITypeInfo** info) {
    if (!info) return E_POINTER;
    return moduleTypeInfo(class_.clsid, info);
}

HRESULT Control::GetGUID(DWORD kind, GUID* guid) {
    if (!guid) return E_POINTER;
    if (kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID) return E_INVALIDARG;
    *guid = class_.eventsIid;
    return S_OK;
}

HRESULT Control::EnumConnectionPoints(IEnumConnectionPoints** out) {
    if (out) *out = nullptr;
    return E_NOTIMPL;
}

HRESULT Control::FindConnectionPoint(REFIID riid, IConnectionPoint** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    ConnectionPoint* point = riid == class_.eventsIid             ? &events_
                             : riid == IID_IPropertyNotifySink ? &propertyNotify_
                                                               : nullptr;
    if (!point) return CONNECT_E_NOCONNECTION;
    *out = point;
    point->AddRef();
    return S_OK;
}

HRESULT Control::InterfaceSupportsErrorInfo(REFIID riid) { return riid == class_.dualIid ? S_OK : S_FALSE; }

// ---- window ----------------------------------------------------------------------------------------------------
void Control::invalidate() {
    if (hwnd_) InvalidateRect(hwnd_, nullptr, FALSE);
    if (viewSink_) viewSink_->OnViewChange(DVASPECT_CONTENT, -1);
}

void Control::repaintNow() {
    invalidate();
    if (hwnd_) UpdateWindow(hwnd_);
}

void Control::propertyChanged(DISPID id) {
    dirty_ = true;
    propertyNotify_.changed(id);
}

void Control::fireEvent(DISPID id, VARIANT* args, UINT count) {
    if (!eventsFrozen()) events_.fire(id, args, count);
}

LRESULT CALLBACK Control::windowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTW*>(lp);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
    }
    auto* self = reinterpret_cast<Control*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) return DefWindowProcW(hwnd, msg, wp, lp);
    if (msg == WM_NCCREATE) self->hwnd_ = hwnd;
    switch (msg) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        if (dc) {
            RECT r;
            GetClientRect(hwnd, &r);
            self->paint(dc, r, true);
            EndPaint(hwnd, &ps);
        }
        return 0;
    }
    case WM_PRINTCLIENT: {
        RECT r;
        GetClientRect(hwnd, &r);
        self->paint(reinterpret_cast<HDC>(wp), r, true);
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;  // the paint clears to the back colour itself
    case WM_MOUSEACTIVATE:
        self->uiActivate();
        return MA_ACTIVATE;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: {
        // Keep the control alive while a handler or the container's site runs.
        ComPtr<IUnknown> keep(&self->unknown());
        if (msg == WM_SETFOCUS) self->uiActivate();
        self->focusChanged(msg == WM_SETFOCUS);
        LRESULT result = 0;
        if (!self->onMessage(msg, wp, lp, result)) result = DefWindowProcW(hwnd, msg, wp, lp);
        return result;
    }
    case WM_NCDESTROY:
        // Destroyed with its parent by a container that never deactivated the control.
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
        return DefWindowProcW(hwnd, msg, wp, lp);
    default: {
        // Keep the control alive while a handler (an event sink) runs.
        ComPtr<IUnknown> keep(&self->unknown());
        LRESULT result = 0;
        if (self->onMessage(msg, wp, lp, result)) return result;
        return DefWindowProcW(hwnd, msg, wp, lp);
    }
    }
}

}  // namespace kelva::com::activex
