#pragma once
// Code tables read backwards: text -> the code that stands for it.
//
// Plain text is matched against the table values, the longest value first;
// at equal length the single-byte table wins, then the earlier line of its
// file. A character that only occurs inside longer values is not covered.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/encoding/code_table.hpp"

namespace quillmere {

// The bytes a table key stands for, in ROM order. A key that is not valid
// hexadecimal (or, in the single-byte table, above FF) has no bytes: a text
// that needs it cannot be encoded.
struct CodeBytes {
    std::array<std::uint8_t, 2> bytes{};
    std::uint8_t size = 0;
    bool usable() const { return size != 0; }
};

CodeBytes single_byte_key(std::u16string_view key);
CodeBytes double_byte_key(std::u16string_view key);

class ReverseTables {
public:
    // Either list may be empty (a table the ROM mode does not use).
    ReverseTables(std::span<const TableLine> double_lines, std::span<const TableLine> single_lines);

    struct Match {
        std::size_t length = 0;  // characters of `plain` the value covers
        CodeBytes code;
    };

    // The value that covers the start of `plain` (not empty, not "{"), or
    // nullopt when no value starts with its first character in a way that
    // fits. `plain` may run on past the plain text into tokens: no value
    // reaches across a "{".
    std::optional<Match> match(std::u16string_view plain) const {
        const std::int32_t group_index = group_of_[plain.front()];
        if (group_index < 0) return std::nullopt;
        const Group& group = groups_[static_cast<std::size_t>(group_index)];
        for (const Longer& candidate : group.longer)
            if (plain.starts_with(candidate.value)) return Match{candidate.value.size(), candidate.code};
        if (group.has_one) return Match{1, group.one};
        return std::nullopt;
    }

    // Calls f(code) for the code of every value a text can be matched
    // with; keys that give no bytes are left out.
    template <class F>
    void for_each_code(F&& f) const {
        for (const Group& group : groups_) {
            if (group.has_one && group.one.usable()) f(group.one);
            for (const Longer& longer : group.longer)
                if (longer.code.usable()) f(longer.code);
        }
        for (const CodeBytes& code : unmatched_)
            if (code.usable()) f(code);
    }

    // Calls f(value, code) for every value `match` can give, in the order
    // it tries them: for each first character, the longer values, then the
    // character alone.
    template <class F>
    void for_each_value(F&& f) const {
        for (const Group& group : groups_) {
            for (const Longer& longer : group.longer) f(std::u16string_view(longer.value), longer.code);
            if (group.has_one) f(std::u16string_view(&group.first, 1), group.one);
        }
    }

private:
    struct Longer {
        std::u16string value;
        CodeBytes code;
    };
    // All values that begin with one character.
    struct Group {
        char16_t first = 0;
        bool has_one = false;  // a value that is this character alone
        CodeBytes one;
        std::vector<Longer> longer;  // longest first, then in priority order
    };

    void add(const TableLine& line, CodeBytes code);

    std::vector<std::int32_t> group_of_;  // character -> index into groups_, or -1
    std::vector<Group> groups_;
    std::vector<CodeBytes> unmatched_;  // of values that reach across "{"
};

}  // namespace quillmere
