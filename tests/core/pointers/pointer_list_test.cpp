#include "core/pointers/pointer_list.hpp"

#include <gtest/gtest.h>

#include "core/pointers/pointer_table.hpp"
#include "core/pointers/pointer_value.hpp"

namespace quillmere {
namespace {

TEST(pointer_list_test, lines_comments_and_line_ends) {
    auto list = parse_pointer_list(u"; the menu table\r\n1A0,4,LE,8000000\r\n\r\n  \n1a4 , 2 , be , 0\n;x\r200,3,LE,FFFFFFFF");
    ASSERT_TRUE(list.has_value());
    const std::vector<Pointer> expected = {{0x1A0, 4, ByteOrder::little, 0x8000000},
                                           {0x1A4, 2, ByteOrder::big, 0},
                                           {0x200, 3, ByteOrder::little, 0xFFFFFFFF}};
    EXPECT_EQ(*list, expected);
    EXPECT_EQ(format_pointer_list(*list), u"1A0,4,LE,8000000\r\n1A4,2,BE,0\r\n200,3,LE,FFFFFFFF\r\n");
    // What the list writes reads back the same.
    EXPECT_EQ(parse_pointer_list(format_pointer_list(*list)).value(), expected);
    EXPECT_TRUE(parse_pointer_list(u"").value().empty());
}

TEST(pointer_list_test, maps_negative_bases_split_places_and_entries_to_skip) {
    auto list = parse_pointer_list(u"10/20,2,LE,0\r\n10/20/30 , 3 , BE , -8000 , lorom , -\r\n1A0,2,le,-10\r\n"
                                   u"1A4,2,LE,0,NES:3\r\n1A8,2,LE,FFFFFFFF,-\r\n");
    ASSERT_TRUE(list.has_value());
    ASSERT_EQ(list->size(), 5u);
    const Pointer& split = (*list)[1];
    EXPECT_TRUE(split.split);
    EXPECT_EQ(split.address, 0x10u);
    EXPECT_EQ(byte_place(split, 2), 0x30u);
    EXPECT_EQ(split.base, -0x8000);
    EXPECT_EQ(split.map.kind, MapKind::lorom);
    EXPECT_TRUE(split.skip);
    EXPECT_EQ((*list)[2].base, -0x10);
    EXPECT_EQ((*list)[3].map, (AddressMap{MapKind::nes, 3}));
    EXPECT_TRUE((*list)[4].skip);
    EXPECT_FALSE((*list)[0].skip);
    EXPECT_EQ(byte_place((*list)[2], 1), 0x1A1u);
    EXPECT_EQ(format_pointer_list(*list), u"10/20,2,LE,0\r\n10/20/30,3,BE,-8000,lorom,-\r\n1A0,2,LE,-10\r\n"
                                          u"1A4,2,LE,0,nes:3\r\n1A8,2,LE,FFFFFFFF,-\r\n");
    EXPECT_EQ(parse_pointer_list(format_pointer_list(*list)).value(), *list);
}

TEST(pointer_list_test, a_bad_line_is_named_by_its_number) {
    const std::u16string bad_lines[] = {
        u"1A0,4,LE",            // a field missing
        u"1A0,4,LE,0,0",        // one too many
        u"1A0,5,LE,0",          // size
        u"1A0,1,LE,0",          //
        u"1A0,04,LE,0",         //
        u"1A0,4,XE,0",          // order
        u"1A0,4,LEE,0",         //
        u"G0,4,LE,0",           // address not hexadecimal
        u",4,LE,0",             //
        u"0x10,4,LE,0",         //
        u"100000000,4,LE,0",    // past 32 bits
        u"10,4,LE,",            // base
        u"10,4,LE,--1",         //
        u"10,4,LE,1 0",         //
        u"１0,4,LE,0",          // a full-width digit
        u"10/20,3,LE,0",        // places and size disagree
        u"10/20/30,2,LE,0",     //
        u"10/10,2,LE,0",        // one place twice
        u"10/,2,LE,0",          //
        u"10,2,LE,0,nes",       // a map without its bank
        u"10,2,LE,0,-,lorom",   // the skip mark comes last
        u"10,2,LE,0,lorom,-,-", //
        u"10,2,LE,0,,",         //
        u"10,2,LE,-100000000",  // past 32 bits
    };
    for (const auto& bad : bad_lines) {
        auto list = parse_pointer_list(u"; header\r\n10,4,LE,0\n\n" + bad + u"\r\n20,4,LE,0");
        ASSERT_FALSE(list.has_value()) << std::string(bad.begin(), bad.end());
        EXPECT_EQ(list.error().line, 4u) << std::string(bad.begin(), bad.end());
    }
    // CR LF counts once, a lone CR and a lone LF count each.
    EXPECT_EQ(parse_pointer_list(u"\r\n\r\rx").error().line, 4u);
    EXPECT_EQ(parse_pointer_list(u"\n\n\r\nx").error().line, 4u);
}

TEST(pointer_value_test, values_read_and_write_in_both_orders) {
    struct Case {
        std::uint8_t size;
        ByteOrder order;
        std::vector<std::uint8_t> bytes;
        std::uint32_t value;
    };
    const Case cases[] = {
        {2, ByteOrder::little, {0x34, 0x12}, 0x1234},
        {2, ByteOrder::big, {0x12, 0x34}, 0x1234},
        {3, ByteOrder::little, {0x56, 0x34, 0x12}, 0x123456},
        {3, ByteOrder::big, {0x12, 0x34, 0x56}, 0x123456},
        {4, ByteOrder::little, {0x78, 0x56, 0x34, 0x08}, 0x08345678},
        {4, ByteOrder::big, {0xFF, 0x34, 0x56, 0x78}, 0xFF345678},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(read_value(c.bytes.data(), c.size, c.order), c.value);
        std::vector<std::uint8_t> out(c.size);
        write_value(c.value, c.size, c.order, out.data());
        EXPECT_EQ(out, c.bytes);
    }
}

TEST(pointer_value_test, targets_and_what_fits) {
    EXPECT_EQ(target_of(0x8000010, 0x8000000), std::optional<std::uint32_t>(0x10));
    EXPECT_EQ(target_of(0x7FFFFFF, 0x8000000), std::nullopt);
    const RomShape shape{0x100000};
    const Pointer two{0, 2, ByteOrder::little, 0x8000};
    EXPECT_EQ(value_for(two, 0x7FFF, 0, shape), std::optional<std::uint32_t>(0xFFFF));
    EXPECT_EQ(value_for(two, 0x8000, 0, shape), std::nullopt);
    const Pointer four{0, 4, ByteOrder::big, 0xFFFFFF00};
    EXPECT_EQ(value_for(four, 0xFF, 0, shape), std::optional<std::uint32_t>(0xFFFFFFFF));
    EXPECT_EQ(value_for(four, 0x100, 0, shape), std::nullopt);
    EXPECT_TRUE(pointer_in_rom({6, 4, ByteOrder::little, 0}, 10));
    EXPECT_FALSE(pointer_in_rom({7, 4, ByteOrder::little, 0}, 10));
    EXPECT_FALSE(pointer_in_rom({0xFFFFFFFF, 4, ByteOrder::little, 0}, 10));
}

TEST(pointer_table_test, pointers_at_regular_distances_inside_the_rom) {
    auto rom = [](std::size_t size) { return std::vector<std::uint8_t>(size, 0xEE); };
    auto table = pointer_table({0x10, 3, 3, ByteOrder::big, 0xC00000, 4}, rom(0x1C));
    ASSERT_TRUE(table.has_value());
    const std::vector<Pointer> expected = {{0x10, 3, ByteOrder::big, 0xC00000},
                                           {0x14, 3, ByteOrder::big, 0xC00000},
                                           {0x18, 3, ByteOrder::big, 0xC00000}};
    EXPECT_EQ(*table, expected);
    EXPECT_EQ(pointer_table({0x10, 3, 3, ByteOrder::big, 0, 4}, rom(0x1A)).error(), TableFault::outside_rom);
    EXPECT_EQ(pointer_table({0x10, 3, 4, ByteOrder::big, 0, 3}, rom(0x100)).error(), TableFault::stride_too_small);
    EXPECT_EQ(pointer_table({0x10, 0, 4, ByteOrder::big, 0, 4}, rom(0x100)).error(), TableFault::no_pointers);
    // Sizes near the 32-bit limits do not wrap around.
    EXPECT_EQ(pointer_table({0xFFFFFFF0, 0xFFFFFFFF, 4, ByteOrder::big, 0, 0xFFFFFFFF}, rom(0x100)).error(),
              TableFault::outside_rom);
}

}  // namespace
}  // namespace quillmere
