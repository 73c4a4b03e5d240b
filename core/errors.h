#pragma once
// Run-time errors as the suite's callers know them: a number, a description and a source.
// A COM caller sees them as the HRESULT 0x800A0000 | number with error information attached.
#include <cstdint>
#include <stdexcept>
#include <string>

namespace kelva {

namespace err {
inline constexpr int InvalidCall = 5;         // invalid procedure call or argument
inline constexpr int Overflow = 6;
inline constexpr int OutOfMemory = 7;
inline constexpr int SubscriptOutOfRange = 9;
inline constexpr int ArrayFixedOrLocked = 10;  // an array whose descriptor its owner keeps (fixed or locked)
inline constexpr int DivisionByZero = 11;
inline constexpr int TypeMismatch = 13;
inline constexpr int FileNotFound = 53;
inline constexpr int InputPastEnd = 62;
inline constexpr int BadRecordNumber = 63;    // a file position at or before the file's start
inline constexpr int PathFileAccess = 75;
inline constexpr int PathNotFound = 76;
inline constexpr int ObjectNotSet = 91;
inline constexpr int InvalidPropertyValue = 380;
inline constexpr int InvalidPropertyIndex = 381;
inline constexpr int InvalidPicture = 481;
inline constexpr int CannotCreateObject = 429;
}  // namespace err

// The standard description of a run-time error number; empty for numbers without one.
std::wstring standardDescription(int number);

// 0x800A0000 | number for the run-time range (1..65535); other numbers (already HRESULTs such as
// 0x80040005) pass through unchanged.
std::int32_t errorToHresult(std::int32_t number);
// The inverse: the run-time number of an 0x800A.... HRESULT, else the HRESULT itself.
std::int32_t hresultToError(std::int32_t hr);

class VbError : public std::runtime_error {
public:
    explicit VbError(std::int32_t number, std::wstring description = {}, std::wstring source = {});
    std::int32_t number() const noexcept { return number_; }
    const std::wstring& description() const noexcept { return description_; }
    const std::wstring& source() const noexcept { return source_; }
    // Keeps number and description, as a control does when it re-raises with its own source.
    VbError withSource(std::wstring source) const;

private:
    std::int32_t number_;
    std::wstring description_;
    std::wstring source_;
};

[[noreturn]] void raise(std::int32_t number);

}  // namespace kelva
