#include "controls/xframe.h"

#include "controls/gradient.h"
#include "runtime/form.h"
#include "runtime/gdi.h"

namespace kelva::ctl {

using namespace xframe;

namespace {
std::uint32_t lowRgb(std::uint32_t c) { return c & 0xFFFFFFu; }  // gradient colours ignore the high byte

std::shared_ptr<rt::Picture> gradientPicture(double wTwips, double hTwips, std::uint32_t top, std::uint32_t bottom) {
    const int w = rt::roundPixel(wTwips / rt::twipsPerPixelX());
    const int h = rt::roundPixel(hTwips / rt::twipsPerPixelY());
    // An empty size gives no picture: the back colour shows instead.
    return rt::Picture::fromPixels(w, h, gradientPixels(w, h, 0, lowRgb(top), lowRgb(bottom), 0));
}
}  // namespace

XFrame::XFrame() : headerFont_(std::make_shared<rt::Font>()) {
    tmrMouseMove_.setInterval(10);
    tmrMouseMove_.Tick = [this] { hoverTick(); };
}

XFrame::~XFrame() {
    tmrMouseMove_.setEnabled(false);
    terminate();
}

void XFrame::onCreated() {
    setCanGetFocus(false);
    surface().scale().setMode(rt::ScaleMode::Twips);
    surface().setBackColor(model_.backColor);
}

void XFrame::createHeaderControls() {
    if (controlsCreated_) return;
    controlsCreated_ = true;
    picHeader_ = std::make_unique<rt::PictureBox>();
    picHeader_->create(*form(), this, L"picHeader", {15, 15, std::max(rect().width - 30, 0.0), kHeaderHeight}, true);
    picHeader_->setAutoRedraw(true);
    picHeader_->surface().setFont(headerFont_);
    picHeader_->MouseMove = [this](const rt::MouseArgs& a) {
        if (headerMouseMove(model_, a.x, picHeader_->scaleWidth())) {
            tmrMouseMove_.setEnabled(model_.timerEnabled);
            repaintHeader();
        }
    };
    picHeader_->Click = [this] { headerClick(); };
    tmrMouseMove_.setEnabled(false);
}

// ---- life cycle ------------------------------------------------------------------------------

void XFrame::initProperties() {
    model_ = newInstance(name());
    model_.enabled = rt::Control::enabled();
    model_.backColor = surface().backColor();
    createHeaderControls();
    headerFont_->setSize(8);
    model_.font = headerFont_->desc();
    repaintBody();
}

void XFrame::readProperties(const rt::PropertyBag& bag) {
    createHeaderControls();
    model_ = newInstance(name());
    model_.font = headerFont_->desc();
    xframe::readProperties(bag, model_, name(), ambient().font);
    rt::Control::setEnabled(model_.enabled);
    surface().setBackColor(model_.backColor);
    headerFont_->setName(model_.font.name);
    model_.font = headerFont_->desc();
    framePicture_ = rt::Picture::fromData(model_.picture);
    if (framePicture_) {
        framePictureWidth_ = framePicture_->width() * rt::twipsPerPixelX();
        framePictureHeight_ = framePicture_->height() * rt::twipsPerPixelY();
    }
    layoutStep();
}

void XFrame::writeProperties(rt::PropertyBag& bag) {
    model_.backColor = surface().backColor();
    model_.enabled = rt::Control::enabled();
    model_.font = headerFont_->desc();
    model_.picture = framePicture_ ? framePicture_->toData() : rt::PictureData{};
    xframe::writeProperties(bag, model_, name(), ambient().font);
}

void XFrame::onResize() { layoutStep(); }

// The hover timer runs for the frame's life: it ends with it.
void XFrame::onTerminate() { tmrMouseMove_.setEnabled(false); }

void XFrame::layoutStep() {
    createHeaderControls();
    picHeader_->move({15, 15, std::max(rect().width - 30, 0.0), kHeaderHeight});
    picHeader_->bringToFront();
    model_.headerDrawn = false;
    paintHeader();
    model_.headerDrawn = true;
    xframe::layoutStep(model_, rect().height);
    InvalidateRect(hwnd(), nullptr, FALSE);
}

// ---- painting --------------------------------------------------------------------------------

void XFrame::repaintHeader() {
    model_.headerDrawn = false;
    paintHeader();
}

void XFrame::repaintBody() {
    if (hwnd()) {
        InvalidateRect(hwnd(), nullptr, FALSE);
        UpdateWindow(hwnd());
    }
}

void XFrame::dropBodyGradient() {
    model_.bodyGradientBuilt = false;
    if (surface().picture()) surface().setPicture(nullptr);
}

void XFrame::paintHeader() {
    if (model_.headerDrawn || !picHeader_) return;
    auto& hs = picHeader_->surface();
    const double W = picHeader_->scaleWidth(), H = picHeader_->scaleHeight();
    hs.cls();
    hs.setPicture(gradientPicture(W, H, model_.colors.headerGradientTop, model_.colors.headerGradientBottom));
    // The stored attributes go onto the header's font as it is now: a name the host gave the font
    // object stays.
    model_.font = headerFont_->desc();
    applyHeaderFont(model_);
    // Only a change makes a new font: a paint that changes nothing reuses the one it has.
    if (!(model_.font == headerFont_->desc())) headerFont_->setDesc(model_.font);
    double x = 75;
    if (model_.displayPicture) {
        x = framePictureWidth_ + 75;
        if (framePicture_) hs.paintPicture(*framePicture_, 15, 15, framePictureWidth_, framePictureHeight_);
        // Without a picture the place stays as the gradient shows it.
    }
    hs.currentX = x;
    hs.currentY = (H - hs.textHeight(model_.caption)) / 2;
    hs.setForeColor(model_.colors.foreColor);
    hs.print(model_.caption);
    const bool up = wholeTwips(rect().height) == model_.expandedHeight;
    for (const auto& s : glyphPlan(model_, W, up)) hs.line(s.x1, s.y1, s.x2, s.y2, s.color);
    hs.line(0, H - 30, W, H - 30, model_.backColor);
    picHeader_->bringToFront();
    hs.setForeColor(model_.colors.foreColor);
    model_.headerDrawn = true;
    picHeader_->refresh();
}

void XFrame::onPaint() {
    auto& s = surface();
    const double W = rect().width, H = rect().height;
    s.cls();
    if (model_.enableGradient && !model_.bodyGradientBuilt) {
        model_.bodyGradientBuilt = true;
        s.setPicture(gradientPicture(W, H, model_.colors.gradientTop, model_.colors.gradientBottom));
    }
    for (const auto& seg : borderPlan(W, H, model_.colors.borderColor)) s.line(seg.x1, seg.y1, seg.x2, seg.y2, seg.color);
    repaintHeader();
}

// ---- input -----------------------------------------------------------------------------------

void XFrame::headerClick() {
    const auto r = xframe::headerClick(model_, wholeTwips(rect().height));
    if (r.newHeight) setHeight(*r.newHeight);  // runs the layout step
    if (r.repaintHeader) repaintHeader();
    propertyChanged(L"Expanded");
    if (Click) Click();
}

void XFrame::hoverTick() {
    POINT pt;
    if (!GetCursorPos(&pt)) return;
    if (xframe::hoverTick(model_, picHeader_ && WindowFromPoint(pt) == picHeader_->hwnd())) paintHeader();
}

void XFrame::onMouseDown(const rt::MouseArgs& a) {
    if (MouseDown) MouseDown(a);
}
void XFrame::onMouseUp(const rt::MouseArgs& a) {
    if (MouseUp) MouseUp(a);
}
void XFrame::onMouseMove(const rt::MouseArgs& a) {
    if (MouseMove) MouseMove(a);
}
void XFrame::onClick() {
    if (Click) Click();
}
void XFrame::onDblClick() {
    if (DblClick) DblClick();
}

// ---- properties ------------------------------------------------------------------------------

void XFrame::setBackColor(std::uint32_t c) {
    model_.backColor = c;
    propertyChanged(L"BackColor");
    surface().setBackColor(c);
    repaintBody();
}

void XFrame::setBorderColor(std::uint32_t c) {
    model_.colors.borderColor = c;
    propertyChanged(L"BorderColor");
    repaintBody();
}

void XFrame::setButton(bool v) {
    model_.button = v;
    propertyChanged(L"Button");
    repaintBody();
}

void XFrame::setButtonColor(std::uint32_t c) {
    model_.colors.buttonColor = c;
    propertyChanged(L"ButtonColor");
    repaintBody();
}

void XFrame::setButtonHighlightColor(std::uint32_t c) {
    model_.colors.buttonHighlightColor = c;
    propertyChanged(L"ButtonHighlightColor");
    repaintBody();
}

void XFrame::setButtonPin(bool v) {
    model_.buttonPin = v;
    propertyChanged(L"ButtonPin");
    repaintBody();
}

void XFrame::setCaption(std::wstring c) {
    model_.caption = std::move(c);
    propertyChanged(L"Caption");
    repaintBody();
}

void XFrame::setColorScheme(std::int32_t v) {
    model_.colorScheme = v;
    applyColorScheme(model_);
    if (model_.enableGradient) dropBodyGradient();
    repaintBody();
}

void XFrame::setDisplayPicture(bool v) {
    model_.displayPicture = v;
    propertyChanged(L"DisplayPicture");
    layoutStep();
}

void XFrame::setEnabled(bool v) {
    rt::Control::setEnabled(v);
    model_.enabled = v;
    propertyChanged(L"Enabled");
    // Controls without an Enabled (a shape, a line) are left as they are; the rest follow the frame.
    for (auto* c : contained()) {
        try {
            c->setProperty(L"Enabled", v);
        } catch (const std::exception&) {
        }
    }
    applyColorScheme(model_);
    if (model_.enableGradient) dropBodyGradient();
    repaintBody();
}

void XFrame::setEnableGradient(bool v) {
    model_.enableGradient = v;
    propertyChanged(L"EnableGradient");
    if (!v) dropBodyGradient();
    applyColorScheme(model_);
    repaintBody();
}

void XFrame::setExpanded(bool v) {
    propertyChanged(L"Expanded");
    const auto h = xframe::setExpanded(model_, v, wholeTwips(rect().height));
    if (h) setHeight(*h);
    repaintHeader();
}

void XFrame::setFont(std::shared_ptr<rt::Font> f) {
    if (!f) return;
    headerFont_ = std::move(f);
    if (picHeader_) picHeader_->surface().setFont(headerFont_);
    syncFontFromHeader();
    layoutStep();
    propertyChanged(L"Font");
}

void XFrame::syncFontFromHeader() {
    const auto& d = headerFont_->desc();
    model_.font = d;
    model_.fontBold = d.bold;
    model_.fontItalic = d.italic;
    model_.fontSize = d.size;
    model_.fontStrikethrough = d.strikethrough;
    model_.fontUnderline = d.underline;
}

void XFrame::setForeColor(std::uint32_t c) {
    model_.colors.foreColor = c;
    if (picHeader_) picHeader_->surface().setForeColor(c);
    propertyChanged(L"ForeColor");
}

void XFrame::setFramePinned(bool v) {
    model_.framePinned = v;
    propertyChanged(L"FramePinned");
    repaintBody();
}

void XFrame::setGradientBottom(std::uint32_t c) {
    model_.colors.gradientBottom = c;
    propertyChanged(L"GradientBottom");
    if (model_.enableGradient) dropBodyGradient();
    repaintBody();
}

void XFrame::setGradientTop(std::uint32_t c) {
    model_.colors.gradientTop = c;
    propertyChanged(L"GradientTop");
    if (model_.enableGradient) dropBodyGradient();
    repaintBody();
}

void XFrame::setHeaderGradientBottom(std::uint32_t c) {
    model_.colors.headerGradientBottom = c;
    propertyChanged(L"HeaderGradientBottom");
    if (picHeader_) picHeader_->surface().cls();
    repaintHeader();
}

void XFrame::setHeaderGradientTop(std::uint32_t c) {
    model_.colors.headerGradientTop = c;
    propertyChanged(L"HeaderGradientTop");
    if (picHeader_) picHeader_->surface().cls();
    repaintHeader();
}

void XFrame::setPicture(std::shared_ptr<rt::Picture> p) {
    framePicture_ = std::move(p);
    framePictureWidth_ = framePicture_ ? framePicture_->width() * rt::twipsPerPixelX() : 0;
    framePictureHeight_ = framePicture_ ? framePicture_->height() * rt::twipsPerPixelY() : 0;
    propertyChanged(L"Picture");
    model_.displayPicture = true;
    layoutStep();
    repaintHeader();
}

bool XFrame::setProperty(std::wstring_view name, const rt::PropValue& value) {
    auto col = [&] { return static_cast<std::uint32_t>(rt::asLong(value)); };
    using rt::sameName;
    if (sameName(name, L"BackColor")) setBackColor(col());
    else if (sameName(name, L"BorderColor")) setBorderColor(col());
    else if (sameName(name, L"Button")) setButton(rt::asBool(value));
    else if (sameName(name, L"ButtonColor")) setButtonColor(col());
    else if (sameName(name, L"ButtonHighlightColor")) setButtonHighlightColor(col());
    else if (sameName(name, L"ButtonPin")) setButtonPin(rt::asBool(value));
    else if (sameName(name, L"Caption")) setCaption(rt::asString(value));
    else if (sameName(name, L"ColorScheme")) setColorScheme(rt::asLong(value));
    else if (sameName(name, L"DisplayPicture")) setDisplayPicture(rt::asBool(value));
    else if (sameName(name, L"Enabled")) setEnabled(rt::asBool(value));
    else if (sameName(name, L"EnableGradient")) setEnableGradient(rt::asBool(value));
    else if (sameName(name, L"Expanded")) setExpanded(rt::asBool(value));
    else if (sameName(name, L"ForeColor")) setForeColor(col());
    else if (sameName(name, L"FramePinned")) setFramePinned(rt::asBool(value));
    else if (sameName(name, L"GradientBottom")) setGradientBottom(col());
    else if (sameName(name, L"GradientTop")) setGradientTop(col());
    else if (sameName(name, L"HeaderGradientBottom")) setHeaderGradientBottom(col());
    else if (sameName(name, L"HeaderGradientTop")) setHeaderGradientTop(col());
    else return rt::Control::setProperty(name, value);
    return true;
}

}  // namespace kelva::ctl
