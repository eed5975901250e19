#include "core/export/exportrange.hpp"

#include <algorithm>
#include <array>
#include <cassert>
#include <cstring>
#include <memory>
#include <type_traits>
#include <vector>

#include "core/encoding/markers.hpp"
#include "core/export/export_text.hpp"
#include "core/memory/large_buffer.hpp"

namespace quillmere {
namespace {

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

// The text of the run being read, with room kept in front for the record's
// header, so that a closed run goes out in one copy. Characters are
// appended here millions of times per export, so this is a bare buffer that
// always keeps room for the most units a byte a run can still cover can
// give, and for the record end: a character never has to wait for the
// buffer to grow.
template <class Unit>
class RunText {
public:
    RunText() {
        grow(0);
        clear();
    }

    // Where the next unit goes, for a loop that writes units itself; it
    // hands the new end back with `end_at`. Up to kSlack units past the end
    // may be written over.
    Unit* end() { return chars_.get() + size_; }
    void end_at(Unit* end) {
        size_ = static_cast<std::size_t>(end - chars_.get());
        assert(size_ + kSlack <= capacity_);
    }
    void append(const Unit* units, std::size_t count) {
        if (count + kSpare > capacity_ - size_) grow(count);
        std::copy(units, units + count, chars_.get() + size_);
        size_ += count;
    }
    // Room for `count` more units, to be written at once.
    Unit* extend(std::size_t count) {
        if (count + kSpare > capacity_ - size_) grow(count);
        Unit* at = chars_.get() + size_;
        size_ += count;
        return at;
    }
    void clear() { size_ = kRecordHeaderSize; }
    std::size_t size() const { return size_ - kRecordHeaderSize; }

    // The whole record of the run: its header, its text, the record end.
    std::span<const Unit> record(std::uint32_t address, std::int32_t length) {
        for (char16_t c : kRecordEnd) chars_[size_++] = static_cast<Unit>(c);
        Unit* const text = chars_.get() + kRecordHeaderSize;
        const Unit* header;
        if constexpr (std::is_same_v<Unit, char16_t>) {
            header = write_record_header(text, address, length);
        } else {
            char16_t wide[kRecordHeaderSize];
            const char16_t* const wide_end = wide + kRecordHeaderSize;
            const char16_t* const begin = write_record_header(wide + kRecordHeaderSize, address, length);
            Unit* const at = text - (wide_end - begin);
            std::transform(begin, wide_end, at, [](char16_t c) { return static_cast<Unit>(c); });
            header = at;
        }
        return {header, static_cast<std::size_t>(chars_.get() + size_ - header)};
    }

private:
    // Whole units a piece of one character may write beyond its own.
    static constexpr std::size_t kSlack = std::is_same_v<Unit, char16_t> ? 0 : 4 - kUnitsPerChar<Unit>;
    static constexpr std::size_t kSpare = kUnitsPerChar<Unit> * kMaxRunLength + kRecordEnd.size() + kSlack;

    void grow(std::size_t more) {
        capacity_ = std::max(capacity_ * 2, size_ + more + kSpare + 256);
        auto bigger = std::make_unique<Unit[]>(capacity_);
        std::copy(chars_.get(), chars_.get() + size_, bigger.get());
        chars_ = std::move(bigger);
    }

    std::unique_ptr<Unit[]> chars_;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
};

// Where the records go: the export text in memory, or the bytes of the
// export file, handed on in chunks.
class TextOutput {
public:
    using Unit = char16_t;
    void reserve(std::size_t characters) { memory::reserve_large(text_, characters); }
    void put(std::span<const char16_t> record) { text_.append(record.data(), record.size()); }
    std::u16string take() { return std::move(text_); }

private:
    std::u16string text_;
};

class ByteOutput {
public:
    using Unit = std::uint8_t;
    explicit ByteOutput(const ExportChunkWriter& write) : write_(write) { chunk_.reserve(kExportChunkBytes + 4096); }
    void reserve(std::size_t) {}
    void put(std::span<const std::uint8_t> record) {
        chunk_.insert(chunk_.end(), record.begin(), record.end());
        if (chunk_.size() >= kExportChunkBytes) flush();
    }
    void flush() {
        if (!chunk_.empty()) write_(chunk_);
        chunk_.clear();
    }

private:
    const ExportChunkWriter& write_;
    std::vector<std::uint8_t> chunk_;
};

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

// One pass over a stretch, or over several. Positions are 1-based (offset +
// 1) so that the record address reads as the run rules state it. Showing
// the bytes no rule reads is a separate instance of the scan, so that the
// usual one pays nothing for it; so is each kind of output.
template <bool ShowHexBytes, class Output>
class Scan {
public:
    using Unit = typename Output::Unit;
    static constexpr bool kCountsChars = !std::is_same_v<Unit, char16_t>;

    template <class Encoder>
    Scan(std::span<const std::uint8_t> rom, const CodeTables& tables, const ExportFilters& filters,
         std::optional<std::int32_t> minimum, std::size_t max_text_length, std::int32_t hex_max, Encoder encode,
         Output& output)
        : rom_(rom), size_(static_cast<std::int64_t>(rom.size())), filters_(filters), minimum_(minimum),
          max_text_length_(max_text_length), hex_max_(hex_max), pair_codes_(65536, Code::none), output_(output) {
        for (std::size_t byte = 0; byte < 256; ++byte) {
            const auto b = static_cast<std::uint8_t>(byte);
            const FilterEntry* entry = filters.single ? &filters.single->at(b) : nullptr;
            const std::u16string* value = tables.single ? &tables.single->at(b) : nullptr;
            single_codes_[byte] = code_of(entry, value);
            single_pieces_[byte] = piece_of(single_codes_[byte], entry, value, encode);
        }
        if (filters.double_byte || tables.double_byte) {
            pair_pieces_.resize(65536);
            for (std::size_t pair = 0; pair < 65536; ++pair) {
                const auto first = static_cast<std::uint8_t>(pair >> 8);
                const auto second = static_cast<std::uint8_t>(pair & 0xFF);
                const FilterEntry* entry = filters.double_byte ? &filters.double_byte->at(first, second) : nullptr;
                const std::u16string* value = tables.double_byte ? &tables.double_byte->at(first, second) : nullptr;
                pair_codes_[pair] = code_of(entry, value);
                pair_pieces_[pair] = piece_of(pair_codes_[pair], entry, value, encode);
            }
        }
        words_.end_open = encode(u"{" + std::u16string(kEndWord));
        words_.jump_open = encode(u"{" + std::u16string(kJumpWord));
        words_.colon = encode(std::u16string(1, kFullWidthColon));
        encodable_ = encode.ok();
    }

    // Whether every piece could be put in the output's units.
    bool encodable() const { return encodable_; }

    // The stretches in address order. A run may end past its stretch (the
    // second byte of a pair, a jump code's parameters); the next stretch
    // starts after it, so that no two records share a byte and an import
    // cannot write one over another. Each stretch alone, and all together,
    // stay within the text length limit.
    bool stretches(std::span<const ExportStretch> stretches) {
        // Text usually takes one or two characters per byte or pair; the
        // reservation spares copying the text as it grows.
        std::size_t bytes = 0;
        for (const ExportStretch& stretch : stretches) {
            const std::int64_t last = std::min<std::int64_t>(std::int64_t{stretch.end} + 1, size_);
            bytes += static_cast<std::size_t>(std::max<std::int64_t>(last - std::max(stretch.start, 0), 0));
        }
        if (bytes > 0) output_.reserve(bytes * 2 + 64);
        std::size_t total = 0;
        for (std::size_t i = 0; i < stretches.size(); ++i) {
            std::int64_t start = std::max<std::int32_t>(stretches[i].start, 0);
            if (i > 0) {
                start = std::max(start, end_of_records_);
                if (start > stretches[i].end) continue;
            }
            records_chars_ = 0;
            if (!scan(start, stretches[i].end, false)) return false;
            clear_run();
            if (i > 0 && total + records_chars_ > max_text_length_) {
                failure_ = ExportFailed::text_too_long;
                return false;
            }
            total += records_chars_;
        }
        return true;
    }

    // The run that begins at each start, up to the end of the ROM: what
    // closes it ends the scan of that start.
    bool first_runs(std::span<const std::uint32_t> starts) {
        for (std::uint32_t start : starts) {
            if (!scan(start, size_ - 1, true)) return false;
            // A run the end of the ROM left open is dropped.
            clear_run();
        }
        return true;
    }

    ExportFailed failure() const { return failure_; }
    std::size_t records() const { return records_; }

private:
    // Scans start … end into the output; false on a failure.
    bool scan(std::int64_t start, std::int64_t end, bool first_run_only) {
        // The upper bound is fixed here; the rules may move the position on.
        const std::int64_t last = std::min(end + 1, size_);
        for (std::int64_t position = start + 1; position <= last; ++position) {
            // Characters and tags are nearly every byte of a text: read them
            // in a tight loop; whatever else comes goes through the rules in
            // their order.
            position = read_plain_text(position, last);
            if (position > last) break;
            Step step = single_byte_rules(position);
            if (step == Step::no_match) step = double_byte_rules(position);
            if (step == Step::failed) return false;
            if (step == Step::matched) continue;
            if constexpr (ShowHexBytes) {
                if (step == Step::no_match && run_length_ > 0) {
                    step = hex_bytes(position, last);
                    if (step == Step::failed) return false;
                    if (step == Step::matched) continue;
                }
            }
            end_flag_ = step == Step::end_code;
            if (!close_run(position)) return false;
            if (first_run_only) break;
        }
        // A run still open here is dropped: nothing closed it inside the stretch.
        return true;
    }

    enum class Step { no_match, matched, end_code, failed };

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
        const auto piece = Piece<Unit>::make(static_cast<std::uint32_t>(pool_.size()), length, chars);
        pool_.insert(pool_.end(), units.begin(), units.end());
        return piece;
    }

    std::uint8_t byte_at(std::int64_t offset) const { return rom_[static_cast<std::size_t>(offset)]; }
    std::span<const std::uint8_t> bytes_at(std::int64_t offset, std::int64_t count) const {
        return rom_.subspan(static_cast<std::size_t>(offset), static_cast<std::size_t>(count));
    }

    // The end marker "{结束符" + code + "}" of a code of `code_size` bytes.
    void end_marker(std::int64_t offset, std::int64_t code_size) {
        const auto size = static_cast<std::size_t>(code_size);
        if constexpr (!kCountsChars) {
            write_end_marker(run_.extend(end_marker_length(size)), bytes_at(offset, code_size));
        } else {
            Unit* out = run_.extend(words_.end_open.size() + 2 * size + 1);
            out = put(out, words_.end_open);
            out = put_hex(out, bytes_at(offset, code_size));
            *out = static_cast<Unit>('}');
            add_chars(end_marker_length(size));
        }
    }

    // Rules A (control code), B (tag) and C (character) on the byte at `position`.
    [[gnu::always_inline]] Step single_byte_rules(std::int64_t& position) {
        const std::int64_t offset = position - 1;
        const std::uint8_t b1 = byte_at(offset);
        switch (single_codes_[b1]) {
        case Code::none:
            return Step::no_match;
        case Code::end:
            if (!add(1)) return Step::failed;
            end_marker(offset, 1);
            return Step::end_code;
        case Code::jump:
            if (Step step = jump(filters_.single->at(b1), position, 1); step != Step::no_match) return step;
            // Its parameters are missing: the byte may still be a character.
            return single_pieces_[b1].length != 0 ? character(single_pieces_[b1], 1, position) : Step::no_match;
        case Code::tag:
        case Code::character:
            return character(single_pieces_[b1], 1, position);
        }
        return Step::no_match;
    }

    // Rules D (control code), E (tag) and F (character) on the pair at
    // `position`; none applies to the ROM's last byte, which has no partner.
    [[gnu::always_inline]] Step double_byte_rules(std::int64_t& position) {
        const std::int64_t offset = position - 1;
        if (offset + 1 >= size_) return Step::no_match;
        const std::uint8_t b1 = byte_at(offset);
        const std::uint8_t b2 = byte_at(offset + 1);
        const std::size_t pair = static_cast<std::size_t>(b1) << 8 | b2;
        switch (pair_codes_[pair]) {
        case Code::none:
            return Step::no_match;
        case Code::end:
            if (!add(2)) return Step::failed;
            end_marker(offset, 2);
            ++position;
            return Step::end_code;
        case Code::jump:
            if (Step step = jump(filters_.double_byte->at(b1, b2), position, 2); step != Step::no_match) return step;
            return pair_pieces_[pair].length != 0 ? character(pair_pieces_[pair], 2, position) : Step::no_match;
        case Code::tag:
        case Code::character:
            return character(pair_pieces_[pair], 2, position);
        }
        return Step::no_match;
    }

    // Reads characters and tags from `position` on, as the rules would, and
    // returns the first position that needs the rules: a control code, a
    // byte no rule reads, or a run about to pass its length limit.
    std::int64_t read_plain_text(std::int64_t position, std::int64_t last) {
        const std::uint8_t* const rom = rom_.data();
        const Code* const singles = single_codes_.data();
        const Code* const pairs = pair_codes_.data();
        const Piece<Unit>* const single_pieces = single_pieces_.data();
        const Piece<Unit>* const pair_pieces = pair_pieces_.data();
        const Unit* const pool = pool_.data();
        const std::int64_t size = size_;
        // The run grows by the bytes the position moves on: it reaches its
        // length limit where the position reaches this.
        const std::int64_t start = position;
        const std::int64_t limit = position + (kMaxRunLength - run_length_);
        std::size_t chars = run_chars_;
        Unit* out = run_.end();
        while (position <= last) {
            const std::uint8_t b1 = rom[position - 1];
            const Code single = singles[b1];
            Piece<Unit> piece;
            std::int32_t bytes = 1;
            if (is_text(single)) {
                piece = single_pieces[b1];
            } else if (single == Code::none && position < size) {
                const std::size_t pair = static_cast<std::size_t>(b1) << 8 | rom[position];
                const Code code = pairs[pair];
                if (!is_text(code)) break;
                piece = pair_pieces[pair];
                bytes = 2;
            } else {
                break;
            }
            if (position + bytes > limit) break;
            if (piece.characters() == 1) {
                // The room is there (see RunText).
                if constexpr (kCountsChars) {
                    std::memcpy(out, &piece.offset, sizeof piece.offset);
                    out += piece.length;
                    ++chars;
                } else {
                    *out++ = static_cast<Unit>(piece.offset);
                }
            } else {
                run_.end_at(out);
                run_chars_ = chars;
                if (!room_for(piece.characters())) break;  // the rules report it
                run_.append(pool + piece.offset, piece.length);
                chars += piece.characters();
                out = run_.end();
            }
            position += bytes;
        }
        run_.end_at(out);
        run_length_ += static_cast<std::int32_t>(position - start);
        run_chars_ = chars;
        return position;
    }

    [[gnu::always_inline]] void append_piece(Piece<Unit> piece) {
        if (piece.characters() != 1)
            run_.append(pool_.data() + piece.offset, piece.length);
        else if constexpr (kCountsChars)
            std::memcpy(run_.extend(piece.length), &piece.offset, piece.length);
        else
            *run_.extend(1) = static_cast<Unit>(piece.offset);
        add_chars(piece.characters());
    }

    // A tag or a character of `size` bytes.
    [[gnu::always_inline]] Step character(Piece<Unit> piece, std::int64_t code_size, std::int64_t& position) {
        if (!add(code_size)) return Step::failed;
        if (!room_for(piece.characters())) return Step::failed;
        append_piece(piece);
        position += code_size - 1;
        return Step::matched;
    }

    // A jump code of `code_size` bytes and the parameter bytes after it. It
    // does not match when its parameters would run past the end of the ROM.
    Step jump(const FilterEntry& entry, std::int64_t& position, std::int64_t code_size) {
        if (entry.jump_count == kJumpCountNotANumber) {
            failure_ = ExportFailed::jump_count_not_a_number;
            return Step::failed;
        }
        const std::int64_t offset = position - 1;
        const std::int64_t count = entry.jump_count;
        if (offset + code_size + count > size_) return Step::no_match;
        if (!add(code_size + count)) return Step::failed;
        const auto size = static_cast<std::size_t>(code_size);
        const auto parameters = static_cast<std::size_t>(count);
        if constexpr (!kCountsChars) {
            write_jump_marker(run_.extend(jump_marker_length(size, parameters)), bytes_at(offset, code_size),
                              bytes_at(offset + code_size, count));
        } else {
            Unit* out =
                run_.extend(words_.jump_open.size() + 2 * size + words_.colon.size() + 2 * parameters + 1);
            out = put(out, words_.jump_open);
            out = put_hex(out, bytes_at(offset, code_size));
            out = put(out, words_.colon);
            out = put_hex(out, bytes_at(offset + code_size, count));
            *out = static_cast<Unit>('}');
            add_chars(jump_marker_length(size, parameters));
        }
        position += code_size - 1 + count;
        return Step::matched;
    }

    // Whether a rule reads the byte at `position`, as the rules would decide
    // it; a jump count that is not a number counts as read (it fails there).
    bool read_by_a_rule(std::int64_t position) const {
        const std::int64_t offset = position - 1;
        const std::uint8_t b1 = byte_at(offset);
        switch (single_codes_[b1]) {
        case Code::none: break;
        case Code::jump:
            if (jump_reads(filters_.single->at(b1), offset, 1) || single_pieces_[b1].length != 0) return true;
            break;
        default: return true;
        }
        if (offset + 1 >= size_) return false;
        const std::size_t pair = static_cast<std::size_t>(b1) << 8 | byte_at(offset + 1);
        switch (pair_codes_[pair]) {
        case Code::none: return false;
        case Code::jump:
            return jump_reads(filters_.double_byte->at(b1, byte_at(offset + 1)), offset, 2) ||
                   pair_pieces_[pair].length != 0;
        default: return true;
        }
    }

    bool jump_reads(const FilterEntry& entry, std::int64_t offset, std::int64_t code_size) const {
        return entry.jump_count == kJumpCountNotANumber || offset + code_size + entry.jump_count <= size_;
    }

    // The bytes no rule reads from `position` on, inside an open run: kept
    // in it as "{$XX}" when few enough come in a row and a byte a rule reads
    // follows inside the stretch (matched, the position on the last of
    // them); otherwise no_match, and the run closes.
    Step hex_bytes(std::int64_t& position, std::int64_t last) {
        std::int64_t after = position;
        while (after <= last && after - position <= hex_max_ && !read_by_a_rule(after)) ++after;
        const std::int64_t count = after - position;
        if (after > last || count > hex_max_) return Step::no_match;
        if (!add(count)) return Step::failed;
        const std::size_t chars = static_cast<std::size_t>(count) * kHexByteMarkerLength;
        if (!room_for(chars)) return Step::failed;
        Unit* out = run_.extend(chars);
        for (std::int64_t at = position; at < after; ++at) {
            const std::uint8_t byte = byte_at(at - 1);
            *out++ = static_cast<Unit>('{');
            *out++ = static_cast<Unit>('$');
            out = put_hex(out, std::span(&byte, 1));
            *out++ = static_cast<Unit>('}');
        }
        add_chars(chars);
        position = after - 1;
        return Step::matched;
    }

    // The characters of the open run.
    std::size_t run_chars() const {
        if constexpr (kCountsChars)
            return run_chars_;
        else
            return run_.size();
    }
    void add_chars(std::size_t chars) {
        if constexpr (kCountsChars) run_chars_ += chars;
    }

    // Whether `characters` more fit the export text of the stretch beside
    // what the scan holds already (its records and the open run).
    bool room_for(std::size_t characters) {
        if (records_chars_ + run_chars() + characters <= max_text_length_) return true;
        failure_ = ExportFailed::text_too_long;
        return false;
    }

    [[gnu::always_inline]] bool add(std::int64_t bytes) {
        if (run_length_ + bytes > kMaxRunLength) {
            failure_ = ExportFailed::run_too_long;
            return false;
        }
        run_length_ += static_cast<std::int32_t>(bytes);
        return true;
    }

    void clear_run() {
        run_.clear();
        run_length_ = 0;
        run_chars_ = 0;
        end_flag_ = false;
    }

    // After an end code `position` stands on the run's last byte (end flag
    // set); after an unmatched byte the run ended one byte before it.
    bool close_run(std::int64_t position) {
        if (!minimum_) {
            failure_ = ExportFailed::minimum_not_a_number;
            return false;
        }
        if (run_length_ > *minimum_) {
            // The address, the length and the separators of a record.
            if (!room_for(32)) return false;
            const std::int64_t address = position - run_length_ - 1 + (end_flag_ ? 1 : 0);
            const std::size_t text_chars = run_chars();
            const std::size_t text_units = run_.size();
            const std::span<const Unit> record = run_.record(static_cast<std::uint32_t>(address), run_length_);
            // The header and the record end are ASCII: one unit per character.
            records_chars_ += text_chars + (record.size() - text_units);
            output_.put(record);
            ++records_;
            end_of_records_ = address + run_length_;
        }
        clear_run();
        return true;
    }

    std::span<const std::uint8_t> rom_;
    std::int64_t size_;
    const ExportFilters& filters_;
    std::optional<std::int32_t> minimum_;
    std::size_t max_text_length_;
    std::int64_t hex_max_;
    std::array<Code, 256> single_codes_{};
    std::vector<Code> pair_codes_;
    std::array<Piece<Unit>, 256> single_pieces_{};
    std::vector<Piece<Unit>> pair_pieces_;
    std::vector<Unit> pool_;
    MarkerWords<Unit> words_;
    bool encodable_ = true;

    Output& output_;
    std::size_t records_ = 0;
    std::size_t records_chars_ = 0;     // in the records of the stretch being scanned
    std::int64_t end_of_records_ = 0;   // the offset after the last record's last byte
    RunText<Unit> run_;
    std::int32_t run_length_ = 0;
    std::size_t run_chars_ = 0;         // counted only where units are not characters
    bool end_flag_ = false;
    ExportFailed failure_ = ExportFailed::run_too_long;
};

// A scan of the kind the bytes no rule reads call for, handed to `body`.
template <class Output, class Encoder, class Body>
auto with_scan(std::span<const std::uint8_t> rom, const CodeTables& tables, const ExportFilters& filters,
               std::u16string_view minimum, std::size_t max_text_length, HexBytes hex_bytes, Encoder encode,
               Output& output, Body body) {
    const std::optional<std::int32_t> least = read_minimum_run_length(minimum);
    if (hex_bytes.shown && hex_bytes.max_in_a_row > 0) {
        Scan<true, Output> scan(rom, tables, filters, least, max_text_length, hex_bytes.max_in_a_row, encode, output);
        return body(scan);
    }
    Scan<false, Output> scan(rom, tables, filters, least, max_text_length, 0, encode, output);
    return body(scan);
}

Expected<std::u16string, ExportFailed> text_of_stretches(std::span<const std::uint8_t> rom,
                                                         std::span<const ExportStretch> stretches,
                                                         const CodeTables& tables, const ExportFilters& filters,
                                                         std::u16string_view minimum, std::size_t max_text_length,
                                                         HexBytes hex_bytes) {
    TextOutput output;
    return with_scan(rom, tables, filters, minimum, max_text_length, hex_bytes, TextEncoder{}, output,
                     [&](auto& scan) -> Expected<std::u16string, ExportFailed> {
                         if (!scan.stretches(stretches)) return unexpected(scan.failure());
                         return output.take();
                     });
}

template <class Walk>
Expected<std::size_t, ExportFailed> bytes_of(std::span<const std::uint8_t> rom, const CodeTables& tables,
                                             const ExportFilters& filters, std::u16string_view minimum,
                                             HexBytes hex_bytes, text::Encoding encoding,
                                             const ExportChunkWriter& write, Walk walk) {
    ByteOutput output(write);
    return with_scan(rom, tables, filters, minimum, kMaxExportTextLength, hex_bytes, ByteEncoder(encoding), output,
                     [&](auto& scan) -> Expected<std::size_t, ExportFailed> {
                         if (!scan.encodable()) return unexpected(ExportFailed::unencodable);
                         if (!walk(scan)) return unexpected(scan.failure());
                         output.flush();
                         return scan.records();
                     });
}

}  // namespace

Expected<std::u16string, ExportFailed> exportrange(std::span<const std::uint8_t> rom, std::int32_t start,
                                                   std::int32_t end, const CodeTables& tables,
                                                   const ExportFilters& filters, std::u16string_view minimum,
                                                   std::size_t max_text_length) {
    const ExportStretch stretch{start, end};
    return text_of_stretches(rom, std::span(&stretch, 1), tables, filters, minimum, max_text_length, HexBytes{});
}

Expected<std::u16string, ExportFailed> exportrange(std::span<const std::uint8_t> rom, std::int32_t start,
                                                   std::int32_t end, const CodeTables& tables,
                                                   const ExportFilters& filters, std::u16string_view minimum,
                                                   HexBytes hex_bytes) {
    const ExportStretch stretch{start, end};
    return text_of_stretches(rom, std::span(&stretch, 1), tables, filters, minimum, kMaxExportTextLength, hex_bytes);
}

Expected<std::u16string, ExportFailed> exportranges(std::span<const std::uint8_t> rom,
                                                    std::span<const ExportStretch> stretches,
                                                    const CodeTables& tables, const ExportFilters& filters,
                                                    std::u16string_view minimum, HexBytes hex_bytes) {
    return text_of_stretches(rom, stretches, tables, filters, minimum, kMaxExportTextLength, hex_bytes);
}

Expected<std::u16string, ExportFailed> exportruns(std::span<const std::uint8_t> rom,
                                                  std::span<const std::uint32_t> starts, const CodeTables& tables,
                                                  const ExportFilters& filters, std::u16string_view minimum,
                                                  HexBytes hex_bytes) {
    TextOutput output;
    return with_scan(rom, tables, filters, minimum, kMaxExportTextLength, hex_bytes, TextEncoder{}, output,
                     [&](auto& scan) -> Expected<std::u16string, ExportFailed> {
                         if (!scan.first_runs(starts)) return unexpected(scan.failure());
                         return output.take();
                     });
}

Expected<std::size_t, ExportFailed> exportranges_bytes(std::span<const std::uint8_t> rom,
                                                       std::span<const ExportStretch> stretches,
                                                       const CodeTables& tables, const ExportFilters& filters,
                                                       std::u16string_view minimum, HexBytes hex_bytes,
                                                       text::Encoding encoding, const ExportChunkWriter& write) {
    return bytes_of(rom, tables, filters, minimum, hex_bytes, encoding, write,
                    [&](auto& scan) { return scan.stretches(stretches); });
}

Expected<std::size_t, ExportFailed> exportruns_bytes(std::span<const std::uint8_t> rom,
                                                     std::span<const std::uint32_t> starts, const CodeTables& tables,
                                                     const ExportFilters& filters, std::u16string_view minimum,
                                                     HexBytes hex_bytes, text::Encoding encoding,
                                                     const ExportChunkWriter& write) {
    return bytes_of(rom, tables, filters, minimum, hex_bytes, encoding, write,
                    [&](auto& scan) { return scan.first_runs(starts); });
}

}  // namespace quillmere
