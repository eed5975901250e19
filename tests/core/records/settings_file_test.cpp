#include "core/records/settings_file.hpp"

#include <gtest/gtest.h>

#include "core/support/temp_dir.hpp"
#include "core/text/gbk.hpp"

namespace quillmere::records {
namespace {

using testing::bytes_of;
using testing::read_file;
using testing::TempDir;
using testing::write_file;

TEST(settings_file_test, writes_the_two_record_example_byte_for_byte) {
    TempDir dir;
    auto file = dir / "settings.ini";
    ASSERT_TRUE(save_records(file, {{u"Menu", u"8000", u"8FFF"}, {u"开头", u"1A000", u"1B2FF"}}));
    const testing::Bytes expected{
        0x22, 0x4D, 0x65, 0x6E, 0x75, 0x22, 0x2C, 0x22, 0x38, 0x30, 0x30, 0x30, 0x22, 0x2C, 0x22, 0x38,
        0x46, 0x46, 0x46, 0x22, 0x0D, 0x0A, 0x22, 0xBF, 0xAA, 0xCD, 0xB7, 0x22, 0x2C, 0x22, 0x31, 0x41,
        0x30, 0x30, 0x30, 0x22, 0x2C, 0x22, 0x31, 0x42, 0x32, 0x46, 0x46, 0x22, 0x0D, 0x0A};
    EXPECT_EQ(read_file(file), expected);
}

TEST(settings_file_test, an_empty_list_truncates_the_file_to_nothing) {
    TempDir dir;
    auto file = dir / "settings.ini";
    write_file(file, "\"old\",\"1\",\"2\"\r\n");
    ASSERT_TRUE(save_records(file, {}));
    EXPECT_TRUE(std::filesystem::exists(file));
    EXPECT_EQ(read_file(file), testing::Bytes{});
}

TEST(settings_file_test, texts_are_kept_exactly_as_typed) {
    TempDir dir;
    auto file = dir / "settings.ini";
    const RecordList records{{u" Menu ", u"00ff", u"1B2fF"}, {u"a,b", u"", u"x"}, {u"", u"1", u"2"}};
    ASSERT_TRUE(save_records(file, records));
    EXPECT_EQ(read_file(file), bytes_of("\" Menu \",\"00ff\",\"1B2fF\"\r\n\"a,b\",\"\",\"x\"\r\n\"\",\"1\",\"2\"\r\n"));
    auto loaded = load_records(file);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(*loaded, records);
}

TEST(settings_file_test, reads_hand_written_files) {
    struct Case {
        const char* what;
        std::u16string text;
        RecordList expected;
    };
    const Case cases[] = {
        {"quoted", u"\"Menu\",\"8000\",\"8FFF\"\r\n", {{u"Menu", u"8000", u"8FFF"}}},
        {"unquoted", u"Menu,8000,8FFF\r\n", {{u"Menu", u"8000", u"8FFF"}}},
        {"mixed, no final line end", u"\"A\",1,\"2\"\r\nB,3,4", {{u"A", u"1", u"2"}, {u"B", u"3", u"4"}}},
        {"comma inside quotes", u"\"a,b\",\"1\",\"2\"\r\n", {{u"a,b", u"1", u"2"}}},
        {"fields across lines", u"Menu\r\n8000\r\n8FFF\r\nB,1\r\n2\r\n",
         {{u"Menu", u"8000", u"8FFF"}, {u"B", u"1", u"2"}}},
        {"two records on one line", u"A,1,2,B,3,4\r\n", {{u"A", u"1", u"2"}, {u"B", u"3", u"4"}}},
        {"lone CR and lone LF end lines", u"A,1,2\rB,3,4\nC,5,6\n",
         {{u"A", u"1", u"2"}, {u"B", u"3", u"4"}, {u"C", u"5", u"6"}}},
        {"empty lines skipped", u"\r\n\r\nA,1,2\r\n\r\n  \r\nB\r\n\r\n3,4\r\n\r\n",
         {{u"A", u"1", u"2"}, {u"B", u"3", u"4"}}},
        {"comment records dropped", u"\";note\",\"\",\"\"\r\nA,1,2\r\n;old,100,200\r\n\"; x\",1,2\r\nB,3,4\r\n",
         {{u"A", u"1", u"2"}, {u"B", u"3", u"4"}}},
        {"only a comment", u"\";\",\"1\",\"2\"\r\n", {}},
        {"blanks around fields ignored, inside quotes kept", u"  A  , 1 ,\t\" 2 \" \r\n\" B\" , 3,4 \r\n",
         {{u"A", u"1", u" 2 "}, {u" B", u"3", u"4"}}},
        {"blank inside an unquoted field kept", u"Big menu,8000,8FFF\r\n", {{u"Big menu", u"8000", u"8FFF"}}},
        {"semicolon after blanks in quotes is a name", u"\" ;x\",1,2\r\n", {{u" ;x", u"1", u"2"}}},
        {"empty fields", u",,\r\n\"\",\"\",\"\"\r\n", {{u"", u"", u""}, {u"", u"", u""}}},
        {"trailing comma leaves the end empty", u"A,1,\r\nB,3,4\r\n", {{u"A", u"1", u""}, {u"B", u"3", u"4"}}},
        {"ends after the name", u"A,1,2\r\nB", {{u"A", u"1", u"2"}, {u"B", u"", u""}}},
        {"ends after the start", u"A,1,2\r\nB,3\r\n", {{u"A", u"1", u"2"}, {u"B", u"3", u""}}},
        {"quote left open ends at the line end", u"\"A,1,2\r\nB,3,4\r\nC,5,6\r\n",
         {{u"A,1,2", u"B", u"3"}, {u"4", u"C", u"5"}, {u"6", u"", u""}}},
        {"text after a closing quote ignored", u"\"A\"x,\"1\" y,2\r\n", {{u"A", u"1", u"2"}}},
        {"nothing", u"", {}},
        {"only line ends", u"\r\n\r\n\n\r", {}},
    };
    for (const auto& c : cases) EXPECT_EQ(parse_settings_text(c.text), c.expected) << c.what;
}

TEST(settings_file_test, keeps_more_than_a_hundred_and_one_records) {
    TempDir dir;
    auto file = dir / "settings.ini";
    RecordList records;
    for (int i = 0; i < 150; ++i) records.push_back({text::from_utf8("r" + std::to_string(i)), u"1", u"2"});
    ASSERT_TRUE(save_records(file, records));
    auto loaded = load_records(file);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->size(), 150u);
    EXPECT_EQ(*loaded, records);
}

TEST(settings_file_test, loading_a_missing_file_fails) {
    TempDir dir;
    EXPECT_FALSE(load_records(dir / "none.ini"));
    EXPECT_FALSE(load_records(dir.path()));  // a directory is no file
}

TEST(settings_file_test, undecodable_bytes_load_as_replacement_characters_and_are_never_written_back) {
    TempDir dir;
    auto file = dir / "settings.ini";
    const auto original = bytes_of("\"A\x81\x7F\",\"1\",\"2\"\r\n\"B\",\"3\",\"4\"\r\n");
    write_file(file, original);
    auto loaded = load_records(file);
    ASSERT_TRUE(loaded);
    ASSERT_EQ(loaded->size(), 2u);
    EXPECT_EQ((*loaded)[0].name, u"A\uFFFD\x7F");
    EXPECT_EQ((*loaded)[1], (Record{u"B", u"3", u"4"}));
    // Saving them would replace the user's bytes with guesses; it fails and
    // leaves the file as it was.
    EXPECT_FALSE(save_records(file, *loaded));
    EXPECT_EQ(read_file(file), original);
}

TEST(settings_file_test, reads_utf8_with_a_byte_order_mark) {
    TempDir dir;
    auto file = dir / "settings.ini";
    write_file(file, "\xEF\xBB\xBF\"\xE5\xBC\x80\xE5\xA4\xB4\",\"1A000\",\"1B2FF\"\r\n");
    auto loaded = load_records(file);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(*loaded, (RecordList{{u"开头", u"1A000", u"1B2FF"}}));
}

}  // namespace
}  // namespace quillmere::records
