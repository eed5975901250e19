// quillmere-cli find relative|values|pattern|text: the places, one line each
// on standard output, the outcome on standard error.

#include <memory>
#include <ostream>

#include "cli/cli_support.hpp"
#include "cli/commands.hpp"
#include "core/commands/cli_help.hpp"
#include "core/commands/cli_help_find.hpp"
#include "core/commands/find_command.hpp"
#include "core/text/gbk.hpp"

namespace quillmere::cli {
namespace {

// The options every search shares; the width, the order and the table are
// for the searches without tables.
struct FindOptions {
    std::string rom, range, order = "LE", make_table;
    int width = 1;
    std::size_t max = 100, hit = 0;
    std::string text;
};

void add_common_options(CLI::App& command, FindOptions& options, bool without_tables) {
    command.add_option("--rom", options.rom, cli_help::kFindRom)->required();
    command.add_option("--range", options.range, cli_help::kFindRange);
    command.add_option("--max", options.max, cli_help::kFindMax)->check(CLI::NonNegativeNumber)->capture_default_str();
    if (!without_tables) return;
    command.add_option("--width", options.width, cli_help::kFindWidth)->check(CLI::Range(1, 2))->capture_default_str();
    command.add_option("--order", options.order, cli_help::kFindOrder)
        ->transform(CLI::IsMember({"LE", "BE"}, CLI::ignore_case))
        ->capture_default_str();
    CLI::Option* table = command.add_option("--make-table", options.make_table, cli_help::kFindMakeTable);
    CLI::Option* hit = command.add_option("--hit", options.hit, cli_help::kFindHit)->check(CLI::PositiveNumber);
    table->needs(hit);
    hit->needs(table);
}

FindRequest request_of(const FindOptions& options, FindMode mode) {
    FindRequest request;
    request.mode = mode;
    request.rom = path_of(options.rom);
    request.range = text_of(options.range);
    request.form.width = options.width;
    request.form.order = options.order == "BE" ? find::ByteOrder::big : find::ByteOrder::little;
    request.max = options.max;
    request.text = text_of(options.text);
    request.make_table = path_of(options.make_table);
    request.hit = options.hit;
    return request;
}

int deliver(const CommandResult<FindPayload>& result, const Streams& streams) {
    for (const std::u16string& line : result.payload.lines) streams.out << text::to_utf8(line) << '\n';
    streams.out.flush();
    print_message(result.message, streams);
    return exit_status(result.message);
}

void add_relative(CLI::App& find, Runner& run) {
    auto options = std::make_shared<FindOptions>();
    auto sequence = std::make_shared<std::string>("latin");
    CLI::App* command = find.add_subcommand("relative", cli_help::kFindRelative);
    command->footer(cli_help::kFindRelativeDetails);
    command->add_option("--text", options->text, cli_help::kFindRelativeText)->required();
    command->add_option("--sequence", *sequence, cli_help::kFindSequence)->capture_default_str();
    add_common_options(*command, *options, true);
    command->callback([=, &run] {
        run = [=](const Streams& streams) {
            FindRequest request = request_of(*options, FindMode::relative);
            request.sequence = text_of(*sequence);
            return deliver(run_find(request), streams);
        };
    });
}

void add_values(CLI::App& find, Runner& run) {
    auto options = std::make_shared<FindOptions>();
    auto values = std::make_shared<std::string>();
    CLI::App* command = find.add_subcommand("values", cli_help::kFindValues);
    command->footer(cli_help::kFindValuesDetails);
    command->add_option("--values", *values, cli_help::kFindValuesList)->required();
    command->add_option("--text", options->text, cli_help::kFindValuesText);
    add_common_options(*command, *options, true);
    command->callback([=, &run] {
        run = [=](const Streams& streams) {
            FindRequest request = request_of(*options, FindMode::values);
            request.values = text_of(*values);
            return deliver(run_find(request), streams);
        };
    });
}

void add_pattern(CLI::App& find, Runner& run) {
    auto options = std::make_shared<FindOptions>();
    CLI::App* command = find.add_subcommand("pattern", cli_help::kFindPattern);
    command->footer(cli_help::kFindPatternDetails);
    command->add_option("--text", options->text, cli_help::kFindPatternText)->required();
    add_common_options(*command, *options, true);
    command->callback([=, &run] {
        run = [=](const Streams& streams) {
            return deliver(run_find(request_of(*options, FindMode::pattern)), streams);
        };
    });
}

void add_text(CLI::App& find, Runner& run) {
    auto options = std::make_shared<FindOptions>();
    auto tables = std::make_shared<TableOptions>();
    auto hex_bytes = std::make_shared<bool>(false);
    CLI::App* command = find.add_subcommand("text", cli_help::kFindText);
    command->footer(cli_help::kFindTextDetails);
    command->add_option("--text", options->text, cli_help::kFindTextText)->required();
    add_common_options(*command, *options, false);
    add_table_options(*command, *tables);
    command->add_flag("--hex-bytes", *hex_bytes, cli_help::kScriptHexBytes);
    command->callback([=, &run] {
        run = [=](const Streams& streams) {
            FindRequest request = request_of(*options, FindMode::text);
            auto setup = table_setup(*tables, streams);
            if (!setup) return kExitFailure;
            request.tables = std::move(*setup);
            request.tables.hex_bytes = *hex_bytes;
            return deliver(run_find(request), streams);
        };
    });
}

}  // namespace

void add_find_command(CLI::App& app, Runner& run) {
    CLI::App* find = app.add_subcommand("find", cli_help::kFind);
    find->footer(cli_help::kFindDetails);
    find->require_subcommand(1);
    add_relative(*find, run);
    add_values(*find, run);
    add_pattern(*find, run);
    add_text(*find, run);
}

}  // namespace quillmere::cli
