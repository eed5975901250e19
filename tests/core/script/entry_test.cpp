#include "core/script/entry.hpp"

#include <gtest/gtest.h>

#include "core/import/fill.hpp"

namespace quillmere {
namespace {

TEST(entry_test, splitentry_takes_the_first_two_commas) {
    auto entry = splitentry(u"1F40,3,a,b,,");
    ASSERT_TRUE(entry.has_value());
    EXPECT_EQ(entry->address, u"1F40");
    EXPECT_EQ(entry->original_length, u"3");
    EXPECT_EQ(entry->text, u"a,b,,");
    auto empty_text = splitentry(u"0,0,");
    ASSERT_TRUE(empty_text.has_value());
    EXPECT_EQ(empty_text->text, u"");
    auto one_comma = splitentry(u"1F40,3");
    ASSERT_FALSE(one_comma.has_value());
    EXPECT_EQ(one_comma.error().address, std::optional<std::u16string_view>(u"1F40"));
    auto no_comma = splitentry(u"1F40");
    ASSERT_FALSE(no_comma.has_value());
    EXPECT_FALSE(no_comma.error().address.has_value());
}

TEST(entry_test, leading_number_and_length_excess) {
    struct Case {
        std::u16string text;
        std::int64_t value;
    };
    const Case cases[] = {
        {u"12", 12},  {u"12abc", 12}, {u"abc", 0},  {u"", 0},   {u" 3", 3},
        {u"-4", -4},  {u"+4", 4},     {u"1 2", 1},  {u"0x10", 0},
        {u"99999999999999999999999999", kTooLarge}, {u"-99999999999999999999999999", -kTooLarge},
    };
    for (const Case& c : cases) EXPECT_EQ(leading_number(c.text), c.value) << std::string(c.text.begin(), c.text.end());

    struct Excess {
        std::u16string length;
        std::size_t count;
        std::optional<std::u16string> excess;
    };
    const Excess excesses[] = {
        {u"3", 3, std::nullopt},
        {u"3", 2, std::nullopt},
        {u"3", 4, u"1"},
        {u"x", 2, u"2"},
        {u" +007", 10, u"3"},
        {u"-0", 0, std::nullopt},
        {u"-0", 1, u"1"},
        {u"99999999999999999999999999", 5, std::nullopt},
        {u"-99999999999999999999999", 1, u"100000000000000000000000"},
        {u"-9223372036854775808", 9999, u"9223372036854785807"},
        {u"18446744073709551615", 18446744073709551615u, std::nullopt},
        {u"18446744073709551614", 18446744073709551615u, u"1"},
    };
    for (const Excess& c : excesses)
        EXPECT_EQ(length_excess(c.length, c.count), c.excess) << std::string(c.length.begin(), c.length.end());
}

TEST(fill_test, fill_units_by_length_of_the_fill_value) {
    struct Case {
        std::u16string fill;
        std::int64_t shortfall;
        std::vector<std::uint8_t> bytes;
        bool fails = false;
    };
    const Case cases[] = {
        {u"00", 2, {0x00, 0x00}},
        {u"8140", 4, {0x81, 0x40, 0x81, 0x40}},
        {u"8140", 3, {0x81, 0x40}},
        {u"8140", 1, {}},
        {u"", 3, {}},
        {u"0", 3, {}},
        {u"000", 3, {}},
        {u"00000", 3, {}},
        {u"ff", 0, {}},
        {u"ZZ", 0, {}},
        {u"ZZ", 1, {}, true},
        {u"81G0", 2, {}, true},
        {u"81G0", 1, {}},  // no pair fits, so no marker is made of it
    };
    for (const Case& c : cases) {
        auto fill = fill_for(c.fill, c.shortfall);
        ASSERT_EQ(!fill.has_value(), c.fails) << std::string(c.fill.begin(), c.fill.end());
        if (!fill) continue;
        std::vector<std::uint8_t> bytes;
        fill->append_to(bytes);
        EXPECT_EQ(bytes, c.bytes) << std::string(c.fill.begin(), c.fill.end()) << " " << c.shortfall;
        EXPECT_EQ(fill->byte_count(), c.bytes.size());
    }
    auto huge = fill_for(u"00", kTooLarge);
    ASSERT_TRUE(huge.has_value());
    EXPECT_EQ(huge->byte_count(), static_cast<std::uint64_t>(kTooLarge));  // counted, never built
}

}  // namespace
}  // namespace quillmere
