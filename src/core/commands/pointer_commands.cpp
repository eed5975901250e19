#include "core/commands/pointer_commands.hpp"

#include <string>
#include <unordered_map>

#include "core/commands/messages.hpp"
#include "core/encoding/hex.hpp"
#include "core/files/files.hpp"
#include "core/platform/mapped_file.hpp"
#include "core/pointers/pointer_scan.hpp"
#include "core/pointers/pointer_table.hpp"
#include "core/script/entry.hpp"

namespace quillmere {
namespace {

CommandResult<PointerList> refused(Message message) { return {std::move(message), {}}; }

// The pointer form shared by both commands.
struct Form {
    std::uint8_t size = 4;
    ByteOrder order = ByteOrder::little;
    std::uint32_t base = 0;
};

Expected<Form, Message> read_form(std::u16string_view size, std::u16string_view order, std::u16string_view base) {
    const auto s = parse_pointer_size(size);
    if (!s) return unexpected(messages::bad_pointer_size());
    const auto o = parse_byte_order(order);
    if (!o) return unexpected(messages::bad_byte_order());
    const auto b = parse_hex32(base);
    if (!b) return unexpected(messages::bad_base());
    return Form{*s, *o, *b};
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
    }
    return messages::bad_pointer_count();
}

}  // namespace

CommandResult<PointerList> run_pointer_table(const PointerTableRequest& request) {
    if (request.rom.empty()) return refused(messages::choose_rom());
    const auto at = parse_hex32(request.at);
    if (!at) return refused(messages::bad_table_address());
    const auto count = parse_decimal32(request.count);
    if (!count || *count == 0) return refused(messages::bad_pointer_count());
    auto form = read_form(request.size, request.order, request.base);
    if (!form) return refused(std::move(form.error()));
    std::uint32_t stride = form->size;
    if (!request.stride.empty()) {
        const auto typed = parse_decimal32(request.stride);
        if (!typed) return refused(messages::bad_stride());
        stride = *typed;
    }
    auto rom = platform::MappedFile::open(request.rom);
    if (!rom) return refused(messages::rom_unreadable());

    auto table = pointer_table(TableLayout{*at, *count, form->size, form->order, form->base, stride}, rom->bytes().size());
    if (!table) return refused(table_fault(table.error()));
    return {messages::pointers_listed(table->size()), {format_pointer_list(*table), {}}};
}

CommandResult<PointerList> run_pointer_scan(const PointerScanRequest& request) {
    if (request.rom.empty()) return refused(messages::choose_rom());
    if (request.script.empty()) return refused(messages::choose_script());
    auto form = read_form(request.size, request.order, request.base);
    if (!form) return refused(std::move(form.error()));
    const auto align = parse_decimal32(request.align);
    if (!align || *align == 0) return refused(messages::bad_alignment());
    auto records = read_records(request.script);
    if (!records) return refused(std::move(records.error()));
    auto rom = platform::MappedFile::open(request.rom);
    if (!rom) return refused(messages::rom_unreadable());

    std::vector<std::uint32_t> targets;
    targets.reserve(records->size());
    for (const ScriptRecord& record : *records) targets.push_back(record.offset);
    const ScanResult found = scan_pointers(rom->bytes(), targets, ScanLayout{form->size, form->order, form->base, *align});

    // A record no pointer reaches is named as the script writes its address
    // (the first record at that offset).
    std::unordered_map<std::uint32_t, const std::u16string*> address_of;
    for (const ScriptRecord& record : *records) address_of.try_emplace(record.offset, &record.address);
    CommandResult<PointerList> result{messages::pointers_found(found.pointers.size()),
                                      {format_pointer_list(found.pointers), {}}};
    for (std::uint32_t offset : found.unreached)
        result.payload.warnings.push_back(messages::unreached_warning(*address_of.at(offset)));
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
