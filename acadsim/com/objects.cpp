#include "acadsim/com/objects.h"

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>
#include <unordered_map>

#include "acadsim/com/simdispatch.h"
#include "com/latebound.h"
#include "com/values.h"
#include "core/values.h"

namespace kelva::acad::sim {

using V = com::Variant;

class Session {
public:
    Session() = default;
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;
    ~Session() { dropEntityObjects(); }

    Drawing drawing;
    AppConfig config;
    bool visible = true;
    int windowState = 1;  // acNorm
    bool documentOpen = true;  // false: AutoCAD runs with every drawing closed (ActiveDocument is Nothing)
    unsigned generation = 0;  // a reset drawing orphans every object of the old one
    std::function<void()> onChange;
    std::function<void()> onQuit;
    // Live objects, so one entity or set keeps one identity while a client holds it.
    IDispatch* app = nullptr;
    IDispatch* doc = nullptr;
    // One object per entity touched, by EntityId. No client holding it, it rests here (without a hold on
    // the session) for the next Item or pick, so reading a drawing makes no object per call.
    std::vector<IDispatch*> entityObjects;
    std::unordered_map<SelectionSetId, IDispatch*> setObjects;

    void changed() {
        if (onChange) onChange();
    }
    void reset() {
        drawing = Drawing();
        drawing.onChange = [this] { changed(); };
        documentOpen = true;
        ++generation;
        dropEntityObjects();  // objects of the old drawing stay alive for their clients, refusing every call
        setObjects.clear();
        changed();
    }

private:
    void dropEntityObjects();
};

using SessionPtr = std::shared_ptr<Session>;

Drawing& drawingOf(Session& s) { return s.drawing; }
void setChangeHandler(Session& s, std::function<void()> handler) { s.onChange = std::move(handler); }
void setQuitHandler(Session& s, std::function<void()> handler) { s.onQuit = std::move(handler); }
bool visibleOf(Session& s) { return s.visible; }
int windowStateOf(Session& s) { return s.windowState; }

std::wstring productName(std::wstring_view version) {
    const std::wstring major(version.substr(0, 2));
    if (major == L"14") return L"AutoCAD R14";
    if (major == L"15") return L"AutoCAD 2002";
    if (major == L"16") return L"AutoCAD 2004";
    if (major == L"17") return L"AutoCAD 2007";
    if (major == L"18") return L"AutoCAD 2010";
    return L"AutoCAD";
}

std::wstring captionOf(Session& s) {
    const auto name = s.drawing.getVariable(L"DWGNAME");
    return productName(s.config.version) + L" - [" + std::get<std::wstring>(name) + L"]";
}

namespace {

ComPtr<IDispatch> applicationObject(const SessionPtr& s);
ComPtr<IDispatch> documentObject(const SessionPtr& s);
ComPtr<IDispatch> entityObject(const SessionPtr& s, EntityId id);
ComPtr<IDispatch> selectionSetObject(const SessionPtr& s, SelectionSetId id);

V str(std::wstring_view s) { return V::fromString(s); }
V num(double d) { return V::fromDouble(d); }
V boolean(bool b) { return V::fromBool(b); }
V obj(const ComPtr<IDispatch>& d) { return V::fromDispatch(d.get()); }

// Answered only by the stand-in's own entity objects, so one handed back is known without a table of
// them. No proxy knows it: it never leaves the process.
const IID kEntityImplementation = {0x6c1f3a52, 0x9d47, 0x4e0b, {0x8a, 0x31, 0x5f, 0x27, 0xc4, 0x90, 0x1e, 0xd8}};

std::optional<EntityId> ownEntity(Session& s, IDispatch* d);

// The entity a client hands back: one of ours directly, else found by its handle.
EntityId entityIdOf(Session& s, IDispatch* d) {
    if (auto id = ownEntity(s, d)) return *id;
    const std::wstring handle = com::asString(com::get(d, L"Handle"));
    auto id = s.drawing.findHandle(handle);
    if (!id) throw AcadError(hr::InvalidArg, L"Invalid object");
    return *id;
}

std::vector<EntityId> entityIdsOf(Session& s, const std::vector<ComPtr<IDispatch>>& objects) {
    std::vector<EntityId> ids;
    ids.reserve(objects.size());
    for (const auto& o : objects) ids.push_back(entityIdOf(s, o.get()));
    return ids;
}

// A collection's Item key: a name, or a 0-based index.
bool isName(const VARIANT& v) { return V_VT(&v) == VT_BSTR || V_VT(&v) == (VT_BYREF | VT_BSTR); }

std::size_t indexArg(Call& c, unsigned i, std::size_t count) {
    const long index = c.integer(i);
    if (index < 0 || static_cast<std::size_t>(index) >= count) throw AcadError(hr::InvalidArg, L"Invalid index");
    return static_cast<std::size_t>(index);
}

// Filter arrays of Select and SelectOnScreen: group codes and values of equal length.
std::vector<FilterItem> filterArgs(Call& c, unsigned typeArg) {
    const bool hasTypes = c.has(typeArg), hasData = c.has(typeArg + 1);
    if (!hasTypes && !hasData) return {};
    if (hasTypes != hasData) throw AcadError(hr::InvalidArg, L"Invalid argument: filter type and data differ");
    const auto types = c.doubles(typeArg);
    const auto data = c.items(typeArg + 1);
    std::vector<FilterItem> out;
    for (std::size_t k = 0; k < types.size() && k < data.size(); ++k) {
        com::Variant text;
        if (FAILED(changeType(text.put(), com::deref(*data[k].get()), VT_BSTR))) throw AcadError(hr::InvalidArg, L"Invalid filter data");
        out.push_back(FilterItem{static_cast<int>(types[k]), com::toWString(V_BSTR(text.get()))});
    }
    if (types.size() != out.size() || data.size() != out.size()) throw AcadError(hr::InvalidArg, L"Invalid argument: filter type and data differ");
    return out;
}

// ---------------------------------------------------------------------------------------------------------
// Entities

class EntityObject final : public Object<EntityObject> {
public:
    EntityObject(SessionPtr s, EntityId id) : s_(std::move(s)), id_(id), generation_(s_->generation), kind_(s_->drawing.entity(id).kind) {
        auto& slots = s_->entityObjects;
        if (id_ >= slots.size()) slots.resize(std::max<std::size_t>(id_ + 1, s_->drawing.entities().size()), nullptr);
        slots[id_] = this;
    }
    // The last client let go: an object of the current drawing rests in the session's table, one
    // orphaned by a reset goes.
    void finalRelease() {
        if (generation_ != s_->generation) {
            delete this;
            return;
        }
        const SessionPtr last = std::move(s_);  // may end the session, which then deletes this object
    }
    // Back in a client's hands.
    void wake(const SessionPtr& s) {
        if (!s_) s_ = s;
    }
    bool resting() const { return !s_; }
    // The session drops its table: a resting object goes with it, one a client holds stays with the client.
    void dropIfResting() {
        if (resting()) delete this;
    }
    void* queryExtra(REFIID iid) { return iid == kEntityImplementation ? static_cast<IDispatch*>(this) : nullptr; }
    bool belongsTo(const Session& s) const { return s_.get() == &s && generation_ == s.generation; }
    const Table<EntityObject>& table() const;
    std::wstring_view typeName() const { return automationName(kind_); }

    Drawing& d() {
        if (generation_ != s_->generation) throw AcadError(hr::ObjectErased, L"Object was erased");
        return s_->drawing;
    }
    const Entity& e() { return d().live(id_); }
    Entity& m() { return d().liveMutable(id_); }
    void changed() { d().changed(); }
    EntityId id() const { return id_; }
    const SessionPtr& session() const { return s_; }

private:
    SessionPtr s_;
    EntityId id_;
    unsigned generation_;
    Kind kind_;
};

using EM = Member<EntityObject>;

template <Point3 Entity::*F>
std::vector<EM> pointProp(const wchar_t* name) {
    return {{name, Access::Get, [](EntityObject& o, Call& c) { c.returns(pointVariant(o.e().*F)); }},
            {name, Access::Put, [](EntityObject& o, Call& c) {
                 o.m().*F = c.pointValue();
                 o.changed();
             }}};
}

template <double Entity::*F>
std::vector<EM> numberProp(const wchar_t* name) {
    return {{name, Access::Get, [](EntityObject& o, Call& c) { c.returns(num(o.e().*F)); }},
            {name, Access::Put, [](EntityObject& o, Call& c) {
                 o.m().*F = c.numberValue();
                 o.changed();
             }}};
}

template <double Entity::*F>
std::vector<EM> positiveProp(const wchar_t* name) {
    return {{name, Access::Get, [](EntityObject& o, Call& c) { c.returns(num(o.e().*F)); }},
            {name, Access::Put, [](EntityObject& o, Call& c) {
                 const double v = c.numberValue();
                 if (!(v > 0)) throw AcadError(hr::InvalidArg, L"Invalid input");
                 o.m().*F = v;
                 o.changed();
             }}};
}

template <std::wstring Entity::*F>
std::vector<EM> textGet(const wchar_t* name) {
    return {{name, Access::Get, [](EntityObject& o, Call& c) { c.returns(str(o.e().*F)); }}};
}

void add(std::vector<EM>& to, const std::vector<EM>& more) { to.insert(to.end(), more.begin(), more.end()); }

std::vector<EM> commonMembers() {
    return {
        {L"ObjectName", Access::Get, [](EntityObject& o, Call& c) { c.returns(str(objectName(o.e().kind))); }},
        {L"EntityName", Access::Get, [](EntityObject& o, Call& c) { c.returns(str(objectName(o.e().kind))); }},
        {L"Handle", Access::Get, [](EntityObject& o, Call& c) { c.returns(str(handleText(o.e().handle))); }},
        {L"Layer", Access::Get, [](EntityObject& o, Call& c) { c.returns(str(o.e().layer)); }},
        {L"Layer", Access::Put, [](EntityObject& o, Call& c) { o.d().setLayer(o.id(), c.textValue()); }},
        {L"Delete", Access::Method, [](EntityObject& o, Call&) { o.d().erase(o.id()); }},
        {L"Move", Access::Method, [](EntityObject& o, Call& c) { o.d().move(o.id(), c.point(0), c.point(1)); }, 2, 2},
        {L"GetBoundingBox", Access::Method,
         [](EntityObject& o, Call& c) {
             const Box b = boundingBox(o.e());
             c.writeOut(0, pointVariant(b.min));
             c.writeOut(1, pointVariant(b.max));
         },
         2, 2},
        {L"Update", Access::Method, [](EntityObject& o, Call&) { o.e(); }},
        {L"Highlight", Access::Method, [](EntityObject& o, Call& c) { o.e(); c.boolean(0); }, 1, 1},
        {L"Application", Access::Get, [](EntityObject& o, Call& c) { o.e(); c.returns(obj(applicationObject(o.session()))); }},
        {L"Document", Access::Get, [](EntityObject& o, Call& c) { o.e(); c.returns(obj(documentObject(o.session()))); }},
    };
}

const std::vector<EM> kLength{{L"Length", Access::Get, [](EntityObject& o, Call& c) { c.returns(num(entityLength(o.e()))); }}};
const std::vector<EM> kArea{{L"Area", Access::Get, [](EntityObject& o, Call& c) { c.returns(num(entityArea(o.e()))); }}};

// Vertices as the flat array AutoCAD gives: 2 numbers per vertex for a lightweight polyline, 3 otherwise.
unsigned perVertex(Kind k) { return k == Kind::LwPolyline ? 2 : 3; }

std::vector<double> flatVertices(const Entity& e) {
    std::vector<double> out;
    for (const auto& v : e.chain.vertices) {
        out.push_back(v.x);
        out.push_back(v.y);
        if (perVertex(e.kind) == 3) out.push_back(v.z);
    }
    return out;
}

std::vector<Point3> unflatten(const std::vector<double>& d, unsigned per, std::size_t minVertices) {
    if (d.size() % per != 0 || d.size() / per < minVertices) throw AcadError(hr::InvalidArg, L"Invalid input");
    std::vector<Point3> out;
    for (std::size_t k = 0; k < d.size(); k += per) out.push_back({d[k], d[k + 1], per == 3 ? d[k + 2] : 0.0});
    return out;
}

std::size_t vertexIndex(EntityObject& o, Call& c) { return indexArg(c, 0, o.e().chain.vertices.size()); }

std::vector<EM> coordinateMembers() {
    return {
        {L"Coordinates", Access::Get, [](EntityObject& o, Call& c) { c.returns(doublesVariant(flatVertices(o.e()))); }},
        {L"Coordinates", Access::Put,
         [](EntityObject& o, Call& c) {
             const Kind k = o.e().kind;
             auto vertices = unflatten(c.doublesValue(), perVertex(k), k == Kind::Solid ? 4 : 2);
             if (k == Kind::Solid && vertices.size() != 4) throw AcadError(hr::InvalidArg, L"Invalid input");
             Entity& m = o.m();
             m.chain.vertices = std::move(vertices);
             m.chain.bulges.resize(m.chain.vertices.size(), 0.0);
             o.changed();
         }},
        {L"Coordinate", Access::Get,
         [](EntityObject& o, Call& c) {
             const Point3 p = o.e().chain.vertices[vertexIndex(o, c)];
             c.returns(perVertex(o.e().kind) == 2 ? doublesVariant({p.x, p.y}) : pointVariant(p));
         },
         1, 1},
        {L"Coordinate", Access::Put,
         [](EntityObject& o, Call& c) {
             const std::size_t k = vertexIndex(o, c);
             const auto d = c.doublesValue();
             if (d.size() != perVertex(o.e().kind)) throw AcadError(hr::InvalidArg, L"Invalid input");
             o.m().chain.vertices[k] = {d[0], d[1], d.size() == 3 ? d[2] : 0.0};
             o.changed();
         },
         1, 1},
    };
}

std::vector<EM> polylineMembers(bool bulgesAndArea) {
    std::vector<EM> out = coordinateMembers();
    add(out, {{L"Closed", Access::Get, [](EntityObject& o, Call& c) { c.returns(boolean(o.e().chain.closed)); }},
              {L"Closed", Access::Put, [](EntityObject& o, Call& c) {
                   o.m().chain.closed = c.booleanValue();
                   o.changed();
               }}});
    add(out, kLength);
    if (!bulgesAndArea) return out;  // a 3-D polyline has neither
    add(out, kArea);
    add(out, numberProp<&Entity::elevation>(L"Elevation"));
    add(out, {{L"GetBulge", Access::Method,
               [](EntityObject& o, Call& c) {
                   const std::size_t k = vertexIndex(o, c);
                   const auto& b = o.e().chain.bulges;
                   c.returns(num(k < b.size() ? b[k] : 0.0));
               },
               1, 1},
              {L"SetBulge", Access::Method,
               [](EntityObject& o, Call& c) {
                   const std::size_t k = vertexIndex(o, c);
                   const double bulge = c.number(1);
                   auto& b = o.m().chain.bulges;
                   b.resize(o.e().chain.vertices.size(), 0.0);
                   b[k] = bulge;
                   o.changed();
               },
               2, 2}});
    return out;
}

std::vector<EM> textMembers(bool mtext) {
    std::vector<EM> out = pointProp<&Entity::a>(L"InsertionPoint");
    add(out, numberProp<&Entity::rotation>(L"Rotation"));
    add(out, positiveProp<&Entity::height>(L"Height"));
    add(out, textGet<&Entity::text>(L"TextString"));
    add(out, textGet<&Entity::styleName>(L"StyleName"));
    add(out, {{L"TextString", Access::Put, [](EntityObject& o, Call& c) {
                   o.m().text = c.textValue();
                   o.changed();
               }},
              {L"StyleName", Access::Put, [](EntityObject& o, Call& c) { o.d().setStyleName(o.id(), c.textValue()); }}});
    if (mtext) {
        add(out, numberProp<&Entity::width>(L"Width"));
        return out;
    }
    add(out, {{L"Alignment", Access::Get, [](EntityObject& o, Call& c) { c.returns(V::fromInt32(o.e().alignment)); }},
              {L"Alignment", Access::Put,
               [](EntityObject& o, Call& c) {
                   const long a = c.integerValue();
                   if (a < 0 || a > 14) throw AcadError(hr::InvalidArg, L"Invalid input");
                   Entity& e = o.m();
                   if (e.alignment == 0 && a != 0) e.b = e.a;  // the alignment point starts where the text is
                   e.alignment = static_cast<int>(a);
                   o.changed();
               }},
              {L"TextAlignmentPoint", Access::Get, [](EntityObject& o, Call& c) { c.returns(pointVariant(o.e().b)); }},
              {L"TextAlignmentPoint", Access::Put, [](EntityObject& o, Call& c) {
                   // A left-aligned text has no alignment point of its own; AutoCAD refuses it.
                   if (o.e().alignment == 0) throw AcadError(hr::NotApplicable, L"Not applicable");
                   o.m().b = c.pointValue();
                   o.changed();
               }}});
    return out;
}

ComPtr<IDispatch> attributeObject(const SessionPtr& s, EntityId owner, std::size_t index);

Table<EntityObject> buildTable(Kind k) {
    std::vector<EM> t = commonMembers();
    switch (k) {
    case Kind::Point: add(t, pointProp<&Entity::a>(L"Coordinates")); break;
    case Kind::Line:
        add(t, pointProp<&Entity::a>(L"StartPoint"));
        add(t, pointProp<&Entity::b>(L"EndPoint"));
        add(t, kLength);
        add(t, {{L"Angle", Access::Get, [](EntityObject& o, Call& c) { c.returns(num(angleOf(o.e().a, o.e().b))); }},
                {L"Delta", Access::Get, [](EntityObject& o, Call& c) { c.returns(pointVariant(o.e().b - o.e().a)); }}});
        break;
    case Kind::Circle:
    case Kind::Arc:
        add(t, pointProp<&Entity::a>(L"Center"));
        add(t, positiveProp<&Entity::radius>(L"Radius"));
        add(t, kArea);
        if (k == Kind::Circle) {
            add(t, {{L"Circumference", Access::Get, [](EntityObject& o, Call& c) { c.returns(num(entityLength(o.e()))); }},
                    {L"Diameter", Access::Get, [](EntityObject& o, Call& c) { c.returns(num(2 * o.e().radius)); }}});
            break;
        }
        add(t, numberProp<&Entity::startAngle>(L"StartAngle"));
        add(t, numberProp<&Entity::endAngle>(L"EndAngle"));
        add(t, {{L"StartPoint", Access::Get, [](EntityObject& o, Call& c) { c.returns(pointVariant(polar(o.e().a, o.e().startAngle, o.e().radius))); }},
                {L"EndPoint", Access::Get, [](EntityObject& o, Call& c) { c.returns(pointVariant(polar(o.e().a, o.e().endAngle, o.e().radius))); }},
                {L"ArcLength", Access::Get, [](EntityObject& o, Call& c) { c.returns(num(entityLength(o.e()))); }},
                {L"TotalAngle", Access::Get, [](EntityObject& o, Call& c) { c.returns(num(sweep(o.e().startAngle, o.e().endAngle))); }}});
        break;
    case Kind::LwPolyline:
    case Kind::Polyline2d: add(t, polylineMembers(true)); break;
    case Kind::Polyline3d: add(t, polylineMembers(false)); break;
    case Kind::Text: add(t, textMembers(false)); break;
    case Kind::MText: add(t, textMembers(true)); break;
    case Kind::Solid: add(t, coordinateMembers()); break;
    case Kind::Hatch:
        add(t, numberProp<&Entity::patternAngle>(L"PatternAngle"));
        add(t, numberProp<&Entity::patternScale>(L"PatternScale"));
        add(t, numberProp<&Entity::elevation>(L"Elevation"));
        add(t, textGet<&Entity::patternName>(L"PatternName"));
        add(t, kArea);
        add(t, {{L"PatternType", Access::Get, [](EntityObject& o, Call& c) { c.returns(V::fromInt32(o.e().patternType)); }},
                {L"HatchStyle", Access::Get, [](EntityObject& o, Call& c) { c.returns(V::fromInt32(o.e().hatchStyle)); }},
                {L"HatchStyle", Access::Put, [](EntityObject& o, Call& c) {
                     o.m().hatchStyle = static_cast<int>(c.integerValue());
                     o.changed();
                 }},
                {L"NumberOfLoops", Access::Get, [](EntityObject& o, Call& c) { c.returns(V::fromInt32(o.e().loops)); }},
                {L"AppendOuterLoop", Access::Method,
                 [](EntityObject& o, Call& c) {
                     o.e();
                     o.d().appendHatchLoop(o.id(), entityIdsOf(*o.session(), c.objects(0)));
                 },
                 1, 1},
                {L"Evaluate", Access::Method, [](EntityObject& o, Call&) { o.e(); }}});
        break;
    case Kind::BlockRef:
        add(t, pointProp<&Entity::a>(L"InsertionPoint"));
        add(t, numberProp<&Entity::rotation>(L"Rotation"));
        add(t, numberProp<&Entity::xScale>(L"XScaleFactor"));
        add(t, numberProp<&Entity::yScale>(L"YScaleFactor"));
        add(t, numberProp<&Entity::zScale>(L"ZScaleFactor"));
        add(t, textGet<&Entity::name>(L"Name"));
        add(t, {{L"HasAttributes", Access::Get, [](EntityObject& o, Call& c) { c.returns(boolean(!o.e().attributes.empty())); }},
                {L"GetAttributes", Access::Method, [](EntityObject& o, Call& c) {
                     std::vector<ComPtr<IDispatch>> list;
                     for (std::size_t i = 0; i < o.e().attributes.size(); ++i) list.push_back(attributeObject(o.session(), o.id(), i));
                     c.returns(objectsVariant(list));
                 }}});
        break;
    }
    return Table<EntityObject>(std::move(t));
}

const Table<EntityObject>& EntityObject::table() const {
    static const std::vector<Table<EntityObject>> tables = [] {
        std::vector<Table<EntityObject>> all;
        for (int k = 0; k <= static_cast<int>(Kind::BlockRef); ++k) all.push_back(buildTable(static_cast<Kind>(k)));
        return all;
    }();
    return tables[static_cast<std::size_t>(kind_)];
}

// An attribute of a block reference: its tag and text.
class AttributeObject final : public Object<AttributeObject> {
public:
    AttributeObject(SessionPtr s, EntityId owner, std::size_t index) : s_(std::move(s)), owner_(owner), index_(index), generation_(s_->generation) {}
    std::wstring_view typeName() const { return L"IAcadAttributeReference"; }
    Attribute& a() {
        if (generation_ != s_->generation) throw AcadError(hr::ObjectErased, L"Object was erased");
        return s_->drawing.liveMutable(owner_).attributes.at(index_);
    }
    static const Table<AttributeObject>& table() {
        static const Table<AttributeObject> t({
            {L"ObjectName", Access::Get, [](AttributeObject& o, Call& c) { o.a(); c.returns(str(L"AcDbAttribute")); }},
            {L"TagString", Access::Get, [](AttributeObject& o, Call& c) { c.returns(str(o.a().tag)); }},
            {L"TextString", Access::Get, [](AttributeObject& o, Call& c) { c.returns(str(o.a().text)); }},
            {L"TextString", Access::Put, [](AttributeObject& o, Call& c) { o.a().text = c.textValue(); o.s_->changed(); }},
        });
        return t;
    }

private:
    SessionPtr s_;
    EntityId owner_;
    std::size_t index_;
    unsigned generation_;
};

ComPtr<IDispatch> attributeObject(const SessionPtr& s, EntityId owner, std::size_t index) { return make<AttributeObject>(s, owner, index); }

ComPtr<IDispatch> entityObject(const SessionPtr& s, EntityId id) {
    if (id < s->entityObjects.size() && s->entityObjects[id]) {
        auto* e = static_cast<EntityObject*>(s->entityObjects[id]);
        e->wake(s);
        return ComPtr<IDispatch>(e);
    }
    return make<EntityObject>(s, id);
}

}  // namespace

// The resting objects go; those clients hold are left to them.
void Session::dropEntityObjects() {
    for (IDispatch* d : entityObjects)
        if (d) static_cast<EntityObject*>(d)->dropIfResting();
    entityObjects.clear();
}

namespace {

std::optional<EntityId> ownEntity(Session& s, IDispatch* d) {
    void* p = nullptr;
    if (FAILED(d->QueryInterface(kEntityImplementation, &p)) || !p) return std::nullopt;
    const auto held = ComPtr<IDispatch>::attach(static_cast<IDispatch*>(p));
    const auto* e = static_cast<const EntityObject*>(held.get());
    if (!e->belongsTo(s)) return std::nullopt;  // another drawing's, or one from before a reset
    return e->id();
}

// ---------------------------------------------------------------------------------------------------------
// Objects over the session as a whole

template <class Self>
class SessionObject : public Object<Self> {
public:
    explicit SessionObject(SessionPtr s) : s(std::move(s)) {}
    Drawing& d() { return s->drawing; }
    SessionPtr s;
};

// Adds an entity on the current layer (and, for texts, in the current style).
ComPtr<IDispatch> addEntity(const SessionPtr& s, Entity e) {
    e.layer = std::get<std::wstring>(s->drawing.getVariable(L"CLAYER"));
    if (e.kind == Kind::Text || e.kind == Kind::MText) e.styleName = std::get<std::wstring>(s->drawing.getVariable(L"TEXTSTYLE"));
    return entityObject(s, s->drawing.add(std::move(e)));
}

Entity ofKind(Kind k) {
    Entity e;
    e.kind = k;
    return e;
}

double positive(double v) {
    if (!(v > 0)) throw AcadError(hr::InvalidArg, L"Invalid input");
    return v;
}

// A block name as InsertBlock takes it: a block or a drawing file, whose name is the file's stem.
std::wstring blockName(std::wstring name) {
    const auto slash = name.find_last_of(L"\\/");
    if (slash != std::wstring::npos) name = name.substr(slash + 1);
    if (name.size() > 4 && sameName(name.substr(name.size() - 4), L".dwg")) name.resize(name.size() - 4);
    if (name.empty()) throw AcadError(hr::InvalidArg, L"Invalid input");
    return name;
}

class ModelSpaceObject final : public SessionObject<ModelSpaceObject> {
public:
    using SessionObject::SessionObject;
    std::wstring_view typeName() const { return L"IAcadModelSpace"; }
    static const Table<ModelSpaceObject>& table() {
        using O = ModelSpaceObject;
        static const Table<O> t({
            {L"Count", Access::Get, [](O& o, Call& c) { c.returns(V::fromInt32(static_cast<long>(o.d().liveCount()))); }},
            {L"Item", Access::Method, [](O& o, Call& c) {
                 const long i = c.integer(0);
                 if (i < 0) throw AcadError(hr::InvalidArg, L"Invalid index");
                 c.returns(obj(entityObject(o.s, o.d().modelSpaceAt(static_cast<std::size_t>(i)))));
             }, 1, 1},
            {L"_NewEnum", Access::Get, [](O& o, Call& c) {
                 std::vector<V> items;
                 for (EntityId id : o.d().modelSpace()) items.push_back(obj(entityObject(o.s, id)));
                 auto e = makeEnum(std::move(items));
                 V v;
                 V_VT(v.put()) = VT_UNKNOWN;
                 V_UNKNOWN(v.get()) = e.detach();
                 c.returns(std::move(v));
             }},
            {L"Name", Access::Get, [](O&, Call& c) { c.returns(str(L"*Model_Space")); }},
            {L"AddPoint", Access::Method, [](O& o, Call& c) {
                 Entity e = ofKind(Kind::Point);
                 e.a = c.point(0);
                 c.returns(obj(addEntity(o.s, e)));
             }, 1, 1},
            {L"AddLine", Access::Method, [](O& o, Call& c) {
                 Entity e = ofKind(Kind::Line);
                 e.a = c.point(0);
                 e.b = c.point(1);
                 c.returns(obj(addEntity(o.s, e)));
             }, 2, 2},
            {L"AddCircle", Access::Method, [](O& o, Call& c) {
                 Entity e = ofKind(Kind::Circle);
                 e.a = c.point(0);
                 e.radius = positive(c.number(1));
                 c.returns(obj(addEntity(o.s, e)));
             }, 2, 2},
            {L"AddArc", Access::Method, [](O& o, Call& c) {
                 Entity e = ofKind(Kind::Arc);
                 e.a = c.point(0);
                 e.radius = positive(c.number(1));
                 e.startAngle = normalizeAngle(c.number(2));
                 e.endAngle = normalizeAngle(c.number(3));
                 c.returns(obj(addEntity(o.s, e)));
             }, 4, 4},
            {L"AddLightWeightPolyline", Access::Method, [](O& o, Call& c) {
                 Entity e = ofKind(Kind::LwPolyline);
                 e.chain.vertices = unflatten(c.doubles(0), 2, 2);
                 e.chain.bulges.assign(e.chain.vertices.size(), 0.0);
                 c.returns(obj(addEntity(o.s, e)));
             }, 1, 1},
            {L"Add3DPoly", Access::Method, [](O& o, Call& c) {
                 Entity e = ofKind(Kind::Polyline3d);
                 e.chain.vertices = unflatten(c.doubles(0), 3, 2);
                 c.returns(obj(addEntity(o.s, e)));
             }, 1, 1},
            {L"AddPolyline", Access::Method, [](O& o, Call& c) {
                 Entity e = ofKind(Kind::Polyline2d);
                 e.chain.vertices = unflatten(c.doubles(0), 3, 2);
                 e.chain.bulges.assign(e.chain.vertices.size(), 0.0);
                 e.elevation = e.chain.vertices[0].z;  // a 2-D polyline lies in one plane
                 for (auto& v : e.chain.vertices) v.z = e.elevation;
                 c.returns(obj(addEntity(o.s, e)));
             }, 1, 1},
            {L"AddText", Access::Method, [](O& o, Call& c) {
                 Entity e = ofKind(Kind::Text);
                 e.text = c.text(0);
                 e.a = c.point(1);
                 e.b = e.a;
                 e.height = positive(c.number(2));
                 c.returns(obj(addEntity(o.s, e)));
             }, 3, 3},
            {L"AddMText", Access::Method, [](O& o, Call& c) {
                 Entity e = ofKind(Kind::MText);
                 e.a = c.point(0);
                 e.width = c.number(1);
                 e.text = c.text(2);
                 e.height = std::get<double>(o.d().getVariable(L"TEXTSIZE"));
                 c.returns(obj(addEntity(o.s, e)));
             }, 3, 3},
            {L"AddSolid", Access::Method, [](O& o, Call& c) {
                 Entity e = ofKind(Kind::Solid);
                 for (unsigned k = 0; k < 4; ++k) e.chain.vertices.push_back(c.point(k));
                 c.returns(obj(addEntity(o.s, e)));
             }, 4, 4},
            {L"AddHatch", Access::Method, [](O& o, Call& c) {
                 Entity e = ofKind(Kind::Hatch);
                 e.patternType = static_cast<int>(c.integer(0));
                 e.patternName = c.text(1);
                 c.boolean(2);
                 c.returns(obj(addEntity(o.s, e)));
             }, 3, 4},
            {L"InsertBlock", Access::Method, [](O& o, Call& c) {
                 Entity e = ofKind(Kind::BlockRef);
                 e.a = c.point(0);
                 e.name = blockName(c.text(1));
                 e.xScale = c.number(2);
                 e.yScale = c.number(3);
                 e.zScale = c.number(4);
                 e.rotation = c.number(5);
                 c.returns(obj(addEntity(o.s, e)));
             }, 6, 7},
        });
        return t;
    }
};

class UtilityObject final : public SessionObject<UtilityObject> {
public:
    using SessionObject::SessionObject;
    std::wstring_view typeName() const { return L"IAcadUtility"; }
    static std::wstring promptArg(Call& c, unsigned i) { return c.has(i) ? c.text(i) : std::wstring(); }
    static const Table<UtilityObject>& table() {
        using O = UtilityObject;
        static const Table<O> t({
            {L"Prompt", Access::Method, [](O& o, Call& c) { o.d().prompt(c.text(0)); }, 1, 1},
            {L"GetPoint", Access::Method, [](O& o, Call& c) {
                 std::optional<Point3> base;
                 if (c.has(0)) base = c.point(0);
                 c.returns(pointVariant(o.d().getPoint(promptArg(c, 1), base)));
             }, 0, 2},
            {L"GetEntity", Access::Method, [](O& o, Call& c) {
                 const PickResult r = o.d().getEntity(promptArg(c, 2));
                 c.writeOut(0, obj(entityObject(o.s, r.entity)));
                 c.writeOut(1, pointVariant(r.point));
             }, 2, 3},
            {L"GetSubEntity", Access::Method, [](O& o, Call& c) {
                 const PickResult r = o.d().getEntity(promptArg(c, 4));
                 c.writeOut(0, obj(entityObject(o.s, r.entity)));
                 c.writeOut(1, pointVariant(r.point));
                 // Not nested in a block: the identity transformation and no containers.
                 SAFEARRAYBOUND bounds[2] = {{4, 0}, {4, 0}};
                 com::SafeArray m = com::SafeArray::attach(SafeArrayCreate(VT_R8, 2, bounds));
                 for (LONG i = 0; i < 4; ++i) {
                     LONG at[2] = {i, i};
                     double one = 1;
                     SafeArrayPutElement(m.get(), at, &one);
                 }
                 V matrix;
                 V_VT(matrix.put()) = VT_ARRAY | VT_R8;
                 V_ARRAY(matrix.get()) = m.detach();
                 c.writeOut(2, matrix);
                 c.writeOut(3, V());
             }, 4, 5},
        });
        return t;
    }
};

// ----- layers and text styles

class LayerObject final : public SessionObject<LayerObject> {
public:
    LayerObject(SessionPtr s, std::size_t index) : SessionObject(std::move(s)), index_(index), generation_(this->s->generation) {}
    std::wstring_view typeName() const { return L"IAcadLayer"; }
    Layer& l() {
        if (generation_ != s->generation) throw AcadError(hr::ObjectErased, L"Object was erased");
        return d().layer(index_);
    }
    static const Table<LayerObject>& table() {
        using O = LayerObject;
        static const Table<O> t({
            {L"Name", Access::Get, [](O& o, Call& c) { c.returns(str(o.l().name)); }},
            {L"ObjectName", Access::Get, [](O&, Call& c) { c.returns(str(L"AcDbLayerTableRecord")); }},
            {L"Freeze", Access::Get, [](O& o, Call& c) { c.returns(boolean(o.l().freeze)); }},
            {L"Freeze", Access::Put, [](O& o, Call& c) {
                 const bool v = c.booleanValue();
                 if (v && sameName(o.l().name, std::get<std::wstring>(o.d().getVariable(L"CLAYER"))))
                     throw AcadError(hr::InvalidArg, L"Invalid layer: the current layer cannot be frozen");
                 o.l().freeze = v;
                 o.d().changed();
             }},
            {L"LayerOn", Access::Get, [](O& o, Call& c) { c.returns(boolean(o.l().layerOn)); }},
            {L"LayerOn", Access::Put, [](O& o, Call& c) { o.l().layerOn = c.booleanValue(); o.d().changed(); }},
            {L"Lock", Access::Get, [](O& o, Call& c) { c.returns(boolean(o.l().lock)); }},
            {L"Lock", Access::Put, [](O& o, Call& c) { o.l().lock = c.booleanValue(); o.d().changed(); }},
            {L"Color", Access::Get, [](O& o, Call& c) { c.returns(V::fromInt32(o.l().color)); }},
            {L"Color", Access::Put, [](O& o, Call& c) { o.l().color = static_cast<int>(c.integerValue()); }},
        });
        return t;
    }

private:
    std::size_t index_;
    unsigned generation_;
};

class TextStyleObject final : public SessionObject<TextStyleObject> {
public:
    TextStyleObject(SessionPtr s, std::size_t index) : SessionObject(std::move(s)), index_(index), generation_(this->s->generation) {}
    std::wstring_view typeName() const { return L"IAcadTextStyle"; }
    TextStyle& st() {
        if (generation_ != s->generation) throw AcadError(hr::ObjectErased, L"Object was erased");
        return d().textStyle(index_);
    }
    static const Table<TextStyleObject>& table() {
        using O = TextStyleObject;
        static const Table<O> t({
            {L"Name", Access::Get, [](O& o, Call& c) { c.returns(str(o.st().name)); }},
            {L"ObjectName", Access::Get, [](O&, Call& c) { c.returns(str(L"AcDbTextStyleTableRecord")); }},
            {L"fontFile", Access::Get, [](O& o, Call& c) { c.returns(str(o.st().fontFile)); }},
            {L"fontFile", Access::Put, [](O& o, Call& c) {
                 o.st().fontFile = c.textValue();
                 o.st().typeface.clear();  // a shape font replaces the TrueType face
             }},
            {L"BigFontFile", Access::Get, [](O&, Call& c) { c.returns(str(L"")); }},
            {L"Height", Access::Get, [](O& o, Call& c) { c.returns(num(o.st().height)); }},
            {L"Height", Access::Put, [](O& o, Call& c) { o.st().height = c.numberValue(); }},
            {L"GetFont", Access::Method, [](O& o, Call& c) {
                 const TextStyle& s = o.st();
                 c.writeOut(0, str(s.typeface));
                 c.writeOut(1, boolean(s.bold));
                 c.writeOut(2, boolean(s.italic));
                 c.writeOut(3, V::fromInt32(s.charset));
                 c.writeOut(4, V::fromInt32(s.pitchAndFamily));
             }, 5, 5},
            {L"SetFont", Access::Method, [](O& o, Call& c) {
                 o.st();
                 o.d().setFont(o.index_, c.text(0), c.boolean(1), c.boolean(2), static_cast<int>(c.integer(3)), static_cast<int>(c.integer(4)));
             }, 5, 5},
        });
        return t;
    }

private:
    std::size_t index_;
    unsigned generation_;
};

template <class Item>
V enumOf(std::vector<ComPtr<IDispatch>> objects) {
    std::vector<V> items;
    for (auto& o : objects) items.push_back(obj(o));
    auto e = makeEnum(std::move(items));
    V v;
    V_VT(v.put()) = VT_UNKNOWN;
    V_UNKNOWN(v.get()) = e.detach();
    return v;
}

class LayersObject final : public SessionObject<LayersObject> {
public:
    using SessionObject::SessionObject;
    std::wstring_view typeName() const { return L"IAcadLayers"; }
    static const Table<LayersObject>& table() {
        using O = LayersObject;
        static const Table<O> t({
            {L"Count", Access::Get, [](O& o, Call& c) { c.returns(V::fromInt32(static_cast<long>(o.d().layers().size()))); }},
            {L"Item", Access::Method, [](O& o, Call& c) {
                 std::size_t i;
                 if (isName(c.arg(0))) {
                     auto found = o.d().findLayer(c.text(0));
                     if (!found) throw AcadError(hr::KeyNotFound, L"Key not found");
                     i = *found;
                 } else
                     i = indexArg(c, 0, o.d().layers().size());
                 c.returns(obj(make<LayerObject>(o.s, i)));
             }, 1, 1},
            {L"Add", Access::Method, [](O& o, Call& c) { c.returns(obj(make<LayerObject>(o.s, o.d().addLayer(c.text(0))))); }, 1, 1},
            {L"_NewEnum", Access::Get, [](O& o, Call& c) {
                 std::vector<ComPtr<IDispatch>> list;
                 for (std::size_t i = 0; i < o.d().layers().size(); ++i) list.push_back(make<LayerObject>(o.s, i));
                 c.returns(enumOf<LayerObject>(list));
             }},
        });
        return t;
    }
};

class TextStylesObject final : public SessionObject<TextStylesObject> {
public:
    using SessionObject::SessionObject;
    std::wstring_view typeName() const { return L"IAcadTextStyles"; }
    static const Table<TextStylesObject>& table() {
        using O = TextStylesObject;
        static const Table<O> t({
            {L"Count", Access::Get, [](O& o, Call& c) { c.returns(V::fromInt32(static_cast<long>(o.d().textStyles().size()))); }},
            {L"Item", Access::Method, [](O& o, Call& c) {
                 std::size_t i;
                 if (isName(c.arg(0))) {
                     auto found = o.d().findTextStyle(c.text(0));
                     if (!found) throw AcadError(hr::KeyNotFound, L"Key not found");
                     i = *found;
                 } else
                     i = indexArg(c, 0, o.d().textStyles().size());
                 c.returns(obj(make<TextStyleObject>(o.s, i)));
             }, 1, 1},
            {L"Add", Access::Method, [](O& o, Call& c) { c.returns(obj(make<TextStyleObject>(o.s, o.d().addTextStyle(c.text(0))))); }, 1, 1},
            {L"_NewEnum", Access::Get, [](O& o, Call& c) {
                 std::vector<ComPtr<IDispatch>> list;
                 for (std::size_t i = 0; i < o.d().textStyles().size(); ++i) list.push_back(make<TextStyleObject>(o.s, i));
                 c.returns(enumOf<TextStyleObject>(list));
             }},
        });
        return t;
    }
};

// ----- selection sets

class SelectionSetObject final : public SessionObject<SelectionSetObject> {
public:
    SelectionSetObject(SessionPtr s, SelectionSetId id) : SessionObject(std::move(s)), id_(id), generation_(this->s->generation) {
        this->s->setObjects[id_] = this;
    }
    ~SelectionSetObject() {
        if (generation_ == s->generation) s->setObjects.erase(id_);
    }
    std::wstring_view typeName() const { return L"IAcadSelectionSet"; }
    const SelectionSet& set() {
        if (generation_ != s->generation) throw AcadError(hr::ObjectErased, L"Object was erased");
        return d().selectionSet(id_);
    }
    static const Table<SelectionSetObject>& table() {
        using O = SelectionSetObject;
        static const Table<O> t({
            {L"Name", Access::Get, [](O& o, Call& c) { c.returns(str(o.set().name)); }},
            {L"Count", Access::Get, [](O& o, Call& c) { c.returns(V::fromInt32(static_cast<long>(o.set().items.size()))); }},
            {L"Item", Access::Method, [](O& o, Call& c) {
                 const auto& items = o.set().items.ids();
                 c.returns(obj(entityObject(o.s, items[indexArg(c, 0, items.size())])));
             }, 1, 1},
            {L"_NewEnum", Access::Get, [](O& o, Call& c) {
                 std::vector<ComPtr<IDispatch>> list;
                 for (EntityId id : o.set().items.ids()) list.push_back(entityObject(o.s, id));
                 c.returns(enumOf<EntityObject>(list));
             }},
            {L"Delete", Access::Method, [](O& o, Call&) { o.set(); o.d().deleteSelectionSet(o.id_); }},
            {L"Clear", Access::Method, [](O& o, Call&) { o.set(); o.d().clearSelection(o.id_); }},
            {L"AddItems", Access::Method, [](O& o, Call& c) {
                 o.set();
                 o.d().addItems(o.id_, entityIdsOf(*o.s, c.objects(0)));
             }, 1, 1},
            {L"RemoveItems", Access::Method, [](O& o, Call& c) {
                 o.set();
                 o.d().removeItems(o.id_, entityIdsOf(*o.s, c.objects(0)));
             }, 1, 1},
            {L"Erase", Access::Method, [](O& o, Call&) {
                 const auto items = o.set().items.ids();
                 for (EntityId id : items)
                     if (!o.d().entity(id).erased) o.d().erase(id);
                 o.d().clearSelection(o.id_);
             }},
            {L"Highlight", Access::Method, [](O& o, Call& c) { o.set(); c.boolean(0); }, 1, 1},
            {L"Update", Access::Method, [](O& o, Call&) { o.set(); }},
            {L"SelectOnScreen", Access::Method, [](O& o, Call& c) {
                 o.set();
                 o.d().selectOnScreen(o.id_, filterArgs(c, 0));
             }, 0, 2},
            {L"Select", Access::Method, [](O& o, Call& c) {
                 o.set();
                 const long mode = c.integer(0);
                 const auto filter = filterArgs(c, 3);
                 enum { Window = 0, Crossing = 1, Last = 4, All = 5 };
                 if (mode == All) {
                     o.d().selectAll(o.id_, filter);
                     return;
                 }
                 std::vector<EntityId> picked;
                 if (mode == Last) {
                     const auto ms = o.d().modelSpace();
                     if (!ms.empty() && matchesFilter(o.d().entity(ms.back()), filter)) picked.push_back(ms.back());
                 } else if (mode == Window || mode == Crossing) {
                     const Point3 p1 = c.point(1), p2 = c.point(2);
                     const double x0 = std::min(p1.x, p2.x), x1 = std::max(p1.x, p2.x), y0 = std::min(p1.y, p2.y), y1 = std::max(p1.y, p2.y);
                     for (EntityId id : o.d().modelSpace()) {
                         const Box b = boundingBox(o.d().entity(id));
                         const bool inside = b.min.x >= x0 && b.max.x <= x1 && b.min.y >= y0 && b.max.y <= y1;
                         const bool touches = b.max.x >= x0 && b.min.x <= x1 && b.max.y >= y0 && b.min.y <= y1;
                         if ((mode == Window ? inside : touches) && matchesFilter(o.d().entity(id), filter)) picked.push_back(id);
                     }
                 } else
                     throw AcadError(hr::InvalidArg, L"Invalid selection mode");
                 o.d().addItems(o.id_, picked);
             }, 1, 5},
        });
        return t;
    }

private:
    SelectionSetId id_;
    unsigned generation_;
};

ComPtr<IDispatch> selectionSetObject(const SessionPtr& s, SelectionSetId id) {
    if (auto it = s->setObjects.find(id); it != s->setObjects.end()) return ComPtr<IDispatch>(it->second);
    return make<SelectionSetObject>(s, id);
}

class SelectionSetsObject final : public SessionObject<SelectionSetsObject> {
public:
    using SessionObject::SessionObject;
    std::wstring_view typeName() const { return L"IAcadSelectionSets"; }
    static const Table<SelectionSetsObject>& table() {
        using O = SelectionSetsObject;
        static const Table<O> t({
            {L"Count", Access::Get, [](O& o, Call& c) { c.returns(V::fromInt32(static_cast<long>(o.d().selectionSetIds().size()))); }},
            {L"Item", Access::Method, [](O& o, Call& c) {
                 SelectionSetId id;
                 if (isName(c.arg(0))) {
                     auto found = o.d().findSelectionSet(c.text(0));
                     if (!found) throw AcadError(hr::KeyNotFound, L"Key not found");
                     id = *found;
                 } else {
                     const auto ids = o.d().selectionSetIds();
                     id = ids[indexArg(c, 0, ids.size())];
                 }
                 c.returns(obj(selectionSetObject(o.s, id)));
             }, 1, 1},
            {L"Add", Access::Method, [](O& o, Call& c) { c.returns(obj(selectionSetObject(o.s, o.d().addSelectionSet(c.text(0))))); }, 1, 1},
            {L"_NewEnum", Access::Get, [](O& o, Call& c) {
                 std::vector<ComPtr<IDispatch>> list;
                 for (SelectionSetId id : o.d().selectionSetIds()) list.push_back(selectionSetObject(o.s, id));
                 c.returns(enumOf<SelectionSetObject>(list));
             }},
        });
        return t;
    }
};

// ----- menus

class PopupMenuObject final : public SessionObject<PopupMenuObject> {
public:
    PopupMenuObject(SessionPtr s, std::wstring group, std::wstring menu) : SessionObject(std::move(s)), group_(std::move(group)), menu_(std::move(menu)) {}
    std::wstring_view typeName() const { return L"IAcadPopupMenu"; }
    // A menu of an unloaded group is gone.
    void check() {
        auto g = d().findMenuGroup(group_);
        if (!g) throw AcadError(hr::ObjectErased, L"Object was erased");
    }
    static const Table<PopupMenuObject>& table() {
        using O = PopupMenuObject;
        static const Table<O> t({
            {L"Name", Access::Get, [](O& o, Call& c) { o.check(); c.returns(str(o.menu_)); }},
            {L"NameNoMnemonic", Access::Get, [](O& o, Call& c) {
                 o.check();
                 std::wstring n = o.menu_;
                 std::erase(n, L'&');
                 c.returns(str(n));
             }},
            {L"OnMenuBar", Access::Get, [](O& o, Call& c) {
                 o.check();
                 bool on = false;
                 for (const auto& m : o.d().menuBar()) on = on || (m.group == o.group_ && m.menu == o.menu_);
                 c.returns(boolean(on));
             }},
            {L"InsertInMenuBar", Access::Method, [](O& o, Call& c) {
                 o.check();
                 o.d().insertInMenuBar(o.group_, o.menu_, c.integer(0));
             }, 1, 1},
            {L"RemoveFromMenuBar", Access::Method, [](O& o, Call&) {
                 o.check();
                 o.d().removeFromMenuBar(o.group_, o.menu_);
             }},
        });
        return t;
    }

private:
    std::wstring group_, menu_;
};

class PopupMenusObject final : public SessionObject<PopupMenusObject> {
public:
    PopupMenusObject(SessionPtr s, std::wstring group) : SessionObject(std::move(s)), group_(std::move(group)) {}
    std::wstring_view typeName() const { return L"IAcadPopupMenus"; }
    const MenuGroup& g() {
        auto i = d().findMenuGroup(group_);
        if (!i) throw AcadError(hr::ObjectErased, L"Object was erased");
        return d().menuGroups()[*i];
    }
    static const Table<PopupMenusObject>& table() {
        using O = PopupMenusObject;
        static const Table<O> t({
            {L"Count", Access::Get, [](O& o, Call& c) { c.returns(V::fromInt32(static_cast<long>(o.g().menus.size()))); }},
            {L"Item", Access::Method, [](O& o, Call& c) {
                 const MenuGroup& g = o.g();
                 std::wstring menu;
                 if (isName(c.arg(0))) {
                     const std::wstring name = c.text(0);
                     for (const auto& m : g.menus)
                         if (sameName(m, name)) menu = m;
                     if (menu.empty()) throw AcadError(hr::KeyNotFound, L"Key not found");
                 } else
                     menu = g.menus[indexArg(c, 0, g.menus.size())];
                 c.returns(obj(make<PopupMenuObject>(o.s, g.name, menu)));
             }, 1, 1},
            {L"_NewEnum", Access::Get, [](O& o, Call& c) {
                 std::vector<ComPtr<IDispatch>> list;
                 for (const auto& m : o.g().menus) list.push_back(make<PopupMenuObject>(o.s, o.g().name, m));
                 c.returns(enumOf<PopupMenuObject>(list));
             }},
        });
        return t;
    }

private:
    std::wstring group_;
};

class MenuGroupObject final : public SessionObject<MenuGroupObject> {
public:
    MenuGroupObject(SessionPtr s, std::wstring group) : SessionObject(std::move(s)), group_(std::move(group)) {}
    std::wstring_view typeName() const { return L"IAcadMenuGroup"; }
    const MenuGroup& g() {
        auto i = d().findMenuGroup(group_);
        if (!i) throw AcadError(hr::ObjectErased, L"Object was erased");
        return d().menuGroups()[*i];
    }
    static const Table<MenuGroupObject>& table() {
        using O = MenuGroupObject;
        static const Table<O> t({
            {L"Name", Access::Get, [](O& o, Call& c) { c.returns(str(o.g().name)); }},
            {L"MenuFileName", Access::Get, [](O& o, Call& c) { c.returns(str(o.g().fileName)); }},
            {L"Menus", Access::Get, [](O& o, Call& c) { c.returns(obj(make<PopupMenusObject>(o.s, o.g().name))); }},
            {L"Unload", Access::Method, [](O& o, Call&) { o.d().unloadMenuGroup(o.g().name); }},
        });
        return t;
    }

private:
    std::wstring group_;
};

class MenuGroupsObject final : public SessionObject<MenuGroupsObject> {
public:
    using SessionObject::SessionObject;
    std::wstring_view typeName() const { return L"IAcadMenuGroups"; }
    static const Table<MenuGroupsObject>& table() {
        using O = MenuGroupsObject;
        static const Table<O> t({
            {L"Count", Access::Get, [](O& o, Call& c) { c.returns(V::fromInt32(static_cast<long>(o.d().menuGroups().size()))); }},
            {L"Item", Access::Method, [](O& o, Call& c) {
                 std::size_t i;
                 if (isName(c.arg(0))) {
                     auto found = o.d().findMenuGroup(c.text(0));
                     if (!found) throw AcadError(hr::KeyNotFound, L"Key not found");
                     i = *found;
                 } else
                     i = indexArg(c, 0, o.d().menuGroups().size());
                 c.returns(obj(make<MenuGroupObject>(o.s, o.d().menuGroups()[i].name)));
             }, 1, 1},
            {L"Load", Access::Method, [](O& o, Call& c) {
                 if (c.has(1)) c.boolean(1);
                 const std::size_t i = o.d().loadMenuGroup(c.text(0));
                 c.returns(obj(make<MenuGroupObject>(o.s, o.d().menuGroups()[i].name)));
             }, 1, 2},
            {L"_NewEnum", Access::Get, [](O& o, Call& c) {
                 std::vector<ComPtr<IDispatch>> list;
                 for (const auto& g : o.d().menuGroups()) list.push_back(make<MenuGroupObject>(o.s, g.name));
                 c.returns(enumOf<MenuGroupObject>(list));
             }},
        });
        return t;
    }
};

class MenuBarObject final : public SessionObject<MenuBarObject> {
public:
    using SessionObject::SessionObject;
    std::wstring_view typeName() const { return L"IAcadMenuBar"; }
    static const Table<MenuBarObject>& table() {
        using O = MenuBarObject;
        static const Table<O> t({
            {L"Count", Access::Get, [](O& o, Call& c) { c.returns(V::fromInt32(static_cast<long>(o.d().menuBar().size()))); }},
            {L"Item", Access::Method, [](O& o, Call& c) {
                 std::size_t i;
                 if (isName(c.arg(0))) {
                     auto found = o.d().findOnMenuBar(c.text(0));
                     if (!found) throw AcadError(hr::KeyNotFound, L"Key not found");
                     i = *found;
                 } else
                     i = indexArg(c, 0, o.d().menuBar().size());
                 const MenuBarEntry& m = o.d().menuBar()[i];
                 c.returns(obj(make<PopupMenuObject>(o.s, m.group, m.menu)));
             }, 1, 1},
            {L"_NewEnum", Access::Get, [](O& o, Call& c) {
                 std::vector<ComPtr<IDispatch>> list;
                 for (const auto& m : o.d().menuBar()) list.push_back(make<PopupMenuObject>(o.s, m.group, m.menu));
                 c.returns(enumOf<PopupMenuObject>(list));
             }},
        });
        return t;
    }
};

// ----- document and application

V sysValue(const SysValue& v) {
    if (auto i = std::get_if<int>(&v)) return *i >= -32768 && *i <= 32767 ? V::fromInt16(static_cast<short>(*i)) : V::fromInt32(*i);
    if (auto d = std::get_if<double>(&v)) return num(*d);
    return str(std::get<std::wstring>(v));
}

class DocumentObject final : public SessionObject<DocumentObject> {
public:
    explicit DocumentObject(SessionPtr s) : SessionObject(std::move(s)) { this->s->doc = this; }
    ~DocumentObject() { s->doc = nullptr; }
    std::wstring_view typeName() const { return L"IAcadDocument"; }
    static const Table<DocumentObject>& table() {
        using O = DocumentObject;
        static const Table<O> t({
            {L"Application", Access::Get, [](O& o, Call& c) { c.returns(obj(applicationObject(o.s))); }},
            {L"ModelSpace", Access::Get, [](O& o, Call& c) { c.returns(obj(make<ModelSpaceObject>(o.s))); }},
            {L"Utility", Access::Get, [](O& o, Call& c) { c.returns(obj(make<UtilityObject>(o.s))); }},
            {L"Layers", Access::Get, [](O& o, Call& c) { c.returns(obj(make<LayersObject>(o.s))); }},
            {L"TextStyles", Access::Get, [](O& o, Call& c) { c.returns(obj(make<TextStylesObject>(o.s))); }},
            {L"SelectionSets", Access::Get, [](O& o, Call& c) { c.returns(obj(make<SelectionSetsObject>(o.s))); }},
            {L"Name", Access::Get, [](O& o, Call& c) { c.returns(sysValue(o.d().getVariable(L"DWGNAME"))); }},
            {L"FullName", Access::Get, [](O& o, Call& c) { c.returns(str(L"")); }},
            {L"GetVariable", Access::Method, [](O& o, Call& c) { c.returns(sysValue(o.d().getVariable(c.text(0)))); }, 1, 1},
            {L"SetVariable", Access::Method, [](O& o, Call& c) {
                 const VARIANT& v = c.arg(1);
                 SysValue value;
                 switch (V_VT(&v)) {
                 case VT_I2: case VT_I4: case VT_UI1: case VT_BOOL: value = static_cast<int>(c.integer(1)); break;
                 case VT_R4: case VT_R8: value = c.number(1); break;
                 case VT_BSTR: value = c.text(1); break;
                 default: throw AcadError(hr::InvalidArg, L"Error setting system variable");
                 }
                 o.d().setVariable(c.text(0), value);
             }, 2, 2},
            {L"SendCommand", Access::Method, [](O& o, Call& c) { o.d().sendCommand(c.text(0)); }, 1, 1},
            {L"HandleToObject", Access::Method, [](O& o, Call& c) {
                 auto id = o.d().findHandle(c.text(0));
                 if (!id) throw AcadError(hr::KeyNotFound, L"Key not found");
                 o.d().live(*id);
                 c.returns(obj(entityObject(o.s, *id)));
             }, 1, 1},
            {L"Regen", Access::Method, [](O&, Call& c) { c.integer(0); }, 1, 1},
            {L"ActiveLayer", Access::Get, [](O& o, Call& c) {
                 auto i = o.d().findLayer(std::get<std::wstring>(o.d().getVariable(L"CLAYER")));
                 c.returns(obj(make<LayerObject>(o.s, i.value_or(0))));
             }},
            {L"ActiveLayer", Access::Put, [](O& o, Call& c) {
                 const VARIANT& v = c.value();
                 if (V_VT(&v) != VT_DISPATCH || !V_DISPATCH(&v)) throw ArgError{DISP_E_TYPEMISMATCH, 0};
                 o.d().setVariable(L"CLAYER", com::asString(com::get(V_DISPATCH(&v), L"Name")));
             }},
        });
        return t;
    }
};

class ApplicationObject final : public SessionObject<ApplicationObject> {
public:
    explicit ApplicationObject(SessionPtr s) : SessionObject(std::move(s)) { this->s->app = this; }
    ~ApplicationObject() { s->app = nullptr; }
    std::wstring_view typeName() const { return L"IAcadApplication"; }
    static const Table<ApplicationObject>& table() {
        using O = ApplicationObject;
        static const Table<O> t({
            {L"Caption", Access::Get, [](O& o, Call& c) { c.returns(str(captionOf(*o.s))); }},
            {L"Version", Access::Get, [](O& o, Call& c) { c.returns(str(o.s->config.version)); }},
            {L"Name", Access::Get, [](O&, Call& c) { c.returns(str(L"AutoCAD")); }},
            {L"FullName", Access::Get, [](O& o, Call& c) { c.returns(str(o.s->config.fullName)); }},
            {L"Application", Access::Get, [](O& o, Call& c) { c.returns(obj(applicationObject(o.s))); }},
            {L"ActiveDocument", Access::Get, [](O& o, Call& c) {
                 c.returns(o.s->documentOpen ? obj(documentObject(o.s)) : obj(ComPtr<IDispatch>()));
             }},
            {L"MenuGroups", Access::Get, [](O& o, Call& c) { c.returns(obj(make<MenuGroupsObject>(o.s))); }},
            {L"MenuBar", Access::Get, [](O& o, Call& c) { c.returns(obj(make<MenuBarObject>(o.s))); }},
            {L"Visible", Access::Get, [](O& o, Call& c) { c.returns(boolean(o.s->visible)); }},
            {L"Visible", Access::Put, [](O& o, Call& c) {
                 o.s->visible = c.booleanValue();
                 o.s->changed();
             }},
            {L"WindowState", Access::Get, [](O& o, Call& c) { c.returns(V::fromInt32(o.s->windowState)); }},
            {L"Quit", Access::Method, [](O& o, Call&) {
                 if (o.s->onQuit) o.s->onQuit();
             }},
            {L"WindowState", Access::Put, [](O& o, Call& c) {
                 const long state = c.integerValue();
                 if (state < 1 || state > 3) throw AcadError(hr::InvalidArg, L"Invalid input");  // acNorm, acMin, acMax
                 o.s->windowState = static_cast<int>(state);
                 o.s->changed();
             }},
        });
        return t;
    }
};

ComPtr<IDispatch> applicationObject(const SessionPtr& s) {
    if (s->app) return ComPtr<IDispatch>(s->app);
    return make<ApplicationObject>(s);
}

ComPtr<IDispatch> documentObject(const SessionPtr& s) {
    if (s->doc) return ComPtr<IDispatch>(s->doc);
    return make<DocumentObject>(s);
}

// ---------------------------------------------------------------------------------------------------------
// The control object: how tests script the user and watch the drawing.

FailOp failOp(const std::wstring& name) {
    if (sameName(name, L"Delete")) return FailOp::Delete;
    if (sameName(name, L"Move")) return FailOp::Move;
    if (sameName(name, L"Layer")) return FailOp::SetLayer;
    if (sameName(name, L"AddItems")) return FailOp::AddItems;
    if (sameName(name, L"RemoveItems")) return FailOp::RemoveItems;
    throw AcadError(hr::InvalidArg, L"Unknown operation: " + name);
}

// An entity given by object or by handle text.
EntityId entityArg(Session& s, Call& c, unsigned i) {
    if (isName(c.arg(i))) {
        auto id = s.drawing.findHandle(c.text(i));
        if (!id) throw AcadError(hr::KeyNotFound, L"No entity has the handle " + c.text(i));
        return *id;
    }
    return entityIdOf(s, c.object(i).get());
}

std::vector<std::wstring> splitList(const std::wstring& s) {
    std::vector<std::wstring> out;
    std::size_t start = 0;
    while (start <= s.size()) {
        const auto comma = s.find(L',', start);
        std::wstring item = s.substr(start, comma == std::wstring::npos ? std::wstring::npos : comma - start);
        if (!item.empty()) out.push_back(item);
        if (comma == std::wstring::npos) break;
        start = comma + 1;
    }
    return out;
}

std::wstring joinNumbers(const std::vector<double>& d) {
    std::wstring out;
    for (std::size_t k = 0; k < d.size(); ++k) out += (k ? L"," : L"") + formatDouble(d[k]);
    return out;
}

class ControlObject final : public SessionObject<ControlObject> {
public:
    using SessionObject::SessionObject;
    std::wstring_view typeName() const { return L"IAcadSimControl"; }
    static const Table<ControlObject>& table() {
        using O = ControlObject;
        static const Table<O> t({
            {L"Application", Access::Get, [](O& o, Call& c) { c.returns(obj(applicationObject(o.s))); }},
            {L"Document", Access::Get, [](O& o, Call& c) { c.returns(obj(documentObject(o.s))); }},
            {L"ProcessId", Access::Get, [](O&, Call& c) { c.returns(V::fromInt32(static_cast<long>(GetCurrentProcessId()))); }},
            {L"QueuePick", Access::Method, [](O& o, Call& c) {
                 Answer a{Answer::Pick};
                 a.entity = entityArg(*o.s, c, 0);
                 a.point = {c.number(1), c.number(2), c.has(3) ? c.number(3) : 0.0};
                 o.d().queue(a);
             }, 3, 4},
            {L"QueuePoint", Access::Method, [](O& o, Call& c) {
                 Answer a{Answer::Point};
                 a.point = {c.number(0), c.number(1), c.has(2) ? c.number(2) : 0.0};
                 o.d().queue(a);
             }, 2, 3},
            {L"QueueMiss", Access::Method, [](O& o, Call&) { o.d().queue(Answer{Answer::Miss}); }},
            {L"QueueCancel", Access::Method, [](O& o, Call&) { o.d().queue(Answer{Answer::Cancel}); }},
            {L"QueueFailure", Access::Method, [](O& o, Call& c) {
                 Answer a{Answer::Failure};
                 a.hresult = c.has(0) ? static_cast<std::int32_t>(c.integer(0)) : hr::Fail;
                 a.errnoValue = c.has(1) ? static_cast<int>(c.integer(1)) : 0;
                 o.d().queue(a);
             }, 0, 2},
            {L"QueueSelection", Access::Method, [](O& o, Call& c) {
                 Answer a{Answer::Selection};
                 if (isName(c.arg(0))) {
                     for (const auto& h : splitList(c.text(0))) {
                         auto id = o.d().findHandle(h);
                         if (!id) throw AcadError(hr::KeyNotFound, L"No entity has the handle " + h);
                         a.selection.push_back(*id);
                     }
                 } else
                     a.selection = entityIdsOf(*o.s, c.objects(0));
                 o.d().queue(a);
             }, 1, 1},
            {L"PendingInputs", Access::Get, [](O& o, Call& c) { c.returns(V::fromInt32(static_cast<long>(o.d().pendingAnswers()))); }},
            {L"ClearInputs", Access::Method, [](O& o, Call&) { o.d().clearQueue(); }},
            {L"InjectFailure", Access::Method, [](O& o, Call& c) {
                 const auto code = c.has(1) ? static_cast<std::int32_t>(c.integer(1)) : hr::Fail;
                 o.d().injectFailure(failOp(c.text(0)), code, c.has(2) ? static_cast<int>(c.integer(2)) : 1);
             }, 1, 3},
            {L"ClearFailures", Access::Method, [](O& o, Call&) { o.d().clearFailures(); }},
            {L"CommandLine", Access::Get, [](O& o, Call& c) { c.returns(str(o.d().commandLine())); }},
            {L"LastPrompt", Access::Get, [](O& o, Call& c) { c.returns(str(o.d().lastPrompt())); }},
            {L"SentCommands", Access::Get, [](O& o, Call& c) {
                 std::wstring all;
                 for (const auto& cmd : o.d().sentCommands()) all += cmd + L"\n";
                 c.returns(str(all));
             }},
            {L"ClearCommandLine", Access::Method, [](O& o, Call&) { o.d().clearLog(); }},
            {L"Dump", Access::Get, [](O& o, Call& c) { c.returns(str(o.d().dump())); }},
            {L"EntityCount", Access::Get, [](O& o, Call& c) { c.returns(V::fromInt32(static_cast<long>(o.d().liveCount()))); }},
            {L"Reset", Access::Method, [](O& o, Call&) { o.s->reset(); }},
            {L"DocumentOpen", Access::Get, [](O& o, Call& c) { c.returns(boolean(o.s->documentOpen)); }},
            {L"DocumentOpen", Access::Put, [](O& o, Call& c) { o.s->documentOpen = c.booleanValue(); }},
            {L"DefineMenuFile", Access::Method, [](O& o, Call& c) { o.d().defineMenuFile(c.text(0), MenuFile{c.text(1), splitList(c.text(2))}); }, 3, 3},
            {L"AddSupportFolder", Access::Method, [](O& o, Call& c) { o.d().addSupportFolder(c.text(0)); }, 1, 1},
            {L"MenuBarText", Access::Get, [](O& o, Call& c) {
                 std::wstring all;
                 for (const auto& m : o.d().menuBar()) all += (all.empty() ? L"" : L"|") + m.menu;
                 c.returns(str(all));
             }},
            {L"AddAttribute", Access::Method, [](O& o, Call& c) {
                 const EntityId id = entityArg(*o.s, c, 0);
                 Entity& e = o.d().liveMutable(id);
                 if (e.kind != Kind::BlockRef) throw AcadError(hr::NotApplicable, L"Not a block reference");
                 e.attributes.push_back(Attribute{c.text(1), c.text(2)});
                 o.d().changed();
             }, 3, 3},
            // VBScript cannot index an array of doubles a server returns; these read one for it.
            {L"ArrayText", Access::Method, [](O&, Call& c) { c.returns(str(joinNumbers(c.doubles(0)))); }, 1, 1},
            {L"Element", Access::Method, [](O&, Call& c) {
                 const auto d = c.doubles(0);
                 c.returns(num(d[indexArg(c, 1, d.size())]));
             }, 2, 2},
            {L"Point", Access::Method, [](O&, Call& c) { c.returns(pointVariant({c.number(0), c.number(1), c.has(2) ? c.number(2) : 0.0})); }, 2, 3},
            {L"Doubles", Access::Method, [](O&, Call& c) {
                 std::vector<double> d;
                 for (const auto& item : splitList(c.text(0))) d.push_back(parseDouble(item));
                 c.returns(doublesVariant(d));
             }, 1, 1},
        });
        return t;
    }
};

}  // namespace

Instance createInstance(AppConfig config) {
    auto s = std::make_shared<Session>();
    s->config = std::move(config);
    s->drawing.onChange = [raw = s.get()] { raw->changed(); };
    s->drawing.setVariable(L"errno", 0);
    Instance i;
    i.session = s;
    i.application = applicationObject(s);
    i.control = make<ControlObject>(s);
    return i;
}

}  // namespace kelva::acad::sim
