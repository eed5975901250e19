// patch create|apply|info and diff through the command line: the release
// walk (import --out, diff, patch, apply to a clean copy, the same bytes),
// and each refusal with its message, its exit status and nothing written.
#include <gtest/gtest.h>

#include <filesystem>

#include "cli_driver.hpp"
#include "core/support/temp_dir.hpp"

namespace quillmere::cli {
namespace {

using testing::Bytes;
using testing::CliRun;
using testing::TempDir;

// A ROM of 0x100 bytes: two 2-byte big-endian pointers at 0 and 2 (base
// 8000) to the strings at 10 ("AB", 00) and 20 ("B", 00); 80-FF is free.
class PatchCliTest : public ::testing::Test {
protected:
    PatchCliTest() {
        Bytes rom(0x100, 0xFF);
        const Bytes head = {0x80, 0x10, 0x80, 0x20};
        std::copy(head.begin(), head.end(), rom.begin());
        rom[0x10] = 'A', rom[0x11] = 'B', rom[0x12] = 0;
        rom[0x20] = 'B', rom[0x21] = 0;
        testing::write_file(dir / "rom.gba", rom);
        testing::write_gbk(dir / "single.tbl", u"41=A\r\n42=B\r\n");
        testing::write_gbk(dir / "filter1.txt", u"00=over\r\n");
        testing::write_gbk(dir / "pointers.txt", u"0,2,BE,8000\r\n2,2,BE,8000\r\n");
        // The first string grows and moves; the second is rewritten in place.
        testing::write_gbk(dir / "script.txt", u"10,3,ABAB{结束符00}\r\n\r\n20,2,A{结束符00}\r\n\r\n");
    }
    std::string path(const char* name) const { return (dir / name).string(); }

    void import() {
        const CliRun run = testing::run_cli({"import", "--rom", path("rom.gba"), "--script", path("script.txt"),
                                             "--mode", "single", "--table1", path("single.tbl"), "--filter1",
                                             path("filter1.txt"), "--fill", "FF", "--pointers", path("pointers.txt"),
                                             "--free", "80-FF", "--out", path("translated.gba")});
        ASSERT_EQ(run.status, 0) << run.err;
    }

    TempDir dir;
};

TEST_F(PatchCliTest, import_diff_patch_and_apply_to_a_clean_copy_give_the_same_rom) {
    import();
    CliRun diff = testing::run_cli({"diff", "--original", path("rom.gba"), "--modified", path("translated.gba"),
                                    "--script", path("script.txt"), "--pointers", path("pointers.txt"), "--free",
                                    "80-FF"});
    EXPECT_EQ(diff.status, 0) << diff.err;
    const std::string changes = diff.out.substr(diff.out.find('\n', diff.out.find('\n') + 1) + 1);
    EXPECT_EQ(changes, "1-1 1字节：指针0\n20-20 1字节：20行\n80-84 5字节：空闲区80-FF\n");
    EXPECT_EQ(diff.err, "提示：共3处改动，7字节\n");

    for (const std::string format : {"bps", "ips"}) {
        const std::string patch = path("translation.") + format;
        CliRun made = testing::run_cli({"patch", "create", "--original", path("rom.gba"), "--modified",
                                        path("translated.gba"), "--format", format, "--out", patch});
        ASSERT_EQ(made.status, 0) << made.err;
        EXPECT_EQ(made.err.rfind(format == "bps" ? "提示：BPS补丁已写入" : "提示：IPS补丁已写入", 0), 0u) << made.err;

        std::filesystem::copy_file(dir / "rom.gba", dir / ("clean_" + format + ".gba"));
        const std::string result = path("result_") + format + ".gba";
        CliRun applied = testing::run_cli(
            {"patch", "apply", "--original", path("clean_") + format + ".gba", "--patch", patch, "--out", result});
        ASSERT_EQ(applied.status, 0) << applied.err;
        EXPECT_EQ(testing::read_file(result), testing::read_file(dir / "translated.gba"));
        // Both print the same two checksum lines, for the release notes.
        EXPECT_EQ(applied.out, made.out);
        EXPECT_EQ(applied.out.rfind("原始：256字节  CRC32 ", 0), 0u) << applied.out;
        EXPECT_NE(applied.out.find("\n结果：256字节  CRC32 "), std::string::npos);
    }

    CliRun info = testing::run_cli({"patch", "info", path("translation.bps")});
    EXPECT_EQ(info.status, 0);
    EXPECT_EQ(info.out.rfind("格式：BPS\n原始：256字节  CRC32 ", 0), 0u) << info.out;
    EXPECT_NE(info.out.find("（相符）"), std::string::npos);
    EXPECT_EQ(info.err, "提示：BPS补丁完好\n");
}

TEST_F(PatchCliTest, diff_names_every_change_nothing_explains) {
    import();
    // Without the pointer list, the rewritten pointer is unexplained.
    CliRun diff = testing::run_cli({"diff", "--original", path("rom.gba"), "--modified", path("translated.gba"),
                                    "--script", path("script.txt"), "--free", "80-FF"});
    EXPECT_EQ(diff.status, 1);
    EXPECT_NE(diff.out.find("\n未说明的改动：1-1\n"), std::string::npos) << diff.out;
    EXPECT_EQ(diff.err, "错误：1处改动未说明\n");

    // Without anything to explain them, the changes are listed as they are.
    diff = testing::run_cli({"diff", "--original", path("rom.gba"), "--modified", path("translated.gba")});
    EXPECT_EQ(diff.status, 0);
    EXPECT_NE(diff.out.find("\n1-1 1字节\n20-20 1字节\n80-84 5字节\n"), std::string::npos) << diff.out;
}

TEST_F(PatchCliTest, refusals_name_their_cause_and_write_nothing) {
    import();
    ASSERT_EQ(testing::run_cli({"patch", "create", "--original", path("rom.gba"), "--modified",
                                path("translated.gba"), "--out", path("good.bps")})
                  .status,
              0);
    Bytes other = testing::read_file(dir / "rom.gba");
    other[0x50] = 0;
    testing::write_file(dir / "other.gba", other);
    Bytes cut = testing::read_file(dir / "good.bps");
    cut.resize(cut.size() - 13);
    testing::write_file(dir / "cut.bps", cut);
    testing::write_file(dir / "text.txt", std::string_view("not a patch"));
    testing::write_file(dir / "meta.xml", std::string_view("<m/>"));
    testing::write_file(dir / "large.gba", Bytes((16u << 20) + 1, 1));

    struct Case {
        std::vector<std::string> args;
        std::string err_start;
    };
    const std::string out = path("out.bin");
    const Case cases[] = {
        {{"patch", "apply", "--original", path("other.gba"), "--patch", path("good.bps"), "--out", out},
         "错误：补丁不适用于此ROM：CRC32应为"},
        {{"patch", "apply", "--original", path("rom.gba"), "--patch", path("cut.bps"), "--out", out},
         "错误：补丁在第"},
        {{"patch", "apply", "--original", path("rom.gba"), "--patch", path("text.txt"), "--out", out},
         "错误：无法识别的补丁"},
        {{"patch", "apply", "--original", path("rom.gba"), "--patch", path("missing.bps"), "--out", out},
         "错误：无法读取文件："},
        {{"patch", "apply", "--original", path("rom.gba"), "--patch", path("good.bps"), "--out", path("rom.gba")},
         "错误：不能把结果写入正在读取的文件："},
        {{"patch", "create", "--original", path("rom.gba"), "--modified", path("large.gba"), "--format", "ips",
          "--out", out},
         "错误：IPS补丁只能用于16MB以内的ROM"},
        {{"patch", "create", "--original", path("rom.gba"), "--modified", path("translated.gba"), "--format", "ips",
          "--metadata", path("meta.xml"), "--out", out},
         "错误：IPS补丁不能带元数据"},
        {{"patch", "create", "--original", path("rom.gba"), "--modified", path("translated.gba"), "--out",
          path("translated.gba")},
         "错误：不能把结果写入正在读取的文件："},
        {{"patch", "info", path("cut.bps")}, "错误：补丁在第"},
        {{"diff", "--original", path("rom.gba"), "--modified", path("translated.gba"), "--free", "FF-80"},
         "错误：空闲区FF-80填写错误"},
    };
    for (const Case& c : cases) {
        const CliRun run = testing::run_cli(c.args);
        EXPECT_EQ(run.status, 1) << c.err_start;
        EXPECT_EQ(run.err.rfind(c.err_start, 0), 0u) << run.err;
        EXPECT_FALSE(std::filesystem::exists(out)) << c.err_start;
    }
    EXPECT_EQ(testing::read_file(dir / "rom.gba").size(), 0x100u);

    // Let through, each mismatch is named, and the result written.
    const CliRun forced = testing::run_cli({"patch", "apply", "--original", path("other.gba"), "--patch",
                                            path("good.bps"), "--out", out, "--ignore-checksum"});
    EXPECT_EQ(forced.status, 0);
    EXPECT_EQ(forced.err.rfind("警告：补丁不适用于此ROM：CRC32应为", 0), 0u) << forced.err;
    EXPECT_NE(forced.err.find("警告：应用补丁的结果不对："), std::string::npos) << forced.err;
    EXPECT_TRUE(std::filesystem::exists(out));
}

TEST_F(PatchCliTest, the_commands_are_in_the_help) {
    const CliRun help = testing::run_cli({"--help"});
    EXPECT_NE(help.out.find("patch"), std::string::npos);
    EXPECT_NE(help.out.find("diff"), std::string::npos);
    for (const char* command : {"create", "apply", "info"}) {
        const CliRun sub = testing::run_cli({"patch", command, "--help"});
        EXPECT_EQ(sub.status, 0) << command;
        EXPECT_NE(sub.out.find("Usage"), std::string::npos) << command;
    }
}

}  // namespace
}  // namespace quillmere::cli
