#include "com/server.h"

#include "com_fixture.h"
#include "probe_object.h"

namespace kelva::com::test {
namespace {

const ClassEntry probeClass[] = {{&CLSID_Probe, L"KelvaProbe.Probe", L"KelvaProbe.Probe", &Probe::create}};
const ServerInfo probeServer{probeClass, &LIBID_KelvaProbe, 1, 0, 0x409};

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

private:
    std::wstring path_;
    HKEY root_ = nullptr, classes_ = nullptr, machine_ = nullptr;
};

class Server : public ComTest {};

TEST_F(Server, RegistersClassProgIdAndTypeLibraryAndRemovesThemAgain) {
    RegistrySandbox sandbox;
    ASSERT_EQ(registerServer(probeServer, GetModuleHandleW(nullptr)), S_OK);
    const std::wstring clsid = L"CLSID\\" + guidText(CLSID_Probe);
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    EXPECT_EQ(sandbox.read(clsid + L"\\InprocServer32"), self);
    EXPECT_EQ(sandbox.read(clsid + L"\\InprocServer32", L"ThreadingModel"), L"Apartment");
    EXPECT_EQ(sandbox.read(clsid + L"\\ProgID"), L"KelvaProbe.Probe");
    EXPECT_EQ(sandbox.read(clsid + L"\\TypeLib"), guidText(LIBID_KelvaProbe));
    EXPECT_EQ(sandbox.read(L"KelvaProbe.Probe\\CLSID"), guidText(CLSID_Probe));
    EXPECT_TRUE(sandbox.exists(L"TypeLib\\" + guidText(LIBID_KelvaProbe)));
    EXPECT_TRUE(sandbox.exists(L"Interface\\" + guidText(IID__Probe)));

    ASSERT_EQ(unregisterServer(probeServer), S_OK);
    EXPECT_FALSE(sandbox.exists(clsid));
    EXPECT_FALSE(sandbox.exists(L"KelvaProbe.Probe"));
    EXPECT_FALSE(sandbox.exists(L"TypeLib\\" + guidText(LIBID_KelvaProbe)));
    EXPECT_FALSE(sandbox.exists(L"Interface\\" + guidText(IID__Probe)));
}

TEST_F(Server, UnregisteringLeavesAProgIdThatNowNamesAnotherClass) {
    RegistrySandbox sandbox;
    ASSERT_EQ(registerServer(probeServer, GetModuleHandleW(nullptr)), S_OK);
    HKEY k;
    RegCreateKeyExW(HKEY_CLASSES_ROOT, L"KelvaProbe.Probe\\CLSID", 0, nullptr, 0, KEY_WRITE, nullptr, &k, nullptr);
    const wchar_t other[] = L"{00000000-0000-0000-0000-000000000001}";
    RegSetValueExW(k, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(other), sizeof(other));
    RegCloseKey(k);
    ASSERT_EQ(unregisterServer(probeServer), S_OK);
    EXPECT_EQ(sandbox.read(L"KelvaProbe.Probe\\CLSID"), other);
}

TEST_F(Server, CanUnloadOnlyWithoutLiveObjectsFactoriesOrLocks) {
    ASSERT_EQ(ModuleCounts::canUnloadNow(), S_OK);
    ComPtr<IClassFactory> factory;
    ASSERT_EQ(getClassObject(probeServer, CLSID_Probe, IID_IClassFactory, factory.putVoid()), S_OK);
    EXPECT_EQ(ModuleCounts::canUnloadNow(), S_FALSE);
    ComPtr<IDispatch> object;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IDispatch, object.putVoid()), S_OK);
    factory->LockServer(TRUE);
    factory.reset();
    EXPECT_EQ(ModuleCounts::objects(), 1);
    object.reset();
    EXPECT_EQ(ModuleCounts::canUnloadNow(), S_FALSE) << "still locked";
    ComPtr<IClassFactory> again;
    getClassObject(probeServer, CLSID_Probe, IID_IClassFactory, again.putVoid());
    again->LockServer(FALSE);
    again.reset();
    EXPECT_EQ(ModuleCounts::canUnloadNow(), S_OK);
    EXPECT_EQ(getClassObject(probeServer, IID__Probe, IID_IClassFactory, again.putVoid()), CLASS_E_CLASSNOTAVAILABLE);
}

}  // namespace
}  // namespace kelva::com::test
