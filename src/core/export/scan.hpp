#pragma once
// The export scan: a stretch of the ROM read through the code tables and the
// filter lists, cut into text runs, each closed run handed to the output as
// one record.

#include <algorithm>
#include <cstdint>
#include <optional>
#include <span>
#include <type_traits>

#include "core/export/export_text.hpp"
#include "core/export/exportrange.hpp"
#include "core/export/run_text.hpp"
#include "core/export/scan_tables.hpp"
#include "core/export/tail_marks.hpp"

namespace quillmere::export_scan {

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
          max_text_length_(max_text_length), hex_max_(hex_max), tables_(tables, filters, encode), output_(output) {}

    // Whether every piece could be put in the output's units.
    bool encodable() const { return tables_.encodable; }

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
        tails_.emplace();
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
            Unit* out = run_.extend(tables_.words.end_open.size() + 2 * size + 1);
            out = put(out, tables_.words.end_open);
            out = put_hex(out, bytes_at(offset, code_size));
            *out = static_cast<Unit>('}');
            add_chars(end_marker_length(size));
        }
    }

    // Rules A (control code), B (tag) and C (character) on the byte at `position`.
    [[gnu::always_inline]] Step single_byte_rules(std::int64_t& position) {
        const std::int64_t offset = position - 1;
        const std::uint8_t b1 = byte_at(offset);
        switch (tables_.single_codes[b1]) {
        case Code::none:
            return Step::no_match;
        case Code::end:
            if (!add(1)) return Step::failed;
            end_marker(offset, 1);
            return Step::end_code;
        case Code::jump:
            if (Step step = jump(filters_.single->at(b1), position, 1); step != Step::no_match) return step;
            // Its parameters are missing: the byte may still be a character.
            return tables_.single_pieces[b1].length != 0 ? character(tables_.single_pieces[b1], 1, position) : Step::no_match;
        case Code::tag:
        case Code::character:
            return character(tables_.single_pieces[b1], 1, position);
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
        switch (tables_.pair_codes[pair]) {
        case Code::none:
            return Step::no_match;
        case Code::end:
            if (!add(2)) return Step::failed;
            end_marker(offset, 2);
            ++position;
            return Step::end_code;
        case Code::jump:
            if (Step step = jump(filters_.double_byte->at(b1, b2), position, 2); step != Step::no_match) return step;
            return tables_.pair_pieces[pair].length != 0 ? character(tables_.pair_pieces[pair], 2, position) : Step::no_match;
        case Code::tag:
        case Code::character:
            return character(tables_.pair_pieces[pair], 2, position);
        }
        return Step::no_match;
    }

    // Reads characters and tags from `position` on, as the rules would, and
    // returns the first position that needs the rules: a control code, a
    // byte no rule reads, or a run about to pass its length limit.
    std::int64_t read_plain_text(std::int64_t position, std::int64_t last) {
        const std::uint8_t* const rom = rom_.data();
        const Code* const singles = tables_.single_codes.data();
        const Code* const pairs = tables_.pair_codes.data();
        const Piece<Unit>* const single_pieces = tables_.single_pieces.data();
        const Piece<Unit>* const pair_pieces = tables_.pair_pieces.data();
        const Unit* const pool = tables_.pool.data();
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
            run_.append(tables_.pool.data() + piece.offset, piece.length);
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
                run_.extend(tables_.words.jump_open.size() + 2 * size + tables_.words.colon.size() + 2 * parameters + 1);
            out = put(out, tables_.words.jump_open);
            out = put_hex(out, bytes_at(offset, code_size));
            out = put(out, tables_.words.colon);
            out = put_hex(out, bytes_at(offset + code_size, count));
            *out = static_cast<Unit>('}');
            add_chars(jump_marker_length(size, parameters));
        }
        position += code_size - 1 + count;
        return Step::matched;
    }

    // The bytes no rule reads from `position` on, inside an open run: kept
    // in it as "{$XX}" when few enough come in a row and a byte a rule reads
    // follows inside the stretch (matched, the position on the last of
    // them); otherwise no_match, and the run closes.
    Step hex_bytes(std::int64_t& position, std::int64_t last) {
        std::int64_t after = position;
        while (after <= last && after - position <= hex_max_ && !tables_.read_by_a_rule(rom_, after)) ++after;
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
            if (!room_for(tails_ ? 48 : 32)) return false;
            const std::int64_t address = position - run_length_ - 1 + (end_flag_ ? 1 : 0);
            const std::size_t text_chars = run_chars();
            const std::size_t text_units = run_.size();
            const auto outer = tails_ ? tails_->outer_of(address, address + run_length_) : std::nullopt;
            const std::span<const Unit> record = run_.record(static_cast<std::uint32_t>(address), run_length_, outer);
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
    ScanTables<Unit> tables_;

    Output& output_;
    std::size_t records_ = 0;
    std::size_t records_chars_ = 0;     // in the records of the stretch being scanned
    std::int64_t end_of_records_ = 0;   // the offset after the last record's last byte
    RunText<Unit> run_;
    std::int32_t run_length_ = 0;
    std::size_t run_chars_ = 0;         // counted only where units are not characters
    bool end_flag_ = false;
    ExportFailed failure_ = ExportFailed::run_too_long;
    std::optional<TailMarks> tails_;  // runs from given starts only
};

}  // namespace quillmere::export_scan
