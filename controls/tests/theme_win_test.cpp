// The picture check box's caption under the common-controls 6 manifest of the programs: the caption
// shows ForeColor while enabled and DisabledColor while disabled.
#include <gtest/gtest.h>

#include "controls/check.h"
#include "runtime/form.h"
#include "runtime/tests/win_support.h"

using namespace kelva;
using kelva::testing::Capture;
using kelva::testing::pump;

namespace {
int pixelsOf(const Capture& c, std::uint32_t colour) {
    int n = 0;
    for (int y = 0; y < c.height(); ++y)
        for (int x = 0; x < c.width(); ++x) n += c.at(x, y) == colour;
    return n;
}
}  // namespace

TEST(CheckCaptionColours, HoldInBothStatesUnderVersion6Controls) {
    rt::Form form(kelva::testing::testForm(L"theme test", {900, 900, 6000, 2000}));
    auto& box = form.add<ctl::Check>(L"chkTop", {300, 300, 4500, 255});
    rt::PropertyBag bag;
    bag.write(L"Caption", std::wstring(L" 프로그램을 항상 최상위로 실행"));
    bag.write(L"ForeColor", std::int32_t{0x0000C0});    // dark red
    bag.write(L"DisabledColor", std::int32_t{0x00A000});  // green
    bag.write(L"Font", rt::FontDesc{L"굴림", 12, true});
    box.load(bag);
    form.show();
    pump(30);
    Capture on(box.captionWindow());
    on.save(L"check_caption_enabled");
    EXPECT_GT(pixelsOf(on, 0x0000C0), 10);
    EXPECT_EQ(pixelsOf(on, 0x00A000), 0);
    box.setEnabledValue(0);
    pump(30);
    Capture off(box.captionWindow());
    off.save(L"check_caption_disabled");
    EXPECT_GT(pixelsOf(off, 0x00A000), 10);
    EXPECT_EQ(pixelsOf(off, 0x0000C0), 0);
}
