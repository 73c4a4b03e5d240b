#pragma once
// BIFF2 worksheet writing: the record encoder and the writer behind clsExcelFile. Records land in the
// file in the order of the calls (page breaks excepted: they are collected and written on close). The
// file is built beside its target and replaces it when closed, so a half-written sheet never takes the
// place of a good one. Every fault raises the runtime's error number; nothing partial is written.
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "englib/file_io.h"

namespace kelva::eng {

namespace biff2 {

using Bytes = std::string;  // a record, header included

// The 24 built-in number formats in index order.
const std::vector<std::wstring>& defaultFormats();

// A text as one byte per character in the ANSI code page; a character that does not fit one byte, or
// more than 255 characters, raises 6.
Bytes byteString(std::wstring_view text);

struct CellAttributes {
    std::uint8_t hiddenLocked = 0;
    std::uint8_t formatAndFont = 0;
    std::uint8_t alignment = 0;
};
// Range-checked attribute bytes (each must lie in 0..255, else 6).
CellAttributes cellAttributes(long hiddenLocked, long cellFont, long cellFormat, long alignment);
// A 1-based client row or column as its 0-based field. A worksheet of this format has 16384 rows and
// 256 columns; a number outside raises 6 (readers reject a sheet with cells beyond them).
inline constexpr long kMaxRows = 16384;
inline constexpr long kMaxColumns = 256;
std::uint16_t rowField(long oneBased);
std::uint16_t columnField(long oneBased);

Bytes bof();
Bytes eof();
Bytes formatCount(std::uint16_t count);
Bytes format(std::wstring_view text);
Bytes integerCell(std::uint16_t row, std::uint16_t col, CellAttributes a, std::uint16_t value);
Bytes numberCell(std::uint16_t row, std::uint16_t col, CellAttributes a, double value);
Bytes labelCell(std::uint16_t row, std::uint16_t col, CellAttributes a, std::wstring_view text);
Bytes margin(std::uint16_t opcode, double inches);
Bytes columnWidth(std::uint8_t first, std::uint8_t last, std::uint16_t width);
Bytes font(std::uint16_t heightTwips, std::uint8_t attributes, std::wstring_view name);
Bytes header(std::wstring_view text);
Bytes footer(std::wstring_view text);
Bytes flag(std::uint16_t opcode, bool value);
Bytes defaultRowHeight(std::uint16_t twips);
Bytes row(std::uint16_t row, std::uint16_t heightTwips);
Bytes horizontalPageBreaks(const std::vector<std::int16_t>& sortedRows);

inline constexpr std::uint16_t kPrintGridLines = 0x002B;
inline constexpr std::uint16_t kProtect = 0x0012;

}  // namespace biff2

// Margin opcodes as the client names them.
enum class MarginType : long { Left = 38, Right = 39, Top = 40, Bottom = 41 };
// Error number returned for a password request: nothing is encrypted, so nothing is written.
inline constexpr int kPasswordNotSupported = 445;

class ExcelFile {
public:
    ExcelFile() = default;
    ~ExcelFile();  // a file still open is finished and put in place
    ExcelFile(const ExcelFile&) = delete;
    ExcelFile& operator=(const ExcelFile&) = delete;

    // Each member raises VbError on failure; clsExcelFile turns that into its result number.
    void createFile(const std::filesystem::path& name);
    void closeFile();
    void insertHorizPageBreak(long row);
    void writeInteger(long row, long col, biff2::CellAttributes a, std::int16_t value);
    void writeNumber(long row, long col, biff2::CellAttributes a, double value);
    void writeLabel(long row, long col, biff2::CellAttributes a, std::wstring_view text);
    void setMargin(long margin, double inches);
    void setColumnWidth(std::uint8_t first, std::uint8_t last, std::int16_t width);
    void setFont(std::wstring_view name, std::int16_t points, long fontFormat);
    void setHeader(std::wstring_view text);
    void setFooter(std::wstring_view text);
    void setFilePassword(std::wstring_view text);
    void printGridLines(bool on) noexcept;
    void protectSpreadsheet(bool on) noexcept;
    void writeDefaultFormats();
    void setDefaultRowHeight(std::int16_t points);
    void setRowHeight(long row, std::int16_t points);

    static std::wstring mki(std::int16_t x);
    bool isOpen() const { return state_ == State::Open; }

private:
    enum class State { Never, Open, Closed };
    void put(const biff2::Bytes& record);
    void finish();

    State state_ = State::Never;
    OutputFile file_;
    std::vector<std::int16_t> pageBreaks_;
};

}  // namespace kelva::eng
