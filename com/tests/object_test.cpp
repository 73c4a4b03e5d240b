#include "com/object.h"

#include <gtest/gtest.h>
#include <ocidl.h>

#include "com/com_ptr.h"

namespace kelva::com::test {
namespace {

// An object whose IDispatch does nothing: what these cases look at is IUnknown.
template <class Derived, class... Others>
class Plain : public Object<Derived, IDispatch, Others...> {
public:
    STDMETHODIMP GetTypeInfoCount(UINT* n) override { *n = 0; return S_OK; }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override { return E_NOTIMPL; }
};

// IPersistStream derives from IPersist and IProvideClassInfo2 from IProvideClassInfo: bases the list does
// not name, reached only through queryExtra.
class Sample final : public Object<Sample, IPersistStream, IDispatch, IProvideClassInfo2> {
public:
    static inline int destroyed = 0;

    void* queryExtra(REFIID iid) {
        if (iid == IID_IPersist) return static_cast<IPersist*>(this);
        return nullptr;
    }

    STDMETHODIMP GetClassID(CLSID* id) override { *id = CLSID_NULL; return S_OK; }
    STDMETHODIMP IsDirty() override { return S_FALSE; }
    STDMETHODIMP Load(IStream*) override { return E_NOTIMPL; }
    STDMETHODIMP Save(IStream*, BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP GetSizeMax(ULARGE_INTEGER*) override { return E_NOTIMPL; }
    STDMETHODIMP GetTypeInfoCount(UINT* n) override { *n = 0; return S_OK; }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override { return E_NOTIMPL; }
    STDMETHODIMP GetClassInfo(ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetGUID(DWORD, GUID*) override { return E_NOTIMPL; }

private:
    friend class RefCounted<Sample>;
    ~Sample() { ++destroyed; }
};

TEST(ComObject, CreateObjectHandsOutOneReferenceOrNothing) {
    const long before = ModuleCounts::objects();
    const int destroyedBefore = Sample::destroyed;
    ComPtr<IDispatch> dispatch;
    ASSERT_EQ(createObject<Sample>(IID_IDispatch, dispatch.putVoid()), S_OK);
    EXPECT_EQ(dispatch->AddRef(), 2u) << "the caller's is the only reference";
    dispatch->Release();
    dispatch.reset();
    EXPECT_EQ(Sample::destroyed, destroyedBefore + 1);

    void* out = reinterpret_cast<void*>(1);
    EXPECT_EQ(createObject<Sample>(IID_IClassFactory, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(Sample::destroyed, destroyedBefore + 2) << "an object nobody can hold is gone at once";
    EXPECT_EQ(createObject<Sample>(IID_IDispatch, nullptr), E_POINTER);
    EXPECT_EQ(Sample::destroyed, destroyedBefore + 2) << "nothing is made for a missing out parameter";
    EXPECT_EQ(ModuleCounts::objects(), before);
}

// Kept at its last release instead of deleted, as an object that a table hands out again.
class Resting final : public Plain<Resting> {
public:
    bool resting = false;
    void finalRelease() { resting = true; }
    void destroy() { delete this; }
};

IUnknown* identityOf(IUnknown* p) {
    IUnknown* unknown = nullptr;
    if (FAILED(p->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown)))) return nullptr;
    unknown->Release();
    return unknown;
}

TEST(ComObject, AnswersEveryListedInterfaceWithOneIdentityAndRefusesOthers) {
    const long before = ModuleCounts::objects();
    auto sample = ComPtr<IPersistStream>::attach(new Sample());
    EXPECT_EQ(ModuleCounts::objects(), before + 1);

    auto dispatch = sample.query<IDispatch>();
    auto classInfo = sample.query<IProvideClassInfo2>();
    auto persist = sample.query<IPersist>();
    ASSERT_TRUE(dispatch && classInfo && persist);
    EXPECT_FALSE(sample.query<IProvideClassInfo>()) << "a base interface answers only through queryExtra";
    EXPECT_EQ(static_cast<void*>(persist.get()), static_cast<void*>(sample.get()));

    IUnknown* id = identityOf(sample.get());
    EXPECT_EQ(id, static_cast<IUnknown*>(sample.get())) << "IUnknown is the first listed interface";
    EXPECT_EQ(identityOf(dispatch.get()), id);
    EXPECT_EQ(identityOf(classInfo.get()), id);

    void* out = reinterpret_cast<void*>(1);
    EXPECT_EQ(sample->QueryInterface(IID_IClassFactory, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr) << "a refused query clears the out parameter";
    EXPECT_EQ(sample->QueryInterface(IID_IDispatch, nullptr), E_POINTER);

    const int destroyedBefore = Sample::destroyed;
    dispatch.reset();
    classInfo.reset();
    persist.reset();
    EXPECT_EQ(sample->AddRef(), 2u);
    EXPECT_EQ(sample->Release(), 1u);
    sample.reset();
    EXPECT_EQ(Sample::destroyed, destroyedBefore + 1);
    EXPECT_EQ(ModuleCounts::objects(), before);
}

TEST(ComObject, ADualInterfaceAnswersAsIDispatchWithoutListingIt) {
    class Dual final : public Object<Dual, IEnumVARIANT, IProvideClassInfo, IDispatch> {
    public:
        STDMETHODIMP Next(ULONG, VARIANT*, ULONG*) override { return S_FALSE; }
        STDMETHODIMP Skip(ULONG) override { return S_FALSE; }
        STDMETHODIMP Reset() override { return S_OK; }
        STDMETHODIMP Clone(IEnumVARIANT**) override { return E_NOTIMPL; }
        STDMETHODIMP GetClassInfo(ITypeInfo**) override { return E_NOTIMPL; }
        STDMETHODIMP GetTypeInfoCount(UINT* n) override { *n = 0; return S_OK; }
        STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
        STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
        STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override { return E_NOTIMPL; }
    };
    auto dual = ComPtr<IEnumVARIANT>::attach(new Dual());
    auto dispatch = dual.query<IDispatch>();
    ASSERT_TRUE(dispatch);
    EXPECT_EQ(identityOf(dispatch.get()), static_cast<IUnknown*>(dual.get()));
}

TEST(ComObject, AFinalReleaseHookKeepsTheObjectAndItsCount) {
    const long before = ModuleCounts::objects();
    auto* resting = new Resting();
    EXPECT_EQ(resting->AddRef(), 2u);
    EXPECT_EQ(resting->Release(), 1u);
    EXPECT_FALSE(resting->resting);
    EXPECT_EQ(resting->Release(), 0u);
    EXPECT_TRUE(resting->resting);
    EXPECT_EQ(ModuleCounts::objects(), before + 1) << "a resting object is still alive";
    resting->destroy();
    EXPECT_EQ(ModuleCounts::objects(), before);
}

// Implements IPersist for whoever derives from it; IUnknown is left to the object.
class PersistMixin : public Mixin, public IPersist {
public:
    void* queryMixin(REFIID iid) { return iid == IID_IPersist ? static_cast<IPersist*>(this) : nullptr; }
    STDMETHODIMP GetClassID(CLSID* id) override { *id = IID_IPersist; return S_OK; }
};

class WithMixin final : public Plain<WithMixin, PersistMixin> {};

TEST(ComObject, AMixinsInterfacesShareTheObjectsIdentityAndCount) {
    const long before = ModuleCounts::objects();
    auto object = ComPtr<IDispatch>::attach(new WithMixin());
    auto persist = object.query<IPersist>();
    ASSERT_TRUE(persist);
    CLSID id{};
    persist->GetClassID(&id);
    EXPECT_EQ(id, IID_IPersist) << "the mixin's own member answers";
    EXPECT_EQ(identityOf(persist.get()), static_cast<IUnknown*>(object.get()));
    EXPECT_EQ(persist->AddRef(), 3u) << "one count for the object and its mixin";
    persist->Release();
    EXPECT_FALSE(persist.query<IPersistStream>());
    persist.reset();
    object.reset();
    EXPECT_EQ(ModuleCounts::objects(), before);
}

// A connection point inside its control: one count for both, destroyed with the owner.
class Owner;
class Point final : public Part<IConnectionPoint> {
public:
    explicit Point(IUnknown& owner) : Part(owner) {}
    STDMETHODIMP GetConnectionInterface(IID* iid) override { *iid = IID_IDispatch; return S_OK; }
    STDMETHODIMP GetConnectionPointContainer(IConnectionPointContainer**) override { return E_NOTIMPL; }
    STDMETHODIMP Advise(IUnknown*, DWORD*) override { return E_NOTIMPL; }
    STDMETHODIMP Unadvise(DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP EnumConnections(IEnumConnections**) override { return E_NOTIMPL; }
};

class Owner final : public Plain<Owner> {
public:
    Point point{*identity()};
};

TEST(ComObject, APartSharesItsOwnersCountAndAnswersOnlyItsOwnInterfaces) {
    const long before = ModuleCounts::objects();
    auto owner = ComPtr<IDispatch>::attach(new Owner());
    IConnectionPoint* point = &static_cast<Owner*>(owner.get())->point;
    EXPECT_EQ(point->AddRef(), 2u) << "the part's reference is the owner's";
    EXPECT_EQ(owner->AddRef(), 3u);
    owner->Release();
    ComPtr<IConnectionPoint> viaQuery;
    EXPECT_EQ(point->QueryInterface(IID_IConnectionPoint, viaQuery.putVoid()), S_OK);
    EXPECT_EQ(viaQuery.get(), point);
    void* out = reinterpret_cast<void*>(1);
    EXPECT_EQ(point->QueryInterface(IID_IDispatch, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    viaQuery.reset();
    EXPECT_EQ(point->Release(), 1u);
    owner.reset();
    EXPECT_EQ(ModuleCounts::objects(), before);
}

}  // namespace
}  // namespace kelva::com::test
