#include "core/commands/export_command.hpp"

#include <algorithm>

#include "core/commands/output_file.hpp"
#include "core/commands/pointer_commands.hpp"
#include "core/encoding/code_table.hpp"
#include "core/encoding/filter.hpp"
#include "core/encoding/hex.hpp"
#include "core/export/export_text.hpp"
#include "core/export/exportrange.hpp"
#include "core/pointers/pointer_value.hpp"
#include "core/text/files.hpp"
#include "core/text/lines.hpp"
#include "core/text/mapped_file.hpp"

namespace quillmere {
namespace {

constexpr std::u16string_view kExported = u"文本已顺利导出";
constexpr std::u16string_view kExportFailed = u"导出文本失败";
constexpr std::u16string_view kBadAddress = u"文本开始地址或结束地址输入错误";
// Shown whenever the export file cannot be written; it begins with a space.
constexpr std::u16string_view kBadFileName = u" 文件名不能包括以下字符：\\/:*?<>\"|";

struct Stretch {
    std::int32_t start = 0, end = 0;
};

// The stretches of the request in address order, or nullopt when one is not
// a valid pair of addresses with the end above the start, or two share a byte.
std::optional<std::vector<Stretch>> stretches_of(const ExportRequest& request) {
    std::vector<TypedRange> typed = request.ranges;
    if (typed.empty()) typed.push_back({request.start, request.end});
    std::vector<Stretch> stretches;
    for (const TypedRange& range : typed) {
        const auto start = hex2num(range.start);
        const auto end = hex2num(range.end);
        if (!start || !end || *end <= *start) return std::nullopt;
        stretches.push_back({*start, *end});
    }
    std::sort(stretches.begin(), stretches.end(), [](Stretch a, Stretch b) { return a.start < b.start; });
    for (std::size_t i = 1; i < stretches.size(); ++i)
        if (stretches[i].start <= stretches[i - 1].end) return std::nullopt;
    return stretches;
}

// The offset after the last byte the last record of an export text covers;
// 0 for an empty text.
std::int64_t end_of_records(std::u16string_view text) {
    if (text.size() < kRecordEnd.size()) return 0;
    const std::u16string_view body = text.substr(0, text.size() - kRecordEnd.size());
    const std::size_t previous_end = body.rfind(kRecordEnd);
    const std::u16string_view last = previous_end == std::u16string_view::npos
                                         ? body
                                         : body.substr(previous_end + kRecordEnd.size());
    const std::size_t first = last.find(u',');
    const std::size_t second = last.find(u',', first + 1);
    const auto address = hex2num(last.substr(0, first));
    if (!address || second == std::u16string_view::npos) return 0;
    std::int64_t length = 0;
    for (char16_t digit : last.substr(first + 1, second - first - 1)) length = length * 10 + (digit - u'0');
    return *address + length;
}

ExportOutcome with_message(ExportOutcome outcome, Message message) {
    outcome.message = std::move(message);
    return outcome;
}

// One filter list: untick it when empty, pass it through its temporary file
// when ticked, and parse it. Sets `filter` only when the list takes part.
template <class Filter, class Parse>
std::optional<Message> read_filter_list(const FilterListInput& list, const std::optional<std::filesystem::path>& data_dir,
                                        text::Encoding encoding, const char* temp_file, bool double_byte, Parse parse,
                                        bool& untick, std::optional<Filter>& filter) {
    auto lines = filter_list_lines(list, data_dir, temp_file, encoding);
    if (!lines) return filter_failure_message(FilterFailure::bad_entry, double_byte);
    untick = lines->untick;
    if (!lines->lines) return std::nullopt;
    auto parsed = parse(*lines->lines);
    if (!parsed) return filter_failure_message(parsed.error(), double_byte);
    filter = std::move(*parsed);
    return std::nullopt;
}

// The distinct offsets the pointers point at, ascending; the first pointer
// that lies or points outside the ROM is refused.
Expected<std::vector<std::uint32_t>, Message> pointer_targets(std::span<const Pointer> pointers,
                                                              std::span<const std::uint8_t> rom) {
    std::vector<std::uint32_t> targets;
    targets.reserve(pointers.size());
    for (const Pointer& pointer : pointers) {
        if (!pointer_in_rom(pointer, rom.size()))
            return unexpected(error_message(u"指针" + to_hex(pointer.address) + u"超出ROM"));
        const auto target = target_of(read_pointer(rom, pointer), pointer.base);
        if (!target || *target >= rom.size())
            return unexpected(error_message(u"指针" + to_hex(pointer.address) + u"指向ROM之外"));
        targets.push_back(*target);
    }
    std::sort(targets.begin(), targets.end());
    targets.erase(std::unique(targets.begin(), targets.end()), targets.end());
    return targets;
}

}  // namespace

ExportOutcome run_export(const ExportRequest& request) {
    ExportOutcome outcome;
    if (request.rom.empty()) return with_message(std::move(outcome), error_message(u"请先选择一个ROM"));
    const bool by_pointers = !request.pointer_list.empty();
    std::vector<Pointer> pointers;
    std::optional<std::vector<Stretch>> stretches;
    if (by_pointers) {
        auto list = read_pointer_list(request.pointer_list);
        if (!list) return with_message(std::move(outcome), std::move(list.error()));
        pointers = std::move(*list);
    } else {
        // An empty address text is not hexadecimal either.
        stretches = stretches_of(request);
        if (!stretches) return with_message(std::move(outcome), error_message(std::u16string(kBadAddress)));
    }
    if (!request.preview && request.name.empty()) return with_message(std::move(outcome), error_message(u"请先输入名称"));

    auto tables = load_code_tables(request.mode, request.double_table, request.single_table, request.encoding);
    if (!tables) return with_message(std::move(outcome), tables.error());

    ExportFilters filters;
    auto parse2 = [](std::span<const std::u16string> lines) { return readfilter2(lines); };
    auto parse1 = [](std::span<const std::u16string> lines) { return readfilter1(lines); };
    if (auto failure = read_filter_list(request.double_filter, request.data_dir, request.encoding, kDoubleFilterTempFile, true, parse2,
                                        outcome.untick_double_filter, filters.double_byte))
        return with_message(std::move(outcome), std::move(*failure));
    if (auto failure = read_filter_list(request.single_filter, request.data_dir, request.encoding, kSingleFilterTempFile, false, parse1,
                                        outcome.untick_single_filter, filters.single))
        return with_message(std::move(outcome), std::move(*failure));

    // A ROM that cannot be read fails like a failed read at the first position.
    auto rom = text::MappedFile::open(request.rom);
    if (!rom) return with_message(std::move(outcome), notice_message(std::u16string(kExportFailed)));
    Expected<std::u16string, ExportFailed> text = std::u16string();
    if (by_pointers) {
        auto targets = pointer_targets(pointers, rom->bytes());
        if (!targets) return with_message(std::move(outcome), std::move(targets.error()));
        text = exportruns(rom->bytes(), *targets, *tables, filters, request.minimum,
                          HexBytes{request.hex_bytes, request.hex_max});
    } else {
        text = exportrange(rom->bytes(), stretches->front().start, stretches->front().end, *tables, filters,
                           request.minimum, HexBytes{request.hex_bytes, request.hex_max});
        for (std::size_t i = 1; text && i < stretches->size(); ++i) {
            // A run may end past its stretch (the second byte of a pair, a jump
            // code's parameters); the next stretch starts after it, so that no
            // two records share a byte and an import cannot write one over another.
            const std::int64_t start = std::max<std::int64_t>((*stretches)[i].start, end_of_records(*text));
            if (start > (*stretches)[i].end) continue;
            auto more = exportrange(rom->bytes(), static_cast<std::int32_t>(start), (*stretches)[i].end, *tables,
                                    filters, request.minimum, HexBytes{request.hex_bytes, request.hex_max});
            if (!more || text->size() + more->size() > kMaxExportTextLength) {
                text = unexpected(ExportFailed::text_too_long);
                break;
            }
            *text += *more;
        }
    }
    if (!text) return with_message(std::move(outcome), notice_message(std::u16string(kExportFailed)));
    if (text->empty()) {
        outcome.clear_preview = true;
        return with_message(std::move(outcome), notice_message(std::u16string(kExportFailed)));
    }
    // Without the preview the front end now asks for a file and saves it.
    if (request.preview) outcome.message = notice_message(std::u16string(kExported));
    outcome.export_text = std::move(*text);
    return outcome;
}

Expected<std::vector<std::uint8_t>, Message> export_file_bytes(std::u16string_view export_text,
                                                               text::Encoding encoding) {
    // Encoded as it stands and the line end added as bytes: an export text
    // can be large, and is not copied for one more CR LF.
    auto bytes = text::encode(export_text, encoding);
    if (!bytes) return unexpected(error_message(std::u16string(kBadFileName)));
    bytes->push_back(0x0D);
    bytes->push_back(0x0A);
    return std::move(*bytes);
}

Message write_export_file(const std::filesystem::path& path, std::u16string_view export_text,
                          const std::filesystem::path& rom, text::Encoding encoding) {
    if (auto refusal = refuse_output_over_rom(path, rom)) return *refusal;
    auto bytes = export_file_bytes(export_text, encoding);
    if (!bytes) return bytes.error();
    if (!text::write_bytes(path, *bytes)) return error_message(std::u16string(kBadFileName));
    return notice_message(std::u16string(kExported));
}

}  // namespace quillmere
