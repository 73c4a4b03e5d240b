#pragma once
// The pick loop shared by the ten entity pickers of clsPub: prompt, pick, ask again after a missed
// pick or an entity of the wrong type, and end with the entity, with Nothing, or with the cancel
// error. The loop runs over an abstract host so that it is tested without AutoCAD.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelva::pub {

// The picker's cancel error: the first user-defined object error plus 5, with no source.
inline constexpr std::int32_t kCancelError = static_cast<std::int32_t>(0x80040005u);
inline constexpr std::wstring_view kCancelText = L"*취소*";
// What AutoCAD's pick call reports when the user ends the pick without a cancel: the member
// returns Nothing and no error.
inline constexpr std::int32_t kPickException = static_cast<std::int32_t>(0x80020009u);
// Value of the system variable errno after a pick in empty space.
inline constexpr std::int32_t kMissedPickErrno = 7;

// Default prompts as the type library stores them (a line break, then the Korean text).
namespace prompt {
inline constexpr std::wstring_view Object = L"\r\n객체 선택: ";
inline constexpr std::wstring_view Arc = L"\r\n호 선택: ";
inline constexpr std::wstring_view PLine = L"\r\n폴리선 선택: ";
inline constexpr std::wstring_view Text = L"\r\n문자 선택: ";
inline constexpr std::wstring_view Line = L"\r\n선 선택: ";
inline constexpr std::wstring_view Circle = L"\r\n원 선택: ";
}  // namespace prompt

enum class PickCall { Entity, SubEntity };
enum class TypeTest {
    Any,             // every picked entity is accepted
    ObjectName,      // the entity's ObjectName, e.g. "AcDbLine"
    AutomationName,  // the name of the entity object's automation type, e.g. "IAcadLine"
};

struct PickerSpec {
    PickCall call = PickCall::Entity;
    TypeTest test = TypeTest::Any;
    std::vector<std::wstring> accepted;  // type names, case-folded
    std::wstring prompt;                 // the text handed to the pick call
    std::wstring wrongType;              // written before asking again
    bool storesPickPoint = true;
};

// One spec per picker member; each takes the caller's prompt (sPrmpt) as given.
PickerSpec entityExPicker(std::wstring_view sType, std::wstring_view sPrmpt, std::wstring_view strErr);
PickerSpec entityNamePicker(std::wstring_view sObjName, std::wstring_view sPrmpt, std::wstring_view sError);
PickerSpec objPicker(std::wstring_view sPrmpt);
PickerSpec arcPicker(std::wstring_view sPrmpt);
PickerSpec curvePicker(std::wstring_view sPrmpt);
PickerSpec plinePicker(std::wstring_view sPrmpt, bool bIncludeArc);
PickerSpec textPicker(std::wstring_view sPrmpt);
PickerSpec linePicker(std::wstring_view sPrmpt);
PickerSpec circlePicker(std::wstring_view sPrmpt);
PickerSpec subObjPicker(std::wstring_view sPrmpt);

// The wrong-type message of the list pickers: the caller's text, or the default one when empty.
std::wstring listWrongTypeMessage(std::wstring_view callerText);

bool typeAccepted(const PickerSpec& spec, std::wstring_view typeName);

// AutoCAD as the pick loop sees it. Any member may throw kelva::VbError; the loop decides what a
// failure means.
class PickHost {
public:
    virtual ~PickHost() = default;
    virtual void clearErrno() = 0;  // system variable errno to 0
    // The pick call; on success the host holds the picked entity and pick point.
    virtual void pick(PickCall call, const std::wstring& prompt) = 0;
    virtual std::int32_t readErrno() = 0;
    // The held entity's type name of the given kind.
    virtual std::wstring typeName(TypeTest test) = 0;
    virtual void writePrompt(const std::wstring& text) = 0;
    virtual void keepPickPoint() = 0;  // into the thread's last pick point
};

enum class PickOutcome { Entity, Nothing };

// Runs the loop until an accepted pick (Entity: the host holds it) or a failure that ends it
// (Nothing for kPickException); any other failure throws VbError(kCancelError, "*취소*").
PickOutcome runPicker(const PickerSpec& spec, PickHost& host);

}  // namespace kelva::pub
