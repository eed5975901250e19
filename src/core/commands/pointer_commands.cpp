#include "core/commands/pointer_commands.hpp"

#include <string>
#include <unordered_map>

#include "core/encoding/hex.hpp"
#include "core/script/entry.hpp"
#include "core/script/entry_failure.hpp"
#include "core/pointers/pointer_scan.hpp"
#include "core/pointers/pointer_table.hpp"
#include "core/files/files.hpp"
#include "core/text/lines.hpp"
#include "core/platform/mapped_file.hpp"

namespace quillmere {
namespace {

std::u16string decimal(std::uint64_t value) {
    const std::string digits = std::to_string(value);
    return std::u16string(digits.begin(), digits.end());
}

PointerListOutcome refused(std::u16string text) { return PointerListOutcome{error_message(std::move(text)), {}, {}}; }

// The pointer form shared by both commands.
struct Form {
    std::uint8_t size = 4;
    ByteOrder order = ByteOrder::little;
    std::uint32_t base = 0;
};

Expected<Form, std::u16string> read_form(std::u16string_view size, std::u16string_view order,
                                         std::u16string_view base) {
    const auto s = parse_pointer_size(size);
    if (!s) return unexpected(std::u16string(u"指针长度只能是2、3或4"));
    const auto o = parse_byte_order(order);
    if (!o) return unexpected(std::u16string(u"字节序只能是LE或BE"));
    const auto b = parse_hex32(base);
    if (!b) return unexpected(std::u16string(u"基址填写错误"));
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
    if (!decoded) return unexpected(error_message(u"译文读取失败"));
    std::vector<ScriptRecord> records;
    std::optional<Message> failure;
    for_each_entry(
        std::u16string_view(decoded->text),
        [&](const ScriptEntry& entry) {
            const auto offset = hex2num(entry.address);
            if (!offset) failure = unprocessable_message(entry.address);
            if (offset) records.push_back({static_cast<std::uint32_t>(*offset), std::u16string(entry.address)});
            return offset.has_value();
        },
        [&](std::u16string_view address) {
            failure = unprocessable_message(address);
            return false;
        });
    if (failure) return unexpected(std::move(*failure));
    return records;
}

}  // namespace

PointerListOutcome run_pointer_table(const PointerTableRequest& request) {
    if (request.rom.empty()) return refused(u"请先选择一个ROM");
    const auto at = parse_hex32(request.at);
    if (!at) return refused(u"指针表地址填写错误");
    const auto count = parse_decimal32(request.count);
    if (!count || *count == 0) return refused(u"指针个数填写错误");
    auto form = read_form(request.size, request.order, request.base);
    if (!form) return refused(std::move(form.error()));
    std::uint32_t stride = form->size;
    if (!request.stride.empty()) {
        const auto typed = parse_decimal32(request.stride);
        if (!typed) return refused(u"指针间距填写错误");
        stride = *typed;
    }
    auto rom = platform::MappedFile::open(request.rom);
    if (!rom) return refused(u"ROM读取失败");

    auto table = pointer_table(TableLayout{*at, *count, form->size, form->order, form->base, stride}, rom->bytes().size());
    if (!table) {
        switch (table.error()) {
        case TableFault::no_pointers: return refused(u"指针个数填写错误");
        case TableFault::stride_too_small: return refused(u"指针间距不能小于指针长度");
        case TableFault::outside_rom: return refused(u"指针表超出ROM");
        }
    }
    return PointerListOutcome{notice_message(u"共列出" + decimal(table->size()) + u"个指针"),
                              format_pointer_list(*table), {}};
}

PointerListOutcome run_pointer_scan(const PointerScanRequest& request) {
    if (request.rom.empty()) return refused(u"请先选择一个ROM");
    if (request.script.empty()) return refused(u"请选择一个文本");
    auto form = read_form(request.size, request.order, request.base);
    if (!form) return refused(std::move(form.error()));
    const auto align = parse_decimal32(request.align);
    if (!align || *align == 0) return refused(u"对齐填写错误");
    auto records = read_records(request.script);
    if (!records) return PointerListOutcome{std::move(records.error()), {}, {}};
    auto rom = platform::MappedFile::open(request.rom);
    if (!rom) return refused(u"ROM读取失败");

    std::vector<std::uint32_t> targets;
    targets.reserve(records->size());
    for (const ScriptRecord& record : *records) targets.push_back(record.offset);
    const ScanResult found = scan_pointers(rom->bytes(), targets, ScanLayout{form->size, form->order, form->base, *align});

    // A record no pointer reaches is named as the script writes its address
    // (the first record at that offset).
    std::unordered_map<std::uint32_t, const std::u16string*> address_of;
    for (const ScriptRecord& record : *records) address_of.try_emplace(record.offset, &record.address);
    PointerListOutcome outcome{notice_message(u"共找到" + decimal(found.pointers.size()) + u"个指针"),
                               format_pointer_list(found.pointers), {}};
    for (std::uint32_t offset : found.unreached)
        outcome.warnings.push_back(u"警告：没有指针指向" + *address_of.at(offset) + u"行");
    return outcome;
}

Message write_pointer_list_file(const std::filesystem::path& path, std::u16string_view list) {
    if (!files::write_text_file(path, list)) return error_message(u"指针表写入失败");
    return notice_message(u"指针表已写入");
}

Expected<std::vector<Pointer>, Message> read_pointer_list(const std::filesystem::path& path) {
    auto decoded = files::read_text_file(path);
    if (!decoded) return unexpected(error_message(u"指针表读取失败"));
    auto pointers = parse_pointer_list(decoded->text);
    if (!pointers) return unexpected(error_message(u"指针表第" + decimal(pointers.error().line) + u"行填写错误"));
    return std::move(*pointers);
}

}  // namespace quillmere
