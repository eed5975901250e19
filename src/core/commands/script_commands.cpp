#include "core/commands/script_commands.hpp"

#include "core/encoding/filter.hpp"
#include "core/encoding/hex.hpp"
#include "core/import/entry.hpp"
#include "core/text/lines.hpp"
#include "core/import/entry_failure.hpp"
#include "core/import/fill.hpp"
#include "core/import/rom_file.hpp"
#include "core/import/script_source.hpp"
#include "core/import/table_loading.hpp"
#include "core/import/text_codes.hpp"

namespace quillmere {
namespace {

// The double-byte codes the import's length test searches, whatever the
// range boxes hold.
constexpr CodeRange kAllDoubleCodes{0, 0xFFFF};

// One list: untick it when empty; parse it when ticked. A temporary file
// that cannot be written or read back counts as a badly filled list.
Expected<Done, Message> add_filter_list(FilterLookup& lookup, const FilterListInput& list,
                                        const std::optional<std::filesystem::path>& data_dir, text::Encoding encoding,
                                        bool double_byte, bool& untick) {
    auto lines = filter_list_lines(list, data_dir, double_byte ? kDoubleFilterTempFile : kSingleFilterTempFile,
                                   encoding);
    if (!lines) return unexpected(filter_failure_message(FilterFailure::bad_entry, double_byte));
    untick = lines->untick;
    if (!lines->lines) return Done{};
    auto added = double_byte ? lookup.add_double_list(*lines->lines) : lookup.add_single_list(*lines->lines);
    if (!added) return unexpected(filter_failure_message(added.error(), double_byte));
    return Done{};
}

struct Prepared {
    ScriptTables tables;
    std::u16string script;
};

// What the check and the import share, in order: a script to read, the
// code tables, the filter lists (double-byte first), the script itself.
Expected<Prepared, Message> prepare(const CheckRequest& request, Outcome& outcome) {
    if (!request.preview && request.script_file.empty()) return unexpected(error_message(u"请选择一个文本"));
    auto reverse = load_reverse_tables(request.mode, request.double_table, request.single_table, request.encoding);
    if (!reverse) return unexpected(std::move(reverse.error()));
    FilterLookup filters;
    if (auto added = add_filter_list(filters, request.double_filter, request.data_dir, request.encoding, true,
                                     outcome.untick_double_filter);
        !added)
        return unexpected(std::move(added.error()));
    if (auto added = add_filter_list(filters, request.single_filter, request.data_dir, request.encoding, false,
                                     outcome.untick_single_filter);
        !added)
        return unexpected(std::move(added.error()));
    auto script = open_script(request.preview, request.script_file, request.script_text, request.data_dir,
                              request.encoding);
    if (!script) return unexpected(std::move(script.error()));
    return Prepared{ScriptTables{std::move(*reverse), std::move(filters)}, std::move(*script)};
}

// Walks the non-empty lines of the script. `on_entry(entry, offset)` returns
// the message that ends the walk, if any. A line that cannot be split, or
// whose address is not hexadecimal, cannot be processed; a line without any
// comma is named by the address of the entry before it.
template <class OnEntry>
std::optional<Message> for_each_entry(std::u16string_view script, OnEntry&& on_entry) {
    std::u16string_view previous_address;
    text::LineReader lines(script);
    while (auto line = lines.next()) {
        if (line->empty()) continue;
        auto entry = splitentry(*line);
        if (!entry) return unprocessable_message(entry.error().address.value_or(previous_address));
        previous_address = entry->address;
        auto offset = hex2num(entry->address);
        if (!offset) return unprocessable_message(entry->address);
        if (auto message = on_entry(*entry, static_cast<std::uint64_t>(*offset))) return message;
    }
    return std::nullopt;
}

// `textlen` and the length test: the bytes the text takes, or the message.
Expected<std::size_t, Message> measure(const ScriptEntry& entry, const ScriptTables& tables, CodeRange range) {
    auto count = textlen(entry.text, tables, range);
    if (!count) return unexpected(measuring_message(entry.address, count.error()));
    if (auto excess = length_excess(entry.original_length, *count))
        return unexpected(excess_message(entry.address, *excess));
    return *count;
}

Message rom_write_failed() { return error_message(u"ROM写入失败"); }

}  // namespace

Outcome run_check(const CheckRequest& request) {
    Outcome outcome;
    auto prepared = prepare(request, outcome);
    if (!prepared) {
        outcome.message = std::move(prepared.error());
        return outcome;
    }
    const CodeRange range = code_range(request.range_low, request.range_high);
    auto failure = for_each_entry(prepared->script, [&](const ScriptEntry& entry, std::uint64_t) {
        auto count = measure(entry, prepared->tables, range);
        return count ? std::nullopt : std::optional<Message>(std::move(count.error()));
    });
    outcome.message = failure ? std::move(*failure) : notice_message(u"此文本为合法文本");
    return outcome;
}

Outcome run_import(const ImportRequest& request) {
    Outcome outcome;
    if (request.rom.empty()) {
        outcome.message = error_message(u"请先选择一个ROM");
        return outcome;
    }
    auto prepared = prepare(request, outcome);
    if (!prepared) {
        outcome.message = std::move(prepared.error());
        return outcome;
    }
    const ScriptTables& tables = prepared->tables;
    const CodeRange range = code_range(request.range_low, request.range_high);
    // A ROM that cannot be opened for writing leaves no target: the first
    // entry then cannot be processed, and a script without entries succeeds.
    std::optional<RomFile> rom = RomFile::open(request.rom);
    bool write_failed = false;
    std::vector<std::uint8_t> bytes;

    auto failure = for_each_entry(prepared->script, [&](const ScriptEntry& entry,
                                                        std::uint64_t offset) -> std::optional<Message> {
        if (!rom) return unprocessable_message(entry.address);
        auto count = measure(entry, tables, kAllDoubleCodes);
        if (!count) return std::move(count.error());
        if (auto encoding = text2code(entry.text, tables, range, bytes))
            return encoding_message(entry.address, *encoding);
        auto fill = fill_for(request.fill, leading_number(entry.original_length) - static_cast<std::int64_t>(*count));
        if (!fill) return unprocessable_message(entry.address);
        // The ROM keeps its length: an entry that would write bytes at or past
        // its end is refused before any of its bytes is written. An entry of
        // no bytes writes nothing, wherever it stands.
        const std::uint64_t total = bytes.size() + fill->byte_count();
        if (total > 0 && (offset >= rom->size() || total > rom->size() - offset))
            return unprocessable_message(entry.address);
        fill->append_to(bytes);
        if (!rom->write(offset, bytes)) {
            write_failed = true;
            return rom_write_failed();
        }
        ++outcome.entries_written;
        return std::nullopt;
    });
    // Entries before a failing one stay written.
    if (rom && !rom->flush() && !write_failed) failure = rom_write_failed();
    outcome.message = failure ? std::move(*failure) : notice_message(u"文本导入成功");
    return outcome;
}

}  // namespace quillmere
