#pragma once
// Check: a check box whose box is one of twelve pictures (value x idle, mouse-over, pushed,
// disabled) and whose caption is shown by an ordinary check box lying behind the picture. A 10 ms
// timer swaps in the mouse-over picture while the cursor is over the control.
#include <array>
#include <functional>
#include <memory>

#include "controls/check_logic.h"
#include "runtime/font.h"
#include "runtime/picture.h"
#include "runtime/timer.h"
#include "runtime/usercontrol.h"

namespace kelva::ctl {

class Check : public rt::UserControl {
public:
    Check();
    ~Check() override;
    const wchar_t* typeName() const override { return L"Check"; }

    std::int32_t Value();
    void setValue(std::int32_t v);
    std::shared_ptr<rt::Font> Font() const { return font_; }
    void setFont(std::shared_ptr<rt::Font> f);
    std::int16_t Enabled() const { return model_.enabled; }
    void setEnabledValue(std::int16_t v);
    void setEnabled(bool v) override { setEnabledValue(v ? -1 : 0); }
    std::wstring Caption() const;
    void setCaption(std::wstring_view c);
    std::uint32_t BackColor() const { return check1Back_; }
    void setBackColor(std::uint32_t c);
    std::uint32_t ForeColor() const { return model_.foreColor; }
    void setForeColor(std::uint32_t c);
    std::uint32_t DisabledColor() const { return model_.disabledColor; }
    void setDisabledColor(std::uint32_t c);
    bool setProperty(std::wstring_view name, const rt::PropValue& value) override;

    std::function<void()> Click, DblClick;
    std::function<void(const rt::MouseArgs&)> MouseDown;
    // Declared with the mouse arguments but never raised, as in the control it replaces.
    std::function<void(const rt::MouseArgs&)> MouseUp;

    // For tests: what the box shows, the caption's colour, and the constituent windows.
    std::optional<check::Picture> shownPicture() const { return model_.shown; }
    std::uint32_t captionColor() const { return model_.captionColor; }
    bool timerRunning() const { return timer_.enabled(); }
    HWND pictureWindow() const;
    HWND captionWindow() const;
    void tick() { onTick(); }

protected:
    void onCreated() override;
    void initProperties() override;
    void readProperties(const rt::PropertyBag& bag) override;
    void writeProperties(rt::PropertyBag& bag) override;
    void onShow() override;
    void onResize() override;
    void onTerminate() override;
    LRESULT wndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    friend struct CheckCaptionHook;
    void sync();  // shows model_ on the constituents
    void pressDown(const rt::MouseArgs& a);
    void pressUp(const rt::MouseArgs& a);
    void onTick();
    rt::FontDesc parentFont() const;

    check::Model model_;
    std::unique_ptr<rt::PictureBox> picture1_;
    std::unique_ptr<rt::StdControl> check1_;
    rt::Timer timer_;
    std::array<std::shared_ptr<rt::Picture>, check::kPictureCount> pictures_;
    std::optional<check::Picture> drawn_;
    std::optional<std::uint32_t> drawnCaptionColor_;
    std::shared_ptr<rt::Font> font_;
    int fontListener_ = 0;
    std::uint32_t check1Back_ = check::kDefaultBackColor;
    rt::BrushPtr backBrush_;
};

// Resource names of the twelve box pictures, in check::Picture order.
const wchar_t* checkPictureResource(check::Picture p);

}  // namespace kelva::ctl
