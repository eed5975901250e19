#include "core/commands/convert_table_command.hpp"
#include "core/commands/output_file.hpp"

#include <array>
#include <system_error>

#include "core/table_conversion/field_table.hpp"
#include "core/files/files.hpp"

namespace quillmere {
namespace {

using table_conversion::Refusal;

std::u16string number_text(std::size_t value) {
    std::u16string text;
    for (char c : std::to_string(value)) text += static_cast<char16_t>(c);
    return text;
}

std::u16string character_text(char32_t c) {
    std::u16string text;
    if (c > 0xFFFF) {
        text += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
        text += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
        text += static_cast<char16_t>(c);
    }
    return text;
}

std::u16string path_text(const std::filesystem::path& path) { return path.u16string(); }

std::u16string refusal_text(const table_conversion::ConvertFailure& failure) {
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

Message failure_message(const table_conversion::ConvertFailure& failure) {
    if (failure.line == 0) return error_message(refusal_text(failure));
    return error_message(u"第" + number_text(failure.line) + u"行：" + refusal_text(failure));
}

std::vector<std::u16string> report_of(const table_conversion::ConvertedTable& converted) {
    std::vector<std::u16string> report;
    const std::size_t dropped = converted.comments + converted.blanks + converted.headers;
    if (dropped > 0) {
        std::u16string line = u"略去" + number_text(dropped) + u"行：";
        bool first = true;
        auto part = [&](std::size_t count, std::u16string_view what) {
            if (count == 0) return;
            if (!first) line += u"，";
            line += std::u16string(what) + number_text(count) + u"行";
            first = false;
        };
        part(converted.comments, u"注释");
        part(converted.blanks, u"空行");
        part(converted.headers, u"表头");
        report.push_back(std::move(line));
    }
    for (const auto& label : converted.labels)
        report.push_back(u"# " + label.entry + u" " + label.label + u"（第" + number_text(label.line) + u"行）");
    return report;
}

}  // namespace

ConvertTableOutcome run_convert_table(const ConvertTableRequest& request) {
    ConvertTableOutcome outcome;
    const std::array<const std::filesystem::path*, 4> outputs{&request.table1, &request.table2, &request.filter1,
                                                              &request.filter2};
    for (std::size_t i = 0; i < outputs.size(); ++i) {
        if (outputs[i]->empty()) {
            outcome.message = error_message(u"请指定四个输出文件");
            return outcome;
        }
        bool clash = names_one_file(*outputs[i], request.source);
        for (std::size_t j = 0; j < i && !clash; ++j) clash = names_one_file(*outputs[i], *outputs[j]);
        if (clash) {
            outcome.message = error_message(u"输出文件与其他文件重名：" + path_text(*outputs[i]));
            return outcome;
        }
    }
    auto bytes = files::read_bytes(request.source);
    if (!bytes) {
        outcome.message = error_message(u"无法读取码表文件：" + path_text(request.source));
        return outcome;
    }
    auto converted = table_conversion::convert_table(*bytes, request.encoding, request.output);
    if (!converted) {
        outcome.message = failure_message(converted.error());
        return outcome;
    }
    // Every value was found encodable line by line, so only the file system
    // can fail from here on.
    const std::array<const std::vector<std::u16string>*, 4> contents{&converted->table1, &converted->table2,
                                                                     &converted->filter1, &converted->filter2};
    for (std::size_t i = 0; i < outputs.size(); ++i) {
        if (!files::write_text_file(*outputs[i], table_conversion::file_text(*contents[i]), request.output)) {
            outcome.message = error_message(u"无法写入文件：" + path_text(*outputs[i]));
            return outcome;
        }
    }
    outcome.message = notice_message(u"单字节" + number_text(converted->table1.size()) + u"行，双字节" +
                                     number_text(converted->table2.size()) + u"行，过滤" +
                                     number_text(converted->filter1.size() + converted->filter2.size()) + u"行");
    outcome.report = report_of(*converted);
    return outcome;
}

}  // namespace quillmere
