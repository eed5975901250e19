#include "core/platform/replace_file.hpp"

#include <gtest/gtest.h>

#include "core/support/process.hpp"
#include "core/support/temp_dir.hpp"

namespace quillmere::platform {
namespace {

namespace fs = std::filesystem;
using testing::Bytes;
using testing::bytes_of;
using testing::read_file;
using testing::TempDir;
using testing::write_file;

std::vector<std::string> names_in(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.push_back(testing::utf8_name(entry.path()));
    std::sort(names.begin(), names.end());
    return names;
}

ReplaceHooks failing_after(std::size_t bytes) {
    ReplaceHooks hooks;
    hooks.fail_after_bytes = bytes;
    return hooks;
}

Bytes big_content() {
    Bytes bytes(100000);
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i % 251);
    return bytes;
}

TEST(replace_file_test, a_failed_write_leaves_the_file_as_it_was_and_no_temporary) {
    const Bytes content = big_content();
    for (std::size_t fail_after : {std::size_t{0}, std::size_t{1}, std::size_t{4096}, content.size() - 1}) {
        SCOPED_TRACE(fail_after);
        TempDir dir;
        write_file(dir / "records.ini", "old records\r\n");
        auto replaced = replace_file(dir / "records.ini", content, failing_after(fail_after));
        ASSERT_FALSE(replaced.has_value());
        EXPECT_EQ(replaced.error(), FileError::cannot_write);
        EXPECT_EQ(read_file(dir / "records.ini"), bytes_of("old records\r\n"));
        EXPECT_EQ(names_in(dir.path()), std::vector<std::string>{"records.ini"});

        // A file that did not exist still does not.
        EXPECT_FALSE(replace_file(dir / "new.txt", content, failing_after(fail_after)).has_value());
        EXPECT_EQ(names_in(dir.path()), std::vector<std::string>{"records.ini"});
    }
}

// Written in pieces of any size, the file is replaced only by a commit,
// and then holds exactly the pieces; a failure anywhere, or no commit,
// leaves the old content and no temporary file.
TEST(replace_file_test, a_replacement_written_in_pieces) {
    const Bytes content = big_content();
    const auto write_in_pieces = [&](FileReplacement& replacement, std::size_t piece) {
        bool all = true;
        for (std::size_t at = 0; at < content.size(); at += piece)
            all = replacement.write(std::span(content).subspan(at, std::min(piece, content.size() - at))).has_value() && all;
        return all;
    };
    for (std::size_t piece : {std::size_t{1000}, std::size_t{4096}, std::size_t{65536}, content.size()}) {
        SCOPED_TRACE(piece);
        TempDir dir;
        write_file(dir / "out.txt", "old\r\n");
        fs::permissions(dir / "out.txt", fs::perms::owner_read | fs::perms::owner_write | fs::perms::others_read);
        {
            auto dropped = FileReplacement::begin(dir / "out.txt");
            ASSERT_TRUE(dropped.has_value());
            EXPECT_TRUE(write_in_pieces(*dropped, piece));
            EXPECT_EQ(names_in(dir.path()).size(), 2u);  // the temporary file beside it
        }
        EXPECT_EQ(read_file(dir / "out.txt"), bytes_of("old\r\n"));
        EXPECT_EQ(names_in(dir.path()), std::vector<std::string>{"out.txt"});

        for (std::size_t fail_after : {std::size_t{0}, piece - 1, std::min(piece + 1, content.size() - 1)}) {
            auto failing = FileReplacement::begin(dir / "out.txt", failing_after(fail_after));
            ASSERT_TRUE(failing.has_value());
            EXPECT_FALSE(write_in_pieces(*failing, piece));
            EXPECT_FALSE(failing->write(bytes_of("more")).has_value());
            EXPECT_EQ(failing->commit().error(), FileError::cannot_write);
            EXPECT_EQ(read_file(dir / "out.txt"), bytes_of("old\r\n"));
            EXPECT_EQ(names_in(dir.path()), std::vector<std::string>{"out.txt"});
        }

        auto replacement = FileReplacement::begin(dir / "out.txt");
        ASSERT_TRUE(replacement.has_value());
        EXPECT_TRUE(write_in_pieces(*replacement, piece));
        FileReplacement moved = std::move(*replacement);
        ASSERT_TRUE(moved.commit().has_value());
        EXPECT_EQ(read_file(dir / "out.txt"), content);
        EXPECT_EQ(names_in(dir.path()), std::vector<std::string>{"out.txt"});
#if !defined(_WIN32)  // Windows keeps no permission bits
        EXPECT_EQ(fs::status(dir / "out.txt").permissions(),
                  fs::perms::owner_read | fs::perms::owner_write | fs::perms::others_read);
#endif
    }
    // What replace_file refuses, a replacement refuses before it writes anything.
    TempDir dir;
    fs::create_directories(dir / "folder");
    EXPECT_EQ(FileReplacement::begin(dir / "folder").error(), FileError::cannot_open);
    EXPECT_EQ(FileReplacement::begin(dir / "missing" / "out.txt").error(), FileError::cannot_open);
    EXPECT_EQ(names_in(dir.path()), std::vector<std::string>{"folder"});
}

// The helper program replaces the file and is killed the moment before the
// temporary file would take its place.
TEST(replace_file_test, a_kill_before_the_rename_leaves_the_old_content) {
    TempDir dir;
    write_file(dir / "glq.dat", "00=over\r\n");
    const std::size_t size = 100000;
    const auto end = testing::run_program(testing::test_child_program(),
                                          {"replace-and-die", testing::utf8_string(dir / "glq.dat"), std::to_string(size)});
    EXPECT_TRUE(end.killed) << end.status;
    EXPECT_EQ(read_file(dir / "glq.dat"), bytes_of("00=over\r\n"));
    // The complete new content waits beside it under a name of its own.
    const auto names = names_in(dir.path());
    ASSERT_EQ(names.size(), 2u);
    EXPECT_TRUE(names[0].starts_with(".glq.dat.") && names[0].ends_with(".tmp")) << names[0];
    EXPECT_EQ(read_file(dir / names[0]), big_content());
}

// A read-only file, a folder and a file in a missing folder are refused
// untouched; a folder with a Chinese name holds files like any other.
TEST(replace_file_test, what_cannot_be_replaced_stays_and_names_may_be_chinese) {
    TempDir dir;
    const fs::path folder = dir.path() / fs::path(u8"译文 文件夹");
    fs::create_directory(folder);
    const fs::path file = folder / fs::path(u8"码表.tbl");
    ASSERT_TRUE(replace_file(file, bytes_of("8140=啊\r\n")).has_value());
    ASSERT_TRUE(replace_file(file, bytes_of("8140=阿\r\n")).has_value());
    EXPECT_EQ(read_file(file), bytes_of("8140=阿\r\n"));
    EXPECT_EQ(names_in(folder), std::vector<std::string>{"码表.tbl"});

    fs::permissions(file, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    if (!testing::may_write_anything()) {
        EXPECT_EQ(replace_file(file, bytes_of("new")).error(), FileError::cannot_open);
        EXPECT_EQ(read_file(file), bytes_of("8140=阿\r\n"));
    }
    fs::permissions(file, fs::perms::owner_write, fs::perm_options::add);
    EXPECT_EQ(replace_file(folder, bytes_of("new")).error(), FileError::cannot_open);
    EXPECT_EQ(replace_file(dir / "missing" / "x.txt", bytes_of("new")).error(), FileError::cannot_open);
    EXPECT_EQ(names_in(folder), std::vector<std::string>{"码表.tbl"});
}

}  // namespace
}  // namespace quillmere::platform
