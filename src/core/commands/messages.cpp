// The catalogue's texts shared by every command, and those of export, check,
// import, the text area, the records, the command line and the window.
#include "core/commands/messages.hpp"

#include <string>

#include "core/commands/table_setup.hpp"
#include "core/encoding/hex.hpp"
#include "core/layout/box_limits.hpp"
#include "core/layout/code_widths.hpp"
#include "core/records/records.hpp"
#include "core/script/entry_failure.hpp"
#include "core/text/gbk.hpp"

namespace quillmere {

std::u16string Message::title() const {
    switch (severity) {
    case Severity::notice: return messages::notice_title();
    case Severity::error: return messages::error_title();
    case Severity::none: break;
    }
    return {};
}

namespace messages {
namespace {

Message error(std::u16string_view text) { return error_message(std::u16string(text)); }
Message notice(std::u16string_view text) { return notice_message(std::u16string(text)); }

// Windows keeps a path as UTF-16 already. POSIX keeps bytes, which the system
// does not require to be UTF-8: whatever is not shows as U+FFFD instead of
// failing the message.
[[maybe_unused]] std::u16string units_of(const std::wstring& native) {
    return std::u16string(native.begin(), native.end());
}
[[maybe_unused]] std::u16string units_of(const std::string& native) { return text::from_utf8(native); }

}  // namespace

std::u16string path_text(const std::filesystem::path& path) { return units_of(path.native()); }

std::u16string decimal(std::uint64_t value) {
    const std::string digits = std::to_string(value);
    return std::u16string(digits.begin(), digits.end());
}

std::u16string notice_title() { return u"提示"; }
std::u16string error_title() { return u"错误"; }

// ---- shared

Message choose_rom() { return error(u"请先选择一个ROM"); }
Message choose_script() { return error(u"请选择一个文本"); }
Message enter_name() { return error(u"请先输入名称"); }
Message bad_file_name() { return error(u" 文件名不能包括以下字符：\\/:*?<>\"|"); }
Message output_over_rom() { return error(u"不能把文本写入正在读取的ROM文件"); }
Message rom_unreadable() { return error(u"ROM读取失败"); }
Message script_unreadable() { return error(u"译文读取失败"); }
Message cannot_write_file(const std::filesystem::path& path) { return error(u"无法写入文件：" + path_text(path)); }
Message output_is_input(const std::filesystem::path& path) {
    return error(u"不能把结果写入正在读取的文件：" + path_text(path));
}
Message out_of_memory() { return error(u"内存不足，命令没有完成，没有写入任何文件"); }
Message unexpected_failure() { return error(u"命令意外中止，没有写入任何文件"); }

// ---- tables

Message setup_failure(const SetupFailure& failure) {
    using Cause = SetupFailure::Cause;
    switch (failure.cause) {
    case Cause::no_double_table: return error(u"请先选择一个双字节码表");
    case Cause::no_single_table: return error(u"请先选择一个单字节码表");
    case Cause::empty_value: return error(u"码表里" + failure.code + u"行出现空字符");
    case Cause::unreadable: break;
    case Cause::filter_empty_field:
        return error(failure.double_byte ? u"双字节过滤区禁止使用空字符" : u"单字节过滤区禁止使用空字符");
    case Cause::filter_bad_entry: return error(failure.double_byte ? u"双字节过滤填写错误" : u"单字节过滤填写错误");
    }
    return error(u"码表读取错误");
}

// ---- export

Message exported() { return notice(u"文本已顺利导出"); }
// An outcome, not a refusal: the scan ran and found nothing to write.
Message export_failed() { return notice(u"导出文本失败"); }
Message bad_address() { return error(u"文本开始地址或结束地址输入错误"); }
Message pointer_outside_rom(std::uint32_t pointer) { return error(u"指针" + to_hex(pointer) + u"超出ROM"); }
Message pointer_points_outside(std::uint32_t pointer) { return error(u"指针" + to_hex(pointer) + u"指向ROM之外"); }
Message stdout_unwritable() { return error(u"无法写入标准输出"); }

// ---- check and import

Message script_valid() { return notice(u"此文本为合法文本"); }
Message imported() { return notice(u"文本导入成功"); }
Message unprocessable(std::u16string_view address) { return error(std::u16string(address) + u"行文本处理错误"); }

namespace {
std::u16string missing_tag_text(const std::u16string& tag) { return u"过滤区中缺少[" + tag + u"]"; }
}  // namespace

Message measuring_failure(std::u16string_view address, const EntryFailure& failure) {
    switch (failure.fault) {
    case EntryFault::missing_character:
        return error(std::u16string(address) + u"行出错，" + u"码表中缺少[" + failure.what + u"]字");
    case EntryFault::missing_tag: return error(std::u16string(address) + u"行出错，" + missing_tag_text(failure.what));
    case EntryFault::unprocessable:
    case EntryFault::not_code_page_936: break;
    }
    return unprocessable(address);
}

Message encoding_failure(std::u16string_view address, const EntryFailure& failure) {
    if (failure.fault == EntryFault::missing_tag) return error(missing_tag_text(failure.what));
    return measuring_failure(address, failure);
}

Message excess(std::u16string_view address, std::u16string_view excess_bytes) {
    return error(std::u16string(address) + u"行的文本超出原长" + u" " + std::u16string(excess_bytes) + u"个字节");
}

Message check_summary(std::size_t entries, std::size_t failing) {
    // Built up in steps: GCC 12 warns falsely of overlapping copies in a
    // sum that starts with a literal.
    std::u16string text = u"共";
    text += decimal(entries);
    text += u"条，";
    text += decimal(failing);
    text += u"条出错";
    return error(text);
}

Message rom_write_failed() { return error(u"ROM写入失败"); }
Message output_is_rom() { return error(u"输出文件不能是ROM本身"); }
Message widths_unreadable() { return error(u"宽度表读取错误"); }

Message widths_failure(const WidthsFailure& failure) {
    if (failure.kind == WidthsFailure::Kind::missing_code) return error(u"宽度表中缺少[" + failure.what + u"]的宽度");
    return error(u"宽度表里" + failure.what + u"行填写错误");
}

Message limit_breach(std::u16string_view address, const LimitBreach& breach) {
    std::u16string_view what = u"超出行宽";
    if (breach.kind == LimitBreach::Kind::lines) what = u"超出行数";
    if (breach.kind == LimitBreach::Kind::pixels) what = u"超出像素宽度";
    auto signed_decimal = [](std::int64_t value) {
        const std::string digits = std::to_string(value);
        return std::u16string(digits.begin(), digits.end());
    };
    return error(std::u16string(address) + u"行第" + decimal(breach.line) + u"行" + std::u16string(what) + u"：" +
                 signed_decimal(breach.measured) + u">" + signed_decimal(breach.limit));
}

// ---- the text area

Message text_saved() { return notice(u"保存文本成功"); }
Message unsavable_character(std::u16string_view character) {
    return error(u"文本中有无法保存为GBK的字符[" + std::u16string(character) + u"]");
}
Message translation_loaded() { return notice(u"译文读取成功"); }

// ---- records

Message delete_question() { return notice(u"要删除记录吗？"); }
Message modify_question() { return notice(u"要修改记录吗？"); }

Message record_refusal(const records::RecordRefusal& refusal) {
    using Cause = records::RecordRefusal::Cause;
    switch (refusal.cause) {
    case Cause::no_name: return error(u"请先输入记录名");
    case Cause::semicolon_name: return error(u"记录名不能以分号开头");
    case Cause::breaks_the_line: return error(u"名称和地址不能包含引号或换行");
    case Cause::unsavable_character: return error(u"名称中有无法保存为GBK的字符[" + refusal.character + u"]");
    case Cause::listed_already: return error(u"该记录已经存在，无法添加。");
    case Cause::bad_range_to_add: return error(u"起点或终点输入错误，无法添加。");
    case Cause::no_selection: return error(u"请先选择一个记录名");
    case Cause::no_name_to_modify: return error(u"无记录名，无法修改");
    case Cause::bad_range_to_modify: return error(u"开始地址或结束地址输入错误，无法修改。");
    case Cause::not_saved: break;
    }
    return error(u"记录保存失败");
}

Message filter_lists_not_saved() { return error(u"过滤区保存失败"); }
Message no_data_dir(const std::filesystem::path& data_dir) { return error(u"数据文件夹不存在：" + path_text(data_dir)); }
Message records_unreadable() { return error(u"记录文件读取失败"); }
Message no_such_record(std::u16string_view name) { return error(u"找不到记录：" + std::u16string(name)); }

Message data_dir_in_use(const std::filesystem::path& data_dir) {
    return error(u"数据目录正被另一个窗口使用：" + path_text(data_dir));
}

// ---- the command line

Message filter_file_unreadable(std::u16string_view path) {
    return error(u"无法读取过滤区文件：" + std::u16string(path));
}

std::u16string as_line(const Message& message) { return message.title() + u"：" + message.text; }

// ---- the window

std::u16string rom_file_types() {
    return u"*.gba;*.bin;*.gb;*.gbc;*.sfc;*.fc;*.wsc;*.ws|*.gba;*.bin;*.gb;*.gbc;*.sfc;*.fc;*.wsc;*.ws|"
           u"全部文件 (*.*)|*.*";
}
std::u16string code_table_file_types() { return u"TBL文件 (*.tbl);TXT文件 (*.txt)|*.tbl;*.txt|全部文件 (*.*)|*.*"; }
std::u16string translation_file_types() { return u"TXT文件 (*.txt)|*.txt|全部文件 (*.*)|*.*"; }
std::u16string text_file_types() { return u"*.txt|*.txt"; }
std::u16string working_on_export() { return u"正在导出文本…"; }
std::u16string working_on_check() { return u"正在检查译文…"; }
std::u16string working_on_import() { return u"正在导入译文…"; }
std::u16string working_on_save() { return u"正在保存文本…"; }
std::u16string working_on_load() { return u"正在读取译文…"; }

}  // namespace messages
}  // namespace quillmere
