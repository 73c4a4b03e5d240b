#include "runtime/designdata.h"

#include <cwctype>
#include <optional>

#include "core/values.h"

namespace kelva::rt {

const DesignNode* DesignNode::child(std::wstring_view childName) const {
    for (const auto& c : children)
        if (sameName(c.name, childName)) return &c;
    return nullptr;
}

namespace {

std::wstring_view trim(std::wstring_view s) {
    while (!s.empty() && std::iswspace(s.front())) s.remove_prefix(1);
    while (!s.empty() && std::iswspace(s.back())) s.remove_suffix(1);
    return s;
}

// The first word of s and the rest after it.
std::pair<std::wstring_view, std::wstring_view> splitWord(std::wstring_view s) {
    s = trim(s);
    std::size_t i = 0;
    while (i < s.size() && !std::iswspace(s[i])) ++i;
    return {s.substr(0, i), trim(s.substr(i))};
}

// A quoted text at the start of s; rest receives what follows the closing quote.
std::optional<std::wstring> readQuoted(std::wstring_view s, std::wstring_view& rest) {
    if (s.empty() || s.front() != L'"') return std::nullopt;
    std::wstring out;
    for (std::size_t i = 1; i < s.size(); ++i) {
        if (s[i] != L'"') {
            out += s[i];
            continue;
        }
        if (i + 1 < s.size() && s[i + 1] == L'"') {
            out += L'"';
            ++i;
            continue;
        }
        rest = s.substr(i + 1);
        return out;
    }
    return std::nullopt;  // unterminated
}

// Drops a trailing comment ('...) outside quotes.
std::wstring_view stripComment(std::wstring_view s) {
    bool quoted = false;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == L'"') quoted = !quoted;
        if (!quoted && s[i] == L'\'') return trim(s.substr(0, i));
    }
    return s;
}

int hexDigit(wchar_t c) {
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    return -1;
}

std::optional<PropValue> parseValue(std::wstring_view text) {
    std::wstring_view rest;
    if (auto s = readQuoted(text, rest)) {
        if (!trim(stripComment(rest)).empty()) return std::nullopt;
        return PropValue(*s);
    }
    text = stripComment(text);
    if (text.empty()) return std::nullopt;
    if (sameName(text, L"True")) return PropValue(true);
    if (sameName(text, L"False")) return PropValue(false);
    auto [word, after] = splitWord(text);
    if (sameName(word, L"Bitmap")) {
        std::wstring_view tail;
        auto hex = readQuoted(after, tail);
        if (!hex || hex->size() % 2 != 0 || !trim(tail).empty()) return std::nullopt;
        PictureData pic;
        for (std::size_t i = 0; i < hex->size(); i += 2) {
            int hi = hexDigit((*hex)[i]), lo = hexDigit((*hex)[i + 1]);
            if (hi < 0 || lo < 0) return std::nullopt;
            pic.bmp.push_back(static_cast<std::uint8_t>(hi * 16 + lo));
        }
        return PropValue(pic);
    }
    if (text.size() > 2 && text[0] == L'&' && (text[1] == L'H' || text[1] == L'h')) {
        std::wstring_view digits = text.substr(2);
        if (!digits.empty() && digits.back() == L'&') digits.remove_suffix(1);
        if (digits.empty() || digits.size() > 8) return std::nullopt;
        std::uint32_t v = 0;
        for (wchar_t c : digits) {
            int d = hexDigit(c);
            if (d < 0) return std::nullopt;
            v = v * 16 + static_cast<std::uint32_t>(d);
        }
        return PropValue(static_cast<std::int32_t>(v));
    }
    double d = 0;
    if (!tryParseDouble(text, d)) return std::nullopt;
    bool whole = text.find_first_of(L".eEdD") == std::wstring_view::npos;
    if (whole && d >= -2147483648.0 && d <= 2147483647.0) return PropValue(static_cast<std::int32_t>(d));
    return PropValue(d);
}

struct Parser {
    std::vector<std::wstring_view> lines;
    std::size_t at = 0;
    DesignParse result;

    bool fail(std::wstring message) {
        if (result.error.empty()) {
            result.error = std::move(message);
            result.errorLine = static_cast<int>(at) + 1;
        }
        return false;
    }

    bool readFont(FontDesc& font) {
        for (++at; at < lines.size(); ++at) {
            auto line = trim(lines[at]);
            if (line.empty()) continue;
            if (sameName(line, L"EndProperty")) return true;
            auto eq = line.find(L'=');
            if (eq == std::wstring_view::npos) return fail(L"expected Key = value in a font block");
            auto key = trim(line.substr(0, eq));
            auto value = parseValue(trim(line.substr(eq + 1)));
            if (!value) return fail(L"unreadable value of " + std::wstring(key));
            try {
                if (sameName(key, L"Name")) font.name = asString(*value);
                else if (sameName(key, L"Size")) font.size = asDouble(*value);
                else if (sameName(key, L"Charset")) font.charset = static_cast<std::int16_t>(asLong(*value));
                else if (sameName(key, L"Weight")) font.bold = asLong(*value) >= 600;
                else if (sameName(key, L"Bold")) font.bold = asBool(*value);
                else if (sameName(key, L"Italic")) font.italic = asBool(*value);
                else if (sameName(key, L"Underline")) font.underline = asBool(*value);
                else if (sameName(key, L"Strikethrough")) font.strikethrough = asBool(*value);
                else return fail(L"unknown font key " + std::wstring(key));
            } catch (const std::exception&) {
                return fail(L"wrong kind of value for font key " + std::wstring(key));
            }
        }
        return fail(L"font block without EndProperty");
    }

    // Reads the body of a block whose Begin line is at `at`; leaves `at` on its End line.
    bool readNode(DesignNode& node) {
        const std::size_t beginLine = at;
        auto [begin, rest] = splitWord(lines[at]);
        auto [type, name] = splitWord(rest);
        if (type.empty() || name.empty()) return fail(L"Begin needs a type and a name");
        node.type = type;
        node.name = name;
        for (++at; at < lines.size(); ++at) {
            auto line = trim(lines[at]);
            if (line.empty() || line.front() == L'\'') continue;
            auto [word, after] = splitWord(line);
            // A key may be called Begin or End: a line with "=" is always a property.
            const bool assignment = line.find(L'=') != std::wstring_view::npos;
            if (!assignment && sameName(word, L"End") && after.empty()) return true;
            if (!assignment && sameName(word, L"Begin")) {
                DesignNode child;
                if (!readNode(child)) return false;
                node.children.push_back(std::move(child));
                continue;
            }
            if (!assignment && sameName(word, L"BeginProperty")) {
                if (after.empty()) return fail(L"BeginProperty needs a key");
                FontDesc font;
                std::wstring key(after);
                if (!readFont(font)) return false;
                node.props.write(key, font);
                continue;
            }
            auto eq = line.find(L'=');
            if (eq == std::wstring_view::npos) return fail(L"expected Key = value");
            auto key = trim(line.substr(0, eq));
            if (key.empty()) return fail(L"empty key");
            auto value = parseValue(trim(line.substr(eq + 1)));
            if (!value) return fail(L"unreadable value of " + std::wstring(key));
            node.props.write(key, *value);
        }
        at = beginLine;
        return fail(L"Begin " + node.name + L" without End");
    }
};

std::wstring quote(std::wstring_view s) {
    std::wstring out = L"\"";
    for (wchar_t c : s) {
        if (c == L'"') out += L'"';
        out += c;
    }
    return out + L"\"";
}

std::wstring formatValue(const PropValue& v) {
    if (const auto* b = std::get_if<bool>(&v)) return *b ? L"True" : L"False";
    if (const auto* i = std::get_if<std::int32_t>(&v)) return std::to_wstring(*i);
    if (const auto* d = std::get_if<double>(&v)) {
        std::wstring s = formatDouble(*d);
        // A whole double keeps a point so it reads back as a double.
        if (s.find_first_of(L".E") == std::wstring::npos) s += L".0";
        return s;
    }
    if (const auto* s = std::get_if<std::wstring>(&v)) return quote(*s);
    if (const auto* p = std::get_if<PictureData>(&v)) {
        static const wchar_t* digits = L"0123456789ABCDEF";
        std::wstring hex;
        for (auto b : p->bmp) {
            hex += digits[b >> 4];
            hex += digits[b & 15];
        }
        return L"Bitmap \"" + hex + L"\"";
    }
    return {};
}

void formatNode(const DesignNode& node, int depth, std::wstring& out) {
    std::wstring pad(static_cast<std::size_t>(depth) * 3, L' ');
    out += pad + L"Begin " + node.type + L" " + node.name + L"\n";
    for (const auto& e : node.props.entries()) {
        if (const auto* f = std::get_if<FontDesc>(&e.value)) {
            out += pad + L"   BeginProperty " + e.name + L"\n";
            out += pad + L"      Name = " + quote(f->name) + L"\n";
            out += pad + L"      Size = " + formatValue(f->size) + L"\n";
            out += pad + L"      Charset = " + std::to_wstring(f->charset) + L"\n";
            out += pad + L"      Weight = " + std::wstring(f->bold ? L"700" : L"400") + L"\n";
            out += pad + L"      Italic = " + formatValue(f->italic) + L"\n";
            out += pad + L"      Underline = " + formatValue(f->underline) + L"\n";
            out += pad + L"      Strikethrough = " + formatValue(f->strikethrough) + L"\n";
            out += pad + L"   EndProperty\n";
            continue;
        }
        out += pad + L"   " + e.name + L" = " + formatValue(e.value) + L"\n";
    }
    for (const auto& c : node.children) formatNode(c, depth + 1, out);
    out += pad + L"End\n";
}

}  // namespace

DesignParse parseDesign(std::wstring_view text) {
    Parser p;
    std::size_t start = 0;
    while (start <= text.size()) {
        auto nl = text.find(L'\n', start);
        if (nl == std::wstring_view::npos) nl = text.size();
        auto line = text.substr(start, nl - start);
        if (!line.empty() && line.back() == L'\r') line.remove_suffix(1);
        p.lines.push_back(line);
        start = nl + 1;
    }
    for (p.at = 0; p.at < p.lines.size(); ++p.at) {
        auto line = trim(p.lines[p.at]);
        if (line.empty() || line.front() == L'\'') continue;
        auto [word, rest] = splitWord(line);
        if (!sameName(word, L"Begin")) {
            p.fail(L"expected Begin");
            break;
        }
        DesignNode node;
        if (!p.readNode(node)) break;
        p.result.nodes.push_back(std::move(node));
    }
    if (!p.result.ok()) p.result.nodes.clear();
    return std::move(p.result);
}

std::wstring formatDesign(const DesignNode& node) {
    std::wstring out;
    formatNode(node, 0, out);
    return out;
}

}  // namespace kelva::rt
