#include "core/export/exportrange.hpp"

#include <algorithm>
#include <array>
#include <vector>

#include "core/encoding/markers.hpp"
#include "core/export/export_text.hpp"

namespace quillmere {
namespace {

// What a code is, decided once per export from the filters and tables of the
// scan, so that the loop reads one small array instead of the text slots.
enum class Code : std::uint8_t { none, end, jump, tag, character };

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

// One pass over the stretch. Positions are 1-based (offset + 1) so that the
// record address reads as the run rules state it.
class Scan {
public:
    Scan(std::span<const std::uint8_t> rom, const CodeTables& tables, const ExportFilters& filters,
         std::optional<std::int32_t> minimum)
        : rom_(rom), size_(static_cast<std::int64_t>(rom.size())), tables_(tables), filters_(filters),
          minimum_(minimum), pair_codes_(65536, Code::none) {
        for (std::size_t byte = 0; byte < 256; ++byte) {
            const auto b = static_cast<std::uint8_t>(byte);
            single_codes_[byte] = code_of(filters.single ? &filters.single->at(b) : nullptr,
                                          tables.single ? &tables.single->at(b) : nullptr);
        }
        if (filters.double_byte || tables.double_byte) {
            for (std::size_t pair = 0; pair < 65536; ++pair) {
                const auto first = static_cast<std::uint8_t>(pair >> 8);
                const auto second = static_cast<std::uint8_t>(pair & 0xFF);
                pair_codes_[pair] = code_of(filters.double_byte ? &filters.double_byte->at(first, second) : nullptr,
                                            tables.double_byte ? &tables.double_byte->at(first, second) : nullptr);
            }
        }
    }

    Expected<std::u16string, ExportFailed> run(std::int64_t start, std::int64_t end) {
        // The upper bound is fixed here; the rules may move the position on.
        const std::int64_t last = std::min(end + 1, size_);
        // Text usually takes one or two characters per byte or pair; the
        // reservation spares copying the text as it grows.
        if (last > start) text_.reserve(static_cast<std::size_t>(last - start) * 2 + 64);
        run_.reserve(256);
        for (std::int64_t position = start + 1; position <= last; ++position) {
            Step step = single_byte_rules(position);
            if (step == Step::no_match) step = double_byte_rules(position);
            if (step == Step::failed) return unexpected(failure_);
            if (step == Step::matched) continue;
            end_flag_ = step == Step::end_code;
            if (!close_run(position)) return unexpected(failure_);
        }
        // A run still open here is dropped: nothing closed it inside the stretch.
        return std::move(text_);
    }

private:
    enum class Step { no_match, matched, end_code, failed };

    std::uint8_t byte_at(std::int64_t offset) const { return rom_[static_cast<std::size_t>(offset)]; }
    std::span<const std::uint8_t> bytes_at(std::int64_t offset, std::int64_t count) const {
        return rom_.subspan(static_cast<std::size_t>(offset), static_cast<std::size_t>(count));
    }

    // Rules A (control code), B (tag) and C (character) on the byte at `position`.
    Step single_byte_rules(std::int64_t& position) {
        const std::int64_t offset = position - 1;
        const std::uint8_t b1 = byte_at(offset);
        switch (single_codes_[b1]) {
        case Code::none:
            return Step::no_match;
        case Code::end:
            if (!add(1)) return Step::failed;
            append_end_marker(run_, bytes_at(offset, 1));
            return Step::end_code;
        case Code::jump:
            if (Step step = jump(filters_.single->at(b1), position, 1); step != Step::no_match) return step;
            // Its parameters are missing: the byte may still be a character.
            return tables_.single && !tables_.single->at(b1).empty() ? character(tables_.single->at(b1), 1, position)
                                                                      : Step::no_match;
        case Code::tag:
            return character(filters_.single->at(b1).text, 1, position);
        case Code::character:
            return character(tables_.single->at(b1), 1, position);
        }
        return Step::no_match;
    }

    // Rules D (control code), E (tag) and F (character) on the pair at
    // `position`; none applies to the ROM's last byte, which has no partner.
    Step double_byte_rules(std::int64_t& position) {
        const std::int64_t offset = position - 1;
        if (offset + 1 >= size_) return Step::no_match;
        const std::uint8_t b1 = byte_at(offset);
        const std::uint8_t b2 = byte_at(offset + 1);
        switch (pair_codes_[static_cast<std::size_t>(b1) << 8 | b2]) {
        case Code::none:
            return Step::no_match;
        case Code::end:
            if (!add(2)) return Step::failed;
            append_end_marker(run_, bytes_at(offset, 2));
            ++position;
            return Step::end_code;
        case Code::jump:
            if (Step step = jump(filters_.double_byte->at(b1, b2), position, 2); step != Step::no_match) return step;
            return tables_.double_byte && !tables_.double_byte->at(b1, b2).empty()
                       ? character(tables_.double_byte->at(b1, b2), 2, position)
                       : Step::no_match;
        case Code::tag:
            return character(filters_.double_byte->at(b1, b2).text, 2, position);
        case Code::character:
            return character(tables_.double_byte->at(b1, b2), 2, position);
        }
        return Step::no_match;
    }

    // A tag or a character of `size` bytes.
    Step character(const std::u16string& text, std::int64_t code_size, std::int64_t& position) {
        if (!add(code_size)) return Step::failed;
        if (!room_for(text.size())) return Step::failed;
        run_ += text;
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
        append_jump_marker(run_, bytes_at(offset, code_size), bytes_at(offset + code_size, count));
        position += code_size - 1 + count;
        return Step::matched;
    }

    // Whether `characters` more fit the export text beside what the scan
    // holds already (the records and the open run).
    bool room_for(std::size_t characters) {
        if (text_.size() + run_.size() + characters <= kMaxExportTextLength) return true;
        failure_ = ExportFailed::text_too_long;
        return false;
    }

    bool add(std::int64_t bytes) {
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
            append_record(text_, static_cast<std::uint32_t>(address), run_length_, run_);
        }
        run_.clear();
        run_length_ = 0;
        end_flag_ = false;
        return true;
    }

    std::span<const std::uint8_t> rom_;
    std::int64_t size_;
    const CodeTables& tables_;
    const ExportFilters& filters_;
    std::optional<std::int32_t> minimum_;
    std::array<Code, 256> single_codes_{};
    std::vector<Code> pair_codes_;

    std::u16string text_;
    std::u16string run_;
    std::int32_t run_length_ = 0;
    bool end_flag_ = false;
    ExportFailed failure_ = ExportFailed::run_too_long;
};

}  // namespace

Expected<std::u16string, ExportFailed> exportrange(std::span<const std::uint8_t> rom, std::int32_t start,
                                                   std::int32_t end, const CodeTables& tables,
                                                   const ExportFilters& filters, std::u16string_view minimum) {
    if (start < 0) start = 0;
    return Scan(rom, tables, filters, read_minimum_run_length(minimum)).run(start, end);
}

}  // namespace quillmere
