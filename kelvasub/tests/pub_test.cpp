#include "com/latebound.h"
#include "fake_document.h"
#include "library_fixture.h"

namespace kelva::sub::test {
namespace {

using com::Arg;
using com::Variant;

class ClsPub : public LibraryTest {
protected:
    void SetUp() override {
        LibraryTest::SetUp();
        pub = library.create(CLSID_clsPub);
        ASSERT_TRUE(pub);
    }
    void TearDown() override {
        pub.reset();
        LibraryTest::TearDown();
    }
    void setDrawing(IDispatch* document) { com::put(pub.get(), L"ThisDrawing", Variant::fromDispatch(document)); }
    std::vector<double> pointOf(const Variant& v) {
        std::vector<double> out;
        if (v.vt() != (VT_ARRAY | VT_R8)) return out;
        SAFEARRAY* a = V_ARRAY(v.get());
        for (LONG i = 0; i < com::elementCount(a); ++i) {
            double d = 0;
            SafeArrayGetElement(a, &i, &d);
            out.push_back(d);
        }
        return out;
    }
    com::ComPtr<IDispatch> pub;
};

TEST_F(ClsPub, ThisDrawingHoldsOneReferenceToTheDocumentUntilReplaced) {
    FakeDrawing drawing;
    EXPECT_EQ(com::get(pub.get(), L"ThisDrawing").vt(), VT_DISPATCH);
    EXPECT_EQ(V_DISPATCH(com::get(pub.get(), L"ThisDrawing").get()), nullptr) << "Nothing before it is set";
    const ULONG before = drawing.document->references();
    setDrawing(drawing.document.get());
    EXPECT_EQ(drawing.document->references(), before + 1);
    EXPECT_EQ(com::getObject(pub.get(), L"ThisDrawing").get(), drawing.document.get());
    setDrawing(nullptr);
    EXPECT_EQ(drawing.document->references(), before);
    setDrawing(drawing.document.get());
    pub.reset();  // the last client reference releases the document too
    EXPECT_EQ(drawing.document->references(), before);
}

TEST_F(ClsPub, BeforeThisDrawingIsSetCallsOnAutoCadFailWith91ButGetPntGivesEmpty) {
    EXPECT_EQ(errorOf([&] { com::call(pub.get(), L"GetVersion"); }), 91);
    EXPECT_EQ(errorOf([&] { com::call(pub.get(), L"CmdPrompt", {Variant::fromString(L"x")}); }), 91);
    EXPECT_EQ(errorOf([&] { com::call(pub.get(), L"CheckESC"); }), 91);
    Variant point;
    EXPECT_EQ(errorOf([&] { point = com::call(pub.get(), L"GetPnt"); }), 0);
    EXPECT_TRUE(point.isEmpty());
    EXPECT_EQ(V_BOOL(com::call(pub.get(), L"XXX").get()), VARIANT_TRUE);
}

TEST_F(ClsPub, CmdPromptWritesOnANewLineAndReturnsEmpty) {
    FakeDrawing drawing;
    setDrawing(drawing.document.get());
    Variant r = com::call(pub.get(), L"CmdPrompt", {Variant::fromString(L"작업 완료")});
    EXPECT_TRUE(r.isEmpty());
    ASSERT_EQ(drawing.prompts.size(), 1u);
    EXPECT_EQ(drawing.prompts[0], L"\r\n작업 완료");
    // A number from a script becomes its text.
    com::call(pub.get(), L"CmdPrompt", {Variant::fromInt16(7)});
    EXPECT_EQ(drawing.prompts.back(), L"\r\n7");
}

TEST_F(ClsPub, GetVersionGivesTheMajorRelease) {
    FakeDrawing drawing;
    setDrawing(drawing.document.get());
    EXPECT_EQ(com::asString(com::call(pub.get(), L"GetVersion")), L"16");
    drawing.version = L"R15.0";
    EXPECT_EQ(com::asString(com::call(pub.get(), L"GetVersion")), L"R1");
}

TEST_F(ClsPub, CheckEscLooksAtTheLastCharacterOfTheLastPrompt) {
    FakeDrawing drawing;
    setDrawing(drawing.document.get());
    drawing.lastPrompt = L"";
    EXPECT_EQ(V_BOOL(com::call(pub.get(), L"CheckESC").get()), VARIANT_FALSE);
    drawing.lastPrompt = L"Select objects: *Cancel*";
    EXPECT_EQ(V_BOOL(com::call(pub.get(), L"CheckESC").get()), VARIANT_TRUE);
    drawing.lastPrompt = L"Command:";
    EXPECT_EQ(V_BOOL(com::call(pub.get(), L"CheckESC").get()), VARIANT_FALSE);
}

TEST_F(ClsPub, GetPntLeavesOutTheBaseWhenTheCallerDoesAndPassesCancelOver) {
    FakeDrawing drawing;
    setDrawing(drawing.document.get());
    drawing.pointAnswers = {{1, 2, 0}, {4, 5, 6}};
    Variant first = com::call(pub.get(), L"GetPnt");
    EXPECT_EQ(pointOf(first), (std::vector<double>{1, 2, 0}));
    ASSERT_EQ(drawing.pointCalls.size(), 1u);
    EXPECT_FALSE(drawing.pointCalls[0].baseGiven);
    EXPECT_EQ(drawing.pointCalls[0].prompt, L"\r\n\r\n점 선택: ");

    Variant base = Variant::fromDoubles({0, 0, 0});
    Variant second = com::call(pub.get(), L"GetPnt", {base, Variant::fromString(L"끝점: ")});
    EXPECT_EQ(pointOf(second), (std::vector<double>{4, 5, 6}));
    EXPECT_TRUE(drawing.pointCalls[1].baseGiven);
    EXPECT_EQ(drawing.pointCalls[1].prompt, L"\r\n끝점: ");

    // No answer left: the user cancelled. No error, Empty.
    Variant cancelled;
    EXPECT_EQ(errorOf([&] { cancelled = com::call(pub.get(), L"GetPnt", {base}); }), 0);
    EXPECT_TRUE(cancelled.isEmpty());
    EXPECT_TRUE(com::call(pub.get(), L"GetPickPoint").isEmpty()) << "GetPnt never sets the pick point";
}

TEST_F(ClsPub, AutoCadErrorsPassThroughUnchangedAndAVanishedServerFails) {
    FakeDrawing drawing;
    setDrawing(drawing.document.get());
    drawing.utility->on(L"Prompt", [](auto&, WORD) -> Variant { throw FakeFailure{static_cast<HRESULT>(0x80200010), L"locked"}; });
    // The first handler registered for a name wins in the fake, so replace the utility outright.
    drawing.utility = FakeObject::make();
    drawing.utility->on(L"Prompt", [](auto&, WORD) -> Variant { throw FakeFailure{static_cast<HRESULT>(0x80200010), L"locked"}; });
    try {
        com::call(pub.get(), L"CmdPrompt", {Variant::fromString(L"x")});
        FAIL();
    } catch (const VbError& e) {
        EXPECT_EQ(static_cast<unsigned>(e.number()), 0x80200010u);
        EXPECT_EQ(e.description(), L"locked");
        EXPECT_EQ(e.source(), L"FakeCAD");
    }
    drawing.document->failEverything(static_cast<HRESULT>(0x80010108));  // RPC_E_DISCONNECTED
    EXPECT_EQ(static_cast<unsigned>(errorOf([&] { com::call(pub.get(), L"GetVersion"); })), 0x80010108u);
    EXPECT_NE(errorOf([&] { com::call(pub.get(), L"CheckESC"); }), 0);
    EXPECT_TRUE(com::call(pub.get(), L"GetPnt").isEmpty());
}

TEST_F(ClsPub, BadArgumentsGiveTheBasicErrorNumbers) {
    FakeDrawing drawing;
    setDrawing(drawing.document.get());
    Variant null;
    V_VT(null.get()) = VT_NULL;
    EXPECT_EQ(errorOf([&] { com::call(pub.get(), L"CmdPrompt", {null}); }), 13);
    EXPECT_EQ(errorOf([&] { com::call(pub.get(), L"CmdPrompt"); }), 449);
    EXPECT_EQ(errorOf([&] { com::call(pub.get(), L"GetPnt", {Variant(), Variant(), Variant()}); }), 450);
    // ThisDrawing takes only an object, by Set.
    EXPECT_EQ(errorOf([&] { com::put(pub.get(), L"ThisDrawing", Variant::fromString(L"doc")); }), 438);
    EXPECT_TRUE(drawing.prompts.empty());
}

TEST_F(ClsPub, EarlyBoundCallersReachTheSameMembers) {
    FakeDrawing drawing;
    auto early = pub.query<_clsPub>();
    ASSERT_TRUE(early);
    com::Bstr version;
    EXPECT_EQ(early->GetVersion(version.put()), static_cast<HRESULT>(0x800A005B)) << "no drawing yet";
    ASSERT_EQ(early->putref_ThisDrawing(drawing.document.get()), S_OK);
    ASSERT_EQ(early->GetVersion(version.put()), S_OK);
    EXPECT_EQ(version.str(), L"16");
    BSTR none = nullptr;
    VARIANT result;
    VariantInit(&result);
    ASSERT_EQ(early->CmdPrompt(&none, &result), S_OK);
    EXPECT_EQ(V_VT(&result), VT_EMPTY);
    ASSERT_EQ(drawing.prompts.size(), 1u);
    EXPECT_EQ(drawing.prompts[0], L"\r\n") << "a null BSTR reads as an empty text";
    // A failing member answers its error with error information for the interface: here a picker whose
    // document cannot pick, which ends with the pickers' cancel error.
    IDispatch* entity = nullptr;
    com::Bstr type(L"AcDbLine"), text, err;
    EXPECT_EQ(early->GetEntityEx(type.put(), text.put(), err.put(), &entity), static_cast<HRESULT>(0x80040005));
    com::ComPtr<IErrorInfo> info;
    ASSERT_EQ(GetErrorInfo(0, info.put()), S_OK);
    GUID guid{};
    info->GetGUID(&guid);
    EXPECT_TRUE(IsEqualGUID(guid, IID__clsPub));
}

TEST_F(ClsPub, PickPointIsEmptyOnAFreshThreadForEveryObject) {
    EXPECT_TRUE(com::call(pub.get(), L"GetPickPoint").isEmpty());
    auto other = library.create(CLSID_clsPub);
    EXPECT_TRUE(com::call(other.get(), L"GetPickPoint").isEmpty());
}

}  // namespace
}  // namespace kelva::sub::test
