#pragma once
// How the text of one entry fills the game's text boxes: lines cut by a
// line-break tag, boxes cut by a page-break tag, and the limits a box puts
// on characters per line, pixels per line and lines per box.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/script/reverse_tables.hpp"
#include "core/layout/code_widths.hpp"

namespace quillmere {

struct BoxLimits {
    std::u16string line_break;  // the whole token, "{" + TAG + "}"; empty: no line breaks
    std::u16string page_break;  // the same for the tag that starts a new box
    std::optional<std::int64_t> max_chars;  // per line: a character counts 1, a token 0
    std::optional<std::int64_t> max_lines;  // per box
    std::optional<std::int64_t> max_width;  // pixels per line, measured by `widths`
    const CodeWidths* widths = nullptr;

    bool any() const { return max_chars || max_lines || (max_width && widths); }
};

struct LimitBreach {
    enum class Kind { chars, lines, pixels } kind = Kind::chars;
    std::size_t line = 0;       // counted inside the entry from 1, across boxes
    std::int64_t measured = 0;  // characters or pixels of that line, or lines of its box
    std::int64_t limit = 0;
    friend bool operator==(const LimitBreach&, const LimitBreach&) = default;
};

// The breach on the earliest line, if any. For too many lines that line is
// the first one past the limit, and `measured` the lines of its box. The
// text is one that measures (every character in a table, every "{" closed);
// plain text is read as the reverse tables read it, so a value of several
// characters counts each character and the one width of its code.
std::optional<LimitBreach> check_box_limits(std::u16string_view text, const ReverseTables& tables,
                                            const BoxLimits& limits);

}  // namespace quillmere
