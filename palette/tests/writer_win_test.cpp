// Writing into the running AutoCAD stand-in: new text with each style case, appending and prepending
// to picked texts, taking a text's height and content through the pick loop, and the failures.
#include <gtest/gtest.h>
#include <windows.h>

#include <map>

#include "com/latebound.h"
#include "core/errors.h"
#include "palette/settings_logic.h"
#include "palette/win/acad_writer.h"
#include "palette/write_logic.h"

using namespace kelva;
using namespace kelva::palette;
using com::ComPtr;
using com::Variant;

namespace {

class FakeWindow : public WriterWindow {
public:
    std::wstring text, font = L"Arial", height = L"3.000";
    WriteMode mode = WriteMode::New;
    std::wstring log;  // "min;", "restore;", "focus;"
    std::vector<std::wstring> messages;
    std::wstring chars() override { return text; }
    void setChars(const std::wstring& t) override { text = t; }
    void focusChars() override { log += L"focus;"; }
    std::wstring fontName() override { return font; }
    std::wstring heightText() override { return height; }
    void setHeightText(const std::wstring& t) override { height = t; }
    WriteMode writeMode() override { return mode; }
    void minimize() override { log += L"min;"; }
    void restore() override { log += L"restore;"; }
    void message(const std::wstring& t) override { messages.push_back(t); }
};

Variant pt(double x, double y) { return Variant::fromDoubles({x, y, 0}); }

class Writer : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        control = com::runningObject(L"AcadSim.Control");
        ASSERT_TRUE(control) << "the stand-in is not running";
        com::call(control.get(), L"Reset");
        doc = com::getObject(control.get(), L"Document");
        ms = com::getObject(doc.get(), L"ModelSpace");
    }
    void TearDown() override {
        writer.release();
        if (control) com::call(control.get(), L"Reset");
        ms.reset();
        doc.reset();
        control.reset();
        CoUninitialize();
    }
    ComPtr<IDispatch> addText(const wchar_t* s, double x, double y, double h = 2.5) {
        return com::getObject(ms.get(), L"AddText", {Variant::fromString(s), pt(x, y), Variant::fromDouble(h)});
    }
    std::wstring handle(const ComPtr<IDispatch>& e) { return com::asString(com::get(e.get(), L"Handle")); }
    std::wstring dump() { return com::asString(com::get(control.get(), L"Dump")); }
    std::wstring commandLine() { return com::asString(com::get(control.get(), L"CommandLine")); }
    long pending() { return std::stol(com::asString(com::get(control.get(), L"PendingInputs"))); }
    long styleCount() { return std::stol(com::asString(com::get(com::getObject(doc.get(), L"TextStyles").get(), L"Count"))); }
    ComPtr<IDispatch> style(const wchar_t* name) {
        return com::getObject(com::getObject(doc.get(), L"TextStyles").get(), L"Item", {Variant::fromString(name)});
    }
    std::wstring typefaceOf(const wchar_t* name) {
        Variant face, bold, italic, charset, pitch;
        com::call(style(name).get(), L"GetFont",
                  {com::Arg::out(face), com::Arg::out(bold), com::Arg::out(italic), com::Arg::out(charset), com::Arg::out(pitch)});
        return com::asString(face);
    }
    void makeStyle(const wchar_t* name, const wchar_t* typeface) {
        auto s = com::getObject(com::getObject(doc.get(), L"TextStyles").get(), L"Add", {Variant::fromString(name)});
        com::call(s.get(), L"SetFont", {Variant::fromString(typeface), Variant::fromBool(false), Variant::fromBool(false),
                                        Variant::fromInt32(0), Variant::fromInt32(0)});
    }
    void queuePoint(double x, double y) { com::call(control.get(), L"QueuePoint", {Variant::fromDouble(x), Variant::fromDouble(y)}); }
    void queuePick(const ComPtr<IDispatch>& e) {
        com::call(control.get(), L"QueuePick", {Variant::fromDispatch(e.get()), Variant::fromDouble(0), Variant::fromDouble(0)});
    }

    ComPtr<IDispatch> control, doc, ms;
    FakeWindow window;
    AcadWriter writer{window};
};

}  // namespace

TEST_F(Writer, NewTextMakesTheStyleAndKeepsLeadingBlanks) {
    window.text = L"  ㎡";
    window.height = L"2.5";
    queuePoint(10, 20);
    writer.cbWrite_Click();
    EXPECT_TRUE(window.messages.empty());
    EXPECT_EQ(window.log, L"min;restore;");
    const std::wstring d = dump();
    EXPECT_NE(d.find(L"AcDbText layer=0 at=10,20,0 height=2.5 rotation=0 style=Arial alignment=10 align=10,20,0 text=\"  ㎡\""),
              std::wstring::npos) << d;
    EXPECT_EQ(typefaceOf(L"Arial"), L"Arial");
    EXPECT_NE(commandLine().find(L"\r\n문자를 입력할 점 선택:"), std::wstring::npos);
}

TEST_F(Writer, ExistingStylesTrueTypeAndShapeFont) {
    makeStyle(L"Arial", L"Arial");
    const long before = styleCount();
    window.text = L"A";
    queuePoint(1, 1);
    writer.cbWrite_Click();
    EXPECT_EQ(styleCount(), before);  // the style shows its own face: used as it is
    EXPECT_NE(dump().find(L"style=Arial alignment"), std::wstring::npos);

    com::call(control.get(), L"Reset");
    makeStyle(L"Arial", L"굴림");  // a style named Arial showing another face
    queuePoint(2, 2);
    writer.cbWrite_Click();
    EXPECT_NE(dump().find(L"style=Arial- alignment"), std::wstring::npos) << dump();
    EXPECT_EQ(typefaceOf(L"Arial-"), L"Arial");
    EXPECT_EQ(typefaceOf(L"Arial"), L"굴림");  // left as it was

    com::call(control.get(), L"Reset");
    window.font = L"Standard";  // a shape font (txt): used unchanged
    queuePoint(3, 3);
    writer.cbWrite_Click();
    EXPECT_EQ(styleCount(), 1);
    EXPECT_NE(dump().find(L"style=Standard alignment=10"), std::wstring::npos) << dump();
}

// The drawing's styles are found whatever the case of the font name, and a write never re-fonts one
// of them: the user's ARIAL keeps its face, and so does a dash style that is already there.
TEST_F(Writer, StylesDifferingOnlyInCaseAreTheDrawingsOwnAndKeepTheirFont) {
    makeStyle(L"ARIAL", L"굴림");
    makeStyle(L"arial-", L"Verdana");
    const long before = styleCount();
    window.font = L"Arial";
    window.text = L"A";
    queuePoint(1, 1);
    writer.cbWrite_Click();
    EXPECT_EQ(styleCount(), before);
    EXPECT_EQ(typefaceOf(L"ARIAL"), L"굴림");
    EXPECT_EQ(typefaceOf(L"arial-"), L"Verdana");
    EXPECT_NE(dump().find(L"style=arial- alignment=10"), std::wstring::npos) << dump();
}

TEST_F(Writer, AppendAndPrependOverPickedTexts) {
    auto a = addText(L"A", 0, 0), b = addText(L"B", 0, 5), c = addText(L"C", 0, 10);
    auto line = com::getObject(ms.get(), L"AddLine", {pt(0, 0), pt(5, 5)});
    const std::wstring picked = handle(a) + L"," + handle(line) + L"," + handle(b) + L"," + handle(c);
    window.text = L"㎡";
    window.mode = WriteMode::Back;
    com::call(control.get(), L"QueueSelection", {Variant::fromString(picked)});
    writer.cbWrite_Click();
    EXPECT_EQ(window.log, L"min;restore;");
    for (auto* t : {&a, &b, &c}) EXPECT_EQ(com::asString(com::get(t->get(), L"TextString")).substr(1), L"㎡");
    window.mode = WriteMode::Front;
    com::call(control.get(), L"QueueSelection", {Variant::fromString(picked)});
    writer.cbWrite_Click();
    EXPECT_EQ(com::asString(com::get(a.get(), L"TextString")), L"㎡A㎡");
    EXPECT_EQ(com::asString(com::get(c.get(), L"TextString")), L"㎡C㎡");
    // The set is recreated each time and left in the drawing.
    auto sets = com::getObject(doc.get(), L"SelectionSets");
    auto set = com::getObject(sets.get(), L"Item", {Variant::fromString(L"SelSet")});
    EXPECT_EQ(com::asString(com::get(set.get(), L"Count")), L"3");

    // Only a line selected: nothing changes and the palette stays minimised.
    window.log.clear();
    com::call(control.get(), L"QueueSelection", {Variant::fromString(handle(line))});
    writer.cbWrite_Click();
    EXPECT_EQ(window.log, L"min;");
    EXPECT_EQ(com::asString(com::get(b.get(), L"TextString")), L"㎡B㎡");
}

TEST_F(Writer, TakeHeightAsksAgainAfterALineAndAMiss) {
    auto line = com::getObject(ms.get(), L"AddLine", {pt(0, 0), pt(5, 5)});
    auto text = addText(L"높이", 0, 0, 2.5);
    queuePick(line);
    com::call(control.get(), L"QueueMiss");
    queuePick(text);
    writer.imgGetText_Click();
    EXPECT_EQ(window.height, L"2.500");
    EXPECT_EQ(window.log, L"min;restore;");
    EXPECT_NE(commandLine().find(L"\r\n** 선택한 객체는 문자가 아닙니다 **"), std::wstring::npos);
    EXPECT_EQ(pending(), 0);

    queuePick(text);
    writer.cbGet_Click();
    EXPECT_EQ(window.text, L"높이");
}

// Esc after a miss ends the pick: errno still holds the 7 of the miss unless the loop resets it.
TEST_F(Writer, EscAfterAMissEndsThePick) {
    auto text = addText(L"T", 0, 0, 4);
    com::call(control.get(), L"QueueMiss");
    com::call(control.get(), L"QueueCancel");
    queuePick(text);  // must never be asked for
    writer.imgGetText_Click();
    EXPECT_EQ(window.height, L"3.000");
    EXPECT_EQ(window.log, L"min;");  // stays minimised, nothing on the command line but the prompts
    EXPECT_EQ(pending(), 1);
    EXPECT_EQ(commandLine().find(L"*취소*"), std::wstring::npos);
}

TEST_F(Writer, FailuresGoToTheCommandLineAndRestore) {
    window.text = L"X";
    com::call(control.get(), L"QueueCancel");  // the point pick is cancelled
    writer.cbWrite_Click();
    EXPECT_EQ(window.log, L"min;restore;");
    EXPECT_NE(commandLine().find(L"*Cancel*\r\n*Cancel*"), std::wstring::npos) << commandLine();
    EXPECT_EQ(dump(), L"");

    window.log.clear();
    window.height = L"높이";  // does not convert to a number: the error path, nothing written
    queuePoint(1, 1);
    writer.cbWrite_Click();
    EXPECT_EQ(window.log, L"min;restore;");
    EXPECT_NE(commandLine().find(L"\r\n" + standardDescription(13)), std::wstring::npos) << commandLine();
    EXPECT_EQ(dump(), L"");
}

TEST_F(Writer, NothingToWriteAndNoDocument) {
    window.text = L"   ";
    writer.cbWrite_Click();
    EXPECT_EQ(window.messages, std::vector<std::wstring>{kNothingToWrite});
    EXPECT_EQ(window.log, L"focus;");

    // AutoCAD runs with every drawing closed: the not-running message, before anything else.
    window.messages.clear();
    window.log.clear();
    window.text = L"X";
    com::put(control.get(), L"DocumentOpen", Variant::fromBool(false));
    writer.cbWrite_Click();
    writer.cbGet_Click();
    EXPECT_EQ(window.messages, (std::vector<std::wstring>{kAcadNotRunning, kAcadNotRunning}));
    EXPECT_EQ(window.log, L"");

    // No AutoCAD at all (the attach finds nothing under "AutoCAD.Application").
    window.messages.clear();
    writer.findRunning = [](const wchar_t*) { return ComPtr<IDispatch>(); };
    writer.imgGetText_Click();
    EXPECT_EQ(window.messages, std::vector<std::wstring>{kAcadNotRunning});
    EXPECT_EQ(window.log, L"");
}
