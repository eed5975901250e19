// quillmere-cli pointers table and quillmere-cli pointers scan: pointer lists
// written to a file or to standard output.

#include <memory>
#include <ostream>

#include "cli/cli_support.hpp"
#include "cli/commands.hpp"
#include "core/commands/cli_help.hpp"
#include "core/commands/pointer_commands.hpp"
#include "core/text/gbk.hpp"

namespace quillmere::cli {
namespace {

struct FormOptions {
    std::string rom, size, order, base, out;
};

void add_form_options(CLI::App& command, FormOptions& options) {
    command.add_option("--rom", options.rom, cli_help::kPointerRom)->required();
    command.add_option("--size", options.size, cli_help::kPointerSize)->required();
    command.add_option("--order", options.order, cli_help::kPointerOrder)->required();
    command.add_option("--base", options.base, cli_help::kPointerBase)->required();
    command.add_option("--out", options.out, cli_help::kPointerOut);
}

int deliver(const CommandResult<PointerList>& result, const std::string& out, const Streams& streams) {
    for (const std::u16string& warning : result.payload.warnings) streams.err << text::to_utf8(warning) << '\n';
    if (!result.payload.list) {
        print_message(result.message, streams);
        return kExitFailure;
    }
    if (!out.empty()) {
        const CommandResult<> written = write_pointer_list_file(path_of(out), *result.payload.list);
        if (written.failed()) {
            print_message(written.message, streams);
            return kExitFailure;
        }
    } else {
        // The list is ASCII, the same bytes in code page 936.
        streams.out << text::to_utf8(*result.payload.list);
        streams.out.flush();
    }
    print_message(result.message, streams);
    return exit_status(result.message);
}

void add_table(CLI::App& pointers, Runner& run) {
    auto options = std::make_shared<FormOptions>();
    auto at = std::make_shared<std::string>();
    auto count = std::make_shared<std::string>();
    auto stride = std::make_shared<std::string>();
    CLI::App* command = pointers.add_subcommand("table", cli_help::kPointerTable);
    add_form_options(*command, *options);
    command->add_option("--at", *at, cli_help::kPointerAt)->required();
    command->add_option("--count", *count, cli_help::kPointerCount)->required();
    command->add_option("--stride", *stride, cli_help::kPointerStride);
    command->callback([=, &run] {
        run = [=](const Streams& streams) {
            PointerTableRequest request;
            request.rom = path_of(options->rom);
            request.at = text_of(*at);
            request.count = text_of(*count);
            request.size = text_of(options->size);
            request.order = text_of(options->order);
            request.base = text_of(options->base);
            request.stride = text_of(*stride);
            return deliver(run_pointer_table(request), options->out, streams);
        };
    });
}

void add_scan(CLI::App& pointers, Runner& run) {
    auto options = std::make_shared<FormOptions>();
    auto script = std::make_shared<std::string>();
    auto align = std::make_shared<std::string>("1");
    CLI::App* command = pointers.add_subcommand(
        "scan", cli_help::kPointerScan);
    add_form_options(*command, *options);
    command->add_option("--script", *script, cli_help::kPointerScript)->required();
    command->add_option("--align", *align, cli_help::kPointerAlign)->capture_default_str();
    command->callback([=, &run] {
        run = [=](const Streams& streams) {
            PointerScanRequest request;
            request.rom = path_of(options->rom);
            request.script = path_of(*script);
            request.size = text_of(options->size);
            request.order = text_of(options->order);
            request.base = text_of(options->base);
            request.align = text_of(*align);
            return deliver(run_pointer_scan(request), options->out, streams);
        };
    });
}

}  // namespace

void add_pointers_command(CLI::App& app, Runner& run) {
    CLI::App* pointers = app.add_subcommand("pointers", cli_help::kPointers);
    pointers->require_subcommand(1);
    add_table(*pointers, run);
    add_scan(*pointers, run);
}

}  // namespace quillmere::cli
