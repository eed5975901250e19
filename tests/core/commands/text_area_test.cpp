#include <gtest/gtest.h>

#include "core/commands/text_area.hpp"
#include "core/support/temp_dir.hpp"

namespace quillmere {
namespace {

using testing::bytes_of;
using testing::read_file;
using testing::TempDir;
using testing::write_file;

const std::u16string kBadName = u" 文件名不能包括以下字符：\\/:*?<>\"|";

TEST(save_source_text_test, empty_name_is_refused_before_the_dialog) {
    EXPECT_EQ(check_source_text_name(u"").message, error_message(u"请先输入名称"));
    EXPECT_FALSE(check_source_text_name(u" ").message.shown());
}

TEST(save_source_text_test, writes_the_text_and_one_line_end_in_gbk) {
    TempDir dir;
    struct Case {
        std::u16string text;
        std::string bytes;
    };
    const Case cases[] = {
        {u"", "\r\n"},
        {u"0,2,名\r\n\r\n", "0,2,\xC3\xFB\r\n\r\n\r\n"},
        {u"A\nB", "A\nB\r\n"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(save_source_text(dir / "out.txt", c.text, {}).message, notice_message(u"保存文本成功"));
        EXPECT_EQ(read_file(dir / "out.txt"), bytes_of(c.bytes));
    }
}

TEST(save_source_text_test, replaces_an_existing_file) {
    TempDir dir;
    write_file(dir / "out.txt", "much longer old content");
    static_cast<void>(save_source_text(dir / "out.txt", u"x", {}));
    EXPECT_EQ(read_file(dir / "out.txt"), bytes_of("x\r\n"));
}

TEST(save_source_text_test, unwritable_path_gives_the_file_name_message) {
    TempDir dir;
    EXPECT_EQ(save_source_text(dir / "missing" / "out.txt", u"x", {}).message, error_message(kBadName));
    EXPECT_EQ(save_source_text(dir.path(), u"x", {}).message, error_message(kBadName));
}

TEST(save_source_text_test, character_outside_gbk_is_named_and_nothing_written) {
    TempDir dir;
    write_file(dir / "out.txt", "old");
    EXPECT_EQ(save_source_text(dir / "out.txt", u"好😀", {}).message, error_message(u"文本中有无法保存为GBK的字符[😀]"));
    EXPECT_EQ(read_file(dir / "out.txt"), bytes_of("old"));
}

TEST(translation_text_test, every_line_gets_cr_lf) {
    TempDir dir;
    struct Case {
        std::string bytes;
        std::u16string area;
    };
    const Case cases[] = {
        {"", u""},
        {"a\r\nb\r\nc", u"a\r\nb\r\nc\r\n"},
        {"a\r\n\r\nb\r\n", u"a\r\n\r\nb\r\n"},
        {"a\rb\nc", u"a\r\nb\nc\r\n"},
        {"0,2,\xC3\xFB\r\n", u"0,2,名\r\n"},
        {"\xEF\xBB\xBF名", u"名\r\n"},
    };
    for (const auto& c : cases) {
        write_file(dir / "t.txt", c.bytes);
        EXPECT_EQ(load_translation(dir / "t.txt").payload, c.area) << c.bytes;
    }
}

TEST(translation_text_test, unreadable_file_gives_nothing) {
    TempDir dir;
    EXPECT_EQ(load_translation(dir / "missing.txt").payload, std::nullopt);
    EXPECT_EQ(load_translation(dir.path()).payload, std::nullopt);
    EXPECT_EQ(load_translation("").payload, std::nullopt);
    EXPECT_FALSE(load_translation("").message.shown());
    EXPECT_EQ(load_translation(dir / "missing.txt").message, no_message());
}

TEST(translation_text_test, a_load_says_so) {
    TempDir dir;
    write_file(dir / "t.txt", "");
    EXPECT_EQ(load_translation(dir / "t.txt").message, notice_message(u"译文读取成功"));
}

}  // namespace
}  // namespace quillmere
