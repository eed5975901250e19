// Files under the faults a Windows user meets: a device or a named pipe
// where a file is expected must fail at once, never wait or read what is
// no file.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <gtest/gtest.h>

#include "core/commands/export_command.hpp"
#include "core/commands/script_commands.hpp"
#include "core/records/session.hpp"
#include "core/support/temp_dir.hpp"
#include "core/text/gbk.hpp"

namespace quillmere {
namespace {

namespace fs = std::filesystem;
using testing::Bytes;
using testing::read_file;
using testing::TempDir;
using testing::write_file;

std::string shown(const Message& message) {
    if (!message.shown()) return "<none>";
    return text::to_utf8(message.title() + u"：" + message.text);
}

// A pipe with a server that never writes: a read that waited would never end.
class SilentPipe {
public:
    SilentPipe() : name_(L"\\\\.\\pipe\\quillmere-test-" + std::to_wstring(::GetCurrentProcessId())) {
        pipe_ = ::CreateNamedPipeW(name_.c_str(), PIPE_ACCESS_DUPLEX, PIPE_TYPE_BYTE | PIPE_WAIT,
                                   PIPE_UNLIMITED_INSTANCES, 4096, 4096, 0, nullptr);
    }
    ~SilentPipe() {
        if (pipe_ != INVALID_HANDLE_VALUE) ::CloseHandle(pipe_);
    }
    SilentPipe(const SilentPipe&) = delete;
    SilentPipe& operator=(const SilentPipe&) = delete;
    bool made() const { return pipe_ != INVALID_HANDLE_VALUE; }
    fs::path path() const { return fs::path(name_); }

private:
    std::wstring name_;
    HANDLE pipe_ = INVALID_HANDLE_VALUE;
};

TEST(safe_files_windows_test, a_device_or_pipe_in_place_of_any_file_fails_at_once) {
    TempDir dir;
    SilentPipe pipe;
    ASSERT_TRUE(pipe.made());
    testing::write_gbk(dir / "double.tbl", u"8140=啊\r\n");
    write_file(dir / "rom.gba", Bytes{0x81, 0x40, 0x00, 0x00});
    write_file(dir / "script.txt", "0,2,\xB0\xA1");

    for (const fs::path& not_a_file : {pipe.path(), fs::path(L"NUL"), fs::path(L"CON"), fs::path(L"\\\\.\\NUL")}) {
        SCOPED_TRACE(testing::utf8_string(not_a_file));
        ExportRequest exporting;
        exporting.rom = not_a_file;
        exporting.start = u"0";
        exporting.end = u"3";
        exporting.preview = true;
        exporting.tables.double_table = dir / "double.tbl";
        EXPECT_EQ(shown(run_export(exporting).message), "提示：导出文本失败");
        exporting.rom = dir / "rom.gba";
        exporting.tables.double_table = not_a_file;
        EXPECT_EQ(shown(run_export(exporting).message), "错误：码表读取错误");

        ImportRequest importing;
        importing.rom = dir / "rom.gba";
        importing.tables.double_table = dir / "double.tbl";
        importing.script_file = not_a_file;
        EXPECT_EQ(shown(run_check(importing).message), "错误：译文读取失败");
        EXPECT_EQ(shown(run_import(importing).message), "错误：译文读取失败");
        importing.script_file = dir / "script.txt";
        importing.rom = not_a_file;
        EXPECT_EQ(shown(run_import(importing).message), "错误：0行文本处理错误");
    }
    EXPECT_EQ(read_file(dir / "rom.gba"), (Bytes{0x81, 0x40, 0x00, 0x00}));
}

}  // namespace
}  // namespace quillmere
