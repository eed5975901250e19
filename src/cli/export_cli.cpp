// quillmere-cli export: the export command with its values taken from the
// command line, writing the file form to a file or to standard output.

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>
#include <ostream>

#include "cli/cli_support.hpp"
#include "cli/commands.hpp"
#include "core/commands/export_command.hpp"
#include "core/commands/stored_job.hpp"
#include "core/export/exportrange.hpp"

namespace quillmere::cli {
namespace {

struct ExportOptions {
    std::string rom, start, end;
    std::vector<std::string> ranges;   // START-END each
    std::string data_dir;              // the window's data directory
    std::vector<std::string> records;  // names of records kept there
    bool data_filters = false;         // filter lists kept there
    std::string pointers;  // a pointer list instead of start and end
    TableOptions tables;
    std::string minimum = "0";
    std::string out;  // empty: standard output
    bool hex_bytes = false;
    int hex_max = 4;
};

// The file form goes out only once it is whole: a stream cannot take back
// what it was given when the export then fails.
int write_to_stream(const ExportRequest& request, const Streams& streams) {
    std::vector<std::uint8_t> bytes;
    const ExportOutcome outcome = export_file_form(request, bytes);
    if (outcome.message) {
        print_message(*outcome.message, streams);
        return kExitFailure;
    }
    for (std::size_t at = 0; at < bytes.size() && streams.out; at += kExportChunkBytes) {
        const std::size_t size = std::min(kExportChunkBytes, bytes.size() - at);
        streams.out.write(reinterpret_cast<const char*>(bytes.data() + at), static_cast<std::streamsize>(size));
    }
    streams.out.flush();
    if (!streams.out) {
        print_message(error_message(u"无法写入标准输出"), streams);
        return kExitFailure;
    }
    const Message done = notice_message(u"文本已顺利导出");
    print_message(done, streams);
    return exit_status(done, true);
}

// "START-END", split at the first "-"; without one the end is empty, which
// the export refuses as it does any unreadable address.
TypedRange typed_range(const std::string& text) {
    const std::size_t dash = text.find('-');
    if (dash == std::string::npos) return {text_of(text), u""};
    return {text_of(text.substr(0, dash)), text_of(text.substr(dash + 1))};
}

int run_export_command(const ExportOptions& options, const Streams& streams) {
    ExportRequest request;
    if (!fill_table_options(options.tables, request, streams)) return kExitFailure;
    const std::filesystem::path data_dir = path_of(options.data_dir);
    if (options.data_filters) {
        auto lists = stored_filter_lists(data_dir);
        if (!lists) {
            print_message(lists.error(), streams);
            return kExitFailure;
        }
        request.single_filter = std::move(lists->single);
        request.double_filter = std::move(lists->double_byte);
    }
    request.rom = path_of(options.rom);
    request.start = text_of(options.start);
    request.end = text_of(options.end);
    for (const std::string& range : options.ranges) request.ranges.push_back(typed_range(range));
    if (!options.records.empty()) {
        std::vector<std::u16string> names;
        for (const std::string& name : options.records) names.push_back(text_of(name));
        auto stored = stored_ranges(data_dir, names);
        if (!stored) {
            print_message(stored.error(), streams);
            return kExitFailure;
        }
        request.ranges.insert(request.ranges.end(), stored->begin(), stored->end());
    }
    request.pointer_list = path_of(options.pointers);
    request.minimum = text_of(options.minimum);
    request.hex_bytes = options.hex_bytes;
    request.hex_max = options.hex_max;
    request.preview = false;
    // The output is named on the command line, so there is no name to ask for.
    request.name = options.out.empty() ? u"-" : text_of(options.out);

    if (options.out.empty()) return write_to_stream(request, streams);
    // Written as the scan goes, into the file that replaces the old one.
    const ExportOutcome outcome = export_to_file(request, path_of(options.out));
    print_message(outcome.message.value_or(notice_message(u"导出文本失败")), streams);
    return outcome.written ? kExitSuccess : kExitFailure;
}

}  // namespace

void add_export_command(CLI::App& app, Runner& run) {
    auto options = std::make_shared<ExportOptions>();
    CLI::App* command = app.add_subcommand("export", "Export the text of a stretch of a ROM image");
    command->add_option("--rom", options->rom, "ROM image")->required();
    CLI::Option* start = command->add_option("--start", options->start, "start address, hexadecimal");
    CLI::Option* end = command->add_option("--end", options->end, "end address, hexadecimal, included");
    start->needs(end);
    end->needs(start);
    CLI::Option* range = command->add_option(
        "--range", options->ranges,
        "START-END, hexadecimal, both included, instead of --start/--end; repeatable: the records of all ranges "
        "come out in address order, and ranges must not overlap");
    CLI::Option* data_dir =
        command->add_option("--data-dir", options->data_dir, "the window's data directory, for --record and --data-filters");
    CLI::Option* record = command->add_option(
        "--record", options->records, "a record kept in --data-dir: its range is exported, as --range; repeatable");
    CLI::Option* data_filters = command->add_flag(
        "--data-filters", options->data_filters,
        "the filter lists kept in --data-dir (glq.dat, glq2.dat) instead of --filter1/--filter2");
    record->needs(data_dir);
    data_filters->needs(data_dir);
    start->excludes(range)->excludes(record);
    CLI::Option* pointers = command->add_option(
        "--pointers", options->pointers,
        "pointer list file, instead of --start/--end: one record for each distinct place its pointers point "
        "at, up to the end code that closes it");
    pointers->excludes(start)->excludes(end)->excludes(range)->excludes(record);
    add_table_options(*command, options->tables);
    data_filters->excludes("--filter1")->excludes("--filter2");
    command->add_option("--min", options->minimum, "minimum run length: only longer runs are written")
        ->capture_default_str();
    command->add_option("--out", options->out, "export file (default: standard output)");
    CLI::Option* hex_bytes = command->add_flag(
        "--hex-bytes", options->hex_bytes,
        "write a byte no table or filter reads, inside a run, as {$XX} instead of ending the run there");
    command->add_option("--hex-max", options->hex_max,
                        "with --hex-bytes: more such bytes in a row than this end the run, unshown")
        ->check(CLI::NonNegativeNumber)
        ->capture_default_str()
        ->needs(hex_bytes);
    command->callback([options, command, &run] {
        if (command->count("--start") == 0 && options->ranges.empty() && options->records.empty() &&
            options->pointers.empty())
            throw CLI::RequiredError("--start and --end, --range, --record or --pointers");
        run = [options](const Streams& streams) { return run_export_command(*options, streams); };
    });
}

}  // namespace quillmere::cli
