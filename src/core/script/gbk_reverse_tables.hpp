#pragma once
// The code tables read backwards for a script kept as code page 936 bytes:
// the values of ReverseTables, each written in code page 936 and tried in the
// same order, keyed by the code of their first character. A value that a
// script's bytes cannot decode to, and one holding "{", never match plain
// text; both are left out.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/script/reverse_tables.hpp"
#include "core/script/token_walk.hpp"

namespace quillmere {

class GbkReverseTables {
public:
    explicit GbkReverseTables(const ReverseTables& tables);

    struct Match {
        std::size_t length = 0;  // bytes of `plain` the value covers
        CodeBytes code;
    };

    // The code of a character whose only value is the character alone;
    // none (size 0) for any other, which `match` then reads.
    CodeBytes alone(std::uint16_t first) const {
        const Slot& slot = slots_[first];
        return slot.kind == Slot::one_value ? slot.code : CodeBytes{};
    }

    // The value that covers the start of `plain`, whose first character has
    // the code `first` (a byte, or a lead byte and the byte after it) and
    // takes `width` bytes.
    std::optional<Match> match(std::string_view plain, std::uint16_t first, std::size_t width) const {
        const Slot& slot = slots_[first];
        if (slot.kind == Slot::one_value) return Match{width, slot.code};
        if (slot.kind == Slot::none) return std::nullopt;
        const Group& group = groups_[slot.group];
        for (const Longer& candidate : group.longer)
            if (plain.starts_with(candidate.value)) return Match{candidate.value.size(), candidate.code};
        if (group.has_one) return Match{width, group.one};
        return std::nullopt;
    }

private:
    struct Longer {
        std::string value;
        CodeBytes code;
    };
    struct Group {
        bool has_one = false;
        CodeBytes one;
        std::vector<Longer> longer;
    };
    // Most characters have one value, the character alone: that code is
    // kept in the slot itself.
    struct Slot {
        enum Kind : std::uint8_t { none, one_value, grouped };
        CodeBytes code;
        Kind kind = none;
        std::uint32_t group = 0;
    };

    Group& group_for(std::uint16_t first);

    std::vector<Slot> slots_;
    std::vector<Group> groups_;
};

}  // namespace quillmere
