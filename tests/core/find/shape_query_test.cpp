// Queries as typed: the orders' places, the slots they make, and every
// refusal with what it names.
#include "core/find/shape_query.hpp"

#include <gtest/gtest.h>

namespace quillmere::find {
namespace {

using Cause = QueryFailure::Cause;

TEST(shape_query_test, the_kana_orders_run_plain_voiced_then_small) {
    struct Case {
        char32_t character;
        std::uint32_t index;
    };
    for (const auto& [sequence, cases] :
         {std::pair{Sequence::hiragana(), std::vector<Case>{{U'あ', 0},
                                                            {U'お', 4},
                                                            {U'か', 5},
                                                            {U'を', 44},
                                                            {U'ん', 45},
                                                            {U'が', 46},
                                                            {U'ぼ', 65},
                                                            {U'ぱ', 66},
                                                            {U'ぽ', 70},
                                                            {U'ぁ', 71},
                                                            {U'ょ', 78},
                                                            {U'っ', 79}}},
          std::pair{Sequence::katakana(),
                    std::vector<Case>{{U'ア', 0}, {U'ン', 45}, {U'ガ', 46}, {U'ポ', 70}, {U'ァ', 71}, {U'ッ', 79}}}}) {
        ASSERT_EQ(sequence.groups().size(), 1u);
        EXPECT_EQ(sequence.groups()[0].size(), 80u);
        for (const Case& c : cases) {
            const auto place = sequence.place_of(c.character);
            ASSERT_TRUE(place) << std::uint32_t(c.character);
            EXPECT_EQ(place->index, c.index) << std::uint32_t(c.character);
        }
    }
    const Sequence latin = Sequence::latin();
    EXPECT_EQ(latin.place_of(U'z')->group, 0u);
    EXPECT_EQ(latin.place_of(U'Z')->group, 1u);
    EXPECT_EQ(latin.place_of(U'7')->index, 7u);
    EXPECT_FALSE(latin.place_of(U' '));
}

TEST(shape_query_test, a_font_file_reads_on_across_its_lines) {
    const Sequence font = Sequence::from_text(u"勇者\r\n之剑\r\n勇");
    EXPECT_EQ(font.place_of(U'之')->index, 2u);
    EXPECT_EQ(font.place_of(U'剑')->index, 3u);
    EXPECT_EQ(font.place_of(U'勇')->index, 0u);  // met again: keeps its first place
    EXPECT_TRUE(Sequence::from_text(u"\r\n").empty());
}

TEST(shape_query_test, slots_carry_groups_values_and_names) {
    const ShapeQuery relative = *relative_query(u"aB*b9a", Sequence::latin());
    ASSERT_EQ(relative.slots.size(), 6u);
    EXPECT_TRUE(relative.slots[2].free);
    EXPECT_EQ(relative.slots[1].group, 1u);
    EXPECT_EQ(relative.slots[3].value, 1);
    EXPECT_EQ(relative.names.distinct, (std::vector<std::uint32_t>{0, 1, 3, 4}));
    EXPECT_EQ(relative.names.equal, (std::vector<std::pair<std::uint32_t, std::uint32_t>>{{5, 0}}));

    const ShapeQuery values = *values_query(u" 1F, 8 ,*,0D", u"勇者之剑");
    ASSERT_EQ(values.slots.size(), 4u);
    EXPECT_EQ(values.slots[0].value, 0x1F);
    EXPECT_EQ(values.slots[1].value, 8);
    EXPECT_TRUE(values.slots[2].free);
    EXPECT_EQ(values.slots[2].character, U'之');  // takes the code found there

    const ShapeQuery pattern = *pattern_query(u"の*のに");
    EXPECT_EQ(pattern.names.equal, (std::vector<std::pair<std::uint32_t, std::uint32_t>>{{2, 0}}));
    EXPECT_EQ(pattern.slots[1].character, 0u);
}

TEST(shape_query_test, refusals_name_what_is_wrong) {
    const Sequence latin = Sequence::latin();
    struct Case {
        Expected<ShapeQuery, QueryFailure> result;
        QueryFailure failure;
    };
    const Case cases[] = {
        {relative_query(u"", latin), {Cause::empty, u""}},
        {relative_query(u"ab", latin), {Cause::too_few, u""}},
        {relative_query(u"a*b**", latin), {Cause::too_few, u""}},
        {relative_query(u"tr@vel", latin), {Cause::outside_sequence, u"@"}},
        {relative_query(u"ab\tc", latin), {Cause::control_character, u"\t"}},
        {relative_query(std::u16string(kMaxQueryLength + 1, u'a'), latin), {Cause::too_long, u""}},
        {relative_query(u"ありがとう", Sequence::katakana()), {Cause::outside_sequence, u"あ"}},
        {values_query(u"", u""), {Cause::empty, u""}},
        {values_query(u"1F,08", u""), {Cause::too_few, u""}},
        {values_query(u"1F,G8,0D", u""), {Cause::bad_value, u"G8"}},
        {values_query(u"1F,,0D,2", u""), {Cause::bad_value, u""}},
        {values_query(u"1F,20,21", u"ab"), {Cause::names_count, u""}},
        {values_query(u"1F,20,21", u"aba"), {Cause::two_values, u"a"}},
        {values_query(u"1F,20,1F", u"abc"), {Cause::two_names, u"1F"}},
        {pattern_query(u"**"), {Cause::empty, u""}},
    };
    for (const Case& c : cases) {
        ASSERT_FALSE(c.result) << int(c.failure.cause);
        EXPECT_EQ(c.result.error(), c.failure);
    }
    EXPECT_TRUE(values_query(u"1F,20,1F", u"aba"));  // the same character, the same number
}

}  // namespace
}  // namespace quillmere::find
