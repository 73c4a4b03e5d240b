#include <gtest/gtest.h>

#include "controls/check_logic.h"

using namespace kelva::ctl::check;

namespace {
Model enabledBox(std::int32_t value) {
    Model m;
    m.foreColor = 0x112233;
    m.value = value;
    setEnabled(m, -1, true);
    return m;
}
}  // namespace

TEST(CheckBox, PressCyclesTheValueAndShowsThePushedPicture) {
    Model m = enabledBox(0);
    EXPECT_EQ(m.shown, IdleNoValue);
    auto fx = pressDown(m, 1);
    EXPECT_TRUE(fx.mouseDown);
    EXPECT_EQ(m.shown, PushedNoValue);
    EXPECT_EQ(m.value, 1);
    EXPECT_FALSE(m.timerRunning);
    fx = pressUp(m, 1);
    EXPECT_TRUE(fx.click && m.timerRunning);
    tick(m, true);
    EXPECT_EQ(m.shown, MouseoverChecked);
    tick(m, false);
    EXPECT_EQ(m.shown, IdleChecked);

    Model grey = enabledBox(2);  // a greyed box unchecks, it does not check
    pressDown(grey, 1);
    EXPECT_EQ(grey.shown, PushedGreyed);
    EXPECT_EQ(grey.value, 0);
}

TEST(CheckBox, RightButtonRaisesOnlyMouseDown) {
    Model m = enabledBox(1);
    auto fx = pressDown(m, 2);
    EXPECT_TRUE(fx.mouseDown);
    EXPECT_EQ(m.value, 1);
    EXPECT_EQ(m.shown, IdleChecked);
    EXPECT_FALSE(pressUp(m, 2).click);
}

TEST(CheckBox, DisablingShowsDisabledPicturesAndColour) {
    Model m = enabledBox(1);
    setEnabled(m, 0, true);
    EXPECT_EQ(m.shown, CheckedDisabled);
    EXPECT_EQ(m.captionColor, kDefaultDisabledColor);
    EXPECT_FALSE(m.timerRunning);
    EXPECT_FALSE(pressDown(m, 1).mouseDown);  // the mouse is shut out
    tick(m, true);
    EXPECT_EQ(m.shown, CheckedDisabled);
    setEnabled(m, 1, true);  // only -1 enables
    EXPECT_FALSE(isEnabled(m));
    setEnabled(m, -1, false);
    EXPECT_EQ(m.shown, IdleChecked);
    EXPECT_EQ(m.captionColor, 0x112233u);
    EXPECT_FALSE(m.timerRunning);  // not while designing
}

TEST(CheckBox, ValuesWithoutAPictureKeepTheShownOne) {
    Model m = enabledBox(2);
    setValue(m, 3);
    EXPECT_EQ(m.shown, IdleGreyed);
    EXPECT_FALSE(pictureFor(Look::Idle, -1).has_value());
    EXPECT_EQ(pictureFor(Look::Disabled, 2), DisabledGrey);
}

TEST(CheckBox, DisabledBoxKeepsItsOwnForeColorThroughSaveAndLoad) {
    kelva::rt::FontDesc formFont{L"굴림", 9};
    Persisted p;
    p.caption = L" ACAD";
    p.enabled = 0;
    p.foreColor = 0x000080;
    p.font = formFont;
    kelva::rt::PropertyBag bag;
    writeProperties(bag, p, L"chkCAD", formFont);
    auto back = readProperties(bag, L"chkCAD", formFont);
    EXPECT_EQ(back.foreColor, 0x000080u);
    EXPECT_EQ(back.enabled, 0);
    EXPECT_EQ(back.caption, L" ACAD");
    EXPECT_FALSE(bag.contains(L"Font"));
    EXPECT_FALSE(bag.contains(L"DisabledColor"));
}

TEST(CheckBox, CaptionEqualToEitherDefault) {
    kelva::rt::FontDesc f;
    Persisted p;
    p.caption = L"chk1";  // equals the name: written once through the second write
    kelva::rt::PropertyBag bag;
    writeProperties(bag, p, L"chk1", f);
    EXPECT_EQ(readProperties(bag, L"chk1", f).caption, L"chk1");
    p.caption = L"Check1";  // equals the second default: the first write keeps it
    kelva::rt::PropertyBag bag2;
    writeProperties(bag2, p, L"chk1", f);
    EXPECT_EQ(readProperties(bag2, L"chk1", f).caption, L"Check1");
    kelva::rt::PropertyBag empty;
    auto fresh = readProperties(empty, L"chk2", f);
    EXPECT_EQ(fresh.caption, L"chk2");
    EXPECT_EQ(fresh.disabledColor, kDefaultDisabledColor);
    EXPECT_EQ(fresh.backColor, kDefaultBackColor);
}
