#include "core/text/lines.hpp"

namespace quillmere::text {

std::vector<std::u16string> split_lines(std::u16string_view text) {
    std::vector<std::u16string> lines;
    for_each_line(text, [&](std::u16string_view line) { lines.emplace_back(line); });
    return lines;
}

}  // namespace quillmere::text
