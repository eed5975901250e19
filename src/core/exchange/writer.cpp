#include "core/exchange/writer.hpp"

#include "core/exchange/script_writer.hpp"
#include "core/exchange/utf8.hpp"

namespace quillmere::exchange {
namespace {

// ---- PO

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

// C escapes, as gettext reads them; other control characters in octal.
bool escape_po(char16_t c, std::string& out) {
    switch (c) {
    case u'"': out += "\\\""; return true;
    case u'\\': out += "\\\\"; return true;
    case u'\n': out += "\\n"; return true;
    case u'\r': out += "\\r"; return true;
    case u'\t': out += "\\t"; return true;
    case u'\a': out += "\\a"; return true;
    case u'\b': out += "\\b"; return true;
    case u'\f': out += "\\f"; return true;
    case u'\v': out += "\\v"; return true;
    default: break;
    }
    if (c >= 0x20 && c != 0x7F) return false;
    const char octal[] = {'\\', static_cast<char>('0' + (c >> 6)), static_cast<char>('0' + ((c >> 3) & 7)),
                          static_cast<char>('0' + (c & 7))};
    out.append(octal, 4);
    return true;
}

void po_string(std::string& out, std::string_view keyword, std::u16string_view text) {
    out += keyword;
    out += " \"";
    utf8::append_escaped(out, text, escape_po);
    out += "\"\n";
}

// One "#." line per line of the note.
void po_comment(std::string& out, std::u16string_view note) {
    std::size_t start = 0;
    while (start <= note.size()) {
        std::size_t end = note.find_first_of(u"\r\n", start);
        if (end == std::u16string_view::npos) end = note.size();
        out += "#. ";
        utf8::append(out, note.substr(start, end - start));
        out += '\n';
        if (end < note.size() && note[end] == u'\r' && end + 1 < note.size() && note[end + 1] == u'\n') ++end;
        start = end + 1;
    }
}

void po_unit(std::string& out, const UnitOut& unit) {
    out += '\n';
    if (!unit.context.empty()) po_comment(out, unit.context);
    po_string(out, "msgctxt", unit.key);
    po_string(out, "msgid", unit.source);
    po_string(out, "msgstr", unit.target);
}

// ---- CSV

constexpr std::string_view kCsvHeader = "address,length,source,target,comment\r\n";

// Quoted when a spreadsheet would otherwise split it, join it or trim it.
bool csv_needs_quotes(std::u16string_view field) {
    if (field.empty()) return false;
    const auto blank = [](char16_t c) { return c == u' ' || c == u'\t'; };
    if (blank(field.front()) || blank(field.back())) return true;
    return field.find_first_of(u",\"\r\n") != std::u16string_view::npos;
}

// A field in UTF-8; in code page 936 the quoted field is made in `scratch`
// first (the code page's ASCII half is ASCII).
std::optional<char32_t> csv_field(std::string& out, std::u16string_view field, CsvEncoding encoding,
                                  std::u16string& scratch) {
    const bool quoted = csv_needs_quotes(field);
    if (encoding == CsvEncoding::gbk) {
        if (!quoted) return append_gbk(out, field);
        scratch.assign(1, u'"');
        for (const char16_t c : field) {
            scratch += c;
            if (c == u'"') scratch += c;
        }
        scratch += u'"';
        return append_gbk(out, scratch);
    }
    if (!quoted) {
        utf8::append(out, field);
        return std::nullopt;
    }
    out += '"';
    utf8::append_escaped(out, field, [](char16_t c, std::string& into) {
        if (c != u'"') return false;
        into += "\"\"";
        return true;
    });
    out += '"';
    return std::nullopt;
}

std::optional<char32_t> csv_unit(std::string& out, const UnitOut& unit, CsvEncoding encoding,
                                 std::u16string& scratch) {
    std::optional<char32_t> failed;
    bool first = true;
    for (const std::u16string_view field : {unit.key, unit.length, unit.source, unit.target, unit.context}) {
        if (!first) out += ',';
        first = false;
        if (!failed) failed = csv_field(out, field, encoding, scratch);
    }
    out += "\r\n";
    return failed;
}

// ---- JSON

bool escape_json(char16_t c, std::string& out) {
    switch (c) {
    case u'"': out += "\\\""; return true;
    case u'\\': out += "\\\\"; return true;
    case u'\n': out += "\\n"; return true;
    case u'\r': out += "\\r"; return true;
    case u'\t': out += "\\t"; return true;
    case u'\b': out += "\\b"; return true;
    case u'\f': out += "\\f"; return true;
    default: break;
    }
    if (c >= 0x20) return false;
    constexpr char kHex[] = "0123456789abcdef";
    const char escaped[] = {'\\', 'u', '0', '0', kHex[c >> 4], kHex[c & 0xF]};
    out.append(escaped, 6);
    return true;
}

void json_member(std::string& out, std::string_view name, std::u16string_view text, bool last) {
    out += "    \"";
    out += name;
    out += "\": \"";
    utf8::append_escaped(out, text, escape_json);
    out += last ? "\"\n" : "\",\n";
}

void json_unit(std::string& out, const UnitOut& unit, bool first) {
    out += first ? "\n  {\n" : ",\n  {\n";
    json_member(out, "key", unit.key, false);
    json_member(out, "original", unit.source, false);
    json_member(out, "translation", unit.target, false);
    json_member(out, "context", unit.context, true);
    out += "  }";
}

}  // namespace

Writer::Writer(Format format, CsvEncoding csv_encoding) : format_(format), csv_encoding_(csv_encoding) {
    switch (format_) {
    case Format::po: bytes_ += kPoHeader; break;
    case Format::csv:
        if (csv_encoding_ == CsvEncoding::utf8) bytes_ += utf8::kByteOrderMark;
        bytes_ += kCsvHeader;
        break;
    case Format::json: bytes_ += '['; break;
    }
}

std::optional<char32_t> Writer::add(const UnitOut& unit) {
    std::optional<char32_t> failed;
    switch (format_) {
    case Format::po: po_unit(bytes_, unit); break;
    case Format::csv: failed = csv_unit(bytes_, unit, csv_encoding_, field_); break;
    case Format::json: json_unit(bytes_, unit, first_); break;
    }
    first_ = false;
    return failed;
}

std::string Writer::finish() {
    if (format_ == Format::json) bytes_ += first_ ? "]\n" : "\n]\n";
    return std::move(bytes_);
}

}  // namespace quillmere::exchange
