#include "core/import/text_codes.hpp"

#include "core/encoding/hex.hpp"
#include "core/encoding/markers.hpp"

namespace quillmere {
namespace {

constexpr auto npos = std::u16string_view::npos;

// Hexadecimal digit pairs, each emitted as one byte; false (nothing emitted)
// when the digits are not pairs of hexadecimal digits.
template <class Emit>
bool emit_hex_pairs(std::u16string_view digits, Emit& emit) {
    if (digits.size() % 2 != 0 || !is_all_hex(digits)) return false;
    for (std::size_t i = 0; i < digits.size(); i += 2)
        emit(static_cast<std::uint8_t>(hex_digit_value(digits[i]) * 16 + hex_digit_value(digits[i + 1])));
    return true;
}

// The character at `i`, both halves of a surrogate pair (a UTF-8 file may
// hold characters beyond the BMP).
std::u16string_view character_at(std::u16string_view text, std::size_t i) {
    const bool pair = text[i] >= 0xD800 && text[i] <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
                      text[i + 1] <= 0xDFFF;
    return text.substr(i, pair ? 2 : 1);
}

bool is_code_digits(std::u16string_view digits) {
    return (digits.size() == 2 || digits.size() == 4) && is_all_hex(digits);
}

// `token` runs from "{" to "}", both included.
template <class Emit>
std::optional<EntryFailure> walk_token(std::u16string_view token, const ScriptTables& tables, CodeRange range,
                                       Emit& emit) {
    const std::u16string_view inside = token.substr(1, token.size() - 2);
    if (inside.starts_with(kEndWord)) {
        const std::u16string_view code = inside.substr(kEndWord.size());
        if (!is_code_digits(code)) return unprocessable();
        emit_hex_pairs(code, emit);
        return std::nullopt;
    }
    if (inside.starts_with(kJumpWord)) {
        const std::u16string_view body = inside.substr(kJumpWord.size());
        const std::size_t colon = body.find(kFullWidthColon);
        if (colon == npos) return unprocessable();
        const std::u16string_view code = body.substr(0, colon);
        const std::u16string_view parameters = body.substr(colon + 1);
        if (!is_code_digits(code) || parameters.size() % 2 != 0 || !is_all_hex(parameters)) return unprocessable();
        emit_hex_pairs(code, emit);
        emit_hex_pairs(parameters, emit);
        return std::nullopt;
    }
    if (auto code = tables.filters.single_code(token)) {
        emit(*code);
        return std::nullopt;
    }
    if (auto code = tables.filters.double_code(token, range)) {
        emit(static_cast<std::uint8_t>(*code >> 8));
        emit(static_cast<std::uint8_t>(*code & 0xFF));
        return std::nullopt;
    }
    if (tables.hex_bytes) {
        if (auto byte = read_hex_byte_marker(token)) {
            emit(*byte);
            return std::nullopt;
        }
    }
    return EntryFailure{EntryFault::missing_tag, std::u16string(token)};
}

// Calls emit(byte) for every byte of the text, in order, and stops at the
// first failure.
template <class Emit>
std::optional<EntryFailure> walk_text(std::u16string_view text, const ScriptTables& tables, CodeRange range,
                                      Emit& emit) {
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] == u'{') {
            const std::size_t close = text.find(u'}', i + 1);
            if (close == npos) return unprocessable();
            if (auto failure = walk_token(text.substr(i, close - i + 1), tables, range, emit)) return failure;
            i = close + 1;
            continue;
        }
        // Table values never reach across a token.
        std::size_t plain_end = text.find(u'{', i);
        if (plain_end == npos) plain_end = text.size();
        while (i < plain_end) {
            auto match = tables.reverse.match(text.substr(i, plain_end - i));
            if (!match) return EntryFailure{EntryFault::missing_character, std::u16string(character_at(text, i))};
            if (!match->code.usable()) return unprocessable();
            for (std::size_t k = 0; k < match->code.size; ++k) emit(match->code.bytes[k]);
            i += match->length;
        }
    }
    return std::nullopt;
}

}  // namespace

Expected<std::size_t, EntryFailure> textlen(std::u16string_view text, const ScriptTables& tables, CodeRange range) {
    std::size_t count = 0;
    auto emit = [&count](std::uint8_t) { ++count; };
    if (auto failure = walk_text(text, tables, range, emit)) return unexpected(std::move(*failure));
    return count;
}

std::optional<EntryFailure> text2code(std::u16string_view text, const ScriptTables& tables, CodeRange range,
                                      std::vector<std::uint8_t>& bytes) {
    bytes.clear();
    auto emit = [&bytes](std::uint8_t byte) { bytes.push_back(byte); };
    return walk_text(text, tables, range, emit);
}

Expected<std::vector<std::uint8_t>, EntryFailure> text2code(std::u16string_view text, const ScriptTables& tables,
                                                            CodeRange range) {
    std::vector<std::uint8_t> bytes;
    if (auto failure = text2code(text, tables, range, bytes)) return unexpected(std::move(*failure));
    return bytes;
}

}  // namespace quillmere
