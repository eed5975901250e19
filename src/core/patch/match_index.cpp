#include "core/patch/match_index.hpp"

#include <algorithm>

#include "core/memory/large_buffer.hpp"

namespace quillmere::patch {

std::uint64_t SourceIndex::stride_for(std::uint64_t size) {
    const std::uint64_t places = size >= 8 ? size - 7 : 0;
    // About one slot per sample, at most kMaxSlots (8 MiB): past that the
    // samples thin out, every place index fitting its field.
    return std::max<std::uint64_t>(
        {16, (places + kMaxSlots - 1) / kMaxSlots, (places + kIndexMask - 2) / (kIndexMask - 1)});
}

std::uint64_t SourceIndex::samples(std::uint64_t size) {
    const std::uint64_t places = size >= 8 ? size - 7 : 0;
    const std::uint64_t stride = stride_for(size);
    return (places + stride - 1) / stride;
}

SourceIndex::SourceIndex(std::span<const std::uint8_t> source, WindowFilter& filter) {
    stride_ = stride_for(source.size());
    const std::uint64_t samples = SourceIndex::samples(source.size());
    std::uint64_t slots = 2 * kWays;
    while (slots < samples && slots < kMaxSlots) slots <<= 1;
    shift_ = 64 - std::countr_zero(slots / kWays);
    memory::reserve_large(slots_, static_cast<std::size_t>(slots));
    slots_.resize(static_cast<std::size_t>(slots));

    const std::uint8_t* bytes = source.data();
    constexpr std::uint64_t kAhead = 64;
    for (std::uint64_t index = 0; index < samples; ++index) {
        if (index + kAhead < samples) {
            const std::uint64_t ahead = window_at(bytes + (index + kAhead) * stride_);
            prefetch(ahead);
            filter.prefetch(ahead);
        }
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

namespace {

// Table sizes: a power of two from 2 up to `most`, at least `wanted`; and
// the shift that takes a 64-bit hash to an index into it.
std::uint64_t table_size(std::uint64_t wanted, std::uint64_t most) {
    std::uint64_t size = 2;
    while (size < wanted && size < most) size <<= 1;
    return size;
}
int shift_for(std::uint64_t size) { return 64 - std::countr_zero(size); }

}  // namespace

WindowFilter::WindowFilter(std::uint64_t entries) {
    // About 16 bits a window.
    const std::uint64_t words = table_size(entries / 4, std::uint64_t{1} << 17);
    shift_ = shift_for(words);
    memory::reserve_large(bits_, static_cast<std::size_t>(words));
    bits_.resize(static_cast<std::size_t>(words));
}

TargetIndex::TargetIndex(std::uint64_t size, std::uint64_t stride) {
    const std::uint64_t slots = table_size(size / stride, std::uint64_t{1} << 18);
    shift_ = shift_for(slots);
    memory::reserve_large(slots_, static_cast<std::size_t>(slots));
    slots_.resize(static_cast<std::size_t>(slots));
}

}  // namespace quillmere::patch
