// Check and import of an arbitrary translation script against a ROM, with
// arbitrary code tables and filter lists, through the commands themselves.
// The input is a 4-byte header followed by six parts split at FF:
// double-byte table, single-byte table, double-byte filter list,
// single-byte filter list, script, ROM (last, so it may hold FF).
//
// Header: [0] mode (low two bits), filter lists ticked (bits 2, 3), preview
// (bit 4), data directory (bit 5); [1] fill value; [2] and [3] the double-byte
// filter range.
//
// The files live in one directory per process, rewritten on every input.

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <filesystem>
#include <string_view>

#include "core/text/lines.hpp"
#include "core/commands/script_commands.hpp"
#include "core/encoding/hex.hpp"
#include "core/script/entry.hpp"
#include "core/script/script_source.hpp"
#include "core/files/files.hpp"
#include "fuzz_support.hpp"

namespace {

using namespace quillmere;

constexpr std::size_t kHeaderSize = 4;

constexpr std::array<std::u16string_view, 8> kFills = {u"", u"00", u"8140", u"F", u"ZZ", u"123", u"FFFF", u"0g"};
constexpr std::array<std::u16string_view, 8> kRangeEnds = {u"0",     u"-5",    u"256", u"abc",
                                                           u"33024", u"65535", u"70000", u""};

class WorkDir {
public:
    WorkDir() {
        // Every file the commands write is synced; in memory that costs
        // nothing, on a disk it would cost most of each run.
        char in_memory[] = "/dev/shm/quillmere-script-fuzz-XXXXXX";
        char on_disk[] = "/tmp/quillmere-script-fuzz-XXXXXX";
        char* pattern = mkdtemp(in_memory) ? in_memory : on_disk;
        if (pattern == on_disk && !mkdtemp(on_disk)) fuzz::fail("no temporary directory");
        path_ = pattern;
    }
    ~WorkDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

const std::filesystem::path& work_dir() {
    static WorkDir dir;
    return dir.path();
}

void put(const std::filesystem::path& path, std::span<const std::uint8_t> bytes) {
    if (!files::write_bytes(path, bytes)) fuzz::fail("cannot write a work file");
}

text::Bytes contents(const std::filesystem::path& path) {
    auto bytes = files::read_bytes(path);
    if (!bytes) fuzz::fail("cannot read a work file back");
    return std::move(*bytes);
}

bool is_success(const Message& message, std::u16string_view text) {
    return message.severity == Severity::notice && message.text == text;
}

// The byte ranges the first `count` entries of the script may cover: each
// from its address for its original length.
std::vector<std::pair<std::uint64_t, std::uint64_t>> entry_ranges(std::u16string_view script, std::size_t count,
                                                                  std::size_t& entries) {
    std::vector<std::pair<std::uint64_t, std::uint64_t>> ranges;
    entries = 0;
    text::LineReader lines(script);
    while (auto line = lines.next()) {
        if (line->empty()) continue;
        if (entries++ >= count) continue;
        auto entry = splitentry(*line);
        if (!entry) fuzz::fail("an entry that cannot be split was written");
        auto address = hex2num(entry->address);
        if (!address) fuzz::fail("an entry without an address was written");
        const std::int64_t length = std::max<std::int64_t>(0, leading_number(entry->original_length));
        ranges.emplace_back(static_cast<std::uint64_t>(*address),
                            static_cast<std::uint64_t>(*address) + static_cast<std::uint64_t>(length));
    }
    return ranges;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < kHeaderSize) return 0;
    const std::uint8_t* header = data;
    auto parts = fuzz::parts(fuzz::bytes(data + kHeaderSize, size - kHeaderSize), 6);
    const std::filesystem::path& dir = work_dir();
    const std::span<const std::uint8_t> original_rom = parts[5];

    put(dir / "double.tbl", parts[0]);
    put(dir / "single.tbl", parts[1]);
    put(dir / "script.txt", parts[4]);
    put(dir / "rom.bin", original_rom);
    std::error_code ec;
    std::filesystem::remove(dir / kScriptTempFile, ec);

    ImportRequest request;
    request.tables.mode = static_cast<RomMode>(std::min(header[0] & 3, 2));
    request.tables.double_table = dir / "double.tbl";
    request.tables.single_table = dir / "single.tbl";
    request.tables.double_filter = {fuzz::text_of(parts[2]), (header[0] & 4) != 0};
    request.tables.single_filter = {fuzz::text_of(parts[3]), (header[0] & 8) != 0};
    request.preview = (header[0] & 16) != 0;
    if (request.preview) request.script_text = fuzz::text_of(parts[4]);
    request.script_file = dir / "script.txt";
    if (header[0] & 32) request.tables.data_dir = dir;
    request.fill = kFills[header[1] & 7];
    request.range_low = kRangeEnds[header[2] & 7];
    request.range_high = kRangeEnds[header[3] & 7];
    request.rom = dir / "rom.bin";

    const CommandResult<ScriptPayload> checked = run_check(request);
    if (checked.message.text.empty()) fuzz::fail("check without a message");
    if (checked.payload.entries_written != 0) fuzz::fail("the check wrote entries");
    const text::Bytes after_check = contents(dir / "rom.bin");
    if (!std::equal(after_check.begin(), after_check.end(), original_rom.begin(), original_rom.end()))
        fuzz::fail("the check changed the ROM");

    const CommandResult<ScriptPayload> imported = run_import(request);
    if (imported.message.text.empty()) fuzz::fail("import without a message");
    const bool check_passed = is_success(checked.message, u"此文本为合法文本");
    const bool import_passed = is_success(imported.message, u"文本导入成功");
    if (import_passed && !check_passed) fuzz::fail("the import took a script the check refused");
    // With the check passed, only the ROM itself can stop the import: an
    // entry that does not fit, an unusable fill value, a failed write.
    if (check_passed && !import_passed && imported.message != error_message(u"ROM写入失败") &&
        !imported.message.text.ends_with(u"行文本处理错误"))
        fuzz::fail("the import refused a script the check passed");

    const text::Bytes rom = contents(dir / "rom.bin");
    if (rom.size() != original_rom.size()) fuzz::fail("the ROM changed its size");

    // The script as the commands read it.
    std::u16string script;
    if (request.preview && !request.tables.data_dir) {
        script = request.script_text;
    } else {
        auto read = files::read_text_file(request.preview ? dir / kScriptTempFile : request.script_file);
        if (read) script = std::move(read->text);
        else if (imported.payload.entries_written != 0) fuzz::fail("entries written from a script that cannot be read");
    }
    std::size_t entries = 0;
    const auto ranges = entry_ranges(script, imported.payload.entries_written, entries);
    if (imported.payload.entries_written > entries) fuzz::fail("more entries written than the script holds");
    if (import_passed && imported.payload.entries_written != entries) fuzz::fail("success without every entry written");
    // All or nothing: a failed import leaves every byte of the ROM as it was.
    if (!import_passed && imported.payload.entries_written != 0) fuzz::fail("entries written, yet a failure");
    if (!import_passed && !std::equal(rom.begin(), rom.end(), original_rom.begin(), original_rom.end()))
        fuzz::fail("a failed import changed the ROM");

    // A script file is read as its bytes; read as its decoded text instead,
    // it gives the same messages and the same ROM.
    if (!request.preview) {
        ImportRequest decoded = request;
        decoded.preview = true;
        decoded.tables.data_dir.reset();
        decoded.script_text = text::decode_text_file(parts[4]).text;
        const CommandResult<ScriptPayload> checked_decoded = run_check(decoded);
        if (checked_decoded.message != checked.message || checked_decoded.payload.moves != checked.payload.moves)
            fuzz::fail("the check reads a script's bytes otherwise than its text");
        put(dir / "rom.bin", original_rom);
        const CommandResult<ScriptPayload> imported_decoded = run_import(decoded);
        if (imported_decoded.message != imported.message ||
            imported_decoded.payload.entries_written != imported.payload.entries_written || contents(dir / "rom.bin") != rom)
            fuzz::fail("the import reads a script's bytes otherwise than its text");
    }

    // Every changed byte lies inside an entry that was written.
    for (std::size_t offset = 0; offset < rom.size(); ++offset) {
        if (rom[offset] == original_rom[offset]) continue;
        const bool covered = std::any_of(ranges.begin(), ranges.end(),
                                         [&](const auto& range) { return offset >= range.first && offset < range.second; });
        if (!covered) fuzz::fail("a byte outside the written entries changed");
    }
    return 0;
}
