#pragma once
// Control markers as they stand in the export text and the translation
// script. Every byte is two upper-case hexadecimal digits; a double-byte code
// is written first byte first.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace quillmere {

inline constexpr std::u16string_view kEndWord = u"结束符";
inline constexpr std::u16string_view kJumpWord = u"跳跃符";
inline constexpr std::u16string_view kFillWord = u"填充符";
inline constexpr char16_t kFullWidthColon = u'\uFF1A';  // "：", A3 BA in code page 936

// Markers written into a buffer of at least their length; each returns the
// end of what it wrote. End and fill markers share one length.
std::size_t end_marker_length(std::size_t code_bytes);
std::size_t jump_marker_length(std::size_t code_bytes, std::size_t parameter_bytes);
char16_t* write_end_marker(char16_t* out, std::span<const std::uint8_t> code);
char16_t* write_jump_marker(char16_t* out, std::span<const std::uint8_t> code,
                            std::span<const std::uint8_t> parameters);

// "{结束符" + CODEHEX + "}"
std::u16string end_marker(std::span<const std::uint8_t> code);
// "{跳跃符" + CODEHEX + "：" + PARAMHEX + "}"
std::u16string jump_marker(std::span<const std::uint8_t> code, std::span<const std::uint8_t> parameters);
// "{填充符" + CODEHEX + "}"
std::u16string fill_marker(std::span<const std::uint8_t> code);
// "{" + VALUE + "}"
std::u16string tag_text(std::u16string_view value);

// A byte that no table or filter reads, kept in a run as "{$" + HEX + "}"
// (two upper-case digits) when the export is asked to show such bytes.
inline constexpr std::size_t kHexByteMarkerLength = 5;
char16_t* write_hex_byte_marker(char16_t* out, std::uint8_t byte);
std::u16string hex_byte_marker(std::uint8_t byte);
// The byte of a token "{$XX}" (digits of either case), from "{" to "}".
std::optional<std::uint8_t> read_hex_byte_marker(std::u16string_view token);

}  // namespace quillmere
