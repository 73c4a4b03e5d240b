// The toolbox's text readers on arbitrary text: angle texts, number texts, coordinate texts, paths and
// natural-order keys. Each may refuse a text with a run-time error, never read out of bounds.
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/errors.h"
#include "drawlib/angletext.h"
#include "drawlib/numeric.h"
#include "drawlib/paths.h"
#include "drawlib/sorts.h"

using namespace kelva::draw;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Two bytes to a UTF-16 code unit, as the texts arrive from COM.
    std::wstring text;
    for (std::size_t k = 0; k + 1 < size; k += 2) text += static_cast<wchar_t>(data[k] | (data[k + 1] << 8));
    const std::size_t cut = text.find(L'|');
    const std::wstring first = text.substr(0, cut), second = cut == std::wstring::npos ? L"" : text.substr(cut + 1);
    try {
        std::wstring dms = text;
        dmsToDeg(dms);
    } catch (const kelva::VbError&) {
    }
    try {
        strToPnt(first, second);
    } catch (const kelva::VbError&) {
    }
    try {
        alphanumKey(text);
    } catch (const kelva::VbError&) {
    }
    isNumber(text);
    getNumber(text);
    removeNull(text);
    absolutePath(first, second);
    driveName(text);
    return 0;
}
