#include "errors.h"

namespace kelva {

std::wstring standardDescription(int number) {
    switch (number) {
    case err::InvalidCall: return L"Invalid procedure call or argument";
    case err::Overflow: return L"Overflow";
    case err::OutOfMemory: return L"Out of memory";
    case err::SubscriptOutOfRange: return L"Subscript out of range";
    case err::ArrayFixedOrLocked: return L"This array is fixed or temporarily locked";
    case err::DivisionByZero: return L"Division by zero";
    case err::TypeMismatch: return L"Type mismatch";
    case err::FileNotFound: return L"File not found";
    case err::InputPastEnd: return L"Input past end of file";
    case err::BadRecordNumber: return L"Bad record number";
    case err::PathFileAccess: return L"Path/File access error";
    case err::PathNotFound: return L"Path not found";
    case err::ObjectNotSet: return L"Object variable or With block variable not set";
    case err::InvalidPropertyValue: return L"Invalid property value";
    case err::InvalidPropertyIndex: return L"Invalid property array index";
    case err::InvalidPicture: return L"Invalid picture";
    case err::CannotCreateObject: return L"ActiveX component can't create object";
    default: return {};
    }
}

std::int32_t errorToHresult(std::int32_t number) {
    if (number > 0 && number <= 0xFFFF)
        return static_cast<std::int32_t>(0x800A0000u | static_cast<std::uint32_t>(number));
    return number;
}

std::int32_t hresultToError(std::int32_t hr) {
    const auto u = static_cast<std::uint32_t>(hr);
    if ((u & 0xFFFF0000u) == 0x800A0000u) return static_cast<std::int32_t>(u & 0xFFFFu);
    return hr;
}

namespace {
std::string narrowForWhat(std::int32_t number, const std::wstring& description) {
    std::string what = "error " + std::to_string(number);
    if (!description.empty()) {
        what += ": ";
        for (wchar_t c : description) what += (c < 0x80) ? static_cast<char>(c) : '?';
    }
    return what;
}
}  // namespace

VbError::VbError(std::int32_t number, std::wstring description, std::wstring source)
    : std::runtime_error(narrowForWhat(number, description.empty() ? standardDescription(number) : description)),
      number_(number),
      description_(description.empty() ? standardDescription(number) : std::move(description)),
      source_(std::move(source)) {}

VbError VbError::withSource(std::wstring source) const { return VbError(number_, description_, std::move(source)); }

void raise(std::int32_t number) { throw VbError(number); }

}  // namespace kelva
