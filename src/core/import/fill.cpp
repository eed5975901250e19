#include "core/import/fill.hpp"

#include "core/encoding/hex.hpp"

namespace quillmere {

Expected<Fill, FillNotHexadecimal> fill_for(std::u16string_view fill_value, std::int64_t shortfall) {
    Fill fill;
    if (shortfall <= 0) return fill;
    const auto missing = static_cast<std::uint64_t>(shortfall);
    if (fill_value.size() == 2) {
        fill.unit_size = 1;
        fill.units = missing;
    } else if (fill_value.size() == 4) {
        fill.unit_size = 2;
        fill.units = missing / 2;
    }
    if (fill.units == 0) return Fill{};
    if (!is_all_hex(fill_value)) return unexpected(FillNotHexadecimal{});
    for (std::size_t i = 0; i < fill.unit_size; ++i)
        fill.unit[i] = static_cast<std::uint8_t>(hex_digit_value(fill_value[2 * i]) * 16 +
                                                 hex_digit_value(fill_value[2 * i + 1]));
    return fill;
}

}  // namespace quillmere
