#include "cmdedit/names.h"

#include "core/textcodec.h"

namespace kelva::cmd {
namespace {
wchar_t up(wchar_t c) { return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - L'a' + L'A') : c; }
wchar_t low(wchar_t c) { return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c; }
}  // namespace

std::wstring upper(std::wstring_view s) {
    std::wstring r(s);
    for (auto& c : r) c = up(c);
    return r;
}

std::wstring lower(std::wstring_view s) {
    std::wstring r(s);
    for (auto& c : r) c = low(c);
    return r;
}

bool equalsNoCase(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (up(a[i]) != up(b[i])) return false;
    return true;
}

std::size_t findNoCase(std::wstring_view text, std::wstring_view find, std::size_t from) {
    if (find.empty()) return from <= text.size() ? from : std::wstring_view::npos;
    if (find.size() > text.size()) return std::wstring_view::npos;
    for (std::size_t i = from; i + find.size() <= text.size(); ++i)
        if (equalsNoCase(text.substr(i, find.size()), find)) return i;
    return std::wstring_view::npos;
}

bool containsNoCase(std::wstring_view text, std::wstring_view find) {
    return findNoCase(text, find) != std::wstring_view::npos;
}

std::wstring replaceText(std::wstring_view text, std::wstring_view find, std::wstring_view replacement) {
    // An empty pattern would match everywhere and never advance: leave the text as it is.
    if (find.empty()) return std::wstring(text);
    std::wstring out;
    std::size_t pos = 0;
    for (std::size_t hit; (hit = findNoCase(text, find, pos)) != std::wstring_view::npos; pos = hit + find.size()) {
        out.append(text.substr(pos, hit - pos));
        out.append(replacement);
    }
    out.append(text.substr(pos));
    return out;
}

std::wstring trimBlanks(std::wstring_view s) {
    std::size_t b = 0, e = s.size();
    while (b < e && s[b] == L' ') ++b;
    while (e > b && s[e - 1] == L' ') --e;
    return std::wstring(s.substr(b, e - b));
}

const wchar_t* const kNoNameMessage = L"명령어가 입력되지 않았습니다  ";
const wchar_t* const kBadCharMessage = L"명령어에는 빈칸, 따옴표, 괄호, 세미콜론(;), ^, \\, = 과 제어 문자를 쓸 수 없습니다  ";

bool nameCharAllowed(wchar_t c) {
    // Blanks end the name in "(defun c:NAME()" and in a menu macro; quotes, parentheses and the
    // semicolon are syntax of LISP (the semicolon also presses Enter in a macro), the caret and the
    // backslash are control marks of a macro, "=" splits the lines of the command table and of the
    // user command files.
    if (c < 0x20 || c == 0x7F) return false;
    switch (c) {
    case L' ': case L'\u3000': case L'"': case L'\'': case L'(': case L')': case L';': case L'^': case L'\\': case L'=':
        return false;
    default: return true;
    }
}

CheckedName checkName(std::wstring_view typed) {
    CheckedName r{trimBlanks(typed), {}};
    if (r.name.empty()) {
        r.error = kNoNameMessage;
        return r;
    }
    for (wchar_t c : r.name)
        if (!nameCharAllowed(c)) {
            r.error = kBadCharMessage;
            return r;
        }
    if (!encodeStrict(Codec::Cp949, r.name)) r.error = r.name + L" 명령어에 한글 코드(CP949)로 쓸 수 없는 문자가 있습니다  ";
    return r;
}

}  // namespace kelva::cmd
