#include "core/exchange/utf8.hpp"

#include <algorithm>

#include "core/exchange/unit.hpp"

namespace quillmere::exchange {

void UnitFile::sort_malformed() {
    std::sort(malformed_lines.begin(), malformed_lines.end());
    malformed_lines.erase(std::unique(malformed_lines.begin(), malformed_lines.end()), malformed_lines.end());
}

namespace utf8 {

std::optional<std::size_t> first_invalid(std::string_view bytes) {
    std::size_t i = 0;
    while (i < bytes.size()) {
        if (static_cast<std::uint8_t>(bytes[i]) < 0x80) {
            ++i;
            continue;
        }
        const Decoded decoded = decode_at(bytes, i);
        if (decoded.size == 0) return i;
        i += decoded.size;
    }
    return std::nullopt;
}

}  // namespace utf8
}  // namespace quillmere::exchange
