#include "dedupe.h"

#include <unordered_set>

#include "core/errors.h"
#include "core/values.h"
#include "layers.h"
#include "pubtext.h"

namespace kelva::pub {

std::wstring_view propName(Prop p) noexcept {
    switch (p) {
    case Prop::ObjectName: return L"ObjectName";
    case Prop::Layer: return L"Layer";
    case Prop::Coordinates: return L"Coordinates";
    case Prop::StartPoint: return L"StartPoint";
    case Prop::EndPoint: return L"EndPoint";
    case Prop::Center: return L"Center";
    case Prop::InsertionPoint: return L"InsertionPoint";
    case Prop::Length: return L"Length";
    case Prop::Area: return L"Area";
    case Prop::ArcLength: return L"ArcLength";
    case Prop::Radius: return L"Radius";
    case Prop::Height: return L"Height";
    case Prop::Rotation: return L"Rotation";
    case Prop::Elevation: return L"Elevation";
    case Prop::XScaleFactor: return L"XScaleFactor";
    case Prop::YScaleFactor: return L"YScaleFactor";
    case Prop::ZScaleFactor: return L"ZScaleFactor";
    case Prop::PatternAngle: return L"PatternAngle";
    case Prop::PatternScale: return L"PatternScale";
    case Prop::HatchStyle: return L"HatchStyle";
    case Prop::TextString: return L"TextString";
    case Prop::Name: return L"Name";
    case Prop::PatternName: return L"PatternName";
    case Prop::TagString: return L"TagString";
    case Prop::Closed: return L"Closed";
    case Prop::HasAttributes: return L"HasAttributes";
    }
    return {};
}

KeyRow keyRowFor(std::wstring_view typeWord) {
    struct Word {
        std::wstring_view word;
        KeyRow row;
    };
    static constexpr Word words[] = {
        {L"point", KeyRow::Point},   {L"line", KeyRow::Line},     {L"polyline,lwpolyline", KeyRow::Polyline},
        {L"circle", KeyRow::Circle}, {L"arc", KeyRow::Arc},       {L"text", KeyRow::Text},
        {L"mtext", KeyRow::Text},    {L"insert", KeyRow::Insert}, {L"hatch", KeyRow::Hatch},
        {L"solid", KeyRow::Solid},
    };
    for (const auto& w : words)
        if (equalsIgnoringCase(typeWord, w.word)) return w.row;
    return KeyRow::None;
}

bool rowApplies(KeyRow row, std::wstring_view objectName) {
    auto is = [&](std::wstring_view name) { return equalsIgnoringCase(objectName, name); };
    switch (row) {
    case KeyRow::None: return false;
    case KeyRow::Point: return is(L"AcDbPoint");
    case KeyRow::Line: return is(L"AcDbLine");
    case KeyRow::Polyline: return is(L"AcDbPolyline") || is(L"AcDb2dPolyline") || is(L"AcDb3dPolyline");
    case KeyRow::Circle: return is(L"AcDbCircle");
    case KeyRow::Arc: return is(L"AcDbArc");
    case KeyRow::Text: return is(L"AcDbText") || is(L"AcDbMText");
    case KeyRow::Insert: return is(L"AcDbBlockReference") || is(L"AcDbMInsertBlock");
    case KeyRow::Hatch: return is(L"AcDbHatch");
    case KeyRow::Solid: return is(L"AcDbSolid");
    }
    return false;
}

std::wstring numberText(double v, int decimals) {
    // "0." with no zeros after it still shows the point.
    if (decimals <= 0) return formatFixed(v, 0) + L".";
    return formatFixed(v, decimals);
}

std::wstring scaleText(double v) { return formatFixed(v, 4); }

namespace {

// Parts are joined with a character that text parts escape, so that no two different part lists
// give the same key (text "A1" of height 2.5 against text "A" of height 12.5).
constexpr wchar_t kSeparator = L'\x1F';
constexpr wchar_t kEscape = L'\x1B';

class KeyText {
public:
    explicit KeyText(const KeyOptions& o) : options_(o) {}

    void number(double v) {
        open();
        appendFixed(key_, v, options_.decimals);
        if (options_.decimals <= 0) key_ += L'.';
    }
    void scale(double v) {
        open();
        appendFixed(key_, v, 4);
    }
    void integer(std::int64_t v) { part(std::to_wstring(v)); }
    void text(std::wstring_view t) {
        open();
        for (wchar_t c : t) {
            if (c == kSeparator || c == kEscape) key_ += kEscape;
            key_ += c;
        }
    }
    void point(const std::vector<double>& p) { point(p.data(), p.size()); }
    void point(const double* p, size_t size) {
        if (size < 2 || (options_.withZ && size < 3)) raise(err::SubscriptOutOfRange);
        number(p[0]);
        number(p[1]);
        if (options_.withZ) number(p[2]);
    }
    void append(const std::wstring& alreadyJoined) { part(alreadyJoined); }
    std::wstring take() { return std::move(key_); }

private:
    void open() {
        if (!empty_) key_ += kSeparator;
        empty_ = false;
    }
    void part(const std::wstring& p) {
        open();
        key_ += p;
    }

    const KeyOptions& options_;
    std::wstring key_;
    bool empty_ = true;
};

void polylineKey(KeyText& k, EntityView& e, std::wstring_view objectName, const KeyOptions& o) {
    const bool threeD = equalsIgnoringCase(objectName, L"AcDb3dPolyline");
    const bool light = equalsIgnoringCase(objectName, L"AcDbPolyline");
    // The vertices come from the one Coordinates array: two numbers per vertex for a lightweight
    // polyline, three for the others.
    const std::vector<double> coords = e.numbers(Prop::Coordinates);
    const std::int16_t last = coordCount(objectName, static_cast<std::int32_t>(coords.size()) - 1);
    const size_t stride = light ? 2 : 3;
    const double elevation = (o.withZ && !threeD) ? e.number(Prop::Elevation) : 0.0;
    auto vertex = [&](int index) {
        if (index < 0 || (static_cast<size_t>(index) + 1) * stride > coords.size()) raise(err::SubscriptOutOfRange);
        const double* v = coords.data() + static_cast<size_t>(index) * stride;
        k.number(v[0]);
        k.number(v[1]);
        if (o.withZ) k.number(threeD ? v[2] : elevation);
    };
    vertex(0);
    vertex(last);
    k.number(e.number(Prop::Length));
    if (threeD)
        k.text(L"");
    else
        k.number(e.number(Prop::Area));
    k.integer(last);
    k.text(e.flag(Prop::Closed) ? L"closed" : L"open");
    const int listed = last <= 10 ? last + 1 : 10;
    for (int i = 0; i < listed; ++i) vertex(i);
}

}  // namespace

std::wstring attributeKey(EntityView& entity, std::wstring_view objectName) {
    KeyOptions none;
    KeyText k(none);
    if (objectName == L"AcDbBlockReference") {
        if (entity.flag(Prop::HasAttributes))
            for (const auto& a : entity.attributes()) {
                k.text(a.tag);
                k.text(a.text);
            }
    } else if (objectName == L"AcDbAttributeDefinition") {
        k.text(entity.text(Prop::TagString));
        k.text(entity.text(Prop::TextString));
    }
    return k.take();
}

EntityKeys entityKeys(const KeyOptions& o, EntityView& e, std::wstring_view objectName) {
    EntityKeys keys;
    // A row keys only the entities it describes: an arc under "circle" or a polyline under "line"
    // would otherwise read properties it happens to share and be taken for something it is not.
    if (!rowApplies(o.row, objectName)) return keys;
    try {
        std::wstring layer;
        if (o.withLayer) layer = e.text(Prop::Layer);
        KeyText k(o);
        switch (o.row) {
        case KeyRow::None: return keys;
        case KeyRow::Point: k.point(e.numbers(Prop::Coordinates)); break;
        case KeyRow::Line: {
            KeyText start(o), end(o);
            start.point(e.numbers(Prop::StartPoint));
            end.point(e.numbers(Prop::EndPoint));
            const std::wstring s = start.take(), t = end.take();
            KeyText back(o);
            k.append(s);
            k.append(t);
            back.append(t);
            back.append(s);
            if (o.withLayer) back.text(layer);
            keys.reversed = back.take();
            break;
        }
        case KeyRow::Polyline: polylineKey(k, e, objectName, o); break;
        case KeyRow::Circle:
            k.point(e.numbers(Prop::Center));
            k.number(e.number(Prop::Radius));
            break;
        case KeyRow::Arc:
            k.point(e.numbers(Prop::StartPoint));
            k.point(e.numbers(Prop::EndPoint));
            k.point(e.numbers(Prop::Center));
            k.number(e.number(Prop::ArcLength));
            k.number(e.number(Prop::Radius));
            break;
        case KeyRow::Text:
            k.point(e.numbers(Prop::InsertionPoint));
            k.text(e.text(Prop::TextString));
            k.number(e.number(Prop::Height));
            k.number(e.number(Prop::Rotation));
            break;
        case KeyRow::Insert:
            k.point(e.numbers(Prop::InsertionPoint));
            k.text(e.text(Prop::Name));
            k.scale(e.number(Prop::XScaleFactor));
            k.scale(e.number(Prop::YScaleFactor));
            k.scale(e.number(Prop::ZScaleFactor));
            k.number(e.number(Prop::Rotation));
            k.append(attributeKey(e, objectName));
            break;
        case KeyRow::Hatch: {
            if (o.withZ) k.number(e.number(Prop::Elevation));
            k.text(e.text(Prop::PatternName));
            k.number(e.number(Prop::Area));
            k.integer(toInt32(e.number(Prop::HatchStyle)));
            k.number(e.number(Prop::PatternAngle));
            k.scale(e.number(Prop::PatternScale));
            // Where the hatch lies: equal patterns in different places are different hatches.
            const auto box = e.boundingBox();
            k.point(box.first);
            k.point(box.second);
            break;
        }
        case KeyRow::Solid:
            for (int corner = 0; corner < 4; ++corner) k.point(e.coordinate(corner));
            break;
        }
        if (o.withLayer) k.text(layer);
        keys.forward = k.take();
    } catch (const std::exception&) {
        return {};
    }
    foldCaseInPlace(keys.forward);
    foldCaseInPlace(keys.reversed);
    return keys;
}

std::int32_t deleteDuplicates(SelectionView& selection, const DedupeRequest& request,
                              const std::function<void()>& yieldToInput) {
    std::int32_t total = 0;
    try {
        total = selection.count();
    } catch (const std::exception&) {
        return 0;
    }
    const KeyOptions options{keyRowFor(request.typeWord), request.withLayer, request.withZ, request.decimals};
    if (options.row == KeyRow::None) {
        // Nothing can be a duplicate, but the host still gets its chance to breathe per item.
        if (yieldToInput)
            for (std::int32_t i = 0; i < total; ++i) yieldToInput();
        return 0;
    }

    std::unordered_set<std::wstring> seen;
    seen.reserve(total > 0 ? static_cast<size_t>(total) * 2 : 0);
    std::int32_t removed = 0;
    for (std::int32_t i = 0; i < total; ++i) {
        if (yieldToInput) yieldToInput();
        try {
            const std::unique_ptr<SelectedEntity> entity = selection.item(i);
            if (!entity) continue;
            const std::wstring objectName = entity->text(Prop::ObjectName);
            EntityKeys keys = entityKeys(options, *entity, objectName);
            // An empty key says nothing about the entity; it is never taken for a duplicate.
            if (keys.forward.empty()) continue;
            const bool reversedDiffers = !keys.reversed.empty() && keys.reversed != keys.forward;
            bool duplicate = !seen.insert(std::move(keys.forward)).second;
            // A zero-length line has one key both ways; it must not clash with itself.
            if (reversedDiffers && !seen.insert(std::move(keys.reversed)).second) duplicate = true;
            if (!duplicate) continue;
            if (request.moveToLayer.empty())
                entity->erase();
            else
                entity->moveToLayer(request.moveToLayer);
            ++removed;
        } catch (const std::exception&) {
            // A refused delete or move (locked layer, missing target layer) leaves the entity where
            // it was and is not counted; an unreadable item is passed over.
        }
    }
    return removed;
}

}  // namespace kelva::pub
