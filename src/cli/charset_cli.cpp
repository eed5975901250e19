// quillmere-cli charset: a new double-byte code table for the characters of
// a translation, the added characters as one line, and a font sheet.

#include <map>
#include <memory>

#include "cli/cli_support.hpp"
#include "cli/commands.hpp"
#include "core/commands/charset_command.hpp"

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
    const text::Encoding encoding = text_encoding(options.encoding);
    auto double_filter = filter_list_from_file(options.filter2, streams, encoding);
    if (!double_filter) return kExitFailure;
    // Read as the check reads it, so a job's table options serve every
    // command; single-byte filter codes never take a double-byte code.
    if (!filter_list_from_file(options.filter1, streams, encoding)) return kExitFailure;
    CharsetRequest request;
    request.script = path_of(options.script);
    request.mode = rom_mode(options.mode);
    request.single_table = path_of(options.table1);
    request.double_filter = std::move(*double_filter);
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
    request.encoding = encoding;
    const Message message = run_charset(request);
    print_message(message, streams);
    return exit_status(message, true);
}

}  // namespace

void add_charset_command(CLI::App& app, Runner& run) {
    auto options = std::make_shared<CharsetOptions>();
    CLI::App* command = app.add_subcommand(
        "charset",
        "Count the characters of a translation and give each a double-byte code: writes a new code table "
        "(GBK, CR LF, CODE=字 in code order) for importing the translation, and optionally the added "
        "characters and a font sheet to draw them into the game's font");
    command->add_option("--script", options->script, "the translation script")->required();
    command->add_option("--mode", options->mode,
                        "ROM mode as for check: with single or both, text the single-byte table covers needs no "
                        "double-byte code")
        ->check(CLI::IsMember({"single", "double", "both"}))
        ->capture_default_str();
    command->add_option("--table1", options->table1, "single-byte code table (mode single or both)");
    command->add_option("--table2", options->table2,
                        "double-byte code table, accepted as for check so the same table options serve every "
                        "command; it does not change the new table (the game's codes are kept with --keep)");
    command->add_option("--filter1", options->filter1,
                        "file holding the single-byte filter list, read as for check; it does not change the new "
                        "table");
    command->add_option("--filter2", options->filter2,
                        "file holding the double-byte filter list: its codes are never given to a character");
    command->add_option("--keep", options->keep,
                        "the game's double-byte code table: characters it holds keep their codes, and no new "
                        "character takes any code it uses");
    command->add_option("--start-code", options->start_code, "first code for new characters, hexadecimal (e.g. 8140)")
        ->required();
    command->add_option("--out", options->out, "the new double-byte code table to write")->required();
    command->add_option("--skip", options->skip, "codes START-END (hexadecimal) no new character takes; repeatable")
        ->take_all();
    command->add_option("--trail", options->trail,
                        "second bytes START-END a new code may have (e.g. --trail 40-7E --trail 80-FE); "
                        "repeatable; default 00-FF")
        ->take_all();
    command->add_option("--order", options->order,
                        "which new character gets the lower code: appearance (first use), frequency (most used "
                        "first) or gbk (GBK code order)")
        ->check(CLI::IsMember({"appearance", "frequency", "gbk"}))
        ->capture_default_str();
    command->add_option("--chars", options->chars, "also write the added characters, in code order, as one GBK line");
    CLI::Option* sheet = command->add_option(
        "--sheet", options->sheet,
        "also draw a font sheet (PNG, 1 bit, black on white): one cell per code from --start-code on, in code "
        "order; a code without a character leaves its cell empty");
    command->add_option("--glyph", options->glyph, "cell size of the sheet in pixels, W×H or WxH (e.g. 12x12)")
        ->needs(sheet);
    command->add_option("--font", options->font, "font file the sheet is drawn with (TrueType, OpenType, …)")
        ->needs(sheet);
    command->add_option("--columns", options->columns, "cells per row of the sheet")
        ->check(CLI::Range(1, 256))
        ->capture_default_str()
        ->needs(sheet);
    add_encoding_option(*command, options->encoding,
                        "encoding of the script, the code tables, the filter list and the files written: gbk, "
                        "or utf-8 (the new table may then hold characters GBK cannot)");
    command->callback([options, &run] {
        if (!options->sheet.empty() && (options->glyph.empty() || options->font.empty()))
            throw CLI::RequiredError("--sheet needs --glyph and --font");
        run = [options](const Streams& streams) { return run_charset_command(*options, streams); };
    });
}

}  // namespace quillmere::cli
