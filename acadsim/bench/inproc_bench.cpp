// The stand-in loaded in process, as a benchmark of a drawing-heavy member sees it without any
// cross-process marshaling: 100,000 entities built and read late-bound, then the stand-in's own share of
// a call (DISPIDs looked up once, Invoke alone), the rewrite of a selection set of 10,000 texts, and a
// modifying call with the stand-in's window attached, in a small and a large drawing.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>

#include "acadsim/com/objects.h"
#include "acadsim/server/viewer.h"
#include "com/latebound.h"
#include "com/values.h"

using namespace kelva;
using com::ComPtr;
using com::Variant;

namespace {

using clock_type = std::chrono::steady_clock;

double microseconds(clock_type::duration d) { return std::chrono::duration<double, std::micro>(d).count(); }

// The best of three rounds of `work`, in microseconds.
template <class F>
double best(F&& work) {
    double out = 1e300;
    for (int round = 0; round < 3; ++round) {
        const auto t0 = clock_type::now();
        work();
        out = std::min(out, microseconds(clock_type::now() - t0));
    }
    return out;
}

DISPID idOf(IDispatch* d, const wchar_t* name) {
    DISPID id = DISPID_UNKNOWN;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    d->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    return id;
}

// Invoke with a known DISPID: what the stand-in itself costs, without the caller's name lookup.
Variant invoke(IDispatch* d, DISPID id, WORD flags, VARIANT* args = nullptr, UINT count = 0) {
    DISPPARAMS params{args, nullptr, count, 0};
    Variant result;
    if (FAILED(d->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result.put(), nullptr, nullptr))) std::abort();
    return result;
}

void lines(IDispatch* ms) {
    constexpr int n = 100000;
    auto t0 = clock_type::now();
    for (int i = 0; i < n; ++i)
        com::call(ms, L"AddLine", {Variant::fromDoubles({double(i), 0, 0}), Variant::fromDoubles({double(i), 1, 0})});
    auto t1 = clock_type::now();
    long count = 0;
    for (int i = 0; i < n; ++i) {
        auto e = com::asObject(com::call(ms, L"Item", {Variant::fromInt32(i)}));
        count += com::asString(com::get(e.get(), L"ObjectName")).size() == 8;
    }
    auto t2 = clock_type::now();
    std::printf("AddLine: %.2f us per entity\nItem + ObjectName: %.2f us per entity (%ld lines)\n", microseconds(t1 - t0) / n,
                microseconds(t2 - t1) / n, count);
}

void texts(IDispatch* doc, IDispatch* ms) {
    constexpr int n = 10000;
    for (int k = 0; k < n; ++k)
        com::call(ms, L"AddText", {Variant::fromString(L"T"), Variant::fromDoubles({double(k % 100), double(k / 100), 0}), Variant::fromDouble(1)});
    auto sets = com::getObject(doc, L"SelectionSets");
    auto set = com::getObject(sets.get(), L"Add", {Variant::fromString(L"Bench")});
    com::call(set.get(), L"Select", {Variant::fromInt32(5)});

    const DISPID item = idOf(set.get(), L"Item");
    auto itemsByIndex = [&] {
        for (long k = 0; k < n; ++k) {
            VARIANT index;
            V_VT(&index) = VT_I4;
            V_I4(&index) = k;
            Variant v = invoke(set.get(), item, DISPATCH_METHOD | DISPATCH_PROPERTYGET, &index, 1);
        }
    };
    const double itemUnheld = best(itemsByIndex);  // each entity's object made and dropped again

    std::vector<ComPtr<IDispatch>> items;
    const double byName = best([&] {
        items.clear();
        for (long k = 0; k < n; ++k) {
            items.push_back(com::getObject(set.get(), L"Item", {Variant::fromInt32(k)}));
            Variant p = com::get(items.back().get(), L"InsertionPoint");
        }
    });
    const DISPID insertion = idOf(items[0].get(), L"InsertionPoint");
    const double itemHeld = best(itemsByIndex);
    const double pointOnly = best([&] {
        for (const auto& e : items) Variant v = invoke(e.get(), insertion, DISPATCH_PROPERTYGET | DISPATCH_METHOD);
    });
    const double lookups = best([&] {
        for (const auto& e : items) idOf(e.get(), L"InsertionPoint");
    });
    std::printf("%d texts: Item + InsertionPoint by name %.2f us; with known DISPIDs Item %.2f us (%.2f us of an entity a "
                "client holds), InsertionPoint %.2f us; GetIDsOfNames %.2f us\n",
                n, byName / n, itemUnheld / n, itemHeld / n, pointOnly / n, lookups / n);

    com::SafeArray a = com::SafeArray::attach(SafeArrayCreateVector(VT_VARIANT, 0, n));
    for (LONG k = 0; k < n; ++k) SafeArrayPutElement(a.get(), &k, Variant::fromDispatch(items[static_cast<std::size_t>(n - 1 - k)].get()).get());
    Variant reversed;
    V_VT(reversed.put()) = VT_ARRAY | VT_VARIANT;
    V_ARRAY(reversed.get()) = a.detach();
    const double clearAdd = best([&] {
        com::call(set.get(), L"Clear");
        com::call(set.get(), L"AddItems", {reversed});
    });
    const double removeAdd = best([&] {
        com::call(set.get(), L"RemoveItems", {reversed});
        com::call(set.get(), L"AddItems", {reversed});
    });
    std::printf("Clear + AddItems of %d: %.2f ms; RemoveItems + AddItems: %.2f ms\n", n, clearAdd / 1000, removeAdd / 1000);
}

// What acadsim.exe's message loop does between two calls of a client.
void pumpMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// A modifying call as a client of acadsim.exe meets it: the call with the window attached, then the
// server's message loop until the next call. Its cost should not grow with the drawing.
void modifyingCalls() {
    constexpr int calls = 200;
    for (const int size : {100, 10000}) {
        auto inst = acad::sim::createInstance({});
        acad::server::Viewer viewer(*inst.session);
        acad::sim::setChangeHandler(*inst.session, [&viewer] { viewer.invalidate(); });
        auto doc = com::getObject(inst.application.get(), L"ActiveDocument");
        auto ms = com::getObject(doc.get(), L"ModelSpace");
        for (int i = 0; i < size; ++i)
            com::call(ms.get(), L"AddLine", {Variant::fromDoubles({double(i), 0, 0}), Variant::fromDoubles({double(i), 1, 0})});
        com::call(com::getObject(doc.get(), L"Layers").get(), L"Add", {Variant::fromString(L"Other")});
        auto line = com::getObject(ms.get(), L"Item", {Variant::fromInt32(0)});
        Sleep(500);  // the window catches up with the drawing before the measured calls
        pumpMessages();

        const double layer = best([&] {
            for (int k = 0; k < calls; ++k) {
                com::put(line.get(), L"Layer", Variant::fromString(k % 2 ? L"0" : L"Other"));
                pumpMessages();
            }
        });
        const double addDelete = best([&] {
            for (int k = 0; k < calls; ++k) {
                auto added = com::getObject(ms.get(), L"AddLine", {Variant::fromDoubles({0, 2, 0}), Variant::fromDoubles({1, 2, 0})});
                pumpMessages();
                com::call(added.get(), L"Delete");
                pumpMessages();
            }
        });
        std::printf("Modifying calls at %d entities, window attached: Layer %.2f us, AddLine or Delete %.2f us\n", size,
                    layer / calls, addDelete / (2 * calls));
        acad::sim::setChangeHandler(*inst.session, nullptr);
    }
}

}  // namespace

int main() {
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 1;
    {
        auto inst = acad::sim::createInstance({});
        auto doc = com::getObject(inst.application.get(), L"ActiveDocument");
        auto ms = com::getObject(doc.get(), L"ModelSpace");
        lines(ms.get());
        com::call(inst.control.get(), L"Reset");
        doc = com::getObject(inst.application.get(), L"ActiveDocument");
        ms = com::getObject(doc.get(), L"ModelSpace");
        texts(doc.get(), ms.get());
    }
    modifyingCalls();
    CoUninitialize();
    return 0;
}
