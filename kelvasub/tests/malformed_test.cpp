// Every member of every class of the library, called late-bound with arguments no script sends: each is
// refused before anything reads it, leaves the argument as it was, and the process lives on.
#include <cstring>
#include <iostream>

#include "com/tests/malformed.h"
#include "library_fixture.h"

namespace kelva::sub::test {
namespace {

namespace mf = com::test::malformed;

const CLSID* const everyClass[] = {&CLSID_clsPub,   &CLSID_clsIni, &CLSID_clsFunc,       &CLSID_clsTriangle,
                                   &CLSID_clsTable, &CLSID_clsCLO, &CLSID_clsCalculator, &CLSID_clsExcelFile};

class MalformedArguments : public LibraryTest {
protected:
    mf::Table table;
};

TEST_F(MalformedArguments, AreRefusedByEveryMemberOfEveryClass) {
    mf::Tally all;
    for (const CLSID* clsid : everyClass) {
        auto object = library.create(*clsid);
        ASSERT_TRUE(object);
        const mf::Tally t = mf::sendToEveryMember(object.get(), table.malformed(), true);
        EXPECT_GT(t.members, 0);
        all.members += t.members;
        all.calls += t.calls;
    }
    std::cout << all.calls << " calls of " << table.malformed().size() << " malformed arguments over " << all.members
              << " members\n";
    using CanUnload = HRESULT STDAPICALLTYPE();
    EXPECT_EQ(library.entry<CanUnload>("DllCanUnloadNow")(), S_OK) << "every object is gone";
}

TEST_F(MalformedArguments, OddButWellFormedArraysNeverCrashAReader) {
    mf::Tally all;
    for (const CLSID* clsid : everyClass) {
        auto object = library.create(*clsid);
        ASSERT_TRUE(object);
        const mf::Tally t = mf::sendToEveryMember(object.get(), table.odd(), false);
        all.calls += t.calls;
    }
    std::cout << all.calls << " calls with odd arrays where a point or list is read\n";
    EXPECT_GT(all.calls, 0);
}

// An early-bound caller passes its VARIANTs straight to the vtable: the readers check them themselves.
TEST_F(MalformedArguments, EarlyBoundReadersCheckTheirVariantsToo) {
    auto func = library.create(CLSID_clsFunc).query<_clsFunc>();
    auto lines = library.create(CLSID_clsTable).query<_clsTable>();
    auto clo = library.create(CLSID_clsCLO).query<_clsCLO>();
    auto pub = library.create(CLSID_clsPub).query<_clsPub>();
    ASSERT_TRUE(func && lines && clo && pub);
    com::Variant point = com::Variant::fromDoubles({1, 2, 0});
    for (const auto& c : table.malformed()) {
        VARIANT arg = c.arg;
        double d = 0;
        VARIANT out;
        VariantInit(&out);
        EXPECT_EQ(func->Length(arg, *point.get(), &d), c.expected) << "Length: " << c.name;
        EXPECT_EQ(func->GetOffsetPoint(arg, 0, 1, &out), c.expected) << "GetOffsetPoint: " << c.name;
        EXPECT_EQ(func->IsEqual(*point.get(), arg, arg, &out.boolVal), c.expected) << "IsEqual: " << c.name;
        EXPECT_EQ(func->SortListZ(&arg, &d, &d, &out), c.expected) << "SortListZ: " << c.name;
        short k = 0;
        VARIANT_BOOL b = 0;
        EXPECT_EQ(lines->IsColLine(&arg, &arg, &k, &k, &k, &d, &b), c.expected) << "IsColLine: " << c.name;
        VARIANT value = arg;
        EXPECT_EQ(clo->FindDRCalc(&value, &value, &d), c.expected) << "FindDRCalc: " << c.name;
        double bulge = 1;
        EXPECT_EQ(pub->GetRadiusFromBulge(&bulge, &arg, point.get(), &out), c.expected) << "GetRadiusFromBulge: " << c.name;
        EXPECT_EQ(std::memcmp(&arg, &c.arg, sizeof arg), 0) << c.name;
        VariantClear(&out);
    }
}

}  // namespace
}  // namespace kelva::sub::test
