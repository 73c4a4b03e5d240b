#include "pub_logic.h"

namespace kelva::drawlib {

std::wstring onNewLine(std::wstring_view text) {
    std::wstring line(kNewLine);
    line += text;
    return line;
}

std::wstring majorVersion(std::wstring_view version) { return std::wstring(version.substr(0, 2)); }

bool endsWithCancelMark(std::wstring_view lastPrompt) { return !lastPrompt.empty() && lastPrompt.back() == L'*'; }

}  // namespace kelva::drawlib
