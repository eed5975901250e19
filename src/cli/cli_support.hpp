#pragma once
// What every subcommand of quillmere-cli shares: options common to several
// commands, reading filter list files, and printing the outcome.

#include <CLI/CLI.hpp>

#include <filesystem>
#include <functional>
#include <iosfwd>
#include <string>

#include "core/commands/filter_lists.hpp"
#include "core/message.hpp"
#include "core/encoding/rom_mode.hpp"
#include "core/text/gbk.hpp"

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

// Options that export, check and import share.
struct TableOptions {
    std::string mode = "double";  // single | double | both
    std::string table1, table2;   // single-byte and double-byte code table paths
    std::string filter1, filter2; // files holding the single-byte and double-byte filter lists
    std::string encoding = "gbk"; // gbk | utf-8: of the tables, filter lists, script and export file
};

void add_table_options(CLI::App& command, TableOptions& options);
// --encoding gbk|utf-8, default as `encoding` holds it.
void add_encoding_option(CLI::App& command, std::string& encoding, const std::string& description);
RomMode rom_mode(const std::string& mode);
text::Encoding text_encoding(const std::string& encoding);

// The filter list text of a file, ticked because it was given; an empty path
// gives an unticked, empty list. nullopt (after printing a message) when the
// file cannot be read.
std::optional<FilterListInput> filter_list_from_file(const std::string& path, const Streams& streams,
                                                     text::Encoding encoding = text::Encoding::gbk);

std::filesystem::path path_of(const std::string& utf8);
std::u16string text_of(const std::string& utf8);

// Puts the mode, the table paths and the filter lists (read from their
// files) into an export, check or import request. false (after printing a
// message) when a filter list file cannot be read.
template <class Request>
bool fill_table_options(const TableOptions& options, Request& request, const Streams& streams) {
    const text::Encoding encoding = text_encoding(options.encoding);
    auto double_filter = filter_list_from_file(options.filter2, streams, encoding);
    if (!double_filter) return false;
    auto single_filter = filter_list_from_file(options.filter1, streams, encoding);
    if (!single_filter) return false;
    request.mode = rom_mode(options.mode);
    request.encoding = encoding;
    request.double_table = path_of(options.table2);
    request.single_table = path_of(options.table1);
    request.double_filter = std::move(*double_filter);
    request.single_filter = std::move(*single_filter);
    return true;
}

// TITLE + "：" + MESSAGE on one line of the error stream, in UTF-8.
void print_message(const Message& message, const Streams& streams);

// 0 for a notice ("提示") that reports success, 1 otherwise.
int exit_status(const Message& message, bool success);


// A subcommand: register its options on `app`; `run` is set to what it does.
using Runner = std::function<int(const Streams&)>;

}  // namespace quillmere::cli
