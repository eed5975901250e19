#include "core/records/records.hpp"

#include <gtest/gtest.h>

#include "core/commands/messages.hpp"
#include "core/records/settings_file.hpp"
#include "core/support/temp_dir.hpp"

namespace quillmere::records {
namespace {

using testing::bytes_of;
using testing::read_file;
using testing::TempDir;
using testing::write_file;

const RecordList kListed{{u"Menu", u"8000", u"8FFF"}, {u"开头", u"1A000", u"1B2FF"}, {u"End", u"10", u"20"}};

// The settings file as the store last wrote it, so that a test can tell
// whether a refused command left it alone.
class record_store_test : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(save_records(file, kListed)); }
    testing::Bytes file_bytes() const { return read_file(file); }

    TempDir dir;
    std::filesystem::path file = dir / "settings.ini";
    testing::Bytes listed_bytes = bytes_of(
        "\"Menu\",\"8000\",\"8FFF\"\r\n\"\xBF\xAA\xCD\xB7\",\"1A000\",\"1B2FF\"\r\n\"End\",\"10\",\"20\"\r\n");
};

std::optional<Message> error(std::u16string text) { return error_message(std::move(text)); }

// What the user is told of a change: the catalogue's text of its refusal.
std::optional<Message> message_of(const Change& change) {
    if (!change.refusal) return std::nullopt;
    return messages::record_refusal(*change.refusal);
}

void expect_refused(const Change& change, const std::optional<Message>& message, const char* what) {
    EXPECT_EQ(message_of(change), message) << what;
    if (change.refusal) {
        EXPECT_EQ(message_of(change)->title(), u"错误") << what;
    }
    EXPECT_FALSE(change.changed) << what;
    EXPECT_EQ(change.records, kListed) << what;
}

TEST(record_store_confirmations, texts_and_title) {
    EXPECT_EQ(messages::delete_question().text, u"要删除记录吗？");
    EXPECT_EQ(messages::delete_question().title(), u"提示");
    EXPECT_EQ(messages::modify_question().text, u"要修改记录吗？");
    EXPECT_EQ(messages::modify_question().title(), u"提示");
}

TEST_F(record_store_test, add_refusals_in_their_order) {
    struct Case {
        const char* what;
        Record typed;
        std::optional<Message> message;
    };
    const Case cases[] = {
        {"empty name", {u"", u"100", u"200"}, error(u"请先输入记录名")},
        {"empty name before bad addresses", {u"", u"", u"12G"}, error(u"请先输入记录名")},
        {"empty name before a quote", {u"", u"\"", u"200"}, error(u"请先输入记录名")},
        {"semicolon", {u";x", u"100", u"200"}, error(u"记录名不能以分号开头")},
        {"semicolon before bad addresses", {u";x", u"", u""}, error(u"记录名不能以分号开头")},
        {"semicolon before the duplicate test", {u";x", u"1", u"2"}, error(u"记录名不能以分号开头")},
        {"quote in the name", {u"a\"b", u"100", u"200"}, error(u"名称和地址不能包含引号或换行")},
        {"CR in the name", {u"a\rb", u"100", u"200"}, error(u"名称和地址不能包含引号或换行")},
        {"LF in the name", {u"a\nb", u"100", u"200"}, error(u"名称和地址不能包含引号或换行")},
        {"quote in the start", {u"New", u"\"100\"", u"200"}, error(u"名称和地址不能包含引号或换行")},
        {"line break in the end", {u"New", u"100", u"200\r\n"}, error(u"名称和地址不能包含引号或换行")},
        {"quote before the duplicate test", {u"Menu", u"1\"", u"2"}, error(u"名称和地址不能包含引号或换行")},
        {"not GBK, whole character named", {u"菜单\U0001F600\u20AC", u"100", u"200"},
         error(u"名称中有无法保存为GBK的字符[\U0001F600]")},
        {"lone surrogate", {u"a\xD800" u"b", u"100", u"200"}, error(u"名称中有无法保存为GBK的字符[\xD800]")},
        {"not GBK before the duplicate test", {u"Menu", u"1", u"2\u0E01"},
         error(u"名称中有无法保存为GBK的字符[\u0E01]")},
        {"empty start", {u"New", u"", u"200"}, std::nullopt},
        {"empty end", {u"New", u"100", u""}, std::nullopt},
        {"prefix", {u"New", u"0x100", u"200"}, std::nullopt},
        {"bad digit", {u"New", u"100", u"12G"}, std::nullopt},
        {"blank around digits", {u"New", u" 100", u"200"}, std::nullopt},
        {"too large", {u"New", u"1", u"100000000"}, std::nullopt},
        {"addresses parsed before the duplicate test", {u"Menu", u"", u"200"}, std::nullopt},
        {"duplicate", {u"Menu", u"100", u"200"}, error(u"该记录已经存在，无法添加。")},
        {"duplicate in Chinese", {u"开头", u"100", u"200"}, error(u"该记录已经存在，无法添加。")},
        {"duplicate before the range", {u"End", u"200", u"100"}, error(u"该记录已经存在，无法添加。")},
        {"start zero", {u"New", u"0", u"200"}, error(u"起点或终点输入错误，无法添加。")},
        {"start above end", {u"New", u"100", u"FF"}, error(u"起点或终点输入错误，无法添加。")},
    };
    for (const auto& c : cases) {
        expect_refused(add_record(kListed, c.typed, file), c.message, c.what);
        EXPECT_EQ(file_bytes(), listed_bytes) << c.what;
    }
}

TEST_F(record_store_test, add_appends_and_saves) {
    struct Case {
        const char* what;
        Record typed;
    };
    const Case cases[] = {
        {"case differs", {u"menu", u"100", u"200"}},
        {"trailing blank differs", {u"Menu ", u"100", u"200"}},
        {"blank name is not empty", {u" ", u"100", u"200"}},
        {"start equal to end", {u"New", u"100", u"100"}},
        {"texts kept as typed", {u"New", u"00a", u"00FF"}},
        {"largest value", {u"New", u"1", u"7FFFFFFF"}},
        {"semicolon not first", {u"a;b", u"1", u"2"}},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(save_records(file, kListed));
        Change change = add_record(kListed, c.typed, file);
        EXPECT_EQ(message_of(change), std::nullopt) << c.what;
        EXPECT_TRUE(change.changed) << c.what;
        RecordList expected = kListed;
        expected.push_back(c.typed);
        EXPECT_EQ(change.records, expected) << c.what;
        EXPECT_EQ(load_records(file).value(), expected) << c.what;
    }
}

TEST_F(record_store_test, no_fixed_capacity) {
    RecordList records;
    for (int i = 0; i < 120; ++i) {
        std::u16string name = u"r";
        for (char c : std::to_string(i)) name += static_cast<char16_t>(c);
        Change change = add_record(records, {name, u"1", u"2"}, file);
        ASSERT_FALSE(message_of(change)) << i;
        records = std::move(change.records);
    }
    EXPECT_EQ(records.size(), 120u);
    EXPECT_EQ(load_records(file).value(), records);
}

TEST_F(record_store_test, delete_refusals) {
    expect_refused(delete_record(kListed, std::nullopt, false, file), std::nullopt, "no, nothing selected");
    expect_refused(delete_record(kListed, 1, false, file), std::nullopt, "no");
    expect_refused(delete_record(kListed, std::nullopt, true, file), error(u"请先选择一个记录名"), "nothing selected");
    expect_refused(delete_record(kListed, 3, true, file), error(u"请先选择一个记录名"), "past the end");
    EXPECT_EQ(file_bytes(), listed_bytes);
    Change empty = delete_record({}, std::nullopt, true, file);
    EXPECT_EQ(message_of(empty), error(u"请先选择一个记录名"));
    EXPECT_EQ(file_bytes(), listed_bytes);
}

TEST_F(record_store_test, delete_moves_later_records_up) {
    Change middle = delete_record(kListed, 1, true, file);
    EXPECT_FALSE(message_of(middle));
    EXPECT_TRUE(middle.changed);
    EXPECT_EQ(middle.records, (RecordList{kListed[0], kListed[2]}));
    EXPECT_EQ(file_bytes(), bytes_of("\"Menu\",\"8000\",\"8FFF\"\r\n\"End\",\"10\",\"20\"\r\n"));

    Change last = delete_record(middle.records, 1, true, file);
    EXPECT_EQ(last.records, (RecordList{kListed[0]}));
    EXPECT_EQ(file_bytes(), bytes_of("\"Menu\",\"8000\",\"8FFF\"\r\n"));

    Change only = delete_record(last.records, 0, true, file);
    EXPECT_TRUE(only.records.empty());
    EXPECT_TRUE(std::filesystem::exists(file));
    EXPECT_TRUE(file_bytes().empty());
}

TEST_F(record_store_test, modify_refusals_in_their_order) {
    struct Case {
        const char* what;
        std::optional<std::size_t> selection;
        Record typed;
        bool confirmed;
        std::optional<Message> message;
    };
    const std::optional<std::size_t> none;
    const Case cases[] = {
        {"no, nothing selected, empty name", none, {u"", u"", u""}, false, std::nullopt},
        {"no", 0, {u"New", u"1", u"2"}, false, std::nullopt},
        {"empty name", 0, {u"", u"1", u"2"}, true, error(u"无记录名，无法修改")},
        {"empty name before the selection", none, {u"", u"1", u"2"}, true, error(u"无记录名，无法修改")},
        {"empty name before bad addresses", 0, {u"", u"x", u"0"}, true, error(u"无记录名，无法修改")},
        {"semicolon", 0, {u";New", u"1", u"2"}, true, error(u"记录名不能以分号开头")},
        {"semicolon before the selection", none, {u";New", u"1", u"2"}, true, error(u"记录名不能以分号开头")},
        {"quote in the name", 0, {u"\"New\"", u"1", u"2"}, true, error(u"名称和地址不能包含引号或换行")},
        {"line break in the start", 0, {u"New", u"1\n", u"2"}, true, error(u"名称和地址不能包含引号或换行")},
        {"CR in the end", none, {u"New", u"1", u"2\r"}, true, error(u"名称和地址不能包含引号或换行")},
        {"not GBK before the selection", none, {u"Ω\u0E01", u"1", u"2"}, true,
         error(u"名称中有无法保存为GBK的字符[\u0E01]")},
        {"empty start", 0, {u"New", u"", u"2"}, true, error(u"开始地址或结束地址输入错误，无法修改。")},
        {"bad end", 0, {u"New", u"1", u"12G"}, true, error(u"开始地址或结束地址输入错误，无法修改。")},
        {"bad address before the selection", none, {u"New", u"0x1", u"2"}, true,
         error(u"开始地址或结束地址输入错误，无法修改。")},
        {"start zero", 0, {u"New", u"0", u"2"}, true, error(u"开始地址或结束地址输入错误，无法修改。")},
        {"start above end", 0, {u"New", u"100", u"FF"}, true, error(u"开始地址或结束地址输入错误，无法修改。")},
        {"range before the selection", none, {u"New", u"100", u"FF"}, true,
         error(u"开始地址或结束地址输入错误，无法修改。")},
        {"nothing selected", none, {u"New", u"1", u"2"}, true, error(u"请先选择一个记录名")},
        {"past the end", 3, {u"New", u"1", u"2"}, true, error(u"请先选择一个记录名")},
    };
    for (const auto& c : cases) {
        expect_refused(modify_record(kListed, c.selection, c.typed, c.confirmed, file), c.message, c.what);
        EXPECT_EQ(file_bytes(), listed_bytes) << c.what;
    }
}

TEST_F(record_store_test, modify_replaces_the_selected_record) {
    Change change = modify_record(kListed, 1, {u"Menu", u"a0", u"A0"}, true, file);
    EXPECT_FALSE(message_of(change));
    EXPECT_TRUE(change.changed);
    // A name another record holds is accepted; both keep their own addresses.
    const RecordList expected{kListed[0], {u"Menu", u"a0", u"A0"}, kListed[2]};
    EXPECT_EQ(change.records, expected);
    EXPECT_EQ(load_records(file).value(), expected);
    EXPECT_EQ(select_record(change.records, 1), (Record{u"Menu", u"a0", u"A0"}));
    EXPECT_EQ(select_record(change.records, 0), kListed[0]);
}

TEST(record_select_test, gives_the_texts_as_stored_or_nothing_past_the_end) {
    EXPECT_EQ(select_record(kListed, 2), kListed[2]);
    EXPECT_EQ(select_record(kListed, 3), Record{});
    EXPECT_EQ(select_record({}, 0), Record{});
}

TEST(record_save_failure_test, the_change_stays_and_the_user_is_told) {
    TempDir dir;
    struct Case {
        const char* what;
        std::filesystem::path file;
    };
    std::filesystem::create_directory(dir / "a directory");
    const Case cases[] = {
        {"data directory missing", dir / "missing" / "settings.ini"},
        {"a directory in place of the file", dir / "a directory"},
    };
    const auto failed = error(u"记录保存失败");
    for (const auto& c : cases) {
        Change added = add_record(kListed, {u"New", u"1", u"2"}, c.file);
        EXPECT_EQ(message_of(added), failed) << c.what;
        EXPECT_EQ(message_of(added)->title(), u"错误") << c.what;
        EXPECT_TRUE(added.changed) << c.what;
        EXPECT_EQ(added.records.size(), kListed.size() + 1) << c.what;

        Change deleted = delete_record(kListed, 0, true, c.file);
        EXPECT_EQ(message_of(deleted), failed) << c.what;
        EXPECT_EQ(deleted.records, (RecordList{kListed[1], kListed[2]})) << c.what;

        Change modified = modify_record(kListed, 2, {u"New", u"1", u"2"}, true, c.file);
        EXPECT_EQ(message_of(modified), failed) << c.what;
        EXPECT_EQ(modified.records[2], (Record{u"New", u"1", u"2"})) << c.what;
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "missing"));
}

TEST_F(record_store_test, a_name_the_file_cannot_hold_is_refused_and_saving_goes_on) {
    Change change = add_record(kListed, {u"New \U0001F600", u"1", u"2"}, file);
    EXPECT_EQ(message_of(change), error(u"名称中有无法保存为GBK的字符[\U0001F600]"));
    EXPECT_FALSE(change.changed);
    EXPECT_EQ(file_bytes(), listed_bytes);
    Change next = add_record(change.records, {u"New", u"1", u"2"}, file);
    EXPECT_EQ(message_of(next), std::nullopt);
    EXPECT_EQ(load_records(file).value(), next.records);
}

}  // namespace
}  // namespace quillmere::records
