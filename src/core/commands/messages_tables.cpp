// The catalogue's texts of a code table for the translation (counts, codes,
// the font sheet) and of converting other tools' tables.
#include "core/commands/messages.hpp"

#include "core/charset/font_sheet.hpp"
#include "core/table_conversion/field_table.hpp"

namespace quillmere::messages {
namespace {

Message error(std::u16string_view text) { return error_message(std::u16string(text)); }

std::u16string character_text(char32_t c) {
    if (c <= 0xFFFF) return std::u16string(1, static_cast<char16_t>(c));
    return {static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)), static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF))};
}

}  // namespace

// ---- a code table for the translation

Message bad_start_code(std::u16string_view text) { return error(u"起始编码填写错误：" + std::u16string(text)); }
Message bad_skip(std::u16string_view text) { return error(u"跳过范围填写错误：" + std::u16string(text)); }
Message bad_trail(std::u16string_view text) { return error(u"第二字节范围填写错误：" + std::u16string(text)); }
Message bad_glyph(std::u16string_view text) { return error(u"字形尺寸填写错误：" + std::u16string(text)); }
Message bad_columns(int columns) {
    const std::string digits = std::to_string(columns);
    return error(u"字库图列数填写错误：" + std::u16string(digits.begin(), digits.end()));
}
Message outputs_clash(const std::filesystem::path& output) {
    return error(u"输出文件不能覆盖输入文件或另一个输出文件：" + path_text(output));
}
Message font_unreadable(const std::filesystem::path& font) { return error(u"无法读取字体文件：" + path_text(font)); }

Message sheet_failure(const SheetFailure& failure, const std::filesystem::path& font, std::u16string_view glyph) {
    switch (failure.fault) {
    case SheetFault::cannot_open_font: return font_unreadable(font);
    case SheetFault::size_unavailable: return error(u"字体无法画成" + std::u16string(glyph) + u"的字形");
    case SheetFault::missing_glyph: return error(u"字体中缺少[" + character_text(failure.character) + u"]字");
    case SheetFault::too_large: break;
    }
    return sheet_too_large();
}

Message sheet_without_characters() { return error(u"字库图中没有字：新码表的编码都在起始编码之前"); }
Message sheet_too_large() { return error(u"字库图太大"); }
Message not_in_gbk(std::u16string_view character) {
    return error(u"GBK中没有[" + std::u16string(character) + u"]字，无法写入码表");
}
Message codes_exhausted(std::size_t missing) { return error(u"码表编码已用尽：还缺" + decimal(missing) + u"字"); }

Message charset_summary(std::size_t kept, std::size_t added, bool with_game_table, std::size_t unused_old) {
    std::u16string text =
        u"共" + decimal(kept + added) + u"字，沿用" + decimal(kept) + u"字，新增" + decimal(added) + u"字";
    if (with_game_table) text += u"，旧码表中" + decimal(unused_old) + u"字不再使用";
    return notice_message(std::move(text));
}

// ---- converting other tools' tables

Message four_outputs_needed() { return error(u"请指定四个输出文件"); }
Message output_name_clash(const std::filesystem::path& output) {
    return error(u"输出文件与其他文件重名：" + path_text(output));
}
Message source_table_unreadable(const std::filesystem::path& source) {
    return error(u"无法读取码表文件：" + path_text(source));
}

namespace {

std::u16string refusal_text(const table_conversion::ConvertFailure& failure) {
    using table_conversion::Refusal;
    switch (failure.cause) {
    case Refusal::undecodable: return failure.utf8 ? u"含有不是UTF-8文本的字节" : u"含有不是GBK文本的字节";
    case Refusal::table_switch: return u"不支持切换码表（!）";
    case Refusal::bit_entry: return u"不支持按位定义的编码（%）";
    case Refusal::second_table_id: return u"出现第二个码表标识（@），一个文件只能转换一个码表";
    case Refusal::no_separator: return u"缺少“=”";
    case Refusal::bad_key: return u"编码不是十六进制数";
    case Refusal::odd_key: return u"编码的位数是奇数";
    case Refusal::long_key: return u"编码超过两个字节";
    case Refusal::empty_value: return u"“=”后没有字符";
    case Refusal::bad_count: return u"控制码缺少参数字节数（应为$XX=名称,N）";
    case Refusal::bad_label: return u"换行符的名称不能用作标签";
    case Refusal::unencodable: return u"字符[" + character_text(failure.character) + u"]无法用GBK保存";
    case Refusal::no_entries: return u"码表中没有可以转换的行";
    }
    return {};
}

}  // namespace

Message conversion_refused(const table_conversion::ConvertFailure& failure) {
    if (failure.line == 0) return error(refusal_text(failure));
    return error(u"第" + decimal(failure.line) + u"行：" + refusal_text(failure));
}

Message conversion_summary(std::size_t single_lines, std::size_t double_lines, std::size_t filter_lines) {
    return notice_message(u"单字节" + decimal(single_lines) + u"行，双字节" + decimal(double_lines) + u"行，过滤" +
                          decimal(filter_lines) + u"行");
}

std::vector<std::u16string> conversion_report(const table_conversion::ConvertedTable& converted) {
    std::vector<std::u16string> report;
    const std::size_t dropped = converted.comments + converted.blanks + converted.headers;
    if (dropped > 0) {
        std::u16string line = u"略去" + decimal(dropped) + u"行：";
        bool first = true;
        auto part = [&](std::size_t count, std::u16string_view what) {
            if (count == 0) return;
            if (!first) line += u"，";
            line += std::u16string(what) + decimal(count) + u"行";
            first = false;
        };
        part(converted.comments, u"注释");
        part(converted.blanks, u"空行");
        part(converted.headers, u"表头");
        report.push_back(std::move(line));
    }
    for (const auto& label : converted.labels)
        report.push_back(u"# " + label.entry + u" " + label.label + u"（第" + decimal(label.line) + u"行）");
    return report;
}

}  // namespace quillmere::messages
