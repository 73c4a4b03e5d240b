// Any customization file: the patch never reads out of bounds, adds exactly one line ending with CRLF
// before the first closing tag, keeps every other character, and a second patch adds nothing.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/textcodec.h"
#include "setup/cui_patch.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto text = kelva::decodeStrict(kelva::Codec::Utf8, std::string_view(reinterpret_cast<const char*>(data), size));
    if (!text) return 0;
    const auto out = kelva::setup::insertPartialMenu(*text, L"kelva.cui");
    if (!out) return 0;
    const std::wstring_view line = L"        <PartialMenuFile>kelva.cui</PartialMenuFile>";
    const size_t at = out->find(line);
    if (at == std::wstring::npos) std::abort();
    const size_t end = at + line.size() + 2;
    if (out->compare(at + line.size(), 2, L"\r\n") != 0) std::abort();  // CRLF whatever the file uses
    std::wstring back = out->substr(0, at) + out->substr(end);
    if (back != *text) std::abort();
    if (at > text->find(L"</CommonItems>")) std::abort();
    if (kelva::setup::insertPartialMenu(*out, L"kelva.cui")) std::abort();
    return 0;
}
