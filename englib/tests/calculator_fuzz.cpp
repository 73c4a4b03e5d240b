// Feeds arbitrary text to the evaluator: it must answer or raise a runtime error, never crash,
// read out of bounds or recurse without limit.
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/errors.h"
#include "englib/calculator.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Two bytes per character, so brackets, operators, digits and the function signs all turn up.
    static const wchar_t alphabet[] = L"0123456789.,+-*/^()SinCoTaArcπ√ E";
    std::wstring text;
    for (std::size_t i = 0; i + 1 < size; i += 2) {
        const unsigned v = data[i] | (data[i + 1] << 8);
        text += v < 0x8000 ? alphabet[v % (sizeof alphabet / sizeof alphabet[0] - 1)] : static_cast<wchar_t>(v & 0x7FFF);
    }
    try {
        kelva::eng::calculate(text);
    } catch (const kelva::VbError&) {
    }
    return 0;
}
