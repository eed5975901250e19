#include "core/script/reverse_tables.hpp"

#include <gtest/gtest.h>

#include "core/support/temp_dir.hpp"

namespace quillmere {
namespace {

using Lines = std::vector<TableLine>;

// The (length, bytes) the tables give for the start of `plain`.
std::pair<std::size_t, std::vector<std::uint8_t>> cover(const ReverseTables& tables, std::u16string_view plain) {
    auto match = tables.match(plain);
    if (!match) return {0, {}};
    return {match->length, std::vector<std::uint8_t>(match->code.bytes.begin(),
                                                     match->code.bytes.begin() + match->code.size)};
}

TEST(reverse_tables_test, longest_value_first_then_single_byte_then_earlier_line) {
    Lines single{{u"41", u"a"}, {u"42", u"ab"}, {u"43", u"a"}};
    Lines double_lines{{u"8140", u"abc"}, {u"8141", u"ab"}, {u"8142", u"x"}, {u"8143", u"a"}, {u"8144", u"x"}};
    ReverseTables tables(double_lines, single);
    using Bytes = std::vector<std::uint8_t>;
    EXPECT_EQ(cover(tables, u"abcd"), (std::pair<std::size_t, Bytes>{3, {0x81, 0x40}}));
    EXPECT_EQ(cover(tables, u"abd"), (std::pair<std::size_t, Bytes>{2, {0x42}}));   // single-byte wins the tie
    EXPECT_EQ(cover(tables, u"ad"), (std::pair<std::size_t, Bytes>{1, {0x41}}));    // first line of "a"
    EXPECT_EQ(cover(tables, u"xx"), (std::pair<std::size_t, Bytes>{1, {0x81, 0x42}}));
    EXPECT_EQ(cover(tables, u"ab"), (std::pair<std::size_t, Bytes>{2, {0x42}}));    // "abc" does not fit
}

TEST(reverse_tables_test, a_value_reaching_into_a_token_never_matches_but_still_has_its_code) {
    // A text's plain run ends where a token begins, so the tables may be
    // given the rest of the text, tokens and all.
    ReverseTables tables(Lines{{u"8140", u"a{b}"}, {u"8141", u"a{"}}, Lines{{u"41", u"a"}});
    using Bytes = std::vector<std::uint8_t>;
    EXPECT_EQ(cover(tables, u"a{b}"), (std::pair<std::size_t, Bytes>{1, {0x41}}));
    std::vector<std::size_t> sizes;
    tables.for_each_code([&](CodeBytes code) { sizes.push_back(code.size); });
    EXPECT_EQ(sizes, (std::vector<std::size_t>{1, 2, 2}));
}

TEST(reverse_tables_test, character_only_inside_longer_values_is_not_covered) {
    Lines double_lines{{u"8140", u"你好"}};
    ReverseTables tables(double_lines, {});
    EXPECT_FALSE(tables.match(u"你").has_value());
    EXPECT_FALSE(tables.match(u"好").has_value());
    EXPECT_FALSE(tables.match(u"你们").has_value());
    EXPECT_TRUE(tables.match(u"你好").has_value());
}

TEST(reverse_tables_test, keys_are_read_as_the_export_reads_them) {
    struct Case {
        std::u16string key;
        bool double_byte;
        std::vector<std::uint8_t> bytes;  // empty: unusable
    };
    const Case cases[] = {
        {u"41", false, {0x41}},        {u"0041", false, {0x41}},   {u"ff", false, {0xFF}},
        {u"100", false, {}},           {u"4G", false, {}},         {u"", false, {}},
        {u" 41", false, {}},           {u"8140", true, {0x81, 0x40}}, {u"a40", true, {0x0A, 0x40}},
        {u"41", true, {0x00, 0x41}},   {u"5", true, {0x00, 0x05}}, {u"814041", true, {0x81, 0x41}},
        {u"81G0", true, {}},           {u"", true, {}},
    };
    for (const Case& c : cases) {
        CodeBytes code = c.double_byte ? double_byte_key(c.key) : single_byte_key(c.key);
        EXPECT_EQ(std::vector<std::uint8_t>(code.bytes.begin(), code.bytes.begin() + code.size), c.bytes)
            << std::string(c.key.begin(), c.key.end()) << (c.double_byte ? " double" : " single");
    }
}

TEST(table_loading_test, lines_keep_key_and_value_as_written) {
    std::vector<std::u16string> file{u"3D==", u"", u"41=A ", u"x", u"=y"};
    auto loaded = table_lines(file);
    ASSERT_TRUE(loaded.has_value());
    EXPECT_TRUE(loaded->read_error);  // "x" has no "="
    ASSERT_EQ(loaded->lines.size(), 3u);
    EXPECT_EQ(loaded->lines[0].value, u"=");
    EXPECT_EQ(loaded->lines[1].value, u"A ");
    EXPECT_EQ(loaded->lines[2].key, u"");
    auto empty = table_lines(std::vector<std::u16string>{u"41=A", u"8140="});
    ASSERT_FALSE(empty.has_value());
    EXPECT_EQ(empty.error().code, u"8140");
    EXPECT_TRUE(table_lines({}).value().read_error);
}

}  // namespace
}  // namespace quillmere
