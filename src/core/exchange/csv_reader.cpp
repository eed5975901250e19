// CSV tables as RFC 4180 writes them (and as spreadsheets save them: bare
// LF line ends, a byte-order mark, code page 936 from old ones).
#include <algorithm>
#include <array>
#include <optional>
#include <vector>

#include "core/exchange/reader.hpp"
#include "core/exchange/utf8.hpp"
#include "core/memory/large_buffer.hpp"
#include "core/text/gbk.hpp"

namespace quillmere::exchange {
namespace {

enum Column { kAddress, kSource, kTarget, kColumns };

// Where the columns the units need stand in a row.
using ColumnPlaces = std::array<std::optional<std::size_t>, kColumns>;

class CsvReader {
public:
    CsvReader(std::string_view bytes, UnitFile& file) : bytes_(bytes), file_(file) {}

    void read() {
        if (bytes_.empty()) return;  // no header, no units
        std::vector<Piece> fields;
        if (!row(fields)) return file_.malformed(1);
        const std::size_t columns = fields.size();
        const std::optional<ColumnPlaces> places = header(fields);
        file_.pool.clear();
        if (!places) file_.malformed(1);
        while (position_ < bytes_.size()) {
            const std::size_t line = line_;
            const std::size_t pool_size = file_.pool.size();
            const bool well_formed = row(fields);
            if (!well_formed) file_.malformed(line);
            const bool blank_row = std::all_of(fields.begin(), fields.end(), [](Piece p) { return p.size == 0; });
            if (!well_formed || !places || blank_row) {
                file_.pool.resize(pool_size);
                continue;
            }
            if (fields.size() != columns || fields[*(*places)[kAddress]].size == 0) {
                file_.pool.resize(pool_size);
                file_.malformed(line);
                continue;
            }
            UnitIn unit;
            unit.line = line;
            unit.key = fields[*(*places)[kAddress]];
            unit.target = fields[*(*places)[kTarget]];
            if ((*places)[kSource]) {
                unit.source = fields[*(*places)[kSource]];
                unit.has_source = true;
            }
            file_.units.push_back(unit);
        }
    }

private:
    // The column names, as the header row gives them, trimmed and in any case.
    std::optional<ColumnPlaces> header(const std::vector<Piece>& fields) const {
        static constexpr std::array<std::u16string_view, kColumns> kNames{u"address", u"source", u"target"};
        ColumnPlaces places;
        std::vector<std::u16string> seen;
        for (std::size_t i = 0; i < fields.size(); ++i) {
            std::u16string name(file_.text(fields[i]));
            while (!name.empty() && (name.back() == u' ' || name.back() == u'\t')) name.pop_back();
            while (!name.empty() && (name.front() == u' ' || name.front() == u'\t')) name.erase(0, 1);
            for (char16_t& c : name)
                if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
            if (std::find(seen.begin(), seen.end(), name) != seen.end()) return std::nullopt;
            seen.push_back(name);
            for (std::size_t column = 0; column < kColumns; ++column)
                if (name == kNames[column]) places[column] = i;
        }
        if (!places[kAddress] || !places[kTarget]) return std::nullopt;
        return places;
    }

    // A line end at bytes_[i]: CR LF, LF or a lone CR; its size, or 0.
    std::size_t line_end(std::size_t i) const {
        if (i >= bytes_.size()) return 0;
        if (bytes_[i] == '\n') return 1;
        if (bytes_[i] != '\r') return 0;
        return i + 1 < bytes_.size() && bytes_[i + 1] == '\n' ? 2 : 1;
    }

    // The fields of the row at position_, decoded onto the pool; false when
    // the row is not well-formed, position_ then after it.
    bool row(std::vector<Piece>& fields) {
        fields.clear();
        bool ok = true;
        for (;;) {
            Piece piece{file_.pool.size(), 0};
            if (position_ < bytes_.size() && bytes_[position_] == '"') {
                ok = quoted_field() && ok;
            } else {
                std::size_t end = position_;
                while (end < bytes_.size() && bytes_[end] != ',' && bytes_[end] != '\r' && bytes_[end] != '\n') ++end;
                ok = utf8::append_decoded(file_.pool, bytes_.substr(position_, end - position_)) && ok;
                position_ = end;
            }
            piece.size = file_.pool.size() - piece.offset;
            fields.push_back(piece);
            if (position_ < bytes_.size() && bytes_[position_] == ',') {
                ++position_;
                continue;
            }
            if (const std::size_t end = line_end(position_)) {
                position_ += end;
                ++line_;
            }
            return ok;
        }
    }

    // A field in quotes, "" standing for one quote; what follows its
    // closing quote must end the field.
    bool quoted_field() {
        ++position_;
        bool decoded = true;
        for (;;) {
            const std::size_t quote = bytes_.find('"', position_);
            if (quote == std::string_view::npos) {
                position_ = bytes_.size();
                return false;
            }
            count_lines(position_, quote);
            // A quote is ASCII: the runs between quotes decode on their own.
            decoded = utf8::append_decoded(file_.pool, bytes_.substr(position_, quote - position_)) && decoded;
            position_ = quote + 1;
            if (position_ < bytes_.size() && bytes_[position_] == '"') {
                file_.pool.push_back(u'"');
                ++position_;
                continue;
            }
            break;
        }
        if (position_ == bytes_.size() || bytes_[position_] == ',' || line_end(position_)) return decoded;
        // Text after the closing quote: the rest of the line is skipped.
        const std::size_t end = std::min(bytes_.find_first_of("\r\n", position_), bytes_.size());
        position_ = end;
        return false;
    }

    void count_lines(std::size_t from, std::size_t to) {
        for (std::size_t i = from; i < to; ++i)
            if (bytes_[i] == '\n' || (bytes_[i] == '\r' && (i + 1 >= to || bytes_[i + 1] != '\n'))) ++line_;
    }

    std::string_view bytes_;
    UnitFile& file_;
    std::size_t position_ = 0;
    std::size_t line_ = 1;
};

// Where the first byte that does not start a code page 936 character stands.
std::optional<std::size_t> first_not_gbk(std::string_view bytes) {
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto byte = static_cast<std::uint8_t>(bytes[i]);
        if (text::decode_gbk_code(byte)) {
            ++i;
        } else if (i + 1 < bytes.size() &&
                   text::decode_gbk_code(static_cast<std::uint16_t>(byte << 8 | static_cast<std::uint8_t>(bytes[i + 1])))) {
            i += 2;
        } else {
            return i;
        }
    }
    return std::nullopt;
}

// The line, from 1, that bytes[offset] stands on.
std::size_t line_of(std::string_view bytes, std::size_t offset) {
    std::size_t line = 1;
    for (std::size_t i = 0; i < offset; ++i)
        if (bytes[i] == '\n' || (bytes[i] == '\r' && (i + 1 >= bytes.size() || bytes[i + 1] != '\n'))) ++line;
    return line;
}

}  // namespace

UnitFile read_csv(std::string_view bytes, CsvEncoding fallback) {
    UnitFile file;
    std::string converted;
    if (bytes.starts_with(utf8::kByteOrderMark)) {
        bytes.remove_prefix(utf8::kByteOrderMark.size());
    } else if (fallback == CsvEncoding::gbk && utf8::first_invalid(bytes)) {
        // Code page 936 that does not decode whole would put substitutes
        // into the translation: the line is named instead.
        if (const auto bad = first_not_gbk(bytes)) {
            file.malformed(line_of(bytes, *bad));
            return file;
        }
        const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
        converted = text::to_utf8(text::decode_gbk(std::span(data, bytes.size())).text);
        bytes = converted;
    }
    memory::reserve_large(file.pool, bytes.size());  // no text takes more units than its bytes
    memory::reserve_large(file.units, bytes.size() / 64 + 16);  // more only for units of a few bytes each
    CsvReader(bytes, file).read();
    file.sort_malformed();
    return file;
}

}  // namespace quillmere::exchange
