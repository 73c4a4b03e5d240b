// Layer texts and question, vertex counting, bulge radius and the handle expression.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "core/errors.h"
#include "drawlib/layers.h"
#include "drawlib/pubtext.h"

namespace kelva::pub {
namespace {

struct FakeLayer : LayerView {
    std::wstring layerName = L"벽체";
    bool frozen = false, on = true, locked = false;
    std::vector<std::string> log;
    bool failLock = false;

    std::wstring name() override { log.push_back("name"); return layerName; }
    bool freeze() override { log.push_back("freeze"); return frozen; }
    bool layerOn() override { log.push_back("on"); return on; }
    bool lock() override {
        log.push_back("lock");
        if (failLock) throw VbError(438);
        return locked;
    }
    void setFreeze(bool v) override { log.push_back(v ? "freeze=1" : "freeze=0"); frozen = v; }
    void setLayerOn(bool v) override { log.push_back(v ? "on=1" : "on=0"); on = v; }
};

struct Answer : RetryQuestion {
    bool retry = true;
    std::vector<std::wstring> asked;
    bool askRetry(const std::wstring& text) override {
        asked.push_back(text);
        return retry;
    }
};

TEST(LayerState, FirstStateOnlyInOrder) {
    FakeLayer l;
    l.frozen = true;
    l.locked = true;
    l.on = false;
    EXPECT_EQ(layerStateText(l, false), L"벽체 레이어는 동결되어 있습니다  ");
    EXPECT_EQ(l.log, (std::vector<std::string>{"freeze", "name"}));
    l.frozen = false;
    EXPECT_EQ(layerStateText(l, false), L"벽체 레이어는 꺼져 있습니다  ");
    l.on = true;
    EXPECT_EQ(layerStateText(l, false), L"벽체 레이어는 잠겨 있습니다  ");
    l.locked = false;
    EXPECT_EQ(layerStateText(l, false), L"");
    EXPECT_EQ(layerStateText(l, true), L"");
}

TEST(LayerState, FirstRunNotice) {
    FakeLayer l;
    l.locked = true;
    EXPECT_EQ(layerStateText(l, true),
              L"이전 실행시 설정되었던 레이어가  \r\n동결, 잠금, 또는 꺼져 있어       \r\n레이어 0 으로 설정됩니다         ");
}

TEST(LayerState, FailuresPassThrough) {
    FakeLayer l;
    l.failLock = true;
    EXPECT_THROW(layerStateText(l, false), VbError);
    l.frozen = true;  // the lock is then never read
    EXPECT_NO_THROW(layerStateText(l, false));
}

TEST(LayerQuestion, RetryThawsAndTurnsOn) {
    FakeLayer l;
    l.frozen = true;
    l.on = false;
    Answer a;
    EXPECT_TRUE(layerMessage(l, L"벽체", a));
    ASSERT_EQ(a.asked.size(), 1u);
    EXPECT_EQ(a.asked[0],
              L"벽체 도면층이 동결되었거나 꺼져있습니다  \r\n\r\n\r\n'다시시도'를 누르면 도면층을 켜고\r\n"
              L"'취소'를 누르면 명령을 종료합니다");
    EXPECT_FALSE(l.frozen);
    EXPECT_TRUE(l.on);
    EXPECT_EQ(l.log.back(), "on=1");
}

TEST(LayerQuestion, CancelChangesNothing) {
    FakeLayer l;
    l.on = false;
    Answer a;
    a.retry = false;
    EXPECT_FALSE(layerMessage(l, L"X", a));
    EXPECT_FALSE(l.on);
    EXPECT_EQ(a.asked.size(), 1u);
}

TEST(LayerQuestion, UsableOrLockedLayerIsNotAsked) {
    FakeLayer l;
    l.locked = true;
    Answer a;
    EXPECT_TRUE(layerMessage(l, L"X", a));
    EXPECT_TRUE(a.asked.empty());
}

TEST(CoordCount, ByPolylineKind) {
    EXPECT_EQ(coordCount(L"AcDbPolyline", 7), 3);     // 4 vertices, 8 numbers
    EXPECT_EQ(coordCount(L"AcDb3dPolyline", 11), 3);  // 4 vertices, 12 numbers
    EXPECT_EQ(coordCount(L"AcDb2dPolyline", 5), 1);
    EXPECT_EQ(coordCount(L"AcDbLine", 5), 0);
    EXPECT_FALSE(coordCountNeedsCoordinates(L"AcDbLine"));
    EXPECT_TRUE(coordCountNeedsCoordinates(L"AcDb2dPolyline"));
    // Malformed arrays round half to even: (4 - 1) / 2 = 1.5 -> 2, (6 - 1) / 2 = 2.5 -> 2.
    EXPECT_EQ(coordCount(L"AcDbPolyline", 4), 2);
    EXPECT_EQ(coordCount(L"AcDbPolyline", 6), 2);
    EXPECT_EQ(coordCount(L"AcDbPolyline", -1), -1);
    EXPECT_THROW(coordCount(L"AcDbPolyline", 70000), VbError);
}

TEST(Bulge, HalfCircleAndFailures) {
    EXPECT_DOUBLE_EQ(radiusFromBulge(1, 10), 5);
    EXPECT_DOUBLE_EQ(radiusFromBulge(-1, 10), 5);
    // A quarter circle: bulge tan(pi/8), chord r * sqrt(2).
    EXPECT_NEAR(radiusFromBulge(std::tan(std::atan(1.0) / 2), 10 * std::sqrt(2.0)), 10, 1e-12);
    try {
        radiusFromBulge(0, 10);
        FAIL();
    } catch (const VbError& e) {
        EXPECT_EQ(e.number(), err::DivisionByZero);
    }
}

TEST(LispEnt, HandleExpression) { EXPECT_EQ(lispEntityExpression(L"2F"), L"(handent \"2F\")"); }

TEST(TextRules, CaseAndLists) {
    EXPECT_TRUE(equalsIgnoringCase(L"Layer-Á Ω Ж Ⅻ Ｋ", L"lAYER-á ω ж ⅻ ｋ"));
    EXPECT_FALSE(equalsIgnoringCase(L"벽체", L"벽체 "));
    EXPECT_EQ(foldCase(L'Ÿ'), L'ÿ');
    EXPECT_EQ(foldCase(L'Ł'), L'ł');
    EXPECT_EQ(foldCase(L'Ā'), L'ā');
    EXPECT_EQ(foldCase(L'ı'), L'ı');
    EXPECT_EQ(splitList(L""), std::vector<std::wstring>{});
    EXPECT_EQ(splitList(L"a, b,,"), (std::vector<std::wstring>{L"a", L" b", L"", L""}));
}

}  // namespace
}  // namespace kelva::pub
