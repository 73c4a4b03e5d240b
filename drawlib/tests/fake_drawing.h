#pragma once
// An in-memory drawing for the duplicate-removal tests: entities are plain records, every property
// read is counted, a missing property or an erased entity fails as AutoCAD would, and layers can be
// locked or missing so that deletes and moves are refused.
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "core/errors.h"
#include "drawlib/dedupe.h"

namespace kelva::pub::test {

inline constexpr std::int32_t kErased = static_cast<std::int32_t>(0x8020004Cu);
inline constexpr std::int32_t kNoMember = 438;

struct FakeEntity {
    std::wstring objectName;
    std::map<Prop, std::wstring> texts;
    std::map<Prop, double> numbers;
    std::map<Prop, bool> flags;
    std::map<Prop, std::vector<double>> arrays;
    std::vector<std::vector<double>> corners;  // Coordinate(i)
    std::optional<std::pair<std::vector<double>, std::vector<double>>> box;
    std::optional<std::vector<AttributeText>> attributes;
    bool erased = false;

    std::map<std::wstring, int> reads;  // per property (Coordinate(i) as "Coordinate#i")
    int deletes = 0;
    int moves = 0;

    std::wstring layer() const {
        auto it = texts.find(Prop::Layer);
        return it == texts.end() ? L"" : it->second;
    }
};

struct FakeDrawing {
    std::vector<FakeEntity> entities;
    std::set<std::wstring> layers{L"0"};
    std::set<std::wstring> lockedLayers;
    bool countFails = false;
    std::set<std::int32_t> failingItems;
    int itemCalls = 0;
};

class FakeSelected final : public SelectedEntity {
public:
    FakeSelected(FakeDrawing& d, FakeEntity& e) : drawing_(d), e_(e) {}

    std::wstring text(Prop p) override {
        touch(p);
        if (p == Prop::ObjectName) return e_.objectName;
        return find(e_.texts, p);
    }
    double number(Prop p) override {
        touch(p);
        return find(e_.numbers, p);
    }
    bool flag(Prop p) override {
        touch(p);
        return find(e_.flags, p);
    }
    std::vector<double> numbers(Prop p) override {
        touch(p);
        return find(e_.arrays, p);
    }
    std::vector<double> coordinate(int index) override {
        touchName(L"Coordinate#" + std::to_wstring(index));
        if (index < 0 || static_cast<size_t>(index) >= e_.corners.size()) throw VbError(err::InvalidCall);
        return e_.corners[static_cast<size_t>(index)];
    }
    std::pair<std::vector<double>, std::vector<double>> boundingBox() override {
        touchName(L"GetBoundingBox");
        if (!e_.box) throw VbError(kNoMember);
        return *e_.box;
    }
    std::vector<AttributeText> attributes() override {
        touchName(L"GetAttributes");
        if (!e_.attributes) throw VbError(kNoMember);
        return *e_.attributes;
    }
    void erase() override {
        alive();
        if (drawing_.lockedLayers.count(e_.layer())) throw VbError(static_cast<std::int32_t>(0x80200022u));
        e_.erased = true;
        ++e_.deletes;
    }
    void moveToLayer(const std::wstring& layer) override {
        alive();
        if (!drawing_.layers.count(layer)) throw VbError(static_cast<std::int32_t>(0x8020002Bu));
        if (drawing_.lockedLayers.count(e_.layer())) throw VbError(static_cast<std::int32_t>(0x80200022u));
        e_.texts[Prop::Layer] = layer;
        ++e_.moves;
    }

private:
    void alive() const {
        if (e_.erased) throw VbError(kErased);
    }
    void touchName(const std::wstring& name) {
        ++e_.reads[name];
        alive();
    }
    void touch(Prop p) { touchName(std::wstring(propName(p))); }
    template <class Map>
    typename Map::mapped_type find(const Map& m, Prop p) {
        auto it = m.find(p);
        if (it == m.end()) throw VbError(kNoMember);
        return it->second;
    }

    FakeDrawing& drawing_;
    FakeEntity& e_;
};

class FakeSelection final : public SelectionView {
public:
    explicit FakeSelection(FakeDrawing& d) : d_(d) {}
    std::int32_t count() override {
        if (d_.countFails) throw VbError(err::ObjectNotSet);
        return static_cast<std::int32_t>(d_.entities.size());
    }
    std::unique_ptr<SelectedEntity> item(std::int32_t index) override {
        ++d_.itemCalls;
        if (d_.failingItems.count(index)) throw VbError(err::InvalidCall);
        return std::make_unique<FakeSelected>(d_, d_.entities.at(static_cast<size_t>(index)));
    }

private:
    FakeDrawing& d_;
};

// Entity makers with the properties AutoCAD gives each class.
inline FakeEntity point(std::vector<double> at, std::wstring layer = L"0") {
    FakeEntity e;
    e.objectName = L"AcDbPoint";
    e.arrays[Prop::Coordinates] = std::move(at);
    e.texts[Prop::Layer] = std::move(layer);
    return e;
}

inline FakeEntity line(std::vector<double> s, std::vector<double> t, std::wstring layer = L"0") {
    FakeEntity e;
    e.objectName = L"AcDbLine";
    e.arrays[Prop::StartPoint] = std::move(s);
    e.arrays[Prop::EndPoint] = std::move(t);
    e.texts[Prop::Layer] = std::move(layer);
    return e;
}

inline FakeEntity circle(std::vector<double> c, double r, std::wstring layer = L"0") {
    FakeEntity e;
    e.objectName = L"AcDbCircle";
    e.arrays[Prop::Center] = std::move(c);
    e.numbers[Prop::Radius] = r;
    e.texts[Prop::Layer] = std::move(layer);
    return e;
}

inline FakeEntity arc(std::vector<double> c, double r, std::vector<double> s, std::vector<double> t, double len,
                      std::wstring layer = L"0") {
    FakeEntity e = circle(std::move(c), r, std::move(layer));
    e.objectName = L"AcDbArc";
    e.arrays[Prop::StartPoint] = std::move(s);
    e.arrays[Prop::EndPoint] = std::move(t);
    e.numbers[Prop::ArcLength] = len;
    return e;
}

inline FakeEntity text(std::vector<double> at, std::wstring contents, double height, double rotation = 0,
                       std::wstring layer = L"0", std::wstring objectName = L"AcDbText") {
    FakeEntity e;
    e.objectName = std::move(objectName);
    e.arrays[Prop::InsertionPoint] = std::move(at);
    e.texts[Prop::TextString] = std::move(contents);
    e.numbers[Prop::Height] = height;
    e.numbers[Prop::Rotation] = rotation;
    e.texts[Prop::Layer] = std::move(layer);
    return e;
}

// A polyline of the given class from its vertices (x, y, and z for the 2-D and 3-D kinds).
inline FakeEntity polyline(const std::wstring& objectName, const std::vector<std::vector<double>>& vertices,
                           double length, double area, bool closed, double elevation = 0,
                           std::wstring layer = L"0") {
    FakeEntity e;
    e.objectName = objectName;
    const bool light = objectName == L"AcDbPolyline";
    std::vector<double> coords;
    for (const auto& v : vertices) {
        coords.push_back(v[0]);
        coords.push_back(v[1]);
        if (!light) coords.push_back(v.size() > 2 ? v[2] : elevation);
    }
    e.arrays[Prop::Coordinates] = coords;
    e.numbers[Prop::Length] = length;
    if (objectName != L"AcDb3dPolyline") {
        e.numbers[Prop::Area] = area;
        e.numbers[Prop::Elevation] = elevation;
    }
    e.flags[Prop::Closed] = closed;
    e.texts[Prop::Layer] = std::move(layer);
    return e;
}

inline FakeEntity blockRef(std::vector<double> at, std::wstring name, double scale, double rotation,
                           std::vector<AttributeText> attributes = {}, std::wstring layer = L"0") {
    FakeEntity e;
    e.objectName = L"AcDbBlockReference";
    e.arrays[Prop::InsertionPoint] = std::move(at);
    e.texts[Prop::Name] = std::move(name);
    e.numbers[Prop::XScaleFactor] = scale;
    e.numbers[Prop::YScaleFactor] = scale;
    e.numbers[Prop::ZScaleFactor] = scale;
    e.numbers[Prop::Rotation] = rotation;
    e.flags[Prop::HasAttributes] = !attributes.empty();
    e.attributes = std::move(attributes);
    e.texts[Prop::Layer] = std::move(layer);
    return e;
}

inline FakeEntity hatch(std::wstring pattern, double area, std::vector<double> lo, std::vector<double> hi,
                        std::wstring layer = L"0") {
    FakeEntity e;
    e.objectName = L"AcDbHatch";
    e.numbers[Prop::Elevation] = 0;
    e.texts[Prop::PatternName] = std::move(pattern);
    e.numbers[Prop::Area] = area;
    e.numbers[Prop::HatchStyle] = 0;
    e.numbers[Prop::PatternAngle] = 0;
    e.numbers[Prop::PatternScale] = 1;
    e.box = std::make_pair(std::move(lo), std::move(hi));
    e.texts[Prop::Layer] = std::move(layer);
    return e;
}

inline FakeEntity solid(std::vector<std::vector<double>> corners, std::wstring layer = L"0") {
    FakeEntity e;
    e.objectName = L"AcDbSolid";
    e.corners = std::move(corners);
    e.texts[Prop::Layer] = std::move(layer);
    return e;
}

}  // namespace kelva::pub::test
