#include "core/charset/code_assignment.hpp"

#include <algorithm>
#include <map>
#include <unordered_map>
#include <unordered_set>

#include "core/encoding/code_line.hpp"
#include "core/text/gbk.hpp"
#include "core/text/lines.hpp"

namespace quillmere {
namespace {

constexpr std::size_t kCodeCount = 0x10000;

std::uint16_t code_of(std::pair<std::uint8_t, std::uint8_t> pair) {
    return static_cast<std::uint16_t>(pair.first << 8 | pair.second);
}

// The one character a value stands for, or nullopt for a longer value.
std::optional<char32_t> single_character(std::u16string_view value) {
    if (value.size() == 1) return value[0];
    if (value.size() == 2 && value[0] >= 0xD800 && value[0] <= 0xDBFF && value[1] >= 0xDC00 && value[1] <= 0xDFFF)
        return 0x10000 + ((char32_t{value[0]} - 0xD800) << 10) + (char32_t{value[1]} - 0xDC00);
    return std::nullopt;
}

// The characters in the order their new codes are given.
std::vector<const UsedCharacter*> in_order(const std::vector<const UsedCharacter*>& by_appearance,
                                           CharacterOrder order) {
    std::vector<const UsedCharacter*> sorted = by_appearance;
    if (order == CharacterOrder::frequency) {
        std::stable_sort(sorted.begin(), sorted.end(),
                         [](const UsedCharacter* a, const UsedCharacter* b) { return a->count > b->count; });
    } else if (order == CharacterOrder::gbk) {
        std::unordered_map<char32_t, text::Bytes> bytes;
        for (const UsedCharacter* used : sorted) {
            auto encoded = text::encode_gbk(utf16_of(used->character));
            bytes[used->character] = encoded ? std::move(*encoded) : text::Bytes{};
        }
        std::stable_sort(sorted.begin(), sorted.end(), [&](const UsedCharacter* a, const UsedCharacter* b) {
            return bytes[a->character] < bytes[b->character];
        });
    }
    return sorted;
}

// Four upper-case hexadecimal digits.
void append_code(std::u16string& out, std::uint16_t code) {
    constexpr std::u16string_view digits = u"0123456789ABCDEF";
    for (int shift = 12; shift >= 0; shift -= 4) out += digits[(code >> shift) & 0xF];
}

}  // namespace

bool CodeRules::trail_allows(std::uint8_t second) const {
    if (trail.empty()) return true;
    return std::any_of(trail.begin(), trail.end(),
                       [second](const ByteSpan& span) { return span.first <= second && second <= span.last; });
}

Expected<OldTable, EmptyValue> old_table(std::span<const std::u16string> lines) {
    struct Line {
        std::uint16_t code;
        std::u16string_view value;
    };
    std::vector<Line> stored;
    TableWalk walk = walk_table_lines(lines, [&](std::u16string_view code, std::u16string_view value) {
        auto pair = double_byte_code(code);
        if (!pair) return false;
        stored.push_back({code_of(*pair), value});
        return true;
    });
    if (walk.empty_value) return unexpected(EmptyValue{std::move(*walk.empty_value)});

    OldTable old;
    old.read_error = walk.read_error;
    std::map<std::uint16_t, std::size_t> last_line;  // code -> the line that holds it in the end
    for (std::size_t i = 0; i < stored.size(); ++i) last_line[stored[i].code] = i;
    for (const auto& [code, line] : last_line) old.codes.push_back(code);
    std::unordered_set<char32_t> seen;
    for (std::size_t i = 0; i < stored.size(); ++i) {
        if (last_line[stored[i].code] != i) continue;
        auto character = single_character(stored[i].value);
        if (character && seen.insert(*character).second) old.characters.push_back({*character, stored[i].code});
    }
    return old;
}

Expected<std::vector<std::uint16_t>, FilterFailure> filter_codes(std::span<const std::u16string> lines) {
    std::vector<std::uint16_t> codes;
    auto walked = walk_filter_lines(lines, [&](std::u16string_view text, const FilterEntry&) {
        auto pair = double_byte_code(text);
        if (!pair) return false;
        codes.push_back(code_of(*pair));
        return true;
    });
    if (!walked) return unexpected(walked.error());
    std::sort(codes.begin(), codes.end());
    codes.erase(std::unique(codes.begin(), codes.end()), codes.end());
    return codes;
}

Expected<NewTable, CodesExhausted> assign_codes(std::span<const UsedCharacter> characters, CharacterOrder order,
                                                const OldTable& old, std::span<const std::uint16_t> reserved,
                                                const CodeRules& rules) {
    std::unordered_map<char32_t, std::uint16_t> old_codes;
    for (const OldTable::Kept& kept : old.characters) old_codes.emplace(kept.character, kept.code);

    NewTable table;
    std::vector<const UsedCharacter*> fresh;
    for (const UsedCharacter& used : characters) {
        auto found = old_codes.find(used.character);
        if (found != old_codes.end())
            table.entries.push_back({found->second, used.character, true});
        else
            fresh.push_back(&used);
    }
    table.kept = table.entries.size();
    table.unused_old = old.characters.size() - table.kept;

    std::vector<bool> taken(kCodeCount, false);
    for (std::uint16_t code : old.codes) taken[code] = true;
    for (std::uint16_t code : reserved) taken[code] = true;
    for (const CodeSpan& span : rules.skip)
        for (std::uint32_t code = span.first; code <= span.last; ++code) taken[code] = true;

    std::uint32_t code = rules.start;
    std::size_t given = 0;
    for (const UsedCharacter* used : in_order(fresh, order)) {
        while (code < kCodeCount && (taken[code] || !rules.trail_allows(static_cast<std::uint8_t>(code & 0xFF))))
            ++code;
        if (code >= kCodeCount) return unexpected(CodesExhausted{fresh.size() - given});
        table.entries.push_back({static_cast<std::uint16_t>(code), used->character, false});
        ++code;
        ++given;
    }
    table.added = given;
    std::sort(table.entries.begin(), table.entries.end(),
              [](const TableEntry& a, const TableEntry& b) { return a.code < b.code; });
    return table;
}

std::vector<std::optional<char32_t>> sheet_cells(const NewTable& table, const CodeRules& rules) {
    std::vector<std::optional<char32_t>> cells;
    if (table.entries.empty() || table.entries.back().code < rules.start) return cells;
    auto entry = std::lower_bound(table.entries.begin(), table.entries.end(), rules.start,
                                  [](const TableEntry& e, std::uint32_t code) { return e.code < code; });
    for (std::uint32_t code = rules.start; code <= table.entries.back().code; ++code) {
        if (!rules.trail_allows(static_cast<std::uint8_t>(code & 0xFF))) continue;
        while (entry->code < code) ++entry;
        cells.push_back(entry->code == code ? std::optional<char32_t>(entry->character) : std::nullopt);
    }
    return cells;
}

std::vector<std::uint32_t> sheet_codes(const NewTable& table, const CodeRules& rules) {
    std::vector<std::uint32_t> codes;
    if (table.entries.empty() || table.entries.back().code < rules.start) return codes;
    for (std::uint32_t code = rules.start; code <= table.entries.back().code; ++code)
        if (rules.trail_allows(static_cast<std::uint8_t>(code & 0xFF))) codes.push_back(code);
    return codes;
}

std::u16string table_text(const NewTable& table) {
    std::u16string out;
    for (const TableEntry& entry : table.entries) {
        append_code(out, entry.code);
        out += u'=';
        out += utf16_of(entry.character);
        out += text::kLineEnd;
    }
    return out;
}

std::u16string added_characters_line(const NewTable& table) {
    std::u16string out;
    for (const TableEntry& entry : table.entries)
        if (!entry.kept) out += utf16_of(entry.character);
    out += text::kLineEnd;
    return out;
}

}  // namespace quillmere
