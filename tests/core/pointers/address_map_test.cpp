#include "core/pointers/address_map.hpp"

#include <gtest/gtest.h>

#include <vector>

namespace quillmere {
namespace {

// A ROM of `banks` 16 KiB NES banks behind an iNES header.
std::vector<std::uint8_t> nes_rom(std::uint8_t banks) {
    std::vector<std::uint8_t> rom(0x10 + banks * 0x4000u, 0);
    rom[0] = 'N';
    rom[1] = 'E';
    rom[2] = 'S';
    rom[3] = 0x1A;
    rom[4] = banks;
    return rom;
}

TEST(address_map_test, console_addresses_become_file_offsets_by_each_rule) {
    const RomShape big{0x400000, 8};
    struct Case {
        const char16_t* map;
        std::uint64_t address;
        std::optional<std::uint64_t> offset;
    };
    const Case cases[] = {
        {u"linear", 0x1234, 0x1234},
        {u"lorom", 0x808000, 0x0},         {u"lorom", 0x008000, 0x0},
        {u"lorom", 0x81FFFF, 0xFFFF},      {u"lorom", 0x028123, 0x10123},
        {u"lorom", 0xFE8000, 0x3F0000},    {u"lorom", 0x7E8000, std::nullopt},  // RAM
        {u"lorom", 0x807FFF, std::nullopt},  {u"lorom", 0x1808000, std::nullopt},
        {u"hirom", 0xC00000, 0x0},         {u"hirom", 0xC12345, 0x12345},
        {u"hirom", 0x400010, 0x10},        {u"hirom", 0x818000, 0x18000},
        {u"hirom", 0x008000, 0x8000},      {u"hirom", 0x000010, std::nullopt},  // the low half of bank 00
        {u"hirom", 0x7F0000, std::nullopt},
        {u"gb:5", 0x0123, 0x123},          {u"gb:5", 0x4000, 0x14000},
        {u"gb:5", 0x7FFF, 0x17FFF},        {u"gb:5", 0x8000, std::nullopt},
        {u"nes:2", 0x8000, 0x8010},        {u"nes:2", 0xBFFF, 0xC00F},
        {u"nes:2", 0xC000, 0x1C010},       {u"nes:2", 0xFFFF, 0x2000F},  // the last of 8 banks
        {u"nes:2", 0x7FFF, std::nullopt},  {u"nes:0", 0x10000, std::nullopt},
    };
    for (const Case& c : cases) {
        const auto map = parse_address_map(c.map);
        ASSERT_TRUE(map.has_value());
        EXPECT_EQ(offset_of(*map, c.address, big), c.offset) << std::hex << c.address;
    }
}

// Every offset the map reaches comes back from each address it gives, the
// one in the region of `near` first; a string never crosses a bank.
TEST(address_map_test, addresses_of_an_offset_lead_back_to_it) {
    struct Case {
        const char16_t* map;
        std::vector<std::uint8_t> rom;
        std::uint64_t near;
        std::uint64_t bank_size;
    };
    const Case cases[] = {
        {u"lorom", std::vector<std::uint8_t>(0x40000), 0x808000, 0x8000},
        {u"lorom", std::vector<std::uint8_t>(0x40000), 0x008000, 0x8000},
        {u"hirom", std::vector<std::uint8_t>(0x40000), 0xC00000, 0x10000},
        {u"hirom", std::vector<std::uint8_t>(0x40000), 0x808000, 0x10000},
        {u"gb:3", std::vector<std::uint8_t>(0x10000), 0x4000, 0x4000},
        {u"nes:1", nes_rom(4), 0x8000, 0x4000},
        {u"nes:1", nes_rom(4), 0xC000, 0x4000},
    };
    for (const Case& c : cases) {
        const AddressMap map = *parse_address_map(c.map);
        const RomShape shape = RomShape::of(c.rom);
        std::size_t reached = 0;
        for (std::uint64_t offset = 0; offset < c.rom.size(); offset += 0x1F3) {
            const Addresses addresses = addresses_of(map, offset, c.near, shape);
            for (std::size_t i = 0; i < addresses.count; ++i)
                EXPECT_EQ(offset_of(map, addresses.at[i], shape), offset) << std::hex << offset;
            if (addresses.count == 0) continue;
            ++reached;
            const std::uint64_t end = window_end(map, offset, shape);
            EXPECT_GT(end, offset);
            EXPECT_LE(end - offset, c.bank_size);
        }
        EXPECT_GT(reached, 0u);
    }
    // The region of `near` comes first.
    const RomShape shape{0x40000, 1};
    EXPECT_EQ(addresses_of({MapKind::lorom}, 0x10123, 0x008000, shape).at[0], 0x028123u);
    EXPECT_EQ(addresses_of({MapKind::lorom}, 0x10123, 0x808000, shape).at[0], 0x828123u);
    EXPECT_EQ(addresses_of({MapKind::hirom}, 0x18000, 0x800000, shape).at[0], 0x818000u);
    EXPECT_EQ(addresses_of({MapKind::hirom}, 0x18000, 0xC00000, shape).at[0], 0xC18000u);
    // Bank 1 of an NES ROM of 2 is both the switched and the last bank.
    const auto nes = nes_rom(2);
    const Addresses both = addresses_of({MapKind::nes, 1}, 0x4010, 0xC000, RomShape::of(nes));
    ASSERT_EQ(both.count, 2u);
    EXPECT_EQ(both.at[0], 0xC000u);
    EXPECT_EQ(both.at[1], 0x8000u);
}

TEST(address_map_test, names_and_rom_shapes) {
    EXPECT_EQ(parse_address_map(u"NES:1f"), (AddressMap{MapKind::nes, 0x1F}));
    EXPECT_EQ(address_map_text({MapKind::nes, 0x1F}), u"nes:1F");
    EXPECT_EQ(address_map_text(*parse_address_map(u"HiROM")), u"hirom");
    EXPECT_EQ(parse_address_map(u"gb:0"), (AddressMap{MapKind::gb, 0}));
    for (const char16_t* bad : {u"", u"gb", u"gb:", u"gb:x", u"nes:10000", u"snes", u"lorom:1", u"linear "})
        EXPECT_FALSE(parse_address_map(bad).has_value());
    EXPECT_EQ(RomShape::of(nes_rom(8)).nes_banks, 8u);
    EXPECT_EQ(RomShape::of(std::vector<std::uint8_t>(0x8010)).nes_banks, 2u);  // no header: what the file holds
    EXPECT_EQ(RomShape::of(std::vector<std::uint8_t>(0x10)).nes_banks, 1u);
}

}  // namespace
}  // namespace quillmere
