#include "pick.h"

#include "core/errors.h"
#include "pubtext.h"

namespace kelva::pub {

namespace {

std::wstring joined(std::wstring_view a, std::wstring_view b) {
    std::wstring s(a);
    s += b;
    return s;
}

std::wstring crlf(std::wstring_view text) { return joined(L"\r\n", text); }

std::vector<std::wstring> foldedList(std::initializer_list<std::wstring_view> names) {
    std::vector<std::wstring> out;
    for (auto n : names) out.push_back(foldCase(n));
    return out;
}

std::vector<std::wstring> foldedList(std::vector<std::wstring> names) {
    for (auto& n : names) foldCaseInPlace(n);
    return names;
}

PickerSpec fixedList(std::wstring_view sPrmpt, std::initializer_list<std::wstring_view> names,
                     std::wstring_view message) {
    PickerSpec s;
    s.test = TypeTest::ObjectName;
    s.accepted = foldedList(names);
    s.prompt = crlf(sPrmpt);
    s.wrongType = crlf(message);
    return s;
}

PickerSpec anyEntity(PickCall call, std::wstring_view sPrmpt) {
    PickerSpec s;
    s.call = call;
    s.prompt = crlf(sPrmpt);
    return s;
}

}  // namespace

std::wstring listWrongTypeMessage(std::wstring_view callerText) {
    if (callerText.empty()) return L"\r\n** 지원되는 객체가 아닙니다. 다시 선택하십시오 **";
    std::wstring s = L"\r\n** ";
    s += callerText;
    s += L" **";
    return s;
}

PickerSpec entityExPicker(std::wstring_view sType, std::wstring_view sPrmpt, std::wstring_view strErr) {
    PickerSpec s;
    s.test = TypeTest::AutomationName;
    s.accepted = foldedList(splitList(sType));
    s.prompt = crlf(sPrmpt);
    s.wrongType = listWrongTypeMessage(strErr);
    return s;
}

PickerSpec entityNamePicker(std::wstring_view sObjName, std::wstring_view sPrmpt, std::wstring_view sError) {
    PickerSpec s = entityExPicker(sObjName, sPrmpt, sError);
    s.test = TypeTest::ObjectName;
    return s;
}

PickerSpec objPicker(std::wstring_view sPrmpt) { return anyEntity(PickCall::Entity, sPrmpt); }
PickerSpec subObjPicker(std::wstring_view sPrmpt) { return anyEntity(PickCall::SubEntity, sPrmpt); }

PickerSpec arcPicker(std::wstring_view sPrmpt) {
    return fixedList(sPrmpt, {L"AcDbArc"}, L"** 호가 아닙니다. 다시 선택하십시오 **");
}

PickerSpec curvePicker(std::wstring_view sPrmpt) {
    return fixedList(sPrmpt,
                     {L"AcDbLine", L"AcDbCircle", L"AcDbArc", L"AcDbSpline", L"AcDbEllipse", L"AcDbPolyline",
                      L"AcDb2dPolyline", L"AcDb3dPolyline"},
                     L"** 선분을 가진 객체가 아닙니다. 다시 선택하십시오 **");
}

PickerSpec plinePicker(std::wstring_view sPrmpt, bool bIncludeArc) {
    PickerSpec s = fixedList(sPrmpt, {L"AcDbPolyline", L"AcDb2dPolyline", L"AcDb3dPolyline", L"AcDbLine"},
                             L"** 폴리선이 아닙니다. 다시 선택하십시오 **");
    if (bIncludeArc) s.accepted.push_back(foldCase(L"AcDbArc"));
    return s;
}

PickerSpec textPicker(std::wstring_view sPrmpt) {
    PickerSpec s = fixedList(sPrmpt, {L"AcDbText", L"AcDbMText"}, L"** 문자가 아닙니다. 다시 선택하십시오 **");
    s.storesPickPoint = false;
    return s;
}

PickerSpec linePicker(std::wstring_view sPrmpt) {
    return fixedList(sPrmpt, {L"AcDbLine", L"AcDbPolyline", L"AcDb2dPolyline", L"AcDb3dPolyline"},
                     L"** 선 또는 폴리선이 아닙니다. 다시 선택하십시오 **");
}

PickerSpec circlePicker(std::wstring_view sPrmpt) {
    return fixedList(sPrmpt, {L"AcDbCircle", L"AcDbArc"}, L"** 원이 아닙니다. 다시 선택하십시오 **");
}

bool typeAccepted(const PickerSpec& spec, std::wstring_view typeName) {
    if (spec.test == TypeTest::Any) return true;
    const std::wstring folded = foldCase(typeName);
    for (const auto& item : spec.accepted)
        if (item == folded) return true;
    return false;
}

PickOutcome runPicker(const PickerSpec& spec, PickHost& host) {
    for (;;) {
        // errno keeps its value from the last failed pick; without the reset a cancel after a
        // missed pick would read 7 again and the user could never leave the loop.
        try {
            host.clearErrno();
        } catch (const std::exception&) {
        }

        std::int32_t failure = 0;
        try {
            host.pick(spec.call, spec.prompt);
        } catch (const VbError& e) {
            failure = e.number() != 0 ? e.number() : kCancelError;
        } catch (const std::exception&) {
            failure = kCancelError;
        }

        if (failure != 0) {
            std::int32_t errnoValue = 0;
            try {
                errnoValue = host.readErrno();
            } catch (const std::exception&) {
                errnoValue = 0;  // an unreadable errno is not a missed pick
            }
            if (errnoValue == kMissedPickErrno) continue;
            if (failure == kPickException) return PickOutcome::Nothing;
            throw VbError(kCancelError, std::wstring(kCancelText));
        }

        bool accepted = spec.test == TypeTest::Any;
        if (!accepted) {
            try {
                accepted = typeAccepted(spec, host.typeName(spec.test));
            } catch (const std::exception&) {
                accepted = false;  // an entity whose type cannot be read is not one asked for
            }
        }
        if (accepted) {
            if (spec.storesPickPoint) host.keepPickPoint();
            return PickOutcome::Entity;
        }
        try {
            host.writePrompt(spec.wrongType);
        } catch (const std::exception&) {
        }
    }
}

}  // namespace kelva::pub
