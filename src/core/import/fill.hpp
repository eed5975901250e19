#pragma once
// Filling an entry that became shorter than its original length with the
// fill value (Text14): two hex digits fill byte by byte, four digits fill in
// pairs (an odd last byte is left as it was), any other length fills
// nothing.

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "core/expected.hpp"

namespace quillmere {

struct Fill {
    std::array<std::uint8_t, 2> unit{};
    std::uint8_t unit_size = 0;
    std::uint64_t units = 0;

    std::uint64_t byte_count() const { return units * unit_size; }
    template <class Bytes>
    void append_to(Bytes& bytes) const {
        for (std::uint64_t i = 0; i < units; ++i) bytes.insert(bytes.end(), unit.begin(), unit.begin() + unit_size);
    }
};

// The fill value is not hexadecimal, though fill units are needed.
struct FillNotHexadecimal {};

// The fill for `shortfall` missing bytes. Fails when fill units are needed
// and the fill value is not hexadecimal, as the fill marker made of it would.
[[nodiscard]] Expected<Fill, FillNotHexadecimal> fill_for(std::u16string_view fill_value, std::int64_t shortfall);

}  // namespace quillmere
