#pragma once
// Code page 936 as three arrays, made at build time by make_gbk_tables from
// ICU's windows-936-2000 converter: each entry is exactly what the converter
// gives for that one code or character.

#include <cstddef>
#include <cstdint>

namespace quillmere::text::gbk_tables {

inline constexpr char16_t kNoCharacter = 0xFFFF;  // no code of code page 936 decodes to it
inline constexpr std::uint16_t kNoCode = 0xFFFF;  // FF is no lead byte: no code is FFFF

inline constexpr unsigned kFirstLead = 0x81, kLastLead = 0xFE;
inline constexpr unsigned kFirstTrail = 0x40, kLastTrail = 0xFE;
inline constexpr std::size_t kTrailCount = kLastTrail - kFirstTrail + 1;

// The character of each byte; kNoCharacter for the lead bytes 81-FE.
extern const char16_t single[256];
// The character of each pair, lead 81-FE, trail 40-FE, row by lead byte.
extern const char16_t pairs[(kLastLead - kFirstLead + 1) * kTrailCount];
// The code of each BMP character: a byte (00-FF), or a pair with its lead
// byte in the high half. kNoCode for a surrogate and any character without one.
extern const std::uint16_t codes[65536];

}  // namespace quillmere::text::gbk_tables
