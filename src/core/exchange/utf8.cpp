#include "core/exchange/utf8.hpp"

#include <algorithm>

#include "core/exchange/unit.hpp"

namespace quillmere::exchange {

void UnitFile::sort_malformed() {
    std::sort(malformed_lines.begin(), malformed_lines.end());
    malformed_lines.erase(std::unique(malformed_lines.begin(), malformed_lines.end()), malformed_lines.end());
}

namespace utf8 {

Decoded decode_at(std::string_view bytes, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<std::uint8_t>(bytes[i + k]); };
    const std::uint8_t lead = byte(0);
    if (lead < 0x80) return {lead, 1};
    std::size_t size = 0;
    char32_t c = 0, lowest = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        size = 2, c = lead & 0x1F, lowest = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        size = 3, c = lead & 0x0F, lowest = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        size = 4, c = lead & 0x07, lowest = 0x10000;
    } else {
        return {};
    }
    if (bytes.size() - i < size) return {};
    for (std::size_t k = 1; k < size; ++k) {
        if ((byte(k) & 0xC0) != 0x80) return {};
        c = (c << 6) | (byte(k) & 0x3F);
    }
    if (c < lowest || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return {};
    return {c, size};
}

bool append_decoded(std::u16string& out, std::string_view bytes) {
    const std::size_t old_size = out.size();
    std::size_t i = 0;
    while (i < bytes.size()) {
        // Runs of ASCII, the bulk of any tag, marker or key, unit by unit.
        const auto byte = static_cast<std::uint8_t>(bytes[i]);
        if (byte < 0x80) {
            out += static_cast<char16_t>(byte);
            ++i;
            continue;
        }
        const Decoded decoded = decode_at(bytes, i);
        if (decoded.size == 0) {
            out.resize(old_size);
            return false;
        }
        if (decoded.character < 0x10000) {
            out += static_cast<char16_t>(decoded.character);
        } else {
            const char32_t above = decoded.character - 0x10000;
            out += static_cast<char16_t>(0xD800 + (above >> 10));
            out += static_cast<char16_t>(0xDC00 + (above & 0x3FF));
        }
        i += decoded.size;
    }
    return true;
}

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
