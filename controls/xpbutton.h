#pragma once
// ccXPButton: the owner-drawn push button with a rounded, gradient face in five looks. It follows
// the mouse, keys, focus and its form's activation (by subclassing its own window and the form's).
#include <functional>
#include <memory>

#include "controls/subclass.h"
#include "controls/xpbutton_logic.h"
#include "runtime/font.h"
#include "runtime/usercontrol.h"

namespace kelva::ctl {

class XPButton : public rt::UserControl, public SubclassOwner {
public:
    XPButton();
    ~XPButton() override;
    const wchar_t* typeName() const override { return L"ccXPButton"; }

    void zSubclass_Proc(bool bBefore, bool& bHandled, LRESULT& lReturn, HWND& hWnd, UINT& uMsg, WPARAM& wParam,
                        LPARAM& lParam) override;
    void SnapMouseTo();
    HWND hwndOf() const { return ownWindow_; }

    const std::wstring& Caption() const { return caption_; }
    void setCaption(std::wstring caption);
    bool Enabled() const { return model_.enabled; }
    void setEnabled(bool v) override;
    bool enabled() const override { return model_.enabled; }
    std::shared_ptr<rt::Font> Font() const { return font_; }
    void setFont(std::shared_ptr<rt::Font> font);
    std::uint32_t ForeColor() const { return foreColor_; }
    void setForeColor(std::uint32_t c);
    bool FocusRect() const { return focusRect_; }
    void setFocusRect(bool v);
    bool setProperty(std::wstring_view name, const rt::PropValue& value) override;

    std::function<void()> Click, DblClick;
    std::function<void(const rt::MouseArgs&)> MouseMove;
    std::function<void(int state)> FormActivate;

    // For tests and screenshots: the visual state and the subclassing records.
    int state() const { return model_.state; }
    const button::Model& model() const { return model_; }
    const SubclassEngine& engine() const { return engine_; }

    static const rt::FontDesc& defaultFont();

protected:
    void onCreated() override;
    void initProperties() override;
    void readProperties(const rt::PropertyBag& bag) override;
    void writeProperties(rt::PropertyBag& bag) override;
    void onTerminate() override;
    void onResize() override;
    void onMouseDown(const rt::MouseArgs& a) override;
    void onMouseUp(const rt::MouseArgs& a) override;
    void onMouseMove(const rt::MouseArgs& a) override;
    void onDblClick() override;
    void onKeyDown(int key, int shift) override;
    void onKeyUp(int key, int shift) override;
    bool usesKey(int key, int shift) const override;
    void onGotFocus() override;
    void onLostFocus() override;
    void onAccessKeyPress(wchar_t key) override;
    void onAmbientChanged(std::wstring_view name) override;

private:
    void apply(const button::Effects& fx);
    void drawButton(int state);
    void fontChanged();

    button::Model model_;
    SubclassEngine engine_{*this, SubclassErrors::Quiet};
    std::wstring caption_ = L"&OK";
    std::uint32_t foreColor_ = 0;
    bool focusRect_ = true;
    std::shared_ptr<rt::Font> font_;
    int fontListener_ = 0;
    HWND ownWindow_ = nullptr;
    HWND parentWindow_ = nullptr;
    bool subclassed_ = false;
};

}  // namespace kelva::ctl
