// PO files as gettext writes and reads them: entries of comments and
// keywords, each keyword followed by one or more quoted strings.
#include "core/exchange/reader.hpp"

#include "core/exchange/utf8.hpp"

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

// Appends the bytes of the quoted string that `text` starts with, escapes
// resolved, and checks that nothing but blanks follows it.
bool read_quoted(std::string_view text, std::string& out) {
    if (text.empty() || text[0] != '"') return false;
    std::size_t i = 1;
    for (;;) {
        const std::size_t special = text.find_first_of("\"\\", i);
        if (special == std::string_view::npos) return false;
        out.append(text.substr(i, special - i));
        i = special;
        if (text[i] == '"') break;
        if (++i == text.size()) return false;
        const char c = text[i++];
        switch (c) {
        case 'n': out += '\n'; break;
        case 't': out += '\t'; break;
        case 'r': out += '\r'; break;
        case 'a': out += '\a'; break;
        case 'b': out += '\b'; break;
        case 'f': out += '\f'; break;
        case 'v': out += '\v'; break;
        case '\\': case '"': case '\'': case '?': out += c; break;
        case 'x': {
            int value = 0, digits = 0;
            while (i < text.size() && hex_value(text[i]) >= 0 && digits < 2) value = value * 16 + hex_value(text[i++]), ++digits;
            if (digits == 0) return false;
            out += static_cast<char>(value);
            break;
        }
        default:
            if (c < '0' || c > '7') return false;
            int value = c - '0';
            for (int digits = 1; digits < 3 && i < text.size() && text[i] >= '0' && text[i] <= '7'; ++digits)
                value = value * 8 + (text[i++] - '0');
            if (value > 0xFF) return false;
            out += static_cast<char>(value);
            break;
        }
    }
    for (++i; i < text.size(); ++i)
        if (!blank(text[i])) return false;
    return true;
}

enum class Field { none, context, id, target };

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
        take_entry();
        // The strings keep their room for the next entry.
        entry_.started = entry_.bad = entry_.fuzzy = false;
        entry_.has_context = entry_.has_id = entry_.has_target = false;
        entry_.context.clear(), entry_.id.clear(), entry_.target.clear();
        field_ = Field::none;
    }

private:
    struct Entry {
        bool started = false, bad = false, fuzzy = false;
        bool has_context = false, has_id = false, has_target = false;
        std::size_t line = 0;
        std::string context, id, target;
    };

    void take_entry() {
        const Entry& entry = entry_;
        if (!entry.started || entry.bad) return;
        if (!entry.has_id || !entry.has_target) return file_.malformed(entry.line);
        if (!entry.has_context) {
            // The header entry: msgid "" without a context, once.
            if (entry.id.empty() && !header_seen_) {
                header_seen_ = true;
                return;
            }
            return file_.malformed(entry.line);
        }
        UnitIn unit;
        unit.line = entry.line;
        unit.fuzzy = entry.fuzzy;
        unit.has_source = true;
        const std::size_t pool_size = file_.pool.size();
        if (!add(entry.context, unit.key) || !add(entry.id, unit.source) || !add(entry.target, unit.target) ||
            unit.key.size == 0) {
            file_.pool.resize(pool_size);
            return file_.malformed(entry.line);
        }
        file_.units.push_back(unit);
    }

    bool add(const std::string& bytes, Piece& piece) {
        piece.offset = file_.pool.size();
        if (!utf8::append_decoded(file_.pool, bytes)) return false;
        piece.size = file_.pool.size() - piece.offset;
        return true;
    }

    void start(std::size_t number) {
        if (!entry_.started) entry_.line = number;
        entry_.started = true;
    }

    void fail(std::size_t number) {
        if (!entry_.bad) file_.malformed(number);
        entry_.bad = true;
        field_ = Field::none;
    }

    void comment(std::string_view line, std::size_t number) {
        // A comment after the msgstr belongs to the next entry.
        if (entry_.has_target) finish();
        field_ = Field::none;
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
        std::string* into = field_string();
        if (!into || !read_quoted(line, *into)) fail(number);
    }

    std::string* field_string() {
        switch (field_) {
        case Field::context: return &entry_.context;
        case Field::id: return &entry_.id;
        case Field::target: return &entry_.target;
        case Field::none: break;
        }
        return nullptr;
    }

    void keyword(std::string_view line, std::size_t number) {
        std::size_t end = 0;
        while (end < line.size() && !blank(line[end]) && line[end] != '"') ++end;
        const std::string_view word = line.substr(0, end);
        const std::string_view rest = trim_left(line.substr(end));
        // msgctxt or msgid after a complete entry starts the next one.
        if ((word == "msgctxt" || word == "msgid") && entry_.has_target) finish();
        start(number);
        if (entry_.bad) return;
        if (word == "msgctxt" && !entry_.has_context && !entry_.has_id) {
            entry_.has_context = true;
            field_ = Field::context;
        } else if (word == "msgid" && !entry_.has_id) {
            entry_.has_id = true;
            field_ = Field::id;
        } else if (word == "msgstr" && entry_.has_id && !entry_.has_target) {
            entry_.has_target = true;
            field_ = Field::target;
        } else {
            return fail(number);  // msgid_plural, msgstr[N], a keyword twice or out of order, no keyword
        }
        if (!read_quoted(rest, *field_string())) fail(number);
    }

    UnitFile& file_;
    Entry entry_;
    Field field_ = Field::none;
    bool header_seen_ = false;
};

}  // namespace

UnitFile read_po(std::string_view bytes) {
    UnitFile file;
    if (bytes.starts_with(utf8::kByteOrderMark)) bytes.remove_prefix(utf8::kByteOrderMark.size());
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
