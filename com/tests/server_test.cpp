#include "com/server.h"

#include "com_fixture.h"
#include "server_check.h"
#include "probe_object.h"

namespace kelva::com::test {
namespace {

const ClassEntry probeClass[] = {{&CLSID_Probe, L"KelvaProbe.Probe", L"KelvaProbe.Probe", &Probe::create}};
const ServerInfo probeServer{probeClass, &LIBID_KelvaProbe, 1, 0, 0x409};

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

TEST_F(Server, UnregisteringWhatIsNotRegisteredSucceeds) {
    // An uninstaller may run twice, or after a failed install: there is nothing to remove, which is no error.
    RegistrySandbox sandbox;
    EXPECT_EQ(unregisterServer(probeServer), S_OK);
    ASSERT_EQ(registerServer(probeServer, GetModuleHandleW(nullptr)), S_OK);
    ASSERT_EQ(unregisterServer(probeServer), S_OK);
    EXPECT_EQ(unregisterServer(probeServer), S_OK);
    EXPECT_FALSE(sandbox.exists(L"TypeLib\\" + guidText(LIBID_KelvaProbe)));
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

TEST_F(Server, TheProbeServersClassesLeaveNothingAliveAfterRelease) {
    HMODULE probe = LoadLibraryW(L"KelvaProbe.dll");
    ASSERT_NE(probe, nullptr) << "KelvaProbe.dll must lie beside the test";
    expectEveryClassReleasesCleanly(probe);
    FreeLibrary(probe);
}

}  // namespace
}  // namespace kelva::com::test
