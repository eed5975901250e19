#include "core/exchange/script_writer.hpp"

#include "core/exchange/output.hpp"
#include "core/exchange/utf8.hpp"
#include "core/text/gbk_tables.hpp"

namespace quillmere::exchange {
namespace {

// Whether a code reads back as the character it was given for (a one-way
// mapping would change the text).
bool reads_back(std::uint16_t code, char16_t c) {
    namespace tables = text::gbk_tables;
    if (code <= 0xFF) return tables::single[code] == c;
    const unsigned lead = code >> 8, trail = code & 0xFF;
    if (lead < tables::kFirstLead || lead > tables::kLastLead || trail < tables::kFirstTrail || trail > tables::kLastTrail)
        return false;
    return tables::pairs[(lead - tables::kFirstLead) * tables::kTrailCount + (trail - tables::kFirstTrail)] == c;
}

// Writes `text` in code page 936 at `out` (room for two bytes per unit);
// the end, or nullptr with the first character that has no code or whose
// code reads back as another character.
char* put_gbk(char* out, std::u16string_view text, char32_t& unencodable) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c < 0x80) {  // the code page's ASCII half is ASCII
            *out++ = static_cast<char>(c);
            continue;
        }
        const std::uint16_t code = text::gbk_tables::codes[c];
        if (code == text::gbk_tables::kNoCode || !reads_back(code, c)) {
            unencodable = utf8::character_at(text, i);
            return nullptr;
        }
        if (code > 0xFF) *out++ = static_cast<char>(code >> 8);
        *out++ = static_cast<char>(code & 0xFF);
    }
    return out;
}

}  // namespace

std::optional<char32_t> append_gbk(std::string& out, std::u16string_view text) {
    const std::size_t start = out.size();
    out.resize(start + text.size() * 2);
    char32_t unencodable = 0;
    char* end = put_gbk(out.data() + start, text, unencodable);
    if (!end) {
        out.resize(start);
        return unencodable;
    }
    out.resize(static_cast<std::size_t>(end - out.data()));
    return std::nullopt;
}

std::vector<Unencodable> write_script(std::span<const ScriptRecord> records,
                                      std::span<const std::optional<std::u16string_view>> targets,
                                      text::Encoding encoding, Output& out) {
    std::vector<Unencodable> unencodable_records;
    const std::size_t per_unit = encoding == text::Encoding::gbk ? 2 : utf8::kMaxBytesPerUnit;
    std::size_t room = 2;
    for (std::size_t i = 0; i < records.size(); ++i)
        room += (records[i].address.size() + records[i].length.size() + 2 +
                 (targets[i] ? targets[i]->size() : records[i].text.size())) * per_unit + 4;
    out.reserve(room);
    for (std::size_t i = 0; i < records.size(); ++i) {
        const ScriptRecord& record = records[i];
        const std::u16string_view text = targets[i] ? *targets[i] : record.text;
        char* p = out.room((record.address.size() + record.length.size() + text.size()) * per_unit + 6);
        if (encoding == text::Encoding::utf8) {
            p = utf8::put(p, record.address);
            *p++ = ',';
            p = utf8::put(p, record.length);
            *p++ = ',';
            p = utf8::put(p, text);
        } else {
            char32_t unencodable = 0;
            bool first = true;
            for (const std::u16string_view field : {record.address, record.length, text}) {
                if (!first) *p++ = ',';
                first = false;
                p = put_gbk(p, field, unencodable);
                if (!p) break;
            }
            if (!p) {
                unencodable_records.push_back({i, unencodable});
                continue;
            }
        }
        *p++ = '\r', *p++ = '\n', *p++ = '\r', *p++ = '\n';
        out.done(p);
    }
    out.append("\r\n");
    return unencodable_records;
}

}  // namespace quillmere::exchange
