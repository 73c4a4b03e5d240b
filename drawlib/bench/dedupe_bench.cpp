// Duplicate removal over 100,000 entities of the stand-in's object model loaded in process (one in
// ten a duplicate), against the time it takes merely to read the properties the keys are built from
// through the same late-bound calls.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <random>

#include "acadsim/com/objects.h"
#include "drawlib/pub_acad.h"

namespace {

using namespace kelva;
using acad::Entity;
using acad::Kind;
using com::ComPtr;

constexpr int kEntities = 100000;

// Entities of one kind; every tenth repeats an earlier one (lines half the time the other way round).
std::vector<Entity> makeEntities(Kind kind) {
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> coord(0, 1000);
    std::vector<Entity> out;
    out.reserve(kEntities);
    for (int i = 0; i < kEntities; ++i) {
        if (i % 10 == 9) {
            Entity copy = out[std::uniform_int_distribution<size_t>(0, out.size() - 1)(rng)];
            if (kind == Kind::Line && (i / 10) % 2) std::swap(copy.a, copy.b);
            out.push_back(copy);
            continue;
        }
        Entity e;
        e.kind = kind;
        e.a = {coord(rng), coord(rng), 0};
        e.b = {coord(rng), coord(rng), 0};
        e.radius = 1 + coord(rng) / 100;
        e.height = 2.5;
        e.text = L"KELVA-" + std::to_wstring(i);
        e.layer = (i % 3) ? L"0" : L"WALL";
        if (kind == Kind::LwPolyline)
            for (int v = 0; v < 6; ++v) e.chain.vertices.push_back({coord(rng), coord(rng), 0});
        out.push_back(std::move(e));
    }
    return out;
}

struct Fixture {
    acad::sim::Instance sim = acad::sim::createInstance({});
    ComPtr<IDispatch> selection;

    explicit Fixture(const std::vector<Entity>& entities) {
        acad::Drawing& d = acad::sim::drawingOf(*sim.session);
        d.addLayer(L"WALL");
        std::vector<acad::EntityId> ids;
        ids.reserve(entities.size());
        for (const auto& e : entities) ids.push_back(d.add(e));
        const auto document = com::getObject(sim.application.get(), L"ActiveDocument");
        selection = pub::createSelectionSet(document.get(), L"Bench");
        d.addItems(*d.findSelectionSet(L"Bench"), ids);
    }
};

// What the keys read of one entity, read and thrown away.
void readLikeTheKeys(pub::KeyRow row, pub::EntityView& e, bool withLayer) {
    using pub::Prop;
    if (withLayer) (void)e.text(Prop::Layer);
    switch (row) {
    case pub::KeyRow::Line:
        (void)e.numbers(Prop::StartPoint);
        (void)e.numbers(Prop::EndPoint);
        break;
    case pub::KeyRow::Circle:
        (void)e.numbers(Prop::Center);
        (void)e.number(Prop::Radius);
        break;
    case pub::KeyRow::Text:
        (void)e.numbers(Prop::InsertionPoint);
        (void)e.text(Prop::TextString);
        (void)e.number(Prop::Height);
        (void)e.number(Prop::Rotation);
        break;
    case pub::KeyRow::Polyline:
        (void)e.numbers(Prop::Coordinates);
        (void)e.number(Prop::Length);
        (void)e.number(Prop::Area);
        (void)e.flag(Prop::Closed);
        break;
    default: break;
    }
}

// CPU time of the calling thread: the machine that runs the bench is often shared, and wall time
// would measure the neighbours too.
double threadSeconds() {
    FILETIME created, exited, kernel, user;
    GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
    auto ticks = [](FILETIME f) { return (static_cast<std::uint64_t>(f.dwHighDateTime) << 32) | f.dwLowDateTime; };
    return static_cast<double>(ticks(kernel) + ticks(user)) * 1e-7;
}

double seconds(const std::function<void()>& body) {
    const double t0 = threadSeconds();
    body();
    return threadSeconds() - t0;
}

void run(const wchar_t* typeWord, Kind kind, bool withLayer) {
    const std::vector<Entity> entities = makeEntities(kind);
    const pub::DedupeRequest request{typeWord, withLayer, false, 3, L""};
    double readBest = 1e9, dedupeBest = 1e9;
    std::int32_t removed = 0;
    for (int round = 0; round < 5; ++round) {
        {
            Fixture f(entities);
            readBest = std::min(readBest, seconds([&] {
                pub::AcadSelection sel{f.selection};
                const std::int32_t n = sel.count();
                for (std::int32_t i = 0; i < n; ++i) {
                    auto e = sel.item(i);
                    const std::wstring name = e->text(pub::Prop::ObjectName);
                    readLikeTheKeys(pub::keyRowFor(typeWord), *e, withLayer);
                }
            }));
        }
        {
            Fixture f(entities);
            dedupeBest = std::min(dedupeBest, seconds([&] {
                removed = pub::deleteDuplicateEntities(f.selection.get(), request, {});
            }));
        }
    }
    std::wprintf(L"%-8ls layer=%d  %d entities, %d removed: read %.3f s, remove %.3f s (thread CPU time, best of 5), ratio %.2f\n", typeWord,
                 withLayer ? 1 : 0, kEntities, removed, readBest, dedupeBest, dedupeBest / readBest);
}

}  // namespace

int main() {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    run(L"circle", Kind::Circle, false);
    run(L"line", Kind::Line, false);
    run(L"text", Kind::Text, true);
    run(L"polyline,lwpolyline", Kind::LwPolyline, false);
    CoUninitialize();
    return 0;
}
