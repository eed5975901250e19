#include "core/export/export_text.hpp"

#include <gtest/gtest.h>

#include "core/text/gbk.hpp"

namespace quillmere {
namespace {

TEST(export_text_test, record_fields) {
    std::u16string out;
    append_record(out, 0, 1, u"A");
    append_record(out, 0x2A0, 1, u",");
    append_record(out, 0x7FFFFFFF, 32767, u"x,{y}");
    append_record(out, 0xB, 0, u"");
    EXPECT_EQ(out, u"0,1,A\r\n\r\n2A0,1,,\r\n\r\n7FFFFFFF,32767,x,{y}\r\n\r\nB,0,\r\n\r\n");
}

TEST(export_text_test, minimum_run_length_is_a_decimal_number) {
    struct Case {
        std::u16string_view text;
        std::optional<std::int32_t> want;
    };
    const Case cases[] = {
        {u"0", 0},          {u"12", 12},        {u" 3\t", 3},        {u"+2", 2},
        {u"-1", -1},        {u"007", 7},        {u"99999999999", 32768}, {u"-99999999999", -32768},
        {u"", std::nullopt}, {u"abc", std::nullopt}, {u"1.5", std::nullopt}, {u"1 2", std::nullopt},
        {u"-", std::nullopt}, {u"0x10", std::nullopt}, {u"１", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(read_minimum_run_length(c.text), c.want) << text::to_utf8(c.text);
}

}  // namespace
}  // namespace quillmere
