// quillmere-cli export: the export command with its values taken from the
// command line, writing the file form to a file or to standard output.

#include <memory>
#include <ostream>

#include "cli/cli_support.hpp"
#include "cli/commands.hpp"
#include "core/commands/export_command.hpp"

namespace quillmere::cli {
namespace {

struct ExportOptions {
    std::string rom, start, end;
    TableOptions tables;
    std::string minimum = "0";
    std::string out;  // empty: standard output
};

int write_to_stream(const std::u16string& export_text, text::Encoding encoding, const Streams& streams) {
    auto bytes = export_file_bytes(export_text, encoding);
    if (!bytes) {
        print_message(bytes.error(), streams);
        return kExitFailure;
    }
    streams.out.write(reinterpret_cast<const char*>(bytes->data()), static_cast<std::streamsize>(bytes->size()));
    streams.out.flush();
    if (!streams.out) {
        print_message(error_message(u"无法写入标准输出"), streams);
        return kExitFailure;
    }
    const Message done = notice_message(u"文本已顺利导出");
    print_message(done, streams);
    return exit_status(done, true);
}

int run_export_command(const ExportOptions& options, const Streams& streams) {
    ExportRequest request;
    if (!fill_table_options(options.tables, request, streams)) return kExitFailure;
    request.rom = path_of(options.rom);
    request.start = text_of(options.start);
    request.end = text_of(options.end);
    request.minimum = text_of(options.minimum);
    request.preview = false;
    // The output is named on the command line, so there is no name to ask for.
    request.name = options.out.empty() ? u"-" : text_of(options.out);

    ExportOutcome outcome = run_export(request);
    if (!outcome.export_text) {
        print_message(outcome.message.value_or(notice_message(u"导出文本失败")), streams);
        return kExitFailure;
    }
    if (options.out.empty()) return write_to_stream(*outcome.export_text, request.encoding, streams);
    const Message written = write_export_file(path_of(options.out), *outcome.export_text, request.encoding);
    print_message(written, streams);
    return exit_status(written, true);
}

}  // namespace

void add_export_command(CLI::App& app, Runner& run) {
    auto options = std::make_shared<ExportOptions>();
    CLI::App* command = app.add_subcommand("export", "Export the text of a stretch of a ROM image");
    command->add_option("--rom", options->rom, "ROM image")->required();
    command->add_option("--start", options->start, "start address, hexadecimal")->required();
    command->add_option("--end", options->end, "end address, hexadecimal, included")->required();
    add_table_options(*command, options->tables);
    command->add_option("--min", options->minimum, "minimum run length: only longer runs are written")
        ->capture_default_str();
    command->add_option("--out", options->out, "export file (default: standard output)");
    command->callback([options, &run] {
        run = [options](const Streams& streams) { return run_export_command(*options, streams); };
    });
}

}  // namespace quillmere::cli
