#include <cstring>
#include <functional>
#include <set>

#include "acadsim/com/objects.h"
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

com::ComPtr<ITypeLib> embeddedLibrary(HMODULE module) {
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(module, path, MAX_PATH);
    com::ComPtr<ITypeLib> lib;
    LoadTypeLibEx(path, REGKIND_NONE, lib.put());
    return lib;
}

Variant integer(short v) { return Variant::fromInt16(v); }
Variant longInteger(long v) { return Variant::fromInt32(v); }
Variant number(double v) { return Variant::fromDouble(v); }
Variant text(const wchar_t* v) { return Variant::fromString(v); }
Variant boolean(bool v) { return Variant::fromBool(v); }

// Same type and the very same value: what an early-bound caller passes must be exactly the default.
bool sameValue(const Variant& a, const Variant& b) {
    if (a.vt() != b.vt()) return false;
    switch (a.vt()) {
    case VT_BSTR: return com::toWString(V_BSTR(a.get())) == com::toWString(V_BSTR(b.get()));
    case VT_R8: return V_R8(a.get()) == V_R8(b.get());
    case VT_I4: return V_I4(a.get()) == V_I4(b.get());
    case VT_I2: return V_I2(a.get()) == V_I2(b.get());
    case VT_BOOL: return V_BOOL(a.get()) == V_BOOL(b.get());
    default: return false;
    }
}

std::wstring describe(const Variant& v) {
    if (v.vt() == VT_EMPTY) return L"no default";
    Variant shown;
    VariantChangeType(shown.get(), const_cast<VARIANT*>(v.get()), VARIANT_ALPHABOOL, VT_BSTR);
    return L"vt " + std::to_wstring(v.vt()) + L" \"" + com::toWString(V_BSTR(shown.get())) + L"\"";
}

TEST_F(TypeLibrary, EveryOptionalParameterCarriesItsDefault) {
    const auto lib = embeddedLibrary(library.module());
    ASSERT_TRUE(lib);
    struct Stated {
        const wchar_t* param;
        Variant value;
    };
    struct Member {
        const wchar_t* interfaceName;
        const wchar_t* member;
        std::vector<Stated> defaults;
    };
    const std::wstring pick = L"\r\n\uAC1D\uCCB4 \uC120\uD0DD: ";  // "객체 선택: " on a new line
    // The defaults of the library's optional parameters, as the classes' members define them. An optional
    // parameter not listed has no default (a missing Variant, or a value its member treats as left out).
    const Member table[] = {
        {L"_clsPub", L"GetPnt", {{L"sPrmpt", text(L"\r\n\uC810 \uC120\uD0DD: ")}}},  // 점 선택
        {L"_clsPub", L"GetEntityEx", {{L"sPrmpt", text(pick.c_str())}}},
        {L"_clsPub", L"GetEntityName", {{L"sPrmpt", text(pick.c_str())}}},
        {L"_clsPub", L"GetObj", {{L"sPrmpt", text(pick.c_str())}}},
        {L"_clsPub", L"GetArc", {{L"sPrmpt", text(L"\r\n\uD638 \uC120\uD0DD: ")}}},  // 호 선택
        {L"_clsPub", L"GetCurve", {{L"sPrmpt", text(pick.c_str())}}},
        {L"_clsPub", L"GetPLine", {{L"sPrmpt", text(L"\r\n\uD3F4\uB9AC\uC120 \uC120\uD0DD: ")}}},  // 폴리선 선택
        {L"_clsPub", L"GetText", {{L"sPrmpt", text(L"\r\n\uBB38\uC790 \uC120\uD0DD: ")}}},  // 문자 선택
        {L"_clsPub", L"GetLine", {{L"sPrmpt", text(L"\r\n\uC120 \uC120\uD0DD: ")}}},  // 선 선택
        {L"_clsPub", L"GetCircle", {{L"sPrmpt", text(L"\r\n\uC6D0 \uC120\uD0DD: ")}}},  // 원 선택
        {L"_clsPub", L"GetSubObj", {{L"sPrmpt", text(pick.c_str())}}},
        {L"_clsPub", L"CreateSelSet", {{L"sSelSetName", text(L"SelSet")}}},
        {L"_clsIni", L"ReadIni", {{L"sDefault", text(L"")}}},
        {L"_clsFunc", L"RoundUp", {{L"iPlace", integer(3)}}},
        {L"_clsFunc", L"RoundDown", {{L"iPlace", integer(3)}}},
        {L"_clsFunc", L"SwapSort", {{L"bCaps", boolean(true)}, {L"Direction", integer(1)}}},
        {L"_clsFunc", L"SortTextX", {{L"dTWAng", number(0)}}},
        {L"_clsFunc", L"SortTextY", {{L"dTWAng", number(0)}}},
        {L"_clsFunc", L"SortTextYX", {{L"dTWAng", number(0)}}},
        {L"_clsFunc", L"SortTextXY", {{L"dTWAng", number(0)}}},
        {L"_clsFunc", L"SortTextTable", {{L"dTWAng", number(0)}}},
        {L"_clsFunc", L"SortTextZ", {{L"dTWAng", number(0)}}},
        {L"_clsFunc", L"SortListZ", {{L"dTol", number(0)}, {L"dTWAng", number(0)}}},
        {L"_clsFunc", L"SortListN", {{L"dTol", number(0)}, {L"dTWAng", number(0)}}},
        {L"_clsFunc", L"SortListIN", {{L"dTol", number(0)}, {L"dTWAng", number(0)}}},
        {L"_clsFunc", L"SortListX", {{L"dTWAng", number(0)}}},
        {L"_clsFunc", L"SortListY", {{L"dTWAng", number(0)}}},
        {L"_clsFunc", L"SortSelZ", {{L"dTol", number(0)}, {L"dTWAng", number(0)}}},
        {L"_clsFunc", L"SortSelZ_R", {{L"dTol", number(0)}, {L"dTWAng", number(0)}}},
        {L"_clsFunc", L"SortSelIZ_R", {{L"dTol", number(0)}, {L"dTWAng", number(0)}}},
        {L"_clsFunc", L"SortSelN_R", {{L"dTol", number(0)}, {L"dTWAng", number(0)}}},
        {L"_clsFunc", L"SortSelIN_R", {{L"dTol", number(0)}, {L"dTWAng", number(0)}}},
        {L"_clsFunc", L"SortSelIZ", {{L"dTol", number(0)}, {L"dTWAng", number(0)}}},
        {L"_clsFunc", L"SortSelN", {{L"dTol", number(0)}, {L"dTWAng", number(0)}}},
        {L"_clsFunc", L"SortSelIN", {{L"dTol", number(0)}, {L"dTWAng", number(0)}}},
        {L"_clsFunc", L"FindFile", {{L"sPath", text(L"")}}},
        {L"_clsFunc", L"LaunchBrowser", {{L"State", longInteger(3)}}},
        {L"_clsFunc", L"AlphanumSort", {{L"bSortDesc", boolean(false)}}},
        {L"_clsFunc", L"AlphanumSortMA", {{L"bSortDesc", boolean(false)}, {L"iMin", longInteger(0)}, {L"iMax", longInteger(0)}}},
        {L"_clsFunc", L"DEG2DMS", {{L"iDecimal", integer(2)}, {L"iOpt", integer(1)}}},
        {L"_clsCLO", L"GetClothoidADER", {{L"dRatio", number(1.0)}}},
        {L"_clsCLO", L"GetClothoidASR", {{L"dRatio", number(1.0)}}},
        {L"_clsCLO", L"GetGoalSeekDE", {{L"dRatio", number(1.0)}}},
        {L"_clsCLO", L"GetGoalSeekS", {{L"dRatio", number(1.0)}}},
        {L"_clsExcelFile", L"WriteValue", {{L"CellFormat", longInteger(0)}}},
    };
    std::set<std::wstring> found;
    for (const auto& c : allClasses) {
        com::ComPtr<ITypeInfo> dispatch, vtable;
        ASSERT_EQ(lib->GetTypeInfoOfGuid(*c.iid, dispatch.put()), S_OK);
        HREFTYPE ref;
        ASSERT_EQ(dispatch->GetRefTypeOfImplType(-1, &ref), S_OK);
        ASSERT_EQ(dispatch->GetRefTypeInfo(ref, vtable.put()), S_OK);
        com::Bstr interfaceName;
        dispatch->GetDocumentation(MEMBERID_NIL, interfaceName.put(), nullptr, nullptr, nullptr);
        // Both halves of the dual interface: an early-bound caller reads the vtable's.
        for (ITypeInfo* info : {dispatch.get(), vtable.get()}) {
            TYPEATTR* t = nullptr;
            ASSERT_EQ(info->GetTypeAttr(&t), S_OK);
            for (UINT f = 0; f < t->cFuncs; ++f) {
                FUNCDESC* fd = nullptr;
                ASSERT_EQ(info->GetFuncDesc(f, &fd), S_OK);
                BSTR names[32] = {};
                UINT named = 0;
                info->GetNames(fd->memid, names, 32, &named);
                const std::wstring member = com::toWString(names[0]);
                for (SHORT p = 0; p < fd->cParams && p + 1 < static_cast<SHORT>(named); ++p) {
                    const PARAMDESC& d = fd->lprgelemdescParam[p].paramdesc;
                    if (!(d.wParamFlags & (PARAMFLAG_FOPT | PARAMFLAG_FHASDEFAULT))) continue;
                    const std::wstring param = com::toWString(names[p + 1]);
                    const Variant stored = (d.wParamFlags & PARAMFLAG_FHASDEFAULT) && d.pparamdescex
                                               ? Variant(d.pparamdescex->varDefaultValue)
                                               : Variant();
                    const Variant* expected = nullptr;
                    for (const auto& m : table)
                        if (interfaceName.str() == m.interfaceName && member == m.member)
                            for (const auto& s : m.defaults)
                                if (param == s.param) expected = &s.value;
                    const std::wstring where = interfaceName.str() + L"." + member + L" " + param;
                    if (expected) {
                        EXPECT_TRUE(d.wParamFlags & PARAMFLAG_FOPT) << where;
                        EXPECT_TRUE(sameValue(stored, *expected))
                            << where << ": " << describe(stored) << ", wanted " << describe(*expected);
                        found.insert(where);
                    } else {
                        EXPECT_EQ(stored.vt(), VT_EMPTY) << where << " has a default of its own: " << describe(stored);
                    }
                }
                for (UINT k = 0; k < named; ++k) SysFreeString(names[k]);
                info->ReleaseFuncDesc(fd);
            }
            info->ReleaseTypeAttr(t);
        }
    }
    size_t listed = 0;
    for (const auto& m : table) listed += m.defaults.size();
    EXPECT_EQ(found.size(), listed) << "every default of the table is a parameter of the library";
}

// The system's loader reads the library's segments and member blocks in place as 4-byte aligned data; only
// Wine's, which copies bytes, would overlook a library laid out otherwise.
TEST_F(TypeLibrary, SegmentsAndMemberBlocksLieOnFourByteBoundaries) {
    HRSRC found = FindResourceW(library.module(), MAKEINTRESOURCEW(1), L"TYPELIB");
    ASSERT_NE(found, nullptr);
    const auto* bytes = static_cast<const unsigned char*>(LockResource(LoadResource(library.module(), found)));
    const DWORD size = SizeofResource(library.module(), found);
    ASSERT_NE(bytes, nullptr);
    const auto at = [&](DWORD offset) -> LONG {
        if (offset > size || size - offset < 4) {
            ADD_FAILURE() << "read past the library's end at " << offset;
            return 0;
        }
        LONG v;
        std::memcpy(&v, bytes + offset, 4);
        return v;
    };
    ASSERT_EQ(at(0), 0x5446534D) << "MSFT";
    EXPECT_EQ(size % 4, 0u);
    const LONG types = at(0x20);
    ASSERT_GT(types, 0);
    const DWORD directory = 0x54 + ((at(0x14) & 0x100) ? 4 : 0) + 4 * static_cast<DWORD>(types);
    constexpr int kSegments = 15, kTypeInfoSize = 0x64;
    LONG typeInfos = -1;
    int present = 0;
    for (int s = 0; s < kSegments; ++s) {
        const LONG offset = at(directory + 16 * s), length = at(directory + 16 * s + 4);
        if (offset < 0) continue;
        ++present;
        if (s == 0) typeInfos = offset;
        EXPECT_EQ(offset % 4, 0) << "segment " << s << " starts at " << offset;
        EXPECT_EQ(length % 4, 0) << "segment " << s << " is " << length << " bytes";
    }
    EXPECT_GE(present, 10);
    ASSERT_GE(typeInfos, 0);
    for (LONG t = 0; t < types; ++t) {
        const LONG members = at(static_cast<DWORD>(typeInfos + kTypeInfoSize * t + 4));
        EXPECT_EQ(members % 4, 0) << "the members of type " << t << " start at " << members;
    }
}

// An early-bound caller that leaves an optional argument out passes the type library's default for it
// (the zero value of the type when there is none) straight to the vtable; it must get what a late-bound
// caller gets when the member applies its own default.
TEST_F(TypeLibrary, EarlyBoundCallsLeavingArgumentsOutGetTheLateBoundResults) {
    const auto lib = embeddedLibrary(library.module());
    ASSERT_TRUE(lib);
    const auto early = [&](REFIID iid, const wchar_t* member, int param, VARTYPE vt) {
        Variant v = storedDefault(lib.get(), iid, member, param);
        Variant typed;
        EXPECT_EQ(VariantChangeType(typed.get(), v.get(), 0, vt), S_OK) << member;
        return typed;
    };

    // The solver drives the ratio-1 formula: the same solution and success flag as late-bound.
    auto clo = library.create(CLSID_clsCLO);
    auto cloTable = clo.query<_clsCLO>();
    ASSERT_TRUE(cloTable);
    const Variant target = com::call(clo.get(), L"GetClothoidADE", {number(100), number(200), number(80)});
    const Variant lateSolution = com::call(clo.get(), L"GetGoalSeekDE", {number(100), number(200), number(60), target});
    double r1 = 100, r2 = 200;
    double ratio = V_R8(early(IID__clsCLO, L"GetGoalSeekDE", 7, VT_R8).get());
    Variant init = number(60), goal = target, guess = Variant::missing(), accuracy = Variant::missing(),
            positive = Variant::missing(), earlySolution;
    ASSERT_EQ(cloTable->GetGoalSeekDE(&r1, &r2, init.get(), goal.get(), guess.get(), accuracy.get(), positive.get(),
                                      &ratio, earlySolution.put()),
              S_OK);
    ASSERT_EQ(lateSolution.vt(), VT_ARRAY | VT_VARIANT);
    ASSERT_EQ(earlySolution.vt(), VT_ARRAY | VT_VARIANT);
    for (LONG k = 0; k < 2; ++k) {
        Variant a, b;
        SafeArrayGetElement(V_ARRAY(lateSolution.get()), &k, a.get());
        SafeArrayGetElement(V_ARRAY(earlySolution.get()), &k, b.get());
        EXPECT_TRUE(sameValue(a, b)) << "element " << k << ": " << describe(b) << ", late-bound " << describe(a);
    }

    // The selection set and the point prompt on the stand-in's drawing.
    auto acad = acad::sim::createInstance({});
    auto document = com::getObject(acad.application.get(), L"ActiveDocument");
    auto pub = library.create(CLSID_clsPub);
    auto pubTable = pub.query<_clsPub>();
    ASSERT_TRUE(pubTable);
    com::put(pub.get(), L"ThisDrawing", Variant::fromDispatch(document.get()));

    // (Each call deletes a set of the name it makes first, so the late-bound set's name is read at once.)
    const auto lateSet = com::getObject(pub.get(), L"CreateSelSet");
    ASSERT_TRUE(lateSet);
    const std::wstring lateName = com::asString(com::get(lateSet.get(), L"Name"));
    Variant setName = early(IID__clsPub, L"CreateSelSet", 0, VT_BSTR);
    com::ComPtr<IDispatch> earlySet;
    ASSERT_EQ(pubTable->CreateSelSet(&V_BSTR(setName.get()), earlySet.put()), S_OK);
    EXPECT_TRUE(earlySet) << "Nothing instead of the set named " << lateName;
    if (earlySet) EXPECT_EQ(com::asString(com::get(earlySet.get(), L"Name")), lateName);

    const auto commandLineOfGetPnt = [&](const std::function<void()>& call) {
        com::call(acad.control.get(), L"ClearCommandLine");
        com::call(acad.control.get(), L"QueuePoint", {number(1), number(2)});
        call();
        return com::asString(com::get(acad.control.get(), L"CommandLine"));
    };
    const std::wstring late = commandLineOfGetPnt([&] { com::call(pub.get(), L"GetPnt"); });
    const std::wstring earlyLine = commandLineOfGetPnt([&] {
        Variant base = Variant::missing(), point;
        Variant prompt = early(IID__clsPub, L"GetPnt", 1, VT_BSTR);
        EXPECT_EQ(pubTable->GetPnt(base.get(), &V_BSTR(prompt.get()), point.put()), S_OK);
    });
    EXPECT_NE(late.find(L"\uC810 \uC120\uD0DD: "), std::wstring::npos) << "the point prompt on the command line";
    EXPECT_EQ(earlyLine, late);
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
