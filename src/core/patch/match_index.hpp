#pragma once
// Where a stretch of bytes occurs elsewhere, for the BPS writer's copies.
// Places are found by their first eight bytes (a "window"), through a hash
// table that keeps a sample of places: a match of a few dozen bytes or more
// always covers a sampled place, and the writer extends it from there in
// both directions.

#include <bit>
#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

namespace quillmere::patch {

inline std::uint64_t window_at(const std::uint8_t* bytes) {
    std::uint64_t window;
    std::memcpy(&window, bytes, sizeof window);
    return window;
}

// A window of one byte repeated: runs are copied from the byte before
// instead, and would crowd every other place out of their bucket.
inline bool uniform(std::uint64_t window) { return window == (window & 0xFF) * 0x0101010101010101ULL; }

// The bytes from the start of both that are equal, up to `limit`.
inline std::uint64_t equal_length(const std::uint8_t* a, const std::uint8_t* b, std::uint64_t limit) {
    std::uint64_t n = 0;
    while (n + 8 <= limit) {
        const std::uint64_t diff = window_at(a + n) ^ window_at(b + n);
        if (diff != 0) return n + static_cast<std::uint64_t>(std::countr_zero(diff) / 8);
        n += 8;
    }
    while (n < limit && a[n] == b[n]) ++n;
    return n;
}

// One bit per hash of a window that either index below holds: small enough
// for the cache, so the many windows of new text that occur nowhere are
// turned away without a trip to the larger tables.
class WindowFilter {
public:
    // Room for about `entries` windows, at most 2 MiB.
    explicit WindowFilter(std::uint64_t entries);
    void add(std::uint64_t window) {
        const std::uint64_t hash = window * kMultiplier;
        bits_[hash >> shift_] |= mask(hash);
    }
    bool may_hold(std::uint64_t window) const {
        const std::uint64_t hash = window * kMultiplier;
        return (bits_[hash >> shift_] & mask(hash)) == mask(hash);
    }
    [[gnu::always_inline]] void prefetch(std::uint64_t window) const {
        __builtin_prefetch(bits_.data() + ((window * kMultiplier) >> shift_));
    }

private:
    // Two bits of one word per window: one memory access, and far fewer
    // windows let through than with one bit.
    static std::uint64_t mask(std::uint64_t hash) {
        return std::uint64_t{1} << ((hash >> 20) & 63) | std::uint64_t{1} << ((hash >> 26) & 63);
    }
    static constexpr std::uint64_t kMultiplier = 0xD6E8FEB86659FD93ULL;
    std::vector<std::uint64_t> bits_;
    int shift_ = 63;
};

// The source, sampled every `stride` bytes into buckets of four places.
class SourceIndex {
public:
    // Every sampled window also goes into `filter`.
    SourceIndex(std::span<const std::uint8_t> source, WindowFilter& filter);

    // How many places of a source of `size` bytes are sampled.
    static std::uint64_t samples(std::uint64_t size);

    // Calls found(place) for each sampled place whose window may be `window`
    // (the caller compares the bytes).
    template <class Found>
    void each(std::uint64_t window, Found&& found) const {
        const std::uint64_t hash = window * kMultiplier;
        const std::uint32_t* bucket = &slots_[(hash >> shift_) * kWays];
        const std::uint32_t print = fingerprint(hash);
        for (std::size_t way = 0; way < kWays; ++way) {
            const std::uint32_t slot = bucket[way];
            if (slot != 0 && (slot >> kIndexBits) == print) found((std::uint64_t{slot & kIndexMask} - 1) * stride_);
        }
    }

    // Asks for the bucket of a window looked up soon: the table is larger
    // than the cache, and a lookup waits for its bucket otherwise.
    // Inlined before the compiler can take it for a function without effect
    // and drop the call (GCC 12 does).
    [[gnu::always_inline]] void prefetch(std::uint64_t window) const {
        __builtin_prefetch(slots_.data() + ((window * kMultiplier) >> shift_) * kWays);
    }

private:
    static constexpr std::uint64_t kMultiplier = 0x9E3779B97F4A7C15ULL;
    static constexpr int kIndexBits = 22;
    static constexpr std::uint32_t kIndexMask = (std::uint32_t{1} << kIndexBits) - 1;
    static constexpr std::size_t kWays = 4;
    static constexpr std::uint64_t kMaxSlots = std::uint64_t{1} << 21;
    static std::uint64_t stride_for(std::uint64_t size);
    static std::uint32_t fingerprint(std::uint64_t hash) {
        return static_cast<std::uint32_t>(hash >> 20) & ((std::uint32_t{1} << (32 - kIndexBits)) - 1);
    }

    std::vector<std::uint32_t> slots_;  // never empty
    std::uint64_t stride_ = 16;
    int shift_ = 63;
};

// Places in the target's new bytes, one per bucket, the latest kept; each
// with a fingerprint of its window, so that a lookup reads the target only
// for a likely match.
class TargetIndex {
public:
    // Sized for the places of a target of `size` bytes sampled every
    // `stride`, at most 2 MiB.
    TargetIndex(std::uint64_t size, std::uint64_t stride);
    void add(std::uint64_t window, std::uint64_t place) {
        const std::uint64_t hash = window * kMultiplier;
        slots_[static_cast<std::size_t>(hash >> shift_)] = (hash & kPrintMask) | (place + 1);
    }
    // The place last added under the window's bucket and fingerprint, + 1;
    // 0 for none.
    std::uint64_t find(std::uint64_t window) const {
        const std::uint64_t hash = window * kMultiplier;
        const std::uint64_t slot = slots_[static_cast<std::size_t>(hash >> shift_)];
        return (slot & kPrintMask) == (hash & kPrintMask) ? slot & ~kPrintMask : 0;
    }
    [[gnu::always_inline]] void prefetch(std::uint64_t window) const {
        __builtin_prefetch(slots_.data() + ((window * kMultiplier) >> shift_));
    }

private:
    static constexpr std::uint64_t kMultiplier = 0xC2B2AE3D27D4EB4FULL;
    int shift_ = 63;
    // The low bits of the hash above the place; places stay below 2^40.
    static constexpr std::uint64_t kPrintMask = ~((std::uint64_t{1} << 40) - 1);
    std::vector<std::uint64_t> slots_;
};

}  // namespace quillmere::patch
