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
    EXPECT_EQ(empty_value_message(loaded.error()), error_message(u"码表里8140行出现空字符"));
    EXPECT_EQ(empty_value_message(parse_table1(Lines{u"="}).error()).text, u"码表里行出现空字符");
    EXPECT_EQ(empty_value_message(parse_table2(Lines{u"A40="}).error()).text, u"码表里A40行出现空字符");
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

class load_code_tables_test : public ::testing::Test {
protected:
    TempDir dir;
    std::filesystem::path good1 = dir / "s.tbl", good2 = dir / "d.tbl", bad = dir / "bad.tbl",
                          empty1 = dir / "e1.tbl", empty2 = dir / "e2.tbl";
    void SetUp() override {
        write_gbk(good1, u"41=A\r\n");
        write_gbk(good2, u"8140=啊\r\n");
        write_gbk(bad, u"nothing here\r\n");
        write_gbk(empty1, u"0A=\r\n");
        write_gbk(empty2, u"x\r\n8140=\r\n");
    }
    std::u16string message(RomMode mode, const std::filesystem::path& p2, const std::filesystem::path& p1) {
        auto tables = load_code_tables(mode, p2, p1);
        EXPECT_FALSE(tables.has_value());
        return tables ? u"" : tables.error().text;
    }
};

TEST_F(load_code_tables_test, loads_only_what_the_mode_needs) {
    auto dbl = load_code_tables(RomMode::double_byte, good2, "");
    ASSERT_TRUE(dbl.has_value());
    EXPECT_TRUE(dbl->double_byte.has_value());
    EXPECT_FALSE(dbl->single.has_value());
    EXPECT_EQ(dbl->double_byte->at(0x81, 0x40), u"啊");

    auto single = load_code_tables(RomMode::single_byte, bad, good1);  // Text2 is not read at all
    ASSERT_TRUE(single.has_value());
    EXPECT_FALSE(single->double_byte.has_value());

    auto both = load_code_tables(RomMode::both, good2, good1);
    ASSERT_TRUE(both.has_value());
    EXPECT_TRUE(both->single && both->double_byte);
}

TEST_F(load_code_tables_test, messages_in_their_order) {
    EXPECT_EQ(message(RomMode::both, "", ""), u"请先选择一个双字节码表");
    EXPECT_EQ(message(RomMode::double_byte, "", good1), u"请先选择一个双字节码表");
    EXPECT_EQ(message(RomMode::single_byte, good2, ""), u"请先选择一个单字节码表");
    EXPECT_EQ(message(RomMode::both, good2, ""), u"请先选择一个单字节码表");
    // An empty value is reported even after a read error in the other table.
    EXPECT_EQ(message(RomMode::both, bad, empty1), u"码表里0A行出现空字符");
    EXPECT_EQ(message(RomMode::both, empty2, empty1), u"码表里8140行出现空字符");
    // A missing single-byte path is noticed before the double-byte read error.
    EXPECT_EQ(message(RomMode::both, bad, ""), u"请先选择一个单字节码表");
    EXPECT_EQ(message(RomMode::both, bad, good1), u"码表读取错误");
    EXPECT_EQ(message(RomMode::single_byte, "", dir / "missing"), u"码表读取错误");
    auto failed = load_code_tables(RomMode::double_byte, bad, "");
    EXPECT_EQ(failed.error().title(), u"错误");
}

}  // namespace
}  // namespace quillmere
