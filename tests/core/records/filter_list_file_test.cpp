#include "core/records/filter_list_file.hpp"

#include <gtest/gtest.h>

#include "core/support/temp_dir.hpp"

namespace quillmere::records {
namespace {

using testing::bytes_of;
using testing::read_file;
using testing::TempDir;
using testing::write_file;

TEST(filter_list_file_test, reaches_a_fixed_point_after_one_cycle) {
    TempDir dir;
    auto file = dir / "glq.dat";
    write_file(file, "A\r\n\r\nB\r\n");
    auto box = read_filter_list_file(file);
    ASSERT_TRUE(box);
    EXPECT_EQ(box->text, u"A\r\nB\r\n");
    EXPECT_FALSE(box->bad_bytes);
    ASSERT_TRUE(write_filter_list_file(file, box->text));
    EXPECT_EQ(read_file(file), bytes_of("A\r\nB\r\n\r\n"));
    auto again = read_filter_list_file(file);
    ASSERT_TRUE(again);
    EXPECT_EQ(again->text, box->text);
    ASSERT_TRUE(write_filter_list_file(file, again->text));
    EXPECT_EQ(read_file(file), bytes_of("A\r\nB\r\n\r\n"));
}

TEST(filter_list_file_test, box_text_from_file_text) {
    struct Case {
        const char* what;
        std::u16string file;
        std::u16string box;
    };
    const Case cases[] = {
        {"empty", u"", u""},
        {"only empty lines", u"\r\n\r\n\r\r\n", u""},
        {"last line without a line end", u"00=over\r\nF0=turn2", u"00=over\r\nF0=turn2\r\n"},
        {"lone CR ends a line", u"A\rB\r", u"A\r\nB\r\n"},
        {"lone LF stays inside the line", u"A\nB\r\n", u"A\nB\r\n"},
        {"a line of blanks is kept", u"A\r\n  \r\n", u"A\r\n  \r\n"},
        {"Chinese text", u"8140=名字\r\n", u"8140=名字\r\n"},
    };
    for (const auto& c : cases) EXPECT_EQ(filter_box_text(c.file), c.box) << c.what;
}

TEST(filter_list_file_test, writes_the_box_text_and_one_line_end_in_code_page_936) {
    TempDir dir;
    auto file = dir / "glq2.dat";
    write_file(file, "old contents that are longer\r\n");
    ASSERT_TRUE(write_filter_list_file(file, u"8140=名字\r\nA00=over"));
    EXPECT_EQ(read_file(file), bytes_of("8140=\xC3\xFB\xD7\xD6\r\nA00=over\r\n"));
    ASSERT_TRUE(write_filter_list_file(file, u""));
    EXPECT_EQ(read_file(file), bytes_of("\r\n"));
}

TEST(filter_list_file_test, failures) {
    TempDir dir;
    EXPECT_FALSE(read_filter_list_file(dir / "glq.dat"));
    EXPECT_FALSE(write_filter_list_file(dir / "missing" / "glq.dat", u"A"));
    auto file = dir / "glq.dat";
    write_file(file, "A\r\n");
    EXPECT_FALSE(write_filter_list_file(file, u"\U0001F600"));
    EXPECT_EQ(read_file(file), bytes_of("A\r\n"));
}

}  // namespace
}  // namespace quillmere::records
