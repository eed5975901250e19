// quillmere-cli check and quillmere-cli import.

#include <memory>

#include "cli/commands.hpp"
#include "core/commands/script_commands.hpp"

namespace quillmere::cli {
namespace {

// The options check and import share; the command line has no data
// directory and no preview, so the script is always a file.
struct ScriptOptions {
    std::string script;
    TableOptions tables;
    std::string range_low = "0";
    std::string range_high = "65535";
};

void add_script_options(CLI::App& command, ScriptOptions& options) {
    command.add_option("--script", options.script, "the translation script")->required();
    add_table_options(command, options.tables);
    command.add_option("--range-low", options.range_low, "lowest double-byte code searched for a tag")
        ->capture_default_str();
    command.add_option("--range-high", options.range_high, "highest double-byte code searched for a tag")
        ->capture_default_str();
}

// Fills the request from the options; false (after printing why) when a
// filter list file cannot be read.
bool fill_request(const ScriptOptions& options, CheckRequest& request, const Streams& streams) {
    if (!fill_table_options(options.tables, request, streams)) return false;
    request.preview = false;
    request.script_file = path_of(options.script);
    request.range_low = text_of(options.range_low);
    request.range_high = text_of(options.range_high);
    return true;
}

int report(const Outcome& outcome, const Streams& streams) {
    print_message(outcome.message, streams);
    return exit_status(outcome.message, true);
}

}  // namespace

void add_check_command(CLI::App& app, Runner& run) {
    auto options = std::make_shared<ScriptOptions>();
    CLI::App* command = app.add_subcommand("check", "check a translation script against the code tables");
    add_script_options(*command, *options);
    command->callback([options, &run] {
        run = [options](const Streams& streams) {
            CheckRequest request;
            if (!fill_request(*options, request, streams)) return kExitFailure;
            return report(run_check(request), streams);
        };
    });
}

void add_import_command(CLI::App& app, Runner& run) {
    auto options = std::make_shared<ScriptOptions>();
    auto rom = std::make_shared<std::string>();
    auto fill = std::make_shared<std::string>();
    CLI::App* command = app.add_subcommand("import", "write a translation script into the ROM image");
    command->add_option("--rom", *rom, "the ROM image, changed in place")->required();
    add_script_options(*command, *options);
    command->add_option("--fill", *fill, "fill value: 2 or 4 hexadecimal digits");
    command->callback([options, rom, fill, &run] {
        run = [options, rom, fill](const Streams& streams) {
            ImportRequest request;
            if (!fill_request(*options, request, streams)) return kExitFailure;
            request.rom = path_of(*rom);
            request.fill = text_of(*fill);
            return report(run_import(request), streams);
        };
    });
}

}  // namespace quillmere::cli
