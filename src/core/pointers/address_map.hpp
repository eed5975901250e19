#pragma once
// How a console sees the ROM: the address a pointer holds (its value minus
// the base) turned into a file offset, and back.
//
//   linear   the address is the offset.
//   lorom    SNES LoROM: bank B, address A (8000-FFFF) is offset
//            (B & 7F) * 8000 + A - 8000; banks 7E-7F are RAM.
//   hirom    SNES HiROM: offset = address & 3FFFFF; in banks 00-3F and 80-BF
//            only 8000-FFFF is ROM; banks 7E-7F are RAM.
//   gb:N     Game Boy: 0000-3FFF is bank 0 (offset = address), 4000-7FFF is
//            bank N (offset = N * 4000 + address - 4000).
//   nes:N    NES, 16 KiB banks after a 16-byte header: 8000-BFFF is bank N
//            (offset = 10 + N * 4000 + address - 8000), C000-FFFF the last
//            bank (the fixed bank of most boards, the second half of a 32 KiB
//            one); the header's PRG size tells which bank is last.
// Bank numbers are hexadecimal.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace quillmere {

enum class MapKind : std::uint8_t { linear, lorom, hirom, gb, nes };

struct AddressMap {
    MapKind kind = MapKind::linear;
    std::uint32_t bank = 0;  // gb and nes only
    friend bool operator==(const AddressMap&, const AddressMap&) = default;
};

// What a mapping needs to know of the ROM.
struct RomShape {
    std::uint64_t size = 0;
    std::uint32_t nes_banks = 1;  // 16 KiB PRG banks: the iNES header's count, else what the file holds

    static RomShape of(std::span<const std::uint8_t> rom);
};

// "linear", "lorom", "hirom", "gb:N", "nes:N" (either case).
std::optional<AddressMap> parse_address_map(std::u16string_view text);
std::u16string address_map_text(const AddressMap& map);

// The file offset of a console address, or nothing when the address is no
// ROM in that mapping. The offset may still lie past the end of the file.
std::optional<std::uint64_t> offset_of(const AddressMap& map, std::uint64_t address, const RomShape& shape);

// The console addresses that reach `offset`, the one in the same region as
// `near` first (a moved string keeps the mirror or window its pointer
// used). Up to four; `count` of them are set.
struct Addresses {
    std::uint64_t at[4] = {};
    std::size_t count = 0;
};
Addresses addresses_of(const AddressMap& map, std::uint64_t offset, std::uint64_t near, const RomShape& shape);

// One past the last offset that the console sees in one piece with
// `offset` (the end of its bank); a string must not cross it.
std::uint64_t window_end(const AddressMap& map, std::uint64_t offset, const RomShape& shape);

}  // namespace quillmere
