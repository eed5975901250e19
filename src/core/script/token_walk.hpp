#pragma once
// The one walk over an entry's text, shared by everything that reads a
// script (measuring and encoding, the box limits, the character counts):
// "{" opens a token that runs to the next "}"; everything else is plain
// text, read by the caller one piece at a time (a character, or a table
// value of several characters).
//
// The text is characters, or the code page 936 bytes of a script file as
// they stand. In bytes "{" and "}" are also second bytes of two-byte codes,
// so the walk steps over every two-byte code whole; a plain piece the caller
// reads must end on a character boundary too.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace quillmere {

inline bool is_gbk_lead(std::uint8_t byte) { return byte >= 0x81 && byte <= 0xFE; }
inline bool is_gbk_trail(std::uint8_t byte) { return byte >= 0x40 && byte <= 0xFE && byte != 0x7F; }

inline constexpr std::size_t kWalkEnds = std::u16string_view::npos;

// Where the token opened before `from` closes: the position of its "}", or
// kWalkEnds. `malformed` is set when a two-byte code is cut short first.
inline std::size_t token_close(std::u16string_view text, std::size_t from, bool&) { return text.find(u'}', from); }

inline std::size_t token_close(std::string_view text, std::size_t from, bool& malformed) {
    const auto* const bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    const std::size_t size = text.size();
    std::size_t i = from;
    for (;;) {
        // Eight bytes at a time while none is "}" or a byte of 80 or above
        // (tags and markers are mostly ASCII).
        while (i + 8 <= size) {
            std::uint64_t eight;
            std::memcpy(&eight, bytes + i, 8);
            constexpr std::uint64_t kOnes = 0x0101010101010101ull, kHigh = 0x8080808080808080ull;
            const std::uint64_t braces = eight ^ (kOnes * '}');
            if (((braces - kOnes) & ~braces & kHigh) != 0 || (eight & kHigh) != 0) break;
            i += 8;
        }
        // Then byte by byte through the eight that stopped it.
        const std::size_t stop = std::min(size, i + 8);
        while (i < stop) {
            const std::uint8_t byte = bytes[i];
            if (byte == '}') return i;
            if (!is_gbk_lead(byte)) {
                ++i;
                continue;
            }
            if (i + 1 >= size || !is_gbk_trail(bytes[i + 1])) {
                malformed = true;
                return kWalkEnds;
            }
            i += 2;
        }
        if (i >= size) return kWalkEnds;
    }
}

// Walks `text` in order, calling on `visitor`:
//   bool token(View token)          a whole token, "{" to "}"; false ends the walk
//   std::size_t plain(View text, std::size_t at)
//                                   reads the plain text at `at` (never "{");
//                                   returns where the next piece starts, or
//                                   kWalkEnds to end the walk
//   void unclosed(View rest)        a "{" no "}" closes; the walk ends
//   void malformed()                bytes only: a two-byte code cut short
//                                   inside a token; the walk ends
// and, when the visitor has it,
//   std::size_t quick_token(View text, std::size_t at)
//                                   reads the token at `at` itself when it
//                                   can tell it at a glance: where the next
//                                   piece starts, or 0 to leave the token to
//                                   the walk
template <class Char, class Visitor>
void walk_tokens(std::basic_string_view<Char> text, Visitor& visitor) {
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] == Char('{')) {
            if constexpr (requires { visitor.quick_token(text, i); }) {
                if (const std::size_t next = visitor.quick_token(text, i); next != 0) {
                    i = next;
                    continue;
                }
            }
            bool malformed = false;
            const std::size_t close = token_close(text, i + 1, malformed);
            if (malformed) return visitor.malformed();
            if (close == kWalkEnds) return visitor.unclosed(text.substr(i));
            if (!visitor.token(text.substr(i, close - i + 1))) return;
            i = close + 1;
            continue;
        }
        i = visitor.plain(text, i);
        if (i == kWalkEnds) return;
    }
}

}  // namespace quillmere
