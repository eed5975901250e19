#include "cli/cli_support.hpp"

#include <ostream>

#include "core/commands/cli_help.hpp"
#include "core/commands/filter_lists.hpp"
#include "core/commands/messages.hpp"
#include "core/text/gbk.hpp"

namespace quillmere::cli {

void add_table_options(CLI::App& command, TableOptions& options) {
    command.add_option("--mode", options.mode, cli_help::kMode)
        ->check(CLI::IsMember({"single", "double", "both"}))
        ->capture_default_str();
    command.add_option("--table1", options.table1, cli_help::kTable1);
    command.add_option("--table2", options.table2, cli_help::kTable2);
    command.add_option("--filter1", options.filter1, cli_help::kFilter1);
    command.add_option("--filter2", options.filter2, cli_help::kFilter2);
    add_encoding_option(command, options.encoding, cli_help::kEncoding);
}

void add_encoding_option(CLI::App& command, std::string& encoding, const std::string& description) {
    command.add_option("--encoding", encoding, description)
        ->check(CLI::IsMember({"gbk", "utf-8"}))
        ->capture_default_str();
}

text::Encoding text_encoding(const std::string& encoding) {
    return encoding == "utf-8" ? text::Encoding::utf8 : text::Encoding::gbk;
}

RomMode rom_mode(const std::string& mode) {
    if (mode == "single") return RomMode::single_byte;
    if (mode == "both") return RomMode::both;
    return RomMode::double_byte;
}

BoxLimitInput LimitOptions::input() const {
    BoxLimitInput input;
    input.line_break = text_of(line_break);
    input.page_break = text_of(page_break);
    auto given = [](const CLI::Option* option, std::int64_t value) {
        return option->count() > 0 ? std::optional<std::int64_t>(value) : std::nullopt;
    };
    input.max_chars = given(max_chars_option, max_chars);
    input.max_lines = given(max_lines_option, max_lines);
    input.max_width = given(max_width_option, max_width);
    input.default_width = given(default_width_option, default_width);
    input.widths_file = path_of(widths);
    return input;
}

void add_limit_options(CLI::App& command, LimitOptions& options) {
    command.add_option("--line-break", options.line_break, cli_help::kLineBreak);
    command.add_option("--page-break", options.page_break, cli_help::kPageBreak);
    options.max_chars_option =
        command.add_option("--max-chars", options.max_chars, cli_help::kMaxChars)->check(CLI::NonNegativeNumber);
    options.max_lines_option =
        command.add_option("--max-lines", options.max_lines, cli_help::kMaxLines)->check(CLI::NonNegativeNumber);
    CLI::Option* widths = command.add_option("--widths", options.widths, cli_help::kWidths);
    options.max_width_option =
        command.add_option("--max-width", options.max_width, cli_help::kMaxWidth)->check(CLI::NonNegativeNumber);
    options.default_width_option = command.add_option("--default-width", options.default_width, cli_help::kDefaultWidth)
                                       ->check(CLI::NonNegativeNumber);
    widths->needs(options.max_width_option);
    options.max_width_option->needs(widths);
    options.default_width_option->needs(widths);
}

// The argument's UTF-8 read as such on every system (a narrow string would be
// read in the ANSI code page on Windows, and lose any character it lacks).
std::filesystem::path path_of(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::u16string text_of(const std::string& utf8) { return text::from_utf8(utf8); }

namespace {

// The list of a file, ticked because it was given; an empty path gives an
// unticked, empty list.
std::optional<FilterListInput> filter_list(const std::string& path, text::Encoding encoding, const Streams& streams) {
    if (path.empty()) return FilterListInput{};
    auto list = filter_list_from_file(path_of(path), encoding);
    if (!list) {
        print_message(messages::filter_file_unreadable(text_of(path)), streams);
        return std::nullopt;
    }
    return std::move(*list);
}

}  // namespace

std::optional<TableSetup> table_setup(const TableOptions& options, const Streams& streams) {
    TableSetup setup;
    setup.encoding = text_encoding(options.encoding);
    auto double_filter = filter_list(options.filter2, setup.encoding, streams);
    if (!double_filter) return std::nullopt;
    auto single_filter = filter_list(options.filter1, setup.encoding, streams);
    if (!single_filter) return std::nullopt;
    setup.mode = rom_mode(options.mode);
    setup.double_table = path_of(options.table2);
    setup.single_table = path_of(options.table1);
    setup.double_filter = std::move(*double_filter);
    setup.single_filter = std::move(*single_filter);
    return setup;
}

void print_message(const Message& message, const Streams& streams) {
    if (!message.shown()) return;
    streams.err << text::to_utf8(messages::as_line(message)) << '\n';
}

int exit_status(const Message& message, bool success) {
    return success && message.severity == Severity::notice ? kExitSuccess : kExitFailure;
}

}  // namespace quillmere::cli
