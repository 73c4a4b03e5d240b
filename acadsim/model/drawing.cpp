#include "acadsim/model/drawing.h"

#include <algorithm>
#include <cmath>
#include <cwctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <numbers>
#include <sstream>

#include "core/textcodec.h"
#include "core/values.h"

namespace kelva::acad {

namespace {

struct KindNames {
    std::wstring_view object, automation, dxf;
};

KindNames names(Kind k) {
    switch (k) {
    case Kind::Point: return {L"AcDbPoint", L"IAcadPoint", L"POINT"};
    case Kind::Line: return {L"AcDbLine", L"IAcadLine", L"LINE"};
    case Kind::Circle: return {L"AcDbCircle", L"IAcadCircle", L"CIRCLE"};
    case Kind::Arc: return {L"AcDbArc", L"IAcadArc", L"ARC"};
    case Kind::LwPolyline: return {L"AcDbPolyline", L"IAcadLWPolyline", L"LWPOLYLINE"};
    case Kind::Polyline2d: return {L"AcDb2dPolyline", L"IAcadPolyline", L"POLYLINE"};
    case Kind::Polyline3d: return {L"AcDb3dPolyline", L"IAcad3DPolyline", L"POLYLINE"};
    case Kind::Text: return {L"AcDbText", L"IAcadText", L"TEXT"};
    case Kind::MText: return {L"AcDbMText", L"IAcadMText", L"MTEXT"};
    case Kind::Solid: return {L"AcDbSolid", L"IAcadSolid", L"SOLID"};
    case Kind::Hatch: return {L"AcDbHatch", L"IAcadHatch", L"HATCH"};
    case Kind::BlockRef: return {L"AcDbBlockReference", L"IAcadBlockReference", L"INSERT"};
    }
    return {L"AcDbEntity", L"IAcadEntity", L""};
}

const wchar_t* opName(FailOp op) {
    switch (op) {
    case FailOp::Delete: return L"Delete";
    case FailOp::Move: return L"Move";
    case FailOp::SetLayer: return L"Layer";
    case FailOp::AddItems: return L"AddItems";
    case FailOp::RemoveItems: return L"RemoveItems";
    }
    return L"";
}

std::wstring lower(std::wstring_view s) {
    std::wstring out(s);
    for (auto& c : out) c = static_cast<wchar_t>(std::towlower(c));
    return out;
}

std::wstring num(double v) { return formatDouble(v); }
std::wstring pt(Point3 p) { return num(p.x) + L"," + num(p.y) + L"," + num(p.z); }

const std::wstring kReadOnly[] = {L"LASTPROMPT", L"ACADVER", L"DWGNAME", L"DWGPREFIX"};

}  // namespace

std::wstring_view objectName(Kind k) { return names(k).object; }
std::wstring_view automationName(Kind k) { return names(k).automation; }
std::wstring_view dxfName(Kind k) { return names(k).dxf; }

std::wstring upper(std::wstring_view s) {
    std::wstring out(s);
    for (auto& c : out) c = static_cast<wchar_t>(std::towupper(c));
    return out;
}

bool sameName(std::wstring_view a, std::wstring_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](wchar_t x, wchar_t y) { return std::towupper(x) == std::towupper(y); });
}

std::wstring handleText(std::uint64_t handle) {
    static constexpr wchar_t digits[] = L"0123456789ABCDEF";
    std::wstring s;
    do {
        s.insert(s.begin(), digits[handle & 15]);
        handle >>= 4;
    } while (handle);
    return s;
}

// ---------------------------------------------------------------------------------------------------------
// Measures

double entityLength(const Entity& e) {
    switch (e.kind) {
    case Kind::Line: return distance(e.a, e.b);
    case Kind::Arc: return e.radius * sweep(e.startAngle, e.endAngle);
    case Kind::Circle: return 2 * std::numbers::pi * e.radius;
    case Kind::LwPolyline:
    case Kind::Polyline2d:
    case Kind::Polyline3d: return chainLength(e.chain);
    default: throw AcadError(hr::NotApplicable, L"Not applicable");
    }
}

double entityArea(const Entity& e) {
    switch (e.kind) {
    case Kind::Circle: return std::numbers::pi * e.radius * e.radius;
    case Kind::Arc: {
        const double t = sweep(e.startAngle, e.endAngle);
        return e.radius * e.radius / 2 * (t - std::sin(t));
    }
    case Kind::LwPolyline:
    case Kind::Polyline2d: return chainArea(e.chain);
    case Kind::Hatch: return e.hatchArea;
    default: throw AcadError(hr::NotApplicable, L"Not applicable");
    }
}

Box boundingBox(const Entity& e) {
    Box box;
    switch (e.kind) {
    case Kind::Point: box.add(e.a); break;
    case Kind::Line: box.add(e.a); box.add(e.b); break;
    case Kind::Circle: addArcExtents(box, e.a, e.radius, 0, 2 * std::numbers::pi); break;
    case Kind::Arc: addArcExtents(box, e.a, e.radius, e.startAngle, e.endAngle); break;
    case Kind::LwPolyline:
    case Kind::Polyline2d:
    case Kind::Polyline3d:
    case Kind::Solid:
        for (std::size_t i = 0; i < e.chain.vertices.size(); ++i) {
            Point3 p = e.chain.vertices[i];
            if (e.kind == Kind::LwPolyline) p.z = e.elevation;
            box.add(p);
            const double bulge = i < e.chain.bulges.size() ? e.chain.bulges[i] : 0.0;
            const bool hasNext = i + 1 < e.chain.vertices.size() || e.chain.closed;
            if (bulge != 0 && hasNext) {  // the arc may bulge beyond its end points
                Point3 q = e.chain.vertices[(i + 1) % e.chain.vertices.size()];
                const double theta = 4 * std::atan(bulge);
                const double chord = distance(p, q);
                const double r = chord / (2 * std::sin(std::fabs(theta) / 2));
                const double mid = angleOf(p, q) + (theta > 0 ? 1 : -1) * (std::numbers::pi / 2 - std::fabs(theta) / 2);
                Point3 c = polar(p, mid, r);
                const double a1 = angleOf(c, p), a2 = angleOf(c, q);
                if (theta > 0) addArcExtents(box, c, r, a1, a2); else addArcExtents(box, c, r, a2, a1);
            }
        }
        break;
    case Kind::Text:
    case Kind::MText: {  // an estimate: AutoCAD measures the glyphs
        const double w = e.kind == Kind::MText && e.width > 0 ? e.width : 0.8 * e.height * static_cast<double>(e.text.size());
        box.add(e.a);
        box.add(polar(e.a, e.rotation, w));
        box.add(polar(e.a, e.rotation + std::numbers::pi / 2, e.height));
        box.add(polar(polar(e.a, e.rotation, w), e.rotation + std::numbers::pi / 2, e.height));
        break;
    }
    case Kind::Hatch:
        if (!e.loopExtents.empty) return e.loopExtents;
        box.add(e.a);  // no boundary yet
        break;
    case Kind::BlockRef: box.add(e.a); break;
    }
    return box;
}

void moveEntity(Entity& e, Point3 d) {
    e.a = e.a + d;
    e.b = e.b + d;
    for (auto& v : e.chain.vertices) v = v + d;
    if (!e.loopExtents.empty) {
        e.loopExtents.min = e.loopExtents.min + d;
        e.loopExtents.max = e.loopExtents.max + d;
    }
    if (e.kind == Kind::LwPolyline || e.kind == Kind::Polyline2d) {
        e.elevation += d.z;
        if (e.kind == Kind::LwPolyline)
            for (auto& v : e.chain.vertices) v.z = 0;
    }
}

// ---------------------------------------------------------------------------------------------------------
// Wildcards and filters

namespace {

bool sameLetter(wchar_t a, wchar_t b) { return std::towupper(a) == std::towupper(b); }

// One character class of a wildcard: [abc], [~abc], [a-z]; `p` stands on the '['. Returns false when the
// class does not close, so the '[' is taken literally.
bool matchClass(std::wstring_view pat, std::size_t& p, wchar_t c, bool& matched) {
    std::size_t q = p + 1;
    const bool negate = q < pat.size() && pat[q] == L'~';
    if (negate) ++q;
    bool hit = false;
    bool first = true;
    while (q < pat.size() && (pat[q] != L']' || first)) {
        wchar_t lo = pat[q];
        if (lo == L'`' && q + 1 < pat.size()) lo = pat[++q];
        if (q + 2 < pat.size() && pat[q + 1] == L'-' && pat[q + 2] != L']') {
            const wchar_t hi = pat[q + 2];
            const auto u = std::towupper(c);
            hit = hit || (u >= std::towupper(lo) && u <= std::towupper(hi));
            q += 3;
        } else {
            hit = hit || sameLetter(lo, c);
            ++q;
        }
        first = false;
    }
    if (q >= pat.size()) return false;
    p = q + 1;
    matched = hit != negate;
    return true;
}

bool matchOne(std::wstring_view pat, std::size_t p, std::wstring_view text, std::size_t t) {
    while (p < pat.size()) {
        const wchar_t c = pat[p];
        if (c == L'*') {
            for (std::size_t k = t; k <= text.size(); ++k)
                if (matchOne(pat, p + 1, text, k)) return true;
            return false;
        }
        if (t >= text.size()) return false;
        const wchar_t x = text[t];
        bool ok;
        switch (c) {
        case L'?': ok = true; ++p; break;
        case L'#': ok = std::iswdigit(x) != 0; ++p; break;
        case L'@': ok = std::iswalpha(x) != 0; ++p; break;
        case L'.': ok = !std::iswalnum(x); ++p; break;
        case L'[':
            if (!matchClass(pat, p, x, ok)) {
                ok = x == L'[';
                ++p;
            }
            break;
        case L'`':
            ok = p + 1 < pat.size() && sameLetter(pat[p + 1], x);
            p += 2;
            break;
        default: ok = sameLetter(c, x); ++p; break;
        }
        if (!ok) return false;
        ++t;
    }
    return t == text.size();
}

}  // namespace

bool matchesWildcard(std::wstring_view pattern, std::wstring_view text) {
    // AutoCAD's wcmatch with letter case ignored: a comma separates alternatives; # digit, @ letter,
    // . neither, * any run, ? any one, [..] a class, a leading ~ negates, ` quotes the next character.
    std::size_t start = 0;
    for (std::size_t i = 0; i <= pattern.size(); ++i) {
        if (i < pattern.size() && pattern[i] == L'`') {
            ++i;
            continue;
        }
        if (i < pattern.size() && pattern[i] != L',') continue;
        std::wstring_view alt = pattern.substr(start, i - start);
        start = i + 1;
        const bool negate = !alt.empty() && alt[0] == L'~';
        if (negate) alt.remove_prefix(1);
        if (matchOne(alt, 0, text, 0) != negate) return true;
    }
    return false;
}

bool matchesFilter(const Entity& e, const std::vector<FilterItem>& filter) {
    for (const auto& f : filter) {
        switch (f.code) {
        case 0:
            if (!matchesWildcard(f.value, dxfName(e.kind))) return false;
            break;
        case 8:
            if (!matchesWildcard(f.value, e.layer)) return false;
            break;
        case 2:
            if (e.kind != Kind::BlockRef || !matchesWildcard(f.value, e.name)) return false;
            break;
        default:
            throw AcadError(hr::InvalidArg, L"Invalid filter type");
        }
    }
    return true;
}

// ---------------------------------------------------------------------------------------------------------
// Menu sources

MenuFile parseMenuSource(std::wstring_view text, std::wstring_view fallbackGroup) {
    MenuFile file{std::wstring(fallbackGroup), {}};
    std::wistringstream in{std::wstring(text)};
    std::wstring line;
    bool inPop = false;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == L'\r') line.pop_back();
        const auto first = line.find_first_not_of(L" \t");
        const std::wstring_view body = first == std::wstring::npos ? std::wstring_view() : std::wstring_view(line).substr(first);
        if (body.starts_with(L"***")) {
            const std::wstring head = upper(body);
            inPop = head.starts_with(L"***POP") && head != L"***POP0";
            if (head.starts_with(L"***MENUGROUP=")) file.groupName = std::wstring(body.substr(13));
            continue;
        }
        if (!inPop || body.starts_with(L"**") || body.starts_with(L"//")) continue;
        const auto open = body.find(L'['), close = body.find(L']');
        if (open != std::wstring_view::npos && close != std::wstring_view::npos && close > open) {
            file.menus.emplace_back(body.substr(open + 1, close - open - 1));
            inPop = false;  // only the title line names the menu
        }
    }
    return file;
}

// ---------------------------------------------------------------------------------------------------------
// Drawing

Drawing::Drawing() {
    layers_.push_back(Layer{L"0"});
    styles_.push_back(TextStyle{L"Standard"});
    vars_[L"ERRNO"] = 0;
    vars_[L"CLAYER"] = std::wstring(L"0");
    vars_[L"TEXTSTYLE"] = std::wstring(L"Standard");
    vars_[L"TEXTSIZE"] = 2.5;
    vars_[L"ACADVER"] = std::wstring(L"16.0");
    vars_[L"DWGNAME"] = std::wstring(L"Drawing1.dwg");
    vars_[L"DWGPREFIX"] = std::wstring(L"C:\\");
    vars_[L"CMDECHO"] = 1;
    vars_[L"OSMODE"] = 0;
    vars_[L"FILEDIA"] = 1;
    groups_.push_back(MenuGroup{L"ACAD", L"acad.mnc", {L"&File", L"&Edit", L"&View", L"&Draw", L"&Modify", L"&Help"}});
    for (const auto& m : groups_[0].menus) bar_.push_back({L"ACAD", m});
}

const Entity& Drawing::entity(EntityId id) const {
    if (id >= entities_.size()) throw AcadError(hr::InvalidArg, L"Invalid object");
    return entities_[id];
}

const Entity& Drawing::live(EntityId id) const {
    const Entity& e = entity(id);
    if (e.erased) throw AcadError(hr::ObjectErased, L"Object was erased");
    return e;
}

Entity& Drawing::liveMutable(EntityId id) { return const_cast<Entity&>(live(id)); }

std::optional<EntityId> Drawing::findHandle(std::wstring_view handle) const {
    std::uint64_t h = 0;
    if (handle.empty() || handle.size() > 16) return std::nullopt;
    for (wchar_t c : handle) {
        const wchar_t u = static_cast<wchar_t>(std::towupper(c));
        int d;
        if (u >= L'0' && u <= L'9') d = u - L'0';
        else if (u >= L'A' && u <= L'F') d = u - L'A' + 10;
        else return std::nullopt;
        h = h * 16 + static_cast<std::uint64_t>(d);
    }
    auto it = byHandle_.find(h);
    if (it == byHandle_.end()) return std::nullopt;
    return it->second;
}

std::vector<EntityId> Drawing::modelSpace() const {
    std::vector<EntityId> out;
    out.reserve(liveCount_);
    for (EntityId i = 0; i < entities_.size(); ++i)
        if (!entities_[i].erased) out.push_back(i);
    return out;
}

EntityId Drawing::modelSpaceAt(std::size_t index) const {
    if (index >= liveCount_) throw AcadError(hr::InvalidArg, L"Invalid index");
    if (liveCount_ == entities_.size()) return static_cast<EntityId>(index);
    if (!liveIndexValid_) {
        liveIndex_ = modelSpace();
        liveIndexValid_ = true;
    }
    return liveIndex_[index];
}

EntityId Drawing::add(Entity e) {
    if (!findLayer(e.layer)) throw AcadError(hr::KeyNotFound, L"Key not found");
    e.handle = nextHandle_++;
    e.erased = false;
    const auto id = static_cast<EntityId>(entities_.size());
    byHandle_[e.handle] = id;
    entities_.push_back(std::move(e));
    ++liveCount_;
    liveIndexValid_ = false;
    changed();
    return id;
}

void Drawing::fail(FailOp op) {
    auto it = failures_.find(op);
    if (it == failures_.end() || it->second.times == 0) return;
    const auto code = it->second.hresult;
    if (it->second.times > 0 && --it->second.times == 0) failures_.erase(it);
    throw AcadError(code, std::wstring(opName(op)) + L" refused");
}

void Drawing::injectFailure(FailOp op, std::int32_t hresult, int times) {
    if (times == 0) {
        failures_.erase(op);
        return;
    }
    failures_[op] = Injected{hresult, times};
}

void Drawing::erase(EntityId id) {
    live(id);
    fail(FailOp::Delete);
    entities_[id].erased = true;
    --liveCount_;
    liveIndexValid_ = false;
    changed();
}

void Drawing::move(EntityId id, Point3 from, Point3 to) {
    live(id);
    fail(FailOp::Move);
    moveEntity(entities_[id], to - from);
    changed();
}

void Drawing::setLayer(EntityId id, std::wstring_view name) {
    live(id);
    fail(FailOp::SetLayer);
    auto index = findLayer(name);
    if (!index) throw AcadError(hr::KeyNotFound, L"Key not found");
    entities_[id].layer = layers_[*index].name;
    changed();
}

void Drawing::appendHatchLoop(EntityId hatch, const std::vector<EntityId>& loop) {
    if (live(hatch).kind != Kind::Hatch) throw AcadError(hr::NotApplicable, L"Not applicable");
    double area = 0;
    Box extents = entities_[hatch].loopExtents;
    for (EntityId id : loop) {
        const Entity& boundary = live(id);
        area += entityArea(boundary);
        const Box b = boundingBox(boundary);
        extents.add(b.min);
        extents.add(b.max);
    }
    // Only a loop that was read whole changes the hatch.
    Entity& e = entities_[hatch];
    e.hatchArea += area;
    e.loopExtents = extents;
    ++e.loops;
    changed();
}

void Drawing::setStyleName(EntityId id, std::wstring_view name) {
    live(id);
    auto index = findTextStyle(name);
    if (!index) throw AcadError(hr::KeyNotFound, L"Key not found");
    entities_[id].styleName = styles_[*index].name;
    changed();
}

std::optional<std::size_t> Drawing::findLayer(std::wstring_view name) const {
    for (std::size_t i = 0; i < layers_.size(); ++i)
        if (sameName(layers_[i].name, name)) return i;
    return std::nullopt;
}

std::size_t Drawing::addLayer(std::wstring_view name) {
    if (name.empty()) throw AcadError(hr::InvalidArg, L"Invalid input");
    if (auto i = findLayer(name)) return *i;
    layers_.push_back(Layer{std::wstring(name)});
    return layers_.size() - 1;
}

std::optional<std::size_t> Drawing::findTextStyle(std::wstring_view name) const {
    for (std::size_t i = 0; i < styles_.size(); ++i)
        if (sameName(styles_[i].name, name)) return i;
    return std::nullopt;
}

std::size_t Drawing::addTextStyle(std::wstring_view name) {
    if (name.empty()) throw AcadError(hr::InvalidArg, L"Invalid input");
    if (auto i = findTextStyle(name)) return *i;
    styles_.push_back(TextStyle{std::wstring(name)});
    return styles_.size() - 1;
}

void Drawing::setFont(std::size_t index, std::wstring_view typeface, bool bold, bool italic, int charset, int pitchAndFamily) {
    TextStyle& s = styles_.at(index);
    s.typeface = typeface;
    s.bold = bold;
    s.italic = italic;
    s.charset = charset;
    s.pitchAndFamily = pitchAndFamily;
    // A TrueType typeface replaces the shape font; AutoCAD then reports the TrueType file.
    if (!typeface.empty()) s.fontFile = std::wstring(typeface) + L".ttf";
}

// ----- selection sets

bool EntitySet::add(EntityId id) {
    if (contains(id)) return false;
    if (id >= member_.size()) member_.resize(std::max<std::size_t>(id + 1, member_.size() * 2));
    member_[id] = true;
    ids_.push_back(id);
    return true;
}

void EntitySet::remove(const EntityId* first, const EntityId* last) {
    bool any = false;
    for (const EntityId* p = first; p != last; ++p)
        if (contains(*p)) {
            member_[*p] = false;
            any = true;
        }
    if (any) std::erase_if(ids_, [&](EntityId id) { return !member_[id]; });
}

void EntitySet::clear() {
    for (EntityId id : ids_) member_[id] = false;
    ids_.clear();
}

SelectionSetId Drawing::addSelectionSet(std::wstring_view name) {
    if (name.empty()) throw AcadError(hr::InvalidArg, L"Invalid input");
    if (findSelectionSet(name)) throw AcadError(hr::DuplicateKey, L"Duplicate record name");
    sets_.push_back(SelectionSet{std::wstring(name)});
    return static_cast<SelectionSetId>(sets_.size() - 1);
}

std::optional<SelectionSetId> Drawing::findSelectionSet(std::wstring_view name) const {
    for (SelectionSetId i = 0; i < sets_.size(); ++i)
        if (!sets_[i].deleted && sameName(sets_[i].name, name)) return i;
    return std::nullopt;
}

std::vector<SelectionSetId> Drawing::selectionSetIds() const {
    std::vector<SelectionSetId> out;
    for (SelectionSetId i = 0; i < sets_.size(); ++i)
        if (!sets_[i].deleted) out.push_back(i);
    return out;
}

const SelectionSet& Drawing::selectionSet(SelectionSetId id) const {
    if (id >= sets_.size()) throw AcadError(hr::InvalidArg, L"Invalid object");
    if (sets_[id].deleted) throw AcadError(hr::ObjectErased, L"Object was erased");
    return sets_[id];
}

void Drawing::deleteSelectionSet(SelectionSetId id) {
    selectionSet(id);
    sets_[id].deleted = true;
    sets_[id].items = EntitySet();
}

void Drawing::clearSelection(SelectionSetId id) {
    selectionSet(id);
    sets_[id].items.clear();
}

void Drawing::addItems(SelectionSetId id, const std::vector<EntityId>& items) {
    selectionSet(id);
    fail(FailOp::AddItems);
    for (EntityId e : items) live(e);  // all or nothing
    auto& set = sets_[id].items;
    for (EntityId e : items) set.add(e);
}

void Drawing::removeItems(SelectionSetId id, const std::vector<EntityId>& items) {
    selectionSet(id);
    fail(FailOp::RemoveItems);
    // Erased entities may be taken out; an id the drawing never had stops the removal where it stands.
    std::size_t known = 0;
    while (known < items.size() && items[known] < entities_.size()) ++known;
    sets_[id].items.remove(items.data(), items.data() + known);
    if (known < items.size()) entity(items[known]);
}

void Drawing::selectAll(SelectionSetId id, const std::vector<FilterItem>& filter) {
    selectionSet(id);
    auto& set = sets_[id].items;
    for (EntityId e = 0; e < entities_.size(); ++e)
        if (!entities_[e].erased && matchesFilter(entities_[e], filter)) set.add(e);
}

std::size_t Drawing::selectOnScreen(SelectionSetId id, const std::vector<FilterItem>& filter) {
    selectionSet(id);
    prompt(L"\r\nSelect objects: ");
    const Answer a = nextAnswer();
    std::vector<EntityId> picked;
    switch (a.type) {
    case Answer::Selection: picked = a.selection; break;
    case Answer::Pick: picked.push_back(a.entity); break;
    case Answer::Failure:
        setVariable(L"errno", a.errnoValue);
        throw AcadError(a.hresult, L"Selection failed");
    case Answer::Cancel: echoCancel(); return 0;
    default: return 0;
    }
    auto& set = sets_[id].items;
    std::size_t added = 0;
    for (EntityId e : picked) {
        if (entity(e).erased || !matchesFilter(entities_[e], filter)) continue;
        if (set.add(e)) ++added;
    }
    return added;
}

// ----- system variables

SysValue Drawing::getVariable(std::wstring_view name) const {
    const std::wstring key = upper(name);
    if (key == L"LASTPROMPT") return lastPrompt();
    auto it = vars_.find(key);
    if (it == vars_.end()) throw AcadError(hr::InvalidArg, L"Error getting system variable");
    return it->second;
}

void Drawing::setVariable(std::wstring_view name, const SysValue& value) {
    const std::wstring key = upper(name);
    auto it = vars_.find(key);
    if (it == vars_.end() || std::find(std::begin(kReadOnly), std::end(kReadOnly), key) != std::end(kReadOnly))
        throw AcadError(hr::InvalidArg, L"Error setting system variable");
    SysValue& slot = it->second;
    if (std::holds_alternative<std::wstring>(slot) != std::holds_alternative<std::wstring>(value))
        throw AcadError(hr::InvalidArg, L"Error setting system variable");
    if (std::holds_alternative<int>(slot) && std::holds_alternative<double>(value))
        slot = toInt32(std::get<double>(value));
    else if (std::holds_alternative<double>(slot) && std::holds_alternative<int>(value))
        slot = static_cast<double>(std::get<int>(value));
    else
        slot = value;
}

// Used by the drawing itself, where the variable is known to exist.
// ----- command line

void Drawing::prompt(std::wstring_view text) {
    log_ += text;
    changed();
}

void Drawing::sendCommand(std::wstring_view text) {
    commands_.emplace_back(text);
    log_ += L"\r\nCommand: ";
    log_ += text;
    changed();
}

void Drawing::clearLog() {
    log_.clear();
    commands_.clear();
}

std::wstring Drawing::lastPrompt() const {
    const auto nl = log_.find_last_of(L"\r\n");
    std::wstring last = nl == std::wstring::npos ? log_ : log_.substr(nl + 1);
    return last;
}

void Drawing::echoCancel() { prompt(L"*Cancel*"); }

// ----- interactive input

const Answer Drawing::nextAnswer() {
    if (queue_.empty()) return Answer{Answer::Cancel};
    Answer a = std::move(queue_.front());
    queue_.pop_front();
    return a;
}

// As in AutoCAD, errno keeps the code of the last failed input until someone sets it: a successful
// or cancelled input leaves it alone, so a caller that decides by errno must reset it before asking.
Point3 Drawing::getPoint(std::wstring_view promptText, const std::optional<Point3>&) {
    prompt(promptText);
    const Answer a = nextAnswer();
    switch (a.type) {
    case Answer::Point:
    case Answer::Pick: return a.point;
    case Answer::Cancel: echoCancel(); throw AcadError(hr::Exception, L"*Cancel*");
    case Answer::Miss: vars_[L"ERRNO"] = 7; throw AcadError(hr::Exception, L"Invalid point");
    case Answer::Failure: vars_[L"ERRNO"] = a.errnoValue; throw AcadError(a.hresult, L"Point input failed");
    case Answer::Selection: break;
    }
    throw AcadError(hr::Fail, L"Point input failed");
}

PickResult Drawing::getEntity(std::wstring_view promptText) {
    prompt(promptText);
    const Answer a = nextAnswer();
    switch (a.type) {
    case Answer::Pick:
        if (entity(a.entity).erased) break;  // nothing is there any more: a miss
        return {a.entity, a.point};
    case Answer::Point:
    case Answer::Miss: break;
    case Answer::Cancel: echoCancel(); throw AcadError(hr::Exception, L"*Cancel*");
    case Answer::Failure: vars_[L"ERRNO"] = a.errnoValue; throw AcadError(a.hresult, L"Entity selection failed");
    case Answer::Selection: throw AcadError(hr::Fail, L"Entity selection failed");
    }
    vars_[L"ERRNO"] = 7;
    throw AcadError(hr::Exception, L"Nothing selected");
}

// ----- menus

std::optional<std::size_t> Drawing::findMenuGroup(std::wstring_view name) const {
    for (std::size_t i = 0; i < groups_.size(); ++i)
        if (sameName(groups_[i].name, name)) return i;
    return std::nullopt;
}

void Drawing::defineMenuFile(std::wstring_view fileName, MenuFile file) { menuFiles_[lower(fileName)] = std::move(file); }

std::size_t Drawing::loadMenuGroup(std::wstring_view fileName) {
    namespace fs = std::filesystem;
    const fs::path given{std::wstring(fileName)};
    std::optional<MenuFile> file;
    if (auto it = menuFiles_.find(lower(fileName)); it != menuFiles_.end()) file = it->second;
    else if (auto it2 = menuFiles_.find(lower(given.filename().wstring())); it2 != menuFiles_.end()) file = it2->second;
    if (!file) {
        std::vector<fs::path> candidates{given};
        if (!given.is_absolute())
            for (const auto& folder : supportPath_) candidates.push_back(fs::path(folder) / given);
        for (const auto& path : candidates) {
            std::error_code ec;
            if (!fs::is_regular_file(path, ec)) continue;
            std::ifstream in(path, std::ios::binary);
            const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            auto text = decodeStrict(Codec::Utf8, bytes);
            file = parseMenuSource(text ? *text : decodeLenient(Codec::Cp949, bytes), given.stem().wstring());
            break;
        }
    }
    if (!file) throw AcadError(hr::InvalidArg, L"Error loading menu file");
    if (findMenuGroup(file->groupName)) throw AcadError(hr::DuplicateKey, L"Menu group already loaded");
    groups_.push_back(MenuGroup{file->groupName, std::wstring(fileName), file->menus});
    changed();
    return groups_.size() - 1;
}

void Drawing::unloadMenuGroup(std::wstring_view name) {
    auto index = findMenuGroup(name);
    if (!index) throw AcadError(hr::KeyNotFound, L"Key not found");
    const std::wstring group = groups_[*index].name;
    std::erase_if(bar_, [&](const MenuBarEntry& m) { return m.group == group; });
    groups_.erase(groups_.begin() + static_cast<std::ptrdiff_t>(*index));
    changed();
}

std::optional<std::size_t> Drawing::findOnMenuBar(std::wstring_view menu) const {
    for (std::size_t i = 0; i < bar_.size(); ++i)
        if (sameName(bar_[i].menu, menu)) return i;
    return std::nullopt;
}

void Drawing::insertInMenuBar(std::wstring_view group, std::wstring_view menu, long index) {
    for (const auto& m : bar_)
        if (m.group == group && m.menu == menu) throw AcadError(hr::InvalidArg, L"Menu is already in the menu bar");
    if (index < 0) throw AcadError(hr::InvalidArg, L"Invalid index");
    const auto at = std::min<std::size_t>(static_cast<std::size_t>(index), bar_.size());
    bar_.insert(bar_.begin() + static_cast<std::ptrdiff_t>(at), MenuBarEntry{std::wstring(group), std::wstring(menu)});
    changed();
}

void Drawing::removeFromMenuBar(std::wstring_view group, std::wstring_view menu) {
    const auto before = bar_.size();
    std::erase_if(bar_, [&](const MenuBarEntry& m) { return m.group == group && m.menu == menu; });
    if (bar_.size() == before) throw AcadError(hr::InvalidArg, L"Menu is not in the menu bar");
    changed();
}

// ----- dump

std::wstring Drawing::dumpLine(EntityId id) const {
    const Entity& e = entity(id);
    std::wstring s = handleText(e.handle) + L" " + std::wstring(objectName(e.kind)) + L" layer=" + e.layer;
    auto vertices = [&] {
        std::wstring v;
        for (std::size_t i = 0; i < e.chain.vertices.size(); ++i) {
            if (i) v += L";";
            v += e.kind == Kind::LwPolyline ? num(e.chain.vertices[i].x) + L"," + num(e.chain.vertices[i].y) : pt(e.chain.vertices[i]);
        }
        return v;
    };
    switch (e.kind) {
    case Kind::Point: s += L" at=" + pt(e.a); break;
    case Kind::Line: s += L" start=" + pt(e.a) + L" end=" + pt(e.b); break;
    case Kind::Circle: s += L" center=" + pt(e.a) + L" radius=" + num(e.radius); break;
    case Kind::Arc:
        s += L" center=" + pt(e.a) + L" radius=" + num(e.radius) + L" start=" + num(e.startAngle) + L" end=" + num(e.endAngle);
        break;
    case Kind::LwPolyline:
    case Kind::Polyline2d:
    case Kind::Polyline3d: {
        s += L" vertices=" + vertices() + L" closed=" + (e.chain.closed ? L"1" : L"0");
        bool anyBulge = false;
        for (double b : e.chain.bulges) anyBulge = anyBulge || b != 0;
        if (anyBulge) {
            s += L" bulges=";
            for (std::size_t i = 0; i < e.chain.bulges.size(); ++i) s += (i ? L"," : L"") + num(e.chain.bulges[i]);
        }
        break;
    }
    case Kind::Text:
    case Kind::MText:
        s += L" at=" + pt(e.a) + L" height=" + num(e.height) + L" rotation=" + num(e.rotation) + L" style=" + e.styleName;
        if (e.kind == Kind::Text && e.alignment != 0) s += L" alignment=" + std::to_wstring(e.alignment) + L" align=" + pt(e.b);
        s += L" text=\"" + e.text + L"\"";
        break;
    case Kind::Solid: s += L" corners=" + vertices(); break;
    case Kind::Hatch: s += L" pattern=" + e.patternName + L" area=" + num(e.hatchArea); break;
    case Kind::BlockRef:
        s += L" name=" + e.name + L" at=" + pt(e.a) + L" scale=" + num(e.xScale) + L"," + num(e.yScale) + L"," + num(e.zScale) +
             L" rotation=" + num(e.rotation);
        for (const auto& a : e.attributes) s += L" " + a.tag + L"=\"" + a.text + L"\"";
        break;
    }
    return s;
}

std::wstring Drawing::dump() const {
    std::wstring out;
    for (EntityId id : modelSpace()) out += dumpLine(id) + L"\n";
    return out;
}

}  // namespace kelva::acad
