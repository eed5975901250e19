#include "core/exchange/script_writer.hpp"

#include "core/exchange/utf8.hpp"

namespace quillmere::exchange {

std::optional<char32_t> append_gbk(std::string& out, std::u16string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c < 0x80) {  // the code page's ASCII half is ASCII
            out += static_cast<char>(c);
            continue;
        }
        const auto code = text::encode_gbk_char(c);
        if (!code || text::decode_gbk_code(*code) != c) return utf8::character_at(text, i);
        if (*code > 0xFF) out += static_cast<char>(*code >> 8);
        out += static_cast<char>(*code & 0xFF);
    }
    return std::nullopt;
}

ScriptBytes write_script(std::span<const ScriptRecord> records,
                         std::span<const std::optional<std::u16string_view>> targets, text::Encoding encoding) {
    ScriptBytes script;
    std::size_t room = 2;
    for (std::size_t i = 0; i < records.size(); ++i)
        room += records[i].address.size() + records[i].length.size() + 6 +
                (targets[i] ? targets[i]->size() : records[i].text.size()) * (encoding == text::Encoding::gbk ? 2 : 3);
    script.bytes.reserve(room);
    for (std::size_t i = 0; i < records.size(); ++i) {
        const ScriptRecord& record = records[i];
        const std::u16string_view text = targets[i] ? *targets[i] : record.text;
        std::string& out = script.bytes;
        if (encoding == text::Encoding::utf8) {
            utf8::append(out, record.address);
            out += ',';
            utf8::append(out, record.length);
            out += ',';
            utf8::append(out, text);
        } else {
            std::optional<char32_t> failed = append_gbk(out, record.address);
            out += ',';
            if (!failed) failed = append_gbk(out, record.length);
            out += ',';
            if (!failed) failed = append_gbk(out, text);
            if (failed) script.unencodable.push_back({i, *failed});
        }
        out += "\r\n\r\n";
    }
    script.bytes += "\r\n";
    return script;
}

}  // namespace quillmere::exchange
