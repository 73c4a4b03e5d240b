// Stored design data comes from files: any text must parse or fail cleanly, and what parses must
// survive its own text form.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/textcodec.h"
#include "runtime/designdata.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::wstring text =
        kelva::decodeLenient(kelva::Codec::Utf8, std::string_view(reinterpret_cast<const char*>(data), size));
    auto first = kelva::rt::parseDesign(text);
    if (!first.ok()) return 0;
    for (const auto& node : first.nodes) {
        auto again = kelva::rt::parseDesign(kelva::rt::formatDesign(node));
        if (!again.ok() || again.nodes.size() != 1 ||
            again.nodes[0].props.entries().size() != node.props.entries().size())
            std::abort();
    }
    return 0;
}
