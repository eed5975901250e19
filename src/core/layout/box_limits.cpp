#include "core/layout/box_limits.hpp"

#include "core/script/token_walk.hpp"

namespace quillmere {
namespace {

bool is_low_surrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

class BoxWalk {
public:
    explicit BoxWalk(const BoxLimits& limits) : limits_(limits) {}

    void character(std::u16string_view value, CodeBytes code) {
        for (char16_t c : value)
            if (!is_low_surrogate(c)) ++chars_;
        if (limits_.widths) width_ += limits_.widths->width(code);
    }
    void new_line() {
        end_line();
        ++line_;
    }
    void new_box() {
        end_box();
        ++line_;
        box_start_ = line_;
    }
    std::optional<LimitBreach> finish() {
        end_box();
        return first_;
    }

private:
    void end_line() {
        if (limits_.max_chars && chars_ > *limits_.max_chars)
            note({LimitBreach::Kind::chars, line_, chars_, *limits_.max_chars});
        if (limits_.max_width && limits_.widths && width_ > *limits_.max_width)
            note({LimitBreach::Kind::pixels, line_, width_, *limits_.max_width});
        chars_ = 0;
        width_ = 0;
    }
    void end_box() {
        end_line();
        const auto lines = static_cast<std::int64_t>(line_ - box_start_ + 1);
        if (limits_.max_lines && lines > *limits_.max_lines)
            note({LimitBreach::Kind::lines, box_start_ + static_cast<std::size_t>(*limits_.max_lines), lines,
                  *limits_.max_lines});
    }
    void note(LimitBreach breach) {
        if (!first_ || breach.line < first_->line) first_ = breach;
    }

    const BoxLimits& limits_;
    std::size_t line_ = 1;
    std::size_t box_start_ = 1;
    std::int64_t chars_ = 0;
    std::int64_t width_ = 0;
    std::optional<LimitBreach> first_;
};

// The walk of an entry's text: line and page breaks, and each plain piece
// as the reverse tables read it.
struct LimitWalk {
    const ReverseTables& tables;
    const BoxLimits& limits;
    BoxWalk& boxes;

    bool token(std::u16string_view token) {
        if (!limits.line_break.empty() && token == limits.line_break)
            boxes.new_line();
        else if (!limits.page_break.empty() && token == limits.page_break)
            boxes.new_box();
        return true;
    }
    std::size_t plain(std::u16string_view text, std::size_t i) {
        auto match = tables.match(text.substr(i));
        const std::size_t length = match ? match->length : 1;
        boxes.character(text.substr(i, length), match ? match->code : CodeBytes{});
        return i + length;
    }
    void unclosed(std::u16string_view) {}
    void malformed() {}
};

}  // namespace

std::optional<LimitBreach> check_box_limits(std::u16string_view text, const ReverseTables& tables,
                                            const BoxLimits& limits) {
    if (!limits.any()) return std::nullopt;
    BoxWalk boxes(limits);
    LimitWalk walk{tables, limits, boxes};
    walk_tokens(text, walk);
    return boxes.finish();
}

}  // namespace quillmere
