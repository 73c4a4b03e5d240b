#pragma once
// Checks of an in-process server DLL through its own exports, as COM and regsvr32 use it: a registry
// sandbox for its registration, and the leak check over every class it serves.
#include <gtest/gtest.h>
#include <windows.h>
#include <oaidl.h>

#include <algorithm>
#include <cwctype>
#include <string>
#include <vector>

#include "com/com_ptr.h"
#include "com/server.h"

namespace kelva::com::test {

// Sends everything this process writes under HKEY_CLASSES_ROOT (and HKLM) into a private key.
class RegistrySandbox {
public:
    RegistrySandbox() {
        wchar_t name[64];
        swprintf(name, 64, L"Software\\KelvaTestSandbox\\%lu", GetCurrentProcessId());
        path_ = name;
        RegCreateKeyExW(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &root_, nullptr);
        RegCreateKeyExW(root_, L"hkcr", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &classes_, nullptr);
        RegCreateKeyExW(root_, L"hklm", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &machine_, nullptr);
        RegOverridePredefKey(HKEY_CLASSES_ROOT, classes_);
        RegOverridePredefKey(HKEY_LOCAL_MACHINE, machine_);
    }
    ~RegistrySandbox() {
        RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr);
        RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
        RegCloseKey(classes_);
        RegCloseKey(machine_);
        RegCloseKey(root_);
        RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str());
    }
    RegistrySandbox(const RegistrySandbox&) = delete;
    RegistrySandbox& operator=(const RegistrySandbox&) = delete;
    std::wstring read(const std::wstring& key, const wchar_t* value = nullptr) const {
        wchar_t buffer[512] = {};
        DWORD size = sizeof(buffer) - sizeof(wchar_t);
        if (RegGetValueW(classes_, key.c_str(), value, RRF_RT_REG_SZ, nullptr, buffer, &size) != ERROR_SUCCESS)
            return L"<absent>";
        return buffer;
    }
    bool exists(const std::wstring& key) const {
        HKEY k;
        if (RegOpenKeyExW(classes_, key.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return false;
        RegCloseKey(k);
        return true;
    }
    // The class identifiers written under CLSID whose in-process server is `path`.
    std::vector<std::wstring> classesServedBy(const std::wstring& path) const {
        std::vector<std::wstring> out;
        HKEY clsid;
        if (RegOpenKeyExW(classes_, L"CLSID", 0, KEY_READ, &clsid) != ERROR_SUCCESS) return out;
        wchar_t name[64];
        for (DWORD i = 0;; ++i) {
            DWORD length = 64;
            if (RegEnumKeyExW(clsid, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
            if (_wcsicmp(read(std::wstring(L"CLSID\\") + name + L"\\InprocServer32").c_str(), path.c_str()) == 0)
                out.push_back(name);
        }
        RegCloseKey(clsid);
        return out;
    }

private:
    std::wstring path_;
    HKEY root_ = nullptr, classes_ = nullptr, machine_ = nullptr;
};

// A creatable class as the server's type library describes it.
struct LibraryClass {
    CLSID clsid;
    std::wstring name;
    std::vector<IID> interfaces;  // those it implements (event sources left out), the default first
};

inline std::vector<LibraryClass> creatableClasses(ITypeLib* library) {
    std::vector<LibraryClass> out;
    for (UINT i = 0; i < library->GetTypeInfoCount(); ++i) {
        TYPEKIND kind;
        if (FAILED(library->GetTypeInfoType(i, &kind)) || kind != TKIND_COCLASS) continue;
        ComPtr<ITypeInfo> info;
        TYPEATTR* attr = nullptr;
        if (FAILED(library->GetTypeInfo(i, info.put())) || FAILED(info->GetTypeAttr(&attr))) continue;
        LibraryClass c{attr->guid, {}, {}};
        const bool creatable = (attr->wTypeFlags & TYPEFLAG_FCANCREATE) != 0;
        for (UINT k = 0; k < attr->cImplTypes; ++k) {
            INT flags = 0;
            HREFTYPE ref;
            ComPtr<ITypeInfo> implemented;
            TYPEATTR* implAttr = nullptr;
            if (FAILED(info->GetImplTypeFlags(k, &flags)) || (flags & IMPLTYPEFLAG_FSOURCE) ||
                FAILED(info->GetRefTypeOfImplType(k, &ref)) || FAILED(info->GetRefTypeInfo(ref, implemented.put())) ||
                FAILED(implemented->GetTypeAttr(&implAttr)))
                continue;
            if (flags & IMPLTYPEFLAG_FDEFAULT) c.interfaces.insert(c.interfaces.begin(), implAttr->guid);
            else c.interfaces.push_back(implAttr->guid);
            implemented->ReleaseTypeAttr(implAttr);
        }
        info->ReleaseTypeAttr(attr);
        BSTR name = nullptr;
        if (SUCCEEDED(library->GetDocumentation(static_cast<INT>(i), &name, nullptr, nullptr, nullptr)) && name)
            c.name = name;
        SysFreeString(name);
        if (creatable) out.push_back(std::move(c));
    }
    return out;
}

// Every class of the server DLL `module`, taken from its own registration (which writes its class table)
// and checked against its type library's creatable classes, is got through DllGetClassObject, created,
// asked for each of its interfaces (IUnknown, IDispatch, those the type library names, ISupportErrorInfo)
// and released. DllCanUnloadNow answers S_OK exactly when the module counts no live object (class
// factories included) and no lock: it must refuse while a factory or an object lives or a LockServer
// lock is held, and answer S_OK after every release and after LockServer TRUE/FALSE.
inline void expectEveryClassReleasesCleanly(HMODULE module) {
    using GetClassObject = HRESULT STDAPICALLTYPE(REFCLSID, REFIID, void**);
    using Export = HRESULT STDAPICALLTYPE();
    auto entry = [&](const char* name) { return reinterpret_cast<void*>(GetProcAddress(module, name)); };
    auto* getClassObject = reinterpret_cast<GetClassObject*>(entry("DllGetClassObject"));
    auto* canUnloadNow = reinterpret_cast<Export*>(entry("DllCanUnloadNow"));
    auto* registerServer = reinterpret_cast<Export*>(entry("DllRegisterServer"));
    auto* unregisterServer = reinterpret_cast<Export*>(entry("DllUnregisterServer"));
    ASSERT_TRUE(getClassObject && canUnloadNow && registerServer && unregisterServer);
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(module, path, MAX_PATH);

    std::vector<std::wstring> registered;
    {
        RegistrySandbox sandbox;
        ASSERT_EQ(registerServer(), S_OK);
        registered = sandbox.classesServedBy(path);
        ASSERT_EQ(unregisterServer(), S_OK);
    }
    ComPtr<ITypeLib> library;
    ASSERT_EQ(LoadTypeLibEx(path, REGKIND_NONE, library.put()), S_OK);
    const std::vector<LibraryClass> classes = creatableClasses(library.get());
    std::vector<std::wstring> described;
    for (const auto& c : classes) described.push_back(guidText(c.clsid));
    auto sorted = [](std::vector<std::wstring> v) {
        for (auto& s : v) std::transform(s.begin(), s.end(), s.begin(), towupper);
        std::sort(v.begin(), v.end());
        return v;
    };
    ASSERT_FALSE(classes.empty());
    ASSERT_EQ(sorted(registered), sorted(described)) << "the class table and the type library name the same classes";

    ASSERT_EQ(canUnloadNow(), S_OK) << "something of the module lives before the check";
    for (const auto& c : classes) {
        SCOPED_TRACE(c.name);
        ComPtr<IClassFactory> factory;
        ASSERT_EQ(getClassObject(c.clsid, IID_IClassFactory, factory.putVoid()), S_OK);
        EXPECT_EQ(canUnloadNow(), S_FALSE) << "a class factory counts";
        ComPtr<IUnknown> refused;
        EXPECT_EQ(factory->CreateInstance(factory.get(), IID_IUnknown, refused.putVoid()), CLASS_E_NOAGGREGATION);
        EXPECT_FALSE(refused);

        ComPtr<IUnknown> object;
        ASSERT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, object.putVoid()), S_OK);
        factory.reset();
        EXPECT_EQ(canUnloadNow(), S_FALSE) << "the object lives";
        std::vector<IID> asked{IID_IUnknown, IID_IDispatch, IID_ISupportErrorInfo};
        asked.insert(asked.end(), c.interfaces.begin(), c.interfaces.end());
        std::vector<ComPtr<IUnknown>> held;
        for (const IID& iid : asked) {
            ComPtr<IUnknown> p;
            EXPECT_EQ(object->QueryInterface(iid, p.putVoid()), S_OK) << guidText(iid);
            if (!p) continue;
            ComPtr<IUnknown> identity;
            p->QueryInterface(IID_IUnknown, identity.putVoid());
            EXPECT_EQ(identity.get(), object.get()) << "one identity through " << guidText(iid);
            held.push_back(std::move(p));
        }
        ComPtr<ISupportErrorInfo> support = object.query<ISupportErrorInfo>();
        ASSERT_TRUE(support);
        ASSERT_FALSE(c.interfaces.empty());
        EXPECT_EQ(support->InterfaceSupportsErrorInfo(c.interfaces.front()), S_OK);
        support.reset();
        held.clear();
        EXPECT_EQ(canUnloadNow(), S_FALSE) << "the creator's reference still holds the object";
        object.reset();
        EXPECT_EQ(canUnloadNow(), S_OK) << "every object and factory is gone";

        ASSERT_EQ(getClassObject(c.clsid, IID_IClassFactory, factory.putVoid()), S_OK);
        EXPECT_EQ(factory->LockServer(TRUE), S_OK);
        factory.reset();
        EXPECT_EQ(canUnloadNow(), S_FALSE) << "locked";
        ASSERT_EQ(getClassObject(c.clsid, IID_IClassFactory, factory.putVoid()), S_OK);
        EXPECT_EQ(factory->LockServer(FALSE), S_OK);
        factory.reset();
        EXPECT_EQ(canUnloadNow(), S_OK) << "unlocked";
    }
}

}  // namespace kelva::com::test
