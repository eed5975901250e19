#include "core/commands/export_command.hpp"

#include <algorithm>

#include "core/commands/messages.hpp"
#include "core/commands/output_file.hpp"
#include "core/commands/pointer_commands.hpp"
#include "core/encoding/hex.hpp"
#include "core/files/files.hpp"
#include "core/platform/mapped_file.hpp"
#include "core/platform/replace_file.hpp"
#include "core/pointers/pointer_value.hpp"

namespace quillmere {
namespace {

using Result = CommandResult<ExportPayload>;

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

// The distinct offsets the pointers point at, ascending, and how many
// entries were skipped as null; the first pointer that lies or points outside
// the ROM is refused, unless it is marked to be skipped.
struct PointerTargets {
    std::vector<std::uint32_t> offsets;
    std::size_t skipped = 0;
};

Expected<PointerTargets, Message> pointer_targets(std::span<const Pointer> pointers, std::span<const std::uint8_t> rom) {
    PointerTargets targets;
    targets.offsets.reserve(pointers.size());
    const RomShape shape = RomShape::of(rom);
    for (const Pointer& pointer : pointers) {
        if (pointer.skip) {
            ++targets.skipped;
            continue;
        }
        if (!pointer_in_rom(pointer, rom.size())) return unexpected(messages::pointer_outside_rom(pointer.address));
        const auto target = target_of(pointer, read_pointer(rom, pointer), shape);
        if (!target || *target >= rom.size()) return unexpected(messages::pointer_points_outside(pointer.address));
        targets.offsets.push_back(static_cast<std::uint32_t>(*target));
    }
    std::sort(targets.offsets.begin(), targets.offsets.end());
    targets.offsets.erase(std::unique(targets.offsets.begin(), targets.offsets.end()), targets.offsets.end());
    return targets;
}

// What an export has read and checked before it scans.
struct PreparedExport {
    ExportTables tables;
    platform::MappedFile rom;
    std::vector<ExportStretch> stretches;  // or, by pointers:
    std::optional<std::vector<std::uint32_t>> targets;
    std::size_t null_pointers = 0;

    ExportSource source(const ExportRequest& request) const {
        return {rom.bytes(),
                tables.tables,
                tables.filters,
                stretches,
                targets ? std::optional<std::span<const std::uint32_t>>(*targets) : std::nullopt,
                request.minimum,
                HexBytes{request.tables.hex_bytes, request.hex_max}};
    }
};

// The checks, the tables, the filter lists, the ROM and the pointers, in
// that order; the message of the first failure, with the boxes to untick.
Expected<PreparedExport, Message> prepare_export(const ExportRequest& request, FilterUnticks& untick) {
    if (request.rom.empty()) return unexpected(messages::choose_rom());
    const bool by_pointers = !request.pointer_list.empty();
    std::vector<Pointer> pointers;
    std::optional<std::vector<ExportStretch>> stretches;
    if (by_pointers) {
        auto list = read_pointer_list(request.pointer_list);
        if (!list) return unexpected(std::move(list.error()));
        pointers = std::move(*list);
    } else {
        // An empty address text is not hexadecimal either.
        stretches = stretches_of(request);
        if (!stretches) return unexpected(messages::bad_address());
    }
    if (!request.preview && request.name.empty()) return unexpected(messages::enter_name());
    auto tables = load_export_tables(request.tables, untick);
    if (!tables) return unexpected(messages::setup_failure(tables.error()));
    // A ROM that cannot be read fails like a failed read at the first position.
    auto rom = platform::MappedFile::open(request.rom);
    if (!rom) return unexpected(messages::export_failed());
    PreparedExport job{std::move(*tables), std::move(*rom), {}, std::nullopt};
    if (by_pointers) {
        auto targets = pointer_targets(pointers, job.rom.bytes());
        if (!targets) return unexpected(std::move(targets.error()));
        job.targets = std::move(targets->offsets);
        job.null_pointers = targets->skipped;
    } else {
        job.stretches = std::move(*stretches);
    }
    return job;
}

Result with_message(Result result, Message message) {
    result.message = std::move(message);
    return result;
}

// The bytes of the export file gathered in memory.
class MemorySink final : public ExportSink {
public:
    explicit MemorySink(std::vector<std::uint8_t>& bytes) : bytes_(bytes) {}
    void write(std::span<const std::uint8_t> bytes) override { bytes_.insert(bytes_.end(), bytes.begin(), bytes.end()); }

private:
    std::vector<std::uint8_t>& bytes_;
};

// The bytes of the export file written into the file that replaces the old
// one; a failed write is remembered and reported once the scan has ended,
// as a scan that fails still says so first.
class FileSink final : public ExportSink {
public:
    explicit FileSink(platform::FileReplacement& file) : file_(file) {}
    void write(std::span<const std::uint8_t> bytes) override { written_ = written_ && file_.write(bytes).has_value(); }
    bool written() const { return written_; }

private:
    platform::FileReplacement& file_;
    bool written_ = true;
};

// Counts nothing and keeps nothing: a scan whose file cannot be written is
// still run, for its own messages.
class NullSink final : public ExportSink {
public:
    void write(std::span<const std::uint8_t>) override {}
};

// The outcome of a scan into the file form, before anything is saved: the
// scan's failure or empty result, both "导出文本失败".
std::optional<Result> scan_failure(const Expected<std::size_t, ExportFailed>& records, Result& result) {
    if (records && *records > 0) return std::nullopt;
    if (records || records.error() != ExportFailed::unencodable) {
        result.payload.clear_preview = records.has_value();
        return with_message(std::move(result), messages::export_failed());
    }
    return std::nullopt;
}

}  // namespace

CommandResult<ExportPayload> run_export(const ExportRequest& request) {
    Result result{no_message()};
    auto job = prepare_export(request, result.payload.untick);
    if (!job) return with_message(std::move(result), std::move(job.error()));
    result.payload.null_pointers = job->null_pointers;
    if (request.preview) {
        auto text = export_text(job->source(request));
        if (!text) return with_message(std::move(result), messages::export_failed());
        if (text->empty()) {
            result.payload.clear_preview = true;
            return with_message(std::move(result), messages::export_failed());
        }
        result.payload.text = std::move(*text);
        return with_message(std::move(result), messages::exported());
    }
    // Without the preview the front end now asks for a file and saves it.
    MemorySink sink(result.payload.file_form);
    const auto records = export_file(job->source(request), request.tables.encoding, sink);
    if (auto failed = scan_failure(records, result)) {
        failed->payload.file_form.clear();
        return std::move(*failed);
    }
    if (!records) {
        result.payload.file_form.clear();
        result.payload.unencodable = true;
    }
    return result;
}

CommandResult<ExportPayload> export_to_file(const ExportRequest& request, const std::filesystem::path& path) {
    Result result{no_message()};
    auto job = prepare_export(request, result.payload.untick);
    if (!job) return with_message(std::move(result), std::move(job.error()));
    result.payload.null_pointers = job->null_pointers;
    // A path naming the ROM, and a file that cannot be made, are reported
    // only once the scan has records, as for a file saved after the scan.
    std::optional<platform::FileReplacement> file;
    if (!is_the_rom(path, request.rom))
        if (auto begun = platform::FileReplacement::begin(path)) file.emplace(std::move(*begun));
    NullSink nowhere;
    std::optional<FileSink> into_file;
    if (file) into_file.emplace(*file);
    ExportSink& sink = into_file ? static_cast<ExportSink&>(*into_file) : nowhere;
    const auto records = export_file(job->source(request), request.tables.encoding, sink);
    if (auto failed = scan_failure(records, result)) return std::move(*failed);
    if (is_the_rom(path, request.rom)) return with_message(std::move(result), messages::output_over_rom());
    if (!records || !file || !into_file->written() || !file->commit())
        return with_message(std::move(result), messages::bad_file_name());
    result.payload.written = true;
    return with_message(std::move(result), messages::exported());
}

CommandResult<> write_export_file(const std::filesystem::path& path, const ExportPayload& export_payload,
                                  const std::filesystem::path& rom) {
    if (is_the_rom(path, rom)) return {messages::output_over_rom()};
    if (export_payload.unencodable || !files::write_bytes(path, export_payload.file_form))
        return {messages::bad_file_name()};
    return {messages::exported()};
}

}  // namespace quillmere
