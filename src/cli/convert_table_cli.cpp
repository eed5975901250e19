// quillmere-cli convert-table: a code table made for other tools into the
// tool's two tables and two filter lists.

#include <memory>
#include <ostream>

#include "cli/cli_support.hpp"
#include "cli/commands.hpp"
#include "core/commands/convert_table_command.hpp"
#include "core/text/gbk.hpp"

namespace quillmere::cli {
namespace {

struct ConvertTableOptions {
    std::string source;
    std::string encoding;  // empty: decided from the file
    std::string table1, table2, filter1, filter2;
    std::string out_encoding = "gbk";
};

int run_convert_table_command(const ConvertTableOptions& options, const Streams& streams) {
    ConvertTableRequest request;
    request.source = path_of(options.source);
    if (options.encoding == "utf-8") request.encoding = table_conversion::SourceEncoding::utf8;
    if (options.encoding == "gbk") request.encoding = table_conversion::SourceEncoding::gbk;
    request.table1 = path_of(options.table1);
    request.table2 = path_of(options.table2);
    request.filter1 = path_of(options.filter1);
    request.filter2 = path_of(options.filter2);
    request.output = text_encoding(options.out_encoding);
    const ConvertTableOutcome outcome = run_convert_table(request);
    print_message(outcome.message, streams);
    for (const std::u16string& line : outcome.report) streams.err << text::to_utf8(line) << '\n';
    return exit_status(outcome.message, true);
}

}  // namespace

void add_convert_table_command(CLI::App& app, Runner& run) {
    auto options = std::make_shared<ConvertTableOptions>();
    CLI::App* command = app.add_subcommand(
        "convert-table",
        "Convert a .tbl code table made for other tools into the single-byte and double-byte tables and filter lists "
        "(GBK or, with --out-encoding utf-8, UTF-8; CR LF). Lines: XX=text and XXXX=text (characters), /XX[=label] (end code -> over), *XX[=label] (line "
        "break -> tag 换行 or the label), $XX=label,N (code followed by N parameter bytes -> turnN); #comments, blank "
        "lines, @id and -name lines are dropped. Table switches (!), bit entries (%), keys of three or more bytes or "
        "of an odd number of digits, a second @id and (in GBK) characters GBK cannot hold are refused with their line number, "
        "and then nothing is written");
    command->add_option("source", options->source, "the table to convert")->required();
    command->add_option("--encoding", options->encoding,
                        "encoding of the table: utf-8 or gbk (default: UTF-8 when it starts with a byte-order mark "
                        "or is valid UTF-8 with non-ASCII text, otherwise GBK)")
        ->check(CLI::IsMember({"utf-8", "gbk"}));
    command->add_option("--out-encoding", options->out_encoding,
                        "encoding of the four files written: gbk, or utf-8 (without a byte-order mark) to keep "
                        "characters GBK cannot hold, for export, check and import with --encoding utf-8")
        ->check(CLI::IsMember({"gbk", "utf-8"}))
        ->capture_default_str();
    command->add_option("--table1", options->table1, "single-byte code table to write")->required();
    command->add_option("--table2", options->table2, "double-byte code table to write")->required();
    command->add_option("--filter1", options->filter1, "single-byte filter list to write")->required();
    command->add_option("--filter2", options->filter2, "double-byte filter list to write")->required();
    command->callback([options, &run] {
        run = [options](const Streams& streams) { return run_convert_table_command(*options, streams); };
    });
}

}  // namespace quillmere::cli
