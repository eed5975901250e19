#include "core/records/session.hpp"

#include <gtest/gtest.h>

#include "core/commands/records_commands.hpp"
#include "core/records/settings_file.hpp"
#include "core/support/temp_dir.hpp"

namespace quillmere::records {
namespace {

using testing::bytes_of;
using testing::read_file;
using testing::TempDir;
using testing::write_file;

TEST(session_test, settings_file_name_in_the_data_directory) {
    auto path = settings_file_path("/data");
    EXPECT_EQ(path.parent_path(), std::filesystem::path("/data"));
    EXPECT_EQ(path.filename().string(), "Quillmere\xE6\xB1\x89\xE5\x8C\x96\xE5\xB7\xA5\xE5\x85\xB7.ini");
}

TEST(session_test, first_start_with_an_empty_or_missing_data_directory) {
    TempDir dir;
    for (const auto& data_dir : {dir.path(), dir / "missing"}) {
        StartupState state = start_up(data_dir);
        EXPECT_TRUE(state.records.empty()) << data_dir;
        EXPECT_EQ(state.single_filter_text, u"") << data_dir;
        EXPECT_EQ(state.double_filter_text, u"") << data_dir;
    }
}

TEST(session_test, start_up_restores_each_part) {
    TempDir dir;
    write_file(settings_file_path(dir.path()), "\"Menu\",\"8000\",\"8FFF\"\r\n\";old\",\"1\",\"2\"\r\n");
    write_file(dir / "glq.dat", "00=over\r\n\r\nF0=turn2");
    write_file(dir / "glq2.dat", "8140=\xC3\xFB\xD7\xD6\r\n\r\n");
    StartupState state = start_up(dir.path());
    EXPECT_EQ(state.records, (RecordList{{u"Menu", u"8000", u"8FFF"}}));
    EXPECT_EQ(state.single_filter_text, u"00=over\r\nF0=turn2\r\n");
    EXPECT_EQ(state.double_filter_text, u"8140=名字\r\n");
}

TEST(session_test, each_part_stands_on_its_own) {
    TempDir dir;
    write_file(dir / "glq.dat", "A\r\n");
    std::filesystem::create_directory(dir / "glq2.dat");  // unreadable
    StartupState state = start_up(dir.path());
    EXPECT_TRUE(state.records.empty());
    EXPECT_EQ(state.single_filter_text, u"A\r\n");
    EXPECT_EQ(state.double_filter_text, u"");

    std::filesystem::remove(dir / "glq.dat");
    ASSERT_TRUE(save_records(settings_file_path(dir.path()), {{u"a", u"1", u"2"}}));
    state = start_up(dir.path());
    EXPECT_EQ(state.records, (RecordList{{u"a", u"1", u"2"}}));
    EXPECT_EQ(state.single_filter_text, u"");
}

TEST(session_test, shut_down_writes_both_files) {
    TempDir dir;
    EXPECT_TRUE(shut_down(dir.path(), u"", u""));
    EXPECT_EQ(read_file(dir / "glq.dat"), bytes_of("\r\n"));
    EXPECT_EQ(read_file(dir / "glq2.dat"), bytes_of("\r\n"));

    EXPECT_TRUE(shut_down(dir.path(), u"00=over\r\nF0=turn2", u"8140=名字\r\n"));
    EXPECT_EQ(read_file(dir / "glq.dat"), bytes_of("00=over\r\nF0=turn2\r\n"));
    EXPECT_EQ(read_file(dir / "glq2.dat"), bytes_of("8140=\xC3\xFB\xD7\xD6\r\n\r\n"));

    StartupState state = start_up(dir.path());
    EXPECT_EQ(state.single_filter_text, u"00=over\r\nF0=turn2\r\n");
    EXPECT_EQ(state.double_filter_text, u"8140=名字\r\n");
    // The settings file is not touched by shut-down.
    EXPECT_FALSE(std::filesystem::exists(settings_file_path(dir.path())));
}

TEST(session_test, shut_down_writes_one_file_when_the_other_fails) {
    const Message failed = error_message(u"过滤区保存失败");
    TempDir dir;
    std::filesystem::create_directory(dir / "glq.dat");
    const Message message = run_shut_down(dir.path(), u"A", u"B").message;
    EXPECT_EQ(message, failed);
    EXPECT_EQ(message.title(), u"错误");
    EXPECT_EQ(read_file(dir / "glq2.dat"), bytes_of("B\r\n"));

    std::filesystem::remove(dir / "glq.dat");
    std::filesystem::remove(dir / "glq2.dat");
    std::filesystem::create_directory(dir / "glq2.dat");
    EXPECT_EQ(run_shut_down(dir.path(), u"A", u"B").message, failed);
    EXPECT_EQ(read_file(dir / "glq.dat"), bytes_of("A\r\n"));

    EXPECT_EQ(run_shut_down(dir / "missing", u"A", u"B").message, failed);
    TempDir fine;
    EXPECT_FALSE(run_shut_down(fine.path(), u"A", u"B").message.shown());
    EXPECT_FALSE(std::filesystem::exists(dir / "missing"));
}

}  // namespace
}  // namespace quillmere::records
