// The clsPub members over the AutoCAD stand-in's automation objects, loaded in process: every call
// goes late-bound by name, as it does into AutoCAD.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <thread>

#include "acadsim/com/objects.h"
#include "com/errors.h"
#include "drawlib/pub_acad.h"

namespace kelva::pub {
namespace {

using acad::Entity;
using acad::Kind;
using com::ComPtr;
using com::Variant;

class PubGlue : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        sim_ = acad::sim::createInstance({});
        document_ = com::getObject(sim_.application.get(), L"ActiveDocument");
    }
    void TearDown() override {
        document_.reset();
        sim_ = {};
        CoUninitialize();
    }

    acad::Drawing& drawing() { return acad::sim::drawingOf(*sim_.session); }
    acad::EntityId add(Kind kind, acad::Point3 a, acad::Point3 b = {}, double radius = 0, std::wstring layer = L"0") {
        Entity e;
        e.kind = kind;
        e.a = a;
        e.b = b;
        e.radius = radius;
        e.layer = std::move(layer);
        return drawing().add(e);
    }
    acad::EntityId addPolyline(Kind kind, std::vector<acad::Point3> vertices) {
        Entity e;
        e.kind = kind;
        e.chain.vertices = std::move(vertices);
        return drawing().add(e);
    }
    ComPtr<IDispatch> object(acad::EntityId id) {
        const auto handle = acad::handleText(drawing().entity(id).handle);
        return com::getObject(document_.get(), L"HandleToObject", {Variant::fromString(handle)});
    }
    ComPtr<IDispatch> selectionOf(const std::vector<acad::EntityId>& ids) {
        ComPtr<IDispatch> set = createSelectionSet(document_.get(), L"DupTest");
        EXPECT_TRUE(set);
        drawing().addItems(*drawing().findSelectionSet(L"DupTest"), ids);
        return set;
    }
    void queueControl(const wchar_t* member, std::vector<com::Arg> args = {}) {
        com::call(sim_.control.get(), member, std::move(args));
    }
    std::wstring commandLine() { return drawing().commandLine(); }

    acad::sim::Instance sim_;
    ComPtr<IDispatch> document_;
};

struct KeptPoint {
    int calls = 0;
    std::vector<double> point;
    std::function<void(const Variant&)> keeper() {
        return [this](const Variant& v) {
            ++calls;
            point = doublesOf(v);
        };
    }
};

TEST_F(PubGlue, PickAfterAMissKeepsThePoint) {
    const auto circle = add(Kind::Circle, {5, 5, 0}, {}, 2);
    drawing().queue({acad::Answer::Miss});
    drawing().queue({acad::Answer::Pick, circle, {7, 5, 0}});
    KeptPoint kept;
    const ComPtr<IDispatch> picked = pickEntity(document_.get(), circlePicker(prompt::Circle), kept.keeper());
    ASSERT_TRUE(picked);
    EXPECT_EQ(com::asString(com::get(picked.get(), L"ObjectName")), L"AcDbCircle");
    EXPECT_EQ(kept.calls, 1);
    EXPECT_EQ(kept.point, (std::vector<double>{7, 5, 0}));
    EXPECT_EQ(drawing().pendingAnswers(), 0u);
    EXPECT_EQ(commandLine().find(L"원이 아닙니다"), std::wstring::npos);
}

TEST_F(PubGlue, WrongTypeIsAskedAgainWithTheMessage) {
    const auto text = add(Kind::Text, {0, 0, 0});
    const auto arc = add(Kind::Arc, {0, 0, 0}, {}, 3);
    drawing().queue({acad::Answer::Pick, text, {0, 0, 0}});
    drawing().queue({acad::Answer::Pick, arc, {3, 0, 0}});
    KeptPoint kept;
    const ComPtr<IDispatch> picked = pickEntity(document_.get(), arcPicker(prompt::Arc), kept.keeper());
    ASSERT_TRUE(picked);
    EXPECT_NE(commandLine().find(L"** 호가 아닙니다. 다시 선택하십시오 **"), std::wstring::npos);
    EXPECT_NE(commandLine().find(L"호 선택: "), std::wstring::npos);
}

TEST_F(PubGlue, CancelReturnsNothingAndFailureRaisesTheCancelError) {
    KeptPoint kept;
    drawing().queue({acad::Answer::Cancel});
    EXPECT_FALSE(pickEntity(document_.get(), objPicker(prompt::Object), kept.keeper()));
    acad::Answer failure{acad::Answer::Failure};
    failure.hresult = acad::hr::Fail;
    drawing().queue(failure);
    try {
        pickEntity(document_.get(), objPicker(prompt::Object), kept.keeper());
        FAIL() << "no cancel error";
    } catch (const VbError& e) {
        EXPECT_EQ(e.number(), kCancelError);
        EXPECT_EQ(e.description(), L"*취소*");
    }
    // A failure that leaves errno at 7 is a missed pick.
    const auto line = add(Kind::Line, {0, 0, 0}, {1, 1, 0});
    failure.errnoValue = 7;
    drawing().queue(failure);
    drawing().queue({acad::Answer::Pick, line, {0, 0, 0}});
    EXPECT_TRUE(pickEntity(document_.get(), linePicker(prompt::Line), kept.keeper()));
    EXPECT_EQ(kept.calls, 1);
}

TEST_F(PubGlue, WithoutADrawingThePickIsCancelled) {
    KeptPoint kept;
    EXPECT_THROW(pickEntity(nullptr, objPicker(prompt::Object), kept.keeper()), VbError);
}

TEST_F(PubGlue, AutomationNamesAndSubEntities) {
    const auto line = add(Kind::Line, {0, 0, 0}, {1, 1, 0});
    const auto circle = add(Kind::Circle, {5, 5, 0}, {}, 2);
    drawing().queue({acad::Answer::Pick, line, {0, 0, 0}});
    drawing().queue({acad::Answer::Pick, circle, {3, 5, 0}});
    KeptPoint kept;
    const auto picked = pickEntity(document_.get(), entityExPicker(L"iacadcircle", prompt::Object, L"원을 고르십시오"),
                                   kept.keeper());
    ASSERT_TRUE(picked);
    EXPECT_EQ(automationTypeName(picked.get()), L"IAcadCircle");
    EXPECT_NE(commandLine().find(L"\r\n** 원을 고르십시오 **"), std::wstring::npos);

    drawing().queue({acad::Answer::Pick, line, {0.5, 0.5, 0}});
    EXPECT_TRUE(pickEntity(document_.get(), subObjPicker(prompt::Object), kept.keeper()));
    EXPECT_EQ(kept.point, (std::vector<double>{0.5, 0.5, 0}));
}

TEST_F(PubGlue, LayerChecksAndStates) {
    drawing().addLayer(L"Wall");
    const auto index = drawing().addLayer(L"Frozen");
    drawing().layer(index).freeze = true;
    drawing().layer(index).lock = true;
    EXPECT_TRUE(checkLayer(document_.get(), L"WALL"));
    EXPECT_TRUE(checkLayer(document_.get(), L"0"));
    EXPECT_FALSE(checkLayer(document_.get(), L"Roof"));
    const auto layers = com::getObject(document_.get(), L"Layers");
    const auto frozen = com::getObject(layers.get(), L"Item", {Variant::fromString(L"Frozen")});
    EXPECT_EQ(layerState(frozen.get(), false), L"Frozen 레이어는 동결되어 있습니다  ");
    const auto wall = com::getObject(layers.get(), L"Item", {Variant::fromString(L"Wall")});
    EXPECT_EQ(layerState(wall.get(), true), L"");
    EXPECT_THROW(checkLayer(nullptr, L"0"), VbError);
}

// Answers the real message box from another thread, as a user would, by its caption.
class BoxAnswerer {
public:
    BoxAnswerer(std::wstring caption, int button) : caption_(std::move(caption)), button_(button) {
        worker_ = std::thread([this] {
            for (int i = 0; i < 500 && !stop_; ++i) {
                if (HWND box = FindWindowW(L"#32770", caption_.c_str())) {
                    wchar_t text[512] = {};
                    GetDlgItemTextW(box, 0xFFFF, text, 512);
                    shownText = text;
                    answered = true;  // before the click: the box may close before this thread runs on
                    PostMessageW(box, WM_COMMAND, MAKEWPARAM(button_, BN_CLICKED), 0);
                    return;
                }
                Sleep(20);
            }
        });
    }
    ~BoxAnswerer() {
        stop_ = true;
        worker_.join();
    }
    std::atomic<bool> answered{false};
    std::wstring shownText;

private:
    std::wstring caption_;
    int button_;
    std::atomic<bool> stop_{false};
    std::thread worker_;
};

TEST_F(PubGlue, LayerQuestionThroughTheRealMessageBox) {
    const auto index = drawing().addLayer(L"Hidden");
    drawing().layer(index).layerOn = false;
    {
        MessageBoxQuestion box(L"KelvaSub 도면층 시험");
        BoxAnswerer answer(L"KelvaSub 도면층 시험", IDCANCEL);
        EXPECT_FALSE(askAboutLayer(document_.get(), L"Hidden", box));
        EXPECT_TRUE(answer.answered);
    }
    EXPECT_FALSE(drawing().layers()[index].layerOn);
    {
        MessageBoxQuestion box(L"KelvaSub 도면층 시험");
        BoxAnswerer answer(L"KelvaSub 도면층 시험", IDRETRY);
        EXPECT_TRUE(askAboutLayer(document_.get(), L"Hidden", box));
        ASSERT_TRUE(answer.answered);
        EXPECT_EQ(answer.shownText, layerQuestionText(L"Hidden"));
    }
    EXPECT_TRUE(drawing().layers()[index].layerOn);
    EXPECT_FALSE(drawing().layers()[index].freeze);
    MessageBoxQuestion never(L"none");
    EXPECT_TRUE(askAboutLayer(document_.get(), L"Hidden", never));  // usable now: no question
    EXPECT_THROW(askAboutLayer(document_.get(), L"Missing", never), VbError);
}

TEST_F(PubGlue, SelectionSetsAreRecreatedEmpty) {
    const auto line = add(Kind::Line, {0, 0, 0}, {1, 1, 0});
    auto set = createSelectionSet(document_.get(), L"SelSet");
    ASSERT_TRUE(set);
    drawing().addItems(*drawing().findSelectionSet(L"SelSet"), {line});
    EXPECT_EQ(longOf(com::get(set.get(), L"Count")), 1);
    auto again = createSelectionSet(document_.get(), L"SelSet");
    ASSERT_TRUE(again);
    EXPECT_EQ(longOf(com::get(again.get(), L"Count")), 0);
    EXPECT_FALSE(createSelectionSet(nullptr, L"SelSet"));
}

TEST_F(PubGlue, VertexIndexPointsAndHandle) {
    const auto light = addPolyline(Kind::LwPolyline, {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}});
    const auto space = addPolyline(Kind::Polyline3d, {{0, 0, 0}, {1, 0, 1}, {1, 1, 2}, {0, 1, 3}});
    const auto line = add(Kind::Line, {0, 0, 0}, {1, 1, 0});
    EXPECT_EQ(lastVertexIndex(object(light).get()), 3);
    EXPECT_EQ(lastVertexIndex(object(space).get()), 3);
    EXPECT_EQ(lastVertexIndex(object(line).get()), 0);
    const std::wstring handle = acad::handleText(drawing().entity(line).handle);
    EXPECT_EQ(lispEntity(object(line).get()), L"(handent \"" + handle + L"\")");
    const Variant point = com::call(sim_.control.get(), L"Point", {Variant::fromDouble(3), Variant::fromDouble(4)});
    EXPECT_EQ(doublesOf(point), (std::vector<double>{3, 4, 0}));
}

TEST_F(PubGlue, DuplicatesDeletedMovedAndRefused) {
    std::vector<acad::EntityId> ids = {
        add(Kind::Circle, {0, 0, 0}, {}, 1),        add(Kind::Circle, {0, 0.0001, 0}, {}, 1),
        add(Kind::Line, {0, 0, 0}, {5, 5, 0}),      add(Kind::Line, {5, 5, 0}, {0, 0, 0}),
        add(Kind::Line, {2, 2, 0}, {2, 2, 0}),      add(Kind::Circle, {0, 0, 0}, {}, 1),
    };
    DedupeRequest circles{L"circle", false, false, 3, L""};
    int yields = 0;
    drawing().injectFailure(acad::FailOp::Delete, acad::hr::Fail, 1);  // the first delete is refused
    EXPECT_EQ(deleteDuplicateEntities(selectionOf(ids).get(), circles, [&] { ++yields; }), 1);
    EXPECT_EQ(yields, 6);
    EXPECT_FALSE(drawing().entity(ids[1]).erased);
    EXPECT_TRUE(drawing().entity(ids[5]).erased);

    drawing().addLayer(L"DUP");
    DedupeRequest lines{L"line", false, false, 3, L"DUP"};
    EXPECT_EQ(deleteDuplicateEntities(selectionOf({ids[2], ids[3], ids[4]}).get(), lines, {}), 1);  // moved once, counted once
    EXPECT_EQ(drawing().entity(ids[3]).layer, L"DUP");
    EXPECT_EQ(drawing().entity(ids[4]).layer, L"0");  // the zero-length line stays

    DedupeRequest nowhere{L"circle", false, false, 3, L"NOWHERE"};
    EXPECT_EQ(deleteDuplicateEntities(selectionOf({ids[0], ids[1]}).get(), nowhere, {}), 0);
    EXPECT_EQ(drawing().entity(ids[1]).layer, L"0");
    EXPECT_EQ(deleteDuplicateEntities(nullptr, circles, {}), 0);
}

}  // namespace
}  // namespace kelva::pub
