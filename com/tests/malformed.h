#pragma once
// Arguments a hostile or buggy in-process caller can hand to IDispatch::Invoke, and a driver that sends
// each of them through every member an object's type information lists, at every parameter position.
// Header only, on the raw automation API, so that any server's tests can use it.
//
// Every malformed argument must be refused before anything reads it: DISP_E_BADVARTYPE for a type no
// VARIANT can hold, error 5 (0x800A0005 in EXCEPINFO) for the rest; the argument is left as it was and
// puArgErr names it. Odd but well-formed arrays (no array, empty, 2-D, odd lower bounds) may be taken or
// refused, but never crash a member, and a refused call leaves them as they were.
#include <gtest/gtest.h>
#include <oaidl.h>
#include <oleauto.h>
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace kelva::com::test::malformed {

inline constexpr HRESULT kInvalidCall = static_cast<HRESULT>(0x800A0005);

struct Case {
    std::string name;
    VARIANT arg{};
    HRESULT expected = S_OK;  // DISP_E_BADVARTYPE or kInvalidCall; S_OK for an odd but well-formed one
    // Memory the argument reaches (its own bytes are always watched): it must be the same after the call.
    std::vector<std::pair<const void*, std::size_t>> reached;
};

// Owns every argument of both tables and everything they point at.
class Table {
public:
    Table() {
        build();
        buildOdd();
    }
    ~Table() {
        // Elements of the Variant arrays point at each other and at broken things: let none be cleared.
        for (SAFEARRAY* a : arrays_)
            if (a->fFeatures & FADF_VARIANT) std::memset(a->pvData, 0, a->rgsabound[0].cElements * sizeof(VARIANT));
        for (SAFEARRAY* a : arrays_) SafeArrayDestroy(a);
    }
    Table(const Table&) = delete;
    Table& operator=(const Table&) = delete;

    const std::vector<Case>& malformed() const { return malformed_; }
    const std::vector<Case>& odd() const { return odd_; }

private:
    VARIANT* cell() { return &cells_.emplace_back(VARIANT{}); }

    SAFEARRAY* vector(VARTYPE vt, LONG lower, ULONG count) {
        SAFEARRAY* a = SafeArrayCreateVector(vt, lower, count);
        arrays_.push_back(a);
        return a;
    }

    SAFEARRAY* doubles(LONG lower, std::vector<double> values) {
        SAFEARRAY* a = vector(VT_R8, lower, static_cast<ULONG>(values.size()));
        if (!values.empty()) std::memcpy(a->pvData, values.data(), values.size() * sizeof(double));
        return a;
    }

    // A descriptor made by hand, as a careless caller fills one in: no allocator behind it.
    SAFEARRAY* raw(USHORT dims, ULONG elementSize, USHORT features, void* data, std::vector<SAFEARRAYBOUND> bounds) {
        auto& block = raws_.emplace_back(sizeof(SAFEARRAY) + sizeof(SAFEARRAYBOUND) * (bounds.size() + 1));
        auto* a = reinterpret_cast<SAFEARRAY*>(block.data());
        a->cDims = dims;
        a->cbElements = elementSize;
        a->fFeatures = features;
        a->pvData = data;
        for (std::size_t d = 0; d < bounds.size(); ++d) a->rgsabound[d] = bounds[d];
        return a;
    }

    static VARIANT of(VARTYPE vt, void* ref) {
        VARIANT v{};
        V_VT(&v) = vt;
        V_BYREF(&v) = ref;
        return v;
    }

    static VARIANT arrayVariant(VARTYPE vt, SAFEARRAY* a) {
        VARIANT v{};
        V_VT(&v) = vt;
        V_ARRAY(&v) = a;
        return v;
    }

    void add(std::vector<Case>& to, std::string name, VARIANT arg, HRESULT expected,
             std::vector<std::pair<const void*, std::size_t>> reached = {}) {
        to.push_back({std::move(name), arg, expected, std::move(reached)});
    }

    void build() {
        auto& t = malformed_;
        static double stored = 1.5;

        // Types no VARIANT holds.
        VARIANT unknown{};
        V_VT(&unknown) = 0x7FFF;
        add(t, "vt 0x7FFF", unknown, DISP_E_BADVARTYPE);
        VARIANT undefined{};
        V_VT(&undefined) = 15;
        add(t, "vt 15", undefined, DISP_E_BADVARTYPE);
        add(t, "VT_VECTOR|VT_I4", of(VT_VECTOR | VT_I4, &stored), DISP_E_BADVARTYPE);
        add(t, "VT_RESERVED|VT_R8", of(VT_RESERVED | VT_R8, nullptr), DISP_E_BADVARTYPE);
        add(t, "VT_BYREF|VT_EMPTY", of(VT_BYREF | VT_EMPTY, &stored), DISP_E_BADVARTYPE);
        add(t, "VT_BYREF|VT_NULL", of(VT_BYREF | VT_NULL, &stored), DISP_E_BADVARTYPE);
        add(t, "VT_VARIANT by value", of(VT_VARIANT, &stored), DISP_E_BADVARTYPE);
        add(t, "VT_ARRAY|VT_NULL", arrayVariant(VT_ARRAY | VT_NULL, doubles(0, {1, 2})), DISP_E_BADVARTYPE);
        add(t, "VT_ARRAY|VT_LPSTR", arrayVariant(VT_ARRAY | VT_LPSTR, doubles(0, {1, 2})), DISP_E_BADVARTYPE);

        // By-reference types whose pointer is null.
        const VARTYPE referenced[] = {VT_I2, VT_I4, VT_R8, VT_BOOL, VT_BSTR, VT_VARIANT, VT_DISPATCH, VT_UNKNOWN,
                                      VT_DECIMAL, VT_ARRAY | VT_R8, VT_ARRAY | VT_VARIANT, VT_ARRAY | VT_BSTR};
        for (VARTYPE vt : referenced)
            add(t, "VT_BYREF|" + std::to_string(vt) + " null", of(VT_BYREF | vt, nullptr), kInvalidCall);

        // Variant references that never end, or end too late, or end at a null reference.
        VARIANT* self = cell();
        *self = of(VT_BYREF | VT_VARIANT, self);
        add(t, "reference to itself", *self, kInvalidCall, {{self, sizeof(VARIANT)}});
        VARIANT* a = cell();
        VARIANT* b = cell();
        *a = of(VT_BYREF | VT_VARIANT, b);
        *b = of(VT_BYREF | VT_VARIANT, a);
        add(t, "two references to each other", *a, kInvalidCall, {{a, sizeof(VARIANT)}, {b, sizeof(VARIANT)}});
        VARIANT* end = cell();
        V_VT(end) = VT_R8;
        V_R8(end) = 2.5;
        VARIANT* link = end;
        for (int i = 0; i < 6; ++i) {
            VARIANT* next = cell();
            *next = of(VT_BYREF | VT_VARIANT, link);
            link = next;
        }
        add(t, "six references to a number", *link, kInvalidCall, {{link, sizeof(VARIANT)}});
        VARIANT* nullTyped = cell();
        *nullTyped = of(VT_BYREF | VT_R8, nullptr);
        add(t, "reference to a null VT_BYREF|VT_R8", of(VT_BYREF | VT_VARIANT, nullTyped), kInvalidCall,
            {{nullTyped, sizeof(VARIANT)}});
        VARIANT* badInside = cell();
        V_VT(badInside) = 0x7FFF;
        add(t, "reference to vt 0x7FFF", of(VT_BYREF | VT_VARIANT, badInside), DISP_E_BADVARTYPE,
            {{badInside, sizeof(VARIANT)}});

        VARIANT record{};
        V_VT(&record) = VT_RECORD;
        add(t, "VT_RECORD without record information", record, kInvalidCall);

        // Broken array descriptors.
        static double data[4] = {1, 2, 3, 4};
        add(t, "array of no dimension", arrayVariant(VT_ARRAY | VT_R8, raw(0, 8, 0, data, {})), kInvalidCall);
        add(t, "array with elements and no data", arrayVariant(VT_ARRAY | VT_R8, raw(1, 8, 0, nullptr, {{3, 0}})),
            kInvalidCall);
        add(t, "array whose elements are 1 byte for Doubles", arrayVariant(VT_ARRAY | VT_R8, raw(1, 1, 0, data, {{4, 0}})),
            kInvalidCall);
        add(t, "Variant array holding Doubles", arrayVariant(VT_ARRAY | VT_VARIANT, doubles(0, {1, 2, 3})), kInvalidCall);
        add(t, "array of 2^32 elements",
            arrayVariant(VT_ARRAY | VT_R8, raw(2, 8, 0, data, {{0x10000, 0}, {0x10000, 0}})), kInvalidCall);
        add(t, "array past the last index", arrayVariant(VT_ARRAY | VT_R8, raw(1, 8, 0, data, {{2, 0x7FFFFFFF}})),
            kInvalidCall);
        SAFEARRAY* noDims = raw(0, 8, 0, data, {});
        VARIANT* holdsBroken = cell();
        *holdsBroken = arrayVariant(VT_ARRAY | VT_R8, noDims);
        add(t, "reference to an array of no dimension", of(VT_BYREF | VT_VARIANT, holdsBroken), kInvalidCall,
            {{holdsBroken, sizeof(VARIANT)}});
        SAFEARRAY** slot = &slots_.emplace_back(noDims);
        add(t, "typed reference to an array of no dimension", of(VT_BYREF | VT_ARRAY | VT_R8, slot), kInvalidCall,
            {{slot, sizeof(SAFEARRAY*)}});

        // Variant arrays whose elements are broken.
        auto variants = [&](std::vector<VARIANT> items) {
            SAFEARRAY* s = vector(VT_VARIANT, 0, static_cast<ULONG>(items.size()));
            std::memcpy(s->pvData, items.data(), items.size() * sizeof(VARIANT));
            return s;
        };
        VARIANT two{};
        V_VT(&two) = VT_R8;
        V_R8(&two) = 2;
        add(t, "Variant array with a vt 0x7FFF element", arrayVariant(VT_ARRAY | VT_VARIANT, variants({two, unknown})),
            DISP_E_BADVARTYPE);
        add(t, "Variant array with a null reference",
            arrayVariant(VT_ARRAY | VT_VARIANT, variants({two, of(VT_BYREF | VT_R8, nullptr)})), kInvalidCall);
        add(t, "point list with a self reference",
            arrayVariant(VT_ARRAY | VT_VARIANT, variants({arrayVariant(VT_ARRAY | VT_R8, doubles(0, {1, 2, 0})), *self})),
            kInvalidCall);
        SAFEARRAY* loop = vector(VT_VARIANT, 0, 2);
        static_cast<VARIANT*>(loop->pvData)[0] = two;
        static_cast<VARIANT*>(loop->pvData)[1] = arrayVariant(VT_ARRAY | VT_VARIANT, loop);
        add(t, "Variant array holding itself", arrayVariant(VT_ARRAY | VT_VARIANT, loop), kInvalidCall);
        SAFEARRAY* inner = variants({two});
        add(t, "Variant array holding one Variant array twice",
            arrayVariant(VT_ARRAY | VT_VARIANT, variants({arrayVariant(VT_ARRAY | VT_VARIANT, inner),
                                                          arrayVariant(VT_ARRAY | VT_VARIANT, inner)})),
            kInvalidCall);
        VARIANT deep = two;
        for (int i = 0; i < 12; ++i) deep = arrayVariant(VT_ARRAY | VT_VARIANT, variants({deep}));
        add(t, "arrays nested 12 deep", deep, kInvalidCall);
    }

    void buildOdd() {
        auto& t = odd_;
        add(t, "no array (null SAFEARRAY)", arrayVariant(VT_ARRAY | VT_R8, nullptr), S_OK);
        SAFEARRAY** none = &slots_.emplace_back(nullptr);
        add(t, "reference to no array", of(VT_BYREF | VT_ARRAY | VT_R8, none), S_OK, {{none, sizeof(SAFEARRAY*)}});
        add(t, "empty Double array", arrayVariant(VT_ARRAY | VT_R8, doubles(0, {})), S_OK);
        add(t, "one Double", arrayVariant(VT_ARRAY | VT_R8, doubles(0, {1})), S_OK);
        add(t, "Doubles from 5", arrayVariant(VT_ARRAY | VT_R8, doubles(5, {1, 2, 3})), S_OK);
        add(t, "Doubles from -1", arrayVariant(VT_ARRAY | VT_R8, doubles(-1, {1, 2, 3})), S_OK);
        SAFEARRAYBOUND grid[2] = {{3, 0}, {2, 1}};
        SAFEARRAY* twoD = SafeArrayCreate(VT_R8, 2, grid);
        arrays_.push_back(twoD);
        add(t, "2-D Doubles", arrayVariant(VT_ARRAY | VT_R8, twoD), S_OK);
        SAFEARRAY* texts = vector(VT_BSTR, 0, 3);  // null BSTRs: empty texts
        add(t, "texts without text", arrayVariant(VT_ARRAY | VT_BSTR, texts), S_OK);
        SAFEARRAY* empties = vector(VT_VARIANT, 0, 3);  // Empty elements
        add(t, "Variant array of Empty", arrayVariant(VT_ARRAY | VT_VARIANT, empties), S_OK);
        SAFEARRAYBOUND big[1] = {{100000, 0}};
        SAFEARRAY* many = SafeArrayCreate(VT_R8, 1, big);
        arrays_.push_back(many);
        add(t, "100000 Doubles", arrayVariant(VT_ARRAY | VT_R8, many), S_OK);
        VARIANT nullDispatch{};
        V_VT(&nullDispatch) = VT_DISPATCH;
        add(t, "Nothing", nullDispatch, S_OK);
        VARIANT nullText{};
        V_VT(&nullText) = VT_BSTR;
        add(t, "null BSTR", nullText, S_OK);
        VARIANT dbNull{};
        V_VT(&dbNull) = VT_NULL;
        add(t, "Null", dbNull, S_OK);
    }

    std::vector<Case> malformed_, odd_;
    std::deque<VARIANT> cells_;
    std::deque<SAFEARRAY*> slots_;
    std::deque<std::vector<unsigned char>> raws_;
    std::vector<SAFEARRAY*> arrays_;
};

// ---- the driver ------------------------------------------------------------------------------------------------

namespace detail {

inline VARTYPE valueType(ITypeInfo* info, const TYPEDESC& td) {
    switch (td.vt) {
    case VT_PTR: return valueType(info, *td.lptdesc);  // by reference, or an interface pointer
    case VT_SAFEARRAY: return static_cast<VARTYPE>(VT_ARRAY | valueType(info, *td.lptdesc));
    case VT_USERDEFINED: {
        ITypeInfo* ref = nullptr;
        if (FAILED(info->GetRefTypeInfo(td.hreftype, &ref))) return VT_I4;
        TYPEATTR* attr = nullptr;
        VARTYPE vt = VT_I4;
        if (SUCCEEDED(ref->GetTypeAttr(&attr))) {
            if (attr->typekind == TKIND_ALIAS) vt = valueType(ref, attr->tdescAlias);
            else if (attr->typekind == TKIND_DISPATCH || attr->typekind == TKIND_INTERFACE) vt = VT_DISPATCH;
            ref->ReleaseTypeAttr(attr);
        }
        ref->Release();
        return vt;
    }
    default: return td.vt;
    }
}

// A value any parameter of the type takes, so that only the argument under test is wrong.
inline VARIANT benign(VARTYPE vt) {
    VARIANT v{};
    if (vt & VT_ARRAY) {
        SAFEARRAY* a = SafeArrayCreateVector(VT_BSTR, 0, 2);
        static_cast<BSTR*>(a->pvData)[0] = SysAllocString(L"1");
        static_cast<BSTR*>(a->pvData)[1] = SysAllocString(L"2");
        V_VT(&v) = VT_ARRAY | VT_BSTR;
        V_ARRAY(&v) = a;
    } else if (vt == VT_VARIANT) {
        SAFEARRAY* a = SafeArrayCreateVector(VT_R8, 0, 3);
        static_cast<double*>(a->pvData)[0] = 1;
        static_cast<double*>(a->pvData)[1] = 2;
        V_VT(&v) = VT_ARRAY | VT_R8;
        V_ARRAY(&v) = a;
    } else if (vt == VT_DISPATCH || vt == VT_UNKNOWN) {
        V_VT(&v) = VT_DISPATCH;
    } else if (vt == VT_BSTR) {
        V_VT(&v) = VT_BSTR;
        V_BSTR(&v) = SysAllocString(L"1");
    } else {
        V_VT(&v) = VT_I2;
        V_I2(&v) = 1;
    }
    return v;
}

struct Member {
    std::wstring name;
    DISPID id;
    WORD flags;
    std::vector<VARTYPE> inputs;  // declared value types of the parameters a caller passes
};

inline std::vector<Member> membersOf(IDispatch* object) {
    std::vector<Member> out;
    ITypeInfo* info = nullptr;
    if (FAILED(object->GetTypeInfo(0, LOCALE_USER_DEFAULT, &info)) || !info) return out;
    TYPEATTR* attr = nullptr;
    if (SUCCEEDED(info->GetTypeAttr(&attr))) {
        for (UINT f = 0; f < attr->cFuncs; ++f) {
            FUNCDESC* fd = nullptr;
            if (FAILED(info->GetFuncDesc(f, &fd))) continue;
            if (fd->wFuncFlags & FUNCFLAG_FRESTRICTED) {  // IUnknown's and IDispatch's own, in a dispinterface
                info->ReleaseFuncDesc(fd);
                continue;
            }
            BSTR name = nullptr;
            UINT got = 0;
            info->GetNames(fd->memid, &name, 1, &got);
            Member m{name ? name : L"?", fd->memid, DISPATCH_METHOD, {}};
            SysFreeString(name);
            switch (fd->invkind) {
            case INVOKE_PROPERTYGET: m.flags = DISPATCH_PROPERTYGET; m.name += L" (get)"; break;
            case INVOKE_PROPERTYPUT: m.flags = DISPATCH_PROPERTYPUT; m.name += L" (let)"; break;
            case INVOKE_PROPERTYPUTREF: m.flags = DISPATCH_PROPERTYPUTREF; m.name += L" (set)"; break;
            default: break;
            }
            for (SHORT p = 0; p < fd->cParams; ++p)
                if (!(fd->lprgelemdescParam[p].paramdesc.wParamFlags & PARAMFLAG_FRETVAL))
                    m.inputs.push_back(valueType(info, fd->lprgelemdescParam[p].tdesc));
            out.push_back(std::move(m));
            info->ReleaseFuncDesc(fd);
        }
        info->ReleaseTypeAttr(attr);
    }
    info->Release();
    return out;
}

inline std::string narrow(const std::wstring& w) {
    std::string s;
    for (wchar_t c : w) s += c < 0x80 ? static_cast<char>(c) : '?';
    return s;
}

using Bytes = std::vector<unsigned char>;
inline Bytes bytesOf(const void* p, std::size_t n) {
    const auto* b = static_cast<const unsigned char*>(p);
    return Bytes(b, b + n);
}

}  // namespace detail

struct Tally {
    int members = 0;
    int calls = 0;
};

// Calls `m` with `c.arg` as parameter `position` and benign values elsewhere; checks what the case asks.
inline void callOnce(IDispatch* object, const detail::Member& m, std::size_t position, const Case& c, bool mustFail) {
    const std::size_t count = std::max<std::size_t>(m.inputs.size(), 1);
    std::vector<VARIANT> args(count);  // natural order here; rgvarg is reversed
    for (std::size_t i = 0; i < count; ++i) args[i] = i == position ? c.arg : detail::benign(m.inputs[i]);
    std::vector<VARIANT> rgvarg(args.rbegin(), args.rend());
    const UINT index = static_cast<UINT>(count - 1 - position);
    std::vector<detail::Bytes> before;
    for (const auto& [p, n] : c.reached) before.push_back(detail::bytesOf(p, n));

    DISPID put = DISPID_PROPERTYPUT;
    DISPPARAMS params{rgvarg.data(), nullptr, static_cast<UINT>(count), 0};
    if (m.flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
        params.rgdispidNamedArgs = &put;
        params.cNamedArgs = 1;
    }
    VARIANT result;
    VariantInit(&result);
    EXCEPINFO excep{};
    UINT argErr = 0xFFFF;
    const HRESULT hr = object->Invoke(m.id, IID_NULL, LOCALE_USER_DEFAULT, m.flags, &params, &result, &excep, &argErr);
    const std::string where = detail::narrow(m.name) + " argument " + std::to_string(position + 1) + ": " + c.name;

    if (mustFail) {
        if (c.expected == DISP_E_BADVARTYPE) {
            EXPECT_EQ(hr, DISP_E_BADVARTYPE) << where;
        } else {
            EXPECT_EQ(hr, DISP_E_EXCEPTION) << where;
            EXPECT_EQ(excep.scode, c.expected) << where;
            EXPECT_TRUE(excep.bstrDescription && std::wstring(excep.bstrDescription) == L"Invalid procedure call or argument")
                << where;
        }
        EXPECT_EQ(argErr, index) << where;
        EXPECT_EQ(V_VT(&result), VT_EMPTY) << where;
    }
    if (FAILED(hr)) {
        EXPECT_EQ(std::memcmp(&rgvarg[index], &c.arg, sizeof(VARIANT)), 0) << where << ": the argument changed";
        for (std::size_t k = 0; k < c.reached.size(); ++k)
            EXPECT_EQ(detail::bytesOf(c.reached[k].first, c.reached[k].second), before[k])
                << where << ": what the argument reaches changed";
    } else {
        // A member that took an odd argument by reference may have written into it: put the table back.
        for (std::size_t k = 0; k < c.reached.size(); ++k)
            std::memcpy(const_cast<void*>(c.reached[k].first), before[k].data(), before[k].size());
    }
    SysFreeString(excep.bstrDescription);
    SysFreeString(excep.bstrSource);
    SysFreeString(excep.bstrHelpFile);
    VariantClear(&result);
    for (std::size_t i = 0; i < count; ++i)
        if (i != position) VariantClear(&rgvarg[count - 1 - i]);
}

// Every case at every parameter position of every member `object`'s type information lists (a member
// without parameters gets the case as a surplus argument). With `mustFail` each call must be refused as
// the case says; otherwise the cases go only where an array can be read (Variant and array parameters)
// and must not crash. Members named in `skip` are left out.
inline Tally sendToEveryMember(IDispatch* object, const std::vector<Case>& cases, bool mustFail,
                               const std::vector<std::wstring>& skip = {}) {
    Tally t;
    for (const auto& m : detail::membersOf(object)) {
        if (std::find(skip.begin(), skip.end(), m.name) != skip.end()) continue;
        ++t.members;
        const std::size_t positions = std::max<std::size_t>(m.inputs.size(), mustFail ? 1 : 0);
        for (std::size_t p = 0; p < positions; ++p) {
            if (!mustFail && !(m.inputs[p] == VT_VARIANT || (m.inputs[p] & VT_ARRAY))) continue;
            for (const auto& c : cases) {
                callOnce(object, m, p, c, mustFail);
                ++t.calls;
            }
        }
    }
    return t;
}

}  // namespace kelva::com::test::malformed
