#include "core/find/shape_scan.hpp"

#include <algorithm>
#include <bit>
#include <cstring>
#include <vector>

namespace quillmere::find {
namespace {

// Two slots whose codes differ by `delta`: code(at) - code(anchor), offsets
// in bytes from the place tried.
struct Tie {
    std::uint32_t at = 0, anchor = 0;
    std::int64_t delta = 0;
};

// The query as byte offsets: every tie (the values of each group against
// its first slot, then equal names), the first slot of each name, the bytes
// a place covers.
struct Plan {
    std::vector<Tie> ties;
    std::vector<std::uint32_t> distinct;
    std::size_t span = 0;
    // A tie no two codes can meet: the query stands nowhere.
    bool impossible = false;
    // Two ties to sift places by, modulo the code size; none when the query
    // ties nothing.
    std::size_t sift_ties = 0;
    Tie sift[2];
};

Plan plan_of(const ShapeQuery& query, CodeForm form) {
    Plan plan;
    const auto width = static_cast<std::uint32_t>(form.width);
    plan.span = query.slots.size() * width;
    std::vector<std::int64_t> anchor_of;  // by group: the slot index, or -1
    for (std::uint32_t i = 0; i < query.slots.size(); ++i) {
        const Slot& slot = query.slots[i];
        if (slot.free) continue;
        if (slot.group >= anchor_of.size()) anchor_of.resize(slot.group + 1, -1);
        if (anchor_of[slot.group] < 0) {
            anchor_of[slot.group] = i;
            continue;
        }
        const auto anchor = static_cast<std::uint32_t>(anchor_of[slot.group]);
        plan.ties.push_back({i * width, anchor * width, slot.value - query.slots[anchor].value});
    }
    for (auto [slot, first] : query.names.equal) plan.ties.push_back({slot * width, first * width, 0});
    for (std::uint32_t slot : query.names.distinct) plan.distinct.push_back(slot * width);

    // A tie of a difference other than 0 sifts best: runs of one byte value
    // are common in ROMs. A difference no two codes can have is never met.
    const std::int64_t limit = form.code_count();
    for (const Tie& tie : plan.ties) plan.impossible = plan.impossible || tie.delta <= -limit || tie.delta >= limit;
    for (bool zero : {false, true})
        for (const Tie& tie : plan.ties)
            if ((tie.delta == 0) == zero && plan.sift_ties < 2) plan.sift[plan.sift_ties++] = tie;
    if (plan.sift_ties == 1) plan.sift[1] = plan.sift[0];
    return plan;
}

// Where the names are told apart: small sets pairwise, larger ones by
// marking each code with the number of the place being tried.
class Checker {
public:
    Checker(const Plan& plan, CodeForm form) : plan_(plan), form_(form) {
        if (plan.distinct.size() > kPairwise) marks_.assign(form.code_count(), 0);
    }

    bool holds(const std::uint8_t* at) {
        for (const Tie& tie : plan_.ties)
            if (std::int64_t{code_at(at + tie.at, form_)} - std::int64_t{code_at(at + tie.anchor, form_)} != tie.delta)
                return false;
        const std::size_t names = plan_.distinct.size();
        if (names <= kPairwise) {
            std::uint32_t codes[kPairwise];
            for (std::size_t i = 0; i < names; ++i) {
                codes[i] = code_at(at + plan_.distinct[i], form_);
                for (std::size_t j = 0; j < i; ++j)
                    if (codes[j] == codes[i]) return false;
            }
            return true;
        }
        if (++mark_ == 0) {
            std::fill(marks_.begin(), marks_.end(), 0);
            mark_ = 1;
        }
        for (std::uint32_t offset : plan_.distinct) {
            std::uint32_t& seen = marks_[code_at(at + offset, form_)];
            if (seen == mark_) return false;
            seen = mark_;
        }
        return true;
    }

private:
    static constexpr std::size_t kPairwise = 8;
    const Plan& plan_;
    CodeForm form_;
    std::vector<std::uint32_t> marks_;
    std::uint32_t mark_ = 0;
};

#if defined(__GNUC__)
// Places are sifted many at a time: a block of places is looked at one by
// one only when some place of it meets both sifting ties modulo the code
// size (on random bytes, one place in 65536 for one-byte codes).
using Bytes16 = std::uint8_t __attribute__((vector_size(16)));
using Words8 = std::uint16_t __attribute__((vector_size(16)));

template <class Vector>
Vector load(const std::uint8_t* at) {
    Vector v;
    std::memcpy(&v, at, sizeof v);
    return v;
}

template <class Vector, class Lane>
Vector splat(Lane value) {
    Lane lanes[sizeof(Vector) / sizeof(Lane)];
    std::fill(std::begin(lanes), std::end(lanes), value);
    return load<Vector>(reinterpret_cast<const std::uint8_t*>(lanes));
}

template <class Vector>
bool any(Vector v) {
    std::uint64_t halves[2];
    std::memcpy(halves, &v, sizeof halves);
    return (halves[0] | halves[1]) != 0;
}

// Calls try_block(start, count) for each block that may hold a place,
// starts first … last; returns the first start it did not sift.
template <class TryBlock>
std::size_t sift_bytes(const std::uint8_t* rom, std::size_t first, std::size_t last, const Tie (&sift)[2],
                       TryBlock&& try_block) {
    constexpr std::size_t kBlock = 64;
    const auto d0 = splat<Bytes16>(static_cast<std::uint8_t>(sift[0].delta));
    const auto d1 = splat<Bytes16>(static_cast<std::uint8_t>(sift[1].delta));
    std::size_t start = first;
    for (; start <= last && last - start + 1 >= kBlock; start += kBlock) {
        decltype(d0 == d1) met{};
        for (std::size_t k = 0; k < kBlock; k += 16) {
            const std::uint8_t* at = rom + start + k;
            met |= (load<Bytes16>(at + sift[0].at) - load<Bytes16>(at + sift[0].anchor) == d0) &
                   (load<Bytes16>(at + sift[1].at) - load<Bytes16>(at + sift[1].anchor) == d1);
        }
        if (any(met)) try_block(start, kBlock);
    }
    return start;
}

// Two-byte codes: the places of even and of odd offset each fill the eight
// lanes of a vector of 16-bit codes.
template <class TryBlock>
std::size_t sift_words(const std::uint8_t* rom, std::size_t first, std::size_t last, const Tie (&sift)[2],
                       ByteOrder order, TryBlock&& try_block) {
    constexpr std::size_t kBlock = 32;
    const bool swap = (order == ByteOrder::little) != (std::endian::native == std::endian::little);
    const auto d0 = splat<Words8>(static_cast<std::uint16_t>(sift[0].delta));
    const auto d1 = splat<Words8>(static_cast<std::uint16_t>(sift[1].delta));
    auto codes = [swap](const std::uint8_t* at) {
        const Words8 v = load<Words8>(at);
        return swap ? Words8(v << 8 | v >> 8) : v;
    };
    std::size_t start = first;
    for (; start <= last && last - start + 1 >= kBlock; start += kBlock) {
        decltype(d0 == d1) met{};
        for (std::size_t k = 0; k < kBlock; k += 16)
            for (std::size_t parity = 0; parity < 2; ++parity) {
                const std::uint8_t* at = rom + start + k + parity;
                met |= (codes(at + sift[0].at) - codes(at + sift[0].anchor) == d0) &
                       (codes(at + sift[1].at) - codes(at + sift[1].anchor) == d1);
            }
        if (any(met)) try_block(start, kBlock);
    }
    return start;
}
#endif

}  // namespace

Hits find_shapes(std::span<const std::uint8_t> rom, const ShapeQuery& query, CodeForm form, Stretch stretch,
                 std::size_t keep, std::size_t pick) {
    Hits hits;
    const Plan plan = plan_of(query, form);
    if (plan.impossible || plan.span == 0 || stretch.last >= rom.size() || stretch.first > stretch.last ||
        stretch.last - stretch.first + 1 < plan.span)
        return hits;
    const std::size_t last = stretch.last + 1 - plan.span;  // the last start
    const std::uint8_t* const data = rom.data();
    Checker checker(plan, form);
    auto try_block = [&](std::size_t start, std::size_t count) {
        for (std::size_t at = start; at < start + count; ++at)
            if (checker.holds(data + at)) hits.add(at, keep, pick);
    };
    std::size_t start = stretch.first;
#if defined(__GNUC__)
    // The vectors read up to 15 bytes past the last byte of a block's last
    // place's first code: still inside the place, so inside the stretch.
    if (plan.sift_ties > 0)
        start = form.width == 1 ? sift_bytes(data, start, last, plan.sift, try_block)
                                : sift_words(data, start, last, plan.sift, form.order, try_block);
#endif
    if (start <= last) try_block(start, last - start + 1);
    return hits;
}

std::vector<std::uint32_t> slot_codes(std::span<const std::uint8_t> rom, std::size_t offset, std::size_t slots,
                                      CodeForm form) {
    std::vector<std::uint32_t> codes;
    codes.reserve(slots);
    for (std::size_t i = 0; i < slots; ++i) codes.push_back(code_at(rom.data() + offset + i * form.width, form));
    return codes;
}

}  // namespace quillmere::find
