#include "core/script/filter_lookup.hpp"

#include <gtest/gtest.h>

namespace quillmere {
namespace {

using Lines = std::vector<std::u16string>;

TEST(filter_lookup_test, codes_name_the_export_s_pair_and_the_lowest_code_wins) {
    FilterLookup lookup;
    ASSERT_TRUE(lookup.add_single_list(Lines{u"43=名", u"", u"41=名", u"100=高", u"42=turn2", u"0=over"}));
    ASSERT_TRUE(lookup.add_double_list(Lines{u"8140=名", u"A40=甲", u"41=乙", u"9000=甲", u"10000=丙",
                                           u"0A000=丁", u"8F1234=戊", u"FFFFFFFFF1=己"}));
    EXPECT_EQ(lookup.single_code(u"{名}"), std::optional<std::uint8_t>(0x41));
    EXPECT_EQ(lookup.single_code(u"{高}"), std::nullopt);  // accepted, never matches
    EXPECT_EQ(lookup.single_code(u"turn2"), std::nullopt);
    EXPECT_EQ(lookup.single_code(u"名"), std::nullopt);
    const CodeRange all;
    EXPECT_EQ(lookup.double_code(u"{名}", all), std::optional<std::uint16_t>(0x8140));
    EXPECT_EQ(lookup.double_code(u"{甲}", all), std::optional<std::uint16_t>(0x0A40));
    EXPECT_EQ(lookup.double_code(u"{甲}", CodeRange{0x0A41, 0xFFFF}), std::optional<std::uint16_t>(0x9000));
    EXPECT_EQ(lookup.double_code(u"{甲}", CodeRange{0x0A41, 0x8FFF}), std::nullopt);
    EXPECT_EQ(lookup.double_code(u"{乙}", all), std::optional<std::uint16_t>(0x0041));
    // Five or more digits: the first two and the last two, as the export reads them.
    EXPECT_EQ(lookup.double_code(u"{丙}", all), std::optional<std::uint16_t>(0x1000));
    EXPECT_EQ(lookup.double_code(u"{丁}", all), std::optional<std::uint16_t>(0x0A00));
    EXPECT_EQ(lookup.double_code(u"{戊}", all), std::optional<std::uint16_t>(0x8F34));
    EXPECT_EQ(lookup.double_code(u"{己}", all), std::optional<std::uint16_t>(0xFFF1));
}

TEST(filter_lookup_test, later_entry_replaces_earlier_one) {
    FilterLookup lookup;
    ASSERT_TRUE(lookup.add_single_list(Lines{u"41=甲", u"41=over", u"42=乙", u"42=丙"}));
    EXPECT_EQ(lookup.single_code(u"{甲}"), std::nullopt);
    EXPECT_EQ(lookup.single_code(u"{乙}"), std::nullopt);
    EXPECT_EQ(lookup.single_code(u"{丙}"), std::optional<std::uint8_t>(0x42));
}

TEST(filter_lookup_test, failing_lines) {
    struct Case {
        std::u16string line;
        FilterFailure failure;
    };
    const Case cases[] = {
        {u"41=", FilterFailure::empty_field},     {u"=name", FilterFailure::empty_field},
        {u"=over", FilterFailure::bad_entry},     {u"name", FilterFailure::bad_entry},
        {u"4G=x", FilterFailure::bad_entry},
        {u"41=turn-1", FilterFailure::bad_entry},
    };
    for (const Case& c : cases) {
        FilterLookup single, double_lookup;
        auto s = single.add_single_list(Lines{u"40=a", c.line});
        auto d = double_lookup.add_double_list(Lines{u"40=a", c.line});
        ASSERT_FALSE(s.has_value());
        ASSERT_FALSE(d.has_value());
        EXPECT_EQ(s.error(), c.failure);
        EXPECT_EQ(d.error(), c.failure);
    }
    FilterLookup edge;
    EXPECT_TRUE(edge.add_single_list(Lines{u"10100=x"}));
    EXPECT_EQ(edge.add_single_list(Lines{u"10101=x"}).error(), FilterFailure::bad_entry);
}

TEST(filter_lookup_test, range_is_read_as_decimal_and_clipped) {
    struct Case {
        std::u16string low, high;
        std::int32_t from, to;  // from > to: empty
    };
    const Case cases[] = {
        {u"0", u"65535", 0, 0xFFFF},    {u"", u"", 0, 0},           {u"12abc", u"0x40", 12, 0},
        {u"-5", u"70000", 0, 0xFFFF},   {u"100", u"99", 1, 0},      {u" 7", u"+9", 7, 9},
        {u"99999999999999999999999", u"1", 1, 0},
    };
    for (const Case& c : cases) {
        CodeRange range = code_range(c.low, c.high);
        if (c.from > c.to) {
            EXPECT_GT(range.low, range.high);
        } else {
            EXPECT_EQ(range.low, c.from);
            EXPECT_EQ(range.high, c.to);
        }
    }
    FilterLookup lookup;
    ASSERT_TRUE(lookup.add_double_list(Lines{u"0=a"}));
    EXPECT_EQ(lookup.double_code(u"{a}", code_range(u"100", u"99")), std::nullopt);
    EXPECT_EQ(lookup.double_code(u"{a}", code_range(u"-1", u"0")), std::optional<std::uint16_t>(0));
}

}  // namespace
}  // namespace quillmere
