#pragma once
// Where the entries of a script lie in the ROM, and which of them share
// bytes. Two entries that overlap are refused, unless one is marked as the
// other's tail (LENGTH "N@OUTER", as the export by pointers writes a string
// whose pointer points into the end of another): a tail is not written
// itself, its text must stay the end of its outer entry's text, and when
// that end moves (the outer entry shortened, lengthened or moved) the
// tail's pointers follow it. The walk gathers what it meets; settle() decides
// once the walk is over, before anything is written.

#include <algorithm>
#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/commands/script_reading.hpp"

namespace quillmere::script_reading {

// The LENGTH field of a tail: decimal digits, "@", the outer entry's
// hexadecimal address.
struct TailMark {
    std::uint64_t length = 0;
    std::uint32_t outer = 0;
    std::u16string_view outer_text;
};
std::optional<TailMark> tail_mark(std::u16string_view length);

// The LENGTH field read once per entry. Nearly every one is a few decimal
// digits and nothing else: those are read here at once, anything else by
// the general rules (a tail mark, or the leading number).
struct LengthField {
    std::uint64_t bytes = 0;   // the bytes the entry covers in the ROM (never below 0)
    bool digits_only = false;  // 1 to 18 decimal digits: `bytes` is the exact length
    std::optional<TailMark> tail;
};
inline LengthField read_length(std::u16string_view text) {
    if (!text.empty() && text.size() <= 18) {
        std::uint64_t value = 0;
        bool digits = true;
        for (char16_t c : text) {
            if (c < u'0' || c > u'9') {
                digits = false;
                break;
            }
            value = value * 10 + static_cast<std::uint64_t>(c - u'0');
        }
        if (digits) return {value, true, std::nullopt};
    }
    LengthField field;
    field.tail = tail_mark(text);
    field.bytes = field.tail ? field.tail->length
                             : static_cast<std::uint64_t>(std::max<std::int64_t>(leading_number(text), 0));
    return field;
}

// Whether `count` bytes exceed the entry's original length; the excess as
// the message gives it, when they do.
inline std::optional<std::u16string> excess_of(const LengthField& length, std::u16string_view text,
                                               std::size_t count) {
    if (length.digits_only && count <= length.bytes) return std::nullopt;
    return length_excess(text, count);
}

class EntryLayout {
public:
    struct Tail {
        std::size_t index = 0;  // in walk order
        std::u16string address;
        std::u16string outer_text;
        std::uint64_t offset = 0, length = 0;
        std::uint32_t outer = 0;
        std::vector<std::uint8_t> bytes;  // the text encoded, without fill
    };

    explicit EntryLayout(std::size_t script_size) { spans_.reserve(script_size / 64); }

    // Every entry the walk hands over, in order: an ordinary one with its
    // original length.
    void add(std::uint64_t offset, std::uint64_t length) { spans_.push_back({offset, offset + length}); }
    // A tail: it takes no bytes of its own.
    void add_tail(std::u16string_view address, std::uint64_t offset, const TailMark& mark,
                  std::span<const std::uint8_t> bytes);
    // The entry added last now goes to `to`.
    void moved(std::uint64_t to) { moved_.emplace_back(spans_.size() - 1, to); }

    // Entries (indices in walk order, the earlier first) whose bytes
    // overlap: the first found in address order, or all of them.
    std::vector<std::pair<std::size_t, std::size_t>> overlaps(bool all) const;

    const std::vector<Tail>& tails() const { return tails_; }
    // Where each outer entry of a tail is, found once the walk is over.
    void find_outers();
    // The ordinary entry that begins at `offset` (the first in walk order),
    // for the offsets find_outers() looked for.
    std::optional<std::size_t> entry_at(std::uint64_t offset) const;
    std::uint64_t begin(std::size_t index) const { return spans_[index].begin; }
    std::uint64_t end(std::size_t index) const { return spans_[index].end; }
    std::uint64_t placed_at(std::size_t index) const {
        // Entries move in walk order: the list is sorted by index.
        const auto found = std::lower_bound(moved_.begin(), moved_.end(), std::pair<std::size_t, std::uint64_t>(index, 0));
        return found == moved_.end() || found->first != index ? spans_[index].begin : found->second;
    }

private:
    struct Span {
        std::uint64_t begin = 0, end = 0;
    };
    std::vector<Span> spans_;
    std::vector<Tail> tails_;
    std::vector<std::pair<std::size_t, std::uint64_t>> moved_;  // entry -> its new place
    std::map<std::uint64_t, std::size_t> outers_;               // offset -> entry
};

// What settle() needs to know of the entries it names: their addresses as
// written, and the encoded text of the outer entries of tails.
struct Recalled {
    std::map<std::size_t, std::u16string> addresses;
    std::map<std::size_t, std::vector<std::uint8_t>> bytes;
};

// Whether the layout needs anything: a tail, or an overlap.
bool layout_settled(EntryLayout& layout, std::vector<std::pair<std::size_t, std::size_t>>& overlaps, bool all);
// The indices whose addresses or bytes are needed.
void wanted(const EntryLayout& layout, const std::vector<std::pair<std::size_t, std::size_t>>& overlaps,
            std::map<std::size_t, bool>& indices);
// The decisions, given what was recalled: messages of refusals, in order
// (the first only unless `all`), and the tails' moves.
EntryEnd decide(const EntryLayout& layout, const std::vector<std::pair<std::size_t, std::size_t>>& overlaps,
                const Recalled& recalled, EntryMover* mover, std::vector<Message>* failures,
                std::vector<std::u16string>& moves);

// Decides the layout after a walk over `script`: overlaps refused, tails
// checked against their outer entries and their pointers made to follow
// (through `mover`, which may be null). Reads the script a second time only
// when there is something to name or compare.
template <class Char>
EntryEnd settle(std::basic_string_view<Char> script, EntryReader& reader, EntryLayout& layout, TagRanges ranges,
                EntryMover* mover, std::vector<Message>* failures, std::vector<std::u16string>& moves) {
    std::vector<std::pair<std::size_t, std::size_t>> overlaps;
    if (layout_settled(layout, overlaps, failures != nullptr)) return Done{};
    std::map<std::size_t, bool> indices;  // index -> its bytes are wanted too
    wanted(layout, overlaps, indices);
    Recalled recalled;
    memory::ByteBuffer bytes;
    std::size_t index = 0;
    WalkEnd walked = for_each_entry(script, reader, [&](const Entry<Char>& entry, std::uint64_t) -> EntryEnd {
        const auto found = indices.find(index++);
        if (found == indices.end()) return Done{};
        recalled.addresses[found->first] = std::u16string(entry.address);
        if (found->second)
            if (reader.encode(entry.text, ranges, &bytes)) recalled.bytes[found->first].assign(bytes.begin(), bytes.end());
        return Done{};
    });
    static_cast<void>(walked);  // the first walk read every entry already
    return decide(layout, overlaps, recalled, mover, failures, moves);
}

}  // namespace quillmere::script_reading
