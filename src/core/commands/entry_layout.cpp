#include "core/commands/entry_layout.hpp"

#include <algorithm>
#include <numeric>

#include "core/pointers/pointer_list.hpp"

namespace quillmere::script_reading {

std::optional<TailMark> tail_mark(std::u16string_view length) {
    const std::size_t at = length.find(u'@');
    if (at == std::u16string_view::npos || at == 0) return std::nullopt;
    TailMark mark;
    for (char16_t c : length.substr(0, at)) {
        if (c < u'0' || c > u'9' || mark.length > 0xFFFFFFFF) return std::nullopt;
        mark.length = mark.length * 10 + static_cast<std::uint64_t>(c - u'0');
    }
    mark.outer_text = length.substr(at + 1);
    const auto outer = hex2num(mark.outer_text);
    if (!outer) return std::nullopt;
    mark.outer = static_cast<std::uint32_t>(*outer);
    return mark;
}

void EntryLayout::add_tail(std::u16string_view address, std::uint64_t offset, const TailMark& mark,
                           std::span<const std::uint8_t> bytes) {
    spans_.push_back({offset, offset});
    tails_.push_back(Tail{spans_.size() - 1, std::u16string(address), std::u16string(mark.outer_text), offset,
                          mark.length, mark.outer, std::vector<std::uint8_t>(bytes.begin(), bytes.end())});
}

std::vector<std::pair<std::size_t, std::size_t>> EntryLayout::overlaps(bool all) const {
    std::vector<std::pair<std::size_t, std::size_t>> found;
    // The running end of the entries met so far, in address order, and the
    // entry that reaches it.
    std::uint64_t reach = 0;
    std::size_t holder = 0;
    auto meet = [&](std::size_t i) {
        const Span& span = spans_[i];
        if (span.end == span.begin) return;
        if (span.begin < reach) found.emplace_back(std::min(holder, i), std::max(holder, i));
        if (span.end > reach) {
            reach = span.end;
            holder = i;
        }
    };
    // A script is nearly always in address order: one pass, no sort.
    bool in_order = true;
    std::uint64_t last = 0;
    for (std::size_t i = 0; i < spans_.size() && (all || found.empty()); ++i) {
        if (spans_[i].end == spans_[i].begin) continue;
        if (spans_[i].begin < last) {
            in_order = false;
            break;
        }
        last = spans_[i].begin;
        meet(i);
    }
    if (in_order) return found;
    found.clear();
    reach = 0;
    std::vector<std::size_t> order(spans_.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return spans_[a].begin < spans_[b].begin; });
    for (std::size_t i : order) {
        if (!all && !found.empty()) break;
        meet(i);
    }
    return found;
}

void EntryLayout::find_outers() {
    for (const Tail& tail : tails_) outers_.emplace(tail.outer, spans_.size());
    for (std::size_t i = 0; i < spans_.size(); ++i) {
        if (spans_[i].end == spans_[i].begin) continue;
        const auto found = outers_.find(spans_[i].begin);
        if (found != outers_.end() && found->second == spans_.size()) found->second = i;
    }
}

std::optional<std::size_t> EntryLayout::entry_at(std::uint64_t offset) const {
    const auto found = outers_.find(offset);
    if (found == outers_.end() || found->second == spans_.size()) return std::nullopt;
    return found->second;
}

bool layout_settled(EntryLayout& layout, std::vector<std::pair<std::size_t, std::size_t>>& overlaps, bool all) {
    overlaps = layout.overlaps(all);
    if (!layout.tails().empty()) layout.find_outers();
    return overlaps.empty() && layout.tails().empty();
}

void wanted(const EntryLayout& layout, const std::vector<std::pair<std::size_t, std::size_t>>& overlaps,
            std::map<std::size_t, bool>& indices) {
    for (const auto& [a, b] : overlaps) {
        indices.try_emplace(a, false);
        indices.try_emplace(b, false);
    }
    for (const EntryLayout::Tail& tail : layout.tails())
        if (auto outer = layout.entry_at(tail.outer)) indices[*outer] = true;
}

namespace {

bool ends_with(std::span<const std::uint8_t> whole, std::span<const std::uint8_t> tail) {
    return tail.size() <= whole.size() && std::equal(tail.begin(), tail.end(), whole.end() - static_cast<std::ptrdiff_t>(tail.size()));
}

// One tail against its outer entry; its move, when it moves.
EntryEnd decide_tail(const EntryLayout& layout, const EntryLayout::Tail& tail, const Recalled& recalled,
                     EntryMover* mover, std::vector<std::u16string>& moves) {
    const auto outer = layout.entry_at(tail.outer);
    if (!outer) return unexpected(messages::outer_missing(tail.address, tail.outer_text));
    const std::u16string& outer_address = recalled.addresses.at(*outer);
    if (tail.offset < layout.begin(*outer) || tail.offset + tail.length != layout.end(*outer))
        return unexpected(messages::not_a_tail(tail.address, outer_address));
    const auto bytes = recalled.bytes.find(*outer);
    if (bytes == recalled.bytes.end()) return Done{};  // the outer entry failed on its own, and said so
    if (!ends_with(bytes->second, tail.bytes)) return unexpected(messages::not_a_tail(tail.address, outer_address));
    // Where the tail now begins: the same distance from the end of the
    // outer entry's new text.
    const std::uint64_t now = layout.placed_at(*outer) + (bytes->second.size() - tail.bytes.size());
    if (now == tail.offset) return Done{};
    if (!mover) return unexpected(messages::tail_moves_without_pointers(tail.address, outer_address));
    const PlacedEntry placed_tail{tail.address, static_cast<std::uint32_t>(tail.offset), tail.length};
    auto followed = mover->follow(placed_tail, outer_address, static_cast<std::uint32_t>(now), tail.bytes.size());
    if (!followed) return unexpected(std::move(followed.error()));
    moves.push_back(mover->describe_tail(*followed, tail.address, outer_address));
    return Done{};
}

}  // namespace

EntryEnd decide(const EntryLayout& layout, const std::vector<std::pair<std::size_t, std::size_t>>& overlaps,
                const Recalled& recalled, EntryMover* mover, std::vector<Message>* failures,
                std::vector<std::u16string>& moves) {
    for (const auto& [a, b] : overlaps) {
        Message message = messages::entries_overlap(recalled.addresses.at(a), recalled.addresses.at(b));
        if (!failures) return unexpected(std::move(message));
        failures->push_back(std::move(message));
    }
    for (const EntryLayout::Tail& tail : layout.tails()) {
        EntryEnd decided = decide_tail(layout, tail, recalled, mover, moves);
        if (decided) continue;
        if (!failures) return decided;
        failures->push_back(std::move(decided.error()));
    }
    return Done{};
}

}  // namespace quillmere::script_reading
