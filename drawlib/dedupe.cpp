#include "dedupe.h"

#include <array>
#include <cmath>

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

// Writes the parts of one key into a buffer the caller keeps, so that a long selection builds its
// keys without allocating. Text parts are case-folded as they are written; numbers need no folding.
class KeyText {
public:
    KeyText(const KeyOptions& o, std::wstring& out, bool fold = true) : options_(o), key_(out), fold_(fold) {
        key_.clear();
    }

    void number(double v) { rounded(v, options_.decimals); }
    void scale(double v) { rounded(v, 4); }
    void integer(std::int64_t v) {
        open();
        wchar_t digits[24];
        int n = 0;
        std::uint64_t u = v < 0 ? 0 - static_cast<std::uint64_t>(v) : static_cast<std::uint64_t>(v);
        do {
            digits[n++] = static_cast<wchar_t>(L'0' + u % 10);
            u /= 10;
        } while (u != 0);
        if (v < 0) key_ += L'-';
        while (n > 0) key_ += digits[--n];
    }
    void text(std::wstring_view t) {
        open();
        for (wchar_t c : t) {
            if (c == kSeparator || c == kEscape) key_ += kEscape;
            key_ += fold_ ? foldCase(c) : c;
        }
    }
    void point(const std::vector<double>& p) {
        if (p.size() < 2 || (options_.withZ && p.size() < 3)) raise(err::SubscriptOutOfRange);
        number(p[0]);
        number(p[1]);
        if (options_.withZ) number(p[2]);
    }
    // Parts already joined by another KeyText.
    void joined(std::wstring_view parts) {
        open();
        key_ += parts;
    }
    size_t size() const { return key_.size(); }

private:
    void open() {
        if (!empty_) key_ += kSeparator;
        empty_ = false;
    }

    // A number as the text of the fixed-decimals format would show it, written as its value in
    // whole units of the last decimal: equal texts give equal parts, and building the text is
    // spared. The units go in four 16-bit pieces, escaped like text; a number too long for 64 bits
    // keeps its text.
    void rounded(double v, int decimals) {
        open();
        if (!std::isfinite(v)) raise(err::Overflow);
        std::uint64_t units = 0;
        bool negative = std::signbit(v);
        if (!fixedUnits(v, decimals, units) && !unitsOfText(formatFixed(v, decimals), units, negative)) {
            key_ += L'~';
            appendFixed(key_, v, decimals);
            return;
        }
        wchar_t part[9];
        int n = 0;
        part[n++] = (negative && units != 0) ? L'-' : L'+';  // a number shown as zero has no sign
        for (int shift = 48; shift >= 0; shift -= 16) {
            const auto piece = static_cast<wchar_t>((units >> shift) & 0xFFFF);
            if (piece == kSeparator || piece == kEscape) part[n++] = kEscape;
            part[n++] = piece;
        }
        key_.append(part, static_cast<size_t>(n));
    }

    static bool unitsOfText(const std::wstring& text, std::uint64_t& units, bool& negative) {
        units = 0;
        negative = false;
        int digits = 0;
        for (wchar_t c : text) {
            if (c == L'-') {
                negative = true;
            } else if (c >= L'0' && c <= L'9') {
                // Leading zeros add nothing: the same text gives the same units whichever way
                // they were found.
                if ((units != 0 || c != L'0') && ++digits > 19) return false;
                units = units * 10 + static_cast<std::uint64_t>(c - L'0');
            }
        }
        return true;
    }

    const KeyOptions& options_;
    std::wstring& key_;
    bool fold_;
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
    auto writeVertex = [&](KeyText& t, int index) {
        if (index < 0 || (static_cast<size_t>(index) + 1) * stride > coords.size()) raise(err::SubscriptOutOfRange);
        const double* v = coords.data() + static_cast<size_t>(index) * stride;
        t.number(v[0]);
        t.number(v[1]);
        if (o.withZ) t.number(threeD ? v[2] : elevation);
    };
    // The listed vertices are written once. When the list holds every vertex it holds the first
    // and the last as well, and the head of the key leaves them out; otherwise the head reuses the
    // first vertex's text and writes the last.
    const int listed = last <= 10 ? last + 1 : 10;
    thread_local std::wstring vertices;  // kept between entities: no allocation per polyline
    std::array<size_t, 11> ends{};
    KeyText list(o, vertices);
    for (int i = 0; i < listed; ++i) {
        writeVertex(list, i);
        ends[static_cast<size_t>(i)] = list.size();
    }
    auto listedText = [&](int i) {
        const size_t start = i == 0 ? 0 : ends[static_cast<size_t>(i) - 1] + 1;
        return std::wstring_view(vertices).substr(start, ends[static_cast<size_t>(i)] - start);
    };
    const bool everyVertexListed = last >= 0 && last < listed;
    if (!everyVertexListed) {
        if (listed > 0)
            k.joined(listedText(0));
        else
            writeVertex(k, 0);
        writeVertex(k, last);
    }
    k.number(e.number(Prop::Length));
    if (threeD)
        k.text(L"");
    else
        k.number(e.number(Prop::Area));
    k.integer(last);
    k.text(e.flag(Prop::Closed) ? L"closed" : L"open");
    if (listed > 0) k.joined(vertices);
}

void attributeParts(KeyText& k, EntityView& entity, std::wstring_view objectName) {
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
}

// Builds the keys into the caller's buffers; false (and empty buffers) when the entity cannot be
// keyed. `reversed` is filled for lines only.
bool buildKeys(const KeyOptions& o, EntityView& e, std::wstring_view objectName, std::wstring& forward,
               std::wstring& reversed) {
    forward.clear();
    reversed.clear();
    // A row keys only the entities it describes: an arc under "circle" or a polyline under "line"
    // would otherwise read properties it happens to share and be taken for something it is not.
    if (!rowApplies(o.row, objectName)) return false;
    try {
        std::wstring layer;
        if (o.withLayer) layer = e.text(Prop::Layer);
        KeyText k(o, forward);
        switch (o.row) {
        case KeyRow::None: return false;
        case KeyRow::Point: k.point(e.numbers(Prop::Coordinates)); break;
        case KeyRow::Line: {
            k.point(e.numbers(Prop::StartPoint));
            const size_t startEnd = k.size();
            k.point(e.numbers(Prop::EndPoint));
            const std::wstring_view all(forward);
            KeyText back(o, reversed);
            back.joined(all.substr(startEnd + 1));
            back.joined(all.substr(0, startEnd));
            if (o.withLayer) back.text(layer);
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
        case KeyRow::Insert: {
            k.point(e.numbers(Prop::InsertionPoint));
            k.text(e.text(Prop::Name));
            k.scale(e.number(Prop::XScaleFactor));
            k.scale(e.number(Prop::YScaleFactor));
            k.scale(e.number(Prop::ZScaleFactor));
            k.number(e.number(Prop::Rotation));
            // The attribute part takes one place in the key however many attributes it holds.
            std::wstring attributes;
            KeyText a(o, attributes);
            attributeParts(a, e, objectName);
            k.joined(attributes);
            break;
        }
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
        return true;
    } catch (const std::exception&) {
        forward.clear();
        reversed.clear();
        return false;
    }
}

// The keys seen so far: all key texts back to back in one buffer, and an open-addressing table whose
// slots hold a part of each key's hash beside its number, so that a lookup touches one slot and
// reads a stored key only when the hashes agree. One hashed lookup per key, no allocation per key.
class KeySet {
public:
    explicit KeySet(size_t expected) {
        size_t capacity = 16;
        while (capacity < expected * 2) capacity *= 2;
        slots_.assign(capacity, 0);
        keys_.reserve(expected);
        arena_.reserve(expected * 40);
    }

    // Adds the key; false when it was there already.
    bool insert(std::wstring_view key) {
        if ((keys_.size() + 1) * 2 > slots_.size()) grow();
        const std::uint64_t hash = std::hash<std::wstring_view>{}(key);
        const std::uint64_t tag = (hash >> 32) | 1;  // never 0: 0 marks a free slot
        const size_t mask = slots_.size() - 1;
        size_t at = hash & mask;
        for (; slots_[at] != 0; at = (at + 1) & mask) {
            if ((slots_[at] >> 32) != tag) continue;
            const Stored& s = keys_[(slots_[at] & 0xFFFFFFFFu) - 1];
            if (std::wstring_view(arena_).substr(s.offset, s.length) == key) return false;
        }
        keys_.push_back(Stored{arena_.size(), key.size(), hash});
        arena_ += key;
        slots_[at] = (tag << 32) | keys_.size();
        return true;
    }

private:
    struct Stored {
        size_t offset;
        size_t length;
        std::uint64_t hash;
    };

    void grow() {
        std::vector<std::uint64_t> bigger(slots_.size() * 2, 0);
        const size_t mask = bigger.size() - 1;
        for (size_t k = 0; k < keys_.size(); ++k) {
            const std::uint64_t hash = keys_[k].hash;
            size_t at = hash & mask;
            while (bigger[at] != 0) at = (at + 1) & mask;
            bigger[at] = (((hash >> 32) | 1) << 32) | (k + 1);
        }
        slots_.swap(bigger);
    }

    std::vector<std::uint64_t> slots_;  // hash tag << 32 | key number + 1
    std::vector<Stored> keys_;
    std::wstring arena_;
};

}  // namespace

std::wstring attributeKey(EntityView& entity, std::wstring_view objectName) {
    const KeyOptions none;
    std::wstring key;
    KeyText k(none, key, false);
    attributeParts(k, entity, objectName);
    return key;
}

EntityKeys entityKeys(const KeyOptions& o, EntityView& e, std::wstring_view objectName) {
    EntityKeys keys;
    buildKeys(o, e, objectName, keys.forward, keys.reversed);
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

    KeySet seen(total > 0 ? static_cast<size_t>(total) : 0);
    std::wstring forward, reversed;
    std::int32_t removed = 0;
    for (std::int32_t i = 0; i < total; ++i) {
        if (yieldToInput) yieldToInput();
        try {
            const std::unique_ptr<SelectedEntity> entity = selection.item(i);
            if (!entity) continue;
            const std::wstring objectName = entity->text(Prop::ObjectName);
            // An entity without a key says nothing; it is never taken for a duplicate.
            if (!buildKeys(options, *entity, objectName, forward, reversed)) continue;
            // A line is looked up by the smaller of its two keys: a line drawn the other way has the
            // same pair of keys, so the pair matches exactly when either key would have matched
            // one of an earlier line's, and a zero-length line (both keys one text) never meets
            // itself.
            std::wstring_view key = forward;
            if (!reversed.empty() && std::wstring_view(reversed) < key) key = reversed;
            if (seen.insert(key)) continue;
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
