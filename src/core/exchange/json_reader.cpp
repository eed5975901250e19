// JSON (RFC 8259) as ParaTranz exchanges it: one array of objects. A syntax
// error ends the reading at its line; an object that is well-formed JSON
// but no unit is named and passed over.
#include <optional>

#include "core/exchange/reader.hpp"
#include "core/exchange/utf8.hpp"
#include "core/memory/large_buffer.hpp"

namespace quillmere::exchange {
namespace {

// Deeper nesting than this, inside members no unit uses, is refused.
constexpr int kMaxDepth = 64;

int hex_value(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool digit(char c) { return c >= '0' && c <= '9'; }

class JsonReader {
public:
    JsonReader(std::string_view bytes, UnitFile& file) : bytes_(bytes), file_(file) {}

    void read() {
        space();
        if (!take('[')) return broken();
        space();
        if (take(']')) return end();
        for (;;) {
            if (!element()) return broken();
            space();
            if (take(']')) return end();
            if (!take(',')) return broken();
            space();
        }
    }

private:
    void broken() { file_.malformed(line_); }

    void end() {
        space();
        if (position_ != bytes_.size()) broken();
    }

    bool at(char c) const { return position_ < bytes_.size() && bytes_[position_] == c; }
    bool take(char c) {
        if (!at(c)) return false;
        ++position_;
        return true;
    }

    void space() {
        while (position_ < bytes_.size()) {
            const char c = bytes_[position_];
            if (c == '\n') {
                ++line_;
            } else if (c != ' ' && c != '\t' && c != '\r') {
                return;
            }
            ++position_;
        }
    }

    // One element of the array; false on a syntax error.
    bool element() {
        const std::size_t line = line_;
        if (!at('{')) {
            file_.malformed(line);  // no object, no unit
            return value(0);
        }
        ++position_;
        const std::size_t pool_size = file_.pool.size();
        UnitIn unit;
        unit.line = line;
        bool has_key = false, has_target = false, ok = true;
        space();
        if (!take('}')) {
            for (;;) {
                space();
                const std::size_t member_line = line_;
                name_.clear();
                if (!string(&name_)) return false;
                space();
                if (!take(':')) return false;
                space();
                Piece* piece = nullptr;
                bool* seen = nullptr;
                const std::u16string_view name(name_.data(), name_.size());
                if (name == u"key") piece = &unit.key, seen = &has_key;
                if (name == u"original") piece = &unit.source, seen = &unit.has_source;
                if (name == u"translation") piece = &unit.target, seen = &has_target;
                if (!piece) {
                    if (!value(0)) return false;
                } else if (*seen || (!at('"') && !(piece == &unit.target && at('n')))) {
                    // Twice, or not a string: which text would count?
                    if (ok) file_.malformed(member_line);
                    ok = false;
                    if (!value(0)) return false;
                } else if (at('n')) {
                    if (!literal("null")) return false;
                    *seen = true;
                } else {
                    piece->offset = file_.pool.size();
                    if (!string(&file_.pool)) return false;
                    piece->size = file_.pool.size() - piece->offset;
                    *seen = true;
                }
                space();
                if (take('}')) break;
                if (!take(',')) return false;
            }
        }
        if (ok && (!has_key || unit.key.size == 0)) {
            file_.malformed(line);
            ok = false;
        }
        if (ok) {
            file_.units.push_back(unit);
        } else {
            file_.pool.resize(pool_size);
        }
        return true;
    }

    // Any value, kept nowhere.
    bool value(int depth) {
        if (depth > kMaxDepth || position_ >= bytes_.size()) return false;
        switch (bytes_[position_]) {
        case '"': return string(nullptr);
        case '{': return container('}', depth, true);
        case '[': return container(']', depth, false);
        case 't': return literal("true");
        case 'f': return literal("false");
        case 'n': return literal("null");
        default: return number();
        }
    }

    bool container(char close, int depth, bool members) {
        ++position_;
        space();
        if (take(close)) return true;
        for (;;) {
            space();
            if (members) {
                if (!string(nullptr)) return false;
                space();
                if (!take(':')) return false;
                space();
            }
            if (!value(depth + 1)) return false;
            space();
            if (take(close)) return true;
            if (!take(',')) return false;
        }
    }

    bool literal(std::string_view word) {
        if (bytes_.substr(position_, word.size()) != word) return false;
        position_ += word.size();
        return true;
    }

    bool digits() {
        const std::size_t start = position_;
        while (position_ < bytes_.size() && digit(bytes_[position_])) ++position_;
        return position_ > start;
    }

    bool number() {
        take('-');
        if (!take('0') && !digits()) return false;
        if (take('.') && !digits()) return false;
        if (take('e') || take('E')) {
            if (!take('+')) take('-');
            if (!digits()) return false;
        }
        return true;
    }

    // Four hexadecimal digits after "\u".
    std::optional<char16_t> unit_escape() {
        if (bytes_.size() - position_ < 4) return std::nullopt;
        unsigned value = 0;
        for (int k = 0; k < 4; ++k) {
            const int digit_value = hex_value(bytes_[position_++]);
            if (digit_value < 0) return std::nullopt;
            value = value * 16 + static_cast<unsigned>(digit_value);
        }
        return static_cast<char16_t>(value);
    }

    // A string, appended to `out` when given. A lone surrogate is no
    // character any script can hold, and is refused with the syntax errors.
    bool string(TextPool* out) {
        if (!take('"')) return false;
        for (;;) {
            // A run of plain characters, decoded (or only checked) at once.
            std::size_t end = position_;
            while (end < bytes_.size()) {
                const auto byte = static_cast<std::uint8_t>(bytes_[end]);
                if (byte == '"' || byte == '\\' || byte < 0x20) break;
                ++end;
            }
            if (end > position_) {
                const std::string_view run = bytes_.substr(position_, end - position_);
                if (out ? !utf8::append_decoded(*out, run) : utf8::first_invalid(run).has_value()) return false;
                position_ = end;
            }
            if (position_ >= bytes_.size()) return false;
            if (take('"')) return true;
            if (!at('\\') || !escape(out)) return false;  // a control character, or a bad escape
        }
    }

    bool escape(TextPool* out) {
        if (++position_ >= bytes_.size()) return false;
        char16_t c = 0;
        switch (bytes_[position_++]) {
        case '"': c = u'"'; break;
        case '\\': c = u'\\'; break;
        case '/': c = u'/'; break;
        case 'b': c = u'\b'; break;
        case 'f': c = u'\f'; break;
        case 'n': c = u'\n'; break;
        case 'r': c = u'\r'; break;
        case 't': c = u'\t'; break;
        case 'u': {
            const auto unit = unit_escape();
            if (!unit || (*unit >= 0xDC00 && *unit <= 0xDFFF)) return false;
            if (*unit >= 0xD800 && *unit <= 0xDBFF) {
                if (!literal("\\u")) return false;
                const auto low = unit_escape();
                if (!low || *low < 0xDC00 || *low > 0xDFFF) return false;
                if (out) out->push_back(*unit), out->push_back(*low);
                return true;
            }
            c = *unit;
            break;
        }
        default: return false;
        }
        if (out) out->push_back(c);
        return true;
    }

    std::string_view bytes_;
    UnitFile& file_;
    std::size_t position_ = 0;
    std::size_t line_ = 1;
    TextPool name_;
};

}  // namespace

UnitFile read_json(std::string_view bytes) {
    UnitFile file;
    if (bytes.starts_with(utf8::kByteOrderMark)) bytes.remove_prefix(utf8::kByteOrderMark.size());
    memory::reserve_large(file.pool, bytes.size());  // no text takes more units than its bytes
    memory::reserve_large(file.units, bytes.size() / 64 + 16);  // more only for units of a few bytes each
    JsonReader(bytes, file).read();
    file.sort_malformed();
    return file;
}

UnitFile read_units(Format format, std::string_view bytes, CsvEncoding csv_fallback) {
    switch (format) {
    case Format::po: return read_po(bytes);
    case Format::csv: return read_csv(bytes, csv_fallback);
    case Format::json: return read_json(bytes);
    }
    return {};
}

}  // namespace quillmere::exchange
