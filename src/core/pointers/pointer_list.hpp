#pragma once
// Pointer lists: one pointer per line, ADDRESS "," SIZE "," ORDER "," BASE.
//
// ADDRESS is the hexadecimal file offset of the pointer, SIZE its byte count
// (2, 3 or 4), ORDER "LE" or "BE", BASE a hexadecimal number. The pointer's
// target is its value minus BASE, a file offset. Blank lines and lines that
// begin with ";" are comments. Lines end at CR LF, LF or a lone CR.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/expected.hpp"

namespace quillmere {

enum class ByteOrder { little, big };

struct Pointer {
    std::uint32_t address = 0;  // file offset of the pointer's first byte
    std::uint8_t size = 4;      // 2, 3 or 4 bytes
    ByteOrder order = ByteOrder::little;
    std::uint32_t base = 0;

    friend bool operator==(const Pointer&, const Pointer&) = default;
};

// The first line that is not a pointer (1-based).
struct PointerListFailure {
    std::size_t line = 0;
    friend bool operator==(const PointerListFailure&, const PointerListFailure&) = default;
};

// The pointers in list order.
Expected<std::vector<Pointer>, PointerListFailure> parse_pointer_list(std::u16string_view text);

// One line of a list, without its line end: "1A0,4,LE,8000000".
std::u16string pointer_line(const Pointer& pointer);
// The whole list, every line ended by CR LF.
std::u16string format_pointer_list(std::span<const Pointer> pointers);

// The fields as the list and the command line write them.
// Hexadecimal digits and nothing else, 0 to FFFFFFFF.
std::optional<std::uint32_t> parse_hex32(std::u16string_view text);
// Decimal digits and nothing else, 0 to FFFFFFFF.
std::optional<std::uint32_t> parse_decimal32(std::u16string_view text);
// 2, 3 or 4.
std::optional<std::uint8_t> parse_pointer_size(std::u16string_view text);
// "LE" or "BE", either case.
std::optional<ByteOrder> parse_byte_order(std::u16string_view text);

}  // namespace quillmere
