#include "core/patch/match_index.hpp"

#include <algorithm>

#include "core/memory/large_buffer.hpp"

namespace quillmere::patch {

SourceIndex::SourceIndex(std::span<const std::uint8_t> source, WindowFilter& filter) {
    const std::uint64_t places = source.size() >= 8 ? source.size() - 7 : 0;
    // About one slot per sample, at most 2^21 slots (8 MiB): past that the
    // samples thin out, every place index fitting its field.
    constexpr std::uint64_t kMaxSlots = std::uint64_t{1} << 21;
    stride_ = std::max<std::uint64_t>({32, (places + kMaxSlots - 1) / kMaxSlots, (places + kIndexMask - 2) / (kIndexMask - 1)});
    const std::uint64_t samples = (places + stride_ - 1) / stride_;
    std::uint64_t slots = 2 * kWays;
    while (slots < samples && slots < kMaxSlots) slots <<= 1;
    shift_ = 64 - std::countr_zero(slots / kWays);
    memory::reserve_large(slots_, static_cast<std::size_t>(slots));
    slots_.resize(static_cast<std::size_t>(slots));

    const std::uint8_t* bytes = source.data();
    constexpr std::uint64_t kAhead = 64;
    for (std::uint64_t index = 0; index < samples; ++index) {
        if (index + kAhead < samples) prefetch(window_at(bytes + (index + kAhead) * stride_));
        const std::uint64_t window = window_at(bytes + index * stride_);
        if (uniform(window)) continue;
        filter.add(window);
        const std::uint64_t hash = window * kMultiplier;
        std::uint32_t* bucket = &slots_[(hash >> shift_) * kWays];
        const std::uint32_t slot = fingerprint(hash) << kIndexBits | static_cast<std::uint32_t>(index + 1);
        // An empty way, or else the one this place picks: later places push
        // out earlier ones evenly.
        std::size_t way = 0;
        while (way < kWays && bucket[way] != 0) ++way;
        bucket[way < kWays ? way : index % kWays] = slot;
    }
}

WindowFilter::WindowFilter() {
    memory::reserve_large(bits_, std::size_t{1} << kWordBits);
    bits_.resize(std::size_t{1} << kWordBits);
}

TargetIndex::TargetIndex() {
    memory::reserve_large(slots_, std::size_t{1} << kBits);
    slots_.resize(std::size_t{1} << kBits);
}

}  // namespace quillmere::patch
