#include "cmdedit/command_table.h"

#include <algorithm>
#include <map>

#include "cmdedit/names.h"

namespace kelva::cmd {

const std::array<const wchar_t*, kCategories> kCategoryNames = {
    L"Civil", L"레이어", L"뷰포트", L"엑셀", L"문자", L"수정", L"수정Ⅱ", L"폴리선", L"조회", L"그리기", L"유틸리티"};
const std::array<const wchar_t*, 4> kColumnHeaders = {L"프로그램", L"기본 명령어", L"사용자 명령어", L"현재 명령어"};
const std::array<int, 4> kColumnWidths = {2500, 1600, 1600, 1600};

Editor::Editor() {
    for (auto& g : grids) g = Grid(4, 1);
}

void setGridHeaders(Editor& e) {
    for (auto& g : e.grids) {
        g.setRows(std::max(g.rows(), 1));
        for (int c = 0; c < 4; ++c) {
            g.setCurrent(0, c);
            g.colAlignment[static_cast<std::size_t>(c)] = 4;
            g.setText(0, c, kColumnHeaders[static_cast<std::size_t>(c)]);
            g.colWidth[static_cast<std::size_t>(c)] = kColumnWidths[static_cast<std::size_t>(c)];
        }
        g.setRows(1);
    }
}

void addCommandRow(Grid& g, std::wstring program, std::wstring defaultName, std::wstring currentName) {
    int r = g.rows();
    g.setRows(r + 1);
    bool changed = !equalsNoCase(currentName, defaultName);
    g.setText(r, ColProgram, std::move(program));
    g.setText(r, ColDefault, std::move(defaultName));
    g.setText(r, ColUser, currentName);
    g.setText(r, ColCurrent, std::move(currentName));
    if (changed) {
        g.setCurrent(r, ColUser);
        g.setCellBackColor(kChangedColor);
    }
}

void initGridRows(Editor& e) {
    for (auto& g : e.grids) g.setRows(kGridRows);
}

std::vector<std::wstring> splitLines(std::wstring_view text) {
    std::vector<std::wstring> lines;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find(L'\n', pos);
        std::size_t next = end == std::wstring_view::npos ? text.size() : end + 1;
        std::size_t stop = end == std::wstring_view::npos ? text.size() : end;
        if (stop > pos && text[stop - 1] == L'\r') --stop;
        lines.emplace_back(text.substr(pos, stop - pos));
        pos = next;
    }
    return lines;
}

namespace {
// A name the suite's files carry as it stands: not empty, no blank around it, nothing a command
// name may not hold.
bool validStoredName(std::wstring_view name) {
    const CheckedName checked = checkName(name);
    return checked.ok() && checked.name == name;
}

std::wstring refusedLinesMessage(const std::vector<std::size_t>& lines) {
    // A file that is not a command table at all must not fill the screen with line numbers.
    constexpr std::size_t kNamed = 10;
    std::wstring list;
    for (std::size_t i = 0; i < lines.size() && i < kNamed; ++i) list += (i == 0 ? L"" : L", ") + std::to_wstring(lines[i]);
    if (lines.size() > kNamed) list += L" 외 " + std::to_wstring(lines.size() - kNamed) + L"개";
    return L"KelvaCmd.ini " + list + L"번째 줄은 명령어가 비었거나 명령어로 쓸 수 없는 이름이어서 읽지 않았습니다 ";
}
}  // namespace

std::optional<std::wstring> loadCommandTable(Editor& e, std::wstring_view text, bool restoreDefaults) {
    auto lines = splitLines(text);
    std::size_t next = 0;
    int sinceClose = 0;
    // Entries no rename may use: an empty or broken name would be written into the menu, LISP and
    // command-table patterns and change whatever follows them.
    std::vector<std::size_t> refused;
    auto ending = [&](std::optional<std::wstring> error) -> std::optional<std::wstring> {
        if (refused.empty()) return error;
        return error ? *error + L"\r\n\r\n" + refusedLinesMessage(refused) : refusedLinesMessage(refused);
    };
    for (int c = 0; c < kCategories; ++c) {
        Grid& g = e.grids[static_cast<std::size_t>(c)];
        if (restoreDefaults) g.setRows(1);
        // A section ends only at its closing line: entries past the grid's rows are cut off but
        // still read, so the sections after a long one keep their places.
        for (int j = 0;; ++j) {
            if (next >= lines.size()) {
                initGridRows(e);
                return ending(std::nullopt);
            }
            const std::wstring& line = lines[next++];
            if (sinceClose == 0) {
                ++sinceClose;  // the header line, whatever it holds
                continue;
            }
            std::size_t eq = line.find(L'=');
            if (eq == std::wstring::npos) {
                e.categoryRowCount[static_cast<std::size_t>(c)] = std::min(j, kGridRows);
                sinceClose = 0;
                break;
            }
            std::size_t gt = line.find(L'>', eq + 1);
            if (gt == std::wstring::npos)
                return ending(L"KelvaCmd.ini " + std::to_wstring(next) + L"번째 줄에 '>'가 없습니다");
            std::wstring def = line.substr(0, eq);
            std::wstring program = line.substr(eq + 1, gt - eq - 1);
            std::wstring current = line.substr(gt + 1);
            // A row without a program shows as an empty row the user cannot edit, and its patterns
            // would start at any menu item's "]^C^C_".
            if (program.empty() || !validStoredName(def) || !validStoredName(current)) {
                refused.push_back(next);
            } else if (g.rows() < kGridRows) {
                // A 55th entry has no row left: the grid keeps 54 commands below its header.
                if (restoreDefaults) addCommandRow(g, program, def, def);
                else addCommandRow(g, program, def, current);
            }
            ++sinceClose;
        }
    }
    initGridRows(e);
    return ending(std::nullopt);
}

std::optional<Found> findDefaultCommand(const Editor& e, std::wstring_view name) {
    std::wstring n = trimBlanks(name);
    for (int i = 0; i < kCategories; ++i) {
        const Grid& g = e.grids[static_cast<std::size_t>(i)];
        for (int r = 1; r < g.rows(); ++r)
            if (equalsNoCase(g.text(r, ColDefault), n)) return Found{i, r};
    }
    return std::nullopt;
}

std::optional<Found> findCommand(const Editor& e, std::wstring_view term) {
    std::wstring t = trimBlanks(term);
    for (int i = 0; i < kCategories; ++i) {
        const Grid& g = e.grids[static_cast<std::size_t>(i)];
        for (int r = 1; r < g.rows(); ++r)
            if (equalsNoCase(g.text(r, ColProgram), t) || equalsNoCase(g.text(r, ColDefault), t)) return Found{i, r};
    }
    return std::nullopt;
}

std::wstring writeUserCommands(const Editor& e) {
    std::wstring out;
    for (int c = 0; c < kCategories; ++c) {
        const Grid& g = e.grids[static_cast<std::size_t>(c)];
        for (int r = 0; r < g.rows(); ++r) {
            if (r == 0) out += L" " + std::to_wstring(c) + L" ";
            else out += g.text(r, ColDefault) + L"=" + g.text(r, ColUser);
            out += L"\r\n";
        }
    }
    return out;
}

ImportResult readUserCommands(Editor& e, std::wstring_view text) {
    ImportResult result;
    for (const auto& line : splitLines(text)) {
        if (line.empty() || line[0] == L'=' || line.find(L'=') == std::wstring::npos) continue;
        std::size_t eq = line.find(L'=');
        std::size_t eq2 = line.find(L'=', eq + 1);
        std::wstring a = line.substr(0, eq);
        std::wstring b = line.substr(eq + 1, eq2 == std::wstring::npos ? std::wstring::npos : eq2 - eq - 1);
        if (equalsNoCase(trimBlanks(a), trimBlanks(b))) continue;
        auto hit = findDefaultCommand(e, a);
        if (!hit) continue;
        // A name the suite's files cannot carry (empty, a blank inside, a quote ...) is not taken.
        CheckedName name = checkName(b);
        if (!name.ok()) {
            ++result.refused;
            continue;
        }
        Grid& g = e.grids[static_cast<std::size_t>(hit->grid)];
        g.setText(hit->row, ColUser, upper(name.name));
        g.setCurrent(hit->row, ColUser);
        g.setCellBackColor(equalsNoCase(name.name, g.text(hit->row, ColDefault)) ? kDefaultColor : kChangedColor);
        ++result.changed;
    }
    return result;
}

std::optional<std::wstring> findDuplicate(const Editor& e) {
    std::map<std::wstring, int> seen;
    for (const auto& g : e.grids)
        for (int r = 1; r < g.rows(); ++r) {
            if (g.text(r, ColProgram).empty()) continue;
            if (!seen.emplace(upper(g.text(r, ColUser)), r).second) return g.text(r, ColUser);
        }
    return std::nullopt;
}

std::optional<std::wstring> findRefusedName(const Editor& e) {
    for (const auto& g : e.grids)
        for (int r = 1; r < g.rows(); ++r) {
            if (g.text(r, ColProgram).empty() || equalsNoCase(g.text(r, ColUser), g.text(r, ColCurrent))) continue;
            CheckedName name = checkName(g.text(r, ColUser));
            if (!name.ok()) return name.error;
            if (name.name != g.text(r, ColUser)) return std::wstring(kBadCharMessage);  // blanks around it
        }
    return std::nullopt;
}

void takeAppliedNames(Editor& e) {
    for (auto& g : e.grids)
        for (int r = 1; r < g.rows(); ++r)
            if (!g.text(r, ColProgram).empty()) g.setText(r, ColCurrent, upper(g.text(r, ColUser)));
}

void clearGrids(Editor& e) {
    for (auto& g : e.grids) g.setRows(1);
}

void commitUserName(Grid& g, int row, std::wstring_view typed) {
    int keep = g.row;
    g.setCurrent(row, ColUser);
    if (lower(g.text(row, ColDefault)) == lower(typed)) {
        g.setText(row, ColUser, g.text(row, ColDefault));
        g.setCellBackColor(kDefaultColor);
    } else {
        g.setText(row, ColUser, upper(typed));
        g.setCellBackColor(kChangedColor);
    }
    g.row = keep;
}

void restoreUserName(Grid& g, int row) {
    int keep = g.row;
    g.setCurrent(row, ColUser);
    g.setText(row, ColUser, g.text(row, ColDefault));
    g.setCellBackColor(kDefaultColor);
    g.row = keep;
}

}  // namespace kelva::cmd
