#pragma once
// Controls that draw on a persistent surface: the picture box, and the base the user-control host
// shares with it (paint, resize and mouse messages in scale units).
#include <functional>

#include "runtime/control.h"
#include "runtime/surface.h"

namespace kelva::rt {

class SurfaceControl : public Control {
public:
    Surface& surface() { return surface_; }
    // With AutoRedraw on, what is drawn persists and Paint is not raised; with it off, every paint
    // of the window raises Paint first (which draws onto the surface) and then shows the surface.
    bool autoRedraw() const { return autoRedraw_; }
    void setAutoRedraw(bool v) { autoRedraw_ = v; }
    // Shows what was drawn (a drawing method does not repaint the window by itself).
    void refresh();

    double scaleWidth() const { return surface_.scale().scaleWidth(); }
    double scaleHeight() const { return surface_.scale().scaleHeight(); }

protected:
    HWND createSurfaceWindow(const wchar_t* className, DWORD style, DWORD exStyle, HWND parent, const RECT& px);
    LRESULT wndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

    virtual void onPaint() {}
    // The window's size changed; a user control passes it on only once its properties are in.
    virtual void resized() { onResize(); }
    virtual void onResize() {}
    virtual void onMouseDown(const MouseArgs&) {}
    virtual void onMouseUp(const MouseArgs&) {}
    virtual void onMouseMove(const MouseArgs&) {}
    virtual void onClick() {}
    virtual void onDblClick() {}

    MouseArgs mouseArgs(int button, LPARAM lParam) const;

private:
    Surface surface_;
    bool autoRedraw_ = false;
    bool pressed_ = false;
    int buttonsDown_ = 0;
};

class PictureBox : public SurfaceControl {
public:
    const wchar_t* typeName() const override { return L"PictureBox"; }

    std::function<void(const MouseArgs&)> MouseDown, MouseUp, MouseMove;
    std::function<void()> Click, DblClick, Paint, Resize;

    // Picture: the background picture, shown at the top left.
    void setPicture(std::shared_ptr<Picture> p) {
        surface().setPicture(std::move(p));
        refresh();
    }
    void setBorderStyle(int style);
    bool setProperty(std::wstring_view name, const PropValue& value) override;

protected:
    HWND createWindow(HWND parent, const RECT& px) override;
    void onPaint() override;
    void onResize() override;
    void onMouseDown(const MouseArgs& a) override;
    void onMouseUp(const MouseArgs& a) override;
    void onMouseMove(const MouseArgs& a) override;
    void onClick() override;
    void onDblClick() override;
};

}  // namespace kelva::rt

namespace kelva::rt {

// An image: shows its picture, stretched to its size when Stretch is set; it takes no focus and
// has no border.
class Image : public PictureBox {
public:
    const wchar_t* typeName() const override { return L"Image"; }
    void setImage(std::shared_ptr<Picture> p);
    const std::shared_ptr<Picture>& image() const { return image_; }
    bool stretch() const { return stretch_; }
    void setStretch(bool v);

protected:
    void onResize() override;

private:
    void show();
    std::shared_ptr<Picture> image_;
    bool stretch_ = false;
};

}  // namespace kelva::rt
