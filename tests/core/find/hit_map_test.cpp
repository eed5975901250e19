// A hit's codes, the text around it read through them, and the table they
// make: groups filled from their offsets, keys as the ROM holds the bytes.
#include "core/find/hit_map.hpp"

#include <gtest/gtest.h>

namespace quillmere::find {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(hit_map_test, a_relative_hit_fills_each_group_it_anchors) {
    // "bad" with b=42, then "Cab" with C=90: a..z from 41, A..Z from 8E.
    const Bytes rom{0x42, 0x41, 0x44, 0x00, 0x90, 0x41, 0x42, 0x7F, 0x09, 0x5A, 0x5B};
    const ShapeQuery query = *relative_query(u"bad*Cab", Sequence::latin());
    const DerivedMap map = derived_map(rom, 0, query, {1, ByteOrder::little}, nullptr);
    EXPECT_EQ(map_text(map), u"b=42 a=41 d=44 C=90");
    EXPECT_EQ(preview(rom, 0, map), u"bad.Cab....");  // up to the ROM's end

    const Sequence latin = Sequence::latin();
    const DerivedMap filled = derived_map(rom, 0, query, {1, ByteOrder::little}, &latin);
    ASSERT_EQ(filled.characters.size(), 52u);
    EXPECT_EQ(filled.characters.front(), (std::pair<std::uint32_t, char32_t>{0x41, U'a'}));
    EXPECT_EQ(filled.characters.back(), (std::pair<std::uint32_t, char32_t>{0xA7, U'Z'}));
    EXPECT_EQ(preview(rom, 0, filled), u"bad.Cab..z.");
    const std::u16string table = table_text(filled);
    EXPECT_TRUE(table.starts_with(u"41=a\r\n42=b\r\n43=c\r\n"));
    EXPECT_NE(table.find(u"\r\n5A=z\r\n8E=A\r\n"), std::u16string::npos);
    EXPECT_TRUE(table.ends_with(u"\r\nA7=Z\r\n"));
}

TEST(hit_map_test, where_groups_overlap_the_group_of_more_characters_wins) {
    // "Hello": a..z from 41, but H at 5A puts A..Z at 53..6C, over s..z.
    const Bytes rom{0x5A, 0x45, 0x4C, 0x4C, 0x4F};
    const Sequence latin = Sequence::latin();
    const std::u16string table = table_text(
        derived_map(rom, 0, *relative_query(u"Hello", latin), {1, ByteOrder::little}, &latin));
    EXPECT_NE(table.find(u"\r\n53=s\r\n"), std::u16string::npos);
    EXPECT_NE(table.find(u"\r\n59=y\r\n5A=H\r\n5B=I\r\n"), std::u16string::npos);
    EXPECT_TRUE(table.ends_with(u"\r\n6C=Z\r\n"));
}

TEST(hit_map_test, codes_beyond_the_code_size_are_left_out) {
    // "xyz" at FD puts a at E6 and z at FF; "cde" at 00 would put a and b below 00.
    const Bytes rom{0xFD, 0xFE, 0xFF};
    const Sequence latin = Sequence::latin();
    const DerivedMap map = derived_map(rom, 0, *relative_query(u"xyz", latin), {1, ByteOrder::little}, &latin);
    EXPECT_EQ(map.characters.size(), 26u);
    const Bytes low{0x00, 0x01, 0x02};
    const DerivedMap cut = derived_map(low, 0, *relative_query(u"cde", latin), {1, ByteOrder::little}, &latin);
    EXPECT_EQ(cut.characters.size(), 24u);  // a and b would stand below 00
    EXPECT_EQ(cut.characters.front(), (std::pair<std::uint32_t, char32_t>{0x00, U'c'}));
}

TEST(hit_map_test, two_byte_keys_are_the_bytes_in_rom_order_and_sorted_so) {
    // Little-endian codes 00FF, 0100, 0101 for "月火水": keys FF00, 0001, 0101.
    const Bytes rom{0xFF, 0x00, 0x00, 0x01, 0x01, 0x01};
    const ShapeQuery query = *pattern_query(u"月火水");
    const DerivedMap le = derived_map(rom, 0, query, {2, ByteOrder::little}, nullptr);
    EXPECT_EQ(map_text(le), u"月=FF00 火=0001 水=0101");
    EXPECT_EQ(table_text(le), u"0001=火\r\n0101=水\r\nFF00=月\r\n");
    const DerivedMap be = derived_map(rom, 0, query, {2, ByteOrder::big}, nullptr);
    EXPECT_EQ(table_text(be), u"0001=火\r\n0101=水\r\nFF00=月\r\n");  // the same bytes, read the other way
    EXPECT_EQ(preview(rom, 1, be), u".水");                           // from an odd offset: the codes 0000 and 0101
}

TEST(hit_map_test, unnamed_numbers_show_as_marks_and_make_no_table) {
    const Bytes rom{0x5F, 0x48, 0x00, 0x4D, 0x48};
    const DerivedMap map = derived_map(rom, 0, *values_query(u"1F,08,*,0D", u""), {1, ByteOrder::little}, nullptr);
    EXPECT_EQ(map_text(map), u"[1F]=5F [8]=48 [D]=4D");
    EXPECT_EQ(preview(rom, 0, map), u"##.##");
    EXPECT_EQ(table_text(map), u"");
    const DerivedMap named = derived_map(rom, 0, *values_query(u"1F,08,*,0D", u"勇者之剑"), {1, ByteOrder::little},
                                         nullptr);
    EXPECT_EQ(map_text(named), u"勇=5F 者=48 之=00 剑=4D");
    EXPECT_EQ(table_text(named), u"00=之\r\n48=者\r\n4D=剑\r\n5F=勇\r\n");
}

}  // namespace
}  // namespace quillmere::find
