// A text found through the tables in every encoding they allow: a character
// in both tables, under two codes, inside a longer value; a tag under each
// of its codes; markers and {$XX}.
#include "core/find/text_search.hpp"

#include <gtest/gtest.h>

#include "core/text/gbk.hpp"

namespace quillmere::find {
namespace {

using Bytes = std::vector<std::uint8_t>;

class text_search_test : public ::testing::Test {
protected:
    text_search_test() {
        EXPECT_TRUE(tables.filters.add_single_list(std::vector<std::u16string>{u"00=over", u"02=主角", u"01=turn2"}));
        EXPECT_TRUE(tables.filters.add_double_list(std::vector<std::u16string>{u"8002=主角"}));
    }

    Expected<TextQuery, QueryFailure> query(std::u16string_view text) const {
        return text_query(text, double_lines, single_lines, tables);
    }

    // The offsets found and the encoding shown for each.
    std::vector<std::pair<std::size_t, std::u16string>> found(std::u16string_view text, const Bytes& rom) const {
        auto built = query(text);
        EXPECT_TRUE(built);
        if (!built) return {};
        const TextHits hits = find_text(rom, *built, {0, rom.size() - 1}, 100);
        EXPECT_EQ(hits.total, hits.hits.size());
        std::vector<std::pair<std::size_t, std::u16string>> shown;
        for (const TextHit& hit : hits.hits) shown.emplace_back(hit.offset, text_map(*built, hit));
        return shown;
    }

    // A in both tables, B under two codes, AB and CD as longer values, C
    // without D alone.
    std::vector<TableLine> single_lines{{u"41", u"A"}, {u"42", u"B"}, {u"43", u"C"}};
    std::vector<TableLine> double_lines{{u"8141", u"A"}, {u"8142", u"AB"}, {u"8143", u"B"}, {u"8144", u"CD"}};
    ScriptTables tables{ReverseTables(double_lines, single_lines), FilterLookup{}, false};
};

TEST_F(text_search_test, every_encoding_of_values_and_tags_is_found) {
    const Bytes rom{0x41, 0x42, 0x02, 0xFF, 0x81, 0x41, 0x81, 0x43, 0x80, 0x02, 0xFF,
                    0x81, 0x42, 0x02, 0xFF, 0x41, 0x42, 0x03, 0xFF, 0x81, 0x44};
    using Found = std::vector<std::pair<std::size_t, std::u16string>>;
    EXPECT_EQ(found(u"AB{主角}", rom), (Found{{0, u"A=41 B=42 {主角}=02"},
                                              {4, u"A=8141 B=8143 {主角}=8002"},
                                              {5, u"A=41 B=8143 {主角}=8002"},
                                              {11, u"AB=8142 {主角}=02"}}));
    // Reading C alone leads nowhere; CD is one value.
    EXPECT_EQ(found(u"CD", rom), (Found{{19, u"CD=8144"}}));
}

TEST_F(text_search_test, markers_and_hex_bytes_stand_for_their_bytes) {
    const Bytes rom{0xFF, 0x41, 0x01, 0x00, 0x64, 0x42, 0x00, 0x7F, 0xFF};
    using Found = std::vector<std::pair<std::size_t, std::u16string>>;
    EXPECT_EQ(found(u"A{跳跃符01：0064}B{结束符00}", rom),
              (Found{{1, u"A=41 {跳跃符01：0064}=010064 B=42 {结束符00}=00"}}));
    EXPECT_FALSE(query(u"B{$7F}"));
    tables.hex_bytes = true;
    EXPECT_EQ(found(u"B{$7F}", rom), (Found{}));  // 42 00 7F: the end code stands between
    EXPECT_EQ(found(u"{结束符00}{$7F}", rom), (Found{{6, u"{结束符00}=00 {$7F}=7F"}}));
}

TEST_F(text_search_test, what_no_table_encodes_is_refused_by_name) {
    struct Case {
        std::u16string_view text;
        QueryFailure failure;
    };
    using Cause = QueryFailure::Cause;
    for (const Case& c :
         {Case{u"", {Cause::empty, u""}}, Case{u"AXB", {Cause::not_in_tables, u"X"}},
          Case{u"CE", {Cause::not_in_tables, u"E"}}, Case{u"DC", {Cause::not_in_tables, u"D"}},
          Case{u"A{无名}", {Cause::bad_token, u"{无名}"}}, Case{u"A{结束", {Cause::bad_token, u"{结束"}},
          Case{u"A{结束符0}", {Cause::bad_token, u"{结束符0}"}}, Case{u"A\nB", {Cause::control_character, u"\n"}}}) {
        auto built = query(c.text);
        ASSERT_FALSE(built) << text::to_utf8(c.text);
        EXPECT_EQ(built.error(), c.failure) << text::to_utf8(c.text);
    }
}

TEST_F(text_search_test, the_preview_reads_pairs_before_bytes) {
    CodeTables forward;
    forward.single = single_byte_table({single_lines, false}).table;
    forward.double_byte = double_byte_table({double_lines, false}).table;
    const Bytes rom{0x41, 0x81, 0x44, 0x09, 0x81, 0x42, 0x42};
    EXPECT_EQ(table_preview(rom, 0, forward), u"ACD.ABB");
    EXPECT_EQ(table_preview(rom, 0, forward, 3), u"ACD.");
}

}  // namespace
}  // namespace quillmere::find
