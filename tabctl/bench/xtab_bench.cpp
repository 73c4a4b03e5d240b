// What the tab control's painting costs beyond the GDI calls it makes: a full repaint of a six-tab
// control in theme 2 and a tab switch, each timed through the painters on the GDI canvas and as a
// replay of the very same GDI calls recorded from them.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "runtime/font.h"
#include "tabctl/gdi_canvas.h"
#include "tabctl/xtab_paint.h"
#include "tabctl/xtab_theme.h"

using namespace kelva;
using namespace kelva::tabctl;

namespace {

Rgb sysColor(int i) { return static_cast<Rgb>(GetSysColor(i)); }

// One GDI call as the canvas made it.
struct Call {
    enum Kind { Rop, Line, Fill, Pixel, XorPixel, Round, Font, Measure, Text, Focus, Extent } kind;
    int a = 0, b = 0, c = 0, d = 0, e = 0, f = 0;
    Rgb color = 0;
    bool brush = false;
    std::wstring text;
};

// Passes every call on to the GDI canvas and keeps a copy.
class Recorder : public Canvas {
public:
    explicit Recorder(GdiCanvas& inner) : in_(inner) {}
    std::vector<Call> calls;
    int height() const override { return in_.height(); }
    void setDrawMode(int m) override { calls.push_back({Call::Rop, m}), in_.setDrawMode(m); }
    void line(int x1, int y1, int x2, int y2, Rgb c) override {
        calls.push_back({Call::Line, x1, y1, x2, y2, 0, 0, c}), in_.line(x1, y1, x2, y2, c);
    }
    void fillRect(int x, int y, int w, int h, Rgb c) override {
        calls.push_back({Call::Fill, x, y, w, h, 0, 0, c}), in_.fillRect(x, y, w, h, c);
    }
    void setPixel(int x, int y, Rgb c) override { calls.push_back({Call::Pixel, x, y, 0, 0, 0, 0, c}), in_.setPixel(x, y, c); }
    void xorPixel(int x, int y, Rgb c) override { calls.push_back({Call::XorPixel, x, y, 0, 0, 0, 0, c}), in_.xorPixel(x, y, c); }
    void roundRect(const Rect& r, int ew, int eh, Rgb pen, std::optional<Rgb> brush) override {
        Call k{Call::Round, r.left, r.top, r.right, r.bottom, ew, eh, pen, brush.has_value()};
        if (brush) k.text = std::to_wstring(*brush);
        calls.push_back(k), in_.roundRect(r, ew, eh, pen, brush);
    }
    void clear(Rgb back) override { calls.push_back({Call::Fill, 0, 0, 1 << 15, in_.height(), 0, 0, back}), in_.clear(back); }
    void setFont(FontRole f) override { calls.push_back({Call::Font, f == FontRole::Active ? 0 : 1}), in_.setFont(f); }
    int textWidth(std::wstring_view t) override {
        Call k{Call::Extent};
        k.text = t;
        calls.push_back(k);
        return in_.textWidth(t);
    }
    Rect measureText(std::wstring_view t, const Rect& r, unsigned flags) override {
        Call k{Call::Measure, r.left, r.top, r.right, r.bottom, static_cast<int>(flags)};
        k.text = t;
        calls.push_back(k);
        return in_.measureText(t, r, flags);
    }
    void drawText(std::wstring_view t, const Rect& r, unsigned flags, Rgb c) override {
        Call k{Call::Text, r.left, r.top, r.right, r.bottom, static_cast<int>(flags), 0, c};
        k.text = t;
        calls.push_back(k), in_.drawText(t, r, flags, c);
    }
    void focusRect(const Rect& r) override { calls.push_back({Call::Focus, r.left, r.top, r.right, r.bottom}), in_.focusRect(r); }
    void drawPicture(const TabPicture& p, int x, int y, int w, int h, bool m, Rgb t) override { in_.drawPicture(p, x, y, w, h, m, t); }

private:
    GdiCanvas& in_;
};

// The recorded calls made straight on the device context, as bare GDI code would make them.
void replay(HDC dc, const std::vector<Call>& calls, HFONT fonts[2]) {
    for (const Call& k : calls) {
        switch (k.kind) {
        case Call::Rop: SetROP2(dc, k.a == kDrawXorPen ? R2_XORPEN : R2_COPYPEN); break;
        case Call::Line: {
            HPEN pen = CreatePen(PS_SOLID, 1, k.color);
            HGDIOBJ old = SelectObject(dc, pen);
            MoveToEx(dc, k.a, k.b, nullptr);
            LineTo(dc, k.c, k.d);
            SelectObject(dc, old);
            DeleteObject(pen);
            break;
        }
        case Call::Fill: {
            HBRUSH br = CreateSolidBrush(k.color);
            RECT r{k.a, k.b, k.a + k.c, k.b + k.d};
            FillRect(dc, &r, br);
            DeleteObject(br);
            break;
        }
        case Call::Pixel: SetPixelV(dc, k.a, k.b, k.color); break;
        case Call::XorPixel: {
            const int rop = SetROP2(dc, R2_COPYPEN);
            SetPixelV(dc, k.a, k.b, (GetPixel(dc, k.a, k.b) ^ k.color) & 0xFFFFFF);
            SetROP2(dc, rop);
            break;
        }
        case Call::Round: {
            HPEN pen = CreatePen(PS_SOLID, 1, k.color);
            HBRUSH br = k.brush ? CreateSolidBrush(static_cast<COLORREF>(std::stoul(k.text))) : nullptr;
            HGDIOBJ op = SelectObject(dc, pen), ob = SelectObject(dc, br ? br : GetStockObject(NULL_BRUSH));
            RoundRect(dc, k.a, k.b, k.c, k.d, k.e, k.f);
            SelectObject(dc, op), SelectObject(dc, ob);
            DeleteObject(pen);
            if (br) DeleteObject(br);
            break;
        }
        case Call::Font: SelectObject(dc, fonts[k.a]); break;
        case Call::Extent: {
            SIZE sz;
            GetTextExtentPoint32W(dc, k.text.data(), static_cast<int>(k.text.size()), &sz);
            break;
        }
        case Call::Measure: {
            RECT r{k.a, k.b, k.c, k.d};
            DrawTextW(dc, k.text.data(), static_cast<int>(k.text.size()), &r, static_cast<UINT>(k.e) | DT_CALCRECT);
            break;
        }
        case Call::Text: {
            RECT r{k.a, k.b, k.c, k.d};
            SetTextColor(dc, k.color);
            SetBkMode(dc, TRANSPARENT);
            DrawTextW(dc, k.text.data(), static_cast<int>(k.text.size()), &r, static_cast<UINT>(k.e));
            break;
        }
        case Call::Focus: {
            RECT r{k.a, k.b, k.c, k.d};
            DrawFocusRect(dc, &r);
            break;
        }
        }
    }
}

double seconds(const std::function<void()>& f, int n) {
    LARGE_INTEGER freq, a, b;
    QueryPerformanceFrequency(&freq);
    QueryPerformanceCounter(&a);
    for (int i = 0; i < n; ++i) f();
    QueryPerformanceCounter(&b);
    return static_cast<double>(b.QuadPart - a.QuadPart) / static_cast<double>(freq.QuadPart) / n;
}

// The machine is shared: the two sides run in alternating batches and each keeps its best batch,
// so a burst of other work does not land on one side only.
std::pair<double, double> compare(const std::function<void()>& painted, const std::function<void()>& bare) {
    painted(), bare();  // warm
    double best[2] = {1e9, 1e9};
    for (int batch = 0; batch < 25; ++batch) {
        best[0] = std::min(best[0], seconds(painted, 40));
        best[1] = std::min(best[1], seconds(bare, 40));
    }
    return {best[0], best[1]};
}

XTabState sixTabs() {
    XTabState s;
    s.TabStyle = 0;
    s.TabCount = 6;
    s.tabs.resize(6);
    const wchar_t* names[] = {L"기호", L"Latin", L"선/단위", L"원/괄호", L"かな", L"Ελληνικά"};
    for (int i = 0; i < 6; ++i) s.tabs[static_cast<std::size_t>(i)].Caption = names[i];
    s.scaleWidth = 600, s.scaleHeight = 300;
    s.ActiveTabFont = std::make_shared<rt::FontDesc>();
    s.ActiveTabFont->bold = true;
    s.InActiveTabFont = std::make_shared<rt::FontDesc>();
    s.TabTheme = 2;
    resetColorsToDefault(s, {L"None", 0x8000000F, true, sysColor});
    return s;
}

}  // namespace

int wmain() {
    HDC dc = CreateCompatibleDC(nullptr);
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), 600, -300, 1, 32, BI_RGB};
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ oldBmp = SelectObject(dc, dib);
    XTabState s = sixTabs();
    const PaintEnv env{sysColor, true, L"None"};
    rt::FontPtr fontPtrs[2] = {rt::createFont(*s.ActiveTabFont), rt::createFont(*s.InActiveTabFont)};
    HFONT fonts[2] = {fontPtrs[0].get(), fontPtrs[1].get()};

    // Full repaint.
    auto repaint = [&] {
        GdiCanvas c(dc, 300, *s.ActiveTabFont, *s.InActiveTabFont);
        XTabPainter(s, c, env).drawMe();
    };
    std::vector<Call> repaintCalls;
    {
        GdiCanvas c(dc, 300, *s.ActiveTabFont, *s.InActiveTabFont);
        Recorder r(c);
        XTabPainter(s, r, env).drawMe();
        repaintCalls = r.calls;
    }
    const auto [painted, bare] = compare(repaint, [&] { replay(dc, repaintCalls, fonts); });

    // A tab switch paints the background and the tabs, then the whole control once more.
    auto switchOnce = [&](XTabState& st, Canvas& c) {
        st.LastActiveTab = st.ActiveTab;
        st.ActiveTab = (st.ActiveTab + 1) % st.TabCount;
        st.HoverTab = st.ActiveTab;
        XTabPainter p(st, c, env);
        p.drawBackground();
        p.drawTabs();
        p.drawMe();
    };
    std::vector<Call> switchCalls;
    {
        XTabState st = s;
        GdiCanvas c(dc, 300, *s.ActiveTabFont, *s.InActiveTabFont);
        Recorder r(c);
        switchOnce(st, r);
        switchCalls = r.calls;
    }
    XTabState st = s;
    const auto [switched, bareSwitch] = compare(
        [&] {
            GdiCanvas c(dc, 300, *s.ActiveTabFont, *s.InActiveTabFont);
            switchOnce(st, c);
        },
        [&] { replay(dc, switchCalls, fonts); });

    std::printf("full repaint, 6 tabs, theme 2: %8.1f us  (bare GDI replay of its %zu calls %8.1f us)  ratio %.2f\n",
                painted * 1e6, repaintCalls.size(), bare * 1e6, painted / bare);
    std::printf("tab switch,   6 tabs, theme 2: %8.1f us  (bare GDI replay of its %zu calls %8.1f us)  ratio %.2f\n",
                switched * 1e6, switchCalls.size(), bareSwitch * 1e6, switched / bareSwitch);
    SelectObject(dc, oldBmp);
    DeleteObject(dib);
    DeleteDC(dc);
    return 0;
}
