#pragma once
// The rules of writing into the AutoCAD drawing that need no AutoCAD: which text style new text is
// written in, the name pattern match those rules use, and what the pick loop does after a pick.
#include <optional>
#include <string>
#include <string_view>

namespace kelva::palette {

extern const wchar_t* const kNothingToWrite;  // "도면에 쓸 내용이 없습니다  "
extern const wchar_t* const kNotAText;        // "** 선택한 객체는 문자가 아닙니다 **"
extern const wchar_t* const kPointPrompt;     // "문자를 입력할 점 선택:"
extern const wchar_t* const kHeightPrompt;    // "크기를 가져올 문자 선택:"
extern const wchar_t* const kContentPrompt;   // "내용을 가져올 문자 선택:"
extern const wchar_t* const kTextFilter;      // "text,mtext"
extern const wchar_t* const kSelectionSetName;  // "SelSet"
inline constexpr int kMissedPickErrno = 7;
inline constexpr int kMiddleCenter = 10;        // the text alignment of new text

// The pattern match of the original runtime's Like, case-sensitive: * any run, ? one character,
// # one digit, [list] / [!list] one character of (not of) a list with ranges.
bool likeMatch(std::wstring_view text, std::wstring_view pattern);

// True when a style's font file is a TrueType file (its typeface is then worth asking for).
bool isTrueTypeFile(std::wstring_view fontFile);

// An existing style as the choice sees it.
struct ExistingStyle {
    std::wstring fontFile;
    std::wstring typeface;  // asked for only for a TrueType font file
};
struct StyleChoice {
    std::wstring styleName;             // the style new text is written in
    std::optional<std::wstring> create;  // a style to make (or update) first; its typeface is the font name
};
// name: the font chosen on the panel; existing: the style of that name, when the drawing has one.
StyleChoice chooseTextStyle(std::wstring_view name, const std::optional<ExistingStyle>& existing);

// After a pick: go on with the entity, ask again, or end (cancelled).
enum class PickStep { Take, NotAText, AskAgain, End };
// picked: the pick succeeded; objectName: of the picked entity; errnoValue: "errno" after a failed
// pick (nothing when it could not be read).
PickStep afterPick(bool picked, std::wstring_view objectName, std::optional<int> errnoValue);

}  // namespace kelva::palette
