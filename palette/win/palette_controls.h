#pragma once
// Small window parts of the palette's forms: the title strip's labels that drag the borderless
// window, the picture boxes that take keys, the three images (window icon, minimise button, the
// take-height button; drawn by the palette itself, the design pictures being unavailable).
#include <functional>
#include <string>

#include "runtime/control.h"
#include "runtime/gdi.h"
#include "runtime/picturebox.h"

namespace kelva::palette {

// A label with its own colours and font whose press is reported (the palette drags its window).
class DragLabel : public rt::Control {
public:
    const wchar_t* typeName() const override { return L"Label"; }
    void setColors(std::uint32_t back, std::uint32_t fore);
    void setFont(const rt::FontDesc& f);
    void setText(std::wstring text);
    const std::wstring& text() const { return text_; }
    std::uint32_t foreColor() const { return fore_; }
    void setForeColor(std::uint32_t c);
    // Text drawn left, or centred in the label.
    void setCentered(bool v) { centered_ = v; }
    std::function<void()> MouseDown, Click;
    std::function<void(int x, int y)> MouseMove;

protected:
    HWND createWindow(HWND parent, const RECT& px) override;
    LRESULT wndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    std::uint32_t back_ = 0x8000000F, fore_ = 0x80000012;
    rt::FontPtr font_;
    std::wstring text_;
    bool centered_ = false;
};

// A picture box that takes the arrows and the character keys (Tab moves the focus on) and reports
// them, and the loss of the focus: the palette's pages and its favourites strip.
class KeyPictureBox : public rt::PictureBox {
public:
    // bordered: made with its border (BorderStyle 1) from the start; a border given afterwards has
    // the system lay the window out once more.
    explicit KeyPictureBox(bool bordered) : bordered_(bordered) {}
    std::function<void(int keyCode, int shift)> KeyDown;
    std::function<void()> KeyPress, LostFocus;

protected:
    HWND createWindow(HWND parent, const RECT& px) override;
    LRESULT wndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    bool bordered_;
};

// An image button: press, release and click, drawn as one of the palette's glyphs.
class GlyphImage : public rt::Control {
public:
    enum class Kind { Icon, Minimize, GetText };
    explicit GlyphImage(Kind kind) : kind_(kind) {}
    const wchar_t* typeName() const override { return L"Image"; }
    std::function<void()> MouseDown, MouseUp, Click;

protected:
    HWND createWindow(HWND parent, const RECT& px) override;
    LRESULT wndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void paint(HDC dc, const RECT& rc) const;
    Kind kind_;
};

}  // namespace kelva::palette
