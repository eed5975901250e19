// The catalogue: the messages that name an entry, a record or a list do so
// where the user needs it, under the title their kind calls for.
#include "core/commands/messages.hpp"

#include <gtest/gtest.h>

#include "core/records/records.hpp"
#include "core/script/entry_failure.hpp"

namespace quillmere {
namespace {

EntryFailure missing_character(std::u16string c) { return {EntryFault::missing_character, std::move(c)}; }
EntryFailure missing_tag(std::u16string t) { return {EntryFault::missing_tag, std::move(t)}; }

TEST(messages_test, entry_messages_carry_the_address_where_they_should) {
    using namespace messages;
    EXPECT_EQ(measuring_failure(u"1F40", missing_character(u"啊")), error_message(u"1F40行出错，码表中缺少[啊]字"));
    EXPECT_EQ(measuring_failure(u"1F40", missing_tag(u"{x}")), error_message(u"1F40行出错，过滤区中缺少[{x}]"));
    EXPECT_EQ(measuring_failure(u"1F40", unprocessable()), error_message(u"1F40行文本处理错误"));
    EXPECT_EQ(encoding_failure(u"1F40", missing_tag(u"{x}")), error_message(u"过滤区中缺少[{x}]"));
    EXPECT_EQ(encoding_failure(u"1F40", unprocessable()), error_message(u"1F40行文本处理错误"));
    EXPECT_EQ(excess(u"1F40", u"3"), error_message(u"1F40行的文本超出原长 3个字节"));
    EXPECT_EQ(excess(u"1F40", u"3").title(), u"错误");
}

TEST(messages_test, titles_follow_the_severity) {
    EXPECT_EQ(messages::exported().title(), u"提示");
    EXPECT_EQ(messages::export_failed().title(), u"提示");  // an outcome of the scan, not a refusal
    EXPECT_EQ(messages::choose_rom().title(), u"错误");
    EXPECT_EQ(no_message().title(), u"");
    EXPECT_FALSE(no_message().shown());
    // Every refusal of the record store reads as an error.
    using Cause = records::RecordRefusal::Cause;
    for (Cause cause : {Cause::no_name, Cause::semicolon_name, Cause::breaks_the_line, Cause::listed_already,
                        Cause::bad_range_to_add, Cause::no_selection, Cause::no_name_to_modify,
                        Cause::bad_range_to_modify, Cause::not_saved}) {
        const Message message = messages::record_refusal(records::RecordRefusal(cause));
        EXPECT_EQ(message.severity, Severity::error);
        EXPECT_FALSE(message.text.empty());
    }
}

// A path is shown whatever the system keeps: Chinese names as they are, and
// on POSIX bytes that are no UTF-8 (a name from another system's code page)
// as U+FFFD, instead of the message failing.
TEST(messages_test, paths_are_shown_whatever_their_bytes) {
    const std::string chinese = "数据/码表.tbl";
    const std::filesystem::path path(std::u8string(chinese.begin(), chinese.end()));
    EXPECT_EQ(messages::cannot_write_file(path), error_message(u"无法写入文件：数据/码表.tbl"));
    EXPECT_EQ(messages::font_unreadable(path), error_message(u"无法读取字体文件：数据/码表.tbl"));
#if !defined(_WIN32)
    const std::filesystem::path latin1("caf\xE9.tbl");
    EXPECT_EQ(messages::cannot_write_file(latin1), error_message(u"无法写入文件：caf\uFFFD.tbl"));
    EXPECT_EQ(messages::data_dir_in_use(latin1), error_message(u"数据目录正被另一个窗口使用：caf\uFFFD.tbl"));
#endif
}

}  // namespace
}  // namespace quillmere
