// quillmere-cli check and quillmere-cli import.

#include <cstdint>
#include <memory>
#include <optional>
#include <ostream>
#include <vector>

#include "cli/commands.hpp"
#include "core/commands/cli_help.hpp"
#include "core/commands/messages.hpp"
#include "core/commands/script_commands.hpp"
#include "core/text/gbk.hpp"

namespace quillmere::cli {
namespace {

// The options check and import share; the command line has no data
// directory and no preview, so the script is always a file.
struct ScriptOptions {
    std::string script;
    TableOptions tables;
    std::string range_low = "0";
    std::string range_high = "65535";
    bool hex_bytes = false;
    // Moving entries that outgrow their place.
    std::string pointers;
    std::vector<std::string> free_blocks;
    std::string align = "1";
};

void add_script_options(CLI::App& command, ScriptOptions& options) {
    command.add_option("--script", options.script, cli_help::kScript)->required();
    add_table_options(command, options.tables);
    command.add_option("--range-low", options.range_low, cli_help::kRangeLow)
        ->capture_default_str();
    command.add_option("--range-high", options.range_high, cli_help::kRangeHigh)
        ->capture_default_str();
    command.add_flag("--hex-bytes", options.hex_bytes,
                     cli_help::kScriptHexBytes);
    CLI::Option* pointers = command.add_option(
        "--pointers", options.pointers, cli_help::kScriptPointers);
    command.add_option("--free", options.free_blocks, cli_help::kFree)
        ->needs(pointers);
    command.add_option("--align", options.align, cli_help::kAlign)
        ->needs(pointers)
        ->capture_default_str();
}

// Fills the request from the options; false (after printing why) when a
// filter list file cannot be read.
bool fill_request(const ScriptOptions& options, CheckRequest& request, const Streams& streams) {
    auto tables = table_setup(options.tables, streams);
    if (!tables) return false;
    request.tables = std::move(*tables);
    request.preview = false;
    request.script_file = path_of(options.script);
    request.range_low = text_of(options.range_low);
    request.range_high = text_of(options.range_high);
    request.tables.hex_bytes = options.hex_bytes;
    if (!options.pointers.empty()) {
        RelocationInput relocation;
        relocation.pointer_list = path_of(options.pointers);
        for (const std::string& block : options.free_blocks) relocation.free_blocks.push_back(text_of(block));
        relocation.align = text_of(options.align);
        request.relocation = std::move(relocation);
    }
    return true;
}

int report(const CommandResult<ScriptPayload>& result, const Streams& streams) {
    if (result.payload.null_pointers > 0)
        streams.err << text::to_utf8(messages::null_pointers_skipped(result.payload.null_pointers)) << '\n';
    for (const Message& failure : result.payload.entry_failures) print_message(failure, streams);
    for (const std::u16string& move : result.payload.moves) streams.out << text::to_utf8(move) << '\n';
    print_message(result.message, streams);
    return exit_status(result.message);
}

}  // namespace

void add_check_command(CLI::App& app, Runner& run) {
    auto options = std::make_shared<ScriptOptions>();
    CLI::App* command = app.add_subcommand("check", cli_help::kCheck);
    command->footer(cli_help::kCheckDetails);
    auto rom = std::make_shared<std::string>();
    add_script_options(*command, *options);
    auto all = std::make_shared<bool>(false);
    command->add_flag("--all", *all, cli_help::kCheckAll);
    auto limits = std::make_shared<LimitOptions>();
    add_limit_options(*command, *limits);
    command->add_option("--rom", *rom, cli_help::kCheckRom);
    command->callback([options, all, limits, rom, &run] {
        if (!options->pointers.empty() && rom->empty()) throw CLI::RequiredError("--rom");
        run = [options, all, limits, rom](const Streams& streams) {
            CheckRequest request;
            if (!fill_request(*options, request, streams)) return kExitFailure;
            request.rom = path_of(*rom);
            request.all_entries = *all;
            request.limits = limits->input();
            return report(run_check(request), streams);
        };
    });
}

void add_import_command(CLI::App& app, Runner& run) {
    auto options = std::make_shared<ScriptOptions>();
    auto rom = std::make_shared<std::string>();
    auto fill = std::make_shared<std::string>();
    auto out = std::make_shared<std::string>();
    CLI::App* command = app.add_subcommand("import", cli_help::kImport);
    command->footer(cli_help::kImportDetails);
    command->add_option("--rom", *rom, cli_help::kImportRom)->required();
    add_script_options(*command, *options);
    command->add_option("--fill", *fill, cli_help::kFill);
    command->add_option("--out", *out, cli_help::kImportOut);
    command->callback([options, rom, fill, out, &run] {
        run = [options, rom, fill, out](const Streams& streams) {
            ImportRequest request;
            if (!fill_request(*options, request, streams)) return kExitFailure;
            request.rom = path_of(*rom);
            request.fill = text_of(*fill);
            request.out = path_of(*out);
            return report(run_import(request), streams);
        };
    });
}

}  // namespace quillmere::cli
