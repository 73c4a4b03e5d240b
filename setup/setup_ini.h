#pragma once
// Setup.ini, read as the profile functions read it: one value, or one comma-separated list.
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace kelva::setup {

class IniSource {
public:
    virtual ~IniSource() = default;
    // The whole value of section/key of the file, "" when the file, section or key is missing.
    virtual std::wstring read(std::wstring_view file, std::wstring_view section, std::wstring_view key) = 0;
};

// Values are read through a buffer of 255 characters: longer values come back cut to 254.
inline constexpr size_t kIniBufferChars = 255;

struct IniValue {
    std::wstring text;
    bool cut = false;  // the value was longer than the buffer holds
};

// An empty or missing value gives the default.
IniValue GetIniValue(IniSource& ini, std::wstring_view file, std::wstring_view section, std::wstring_view key,
                     std::wstring_view defaultValue);

struct IniList {
    std::vector<std::wstring> items;  // exactly as they stand between the commas, empty ones too
    bool cut = false;                 // the last item is incomplete
};

IniList GetIniList(IniSource& ini, std::wstring_view file, std::wstring_view section, std::wstring_view key);

// Items to act on: the non-empty ones, without a last item that the buffer cut.
std::vector<std::wstring> usableItems(const IniList& list);

// An INI file held in memory, for tests: section and key names without regard to case.
class MemoryIni : public IniSource {
public:
    void set(std::wstring_view section, std::wstring_view key, std::wstring_view value);
    std::wstring read(std::wstring_view file, std::wstring_view section, std::wstring_view key) override;

private:
    std::map<std::wstring, std::wstring> values_;
};

}  // namespace kelva::setup
