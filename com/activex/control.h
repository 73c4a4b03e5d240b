#pragma once
// Base of a windowed ActiveX control: in-place activation in any standard container (also one that
// calls only SetClientSite, SetHostNames, SetExtent, DoVerb, Close and SetObjectRects, and offers no
// ambient properties), drawing through IViewObject2, persistence in streams and property bags,
// one connection point for the control's event dispinterface, class info and error info.
//
// A control derives from Control and from its own dual interface, answers IUnknown by forwarding
// to the base's helpers, and supplies painting, messages and its persisted state.
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <vector>

namespace kelva::com::activex {

struct ControlClass {
    CLSID clsid;
    IID dualIid;    // the default interface: error info is reported against it
    IID eventsIid;  // the default source dispinterface
    const wchar_t* windowClass;
    SIZEL defaultExtent;        // HIMETRIC
    const wchar_t* errorSource;  // the source a run-time error of the control reports
};

// OLEMISC bits a windowed, activate-when-visible control reports (and registers).
inline constexpr DWORD kControlMiscStatus = OLEMISC_RECOMPOSEONRESIZE | OLEMISC_CANTLINKINSIDE | OLEMISC_INSIDEOUT |
                                            OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_SETCLIENTSITEFIRST;

class Control;

// The control's one connection point, a part of the control sharing its reference count.
class EventPoint final : public IConnectionPoint {
public:
    explicit EventPoint(Control& owner) : owner_(owner) {}
    ~EventPoint();
    EventPoint(const EventPoint&) = delete;
    EventPoint& operator=(const EventPoint&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override;
    HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** out) override;
    HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override;
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override;
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** out) override;

    // Calls every connected sink; `args` are in DISPPARAMS order (last argument first).
    void fire(DISPID id, VARIANT* args, UINT count);
    bool connected() const;

private:
    Control& owner_;
    std::vector<IDispatch*> sinks_;  // index + 1 is the cookie; released slots are null
};

class Control : public IOleObject,
                public IOleInPlaceObject,
                public IOleInPlaceActiveObject,
                public IViewObject2,
                public IPersistStreamInit,
                public IPersistPropertyBag,
                public IOleControl,
                public IProvideClassInfo2,
                public IConnectionPointContainer,
                public ISupportErrorInfo {
public:
    explicit Control(const ControlClass& cls);
    virtual ~Control();
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    // IUnknown, for the derived class's overrides to forward to.
    HRESULT queryBase(REFIID riid, void** out);
    ULONG addRefBase();
    ULONG releaseBase();

    // IOleObject
    HRESULT STDMETHODCALLTYPE SetClientSite(IOleClientSite* site) override;
    HRESULT STDMETHODCALLTYPE GetClientSite(IOleClientSite** site) override;
    HRESULT STDMETHODCALLTYPE SetHostNames(LPCOLESTR app, LPCOLESTR obj) override;
    HRESULT STDMETHODCALLTYPE Close(DWORD saveOption) override;
    HRESULT STDMETHODCALLTYPE SetMoniker(DWORD, IMoniker*) override;
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker**) override;
    HRESULT STDMETHODCALLTYPE InitFromData(IDataObject*, BOOL, DWORD) override;
    HRESULT STDMETHODCALLTYPE GetClipboardData(DWORD, IDataObject**) override;
    HRESULT STDMETHODCALLTYPE DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND parent, LPCRECT pos) override;
    HRESULT STDMETHODCALLTYPE EnumVerbs(IEnumOLEVERB**) override;
    HRESULT STDMETHODCALLTYPE Update() override;
    HRESULT STDMETHODCALLTYPE IsUpToDate() override;
    HRESULT STDMETHODCALLTYPE GetUserClassID(CLSID* clsid) override;
    HRESULT STDMETHODCALLTYPE GetUserType(DWORD, LPOLESTR*) override;
    HRESULT STDMETHODCALLTYPE SetExtent(DWORD aspect, SIZEL* size) override;
    HRESULT STDMETHODCALLTYPE GetExtent(DWORD aspect, SIZEL* size) override;
    HRESULT STDMETHODCALLTYPE Advise(IAdviseSink*, DWORD*) override;
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD) override;
    HRESULT STDMETHODCALLTYPE EnumAdvise(IEnumSTATDATA**) override;
    HRESULT STDMETHODCALLTYPE GetMiscStatus(DWORD aspect, DWORD* status) override;
    HRESULT STDMETHODCALLTYPE SetColorScheme(LOGPALETTE*) override;

    // IOleWindow, IOleInPlaceObject, IOleInPlaceActiveObject
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* hwnd) override;
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override;
    HRESULT STDMETHODCALLTYPE InPlaceDeactivate() override;
    HRESULT STDMETHODCALLTYPE UIDeactivate() override;
    HRESULT STDMETHODCALLTYPE SetObjectRects(LPCRECT pos, LPCRECT clip) override;
    HRESULT STDMETHODCALLTYPE ReactivateAndUndo() override;
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG) override;
    HRESULT STDMETHODCALLTYPE OnFrameWindowActivate(BOOL) override;
    HRESULT STDMETHODCALLTYPE OnDocWindowActivate(BOOL) override;
    HRESULT STDMETHODCALLTYPE ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) override;
    HRESULT STDMETHODCALLTYPE EnableModeless(BOOL) override;

    // IViewObject2
    HRESULT STDMETHODCALLTYPE Draw(DWORD aspect, LONG index, void* aspectInfo, DVTARGETDEVICE* target, HDC targetDc,
                                   HDC dc, LPCRECTL bounds, LPCRECTL wbounds, BOOL(STDMETHODCALLTYPE* cont)(ULONG_PTR),
                                   ULONG_PTR contArg) override;
    HRESULT STDMETHODCALLTYPE GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, LOGPALETTE**) override;
    HRESULT STDMETHODCALLTYPE Freeze(DWORD, LONG, void*, DWORD*) override;
    HRESULT STDMETHODCALLTYPE Unfreeze(DWORD) override;
    HRESULT STDMETHODCALLTYPE SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) override;
    HRESULT STDMETHODCALLTYPE GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) override;
    HRESULT STDMETHODCALLTYPE GetExtent(DWORD aspect, LONG index, DVTARGETDEVICE*, LPSIZEL size) override;

    // IPersist, IPersistStreamInit, IPersistPropertyBag
    HRESULT STDMETHODCALLTYPE GetClassID(CLSID* clsid) override;
    HRESULT STDMETHODCALLTYPE IsDirty() override;
    HRESULT STDMETHODCALLTYPE Load(LPSTREAM stream) override;
    HRESULT STDMETHODCALLTYPE Save(LPSTREAM stream, BOOL clearDirty) override;
    HRESULT STDMETHODCALLTYPE GetSizeMax(ULARGE_INTEGER* size) override;
    HRESULT STDMETHODCALLTYPE InitNew() override;
    HRESULT STDMETHODCALLTYPE Load(IPropertyBag* bag, IErrorLog* log) override;
    HRESULT STDMETHODCALLTYPE Save(IPropertyBag* bag, BOOL clearDirty, BOOL saveAll) override;

    // IOleControl
    HRESULT STDMETHODCALLTYPE GetControlInfo(CONTROLINFO* info) override;
    HRESULT STDMETHODCALLTYPE OnMnemonic(MSG*) override;
    HRESULT STDMETHODCALLTYPE OnAmbientPropertyChange(DISPID) override;
    HRESULT STDMETHODCALLTYPE FreezeEvents(BOOL freeze) override;

    // IProvideClassInfo2
    HRESULT STDMETHODCALLTYPE GetClassInfo(ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetGUID(DWORD kind, GUID* guid) override;

    // IConnectionPointContainer
    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** out) override;
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID riid, IConnectionPoint** out) override;

    // ISupportErrorInfo
    HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID riid) override;

    const ControlClass& controlClass() const { return class_; }

protected:
    // The derived control's own interfaces (its dual interface and IDispatch); null for others.
    virtual void* queryControl(REFIID riid) = 0;
    // Paints the control into `dc` within `bounds`; `screen` is true for the control's own window
    // (where the focus is shown), false for a container's drawing request.
    virtual void paint(HDC dc, const RECT& bounds, bool screen) = 0;
    // Window messages other than painting; return true when handled (result in `result`).
    virtual bool onMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) = 0;
    virtual void onWindowCreated() {}
    // Persistence: the derived control reads and writes its own properties and raises VbError on
    // bad data (the base turns it into the COM error).
    virtual void initProperties() = 0;
    virtual void readProperties(IPropertyBag& bag, IErrorLog* log) = 0;
    virtual void writeProperties(IPropertyBag& bag) = 0;
    virtual void readStream(IStream& stream) = 0;
    virtual void writeStream(IStream& stream) = 0;
    virtual ULONGLONG streamSizeMax() = 0;

    HWND window() const { return hwnd_; }
    // Marks the persisted state changed.
    void propertyChanged() { dirty_ = true; }
    // Asks for a repaint of the window and tells a container drawing the control that its view changed.
    void invalidate();
    // Repaints the window at once (as a direct call of the paint handler does).
    void repaintNow();
    void fireEvent(DISPID id, VARIANT* args = nullptr, UINT count = 0);
    bool eventsFrozen() const { return freezeCount_ > 0; }

private:
    template <typename F>
    HRESULT guardedMember(F&& body) noexcept;
    HRESULT activate(LONG verb, HWND parent, LPCRECT pos);
    static LRESULT CALLBACK windowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

    ControlClass class_;
    LONG refs_ = 1;
    IOleClientSite* site_ = nullptr;
    IOleInPlaceSite* inPlaceSite_ = nullptr;
    IAdviseSink* viewSink_ = nullptr;
    HWND hwnd_ = nullptr;
    RECT pos_{};
    SIZEL extent_{};
    bool dirty_ = false;
    int freezeCount_ = 0;
    EventPoint events_;
};

}  // namespace kelva::com::activex
