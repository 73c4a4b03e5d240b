#include <gtest/gtest.h>

#include "core/errors.h"
#include "runtime/accesskey.h"
#include "runtime/propbag.h"

using namespace kelva::rt;

TEST(PropertyBag, DefaultsAreLeftOutAndReadBack) {
    PropertyBag bag;
    bag.write(L"Caption", std::wstring(L"&OK"), std::wstring(L"&OK"));
    bag.write(L"Enabled", false, true);
    bag.write(L"ForeColor", std::int32_t{0}, std::int32_t{0});
    ASSERT_EQ(bag.entries().size(), 1u);
    EXPECT_EQ(bag.entries()[0].name, L"Enabled");
    EXPECT_EQ(bag.readString(L"Caption", L"&OK"), L"&OK");
    EXPECT_FALSE(bag.readBool(L"Enabled", true));
    EXPECT_EQ(bag.readLong(L"ForeColor", 0x800000), 0x800000);  // absent: the reader's default
}

TEST(PropertyBag, NamesMatchWithoutCase) {
    PropertyBag bag;
    bag.write(L"FontStrikethru", true);
    EXPECT_TRUE(bag.readBool(L"FontStrikeThru", false));
    bag.write(L"FONTSTRIKETHRU", false);
    EXPECT_EQ(bag.entries().size(), 1u);
    EXPECT_FALSE(bag.readBool(L"fontstrikethru", true));
}

TEST(PropertyBag, SecondWriteReplacesUnlessItIsItsDefault) {
    PropertyBag bag;
    bag.write(L"Caption", std::wstring(L"Box"), std::wstring(L"chk1"));
    bag.write(L"Caption", std::wstring(L"Check1"), std::wstring(L"Check1"));  // equals its default
    EXPECT_EQ(bag.readString(L"Caption", L"x"), L"Box");
    bag.write(L"Caption", std::wstring(L"Other"), std::wstring(L"Check1"));
    EXPECT_EQ(bag.readString(L"Caption", L"x"), L"Other");
    EXPECT_EQ(bag.entries().size(), 1u);
}

TEST(PropertyBag, ValuesConvertOnReadAsVariantsDo) {
    PropertyBag bag;
    bag.write(L"A", true);
    bag.write(L"B", std::wstring(L"12.5"));
    bag.write(L"C", 2.5);
    bag.write(L"D", std::wstring(L"abc"));
    bag.write(L"E", std::wstring(L"굴림"));
    EXPECT_EQ(bag.readLong(L"A", 0), -1);
    EXPECT_EQ(bag.readDouble(L"B", 0), 12.5);
    EXPECT_EQ(bag.readLong(L"C", 0), 2);  // half to even
    EXPECT_EQ(bag.readFont(L"E", FontDesc{}).name, L"굴림");
    try {
        bag.readLong(L"D", 0);
        FAIL() << "a text that is no number must not read as one";
    } catch (const kelva::VbError& e) {
        EXPECT_EQ(e.number(), kelva::err::TypeMismatch);
    }
}

TEST(PropertyBag, FontsAndPicturesCompareByValue) {
    PropertyBag bag;
    FontDesc verdana{L"Verdana", 8.25};
    bag.write(L"Font", verdana, verdana);
    EXPECT_TRUE(bag.empty());
    FontDesc bold = verdana;
    bold.bold = true;
    bag.write(L"Font", bold, verdana);
    EXPECT_TRUE(bag.readFont(L"Font", verdana).bold);
    bag.write(L"Picture", PictureData{}, PictureData{});
    EXPECT_FALSE(bag.contains(L"Picture"));
    bag.write(L"Picture", PictureData{{1, 2, 3}}, PictureData{});
    EXPECT_EQ(bag.readPicture(L"Picture").bmp.size(), 3u);
}

TEST(AccessKey, MarkersAndDoubledAmpersands) {
    EXPECT_EQ(accessKeyOf(L"&View"), L'v');
    EXPECT_EQ(accessKeyOf(L"Save && &Quit"), L'q');
    EXPECT_FALSE(accessKeyOf(L"A && B").has_value());
    EXPECT_FALSE(accessKeyOf(L"trailing&").has_value());
    EXPECT_EQ(captionText(L"Save && &Quit"), L"Save & Quit");
    EXPECT_EQ(captionText(L"&"), L"");
}
