// The one table setup: the code tables the mode uses and the ticked filter
// lists, read in one order with one set of messages for every command.
#include "core/commands/table_setup.hpp"

#include <gtest/gtest.h>

#include "core/commands/messages.hpp"
#include "core/support/temp_dir.hpp"

namespace quillmere {
namespace {

using testing::TempDir;
using testing::write_file;
using testing::write_gbk;

class table_setup_test : public ::testing::Test {
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
        auto tables = load_export_tables(setup(mode, p2, p1), untick);
        EXPECT_FALSE(tables.has_value());
        return tables ? u"" : messages::setup_failure(tables.error()).text;
    }
    static TableSetup setup(RomMode mode, const std::filesystem::path& p2, const std::filesystem::path& p1) {
        TableSetup setup;
        setup.mode = mode;
        setup.double_table = p2;
        setup.single_table = p1;
        return setup;
    }
    FilterUnticks untick;
};

TEST_F(table_setup_test, loads_only_what_the_mode_needs) {
    auto dbl = load_export_tables(setup(RomMode::double_byte, good2, ""), untick);
    ASSERT_TRUE(dbl.has_value());
    EXPECT_TRUE(dbl->tables.double_byte.has_value());
    EXPECT_FALSE(dbl->tables.single.has_value());
    EXPECT_EQ(dbl->tables.double_byte->at(0x81, 0x40), u"啊");

    auto single = load_export_tables(setup(RomMode::single_byte, bad, good1), untick);  // Text2 is not read at all
    ASSERT_TRUE(single.has_value());
    EXPECT_FALSE(single->tables.double_byte.has_value());

    auto both = load_export_tables(setup(RomMode::both, good2, good1), untick);
    ASSERT_TRUE(both.has_value());
    EXPECT_TRUE(both->tables.single && both->tables.double_byte);
}

TEST_F(table_setup_test, messages_in_their_order) {
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
    auto failed = load_export_tables(setup(RomMode::double_byte, bad, ""), untick);
    EXPECT_EQ(messages::setup_failure(failed.error()).title(), u"错误");
}

TEST(table_setup, the_check_reads_the_tables_in_the_same_order_with_the_same_messages) {
    testing::TempDir dir;
    testing::write_gbk(dir / "good.tbl", u"8140=啊\r\n41=A\r\n");
    testing::write_gbk(dir / "empty_value.tbl", u"8140=啊\r\n0A=\r\n");
    testing::write_gbk(dir / "no_equals.tbl", u"8140=啊\r\nx\r\n");
    testing::write_file(dir / "no_lines.tbl", "");
    testing::write_file(dir / "bad_bytes.tbl", "41=\x81\r\n");
    const auto good = dir / "good.tbl", none = std::filesystem::path();
    struct Case {
        RomMode mode;
        std::filesystem::path double_path, single_path;
        std::u16string message;  // empty: loads
    };
    const Case cases[] = {
        {RomMode::double_byte, none, none, u"请先选择一个双字节码表"},
        {RomMode::both, none, none, u"请先选择一个双字节码表"},
        {RomMode::single_byte, none, none, u"请先选择一个单字节码表"},
        {RomMode::both, good, none, u"请先选择一个单字节码表"},
        {RomMode::double_byte, good, none, u""},
        {RomMode::single_byte, none, good, u""},
        {RomMode::double_byte, dir / "empty_value.tbl", none, u"码表里0A行出现空字符"},
        {RomMode::double_byte, dir / "no_equals.tbl", none, u"码表读取错误"},
        {RomMode::double_byte, dir / "missing.tbl", none, u"码表读取错误"},
        {RomMode::single_byte, none, dir / "no_lines.tbl", u"码表读取错误"},
        {RomMode::single_byte, none, dir / "bad_bytes.tbl", u"码表读取错误"},
        // An empty value wins over a read error of the other table.
        {RomMode::both, dir / "no_equals.tbl", dir / "empty_value.tbl", u"码表里0A行出现空字符"},
        {RomMode::both, dir / "missing.tbl", none, u"请先选择一个单字节码表"},
    };
    for (const Case& c : cases) {
        TableSetup setup;
        setup.mode = c.mode;
        setup.double_table = c.double_path;
        setup.single_table = c.single_path;
        FilterUnticks untick;
        auto loaded = load_script_tables(setup, untick);
        if (c.message.empty()) {
            EXPECT_TRUE(loaded.has_value());
        } else {
            ASSERT_FALSE(loaded.has_value());
            EXPECT_EQ(messages::setup_failure(loaded.error()), error_message(c.message));
        }
    }
}


TEST(table_setup, filter_list_failures_name_their_list) {
    using Cause = SetupFailure::Cause;
    EXPECT_EQ(messages::setup_failure({Cause::filter_empty_field, true}), error_message(u"双字节过滤区禁止使用空字符"));
    EXPECT_EQ(messages::setup_failure({Cause::filter_empty_field, false}), error_message(u"单字节过滤区禁止使用空字符"));
    EXPECT_EQ(messages::setup_failure({Cause::filter_bad_entry, true}), error_message(u"双字节过滤填写错误"));
    EXPECT_EQ(messages::setup_failure({Cause::filter_bad_entry, false}), error_message(u"单字节过滤填写错误"));
}

// The lists are read one after the other: a double-byte list that fails
// leaves the single-byte list unread (not unticked, no temporary file);
// the single-byte list failing still unticks an empty double-byte list.
// Both loaders agree on every step.
TEST(table_setup, filter_lists_are_read_double_byte_first_by_both_loaders) {
    TempDir dir;
    write_gbk(dir / "d.tbl", u"8140=啊\r\n");
    struct Case {
        FilterListInput double_list, single_list;
        std::u16string message;  // empty: loads
        FilterUnticks untick;
        bool single_written;  // temp3.txt
    };
    const Case cases[] = {
        {{u"=over", true}, {u"", true}, u"双字节过滤填写错误", {false, false}, false},
        {{u"", true}, {u"=x", true}, u"单字节过滤区禁止使用空字符", {true, false}, true},
        {{u"8000=over", true}, {u"", true}, u"", {false, true}, false},
        {{u"8000=over", false}, {u"00=\uFFFD", true, true}, u"单字节过滤填写错误", {false, false}, false},
        {{u"8000=over", true}, {u"00=over", true}, u"", {false, false}, true},
    };
    for (const Case& c : cases) {
        for (const bool for_export : {true, false}) {
            std::filesystem::remove(dir / "temp3.txt");
            TableSetup setup;
            setup.double_table = dir / "d.tbl";
            setup.double_filter = c.double_list;
            setup.single_filter = c.single_list;
            setup.data_dir = dir.path();
            FilterUnticks untick;
            std::optional<SetupFailure> failure;
            if (for_export) {
                auto loaded = load_export_tables(setup, untick);
                if (!loaded) failure = loaded.error();
            } else {
                auto loaded = load_script_tables(setup, untick);
                if (!loaded) failure = loaded.error();
            }
            SCOPED_TRACE(text::to_utf8(c.double_list.text + u" / " + c.single_list.text));
            EXPECT_EQ(failure ? messages::setup_failure(*failure).text : u"", c.message);
            EXPECT_EQ(untick.double_filter, c.untick.double_filter);
            EXPECT_EQ(untick.single_filter, c.untick.single_filter);
            EXPECT_EQ(std::filesystem::exists(dir / "temp3.txt"), c.single_written);
        }
    }
}

// One rule for a filter list kept in a file, whoever reads it: its
// non-empty lines, each ended by CR LF; bytes its encoding does not define
// make the list one no box could have held.
TEST(table_setup, a_filter_list_file_is_read_by_one_rule) {
    TempDir dir;
    write_file(dir / "plain.txt", "00=over\r\n\r\nF0=turn2");
    write_file(dir / "bad.txt", "00=over\r\n01=\x81\x7F\r\n");
    auto plain = filter_list_from_file(dir / "plain.txt");
    ASSERT_TRUE(plain.has_value());
    EXPECT_EQ(plain->text, u"00=over\r\nF0=turn2\r\n");
    EXPECT_TRUE(plain->ticked);
    EXPECT_FALSE(plain->bad_bytes);
    auto bad = filter_list_from_file(dir / "bad.txt");
    ASSERT_TRUE(bad.has_value());
    EXPECT_TRUE(bad->bad_bytes);
    EXPECT_FALSE(filter_list_from_file(dir / "missing.txt").has_value());

    TableSetup setup;
    setup.double_table = dir / "d.tbl";
    write_gbk(dir / "d.tbl", u"8140=啊\r\n");
    setup.single_filter = *bad;
    FilterUnticks untick;
    EXPECT_EQ(messages::setup_failure(load_script_tables(setup, untick).error()), error_message(u"单字节过滤填写错误"));
}

}  // namespace
}  // namespace quillmere
