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
    std::string rom, size, order, base, map, out;
    CLI::Option *size_option = nullptr, *order_option = nullptr;
};

void add_form_options(CLI::App& command, FormOptions& options) {
    command.add_option("--rom", options.rom, cli_help::kPointerRom)->required();
    options.size_option = command.add_option("--size", options.size, cli_help::kPointerSize);
    options.order_option = command.add_option("--order", options.order, cli_help::kPointerOrder);
    command.add_option("--base", options.base, cli_help::kPointerBase)->required();
    command.add_option("--map", options.map, cli_help::kPointerMap);
    command.add_option("--out", options.out, cli_help::kPointerOut);
}

// Size and order are needed unless a split table gives them.
void require_form(const FormOptions& options, bool split) {
    if (split) return;
    if (options.size_option->count() == 0) throw CLI::RequiredError("--size");
    if (options.order_option->count() == 0) throw CLI::RequiredError("--order");
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
        // The same bytes as the file: code page 936 (its comments are Chinese).
        const auto bytes = text::encode(*result.payload.list, text::Encoding::gbk);
        if (bytes) streams.out.write(reinterpret_cast<const char*>(bytes->data()), static_cast<std::streamsize>(bytes->size()));
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
    auto split_high = std::make_shared<std::string>();
    auto split_bank = std::make_shared<std::string>();
    auto null_value = std::make_shared<std::string>("0");
    CLI::App* command = pointers.add_subcommand("table", cli_help::kPointerTable);
    command->footer(cli_help::kPointerTableDetails);
    add_form_options(*command, *options);
    command->add_option("--at", *at, cli_help::kPointerAt)->required();
    command->add_option("--count", *count, cli_help::kPointerCount)->required();
    command->add_option("--stride", *stride, cli_help::kPointerStride);
    CLI::Option* high = command->add_option("--split-high", *split_high, cli_help::kSplitHigh);
    command->add_option("--split-bank", *split_bank, cli_help::kSplitBank)->needs(high);
    command->add_option("--null", *null_value, cli_help::kNullValue)->capture_default_str();
    command->callback([=, &run] {
        require_form(*options, !split_high->empty());
        run = [=](const Streams& streams) {
            PointerTableRequest request;
            request.rom = path_of(options->rom);
            request.at = text_of(*at);
            request.count = text_of(*count);
            request.size = text_of(options->size);
            request.order = text_of(options->order);
            request.base = text_of(options->base);
            request.map = text_of(options->map);
            request.stride = text_of(*stride);
            request.split_high = text_of(*split_high);
            request.split_bank = text_of(*split_bank);
            request.null_value = text_of(*null_value);
            return deliver(run_pointer_table(request), options->out, streams);
        };
    });
}

void add_scan(CLI::App& pointers, Runner& run) {
    auto options = std::make_shared<FormOptions>();
    auto script = std::make_shared<std::string>();
    auto align = std::make_shared<std::string>("1");
    auto min_run = std::make_shared<std::string>("3");
    auto max_stride = std::make_shared<std::string>("16");
    auto tables_only = std::make_shared<bool>(false);
    CLI::App* command = pointers.add_subcommand("scan", cli_help::kPointerScan);
    command->footer(cli_help::kPointerScanDetails);
    add_form_options(*command, *options);
    command->add_option("--script", *script, cli_help::kPointerScript)->required();
    command->add_option("--align", *align, cli_help::kPointerAlign)->capture_default_str();
    command->add_option("--min-run", *min_run, cli_help::kMinRun)->capture_default_str();
    command->add_option("--max-stride", *max_stride, cli_help::kMaxStride)->capture_default_str();
    command->add_flag("--tables-only", *tables_only, cli_help::kTablesOnly);
    command->callback([=, &run] {
        require_form(*options, false);
        run = [=](const Streams& streams) {
            PointerScanRequest request;
            request.rom = path_of(options->rom);
            request.script = path_of(*script);
            request.size = text_of(options->size);
            request.order = text_of(options->order);
            request.base = text_of(options->base);
            request.map = text_of(options->map);
            request.align = text_of(*align);
            request.min_run = text_of(*min_run);
            request.max_stride = text_of(*max_stride);
            request.tables_only = *tables_only;
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
