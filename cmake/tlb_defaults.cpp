// tlb_defaults: stores in a type library written by widl the defaults of optional parameters that widl
// cannot write itself, so that an early-bound caller which leaves such an argument out passes the value
// the member is meant to get, not 0 or "".
//
//   tlb_defaults <widl.tlb> <defaults file> <out.tlb>
//
// widl refuses a string default on a by-reference parameter, and it stores a Double default only as an
// immediate whole zero, which carries no more than the low half of the number. This tool reads the type
// library (the "MSFT" format), gives each parameter named in the defaults file its default, stores every
// Double default in full, and writes the library again with its segments and member blocks in the same
// order. Nothing else changes: interfaces, members, ids, names, flags other than "has a default", and
// the order of everything stay as widl wrote them.
//
// The defaults file is UTF-8, one default a line, '#' starting a comment line:
//   _clsPub.GetPnt sPrmpt = "\r\n점 선택: "
//   _clsCLO.GetClothoidADER dRatio = 1.0
//   _clsFunc.LaunchBrowser State = 3
// The value's type is the parameter's own (a by-reference parameter's referenced type): a String takes a
// quoted text (escapes \r \n \t \" \\), a Double, Long or Integer a number. Texts are stored in code page
// 949, the ANSI code page the type library's readers convert them from on the suite's Korean systems.
// A parameter must be optional and must not have a default already (one place for each default).
#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

struct Failure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

[[noreturn]] void fail(const std::string& what) { throw Failure(what); }

// ---- little-endian access with bounds checks: the input is a file, never trusted ----------------------------

std::int32_t i32(const Bytes& b, std::size_t at) {
    if (at > b.size() || b.size() - at < 4) fail("the type library ends early");
    return static_cast<std::int32_t>(std::uint32_t(b[at]) | std::uint32_t(b[at + 1]) << 8 |
                                     std::uint32_t(b[at + 2]) << 16 | std::uint32_t(b[at + 3]) << 24);
}
std::int16_t i16(const Bytes& b, std::size_t at) {
    if (at > b.size() || b.size() - at < 2) fail("the type library ends early");
    return static_cast<std::int16_t>(std::uint16_t(b[at]) | std::uint16_t(b[at + 1]) << 8);
}
void put32(Bytes& b, std::size_t at, std::int32_t v) {
    if (at > b.size() || b.size() - at < 4) fail("write outside the type library");
    for (int k = 0; k < 4; ++k) b[at + k] = static_cast<std::uint8_t>(std::uint32_t(v) >> (8 * k));
}
void put16(Bytes& b, std::size_t at, std::int16_t v) {
    if (at > b.size() || b.size() - at < 2) fail("write outside the type library");
    b[at] = static_cast<std::uint8_t>(std::uint16_t(v));
    b[at + 1] = static_cast<std::uint8_t>(std::uint16_t(v) >> 8);
}
Bytes slice(const Bytes& b, std::int64_t at, std::int64_t length) {
    if (at < 0 || length < 0 || static_cast<std::uint64_t>(at + length) > b.size()) fail("a part lies outside the file");
    return Bytes(b.begin() + at, b.begin() + at + length);
}

// ---- the format ---------------------------------------------------------------------------------------------

constexpr std::int32_t kMagic = 0x5446534D;  // "MSFT"
constexpr std::size_t kHeaderSize = 0x54;
constexpr std::int32_t kHelpDllFlag = 0x100;
constexpr int kSegments = 15;
constexpr int kTypeInfoSegment = 0, kNameSegment = 7, kTypeDescSegment = 9, kCustDataSegment = 11;
constexpr std::size_t kTypeInfoSize = 0x64;

// Offsets inside a type's entry of the type table: its kind, where its member block lies, the running
// size widl keeps of its members' records, its counts of functions and variables, its name.
constexpr std::size_t kTiKind = 0x00, kTiMemOffset = 0x04, kTiRecordSizes = 0x0C, kTiElements = 0x18, kTiName = 0x34;
constexpr int kKindInterface = 3, kKindDispatch = 4;

// Offsets inside a function record.
constexpr std::size_t kFnInfo = 0x00, kFnDescSize = 0x0E, kFnFlags = 0x10, kFnArgs = 0x14, kFnFixed = 0x18;
constexpr std::int32_t kFnHasDefaults = 0x1000;
constexpr std::size_t kParamSize = 12;  // data type, name, flags
// What a reader needs more to rebuild the function's description with one more default (its PARAMDESCEX),
// as widl counts it for the defaults it writes itself.
constexpr std::int16_t kDefaultDescSize = 0x18;
// Widl's running size of a type's member records grows by one default slot per parameter.
constexpr std::int32_t kDefaultSlotSize = 4;

constexpr std::int32_t kParamOptional = 0x10, kParamHasDefault = 0x20;
constexpr std::int32_t kNoDefault = -1;

enum : std::uint16_t { VT_I2 = 2, VT_I4 = 3, VT_R8 = 5, VT_BSTR = 8, VT_PTR = 26 };

// A value small and non-negative enough to live in the default slot itself.
constexpr std::int32_t immediate(std::uint16_t vt, std::int32_t v) {
    return static_cast<std::int32_t>(0x80000000u | std::uint32_t(vt) << 26 | std::uint32_t(v));
}
constexpr bool fitsImmediate(std::int64_t v) { return v >= 0 && v < (1 << 26); }

// One type description's members: records (functions, then variables) with their ids and names, in
// index order; the offsets are rebuilt on writing.
struct MemberBlock {
    int type = -1;
    std::int64_t oldOffset = 0;
    std::vector<Bytes> records;
    std::vector<std::int32_t> ids, names;
    std::size_t functions = 0;

    std::size_t size() const {
        std::size_t n = 4 + 12 * records.size();
        for (const auto& r : records) n += r.size();
        return n;
    }
    Bytes serialize() const {
        Bytes out(4);
        std::int32_t total = 0;
        std::vector<std::int32_t> offsets;
        for (const auto& r : records) {
            offsets.push_back(total);
            total += static_cast<std::int32_t>(r.size());
            out.insert(out.end(), r.begin(), r.end());
        }
        put32(out, 0, total);
        const std::vector<std::int32_t>* lists[] = {&ids, &names, &offsets};
        for (const auto* list : lists)
            for (std::int32_t v : *list) {
                out.resize(out.size() + 4);
                put32(out, out.size() - 4, v);
            }
        return out;
    }
};

struct TypeLibrary {
    Bytes head;                                 // header, type offsets and segment directory
    std::size_t directory = 0;                  // where the segment directory starts in `head`
    std::int64_t fileSize = 0;
    std::vector<Bytes> segments{kSegments};
    std::vector<std::int64_t> segmentOffsets = std::vector<std::int64_t>(kSegments, -1);
    std::vector<MemberBlock> blocks;            // in file order
    std::vector<int> blockOf;                   // per type description, its block or -1
    int typeCount = 0;

    Bytes& typeInfos() { return segments[kTypeInfoSegment]; }
    std::size_t typeInfoAt(int t) const { return kTypeInfoSize * static_cast<std::size_t>(t); }

    std::string name(std::int32_t offset) const {
        const Bytes& names = segments[kNameSegment];
        if (offset < 0) return {};
        const std::size_t at = static_cast<std::size_t>(offset);
        if (at + 12 > names.size()) fail("a name lies outside the name table");
        const std::size_t length = names[at + 8];
        if (at + 12 + length > names.size()) fail("a name lies outside the name table");
        return std::string(names.begin() + at + 12, names.begin() + at + 12 + length);
    }

    // The type a parameter's data type leads to, through one pointer (a by-reference parameter).
    std::uint16_t valueType(std::int32_t dataType) const {
        if (dataType < 0) return static_cast<std::uint16_t>(dataType & 0xFFFF);
        const Bytes& descs = segments[kTypeDescSegment];
        const auto vt = static_cast<std::uint16_t>(i32(descs, static_cast<std::size_t>(dataType)) & 0xFFFF);
        const std::int32_t target = i32(descs, static_cast<std::size_t>(dataType) + 4);
        if (vt == VT_PTR && target < 0) return static_cast<std::uint16_t>(target & 0xFFFF);
        return 0;  // a record, an interface, an array or a pointer to one: no default of ours fits
    }
};

TypeLibrary read(const Bytes& file) {
    TypeLibrary lib;
    if (i32(file, 0) != kMagic) fail("not a type library (no MSFT signature)");
    lib.typeCount = i32(file, 0x20);
    const std::int32_t flags = i32(file, 0x14);
    if (lib.typeCount < 0 || lib.typeCount > 0xFFFF) fail("implausible number of types");
    std::size_t at = kHeaderSize + ((flags & kHelpDllFlag) ? 4 : 0);
    at += 4 * static_cast<std::size_t>(lib.typeCount);
    lib.directory = at;
    const std::size_t headEnd = at + 16 * kSegments;
    lib.head = slice(file, 0, static_cast<std::int64_t>(headEnd));
    lib.fileSize = static_cast<std::int64_t>(file.size());

    struct Piece {
        std::int64_t offset, length;
    };
    std::vector<Piece> pieces{{0, static_cast<std::int64_t>(headEnd)}};
    for (int s = 0; s < kSegments; ++s) {
        const std::int32_t offset = i32(lib.head, at + 16 * s), length = i32(lib.head, at + 16 * s + 4);
        if (offset < 0) continue;
        lib.segments[s] = slice(file, offset, length);
        lib.segmentOffsets[s] = offset;
        pieces.push_back({offset, length});
    }
    if (lib.typeInfos().size() != kTypeInfoSize * static_cast<std::size_t>(lib.typeCount))
        fail("the type table does not hold one entry per type");

    for (int t = 0; t < lib.typeCount; ++t) {
        const std::size_t ti = lib.typeInfoAt(t);
        const std::int32_t elements = i32(lib.typeInfos(), ti + kTiElements);
        const std::size_t functions = static_cast<std::size_t>(elements & 0xFFFF);
        const std::size_t count = functions + static_cast<std::size_t>((elements >> 16) & 0xFFFF);
        const std::int64_t mem = i32(lib.typeInfos(), ti + kTiMemOffset);
        if (count == 0) {
            // A type without members points just past the file; it has to again after rewriting.
            if (mem != lib.fileSize) fail("a type without members points into the file: unknown layout");
            continue;
        }
        MemberBlock block;
        block.type = t;
        block.oldOffset = mem;
        block.functions = functions;
        const std::int64_t total = i32(file, static_cast<std::size_t>(mem));
        const std::int64_t length = 4 + total + 12 * static_cast<std::int64_t>(count);
        const Bytes raw = slice(file, mem, length);
        const std::size_t lists = 4 + static_cast<std::size_t>(total);
        std::int32_t expected = 0;
        for (std::size_t k = 0; k < count; ++k) {
            block.ids.push_back(i32(raw, lists + 4 * k));
            block.names.push_back(i32(raw, lists + 4 * (count + k)));
            const std::int32_t offset = i32(raw, lists + 4 * (2 * count + k));
            if (offset != expected) fail("member records out of order: unknown layout");
            const std::int32_t size = i32(raw, 4 + static_cast<std::size_t>(offset)) & 0xFFFF;
            if (size < 8 || offset + size > total) fail("a member record overruns its block");
            block.records.push_back(slice(raw, 4 + offset, size));
            expected += size;
        }
        if (expected != total) fail("a member block holds more than its records");
        pieces.push_back({mem, length});
        lib.blocks.push_back(std::move(block));
    }
    std::sort(lib.blocks.begin(), lib.blocks.end(),
              [](const MemberBlock& a, const MemberBlock& b) { return a.oldOffset < b.oldOffset; });
    lib.blockOf.assign(lib.typeCount, -1);
    for (std::size_t k = 0; k < lib.blocks.size(); ++k) lib.blockOf[lib.blocks[k].type] = static_cast<int>(k);

    // Every byte belongs to exactly one part, or this is a layout the tool does not know.
    std::sort(pieces.begin(), pieces.end(), [](const Piece& a, const Piece& b) { return a.offset < b.offset; });
    std::int64_t end = 0;
    for (const auto& p : pieces) {
        if (p.offset != end) fail("the type library has gaps or overlaps: unknown layout");
        end += p.length;
    }
    if (end != lib.fileSize) fail("the type library has trailing bytes: unknown layout");
    return lib;
}

Bytes write(TypeLibrary& lib) {
    // New places: the segments in their old order, then the member blocks in theirs. A custom data
    // segment the input lacked goes after the last segment.
    struct Part {
        std::int64_t key;
        bool segment;
        int index;
    };
    std::vector<Part> parts;
    std::int64_t lastSegmentEnd = static_cast<std::int64_t>(lib.head.size());
    for (int s = 0; s < kSegments; ++s)
        if (lib.segmentOffsets[s] >= 0) {
            parts.push_back({lib.segmentOffsets[s] * 2, true, s});
            lastSegmentEnd = std::max<std::int64_t>(lastSegmentEnd, lib.segmentOffsets[s] + 1);
        }
    if (lib.segmentOffsets[kCustDataSegment] < 0 && !lib.segments[kCustDataSegment].empty())
        parts.push_back({lastSegmentEnd * 2 + 1, true, kCustDataSegment});
    for (std::size_t k = 0; k < lib.blocks.size(); ++k) parts.push_back({lib.blocks[k].oldOffset * 2, false, static_cast<int>(k)});
    std::sort(parts.begin(), parts.end(), [](const Part& a, const Part& b) { return a.key < b.key; });

    std::int64_t cursor = static_cast<std::int64_t>(lib.head.size());
    std::vector<std::int64_t> segmentAt(kSegments, -1), blockAt(lib.blocks.size(), -1);
    for (const auto& p : parts) {
        if (p.segment) {
            segmentAt[p.index] = cursor;
            cursor += static_cast<std::int64_t>(lib.segments[p.index].size());
        } else {
            blockAt[p.index] = cursor;
            cursor += static_cast<std::int64_t>(lib.blocks[p.index].size());
        }
    }
    const std::int64_t newSize = cursor;
    if (newSize > 0x7FFFFFFF) fail("the type library grew too large");
    // The system's loader reads segments and member blocks in place, as 4-byte aligned data: a library
    // laid out otherwise is one no writer of the format makes, and is never written.
    const auto misaligned = [](std::int64_t v) { return v % 4 != 0; };
    if (misaligned(static_cast<std::int64_t>(lib.head.size())) || misaligned(newSize))
        fail("the type library would not end on a 4-byte boundary");
    for (int s = 0; s < kSegments; ++s)
        if (segmentAt[s] >= 0 && (misaligned(segmentAt[s]) || misaligned(static_cast<std::int64_t>(lib.segments[s].size()))))
            fail("segment " + std::to_string(s) + " would not lie on 4-byte boundaries");
    for (std::size_t k = 0; k < lib.blocks.size(); ++k)
        if (misaligned(blockAt[k]) || misaligned(static_cast<std::int64_t>(lib.blocks[k].size())))
            fail("the members of " + lib.name(i32(lib.typeInfos(), lib.typeInfoAt(lib.blocks[k].type) + kTiName)) +
                 " would not lie on 4-byte boundaries");
    for (int s = 0; s < kSegments; ++s) {
        if (segmentAt[s] < 0) continue;
        put32(lib.head, lib.directory + 16 * s, static_cast<std::int32_t>(segmentAt[s]));
        put32(lib.head, lib.directory + 16 * s + 4, static_cast<std::int32_t>(lib.segments[s].size()));
    }
    for (int t = 0; t < lib.typeCount; ++t) {
        const int b = lib.blockOf[t];
        const std::int64_t mem = b >= 0 ? blockAt[b] : newSize;
        put32(lib.typeInfos(), lib.typeInfoAt(t) + kTiMemOffset, static_cast<std::int32_t>(mem));
    }

    Bytes out = lib.head;
    for (const auto& p : parts) {
        const Bytes data = p.segment ? lib.segments[p.index] : lib.blocks[p.index].serialize();
        out.insert(out.end(), data.begin(), data.end());
    }
    return out;
}

// ---- values ---------------------------------------------------------------------------------------------------

std::string toCp949(const std::string& utf8) {
    iconv_t cd = iconv_open("CP949", "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1)) fail("this system cannot convert to code page 949");
    std::string in = utf8, out(utf8.size() * 2 + 16, '\0');
    char* src = in.data();
    char* dst = out.data();
    std::size_t left = in.size(), room = out.size();
    const std::size_t r = iconv(cd, &src, &left, &dst, &room);
    iconv_close(cd);
    if (r == static_cast<std::size_t>(-1)) fail("a text holds a character code page 949 cannot store");
    out.resize(out.size() - room);
    return out;
}

// Entries of the custom data segment that hold default values: the type, then the value.
class CustomData {
public:
    explicit CustomData(Bytes& segment) : data_(segment) {}

    std::int32_t add(const Bytes& entry) {
        if (auto found = added_.find(entry); found != added_.end()) return found->second;
        // Every entry starts, and the segment ends, on a 4-byte boundary, as widl pads them (with the
        // filler byte readers and writers use), so what follows the segment stays aligned too.
        pad();
        const auto at = static_cast<std::int32_t>(data_.size());
        data_.insert(data_.end(), entry.begin(), entry.end());
        pad();
        added_[entry] = at;
        return at;
    }
    std::int32_t addDouble(double value) {
        Bytes e(10);
        put16(e, 0, VT_R8);
        std::uint64_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        for (int k = 0; k < 8; ++k) e[2 + k] = static_cast<std::uint8_t>(bits >> (8 * k));
        return add(e);
    }
    std::int32_t addText(const std::string& ansi) {
        Bytes e(6);
        put16(e, 0, VT_BSTR);
        put32(e, 2, static_cast<std::int32_t>(ansi.size()));
        e.insert(e.end(), ansi.begin(), ansi.end());
        return add(e);
    }
    std::int32_t addInteger(std::uint16_t vt, std::int32_t value) {
        if (fitsImmediate(value)) return immediate(vt, value);
        Bytes e(6);
        put16(e, 0, static_cast<std::int16_t>(vt));
        put32(e, 2, value);
        return add(e);
    }

private:
    void pad() {
        while (data_.size() % 4) data_.push_back(0x57);
    }

    Bytes& data_;
    std::map<Bytes, std::int32_t> added_;
};

// ---- function records -----------------------------------------------------------------------------------------

struct FunctionView {
    Bytes& record;
    std::size_t args() const { return static_cast<std::size_t>(std::max<std::int16_t>(0, i16(record, kFnArgs))); }
    bool hasDefaults() const { return (i32(record, kFnFlags) & kFnHasDefaults) != 0; }
    std::size_t paramAt(std::size_t p) const { return record.size() - kParamSize * (args() - p); }
    std::size_t slotAt(std::size_t p) const { return record.size() - kParamSize * args() - 4 * (args() - p); }
    void check() const {
        const std::size_t need = kFnFixed + kParamSize * args() + (hasDefaults() ? 4 * args() : 0);
        if (need > record.size()) fail("a function record is shorter than its parameters");
    }
};

// Gives the function's record its table of defaults (one "none" slot per parameter) if it has none yet.
// Returns the bytes the record grew by.
std::int32_t ensureDefaultTable(Bytes& record) {
    FunctionView f{record};
    if (f.hasDefaults()) return 0;
    const std::size_t n = f.args();
    const std::size_t at = record.size() - kParamSize * n;
    record.insert(record.begin() + static_cast<std::ptrdiff_t>(at), 4 * n, 0xFF);
    if (record.size() > 0xFFFF) fail("a function record grew too large");
    put32(record, kFnFlags, i32(record, kFnFlags) | kFnHasDefaults);
    put32(record, kFnInfo, (i32(record, kFnInfo) & ~0xFFFF) | static_cast<std::int32_t>(record.size()));
    return kDefaultSlotSize * static_cast<std::int32_t>(n);
}

void setDefault(Bytes& record, std::size_t p, std::int32_t slotValue) {
    FunctionView f{record};
    put32(record, f.slotAt(p), slotValue);
    const std::size_t param = f.paramAt(p);
    put32(record, param + 8, i32(record, param + 8) | kParamHasDefault);
}

// ---- the defaults file ----------------------------------------------------------------------------------------

struct Entry {
    int line;
    std::string interface, member, param;
    bool text;
    std::string value;  // UTF-8 text, or the number as written
};

std::string trim(const std::string& s) {
    const auto a = s.find_first_not_of(" \t\r");
    if (a == std::string::npos) return {};
    return s.substr(a, s.find_last_not_of(" \t\r") - a + 1);
}

std::vector<Entry> readDefaults(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) fail("cannot read " + path);
    std::vector<Entry> out;
    std::string raw;
    for (int line = 1; std::getline(in, raw); ++line) {
        const std::string s = trim(raw);
        if (s.empty() || s[0] == '#') continue;
        const auto where = [&](const std::string& what) { return path + ":" + std::to_string(line) + ": " + what; };
        const auto eq = s.find('=');
        if (eq == std::string::npos) fail(where("expected <interface>.<member> <parameter> = <value>"));
        std::istringstream left(s.substr(0, eq));
        std::string qualified, param, extra;
        left >> qualified >> param >> extra;
        const auto dot = qualified.find('.');
        if (param.empty() || !extra.empty() || dot == std::string::npos || dot == 0 || dot + 1 == qualified.size())
            fail(where("expected <interface>.<member> <parameter> = <value>"));
        Entry e{line, qualified.substr(0, dot), qualified.substr(dot + 1), param, false, trim(s.substr(eq + 1))};
        if (!e.value.empty() && e.value[0] == '"') {
            std::string text;
            std::size_t k = 1;
            for (; k < e.value.size() && e.value[k] != '"'; ++k) {
                if (e.value[k] != '\\') {
                    text += e.value[k];
                    continue;
                }
                if (++k == e.value.size()) break;
                switch (e.value[k]) {
                case 'r': text += '\r'; break;
                case 'n': text += '\n'; break;
                case 't': text += '\t'; break;
                case '"': text += '"'; break;
                case '\\': text += '\\'; break;
                default: fail(where(std::string("unknown escape \\") + e.value[k]));
                }
            }
            if (k + 1 != e.value.size()) fail(where("a text must be one quoted string"));
            e.text = true;
            e.value = text;
        } else if (e.value.empty()) {
            fail(where("no value"));
        }
        out.push_back(std::move(e));
    }
    return out;
}

double parseNumber(const std::string& s, const std::string& where) {
    char* end = nullptr;
    errno = 0;
    const double v = std::strtod(s.c_str(), &end);
    if (end == s.c_str() || *end || errno || !std::isfinite(v)) fail(where + "not a number: " + s);
    return v;
}

std::int64_t parseInteger(const std::string& s, const std::string& where) {
    char* end = nullptr;
    errno = 0;
    const long long v = std::strtoll(s.c_str(), &end, 10);
    if (end == s.c_str() || *end || errno) fail(where + "not a whole number: " + s);
    return v;
}

// ---- applying -------------------------------------------------------------------------------------------------

struct Patcher {
    TypeLibrary& lib;
    CustomData custom;

    explicit Patcher(TypeLibrary& l) : lib(l), custom(l.segments[kCustDataSegment]) {}

    void grow(int type, std::int32_t by) {
        const std::size_t at = lib.typeInfoAt(type) + kTiRecordSizes;
        put32(lib.typeInfos(), at, i32(lib.typeInfos(), at) + by);
    }

    void apply(const Entry& e, const std::string& file) {
        const std::string where = file + ":" + std::to_string(e.line) + ": ";
        int type = -1;
        for (int t = 0; t < lib.typeCount; ++t) {
            const std::size_t ti = lib.typeInfoAt(t);
            const int kind = i32(lib.typeInfos(), ti + kTiKind) & 0xF;
            if ((kind == kKindInterface || kind == kKindDispatch) && lib.name(i32(lib.typeInfos(), ti + kTiName)) == e.interface)
                type = t;
        }
        if (type < 0 || lib.blockOf[type] < 0) fail(where + "no interface " + e.interface);
        MemberBlock& block = lib.blocks[static_cast<std::size_t>(lib.blockOf[type])];
        Bytes* record = nullptr;
        for (std::size_t k = 0; k < block.functions; ++k)
            if (lib.name(block.names[k]) == e.member) {
                if (record) fail(where + e.interface + "." + e.member + " names more than one function");
                record = &block.records[k];
            }
        if (!record) fail(where + e.interface + " has no member " + e.member);
        FunctionView f{*record};
        f.check();
        std::size_t p = 0;
        while (p < f.args() && lib.name(i32(*record, f.paramAt(p) + 4)) != e.param) ++p;
        if (p == f.args()) fail(where + e.interface + "." + e.member + " has no parameter " + e.param);
        const std::int32_t flags = i32(*record, f.paramAt(p) + 8);
        if (!(flags & kParamOptional)) fail(where + e.param + " is not optional");
        if ((flags & kParamHasDefault) && f.hasDefaults() && i32(*record, f.slotAt(p)) != kNoDefault)
            fail(where + e.param + " has a default in the interface definition already");

        const std::uint16_t vt = lib.valueType(i32(*record, f.paramAt(p)));
        std::int32_t slot = kNoDefault;
        if (vt == VT_BSTR) {
            if (!e.text) fail(where + e.param + " is a String: its default must be a quoted text");
            slot = custom.addText(toCp949(e.value));
        } else if (e.text) {
            fail(where + e.param + " is not a String: its default must be a number");
        } else if (vt == VT_R8) {
            slot = custom.addDouble(parseNumber(e.value, where));
        } else if (vt == VT_I4 || vt == VT_I2) {
            const std::int64_t v = parseInteger(e.value, where);
            const std::int64_t lo = vt == VT_I2 ? -32768 : INT32_MIN, hi = vt == VT_I2 ? 32767 : INT32_MAX;
            if (v < lo || v > hi) fail(where + e.value + " does not fit " + e.param);
            slot = custom.addInteger(vt, static_cast<std::int32_t>(v));
        } else {
            fail(where + e.param + " has a type this tool gives no defaults");
        }
        grow(type, ensureDefaultTable(*record));
        setDefault(*record, p, slot);
        put16(*record, kFnDescSize, static_cast<std::int16_t>(i16(*record, kFnDescSize) + kDefaultDescSize));
    }

    // A Double default in the slot itself keeps only the low half of the number; store each in full.
    void storeDoublesInFull() {
        for (auto& block : lib.blocks)
            for (std::size_t k = 0; k < block.functions; ++k) {
                FunctionView f{block.records[k]};
                f.check();
                if (!f.hasDefaults()) continue;
                for (std::size_t p = 0; p < f.args(); ++p) {
                    const std::int32_t slot = i32(f.record, f.slotAt(p));
                    if (slot >= 0 || slot == kNoDefault || ((slot >> 26) & 0x1F) != VT_R8) continue;
                    if ((slot & 0x3FFFFFF) != 0) fail("a Double default of " + lib.name(block.names[k]) + " is ambiguous");
                    put32(f.record, f.slotAt(p), custom.addDouble(0.0));
                }
            }
    }

    // A parameter marked as having a default must have one by now.
    void checkComplete() {
        for (auto& block : lib.blocks)
            for (std::size_t k = 0; k < block.functions; ++k) {
                FunctionView f{block.records[k]};
                for (std::size_t p = 0; p < f.args(); ++p) {
                    const bool marked = i32(f.record, f.paramAt(p) + 8) & kParamHasDefault;
                    if (marked && (!f.hasDefaults() || i32(f.record, f.slotAt(p)) == kNoDefault))
                        fail(lib.name(block.names[k]) + ": a default widl could not write is missing from the defaults file");
                }
            }
    }
};

Bytes readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) fail("cannot read " + path);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeFile(const std::string& path, const Bytes& data) {
    // A half-written library never takes the place of a whole one.
    const std::string temp = path + ".part";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
        if (!out.flush()) fail("cannot write " + temp);
    }
    if (std::rename(temp.c_str(), path.c_str()) != 0) fail("cannot replace " + path);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: tlb_defaults <widl.tlb> <defaults file> <out.tlb>\n");
        return 2;
    }
    try {
        const Bytes input = readFile(argv[1]);
        TypeLibrary lib = read(input);
        Patcher patcher(lib);
        for (const Entry& e : readDefaults(argv[2])) patcher.apply(e, argv[2]);
        patcher.storeDoublesInFull();
        patcher.checkComplete();
        writeFile(argv[3], write(lib));
    } catch (const Failure& f) {
        std::fprintf(stderr, "tlb_defaults: %s: %s\n", argv[1], f.what());
        return 1;
    }
    return 0;
}
