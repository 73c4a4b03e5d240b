// Outside text through the command-table reader, the user-command reader and the rewrite patterns.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "cmdedit/apply.h"
#include "core/textcodec.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kelva::cmd;
    std::wstring text = kelva::decodeLenient(kelva::Codec::Cp949, std::string_view(reinterpret_cast<const char*>(data), size));
    Editor e;
    setGridHeaders(e);
    (void)loadCommandTable(e, text, false);
    for (const auto& g : e.grids)
        if (g.rows() > kGridRows) __builtin_trap();
    (void)readUserCommands(e, text);
    (void)findDuplicate(e);
    std::array<std::wstring, 3> texts = {text, text, text};
    applyPatterns(e, false, texts);
    applyPatterns(e, true, texts);
    return 0;
}
