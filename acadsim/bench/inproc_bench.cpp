// The stand-in loaded in process: 100,000 entities built and read late-bound, as a benchmark of a
// drawing-heavy member sees them without any cross-process marshaling.
#include <windows.h>

#include <chrono>
#include <cstdio>

#include "acadsim/com/objects.h"
#include "com/latebound.h"
#include "com/values.h"

using namespace kelva;
using com::Variant;

int main() {
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 1;
    {
        auto inst = acad::sim::createInstance({});
        auto doc = com::getObject(inst.application.get(), L"ActiveDocument");
        auto ms = com::getObject(doc.get(), L"ModelSpace");
        constexpr int n = 100000;
        using clock = std::chrono::steady_clock;
        auto t0 = clock::now();
        for (int i = 0; i < n; ++i)
            com::call(ms.get(), L"AddLine", {Variant::fromDoubles({double(i), 0, 0}), Variant::fromDoubles({double(i), 1, 0})});
        auto t1 = clock::now();
        long count = 0;
        for (int i = 0; i < n; ++i) {
            auto e = com::asObject(com::call(ms.get(), L"Item", {Variant::fromInt32(i)}));
            count += com::asString(com::get(e.get(), L"ObjectName")).size() == 8;
        }
        auto t2 = clock::now();
        auto us = [](auto d) { return std::chrono::duration<double, std::micro>(d).count(); };
        std::printf("AddLine: %.2f us per entity\nItem + ObjectName: %.2f us per entity (%ld lines)\n", us(t1 - t0) / n, us(t2 - t1) / n, count);
    }
    CoUninitialize();
    return 0;
}
