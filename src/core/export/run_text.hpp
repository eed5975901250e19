#pragma once
// The export scan's buffer for the run it is reading.

#include <algorithm>
#include <cassert>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <type_traits>

#include "core/export/export_text.hpp"
#include "core/export/scan_tables.hpp"

namespace quillmere::export_scan {

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
    std::span<const Unit> record(std::uint32_t address, std::int32_t length, std::optional<std::uint32_t> tail_of) {
        for (char16_t c : kRecordEnd) chars_[size_++] = static_cast<Unit>(c);
        Unit* const text = chars_.get() + kRecordHeaderSize;
        const Unit* header;
        if constexpr (std::is_same_v<Unit, char16_t>) {
            header = write_record_header(text, address, length, tail_of);
        } else {
            char16_t wide[kRecordHeaderSize];
            const char16_t* const wide_end = wide + kRecordHeaderSize;
            const char16_t* const begin = write_record_header(wide + kRecordHeaderSize, address, length, tail_of);
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

}  // namespace quillmere::export_scan
