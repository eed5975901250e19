// The check that goes on past a failing entry and reports every one, and
// the limits of the game's text boxes.

#include <gtest/gtest.h>

#include <functional>

#include "core/commands/script_commands.hpp"
#include "core/support/temp_dir.hpp"
#include "core/text/gbk.hpp"

namespace quillmere {
namespace {

using testing::TempDir;

class CheckOptionsTest : public ::testing::Test {
protected:
    CheckOptionsTest() {
        testing::write_gbk(dir / "single.tbl", u"41=A\r\n42=B\r\n");
        testing::write_gbk(dir / "double.tbl", u"8140=啊\r\n");
    }

    CheckRequest request(std::u16string_view script) {
        testing::write_gbk(dir / "script.txt", script);
        CheckRequest r;
        r.script_file = dir / "script.txt";
        r.tables.mode = RomMode::both;
        r.tables.double_table = dir / "double.tbl";
        r.tables.single_table = dir / "single.tbl";
        r.tables.single_filter = {u"00=over", true};
        r.all_entries = true;
        return r;
    }

    TempDir dir;
};

std::vector<std::u16string> texts(const std::vector<Message>& messages) {
    std::vector<std::u16string> out;
    for (const Message& m : messages) {
        EXPECT_EQ(m.severity, Severity::error);
        out.push_back(m.text);
    }
    return out;
}

TEST_F(CheckOptionsTest, every_failing_entry_is_reported_in_script_order_then_counted) {
    struct Case {
        std::u16string script;
        std::vector<std::u16string> failures;
        Message summary;
    };
    const Case cases[] = {
        {u"10,1,A\r\n\r\n20,3,啊{结束符00}\r\n", {}, notice_message(u"此文本为合法文本")},
        {u"", {}, notice_message(u"此文本为合法文本")},
        {u"10,1,哦\r\n\r\n20,1,A\r\n\r\n30,1,AB\r\n\r\n40,1,{无}\r\n\r\n50,1,B\r\n",
         {u"10行出错，码表中缺少[哦]字", u"30行的文本超出原长 1个字节", u"40行出错，过滤区中缺少[{无}]"},
         error_message(u"共5条，3条出错")},
        // Lines that cannot be split or addressed are entries that fail too,
        // and a later good entry is still looked at.
        {u"10,1\r\n20,1,A\r\nno comma\r\n1G,1,A\r\n", {u"10行文本处理错误", u"20行文本处理错误", u"1G行文本处理错误"},
         error_message(u"共4条，3条出错")},
        {u"10,0,A", {u"10行的文本超出原长 1个字节"}, error_message(u"共1条，1条出错")},
    };
    for (const Case& c : cases) {
        CommandResult<ScriptPayload> outcome = run_check(request(c.script));
        EXPECT_EQ(texts(outcome.payload.entry_failures), c.failures) << text::to_utf8(c.script);
        EXPECT_EQ(outcome.message, c.summary) << text::to_utf8(c.script);
    }
}

TEST_F(CheckOptionsTest, without_the_option_the_first_failure_ends_the_check_and_loading_failures_stay_single) {
    CheckRequest first = request(u"10,1,哦\r\n20,1,AB\r\n");
    first.all_entries = false;
    CommandResult<ScriptPayload> outcome = run_check(first);
    EXPECT_TRUE(outcome.payload.entry_failures.empty());
    EXPECT_EQ(outcome.message, error_message(u"10行出错，码表中缺少[哦]字"));

    CheckRequest no_table = request(u"10,1,哦\r\n");
    no_table.tables.double_table.clear();
    outcome = run_check(no_table);
    EXPECT_TRUE(outcome.payload.entry_failures.empty());
    EXPECT_EQ(outcome.message, error_message(u"请先选择一个双字节码表"));
}

TEST_F(CheckOptionsTest, an_entry_over_a_box_limit_fails_with_its_line_and_both_numbers) {
    testing::write_gbk(dir / "widths.txt", u"41=6\r\n42=8\r\n");
    struct Case {
        std::u16string script;
        std::function<void(BoxLimitInput&)> limits;
        Message message;
    };
    const Case cases[] = {
        {u"1F40,9,AB{br}ABA", [](BoxLimitInput& l) { l.max_chars = 3; }, notice_message(u"此文本为合法文本")},
        {u"1F40,9,AB{br}ABAB", [](BoxLimitInput& l) { l.max_chars = 3; }, error_message(u"1F40行第2行超出行宽：4>3")},
        {u"1F40,9,A{br}B{pg}A{br}B{br}A", [](BoxLimitInput& l) { l.max_lines = 2; },
         error_message(u"1F40行第5行超出行数：3>2")},
        {u"1F40,9,AB{br}ABB", [](BoxLimitInput& l) { l.max_width = 20; l.default_width = 99; }, error_message(u"1F40行第2行超出像素宽度：22>20")},
        // The byte count comes first; the limits hold only for an entry that fits.
        {u"1F40,1,ABAB", [](BoxLimitInput& l) { l.max_chars = 3; }, error_message(u"1F40行的文本超出原长 3个字节")},
        {u"10,2,啊", [](BoxLimitInput& l) { l.max_width = 20; }, error_message(u"宽度表中缺少[8140]的宽度")},
        {u"10,2,啊", [](BoxLimitInput& l) { l.max_width = 20; l.default_width = 12; },
         notice_message(u"此文本为合法文本")},
        {u"10,2,啊", [&](BoxLimitInput& l) { l.max_width = 20; l.widths_file = dir / "missing.txt"; },
         error_message(u"宽度表读取错误")},
    };
    for (const Case& c : cases) {
        CheckRequest r = request(c.script);
        r.all_entries = false;
        r.tables.single_filter = {u"00=over\r\n01=br\r\n02=pg", true};
        r.limits.line_break = u"br";
        r.limits.page_break = u"pg";
        r.limits.widths_file = dir / "widths.txt";
        c.limits(r.limits);
        EXPECT_EQ(run_check(r).message, c.message) << text::to_utf8(c.script);
    }
    testing::write_gbk(dir / "widths.txt", u"41=6\r\n42=八\r\n");
    CheckRequest bad = request(u"10,1,A");
    bad.limits.max_width = 20;
    bad.limits.widths_file = dir / "widths.txt";
    bad.limits.default_width = 1;
    EXPECT_EQ(run_check(bad).message, error_message(u"宽度表里42=八行填写错误"));
}

}  // namespace
}  // namespace quillmere
