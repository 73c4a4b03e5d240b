#pragma once
// Base of a windowed ActiveX control: in-place activation in any standard container (also one that
// calls only SetClientSite, SetHostNames, SetExtent, DoVerb, Close and SetObjectRects, and offers no
// ambient properties), drawing through IViewObject2, persistence in streams and property bags,
// connection points for the control's event dispinterface and for property change notifications,
// class info and error info.
//
// A control is an Object listing its own dual interface and ControlOf<its class>; it supplies
// painting, messages and its persisted state.
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <vector>

#include "com/com_ptr.h"
#include "com/object.h"

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

// A connection point of the control (its events, its property change notifications), a part of
// the control sharing its reference count.
class ConnectionPoint final : public Part<IConnectionPoint> {
public:
    ConnectionPoint(IUnknown& owner, const IID& iid) noexcept : Part(owner), iid_(iid) {}

    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override;
    HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** out) override;
    HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override;
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override;
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** out) override;

    // Calls every connected event sink; `args` are in DISPPARAMS order (last argument first).
    void fire(DISPID id, VARIANT* args, UINT count);
    // Tells every connected property sink that the property `id` changed.
    void changed(DISPID id);
    bool connected() const;

private:
    template <typename F>
    void forEachSink(F&& call);

    IID iid_;
    // Each sink as the point's interface; index + 1 is the cookie; released slots are null.
    std::vector<ComPtr<IUnknown>> sinks_;
};

// The control's OLE interfaces, for a control class `Object<C, IC, ControlOf<kClass>>` (IC its dual
// interface): listed among the object's interfaces, they share its identity and reference count.
class Control : public Mixin,
                public IOleObject,
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
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    // This base's interfaces (their own bases IOleWindow, IViewObject, IPersist and IProvideClassInfo
    // included); null for others.
    void* queryMixin(REFIID riid) noexcept;

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
    explicit Control(const ControlClass& cls) noexcept;
    ~Control();

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
    // Marks the persisted state changed and tells the container which property changed.
    void propertyChanged(DISPID id);
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
    // Becomes the container's active object (its frame and document hold it until UIDeactivate).
    void uiActivate();
    // Limits the window to the container's clip rectangle (null: no limit).
    void clipTo(LPCRECT clip);
    // Tells a container's control site that the focus came or went.
    void focusChanged(bool gotFocus);
    static LRESULT CALLBACK windowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

    // The object's count, reached through any of this base's interfaces.
    IUnknown& unknown() noexcept { return *static_cast<IOleObject*>(this); }

    ControlClass class_;
    ComPtr<IOleClientSite> site_;
    ComPtr<IOleInPlaceSite> inPlaceSite_;
    ComPtr<IAdviseSink> viewSink_;
    HWND hwnd_ = nullptr;
    bool uiActive_ = false;
    RECT pos_{};
    SIZEL extent_{};
    bool dirty_ = false;
    int freezeCount_ = 0;
    ConnectionPoint events_;
    ConnectionPoint propertyNotify_;
};

// Control for the class `Class`, built without arguments as an Object builds its listed bases.
template <const ControlClass& Class>
class ControlOf : public Control {
protected:
    ControlOf() noexcept : Control(Class) {}
    ~ControlOf() = default;
};

}  // namespace kelva::com::activex
