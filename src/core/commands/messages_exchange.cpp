// The catalogue's texts of carrying a translation to and from PO, CSV and
// ParaTranz JSON files.
#include "core/commands/messages_exchange.hpp"

#include <string>

#include "core/commands/messages.hpp"
#include "core/commands/script_commands.hpp"

namespace quillmere::messages {
namespace {

Message error(std::u16string_view text) { return error_message(std::u16string(text)); }

// A key as a message line shows it: a line end or other control character
// a file's cell may hold is written as an escape, so each problem stays on
// one line.
std::u16string shown(std::u16string_view key) {
    std::u16string text;
    for (const char16_t c : key) {
        if (c >= 0x20 && c != 0x7F) {
            text += c;
        } else if (c == u'\n') {
            text += u"\\n";
        } else if (c == u'\r') {
            text += u"\\r";
        } else if (c == u'\t') {
            text += u"\\t";
        } else {
            constexpr char16_t kHex[] = u"0123456789ABCDEF";
            text += {u'\\', u'x', kHex[c >> 4], kHex[c & 0xF]};
        }
    }
    return text;
}

std::u16string character_text(char32_t c) {
    if (c < 0x10000) return std::u16string(1, static_cast<char16_t>(c));
    const char32_t above = c - 0x10000;
    return {static_cast<char16_t>(0xD800 + (above >> 10)), static_cast<char16_t>(0xDC00 + (above & 0x3FF))};
}

std::u16string signed_decimal(std::int64_t value) {
    const std::string digits = std::to_string(value);
    return std::u16string(digits.begin(), digits.end());
}

}  // namespace

UnitNote unit_note(const BoxLimitInput& limits) {
    UnitNote note{u"长度：", u"字节"};
    if (limits.max_chars) note.after += u"；每行最多" + signed_decimal(*limits.max_chars) + u"字";
    if (limits.max_width) note.after += u"；每行最多" + signed_decimal(*limits.max_width) + u"像素";
    if (limits.max_lines) note.after += u"；每框最多" + signed_decimal(*limits.max_lines) + u"行";
    if (!limits.line_break.empty()) note.after += u"；换行：{" + limits.line_break + u"}";
    if (!limits.page_break.empty()) note.after += u"；换框：{" + limits.page_break + u"}";
    return note;
}

Message exchange_exported(std::size_t units, std::size_t translated) {
    return notice_message(u"已导出" + decimal(units) + u"条，其中" + decimal(translated) + u"条有译文");
}
Message exchange_imported(std::size_t records, std::size_t translated) {
    return notice_message(u"已写出" + decimal(records) + u"条：译文" + decimal(translated) + u"条，保留原文" +
                          decimal(records - translated) + u"条");
}
Message exchange_problems(std::size_t count) { return error(u"共" + decimal(count) + u"处问题"); }
Message exchange_file_unreadable(const std::filesystem::path& path) {
    return error(u"无法读取交换文件：" + path_text(path));
}
Message original_unreadable(const std::filesystem::path& path) { return error(u"无法读取原文：" + path_text(path)); }
Message translation_unreadable(const std::filesystem::path& path) {
    return error(u"无法读取译文：" + path_text(path));
}

Message malformed_line(std::size_t line) { return error(u"第" + decimal(line) + u"行格式错误"); }
Message key_not_in_original(std::u16string_view key) { return error(shown(key) + u"不在原文中"); }
Message key_twice(std::u16string_view key) { return error(shown(key) + u"出现了两次"); }
Message source_changed(std::u16string_view key) { return error(shown(key) + u"的原文已改变"); }
Message target_breaks_record(std::u16string_view key) {
    return error(shown(key) + u"的译文中有回车符，会把记录断开");
}
Message not_gbk_in(std::u16string_view key, char32_t character) {
    return error(shown(key) + u"中有无法保存为GBK的字符[" + character_text(character) + u"]");
}
Message untranslated(std::u16string_view key) { return error(shown(key) + u"未翻译"); }
Message original_unsplit(std::u16string_view address) { return error(u"原文中" + shown(address) + u"行文本处理错误"); }
Message original_twice(std::u16string_view address) { return error(u"原文中" + shown(address) + u"出现了两次"); }
Message translation_unsplit(std::u16string_view address) {
    return error(u"译文中" + shown(address) + u"行文本处理错误");
}

}  // namespace quillmere::messages
