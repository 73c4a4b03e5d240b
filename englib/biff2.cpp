#include "biff2.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "core/errors.h"
#include "core/textcodec.h"
#include "core/values.h"

namespace kelva::eng {

namespace biff2 {

namespace {
void u8(Bytes& b, std::uint8_t v) { b.push_back(static_cast<char>(v)); }
void u16(Bytes& b, std::uint16_t v) {
    b.push_back(static_cast<char>(v & 0xFF));
    b.push_back(static_cast<char>(v >> 8));
}
void f64(Bytes& b, double v) {
    std::uint64_t bits = std::bit_cast<std::uint64_t>(v);
    for (int i = 0; i < 8; ++i) b.push_back(static_cast<char>((bits >> (8 * i)) & 0xFF));
}
Bytes start(std::uint16_t opcode, size_t bodyLength) {
    Bytes b;
    b.reserve(4 + bodyLength);
    u16(b, opcode);
    u16(b, static_cast<std::uint16_t>(bodyLength));
    return b;
}
void cell(Bytes& b, std::uint16_t row, std::uint16_t col, CellAttributes a) {
    u16(b, row);
    u16(b, col);
    u8(b, a.hiddenLocked);
    u8(b, a.formatAndFont);
    u8(b, a.alignment);
}
std::uint8_t byteField(long v) {
    if (v < 0 || v > 255) raise(err::Overflow);
    return static_cast<std::uint8_t>(v);
}
// A record holding a length byte and the text's bytes.
Bytes counted(std::uint16_t opcode, std::wstring_view text) {
    const Bytes s = byteString(text);
    Bytes b = start(opcode, s.size() + 1);
    u8(b, static_cast<std::uint8_t>(s.size()));
    b += s;
    return b;
}
}  // namespace

const std::vector<std::wstring>& defaultFormats() {
    static const std::vector<std::wstring> formats = {
        L"General", L"0", L"0.00", L"#,##0", L"#,##0.00",
        L"#,##0\\ \"$\";\\-#,##0\\ \"$\"", L"#,##0\\ \"$\";[Red]\\-#,##0\\ \"$\"",
        L"#,##0.00\\ \"$\";\\-#,##0.00\\ \"$\"", L"#,##0.00\\ \"$\";[Red]\\-#,##0.00\\ \"$\"",
        L"0%", L"0.00%", L"0.00E+00", L"dd/mm/yy", L"dd/\\ mmm\\ yy", L"dd/\\ mmm", L"mmm\\ yy",
        L"h:mm\\ AM/PM", L"h:mm:ss\\ AM/PM", L"hh:mm", L"hh:mm:ss", L"dd/mm/yy\\ hh:mm", L"##0.0E+0",
        L"mm:ss", L"@"};
    return formats;
}

Bytes byteString(std::wstring_view text) {
    if (text.size() > 255) raise(err::Overflow);
    Bytes out;
    out.reserve(text.size());
    for (wchar_t c : text) {
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
            continue;
        }
        const std::string code = encodeLenient(Codec::Cp949, std::wstring_view(&c, 1));
        if (code.size() != 1) raise(err::Overflow);
        out += code;
    }
    return out;
}

CellAttributes cellAttributes(long hiddenLocked, long cellFont, long cellFormat, long alignment) {
    CellAttributes a;
    a.hiddenLocked = byteField(hiddenLocked);
    a.formatAndFont = byteField(cellFormat + cellFont);
    a.alignment = byteField(alignment);
    return a;
}

std::uint16_t rowField(long oneBased) {
    if (oneBased < 1 || oneBased > kMaxRows) raise(err::Overflow);
    return static_cast<std::uint16_t>(oneBased - 1);
}
std::uint16_t columnField(long oneBased) {
    if (oneBased < 1 || oneBased > kMaxColumns) raise(err::Overflow);
    return static_cast<std::uint16_t>(oneBased - 1);
}

Bytes bof() {
    Bytes b = start(0x0009, 4);
    u16(b, 2);
    u16(b, 0x0010);
    return b;
}
Bytes eof() { return start(0x000A, 0); }
Bytes formatCount(std::uint16_t count) {
    Bytes b = start(0x001F, 2);
    u16(b, count);
    return b;
}
Bytes format(std::wstring_view text) { return counted(0x001E, text); }

Bytes integerCell(std::uint16_t row, std::uint16_t col, CellAttributes a, std::uint16_t value) {
    Bytes b = start(0x0002, 9);
    cell(b, row, col, a);
    u16(b, value);
    return b;
}
Bytes numberCell(std::uint16_t row, std::uint16_t col, CellAttributes a, double value) {
    Bytes b = start(0x0003, 15);
    cell(b, row, col, a);
    f64(b, value);
    return b;
}
Bytes labelCell(std::uint16_t row, std::uint16_t col, CellAttributes a, std::wstring_view text) {
    const Bytes s = byteString(text);
    Bytes b = start(0x0004, s.size() + 8);
    cell(b, row, col, a);
    u8(b, static_cast<std::uint8_t>(s.size()));
    b += s;
    return b;
}
Bytes margin(std::uint16_t opcode, double inches) {
    Bytes b = start(opcode, 8);
    f64(b, inches);
    return b;
}
Bytes columnWidth(std::uint8_t first, std::uint8_t last, std::uint16_t width) {
    Bytes b = start(0x0024, 4);
    u8(b, first);
    u8(b, last);
    u16(b, width);
    return b;
}
Bytes font(std::uint16_t heightTwips, std::uint8_t attributes, std::wstring_view name) {
    const Bytes s = byteString(name);
    Bytes b = start(0x0031, s.size() + 5);
    u16(b, heightTwips);
    u8(b, attributes);
    u8(b, 0);
    u8(b, static_cast<std::uint8_t>(s.size()));
    b += s;
    return b;
}
Bytes header(std::wstring_view text) { return counted(0x0014, text); }
Bytes footer(std::wstring_view text) { return counted(0x0015, text); }
Bytes flag(std::uint16_t opcode, bool value) {
    Bytes b = start(opcode, 2);
    u16(b, value ? 1 : 0);
    return b;
}
Bytes defaultRowHeight(std::uint16_t twips) {
    Bytes b = start(0x0025, 2);
    u16(b, twips);
    return b;
}
Bytes row(std::uint16_t rowField, std::uint16_t heightTwips) {
    Bytes b = start(0x0008, 16);
    u16(b, rowField);
    u16(b, 0);
    u16(b, 256);
    u16(b, heightTwips);
    u16(b, 0);
    u8(b, 0);
    u16(b, 0);
    u8(b, 0);
    u8(b, 0);
    u8(b, 0);
    return b;
}
Bytes horizontalPageBreaks(const std::vector<std::int16_t>& sortedRows) {
    Bytes b = start(0x001B, 2 * sortedRows.size() + 2);
    u16(b, static_cast<std::uint16_t>(sortedRows.size()));
    for (std::int16_t r : sortedRows) u16(b, static_cast<std::uint16_t>(r));
    return b;
}

}  // namespace biff2

namespace {
constexpr int kBadFileNumber = 52;
std::uint16_t twips(std::int16_t points) { return static_cast<std::uint16_t>(mul16(points, 20)); }
}  // namespace

ExcelFile::~ExcelFile() {
    if (state_ != State::Open) return;
    try {
        finish();
    } catch (const VbError&) {
        file_.abandon();
    }
}

void ExcelFile::put(const biff2::Bytes& record) {
    if (state_ != State::Open) raise(kBadFileNumber);
    file_.write(record.data(), record.size());
}

void ExcelFile::finish() {
    state_ = State::Closed;  // whatever happens below, this file is done with
    if (!pageBreaks_.empty()) {
        std::vector<std::int16_t> sorted = pageBreaks_;
        std::sort(sorted.begin(), sorted.end());
        const biff2::Bytes r = biff2::horizontalPageBreaks(sorted);
        file_.write(r.data(), r.size());
    }
    const biff2::Bytes e = biff2::eof();
    file_.write(e.data(), e.size());
    file_.commit();
}

void ExcelFile::createFile(const std::filesystem::path& name) {
    if (state_ == State::Open) {
        try {
            finish();
        } catch (const VbError&) {
            file_.abandon();
        }
    }
    state_ = State::Closed;
    pageBreaks_.clear();
    file_.open(name);
    state_ = State::Open;
    try {
        put(biff2::bof());
        writeDefaultFormats();
    } catch (...) {
        file_.abandon();
        state_ = State::Closed;
        throw;
    }
}

void ExcelFile::closeFile() {
    if (state_ == State::Never) return;
    if (state_ == State::Closed) raise(kBadFileNumber);
    try {
        finish();
    } catch (...) {
        file_.abandon();
        throw;
    }
}

void ExcelFile::insertHorizPageBreak(long row) {
    const std::uint16_t field = biff2::rowField(row);
    if (state_ != State::Open) raise(kBadFileNumber);
    if (pageBreaks_.size() >= 32766) raise(err::Overflow);
    pageBreaks_.push_back(static_cast<std::int16_t>(field));
}

void ExcelFile::writeInteger(long row, long col, biff2::CellAttributes a, std::int16_t value) {
    const std::uint16_t r = biff2::rowField(row), c = biff2::columnField(col);
    // INTEGER cells hold an unsigned value: a negative number goes as a NUMBER so it reads back as itself.
    put(value < 0 ? biff2::numberCell(r, c, a, value) : biff2::integerCell(r, c, a, static_cast<std::uint16_t>(value)));
}

void ExcelFile::writeNumber(long row, long col, biff2::CellAttributes a, double value) {
    put(biff2::numberCell(biff2::rowField(row), biff2::columnField(col), a, value));
}

void ExcelFile::writeLabel(long row, long col, biff2::CellAttributes a, std::wstring_view text) {
    put(biff2::labelCell(biff2::rowField(row), biff2::columnField(col), a, text));
}

void ExcelFile::setMargin(long margin, double inches) {
    // Only the four margin opcodes: any other would plant a foreign record (an EOF, a BOF) in the sheet.
    if (margin < static_cast<long>(MarginType::Left) || margin > static_cast<long>(MarginType::Bottom)) raise(err::InvalidCall);
    put(biff2::margin(static_cast<std::uint16_t>(margin), inches));
}

void ExcelFile::setColumnWidth(std::uint8_t first, std::uint8_t last, std::int16_t width) {
    if (first < 1 || last < 1) raise(err::Overflow);
    const std::int16_t w = mul16(width, 256);
    put(biff2::columnWidth(static_cast<std::uint8_t>(first - 1), static_cast<std::uint8_t>(last - 1), static_cast<std::uint16_t>(w)));
}

void ExcelFile::setFont(std::wstring_view name, std::int16_t points, long fontFormat) {
    if (fontFormat < 0 || fontFormat > 255) raise(err::Overflow);
    put(biff2::font(twips(points), static_cast<std::uint8_t>(fontFormat), name));
}

void ExcelFile::setHeader(std::wstring_view text) { put(biff2::header(text)); }
void ExcelFile::setFooter(std::wstring_view text) { put(biff2::footer(text)); }

void ExcelFile::setFilePassword(std::wstring_view) {
    // A FILEPASS record over unencrypted cells makes the sheet unreadable; refuse and write nothing.
    raise(kPasswordNotSupported);
}

void ExcelFile::printGridLines(bool on) noexcept {
    try {
        put(biff2::flag(biff2::kPrintGridLines, on));
    } catch (const VbError&) {
    }
}

void ExcelFile::protectSpreadsheet(bool on) noexcept {
    try {
        put(biff2::flag(biff2::kProtect, on));
    } catch (const VbError&) {
    }
}

void ExcelFile::writeDefaultFormats() {
    if (state_ != State::Open) raise(kBadFileNumber);
    put(biff2::formatCount(23));
    for (const std::wstring& f : biff2::defaultFormats()) put(biff2::format(f));
}

void ExcelFile::setDefaultRowHeight(std::int16_t points) { put(biff2::defaultRowHeight(twips(points))); }

void ExcelFile::setRowHeight(long row, std::int16_t points) {
    const std::uint16_t r = biff2::rowField(row);
    put(biff2::row(r, twips(points)));
}

std::wstring ExcelFile::mki(std::int16_t x) {
    const auto u = static_cast<std::uint16_t>(x);
    return {static_cast<wchar_t>(u & 0xFF), static_cast<wchar_t>(u >> 8)};
}

}  // namespace kelva::eng
