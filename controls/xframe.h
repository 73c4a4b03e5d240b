#pragma once
// xFrame: a collapsible group frame. Its header strip carries a gradient, an optional picture, the
// caption, an optional expand/collapse button and an optional pin; a click on the header shrinks
// the frame to its header or restores its height. Controls placed inside are enabled with it.
#include <functional>
#include <memory>

#include "controls/xframe_logic.h"
#include "runtime/font.h"
#include "runtime/picture.h"
#include "runtime/timer.h"
#include "runtime/usercontrol.h"

namespace kelva::ctl {

class XFrame : public rt::UserControl {
public:
    XFrame();
    ~XFrame() override;
    const wchar_t* typeName() const override { return L"xFrame"; }

    std::uint32_t BackColor() const { return model_.backColor; }
    void setBackColor(std::uint32_t c);
    std::uint32_t BorderColor() const { return model_.colors.borderColor; }
    void setBorderColor(std::uint32_t c);
    bool Button() const { return model_.button; }
    void setButton(bool v);
    std::uint32_t ButtonColor() const { return model_.colors.buttonColor; }
    void setButtonColor(std::uint32_t c);
    std::uint32_t ButtonHighlightColor() const { return model_.colors.buttonHighlightColor; }
    void setButtonHighlightColor(std::uint32_t c);
    bool ButtonPin() const { return model_.buttonPin; }
    void setButtonPin(bool v);
    const std::wstring& Caption() const { return model_.caption; }
    void setCaption(std::wstring c);
    std::int32_t ColorScheme() const { return model_.colorScheme; }
    void setColorScheme(std::int32_t v);
    bool DisplayPicture() const { return model_.displayPicture; }
    void setDisplayPicture(bool v);
    bool Enabled() const { return model_.enabled; }
    void setEnabled(bool v) override;
    bool enabled() const override { return model_.enabled; }
    bool EnableGradient() const { return model_.enableGradient; }
    void setEnableGradient(bool v);
    bool Expanded() const { return model_.expanded; }
    void setExpanded(bool v);
    std::shared_ptr<rt::Font> Font() const { return headerFont_; }
    void setFont(std::shared_ptr<rt::Font> f);
    std::uint32_t ForeColor() const { return model_.colors.foreColor; }
    void setForeColor(std::uint32_t c);
    bool FramePinned() const { return model_.framePinned; }
    void setFramePinned(bool v);
    std::uint32_t GradientBottom() const { return model_.colors.gradientBottom; }
    void setGradientBottom(std::uint32_t c);
    std::uint32_t GradientTop() const { return model_.colors.gradientTop; }
    void setGradientTop(std::uint32_t c);
    std::uint32_t HeaderGradientBottom() const { return model_.colors.headerGradientBottom; }
    void setHeaderGradientBottom(std::uint32_t c);
    std::uint32_t HeaderGradientTop() const { return model_.colors.headerGradientTop; }
    void setHeaderGradientTop(std::uint32_t c);
    std::shared_ptr<rt::Picture> Picture() const { return framePicture_; }
    void setPicture(std::shared_ptr<rt::Picture> p);
    bool setProperty(std::wstring_view name, const rt::PropValue& value) override;

    std::function<void()> Click, DblClick;
    std::function<void(const rt::MouseArgs&)> MouseDown, MouseMove, MouseUp;

    // For tests: the header strip, the state, and the hover timer's work.
    rt::PictureBox& header() { return *picHeader_; }
    const xframe::Model& model() const { return model_; }
    void hoverTick();

protected:
    void onCreated() override;
    void initProperties() override;
    void readProperties(const rt::PropertyBag& bag) override;
    void writeProperties(rt::PropertyBag& bag) override;
    void onResize() override;
    void onTerminate() override;
    void onPaint() override;
    void onMouseDown(const rt::MouseArgs& a) override;
    void onMouseUp(const rt::MouseArgs& a) override;
    void onMouseMove(const rt::MouseArgs& a) override;
    void onClick() override;
    void onDblClick() override;

private:
    void createHeaderControls();
    void layoutStep();
    void paintHeader();
    void repaintHeader();
    void repaintBody();
    void dropBodyGradient();
    void headerClick();
    void syncFontFromHeader();

    xframe::Model model_;
    std::unique_ptr<rt::PictureBox> picHeader_;
    rt::Timer tmrMouseMove_;
    std::shared_ptr<rt::Picture> framePicture_;  // imgFramePic: never shown, copied by the header painter
    double framePictureWidth_ = 0, framePictureHeight_ = 0;
    std::shared_ptr<rt::Font> headerFont_;
    bool controlsCreated_ = false;
};

}  // namespace kelva::ctl
