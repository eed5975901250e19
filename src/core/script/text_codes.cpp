#include "core/script/text_codes.hpp"

#include <array>
#include <bit>
#include <cstring>

#include "core/encoding/hex.hpp"
#include "core/encoding/markers.hpp"
#include "core/script/code_sink.hpp"
#include "core/script/token_walk.hpp"
#include "core/text/gbk.hpp"

namespace quillmere {
namespace {

constexpr auto npos = std::u16string_view::npos;

using code_sink::Sink;

// Hexadecimal digit pairs, each emitted as one byte; false (nothing emitted)
// when the digits are not pairs of hexadecimal digits.
template <class Out>
bool emit_hex_pairs(std::u16string_view digits, Out& out) {
    if (digits.size() % 2 != 0 || !is_all_hex(digits)) return false;
    for (std::size_t i = 0; i < digits.size(); i += 2)
        out.byte(static_cast<std::uint8_t>(hex_digit_value(digits[i]) * 16 + hex_digit_value(digits[i + 1])));
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
template <class Out>
std::optional<EntryFailure> walk_token(std::u16string_view token, const ScriptTables& tables, TagRanges ranges,
                                       Out& out) {
    const std::u16string_view inside = token.substr(1, token.size() - 2);
    if (inside.starts_with(kEndWord)) {
        const std::u16string_view code = inside.substr(kEndWord.size());
        if (!is_code_digits(code)) return unprocessable();
        emit_hex_pairs(code, out);
        return std::nullopt;
    }
    if (inside.starts_with(kJumpWord)) {
        const std::u16string_view body = inside.substr(kJumpWord.size());
        const std::size_t colon = body.find(kFullWidthColon);
        if (colon == npos) return unprocessable();
        const std::u16string_view code = body.substr(0, colon);
        const std::u16string_view parameters = body.substr(colon + 1);
        if (!is_code_digits(code) || parameters.size() % 2 != 0 || !is_all_hex(parameters)) return unprocessable();
        emit_hex_pairs(code, out);
        emit_hex_pairs(parameters, out);
        return std::nullopt;
    }
    if (auto code = tables.filters.single_code(token)) {
        out.byte(*code);
        return std::nullopt;
    }
    // The byte of a "{$XX}" token, or -1.
    int hex_byte = -1;
    if (tables.hex_bytes)
        if (auto byte = read_hex_byte_marker(token)) hex_byte = *byte;
    if (auto code = tables.filters.double_code(token, ranges.code)) {
        out.code(CodeBytes{{static_cast<std::uint8_t>(*code >> 8), static_cast<std::uint8_t>(*code & 0xFF)}, 2});
        return std::nullopt;
    }
    // Counted as a tag of the wider range, written as the code range has it.
    if (tables.filters.double_code(token, ranges.measure)) {
        out.measured_only(2);
        if (hex_byte >= 0)
            out.encoded_only(static_cast<std::uint8_t>(hex_byte));
        else
            out.encoding_fails(EntryFailure{EntryFault::missing_tag, std::u16string(token)});
        return std::nullopt;
    }
    if (hex_byte >= 0) {
        out.byte(static_cast<std::uint8_t>(hex_byte));
        return std::nullopt;
    }
    return EntryFailure{EntryFault::missing_tag, std::u16string(token)};
}

// What a walk keeps of its end: the first failure, if any.
struct FailingWalk {
    std::optional<EntryFailure> failure;

    std::size_t fail(EntryFailure why) {
        failure = std::move(why);
        return kWalkEnds;
    }
};

// Walks `text` with `walk`, which holds the tables, the ranges and the sink.
template <class Text, class Walk>
std::optional<EntryFailure> walked(Text text, Walk walk) {
    walk_tokens(text, walk);
    return std::move(walk.failure);
}

// The walk over a text of characters.
template <class Out>
struct TextWalk : FailingWalk {
    const ScriptTables& tables;
    TagRanges ranges;
    Out& out;

    bool token(std::u16string_view token) {
        failure = walk_token(token, tables, ranges, out);
        return !failure;
    }
    std::size_t plain(std::u16string_view text, std::size_t i) {
        auto match = tables.reverse.match(text.substr(i));
        if (!match) return fail(EntryFailure{EntryFault::missing_character, std::u16string(character_at(text, i))});
        if (!match->code.usable()) return fail(unprocessable());
        out.code(match->code);
        return i + match->length;
    }
    void unclosed(std::u16string_view) { failure = unprocessable(); }
    void malformed() {}
};

template <class Out>
std::optional<EntryFailure> walk_text(std::u16string_view text, const ScriptTables& tables, TagRanges ranges,
                                      Out& out) {
    return walked(text, TextWalk<Out>{{}, tables, ranges, out});
}

// The same walk over code page 936 bytes. "{" and "}" are also second bytes
// of two-byte codes, so the text is walked a character at a time. Whatever
// the walk reads is checked to be well-formed: otherwise the decoder's
// substitutes decide, and the caller walks the decoded text.
constexpr EntryFailure not_code_page_936() { return {EntryFault::not_code_page_936, {}}; }

// The decoded text of a piece of the script into `text`; false when it is
// not well-formed.
bool decode_piece(std::string_view bytes, std::u16string& text) {
    text.clear();
    for (std::size_t i = 0; i < bytes.size();) {
        std::uint16_t code = static_cast<std::uint8_t>(bytes[i]);
        if (is_gbk_lead(static_cast<std::uint8_t>(code))) {
            if (i + 1 >= bytes.size()) return false;
            code = static_cast<std::uint16_t>(code << 8 | static_cast<std::uint8_t>(bytes[i + 1]));
            i += 2;
        } else {
            ++i;
        }
        const auto character = text::decode_gbk_code(code);
        if (!character) return false;
        text.push_back(*character);
    }
    return true;
}

int ascii_hex_value(std::uint8_t byte) { return kHexByteValues[byte]; }

bool is_ascii_hex(std::string_view digits) {
    for (char digit : digits)
        if (ascii_hex_value(static_cast<std::uint8_t>(digit)) < 0) return false;
    return true;
}

template <class Out>
void emit_ascii_hex_pairs(std::string_view digits, Out& out) {
    for (std::size_t i = 0; i < digits.size(); i += 2)
        out.byte(static_cast<std::uint8_t>(ascii_hex_value(static_cast<std::uint8_t>(digits[i])) * 16 +
                                           ascii_hex_value(static_cast<std::uint8_t>(digits[i + 1]))));
}

enum class TokenRead { done, unprocessable, by_text };

// A token read from its bytes where that surely gives what its decoded text
// gives: a marker (whose digits are plain ASCII either way), or a tag of the
// filter lists found by its bytes with a code to write. Anything else is
// read as text.
template <class Out>
TokenRead read_token_bytes(std::string_view token, const GbkScriptTables& tables, TagRanges ranges, Out& out) {
    const std::string_view inside = token.substr(1, token.size() - 2);
    // The first byte tells a marker from nearly every tag at once.
    const char first = inside.empty() ? '\0' : inside[0];
    if (first == tables.end_word[0] && inside.starts_with(tables.end_word)) {
        const std::string_view code = inside.substr(tables.end_word.size());
        if ((code.size() != 2 && code.size() != 4) || !is_ascii_hex(code)) return TokenRead::unprocessable;
        emit_ascii_hex_pairs(code, out);
        return TokenRead::done;
    }
    if (first == tables.jump_word[0] && inside.starts_with(tables.jump_word)) {
        // Code digits, the colon, parameter digits: the colon is the first
        // byte that is no digit.
        const std::string_view body = inside.substr(tables.jump_word.size());
        std::size_t colon = 0;
        while (colon < body.size() && ascii_hex_value(static_cast<std::uint8_t>(body[colon])) >= 0) ++colon;
        const std::string_view parameters = body.substr(std::min(body.size(), colon + tables.colon.size()));
        if ((colon != 2 && colon != 4) || body.substr(colon, tables.colon.size()) != tables.colon ||
            parameters.size() % 2 != 0 || !is_ascii_hex(parameters))
            return TokenRead::unprocessable;
        emit_ascii_hex_pairs(body.substr(0, colon), out);
        emit_ascii_hex_pairs(parameters, out);
        return TokenRead::done;
    }
    const FilterLookup::TagCodes* found = tables.tags.find(token);
    if (!found) return TokenRead::by_text;
    if (found->single) {
        out.byte(*found->single);
        return TokenRead::done;
    }
    if (auto code = found->double_in(ranges.code)) {
        out.code(CodeBytes{{static_cast<std::uint8_t>(*code >> 8), static_cast<std::uint8_t>(*code & 0xFF)}, 2});
        return TokenRead::done;
    }
    return TokenRead::by_text;
}

// The walk over code page 936 bytes.
template <class Out>
struct ByteWalk : FailingWalk {
    const GbkScriptTables& tables;
    TagRanges ranges;
    Out& out;

    // The markers the export writes into every record, read in one pass:
    // "{" + word + two or four digits + "}", or for a jump code the digits,
    // the colon and an even number of digits. Anything else in them is
    // left to the walk, which reads it as always.
    std::size_t quick_token(std::string_view text, std::size_t at) {
        const auto* const bytes = reinterpret_cast<const std::uint8_t*>(text.data());
        const std::size_t size = text.size();
        const std::string_view rest = text.substr(at + 1);
        // The first byte tells a marker from nearly every tag at once.
        if (rest.empty() || (rest[0] != tables.end_word[0] && rest[0] != tables.jump_word[0])) return 0;
        const bool end = rest.starts_with(tables.end_word);
        if (!end && !rest.starts_with(tables.jump_word)) return 0;
        std::size_t i = at + 1 + (end ? tables.end_word.size() : tables.jump_word.size());
        const std::size_t code_start = i;
        while (i < size && kHexByteValues[bytes[i]] >= 0) ++i;
        const std::size_t code_digits = i - code_start;
        if (code_digits != 2 && code_digits != 4) return 0;
        std::size_t parameters_start = i, parameter_digits = 0;
        if (!end) {
            if (text.substr(i, tables.colon.size()) != tables.colon) return 0;
            i += tables.colon.size();
            parameters_start = i;
            while (i < size && kHexByteValues[bytes[i]] >= 0) ++i;
            parameter_digits = i - parameters_start;
            if (parameter_digits % 2 != 0) return 0;
        }
        if (i >= size || bytes[i] != '}') return 0;
        emit_ascii_hex_pairs(text.substr(code_start, code_digits), out);
        emit_ascii_hex_pairs(text.substr(parameters_start, parameter_digits), out);
        return i + 1;
    }

    bool token(std::string_view token) {
        const TokenRead read = read_token_bytes(token, tables, ranges, out);
        if (read == TokenRead::unprocessable) {
            failure = unprocessable();
        } else if (read == TokenRead::by_text) {
            if (!decode_piece(token, tables.token))
                failure = not_code_page_936();
            else
                failure = walk_token(tables.token, tables.tables, ranges, out);
        }
        return !failure;
    }
    std::size_t plain(std::string_view text, std::size_t i) {
        const auto* const bytes = reinterpret_cast<const std::uint8_t*>(text.data());
        const std::size_t size = text.size();
        const std::uint32_t* const by_two = tables.reverse.by_two_bytes();
        for (;;) {
            // Nearly every character has one value, itself alone: a run of
            // them in a tight loop, one table read each, up to a token or
            // anything else. The last byte is left to the loop below, as no
            // byte follows it.
            const std::uint8_t* at = bytes + i;
            out.run_of_characters(by_two, at, bytes + size - 1);
            i = static_cast<std::size_t>(at - bytes);
            if (i >= size) return i;
            if (bytes[i] == '{') return i;
            const std::size_t next = one_piece(text, i);
            if (next == kWalkEnds) return next;
            i = next;
        }
    }
    // A piece that is no character alone: a longer value, or a failure.
    std::size_t one_piece(std::string_view text, std::size_t i) {
        const auto* const bytes = reinterpret_cast<const std::uint8_t*>(text.data());
        const std::uint8_t byte = bytes[i];
        std::uint16_t first = byte;
        std::size_t width = 1;
        if (is_gbk_lead(byte)) {
            if (i + 1 >= text.size()) return fail(not_code_page_936());
            first = static_cast<std::uint16_t>(byte << 8 | bytes[i + 1]);
            width = 2;
        }
        auto match = tables.reverse.match(text.substr(i), first, width);
        if (!match) {
            std::u16string character;
            if (!decode_piece(text.substr(i, width), character)) return fail(not_code_page_936());
            return fail(EntryFailure{EntryFault::missing_character, std::move(character)});
        }
        if (!match->code.usable()) return fail(unprocessable());
        out.code(match->code);
        return i + match->length;
    }
    void unclosed(std::string_view) { failure = unprocessable(); }
    void malformed() { failure = not_code_page_936(); }
};

template <class Out>
std::optional<EntryFailure> walk_bytes(std::string_view text, const GbkScriptTables& tables, TagRanges ranges,
                                       Out& out) {
    return walked(text, ByteWalk<Out>{{}, tables, ranges, out});
}

template <class Text, class Tables, class Walk>
Expected<EntryCodes, EntryFailure> encode_with(Text text, const Tables& tables, TagRanges ranges,
                                               memory::ByteBuffer* bytes, Walk walk) {
    auto finish = [](auto& sink, std::optional<EntryFailure> failure) -> Expected<EntryCodes, EntryFailure> {
        if (failure) return unexpected(std::move(*failure));
        return EntryCodes{sink.count, std::move(sink.encoding_failure)};
    };
    if (!bytes) {
        Sink<false> sink;
        auto failure = walk(text, tables, ranges, sink);
        return finish(sink, std::move(failure));
    }
    bytes->resize(text.size() * 2);
    Sink<true> sink;
    sink.out = bytes->data();
    auto failure = walk(text, tables, ranges, sink);
    bytes->resize(static_cast<std::size_t>(sink.out - bytes->data()));
    return finish(sink, std::move(failure));
}

}  // namespace

Expected<EntryCodes, EntryFailure> encode_entry(std::u16string_view text, const ScriptTables& tables, TagRanges ranges,
                                                memory::ByteBuffer* bytes) {
    return encode_with(text, tables, ranges, bytes,
                       [](auto t, const auto& tb, TagRanges r, auto& sink) { return walk_text(t, tb, r, sink); });
}

Expected<EntryCodes, EntryFailure> encode_entry(std::string_view text, const GbkScriptTables& tables,
                                                TagRanges ranges, memory::ByteBuffer* bytes) {
    return encode_with(text, tables, ranges, bytes,
                       [](auto t, const auto& tb, TagRanges r, auto& sink) { return walk_bytes(t, tb, r, sink); });
}

Expected<std::size_t, EntryFailure> textlen(std::u16string_view text, const ScriptTables& tables, CodeRange range) {
    auto codes = encode_entry(text, tables, TagRanges{range, range}, nullptr);
    if (!codes) return unexpected(std::move(codes.error()));
    return codes->count;
}

std::optional<EntryFailure> text2code(std::u16string_view text, const ScriptTables& tables, CodeRange range,
                                      std::vector<std::uint8_t>& bytes) {
    memory::ByteBuffer codes_bytes;
    auto codes = encode_entry(text, tables, TagRanges{range, range}, &codes_bytes);
    bytes.assign(codes_bytes.begin(), codes ? codes_bytes.end() : codes_bytes.begin());
    if (!codes) return std::move(codes.error());
    return std::nullopt;
}

Expected<std::vector<std::uint8_t>, EntryFailure> text2code(std::u16string_view text, const ScriptTables& tables,
                                                            CodeRange range) {
    std::vector<std::uint8_t> bytes;
    if (auto failure = text2code(text, tables, range, bytes)) return unexpected(std::move(*failure));
    return bytes;
}

}  // namespace quillmere
