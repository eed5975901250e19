#include "core/encoding/markers.hpp"

#include "core/encoding/hex.hpp"

namespace quillmere {
namespace {

void append_hex_bytes(std::u16string& out, std::span<const std::uint8_t> bytes) {
    for (std::uint8_t byte : bytes) append_hex_byte(out, byte);
}

void append_simple_marker(std::u16string& out, std::u16string_view word, std::span<const std::uint8_t> code) {
    out += u'{';
    out += word;
    append_hex_bytes(out, code);
    out += u'}';
}

}  // namespace

void append_end_marker(std::u16string& out, std::span<const std::uint8_t> code) {
    append_simple_marker(out, kEndWord, code);
}

void append_fill_marker(std::u16string& out, std::span<const std::uint8_t> code) {
    append_simple_marker(out, kFillWord, code);
}

void append_jump_marker(std::u16string& out, std::span<const std::uint8_t> code,
                        std::span<const std::uint8_t> parameters) {
    out += u'{';
    out += kJumpWord;
    append_hex_bytes(out, code);
    out += kFullWidthColon;
    append_hex_bytes(out, parameters);
    out += u'}';
}

std::u16string end_marker(std::span<const std::uint8_t> code) {
    std::u16string out;
    append_end_marker(out, code);
    return out;
}

std::u16string jump_marker(std::span<const std::uint8_t> code, std::span<const std::uint8_t> parameters) {
    std::u16string out;
    append_jump_marker(out, code, parameters);
    return out;
}

std::u16string fill_marker(std::span<const std::uint8_t> code) {
    std::u16string out;
    append_fill_marker(out, code);
    return out;
}

std::u16string tag_text(std::u16string_view value) {
    std::u16string out;
    out.reserve(value.size() + 2);
    out += u'{';
    out += value;
    out += u'}';
    return out;
}

}  // namespace quillmere
