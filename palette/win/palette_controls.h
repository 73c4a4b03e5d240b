#pragma once
// Small window parts of the palette's forms: the title strip's labels that drag the borderless
// window, the three images (window icon, minimise button, the take-height button; drawn by the
// palette itself, the design pictures being unavailable).
#include <functional>
#include <string>

#include "runtime/control.h"
#include "runtime/gdi.h"

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
