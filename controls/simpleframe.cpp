#include "controls/simpleframe.h"

#include "runtime/form.h"

namespace kelva::ctl {

XPSimpleFrame::~XPSimpleFrame() { terminate(); }

void XPSimpleFrame::onCreated() {
    setCanGetFocus(false);
    surface().setBackColor(ambient().backColor);
    shape1_ = std::make_unique<rt::Shape>();
    shape1_->create(*form(), this, L"Shape1", {0, 0, rect().width, rect().height}, true);
    shape1_->setBorderColor(0x808080);
    shape1_->sendToBack();
}

void XPSimpleFrame::onResize() {
    if (shape1_) {
        shape1_->move({0, 0, rect().width, rect().height});
        shape1_->sendToBack();
    }
}

void XPSimpleFrame::setAutoSizeContained(bool) {
    const double w = rect().width, h = rect().height;
    for (auto* c : contained()) {
        // Properties a control lacks are skipped; every control is still moved.
        try {
            c->setProperty(L"BorderStyle", std::int32_t{0});
        } catch (const std::exception&) {
        }
        try {
            c->setProperty(L"Appearance", std::int32_t{0});
        } catch (const std::exception&) {
        }
        c->move({45, 45, w - 90, h - 90});
    }
}

bool XPSimpleFrame::setProperty(std::wstring_view name, const rt::PropValue& value) {
    if (rt::sameName(name, L"AutoSizeContained")) {
        setAutoSizeContained(rt::asBool(value));
        return true;
    }
    return rt::Control::setProperty(name, value);
}

}  // namespace kelva::ctl
