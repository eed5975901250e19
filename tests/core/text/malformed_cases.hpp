#pragma once
// Ill-formed input of each kind, with what reading it gives: the text and
// how many bad sequences it holds. The codecs are held to this table, and
// on Linux so is ICU, whose converters the tool once used, so that the
// table is known to be theirs.

#include <cstddef>
#include <string>
#include <vector>

#include "core/text/gbk.hpp"

namespace quillmere::testing {

struct MalformedCase {
    const char* what;
    text::Encoding encoding;
    std::string bytes;
    std::u16string text;
    std::size_t bad_sequences;
};

inline std::vector<MalformedCase> malformed_cases() {
    using enum text::Encoding;
    return {
        // Code page 936: every byte is a character or a lead byte.
        {"lead byte at the end", gbk, "A\x81", u"A\uFFFD", 1},
        {"lead byte alone", gbk, "\xFE", u"\uFFFD", 1},
        {"a code, then a lead byte at the end", gbk, "\xB0\xA1\xB0", u"\u554A\uFFFD", 1},
        {"trail below the range", gbk, "\xA1\x30" "B", u"\uFFFD" u"0B", 1},
        {"trail 7F", gbk, "\x81\x7F", u"\uFFFD\x7F", 1},
        {"trail FF", gbk, "\x81\xFF", u"\uFFFD\uF8F5", 1},
        {"trail NUL", gbk, std::string("\xB0\x00", 2), std::u16string(u"\uFFFD\0", 2), 1},
        {"lead byte before a lead byte", gbk, "\x81\x81\x40", u"\u4E96\x40", 0},
        {"invalid trail, then a code", gbk, "\xB0\x0A\xB0\xA1", u"\uFFFD\n\u554A", 1},
        {"80 and FF are characters", gbk, "\x80\xFF", u"\u20AC\uF8F5", 0},
        {"many bad sequences", gbk, "\x81\x20\x82\x20\x83", u"\uFFFD \uFFFD \uFFFD", 3},
        // UTF-8: one U+FFFD for each maximal part that could have been well-formed.
        {"continuation byte alone", utf8, "\x80", u"\uFFFD", 1},
        {"FF", utf8, "\xFF", u"\uFFFD", 1},
        {"FE FF", utf8, "\xFE\xFF", u"\uFFFD\uFFFD", 2},
        {"overlong two bytes", utf8, "\xC0\xAF", u"\uFFFD\uFFFD", 2},
        {"overlong C1", utf8, "\xC1\xBF", u"\uFFFD\uFFFD", 2},
        {"overlong three bytes", utf8, "\xE0\x80\xAF", u"\uFFFD\uFFFD\uFFFD", 3},
        {"overlong four bytes", utf8, "\xF0\x80\x80\xAF", u"\uFFFD\uFFFD\uFFFD\uFFFD", 4},
        {"surrogate D800", utf8, "\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD", 3},
        {"surrogate pair", utf8, "\xED\xA0\xBD\xED\xB8\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD", 6},
        {"past U+10FFFF", utf8, "\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD", 4},
        {"F5 lead", utf8, "\xF5\x80", u"\uFFFD\uFFFD", 2},
        {"five-byte form", utf8, "\xF8\x88\x80\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD", 5},
        {"truncated two of three", utf8, "\xE5\x95", u"\uFFFD", 1},
        {"truncated three of four", utf8, "\xF0\x9F\x98", u"\uFFFD", 1},
        {"truncated, then ASCII", utf8, "\xF0\x9F\x98" "A", u"\uFFFDA", 1},
        {"truncated, then a lead", utf8, "\xE5\xE5\x95\x8A", u"\uFFFD\u554A", 1},
        {"lead after a lead", utf8, "\xC3\xC3\xA9", u"\uFFFD\u00E9", 1},
        {"bytes after an invalid lead", utf8, "\xC0\x80\x80" "x", u"\uFFFD\uFFFD\uFFFDx", 3},
        {"noncharacters are characters", utf8, "\xEF\xBF\xBE\xEF\xBF\xBF", u"\uFFFE\uFFFF", 0},
        {"last code point", utf8, "\xF4\x8F\xBF\xBF", u"\U0010FFFF", 0},
        {"byte-order mark inside", utf8, "a\xEF\xBB\xBF", u"a\uFEFF", 0},
    };
}

}  // namespace quillmere::testing
