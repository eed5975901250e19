// The program itself on the sample, in a folder with a Chinese name: its
// arguments reach the files they name (on Windows through the wide command
// line), standard output carries the export's bytes as they are (CR LF
// stays CR LF), and standard error carries each message as UTF-8.
#include <gtest/gtest.h>

#include <filesystem>

#include "cli_driver.hpp"
#include "core/support/temp_dir.hpp"

namespace quillmere {
namespace {

namespace fs = std::filesystem;
using testing::Bytes;
using testing::utf8_string;

TEST(paths_cli_test, the_sample_round_trip_in_a_chinese_folder) {
    testing::TempDir dir;
    const fs::path folder = dir.path() / fs::path(u8"汉化 工作");
    fs::create_directory(folder);
    for (const char* name : {"sample.gba", "single.tbl", "double.tbl", "filter1.txt", "filter2.txt"})
        fs::copy_file(fs::path(QUILLMERE_SAMPLE_DIR) / name, folder / name);
    const auto file = [&](const char* name) { return utf8_string(folder / testing::utf8_path(name)); };
    const std::vector<std::string> tables{"--mode",     "both", "--table1",  file("single.tbl"), "--table2",
                                          file("double.tbl"), "--filter1", file("filter1.txt"), "--filter2",
                                          file("filter2.txt")};
    const auto with_tables = [&](std::vector<std::string> args) {
        args.insert(args.end(), tables.begin(), tables.end());
        return args;
    };

    // Export to standard output and to a file with a Chinese name: the same bytes.
    const auto to_stdout = testing::run_cli_program(
        with_tables({"export", "--rom", file("sample.gba"), "--start", "0", "--end", "1FF"}), dir.path());
    EXPECT_EQ(to_stdout.status, 0);
    EXPECT_EQ(to_stdout.err, "提示：文本已顺利导出\n");
    const auto to_file = testing::run_cli_program(
        with_tables({"export", "--rom", file("sample.gba"), "--start", "0", "--end", "1FF", "--out", file("导出.txt")}),
        dir.path());
    EXPECT_EQ(to_file.status, 0);
    const Bytes exported = testing::read_file(folder / testing::utf8_path("导出.txt"));
    EXPECT_EQ(std::string(exported.begin(), exported.end()), to_stdout.out);
    EXPECT_NE(to_stdout.out.find("10,40,Hello, traveller!{\xBB\xBB\xD0\xD0}Welcome to Quillmere.{"), std::string::npos);
    EXPECT_NE(to_stdout.out.find("\r\n\r\n40,28,"), std::string::npos);
    EXPECT_EQ(to_stdout.out.find("\r\r\n"), std::string::npos);
    // The in-process run reads the same files.
    EXPECT_EQ(testing::run_cli(with_tables({"export", "--rom", file("sample.gba"), "--start", "0", "--end", "1FF"})).out,
              to_stdout.out);

    // The export, one word translated, checked and imported: the ROM is
    // written in place.
    std::string translated = to_stdout.out;
    translated.replace(translated.find("Hello"), 5, "Howdy");
    testing::write_file(folder / testing::utf8_path("译文.txt"), translated);
    const auto checked = testing::run_cli_program(with_tables({"check", "--script", file("译文.txt")}), dir.path());
    EXPECT_EQ(checked.status, 0);
    EXPECT_EQ(checked.err, "提示：此文本为合法文本\n");
    const Bytes before = testing::read_file(folder / "sample.gba");
    const auto imported = testing::run_cli_program(
        with_tables({"import", "--rom", file("sample.gba"), "--script", file("译文.txt"), "--fill", "00"}), dir.path());
    EXPECT_EQ(imported.status, 0);
    EXPECT_EQ(imported.err, "提示：文本导入成功\n");
    Bytes after = before;
    std::copy_n("Howdy", 5, after.begin() + 0x10);
    EXPECT_EQ(testing::read_file(folder / "sample.gba"), after);

    // A file that is not there is named in the message as it was given.
    const auto missing = testing::run_cli_program(
        {"check", "--script", file("没有.txt"), "--table2", file("double.tbl"), "--filter1", file("没有的过滤区.txt")},
        dir.path());
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err, "错误：无法读取过滤区文件：" + file("没有的过滤区.txt") + "\n");
}

}  // namespace
}  // namespace quillmere
