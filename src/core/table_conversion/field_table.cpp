#include "core/table_conversion/field_table.hpp"

#include <optional>
#include <string_view>

#include "core/encoding/hex.hpp"
#include "core/encoding/markers.hpp"
#include "core/text/gbk.hpp"
#include "core/text/lines.hpp"

namespace quillmere::table_conversion {
namespace {

constexpr std::u16string_view kLineBreakTag = u"换行";
constexpr std::uint32_t kMaxParameterBytes = 65535;

using Failure = Unexpected<ConvertFailure>;

Failure refuse(Refusal cause, std::size_t line, char32_t character = 0) {
    return unexpected(ConvertFailure{cause, line, character, false});
}

// A key of one or two bytes, as upper-case digits.
Expected<std::u16string, Refusal> parse_key(std::u16string_view key) {
    if (key.empty() || !is_all_hex(key)) return unexpected(Refusal::bad_key);
    if (key.size() > 4) return unexpected(Refusal::long_key);
    if (key.size() % 2 != 0) return unexpected(Refusal::odd_key);
    std::u16string upper(key);
    for (char16_t& c : upper)
        if (c >= u'a' && c <= u'f') c = static_cast<char16_t>(c - u'a' + u'A');
    return upper;
}

// "N" of a "$" line: decimal digits, at most kMaxParameterBytes.
std::optional<std::uint32_t> parameter_count(std::u16string_view digits) {
    if (digits.empty() || digits.size() > 5) return std::nullopt;
    std::uint32_t value = 0;
    for (char16_t c : digits) {
        if (c < u'0' || c > u'9') return std::nullopt;
        value = value * 10 + static_cast<std::uint32_t>(c - u'0');
    }
    if (value > kMaxParameterBytes) return std::nullopt;
    return value;
}

// A tag must read back as a tag: not an end or jump code, no braces (a
// script could not name it), not a marker's keyword.
bool usable_as_tag(std::u16string_view label) {
    if (label == u"over" || label.starts_with(u"turn")) return false;
    if (label.find_first_of(u"{}") != std::u16string_view::npos) return false;
    return !label.starts_with(kEndWord) && !label.starts_with(kJumpWord);
}

bool is_blank(std::u16string_view line) { return line.find_first_not_of(u" \t") == std::u16string_view::npos; }

std::optional<char32_t> unencodable(std::u16string_view text) {
    auto bytes = text::encode_gbk(text);
    if (bytes) return std::nullopt;
    return bytes.error().character;
}

// "KEY=VALUE", or "KEY" alone.
struct KeyValue {
    std::u16string_view key, value;
    bool has_value = false;
};

KeyValue split(std::u16string_view text) {
    const std::size_t equals = text.find(u'=');
    if (equals == std::u16string_view::npos) return {text, {}, false};
    return {text.substr(0, equals), text.substr(equals + 1), true};
}

class Converter {
public:
    explicit Converter(bool gbk_only) : gbk_only_(gbk_only) {}

    std::optional<ConvertFailure> line(const SourceLine& source) {
        const std::u16string_view text = source.text;
        number_ = source.number;
        if (is_blank(text)) {
            ++out_.blanks;
            return std::nullopt;
        }
        switch (text.front()) {
        case u'#': ++out_.comments; return std::nullopt;
        case u'-': ++out_.headers; return std::nullopt;
        case u'@':
            if (seen_table_id_) return fail(Refusal::second_table_id);
            seen_table_id_ = true;
            ++out_.headers;
            return std::nullopt;
        case u'!': return fail(Refusal::table_switch);
        case u'%': return fail(Refusal::bit_entry);
        case u'/': return end_code(text.substr(1));
        case u'*': return line_break(text.substr(1));
        case u'$': return control_code(text.substr(1));
        default: return character(text);
        }
    }

    ConvertedTable take() { return std::move(out_); }

private:
    std::optional<ConvertFailure> fail(Refusal cause, char32_t character = 0) {
        return ConvertFailure{cause, number_, character, false};
    }

    // Files `value` under `key` in the single-byte or double-byte list; the
    // line written.
    const std::u16string& add(std::vector<std::u16string>& one_byte, std::vector<std::u16string>& two_bytes,
                              const std::u16string& key, std::u16string_view value) {
        auto& list = key.size() == 2 ? one_byte : two_bytes;
        list.push_back(key + u"=" + std::u16string(value));
        return list.back();
    }

    std::optional<ConvertFailure> character(std::u16string_view text) {
        const KeyValue parts = split(text);
        if (!parts.has_value) return fail(Refusal::no_separator);
        auto key = parse_key(parts.key);
        if (!key) return fail(key.error());
        if (parts.value.empty()) return fail(Refusal::empty_value);
        if (auto c = gbk_only_ ? unencodable(parts.value) : std::nullopt) return fail(Refusal::unencodable, *c);
        add(out_.table1, out_.table2, *key, parts.value);
        return std::nullopt;
    }

    std::optional<ConvertFailure> end_code(std::u16string_view text) {
        const KeyValue parts = split(text);
        auto key = parse_key(parts.key);
        if (!key) return fail(key.error());
        note_label(add(out_.filter1, out_.filter2, *key, u"over"), parts.value);
        return std::nullopt;
    }

    std::optional<ConvertFailure> line_break(std::u16string_view text) {
        const KeyValue parts = split(text);
        auto key = parse_key(parts.key);
        if (!key) return fail(key.error());
        const std::u16string_view tag = parts.value.empty() ? kLineBreakTag : parts.value;
        if (!usable_as_tag(tag)) return fail(Refusal::bad_label);
        if (auto c = gbk_only_ ? unencodable(tag) : std::nullopt) return fail(Refusal::unencodable, *c);
        add(out_.filter1, out_.filter2, *key, tag);
        return std::nullopt;
    }

    std::optional<ConvertFailure> control_code(std::u16string_view text) {
        const KeyValue parts = split(text);
        auto key = parse_key(parts.key);
        if (!key) return fail(key.error());
        const std::size_t comma = parts.value.rfind(u',');
        if (comma == std::u16string_view::npos) return fail(Refusal::bad_count);
        auto count = parameter_count(parts.value.substr(comma + 1));
        if (!count) return fail(Refusal::bad_count);
        std::u16string turn = u"turn";
        for (char c : std::to_string(*count)) turn += static_cast<char16_t>(c);
        note_label(add(out_.filter1, out_.filter2, *key, turn), parts.value.substr(0, comma));
        return std::nullopt;
    }

    // The filter line written keeps no name; the report does.
    void note_label(const std::u16string& written, std::u16string_view label) {
        if (!label.empty()) out_.labels.push_back({number_, written, std::u16string(label)});
    }

    ConvertedTable out_;
    std::size_t number_ = 0;
    bool seen_table_id_ = false;
    bool gbk_only_ = true;
};

}  // namespace

Expected<ConvertedTable, ConvertFailure> convert_lines(std::span<const SourceLine> lines, text::Encoding output) {
    Converter converter(output == text::Encoding::gbk);
    for (const SourceLine& line : lines)
        if (auto failure = converter.line(line)) return unexpected(*failure);
    ConvertedTable converted = converter.take();
    if (converted.table1.empty() && converted.table2.empty() && converted.filter1.empty() && converted.filter2.empty())
        return refuse(Refusal::no_entries, 0);
    return converted;
}

Expected<ConvertedTable, ConvertFailure> convert_table(std::span<const std::uint8_t> bytes, SourceEncoding encoding,
                                                       text::Encoding output) {
    auto source = read_table_source(bytes, encoding);
    if (!source) return unexpected(ConvertFailure{Refusal::undecodable, source.error().line, 0, source.error().utf8});
    auto converted = convert_lines(source->lines, output);
    if (converted) converted->utf8 = source->utf8;
    return converted;
}

std::u16string file_text(std::span<const std::u16string> lines) {
    std::u16string text;
    for (const std::u16string& line : lines) {
        text += line;
        text += text::kLineEnd;
    }
    return text;
}

}  // namespace quillmere::table_conversion
