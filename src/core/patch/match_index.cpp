#include "core/patch/match_index.hpp"

#include <algorithm>

#include "core/memory/large_buffer.hpp"

namespace quillmere::patch {

SourceIndex::SourceIndex(std::span<const std::uint8_t> source) {
    if (source.size() < 8) return;
    const std::uint64_t places = source.size() - 7;
    // Every place index must fit its field.
    stride_ = std::max<std::uint64_t>(16, (places + kIndexMask - 2) / (kIndexMask - 1));
    const std::uint64_t samples = (places + stride_ - 1) / stride_;
    // About one slot per sample, at most 8 MiB: a table that stays in the
    // cache is worth more than the samples a fuller one would keep.
    std::uint64_t slots = 2 * kWays;
    while (slots < samples && slots < (std::uint64_t{1} << 21)) slots <<= 1;
    buckets_ = slots / kWays;
    shift_ = 64 - std::countr_zero(buckets_);
    memory::reserve_large(slots_, static_cast<std::size_t>(slots));
    slots_.resize(static_cast<std::size_t>(slots));

    const std::uint8_t* bytes = source.data();
    for (std::uint64_t index = 0; index < samples; ++index) {
        const std::uint64_t window = window_at(bytes + index * stride_);
        if (uniform(window)) continue;
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

TargetIndex::TargetIndex() {
    memory::reserve_large(slots_, std::size_t{1} << kBits);
    slots_.resize(std::size_t{1} << kBits);
}

}  // namespace quillmere::patch
