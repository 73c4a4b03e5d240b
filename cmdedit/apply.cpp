#include "cmdedit/apply.h"

#include "cmdedit/names.h"
#include "core/textcodec.h"

namespace kelva::cmd {

const std::array<const wchar_t*, 3> kSuiteFileNames = {L"Kelva.mns", L"Kelva.lsp", L"KelvaCmd.ini"};
const std::array<const wchar_t*, 4> kDerivedMenuFiles = {L"Kelva.mnr", L"Kelva.mnc", L"Kelva.cui", L"Kelva.cuix"};
const wchar_t* const kCompletionMessage =
    L"명령어 변경 완료!\r\n\r\nAutoCAD가 실행중인 경우 다시 시작해야 바뀐 명령이 적용됩니다\r\n\r\n"
    L"★ Kelva 메뉴가 안보인다면 AutoCAD에서 KELVAMENU 명령을 입력해 주십시오 ★   ";
const wchar_t* const kNothingChangedMessage = L"바뀐 명령어가 없어 파일을 고치지 않았습니다 ";

namespace {
struct Rename {
    std::wstring from, to;
};

// All renames of one file in one pass over its original text: at each place the first rename (in
// row order) whose old text stands there wins, and replaced text is never looked at again. So a
// chain (A to B, B to C) or a swap (A to B, B to A) renames each command once, as the user meant.
std::wstring renameAll(std::wstring_view text, const std::vector<Rename>& renames) {
    std::vector<const Rename*> live;
    for (const auto& r : renames)
        if (!r.from.empty() && !equalsNoCase(r.from, r.to) && containsNoCase(text, r.from)) live.push_back(&r);
    if (live.empty()) return std::wstring(text);
    std::wstring out;
    out.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        const Rename* hit = nullptr;
        for (const Rename* r : live)
            if (r->from.size() <= text.size() - pos && equalsNoCase(text.substr(pos, r->from.size()), r->from)) {
                hit = r;
                break;
            }
        if (hit) {
            out += hit->to;
            pos += hit->from.size();
        } else {
            out += text[pos++];
        }
    }
    return out;
}

std::wstring inFolder(const std::filesystem::path& folder, std::wstring_view name) {
    return folder.wstring() + L"\\" + std::wstring(name);
}
}  // namespace

void applyPatterns(const Editor& e, bool restoreDefaults, std::array<std::wstring, 3>& texts) {
    const std::wstring q = L"\"";
    std::vector<Rename> menu, lisp, table;
    for (const auto& g : e.grids)
        for (int r = 1; r < g.rows(); ++r) {
            const std::wstring& p = g.text(r, ColProgram);
            const std::wstring& d = g.text(r, ColDefault);
            std::wstring oldName = upper(g.text(r, ColCurrent));
            std::wstring newName = upper(g.text(r, restoreDefaults ? ColDefault : ColUser));
            menu.push_back({p + L"]^C^C_" + oldName, p + L"]^C^C_" + newName});
            menu.push_back({d + q + L")]^C^C_" + oldName, d + q + L")]^C^C_" + newName});
            lisp.push_back({L"(defun c:" + oldName + L"()", L"(defun c:" + newName + L"()"});
            table.push_back({p + L">" + oldName, p + L">" + newName});
        }
    texts[MenuSource] = renameAll(texts[MenuSource], menu);
    texts[LispSource] = renameAll(texts[LispSource], lisp);
    texts[CommandTable] = renameAll(texts[CommandTable], table);
}

std::wstring missingFileMessage(const std::filesystem::path& folder, SuiteFile f) {
    return inFolder(folder, kSuiteFileNames[f]) + L" 파일을 찾을 수 없습니다 ";
}

std::wstring writeFailedMessage(const std::filesystem::path& file) {
    return file.wstring() + L" 파일에 쓸 수 없습니다";
}

std::wstring notPutBackMessage(const std::wstring& file, const std::wstring& backup) {
    return L"\r\n\r\n" + file + L" 파일을 되돌리지 못해 새 내용이 남았습니다. 이전 내용은 " + backup + L" 파일에 있습니다 ";
}

ApplyResult applyCommands(const Editor& e, bool restoreDefaults, FileStore& files, const std::filesystem::path& folder) {
    using Outcome = ApplyResult::Outcome;
    std::array<std::wstring, 3> texts;
    for (std::size_t f = 0; f < 3; ++f) {
        auto path = folder / kSuiteFileNames[f];
        if (!files.exists(path)) return {Outcome::Missing, missingFileMessage(folder, SuiteFile(f))};
        TextRead read = readText(files, path);
        if (!read.ok()) return {Outcome::ReadFailed, readErrorMessage(inFolder(folder, kSuiteFileNames[f]), read.error)};
        texts[f] = std::move(read.text);
    }
    const std::array<std::wstring, 3> before = texts;
    applyPatterns(e, restoreDefaults, texts);
    std::vector<NewContent> changed;
    for (std::size_t f = 0; f < 3; ++f) {
        if (texts[f] == before[f]) continue;
        const std::wstring path = inFolder(folder, kSuiteFileNames[f]);
        auto bytes = encodeStrict(Codec::Cp949, texts[f]);
        if (!bytes) return {Outcome::WriteFailed, path + L" 파일에 한글 코드(CP949)로 쓸 수 없는 문자가 있어 고치지 않았습니다 "};
        changed.push_back({folder / kSuiteFileNames[f], std::move(*bytes)});
    }
    if (changed.empty()) return {Outcome::Unchanged, kNothingChangedMessage};
    if (auto failed = replaceAll(files, changed)) {
        std::wstring message = writeFailedMessage(inFolder(folder, failed->file.filename().wstring()));
        for (const auto& kept : failed->notPutBack)
            message += notPutBackMessage(inFolder(folder, kept.target.filename().wstring()), inFolder(folder, kept.backup.filename().wstring()));
        return {Outcome::WriteFailed, message};
    }
    for (const wchar_t* name : kDerivedMenuFiles) files.remove(folder / name);
    return {};
}

}  // namespace kelva::cmd
