#include "core/charset/code_assignment.hpp"

#include <gtest/gtest.h>

#include <algorithm>

#include "core/text/lines.hpp"

namespace quillmere {
namespace {

// The characters of `text` in order, each character's count its repeats.
std::vector<UsedCharacter> used_in(std::u16string_view text) {
    std::vector<UsedCharacter> used;
    for (char16_t unit : text) {
        auto found = std::find_if(used.begin(), used.end(), [&](const UsedCharacter& u) { return u.character == unit; });
        if (found == used.end())
            used.push_back({unit, 1});
        else
            ++found->count;
    }
    return used;
}

CodeRules rules_of(std::uint16_t start, std::vector<CodeSpan> skip = {}, std::vector<ByteSpan> trail = {}) {
    return CodeRules{start, std::move(skip), std::move(trail)};
}

using Codes = std::vector<std::uint16_t>;

OldTable old_of(std::u16string_view file) {
    auto old = old_table(text::split_lines(file));
    EXPECT_TRUE(old);
    return old ? *old : OldTable{};
}

struct Case {
    const char* what;
    std::u16string script;
    CharacterOrder order = CharacterOrder::appearance;
    std::u16string old;
    Codes reserved;
    CodeRules rules;
    std::u16string table;  // expected table text
    std::size_t kept = 0, added = 0, unused_old = 0;
};

TEST(code_assignment_test, gives_free_codes_in_the_chosen_order) {
    const Case cases[] = {
        {"first use order, codes upward",
         u"乙甲乙", CharacterOrder::appearance, u"", {}, rules_of(0x8140),
         u"8140=乙\r\n8141=甲\r\n", 0, 2, 0},
        {"most used first, ties by first use",
         u"丙乙甲乙甲乙", CharacterOrder::frequency, u"", {}, rules_of(0x8140),
         u"8140=乙\r\n8141=甲\r\n8142=丙\r\n", 0, 3, 0},
        {"by the characters' own code page 936 bytes (啊 B0A1 < 丁 B6A1 < 甲 BCD7)",
         u"甲丁啊", CharacterOrder::gbk, u"", {}, rules_of(0x8140),
         u"8140=啊\r\n8141=丁\r\n8142=甲\r\n", 0, 3, 0},
        {"skip ranges and filter codes are stepped over",
         u"甲乙丙", CharacterOrder::appearance, u"", {0x8140, 0x8144}, rules_of(0x8140, {{0x8141, 0x8143}}),
         u"8145=甲\r\n8146=乙\r\n8147=丙\r\n", 0, 3, 0},
        {"second bytes limited: past the end of a trail range to the next, then to the next first byte",
         u"甲乙丙丁", CharacterOrder::appearance, u"", {}, rules_of(0x817D, {}, {{0x40, 0x7E}, {0x80, 0x80}}),
         u"817D=甲\r\n817E=乙\r\n8180=丙\r\n8240=丁\r\n", 0, 4, 0},
        {"overlapping game table: its characters keep their codes, its codes are taken",
         u"新国中", CharacterOrder::appearance, u"8140=国\r\n8142=人\r\n9000=中\r\n", {}, rules_of(0x8140),
         u"8140=国\r\n8141=新\r\n9000=中\r\n", 2, 1, 1},
        {"disjoint game table: every character is new, none of its codes is used",
         u"乙丙", CharacterOrder::appearance, u"8140=甲\r\n8141=人口\r\n", {}, rules_of(0x8140),
         u"8142=乙\r\n8143=丙\r\n", 0, 2, 1},
        {"a later line for a code replaces the earlier; a character keeps the first line that still holds it",
         u"甲乙丙", CharacterOrder::appearance, u"8140=甲\r\n8140=乙\r\n8141=丙\r\n8142=丙\r\n", {}, rules_of(0x8140),
         u"8140=乙\r\n8141=丙\r\n8143=甲\r\n", 2, 1, 0},
        {"up to the very last code",
         u"甲乙", CharacterOrder::appearance, u"", {}, rules_of(0xFFFE),
         u"FFFE=甲\r\nFFFF=乙\r\n", 0, 2, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto used = used_in(c.script);
        auto table = assign_codes(used, c.order, old_of(c.old), c.reserved, c.rules);
        ASSERT_TRUE(table);
        EXPECT_EQ(table_text(*table), c.table);
        EXPECT_EQ(table->kept, c.kept);
        EXPECT_EQ(table->added, c.added);
        EXPECT_EQ(table->unused_old, c.unused_old);
    }
}

TEST(code_assignment_test, running_out_of_codes_counts_the_characters_left) {
    const auto used = used_in(u"甲乙丙丁");
    auto past_ffff = assign_codes(used, CharacterOrder::appearance, {}, {}, rules_of(0xFFFE));
    ASSERT_FALSE(past_ffff);
    EXPECT_EQ(past_ffff.error().missing, 2u);
    // Only the second byte FF: from FF00 on, FFFF is the one code a character can take.
    auto trail = assign_codes(used, CharacterOrder::appearance, {}, Codes{0xFF00}, rules_of(0xFF00, {}, {{0xFF, 0xFF}}));
    ASSERT_FALSE(trail);
    EXPECT_EQ(trail.error().missing, 3u);
}

TEST(code_assignment_test, game_table_and_filter_list_are_read_as_the_tools_read_them) {
    auto bad_code = old_table(text::split_lines(u"8140=甲\r\nZZ=乙\r\n没有等号\r\n"));
    ASSERT_TRUE(bad_code);
    EXPECT_TRUE(bad_code->read_error);
    EXPECT_EQ(bad_code->codes, (std::vector<std::uint16_t>{0x8140}));
    auto empty_value = old_table(text::split_lines(u"8140=甲\r\n8141=\r\n"));
    ASSERT_FALSE(empty_value);
    EXPECT_EQ(empty_value.error().code, u"8141");
    EXPECT_TRUE(old_table({})->read_error);

    auto codes = filter_codes(text::split_lines(u"8001=turn1\r\n8000=over\r\n8002=主角\r\n41=甲\r\n801F02=乙\r\n"));
    ASSERT_TRUE(codes);
    EXPECT_EQ(*codes, (std::vector<std::uint16_t>{0x41, 0x8000, 0x8001, 0x8002}));
    EXPECT_EQ(filter_codes(text::split_lines(u"80G0=甲\r\n")).error(), FilterFailure::bad_entry);
    EXPECT_EQ(filter_codes(text::split_lines(u"=甲\r\n")).error(), FilterFailure::empty_field);
}

TEST(code_assignment_test, sheet_cells_follow_the_codes_and_the_added_line_leaves_kept_characters_out) {
    const CodeRules rules = rules_of(0x8140, {}, {{0x40, 0x42}});
    auto table = assign_codes(used_in(u"国新甲"), CharacterOrder::appearance, old_of(u"8141=国\r\n7000=甲\r\n"),
                              Codes{0x8142}, rules);
    ASSERT_TRUE(table);
    EXPECT_EQ(table_text(*table), u"7000=甲\r\n8140=新\r\n8141=国\r\n");
    EXPECT_EQ(added_characters_line(*table), u"新\r\n");
    // 7000 lies before the first cell; 8142 (the filter's) stays empty.
    EXPECT_EQ(sheet_cells(*table, rules), (std::vector<std::optional<char32_t>>{U'新', U'国'}));

    auto spread = assign_codes(used_in(u"甲乙丙"), CharacterOrder::appearance, {}, Codes{0x8142}, rules);
    ASSERT_TRUE(spread);
    EXPECT_EQ(sheet_cells(*spread, rules),
              (std::vector<std::optional<char32_t>>{U'甲', U'乙', std::nullopt, U'丙'}));
}

}  // namespace
}  // namespace quillmere
