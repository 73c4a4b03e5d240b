// KelvaProbe.dll: the test library's Probe as a registrable in-process server, so that script engines
// can be checked against the dispatch layer.
#include "probe_object.h"

namespace {
const kelva::com::ClassEntry classes[] = {
    {&CLSID_Probe, L"KelvaProbe.Probe", L"KelvaProbe.Probe", &kelva::com::test::Probe::create}};
const kelva::com::ServerInfo server{classes, &LIBID_KelvaProbe, 1, 0, 0x409};
}  // namespace

extern "C" {
STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
    return kelva::com::getClassObject(server, clsid, iid, out);
}
STDAPI DllCanUnloadNow() { return kelva::com::ModuleCounts::canUnloadNow(); }
STDAPI DllRegisterServer() { return kelva::com::registerServer(server, kelva::com::thisModule()); }
STDAPI DllUnregisterServer() { return kelva::com::unregisterServer(server); }
}
