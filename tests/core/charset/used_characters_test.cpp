#include "core/charset/used_characters.hpp"

#include <gtest/gtest.h>

namespace quillmere {
namespace {

// "字×n" for each character in first-use order.
std::u16string tally(const std::vector<UsedCharacter>& used) {
    std::u16string out;
    for (const UsedCharacter& character : used) {
        out += utf16_of(character.character);
        out += u"×";
        out += static_cast<char16_t>(u'0' + character.count);
    }
    return out;
}

TEST(used_characters_test, counts_what_needs_a_double_byte_code) {
    const std::vector<TableLine> single{{u"41", u"A"}, {u"42", u"ab"}, {u"20", u" "}};
    const ReverseTables single_table({}, single);
    const ReverseTables no_table({}, {});
    struct Case {
        std::u16string script;
        const ReverseTables* table;
        std::u16string expected;
    };
    const Case cases[] = {
        // Markers, jump markers, tags and even unknown tokens are no characters.
        {u"10,9,你好{结束符00}你\r\n\r\n20,4,{跳跃符01：0064}好{主角}。\r\n", &no_table, u"你×2好×2。×1"},
        // What the single-byte table covers (its longest value first) takes no code.
        {u"0,0,A你 ab\r\n1,0,ac}\r\n", &single_table, u"你×1a×1c×1}×1"},
        {u"0,0,A你 ab\r\n", &no_table, u"A×1你×1 ×1a×1b×1"},
        // Commas after the second belong to the text; empty text fields add nothing.
        {u"0,0,逗,号\r\n1,0,\r\n\r\n", &no_table, u"逗×1,×1号×1"},
        // A character beyond the first plane is one character.
        {u"0,0,\U00020000\U00020000", &no_table, u"\U00020000×2"},
    };
    for (const Case& c : cases) {
        auto used = used_characters(c.script, *c.table);
        ASSERT_TRUE(used) << testing::PrintToString(c.expected);
        EXPECT_EQ(tally(*used), c.expected);
    }
}

TEST(used_characters_test, an_entry_it_cannot_walk_is_named_as_the_check_names_it) {
    const ReverseTables no_table({}, {});
    const std::pair<std::u16string, std::u16string> cases[] = {
        {u"1F,2,好{结束符00\r\n", u"1F"},
        {u"1F,2,好\r\n20,3", u"20"},
        {u"1F,2,好\r\n没有逗号\r\n", u"1F"},
        {u"没有逗号\r\n", u""},
    };
    for (const auto& [script, address] : cases) {
        auto used = used_characters(script, no_table);
        ASSERT_FALSE(used);
        EXPECT_EQ(used.error().address, address);
    }
}

TEST(used_characters_test, finds_the_first_character_code_page_936_cannot_hold) {
    const std::vector<UsedCharacter> fine{{U'你', 1}, {U'€', 1}, {U'A', 1}};
    EXPECT_EQ(first_unencodable(fine), std::nullopt);
    const std::vector<UsedCharacter> bad{{U'你', 1}, {U'\U0001F600', 1}, {U'\u0E01', 1}};
    EXPECT_EQ(first_unencodable(bad), U'\U0001F600');
    EXPECT_EQ(utf16_of(U'\U0001F600'), u"\U0001F600");
}

}  // namespace
}  // namespace quillmere
