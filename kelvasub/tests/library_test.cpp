#include "com/latebound.h"
#include "com/server.h"
#include "com/tests/server_check.h"
#include "library_fixture.h"

namespace kelva::sub::test {
namespace {

using com::Variant;

struct ClassFacts {
    const CLSID* clsid;
    const IID* iid;
    const wchar_t* progId;
    UINT functions;
};

const ClassFacts allClasses[] = {
    {&CLSID_clsPub, &IID__clsPub, L"KelvaSub.clsPub", 26},
    {&CLSID_clsIni, &IID__clsIni, L"KelvaSub.clsIni", 4},
    {&CLSID_clsFunc, &IID__clsFunc, L"KelvaSub.clsFunc", 61},
    {&CLSID_clsTriangle, &IID__clsTriangle, L"KelvaSub.clsTriangle", 21},
    {&CLSID_clsTable, &IID__clsTable, L"KelvaSub.clsTable", 11},
    {&CLSID_clsCLO, &IID__clsCLO, L"KelvaSub.clsCLO", 30},
    {&CLSID_clsCalculator, &IID__clsCalculator, L"KelvaSub.clsCalculator", 1},
    {&CLSID_clsExcelFile, &IID__clsExcelFile, L"KelvaSub.clsExcelFile", 16},
};

class TypeLibrary : public LibraryTest {};

TEST_F(TypeLibrary, CarriesTheFixedIdentity) {
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(library.module(), path, MAX_PATH);
    com::ComPtr<ITypeLib> lib;
    ASSERT_EQ(LoadTypeLibEx(path, REGKIND_NONE, lib.put()), S_OK);
    TLIBATTR* attr = nullptr;
    ASSERT_EQ(lib->GetLibAttr(&attr), S_OK);
    EXPECT_EQ(com::guidText(attr->guid), L"{3C8445F7-A3A3-4A4F-A451-800CE3BF4EF2}");
    EXPECT_EQ(attr->wMajorVerNum, 1);
    EXPECT_EQ(attr->wMinorVerNum, 0);
    EXPECT_EQ(attr->lcid, 0x409u);
    lib->ReleaseTLibAttr(attr);
    EXPECT_EQ(com::guidText(CLSID_clsPub), L"{D57DA70A-0108-4622-A3B1-51B3DEBD2C5A}");
    EXPECT_EQ(com::guidText(IID__clsPub), L"{411007DE-C99B-4BE2-8D37-8219FA5CFEE1}");
    EXPECT_EQ(com::guidText(CLSID_clsIni), L"{0F921B4C-3A54-4D01-99A5-F97576A1BE3C}");
    EXPECT_EQ(com::guidText(IID__clsIni), L"{2A554C32-78FB-4703-B62E-8B6BCFC8F5CF}");

    for (const auto& c : allClasses) {
        com::ComPtr<ITypeInfo> info;
        ASSERT_EQ(lib->GetTypeInfoOfGuid(*c.iid, info.put()), S_OK) << com::guidText(*c.iid);
        TYPEATTR* t = nullptr;
        info->GetTypeAttr(&t);
        EXPECT_TRUE(t->wTypeFlags & TYPEFLAG_FDUAL);
        EXPECT_TRUE(t->wTypeFlags & TYPEFLAG_FHIDDEN);
        EXPECT_TRUE(t->wTypeFlags & TYPEFLAG_FNONEXTENSIBLE);
        info->ReleaseTypeAttr(t);
        // The vtable half lists the class's own members.
        HREFTYPE ref;
        com::ComPtr<ITypeInfo> vtable;
        ASSERT_EQ(info->GetRefTypeOfImplType(-1, &ref), S_OK);
        ASSERT_EQ(info->GetRefTypeInfo(ref, vtable.put()), S_OK);
        vtable->GetTypeAttr(&t);
        EXPECT_EQ(t->cFuncs, c.functions) << c.progId;
        vtable->ReleaseTypeAttr(t);
    }
}

TEST_F(TypeLibrary, ClsPubDispatchIdentifiersAreTheFixedOnes) {
    auto pub = library.create(CLSID_clsPub);
    ASSERT_TRUE(pub);
    const std::pair<const wchar_t*, DISPID> fixed[] = {
        {L"ThisDrawing", 0x68030000}, {L"CmdPrompt", 0x60030002}, {L"XXX", 0x60030003},
        {L"DeleteDupEntity", 0x60030005}, {L"GetVersion", 0x60030008}, {L"CheckESC", 0x6003000C},
        {L"GetPnt", 0x6003000D}, {L"GetPickPoint", 0x6003000E}, {L"GetEntityEx", 0x6003000F},
        {L"GetSubObj", 0x60030018}, {L"LspEnt", 0x6003001C},
    };
    for (const auto& [name, id] : fixed) {
        LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
        DISPID got = 0;
        ASSERT_EQ(pub->GetIDsOfNames(IID_NULL, names, 1, 0, &got), S_OK) << name;
        EXPECT_EQ(got, id) << name;
    }
    auto ini = library.create(CLSID_clsIni);
    LPOLESTR readIni[] = {const_cast<LPOLESTR>(L"ReadIni")};
    DISPID got = 0;
    ini->GetIDsOfNames(IID_NULL, readIni, 1, 0, &got);
    EXPECT_EQ(got, 0x60030003);
}

// The default an early-bound caller reads from the type library for a left-out argument (VT_EMPTY when
// the parameter has none).
Variant storedDefault(ITypeLib* lib, REFIID iid, const wchar_t* member, int param) {
    com::ComPtr<ITypeInfo> info;
    if (FAILED(lib->GetTypeInfoOfGuid(iid, info.put()))) return {};
    LPOLESTR names[] = {const_cast<LPOLESTR>(member)};
    MEMBERID id = 0;
    if (FAILED(info->GetIDsOfNames(names, 1, &id))) return {};
    TYPEATTR* t = nullptr;
    info->GetTypeAttr(&t);
    Variant out;
    for (UINT f = 0; f < t->cFuncs; ++f) {
        FUNCDESC* fd = nullptr;
        if (FAILED(info->GetFuncDesc(f, &fd))) continue;
        if (fd->memid == id && param < fd->cParams) {
            const PARAMDESC& p = fd->lprgelemdescParam[param].paramdesc;
            if ((p.wParamFlags & PARAMFLAG_FHASDEFAULT) && p.pparamdescex) out = Variant(p.pparamdescex->varDefaultValue);
        }
        info->ReleaseFuncDesc(fd);
    }
    info->ReleaseTypeAttr(t);
    return out;
}

double numberOf(const Variant& v) {
    Variant d;
    if (FAILED(VariantChangeType(d.get(), const_cast<VARIANT*>(v.get()), 0, VT_R8))) return -999;
    return V_R8(d.get());
}

TEST_F(TypeLibrary, StoresTheNumericDefaultsOfOptionalParameters) {
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(library.module(), path, MAX_PATH);
    com::ComPtr<ITypeLib> lib;
    ASSERT_EQ(LoadTypeLibEx(path, REGKIND_NONE, lib.put()), S_OK);
    struct Expected {
        const IID* iid;
        const wchar_t* member;
        int param;
        double value;
    };
    const Expected numbers[] = {
        {&IID__clsFunc, L"RoundUp", 1, 3},       {&IID__clsFunc, L"RoundDown", 1, 3},
        {&IID__clsFunc, L"DEG2DMS", 1, 2},       {&IID__clsFunc, L"DEG2DMS", 2, 1},
        {&IID__clsFunc, L"SwapSort", 1, -1},     {&IID__clsFunc, L"SwapSort", 2, 1},
        {&IID__clsFunc, L"SortTextX", 2, 0},     {&IID__clsFunc, L"SortTextZ", 2, 0},
        {&IID__clsFunc, L"SortListZ", 1, 0},     {&IID__clsFunc, L"SortSelIN_R", 2, 0},
        {&IID__clsFunc, L"AlphanumSortMA", 4, 0}, {&IID__clsExcelFile, L"WriteValue", 7, 0},
    };
    for (const auto& e : numbers) {
        const Variant d = storedDefault(lib.get(), *e.iid, e.member, e.param);
        ASSERT_NE(d.vt(), VT_EMPTY) << e.member << " parameter " << e.param;
        EXPECT_EQ(numberOf(d), e.value) << e.member << " parameter " << e.param;
    }
    const Variant readIni = storedDefault(lib.get(), IID__clsIni, L"ReadIni", 3);
    ASSERT_EQ(readIni.vt(), VT_BSTR);
    EXPECT_EQ(com::toWString(V_BSTR(readIni.get())), L"");
    // A parameter the caller may leave out without a default of its own has none; neither has a Double
    // whose default widl cannot store faithfully (the code gives it).
    EXPECT_EQ(storedDefault(lib.get(), IID__clsFunc, L"PortionNumber", 2).vt(), VT_EMPTY);
    EXPECT_EQ(storedDefault(lib.get(), IID__clsCLO, L"GetClothoidADER", 3).vt(), VT_EMPTY);
}

TEST_F(TypeLibrary, EveryClassIsCreatableAndAnswersThroughItsTable) {
    for (const auto& c : allClasses) {
        auto object = library.create(*c.clsid);
        ASSERT_TRUE(object) << c.progId;
        com::ComPtr<IUnknown> early;
        EXPECT_EQ(object->QueryInterface(*c.iid, early.putVoid()), S_OK);
        com::ComPtr<ISupportErrorInfo> support = object.query<ISupportErrorInfo>();
        ASSERT_TRUE(support);
        EXPECT_EQ(support->InterfaceSupportsErrorInfo(*c.iid), S_OK);
    }
    // Defaults and write-back rules name real members: a bad name would switch the class's dispatch
    // table off and fail every call, so one ordinary call per class must go through.
    auto clo = library.create(CLSID_clsCLO);
    Variant factorial = com::call(clo.get(), L"GetFactorial", {Variant::fromInt16(3)});
    VARIANT asDouble;
    VariantInit(&asDouble);
    ASSERT_EQ(VariantChangeType(&asDouble, factorial.get(), 0, VT_R8), S_OK);
    EXPECT_EQ(V_R8(&asDouble), 6.0);
    auto calc = library.create(CLSID_clsCalculator);
    Variant sum = com::call(calc.get(), L"Txt_Calculate", {Variant::fromString(L"1+1")});
    ASSERT_EQ(sum.vt(), VT_BSTR);
    EXPECT_EQ(com::toWString(V_BSTR(sum.get())), L"2");
    auto pub = library.create(CLSID_clsPub);
    EXPECT_EQ(errorOf([&] { com::call(pub.get(), L"CheckESC", {}); }), 91);  // reached the member: no drawing yet
    auto table = library.create(CLSID_clsTable);
    EXPECT_EQ(errorOf([&] { com::call(table.get(), L"GetMergeText", {Variant::fromString(L"R1C1:R2C2")}); }), 0);
    auto xls = library.create(CLSID_clsExcelFile);
    EXPECT_EQ(errorOf([&] { com::call(xls.get(), L"CloseFile", {}); }), 0);
}

TEST_F(TypeLibrary, SelfRegistrationWritesEveryClassAndTakesItAway) {
    com::test::RegistrySandbox sandbox;
    using Entry = HRESULT STDAPICALLTYPE();
    ASSERT_EQ(library.entry<Entry>("DllRegisterServer")(), S_OK);
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(library.module(), path, MAX_PATH);
    for (const auto& c : allClasses) {
        const std::wstring key = L"CLSID\\" + com::guidText(*c.clsid);
        EXPECT_EQ(sandbox.read(key + L"\\InprocServer32"), path);
        EXPECT_EQ(sandbox.read(key + L"\\InprocServer32", L"ThreadingModel"), L"Apartment");
        EXPECT_EQ(sandbox.read(std::wstring(c.progId) + L"\\CLSID"), com::guidText(*c.clsid));
    }
    EXPECT_NE(sandbox.read(L"TypeLib\\" + com::guidText(LIBID_KelvaSub) + L"\\1.0"), L"<absent>");
    ASSERT_EQ(library.entry<Entry>("DllUnregisterServer")(), S_OK);
    for (const auto& c : allClasses) {
        EXPECT_EQ(sandbox.read(std::wstring(c.progId) + L"\\CLSID"), L"<absent>");
        EXPECT_EQ(sandbox.read(L"CLSID\\" + com::guidText(*c.clsid) + L"\\InprocServer32"), L"<absent>");
    }
    EXPECT_EQ(sandbox.read(L"TypeLib\\" + com::guidText(LIBID_KelvaSub) + L"\\1.0"), L"<absent>");
}

TEST_F(TypeLibrary, CanUnloadOnlyWhenNoObjectIsAlive) {
    using Entry = HRESULT STDAPICALLTYPE();
    auto canUnload = library.entry<Entry>("DllCanUnloadNow");
    ASSERT_TRUE(canUnload);
    EXPECT_EQ(canUnload(), S_OK);
    {
        auto pub = library.create(CLSID_clsPub);
        EXPECT_EQ(canUnload(), S_FALSE);
    }
    EXPECT_EQ(canUnload(), S_OK);
}

TEST_F(TypeLibrary, EveryClassCreatedAndReleasedLeavesTheLibraryUnloadable) {
    com::test::expectEveryClassReleasesCleanly(library.module());
}

}  // namespace
}  // namespace kelva::sub::test
