// The pick loop against a scripted host that behaves as AutoCAD does: a miss fails the pick call
// and leaves errno at 7 until someone resets it.
#include <gtest/gtest.h>

#include <deque>

#include "core/errors.h"
#include "drawlib/pick.h"

namespace kelva::pub {
namespace {

struct Attempt {
    enum Kind { Pick, Miss, Fail } kind;
    std::wstring objectName;  // Pick
    std::wstring typeName;    // Pick: automation type name
    std::int32_t error = 0;   // Fail
};

Attempt picks(std::wstring objectName, std::wstring typeName = L"") {
    return {Attempt::Pick, std::move(objectName), std::move(typeName)};
}
Attempt miss() { return {Attempt::Miss, {}, {}, kPickException}; }
Attempt fail(std::int32_t e) { return {Attempt::Fail, {}, {}, e}; }

struct RanAway {};

class ScriptedHost : public PickHost {
public:
    explicit ScriptedHost(std::deque<Attempt> script) : script_(std::move(script)) {}

    void clearErrno() override {
        ++clears;
        if (failSetVariable) throw VbError(5);
        errno_ = 0;
    }
    void pick(PickCall call, const std::wstring& prompt) override {
        calls.push_back(call);
        pickPrompts.push_back(prompt);
        // A loop that never ends would hang the test; stop it with something the loop cannot swallow.
        if (calls.size() > 50) throw RanAway{};
        if (script_.empty()) throw VbError(static_cast<std::int32_t>(0x80004005u));  // no more input
        held_ = script_.front();
        script_.pop_front();
        if (held_.kind == Attempt::Miss) {
            errno_ = kMissedPickErrno;
            throw VbError(held_.error);
        }
        if (held_.kind == Attempt::Fail) throw VbError(held_.error);
    }
    std::int32_t readErrno() override {
        if (failGetVariable) throw VbError(5);
        return errno_;
    }
    std::wstring typeName(TypeTest test) override {
        if (test == TypeTest::AutomationName) return held_.typeName;
        if (held_.objectName.empty()) throw VbError(438);
        return held_.objectName;
    }
    void writePrompt(const std::wstring& text) override {
        messages.push_back(text);
        if (failPrompt) throw VbError(5);
    }
    void keepPickPoint() override { kept.push_back(held_.objectName); }

    std::vector<PickCall> calls;
    std::vector<std::wstring> pickPrompts, messages, kept;
    int clears = 0;
    bool failSetVariable = false, failGetVariable = false, failPrompt = false;
    bool resetErrno = true;
    std::int32_t errno_ = 0;
    Attempt held_{Attempt::Miss};

private:
    std::deque<Attempt> script_;
};

TEST(PickLoop, MissThenAcceptedPick) {
    ScriptedHost h({miss(), miss(), picks(L"AcDbLine")});
    const PickerSpec spec = linePicker(prompt::Line);
    EXPECT_EQ(runPicker(spec, h), PickOutcome::Entity);
    EXPECT_EQ(h.pickPrompts.size(), 3u);
    EXPECT_EQ(h.pickPrompts[0], L"\r\n\r\n선 선택: ");
    EXPECT_TRUE(h.messages.empty());
    EXPECT_EQ(h.kept, std::vector<std::wstring>{L"AcDbLine"});
    EXPECT_EQ(h.clears, 3);
}

TEST(PickLoop, CancelAfterAMissEndsTheLoop) {
    // Without the errno reset the cancel would read the 7 left by the miss and ask again forever.
    ScriptedHost h({miss(), fail(static_cast<std::int32_t>(0x80004005u))});
    try {
        runPicker(objPicker(prompt::Object), h);
        FAIL() << "no cancel error";
    } catch (const VbError& e) {
        EXPECT_EQ(e.number(), kCancelError);
        EXPECT_EQ(e.description(), L"*취소*");
        EXPECT_EQ(e.source(), L"");
    }
    EXPECT_EQ(h.pickPrompts.size(), 2u);
}

TEST(PickLoop, PickExceptionReturnsNothing) {
    ScriptedHost h({miss(), fail(kPickException)});
    EXPECT_EQ(runPicker(arcPicker(prompt::Arc), h), PickOutcome::Nothing);
    EXPECT_TRUE(h.kept.empty());
}

TEST(PickLoop, UnreadableErrnoIsNotAMiss) {
    ScriptedHost h({miss(), picks(L"AcDbArc")});
    h.failGetVariable = true;
    EXPECT_EQ(runPicker(arcPicker(prompt::Arc), h), PickOutcome::Nothing);  // the miss itself failed with 0x80020009
    ScriptedHost c({fail(91)});
    c.failGetVariable = true;
    EXPECT_THROW(runPicker(arcPicker(prompt::Arc), c), VbError);
}

TEST(PickLoop, FailingSetVariableAndPromptArePassedOver) {
    ScriptedHost h({picks(L"AcDbCircle"), picks(L"AcDbArc")});
    h.failSetVariable = true;
    h.failPrompt = true;
    EXPECT_EQ(runPicker(arcPicker(prompt::Arc), h), PickOutcome::Entity);
    ASSERT_EQ(h.messages.size(), 1u);
    EXPECT_EQ(h.messages[0], L"\r\n** 호가 아닙니다. 다시 선택하십시오 **");
}

TEST(PickLoop, TextPickerKeepsNoPickPoint) {
    ScriptedHost h({picks(L"AcDbLine"), picks(L"AcDbMText")});
    EXPECT_EQ(runPicker(textPicker(prompt::Text), h), PickOutcome::Entity);
    EXPECT_TRUE(h.kept.empty());
    EXPECT_EQ(h.messages, std::vector<std::wstring>{L"\r\n** 문자가 아닙니다. 다시 선택하십시오 **"});
}

TEST(PickLoop, PLineTakesArcsOnlyWhenAsked) {
    ScriptedHost h({picks(L"AcDbArc"), picks(L"AcDbLine")});
    EXPECT_EQ(runPicker(plinePicker(prompt::PLine, false), h), PickOutcome::Entity);
    EXPECT_EQ(h.messages, std::vector<std::wstring>{L"\r\n** 폴리선이 아닙니다. 다시 선택하십시오 **"});
    EXPECT_EQ(h.kept, std::vector<std::wstring>{L"AcDbLine"});
    ScriptedHost a({picks(L"AcDbArc")});
    EXPECT_EQ(runPicker(plinePicker(prompt::PLine, true), a), PickOutcome::Entity);
    EXPECT_EQ(a.kept, std::vector<std::wstring>{L"AcDbArc"});
}

TEST(PickLoop, NameListIgnoresCase) {
    ScriptedHost h({picks(L"AcDbText"), picks(L"AcDbCircle")});
    const PickerSpec spec = entityNamePicker(L"ACDBLINE,acdbCircle", L"고르시오", L"");
    EXPECT_EQ(runPicker(spec, h), PickOutcome::Entity);
    EXPECT_EQ(h.pickPrompts[0], L"\r\n고르시오");
    EXPECT_EQ(h.messages, std::vector<std::wstring>{L"\r\n** 지원되는 객체가 아닙니다. 다시 선택하십시오 **"});
    EXPECT_EQ(h.kept, std::vector<std::wstring>{L"AcDbCircle"});
    ScriptedHost l({picks(L"AcDbLine")});
    EXPECT_EQ(runPicker(spec, l), PickOutcome::Entity);
}

TEST(PickLoop, NameListItemsKeepTheirBlanks) {
    const PickerSpec spec = entityNamePicker(L"AcDbLine, AcDbCircle", L"", L"원하는 객체가 아님");
    EXPECT_TRUE(typeAccepted(spec, L"acdbline"));
    EXPECT_FALSE(typeAccepted(spec, L"AcDbCircle"));
    EXPECT_TRUE(typeAccepted(spec, L" AcDbCircle"));
    EXPECT_EQ(spec.wrongType, L"\r\n** 원하는 객체가 아님 **");
    const PickerSpec none = entityNamePicker(L"", L"", L"");
    EXPECT_TRUE(none.accepted.empty());
    EXPECT_FALSE(typeAccepted(none, L""));
}

TEST(PickLoop, EntityExComparesTheAutomationName) {
    ScriptedHost h({picks(L"AcDbLine", L"IAcadLine"), picks(L"AcDbCircle", L"IAcadCircle")});
    const PickerSpec spec = entityExPicker(L"iacadcircle,IAcadArc", prompt::Object, L"원이나 호를 고르십시오");
    EXPECT_EQ(runPicker(spec, h), PickOutcome::Entity);
    EXPECT_EQ(h.messages, std::vector<std::wstring>{L"\r\n** 원이나 호를 고르십시오 **"});
    EXPECT_EQ(h.kept, std::vector<std::wstring>{L"AcDbCircle"});
}

TEST(PickLoop, AnUnreadableTypeIsAskedAgain) {
    ScriptedHost h({picks(L""), picks(L"AcDbCircle")});
    EXPECT_EQ(runPicker(circlePicker(prompt::Circle), h), PickOutcome::Entity);
    EXPECT_EQ(h.messages.size(), 1u);
}

TEST(PickLoop, AnyEntityPickersAndTheirCalls) {
    ScriptedHost h({picks(L""), picks(L"")});
    EXPECT_EQ(runPicker(subObjPicker(prompt::Object), h), PickOutcome::Entity);
    EXPECT_EQ(runPicker(objPicker(prompt::Object), h), PickOutcome::Entity);
    EXPECT_EQ(h.calls, (std::vector<PickCall>{PickCall::SubEntity, PickCall::Entity}));
    EXPECT_EQ(h.kept.size(), 2u);
    EXPECT_TRUE(h.messages.empty());
}

TEST(PickLoop, CurveAndLineLists) {
    const PickerSpec curve = curvePicker(prompt::Object);
    for (auto n : {L"AcDbLine", L"AcDbCircle", L"AcDbArc", L"AcDbSpline", L"AcDbEllipse", L"AcDbPolyline",
                   L"AcDb2dPolyline", L"AcDb3dPolyline"})
        EXPECT_TRUE(typeAccepted(curve, n)) << n;
    EXPECT_FALSE(typeAccepted(curve, L"AcDbText"));
    const PickerSpec line = linePicker(prompt::Line);
    EXPECT_TRUE(typeAccepted(line, L"AcDb3dPolyline"));
    EXPECT_FALSE(typeAccepted(line, L"AcDbArc"));
    EXPECT_EQ(line.wrongType, L"\r\n** 선 또는 폴리선이 아닙니다. 다시 선택하십시오 **");
    EXPECT_EQ(curve.wrongType, L"\r\n** 선분을 가진 객체가 아닙니다. 다시 선택하십시오 **");
    EXPECT_EQ(circlePicker(L"").wrongType, L"\r\n** 원이 아닙니다. 다시 선택하십시오 **");
}

TEST(PickLoop, OtherFailuresGiveTheCancelError) {
    for (std::int32_t e : {91, static_cast<std::int32_t>(0x80004005u), static_cast<std::int32_t>(0x80020006u)}) {
        ScriptedHost h({fail(e)});
        try {
            runPicker(objPicker(prompt::Object), h);
            ADD_FAILURE() << "no error for " << e;
        } catch (const VbError& err) {
            EXPECT_EQ(err.number(), kCancelError);
        }
    }
}

}  // namespace
}  // namespace kelva::pub
