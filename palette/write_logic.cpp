#include "palette/write_logic.h"

#include <cwctype>

namespace kelva::palette {

const wchar_t* const kNothingToWrite = L"도면에 쓸 내용이 없습니다  ";
const wchar_t* const kNotAText = L"** 선택한 객체는 문자가 아닙니다 **";
const wchar_t* const kPointPrompt = L"문자를 입력할 점 선택:";
const wchar_t* const kHeightPrompt = L"크기를 가져올 문자 선택:";
const wchar_t* const kContentPrompt = L"내용을 가져올 문자 선택:";
const wchar_t* const kTextFilter = L"text,mtext";
const wchar_t* const kSelectionSetName = L"SelSet";

namespace {
// One bracketed list at pattern[p] (p at '['); sets `end` past the ']'. A list without its ']' is
// no list: the '[' then stands for itself.
bool matchList(std::wstring_view pattern, std::size_t p, wchar_t c, std::size_t& end, bool& matched) {
    std::size_t q = p + 1;
    bool negate = false;
    if (q < pattern.size() && pattern[q] == L'!') {
        negate = true;
        ++q;
    }
    const std::size_t close = pattern.find(L']', q);
    if (close == std::wstring_view::npos) return false;
    bool in = false;
    for (std::size_t k = q; k < close; ++k) {
        if (k + 2 < close && pattern[k + 1] == L'-') {
            if (c >= pattern[k] && c <= pattern[k + 2]) in = true;
            k += 2;
        } else if (pattern[k] == c) {
            in = true;
        }
    }
    matched = in != negate;
    end = close + 1;
    return true;
}

bool likeFrom(std::wstring_view t, std::size_t i, std::wstring_view p, std::size_t j) {
    while (j < p.size()) {
        const wchar_t pc = p[j];
        if (pc == L'*') {
            while (j < p.size() && p[j] == L'*') ++j;
            if (j == p.size()) return true;
            for (std::size_t k = i; k <= t.size(); ++k)
                if (likeFrom(t, k, p, j)) return true;
            return false;
        }
        if (i >= t.size()) return false;
        if (pc == L'?') {
        } else if (pc == L'#') {
            if (!std::iswdigit(t[i])) return false;
        } else if (pc == L'[') {
            std::size_t end = 0;
            bool matched = false;
            if (matchList(p, j, t[i], end, matched)) {
                if (!matched) return false;
                ++i;
                j = end;
                continue;
            }
            if (t[i] != pc) return false;
        } else if (t[i] != pc) {
            return false;
        }
        ++i;
        ++j;
    }
    return i == t.size();
}
}  // namespace

bool likeMatch(std::wstring_view text, std::wstring_view pattern) { return likeFrom(text, 0, pattern, 0); }

bool isTrueTypeFile(std::wstring_view fontFile) {
    if (fontFile.size() < 3) return false;
    std::wstring tail(fontFile.substr(fontFile.size() - 3));
    for (auto& c : tail) c = static_cast<wchar_t>(std::towlower(c));
    return tail == L"ttf";
}

StyleChoice chooseTextStyle(std::wstring_view name, const std::optional<ExistingStyle>& existing) {
    StyleChoice choice{std::wstring(name), std::nullopt};
    if (!existing) {
        choice.create = std::wstring(name);
        return choice;
    }
    if (!isTrueTypeFile(existing->fontFile)) return choice;  // a shape-font style is used as it is
    const std::wstring& compared = existing->typeface.empty() ? existing->fontFile : existing->typeface;
    // The style's own name is the pattern's text; the font it really shows is the pattern.
    if (!likeMatch(name, compared)) {
        choice.styleName = std::wstring(name) + L"-";
        choice.create = choice.styleName;
    }
    return choice;
}

PickStep afterPick(bool picked, std::wstring_view objectName, std::optional<int> errnoValue) {
    if (picked) return objectName == L"AcDbText" || objectName == L"AcDbMText" ? PickStep::Take : PickStep::NotAText;
    return errnoValue && *errnoValue == kMissedPickErrno ? PickStep::AskAgain : PickStep::End;
}

}  // namespace kelva::palette
