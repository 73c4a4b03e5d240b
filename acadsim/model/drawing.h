#pragma once
// The stand-in's drawing: what AutoCAD's automation model shows of one document, as plain data with
// the operations a macro performs on it. Every refusal is an AcadError carrying the HRESULT and text
// that AutoCAD gives for it, so the COM layer only has to pass it on.
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <variant>
#include <vector>

#include "acadsim/model/geometry.h"

namespace kelva::acad {

// HRESULTs the stand-in reports.
namespace hr {
inline constexpr std::int32_t ObjectErased = static_cast<std::int32_t>(0x8020004C);
inline constexpr std::int32_t Exception = static_cast<std::int32_t>(0x80020009);  // DISP_E_EXCEPTION
inline constexpr std::int32_t Fail = static_cast<std::int32_t>(0x80004005);       // E_FAIL
inline constexpr std::int32_t InvalidArg = static_cast<std::int32_t>(0x80070057); // E_INVALIDARG
inline constexpr std::int32_t KeyNotFound = static_cast<std::int32_t>(0x80200011);
inline constexpr std::int32_t DuplicateKey = static_cast<std::int32_t>(0x80200012);
inline constexpr std::int32_t NotApplicable = static_cast<std::int32_t>(0x80200010);
}  // namespace hr

class AcadError : public std::runtime_error {
public:
    AcadError(std::int32_t hresult, std::wstring description)
        : std::runtime_error("AutoCAD error"), hresult_(hresult), description_(std::move(description)) {}
    std::int32_t hresult() const noexcept { return hresult_; }
    const std::wstring& description() const noexcept { return description_; }

private:
    std::int32_t hresult_;
    std::wstring description_;
};

using EntityId = std::uint32_t;  // index into Drawing::entities(), stable for the drawing's life

enum class Kind { Point, Line, Circle, Arc, LwPolyline, Polyline2d, Polyline3d, Text, MText, Solid, Hatch, BlockRef };

// AutoCAD's class name ("AcDbLine") and automation interface name ("IAcadLine") of a kind.
std::wstring_view objectName(Kind k);
std::wstring_view automationName(Kind k);
// The DXF name a selection filter matches ("LINE", "LWPOLYLINE", "POLYLINE", ...).
std::wstring_view dxfName(Kind k);

struct Attribute {
    std::wstring tag, text;
};

// One entity; which fields matter depends on the kind.
struct Entity {
    Kind kind = Kind::Point;
    std::uint64_t handle = 0;
    std::wstring layer = L"0";
    bool erased = false;
    Point3 a;  // point, start, centre or insertion point (solid: unused)
    Point3 b;  // end point of a line; alignment point of a text
    Chain chain;  // polyline vertices and bulges; the four corners of a solid
    double radius = 0, startAngle = 0, endAngle = 0;
    double height = 0, rotation = 0, width = 0, elevation = 0;
    std::wstring text;
    std::wstring styleName = L"Standard";
    int alignment = 0;
    std::wstring name;  // block name
    double xScale = 1, yScale = 1, zScale = 1;
    std::wstring patternName;
    int patternType = 0, hatchStyle = 0;
    double patternAngle = 0, patternScale = 1, hatchArea = 0;
    int loops = 0;
    Box loopExtents;  // a hatch's boundary loops together: where the hatch lies
    std::vector<Attribute> attributes;
};

std::wstring handleText(std::uint64_t handle);

// Measures that AutoCAD derives from an entity's data.
double entityLength(const Entity& e);  // lines, arcs (arc length), circles (circumference), polylines
double entityArea(const Entity& e);
Box boundingBox(const Entity& e);
void moveEntity(Entity& e, Point3 delta);

struct Layer {
    std::wstring name;
    bool freeze = false, layerOn = true, lock = false;
    int color = 7;
};

struct TextStyle {
    std::wstring name;
    std::wstring fontFile = L"txt";
    std::wstring typeface;
    bool bold = false, italic = false;
    int charset = 0, pitchAndFamily = 0;
    double height = 0;
};

// The entities of a selection set: in the order they were added, each at most once. Membership is a
// bitmap over entity ids, so adding, testing and removing cost O(1) per entity and a rewrite of a large
// set costs O(n), not O(n^2).
class EntitySet {
public:
    const std::vector<EntityId>& ids() const { return ids_; }
    std::size_t size() const { return ids_.size(); }
    bool empty() const { return ids_.empty(); }
    bool contains(EntityId id) const { return id < member_.size() && member_[id]; }
    bool add(EntityId id);  // false when it is there already
    // Takes the given entities out in one pass, keeping the order of the rest.
    void remove(const EntityId* first, const EntityId* last);
    void clear();

private:
    std::vector<EntityId> ids_;
    std::vector<bool> member_;
};

struct SelectionSet {
    std::wstring name;
    EntitySet items;
    bool deleted = false;
};
using SelectionSetId = std::uint32_t;

// A selection filter as AutoCAD takes it: group codes with values (0 entity type, 8 layer, 2 block
// name); the values may hold comma lists and wildcards.
struct FilterItem {
    int code = 0;
    std::wstring value;
};
bool matchesWildcard(std::wstring_view pattern, std::wstring_view text);  // AutoCAD's wcmatch, ignoring case
bool matchesFilter(const Entity& e, const std::vector<FilterItem>& filter);

// One scripted answer to an interactive input.
struct Answer {
    enum Type { Pick, Point, Selection, Miss, Cancel, Failure } type = Cancel;
    EntityId entity = 0;
    Point3 point;
    std::vector<EntityId> selection;
    std::int32_t hresult = hr::Fail;
    int errnoValue = 0;
};

struct PickResult {
    EntityId entity;
    Point3 point;
};

// Operations a test can make AutoCAD refuse.
enum class FailOp { Delete, Move, SetLayer, AddItems, RemoveItems };

struct MenuGroup {
    std::wstring name, fileName;
    std::vector<std::wstring> menus;
};
struct MenuBarEntry {
    std::wstring group, menu;
};
// What a menu file defines when loaded.
struct MenuFile {
    std::wstring groupName;
    std::vector<std::wstring> menus;
};
// The group name and pull-down menus of a menu source text (***POP sections, the title line in brackets).
MenuFile parseMenuSource(std::wstring_view text, std::wstring_view fallbackGroup);

using SysValue = std::variant<int, double, std::wstring>;

class Drawing {
public:
    Drawing();

    // Called after every change a viewer of the drawing would show.
    std::function<void()> onChange;

    // ----- entities
    const std::vector<Entity>& entities() const { return entities_; }
    const Entity& entity(EntityId id) const;  // any entity, erased or not
    // The entity for reading or changing it: an erased one is refused with ObjectErased.
    const Entity& live(EntityId id) const;
    Entity& liveMutable(EntityId id);
    std::optional<EntityId> findHandle(std::wstring_view handle) const;
    // Model space in drawing order (erased entities left out).
    std::vector<EntityId> modelSpace() const;
    // The index-th entity of model space; ids are dense until something is erased, so this is cheap.
    EntityId modelSpaceAt(std::size_t index) const;
    std::size_t liveCount() const { return liveCount_; }

    EntityId add(Entity e);
    void erase(EntityId id);                 // Delete
    void move(EntityId id, Point3 from, Point3 to);
    void setLayer(EntityId id, std::wstring_view layer);
    void setStyleName(EntityId id, std::wstring_view style);
    // Adds a boundary loop made of the given entities to a hatch: its area and extents grow by theirs.
    void appendHatchLoop(EntityId hatch, const std::vector<EntityId>& loop);
    void changed() { if (onChange) onChange(); }

    // ----- layers
    const std::vector<Layer>& layers() const { return layers_; }
    std::optional<std::size_t> findLayer(std::wstring_view name) const;
    Layer& layer(std::size_t index) { return layers_.at(index); }
    std::size_t addLayer(std::wstring_view name);  // an existing layer is returned as it is

    // ----- text styles
    const std::vector<TextStyle>& textStyles() const { return styles_; }
    std::optional<std::size_t> findTextStyle(std::wstring_view name) const;
    TextStyle& textStyle(std::size_t index) { return styles_.at(index); }
    std::size_t addTextStyle(std::wstring_view name);
    void setFont(std::size_t style, std::wstring_view typeface, bool bold, bool italic, int charset, int pitchAndFamily);

    // ----- selection sets (named, in the order added; deleted ones stay as refusing stubs)
    SelectionSetId addSelectionSet(std::wstring_view name);
    std::optional<SelectionSetId> findSelectionSet(std::wstring_view name) const;
    std::vector<SelectionSetId> selectionSetIds() const;
    const SelectionSet& selectionSet(SelectionSetId id) const;  // refuses a deleted set
    void deleteSelectionSet(SelectionSetId id);
    void clearSelection(SelectionSetId id);
    void addItems(SelectionSetId id, const std::vector<EntityId>& items);
    void removeItems(SelectionSetId id, const std::vector<EntityId>& items);
    void selectAll(SelectionSetId id, const std::vector<FilterItem>& filter);
    // Answered from the input queue; returns how many entities were added.
    std::size_t selectOnScreen(SelectionSetId id, const std::vector<FilterItem>& filter);

    // ----- system variables
    SysValue getVariable(std::wstring_view name) const;
    void setVariable(std::wstring_view name, const SysValue& value);

    // ----- command line
    const std::wstring& commandLine() const { return log_; }
    void prompt(std::wstring_view text);
    void sendCommand(std::wstring_view text);
    const std::vector<std::wstring>& sentCommands() const { return commands_; }
    void clearLog();
    std::wstring lastPrompt() const;

    // ----- interactive input, answered from the scripted queue (an empty queue cancels)
    void queue(Answer a) { queue_.push_back(std::move(a)); }
    std::size_t pendingAnswers() const { return queue_.size(); }
    void clearQueue() { queue_.clear(); }
    Point3 getPoint(std::wstring_view promptText, const std::optional<Point3>& base);
    PickResult getEntity(std::wstring_view promptText);

    // ----- injected failures: the next `times` attempts (-1: all) fail with the HRESULT
    void injectFailure(FailOp op, std::int32_t hresult, int times);
    void clearFailures() { failures_.clear(); }

    // ----- menus
    const std::vector<MenuGroup>& menuGroups() const { return groups_; }
    const std::vector<MenuBarEntry>& menuBar() const { return bar_; }
    std::optional<std::size_t> findMenuGroup(std::wstring_view name) const;
    void defineMenuFile(std::wstring_view fileName, MenuFile file);
    void addSupportFolder(std::wstring folder) { supportPath_.push_back(std::move(folder)); }
    std::size_t loadMenuGroup(std::wstring_view fileName);
    void unloadMenuGroup(std::wstring_view name);
    std::optional<std::size_t> findOnMenuBar(std::wstring_view menu) const;
    void insertInMenuBar(std::wstring_view group, std::wstring_view menu, long index);
    void removeFromMenuBar(std::wstring_view group, std::wstring_view menu);

    // One line per entity of model space, for tests and the viewer.
    std::wstring dumpLine(EntityId id) const;
    std::wstring dump() const;

private:
    void fail(FailOp op);
    const Answer nextAnswer();
    void echoCancel();

    std::vector<Entity> entities_;
    mutable std::vector<EntityId> liveIndex_;
    mutable bool liveIndexValid_ = false;
    std::unordered_map<std::uint64_t, EntityId> byHandle_;
    std::size_t liveCount_ = 0;
    std::uint64_t nextHandle_ = 0x2F;
    std::vector<Layer> layers_;
    std::vector<TextStyle> styles_;
    std::vector<SelectionSet> sets_;
    std::map<std::wstring, SysValue> vars_;  // upper-case names
    std::wstring log_;
    std::vector<std::wstring> commands_;
    std::deque<Answer> queue_;
    struct Injected {
        std::int32_t hresult;
        int times;
    };
    std::map<FailOp, Injected> failures_;
    std::vector<MenuGroup> groups_;
    std::vector<MenuBarEntry> bar_;
    std::map<std::wstring, MenuFile> menuFiles_;  // lower-case file names
    std::vector<std::wstring> supportPath_;
};

// Case-insensitive comparison of names as AutoCAD's symbol tables do it.
bool sameName(std::wstring_view a, std::wstring_view b);
std::wstring upper(std::wstring_view s);

}  // namespace kelva::acad
