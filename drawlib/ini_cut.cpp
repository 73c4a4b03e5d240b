#include "ini.h"

namespace kelva::draw::ini {

std::string cutCp949(std::string_view bytes, std::size_t limit) {
    std::size_t k = 0;
    while (k < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[k]);
        // Lead bytes 0x81..0xFE start two-byte characters; a lead byte without its trail is one byte.
        const std::size_t width = (lead >= 0x81 && lead <= 0xFE && k + 1 < bytes.size()) ? 2 : 1;
        if (k + width > limit) break;
        k += width;
    }
    return std::string(bytes.substr(0, k));
}

}  // namespace kelva::draw::ini
