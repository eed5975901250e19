#include "core/script/text_codes.hpp"

#include <gtest/gtest.h>

#include "core/script/entry_failure.hpp"
#include "core/text/gbk.hpp"

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

std::string gbk(std::u16string_view text) {
    const auto bytes = text::encode_gbk(text).value();
    return std::string(bytes.begin(), bytes.end());
}

// The character of a two-byte code, for codes whose second byte is "{" or "}".
std::u16string character_of(std::uint8_t lead, std::uint8_t trail) {
    const std::uint8_t code[] = {lead, trail};
    return text::decode_gbk(code).text;
}

// Measured and encoded as code page 936 bytes, a text gives what its decoded
// form gives, in every range of tags.
TEST(text_codes_test, bytes_read_as_their_decoded_text) {
    const std::u16string open = character_of(0x81, '{');   // second byte "{"
    const std::u16string close = character_of(0x81, '}');  // second byte "}"
    // "c" and "错" are keyed by no code: the one a value alone, the other
    // grouped with a longer value.
    std::vector<TableLine> single{{u"41", u"A"}, {u"42", u"AB"}, {u"43", u"ABC"}, {u"44", u"x{y"},
                                  {u"", u"c"},   {u"4X", u"错"}, {u"45", u"错误"}};
    std::vector<TableLine> double_lines{{u"8140", u"啊"}, {u"8141", open}, {u"8142", open + close},
                                        {u"8143", u"A"}, {u"8144", u"\uFFFD"}};
    FilterLookup filters;
    ASSERT_TRUE(filters.add_single_list(Lines{u"F0=名", u"F1=" + close}));
    ASSERT_TRUE(filters.add_double_list(Lines{u"0100=人", u"9000=人", u"9001=" + open + u"x"}));
    const ScriptTables tables{ReverseTables(double_lines, single), std::move(filters), true};
    const GbkScriptTables gbk_tables(tables);
    const std::u16string texts[] = {
        u"", u"AABABCA", u"啊" + open + close + open, u"{名}{人}{$41}", u"{" + close + u"}{" + open + u"x}",
        u"{结束符00}{跳跃符F0：012C}", u"x{y}", u"A" + close + u"}", u"{" + open + u"x", u"乙", u"A{无}",
        u"{结束符0}", u"AB{人}A", u"{结束符0A0B}{结束符0a}", u"{结束符 0A}", u"{跳跃符F0：01：02}", u"{跳跃符F0}",
        u"{跳跃符：01}", u"{跳跃符F0：0}", u"{跳跃符F0：}", u"{跳跃符F0F1F2：01}", u"{跳跃符F0:01}", u"{跳跃符啊：01}", u"c", u"Ac", u"错", u"错误"};
    const TagRanges ranges[] = {{{0, 0xFFFF}, {0, 0xFFFF}}, {{0, 0xFFFF}, {0x9000, 0xFFFF}}, {{1, 0}, {1, 0}}};
    for (const std::u16string& text : texts)
        for (const TagRanges& range : ranges) {
            const std::string name = text::to_utf8(text);
            memory::ByteBuffer from_text, from_bytes;
            auto expected = encode_entry(text, tables, range, &from_text);
            auto got = encode_entry(gbk(text), gbk_tables, range, &from_bytes);
            ASSERT_EQ(got.has_value(), expected.has_value()) << name;
            if (!expected) {
                EXPECT_EQ(got.error(), expected.error()) << name;
                continue;
            }
            EXPECT_EQ(got->count, expected->count) << name;
            EXPECT_EQ(got->encoding_failure, expected->encoding_failure) << name;
            EXPECT_EQ(from_bytes, from_text) << name;
        }
}

// Bytes that are not well-formed are never guessed at: the caller reads the
// decoded text, where the decoder's substitutes decide.
TEST(text_codes_test, bytes_that_are_not_well_formed_send_the_reader_back_to_the_text) {
    std::vector<TableLine> single{{u"41", u"A"}};
    FilterLookup filters;
    const ScriptTables tables{ReverseTables({}, single), std::move(filters), false};
    const GbkScriptTables gbk_tables(tables);
    const std::string texts[] = {"A\x81", "{A\x81 }", "A\x81\x7F", "\x81\x20"};
    for (const std::string& text : texts) {
        auto got = encode_entry(text, gbk_tables, TagRanges{}, nullptr);
        ASSERT_FALSE(got.has_value()) << text;
        EXPECT_EQ(got.error().fault, EntryFault::not_code_page_936) << text;
    }
}

}  // namespace
}  // namespace quillmere
