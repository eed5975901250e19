#pragma once
// What every subcommand of quillmere-cli shares: options common to several
// commands, and printing the outcome.

#include <CLI/CLI.hpp>

#include <filesystem>
#include <functional>
#include <iosfwd>
#include <optional>
#include <string>

#include "core/commands/message.hpp"
#include "core/commands/script_commands.hpp"
#include "core/commands/table_setup.hpp"

namespace quillmere::cli {

// Exit status: 0 success, 1 refusal or failure, 2 wrong usage.
inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

// Where a subcommand writes: injectable so tests need no real terminal.
struct Streams {
    std::ostream& out;
    std::ostream& err;
};

// A subcommand: register its options on `app`; `run` is set to what it does.
using Runner = std::function<int(const Streams&)>;

// Options that export, check and import share.
struct TableOptions {
    std::string mode = "double";   // single | double | both
    std::string table1, table2;    // single-byte and double-byte code table paths
    std::string filter1, filter2;  // files holding the single-byte and double-byte filter lists
    std::string encoding = "gbk";  // gbk | utf-8: of the tables, filter lists, script and export file
};

void add_table_options(CLI::App& command, TableOptions& options);
// --encoding gbk|utf-8, default as `encoding` holds it.
void add_encoding_option(CLI::App& command, std::string& encoding, const std::string& description);
RomMode rom_mode(const std::string& mode);
text::Encoding text_encoding(const std::string& encoding);

// The text box limits of the check (and of the exchange's notes); a number
// counts only when given.
struct LimitOptions {
    std::string line_break, page_break, widths;
    std::int64_t max_chars = 0, max_lines = 0, max_width = 0, default_width = 0;
    CLI::Option *max_chars_option = nullptr, *max_lines_option = nullptr, *max_width_option = nullptr,
                *default_width_option = nullptr;

    BoxLimitInput input() const;
};

void add_limit_options(CLI::App& command, LimitOptions& options);

std::filesystem::path path_of(const std::string& utf8);
std::u16string text_of(const std::string& utf8);

// The tables of the options, with the filter lists read from their files
// (an empty path is an unticked, empty list). nullopt (after printing a
// message) when a filter list file cannot be read.
std::optional<TableSetup> table_setup(const TableOptions& options, const Streams& streams);

// TITLE + "：" + MESSAGE on one line of the error stream, in UTF-8; nothing
// for a message that is not shown.
void print_message(const Message& message, const Streams& streams);

// 0 for a notice ("提示") that reports success, 1 otherwise.
int exit_status(const Message& message, bool success = true);

}  // namespace quillmere::cli
