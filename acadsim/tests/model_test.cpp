// The stand-in's drawing model: what a macro sees of AutoCAD, without COM.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <numbers>

#include "acadsim/model/drawing.h"

using namespace kelva::acad;

namespace {

Entity line(Point3 a, Point3 b) {
    Entity e;
    e.kind = Kind::Line;
    e.a = a;
    e.b = b;
    return e;
}

Entity text(std::wstring s, Point3 at) {
    Entity e;
    e.kind = Kind::Text;
    e.text = std::move(s);
    e.a = at;
    e.height = 2.5;
    return e;
}

Entity lwpoly(std::vector<Point3> v, std::vector<double> bulges = {}, bool closed = false) {
    Entity e;
    e.kind = Kind::LwPolyline;
    e.chain = Chain{std::move(v), std::move(bulges), closed};
    return e;
}

std::int32_t errorOf(auto&& f) {
    try {
        f();
    } catch (const AcadError& e) {
        return e.hresult();
    }
    return 0;
}

}  // namespace

TEST(Geometry, PolylineWithHalfCircleBulge) {
    // A square drawn counterclockwise whose lower edge is a half circle bulging outwards (bulge 1:
    // the arc runs counterclockwise, so it swings to the right of the edge).
    Entity p = lwpoly({{0, 0}, {10, 0}, {10, 10}, {0, 10}}, {1, 0, 0, 0}, true);
    EXPECT_NEAR(entityLength(p), 30 + std::numbers::pi * 5, 1e-9);
    EXPECT_NEAR(entityArea(p), 100 + std::numbers::pi * 25 / 2, 1e-9);
    Box b = boundingBox(p);
    EXPECT_NEAR(b.min.y, -5, 1e-9);
    EXPECT_NEAR(b.max.x, 10, 1e-9);
    p.chain.bulges[0] = -1;  // the same half circle bulging into the square
    EXPECT_NEAR(entityArea(p), 100 - std::numbers::pi * 25 / 2, 1e-9);
    EXPECT_NEAR(boundingBox(p).min.y, 0, 1e-9);
}

TEST(Geometry, OpenPolylineAreaIsTakenAsClosedAndArcMeasures) {
    Entity p = lwpoly({{0, 0}, {4, 0}, {4, 3}});
    EXPECT_DOUBLE_EQ(entityLength(p), 7);
    EXPECT_DOUBLE_EQ(entityArea(p), 6);
    Entity arc;
    arc.kind = Kind::Arc;
    arc.radius = 2;
    arc.startAngle = 3 * std::numbers::pi / 2;  // crossing angle zero
    arc.endAngle = std::numbers::pi / 2;
    EXPECT_NEAR(entityLength(arc), 2 * std::numbers::pi, 1e-12);
    Box b = boundingBox(arc);
    EXPECT_NEAR(b.max.x, 2, 1e-12);
    EXPECT_NEAR(b.min.x, 0, 1e-12);
    EXPECT_THROW(entityArea(line({0, 0}, {1, 1})), AcadError);
}

TEST(Drawing, ErasedEntityRefusesEveryAccessWithItsOwnError) {
    Drawing d;
    EntityId a = d.add(line({0, 0}, {1, 0}));
    EntityId b = d.add(line({0, 0}, {2, 0}));
    EXPECT_EQ(d.entity(a).handle + 1, d.entity(b).handle);
    EXPECT_EQ(d.findHandle(handleText(d.entity(b).handle)), b);
    EXPECT_EQ(d.findHandle(L"zz"), std::nullopt);
    d.erase(a);
    EXPECT_EQ(errorOf([&] { d.live(a); }), hr::ObjectErased);
    EXPECT_EQ(errorOf([&] { d.erase(a); }), hr::ObjectErased);
    EXPECT_EQ(errorOf([&] { d.move(a, {}, {1, 1}); }), hr::ObjectErased);
    EXPECT_EQ(d.modelSpace(), std::vector<EntityId>{b});
    EXPECT_EQ(d.liveCount(), 1u);
}

TEST(Drawing, InjectedFailuresRefuseTheNextAttemptsOnly) {
    Drawing d;
    EntityId a = d.add(line({0, 0}, {1, 0}));
    d.addLayer(L"DUP");
    d.injectFailure(FailOp::Delete, hr::ObjectErased, 1);
    d.injectFailure(FailOp::SetLayer, hr::Fail, -1);
    EXPECT_EQ(errorOf([&] { d.erase(a); }), hr::ObjectErased);
    EXPECT_FALSE(d.entity(a).erased);
    EXPECT_EQ(errorOf([&] { d.setLayer(a, L"DUP"); }), hr::Fail);
    EXPECT_EQ(errorOf([&] { d.setLayer(a, L"DUP"); }), hr::Fail);
    EXPECT_EQ(d.entity(a).layer, L"0");
    d.clearFailures();
    d.setLayer(a, L"dup");
    EXPECT_EQ(d.entity(a).layer, L"DUP");  // the table's spelling
    EXPECT_EQ(errorOf([&] { d.setLayer(a, L"NOPE"); }), hr::KeyNotFound);
    d.erase(a);
}

TEST(Drawing, MoveTranslatesEveryPoint) {
    Drawing d;
    EntityId p = d.add(lwpoly({{0, 0}, {1, 0}}));
    EntityId l = d.add(line({0, 0, 0}, {1, 1, 1}));
    d.move(p, {1, 1, 0}, {2, 3, 0});
    d.move(l, {0, 0, 0}, {0, 0, 5});
    EXPECT_EQ(d.entity(p).chain.vertices[1], (Point3{2, 2, 0}));
    EXPECT_EQ(d.entity(l).b, (Point3{1, 1, 6}));
}

TEST(Drawing, AHatchLiesWhereItsBoundaryLoopsAre) {
    Drawing d;
    Entity circle;
    circle.kind = Kind::Circle;
    circle.a = {10, 20, 0};
    circle.radius = 2;
    const EntityId c = d.add(circle);
    const EntityId square = d.add(lwpoly({{30, 0}, {34, 0}, {34, 4}, {30, 4}}, {}, true));
    const EntityId l = d.add(line({0, 0}, {100, 100}));
    Entity hatch;
    hatch.kind = Kind::Hatch;
    const EntityId h = d.add(hatch);
    d.appendHatchLoop(h, {c});
    Box b = boundingBox(d.entity(h));
    EXPECT_EQ(b.min, (Point3{8, 18, 0}));
    EXPECT_EQ(b.max, (Point3{12, 22, 0}));
    d.appendHatchLoop(h, {square});  // a second loop widens the box and adds its area
    b = boundingBox(d.entity(h));
    EXPECT_EQ(b.min, (Point3{8, 0, 0}));
    EXPECT_EQ(b.max, (Point3{34, 22, 0}));
    EXPECT_NEAR(entityArea(d.entity(h)), 4 * std::numbers::pi + 16, 1e-9);
    EXPECT_EQ(d.entity(h).loops, 2);

    // A loop AutoCAD cannot take (a line encloses nothing) leaves the hatch as it was.
    EXPECT_EQ(errorOf([&] { d.appendHatchLoop(h, {square, l}); }), hr::NotApplicable);
    EXPECT_EQ(d.entity(h).loops, 2);
    EXPECT_EQ(boundingBox(d.entity(h)).max, (Point3{34, 22, 0}));
    EXPECT_EQ(errorOf([&] { d.appendHatchLoop(c, {square}); }), hr::NotApplicable);  // not a hatch

    d.move(h, {0, 0, 0}, {1, -1, 0});
    b = boundingBox(d.entity(h));
    EXPECT_EQ(b.min, (Point3{9, -1, 0}));
    EXPECT_EQ(b.max, (Point3{35, 21, 0}));
}

TEST(SelectionSets, NamedSetsKeepOrderAndRefuseDuplicatesAndDeletedUse) {
    Drawing d;
    EntityId a = d.add(line({0, 0}, {1, 0}));
    EntityId t = d.add(text(L"A", {}));
    SelectionSetId s = d.addSelectionSet(L"SelSet");
    EXPECT_EQ(errorOf([&] { d.addSelectionSet(L"selset"); }), hr::DuplicateKey);
    d.addItems(s, {t, a, t});
    EXPECT_EQ(d.selectionSet(s).items.ids(), (std::vector<EntityId>{t, a}));
    d.removeItems(s, {t});
    EXPECT_EQ(d.selectionSet(s).items.ids(), std::vector<EntityId>{a});
    d.injectFailure(FailOp::AddItems, hr::Fail, 1);
    EXPECT_EQ(errorOf([&] { d.addItems(s, {t}); }), hr::Fail);
    EXPECT_EQ(d.selectionSet(s).items.size(), 1u);
    d.erase(t);
    EXPECT_EQ(errorOf([&] { d.addItems(s, {t}); }), hr::ObjectErased);
    d.deleteSelectionSet(s);
    EXPECT_EQ(errorOf([&] { d.selectionSet(s); }), hr::ObjectErased);
    EXPECT_EQ(d.findSelectionSet(L"SelSet"), std::nullopt);
    EXPECT_NE(d.addSelectionSet(L"SelSet"), s);
}

TEST(SelectionSets, EntitySetKeepsInsertionOrderAndEachEntityOnce) {
    EntitySet set;
    EXPECT_TRUE(set.add(5));
    EXPECT_TRUE(set.add(0));
    EXPECT_FALSE(set.add(5));
    EXPECT_TRUE(set.add(1000));  // far beyond what it has seen: the bitmap grows
    EXPECT_TRUE(set.add(3));
    EXPECT_EQ(set.ids(), (std::vector<EntityId>{5, 0, 1000, 3}));
    const std::vector<EntityId> gone{0, 7, 1000, 0};  // 7 was never in it; 0 twice
    set.remove(gone.data(), gone.data() + gone.size());
    EXPECT_EQ(set.ids(), (std::vector<EntityId>{5, 3}));
    EXPECT_FALSE(set.contains(0));
    EXPECT_FALSE(set.contains(1000));
    EXPECT_FALSE(set.contains(99999));
    EXPECT_TRUE(set.add(0));  // what was taken out comes back at the end
    EXPECT_EQ(set.ids(), (std::vector<EntityId>{5, 3, 0}));
    set.clear();
    EXPECT_TRUE(set.empty());
    EXPECT_FALSE(set.contains(5));
    EXPECT_TRUE(set.add(3));
    EXPECT_TRUE(set.add(5));
    EXPECT_EQ(set.ids(), (std::vector<EntityId>{3, 5}));
}

TEST(SelectionSets, RewritingALargeSetKeepsTheNewOrder) {
    Drawing d;
    std::vector<EntityId> ids;
    for (int k = 0; k < 5000; ++k) ids.push_back(d.add(text(std::to_wstring(k), {double(k), 0, 0})));
    SelectionSetId s = d.addSelectionSet(L"S");
    d.selectAll(s, {});
    EXPECT_EQ(d.selectionSet(s).items.ids(), ids);
    std::vector<EntityId> reversed(ids.rbegin(), ids.rend());
    d.removeItems(s, ids);
    EXPECT_TRUE(d.selectionSet(s).items.empty());
    d.addItems(s, reversed);
    EXPECT_EQ(d.selectionSet(s).items.ids(), reversed);
    d.clearSelection(s);
    d.addItems(s, ids);
    d.addItems(s, reversed);  // all there already: nothing moves
    EXPECT_EQ(d.selectionSet(s).items.ids(), ids);
    d.selectAll(s, {});
    EXPECT_EQ(d.selectionSet(s).items.size(), ids.size());
    // Every other one out, in an order of its own.
    std::vector<EntityId> odd;
    for (std::size_t k = ids.size(); k > 1; k -= 2) odd.push_back(ids[k - 1]);
    d.removeItems(s, odd);
    std::vector<EntityId> even;
    for (std::size_t k = 0; k < ids.size(); k += 2) even.push_back(ids[k]);
    EXPECT_EQ(d.selectionSet(s).items.ids(), even);
}

TEST(SelectionSets, ErasedEntitiesStayUntilRemovedAndAreNeverAdded) {
    Drawing d;
    EntityId a = d.add(line({0, 0}, {1, 0}));
    EntityId b = d.add(line({0, 1}, {1, 1}));
    EntityId c = d.add(line({0, 2}, {1, 2}));
    SelectionSetId s = d.addSelectionSet(L"S");
    d.addItems(s, {a, b});
    d.erase(b);
    EXPECT_EQ(d.selectionSet(s).items.ids(), (std::vector<EntityId>{a, b}));
    // One erased entity refuses the whole call.
    EXPECT_EQ(errorOf([&] { d.addItems(s, {c, b}); }), hr::ObjectErased);
    EXPECT_EQ(d.selectionSet(s).items.ids(), (std::vector<EntityId>{a, b}));
    d.selectAll(s, {});
    EXPECT_EQ(d.selectionSet(s).items.ids(), (std::vector<EntityId>{a, b, c}));
    d.removeItems(s, {b});
    EXPECT_EQ(d.selectionSet(s).items.ids(), (std::vector<EntityId>{a, c}));
    // An id the drawing never had: what came before it is out, the rest stays.
    EXPECT_EQ(errorOf([&] { d.removeItems(s, {a, 99, c}); }), hr::InvalidArg);
    EXPECT_EQ(d.selectionSet(s).items.ids(), std::vector<EntityId>{c});
    d.injectFailure(FailOp::RemoveItems, hr::Fail, 1);
    EXPECT_EQ(errorOf([&] { d.removeItems(s, {c}); }), hr::Fail);
    EXPECT_EQ(d.selectionSet(s).items.ids(), std::vector<EntityId>{c});
    // A deleted set forgets its members; a new one of the same name starts empty.
    d.deleteSelectionSet(s);
    SelectionSetId again = d.addSelectionSet(L"S");
    EXPECT_TRUE(d.selectionSet(again).items.empty());
    d.addItems(again, {c, a});
    EXPECT_EQ(d.selectionSet(again).items.ids(), (std::vector<EntityId>{c, a}));
}

TEST(SelectionSets, FiltersByTypeListWildcardAndLayer) {
    EXPECT_TRUE(matchesWildcard(L"text,mtext", L"MTEXT"));
    EXPECT_TRUE(matchesWildcard(L"*POLY*", L"lwpolyline"));
    EXPECT_TRUE(matchesWildcard(L"A?C", L"abc"));
    EXPECT_FALSE(matchesWildcard(L"text", L"MTEXT"));
    EXPECT_FALSE(matchesWildcard(L"", L"LINE"));
    EXPECT_TRUE(matchesWildcard(L"LAYER#", L"layer7"));
    EXPECT_FALSE(matchesWildcard(L"LAYER#", L"layerX"));
    EXPECT_TRUE(matchesWildcard(L"@@.#", L"ab-1"));
    EXPECT_TRUE(matchesWildcard(L"~TEXT", L"LINE"));
    EXPECT_FALSE(matchesWildcard(L"~TEXT", L"text"));
    EXPECT_TRUE(matchesWildcard(L"[A-C]X,Z", L"bx"));
    EXPECT_TRUE(matchesWildcard(L"[~A-C]X", L"dx"));
    EXPECT_FALSE(matchesWildcard(L"[~A-C]X", L"ax"));
    EXPECT_TRUE(matchesWildcard(L"A`,B", L"a,b"));  // a quoted comma is no separator
    EXPECT_TRUE(matchesWildcard(L"*", L""));
    Drawing d;
    d.addLayer(L"T");
    d.add(line({}, {1, 0}));
    Entity t1 = text(L"a", {});
    t1.layer = L"T";
    EntityId a = d.add(t1);
    Entity m = text(L"b", {});
    m.kind = Kind::MText;
    EntityId b = d.add(m);
    SelectionSetId s = d.addSelectionSet(L"S");
    d.selectAll(s, {{0, L"text,mtext"}});
    EXPECT_EQ(d.selectionSet(s).items.ids(), (std::vector<EntityId>{a, b}));
    d.clearSelection(s);
    d.selectAll(s, {{0, L"TEXT,MTEXT"}, {8, L"t"}});
    EXPECT_EQ(d.selectionSet(s).items.ids(), std::vector<EntityId>{a});
    EXPECT_THROW(d.selectAll(s, {{62, L"1"}}), AcadError);
}

TEST(Input, ScriptedAnswersInOrderAndEmptyQueueCancels) {
    Drawing d;
    EntityId a = d.add(line({}, {1, 0}));
    d.queue({Answer::Miss});
    d.queue({Answer::Pick, a, {0.5, 0, 0}});
    EXPECT_EQ(errorOf([&] { d.getEntity(L"\r\nSelect: "); }), hr::Exception);
    EXPECT_EQ(std::get<int>(d.getVariable(L"ERRNO")), 7);
    PickResult r = d.getEntity(L"\r\nSelect: ");
    EXPECT_EQ(r.entity, a);
    EXPECT_EQ(r.point, (Point3{0.5, 0, 0}));
    EXPECT_EQ(std::get<int>(d.getVariable(L"errno")), 7);  // kept until someone resets it
    d.setVariable(L"errno", 0);
    EXPECT_EQ(errorOf([&] { d.getPoint(L"\r\nPoint: ", std::nullopt); }), hr::Exception);
    EXPECT_EQ(std::get<std::wstring>(d.getVariable(L"LastPrompt")), L"Point: *Cancel*");
    Answer failure{Answer::Failure};
    failure.hresult = hr::Fail;
    failure.errnoValue = 52;
    d.queue(failure);
    EXPECT_EQ(errorOf([&] { d.getEntity(L"x"); }), hr::Fail);
    EXPECT_EQ(std::get<int>(d.getVariable(L"errno")), 52);
    d.queue({Answer::Point, 0, {3, 4, 0}});
    EXPECT_EQ(d.getPoint(L"p", Point3{}), (Point3{3, 4, 0}));
    d.queue({Answer::Point, 0, {3, 4, 0}});  // a click on empty space picks nothing
    EXPECT_EQ(errorOf([&] { d.getEntity(L"e"); }), hr::Exception);
    EXPECT_EQ(std::get<int>(d.getVariable(L"errno")), 7);
    EXPECT_EQ(d.pendingAnswers(), 0u);
}

TEST(Input, SelectOnScreenTakesTheFilteredPartOfTheAnswer) {
    Drawing d;
    EntityId l = d.add(line({}, {1, 0}));
    EntityId t = d.add(text(L"x", {}));
    SelectionSetId s = d.addSelectionSet(L"S");
    Answer sel{Answer::Selection};
    sel.selection = {l, t};
    d.queue(sel);
    EXPECT_EQ(d.selectOnScreen(s, {{0, L"text,mtext"}}), 1u);
    EXPECT_EQ(d.selectionSet(s).items.ids(), std::vector<EntityId>{t});
    EXPECT_EQ(d.selectOnScreen(s, {}), 0u);  // cancelled: the set keeps what it has
    EXPECT_EQ(d.selectionSet(s).items.size(), 1u);
}

TEST(Variables, ReadOnlyUnknownAndTypedVariables) {
    Drawing d;
    EXPECT_EQ(std::get<std::wstring>(d.getVariable(L"lastprompt")), L"");
    d.prompt(L"\r\nHello");
    EXPECT_EQ(std::get<std::wstring>(d.getVariable(L"LASTPROMPT")), L"Hello");
    EXPECT_EQ(errorOf([&] { d.setVariable(L"LastPrompt", std::wstring(L"x")); }), hr::InvalidArg);
    EXPECT_EQ(errorOf([&] { d.getVariable(L"NOSUCHVAR"); }), hr::InvalidArg);
    EXPECT_EQ(errorOf([&] { d.setVariable(L"errno", std::wstring(L"7")); }), hr::InvalidArg);
    d.setVariable(L"errno", 7.0);
    EXPECT_EQ(std::get<int>(d.getVariable(L"ERRNO")), 7);
    d.sendCommand(L"(load \"x.lsp\")\r");
    EXPECT_EQ(d.sentCommands().size(), 1u);
    EXPECT_NE(d.commandLine().find(L"(load \"x.lsp\")"), std::wstring::npos);
}

TEST(Styles, SetFontMakesATrueTypeStyle) {
    Drawing d;
    std::size_t s = d.addTextStyle(L"Arial");
    EXPECT_EQ(d.addTextStyle(L"ARIAL"), s);
    EXPECT_EQ(d.textStyle(s).fontFile, L"txt");
    d.setFont(s, L"Arial", false, false, 0, 0);
    EXPECT_EQ(d.textStyle(s).fontFile, L"Arial.ttf");
    EntityId t = d.add(text(L"x", {}));
    d.setStyleName(t, L"arial");
    EXPECT_EQ(d.entity(t).styleName, L"Arial");
    EXPECT_EQ(errorOf([&] { d.setStyleName(t, L"Nope"); }), hr::KeyNotFound);
}

TEST(Menus, LoadUnloadAndMenuBar) {
    Drawing d;
    d.defineMenuFile(L"Kelva.mns", MenuFile{L"Kelva", {L"Kel&va"}});
    EXPECT_EQ(errorOf([&] { d.loadMenuGroup(L"other.mns"); }), hr::InvalidArg);
    d.loadMenuGroup(L"kelva.MNS");
    EXPECT_EQ(errorOf([&] { d.loadMenuGroup(L"Kelva.mns"); }), hr::DuplicateKey);
    const auto end = static_cast<long>(d.menuBar().size()) + 1;
    d.insertInMenuBar(L"Kelva", L"Kel&va", end);
    EXPECT_EQ(d.menuBar().back().menu, L"Kel&va");
    EXPECT_THROW(d.insertInMenuBar(L"Kelva", L"Kel&va", end), AcadError);
    d.unloadMenuGroup(L"KELVA");
    EXPECT_FALSE(d.findOnMenuBar(L"Kel&va"));
    EXPECT_FALSE(d.findMenuGroup(L"Kelva"));
}

TEST(Menus, ReadsGroupAndPullDownsFromAMenuSourceOnTheSupportPath) {
    const auto dir = std::filesystem::temp_directory_path() / "acadsim-menu-test";
    std::filesystem::create_directories(dir);
    {
        std::ofstream f(dir / "Kelva.mns", std::ios::binary);
        f << "***MENUGROUP=Kelva\r\n***POP0\r\n**SNAP\r\n[Osnap]\r\n***POP1\r\n**KELVA\r\n   ID_K [Kel&va]\r\n"
             "ID_A [\xea\xb8\xb0\xed\x98\xb8]^C^CKCHAR\r\n";  // a Korean item in UTF-8
    }
    MenuFile m = parseMenuSource(L"***POP1\n[A]\n[B]\n***POP2\n**X\n[C]\n", L"Stem");
    EXPECT_EQ(m.groupName, L"Stem");
    EXPECT_EQ(m.menus, (std::vector<std::wstring>{L"A", L"C"}));
    Drawing d;
    d.addSupportFolder(dir.wstring());
    const std::size_t g = d.loadMenuGroup(L"Kelva.mns");
    EXPECT_EQ(d.menuGroups()[g].name, L"Kelva");
    EXPECT_EQ(d.menuGroups()[g].menus, std::vector<std::wstring>{L"Kel&va"});
    std::filesystem::remove_all(dir);
}

TEST(Dump, OneLinePerLiveEntity) {
    Drawing d;
    EntityId a = d.add(line({0, 0}, {1, 2}));
    d.add(text(L"한글", {1, 1}));
    d.erase(a);
    EXPECT_EQ(d.dump(), L"30 AcDbText layer=0 at=1,1,0 height=2.5 rotation=0 style=Standard text=\"한글\"\n");
}
