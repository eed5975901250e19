// Inputs a translator can feed the commands by accident: files in the wrong
// encoding or of the wrong kind, ROMs that cannot be written, a data
// directory that is gone. Each must end with its message and leave the ROM
// image and the files as they were.

#if !defined(_WIN32)
#include <sys/fsuid.h>
#include <unistd.h>
#endif

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "core/commands/export_command.hpp"
#include "core/commands/records_commands.hpp"
#include "core/commands/script_commands.hpp"
#include "core/records/records.hpp"
#include "core/records/session.hpp"
#include "core/support/temp_dir.hpp"
#include "core/text/gbk.hpp"

namespace quillmere {
namespace {

namespace fs = std::filesystem;
using testing::Bytes;
using testing::bytes_of;
using testing::gbk_bytes;
using testing::read_file;
using testing::TempDir;
using testing::write_file;
using testing::write_gbk;

// What the user sees: the title, then the message.
std::string shown(const Message& message) {
    if (!message.shown()) return "<none>";
    return text::to_utf8(message.title() + u"：" + message.text);
}

// ABC and an end code at 0, 啊 and a double-byte end code at 4.
const Bytes kRom{0x41, 0x42, 0x43, 0x00, 0xB0, 0xA1, 0x80, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};

Bytes nul_bytes() { return Bytes(256, 0x00); }

// Every byte value four times over: NULs, CRs, lone LFs, commas, "=",
// braces and bytes that are no code page 936 text.
Bytes binary_garbage() {
    Bytes bytes;
    for (int round = 0; round < 4; ++round)
        for (int byte = 0; byte < 256; ++byte) bytes.push_back(static_cast<std::uint8_t>(byte));
    return bytes;
}

constexpr std::size_t kFiftyMegabytes = std::size_t{50} << 20;

// File access as an ordinary user while it lives, so that permission bits
// hold even when the tests run as root (who may otherwise write anywhere).
// On Windows a read-only file is read-only for everyone.
#if defined(_WIN32)
class OrdinaryUser {
public:
    // Not so under Wine run by root, which writes read-only files.
    bool in_effect() const { return !testing::may_write_anything(); }
};
#else
class OrdinaryUser {
public:
    OrdinaryUser() : switched_(geteuid() == 0) {
        if (!switched_) return;
        setfsgid(kNobody);
        setfsuid(kNobody);
    }
    ~OrdinaryUser() {
        if (!switched_) return;
        setfsuid(0);
        setfsgid(0);
    }
    // False when root could not give up its rights (no CAP_SETUID).
    bool in_effect() const { return !switched_ || setfsuid(static_cast<uid_t>(-1)) == kNobody; }
    OrdinaryUser(const OrdinaryUser&) = delete;
    OrdinaryUser& operator=(const OrdinaryUser&) = delete;

private:
    static constexpr unsigned kNobody = 65534;
    bool switched_;
};
#endif

// Opens an existing file for writing, and changes nothing.
bool opens_for_writing(const fs::path& path) {
    std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
    return file.is_open();
}

class hostile_inputs_test : public ::testing::Test {
protected:
    hostile_inputs_test() {
        fs::create_directory(data_);
        write_gbk(dir_ / "single.tbl", u"41=A\r\n42=B\r\n43=C\r\n");
        write_gbk(dir_ / "double.tbl", u"B0A1=啊\r\n");
        write_file(rom_, kRom);
    }

    ExportRequest export_request() const {
        ExportRequest request;
        request.rom = rom_;
        request.start = u"0";
        request.end = u"F";
        request.tables.mode = RomMode::both;
        request.tables.double_table = dir_ / "double.tbl";
        request.tables.single_table = dir_ / "single.tbl";
        request.tables.double_filter = {u"8000=over", true};
        request.tables.single_filter = {u"00=over", true};
        request.preview = true;
        request.tables.data_dir = data_;
        return request;
    }

    // The check and the import of a script file holding `script`.
    ImportRequest script_request(const Bytes& script) const {
        write_file(dir_ / "script.txt", script);
        ImportRequest request;
        request.script_file = dir_ / "script.txt";
        request.tables.mode = RomMode::both;
        request.tables.double_table = dir_ / "double.tbl";
        request.tables.single_table = dir_ / "single.tbl";
        request.tables.double_filter = {u"8000=over", true};
        request.tables.single_filter = {u"00=over", true};
        request.tables.data_dir = data_;
        request.rom = rom_;
        return request;
    }
    ImportRequest script_request(std::u16string_view script) const { return script_request(gbk_bytes(script)); }

    // Export, check and import all end with `want`, and the ROM is untouched.
    void expect_every_command_says(const std::function<void(ExportRequest&)>& export_change,
                                   const std::function<void(ImportRequest&)>& script_change, const std::string& want,
                                   const std::string& what) {
        SCOPED_TRACE(what);
        ExportRequest exporting = export_request();
        export_change(exporting);
        EXPECT_EQ(shown(run_export(exporting).message), want);
        ImportRequest scripting = script_request(u"0,3,CBA");
        script_change(scripting);
        EXPECT_EQ(shown(run_check(scripting).message), want);
        const CommandResult<ScriptPayload> imported = run_import(scripting);
        EXPECT_EQ(shown(imported.message), want);
        EXPECT_EQ(imported.payload.entries_written, 0u);
        EXPECT_EQ(read_file(rom_), kRom);
    }

    TempDir dir_;
    fs::path data_ = dir_ / "data";
    fs::path rom_ = dir_ / "rom.gba";
};

TEST_F(hostile_inputs_test, code_tables_that_are_no_code_page_936_text_are_read_errors) {
    const Bytes utf8_without_mark = bytes_of("B0A1=\xE5\x95\x8A\r\n");         // 啊 in UTF-8
    const Bytes truncated = bytes_of("41=A\r\n42=B\r\n43=\xB0");              // 啊 cut after its first byte
    const std::pair<Bytes, std::string> tables[] = {
        {nul_bytes(), "NUL bytes"},
        {binary_garbage(), "binary garbage"},
        {utf8_without_mark, "UTF-8 without a byte-order mark"},
        {truncated, "a truncated double-byte character"},
    };
    for (const auto& [bytes, what] : tables) {
        for (const char* name : {"double.tbl", "single.tbl"}) {
            const fs::path table = dir_ / (std::string("hostile-") + name);
            write_file(table, bytes);
            const bool is_double = std::string(name) == "double.tbl";
            expect_every_command_says(
                [&](ExportRequest& r) { (is_double ? r.tables.double_table : r.tables.single_table) = table; },
                [&](ImportRequest& r) { (is_double ? r.tables.double_table : r.tables.single_table) = table; },
                "错误：码表读取错误", what + " as " + name);
        }
    }
}

TEST_F(hostile_inputs_test, filter_lists_of_garbage_are_badly_filled_lists) {
    const std::pair<std::u16string, std::string> lists[] = {
        {std::u16string(16, u'\0'), "NUL characters"},
        {text::decode_gbk(binary_garbage()).text, "binary garbage"},
    };
    for (const auto& [list, what] : lists) {
        expect_every_command_says([&](ExportRequest& r) { r.tables.double_filter.text = list; },
                                  [&](ImportRequest& r) { r.tables.double_filter.text = list; }, "错误：双字节过滤填写错误",
                                  what + " as the double-byte list");
        expect_every_command_says([&](ExportRequest& r) { r.tables.single_filter.text = list; },
                                  [&](ImportRequest& r) { r.tables.single_filter.text = list; }, "错误：单字节过滤填写错误",
                                  what + " as the single-byte list");
        // Without the data directory (the command line) the text is parsed as it is.
        expect_every_command_says(
            [&](ExportRequest& r) { r.tables.double_filter.text = list; r.tables.data_dir.reset(); },
            [&](ImportRequest& r) { r.tables.double_filter.text = list; r.tables.data_dir.reset(); }, "错误：双字节过滤填写错误",
            what + " as the double-byte list, parsed directly");
    }
}

struct ScriptCase {
    Bytes script;
    std::u16string fill;
    std::string check;    // the check's message
    std::string import;   // the import's message
    Bytes rom_after;      // the ROM after the import
    std::string what;
};

Bytes rom_with(std::initializer_list<std::pair<std::size_t, std::uint8_t>> changes) {
    Bytes rom = kRom;
    for (auto [offset, byte] : changes) rom[offset] = byte;
    return rom;
}

TEST_F(hostile_inputs_test, scripts_of_any_shape_end_with_the_entry_at_fault) {
    const ScriptCase cases[] = {
        {nul_bytes(), u"", "错误：行文本处理错误", "错误：行文本处理错误", kRom, "NUL bytes"},
        {binary_garbage(), u"", "错误：行文本处理错误", "错误：行文本处理错误", kRom, "binary garbage"},
        {bytes_of("0,3,AB\xB0"), u"", "错误：0行出错，码表中缺少[\xEF\xBF\xBD]字",
         "错误：0行出错，码表中缺少[\xEF\xBF\xBD]字", kRom, "a truncated double-byte character"},
        {bytes_of("4,2,\xE5\x95\x8A"), u"", "错误：4行出错，码表中缺少[鍟]字", "错误：4行出错，码表中缺少[鍟]字", kRom,
         "UTF-8 without a byte-order mark"},
        {gbk_bytes(u"ABC"), u"", "错误：行文本处理错误", "错误：行文本处理错误", kRom, "no comma"},
        {gbk_bytes(u"0,3"), u"", "错误：0行文本处理错误", "错误：0行文本处理错误", kRom, "one comma"},
        {gbk_bytes(u"0,3,CBA\r\n\r\nABC"), u"", "错误：0行文本处理错误", "错误：0行文本处理错误", kRom,
         "no comma after a good entry, which is not written either"},
        {gbk_bytes(u"1,99999999999999999999999999,A"), u"", "提示：此文本为合法文本", "提示：文本导入成功",
         rom_with({{1, 0x41}}), "a huge length, no fill value"},
        {gbk_bytes(u"1,99999999999999999999999999,A"), u"00", "提示：此文本为合法文本", "错误：1行文本处理错误", kRom,
         "a huge length to fill"},
        {gbk_bytes(u"1,-5,"), u"00", "错误：1行的文本超出原长 5个字节", "错误：1行的文本超出原长 5个字节", kRom,
         "a negative length"},
        {gbk_bytes(u"7FFFFFFF,1,A"), u"", "提示：此文本为合法文本", "错误：7FFFFFFF行文本处理错误", kRom,
         "an address of 7FFFFFFF"},
        {gbk_bytes(u"80000000,1,A"), u"", "错误：80000000行文本处理错误", "错误：80000000行文本处理错误", kRom,
         "an address past 7FFFFFFF"},
        {gbk_bytes(u"F,2,A"), u"", "提示：此文本为合法文本", "提示：文本导入成功", rom_with({{15, 0x41}}),
         "an entry at the last byte, shorter than its length"},
        {gbk_bytes(u"F,2,AB"), u"", "提示：此文本为合法文本", "错误：F行文本处理错误", kRom,
         "an entry that would run past the end of the ROM"},
        {gbk_bytes(u"0,4,ABC{结束符00"), u"", "错误：0行文本处理错误", "错误：0行文本处理错误", kRom,
         "a \"{\" that never closes"},
        {gbk_bytes(u"0,4,{"), u"", "错误：0行文本处理错误", "错误：0行文本处理错误", kRom, "a lone \"{\" at the end"},
    };
    for (const ScriptCase& c : cases) {
        SCOPED_TRACE(c.what);
        write_file(rom_, kRom);
        ImportRequest request = script_request(c.script);
        request.fill = c.fill;
        EXPECT_EQ(shown(run_check(request).message), c.check);
        EXPECT_EQ(read_file(rom_), kRom);
        const CommandResult<ScriptPayload> imported = run_import(request);
        EXPECT_EQ(shown(imported.message), c.import);
        EXPECT_EQ(read_file(rom_), c.rom_after);
        // Each script here changes the ROM exactly when its one good entry is written.
        EXPECT_EQ(imported.payload.entries_written, c.rom_after == kRom ? 0u : 1u);
    }
}

TEST_F(hostile_inputs_test, a_fifty_megabyte_script_line) {
    // Read and split whole; with no comma it names no entry.
    const ImportRequest request = script_request(Bytes(kFiftyMegabytes, 'A'));
    EXPECT_EQ(shown(run_check(request).message), "错误：行文本处理错误");
    EXPECT_EQ(shown(run_import(request).message), "错误：行文本处理错误");
    EXPECT_EQ(read_file(rom_), kRom);
}

TEST_F(hostile_inputs_test, a_long_script_line_is_measured_and_refused) {
    // Measuring walks every character, twice here (check and import); 8 MB
    // keeps that to seconds under the sanitizers.
    constexpr std::size_t kLength = std::size_t{8} << 20;
    std::string line = "0,4,";
    line.append(kLength, 'A');
    const ImportRequest request = script_request(bytes_of(line));
    const std::string want = "错误：0行的文本超出原长 " + std::to_string(kLength - 4) + "个字节";
    EXPECT_EQ(shown(run_check(request).message), want);
    EXPECT_EQ(shown(run_import(request).message), want);
    EXPECT_EQ(read_file(rom_), kRom);
}

TEST_F(hostile_inputs_test, a_fifty_megabyte_table_line_is_one_value) {
    std::string line = "41=";
    line.append(kFiftyMegabytes, 'x');
    write_file(dir_ / "long.tbl", bytes_of(line));

    ExportRequest exporting = export_request();
    exporting.tables.single_table = dir_ / "long.tbl";
    const CommandResult<ExportPayload> exported = run_export(exporting);
    EXPECT_EQ(shown(exported.message), "提示：文本已顺利导出");
    ASSERT_TRUE(exported.payload.text.has_value());
    EXPECT_EQ(*exported.payload.text, u"0,1," + std::u16string(kFiftyMegabytes, u'x') +
                                         u"\r\n\r\n3,1,{结束符00}\r\n\r\n4,4,啊{结束符8000}\r\n\r\n");

    // The value is one code; a single x is not.
    ImportRequest scripting = script_request(u"0,1,x");
    scripting.tables.single_table = dir_ / "long.tbl";
    EXPECT_EQ(shown(run_check(scripting).message), "错误：0行出错，码表中缺少[x]字");
    EXPECT_EQ(shown(run_import(scripting).message), "错误：0行出错，码表中缺少[x]字");
    EXPECT_EQ(read_file(rom_), kRom);
}

TEST_F(hostile_inputs_test, a_rom_path_that_is_a_directory) {
    const fs::path folder = dir_ / "folder.gba";
    fs::create_directory(folder);
    ExportRequest exporting = export_request();
    exporting.rom = folder;
    EXPECT_EQ(shown(run_export(exporting).message), "提示：导出文本失败");

    ImportRequest importing = script_request(u"0,3,CBA");
    importing.rom = folder;
    EXPECT_EQ(shown(run_import(importing).message), "错误：0行文本处理错误");
    importing = script_request(u"\r\n\r\n");
    importing.rom = folder;
    EXPECT_EQ(shown(run_import(importing).message), "提示：文本导入成功");
    EXPECT_TRUE(fs::is_directory(folder));
    EXPECT_TRUE(fs::is_empty(folder));
}

TEST_F(hostile_inputs_test, a_read_only_rom_is_read_but_never_written) {
    fs::permissions(rom_, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    ExportRequest exporting = export_request();
    ImportRequest importing = script_request(u"4,4,啊\r\n\r\n0,3,CBA");
    // The data directory is root's; the lists are taken as they are.
    exporting.tables.data_dir.reset();
    importing.tables.data_dir.reset();
    {
        OrdinaryUser user;
        if (!user.in_effect()) GTEST_SKIP() << "root cannot act as an ordinary user here";
        ASSERT_FALSE(opens_for_writing(rom_)) << "the ROM must not be writable here";
        const CommandResult<ExportPayload> exported = run_export(exporting);
        EXPECT_EQ(shown(exported.message), "提示：文本已顺利导出");
        EXPECT_EQ(exported.payload.text, u"0,4,ABC{结束符00}\r\n\r\n4,4,啊{结束符8000}\r\n\r\n");
        const CommandResult<ScriptPayload> imported = run_import(importing);
        EXPECT_EQ(shown(imported.message), "错误：4行文本处理错误");
        EXPECT_EQ(imported.payload.entries_written, 0u);
    }
    EXPECT_EQ(read_file(rom_), kRom);
}

TEST_F(hostile_inputs_test, a_rom_of_no_bytes) {
    write_file(rom_, Bytes{});
    const CommandResult<ExportPayload> exported = run_export(export_request());
    EXPECT_EQ(shown(exported.message), "提示：导出文本失败");
    EXPECT_TRUE(exported.payload.clear_preview);
    EXPECT_EQ(shown(run_import(script_request(u"0,1,A")).message), "错误：0行文本处理错误");
    EXPECT_EQ(shown(run_import(script_request(u"0,0,")).message), "提示：文本导入成功");  // writes nothing
    EXPECT_EQ(shown(run_import(script_request(u"")).message), "提示：文本导入成功");
    EXPECT_EQ(read_file(rom_), Bytes{});
}

// What every command says when the data directory cannot be written.
void expect_unwritable_data_directory(ExportRequest e, ImportRequest s, const fs::path& data) {
    EXPECT_EQ(shown(run_export(e).message), "错误：双字节过滤填写错误");
    EXPECT_EQ(shown(run_check(s).message), "错误：双字节过滤填写错误");
    EXPECT_EQ(shown(run_import(s).message), "错误：双字节过滤填写错误");
    // Without filter lists, the previewed script is what needs the directory.
    s.tables.double_filter.ticked = s.tables.single_filter.ticked = false;
    s.preview = true;
    s.script_text = u"0,3,CBA";
    EXPECT_EQ(shown(run_check(s).message), "错误：译文读取失败");
    EXPECT_EQ(shown(run_import(s).message), "错误：译文读取失败");
    // The export without lists needs nothing there.
    e.tables.double_filter.ticked = e.tables.single_filter.ticked = false;
    EXPECT_EQ(shown(run_export(e).message), "提示：文本已顺利导出");

    const auto added = run_add_record({}, {u"菜单", u"8000", u"8FFF"}, data);
    EXPECT_EQ(shown(added.message), "错误：记录保存失败");
    EXPECT_EQ(added.payload.records, (records::RecordList{{u"菜单", u"8000", u"8FFF"}}));  // kept in the list
    EXPECT_EQ(shown(run_shut_down(data, u"00=over\r\n", u"8000=over\r\n").message), "错误：过滤区保存失败");
}

TEST_F(hostile_inputs_test, a_missing_data_directory) {
    const fs::path missing = dir_ / "no-data";
    ExportRequest exporting = export_request();
    exporting.tables.data_dir = missing;
    ImportRequest scripting = script_request(u"0,3,CBA");
    scripting.tables.data_dir = missing;
    expect_unwritable_data_directory(exporting, scripting, missing);
    const records::StartupState state = records::start_up(missing);
    EXPECT_TRUE(state.records.empty());
    EXPECT_EQ(state.single_filter_text, u"");
    EXPECT_EQ(state.double_filter_text, u"");
    EXPECT_FALSE(fs::exists(missing));
    EXPECT_EQ(read_file(rom_), kRom);
}

#if !defined(_WIN32)  // a read-only folder on Windows still takes new files
TEST_F(hostile_inputs_test, a_read_only_data_directory) {
    write_gbk(records::settings_file_path(data_), u"\"菜单\",\"8000\",\"8FFF\"\r\n");
    write_gbk(data_ / records::kSingleFilterFileName, u"00=over\r\n");
    fs::permissions(data_, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                               fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
    // Everything else in the test directory must be readable by the ordinary user.
    fs::permissions(dir_.path(), fs::perms::others_read | fs::perms::others_exec, fs::perm_options::add);
    const ImportRequest scripting = script_request(u"0,3,CBA");
    {
        OrdinaryUser user;
        if (!user.in_effect()) GTEST_SKIP() << "root cannot act as an ordinary user here";
        ASSERT_FALSE(opens_for_writing(data_ / "temp2.txt")) << "the data directory must not be writable here";
        expect_unwritable_data_directory(export_request(), scripting, data_);
        // What is there can still be read.
        const records::StartupState state = records::start_up(data_);
        EXPECT_EQ(state.records, (records::RecordList{{u"菜单", u"8000", u"8FFF"}}));
        EXPECT_EQ(state.single_filter_text, u"00=over\r\n");
    }
    EXPECT_EQ(read_file(records::settings_file_path(data_)), gbk_bytes(u"\"菜单\",\"8000\",\"8FFF\"\r\n"));
    EXPECT_EQ(read_file(data_ / records::kSingleFilterFileName), gbk_bytes(u"00=over\r\n"));
    EXPECT_FALSE(fs::exists(data_ / "temp.txt"));
    EXPECT_FALSE(fs::exists(data_ / "temp2.txt"));
    EXPECT_EQ(read_file(rom_), kRom);
    fs::permissions(data_, fs::perms::owner_all, fs::perm_options::add);
}
#endif

TEST_F(hostile_inputs_test, settings_and_filter_files_of_garbage) {
    // NUL bytes are text like any other: one record named by them, one line of them.
    write_file(records::settings_file_path(data_), Bytes(16, 0x00));
    write_file(data_ / records::kSingleFilterFileName, Bytes(16, 0x00));
    write_file(data_ / records::kDoubleFilterFileName, binary_garbage());
    records::StartupState state = records::start_up(data_);
    EXPECT_EQ(state.records, (records::RecordList{{std::u16string(16, u'\0'), u"", u""}}));
    EXPECT_EQ(state.single_filter_text, std::u16string(16, u'\0') + u"\r\n");
    // The garbage list is kept for the user to see, and refused when used.
    ExportRequest exporting = export_request();
    exporting.tables.double_filter.text = state.double_filter_text;
    EXPECT_EQ(shown(run_export(exporting).message), "错误：双字节过滤填写错误");

    // Binary garbage reads as records of odd names, and they are written
    // back one per line: a later start-up finds every record again (a field
    // that held a quote keeps only what lies before it).
    write_file(records::settings_file_path(data_), binary_garbage());
    state = records::start_up(data_);
    EXPECT_FALSE(state.records.empty());
    EXPECT_LE(state.records.size(), 101u);
    auto added = run_add_record(state.records, {u"菜单", u"8000", u"8FFF"}, data_);
    EXPECT_EQ(shown(added.message), "<none>");
    const records::RecordList reloaded = records::start_up(data_).records;
    EXPECT_EQ(reloaded.size(), added.payload.records.size());
    EXPECT_EQ(reloaded.back(), (records::Record{u"菜单", u"8000", u"8FFF"}));

    // A name whose bytes are no code page 936 text cannot be written back:
    // the save is refused and the file keeps what it held.
    const Bytes unreadable = bytes_of("\"\x81 \",\"8000\",\"8FFF\"\r\n");
    write_file(records::settings_file_path(data_), unreadable);
    state = records::start_up(data_);
    EXPECT_EQ(state.records, (records::RecordList{{u"\uFFFD ", u"8000", u"8FFF"}}));
    added = run_add_record(state.records, {u"菜单", u"8000", u"8FFF"}, data_);
    EXPECT_EQ(shown(added.message), "错误：记录保存失败");
    EXPECT_EQ(added.payload.records.size(), 2u);
    EXPECT_EQ(read_file(records::settings_file_path(data_)), unreadable);
    EXPECT_EQ(read_file(rom_), kRom);
}

}  // namespace
}  // namespace quillmere
