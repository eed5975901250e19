#include "core/commands/charset_command.hpp"
#include "core/commands/output_file.hpp"

#include "core/charset/font_sheet.hpp"
#include "core/charset/png_file.hpp"
#include "core/charset/used_characters.hpp"
#include "core/encoding/hex.hpp"
#include "core/script/entry_failure.hpp"
#include "core/script/script_source.hpp"
#include "core/script/table_loading.hpp"
#include "core/files/files.hpp"
#include "core/text/gbk.hpp"
#include "core/text/lines.hpp"

namespace quillmere {
namespace {

std::u16string decimal(std::size_t value) {
    const std::string digits = std::to_string(value);
    return std::u16string(digits.begin(), digits.end());
}

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
    if (!start) return unexpected(error_message(u"起始编码填写错误：" + request.start_code));
    rules.start = static_cast<std::uint16_t>(*start);
    for (const std::u16string& skip : request.skip) {
        auto span = span_of(skip, 4);
        if (!span) return unexpected(error_message(u"跳过范围填写错误：" + skip));
        rules.skip.push_back({static_cast<std::uint16_t>(span->first), static_cast<std::uint16_t>(span->second)});
    }
    for (const std::u16string& trail : request.trail) {
        auto span = span_of(trail, 2);
        if (!span) return unexpected(error_message(u"第二字节范围填写错误：" + trail));
        rules.trail.push_back({static_cast<std::uint8_t>(span->first), static_cast<std::uint8_t>(span->second)});
    }
    return rules;
}

// The single-byte lines when the mode uses that table, read as the check
// reads them; no lines otherwise.
Expected<ReverseTables, Message> single_byte_table(const CharsetRequest& request) {
    if (!uses_single_byte_table(request.mode)) return ReverseTables({}, {});
    return load_reverse_tables(RomMode::single_byte, {}, request.single_table, request.encoding);
}

Expected<OldTable, Message> game_table(const std::filesystem::path& path, text::Encoding encoding) {
    const Message read_error = error_message(u"码表读取错误");
    if (path.empty()) return OldTable{};
    auto file = files::read_text_file(path, encoding);
    if (!file || file->bad_sequences > 0) return unexpected(read_error);
    const std::vector<std::u16string> lines = text::split_lines(file->text);
    auto old = old_table(lines);
    if (!old) return unexpected(empty_value_message(old.error()));
    if (old->read_error) return unexpected(read_error);
    return std::move(*old);
}

Expected<std::vector<std::uint16_t>, Message> double_filter_codes(const FilterListInput& list,
                                                                  text::Encoding encoding) {
    auto lines = filter_list_lines(list, std::nullopt, kDoubleFilterTempFile, encoding);
    if (!lines) return unexpected(filter_failure_message(FilterFailure::bad_entry, true));
    if (!lines->lines) return std::vector<std::uint16_t>{};
    auto codes = filter_codes(*lines->lines);
    if (!codes) return unexpected(filter_failure_message(codes.error(), true));
    return std::move(*codes);
}

// An output that would replace an input, or another output, loses a file the
// translator still needs: the first such output, if any.
std::optional<std::filesystem::path> clashing_output(const CharsetRequest& request) {
    std::vector<std::filesystem::path> taken{request.script};
    if (uses_single_byte_table(request.mode)) taken.push_back(request.single_table);
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

Message cannot_write(const std::filesystem::path& path) { return error_message(u"无法写入文件：" + path.u16string()); }

Message sheet_message(const SheetFailure& failure, const FontSheetRequest& request) {
    switch (failure.fault) {
        case SheetFault::cannot_open_font: return error_message(u"无法读取字体文件：" + request.font.u16string());
        case SheetFault::size_unavailable: return error_message(u"字体无法画成" + request.glyph + u"的字形");
        case SheetFault::missing_glyph: return error_message(u"字体中缺少[" + utf16_of(failure.character) + u"]字");
        case SheetFault::too_large: break;
    }
    return error_message(u"字库图太大");
}

// The PNG of the sheet, or the message.
Expected<std::vector<std::uint8_t>, Message> sheet_png(const FontSheetRequest& request, const NewTable& table,
                                                       const CodeRules& rules) {
    auto size = glyph_size_of(request.glyph);
    if (!size) return unexpected(error_message(u"字形尺寸填写错误：" + request.glyph));
    if (request.columns < 1 || request.columns > kMaxColumns)
        return unexpected(error_message(u"字库图列数填写错误：" + decimal(static_cast<std::size_t>(request.columns))));
    const auto cells = sheet_cells(table, rules);
    if (cells.empty()) return unexpected(error_message(u"字库图中没有字：新码表的编码都在起始编码之前"));
    auto image = draw_font_sheet(request.font, *size, request.columns, cells);
    if (!image) return unexpected(sheet_message(image.error(), request));
    auto png = png_bytes(*image);
    if (!png) return unexpected(error_message(u"字库图太大"));
    return std::move(*png);
}

Message summary(const NewTable& table, bool with_game_table) {
    std::u16string text = u"共" + decimal(table.kept + table.added) + u"字，沿用" + decimal(table.kept) + u"字，新增" +
                          decimal(table.added) + u"字";
    if (with_game_table) text += u"，旧码表中" + decimal(table.unused_old) + u"字不再使用";
    return notice_message(std::move(text));
}

Message charset(const CharsetRequest& request) {
    if (request.script.empty()) return error_message(u"请选择一个文本");
    if (auto output = clashing_output(request))
        return error_message(u"输出文件不能覆盖输入文件或另一个输出文件：" + output->u16string());
    auto rules = code_rules(request);
    if (!rules) return rules.error();
    auto single_table = single_byte_table(request);
    if (!single_table) return single_table.error();
    auto old = game_table(request.keep, request.encoding);
    if (!old) return old.error();
    auto reserved = double_filter_codes(request.double_filter, request.encoding);
    if (!reserved) return reserved.error();
    auto script = open_script(false, request.script, {}, std::nullopt, request.encoding);
    if (!script) return script.error();

    auto used = used_characters(*script, *single_table);
    if (!used) return unprocessable_message(used.error().address);
    if (request.encoding == text::Encoding::gbk)
        if (auto character = first_unencodable(*used))
            return error_message(u"GBK中没有[" + utf16_of(*character) + u"]字，无法写入码表");
    auto table = assign_codes(*used, request.order, *old, *reserved, *rules);
    if (!table) return error_message(u"码表编码已用尽：还缺" + decimal(table.error().missing) + u"字");

    std::optional<std::vector<std::uint8_t>> png;
    if (request.sheet) {
        auto made = sheet_png(*request.sheet, *table, *rules);
        if (!made) return made.error();
        png = std::move(*made);
    }
    if (!files::write_text_file(request.out, table_text(*table), request.encoding)) return cannot_write(request.out);
    if (!request.chars.empty() &&
        !files::write_text_file(request.chars, added_characters_line(*table), request.encoding))
        return cannot_write(request.chars);
    if (png && !files::write_bytes(request.sheet->file, *png)) return cannot_write(request.sheet->file);
    return summary(*table, !request.keep.empty());
}

}  // namespace

Message run_charset(const CharsetRequest& request) {
    try {
        return charset(request);
    } catch (const std::bad_alloc&) {
        return error_message(u"内存不足，无法生成码表");
    }
}

}  // namespace quillmere
