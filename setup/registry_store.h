#pragma once
// The registry as the registrar needs it: keys addressed by hive and path, values as their type and
// raw bytes (texts as UTF-16LE, as the wide registry functions store them). One implementation is the
// real Win32 registry; another keeps keys in memory for tests.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kelva::setup {

enum class Hive { CurrentUser, LocalMachine };

// 64-bit Windows keeps HKEY_LOCAL_MACHINE\Software twice: one view for 32-bit programs (stored
// under Software\Wow6432Node), one for 64-bit programs. A program sees the view of its own bitness
// unless it names the other, and AutoCAD keeps its installation keys in the view of its own.
// HKEY_CURRENT_USER\Software is one for both views.
enum class View { Own, Bits32, Bits64 };

// A hive as seen through one view; a hive alone is seen through the program's own.
struct HiveView {
    Hive hive = Hive::CurrentUser;
    View view = View::Own;
    HiveView(Hive h = Hive::CurrentUser, View v = View::Own) : hive(h), view(v) {}  // NOLINT: implicit on purpose
};

// The platform's own error codes, which the store answers with and cRegistry's DeleteKey and
// DeleteValue hand on to their callers; the memory registry answers with the same ones. They are
// not the run-time error numbers of core/errors.h, which Setup never reports for the registry:
// "file not found" is 2 here and 53 there, and 5 is "access denied" here, "invalid call" there.
namespace regerr {
inline constexpr long Ok = 0;
inline constexpr long FileNotFound = 2;
inline constexpr long AccessDenied = 5;
}  // namespace regerr

namespace regtype {
inline constexpr std::uint32_t None = 0;
inline constexpr std::uint32_t Sz = 1;
inline constexpr std::uint32_t ExpandSz = 2;
inline constexpr std::uint32_t Binary = 3;
inline constexpr std::uint32_t Dword = 4;
inline constexpr std::uint32_t MultiSz = 7;
}  // namespace regtype

struct RawValue {
    std::uint32_t type = regtype::None;
    std::vector<std::uint8_t> data;
    bool operator==(const RawValue&) const = default;
};

struct NamedValue {
    std::wstring name;
    RawValue value;
};

// Every path is relative to its hive, seen through the view given with it; "" is the hive itself.
// Paths reach the store already normalised (no empty components).
class RegistryStore {
public:
    virtual ~RegistryStore() = default;
    virtual long openForRead(HiveView root, std::wstring_view path) = 0;
    // Creates the key and any missing key on its path; an existing key is success.
    virtual long createKey(HiveView root, std::wstring_view path) = 0;
    virtual long deleteKey(HiveView root, std::wstring_view path) = 0;
    virtual long deleteValue(HiveView root, std::wstring_view path, std::wstring_view name) = 0;
    virtual long enumKeys(HiveView root, std::wstring_view path, std::vector<std::wstring>& out) = 0;
    virtual long enumValues(HiveView root, std::wstring_view path, std::vector<NamedValue>& out) = 0;
    virtual long queryValue(HiveView root, std::wstring_view path, std::wstring_view name, RawValue& out) = 0;
    // The key must exist already.
    virtual long setValue(HiveView root, std::wstring_view path, std::wstring_view name, const RawValue& value) = 0;
    virtual std::wstring expandEnvironment(std::wstring_view text) = 0;
    // Another computer's hive; nullptr when it cannot be reached. The result serves only that hive.
    virtual std::unique_ptr<RegistryStore> connect(std::wstring_view computer, Hive hive) = 0;
};

// UTF-16LE bytes of a text and back (wchar_t is 16 bits on Windows, 32 natively).
std::vector<std::uint8_t> utf16Bytes(std::wstring_view text);
std::wstring fromUtf16Bytes(const std::uint8_t* data, std::size_t size);

}  // namespace kelva::setup
