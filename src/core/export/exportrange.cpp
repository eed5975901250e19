#include "core/export/exportrange.hpp"

#include "core/text/large_buffer.hpp"

#include <algorithm>
#include <cassert>
#include <array>
#include <memory>
#include <vector>

#include "core/encoding/markers.hpp"
#include "core/export/export_text.hpp"

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

// The text a code shows when it is read as text (a tag, a character, or the
// character a jump code stands for when its parameters are missing), kept in
// one pool so that appending it is a plain copy.
struct Piece {
    std::uint32_t offset = 0;  // in the pool; the character itself when length is 1
    std::uint32_t length = 0;
};

// The text of the run being read, with room kept in front for the record's
// header, so that a closed run goes into the export text in one copy.
// Characters are appended here millions of times per export, so this is a
// bare buffer that always keeps room for one character per byte a run can
// still cover, and for the record end: a single character never has to
// wait for the buffer to grow.
class RunText {
public:
    RunText() {
        grow(0);
        clear();
    }

    [[gnu::always_inline]] void push(char16_t c) {
        assert(size_ < capacity_);
        chars_[size_++] = c;
    }
    // Where the next character goes, for a loop that pushes characters
    // itself; it hands the new end back with `end_at`.
    char16_t* end() { return chars_.get() + size_; }
    void end_at(char16_t* end) {
        size_ = static_cast<std::size_t>(end - chars_.get());
        assert(size_ <= capacity_);
    }
    void append(std::u16string_view text) {
        if (text.size() + kSpare > capacity_ - size_) grow(text.size());
        std::copy(text.begin(), text.end(), chars_.get() + size_);
        size_ += text.size();
    }
    // Room for `count` more characters, to be written at once.
    char16_t* extend(std::size_t count) {
        if (count + kSpare > capacity_ - size_) grow(count);
        char16_t* at = chars_.get() + size_;
        size_ += count;
        return at;
    }
    void clear() { size_ = kRecordHeaderSize; }
    std::size_t size() const { return size_ - kRecordHeaderSize; }

    // The whole record of the run: its header, its text, the record end.
    std::u16string_view record(std::uint32_t address, std::int32_t length) {
        std::copy(kRecordEnd.begin(), kRecordEnd.end(), chars_.get() + size_);
        size_ += kRecordEnd.size();
        char16_t* const text = chars_.get() + kRecordHeaderSize;
        const char16_t* header = write_record_header(text, address, length);
        return {header, static_cast<std::size_t>(chars_.get() + size_ - header)};
    }

private:
    static constexpr std::size_t kSpare = kMaxRunLength + kRecordEnd.size();

    void grow(std::size_t more) {
        capacity_ = std::max(capacity_ * 2, size_ + more + kSpare + 256);
        auto bigger = std::make_unique<char16_t[]>(capacity_);
        std::copy(chars_.get(), chars_.get() + size_, bigger.get());
        chars_ = std::move(bigger);
    }

    std::unique_ptr<char16_t[]> chars_;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
};

// One pass over the stretch. Positions are 1-based (offset + 1) so that the
// record address reads as the run rules state it. Showing the bytes no rule
// reads is a separate instance of the scan, so that the usual one pays
// nothing for it.
template <bool ShowHexBytes>
class Scan {
public:
    Scan(std::span<const std::uint8_t> rom, const CodeTables& tables, const ExportFilters& filters,
         std::optional<std::int32_t> minimum, std::size_t max_text_length, std::int32_t hex_max = 0)
        : rom_(rom), size_(static_cast<std::int64_t>(rom.size())), filters_(filters), minimum_(minimum),
          max_text_length_(max_text_length), hex_max_(hex_max), pair_codes_(65536, Code::none) {
        for (std::size_t byte = 0; byte < 256; ++byte) {
            const auto b = static_cast<std::uint8_t>(byte);
            const FilterEntry* entry = filters.single ? &filters.single->at(b) : nullptr;
            const std::u16string* value = tables.single ? &tables.single->at(b) : nullptr;
            single_codes_[byte] = code_of(entry, value);
            single_pieces_[byte] = piece_of(single_codes_[byte], entry, value);
        }
        if (filters.double_byte || tables.double_byte) {
            pair_pieces_.resize(65536);
            for (std::size_t pair = 0; pair < 65536; ++pair) {
                const auto first = static_cast<std::uint8_t>(pair >> 8);
                const auto second = static_cast<std::uint8_t>(pair & 0xFF);
                const FilterEntry* entry = filters.double_byte ? &filters.double_byte->at(first, second) : nullptr;
                const std::u16string* value = tables.double_byte ? &tables.double_byte->at(first, second) : nullptr;
                pair_codes_[pair] = code_of(entry, value);
                pair_pieces_[pair] = piece_of(pair_codes_[pair], entry, value);
            }
        }
    }

    Expected<std::u16string, ExportFailed> run(std::int64_t start, std::int64_t end) {
        // Text usually takes one or two characters per byte or pair; the
        // reservation spares copying the text as it grows.
        const std::int64_t last = std::min(end + 1, size_);
        if (last > start) text::reserve_large(text_, static_cast<std::size_t>(last - start) * 2 + 64);
        if (!scan(start, end, false)) return unexpected(failure_);
        return std::move(text_);
    }

    // The run that begins at each start, up to the end of the ROM: what
    // closes it ends the scan of that start.
    Expected<std::u16string, ExportFailed> first_runs(std::span<const std::uint32_t> starts) {
        for (std::uint32_t start : starts) {
            if (!scan(start, size_ - 1, true)) return unexpected(failure_);
            // A run the end of the ROM left open is dropped.
            run_.clear();
            run_length_ = 0;
            end_flag_ = false;
        }
        return std::move(text_);
    }

private:
    // Scans start … end into the export text; false on a failure.
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

    Piece piece_of(Code code, const FilterEntry* entry, const std::u16string* value) {
        const std::u16string* text = code == Code::tag ? &entry->text : value;
        if (text == nullptr || text->empty()) return {};
        // A piece of one character holds the character itself.
        if (text->size() == 1) return Piece{(*text)[0], 1};
        Piece piece{static_cast<std::uint32_t>(pool_.size()), static_cast<std::uint32_t>(text->size())};
        pool_ += *text;
        return piece;
    }

    std::uint8_t byte_at(std::int64_t offset) const { return rom_[static_cast<std::size_t>(offset)]; }
    std::span<const std::uint8_t> bytes_at(std::int64_t offset, std::int64_t count) const {
        return rom_.subspan(static_cast<std::size_t>(offset), static_cast<std::size_t>(count));
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
            write_end_marker(run_.extend(end_marker_length(1)), bytes_at(offset, 1));
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
            write_end_marker(run_.extend(end_marker_length(2)), bytes_at(offset, 2));
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
        const Piece* const single_pieces = single_pieces_.data();
        const Piece* const pair_pieces = pair_pieces_.data();
        const char16_t* const pool = pool_.data();
        const std::int64_t size = size_;
        std::int32_t length = run_length_;
        char16_t* out = run_.end();
        while (position <= last) {
            const std::uint8_t b1 = rom[position - 1];
            const Code single = singles[b1];
            Piece piece;
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
            if (length + bytes > kMaxRunLength) break;
            if (piece.length == 1) {
                // One character per byte of the run at most: the room is there.
                *out++ = static_cast<char16_t>(piece.offset);
            } else {
                run_.end_at(out);
                if (!room_for(piece.length)) break;  // the rules report it
                run_.append(std::u16string_view(pool + piece.offset, piece.length));
                out = run_.end();
            }
            length += bytes;
            position += bytes;
        }
        run_.end_at(out);
        run_length_ = length;
        return position;
    }

    [[gnu::always_inline]] void append_piece(Piece piece) {
        if (piece.length == 1)
            run_.push(static_cast<char16_t>(piece.offset));
        else
            run_.append(std::u16string_view(pool_).substr(piece.offset, piece.length));
    }

    // A tag or a character of `size` bytes.
    [[gnu::always_inline]] Step character(Piece piece, std::int64_t code_size, std::int64_t& position) {
        if (!add(code_size)) return Step::failed;
        if (!room_for(piece.length)) return Step::failed;
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
        write_jump_marker(run_.extend(jump_marker_length(static_cast<std::size_t>(code_size), static_cast<std::size_t>(count))),
                          bytes_at(offset, code_size), bytes_at(offset + code_size, count));
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
        if (!room_for(static_cast<std::size_t>(count) * kHexByteMarkerLength)) return Step::failed;
        char16_t* out = run_.extend(static_cast<std::size_t>(count) * kHexByteMarkerLength);
        for (std::int64_t at = position; at < after; ++at) out = write_hex_byte_marker(out, byte_at(at - 1));
        position = after - 1;
        return Step::matched;
    }

    // Whether `characters` more fit the export text beside what the scan
    // holds already (the records and the open run).
    bool room_for(std::size_t characters) {
        if (text_.size() + run_.size() + characters <= max_text_length_) return true;
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
            text_ += run_.record(static_cast<std::uint32_t>(address), run_length_);
        }
        run_.clear();
        run_length_ = 0;
        end_flag_ = false;
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
    std::array<Piece, 256> single_pieces_{};
    std::vector<Piece> pair_pieces_;
    std::u16string pool_;

    std::u16string text_;
    RunText run_;
    std::int32_t run_length_ = 0;
    bool end_flag_ = false;
    ExportFailed failure_ = ExportFailed::run_too_long;
};

}  // namespace

Expected<std::u16string, ExportFailed> exportrange(std::span<const std::uint8_t> rom, std::int32_t start,
                                                   std::int32_t end, const CodeTables& tables,
                                                   const ExportFilters& filters, std::u16string_view minimum,
                                                   std::size_t max_text_length) {
    if (start < 0) start = 0;
    return Scan<false>(rom, tables, filters, read_minimum_run_length(minimum), max_text_length).run(start, end);
}

Expected<std::u16string, ExportFailed> exportrange(std::span<const std::uint8_t> rom, std::int32_t start,
                                                   std::int32_t end, const CodeTables& tables,
                                                   const ExportFilters& filters, std::u16string_view minimum,
                                                   HexBytes hex_bytes) {
    if (!hex_bytes.shown || hex_bytes.max_in_a_row <= 0) return exportrange(rom, start, end, tables, filters, minimum);
    if (start < 0) start = 0;
    return Scan<true>(rom, tables, filters, read_minimum_run_length(minimum), kMaxExportTextLength,
                      hex_bytes.max_in_a_row)
        .run(start, end);
}

Expected<std::u16string, ExportFailed> exportruns(std::span<const std::uint8_t> rom,
                                                  std::span<const std::uint32_t> starts, const CodeTables& tables,
                                                  const ExportFilters& filters, std::u16string_view minimum,
                                                  HexBytes hex_bytes) {
    if (!hex_bytes.shown || hex_bytes.max_in_a_row <= 0)
        return Scan<false>(rom, tables, filters, read_minimum_run_length(minimum), kMaxExportTextLength)
            .first_runs(starts);
    return Scan<true>(rom, tables, filters, read_minimum_run_length(minimum), kMaxExportTextLength,
                      hex_bytes.max_in_a_row)
        .first_runs(starts);
}

}  // namespace quillmere
