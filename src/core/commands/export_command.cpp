#include "core/commands/export_command.hpp"

#include <algorithm>
#include <array>

#include "core/commands/output_file.hpp"
#include "core/commands/pointer_commands.hpp"
#include "core/encoding/code_table.hpp"
#include "core/encoding/filter.hpp"
#include "core/encoding/hex.hpp"
#include "core/export/export_text.hpp"
#include "core/export/exportrange.hpp"
#include "core/pointers/pointer_value.hpp"
#include "core/files/files.hpp"
#include "core/text/lines.hpp"
#include "core/platform/mapped_file.hpp"
#include "core/platform/replace_file.hpp"

namespace quillmere {
namespace {

constexpr std::u16string_view kExported = u"文本已顺利导出";
constexpr std::u16string_view kExportFailed = u"导出文本失败";
constexpr std::u16string_view kBadAddress = u"文本开始地址或结束地址输入错误";
// Shown whenever the export file cannot be written; it begins with a space.
constexpr std::u16string_view kBadFileName = u" 文件名不能包括以下字符：\\/:*?<>\"|";

// The stretches of the request in address order, or nullopt when one is not
// a valid pair of addresses with the end above the start, or two share a byte.
std::optional<std::vector<ExportStretch>> stretches_of(const ExportRequest& request) {
    std::vector<TypedRange> typed = request.ranges;
    if (typed.empty()) typed.push_back({request.start, request.end});
    std::vector<ExportStretch> stretches;
    for (const TypedRange& range : typed) {
        const auto start = hex2num(range.start);
        const auto end = hex2num(range.end);
        if (!start || !end || *end <= *start) return std::nullopt;
        stretches.push_back({*start, *end});
    }
    std::sort(stretches.begin(), stretches.end(), [](ExportStretch a, ExportStretch b) { return a.start < b.start; });
    for (std::size_t i = 1; i < stretches.size(); ++i)
        if (stretches[i].start <= stretches[i - 1].end) return std::nullopt;
    return stretches;
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

// What an export has read and checked before it scans.
struct PreparedExport {
    CodeTables tables;
    ExportFilters filters;
    platform::MappedFile rom;
    std::vector<ExportStretch> stretches;  // or, by pointers:
    std::optional<std::vector<std::uint32_t>> targets;
};

// The checks, the tables, the filter lists, the ROM and the pointers, in
// that order; nullopt, with the message in `outcome`, at the first failure.
std::optional<PreparedExport> prepare_export(const ExportRequest& request, ExportOutcome& outcome) {
    if (request.rom.empty()) {
        outcome.message = error_message(u"请先选择一个ROM");
        return std::nullopt;
    }
    const bool by_pointers = !request.pointer_list.empty();
    std::vector<Pointer> pointers;
    std::optional<std::vector<ExportStretch>> stretches;
    if (by_pointers) {
        auto list = read_pointer_list(request.pointer_list);
        if (!list) {
            outcome.message = std::move(list.error());
            return std::nullopt;
        }
        pointers = std::move(*list);
    } else {
        // An empty address text is not hexadecimal either.
        stretches = stretches_of(request);
        if (!stretches) {
            outcome.message = error_message(std::u16string(kBadAddress));
            return std::nullopt;
        }
    }
    if (!request.preview && request.name.empty()) {
        outcome.message = error_message(u"请先输入名称");
        return std::nullopt;
    }

    auto tables = load_code_tables(request.mode, request.double_table, request.single_table, request.encoding);
    if (!tables) {
        outcome.message = tables.error();
        return std::nullopt;
    }

    ExportFilters filters;
    auto parse2 = [](std::span<const std::u16string> lines) { return readfilter2(lines); };
    auto parse1 = [](std::span<const std::u16string> lines) { return readfilter1(lines); };
    if (auto failure = read_filter_list(request.double_filter, request.data_dir, request.encoding, kDoubleFilterTempFile, true, parse2,
                                        outcome.untick_double_filter, filters.double_byte)) {
        outcome.message = std::move(*failure);
        return std::nullopt;
    }
    if (auto failure = read_filter_list(request.single_filter, request.data_dir, request.encoding, kSingleFilterTempFile, false, parse1,
                                        outcome.untick_single_filter, filters.single)) {
        outcome.message = std::move(*failure);
        return std::nullopt;
    }

    // A ROM that cannot be read fails like a failed read at the first position.
    auto rom = platform::MappedFile::open(request.rom);
    if (!rom) {
        outcome.message = notice_message(std::u16string(kExportFailed));
        return std::nullopt;
    }
    PreparedExport job{std::move(*tables), std::move(filters), std::move(*rom), {}, std::nullopt};
    if (by_pointers) {
        auto targets = pointer_targets(pointers, job.rom.bytes());
        if (!targets) {
            outcome.message = std::move(targets.error());
            return std::nullopt;
        }
        job.targets = std::move(*targets);
    } else {
        job.stretches = std::move(*stretches);
    }
    return job;
}

HexBytes hex_bytes_of(const ExportRequest& request) { return HexBytes{request.hex_bytes, request.hex_max}; }

// The scan into the export text, and what it gives.
ExportOutcome export_text(const ExportRequest& request, const PreparedExport& job, ExportOutcome outcome) {
    Expected<std::u16string, ExportFailed> text =
        job.targets ? exportruns(job.rom.bytes(), *job.targets, job.tables, job.filters, request.minimum,
                                 hex_bytes_of(request))
                    : exportranges(job.rom.bytes(), job.stretches, job.tables, job.filters, request.minimum,
                                   hex_bytes_of(request));
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

// The scan into the bytes of the export file, handed to `write` in chunks;
// the final CR LF is the caller's. Its result: the number of records, or
// the failure (`unencodable`: nothing was handed on).
Expected<std::size_t, ExportFailed> export_bytes(const ExportRequest& request, const PreparedExport& job,
                                                 const ExportChunkWriter& write) {
    if (job.targets)
        return exportruns_bytes(job.rom.bytes(), *job.targets, job.tables, job.filters, request.minimum,
                                hex_bytes_of(request), request.encoding, write);
    return exportranges_bytes(job.rom.bytes(), job.stretches, job.tables, job.filters, request.minimum,
                              hex_bytes_of(request), request.encoding, write);
}

constexpr std::array<std::uint8_t, 2> kFileEnd{0x0D, 0x0A};

}  // namespace

ExportOutcome run_export(const ExportRequest& request) {
    ExportOutcome outcome;
    const auto job = prepare_export(request, outcome);
    if (!job) return outcome;
    return export_text(request, *job, std::move(outcome));
}

ExportOutcome export_to_file(const ExportRequest& request, const std::filesystem::path& path) {
    ExportOutcome outcome;
    const auto job = prepare_export(request, outcome);
    if (!job) return outcome;
    // The whole text and then the file (run_export, write_export_file)
    // wherever streaming could not tell the same story: a path naming the
    // ROM (refused only once the scan has records), a file that cannot be
    // made (reported only then too), a piece the encoding cannot hold (the
    // file name message).
    auto through_text = [&] {
        outcome = export_text(request, *job, std::move(outcome));
        if (!outcome.export_text) return std::move(outcome);
        outcome.message = write_export_file(path, *outcome.export_text, request.rom, request.encoding);
        outcome.export_text.reset();
        outcome.written = outcome.message->severity == Severity::notice;
        return std::move(outcome);
    };
    if (refuse_output_over_rom(path, request.rom)) return through_text();
    auto file = platform::FileReplacement::begin(path);
    if (!file) return through_text();
    // A failed write (a full disk) is reported once the scan has ended, as
    // the failed write of a whole text is: a scan that fails still says so.
    bool written = true;
    const auto records = export_bytes(request, *job, [&](std::span<const std::uint8_t> chunk) {
        written = written && file->write(chunk).has_value();
    });
    if (!records && records.error() == ExportFailed::unencodable) {
        file->discard();
        return through_text();
    }
    if (!records) return with_message(std::move(outcome), notice_message(std::u16string(kExportFailed)));
    if (*records == 0) {
        outcome.clear_preview = true;
        return with_message(std::move(outcome), notice_message(std::u16string(kExportFailed)));
    }
    written = written && file->write(kFileEnd).has_value() && file->commit().has_value();
    if (!written) return with_message(std::move(outcome), error_message(std::u16string(kBadFileName)));
    outcome.written = true;
    return with_message(std::move(outcome), notice_message(std::u16string(kExported)));
}

ExportOutcome export_file_form(const ExportRequest& request, std::vector<std::uint8_t>& bytes) {
    bytes.clear();
    ExportOutcome outcome;
    const auto job = prepare_export(request, outcome);
    if (!job) return outcome;
    const auto records = export_bytes(request, *job, [&](std::span<const std::uint8_t> chunk) {
        bytes.insert(bytes.end(), chunk.begin(), chunk.end());
    });
    if (!records && records.error() == ExportFailed::unencodable) {
        outcome = export_text(request, *job, std::move(outcome));
        if (!outcome.export_text) return outcome;
        auto file_form = export_file_bytes(*outcome.export_text, request.encoding);
        outcome.export_text.reset();
        if (!file_form) return with_message(std::move(outcome), std::move(file_form.error()));
        bytes = std::move(*file_form);
        return outcome;
    }
    if (!records || *records == 0) {
        bytes.clear();
        outcome.clear_preview = records.has_value();
        return with_message(std::move(outcome), notice_message(std::u16string(kExportFailed)));
    }
    bytes.insert(bytes.end(), kFileEnd.begin(), kFileEnd.end());
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
    if (!files::write_bytes(path, *bytes)) return error_message(std::u16string(kBadFileName));
    return notice_message(std::u16string(kExported));
}

}  // namespace quillmere
