#include "core/import/text_codes.hpp"

#include <gtest/gtest.h>

#include "core/import/entry_failure.hpp"

namespace quillmere {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Lines = std::vector<std::u16string>;

ScriptTables make_tables() {
    std::vector<TableLine> single{{u"41", u"A"}, {u"42", u"B"}, {u"7D", u"}"}, {u"1FF", u"坏"}, {u"4X", u"错"}};
    std::vector<TableLine> double_lines{{u"8140", u"啊"}, {u"8141", u"A"}, {u"8142", u"你好"}, {u"82", u"乙"}};
    FilterLookup filters;
    EXPECT_TRUE(filters.add_single_list(Lines{u"F0=名", u"00=over", u"F1=turn2"}));
    EXPECT_TRUE(filters.add_double_list(Lines{u"9000=人", u"9001=名", u"A000=远"}));
    return ScriptTables{ReverseTables(double_lines, single), std::move(filters)};
}

struct Case {
    std::u16string text;
    Bytes bytes;
    EntryFailure failure{};  // used when `fails`
    bool fails = false;
};

EntryFailure missing_character(std::u16string c) { return {EntryFault::missing_character, std::move(c)}; }
EntryFailure missing_tag(std::u16string t) { return {EntryFault::missing_tag, std::move(t)}; }

TEST(text_codes_test, textlen_and_text2code_agree_on_every_text) {
    const ScriptTables tables = make_tables();
    const Case cases[] = {
        {u"", {}},
        {u"AB啊", {0x41, 0x42, 0x81, 0x40}},  // "A" is in both tables: one byte
        {u"你好乙}", {0x81, 0x42, 0x00, 0x82, 0x7D}},
        {u"{结束符00}", {0x00}},
        {u"{结束符0a00}", {0x0A, 0x00}},
        {u"A{跳跃符F0：012C}B", {0x41, 0xF0, 0x01, 0x2C, 0x42}},
        {u"{跳跃符F0：}", {0xF0}},
        {u"{跳跃符8140：FF}", {0x81, 0x40, 0xFF}},
        {u"{名}{人}", {0xF0, 0x90, 0x00}},  // single-byte tag first
        {u"{远}", {0xA0, 0x00}},
        // Faults: the first one in the text is reported.
        {u"A你", {}, missing_character(u"你"), true},
        {u"好", {}, missing_character(u"好"), true},
        {u"\U0001F600", {}, missing_character(u"\U0001F600"), true},
        {u"C{无}", {}, missing_character(u"C"), true},
        {u"A{无}C", {}, missing_tag(u"{无}"), true},
        {u"{填充符00}", {}, missing_tag(u"{填充符00}"), true},
        {u"{名", {}, unprocessable(), true},
        {u"A{结束符0}", {}, unprocessable(), true},
        {u"{结束符000000}", {}, unprocessable(), true},
        {u"{结束符0G}", {}, unprocessable(), true},
        {u"{结束符}", {}, unprocessable(), true},
        {u"{跳跃符0102}", {}, unprocessable(), true},
        {u"{跳跃符F0：1}", {}, unprocessable(), true},
        {u"{跳跃符F0：1Z}", {}, unprocessable(), true},
        {u"{跳跃符F：12}", {}, unprocessable(), true},
        {u"{跳跃符F0：12：34}", {}, unprocessable(), true},
        {u"坏", {}, unprocessable(), true},  // single-byte key above FF
        {u"错", {}, unprocessable(), true},  // key not hexadecimal
    };
    const CodeRange all;
    for (const Case& c : cases) {
        const std::string name(c.text.begin(), c.text.end());
        auto count = textlen(c.text, tables, all);
        auto bytes = text2code(c.text, tables, all);
        if (c.fails) {
            ASSERT_FALSE(count.has_value()) << name;
            ASSERT_FALSE(bytes.has_value()) << name;
            EXPECT_EQ(count.error(), c.failure) << name;
            EXPECT_EQ(bytes.error(), c.failure) << name;
        } else {
            ASSERT_TRUE(count.has_value()) << name;
            ASSERT_TRUE(bytes.has_value()) << name;
            EXPECT_EQ(*bytes, c.bytes) << name;
            EXPECT_EQ(*count, c.bytes.size()) << name;
        }
    }
}

TEST(text_codes_test, double_byte_tags_are_searched_inside_the_range) {
    const ScriptTables tables = make_tables();
    EXPECT_EQ(text2code(u"{名}", tables, CodeRange{0x9001, 0x9001}).value(), Bytes{0xF0});
    EXPECT_EQ(text2code(u"{人}", tables, CodeRange{0x9001, 0xFFFF}).error(), missing_tag(u"{人}"));
    EXPECT_EQ(textlen(u"{人}", tables, CodeRange{1, 0}).error(), missing_tag(u"{人}"));
}

TEST(entry_failure_test, messages_carry_the_address_where_they_should) {
    EXPECT_EQ(measuring_message(u"1F40", missing_character(u"啊")), error_message(u"1F40行出错，码表中缺少[啊]字"));
    EXPECT_EQ(measuring_message(u"1F40", missing_tag(u"{x}")), error_message(u"1F40行出错，过滤区中缺少[{x}]"));
    EXPECT_EQ(measuring_message(u"1F40", unprocessable()), error_message(u"1F40行文本处理错误"));
    EXPECT_EQ(encoding_message(u"1F40", missing_tag(u"{x}")), error_message(u"过滤区中缺少[{x}]"));
    EXPECT_EQ(encoding_message(u"1F40", unprocessable()), error_message(u"1F40行文本处理错误"));
    EXPECT_EQ(excess_message(u"1F40", u"3"), error_message(u"1F40行的文本超出原长 3个字节"));
    EXPECT_EQ(excess_message(u"1F40", u"3").title(), u"错误");
}

}  // namespace
}  // namespace quillmere
