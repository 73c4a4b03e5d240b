// Duplicate removal against a brute-force oracle: random drawings for every type word, with exact
// and near duplicates, reversed and zero-length lines, other layers, letter case, texts that look
// like numbers, unkeyable entities and refused deletes and moves. The oracle keeps each entity's
// key as a list of typed parts and compares every pair; survivors, layers and the count must agree.
#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <random>
#include <variant>

#include "core/values.h"
#include "drawlib/dedupe.h"
#include "fake_drawing.h"

namespace kelva::pub::test {
namespace {

// ---------------------------------------------------------------------------------------------------------------
// The oracle: its own reading of the key rules, with no text keys and no hashing.

using Part = std::variant<double, std::wstring, long long>;  // rounded number, folded text, integer
using Parts = std::vector<Part>;

struct OracleKeys {
    std::optional<Parts> forward;
    std::optional<Parts> reversed;
};

std::wstring asciiLower(std::wstring s) {
    for (auto& c : s)
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c + 32);
    return s;
}

const std::map<std::wstring, std::vector<std::wstring>>& rowClasses() {
    static const std::map<std::wstring, std::vector<std::wstring>> rows = {
        {L"point", {L"AcDbPoint"}},
        {L"line", {L"AcDbLine"}},
        {L"polyline,lwpolyline", {L"AcDbPolyline", L"AcDb2dPolyline", L"AcDb3dPolyline"}},
        {L"circle", {L"AcDbCircle"}},
        {L"arc", {L"AcDbArc"}},
        {L"text", {L"AcDbText", L"AcDbMText"}},
        {L"mtext", {L"AcDbText", L"AcDbMText"}},
        {L"insert", {L"AcDbBlockReference", L"AcDbMInsertBlock"}},
        {L"hatch", {L"AcDbHatch"}},
        {L"solid", {L"AcDbSolid"}},
    };
    return rows;
}

struct Missing {};

class OracleKeyer {
public:
    OracleKeyer(const DedupeRequest& r) : r_(r) {}

    OracleKeys keys(const FakeEntity& e) const {
        const auto row = rowClasses().find(asciiLower(r_.typeWord));
        if (row == rowClasses().end() || e.erased) return {};
        bool applies = false;
        for (const auto& c : row->second) applies |= c == e.objectName;
        if (!applies) return {};
        try {
            return build(row->first, e);
        } catch (const Missing&) {
            return {};
        } catch (const VbError&) {  // the rounding rule's overflow: not generated, but keyless if so
            return {};
        }
    }

private:
    template <class M>
    static auto get(const M& m, Prop p) {
        auto it = m.find(p);
        if (it == m.end()) throw Missing{};
        return it->second;
    }
    double n(double v) const { return roundFixed(v, std::max(r_.decimals, 0)); }
    static double s(double v) { return roundFixed(v, 4); }
    void point(Parts& k, const std::vector<double>& p) const {
        if (p.size() < 2 || (r_.withZ && p.size() < 3)) throw Missing{};
        k.push_back(n(p[0]));
        k.push_back(n(p[1]));
        if (r_.withZ) k.push_back(n(p[2]));
    }

    OracleKeys build(const std::wstring& word, const FakeEntity& e) const {
        OracleKeys out;
        Parts k;
        if (word == L"point") {
            point(k, get(e.arrays, Prop::Coordinates));
        } else if (word == L"line") {
            Parts a, b;
            point(a, get(e.arrays, Prop::StartPoint));
            point(b, get(e.arrays, Prop::EndPoint));
            k = a;
            k.insert(k.end(), b.begin(), b.end());
            Parts rev = b;
            rev.insert(rev.end(), a.begin(), a.end());
            if (r_.withLayer) rev.push_back(asciiLower(get(e.texts, Prop::Layer)));
            out.reversed = rev;
        } else if (word == L"polyline,lwpolyline") {
            const bool light = e.objectName == L"AcDbPolyline", threeD = e.objectName == L"AcDb3dPolyline";
            const auto c = get(e.arrays, Prop::Coordinates);
            const int stride = light ? 2 : 3;
            const long long last = std::llround(std::nearbyint((double(c.size()) - 2) / stride));
            auto vertex = [&](long long i) {
                if (i < 0 || size_t((i + 1) * stride) > c.size()) throw Missing{};
                std::vector<double> p{c[size_t(i * stride)], c[size_t(i * stride + 1)],
                                      threeD ? c[size_t(i * stride + 2)]
                                             : (r_.withZ ? get(e.numbers, Prop::Elevation) : 0.0)};
                point(k, p);
            };
            vertex(0);
            vertex(last);
            k.push_back(n(get(e.numbers, Prop::Length)));
            k.push_back(threeD ? Part(std::wstring()) : Part(n(get(e.numbers, Prop::Area))));
            k.push_back(last);
            k.push_back(get(e.flags, Prop::Closed) ? std::wstring(L"c") : std::wstring(L"o"));
            for (long long i = 0; i < (last <= 10 ? last + 1 : 10); ++i) vertex(i);
        } else if (word == L"circle") {
            point(k, get(e.arrays, Prop::Center));
            k.push_back(n(get(e.numbers, Prop::Radius)));
        } else if (word == L"arc") {
            point(k, get(e.arrays, Prop::StartPoint));
            point(k, get(e.arrays, Prop::EndPoint));
            point(k, get(e.arrays, Prop::Center));
            k.push_back(n(get(e.numbers, Prop::ArcLength)));
            k.push_back(n(get(e.numbers, Prop::Radius)));
        } else if (word == L"text" || word == L"mtext") {
            point(k, get(e.arrays, Prop::InsertionPoint));
            k.push_back(asciiLower(get(e.texts, Prop::TextString)));
            k.push_back(n(get(e.numbers, Prop::Height)));
            k.push_back(n(get(e.numbers, Prop::Rotation)));
        } else if (word == L"insert") {
            point(k, get(e.arrays, Prop::InsertionPoint));
            k.push_back(asciiLower(get(e.texts, Prop::Name)));
            k.push_back(s(get(e.numbers, Prop::XScaleFactor)));
            k.push_back(s(get(e.numbers, Prop::YScaleFactor)));
            k.push_back(s(get(e.numbers, Prop::ZScaleFactor)));
            k.push_back(n(get(e.numbers, Prop::Rotation)));
            Parts attributes;
            if (e.objectName == L"AcDbBlockReference" && get(e.flags, Prop::HasAttributes)) {
                if (!e.attributes) throw Missing{};
                for (const auto& a : *e.attributes) {
                    attributes.push_back(asciiLower(a.tag));
                    attributes.push_back(asciiLower(a.text));
                }
            }
            // The attribute part is one slot of the key however many attributes it holds.
            if (attributes.empty()) attributes.push_back(std::wstring());
            k.insert(k.end(), attributes.begin(), attributes.end());
        } else if (word == L"hatch") {
            if (r_.withZ) k.push_back(n(get(e.numbers, Prop::Elevation)));
            k.push_back(asciiLower(get(e.texts, Prop::PatternName)));
            k.push_back(n(get(e.numbers, Prop::Area)));
            k.push_back(std::llround(get(e.numbers, Prop::HatchStyle)));
            k.push_back(n(get(e.numbers, Prop::PatternAngle)));
            k.push_back(s(get(e.numbers, Prop::PatternScale)));
            if (!e.box) throw Missing{};
            point(k, e.box->first);
            point(k, e.box->second);
        } else if (word == L"solid") {
            if (e.corners.size() < 4) throw Missing{};
            for (int i = 0; i < 4; ++i) point(k, e.corners[size_t(i)]);
        }
        if (r_.withLayer) k.push_back(asciiLower(get(e.texts, Prop::Layer)));
        out.forward = k;
        return out;
    }

    const DedupeRequest& r_;
};

struct Expected {
    std::vector<FakeEntity> entities;
    std::int32_t count = 0;
    int duplicates = 0;  // found, whether removed or refused
};

Expected oracle(const FakeDrawing& d, const DedupeRequest& r) {
    const OracleKeyer keyer(r);
    std::vector<OracleKeys> keys;
    for (const auto& e : d.entities) keys.push_back(keyer.keys(e));
    Expected x{d.entities};
    for (size_t j = 0; j < keys.size(); ++j) {
        if (!keys[j].forward) continue;
        bool dup = false;
        for (size_t i = 0; i < j && !dup; ++i) {
            if (!keys[i].forward) continue;
            for (const auto* a : {&keys[i].forward, &keys[i].reversed})
                for (const auto* b : {&keys[j].forward, &keys[j].reversed})
                    if (*a && *b && **a == **b) dup = true;
        }
        if (!dup) continue;
        ++x.duplicates;
        FakeEntity& e = x.entities[j];
        if (d.lockedLayers.count(e.layer())) continue;
        if (r.moveToLayer.empty()) {
            e.erased = true;
        } else {
            if (!d.layers.count(r.moveToLayer)) continue;
            e.texts[Prop::Layer] = r.moveToLayer;
        }
        ++x.count;
    }
    return x;
}

// ---------------------------------------------------------------------------------------------------------------
// Random drawings.

class Generator {
public:
    explicit Generator(unsigned seed, int decimals) : rng_(seed), decimals_(decimals) {}

    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
    bool chance(int percent) { return pick(100) < percent; }

    double value() {
        static const double grid[] = {0, 1, 2.5, 10, -3, 12.5, 0.125, 100};
        double v = grid[pick(8)];
        if (chance(20)) v += std::pow(10.0, -decimals_ - 2) * (pick(9) - 4);  // lost in rounding, mostly
        if (chance(10)) v -= std::pow(10.0, -decimals_) * (pick(3) + 1);      // kept apart by rounding
        if (chance(5)) v = (chance(50) ? -1 : 1) * std::pow(10.0, -decimals_ - 1) * 0.4;  // rounds to zero
        return v;
    }
    std::vector<double> pointValue() { return {value(), value(), chance(70) ? 0.0 : value()}; }
    std::wstring textValue() {
        static const wchar_t* pieces[] = {L"A", L"a", L"1", L"2", L".", L"5", L"\x1F", L"\x1B", L"-", L" ", L"가", L"0"};
        std::wstring s;
        const int n = pick(4);
        for (int i = 0; i < n; ++i) s += pieces[pick(12)];
        return s;
    }
    std::wstring layerValue() {
        static const wchar_t* names[] = {L"0", L"A", L"a", L"B", L"LOCK"};
        return names[pick(5)];
    }

    FakeEntity fresh() {
        static const wchar_t* classes[] = {L"AcDbPoint", L"AcDbLine", L"AcDbPolyline", L"AcDb2dPolyline",
                                           L"AcDb3dPolyline", L"AcDbCircle", L"AcDbArc", L"AcDbText",
                                           L"AcDbMText", L"AcDbBlockReference", L"AcDbMInsertBlock", L"AcDbHatch",
                                           L"AcDbSolid", L"AcDbAttributeDefinition", L"AcDbEllipse"};
        const std::wstring cls = classes[pick(15)];
        FakeEntity e;
        if (cls == L"AcDbPoint") {
            e = point(pointValue());
        } else if (cls == L"AcDbLine") {
            const auto s = pointValue();
            e = line(s, chance(15) ? s : pointValue());
        } else if (cls == L"AcDbPolyline" || cls == L"AcDb2dPolyline" || cls == L"AcDb3dPolyline") {
            std::vector<std::vector<double>> v;
            const int count = 1 + pick(14);
            for (int i = 0; i < count; ++i) v.push_back(pointValue());
            e = polyline(cls, v, value(), value(), chance(50), value());
        } else if (cls == L"AcDbCircle") {
            e = circle(pointValue(), value());
        } else if (cls == L"AcDbArc") {
            e = arc(pointValue(), value(), pointValue(), pointValue(), value());
        } else if (cls == L"AcDbText" || cls == L"AcDbMText") {
            e = text(pointValue(), textValue(), value(), value(), L"0", cls);
        } else if (cls == L"AcDbBlockReference" || cls == L"AcDbMInsertBlock") {
            std::vector<AttributeText> attributes;
            const int count = pick(3);
            for (int i = 0; i < count; ++i)
                attributes.push_back({textValue(), chance(40) ? textValue() + L"\x1F" + textValue() : textValue()});
            e = blockRef(pointValue(), textValue(), value(), value(), attributes);
            e.objectName = cls;
            if (chance(30)) e.numbers[Prop::YScaleFactor] = value();
        } else if (cls == L"AcDbHatch") {
            e = hatch(textValue(), value(), pointValue(), pointValue());
            e.numbers[Prop::HatchStyle] = pick(3);
            e.numbers[Prop::PatternAngle] = value();
            e.numbers[Prop::Elevation] = value();
        } else if (cls == L"AcDbSolid") {
            e = solid({pointValue(), pointValue(), pointValue(), pointValue()});
        } else {
            e.objectName = cls;
            e.arrays[Prop::Center] = pointValue();
            e.arrays[Prop::InsertionPoint] = pointValue();
            e.texts[Prop::TextString] = textValue();
            e.texts[Prop::TagString] = textValue();
            e.numbers[Prop::Radius] = value();
            e.numbers[Prop::Height] = value();
            e.numbers[Prop::Rotation] = value();
        }
        e.texts[Prop::Layer] = layerValue();
        return e;
    }

    // A variant of an earlier entity: the same, or changed in one way that may or may not matter.
    FakeEntity variant(FakeEntity e) {
        switch (pick(13)) {
        case 0: case 1: case 2: break;  // exact copy
        case 3:                         // letter case
            for (auto& [p, t] : e.texts)
                for (auto& c : t)
                    if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - 32);
            break;
        case 4:  // one number nudged
            if (!e.numbers.empty()) {
                auto it = std::next(e.numbers.begin(), pick(int(e.numbers.size())));
                it->second += std::pow(10.0, -decimals_ - (chance(50) ? 2 : 0)) * (chance(50) ? 1 : -1);
            }
            break;
        case 5:  // one coordinate nudged
            if (!e.arrays.empty()) {
                auto it = std::next(e.arrays.begin(), pick(int(e.arrays.size())));
                if (!it->second.empty())
                    it->second[size_t(pick(int(it->second.size())))] += std::pow(10.0, -decimals_ - pick(3));
            }
            break;
        case 6:  // the other way round
            if (e.arrays.count(Prop::StartPoint) && e.arrays.count(Prop::EndPoint))
                std::swap(e.arrays[Prop::StartPoint], e.arrays[Prop::EndPoint]);
            break;
        case 7: e.texts[Prop::Layer] = layerValue(); break;
        case 8:  // cannot be keyed
            if (chance(50))
                e.erased = true;
            else if (!e.numbers.empty())
                e.numbers.erase(std::next(e.numbers.begin(), pick(int(e.numbers.size()))));
            break;
        case 9:  // only the Z differs
            for (auto& [p, a] : e.arrays)
                if (a.size() == 3) a[2] += 1;
            break;
        case 10:  // the same thing somewhere else
            for (auto& [p, a] : e.arrays)
                if (a.size() == 3) a[0] += 10;
            for (auto& c : e.corners) c[0] += 10;
            if (e.box) {
                e.box->first[0] += 10;
                e.box->second[0] += 10;
            }
            break;
        case 11:  // a digit moved from a number into the text before it: "T" 12.5 against "T1" 2.5
            for (Prop textPart : {Prop::TextString, Prop::Name})
                for (Prop number : {Prop::Height, Prop::XScaleFactor})
                    if (e.texts.count(textPart) && e.numbers.count(number) && e.numbers[number] >= 10 &&
                        e.numbers[number] < 20) {
                        e.texts[textPart] += L"1";
                        e.numbers[number] -= 10;
                    }
            break;
        case 12:  // a separator moved from one attribute text into the tag before it
            if (e.attributes && !e.attributes->empty()) {
                auto& a = e.attributes->front();
                const size_t at = a.text.find(L'\x1F');
                if (at != std::wstring::npos) {
                    a.tag += L"\x1F" + a.text.substr(0, at);
                    a.text = a.text.substr(at + 1);
                }
            }
            break;
        }
        return e;
    }

    FakeDrawing drawing(int size) {
        FakeDrawing d;
        d.layers = {L"0", L"A", L"B", L"LOCK", L"DUP"};
        d.lockedLayers = {L"LOCK"};
        for (int i = 0; i < size; ++i) {
            if (!d.entities.empty() && chance(60))
                d.entities.push_back(variant(d.entities[size_t(pick(int(d.entities.size())))]));
            else
                d.entities.push_back(fresh());
        }
        return d;
    }

private:
    std::mt19937 rng_;
    int decimals_;
};

void expectSame(const FakeDrawing& got, const Expected& want, const std::string& where) {
    ASSERT_EQ(got.entities.size(), want.entities.size());
    for (size_t i = 0; i < got.entities.size(); ++i) {
        EXPECT_EQ(got.entities[i].erased, want.entities[i].erased) << where << " entity " << i;
        EXPECT_TRUE(got.entities[i].layer() == want.entities[i].layer()) << where << " entity " << i;
        for (const auto& [name, n] : got.entities[i].reads) EXPECT_LE(n, 1) << where << " entity " << i;
    }
}

TEST(DedupeOracle, RandomDrawingsForEveryTypeWord) {
    const std::vector<std::wstring> words = {L"point",  L"line",   L"polyline,lwpolyline", L"circle", L"Arc",
                                             L"text",   L"MTEXT",  L"insert",              L"hatch",  L"solid",
                                             L"polyline", L"ellipse"};
    for (const auto& word : words) {
        int duplicates = 0, removed = 0, refused = 0;
        for (unsigned seed = 1; seed <= 150; ++seed) {
            Generator g(seed * 7919u + static_cast<unsigned>(word.size()), int(seed % 4));
            FakeDrawing d = g.drawing(10 + g.pick(50));
            DedupeRequest r;
            r.typeWord = word;
            r.withLayer = g.chance(40);
            r.withZ = g.chance(40);
            r.decimals = int(seed % 4);
            const int target = g.pick(4);
            r.moveToLayer = target == 0 ? L"DUP" : target == 1 ? L"MISSING" : L"";

            const Expected want = oracle(d, r);
            FakeSelection sel(d);
            int yields = 0;
            const std::int32_t count = deleteDuplicates(sel, r, [&] { ++yields; });
            const std::string where =
                std::string(word.begin(), word.end()) + " seed " + std::to_string(seed);
            EXPECT_EQ(count, want.count) << where;
            EXPECT_EQ(yields, int(d.entities.size())) << where;
            expectSame(d, want, where);
            duplicates += want.duplicates;
            removed += want.count;
            refused += want.duplicates - want.count;
            if (::testing::Test::HasFailure()) return;
        }
        // The drawings must really exercise the rules they claim to.
        if (rowClasses().count(asciiLower(word))) {
            EXPECT_GT(removed, 20) << std::string(word.begin(), word.end());
            EXPECT_GT(refused, 5) << std::string(word.begin(), word.end());
        } else {
            EXPECT_EQ(duplicates, 0);
        }
    }
}

}  // namespace
}  // namespace kelva::pub::test
