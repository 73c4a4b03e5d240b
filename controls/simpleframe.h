#pragma once
// XPSimpleFrame: a plain container with a grey rectangle border, and one action that fits every
// contained control into the frame with a three-pixel inset and turns off their own borders.
#include <memory>

#include "runtime/usercontrol.h"

namespace kelva::ctl {

class XPSimpleFrame : public rt::UserControl {
public:
    ~XPSimpleFrame() override;
    const wchar_t* typeName() const override { return L"XPSimpleFrame"; }

    // Reads back False always; every assignment, True or False, performs the fit.
    bool AutoSizeContained() const { return false; }
    void setAutoSizeContained(bool);
    bool setProperty(std::wstring_view name, const rt::PropValue& value) override;

    const rt::Shape& shape() const { return *shape1_; }

protected:
    void onCreated() override;
    void onResize() override;

private:
    std::unique_ptr<rt::Shape> shape1_;
};

}  // namespace kelva::ctl
