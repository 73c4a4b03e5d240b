#include <gtest/gtest.h>

#include "runtime/designdata.h"

using namespace kelva::rt;

TEST(DesignData, ReadsNestedBlocksFontsAndValueKinds) {
    auto r = parseDesign(
        L"Begin Form frmChar\n"
        L"   Caption = \"Kelva 특수문자\"\n"
        L"   Width = 6690\n"
        L"   Begin ccXPButton cbExit\n"
        L"      Caption = \"종 료\"   ' a comment\n"
        L"      ForeColor = &H00808080&\n"
        L"      FocusRect = False\n"
        L"      BeginProperty Font\n"
        L"         Name = \"Verdana\"\n"
        L"         Size = 8.25\n"
        L"         Weight = 700\n"
        L"      EndProperty\n"
        L"   End\n"
        L"   Begin xFrame xFrame1\n"
        L"      FontSize = 9.0\n"
        L"      Caption = \"say \"\"hi\"\"\"\n"
        L"   End\n"
        L"End\n");
    ASSERT_TRUE(r.ok()) << r.errorLine;
    ASSERT_EQ(r.nodes.size(), 1u);
    const auto& form = r.nodes[0];
    EXPECT_EQ(form.props.readString(L"caption", L""), L"Kelva 특수문자");
    EXPECT_EQ(form.props.readLong(L"Width", 0), 6690);
    const auto* b = form.child(L"cbExit");
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->type, L"ccXPButton");
    EXPECT_EQ(b->props.readString(L"Caption", L""), L"종 료");
    EXPECT_EQ(b->props.readLong(L"ForeColor", 0), 0x808080);
    EXPECT_FALSE(b->props.readBool(L"FocusRect", true));
    auto f = b->props.readFont(L"Font", FontDesc{});
    EXPECT_EQ(f.name, L"Verdana");
    EXPECT_EQ(f.size, 8.25);
    EXPECT_TRUE(f.bold);
    const auto* x = form.child(L"XFRAME1");
    ASSERT_NE(x, nullptr);
    EXPECT_EQ(x->props.readDouble(L"FontSize", 0), 9.0);
    EXPECT_EQ(x->props.readString(L"Caption", L""), L"say \"hi\"");
}

TEST(DesignData, RoundTripsEveryKindOfValue) {
    DesignNode n{L"Check", L"chkCAD", {}, {}};
    n.props.write(L"Caption", std::wstring(L" ACAD \"x\""));
    n.props.write(L"BackColor", static_cast<std::int32_t>(0x8000000F));
    n.props.write(L"Enabled", false);
    n.props.write(L"Size", 9.0);
    n.props.write(L"Ratio", 0.1);
    n.props.write(L"Font", FontDesc{L"굴림", 9, true, false, true, false, 129});
    n.props.write(L"Picture", PictureData{{0x42, 0x4D, 0x00, 0xFF}});
    n.children.push_back({L"Label", L"Label1", {}, {}});
    auto r = parseDesign(formatDesign(n));
    ASSERT_TRUE(r.ok()) << r.errorLine;
    const auto& back = r.nodes.at(0);
    ASSERT_EQ(back.props.entries().size(), n.props.entries().size());
    for (std::size_t i = 0; i < n.props.entries().size(); ++i) {
        EXPECT_EQ(back.props.entries()[i].name, n.props.entries()[i].name);
        EXPECT_TRUE(back.props.entries()[i].value == n.props.entries()[i].value) << i;
    }
    EXPECT_EQ(back.children.size(), 1u);
}

TEST(DesignData, KeysNamedLikeKeywords) {
    DesignNode n{L"X", L"x", {}, {}};
    n.props.write(L"Begin", std::int32_t{1});
    n.props.write(L"End", std::wstring(L"End"));
    auto r = parseDesign(formatDesign(n));
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.nodes[0].props.readLong(L"Begin", 0), 1);
    EXPECT_EQ(r.nodes[0].props.readString(L"End", L""), L"End");
}

TEST(DesignData, BadTextGivesTheLineAndNoNodes) {
    struct Case {
        const wchar_t* text;
        int line;
    } cases[] = {
        {L"Begin Form f\n  Caption = \"open\n", 2},
        {L"Begin Form f\n  Width = \n", 2},
        {L"Begin Form f\n", 1},
        {L"Caption = 1\n", 1},
        {L"Begin Form\nEnd\n", 1},
        {L"Begin Form f\n BeginProperty Font\n  Name = \"x\"\nEnd\n", 4},
        {L"Begin Form f\n  Picture = Bitmap \"4G\"\nEnd\n", 2},
        {L"Begin Form f\n  Color = &H123456789&\nEnd\n", 2},
    };
    for (const auto& c : cases) {
        auto r = parseDesign(c.text);
        EXPECT_FALSE(r.ok()) << static_cast<const void*>(c.text);
        EXPECT_TRUE(r.nodes.empty());
        EXPECT_EQ(r.errorLine, c.line) << r.errorLine;
    }
}
