#include "cli/cli_support.hpp"

#include <ostream>

#include "core/files/files.hpp"
#include "core/text/gbk.hpp"

namespace quillmere::cli {

void add_table_options(CLI::App& command, TableOptions& options) {
    command.add_option("--mode", options.mode, "ROM mode: single, double or both")
        ->check(CLI::IsMember({"single", "double", "both"}))
        ->capture_default_str();
    command.add_option("--table1", options.table1, "single-byte code table");
    command.add_option("--table2", options.table2, "double-byte code table");
    command.add_option("--filter1", options.filter1, "file holding the single-byte filter list (ticks it)");
    command.add_option("--filter2", options.filter2, "file holding the double-byte filter list (ticks it)");
    add_encoding_option(command, options.encoding,
                        "encoding of the code tables, filter lists, script and export file: gbk (a file "
                        "that starts with a UTF-8 byte-order mark is read as UTF-8) or utf-8 (read with or "
                        "without the mark, written without it; characters GBK cannot hold are allowed)");
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

std::optional<FilterListInput> filter_list_from_file(const std::string& path, const Streams& streams,
                                                     text::Encoding encoding) {
    if (path.empty()) return FilterListInput{};
    auto text = files::read_text_file(path_of(path), encoding);
    if (!text) {
        print_message(error_message(u"无法读取过滤区文件：" + text_of(path)), streams);
        return std::nullopt;
    }
    return FilterListInput{std::move(text->text), true, text->bad_sequences > 0};
}

void print_message(const Message& message, const Streams& streams) {
    streams.err << text::to_utf8(message.title()) << text::to_utf8(u"：") << text::to_utf8(message.text) << '\n';
}

int exit_status(const Message& message, bool success) {
    return success && message.severity == Severity::notice ? kExitSuccess : kExitFailure;
}

std::filesystem::path path_of(const std::string& utf8) { return std::filesystem::path(utf8); }

std::u16string text_of(const std::string& utf8) { return text::from_utf8(utf8); }

}  // namespace quillmere::cli
