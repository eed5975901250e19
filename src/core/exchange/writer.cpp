#include "core/exchange/writer.hpp"

#include "core/exchange/gbk_text.hpp"
#include "core/exchange/script_writer.hpp"
#include "core/exchange/utf8.hpp"

namespace quillmere::exchange {
namespace {

using utf8::EscapeTable;

// Octal, as gettext reads it, for a control character without a C escape.
constexpr std::string_view kOctal[32] = {
    "\\000", "\\001", "\\002", "\\003", "\\004", "\\005", "\\006", "\\007", "\\010", "\\011", "\\012",
    "\\013", "\\014", "\\015", "\\016", "\\017", "\\020", "\\021", "\\022", "\\023", "\\024", "\\025",
    "\\026", "\\027", "\\030", "\\031", "\\032", "\\033", "\\034", "\\035", "\\036", "\\037"};

constexpr EscapeTable po_escapes() {
    EscapeTable table{};
    for (int c = 0; c < 0x20; ++c) table[c] = kOctal[c];
    table['\a'] = "\\a", table['\b'] = "\\b", table['\t'] = "\\t", table['\n'] = "\\n";
    table['\v'] = "\\v", table['\f'] = "\\f", table['\r'] = "\\r";
    table['"'] = "\\\"", table['\\'] = "\\\\", table[0x7F] = "\\177";
    return table;
}

// \u00XX for a control character without a short escape.
constexpr std::string_view kUnicode[32] = {
    "\\u0000", "\\u0001", "\\u0002", "\\u0003", "\\u0004", "\\u0005", "\\u0006", "\\u0007",
    "\\u0008", "\\u0009", "\\u000a", "\\u000b", "\\u000c", "\\u000d", "\\u000e", "\\u000f",
    "\\u0010", "\\u0011", "\\u0012", "\\u0013", "\\u0014", "\\u0015", "\\u0016", "\\u0017",
    "\\u0018", "\\u0019", "\\u001a", "\\u001b", "\\u001c", "\\u001d", "\\u001e", "\\u001f"};

constexpr EscapeTable json_escapes() {
    EscapeTable table{};
    for (int c = 0; c < 0x20; ++c) table[c] = kUnicode[c];
    table['\b'] = "\\b", table['\t'] = "\\t", table['\n'] = "\\n", table['\f'] = "\\f", table['\r'] = "\\r";
    table['"'] = "\\\"", table['\\'] = "\\\\";
    return table;
}

constexpr EscapeTable csv_quoted_escapes() {
    EscapeTable table{};
    table['"'] = "\"\"";
    return table;
}

constexpr EscapeTable kPoEscapes = po_escapes();
constexpr EscapeTable kJsonEscapes = json_escapes();
constexpr EscapeTable kCsvQuoted = csv_quoted_escapes();

// What every PO editor and msgfmt --check look for in the header entry.
constexpr std::string_view kPoHeader =
    "msgid \"\"\n"
    "msgstr \"\"\n"
    "\"Project-Id-Version: \\n\"\n"
    "\"PO-Revision-Date: \\n\"\n"
    "\"Last-Translator: \\n\"\n"
    "\"Language-Team: \\n\"\n"
    "\"Language: zh_CN\\n\"\n"
    "\"MIME-Version: 1.0\\n\"\n"
    "\"Content-Type: text/plain; charset=UTF-8\\n\"\n"
    "\"Content-Transfer-Encoding: 8bit\\n\"\n";

constexpr std::string_view kCsvHeader = "address,length,source,target,comment\r\n";

// Quoted when a spreadsheet would otherwise split it, join it or trim it.
// The characters looked for are never part of a two-byte code.
template <class Char>
bool csv_needs_quotes(std::basic_string_view<Char> field) {
    if (field.empty()) return false;
    const auto blank = [](Char c) { return c == Char(' ') || c == Char('\t'); };
    if (blank(field.front()) || blank(field.back())) return true;
    for (const Char c : field)
        if (c == Char(',') || c == Char('"') || c == Char('\r') || c == Char('\n')) return true;
    return false;
}

char* put_escaped(char* out, std::u16string_view text, const EscapeTable& escapes) {
    return utf8::put_escaped(out, text, escapes);
}
char* put_escaped(char* out, std::string_view bytes, const EscapeTable& escapes) {
    return gbk::put_escaped(out, bytes, escapes);
}

}  // namespace

Writer::Writer(Format format, CsvEncoding csv_encoding) : format_(format), csv_encoding_(csv_encoding) {
    switch (format_) {
    case Format::po: out_.append(kPoHeader); break;
    case Format::csv:
        if (csv_encoding_ == CsvEncoding::utf8) out_.append(utf8::kByteOrderMark);
        out_.append(kCsvHeader);
        break;
    case Format::json: out_.append("["); break;
    }
}

// Writes `before`, the escaped text, then `after`; nothing, for bytes that
// are no code page 936 text.
template <class Char>
void Writer::put_between(std::string_view before, std::basic_string_view<Char> text, const EscapeTable& escapes,
                         std::string_view after) {
    char* p = out_.room(before.size() + text.size() * utf8::kMaxBytesPerUnit + after.size());
    p = std::copy(before.begin(), before.end(), p);
    p = put_escaped(p, text, escapes);
    if (!p) {
        undecodable_ = true;
        return;
    }
    out_.done(std::copy(after.begin(), after.end(), p));
}

template <class Char>
void Writer::po_unit(const BasicUnitOut<Char>& unit) {
    // One "#." line per line of the note.
    static constexpr EscapeTable kNone{};
    std::u16string_view note = unit.context;
    while (!note.empty()) {
        std::size_t end = note.find_first_of(u"\r\n");
        if (end == std::u16string_view::npos) end = note.size();
        put_between("\n#. ", note.substr(0, end), kNone, "");
        if (end < note.size() && note[end] == u'\r' && end + 1 < note.size() && note[end + 1] == u'\n') ++end;
        note.remove_prefix(std::min(end + 1, note.size()));
    }
    put_between("\nmsgctxt \"", unit.key, kPoEscapes, "\"\nmsgid \"");
    put_between("", unit.source, kPoEscapes, "\"\nmsgstr \"");
    put_between("", unit.target, kPoEscapes, "\"\n");
}

template <class Char>
void Writer::json_unit(const BasicUnitOut<Char>& unit) {
    put_between(first_ ? "\n  {\n    \"key\": \"" : ",\n  {\n    \"key\": \"", unit.key, kJsonEscapes,
                "\",\n    \"original\": \"");
    put_between("", unit.source, kJsonEscapes, "\",\n    \"translation\": \"");
    put_between("", unit.target, kJsonEscapes, "\",\n    \"context\": \"");
    put_between("", unit.context, kJsonEscapes, "\"\n  }");
}

template <class Char>
std::optional<char32_t> Writer::csv_field(std::basic_string_view<Char> field) {
    const bool quoted = csv_needs_quotes(field);
    if (csv_encoding_ == CsvEncoding::utf8) {
        static constexpr EscapeTable kNone{};
        put_between(quoted ? "\"" : "", field, quoted ? kCsvQuoted : kNone, quoted ? "\"" : "");
        return std::nullopt;
    }
    // Code page 936: its ASCII half is ASCII, so the quoting is the same.
    if constexpr (std::is_same_v<Char, char>) {
        // The bytes are already the code page's: checked and copied.
        if (!gbk::well_formed(field)) {
            undecodable_ = true;
            return std::nullopt;
        }
        gbk_.clear();
        if (quoted) gbk_ += '"';
        for (const char c : field) {
            gbk_ += c;
            if (quoted && c == '"') gbk_ += c;
        }
        if (quoted) gbk_ += '"';
        out_.append(gbk_);
        return std::nullopt;
    } else {
        field_.clear();
        if (quoted) field_ += u'"';
        for (const char16_t c : field) {
            field_ += c;
            if (quoted && c == u'"') field_ += c;
        }
        if (quoted) field_ += u'"';
        gbk_.clear();
        const std::optional<char32_t> failed = append_gbk(gbk_, field_);
        out_.append(gbk_);
        return failed;
    }
}

template <class Char>
std::optional<char32_t> Writer::add(const BasicUnitOut<Char>& unit) {
    std::optional<char32_t> failed;
    switch (format_) {
    case Format::po: po_unit(unit); break;
    case Format::json: json_unit(unit); break;
    case Format::csv: {
        const auto field = [&](auto text, std::string_view after) {
            const std::optional<char32_t> unencodable = csv_field(text);
            if (!failed) failed = unencodable;
            out_.append(after);
        };
        field(unit.key, ",");
        field(unit.length, ",");
        field(unit.source, ",");
        field(unit.target, ",");
        field(unit.context, "\r\n");
        break;
    }
    }
    first_ = false;
    return failed;
}

template std::optional<char32_t> Writer::add<char>(const BasicUnitOut<char>&);
template std::optional<char32_t> Writer::add<char16_t>(const BasicUnitOut<char16_t>&);

Output Writer::finish() {
    if (format_ == Format::json) out_.append(first_ ? "]\n" : "\n]\n");
    return std::move(out_);
}

}  // namespace quillmere::exchange
