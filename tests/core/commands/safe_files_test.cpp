// Files under the faults a user meets: a full disk while any writer
// replaces its file, FIFOs and devices where files are expected, a ROM that
// cannot take the import's bytes.

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <map>

#include "core/commands/export_command.hpp"
#include "core/commands/filter_lists.hpp"
#include "core/commands/records_commands.hpp"
#include "core/commands/text_area.hpp"
#include "core/commands/script_commands.hpp"
#include "core/script/script_source.hpp"
#include "core/records/records.hpp"
#include "core/records/session.hpp"
#include "core/support/child_process.hpp"
#include "core/support/temp_dir.hpp"
#include "core/text/gbk.hpp"

namespace quillmere {
namespace {

namespace fs = std::filesystem;
using testing::Bytes;
using testing::bytes_of;
using testing::read_file;
using testing::TempDir;
using testing::write_file;

const std::u16string kBadFileName = u" 文件名不能包括以下字符：\\/:*?<>\"|";

std::string shown(const Message& message) {
    if (!message.shown()) return "<none>";
    return text::to_utf8(message.title() + u"：" + message.text);
}

// The names and contents of every file in a folder.
std::map<std::string, Bytes> files_in(const fs::path& folder) {
    std::map<std::string, Bytes> files;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.is_regular_file()) files[entry.path().filename().string()] = read_file(entry.path());
    return files;
}

// From here on no file of this process may grow past `bytes`: writes fail
// as on a full disk.
void limit_file_size(rlim_t bytes) {
    ::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{bytes, bytes};
    ::setrlimit(RLIMIT_FSIZE, &limit);
}

TEST(safe_files_test, every_writer_keeps_the_old_file_on_a_full_disk) {
    TempDir dir;
    const fs::path data = dir / "data";
    fs::create_directory(data);
    const fs::path settings = records::settings_file_path(data);
    for (const fs::path& path : {settings, data / "glq.dat", data / "glq2.dat", data / "temp.txt", data / "temp2.txt",
                                 dir / "export.txt", dir / "saved.txt"})
        write_file(path, "old\r\n");
    write_file(dir / "rom.gba", "ROM");
    const auto before = files_in(data);
    const std::u16string long_text(1000, u'x');

    // The child writes with the disk "full" after 64 bytes; each writer that
    // reports its failure sets one bit.
    const auto end = testing::run_in_child([&] {
        limit_file_size(64);
        int reported = 0;
        const records::RecordList many(20, records::Record{u"name", u"100", u"200"});
        if (!records::add_record(many, {u"new", u"100", u"200"}, settings).changed) reported |= 1;  // not saved, still listed
        if (run_shut_down(data, long_text, long_text).message == error_message(u"过滤区保存失败")) reported |= 2;
        ExportPayload export_file;
        export_file.file_form.assign(1000, 'x');
        if (write_export_file(dir / "export.txt", export_file, dir / "rom.gba").message == error_message(kBadFileName))
            reported |= 4;
        if (save_source_text(dir / "saved.txt", long_text, dir / "rom.gba").message == error_message(kBadFileName))
            reported |= 8;
        if (!filter_list_lines({long_text, true}, data, kDoubleFilterTempFile)) reported |= 16;
        if (!open_script(true, {}, long_text, data)) reported |= 32;
        return reported;
    });
    EXPECT_FALSE(end.killed);
    // The record is still added in memory: the list is the authority, the
    // file keeps its earlier content.
    EXPECT_EQ(end.status, 2 | 4 | 8 | 16 | 32);
    EXPECT_EQ(files_in(data), before);
    EXPECT_EQ(read_file(dir / "export.txt"), bytes_of("old\r\n"));
    EXPECT_EQ(read_file(dir / "saved.txt"), bytes_of("old\r\n"));
}

TEST(safe_files_test, a_fifo_or_device_in_place_of_any_file_fails_at_once) {
    TempDir dir;
    const fs::path fifo = dir / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0666), 0);
    testing::write_gbk(dir / "double.tbl", u"8140=啊\r\n");
    write_file(dir / "rom.gba", Bytes{0x81, 0x40, 0x00, 0x00});
    write_file(dir / "script.txt", "0,2,\xB0\xA1");
    // Nothing ever writes to the FIFO: a read that waited would never end.
    ::alarm(60);

    ExportRequest exporting;
    exporting.rom = fifo;
    exporting.start = u"0";
    exporting.end = u"3";
    exporting.preview = true;
    exporting.tables.double_table = dir / "double.tbl";
    EXPECT_EQ(shown(run_export(exporting).message), "提示：导出文本失败");
    exporting.rom = "/dev/zero";
    EXPECT_EQ(shown(run_export(exporting).message), "提示：导出文本失败");
    exporting.rom = dir / "rom.gba";
    exporting.tables.double_table = fifo;
    EXPECT_EQ(shown(run_export(exporting).message), "错误：码表读取错误");

    ImportRequest importing;
    importing.rom = dir / "rom.gba";
    importing.tables.double_table = dir / "double.tbl";
    importing.script_file = fifo;
    EXPECT_EQ(shown(run_check(importing).message), "错误：译文读取失败");
    EXPECT_EQ(shown(run_import(importing).message), "错误：译文读取失败");
    importing.script_file = dir / "script.txt";
    importing.rom = fifo;
    EXPECT_EQ(shown(run_import(importing).message), "错误：0行文本处理错误");

    // A FIFO named glq.dat: start-up goes on with an empty box.
    fs::create_directory(dir / "data");
    ASSERT_EQ(::mkfifo((dir / "data" / "glq.dat").c_str(), 0666), 0);
    testing::write_gbk(dir / "data" / "glq2.dat", u"9000=人\r\n");
    const StartUp state = run_start_up(dir / "data");
    EXPECT_EQ(state.single_filter_text, u"");
    EXPECT_EQ(state.double_filter_text, u"9000=人\r\n");
    ::alarm(0);
    EXPECT_EQ(read_file(dir / "rom.gba"), (Bytes{0x81, 0x40, 0x00, 0x00}));
}

TEST(safe_files_test, a_rom_that_cannot_take_the_bytes_is_put_back) {
    TempDir dir;
    testing::write_gbk(dir / "single.tbl", u"41=A\r\n42=B\r\n");
    Bytes rom(64, 0xEE);
    write_file(dir / "rom.gba", rom);
    write_file(dir / "script.txt", "0,2,AB\r\n\r\n28,1,A\r\n\r\n");
    ImportRequest request;
    request.rom = dir / "rom.gba";
    request.tables.mode = RomMode::single_byte;
    request.tables.single_table = dir / "single.tbl";
    request.script_file = dir / "script.txt";
    // The first entry fits below the limit, the second lies past it: the
    // write stops half way and the bytes already changed go back.
    const auto end = testing::run_in_child([&] {
        limit_file_size(32);
        const CommandResult<ScriptPayload> outcome = run_import(request);
        return outcome.message == error_message(u"ROM写入失败") && outcome.payload.entries_written == 0 ? 0 : 1;
    });
    EXPECT_EQ(end.status, 0);
    EXPECT_EQ(read_file(dir / "rom.gba"), rom);
    // Without the limit the same import succeeds.
    EXPECT_EQ(shown(run_import(request).message), "提示：文本导入成功");
    rom[0] = 'A', rom[1] = 'B', rom[0x28] = 'A';
    EXPECT_EQ(read_file(dir / "rom.gba"), rom);
}

}  // namespace
}  // namespace quillmere
