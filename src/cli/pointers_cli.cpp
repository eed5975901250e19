// quillmere-cli pointers table and quillmere-cli pointers scan: pointer lists
// written to a file or to standard output.

#include <memory>
#include <ostream>

#include "cli/cli_support.hpp"
#include "cli/commands.hpp"
#include "core/commands/pointer_commands.hpp"
#include "core/text/gbk.hpp"

namespace quillmere::cli {
namespace {

struct FormOptions {
    std::string rom, size, order, base, out;
};

void add_form_options(CLI::App& command, FormOptions& options) {
    command.add_option("--rom", options.rom, "ROM image")->required();
    command.add_option("--size", options.size, "pointer size in bytes: 2, 3 or 4")->required();
    command.add_option("--order", options.order, "byte order: LE or BE")->required();
    command.add_option("--base", options.base, "hexadecimal value of a pointer to offset 0")->required();
    command.add_option("--out", options.out, "pointer list file (default: standard output)");
}

int deliver(const PointerListOutcome& outcome, const std::string& out, const Streams& streams) {
    for (const std::u16string& warning : outcome.warnings) streams.err << text::to_utf8(warning) << '\n';
    if (!outcome.pointer_list) {
        print_message(outcome.message, streams);
        return kExitFailure;
    }
    if (!out.empty()) {
        const Message written = write_pointer_list_file(path_of(out), *outcome.pointer_list);
        if (written.severity == Severity::error) {
            print_message(written, streams);
            return kExitFailure;
        }
    } else {
        // The list is ASCII, the same bytes in code page 936.
        streams.out << text::to_utf8(*outcome.pointer_list);
        streams.out.flush();
    }
    print_message(outcome.message, streams);
    return exit_status(outcome.message, true);
}

void add_table(CLI::App& pointers, Runner& run) {
    auto options = std::make_shared<FormOptions>();
    auto at = std::make_shared<std::string>();
    auto count = std::make_shared<std::string>();
    auto stride = std::make_shared<std::string>();
    CLI::App* command = pointers.add_subcommand("table", "List the pointers of a table of N pointers");
    add_form_options(*command, *options);
    command->add_option("--at", *at, "hexadecimal offset of the table's first pointer")->required();
    command->add_option("--count", *count, "number of pointers in the table")->required();
    command->add_option("--stride", *stride, "bytes from one pointer to the next (default: the size)");
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
        "scan", "Find every place in the ROM that points at the address of a record of the script");
    add_form_options(*command, *options);
    command->add_option("--script", *script, "script whose record addresses are looked for")->required();
    command->add_option("--align", *align, "look only at offsets that are multiples of this")->capture_default_str();
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
    CLI::App* pointers = app.add_subcommand("pointers", "Pointer lists: list a pointer table, find pointers to records");
    pointers->require_subcommand(1);
    add_table(*pointers, run);
    add_scan(*pointers, run);
}

}  // namespace quillmere::cli
