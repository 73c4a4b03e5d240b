#include "ini.h"

#include <windows.h>

#include <vector>

#include "core/textcodec.h"

namespace kelva::draw::ini {

namespace {

std::string ansi(std::wstring_view text) { return encodeLenient(Codec::Cp949, text); }

// The value as the profile function gives it, read whole so that the cut below decides where it ends.
std::string readRaw(const std::string& section, const std::string& key, const std::string& fallback,
                    const std::string& path, DWORD& count) {
    std::vector<char> buffer(4096);
    for (;;) {
        count = GetPrivateProfileStringA(section.c_str(), key.c_str(), fallback.c_str(), buffer.data(),
                                         static_cast<DWORD>(buffer.size()), path.c_str());
        if (count + 1 < buffer.size() || buffer.size() >= (1u << 20)) break;
        buffer.resize(buffer.size() * 2);
    }
    return std::string(buffer.data(), count);
}

}  // namespace

bool writeValue(std::wstring_view path, std::wstring_view section, std::wstring_view key,
                std::optional<std::wstring_view> value) {
    const std::string text = value ? ansi(*value) : std::string();
    return WritePrivateProfileStringA(ansi(section).c_str(), ansi(key).c_str(), value ? text.c_str() : nullptr,
                                      ansi(path).c_str()) != 0;
}

bool deleteSection(std::wstring_view section, std::wstring_view path) {
    return WritePrivateProfileStringA(ansi(section).c_str(), nullptr, nullptr, ansi(path).c_str()) != 0;
}

bool deleteKey(std::wstring_view section, std::wstring_view key, std::wstring_view path) {
    return WritePrivateProfileStringA(ansi(section).c_str(), ansi(key).c_str(), nullptr, ansi(path).c_str()) != 0;
}

std::wstring readValue(std::wstring_view path, std::wstring_view section, std::wstring_view key,
                       std::wstring_view fallback) {
    DWORD count = 0;
    const std::string raw = readRaw(ansi(section), ansi(key), ansi(fallback), ansi(path), count);
    if (count < 1) return std::wstring(fallback);
    const std::string value = cutCp949(raw.substr(0, raw.find('\0')), 254);
    return decodeLenient(Codec::Cp949, value);
}

}  // namespace kelva::draw::ini
