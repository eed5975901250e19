#include "core/commands/charset_command.hpp"

#include "core/charset/font_sheet.hpp"
#include "core/charset/png_file.hpp"
#include "core/charset/used_characters.hpp"
#include "core/commands/messages.hpp"
#include "core/commands/messages_tools.hpp"
#include "core/commands/output_file.hpp"
#include "core/encoding/hex.hpp"
#include "core/files/files.hpp"
#include "core/script/script_source.hpp"
#include "core/text/gbk.hpp"
#include "core/text/lines.hpp"

namespace quillmere {
namespace {

// A hexadecimal number of 1 to `digits` digits.
std::optional<std::uint32_t> hex_of(std::u16string_view text, std::size_t digits) {
    if (text.empty() || text.size() > digits || !is_all_hex(text)) return std::nullopt;
    return static_cast<std::uint32_t>(*hex2num(text));
}

// "START-END" or a single value, START not above END.
std::optional<std::pair<std::uint32_t, std::uint32_t>> span_of(std::u16string_view text, std::size_t digits) {
    const std::size_t dash = text.find(u'-');
    auto first = hex_of(text.substr(0, dash), digits);
    auto last = dash == std::u16string_view::npos ? first : hex_of(text.substr(dash + 1), digits);
    if (!first || !last || *first > *last) return std::nullopt;
    return std::pair{*first, *last};
}

// "W×H", also with a Latin x.
std::optional<GlyphSize> glyph_size_of(std::u16string_view text) {
    std::size_t cross = text.find_first_of(u"×xX");
    if (cross == std::u16string_view::npos) return std::nullopt;
    auto side = [](std::u16string_view digits) -> std::optional<int> {
        if (digits.empty() || digits.size() > 3) return std::nullopt;
        int value = 0;
        for (char16_t c : digits) {
            if (c < u'0' || c > u'9') return std::nullopt;
            value = value * 10 + (c - u'0');
        }
        if (value < 1 || value > kMaxGlyphSide) return std::nullopt;
        return value;
    };
    auto width = side(text.substr(0, cross));
    auto height = side(text.substr(cross + 1));
    if (!width || !height) return std::nullopt;
    return GlyphSize{*width, *height};
}

Expected<CodeRules, Message> code_rules(const CharsetRequest& request) {
    CodeRules rules;
    auto start = hex_of(request.start_code, 4);
    if (!start) return unexpected(messages::bad_start_code(request.start_code));
    rules.start = static_cast<std::uint16_t>(*start);
    for (const std::u16string& skip : request.skip) {
        auto span = span_of(skip, 4);
        if (!span) return unexpected(messages::bad_skip(skip));
        rules.skip.push_back({static_cast<std::uint16_t>(span->first), static_cast<std::uint16_t>(span->second)});
    }
    for (const std::u16string& trail : request.trail) {
        auto span = span_of(trail, 2);
        if (!span) return unexpected(messages::bad_trail(trail));
        rules.trail.push_back({static_cast<std::uint8_t>(span->first), static_cast<std::uint8_t>(span->second)});
    }
    return rules;
}

// The single-byte lines when the mode uses that table, read as the check
// reads them; no lines otherwise.
Expected<ReverseTables, Message> single_byte_table(const TableSetup& tables) {
    if (!uses_single_byte_table(tables.mode)) return ReverseTables({}, {});
    TableSetup single = tables;
    single.mode = RomMode::single_byte;
    auto files = read_code_tables(single);
    if (!files) return unexpected(messages::setup_failure(files.error()));
    if (files->single_table->read_error) return unexpected(messages::setup_failure({SetupFailure::Cause::unreadable}));
    return ReverseTables({}, files->single_table->lines);
}

Expected<OldTable, Message> game_table(const std::filesystem::path& path, text::Encoding encoding) {
    const Message read_error = messages::setup_failure({SetupFailure::Cause::unreadable});
    if (path.empty()) return OldTable{};
    auto file = files::read_text_file(path, encoding);
    if (!file || file->bad_sequences > 0) return unexpected(read_error);
    const std::vector<std::u16string> lines = text::split_lines(file->text);
    auto old = old_table(lines);
    if (!old) return unexpected(messages::setup_failure({SetupFailure::Cause::empty_value, false, old.error().code}));
    if (old->read_error) return unexpected(read_error);
    return std::move(*old);
}

// The codes of the double-byte filter list; the single-byte list plays no
// part.
Expected<std::vector<std::uint16_t>, Message> double_filter_codes(const TableSetup& tables) {
    TableSetup lists = tables;
    lists.single_filter = {};
    FilterUnticks untick;
    auto files = read_filter_lists(lists, untick);
    if (!files) return unexpected(messages::setup_failure(files.error()));
    if (!files->double_list) return std::vector<std::uint16_t>{};
    auto codes = filter_codes(*files->double_list);
    if (!codes) {
        const bool empty_field = codes.error() == FilterFailure::empty_field;
        return unexpected(messages::setup_failure(
            {empty_field ? SetupFailure::Cause::filter_empty_field : SetupFailure::Cause::filter_bad_entry, true}));
    }
    return std::move(*codes);
}

// An output that would replace an input, or another output, loses a file the
// translator still needs: the first such output, if any.
std::optional<std::filesystem::path> clashing_output(const CharsetRequest& request) {
    std::vector<std::filesystem::path> taken{request.script};
    if (uses_single_byte_table(request.tables.mode)) taken.push_back(request.tables.single_table);
    if (!request.keep.empty()) taken.push_back(request.keep);
    if (request.sheet) taken.push_back(request.sheet->font);
    std::vector<std::filesystem::path> outputs{request.out};
    if (!request.chars.empty()) outputs.push_back(request.chars);
    if (request.sheet) outputs.push_back(request.sheet->file);
    for (const std::filesystem::path& output : outputs) {
        for (const std::filesystem::path& other : taken)
            if (!other.empty() && names_one_file(output, other)) return output;
        taken.push_back(output);
    }
    return std::nullopt;
}

// The PNG of the sheet, or the message.
Expected<std::vector<std::uint8_t>, Message> sheet_png(const FontSheetRequest& request, const NewTable& table,
                                                       const CodeRules& rules) {
    auto size = glyph_size_of(request.glyph);
    if (!size) return unexpected(messages::bad_glyph(request.glyph));
    if (request.columns < 1 || request.columns > kMaxColumns)
        return unexpected(messages::bad_columns(request.columns));
    const auto cells = sheet_cells(table, rules);
    if (cells.empty()) return unexpected(messages::sheet_without_characters());
    auto image = draw_font_sheet(request.font, *size, request.columns, cells);
    if (!image) return unexpected(messages::sheet_failure(image.error(), request.font, request.glyph));
    auto png = png_bytes(*image);
    if (!png) return unexpected(messages::sheet_too_large());
    return std::move(*png);
}

}  // namespace

CommandResult<CharsetPayload> run_charset(const CharsetRequest& request) {
    if (request.script.empty()) return {messages::choose_script()};
    if (auto output = clashing_output(request)) return {messages::outputs_clash(*output)};
    auto rules = code_rules(request);
    if (!rules) return {std::move(rules.error())};
    auto single_table = single_byte_table(request.tables);
    if (!single_table) return {std::move(single_table.error())};
    const text::Encoding encoding = request.tables.encoding;
    auto old = game_table(request.keep, encoding);
    if (!old) return {std::move(old.error())};
    auto reserved = double_filter_codes(request.tables);
    if (!reserved) return {std::move(reserved.error())};
    auto script = open_script(false, request.script, {}, std::nullopt, encoding);
    if (!script) return {messages::script_unreadable()};

    auto used = used_characters(*script, *single_table);
    if (!used) return {messages::unprocessable(used.error().address)};
    if (encoding == text::Encoding::gbk)
        if (auto character = first_unencodable(*used)) return {messages::not_in_gbk(utf16_of(*character))};
    auto table = assign_codes(*used, request.order, *old, *reserved, *rules);
    if (!table) return {messages::codes_exhausted(table.error().missing)};

    std::optional<std::vector<std::uint8_t>> png;
    if (request.sheet) {
        auto made = sheet_png(*request.sheet, *table, *rules);
        if (!made) return {std::move(made.error())};
        png = std::move(*made);
    }
    if (cancel_requested(request.cancelled)) return {messages::cancelled()};
    CharsetPayload shown;
    shown.table = table_text(*table);
    if (!files::write_text_file(request.out, shown.table, encoding)) return {messages::cannot_write_file(request.out)};
    if (!request.chars.empty() && !files::write_text_file(request.chars, added_characters_line(*table), encoding))
        return {messages::cannot_write_file(request.chars)};
    if (png && !files::write_bytes(request.sheet->file, *png)) return {messages::cannot_write_file(request.sheet->file)};
    if (png) {
        shown.cell_codes = sheet_codes(*table, *rules);
        shown.cell_characters = sheet_cells(*table, *rules);
        shown.columns = request.sheet->columns;
        const GlyphSize size = *glyph_size_of(request.sheet->glyph);
        shown.cell_width = size.width;
        shown.cell_height = size.height;
    }
    return {messages::charset_summary(table->kept, table->added, !request.keep.empty(), table->unused_old),
            std::move(shown)};
}

}  // namespace quillmere
