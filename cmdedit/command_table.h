#pragma once
// The editor's data: eleven category grids filled from the command table KelvaCmd.ini, the user
// command files (*.ucm) that save and restore the user names, and the searches over the grids.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cmdedit/grid_model.h"

namespace kelva::cmd {

constexpr int kCategories = 11;
constexpr int kGridRows = 55;  // header + 54 commands
enum Column { ColProgram = 0, ColDefault = 1, ColUser = 2, ColCurrent = 3 };
constexpr std::uint32_t kChangedColor = 0xBCF3FF;
constexpr std::uint32_t kDefaultColor = 0xD2DDE0;

extern const std::array<const wchar_t*, kCategories> kCategoryNames;
extern const std::array<const wchar_t*, 4> kColumnHeaders;
extern const std::array<int, 4> kColumnWidths;

struct Editor {
    std::array<Grid, kCategories> grids;
    std::array<int, kCategories> categoryRowCount{};
    Editor();
};

// The grids' headers, centred columns, widths, and one row each (what the window does at start).
void setGridHeaders(Editor& e);
void addCommandRow(Grid& g, std::wstring program, std::wstring defaultName, std::wstring currentName);
void initGridRows(Editor& e);

// Lines of a text, split at CR LF (a lone LF ends a line too); a final line without an end counts.
std::vector<std::wstring> splitLines(std::wstring_view text);

// Reads the command table's text into the grids. An entry without a program, or whose default or
// current name is empty or no command name, takes no row (so no rename ever uses it) and is named
// by its line in the returned message. An error stops the reading and is returned as its message;
// the rows added before it stay. The grids always end with kGridRows rows when the end of the text
// was reached.
std::optional<std::wstring> loadCommandTable(Editor& e, std::wstring_view text, bool restoreDefaults);

struct Found {
    int grid = 0, row = 0;
};
std::optional<Found> findDefaultCommand(const Editor& e, std::wstring_view name);
// The search of the window: program or default name equal to the trimmed term.
std::optional<Found> findCommand(const Editor& e, std::wstring_view term);

// The user command file's text: per category an index line, then "default=user" per row.
std::wstring writeUserCommands(const Editor& e);
// Takes the user names of a user command file into the grids, trimmed; names that fail the name
// check are left out and counted.
struct ImportResult {
    int changed = 0, refused = 0;
};
ImportResult readUserCommands(Editor& e, std::wstring_view text);

// The user name of the first row that repeats an earlier one (all categories, ignoring case).
std::optional<std::wstring> findDuplicate(const Editor& e);

// The message for the first user name that would be written into the files and fails the name
// check (user names equal to the current name are what the files carry already).
std::optional<std::wstring> findRefusedName(const Editor& e);
// After the files took the user names: the current column shows them.
void takeAppliedNames(Editor& e);
// Every grid back to its header row, so a reload of the table starts from nothing.
void clearGrids(Editor& e);

// Stores a typed name in a user cell: the default name as it stands when equal to it ignoring
// case (coloured as default), else the name in upper case (coloured as changed).
void commitUserName(Grid& g, int row, std::wstring_view typed);
// Sets a user cell back to its default name.
void restoreUserName(Grid& g, int row);

}  // namespace kelva::cmd
