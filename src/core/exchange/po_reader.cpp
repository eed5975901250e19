// PO files as gettext writes and reads them: entries of comments and
// keywords, each keyword followed by one or more quoted strings.
#include "core/exchange/reader.hpp"

#include "core/exchange/utf8.hpp"
#include "core/memory/large_buffer.hpp"

namespace quillmere::exchange {
namespace {

bool blank(char c) { return c == ' ' || c == '\t'; }

std::string_view trim_left(std::string_view line) {
    std::size_t i = 0;
    while (i < line.size() && (blank(line[i]) || line[i] == '\f' || line[i] == '\v')) ++i;
    return line.substr(i);
}

int hex_value(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The byte an escape stands for (text[i] is the character after the
// backslash; i moves past the escape), or -1.
int escaped_byte(std::string_view text, std::size_t& i) {
    const char c = text[i++];
    switch (c) {
    case 'n': return '\n';
    case 't': return '\t';
    case 'r': return '\r';
    case 'a': return '\a';
    case 'b': return '\b';
    case 'f': return '\f';
    case 'v': return '\v';
    case '\\': case '"': case '\'': case '?': return c;
    case 'x': {
        int value = 0, digits = 0;
        for (; digits < 2 && i < text.size() && hex_value(text[i]) >= 0; ++digits) value = value * 16 + hex_value(text[i++]);
        return digits == 0 ? -1 : value;
    }
    default: {
        if (c < '0' || c > '7') return -1;
        int value = c - '0';
        for (int digits = 1; digits < 3 && i < text.size() && text[i] >= '0' && text[i] <= '7'; ++digits)
            value = value * 8 + (text[i++] - '0');
        return value > 0xFF ? -1 : value;
    }
    }
}

// Decodes the quoted string that `text` starts with onto `out`, escapes
// resolved, and checks that nothing but blanks follows it. Escapes of bytes
// 80-FF (UTF-8 spelled in octal) are gathered in `high` and decoded together.
bool read_quoted(std::string_view text, TextPool& out, std::string& high) {
    if (text.empty() || text[0] != '"') return false;
    high.clear();
    const auto flush = [&] {
        const bool ok = utf8::append_decoded(out, high);
        high.clear();
        return ok;
    };
    std::size_t i = 1;
    for (;;) {
        std::size_t special = i;
        while (special < text.size() && text[special] != '"' && text[special] != '\\') ++special;
        if (special == text.size()) return false;
        if (special > i && (!flush() || !utf8::append_decoded(out, text.substr(i, special - i)))) return false;
        i = special + 1;
        if (text[special] == '"') break;
        if (i == text.size()) return false;
        const int byte = escaped_byte(text, i);
        if (byte < 0) return false;
        if (byte >= 0x80) {
            high += static_cast<char>(byte);
        } else {
            if (!flush()) return false;
            out.push_back(static_cast<char16_t>(byte));
        }
    }
    if (!flush()) return false;
    for (; i < text.size(); ++i)
        if (!blank(text[i])) return false;
    return true;
}

enum class Field { none, context, id, target };

// Entry by entry; the strings go straight into the pool, the fields of an
// entry one after the other, and are taken back when the entry is no unit.
class PoReader {
public:
    explicit PoReader(UnitFile& file) : file_(file) {}

    void line(std::string_view text, std::size_t number) {
        const std::string_view line = trim_left(text);
        if (line.empty()) return finish();
        if (line[0] == '#') return comment(line, number);
        if (line[0] == '"') return continuation(line, number);
        keyword(line, number);
    }

    void finish() {
        close_field();
        if (entry_.started && !take_entry()) file_.pool.resize(entry_.pool_start);
        entry_ = Entry{};
        field_ = Field::none;
    }

private:
    struct Entry {
        bool started = false, bad = false, fuzzy = false;
        bool has_context = false, has_id = false, has_target = false;
        std::size_t line = 0, pool_start = 0;
        Piece context, id, target;
    };

    // Whether the entry became a unit; a malformed one is named.
    bool take_entry() {
        const Entry& entry = entry_;
        if (!entry.started || entry.bad) return false;
        if (!entry.has_context && entry.has_id && entry.has_target && entry.id.size == 0 && !header_seen_) {
            header_seen_ = true;  // the header entry: msgid "" without a context, once
            return false;
        }
        if (!entry.has_context || !entry.has_id || !entry.has_target || entry.context.size == 0) {
            file_.malformed(entry.line);
            return false;
        }
        UnitIn unit;
        unit.line = entry.line;
        unit.fuzzy = entry.fuzzy;
        unit.has_source = true;
        unit.key = entry.context;
        unit.source = entry.id;
        unit.target = entry.target;
        file_.units.push_back(unit);
        return true;
    }

    Piece* field_piece() {
        switch (field_) {
        case Field::context: return &entry_.context;
        case Field::id: return &entry_.id;
        case Field::target: return &entry_.target;
        case Field::none: break;
        }
        return nullptr;
    }

    void close_field() {
        if (Piece* piece = field_piece()) piece->size = file_.pool.size() - piece->offset;
        field_ = Field::none;
    }

    void open_field(Field field) {
        close_field();
        field_ = field;
        field_piece()->offset = file_.pool.size();
    }

    void start(std::size_t number) {
        if (entry_.started) return;
        entry_.started = true;
        entry_.line = number;
        entry_.pool_start = file_.pool.size();
    }

    void fail(std::size_t number) {
        if (!entry_.bad) file_.malformed(number);
        entry_.bad = true;
        field_ = Field::none;
    }

    void comment(std::string_view line, std::size_t number) {
        // A comment after the msgstr belongs to the next entry.
        if (entry_.has_target) finish();
        close_field();
        if (line.starts_with("#~")) return;  // obsolete: not a unit, whatever it holds
        start(number);
        if (!line.starts_with("#,")) return;
        std::string_view flags = line.substr(2);
        while (!flags.empty()) {
            const std::size_t comma = flags.find(',');
            std::string_view flag = trim_left(flags.substr(0, comma));
            while (!flag.empty() && blank(flag.back())) flag.remove_suffix(1);
            if (flag == "fuzzy") entry_.fuzzy = true;
            flags = comma == std::string_view::npos ? std::string_view() : flags.substr(comma + 1);
        }
    }

    void continuation(std::string_view line, std::size_t number) {
        if (entry_.bad) return;
        if (field_ == Field::none || !read_quoted(line, file_.pool, high_)) fail(number);
    }

    void keyword(std::string_view line, std::size_t number) {
        std::size_t end = 0;
        while (end < line.size() && !blank(line[end]) && line[end] != '"') ++end;
        const std::string_view word = line.substr(0, end);
        // msgctxt or msgid after a complete entry starts the next one.
        if ((word == "msgctxt" || word == "msgid") && entry_.has_target) finish();
        start(number);
        if (entry_.bad) return;
        if (word == "msgctxt" && !entry_.has_context && !entry_.has_id) {
            entry_.has_context = true;
            open_field(Field::context);
        } else if (word == "msgid" && !entry_.has_id) {
            entry_.has_id = true;
            open_field(Field::id);
        } else if (word == "msgstr" && entry_.has_id && !entry_.has_target) {
            entry_.has_target = true;
            open_field(Field::target);
        } else {
            return fail(number);  // msgid_plural, msgstr[N], a keyword twice or out of order, no keyword
        }
        if (!read_quoted(trim_left(line.substr(end)), file_.pool, high_)) fail(number);
    }

    UnitFile& file_;
    Entry entry_;
    Field field_ = Field::none;
    bool header_seen_ = false;
    std::string high_;
};

}  // namespace

UnitFile read_po(std::string_view bytes) {
    UnitFile file;
    if (bytes.starts_with(utf8::kByteOrderMark)) bytes.remove_prefix(utf8::kByteOrderMark.size());
    // No text takes more units than its bytes.
    memory::reserve_large(file.pool, bytes.size());
    memory::reserve_large(file.units, bytes.size() / 64 + 16);  // more only for units of a few bytes each
    PoReader reader(file);
    std::size_t number = 0, start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find('\n', start);
        if (end == std::string_view::npos) end = bytes.size();
        std::string_view line = bytes.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        reader.line(line, ++number);
        start = end + 1;
    }
    reader.finish();
    file.sort_malformed();
    return file;
}

}  // namespace quillmere::exchange
