#pragma once
// Duplicate-entity removal of clsPub: every entity of a selection set gets a comparison key built
// from its geometry and properties (numbers rounded to the caller's decimals, letter case ignored);
// an entity whose key an earlier entity already had is deleted or moved to a layer.
//
// The selection and its entities are abstract views so that the key rules and the loop are tested
// without AutoCAD. The loop reads each property of an entity at most once and makes one hashed
// lookup per key.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kelva::pub {

// Entity properties the keys read, by their AutoCAD names.
enum class Prop {
    ObjectName, Layer,
    Coordinates, StartPoint, EndPoint, Center, InsertionPoint,
    Length, Area, ArcLength, Radius, Height, Rotation, Elevation,
    XScaleFactor, YScaleFactor, ZScaleFactor, PatternAngle, PatternScale, HatchStyle,
    TextString, Name, PatternName, TagString,
    Closed, HasAttributes,
};
std::wstring_view propName(Prop p) noexcept;

struct AttributeText {
    std::wstring tag;
    std::wstring text;
};

// An entity as the key builder reads it. Any member may throw (a property the entity lacks, an
// erased entity); the key is then empty.
class EntityView {
public:
    virtual ~EntityView() = default;
    virtual std::wstring text(Prop p) = 0;
    virtual double number(Prop p) = 0;
    virtual bool flag(Prop p) = 0;
    virtual std::vector<double> numbers(Prop p) = 0;         // points and Coordinates
    virtual std::vector<double> coordinate(int index) = 0;   // Coordinate(index)
    virtual std::pair<std::vector<double>, std::vector<double>> boundingBox() = 0;  // GetBoundingBox
    virtual std::vector<AttributeText> attributes() = 0;     // TagString/TextString of GetAttributes
};

// A selected entity that can also be removed. A refused delete or move throws.
class SelectedEntity : public EntityView {
public:
    virtual void erase() = 0;
    virtual void moveToLayer(const std::wstring& layer) = 0;
};

class SelectionView {
public:
    virtual ~SelectionView() = default;
    virtual std::int32_t count() = 0;
    virtual std::unique_ptr<SelectedEntity> item(std::int32_t index) = 0;
};

// Rows of the key table, chosen by the caller's type word.
enum class KeyRow { None, Point, Line, Polyline, Circle, Arc, Text, Insert, Hatch, Solid };
KeyRow keyRowFor(std::wstring_view typeWord);
// Whether a row describes entities of this ObjectName; others get the empty key.
bool rowApplies(KeyRow row, std::wstring_view objectName);

struct KeyOptions {
    KeyRow row = KeyRow::None;
    bool withLayer = false;  // bLayer
    bool withZ = false;      // bZ
    int decimals = 0;        // iDec
};

// The number texts of the keys: N with the caller's decimals ("0." and iDec zeros), S with four.
std::wstring numberText(double v, int decimals);
std::wstring scaleText(double v);

struct EntityKeys {
    std::wstring forward;   // empty: the entity takes no part in the comparison
    std::wstring reversed;  // lines only: the key of the same line drawn the other way
};

// Builds the keys of an entity whose ObjectName the caller has read already. Any failure while
// reading gives empty keys. Keys are case-folded.
EntityKeys entityKeys(const KeyOptions& options, EntityView& entity, std::wstring_view objectName);
// The attribute part of a block reference or an attribute definition; failures pass through.
std::wstring attributeKey(EntityView& entity, std::wstring_view objectName);

struct DedupeRequest {
    std::wstring typeWord;  // sObj
    bool withLayer = false;
    bool withZ = false;
    int decimals = 0;
    std::wstring moveToLayer;  // sLayer: when not empty duplicates move there instead of being deleted
};

// Removes the duplicates of a selection in one pass; returns how many entities were actually
// deleted or moved. `yieldToInput` runs once per entity. Never throws for a failing entity.
std::int32_t deleteDuplicates(SelectionView& selection, const DedupeRequest& request,
                              const std::function<void()>& yieldToInput = {});

}  // namespace kelva::pub
