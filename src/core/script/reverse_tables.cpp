#include "core/script/reverse_tables.hpp"

#include <algorithm>

#include "core/encoding/code_line.hpp"

namespace quillmere {

CodeBytes single_byte_key(std::u16string_view key) {
    CodeBytes code;
    auto value = single_byte_code(key);
    if (!value || *value > 0xFF) return code;
    code.bytes[0] = static_cast<std::uint8_t>(*value);
    code.size = 1;
    return code;
}

CodeBytes double_byte_key(std::u16string_view key) {
    CodeBytes code;
    auto pair = double_byte_code(key);
    if (!pair) return code;
    code.bytes = {pair->first, pair->second};
    code.size = 2;
    return code;
}

ReverseTables::ReverseTables(std::span<const TableLine> double_lines, std::span<const TableLine> single_lines)
    : group_of_(std::size_t{1} << 16, -1) {
    // Adding the single-byte lines first, each table in file order, gives
    // the priority among values of equal length.
    for (const TableLine& line : single_lines) add(line, single_byte_key(line.key));
    for (const TableLine& line : double_lines) add(line, double_byte_key(line.key));
    for (Group& group : groups_)
        std::stable_sort(group.longer.begin(), group.longer.end(),
                         [](const Longer& a, const Longer& b) { return a.value.size() > b.value.size(); });
}

void ReverseTables::add(const TableLine& line, CodeBytes code) {
    std::int32_t& index = group_of_[line.value.front()];
    if (index < 0) {
        index = static_cast<std::int32_t>(groups_.size());
        groups_.emplace_back();
        groups_.back().first = line.value.front();
    }
    Group& group = groups_[static_cast<std::size_t>(index)];
    if (line.value.size() == 1) {
        if (group.has_one) return;  // an earlier line already holds this character
        group.has_one = true;
        group.one = code;
    } else if (line.value.find(u'{') != std::u16string::npos) {
        // Plain text ends where a token begins: a value reaching across
        // "{" never matches, and `match` need not look for it.
        unmatched_.push_back(code);
    } else {
        group.longer.push_back({line.value, code});
    }
}

}  // namespace quillmere
