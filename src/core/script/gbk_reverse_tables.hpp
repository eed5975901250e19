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

    // By the two bytes at a place of a script (the first in the low byte,
    // as a little-endian load of both gives them): when the character there
    // is its own only value, that value's
    // code as packed() packs it, and in bits 24-25 the bytes the character
    // takes (2 after a lead byte, else 1); 0 for anything else ("{", a
    // character `match` must read). One flat table of 256 KiB, read once
    // for nearly every character of a script.
    const std::uint32_t* by_two_bytes() const { return two_bytes_.data(); }

    // A code's bytes in bits 0-7 and 8-15, its size in bits 16-17.
    static std::uint32_t packed(CodeBytes code) {
        return std::uint32_t{code.size} << 16 | std::uint32_t{code.bytes[1]} << 8 | code.bytes[0];
    }
    static CodeBytes unpacked(std::uint32_t code) {
        return CodeBytes{{static_cast<std::uint8_t>(code), static_cast<std::uint8_t>(code >> 8)},
                         static_cast<std::uint8_t>(code >> 16)};
    }

    // The value that covers the start of `plain`, whose first character has
    // the code `first` (a byte, or a lead byte and the byte after it) and
    // takes `width` bytes.
    std::optional<Match> match(std::string_view plain, std::uint16_t first, std::size_t width) const {
        if (const std::uint32_t alone = alone_[first]; alone != 0) return Match{width, unpacked(alone)};
        const Slot& slot = slots_[first];
        if (slot.kind == Slot::none) return std::nullopt;
        // A value alone whose key is no code is not in alone_: its code is
        // returned for the caller to report.
        if (slot.kind == Slot::one_value) return Match{width, slot.code};
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
    std::vector<std::uint32_t> alone_;      // the codes of one_value slots, packed
    std::vector<std::uint32_t> two_bytes_;  // see by_two_bytes()
};

}  // namespace quillmere
