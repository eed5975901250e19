#pragma once
// Pointer lists: one pointer per line,
//   ADDRESS "," SIZE "," ORDER "," BASE [ "," MAP ] [ "," "-" ]
//
// ADDRESS is the hexadecimal file offset of the pointer, SIZE its byte count
// (2, 3 or 4), ORDER "LE" or "BE", BASE a hexadecimal number, "-" in front
// when negative. The pointer's target is its value minus BASE, an address
// that MAP (address_map.hpp; linear when left out) turns into a file
// offset. A pointer split over several tables names one place per byte,
// "LOW/HIGH" or "LOW/HIGH/BANK", in ORDER (LE: the first place holds the
// lowest byte). A last field "-" marks an entry to skip: a null or
// placeholder entry of a table. Blank lines and lines that begin with ";"
// are comments. Lines end at CR LF, LF or a lone CR.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/expected.hpp"
#include "core/pointers/address_map.hpp"

namespace quillmere {

enum class ByteOrder { little, big };

struct Pointer {
    std::uint32_t address = 0;  // file offset of the pointer's first byte (of the first place listed)
    std::uint8_t size = 4;      // 2, 3 or 4 bytes
    ByteOrder order = ByteOrder::little;
    std::int64_t base = 0;      // -FFFFFFFF to FFFFFFFF
    AddressMap map{};
    bool split = false;                     // the bytes lie at `places`, not one after the other
    std::array<std::uint32_t, 4> places{};  // split only: one place per byte, in the order listed
    bool skip = false;                      // a null entry: listed, never followed

    friend bool operator==(const Pointer&, const Pointer&) = default;
};

// The file offset of the pointer's byte `i` (0 = the first in its order).
inline std::uint32_t byte_place(const Pointer& pointer, std::size_t i) {
    return pointer.split ? pointer.places[i] : pointer.address + static_cast<std::uint32_t>(i);
}

// The first line that is not a pointer (1-based).
struct PointerListFailure {
    std::size_t line = 0;
    friend bool operator==(const PointerListFailure&, const PointerListFailure&) = default;
};

// The pointers in list order.
Expected<std::vector<Pointer>, PointerListFailure> parse_pointer_list(std::u16string_view text);

// One line of a list, without its line end: "1A0,4,LE,8000000"; the map only
// when it is not linear, "-" only for an entry to skip.
std::u16string pointer_line(const Pointer& pointer);
// The whole list, every line ended by CR LF.
std::u16string format_pointer_list(std::span<const Pointer> pointers);

// The fields as the list and the command line write them.
// Hexadecimal digits and nothing else, 0 to FFFFFFFF.
std::optional<std::uint32_t> parse_hex32(std::u16string_view text);
// The same with an optional "-" in front.
std::optional<std::int64_t> parse_signed_hex32(std::u16string_view text);
std::u16string signed_hex(std::int64_t value);
// Decimal digits and nothing else, 0 to FFFFFFFF.
std::optional<std::uint32_t> parse_decimal32(std::u16string_view text);
// 2, 3 or 4.
std::optional<std::uint8_t> parse_pointer_size(std::u16string_view text);
// "LE" or "BE", either case.
std::optional<ByteOrder> parse_byte_order(std::u16string_view text);

}  // namespace quillmere
