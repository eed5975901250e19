// quillmere-cli export: the export command with its values taken from the
// command line, writing the file to a file or to standard output.

#include <algorithm>
#include <filesystem>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "cli/cli_support.hpp"
#include "cli/commands.hpp"
#include "core/commands/cli_help.hpp"
#include "core/commands/export_command.hpp"
#include "core/commands/messages.hpp"
#include "core/commands/stored_job.hpp"
#include "core/text/gbk.hpp"

namespace quillmere::cli {
namespace {

struct ExportOptions {
    std::string rom, start, end;
    std::vector<std::string> ranges;   // START-END each
    std::string data_dir;              // the window's data directory
    std::vector<std::string> records;  // names of records kept there
    bool data_filters = false;         // filter lists kept there
    std::string pointers;              // a pointer list instead of start and end
    TableOptions tables;
    std::string minimum = "0";
    std::string out;  // empty: standard output
    bool hex_bytes = false;
    int hex_max = 4;
};

// The file goes out only once it is whole: a stream cannot take back what
// it was given when the export then fails.
// The null entries of a pointer list that the export left out, one line.
void print_skipped(const ExportPayload& payload, const Streams& streams) {
    if (payload.null_pointers > 0) streams.err << text::to_utf8(messages::null_pointers_skipped(payload.null_pointers)) << '\n';
}

int write_to_stream(const ExportRequest& request, const Streams& streams) {
    CommandResult<ExportPayload> exported = run_export(request);
    print_skipped(exported.payload, streams);
    if (exported.message.shown()) {
        print_message(exported.message, streams);
        return kExitFailure;
    }
    if (exported.payload.unencodable) {
        print_message(messages::bad_file_name(), streams);
        return kExitFailure;
    }
    const std::vector<std::uint8_t>& bytes = exported.payload.file_form;
    constexpr std::size_t kChunk = std::size_t{1} << 20;
    for (std::size_t at = 0; at < bytes.size() && streams.out; at += kChunk) {
        const std::size_t size = std::min(kChunk, bytes.size() - at);
        streams.out.write(reinterpret_cast<const char*>(bytes.data() + at), static_cast<std::streamsize>(size));
    }
    streams.out.flush();
    if (!streams.out) {
        print_message(messages::stdout_unwritable(), streams);
        return kExitFailure;
    }
    print_message(messages::exported(), streams);
    return kExitSuccess;
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
    auto tables = table_setup(options.tables, streams);
    if (!tables) return kExitFailure;
    request.tables = std::move(*tables);
    const std::filesystem::path data_dir = path_of(options.data_dir);
    if (options.data_filters) {
        auto lists = stored_filter_lists(data_dir);
        if (!lists) {
            print_message(lists.error(), streams);
            return kExitFailure;
        }
        request.tables.single_filter = std::move(lists->single);
        request.tables.double_filter = std::move(lists->double_byte);
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
    request.tables.hex_bytes = options.hex_bytes;
    request.hex_max = options.hex_max;
    request.preview = false;
    // The output is named on the command line, so there is no name to ask for.
    request.name = options.out.empty() ? u"-" : text_of(options.out);

    if (options.out.empty()) return write_to_stream(request, streams);
    // Written as the scan goes, into the file that replaces the old one.
    const CommandResult<ExportPayload> exported = export_to_file(request, path_of(options.out));
    print_skipped(exported.payload, streams);
    print_message(exported.message, streams);
    return exported.payload.written ? kExitSuccess : kExitFailure;
}

}  // namespace

void add_export_command(CLI::App& app, Runner& run) {
    auto options = std::make_shared<ExportOptions>();
    CLI::App* command = app.add_subcommand("export", cli_help::kExport);
    command->footer(cli_help::kExportDetails);
    command->add_option("--rom", options->rom, cli_help::kExportRom)->required();
    CLI::Option* start = command->add_option("--start", options->start, cli_help::kExportStart);
    CLI::Option* end = command->add_option("--end", options->end, cli_help::kExportEnd);
    start->needs(end);
    end->needs(start);
    CLI::Option* range = command->add_option("--range", options->ranges, cli_help::kExportRange);
    CLI::Option* data_dir = command->add_option("--data-dir", options->data_dir, cli_help::kExportDataDir);
    CLI::Option* record = command->add_option("--record", options->records, cli_help::kExportRecord);
    CLI::Option* data_filters = command->add_flag("--data-filters", options->data_filters, cli_help::kExportDataFilters);
    record->needs(data_dir);
    data_filters->needs(data_dir);
    start->excludes(range)->excludes(record);
    CLI::Option* pointers = command->add_option("--pointers", options->pointers, cli_help::kExportPointers);
    pointers->excludes(start)->excludes(end)->excludes(range)->excludes(record);
    add_table_options(*command, options->tables);
    data_filters->excludes("--filter1")->excludes("--filter2");
    command->add_option("--min", options->minimum, cli_help::kExportMin)->capture_default_str();
    command->add_option("--out", options->out, cli_help::kExportOut);
    CLI::Option* hex_bytes = command->add_flag("--hex-bytes", options->hex_bytes, cli_help::kExportHexBytes);
    command->add_option("--hex-max", options->hex_max, cli_help::kExportHexMax)
        ->check(CLI::NonNegativeNumber)
        ->capture_default_str()
        ->needs(hex_bytes);
    command->callback([options, command, &run] {
        if (command->count("--start") == 0 && options->ranges.empty() && options->records.empty() &&
            options->pointers.empty())
            throw CLI::RequiredError(cli_help::kExportStretchNeeded);
        run = [options](const Streams& streams) { return run_export_command(*options, streams); };
    });
}

}  // namespace quillmere::cli
