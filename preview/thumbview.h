#pragma once
// ThumbView: shows the preview image stored in a drawing file, stretched to the control or centred
// in it, inside an optional border; raises the mouse events of its surface to the host.
#include <windows.h>

#include <memory>

#include "KelvaView.h"
#include "com/activex/control.h"
#include "com/server.h"
#include "preview/picture.h"
#include "preview/thumbview_logic.h"

namespace kelva::preview {

extern const com::activex::ControlClass kThumbViewClass;

class ThumbView final
    : public com::DispatchObject<ThumbView, _ThumbView, com::activex::ControlOf<kThumbViewClass>> {
public:
    ThumbView() = default;

    static const com::TypeDispatch& typeDispatch();
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* excep, UINT* argErr) override;

    // _ThumbView
    HRESULT STDMETHODCALLTYPE put_DrawingFile(BSTR path) override;
    HRESULT STDMETHODCALLTYPE get_DrawingFile(BSTR* path) override;
    HRESULT STDMETHODCALLTYPE put_Stretch(VARIANT_BOOL value) override;
    HRESULT STDMETHODCALLTYPE get_Stretch(VARIANT_BOOL* value) override;
    HRESULT STDMETHODCALLTYPE put_SpecialEffect(Border_Effect value) override;
    HRESULT STDMETHODCALLTYPE get_SpecialEffect(Border_Effect* value) override;
    HRESULT STDMETHODCALLTYPE PaintPreview(BSTR* result) override;
    HRESULT STDMETHODCALLTYPE get_BackColor(OLE_COLOR* color) override;
    HRESULT STDMETHODCALLTYPE put_BackColor(OLE_COLOR color) override;
    HRESULT STDMETHODCALLTYPE Refresh() override;
    HRESULT STDMETHODCALLTYPE get_Enabled(VARIANT_BOOL* value) override;
    HRESULT STDMETHODCALLTYPE put_Enabled(VARIANT_BOOL value) override;

protected:
    void paint(HDC dc, const RECT& bounds, bool screen) override;
    bool onMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
    void onWindowCreated() override;
    void initProperties() override;
    void readProperties(IPropertyBag& bag, IErrorLog* log) override;
    void writeProperties(IPropertyBag& bag) override;
    void readStream(IStream& stream) override;
    void writeStream(IStream& stream) override;
    ULONGLONG streamSizeMax() override;

private:
    friend class com::RefCounted<ThumbView>;
    ~ThumbView() = default;

    void setSpecialEffect(long value);
    void apply(const ThumbViewProperties& p);  // in the order stored properties are read
    void loadPicture();
    void fireMouse(DISPID id, std::int16_t button, WPARAM keys, LPARAM at);

    ThumbViewProperties props_;
    std::unique_ptr<LoadedPicture> picture_;
    bool focused_ = false;
    bool leftDown_ = false;
};

}  // namespace kelva::preview
