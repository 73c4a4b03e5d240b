#pragma once
// KelvaSub.dll loaded beside the test (no registration needed): objects come from its class factories.
#include <gtest/gtest.h>
#include <windows.h>

#include "KelvaSub.h"
#include "com/com_ptr.h"
#include "com/values.h"
#include "core/errors.h"
#include "core/tests/checks.h"

namespace kelva::sub::test {

class Library {
public:
    Library() : module_(LoadLibraryW(L"KelvaSub.dll")) {}
    ~Library() { if (module_) FreeLibrary(module_); }
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;
    HMODULE module() const { return module_; }

    template <class Fn>
    Fn* entry(const char* name) const {
        return reinterpret_cast<Fn*>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
    }

    com::ComPtr<IDispatch> create(REFCLSID clsid) const {
        using GetClassObject = HRESULT STDAPICALLTYPE(REFCLSID, REFIID, void**);
        com::ComPtr<IClassFactory> factory;
        com::ComPtr<IDispatch> object;
        auto* get = entry<GetClassObject>("DllGetClassObject");
        if (get && SUCCEEDED(get(clsid, IID_IClassFactory, factory.putVoid())))
            factory->CreateInstance(nullptr, IID_IDispatch, object.putVoid());
        return object;
    }

private:
    HMODULE module_;
};

class LibraryTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        ASSERT_NE(library.module(), nullptr) << "KelvaSub.dll must lie beside the test";
    }
    void TearDown() override { CoUninitialize(); }
    Library library;
};


}  // namespace kelva::sub::test
