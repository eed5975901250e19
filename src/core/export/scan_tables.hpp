#pragma once
// What the export scan reads a code as, decided once per export from the
// tables and filters: each code's kind and, for a code read as text, its
// piece of the output, encoded once in the output's units (characters for
// the export text, bytes for the export file).

#include <array>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "core/encoding/code_table.hpp"
#include "core/encoding/filter.hpp"
#include "core/encoding/markers.hpp"
#include "core/export/exportrange.hpp"
#include "core/text/gbk.hpp"

namespace quillmere {

namespace export_scan {

// What a code is, decided once per export from the filters and tables of the
// scan, so that the loop reads one small array instead of the text slots.
// Tags and characters come last: both are read as text (see is_text).
enum class Code : std::uint8_t { none, end, jump, tag, character };

bool is_text(Code code) { return code >= Code::tag; }

Code code_of(const FilterEntry* entry, const std::u16string* value) {
    if (entry != nullptr) {
        switch (entry->kind) {
        case ControlKind::end: return Code::end;
        case ControlKind::jump: return Code::jump;
        case ControlKind::tag: return Code::tag;
        case ControlKind::none: break;
        }
    }
    return value != nullptr && !value->empty() ? Code::character : Code::none;
}

// The scan writes the export text as characters (UTF-16) or as the bytes of
// the export file, each piece encoded once before the scan. A character
// takes at most this many units of the output.
template <class Unit>
inline constexpr std::size_t kUnitsPerChar = std::is_same_v<Unit, char16_t> ? 1 : 3;

// The text a code shows when it is read as text (a tag, a character, or the
// character a jump code stands for when its parameters are missing), in
// units of the output, kept in one pool so that appending it is a plain copy.
// The characters of the export text are units there; bytes need their count
// kept beside them.
template <class Unit>
struct Piece {
    std::uint32_t offset = 0;  // in the pool; the character itself when length is 1
    std::uint32_t length = 0;  // units, and characters
    std::uint32_t characters() const { return length; }
    static Piece make(std::uint32_t offset, std::uint32_t length, std::uint32_t) { return {offset, length}; }
};

template <>
struct Piece<std::uint8_t> {
    std::uint32_t offset = 0;  // in the pool; the bytes themselves when chars is 1
    std::uint32_t length = 0;  // bytes
    std::uint32_t chars = 0;   // characters of the export text
    std::uint32_t characters() const { return chars; }
    static Piece make(std::uint32_t offset, std::uint32_t length, std::uint32_t chars) { return {offset, length, chars}; }
};

// The parts of the markers that are not ASCII, in units of the output.
template <class Unit>
struct MarkerWords {
    std::vector<Unit> end_open;   // "{结束符"
    std::vector<Unit> jump_open;  // "{跳跃符"
    std::vector<Unit> colon;      // "："
};

template <class Unit>
Unit* put(Unit* out, const std::vector<Unit>& units) {
    return std::copy(units.begin(), units.end(), out);
}

template <class Unit>
Unit* put_hex(Unit* out, std::span<const std::uint8_t> bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    for (std::uint8_t byte : bytes) {
        *out++ = static_cast<Unit>(kDigits[byte >> 4]);
        *out++ = static_cast<Unit>(kDigits[byte & 0x0F]);
    }
    return out;
}

// Encodes the pieces and marker words of a scan into its output's units;
// false from `ok` once a text could not be encoded.
class TextEncoder {
public:
    std::vector<char16_t> operator()(std::u16string_view text) { return {text.begin(), text.end()}; }
    bool ok() const { return true; }
};

class ByteEncoder {
public:
    explicit ByteEncoder(text::Encoding encoding) : encoding_(encoding) {}
    std::vector<std::uint8_t> operator()(std::u16string_view text) {
        auto bytes = text::encode(text, encoding_);
        if (!bytes) {
            ok_ = false;
            return {};
        }
        return std::move(*bytes);
    }
    bool ok() const { return ok_; }

private:
    text::Encoding encoding_;
    bool ok_ = true;
};

// The kinds and pieces of every single-byte code and every pair.
template <class Unit>
struct ScanTables {
    static constexpr bool kCountsChars = !std::is_same_v<Unit, char16_t>;

    template <class Encoder>
    ScanTables(const CodeTables& tables, const ExportFilters& export_filters, Encoder encode)
        : filters(export_filters), pair_codes(65536, Code::none) {
        for (std::size_t byte = 0; byte < 256; ++byte) {
            const auto b = static_cast<std::uint8_t>(byte);
            const FilterEntry* entry = filters.single ? &filters.single->at(b) : nullptr;
            const std::u16string* value = tables.single ? &tables.single->at(b) : nullptr;
            single_codes[byte] = code_of(entry, value);
            single_pieces[byte] = piece_of(single_codes[byte], entry, value, encode);
        }
        if (filters.double_byte || tables.double_byte) {
            pair_pieces.resize(65536);
            for (std::size_t pair = 0; pair < 65536; ++pair) {
                const auto first = static_cast<std::uint8_t>(pair >> 8);
                const auto second = static_cast<std::uint8_t>(pair & 0xFF);
                const FilterEntry* entry = filters.double_byte ? &filters.double_byte->at(first, second) : nullptr;
                const std::u16string* value = tables.double_byte ? &tables.double_byte->at(first, second) : nullptr;
                pair_codes[pair] = code_of(entry, value);
                pair_pieces[pair] = piece_of(pair_codes[pair], entry, value, encode);
            }
        }
        words.end_open = encode(u"{" + std::u16string(kEndWord));
        words.jump_open = encode(u"{" + std::u16string(kJumpWord));
        words.colon = encode(std::u16string(1, kFullWidthColon));
        encodable = encode.ok();
    }

    // Whether a rule reads the byte at `position`, as the rules would decide
    // it; a jump count that is not a number counts as read (it fails there).
    bool read_by_a_rule(std::span<const std::uint8_t> rom, std::int64_t position) const {
        const auto size = static_cast<std::int64_t>(rom.size());
        auto byte_at = [&](std::int64_t offset) { return rom[static_cast<std::size_t>(offset)]; };
        const std::int64_t offset = position - 1;
        const std::uint8_t b1 = byte_at(offset);
        switch (single_codes[b1]) {
        case Code::none: break;
        case Code::jump:
            if (jump_reads(size, filters.single->at(b1), offset, 1) || single_pieces[b1].length != 0) return true;
            break;
        default: return true;
        }
        if (offset + 1 >= size) return false;
        const std::size_t pair = static_cast<std::size_t>(b1) << 8 | byte_at(offset + 1);
        switch (pair_codes[pair]) {
        case Code::none: return false;
        case Code::jump:
            return jump_reads(size, filters.double_byte->at(b1, byte_at(offset + 1)), offset, 2) ||
                   pair_pieces[pair].length != 0;
        default: return true;
        }
    }

    static bool jump_reads(std::int64_t size, const FilterEntry& entry, std::int64_t offset, std::int64_t code_size) {
        return entry.jump_count == kJumpCountNotANumber || offset + code_size + entry.jump_count <= size;
    }

    const ExportFilters& filters;
    std::array<Code, 256> single_codes{};
    std::vector<Code> pair_codes;
    std::array<Piece<Unit>, 256> single_pieces{};
    std::vector<Piece<Unit>> pair_pieces;
    std::vector<Unit> pool;
    MarkerWords<Unit> words;
    // Whether every piece could be put in the output's units.
    bool encodable = true;

private:
    template <class Encoder>
    Piece<Unit> piece_of(Code code, const FilterEntry* entry, const std::u16string* value, Encoder& encode) {
        const std::u16string* text = code == Code::tag ? &entry->text : value;
        if (text == nullptr || text->empty()) return {};
        const std::vector<Unit> units = encode(*text);
        if (units.empty()) return {};
        const auto chars = static_cast<std::uint32_t>(text->size());
        const auto length = static_cast<std::uint32_t>(units.size());
        // A piece of one character holds its units itself: the character,
        // or its bytes in the order they are written.
        if (chars == 1) {
            std::uint32_t inline_units = 0;
            if constexpr (kCountsChars)
                std::memcpy(&inline_units, units.data(), units.size());
            else
                inline_units = units[0];
            return Piece<Unit>::make(inline_units, length, 1);
        }
        const auto piece = Piece<Unit>::make(static_cast<std::uint32_t>(pool.size()), length, chars);
        pool.insert(pool.end(), units.begin(), units.end());
        return piece;
    }

};

}  // namespace export_scan
}  // namespace quillmere
