#include "core/encoding/code_line.hpp"

#include "core/encoding/hex.hpp"

namespace quillmere {

std::optional<CodeLine> split_code_line(std::u16string_view line) {
    std::size_t equals = line.find(u'=');
    if (equals == std::u16string_view::npos) return std::nullopt;
    return CodeLine{line.substr(0, equals), line.substr(equals + 1)};
}

std::optional<std::int32_t> single_byte_code(std::u16string_view code) { return hex2num(code); }

std::optional<std::pair<std::uint8_t, std::uint8_t>> double_byte_code(std::u16string_view code) {
    if (code.empty() || !is_all_hex(code)) return std::nullopt;
    auto byte_of = [](char16_t high, char16_t low) {
        return static_cast<std::uint8_t>(hex_digit_value(high) * 16 + hex_digit_value(low));
    };
    switch (code.size()) {
        case 1: return std::pair<std::uint8_t, std::uint8_t>{0, byte_of(u'0', code[0])};
        case 2: return std::pair<std::uint8_t, std::uint8_t>{0, byte_of(code[0], code[1])};
        case 3: return std::pair{byte_of(u'0', code[0]), byte_of(code[1], code[2])};
        default: return std::pair{byte_of(code[0], code[1]), byte_of(code[code.size() - 2], code.back())};
    }
}

}  // namespace quillmere
