#include "core/commands/pointer_commands.hpp"

#include <algorithm>
#include <set>
#include <string>
#include <unordered_map>

#include "core/commands/messages.hpp"
#include "core/encoding/hex.hpp"
#include "core/files/files.hpp"
#include "core/platform/mapped_file.hpp"
#include "core/pointers/pointer_scan.hpp"
#include "core/pointers/pointer_table.hpp"
#include "core/pointers/pointer_value.hpp"
#include "core/script/entry.hpp"

namespace quillmere {
namespace {

CommandResult<PointerList> refused(Message message) { return {std::move(message), {}}; }

// The pointer form shared by both commands.
struct Form {
    std::uint8_t size = 4;
    ByteOrder order = ByteOrder::little;
    std::int64_t base = 0;
    AddressMap map{};
};

Expected<Form, Message> read_form(std::u16string_view size, std::u16string_view order, std::u16string_view base,
                                  std::u16string_view map) {
    const auto s = parse_pointer_size(size);
    if (!s) return unexpected(messages::bad_pointer_size());
    const auto o = parse_byte_order(order);
    if (!o) return unexpected(messages::bad_byte_order());
    const auto b = parse_signed_hex32(base);
    if (!b) return unexpected(messages::bad_base());
    const auto m = map.empty() ? std::optional<AddressMap>(AddressMap{}) : parse_address_map(map);
    if (!m) return unexpected(messages::bad_address_map());
    return Form{*s, *o, *b, *m};
}

// A split table's places: the high bytes' and the bank bytes' tables.
struct SplitPlaces {
    std::optional<std::uint32_t> high, bank;
};

Expected<SplitPlaces, Message> read_split(const PointerTableRequest& request) {
    SplitPlaces places;
    if (request.split_high.empty()) return places;
    places.high = parse_hex32(request.split_high);
    if (!places.high) return unexpected(messages::bad_table_address());
    if (!request.split_bank.empty()) {
        places.bank = parse_hex32(request.split_bank);
        if (!places.bank) return unexpected(messages::bad_table_address());
    }
    return places;
}

// A record of the script: its offset and its address as written.
struct ScriptRecord {
    std::uint32_t offset = 0;
    std::u16string address;
};

// The records of a script file, in file order, or the message of the first
// line that is not one.
Expected<std::vector<ScriptRecord>, Message> read_records(const std::filesystem::path& path) {
    auto decoded = files::read_text_file(path);
    if (!decoded) return unexpected(messages::script_unreadable());
    std::vector<ScriptRecord> records;
    Expected<Done, Message> read = Done{};
    auto unprocessable = [&](std::u16string_view address) {
        read = unexpected(messages::unprocessable(address));
        return false;
    };
    for_each_entry(
        std::u16string_view(decoded->text),
        [&](const ScriptEntry& entry) {
            const auto offset = hex2num(entry.address);
            if (!offset) return unprocessable(entry.address);
            records.push_back({static_cast<std::uint32_t>(*offset), std::u16string(entry.address)});
            return true;
        },
        unprocessable);
    if (!read) return unexpected(std::move(read.error()));
    return records;
}

Message table_fault(TableFault fault) {
    switch (fault) {
    case TableFault::no_pointers: break;
    case TableFault::stride_too_small: return messages::stride_too_small();
    case TableFault::outside_rom: return messages::table_outside_rom();
    case TableFault::tables_overlap: return messages::tables_overlap();
    }
    return messages::bad_pointer_count();
}

// The list of a scan: each table under a comment line, then the pointers
// in no table under one of their own (left out with `tables_only`).
std::u16string ranked_list(const std::vector<Pointer>& found, const Ranked& ranked, bool tables_only,
                           std::vector<Pointer>& listed) {
    std::u16string text;
    for (const FoundTable& table : ranked.tables) {
        text += messages::found_table_comment(table.start, table.stride, table.count) + u"\r\n";
        for (std::uint32_t k = 0; k < table.count; ++k) {
            Pointer pointer = found.front();
            pointer.address = table.start + k * table.stride;
            text += pointer_line(pointer) + u"\r\n";
            listed.push_back(pointer);
        }
    }
    if (tables_only || ranked.alone.empty()) return text;
    text += messages::alone_comment() + u"\r\n";
    for (std::size_t index : ranked.alone) {
        text += pointer_line(found[index]) + u"\r\n";
        listed.push_back(found[index]);
    }
    return text;
}

}  // namespace

CommandResult<PointerList> run_pointer_table(const PointerTableRequest& request) {
    if (request.rom.empty()) return refused(messages::choose_rom());
    const auto at = parse_hex32(request.at);
    if (!at) return refused(messages::bad_table_address());
    const auto count = parse_decimal32(request.count);
    if (!count || *count == 0) return refused(messages::bad_pointer_count());
    auto split = read_split(request);
    if (!split) return refused(std::move(split.error()));
    // A split table's size is the number of its tables, its order low byte first.
    const std::uint8_t split_size = split->bank ? 3 : 2;
    const std::u16string size = request.size.empty() && split->high ? messages::decimal(split_size) : request.size;
    const std::u16string order = request.order.empty() && split->high ? u"LE" : request.order;
    auto form = read_form(size, order, request.base, request.map);
    if (!form) return refused(std::move(form.error()));
    if (split->high && form->size != split_size) return refused(messages::split_size_mismatch());
    std::uint32_t stride = split->high ? 1 : form->size;
    if (!request.stride.empty()) {
        const auto typed = parse_decimal32(request.stride);
        if (!typed) return refused(messages::bad_stride());
        stride = *typed;
    }
    std::optional<std::uint32_t> null_value;
    if (request.null_value != u"none") {
        null_value = parse_hex32(request.null_value);
        if (!null_value) return refused(messages::bad_null_value());
    }
    auto rom = platform::MappedFile::open(request.rom);
    if (!rom) return refused(messages::rom_unreadable());

    TableLayout layout{*at, *count, form->size, form->order, form->base, stride, form->map, split->high, split->bank,
                       null_value};
    auto table = pointer_table(layout, rom->bytes());
    if (!table) return refused(table_fault(table.error()));
    const auto nulls = static_cast<std::size_t>(std::count_if(table->begin(), table->end(), [](const Pointer& p) { return p.skip; }));
    return {messages::pointers_listed(table->size(), nulls), {format_pointer_list(*table), {}}};
}

CommandResult<PointerList> run_pointer_scan(const PointerScanRequest& request) {
    if (request.rom.empty()) return refused(messages::choose_rom());
    if (request.script.empty()) return refused(messages::choose_script());
    auto form = read_form(request.size, request.order, request.base, request.map);
    if (!form) return refused(std::move(form.error()));
    const auto align = parse_decimal32(request.align);
    if (!align || *align == 0) return refused(messages::bad_alignment());
    const auto min_run = parse_decimal32(request.min_run);
    if (!min_run || *min_run < 2) return refused(messages::bad_min_run());
    const auto max_stride = parse_decimal32(request.max_stride);
    if (!max_stride || *max_stride > 256) return refused(messages::bad_max_stride());
    auto records = read_records(request.script);
    if (!records) return refused(std::move(records.error()));
    auto rom = platform::MappedFile::open(request.rom);
    if (!rom) return refused(messages::rom_unreadable());

    std::vector<std::uint32_t> targets;
    targets.reserve(records->size());
    for (const ScriptRecord& record : *records) targets.push_back(record.offset);
    const ScanLayout layout{form->size, form->order, form->base, *align, form->map};
    const ScanResult found = scan_pointers(rom->bytes(), targets, layout);
    const RomShape shape = RomShape::of(rom->bytes());
    std::vector<std::uint64_t> aims;
    aims.reserve(found.pointers.size());
    for (const Pointer& pointer : found.pointers)
        aims.push_back(target_of(pointer, read_pointer(rom->bytes(), pointer), shape).value_or(0));
    const Ranked ranked = rank_pointers(found.pointers, aims, RankRules{*min_run, *max_stride});
    std::vector<Pointer> listed;
    std::u16string list = ranked_list(found.pointers, ranked, request.tables_only, listed);

    // A record no listed pointer reaches is named as the script writes its
    // address (the first record at that offset).
    std::set<std::uint64_t> reached;
    for (const Pointer& pointer : listed) reached.insert(target_of(pointer, read_pointer(rom->bytes(), pointer), shape).value_or(0));
    std::unordered_map<std::uint32_t, const std::u16string*> address_of;
    for (const ScriptRecord& record : *records) address_of.try_emplace(record.offset, &record.address);
    std::size_t in_tables = 0;
    for (const FoundTable& table : ranked.tables) in_tables += table.count;
    CommandResult<PointerList> result{
        messages::pointers_found(found.pointers.size(), in_tables, ranked.tables.size(), request.tables_only),
        {std::move(list), {}}};
    for (std::uint32_t offset : std::set<std::uint32_t>(targets.begin(), targets.end()))
        if (!reached.contains(offset)) result.payload.warnings.push_back(messages::unreached_warning(*address_of.at(offset)));
    return result;
}

CommandResult<> write_pointer_list_file(const std::filesystem::path& path, std::u16string_view list) {
    if (!files::write_text_file(path, list)) return {messages::pointer_list_unwritable()};
    return {messages::pointer_list_written()};
}

Expected<std::vector<Pointer>, Message> read_pointer_list(const std::filesystem::path& path) {
    auto decoded = files::read_text_file(path);
    if (!decoded) return unexpected(messages::pointer_list_unreadable());
    auto pointers = parse_pointer_list(decoded->text);
    if (!pointers) return unexpected(messages::bad_pointer_line(pointers.error().line));
    return std::move(*pointers);
}

}  // namespace quillmere
