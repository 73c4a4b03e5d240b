#include "textcodec.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>

#include <cerrno>
#include <cstring>
#endif

#include <vector>

namespace kelva {

#ifdef _WIN32
namespace {
UINT codePage(Codec c) { return c == Codec::Cp949 ? 949u : CP_UTF8; }

std::optional<std::wstring> decode(Codec codec, std::string_view bytes, bool strict) {
    if (bytes.empty()) return std::wstring{};
    const DWORD flags = strict ? MB_ERR_INVALID_CHARS : 0;
    const int n = MultiByteToWideChar(codePage(codec), flags, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    if (n <= 0) return std::nullopt;
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(codePage(codec), flags, bytes.data(), static_cast<int>(bytes.size()), out.data(), n);
    return out;
}

std::optional<std::string> encode(Codec codec, std::wstring_view text, bool strict) {
    if (text.empty()) return std::string{};
    const UINT cp = codePage(codec);
    // UTF-8 takes no default-character arguments; it signals unpaired surrogates with the flag instead.
    DWORD flags = 0;
    BOOL usedDefault = FALSE;
    BOOL* pUsed = nullptr;
    if (cp == CP_UTF8) {
        if (strict) flags = WC_ERR_INVALID_CHARS;
    } else if (strict) {
        flags = WC_NO_BEST_FIT_CHARS;
        pUsed = &usedDefault;
    }
    const int n = WideCharToMultiByte(cp, flags, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, pUsed);
    if (n <= 0 || usedDefault) return std::nullopt;
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(cp, flags, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, pUsed);
    if (usedDefault) return std::nullopt;
    return out;
}
}  // namespace

std::optional<std::wstring> decodeStrict(Codec codec, std::string_view bytes) { return decode(codec, bytes, true); }
std::wstring decodeLenient(Codec codec, std::string_view bytes) { return decode(codec, bytes, false).value_or(L""); }
std::optional<std::string> encodeStrict(Codec codec, std::wstring_view text) { return encode(codec, text, true); }
std::string encodeLenient(Codec codec, std::wstring_view text) { return encode(codec, text, false).value_or(""); }

#else  // native build: glibc's iconv has the same code page 949 (UHC) table

namespace {
const char* charset(Codec c) { return c == Codec::Cp949 ? "CP949" : "UTF-8"; }
const char* wideCharset() { return sizeof(wchar_t) == 4 ? "UTF-32LE" : "UTF-16LE"; }

class Iconv {
public:
    Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Iconv() {
        if (cd_ != reinterpret_cast<iconv_t>(-1)) iconv_close(cd_);
    }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;
    bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
    // Converts as much as it can; returns false at an invalid or incomplete sequence, leaving `in`
    // and `inLeft` at it.
    bool run(char*& in, size_t& inLeft, std::vector<char>& out) {
        while (inLeft > 0) {
            char buf[256];
            char* o = buf;
            size_t oLeft = sizeof buf;
            const size_t r = iconv(cd_, &in, &inLeft, &o, &oLeft);
            out.insert(out.end(), buf, o);
            if (r == static_cast<size_t>(-1)) {
                if (errno == E2BIG) continue;
                return false;
            }
        }
        return true;
    }

private:
    iconv_t cd_;
};

std::wstring fromWideBytes(const std::vector<char>& v) {
    std::wstring out(v.size() / sizeof(wchar_t), L'\0');
    if (!out.empty()) std::memcpy(out.data(), v.data(), out.size() * sizeof(wchar_t));
    return out;
}

std::optional<std::wstring> decode(Codec codec, std::string_view bytes, bool strict) {
    Iconv cv(wideCharset(), charset(codec));
    if (!cv.ok()) return std::nullopt;
    std::string copy(bytes);
    char* in = copy.data();
    size_t left = copy.size();
    std::vector<char> out;
    while (!cv.run(in, left, out)) {
        if (strict) return std::nullopt;
        // The system converter turns a bad byte into U+FFFD for UTF-8 and "?" for code page 949;
        // a lead byte with an invalid trail byte consumes only the lead byte.
        const wchar_t repl = codec == Codec::Utf8 ? L'\xFFFD' : L'?';
        out.insert(out.end(), reinterpret_cast<const char*>(&repl), reinterpret_cast<const char*>(&repl) + sizeof repl);
        // A double-byte code without a character (lead byte and a byte from the trail range) is one
        // "?", as Windows converts it.
        const bool pair = codec == Codec::Cp949 && left >= 2 && static_cast<unsigned char>(in[0]) >= 0x81 &&
                          static_cast<unsigned char>(in[0]) <= 0xFE && static_cast<unsigned char>(in[1]) >= 0x41;
        in += pair ? 2 : 1;
        left -= pair ? 2 : 1;
    }
    return fromWideBytes(out);
}

std::optional<std::string> encode(Codec codec, std::wstring_view text, bool strict) {
    Iconv cv(charset(codec), wideCharset());
    if (!cv.ok()) return std::nullopt;
    std::wstring copy(text);
    char* in = reinterpret_cast<char*>(copy.data());
    size_t left = copy.size() * sizeof(wchar_t);
    std::vector<char> out;
    while (!cv.run(in, left, out)) {
        if (strict) return std::nullopt;
        out.push_back('?');
        in += sizeof(wchar_t);
        left -= sizeof(wchar_t);
    }
    return std::string(out.begin(), out.end());
}
}  // namespace

std::optional<std::wstring> decodeStrict(Codec codec, std::string_view bytes) { return decode(codec, bytes, true); }
std::wstring decodeLenient(Codec codec, std::string_view bytes) { return decode(codec, bytes, false).value_or(L""); }
std::optional<std::string> encodeStrict(Codec codec, std::wstring_view text) { return encode(codec, text, true); }
std::string encodeLenient(Codec codec, std::wstring_view text) { return encode(codec, text, false).value_or(""); }

#endif

}  // namespace kelva
