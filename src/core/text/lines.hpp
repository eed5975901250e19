#pragma once
// Line reading: a line ends at CR LF or at a lone CR; a lone LF stays inside
// the line; the last line needs no line end.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillmere::text {

inline constexpr std::u16string_view kLineEnd = u"\r\n";

// The lines of a text one at a time, without copying. Also reads code page
// 936 bytes as they stand: CR and LF are never part of a two-byte code.
template <class Char>
class BasicLineReader {
public:
    using View = std::basic_string_view<Char>;

    explicit BasicLineReader(View text) : text_(text) {}

    std::optional<View> next() {
        if (position_ >= text_.size()) return std::nullopt;
        const std::size_t cr = text_.find(Char('\r'), position_);
        const std::size_t end = cr == View::npos ? text_.size() : cr;
        const View line = text_.substr(position_, end - position_);
        position_ = end + 1;
        if (position_ < text_.size() && text_[position_] == Char('\n')) ++position_;
        return line;
    }

private:
    View text_;
    std::size_t position_ = 0;
};

using LineReader = BasicLineReader<char16_t>;

// Calls on_line(std::u16string_view) for every line in order.
template <class OnLine>
void for_each_line(std::u16string_view text, OnLine&& on_line) {
    LineReader lines(text);
    while (auto line = lines.next()) on_line(*line);
}

std::vector<std::u16string> split_lines(std::u16string_view text);

}  // namespace quillmere::text
