// acadsim_probe: what a client sees of the stand-in's registration and Running Object Table entries.
//   acadsim_probe progid <ProgID>...  prints the CLSID each ProgID names, or "unregistered"
//   acadsim_probe active <ProgID>...  prints the Version of the running object under each ProgID, or "unavailable"
//   acadsim_probe gone <ProgID>       holds the running application's document, quits the application and
//                                     prints "failed" when a later call on the document fails as it must
// One line per ProgID: several in one run, because each Wine process start costs far more than a probe.
#include <windows.h>
#include <objbase.h>
#include <oleauto.h>

#include <cstdio>
#include <string>

#include "com/latebound.h"

namespace {
std::wstring probe(const std::wstring& mode, const wchar_t* progid) {
    CLSID clsid;
    std::wstring out;
    if (FAILED(CLSIDFromProgID(progid, &clsid))) {
        out = L"unregistered";
    } else if (mode == L"progid") {
        wchar_t text[64] = {};
        StringFromGUID2(clsid, text, 64);
        out = text;
    } else {
        kelva::com::ComPtr<IUnknown> unk;
        kelva::com::ComPtr<IDispatch> app;
        if (SUCCEEDED(GetActiveObject(clsid, nullptr, unk.put()))) app = unk.query<IDispatch>();
        if (!app) {
            out = L"unavailable";
        } else {
            try {
                if (mode == L"gone") {
                    auto doc = kelva::com::getObject(app.get(), L"ActiveDocument");
                    kelva::com::call(app.get(), L"Quit");
                    for (int tries = 0; tries < 100 && SUCCEEDED(GetActiveObject(clsid, nullptr, unk.put())); ++tries) Sleep(50);
                    kelva::com::get(doc.get(), L"Name");
                    out = L"answered";
                } else {
                    out = kelva::com::asString(kelva::com::get(app.get(), L"Version"));
                }
            } catch (...) {
                out = L"failed";
            }
        }
    }
    return out;
}
}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) return 2;
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 3;
    const std::wstring mode = argv[1];
    for (int i = 2; i < argc; ++i) std::wprintf(L"%ls\n", probe(mode, argv[i]).c_str());
    CoUninitialize();
    return 0;
}
