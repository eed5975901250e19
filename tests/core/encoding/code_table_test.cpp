#include "core/encoding/code_table.hpp"

#include <gtest/gtest.h>

#include "core/support/temp_dir.hpp"

namespace quillmere {
namespace {

using Lines = std::vector<std::u16string>;
using testing::TempDir;
using testing::write_file;
using testing::write_gbk;

TEST(code_table_test, single_byte_lines_store_values_untrimmed) {
    Lines lines{u"3D==", u"41=A ", u"0042=B", u"", u"043=C", u"44=x", u"44=y", u"0a=\u3000"};
    auto loaded = parse_table1(lines);
    ASSERT_TRUE(loaded.has_value());
    EXPECT_FALSE(loaded->read_error);
    const auto& t = loaded->table;
    EXPECT_EQ(t.at(0x3D), u"=");
    EXPECT_EQ(t.at(0x41), u"A ");
    EXPECT_EQ(t.at(0x42), u"B");
    EXPECT_EQ(t.at(0x43), u"C");
    EXPECT_EQ(t.at(0x44), u"y");  // the later line wins
    EXPECT_EQ(t.at(0x0A), u"\u3000");
    EXPECT_EQ(t.at(0x45), u"");
}

TEST(code_table_test, unstorable_lines_set_read_error_and_loading_goes_on) {
    for (const char16_t* bad : {u"100=A", u"=x", u"no equals", u"4G=x", u"-1=x", u" 41=x"}) {
        Lines lines{bad, u"41=A"};
        auto loaded = parse_table1(lines);
        ASSERT_TRUE(loaded.has_value());
        EXPECT_TRUE(loaded->read_error);
        EXPECT_EQ(loaded->table.at(0x41), u"A");
    }
}

TEST(code_table_test, double_byte_codes) {
    Lines lines{u"8140=a", u"A40=b", u"41=c", u"7=d", u"8a41=e", u"81FF40=f"};
    auto loaded = parse_table2(lines);
    ASSERT_TRUE(loaded.has_value());
    EXPECT_FALSE(loaded->read_error);
    const auto& t = loaded->table;
    EXPECT_EQ(t.at(0x81, 0x40), u"f");  // middle digits play no part; later line wins
    EXPECT_EQ(t.at(0x0A, 0x40), u"b");
    EXPECT_EQ(t.at(0x00, 0x41), u"c");
    EXPECT_EQ(t.at(0x00, 0x07), u"d");
    EXPECT_EQ(t.at(0x8A, 0x41), u"e");
    EXPECT_EQ(t.at(0x41, 0x41), u"");
}

TEST(code_table_test, empty_value_stops_with_code_as_written) {
    Lines lines{u"x", u"8140=", u"8141=b"};
    auto loaded = parse_table2(lines);
    ASSERT_FALSE(loaded.has_value());
    EXPECT_EQ(loaded.error().code, u"8140");
    EXPECT_EQ(parse_table1(Lines{u"="}).error().code, u"");
    EXPECT_EQ(parse_table2(Lines{u"A40="}).error().code, u"A40");
}

TEST(code_table_test, empty_file_missing_file_and_bad_bytes_are_read_errors) {
    TempDir dir;
    write_file(dir / "empty.tbl", "");
    write_file(dir / "bad.tbl", "41=\x81\r\n");
    write_file(dir / "blank.tbl", "\r\n\r\n41=A\r\n");
    EXPECT_TRUE(loadtlb1(dir / "empty.tbl")->read_error);
    EXPECT_TRUE(loadtlb1(dir / "missing.tbl")->read_error);
    EXPECT_TRUE(loadtlb2(dir.path())->read_error);
    EXPECT_TRUE(loadtlb1(dir / "bad.tbl")->read_error);
    auto blank = loadtlb1(dir / "blank.tbl");
    EXPECT_FALSE(blank->read_error);
    EXPECT_EQ(blank->table.at(0x41), u"A");
}

}  // namespace
}  // namespace quillmere
