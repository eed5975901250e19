// quillmere-cli exchange export and quillmere-cli exchange import: a script
// to PO, CSV or ParaTranz JSON and the translation back.

#include <memory>
#include <ostream>

#include "cli/cli_support.hpp"
#include "cli/commands.hpp"
#include "core/commands/cli_help.hpp"
#include "core/commands/cli_help_exchange.hpp"
#include "core/commands/exchange_command.hpp"

namespace quillmere::cli {
namespace {

exchange::Format format_of(const std::string& name) {
    if (name == "csv") return exchange::Format::csv;
    if (name == "json") return exchange::Format::json;
    return exchange::Format::po;
}

exchange::CsvEncoding csv_encoding_of(const std::string& name) {
    return name == "gbk" ? exchange::CsvEncoding::gbk : exchange::CsvEncoding::utf8;
}

void add_format_option(CLI::App& command, std::string& format) {
    command.add_option("--format", format, cli_help::kExchangeFormat)
        ->required()
        ->check(CLI::IsMember({"po", "csv", "json"}));
}

void add_csv_encoding_option(CLI::App& command, std::string& encoding, const char* description) {
    command.add_option("--csv-encoding", encoding, description)
        ->check(CLI::IsMember({"utf-8", "gbk"}))
        ->capture_default_str();
}

// Every problem on its own line, then the outcome.
int report(const CommandResult<ExchangePayload>& result, const Streams& streams) {
    for (const Message& problem : result.payload.problems) print_message(problem, streams);
    print_message(result.message, streams);
    return exit_status(result.message);
}

struct ExportOptions {
    std::string script, translation, format, out, csv_encoding = "utf-8";
    TableOptions tables;
    LimitOptions limits;
};

void add_export(CLI::App& exchange, Runner& run) {
    auto options = std::make_shared<ExportOptions>();
    CLI::App* command = exchange.add_subcommand("export", cli_help::kExchangeExport);
    command->footer(cli_help::kExchangeExportDetails);
    command->add_option("--script", options->script, cli_help::kExchangeScript)->required();
    command->add_option("--translation", options->translation, cli_help::kExchangeTranslation);
    add_format_option(*command, options->format);
    command->add_option("--out", options->out, cli_help::kExchangeExportOut)->required();
    add_csv_encoding_option(*command, options->csv_encoding, cli_help::kExchangeCsvEncoding);
    TableOptions& tables = options->tables;
    command->add_option("--mode", tables.mode, cli_help::kMode)
        ->check(CLI::IsMember({"single", "double", "both"}))
        ->capture_default_str();
    command->add_option("--table1", tables.table1, cli_help::kTable1);
    command->add_option("--table2", tables.table2, cli_help::kTable2);
    command->add_option("--filter1", tables.filter1, cli_help::kFilter1);
    command->add_option("--filter2", tables.filter2, cli_help::kFilter2);
    add_encoding_option(*command, tables.encoding, cli_help::kExchangeExportEncoding);
    add_limit_options(*command, options->limits);
    command->callback([options, &run] {
        run = [options](const Streams& streams) {
            ExchangeExportRequest request;
            request.limits = options->limits.input();
            if (request.limits.max_width) {
                // The filter list files are read only when the tables are.
                auto setup = table_setup(options->tables, streams);
                if (!setup) return kExitFailure;
                request.tables = std::move(*setup);
            }
            request.tables.encoding = text_encoding(options->tables.encoding);
            request.script = path_of(options->script);
            request.translation = path_of(options->translation);
            request.format = format_of(options->format);
            request.csv_encoding = csv_encoding_of(options->csv_encoding);
            request.out = path_of(options->out);
            return report(run_exchange_export(request), streams);
        };
    });
}

struct ImportOptions {
    std::string from, format, script, out, csv_encoding = "gbk", encoding = "gbk";
    bool require_all = false, use_fuzzy = false;
};

void add_import(CLI::App& exchange, Runner& run) {
    auto options = std::make_shared<ImportOptions>();
    CLI::App* command = exchange.add_subcommand("import", cli_help::kExchangeImport);
    command->footer(cli_help::kExchangeImportDetails);
    command->add_option("--from", options->from, cli_help::kExchangeFrom)->required();
    add_format_option(*command, options->format);
    command->add_option("--script", options->script, cli_help::kExchangeScript)->required();
    command->add_option("--out", options->out, cli_help::kExchangeImportOut)->required();
    command->add_flag("--require-all", options->require_all, cli_help::kExchangeRequireAll);
    command->add_flag("--use-fuzzy", options->use_fuzzy, cli_help::kExchangeUseFuzzy);
    add_csv_encoding_option(*command, options->csv_encoding, cli_help::kExchangeCsvFallback);
    add_encoding_option(*command, options->encoding, cli_help::kExchangeImportEncoding);
    command->callback([options, &run] {
        run = [options](const Streams& streams) {
            ExchangeImportRequest request;
            request.from = path_of(options->from);
            request.format = format_of(options->format);
            request.script = path_of(options->script);
            request.out = path_of(options->out);
            request.require_all = options->require_all;
            request.use_fuzzy = options->use_fuzzy;
            request.csv_fallback = csv_encoding_of(options->csv_encoding);
            request.encoding = text_encoding(options->encoding);
            return report(run_exchange_import(request), streams);
        };
    });
}

}  // namespace

void add_exchange_command(CLI::App& app, Runner& run) {
    CLI::App* exchange = app.add_subcommand("exchange", cli_help::kExchange);
    exchange->require_subcommand(1);
    add_export(*exchange, run);
    add_import(*exchange, run);
}

}  // namespace quillmere::cli
