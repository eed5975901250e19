#pragma once
// Pixel widths of the codes a text is written with, for games whose font is
// proportional: CODE "=" PIXELS lines, CODE hexadecimal as in the code
// tables, PIXELS decimal.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/expected.hpp"
#include "core/script/reverse_tables.hpp"

namespace quillmere {

struct WidthsFailure {
    enum class Kind {
        bad_line,      // `what`: the line (no "=", a CODE that is no code, PIXELS that are no number)
        missing_code,  // `what`: a code of the tables without a width, as it is written in a table
    } kind = Kind::bad_line;
    std::u16string what;
    friend bool operator==(const WidthsFailure&, const WidthsFailure&) = default;
};

class CodeWidths {
public:
    // The widths of the lines (empty lines skipped); `fallback`, when given,
    // is the width of every code no line names. Every code the tables can
    // write a text with must have a width: the lowest one that has none is
    // the failure.
    static Expected<CodeWidths, WidthsFailure> parse(std::span<const std::u16string> lines,
                                                     std::optional<std::int64_t> fallback,
                                                     const ReverseTables& tables);

    std::int64_t width(CodeBytes code) const;

private:
    static constexpr std::int32_t kNone = -1;
    static std::size_t index_of(CodeBytes code);

    std::vector<std::int32_t> widths_;  // by code value, kNone when none was given
    std::int64_t fallback_ = 0;
};

}  // namespace quillmere
