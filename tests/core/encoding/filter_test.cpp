#include "core/encoding/filter.hpp"

#include <gtest/gtest.h>

namespace quillmere {
namespace {

using Lines = std::vector<std::u16string>;

TEST(filter_test, kinds_of_entry) {
    Lines lines{u"00=over", u"F0=turn2", u"F1=turn", u"F2=turnip", u"41=Over", u"42=overflow",
                u"43={a}", u"100=x", u"", u"44=turn-0"};
    auto filter = readfilter1(lines);
    ASSERT_TRUE(filter.has_value());
    const auto& f = *filter;
    EXPECT_EQ(f.at(0x00).kind, ControlKind::end);
    EXPECT_EQ(f.at(0x00).text, u"over");
    EXPECT_EQ(f.at(0xF0).kind, ControlKind::jump);
    EXPECT_EQ(f.at(0xF0).text, u"turn2");
    EXPECT_EQ(f.at(0xF0).jump_count, 2);
    EXPECT_EQ(f.at(0xF1).jump_count, 0);
    EXPECT_EQ(f.at(0xF2).kind, ControlKind::jump);
    EXPECT_EQ(f.at(0xF2).jump_count, kJumpCountNotANumber);
    EXPECT_EQ(f.at(0x41).text, u"{Over}");
    EXPECT_EQ(f.at(0x41).kind, ControlKind::tag);
    EXPECT_EQ(f.at(0x42).text, u"{overflow}");
    EXPECT_EQ(f.at(0x43).text, u"{{a}}");
    EXPECT_EQ(f.by_code(256).text, u"{x}");
    EXPECT_EQ(f.at(0x44).jump_count, 0);
    EXPECT_TRUE(f.at(0x45).empty());
}

TEST(filter_test, double_byte_codes_follow_the_table_rule) {
    Lines lines{u"8140=name", u"A00=over", u"41=x", u"0a41=later", u"A41=latest"};
    auto filter = readfilter2(lines);
    ASSERT_TRUE(filter.has_value());
    EXPECT_EQ(filter->at(0x81, 0x40).text, u"{name}");
    EXPECT_EQ(filter->at(0x0A, 0x00).kind, ControlKind::end);
    EXPECT_EQ(filter->at(0x00, 0x41).text, u"{x}");
    EXPECT_EQ(filter->at(0x0A, 0x41).text, u"{latest}");
}

TEST(filter_test, failures_and_their_messages) {
    struct Case {
        std::u16string line;
        FilterFailure failure;
    };
    const Case cases[] = {
        {u"41=", FilterFailure::empty_field},   {u"=name", FilterFailure::empty_field},
        {u"=", FilterFailure::empty_field},     {u"=over", FilterFailure::bad_entry},
        {u"=turn1", FilterFailure::bad_entry},  {u"name", FilterFailure::bad_entry},
        {u"101=x", FilterFailure::bad_entry},   {u"4G=x", FilterFailure::bad_entry},
        {u"F0=turn-1", FilterFailure::bad_entry},
    };
    for (const auto& c : cases) {
        Lines lines{u"00=over", c.line, u"this line is never read"};
        auto single = readfilter1(lines);
        ASSERT_FALSE(single.has_value());
        EXPECT_EQ(single.error(), c.failure);
    }
    EXPECT_EQ(readfilter2(Lines{u"8140=turn-3"}).error(), FilterFailure::bad_entry);
    EXPECT_EQ(readfilter2(Lines{u"xyz=a"}).error(), FilterFailure::bad_entry);
    EXPECT_TRUE(readfilter2(Lines{u"101=x"}).has_value());  // pair 01 01
}

}  // namespace
}  // namespace quillmere
