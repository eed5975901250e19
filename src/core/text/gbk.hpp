#pragma once
// Conversion between code page 936 or UTF-8 bytes and characters. Every text file the
// tool reads or writes goes through here, and nowhere else.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/expected.hpp"

namespace quillmere::text {

using Bytes = std::vector<std::uint8_t>;

struct Decoded {
    std::u16string text;
    // Byte sequences that code page 936 does not define; each became U+FFFD.
    std::size_t bad_sequences = 0;
};

// A character that code page 936 cannot hold, and where it stands.
struct EncodeFailure {
    std::size_t index = 0;  // in UTF-16 code units
    char32_t character = 0;
    friend bool operator==(const EncodeFailure&, const EncodeFailure&) = default;
};

// How a text file is read and written: code page 936 (the tool's own
// files), or UTF-8 without a byte-order mark (files shared with other tools).
enum class Encoding { gbk, utf8 };

// Code page 936 goes by tables made from ICU's "windows-936-2000" converter
// when the tool is built, and gives exactly that converter's result, bad
// sequences and the first character without a code included; UTF-8 is
// decoded as the standard defines it, each ill-formed part one U+FFFD. No
// library is asked at run time.
Decoded decode_gbk(std::span<const std::uint8_t> bytes);
Decoded decode_utf8(std::span<const std::uint8_t> bytes);
Expected<Bytes, EncodeFailure> encode_gbk(std::u16string_view text);
// Fails only on a lone surrogate, which no character can stand for.
Expected<Bytes, EncodeFailure> encode_utf8(std::u16string_view text);
Expected<Bytes, EncodeFailure> encode(std::u16string_view text, Encoding encoding);

// One code of code page 936: a byte (00-FF), or a pair with its first byte in
// the high half (8140-FEFE).
// The character a code decodes to; nullopt for a lead byte alone and for a
// code the code page does not define.
std::optional<char16_t> decode_gbk_code(std::uint16_t code);
// The code a character encodes to; nullopt for a surrogate and for a
// character the code page cannot hold.
std::optional<std::uint16_t> encode_gbk_char(char16_t character);

// The code page 936 bytes of a text that decode back to exactly that text;
// nullopt when a character has no code or is written by a one-way mapping.
std::optional<Bytes> encode_gbk_round_trip(std::u16string_view text);

// Decodes a text file. Code page 936: unless it starts with the UTF-8
// byte-order mark, in which case it is UTF-8. UTF-8: always, with or without
// the mark. The mark is not part of the text.
Decoded decode_text_file(std::span<const std::uint8_t> bytes, Encoding encoding = Encoding::gbk);

// For the terminal and for tests: UTF-8 on the outside, UTF-16 inside.
std::string to_utf8(std::u16string_view text);
std::u16string from_utf8(std::string_view text);

}  // namespace quillmere::text
