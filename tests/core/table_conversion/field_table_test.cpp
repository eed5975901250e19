#include "core/table_conversion/field_table.hpp"

#include <gtest/gtest.h>

#include "core/support/temp_dir.hpp"
#include "core/text/gbk.hpp"

namespace quillmere::table_conversion {
namespace {

using testing::Bytes;

Bytes utf8_bytes(std::u16string_view text) {
    const std::string bytes = text::to_utf8(text);
    return Bytes(bytes.begin(), bytes.end());
}

std::u16string joined(std::initializer_list<std::u16string_view> lines, std::u16string_view end) {
    std::u16string text;
    for (std::u16string_view line : lines) (text += line) += end;
    return text;
}

// Every kind of line the converter knows.
const std::initializer_list<std::u16string_view> kEveryKind = {
    u"@demo",
    u"-name Demo table",
    u"# characters",
    u"41=A",
    u"3D==",
    u"20= ",
    u"8140=\u3000",
    u"b0a1=啊",
    u"0041=x",
    u"",
    u"# codes",
    u"/FF",
    u"/FFFF=<end>",
    u"*FE",
    u"*8002=主角",
    u"$F0=<color>,1",
    u"$f1=,0",
    u"$8001=a,b,2",
};

TEST(field_table_test, every_kind_of_line_in_either_encoding_and_line_end) {
    struct Variant {
        const char* name;
        bool utf8;
        std::u16string_view line_end;
        bool mark;
    };
    const Variant variants[] = {{"utf-8 lf", true, u"\n", false},   {"utf-8 cr lf", true, u"\r\n", false},
                                {"gbk lf", false, u"\n", false},    {"gbk cr lf", false, u"\r\n", false},
                                {"utf-8 marked, cr", true, u"\r", true}};
    for (const Variant& v : variants) {
        SCOPED_TRACE(v.name);
        const std::u16string source = joined(kEveryKind, v.line_end);
        Bytes bytes = v.utf8 ? utf8_bytes(source) : testing::gbk_bytes(source);
        if (v.mark) bytes.insert(bytes.begin(), {0xEF, 0xBB, 0xBF});
        auto converted = convert_table(bytes, SourceEncoding::automatic);
        ASSERT_TRUE(converted.has_value());
        EXPECT_EQ(converted->utf8, v.utf8);
        // The files as written, byte for byte.
        auto file = [](const std::vector<std::u16string>& lines) { return *text::encode_gbk(file_text(lines)); };
        EXPECT_EQ(file(converted->table1), testing::gbk_bytes(u"41=A\r\n3D==\r\n20= \r\n"));
        EXPECT_EQ(file(converted->table2), testing::gbk_bytes(u"8140=\u3000\r\nB0A1=啊\r\n0041=x\r\n"));
        EXPECT_EQ(file(converted->filter1), testing::gbk_bytes(u"FF=over\r\nFE=换行\r\nF0=turn1\r\nF1=turn0\r\n"));
        EXPECT_EQ(file(converted->filter2), testing::gbk_bytes(u"FFFF=over\r\n8002=主角\r\n8001=turn2\r\n"));
        EXPECT_EQ(converted->comments, 2u);
        EXPECT_EQ(converted->blanks, 1u);
        EXPECT_EQ(converted->headers, 2u);
        EXPECT_EQ(converted->labels, (std::vector<DroppedLabel>{{13, u"FFFF=over", u"<end>"},
                                                                 {16, u"F0=turn1", u"<color>"},
                                                                 {18, u"8001=turn2", u"a,b"}}));
    }
}

TEST(field_table_test, refusals_name_their_line) {
    struct Case {
        std::u16string_view source;
        Refusal cause;
        std::size_t line;
        char32_t character = 0;
    };
    const Case cases[] = {
        {u"41=A\n!80=Second", Refusal::table_switch, 2},
        {u"%01=x", Refusal::bit_entry, 1},
        {u"@one\n41=A\r\n@two", Refusal::second_table_id, 3},
        {u"41=A\n\n42", Refusal::no_separator, 3},
        {u"=A", Refusal::bad_key, 1},
        {u"4G=A", Refusal::bad_key, 1},
        {u"/", Refusal::bad_key, 1},
        {u"/FF ", Refusal::bad_key, 1},
        {u"A40=x", Refusal::odd_key, 1},
        {u"*1=x", Refusal::odd_key, 1},
        {u"414243=ABC", Refusal::long_key, 1},
        {u"$FFFFFF=x,1", Refusal::long_key, 1},
        {u"41=", Refusal::empty_value, 1},
        {u"$F0=color", Refusal::bad_count, 1},
        {u"$F0", Refusal::bad_count, 1},
        {u"$F0=color,x", Refusal::bad_count, 1},
        {u"$F0=color,65536", Refusal::bad_count, 1},
        {u"$F0=color,-1", Refusal::bad_count, 1},
        {u"*FE=over", Refusal::bad_label, 1},
        {u"*FE=turn1", Refusal::bad_label, 1},
        {u"*FE=a}b", Refusal::bad_label, 1},
        {u"*FE=结束符00", Refusal::bad_label, 1},
        {u"41=A\r\n8140=한", Refusal::unencodable, 2, U'한'},
        {u"*FE=x😀", Refusal::unencodable, 1, U'\U0001F600'},
        {u"# nothing\n\n@id", Refusal::no_entries, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(text::to_utf8(c.source));
        auto converted = convert_table(utf8_bytes(c.source), SourceEncoding::utf8);
        ASSERT_FALSE(converted.has_value());
        EXPECT_EQ(converted.error(), (ConvertFailure{c.cause, c.line, c.character, false}));
    }
}

TEST(field_table_test, utf8_files_keep_what_gbk_cannot_hold) {
    auto converted = convert_table(utf8_bytes(u"8140=한\n*FE=😀"), SourceEncoding::automatic, text::Encoding::utf8);
    ASSERT_TRUE(converted.has_value());
    EXPECT_EQ(converted->table2, std::vector<std::u16string>{u"8140=한"});
    EXPECT_EQ(converted->filter1, std::vector<std::u16string>{u"FE=😀"});
}

TEST(field_table_test, bytes_foreign_to_the_chosen_encoding_name_their_line) {
    const Bytes gbk = testing::bytes_of("41=A\n8140=\xB0\xA1\n");  // 啊 in code page 936
    auto as_utf8 = convert_table(gbk, SourceEncoding::utf8);
    ASSERT_FALSE(as_utf8.has_value());
    EXPECT_EQ(as_utf8.error(), (ConvertFailure{Refusal::undecodable, 2, 0, true}));
    EXPECT_TRUE(convert_table(gbk, SourceEncoding::automatic).has_value());  // not UTF-8: read as GBK

    const Bytes broken = testing::bytes_of("41=A\r\n\r\n42=\x81\r\n43=C");
    auto as_gbk = convert_table(broken, SourceEncoding::gbk);
    ASSERT_FALSE(as_gbk.has_value());
    EXPECT_EQ(as_gbk.error(), (ConvertFailure{Refusal::undecodable, 3, 0, false}));
}

}  // namespace
}  // namespace quillmere::table_conversion
