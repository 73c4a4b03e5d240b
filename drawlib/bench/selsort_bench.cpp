// SortTextTable and SortSelZ of 10,000 texts of the stand-in (loaded in process, as AutoCAD's own macros
// see it), against the time it takes to read the same texts' insertion points by name.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <random>
#include <vector>

#include "acadsim/com/objects.h"
#include "com/latebound.h"
#include "com/values.h"
#include "core/errors.h"

using namespace kelva;
using com::ComPtr;
using com::Variant;

namespace {

const CLSID kClsFunc = {0x521E65F9, 0xC420, 0x4823, {0x88, 0x59, 0x00, 0x23, 0xD1, 0xD7, 0x7A, 0x7C}};

double millisecondsOf(auto&& work) {
    const auto t0 = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
}

ComPtr<IDispatch> createFunc(HMODULE module) {
    using GetClassObject = HRESULT STDAPICALLTYPE(REFCLSID, REFIID, void**);
    auto* get = reinterpret_cast<GetClassObject*>(reinterpret_cast<void*>(GetProcAddress(module, "DllGetClassObject")));
    ComPtr<IClassFactory> factory;
    ComPtr<IDispatch> object;
    if (get && SUCCEEDED(get(kClsFunc, IID_IClassFactory, factory.putVoid())))
        factory->CreateInstance(nullptr, IID_IDispatch, object.putVoid());
    return object;
}

}  // namespace

int main() {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    HMODULE module = LoadLibraryW(L"KelvaSub.dll");
    ComPtr<IDispatch> func = module ? createFunc(module) : ComPtr<IDispatch>();
    if (!func) {
        std::printf("KelvaSub.dll must lie beside the benchmark\n");
        return 1;
    }
    try {
        auto acad = acad::sim::createInstance({});
        ComPtr<IDispatch> doc = com::getObject(acad.application.get(), L"ActiveDocument");
        ComPtr<IDispatch> space = com::getObject(doc.get(), L"ModelSpace");
        ComPtr<IDispatch> sets = com::getObject(doc.get(), L"SelectionSets");
        const int n = 10000;
        // Texts scattered over a table of 100 columns and 100 rows, slightly off their grid.
        std::mt19937 rng(1);
        std::uniform_int_distribution<int> cell(0, 99);
        std::uniform_real_distribution<double> jitter(-0.2, 0.2);
        for (int k = 0; k < n; ++k)
            com::call(space.get(), L"AddText",
                      {Variant::fromString(L"T" + std::to_wstring(k)),
                       Variant::fromDoubles({cell(rng) * 10 + jitter(rng), cell(rng) * 5 + jitter(rng), 0}), Variant::fromDouble(1)});

        auto freshSet = [&](const wchar_t* name) {
            ComPtr<IDispatch> set = com::getObject(sets.get(), L"Add", {Variant::fromString(name)});
            com::call(set.get(), L"Select", {Variant::fromInt32(5)});  // all
            return set;
        };
        ComPtr<IDispatch> probe = freshSet(L"Probe");
        double read = 1e300;
        for (int round = 0; round < 3; ++round)
            read = std::min(read, millisecondsOf([&] {
                for (long k = 0; k < n; ++k) {
                    ComPtr<IDispatch> item = com::getObject(probe.get(), L"Item", {Variant::fromInt32(k)});
                    Variant p = com::get(item.get(), L"InsertionPoint");
                }
            }));
        std::printf("read %d insertion points: %.1f ms\n", n, read);

        // What a rewrite of the set costs the stand-in: its items as one array, Clear and AddItems.
        {
            ComPtr<IDispatch> set = freshSet(L"Rewrite");
            com::SafeArray a = com::SafeArray::attach(SafeArrayCreateVector(VT_VARIANT, 0, n));
            for (LONG k = 0; k < n; ++k) {
                Variant item = Variant::fromDispatch(com::getObject(set.get(), L"Item", {Variant::fromInt32(k)}).get());
                SafeArrayPutElement(a.get(), &k, item.get());
            }
            Variant items;
            V_VT(items.put()) = VT_ARRAY | VT_VARIANT;
            V_ARRAY(items.get()) = a.detach();
            const double clearAdd = millisecondsOf([&] {
                com::call(set.get(), L"Clear");
                com::call(set.get(), L"AddItems", {items});
            });
            const double removeAdd = millisecondsOf([&] {
                com::call(set.get(), L"RemoveItems", {items});
                com::call(set.get(), L"AddItems", {items});
            });
            std::printf("the stand-in's Clear and AddItems: %.1f ms; RemoveItems and AddItems: %.1f ms\n", clearAdd, removeAdd);
        }

        int index = 0;
        for (const wchar_t* member : {L"SortTextTable", L"SortSelZ"}) {
            double best = 1e300;
            for (int round = 0; round < 3; ++round) {
                ComPtr<IDispatch> set = freshSet((L"S" + std::to_wstring(index++)).c_str());
                best = std::min(best, millisecondsOf([&] {
                    com::call(func.get(), member, {Variant::fromDispatch(set.get()), Variant::fromDouble(1.0)});
                }));
            }
            std::printf("%ls of %d texts: %.1f ms (%.2f x the reading)\n", member, n, best, best / read);
        }
    } catch (const VbError& e) {
        std::printf("error %d: %ls\n", e.number(), e.description().c_str());
        return 1;
    }
    func = {};
    FreeLibrary(module);
    CoUninitialize();
    return 0;
}
