// The catalogue's texts of finding text without its table.
#include "core/commands/messages_find.hpp"

#include "core/commands/messages.hpp"
#include "core/find/shape_query.hpp"

namespace quillmere::messages {
namespace {

Message error(std::u16string_view text) { return error_message(std::u16string(text)); }

std::u16string found_text(std::size_t total, std::size_t listed) {
    std::u16string text = u"共找到" + decimal(total) + u"处";
    if (listed < total) text += u"，只列出前" + decimal(listed) + u"处，另有" + decimal(total - listed) + u"处未列出";
    return text;
}

}  // namespace

Message query_failure(const find::QueryFailure& failure) {
    using Cause = find::QueryFailure::Cause;
    const std::u16string& what = failure.text;
    switch (failure.cause) {
        case Cause::empty: return error(u"查找内容不能为空");
        case Cause::too_long: return error(u"查找内容太长，最多" + decimal(find::kMaxQueryLength) + u"个字符");
        case Cause::control_character: return error(u"查找文本中不能有控制字符");
        case Cause::outside_sequence: return error(u"查找文本中的[" + what + u"]不在字序中");
        case Cause::too_few: return error(u"查找内容至少要有3个不是*的字符或数值");
        case Cause::bad_value: return error(u"数值[" + what + u"]填写错误");
        case Cause::names_count: return error(u"字符个数与数值个数不同");
        case Cause::two_values: return error(u"[" + what + u"]对应了两个不同的数值");
        case Cause::two_names: return error(u"数值[" + what + u"]对应了两个不同的字符");
        case Cause::not_in_tables: return error(u"查找文本中的[" + what + u"]不在码表中");
        case Cause::bad_token: return error(u"查找文本中的" + what + u"无法编码");
    }
    return error(u"查找内容填写错误");
}

Message bad_find_range(std::u16string_view text) { return error(u"查找范围填写错误：" + std::u16string(text)); }
Message find_range_outside_rom() { return error(u"查找范围超出ROM"); }
Message sequence_unreadable(const std::filesystem::path& path) {
    return error(u"无法读取字序文件：" + path_text(path));
}
Message empty_sequence(const std::filesystem::path& path) { return error(u"字序文件中没有字符：" + path_text(path)); }
Message no_such_hit(std::size_t hit, std::size_t total) {
    return error(u"没有第" + decimal(hit) + u"处，共找到" + decimal(total) + u"处");
}
Message no_characters_for_table() { return error(u"没有给出数值对应的字符，无法生成码表"); }
Message no_table_from_text() { return error(u"按码表查找时不生成码表"); }
Message places_found(std::size_t total, std::size_t listed) { return notice_message(found_text(total, listed)); }
Message table_from_hit(std::size_t total, std::size_t listed, std::size_t hit, const std::filesystem::path& table) {
    return notice_message(found_text(total, listed) + u"；第" + decimal(hit) + u"处的码表已写入：" + path_text(table));
}

}  // namespace quillmere::messages
