// Duplicate removal: the key rules of each row and the loop's treatment of clashes, refusals and
// entities that cannot be keyed.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "drawlib/dedupe.h"
#include "fake_drawing.h"

namespace kelva::pub::test {
namespace {

struct Outcome {
    std::int32_t count = 0;
    int yields = 0;
};

Outcome run(FakeDrawing& d, std::wstring typeWord, bool bLayer = false, bool bZ = false, int iDec = 3,
        std::wstring sLayer = L"") {
    FakeSelection sel(d);
    Outcome r;
    DedupeRequest req{std::move(typeWord), bLayer, bZ, iDec, std::move(sLayer)};
    r.count = deleteDuplicates(sel, req, [&] { ++r.yields; });
    return r;
}

std::vector<bool> erased(const FakeDrawing& d) {
    std::vector<bool> out;
    for (const auto& e : d.entities) out.push_back(e.erased);
    return out;
}

using V = std::vector<bool>;

TEST(DedupeLoop, CirclesEqualUpToTheDecimalsAreDuplicates) {
    FakeDrawing d;
    d.entities = {circle({1, 2, 0}, 5), circle({1.0004, 2, 0}, 5.0001), circle({1.001, 2, 0}, 5)};
    const Outcome r = run(d, L"circle", false, false, 3);
    EXPECT_EQ(r.count, 1);
    EXPECT_EQ(erased(d), (V{false, true, false}));
    EXPECT_EQ(r.yields, 3);
}

TEST(DedupeLoop, EmptySelectionAndFailingSelection) {
    FakeDrawing d;
    EXPECT_EQ(run(d, L"line").count, 0);
    d.entities = {circle({0, 0, 0}, 1), circle({0, 0, 0}, 1)};
    d.countFails = true;
    EXPECT_EQ(run(d, L"circle").count, 0);
    EXPECT_EQ(erased(d), (V{false, false}));
}

TEST(DedupeLoop, AnUnreadableItemIsPassedOver) {
    FakeDrawing d;
    d.entities = {circle({0, 0, 0}, 1), circle({0, 0, 0}, 1), circle({0, 0, 0}, 1)};
    d.failingItems = {1};
    EXPECT_EQ(run(d, L"circle").count, 1);
    EXPECT_EQ(erased(d), (V{false, false, true}));
}

TEST(DedupeLoop, ReversedLineIsADuplicateAndCountsOnce) {
    FakeDrawing d;
    d.entities = {line({0, 0, 0}, {10, 5, 0}), line({10, 5, 0}, {0, 0, 0}), line({0, 0, 0}, {10, 5, 0})};
    EXPECT_EQ(run(d, L"LINE").count, 2);
    EXPECT_EQ(erased(d), (V{false, true, true}));
    EXPECT_EQ(d.entities[1].deletes, 1);
}

TEST(DedupeLoop, MovedLineCountsOnceAndMovesOnce) {
    FakeDrawing d;
    d.layers.insert(L"DUP");
    d.entities = {line({0, 0, 0}, {1, 1, 0}), line({1, 1, 0}, {0, 0, 0})};
    EXPECT_EQ(run(d, L"line", false, false, 3, L"DUP").count, 1);
    EXPECT_EQ(d.entities[1].moves, 1);
    EXPECT_EQ(d.entities[1].layer(), L"DUP");
    EXPECT_EQ(d.entities[0].layer(), L"0");
    EXPECT_EQ(erased(d), (V{false, false}));
}

TEST(DedupeLoop, ZeroLengthLineIsKept) {
    FakeDrawing d;
    d.entities = {line({3, 3, 0}, {3, 3, 0}), line({4, 4, 0}, {4, 4, 0}), line({3, 3, 0}, {3, 3, 0})};
    EXPECT_EQ(run(d, L"line").count, 1);
    EXPECT_EQ(erased(d), (V{false, false, true}));
}

TEST(DedupeLoop, TextsDifferingOnlyInCaseAreDuplicates) {
    FakeDrawing d;
    d.entities = {text({0, 0, 0}, L"Kelva 도면", 2.5), text({0, 0, 0}, L"KELVA 도면", 2.5),
                  text({0, 0, 0}, L"kelva 도면", 2.5, 0, L"0", L"AcDbMText")};
    EXPECT_EQ(run(d, L"text").count, 2);
    EXPECT_EQ(erased(d), (V{false, true, true}));
}

TEST(DedupeLoop, KeyPartsCannotRunIntoEachOther) {
    FakeDrawing d;
    // Joined without a separator both would read "...A12.500..." at the same point.
    d.entities = {text({0, 0, 0}, L"A1", 2.5), text({0, 0, 0}, L"A", 12.5),
                  text({0, 0, 0}, L"A\x1F", 2.5), text({0, 0, 0}, L"A", 2.5)};
    EXPECT_EQ(run(d, L"text", false, false, 3).count, 0);

    // A separator inside a text part stays part of that text.
    FakeDrawing a;
    a.entities = {blockRef({0, 0, 0}, L"B", 1, 0, {{L"T\x1F" L"V", L"W"}}),
                  blockRef({0, 0, 0}, L"B", 1, 0, {{L"T", L"V\x1F" L"W"}})};
    EXPECT_EQ(run(a, L"insert").count, 0);
}

TEST(DedupeLoop, LayerPartKeepsEqualEntitiesOnOtherLayers) {
    FakeDrawing d;
    d.entities = {circle({0, 0, 0}, 1, L"A"), circle({0, 0, 0}, 1, L"B"), circle({0, 0, 0}, 1, L"a")};
    EXPECT_EQ(run(d, L"circle", true).count, 1);  // layer names ignore case too
    EXPECT_EQ(erased(d), (V{false, false, true}));
    FakeDrawing e;
    e.entities = {circle({0, 0, 0}, 1, L"A"), circle({0, 0, 0}, 1, L"B")};
    EXPECT_EQ(run(e, L"circle", false).count, 1);
}

TEST(DedupeLoop, MovingLeavesEverythingInPlace) {
    FakeDrawing d;
    d.layers.insert(L"중복");
    d.entities = {circle({0, 0, 0}, 1), circle({0, 0, 0}, 1), circle({0, 0, 0}, 1)};
    EXPECT_EQ(run(d, L"circle", false, false, 3, L"중복").count, 2);
    EXPECT_EQ(erased(d), (V{false, false, false}));
    EXPECT_EQ(d.entities[0].layer(), L"0");
    EXPECT_EQ(d.entities[1].layer(), L"중복");
    EXPECT_EQ(d.entities[2].layer(), L"중복");
}

TEST(DedupeLoop, RefusedDeletesAndMovesAreNotCounted) {
    FakeDrawing d;
    d.lockedLayers = {L"LOCKED"};
    d.entities = {circle({0, 0, 0}, 1), circle({0, 0, 0}, 1, L"LOCKED"), circle({0, 0, 0}, 1),
                  line({0, 0, 0}, {1, 0, 0}), line({1, 0, 0}, {0, 0, 0}, L"LOCKED")};
    EXPECT_EQ(run(d, L"circle").count, 1);
    EXPECT_EQ(erased(d), (V{false, false, true, false, false}));
    EXPECT_EQ(run(d, L"line").count, 0);

    FakeDrawing m;  // the target layer does not exist
    m.entities = {circle({0, 0, 0}, 1), circle({0, 0, 0}, 1)};
    EXPECT_EQ(run(m, L"circle", false, false, 3, L"NOWHERE").count, 0);
    EXPECT_EQ(m.entities[1].layer(), L"0");
}

TEST(DedupeLoop, UnknownTypeWordTouchesNothingEvenWithTheLayer) {
    for (bool bLayer : {false, true}) {
        FakeDrawing d;
        d.entities = {circle({0, 0, 0}, 1), circle({5, 0, 0}, 2), line({0, 0, 0}, {1, 1, 0}),
                      line({0, 0, 0}, {1, 1, 0})};
        const Outcome r = run(d, L"ellipse", bLayer);
        EXPECT_EQ(r.count, 0);
        EXPECT_EQ(r.yields, 4);
        EXPECT_EQ(erased(d), (V{false, false, false, false}));
    }
}

TEST(DedupeLoop, RowsKeyOnlyTheirOwnClasses) {
    FakeDrawing d;
    // An arc shares Center and Radius with a circle; a polyline shares nothing usable with a line.
    d.entities = {circle({0, 0, 0}, 1), arc({0, 0, 0}, 1, {1, 0, 0}, {0, 1, 0}, 1.5708),
                  arc({0, 0, 0}, 1, {1, 0, 0}, {0, 1, 0}, 1.5708)};
    EXPECT_EQ(run(d, L"circle").count, 0);
    EXPECT_EQ(run(d, L"arc").count, 1);
    EXPECT_EQ(erased(d), (V{false, false, true}));

    FakeDrawing p;
    p.entities = {polyline(L"AcDbPolyline", {{0, 0}, {1, 1}}, 1.41, 0, false),
                  polyline(L"AcDbPolyline", {{5, 5}, {6, 6}}, 1.41, 0, false), line({0, 0, 0}, {1, 1, 0})};
    EXPECT_EQ(run(p, L"line").count, 0);
}

TEST(DedupeLoop, EntitiesThatCannotBeKeyedAreKept) {
    FakeDrawing d;
    FakeEntity noRadius = circle({0, 0, 0}, 1);
    noRadius.numbers.erase(Prop::Radius);
    FakeEntity gone = circle({0, 0, 0}, 1);
    gone.erased = true;
    d.entities = {noRadius, noRadius, gone, circle({0, 0, 0}, 1), circle({0, 0, 0}, 1)};
    EXPECT_EQ(run(d, L"circle").count, 1);
    EXPECT_EQ(erased(d), (V{false, false, true, false, true}));
}

TEST(DedupeLoop, HatchesInDifferentPlacesAreKept) {
    FakeDrawing d;
    d.entities = {hatch(L"ANSI31", 100, {0, 0, 0}, {10, 10, 0}), hatch(L"ANSI31", 100, {20, 0, 0}, {30, 10, 0}),
                  hatch(L"ansi31", 100, {20, 0, 0}, {30, 10, 0})};
    EXPECT_EQ(run(d, L"hatch").count, 1);
    EXPECT_EQ(erased(d), (V{false, false, true}));
}

TEST(DedupeLoop, NegativeZeroRoundsToTheSameKey) {
    FakeDrawing d;
    d.entities = {point({-0.0001, 0.0002, 0}), point({0.0001, -0.0002, 0}), point({0, 0, 0})};
    EXPECT_EQ(run(d, L"point", false, false, 2).count, 2);
    FakeDrawing i;
    i.entities = {point({-0.4, 0, 0}), point({0.4, 0, 0})};
    EXPECT_EQ(run(i, L"point", false, false, 0).count, 1);
}

TEST(DedupeLoop, ZCountsOnlyWhenAsked) {
    FakeDrawing d;
    d.entities = {point({1, 1, 0}), point({1, 1, 5})};
    EXPECT_EQ(run(d, L"point", false, false).count, 1);
    FakeDrawing z;
    z.entities = {point({1, 1, 0}), point({1, 1, 5})};
    EXPECT_EQ(run(z, L"point", false, true).count, 0);
    FakeDrawing flat;  // a point without Z cannot be keyed with Z
    flat.entities = {point({1, 1}), point({1, 1})};
    EXPECT_EQ(run(flat, L"point", false, true).count, 0);
    EXPECT_EQ(run(flat, L"point", false, false).count, 1);
}

TEST(DedupeLoop, PolylinesSharingTheirFirstTenVerticesAreDuplicates) {
    std::vector<std::vector<double>> a, b;
    for (int i = 0; i < 12; ++i) {
        a.push_back({double(i), double(i % 3)});
        b.push_back({double(i), double(i % 3)});
    }
    b[10] = {99, 99};  // neither in the first ten nor the last vertex
    FakeDrawing d;
    d.entities = {polyline(L"AcDbPolyline", a, 40, 0, false), polyline(L"AcDbPolyline", b, 40, 0, false)};
    EXPECT_EQ(run(d, L"polyline,lwpolyline").count, 1);

    b[11] = {99, 99};  // the last vertex differs
    FakeDrawing e;
    e.entities = {polyline(L"AcDbPolyline", a, 40, 0, false), polyline(L"AcDbPolyline", b, 40, 0, false)};
    EXPECT_EQ(run(e, L"polyline,lwpolyline").count, 0);

    FakeDrawing c;  // the closed flag differs
    c.entities = {polyline(L"AcDbPolyline", a, 40, 0, false), polyline(L"AcDbPolyline", a, 40, 0, true)};
    EXPECT_EQ(run(c, L"Polyline,LWPolyline").count, 0);
}

TEST(DedupeLoop, PolylineZComesFromElevationOrTheVertices) {
    const std::vector<std::vector<double>> flat{{0, 0, 0}, {5, 0, 0}, {5, 5, 0}};
    const std::vector<std::vector<double>> raised{{0, 0, 3}, {5, 0, 0}, {5, 5, 0}};
    FakeDrawing d;
    // Same elevation, different vertex Z: the 2-D polylines take Z from the elevation only.
    d.entities = {polyline(L"AcDb2dPolyline", flat, 10, 12.5, false, 1),
                  polyline(L"AcDb2dPolyline", raised, 10, 12.5, false, 1)};
    EXPECT_EQ(run(d, L"polyline,lwpolyline", false, true).count, 1);
    FakeDrawing t;
    t.entities = {polyline(L"AcDb3dPolyline", flat, 10, 0, false), polyline(L"AcDb3dPolyline", raised, 10, 0, false)};
    EXPECT_EQ(run(t, L"polyline,lwpolyline", false, true).count, 0);
    EXPECT_EQ(run(t, L"polyline,lwpolyline", false, false).count, 1);
}

TEST(DedupeLoop, InsertsCompareNameScaleAndAttributes) {
    FakeDrawing d;
    d.entities = {blockRef({0, 0, 0}, L"DOOR", 1, 0, {{L"NO", L"1"}}),
                  blockRef({0, 0, 0}, L"door", 1.00001, 0, {{L"no", L"1"}}),
                  blockRef({0, 0, 0}, L"DOOR", 1, 0, {{L"NO", L"2"}}), blockRef({0, 0, 0}, L"DOOR", 1.001, 0),
                  blockRef({0, 0, 0}, L"DOOR", 1, 0, {{L"NO", L"1"}, {L"", L""}})};
    EXPECT_EQ(run(d, L"insert").count, 1);
    EXPECT_EQ(erased(d), (V{false, true, false, false, false}));
}

TEST(DedupeLoop, SolidsCompareAllFourCorners) {
    FakeDrawing d;
    d.entities = {solid({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}}), solid({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}}),
                  solid({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 2, 0}})};
    EXPECT_EQ(run(d, L"solid").count, 1);
    EXPECT_EQ(erased(d), (V{false, true, false}));
}

TEST(DedupeKeys, EachPropertyIsReadAtMostOncePerEntity) {
    std::vector<std::vector<double>> v;
    for (int i = 0; i < 14; ++i) v.push_back({double(i), 1, 2});
    const std::vector<std::pair<std::wstring, FakeEntity>> cases = {
        {L"point", point({1, 2, 3})},
        {L"line", line({1, 2, 3}, {4, 5, 6})},
        {L"polyline,lwpolyline", polyline(L"AcDb2dPolyline", v, 14, 3, true, 2)},
        {L"polyline,lwpolyline", polyline(L"AcDb3dPolyline", v, 14, 0, false)},
        {L"circle", circle({1, 2, 3}, 4)},
        {L"arc", arc({1, 2, 3}, 4, {0, 0, 0}, {1, 1, 1}, 3)},
        {L"text", text({1, 2, 3}, L"x", 2)},
        {L"insert", blockRef({1, 2, 3}, L"B", 1, 0, {{L"T", L"V"}})},
        {L"hatch", hatch(L"SOLID", 3, {0, 0, 0}, {1, 1, 0})},
        {L"solid", solid({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}})},
    };
    for (const auto& [word, entity] : cases) {
        FakeDrawing d;
        d.entities = {entity, entity};
        EXPECT_EQ(run(d, word, true, true).count, 1) << word;
        for (const auto& e : d.entities)
            for (const auto& [name, n] : e.reads) EXPECT_EQ(n, 1) << word << " reads " << std::string(name.begin(), name.end());
    }
}

TEST(DedupeKeys, NumberTexts) {
    EXPECT_EQ(numberText(12.345, 2), L"12.35");
    EXPECT_EQ(numberText(12.5, 0), L"13.");
    EXPECT_EQ(numberText(-0.004, 2), L"0.00");
    EXPECT_EQ(numberText(-0.4, 0), L"0.");
    EXPECT_EQ(numberText(0.5, -2), L"1.");
    EXPECT_EQ(scaleText(1), L"1.0000");
    EXPECT_EQ(scaleText(-2.00005), L"-2.0001");
}

// Number parts are written as the value the text shows, not as the text: two numbers must give equal
// parts exactly when their texts are equal, whichever way each was worked out (the quick integer way
// inside the everyday range, the text outside it).
TEST(DedupeKeys, NumberPartsEqualExactlyWhenTheTextsAre) {
    auto key = [](double v, int decimals) {
        FakeEntity e = point({v, 0, 0});
        FakeDrawing d;
        FakeSelected s(d, e);
        return entityKeys(KeyOptions{KeyRow::Point, false, false, decimals}, s, L"AcDbPoint").forward;
    };
    std::vector<double> values = {0.0, -0.0, 1e-8, 1e15, 1e19, 1e25, 123456789012345.6, 0.5, -0.5, 2.5e-9};
    for (double v : std::vector<double>(values)) {
        values.push_back(std::nextafter(v, 0.0));
        values.push_back(std::nextafter(v, 1e300));
        values.push_back(-v);
    }
    std::mt19937_64 rng(11);
    for (int i = 0; i < 80; ++i) {
        const double base = std::ldexp(static_cast<double>(rng() % 1000000), -static_cast<int>(rng() % 60));
        values.push_back(base);
        values.push_back(base * (1 + 1e-15));
        values.push_back(-base);
    }
    for (int decimals : {0, 1, 3, 8, 19, 25}) {
        for (size_t i = 0; i < values.size(); ++i)
            for (size_t j = i; j < values.size(); j += 1 + (j % 7)) {
                const bool sameText = numberText(values[i], decimals) == numberText(values[j], decimals);
                const bool sameKey = key(values[i], decimals) == key(values[j], decimals);
                ASSERT_EQ(sameText, sameKey) << values[i] << " and " << values[j] << " at " << decimals;
            }
    }
}

TEST(DedupeKeys, AttributePart) {
    FakeEntity ref = blockRef({0, 0, 0}, L"B", 1, 0, {{L"A", L"1"}, {L"B", L"2"}});
    FakeDrawing d;
    FakeSelected r(d, ref);
    const std::wstring both = attributeKey(r, L"AcDbBlockReference");
    EXPECT_NE(both.find(L"A"), std::wstring::npos);
    EXPECT_LT(both.find(L"1"), both.find(L"B"));

    FakeEntity none = blockRef({0, 0, 0}, L"B", 1, 0);
    FakeSelected n(d, none);
    EXPECT_EQ(attributeKey(n, L"AcDbBlockReference"), L"");
    EXPECT_EQ(n.text(Prop::ObjectName), L"AcDbBlockReference");
    EXPECT_EQ(none.reads.count(L"GetAttributes"), 0u);  // HasAttributes False: never asked

    FakeEntity def;
    def.objectName = L"AcDbAttributeDefinition";
    def.texts[Prop::TagString] = L"TAG";
    def.texts[Prop::TextString] = L"VALUE";
    FakeSelected a(d, def);
    const std::wstring own = attributeKey(a, L"AcDbAttributeDefinition");
    EXPECT_NE(own.find(L"TAG"), std::wstring::npos);
    EXPECT_NE(own.find(L"VALUE"), std::wstring::npos);

    FakeEntity other = circle({0, 0, 0}, 1);
    FakeSelected c(d, other);
    EXPECT_EQ(attributeKey(c, L"AcDbCircle"), L"");
    EXPECT_TRUE(other.reads.empty());

    FakeEntity broken = blockRef({0, 0, 0}, L"B", 1, 0, {{L"A", L"1"}});
    broken.attributes.reset();
    FakeSelected b(d, broken);
    EXPECT_THROW(attributeKey(b, L"AcDbBlockReference"), VbError);
}

TEST(DedupeKeys, TypeWordsAndRows) {
    EXPECT_EQ(keyRowFor(L"Arc"), KeyRow::Arc);
    EXPECT_EQ(keyRowFor(L"MTEXT"), KeyRow::Text);
    EXPECT_EQ(keyRowFor(L"polyline,lwpolyline"), KeyRow::Polyline);
    EXPECT_EQ(keyRowFor(L"polyline"), KeyRow::None);
    EXPECT_EQ(keyRowFor(L""), KeyRow::None);
    EXPECT_TRUE(rowApplies(KeyRow::Text, L"AcDbMText"));
    EXPECT_TRUE(rowApplies(KeyRow::Line, L"ACDBLINE"));
    EXPECT_FALSE(rowApplies(KeyRow::Circle, L"AcDbArc"));
    EXPECT_FALSE(rowApplies(KeyRow::Line, L"AcDbPolyline"));
}

}  // namespace
}  // namespace kelva::pub::test
