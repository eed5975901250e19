// quillmere-cli charset: a new double-byte code table for the characters of
// a translation, the added characters as one line, and a font sheet.

#include <map>
#include <memory>

#include "cli/cli_support.hpp"
#include "cli/commands.hpp"
#include "core/commands/charset_command.hpp"
#include "core/commands/cli_help.hpp"

namespace quillmere::cli {
namespace {

struct CharsetOptions {
    std::string script, mode = "double", table1, table2, filter1, filter2, keep;
    std::string start_code, out, chars;
    std::vector<std::string> skip, trail;
    std::string order = "appearance";
    std::string sheet, glyph, font;
    int columns = 16;
    std::string encoding = "gbk";
};

const std::map<std::string, CharacterOrder> kOrders = {
    {"appearance", CharacterOrder::appearance},
    {"frequency", CharacterOrder::frequency},
    {"gbk", CharacterOrder::gbk},
};

int run_charset_command(const CharsetOptions& options, const Streams& streams) {
    // Read as the check reads them, so a job's table options serve every
    // command; the single-byte filter codes never take a double-byte code.
    TableOptions tables;
    tables.mode = options.mode;
    tables.table1 = options.table1;
    tables.table2 = options.table2;
    tables.filter1 = options.filter1;
    tables.filter2 = options.filter2;
    tables.encoding = options.encoding;
    auto setup = table_setup(tables, streams);
    if (!setup) return kExitFailure;
    CharsetRequest request;
    request.script = path_of(options.script);
    request.tables = std::move(*setup);
    request.keep = path_of(options.keep);
    request.start_code = text_of(options.start_code);
    for (const std::string& skip : options.skip) request.skip.push_back(text_of(skip));
    for (const std::string& trail : options.trail) request.trail.push_back(text_of(trail));
    request.order = kOrders.at(options.order);
    request.out = path_of(options.out);
    request.chars = path_of(options.chars);
    if (!options.sheet.empty())
        request.sheet = FontSheetRequest{path_of(options.sheet), path_of(options.font), text_of(options.glyph),
                                         options.columns};
    const CommandResult<CharsetPayload> result = run_charset(request);
    print_message(result.message, streams);
    return exit_status(result.message);
}

}  // namespace

void add_charset_command(CLI::App& app, Runner& run) {
    auto options = std::make_shared<CharsetOptions>();
    CLI::App* command = app.add_subcommand("charset", cli_help::kCharset);
    command->footer(cli_help::kCharsetDetails);
    command->add_option("--script", options->script, cli_help::kScript)->required();
    command->add_option("--mode", options->mode, cli_help::kCharsetMode)
        ->check(CLI::IsMember({"single", "double", "both"}))
        ->capture_default_str();
    command->add_option("--table1", options->table1, cli_help::kCharsetTable1);
    command->add_option("--table2", options->table2, cli_help::kCharsetTable2);
    command->add_option("--filter1", options->filter1, cli_help::kCharsetFilter1);
    command->add_option("--filter2", options->filter2, cli_help::kCharsetFilter2);
    command->add_option("--keep", options->keep, cli_help::kKeep);
    command->add_option("--start-code", options->start_code, cli_help::kStartCode)->required();
    command->add_option("--out", options->out, cli_help::kCharsetOut)->required();
    command->add_option("--skip", options->skip, cli_help::kSkip)->take_all();
    command->add_option("--trail", options->trail, cli_help::kTrail)->take_all();
    command->add_option("--order", options->order, cli_help::kOrder)
        ->check(CLI::IsMember({"appearance", "frequency", "gbk"}))
        ->capture_default_str();
    command->add_option("--chars", options->chars, cli_help::kChars);
    CLI::Option* sheet = command->add_option("--sheet", options->sheet, cli_help::kSheet);
    command->add_option("--glyph", options->glyph, cli_help::kGlyph)->needs(sheet);
    command->add_option("--font", options->font, cli_help::kFont)->needs(sheet);
    command->add_option("--columns", options->columns, cli_help::kColumns)
        ->check(CLI::Range(1, 256))
        ->capture_default_str()
        ->needs(sheet);
    add_encoding_option(*command, options->encoding, cli_help::kCharsetEncoding);
    command->callback([options, &run] {
        if (!options->sheet.empty() && (options->glyph.empty() || options->font.empty()))
            throw CLI::RequiredError(cli_help::kSheetNeeds);
        run = [options](const Streams& streams) { return run_charset_command(*options, streams); };
    });
}

}  // namespace quillmere::cli
