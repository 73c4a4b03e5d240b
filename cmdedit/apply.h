#pragma once
// Applying new names: the suite's menu source, LISP source and command table rewritten from the
// name pairs of every grid row, after the menu files AutoCAD derives from the menu source are gone.
#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "cmdedit/command_table.h"
#include "cmdedit/file_store.h"

namespace kelva::cmd {

// The three texts in the order they are read, changed and written.
enum SuiteFile { MenuSource = 0, LispSource = 1, CommandTable = 2 };
extern const std::array<const wchar_t*, 3> kSuiteFileNames;
extern const std::array<const wchar_t*, 4> kDerivedMenuFiles;

// Every row's four patterns applied in one pass over each text. The old name is what the files
// carry now (the current column); the new one the user name, or the default when restoring.
void applyPatterns(const Editor& e, bool restoreDefaults, std::array<std::wstring, 3>& texts);

struct ApplyResult {
    enum class Outcome { Written, Unchanged, Missing, ReadFailed, WriteFailed };
    Outcome outcome = Outcome::Written;
    std::wstring message;  // what the user is told; empty for Written
};

// Reads all three files strictly (a missing or undecodable one stops before any write), rewrites
// them in memory and replaces the three as one transaction: all are rewritten or none is. Only
// then are the menu files AutoCAD derives from the menu source deleted. Texts that no rename
// changes are not written at all.
ApplyResult applyCommands(const Editor& e, bool restoreDefaults, FileStore& files, const std::filesystem::path& folder);

std::wstring missingFileMessage(const std::filesystem::path& folder, SuiteFile f);
std::wstring writeFailedMessage(const std::filesystem::path& file);
// Added to the failure message for each file that kept its new text: where its old text is now.
std::wstring notPutBackMessage(const std::wstring& file, const std::wstring& backup);
extern const wchar_t* const kCompletionMessage;
extern const wchar_t* const kNothingChangedMessage;

}  // namespace kelva::cmd
