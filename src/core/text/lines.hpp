#pragma once
// Line reading: a line ends at CR LF or at a lone CR; a lone LF stays inside
// the line; the last line needs no line end.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillmere::text {

inline constexpr std::u16string_view kLineEnd = u"\r\n";

// The lines of a text one at a time, without copying.
class LineReader {
public:
    explicit LineReader(std::u16string_view text) : text_(text) {}

    std::optional<std::u16string_view> next() {
        if (position_ >= text_.size()) return std::nullopt;
        const std::size_t cr = text_.find(u'\r', position_);
        const std::size_t end = cr == std::u16string_view::npos ? text_.size() : cr;
        const std::u16string_view line = text_.substr(position_, end - position_);
        position_ = end + 1;
        if (position_ < text_.size() && text_[position_] == u'\n') ++position_;
        return line;
    }

private:
    std::u16string_view text_;
    std::size_t position_ = 0;
};

// Calls on_line(std::u16string_view) for every line in order.
template <class OnLine>
void for_each_line(std::u16string_view text, OnLine&& on_line) {
    LineReader lines(text);
    while (auto line = lines.next()) on_line(*line);
}

std::vector<std::u16string> split_lines(std::u16string_view text);

}  // namespace quillmere::text
