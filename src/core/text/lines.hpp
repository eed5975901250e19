#pragma once
// Line reading: a line ends at CR LF or at a lone CR; a lone LF stays inside
// the line; the last line needs no line end.

#include <string>
#include <string_view>
#include <vector>

namespace quillmere::text {

inline constexpr std::u16string_view kLineEnd = u"\r\n";

// Calls on_line(std::u16string_view) for every line in order.
template <class OnLine>
void for_each_line(std::u16string_view text, OnLine&& on_line) {
    std::size_t start = 0;
    const std::size_t size = text.size();
    while (start < size) {
        std::size_t cr = text.find(u'\r', start);
        if (cr == std::u16string_view::npos) {
            on_line(text.substr(start));
            return;
        }
        on_line(text.substr(start, cr - start));
        start = cr + 1;
        if (start < size && text[start] == u'\n') ++start;
    }
}

std::vector<std::u16string> split_lines(std::u16string_view text);

}  // namespace quillmere::text
