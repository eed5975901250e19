// quillmere-cli convert-table: a code table made for other tools into the
// tool's two tables and two filter lists.

#include <memory>
#include <ostream>

#include "cli/cli_support.hpp"
#include "cli/commands.hpp"
#include "core/commands/cli_help.hpp"
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
    const CommandResult<ConversionReport> result = run_convert_table(request);
    print_message(result.message, streams);
    for (const std::u16string& line : result.payload.lines) streams.err << text::to_utf8(line) << '\n';
    return exit_status(result.message);
}

}  // namespace

void add_convert_table_command(CLI::App& app, Runner& run) {
    auto options = std::make_shared<ConvertTableOptions>();
    CLI::App* command = app.add_subcommand("convert-table", cli_help::kConvertTable);
    command->footer(cli_help::kConvertTableDetails);
    command->add_option("source", options->source, cli_help::kConvertSource)->required();
    command->add_option("--encoding", options->encoding, cli_help::kConvertEncoding)
        ->check(CLI::IsMember({"utf-8", "gbk"}));
    command->add_option("--out-encoding", options->out_encoding, cli_help::kConvertOutEncoding)
        ->check(CLI::IsMember({"gbk", "utf-8"}))
        ->capture_default_str();
    command->add_option("--table1", options->table1, cli_help::kConvertTable1)->required();
    command->add_option("--table2", options->table2, cli_help::kConvertTable2)->required();
    command->add_option("--filter1", options->filter1, cli_help::kConvertFilter1)->required();
    command->add_option("--filter2", options->filter2, cli_help::kConvertFilter2)->required();
    command->callback([options, &run] {
        run = [options](const Streams& streams) { return run_convert_table_command(*options, streams); };
    });
}

}  // namespace quillmere::cli
