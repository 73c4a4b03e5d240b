// The painters against the drawing tables: every expected line, fill and pixel below is written out
// from the control's drawing description with the tab's L, T, R, B filled in, not taken from the
// painter's own tables.
#include <gtest/gtest.h>

#include <map>

#include "core/errors.h"
#include "tabctl/tests/paint_canvases.h"
#include "tabctl/xtab_geometry.h"
#include "tabctl/xtab_paint.h"
#include "tabctl/xtab_theme.h"

using namespace kelva;
using namespace kelva::tabctl;
using kelva::tabctl::test::Op;
using kelva::tabctl::test::PixelCanvas;
using kelva::tabctl::test::RecordingCanvas;

namespace {

// Distinct colours, so that every line names its role.
constexpr Rgb kOuter = 0x000011, kTL = 0x000022, kBR = 0x000033;
constexpr Rgb kActStart = 0x0000A1, kActEnd = 0x0000A2, kInStart = 0x0000B1, kInEnd = 0x0000B2;
constexpr Rgb kDisBack = 0x0000D1, kDisFore = 0x0000D2, kActFore = 0x0000C1, kInFore = 0x0000C2;
constexpr Rgb kStrip = 0x0000E1, kFocused = 0x00F001, kHover = 0x00F002;

Rgb sysColor(int i) { return 0x00400000u | static_cast<Rgb>(i * 0x0101); }

struct Pic : TabPicture {
    int t = 1;
    int width() const override { return 16; }
    int height() const override { return 16; }
    int type() const override { return t; }
};

XTabState state(std::int32_t style, std::int32_t theme, std::int32_t tabs = 4, std::int32_t active = 1) {
    XTabState s;
    s.TabStyle = style;
    s.TabTheme = theme;
    s.TabCount = tabs;
    s.tabs.resize(static_cast<std::size_t>(tabs));
    for (std::int32_t i = 0; i < tabs; ++i) s.tabs[static_cast<std::size_t>(i)].Caption = L"Tab " + std::to_wstring(i);
    s.ActiveTab = active;
    s.HoverTab = active;
    s.scaleWidth = 400;
    s.scaleHeight = 200;
    s.iconSize = 16;
    s.OuterBorderColor = kOuter, s.TopLeftInnerBorderColor = kTL, s.BottomRightInnerBorderColor = kBR;
    s.ActiveTabBackStartColor = kActStart, s.ActiveTabBackEndColor = kActEnd;
    s.InActiveTabBackStartColor = kInStart, s.InActiveTabBackEndColor = kInEnd;
    s.DisabledTabBackColor = kDisBack, s.DisabledTabForeColor = kDisFore;
    s.ActiveTabForeColor = kActFore, s.InActiveTabForeColor = kInFore;
    s.TabStripBackColor = kStrip, s.FocusedColor = kFocused, s.HoverColor = kHover;
    return s;
}

PaintEnv env(std::wstring scheme = L"NormalColor") { return {sysColor, true, std::move(scheme)}; }

struct Ln {
    std::int64_t x1, y1, x2, y2;
    Rgb c;
};

std::vector<Op> linesOf(const RecordingCanvas& c) { return c.of(Op::Line); }

// The expected lines appear one after the other in what was drawn.
::testing::AssertionResult drawnInOrder(const std::vector<Op>& lines, const std::vector<Ln>& exp) {
    auto same = [](const Op& o, const Ln& e) {
        return o.x1 == e.x1 && o.y1 == e.y1 && o.x2 == e.x2 && o.y2 == e.y2 && o.color == e.c;
    };
    for (std::size_t start = 0; start + exp.size() <= lines.size(); ++start) {
        std::size_t k = 0;
        while (k < exp.size() && same(lines[start + k], exp[k])) ++k;
        if (k == exp.size()) return ::testing::AssertionSuccess();
    }
    std::string msg = "run not found, first expected (";
    msg += std::to_string(exp[0].x1) + "," + std::to_string(exp[0].y1) + ")-(" + std::to_string(exp[0].x2) + "," +
           std::to_string(exp[0].y2) + ")";
    return ::testing::AssertionFailure() << msg;
}

bool hasLine(const std::vector<Op>& lines, const Ln& e) { return drawnInOrder(lines, {e}); }

// ---- tabbed dialog, theme 0 -------------------------------------------------------------------

std::vector<Ln> dialogActiveEdges(std::int64_t L, std::int64_t T, std::int64_t R, std::int64_t B, Rgb E) {
    return {{L, T + 4, L + 4, T, kOuter},         {L + 1, T + 4, L + 4, T + 1, kTL},   {L + 2, T + 4, L + 4, T + 2, kTL},
            {L + 4, T, R - 4, T, kOuter},         {L + 4, T + 1, R - 4, T + 1, kTL},   {L + 4, T + 2, R - 4, T + 2, kTL},
            {R - 4, T, R, T + 4, kOuter},         {R - 4, T + 1, R - 1, T + 4, kBR},   {R - 4, T + 2, R - 2, T + 4, kBR},
            {R, T + 4, R, B + 1, kOuter},         {R - 1, T + 4, R - 1, B + 2, kBR},   {R - 2, T + 4, R - 2, B + 3, kBR},
            {L + 3, B + 1, R - 2, B + 1, E},      {L + 3, B + 2, R - 2, B + 2, E},     {L + 3, B + 3, R - 2, B + 3, E},
            {L, T + 4, L, B + 1, kOuter},         {L + 1, T + 4, L + 1, B + 2, kTL},   {L + 2, T + 4, L + 2, B + 3, kTL}};
}
std::vector<Ln> dialogInactiveEdges(std::int64_t L, std::int64_t T, std::int64_t R, std::int64_t B) {
    return {{L, T + 4, L + 4, T, kOuter},      {L + 1, T + 4, L + 4, T + 1, kTL},    {L + 4, T, R - 4, T, kOuter},
            {L + 4, T + 1, R - 4, T + 1, kTL}, {R - 4, T, R, T + 4, kOuter},         {R - 4, T + 1, R - 1, T + 4, kBR},
            {R, T + 4, R, B + 1, kOuter},      {R - 1, T + 4, R - 1, B + 1, kBR},    {L, B + 1, R + 1, B + 1, kOuter},
            {L - 1, B + 2, R + 1, B + 2, kTL}, {L - 2, B + 3, R + 2, B + 3, kTL},    {L, T + 4, L, B + 1, kOuter},
            {L + 1, T + 4, L + 1, B + 1, kTL}};
}

TEST(XTabDialogPaint, Theme0TabsFollowTheirEdgeTables) {
    XTabState s = state(0, 0, 4, 1);
    s.tabs[3].Enabled = false;
    RecordingCanvas c;
    XTabPainter(s, c, env()).drawMe();
    // W 400 / 4 tabs: 100 each, the last ends at W - 1; the active tab stands 2 higher.
    EXPECT_EQ(s.tabs[0].TabRect, (Rect{0, 2, 100, 20}));
    EXPECT_EQ(s.tabs[1].TabRect, (Rect{100, 0, 200, 20}));
    EXPECT_EQ(s.tabs[3].TabRect, (Rect{300, 2, 399, 20}));
    EXPECT_EQ(s.tabs[0].BoxRect, (Rect{86, 7, 96, 17}));
    const auto lines = linesOf(c);
    EXPECT_TRUE(drawnInOrder(lines, dialogActiveEdges(100, 0, 200, 20, kActEnd)));
    EXPECT_TRUE(drawnInOrder(lines, dialogInactiveEdges(0, 2, 100, 20)));  // left neighbour
    EXPECT_TRUE(drawnInOrder(lines, dialogInactiveEdges(200, 2, 300, 20)));  // right neighbour
    EXPECT_TRUE(drawnInOrder(lines, dialogInactiveEdges(300, 2, 399, 20)));  // disabled
    // Fills: active from its start to its end colour over rows 0..20, cut by radius 4 at the top.
    EXPECT_TRUE(hasLine(lines, {106, 0, 196, 0, kActStart}));
    EXPECT_TRUE(hasLine(lines, {102, 20, 200, 20, kActEnd}));
    EXPECT_TRUE(hasLine(lines, {6, 2, 96, 2, kInStart}));
    EXPECT_TRUE(hasLine(lines, {306, 2, 395, 2, kDisBack}));  // a disabled tab is one flat colour
    EXPECT_TRUE(hasLine(lines, {302, 20, 399, 20, kDisBack}));
    // The body and the closing pieces after the tabs.
    EXPECT_TRUE(drawnInOrder(lines, {{0, 21, 0, 199, kOuter}, {1, 22, 1, 198, kTL}, {2, 23, 2, 197, kTL},
                                     {399, 21, 399, 199, kOuter}, {398, 22, 398, 198, kBR}, {397, 23, 397, 197, kBR},
                                     {0, 199, 400, 199, kOuter}, {1, 198, 399, 198, kBR}, {2, 197, 398, 197, kBR}}));
    EXPECT_TRUE(drawnInOrder(lines, {{0, 21, 0, 24, kOuter}, {399, 21, 399, 24, kOuter}, {398, 22, 398, 24, kBR},
                                     {397, 23, 397, 24, kBR}}));
    // Captions in their colours; the strip filled behind the tabs.
    const auto texts = c.of(Op::Text);
    ASSERT_EQ(texts.size(), 4u);
    EXPECT_EQ(texts[1].color, kActFore);
    EXPECT_EQ(texts[0].color, kInFore);
    EXPECT_EQ(texts[3].color, kDisFore);
    EXPECT_EQ(c.of(Op::Fill).at(0), (Op{Op::Fill, 0, 0, 400, 20, kStrip}));
    EXPECT_EQ(s.BackColor, kActEnd);  // the body takes the active tab's end colour
}

TEST(XTabDialogPaint, DisabledControlPaintsEveryTabDisabled) {
    XTabState s = state(0, 0, 3, 0);
    s.Enabled = false;
    RecordingCanvas c;
    XTabPainter(s, c, env()).drawMe();
    const auto lines = linesOf(c);
    EXPECT_TRUE(drawnInOrder(lines, dialogActiveEdges(0, 0, 133, 20, kDisBack)));
    for (const Op& t : c.of(Op::Text)) EXPECT_EQ(t.color, kDisFore);
    EXPECT_EQ(s.BackColor, kDisBack);
}

TEST(XTabDialogPaint, CaptionIsCentredInTheTab) {
    // Tab (0, 0, 100, 20) with a 5-letter caption measuring 30 by 13.
    XTabState s = state(0, 0, 1, 0);
    s.scaleWidth = 101;
    s.tabs[0].Caption = L"Pages";
    RecordingCanvas c;
    XTabPainter(s, c, env()).drawTabs();
    ASSERT_EQ(s.tabs[0].TabRect, (Rect{0, 0, 100, 20}));
    const auto t = c.of(Op::Text).at(0);
    EXPECT_EQ((Rect{t.x1, t.y1, t.x2, t.y2}), (Rect{36, 5, 68, 19}));
    EXPECT_EQ(t.mode, 33);
}

TEST(XTabDialogPaint, Theme1And4EdgesAndMetallicFill) {
    for (std::int32_t theme : {1, 4}) {
        XTabState s = state(0, theme, 4, 1);
        RecordingCanvas c;
        XTabPainter(s, c, env(L"Metallic")).drawTabs();
        const auto lines = linesOf(c);
        EXPECT_TRUE(drawnInOrder(lines, {{100, 4, 104, 0, kOuter}, {104, 0, 196, 0, kOuter}, {196, 0, 200, 4, kOuter},
                                         {200, 4, 200, 21, kOuter}, {101, 21, 200, 21, kActEnd}, {100, 4, 100, 21, kOuter}}));
        EXPECT_TRUE(drawnInOrder(lines, {{0, 6, 4, 2, kOuter}, {4, 2, 96, 2, kOuter}, {96, 2, 100, 6, kOuter},
                                         {100, 6, 100, 21, kOuter}, {0, 21, 101, 21, kOuter}, {0, 6, 0, 21, kOuter}}));
        // Metallic: white to F0F0F0 over the tab, then its colours from row round(18 * 0.45) = 8.
        EXPECT_TRUE(hasLine(lines, {5, 2, 96, 2, 0xFFFFFF}));
        EXPECT_TRUE(hasLine(lines, {5, 8, 96, 8, kInStart}));
        EXPECT_TRUE(hasLine(lines, {1, 20, 100, 20, kInEnd}));
        EXPECT_TRUE(drawnInOrder(lines, {{0, 21, 0, 24, kOuter}, {399, 21, 399, 24, kOuter}}));
    }
}

TEST(XTabDialogPaint, Theme3RoundedTabsAndBackgroundAfterThem) {
    XTabState s = state(0, 3, 3, 1);
    s.XRadius = 7, s.YRadius = 9;
    s.tabs[2].Enabled = false;
    RecordingCanvas c;
    XTabPainter p(s, c, env());
    p.drawMe();
    const auto rr = c.of(Op::RoundRect);
    ASSERT_EQ(rr.size(), 3u);
    EXPECT_EQ(s.tabs[1].TabRect, (Rect{133, 0, 266, 22}));  // theme 3 tabs reach 2 lower
    EXPECT_EQ((Rect{rr[1].x1, rr[1].y1, rr[1].x2, rr[1].y2}), (Rect{133, 0, 266, 199}));
    EXPECT_EQ(rr[0].text, L"7,9," + std::to_wstring(kInStart));
    EXPECT_EQ(rr[1].text, L"7,9," + std::to_wstring(kActStart));
    EXPECT_EQ(rr[2].text, L"7,9," + std::to_wstring(kDisBack));
    EXPECT_EQ(rr[1].color, kOuter);
    // First paint: the body only after the tabs, and it opens its top edge under the active tab.
    const auto fills = c.of(Op::Fill);
    ASSERT_EQ(fills.size(), 2u);
    EXPECT_EQ(fills[1], (Op{Op::Fill, 0, 21, 399, 178, kActStart}));
    EXPECT_TRUE(drawnInOrder(linesOf(c), {{0, 21, 399, 21, kOuter}, {399, 21, 399, 199, kOuter},
                                          {399, 199, 0, 199, kOuter}, {0, 199, 0, 21, kOuter},
                                          {134, 21, 265, 21, kActStart}}));
    // From the second paint on the body is painted before the tabs too.
    RecordingCanvas again;
    XTabPainter(s, again, env()).drawMe();
    EXPECT_EQ(again.of(Op::Fill).size(), 3u);
}

// ---- property pages -----------------------------------------------------------------------------

TEST(XTabPagesPaint, Theme0ShapesByPlaceTallAndShort) {
    // Default heights 20 / 18: neighbours are not tall.
    XTabState s = state(1, 0, 4, 1);
    RecordingCanvas c;
    XTabPainter(s, c, env()).drawMe();
    // "Tab n" is 5 characters: 30 + 14 = 44 wide.
    EXPECT_EQ(s.tabs[0].TabRect, (Rect{2, 2, 44, 20}));
    EXPECT_EQ(s.tabs[1].TabRect, (Rect{44, 0, 88, 20}));
    EXPECT_EQ(s.tabs[2].TabRect, (Rect{88, 2, 132, 20}));
    EXPECT_EQ(s.tabs[3].TabRect, (Rect{132, 2, 176, 20}));
    const auto lines = linesOf(c);
    // active (44, 0, 88, 20)
    EXPECT_TRUE(drawnInOrder(lines, {{44, 2, 47, -1, kTL}, {46, 0, 86, 0, kTL}, {86, 1, 88, 3, kOuter},
                                     {87, 2, 87, 21, kOuter}, {86, 2, 86, 21, kBR}, {44, 2, 44, 21, kTL}}));
    // left neighbour, short: (2, 2, 44, 20), then tab 0's gap line
    EXPECT_TRUE(drawnInOrder(lines, {{2, 4, 5, 1, kTL}, {4, 2, 44, 2, kTL}, {2, 20, 44, 20, kTL}, {2, 4, 2, 21, kTL},
                                     {0, 20, 2, 20, kTL}}));
    // right neighbour, short: (88, 2, 132, 20)
    EXPECT_TRUE(drawnInOrder(lines, {{88, 2, 130, 2, kTL}, {130, 3, 132, 5, kOuter}, {131, 4, 131, 20, kOuter},
                                     {130, 4, 130, 20, kBR}, {88, 20, 132, 20, kTL}}));
    // any other tab: (132, 2, 176, 20); then the body's top border to the right
    EXPECT_TRUE(drawnInOrder(lines, {{132, 4, 135, 1, kTL}, {134, 2, 174, 2, kTL}, {174, 3, 176, 5, kOuter},
                                     {175, 4, 175, 20, kOuter}, {174, 4, 174, 20, kBR}, {132, 20, 176, 20, kTL},
                                     {132, 4, 132, 21, kTL}}));
    EXPECT_TRUE(hasLine(lines, {176, 20, 400, 20, kTL}));
    // fills: active (L, T, R-1, B) round both; left neighbour (L, T, R, B) square right corner
    EXPECT_TRUE(hasLine(lines, {47, 0, 85, 0, kActStart}));
    EXPECT_TRUE(hasLine(lines, {5, 2, 44, 2, kInStart}));
    EXPECT_TRUE(hasLine(lines, {88, 2, 129, 2, kInStart}));  // right neighbour: square left corner

    // Tall neighbours (19 + 2 > 20) get their full outline.
    XTabState t = state(1, 0, 3, 1);
    t.InActiveTabHeight = 19;
    RecordingCanvas c2;
    XTabPainter(t, c2, env()).drawTabs();
    const Rect l = t.tabs[0].TabRect, r = t.tabs[2].TabRect;
    EXPECT_TRUE(drawnInOrder(linesOf(c2), {{l.left, l.top + 2, l.left + 3, l.top - 1, kTL},
                                           {l.left + 2, l.top, l.right - 2, l.top, kTL},
                                           {l.right - 2, l.top + 1, l.right, l.top + 3, kOuter},
                                           {l.right - 1, l.top + 2, l.right - 1, l.bottom + 1, kOuter},
                                           {l.right - 2, l.top + 2, l.right - 2, l.bottom + 1, kBR},
                                           {l.left, l.bottom, l.right, l.bottom, kTL},
                                           {l.left, l.top + 2, l.left, l.bottom + 1, kTL}}));
    EXPECT_TRUE(drawnInOrder(linesOf(c2), {{r.left, r.top + 2, r.left + 3, r.top - 1, kTL},
                                           {r.left + 2, r.top, r.right - 2, r.top, kTL},
                                           {r.left, r.top + 2, r.left, r.bottom + 1, kTL},
                                           {r.right - 2, r.top + 1, r.right, r.top + 3, kOuter},
                                           {r.right - 1, r.top + 2, r.right - 1, r.bottom, kOuter},
                                           {r.right - 2, r.top + 2, r.right - 2, r.bottom, kBR},
                                           {r.left, r.bottom, r.right, r.bottom, kTL}}));
}

TEST(XTabPagesPaint, Theme1EdgesAllOuterWithoutInnerEdge) {
    XTabState s = state(1, 1, 4, 1);
    RecordingCanvas c;
    XTabPainter(s, c, env()).drawTabs();
    // Theme 1 layout: tab 0 (2, 2, w + 1); the active tab and its right neighbour start at the
    // previous right edge, others one further.
    EXPECT_EQ(s.tabs[0].TabRect, (Rect{2, 2, 45, 20}));
    EXPECT_EQ(s.tabs[1].TabRect, (Rect{45, 0, 89, 20}));
    EXPECT_EQ(s.tabs[2].TabRect, (Rect{89, 2, 133, 20}));
    EXPECT_EQ(s.tabs[3].TabRect, (Rect{134, 2, 178, 20}));
    const auto lines = linesOf(c);
    EXPECT_TRUE(drawnInOrder(lines, {{45, 2, 48, -1, kOuter}, {47, 0, 87, 0, kOuter}, {87, 1, 89, 3, kOuter},
                                     {88, 2, 88, 21, kOuter}, {45, 2, 45, 21, kOuter}}));
    EXPECT_TRUE(drawnInOrder(lines, {{134, 4, 137, 1, kOuter}, {136, 2, 176, 2, kOuter}, {176, 3, 178, 5, kOuter},
                                     {177, 4, 177, 20, kOuter}, {134, 20, 179, 20, kOuter}, {134, 4, 134, 21, kOuter}}));
    EXPECT_TRUE(hasLine(lines, {0, 20, 2, 20, kOuter}));
    EXPECT_TRUE(hasLine(lines, {178, 20, 400, 20, kOuter}));
    for (const Op& o : lines) EXPECT_NE(o.color, kBR);
}

TEST(XTabPagesPaint, Theme2SquareTabsAndIdenticalInBothStyles) {
    XTabState s = state(1, 2, 4, 1);
    RecordingCanvas c;
    XTabPainter(s, c, env()).drawMe();
    EXPECT_EQ(s.tabs[0].TabRect, (Rect{0, 2, 44, 20}));
    EXPECT_EQ(s.tabs[1].TabRect, (Rect{44, 0, 88, 20}));
    const auto lines = linesOf(c);
    EXPECT_TRUE(drawnInOrder(lines, {{44, 0, 88, 0, kOuter}, {88, 0, 88, 22, kBR}, {44, 21, 88, 21, kActEnd},
                                     {44, 0, 44, 22, kOuter}}));
    EXPECT_TRUE(hasLine(lines, {0, 21, 45, 21, kOuter}));   // left neighbour: no separator before it
    EXPECT_FALSE(hasLine(lines, {43, 4, 43, 18, kInFore}));
    EXPECT_TRUE(drawnInOrder(lines, {{131, 4, 131, 18, kInFore}, {88, 21, 133, 21, kOuter}}));
    EXPECT_TRUE(hasLine(lines, {89, 2, 132, 2, kInStart}));  // right neighbour fills from L + 1
    EXPECT_TRUE(drawnInOrder(lines, {{0, 21, 0, 24, kOuter}, {399, 21, 399, 24, kOuter}, {176, 21, 400, 21, kOuter}}));
    EXPECT_TRUE(drawnInOrder(lines, {{0, 20, 0, 199, kOuter}, {399, 20, 399, 199, kOuter}, {0, 199, 400, 199, kOuter}}));

    XTabState d = state(0, 2, 4, 1);
    RecordingCanvas c0;
    XTabPainter(d, c0, env()).drawMe();
    EXPECT_EQ(c0.ops.size(), c.ops.size());
    EXPECT_TRUE(c0.ops == c.ops);
    for (std::size_t i = 0; i < s.tabs.size(); ++i) EXPECT_EQ(d.tabs[i].TabRect, s.tabs[i].TabRect);
}

TEST(XTabPagesPaint, CloseBoxesWidenTabsAndShiftCaptions) {
    XTabState s = state(1, 1, 3, 1);
    s.UseControlBox = true;
    RecordingCanvas c;
    XTabPainter(s, c, env()).drawMe();
    EXPECT_EQ(s.tabs[0].TabRect.right - s.tabs[0].TabRect.left, 43 + 15);
    EXPECT_EQ(s.tabs[1].TabRect.right - s.tabs[1].TabRect.left, 44 + 21);
    const Rect b = s.tabs[1].BoxRect, t = s.tabs[1].TabRect;
    EXPECT_EQ(b, (Rect{t.right - 13, t.top + 6, t.right - 3, t.top + 16}));
    // Every box: a 2 x 2 rounded outline in the outer colour, its inside filled, and the cross.
    const auto rr = c.of(Op::RoundRect);
    ASSERT_EQ(rr.size(), 3u);
    EXPECT_EQ((Rect{rr[1].x1, rr[1].y1, rr[1].x2, rr[1].y2}), b);
    EXPECT_EQ(rr[1].color, kOuter);
    const Rgb cross = offsetColor(kOuter, -192, sysColor);
    EXPECT_TRUE(drawnInOrder(linesOf(c), {{b.left + 1, b.top + 1, b.right - 1, b.top + 1, kActStart}}));
    EXPECT_TRUE(drawnInOrder(linesOf(c), {{b.left + 1, b.bottom - 2, b.right - 1, b.bottom - 2, kActEnd},
                                          {b.left + 3, b.bottom - 4, b.right - 3, b.top + 2, cross},
                                          {b.left + 3, b.top + 3, b.right - 3, b.bottom - 3, cross}}));
    // Captions move 2 pixels left: theme 1 caption box (L + 2, T + 4, R - 2, B) shifted.
    const auto tx = c.of(Op::Text).at(1);
    EXPECT_EQ((Rect{tx.x1, tx.y1, tx.x2, tx.y2}), (Rect{t.left, t.top + 4, t.right - 4, t.bottom}));
    EXPECT_EQ(tx.mode, 0x25);
}

TEST(XTabCloseBox, StatesAndDisabledTabs) {
    XTabState s = state(0, 1, 3, 0);
    s.UseControlBox = true;
    s.tabs[2].Enabled = false;
    RecordingCanvas c;
    XTabPainter p(s, c, env());
    p.drawMe();
    const Rect b2 = s.tabs[2].BoxRect;
    const Rgb dark = offsetColor(kInEnd, -48, sysColor);
    EXPECT_TRUE(hasLine(linesOf(c), {b2.left + 1, b2.top + 1, b2.right - 1, b2.top + 1, dark}));
    EXPECT_TRUE(hasLine(linesOf(c), {b2.left + 1, b2.bottom - 2, b2.right - 1, b2.bottom - 2, dark}));
    const Rect b1 = s.tabs[1].BoxRect;
    RecordingCanvas hover;
    XTabPainter(s, hover, env()).drawControlBox(1, 1);
    EXPECT_TRUE(hasLine(linesOf(hover), {b1.left + 1, b1.top + 1, b1.right - 1, b1.top + 1, kInStart}));
    EXPECT_TRUE(hasLine(linesOf(hover), {b1.left + 1, b1.bottom - 2, b1.right - 1, b1.bottom - 2,
                                         offsetColor(kInEnd, -21, sysColor)}));
    RecordingCanvas pressed;
    XTabPainter(s, pressed, env()).drawControlBox(2, 1);
    EXPECT_TRUE(hasLine(linesOf(pressed), {b1.left + 1, b1.top + 1, b1.right - 1, b1.top + 1,
                                           offsetColor(kInEnd, -48, sysColor)}));
    // Theme 0 boxes do not react to the mouse.
    s.TabTheme = 0;
    RecordingCanvas none;
    XTabPainter(s, none, env()).drawControlBox(1, 1);
    EXPECT_TRUE(none.ops.empty());
}

// ---- overlays ---------------------------------------------------------------------------------

struct Px {
    std::int64_t x, y;
    Rgb v;
};
std::map<std::pair<std::int64_t, std::int64_t>, Rgb> pixelsOf(const RecordingCanvas& c) {
    std::map<std::pair<std::int64_t, std::int64_t>, Rgb> out;
    for (const Op& o : c.of(Op::XorPixel)) {
        EXPECT_FALSE(out.count({o.x1, o.y1})) << "pixel combined twice in one pass";
        out[{o.x1, o.y1}] = o.color;
    }
    return out;
}

TEST(XTabOverlay, TabbedDialogHoverOnAnInactiveTab) {
    XTabState s = state(0, 1, 4, 1);
    RecordingCanvas c0;
    XTabPainter(s, c0, env()).drawTabs();
    s.HoverTab = 2;
    RecordingCanvas c;
    XTabPainter p(s, c, env());
    p.drawOnMouseOver();
    EXPECT_TRUE(s.HoverShown);
    const Rect hr = s.tabs[2].TabRect;
    EXPECT_EQ(s.HoverRect, hr);
    const std::int64_t XL = hr.left, XT = hr.top, XR = hr.right;
    auto shade = [](Rgb c, int o) { return offsetColor(c, o, sysColor); };
    const Rgb K = kHover, X = kHover ^ kInStart;
    const auto lines = linesOf(c);
    for (const Op& o : lines) EXPECT_EQ(o.mode, kDrawXorPen);
    // a: the band rows XT+1..XT+3 with radius 3
    EXPECT_TRUE(drawnInOrder(lines, {{XL + 4, XT + 1, XR - 3, XT + 1, X}, {XL + 3, XT + 2, XR - 2, XT + 2, X},
                                     {XL + 2, XT + 3, XR - 1, XT + 3, X}}));
    EXPECT_TRUE(hasLine(lines, {XL + 6, XT, XR - 5, XT, kOuter ^ shade(K, -21)}));
    EXPECT_TRUE(hasLine(lines, {XL, XT + 3, XR, XT + 3, shade(X, 21) ^ X}));
    const auto px = pixelsOf(c);
    const Rgb Q = kStrip;
    std::vector<Px> expect{{XL + 6, XT + 1, shade(X, -8) ^ X}, {XL + 5, XT + 1, shade(X, -8) ^ X},
                           {XL + 4, XT + 2, shade(X, -8) ^ X}, {XL + 3, XT + 3, shade(X, -8) ^ X},
                           {XR - 6, XT + 1, shade(X, -8) ^ X}, {XR - 5, XT + 1, shade(X, -8) ^ X},
                           {XR - 4, XT + 2, shade(X, -8) ^ X}, {XR - 3, XT + 3, shade(X, -8) ^ X},
                           {XL + 5, XT, kOuter ^ shade(K, -2)}, {XR - 5, XT, kOuter ^ shade(K, -2)},
                           {XL + 3, XT + 1, kOuter ^ shade(K, -21)}, {XL + 2, XT + 2, kOuter ^ shade(K, -21)},
                           {XR - 3, XT + 1, kOuter ^ shade(K, -21)}, {XR - 2, XT + 2, kOuter ^ shade(K, -21)},
                           {XL + 1, XT + 3, kOuter ^ shade(K, -32)}, {XR - 1, XT + 3, kOuter ^ shade(K, -32)},
                           {XL + 4, XT, kOuter ^ alphaBlend(0xFFFFFF, kOuter, 64)},
                           {XR - 4, XT, kOuter ^ alphaBlend(0xFFFFFF, kOuter, 64)},
                           {XL + 3, XT, Q ^ alphaBlend(shade(K, -32), Q, 50)},
                           {XL + 2, XT + 1, Q ^ alphaBlend(shade(K, -32), Q, 50)},
                           {XL + 1, XT + 2, Q ^ alphaBlend(shade(K, -32), Q, 50)},
                           {XR - 3, XT, Q ^ alphaBlend(shade(K, -32), Q, 50)},
                           {XR - 2, XT + 1, Q ^ alphaBlend(shade(K, -32), Q, 50)},
                           {XR - 1, XT + 2, Q ^ alphaBlend(shade(K, -32), Q, 50)}};
    EXPECT_EQ(px.size(), expect.size());
    for (const Px& e : expect) EXPECT_EQ(px.at({e.x, e.y}), e.v) << e.x << "," << e.y;
    EXPECT_EQ(c.mode, kDrawCopyPen);
}

TEST(XTabOverlay, NothingDrawnWhenTheHighlightEqualsATabColour) {
    XTabState s = state(1, 1, 3, 0);
    s.HoverColor = kInStart;
    s.HoverTab = 2;
    s.HoverRect = {100, 2, 150, 20};
    RecordingCanvas c;
    XTabPainter(s, c, env()).drawOverXOred();
    EXPECT_TRUE(c.of(Op::Line).empty() && c.of(Op::XorPixel).empty());
    EXPECT_EQ(c.mode, kDrawCopyPen);
    // The active tab's highlight is skipped when FocusedColor equals its start colour, even when
    // UseFocusedColor is off.
    s.HoverColor = kHover;
    s.FocusedColor = kActStart;
    s.UseFocusedColor = false;
    s.HoverTab = 0;
    RecordingCanvas a;
    XTabPainter(s, a, env()).drawOverXOred();
    EXPECT_TRUE(a.of(Op::Line).empty());
}

TEST(XTabOverlay, PropertyPagesBandByPlace) {
    auto shade = [](Rgb c, int o) { return offsetColor(c, o, sysColor); };
    const Rgb Q = kStrip;
    const std::int64_t L = 100, T = 2, R = 150;
    struct Case {
        std::int32_t hovered;
        bool left, right, active;
    };
    for (const Case k : {Case{2, true, true, true}, Case{1, true, false, false}, Case{3, false, true, false},
                         Case{0, true, true, false}}) {
        XTabState s = state(1, 1, 5, 2);
        s.HoverTab = k.hovered;
        s.HoverRect = {static_cast<std::int32_t>(L), static_cast<std::int32_t>(T), static_cast<std::int32_t>(R), 20};
        RecordingCanvas c;
        XTabPainter(s, c, env()).drawOverXOred();
        const Rgb OV = k.active ? kFocused : kHover;
        const Rgb XC = (k.active ? kActStart : kInStart) ^ OV;
        const auto lines = linesOf(c);
        // band rows T+1..T+3, curve 2, corners by place
        const std::int64_t bl = L - 1;
        EXPECT_TRUE(hasLine(lines, {k.left ? bl + 3 : bl, T + 1, k.right ? R - 2 : R, T + 1, XC})) << k.hovered;
        EXPECT_TRUE(hasLine(lines, {k.left ? bl + 1 : bl, T + 3, R, T + 3, XC}) ||
                    hasLine(lines, {k.left ? bl + 1 : bl, T + 3, k.right ? R : R, T + 3, XC}));
        const std::int64_t from = k.active ? L + 4 : (k.left ? L + 4 : L);
        const std::int64_t to = k.active ? R - 4 : (k.right ? R - 4 : R);
        EXPECT_TRUE(hasLine(lines, {from, T, to, T, shade(OV, -21) ^ kOuter})) << k.hovered;
        EXPECT_TRUE(hasLine(lines, {L + 1, T + 3, R - 1, T + 3, shade(XC, 21) ^ XC}));
        const auto px = pixelsOf(c);
        std::map<std::pair<std::int64_t, std::int64_t>, Rgb> e;
        const Rgb inner = shade(XC, -8) ^ XC;
        if (k.left) e[{L + 5, T + 1}] = e[{L + 4, T + 1}] = e[{L + 3, T + 2}] = inner;
        if (k.right) e[{R - 6, T + 1}] = e[{R - 5, T + 1}] = e[{R - 4, T + 2}] = inner;
        if (k.left) e[{L + 3, T}] = shade(OV, -2) ^ kOuter;
        if (k.right) e[{R - 4, T}] = shade(OV, -2) ^ kOuter;
        if (k.left) e[{L + 1, T + 1}] = shade(OV, -21) ^ kOuter;
        if (k.right) e[{R - 2, T + 1}] = shade(OV, -21) ^ kOuter;
        if (k.left) e[{L, T + 2}] = shade(OV, -32) ^ kOuter;
        if (k.right) e[{R - 1, T + 2}] = shade(OV, -32) ^ kOuter;
        const Rgb corner = shade(OV, k.active ? -34 : -37) ^ kOuter;
        if (k.left) e[{L, T + 3}] = corner;
        if (k.right) e[{R - 1, T + 3}] = corner;
        const Rgb light = alphaBlend(0xFFFFFF, kOuter, 128) ^ kOuter;
        if (k.left) e[{L + 2, T}] = light;
        if (k.right) e[{R - 3, T}] = light;
        const Rgb strip = alphaBlend(shade(OV, -32), Q, 50) ^ Q;
        if (k.active) {
            e[{L + 1, T}] = e[{L, T + 1}] = e[{R - 2, T}] = e[{R - 1, T + 1}] = strip;
        } else {
            if (k.left) e[{L + 3, T}] = e[{L + 2, T + 1}] = strip;
            if (k.right) e[{R - 4, T}] = e[{R - 3, T + 1}] = strip;
        }
        EXPECT_EQ(px, e) << "hovered " << k.hovered;
    }
}

TEST(XTabOverlay, DrawingTheHighlightTwiceLeavesNoStrayPixel) {
    for (std::int32_t style : {0, 1})
        for (std::int32_t hovered : {0, 1, 2, 3}) {
            XTabState s = state(style, 1, 4, 1);
            PixelCanvas c(400, 200);
            XTabPainter p(s, c, env());
            p.drawMe();
            const auto before = c.px;
            s.HoverTab = hovered;
            p.drawOnMouseOver();
            EXPECT_NE(c.px, before) << style << "/" << hovered;
            p.drawOverXOred();
            EXPECT_EQ(c.px, before) << "style " << style << " tab " << hovered;
        }
}

TEST(XTabOverlay, PaintEndBandIsTheActiveTabsOwn) {
    for (std::int32_t style : {0, 1}) {
        XTabState s = state(style, 4, 4, 0);
        s.HoverTab = 2;  // the mouse was last over another tab
        s.HoverRect = {7, 8, 9, 10};
        RecordingCanvas c;
        XTabPainter(s, c, env()).drawTabs();
        EXPECT_EQ(s.HoverRect, (Rect{7, 8, 9, 10}));  // the hover rectangle stays its own
        const Rect a = s.tabs[0].TabRect;
        const auto xorLines = [&] {
            std::vector<Op> out;
            for (const Op& o : c.of(Op::Line))
                if (o.mode == kDrawXorPen) out.push_back(o);
            return out;
        }();
        ASSERT_FALSE(xorLines.empty());
        // The focused variant on the active tab: the active tab's colours.
        for (const Op& o : xorLines) EXPECT_TRUE(o.y1 >= a.top && o.y1 <= a.top + 4);
        if (style == 0) {
            EXPECT_TRUE(hasLine(xorLines, {a.left, a.top + 4, a.right, a.top + 4,
                                           offsetColor(kFocused ^ kActStart, 21, sysColor) ^ (kFocused ^ kActStart)}));
        } else {
            EXPECT_TRUE(hasLine(xorLines, {a.left + 4, a.top, a.right - 4, a.top,
                                           offsetColor(kFocused, -21, sysColor) ^ kOuter}));
        }
    }
}

// ---- focus rectangle ---------------------------------------------------------------------------

Rect focusOf(const RecordingCanvas& c) {
    const auto f = c.of(Op::Focus);
    EXPECT_EQ(f.size(), 1u);
    return f.empty() ? Rect{} : Rect{f[0].x1, f[0].y1, f[0].x2, f[0].y2};
}

TEST(XTabFocus, ToggleUsesThePaintsRectangleInEveryStyleAndTheme) {
    auto pic = std::make_shared<Pic>();
    for (std::int32_t style : {0, 1})
        for (std::int32_t theme = 0; theme <= 4; ++theme)
            for (bool box : {false, true}) {
                XTabState s = state(style, theme, 3, 1);
                s.IsFocused = true;
                s.UseControlBox = box;
                s.tabs[1].Picture = pic;
                RecordingCanvas painted;
                XTabPainter(s, painted, env()).drawMe();
                EXPECT_TRUE(s.focusDrawn);
                RecordingCanvas toggled;
                XTabPainter(s, toggled, env()).showHideFocus();
                EXPECT_EQ(focusOf(painted), focusOf(toggled)) << "style " << style << " theme " << theme << " box " << box;
                EXPECT_FALSE(s.focusDrawn);
            }
}

TEST(XTabFocus, NotAtDesignTimeNorWithoutTheFocusOrFlag) {
    XTabState s = state(0, 0, 3, 1);
    s.IsFocused = true;
    RecordingCanvas design;
    XTabPainter(s, design, {sysColor, false, L""}).drawMe();
    EXPECT_TRUE(design.of(Op::Focus).empty());
    RecordingCanvas toggle;
    XTabPainter(s, toggle, {sysColor, false, L""}).showHideFocus();
    EXPECT_TRUE(toggle.of(Op::Focus).empty());
    s.ShowFocusRect = false;
    RecordingCanvas off;
    XTabPainter(s, off, env()).drawMe();
    EXPECT_TRUE(off.of(Op::Focus).empty());
    s.ShowFocusRect = true;
    s.IsFocused = false;
    RecordingCanvas unfocused;
    XTabPainter(s, unfocused, env()).drawMe();
    EXPECT_TRUE(unfocused.of(Op::Focus).empty());
}

// ---- pictures ----------------------------------------------------------------------------------

TEST(XTabPictures, MaskedBitmapsOnlyAndPlacedByAlignment) {
    auto bmp = std::make_shared<Pic>();
    auto icon = std::make_shared<Pic>();
    icon->t = 3;
    XTabState s = state(0, 0, 2, 0);
    s.PictureMaskColor = 0xFF00FF;
    s.tabs[0].Picture = bmp;
    s.tabs[1].Picture = icon;
    RecordingCanvas c;
    XTabPainter(s, c, env()).drawTabs();
    auto pics = c.of(Op::Picture);
    ASSERT_EQ(pics.size(), 2u);
    EXPECT_TRUE(pics[0].masked);
    EXPECT_EQ(pics[0].color, 0xFF00FFu);
    EXPECT_FALSE(pics[1].masked);  // an icon is never blitted with a transparent colour
    // Active tab (0, 0, 200, 20), align 0: caption box (3, 3, 198, 20), P = 16, Y = 3 + round(0.5) = 3,
    // drawn at (3 + 1, max(3 - 1, 3)).
    EXPECT_EQ((Rect{pics[0].x1, pics[0].y1, pics[0].x2, pics[0].y2}), (Rect{4, 3, 16, 16}));
    s.UseMaskColor = false;
    RecordingCanvas off;
    XTabPainter(s, off, env()).drawTabs();
    EXPECT_FALSE(off.of(Op::Picture).at(0).masked);

    // Theme 3, tab (0, 0, 100, 22) with a 32-pixel icon: P = 22 - 4 - 0 = 18, Y = 2, and the active
    // tab's picture one up and one right of that.
    XTabState t = state(0, 3, 1, 0);
    t.scaleWidth = 101;
    t.iconSize = 32;
    t.tabs[0].Picture = bmp;
    RecordingCanvas c3;
    XTabPainter(t, c3, env()).drawTabs();
    const auto p3 = c3.of(Op::Picture).at(0);
    EXPECT_EQ((Rect{p3.x1, p3.y1, p3.x2, p3.y2}), (Rect{5, 1, 18, 18}));
}

// ---- faults: heights, colours ------------------------------------------------------------------

TEST(XTabPaintFaults, ZeroAndNegativeTabHeightsPaintWithoutDividingByZero) {
    for (std::int32_t style : {0, 1})
        for (std::int32_t theme = 0; theme <= 4; ++theme)
            for (auto [a, i] : {std::pair{0, 0}, {-5, -7}, {0, -3}}) {
                XTabState s = state(style, theme, 3, 1);
                s.ActiveTabHeight = a, s.InActiveTabHeight = i;
                s.UseControlBox = true;
                RecordingCanvas c;
                EXPECT_NO_THROW(XTabPainter(s, c, env()).drawMe());
            }
    // A one-row gradient is its first colour.
    XTabState s = state(0, 0);
    RecordingCanvas c;
    XTabPainter(s, c, env()).fillCurvedGradient(0, 5, 10, 5, 0x000000, 0x0000FF, -1, false, false);
    ASSERT_EQ(c.ops.size(), 1u);
    EXPECT_EQ(c.ops[0], (Op{Op::Line, 0, 5, 10, 5, 0x000000}));
}

TEST(XTabPaintFaults, HugeTabHeightsFinishQuickly) {
    XTabState s = state(0, 0, 3, 1);
    s.ActiveTabHeight = 2000000000, s.InActiveTabHeight = 1;
    RecordingCanvas c(200);
    XTabPainter(s, c, env()).drawMe();
    EXPECT_LT(c.ops.size(), 5000u);  // only the rows on the surface are drawn
}

TEST(XTabPaintFaults, PaintingNeverWritesTranslationsIntoColourProperties) {
    for (std::int32_t style : {0, 1})
        for (std::int32_t theme = 0; theme <= 4; ++theme) {
            XTabState s = state(style, 0, 3, 1);
            s.TabStripBackColor = 0x8000000F;
            resetColorsToDefault(s, ThemeEnv{L"None", 0x8000000F, true, sysColor});
            s.TabTheme = theme;
            resetColorsToDefault(s, ThemeEnv{L"None", 0x8000000F, true, sysColor});
            s.UseControlBox = true;
            s.IsFocused = true;
            const XTabState before = s;
            RecordingCanvas c;
            XTabPainter p(s, c, env());
            p.drawMe();
            s.HoverTab = 2;
            p.drawOnMouseOver();
            p.drawOverXOred();
            p.drawControlBox(1, 0);
            p.showHideFocus();
            EXPECT_EQ(s.OuterBorderColor, before.OuterBorderColor) << theme;
            EXPECT_EQ(s.ActiveTabBackEndColor, before.ActiveTabBackEndColor);
            EXPECT_EQ(s.InActiveTabBackEndColor, before.InActiveTabBackEndColor);
            EXPECT_EQ(s.FocusedColor, before.FocusedColor);
            EXPECT_EQ(s.HoverColor, before.HoverColor);
            EXPECT_EQ(s.TabStripBackColor, before.TabStripBackColor);
            EXPECT_EQ(s.DisabledTabBackColor, before.DisabledTabBackColor);
            EXPECT_EQ(s.TopLeftInnerBorderColor, before.TopLeftInnerBorderColor);
            EXPECT_EQ(s.BottomRightInnerBorderColor, before.BottomRightInnerBorderColor);
            EXPECT_EQ(s.PictureMaskColor, before.PictureMaskColor);
            // What reaches the canvas is translated.
            for (const Op& o : c.of(Op::Line)) EXPECT_EQ(o.color >> 24, 0u);
        }
}

TEST(XTabPaintFaults, ThemeOutsideTheRangeOnlyClears) {
    XTabState s = state(0, 7, 3, 1);
    s.UseControlBox = true;
    RecordingCanvas c;
    XTabPainter(s, c, env()).drawMe();
    ASSERT_EQ(c.ops.size(), 1u);
    EXPECT_EQ(c.ops[0].kind, Op::Clear);
}

// ---- primitives --------------------------------------------------------------------------------

TEST(XTabPrimitives, GradientRowsAndCornerSpans) {
    XTabState s = state(0, 0);
    RecordingCanvas c;
    XTabPainter p(s, c, env());
    p.fillCurvedGradient(0, 0, 20, 4, 0x000000, 0x0000FF, 2, true, true);
    const auto l = c.of(Op::Line);
    ASSERT_EQ(l.size(), 5u);
    const Rgb red[] = {0, 64, 128, 191, 255};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(l[static_cast<std::size_t>(i)].color, red[i]);
    EXPECT_EQ((std::array{l[0].x1, l[0].x2, l[1].x1, l[1].x2, l[2].x1, l[2].x2, l[4].x1, l[4].x2}),
              (std::array{3, 18, 2, 19, 1, 20, 1, 20}));
    RecordingCanvas one;
    XTabPainter(s, one, env()).fillCurvedSolid(5, 0, 25, 1, 0x123456, 2, true, false);
    EXPECT_EQ(one.ops[0], (Op{Op::Line, 8, 0, 25, 0, 0x123456}));
    EXPECT_EQ(one.ops[1], (Op{Op::Line, 7, 1, 25, 1, 0x123456}));
    RecordingCanvas rightOnly;
    XTabPainter(s, rightOnly, env()).fillCurvedSolid(5, 0, 25, 0, 0x1, 2, false, true);
    EXPECT_EQ(rightOnly.ops[0], (Op{Op::Line, 5, 0, 23, 0, 0x1}));
    RecordingCanvas rect;
    XTabPainter(s, rect, env()).apiRectangle(1, 2, 10, 5, 0x80000010);
    EXPECT_EQ(rect.ops, (std::vector<Op>{{Op::Line, 1, 2, 11, 2, sysColor(16)}, {Op::Line, 11, 2, 11, 7, sysColor(16)},
                                         {Op::Line, 11, 7, 1, 7, sysColor(16)}, {Op::Line, 1, 7, 1, 2, sysColor(16)}}));
}

}  // namespace

namespace {

// Every painter entry over many odd states (sizes, heights, indices, captions, pictures, themes and
// styles out of range) under the sanitizers: nothing may read or write outside its buffers, and no
// arithmetic may overflow unnoticed.
TEST(XTabPaintFaults, OddStatesPaintSafely) {
    std::uint32_t seed = 12345;
    auto next = [&seed](std::int32_t lo, std::int32_t hi) {
        seed = seed * 1664525u + 1013904223u;
        return lo + static_cast<std::int32_t>((seed >> 8) % static_cast<std::uint32_t>(hi - lo + 1));
    };
    const std::int32_t extremes[] = {-2147483647 - 1, -100000, -20, -1, 0, 1, 2, 18, 20, 32, 100000, 2147483647};
    auto pick = [&](bool wild) { return wild ? extremes[next(0, 11)] : next(-5, 60); };
    auto bmp = std::make_shared<Pic>();
    auto icon = std::make_shared<Pic>();
    icon->t = 3;
    const wchar_t* captions[] = {L"", L"&", L"&&", L"a&", L"&File", L"Fish && Chips", L"긴 캡션 &한글", L"x"};
    for (int round = 0; round < 3000; ++round) {
        const std::int32_t count = next(1, 7);
        XTabState s = state(next(-1, 2), next(-1, 5), count, next(-1, count));
        s.scaleWidth = next(0, 5) == 0 ? pick(true) : next(1, 500);
        s.scaleHeight = next(0, 5) == 0 ? pick(true) : next(1, 300);
        s.ActiveTabHeight = pick(next(0, 3) == 0);
        s.InActiveTabHeight = pick(next(0, 3) == 0);
        s.iconSize = next(0, 4) == 0 ? pick(true) : next(0, 48);
        s.PictureAlign = next(-1, 4);
        s.XRadius = pick(false), s.YRadius = pick(false);
        s.UseControlBox = next(0, 1);
        s.IsFocused = next(0, 1);
        s.Enabled = next(0, 4) != 0;
        s.UseMaskColor = next(0, 1);
        s.HoverTab = next(-2, count + 1);
        for (auto& t : s.tabs) {
            t.Caption = captions[next(0, 7)];
            t.Enabled = next(0, 3) != 0;
            const int p = next(0, 2);
            if (p) t.Picture = p == 1 ? static_cast<PictureRef>(bmp) : icon;
        }
        RecordingCanvas c(next(0, 3) == 0 ? 0 : 300);
        XTabPainter p(s, c, env(next(0, 1) ? L"Metallic" : L"None"));
        try {
            p.drawMe();
            p.drawOnMouseOver();
            p.drawOverXOred();
            p.showHideFocus();
            p.drawControlBox(next(-1, 3), next(-2, count + 1));
        } catch (const VbError& e) {
            EXPECT_EQ(e.number(), 6) << "only an overflow may stop a paint";
        }
        EXPECT_LT(c.ops.size(), 20000u) << "round " << round;
    }
}

}  // namespace

namespace {

TEST(XTabPagesPaint, Theme3RoundedTabsAndTheme4AsTheme1) {
    XTabState s = state(1, 3, 3, 1);
    s.tabs[2].Enabled = false;
    s.XRadius = 6, s.YRadius = 8;
    RecordingCanvas c;
    XTabPainter(s, c, env()).drawMe();
    // Theme 3: tab 0 at 0 when another tab is active, each later tab one pixel right of the one before.
    EXPECT_EQ(s.tabs[0].TabRect, (Rect{0, 2, 44, 22}));
    EXPECT_EQ(s.tabs[1].TabRect, (Rect{45, 0, 89, 22}));
    EXPECT_EQ(s.tabs[2].TabRect, (Rect{90, 2, 134, 22}));
    const auto rr = c.of(Op::RoundRect);
    ASSERT_EQ(rr.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(rr[i].y2, 199);  // down to ScaleHeight - 1
        EXPECT_EQ(rr[i].color, kOuter);
    }
    EXPECT_EQ(rr[1].text, L"6,8," + std::to_wstring(kActStart));
    EXPECT_EQ(rr[2].text, L"6,8," + std::to_wstring(kDisBack));
    EXPECT_EQ(c.of(Op::Text).at(2).color, kDisFore);

    XTabState one = state(1, 1, 4, 2), four = state(1, 4, 4, 2);
    RecordingCanvas c1, c4;
    XTabPainter(one, c1, env()).drawTabs();
    XTabPainter(four, c4, env()).drawTabs();
    EXPECT_TRUE(c1.ops == c4.ops);
}

TEST(XTabPagesPaint, DisabledTabsInTheme0And2) {
    for (std::int32_t theme : {0, 2}) {
        XTabState s = state(1, theme, 3, 1);
        s.tabs[1].Enabled = false;  // the active tab itself
        s.tabs[2].Enabled = false;
        RecordingCanvas c;
        XTabPainter(s, c, env()).drawMe();
        const Rect a = s.tabs[1].TabRect, r = s.tabs[2].TabRect;
        const auto lines = linesOf(c);
        if (theme == 2) {
            EXPECT_TRUE(hasLine(lines, {a.left, std::int64_t{a.bottom} + 1, a.right, std::int64_t{a.bottom} + 1, kDisBack}));
            EXPECT_TRUE(hasLine(lines, {r.left + 1, r.top, r.right, r.top, kDisBack}));
            EXPECT_TRUE(hasLine(lines, {r.left + 1, r.bottom, r.right, r.bottom, kDisBack}));
        } else {
            EXPECT_TRUE(hasLine(lines, {a.left + 3, a.top, a.right - 3, a.top, kDisBack}));
            EXPECT_TRUE(hasLine(lines, {r.left, r.bottom, r.right - 1, r.bottom, kDisBack}));
        }
        EXPECT_EQ(s.BackColor, kDisBack);  // the body follows the disabled active tab
        const auto texts = c.of(Op::Text);
        EXPECT_EQ(texts.at(1).color, kDisFore);
        EXPECT_EQ(texts.at(0).color, kInFore);
    }
}

TEST(XTabOverlay, Theme4HoverInBothStylesAndOnTheActiveTab) {
    for (std::int32_t style : {0, 1}) {
        XTabState s = state(style, 4, 3, 0);
        RecordingCanvas base;
        XTabPainter(s, base, env()).drawTabs();
        // Hovering the active tab with UseFocusedColor off takes the hover colour over the active start.
        s.UseFocusedColor = false;
        s.HoverTab = 0;
        RecordingCanvas c;
        XTabPainter(s, c, env()).drawOnMouseOver();
        const Rect a = s.tabs[0].TabRect;
        const Rgb X = kHover ^ kActStart;
        if (style == 0) {
            EXPECT_TRUE(hasLine(linesOf(c), {a.left, a.top + 3, a.right, a.top + 3, offsetColor(X, 21, sysColor) ^ X}));
        } else {
            EXPECT_TRUE(hasLine(linesOf(c), {a.left + 1, a.top + 3, a.right - 1, a.top + 3,
                                             offsetColor(X, 21, sysColor) ^ X}));
        }
    }
}

}  // namespace
