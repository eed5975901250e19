#include "core/files/files.hpp"

#include <gtest/gtest.h>

#include <filesystem>

#include "core/support/temp_dir.hpp"

namespace quillmere::files {
namespace {

using testing::bytes_of;
using testing::read_file;
using testing::TempDir;
using testing::write_file;

TEST(files_test, reads_code_page_936_lines) {
    TempDir dir;
    write_file(dir / "t.txt", "8140=\xA1\xA1\r\n41=A\r\n\r\nlast");
    auto lines = read_text_lines(dir / "t.txt");
    ASSERT_TRUE(lines.has_value());
    EXPECT_EQ(*lines, (std::vector<std::u16string>{u"8140=\u3000", u"41=A", u"", u"last"}));
}

TEST(files_test, utf8_byte_order_mark_selects_utf8) {
    TempDir dir;
    write_file(dir / "u.txt", "\xEF\xBB\xBF" "41=\xE5\x95\x8A\r\n");  // 啊 in UTF-8
    auto lines = read_text_lines(dir / "u.txt");
    ASSERT_TRUE(lines.has_value());
    EXPECT_EQ(*lines, (std::vector<std::u16string>{u"41=啊"}));
}

TEST(files_test, writes_exact_code_page_936_bytes) {
    TempDir dir;
    ASSERT_TRUE(write_text_file(dir / "o.txt", u"0,2,\u3000\r\n{跳跃符F0：012C}\r\n"));
    EXPECT_EQ(read_file(dir / "o.txt"),
              bytes_of("0,2,\xA1\xA1\r\n{\xCC\xF8\xD4\xBE\xB7\xFB" "F0\xA3\xBA" "012C}\r\n"));
}

TEST(files_test, unencodable_text_writes_nothing_and_names_the_character) {
    TempDir dir;
    write_file(dir / "o.txt", "old");
    auto written = write_text_file(dir / "o.txt", u"ok\u00C0");
    ASSERT_FALSE(written.has_value());
    EXPECT_EQ(written.error(), (TextWriteFailure{TextWriteFailure::Kind::unencodable, U'\u00C0'}));
    EXPECT_EQ(read_file(dir / "o.txt"), bytes_of("old"));
}

TEST(files_test, missing_files_and_directories_cannot_be_read) {
    TempDir dir;
    EXPECT_EQ(read_bytes(dir / "none").error(), FileError::cannot_open);
    EXPECT_EQ(read_bytes(dir.path()).error(), FileError::cannot_open);
    EXPECT_EQ(read_bytes("").error(), FileError::cannot_open);
    EXPECT_FALSE(write_text_file(dir / "no" / "such" / "dir.txt", u"x").has_value());
}

TEST(files_test, empty_file_reads_as_no_lines) {
    TempDir dir;
    write_file(dir / "e.txt", "");
    auto lines = read_text_lines(dir / "e.txt");
    ASSERT_TRUE(lines.has_value());
    EXPECT_TRUE(lines->empty());
}

}  // namespace
}  // namespace quillmere::files
