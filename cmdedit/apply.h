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

// Every row's four patterns applied, row after row, on texts already changed by earlier rows.
void applyPatterns(const Editor& e, bool restoreDefaults, std::array<std::wstring, 3>& texts);

struct ApplyResult {
    enum class Outcome { Written, Missing, ReadFailed, WriteFailed };
    Outcome outcome = Outcome::Written;
    std::wstring message;  // what the user is told; empty for Written
};

// Deletes the derived menu files, reads all three files (a missing one stops before any write),
// rewrites them, and writes each back whole. A failed write keeps that file as it was and the
// next ones are still written.
ApplyResult applyCommands(const Editor& e, bool restoreDefaults, FileStore& files, const std::filesystem::path& folder);

std::wstring missingFileMessage(const std::filesystem::path& folder, SuiteFile f);
std::wstring writeFailedMessage(const std::filesystem::path& file);
extern const wchar_t* const kCompletionMessage;

}  // namespace kelva::cmd
