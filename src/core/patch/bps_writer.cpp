// The BPS writer: one pass over the target, front to back. At each place it
// takes, in this order, what costs least: the source's bytes at the same
// place, a copy from elsewhere in the source or from the target already
// built, and else the target's byte itself.
#include <algorithm>

#include "core/memory/large_buffer.hpp"
#include "core/patch/bps.hpp"
#include "core/patch/checksums.hpp"
#include "core/patch/match_index.hpp"

namespace quillmere::patch {
namespace {

enum Action : std::uint8_t { kSourceRead = 0, kTargetRead = 1, kSourceCopy = 2, kTargetCopy = 3 };

// Equal bytes in place below this are cheaper inside the bytes around them
// than as a command of their own, which splits those bytes in two.
constexpr std::uint64_t kMinSourceRead = 3;
// A copy costs its command and a distance: shorter ones do not pay.
constexpr std::uint64_t kMinCopy = 10;
// How far ahead of a lookup the tables' entries are fetched.
constexpr std::uint64_t kLookAhead = 64;
// Places of new target bytes sampled for later copies.
constexpr std::uint64_t kTargetStride = 4;

struct Match {
    std::uint64_t start = 0;  // in the target
    std::uint64_t from = 0;   // in the source, or in the target
    std::uint64_t length = 0;
    bool in_target = false;
};

class Writer {
public:
    Writer(std::span<const std::uint8_t> source, std::span<const std::uint8_t> target, Bytes& out)
        : source_(source), target_(target), out_(out) {}

    void source_read(std::uint64_t length) { command(kSourceRead, length); }

    void target_read(std::uint64_t from, std::uint64_t to) {
        if (to <= from) return;
        command(kTargetRead, to - from);
        out_.insert(out_.end(), target_.begin() + static_cast<std::ptrdiff_t>(from),
                    target_.begin() + static_cast<std::ptrdiff_t>(to));
    }

    void copy(const Match& match) {
        command(match.in_target ? kTargetCopy : kSourceCopy, match.length);
        std::uint64_t& relative = match.in_target ? target_at_ : source_at_;
        if (match.from >= relative) {
            put_number(out_, (match.from - relative) << 1);
        } else {
            put_number(out_, (relative - match.from) << 1 | 1);
        }
        relative = match.from + match.length;
    }

private:
    void command(Action action, std::uint64_t length) { put_number(out_, (length - 1) << 2 | action); }

    std::span<const std::uint8_t> source_, target_;
    Bytes& out_;
    std::uint64_t source_at_ = 0, target_at_ = 0;
};

class Matcher {
public:
    Matcher(std::span<const std::uint8_t> source, std::span<const std::uint8_t> target)
        : source_(source),
          target_(target),
          filter_(SourceIndex::samples(source.size()) + target.size() / kTargetStride),
          index_(source, filter_),
          targets_(target.size(), kTargetStride) {}

    // The longest copy that covers `at`, reaching back no further than
    // `pending` (the new bytes not yet written); none shorter than kMinCopy.
    Match find(std::uint64_t at, std::uint64_t pending) const {
        Match best;
        const std::uint64_t size = target_.size();
        if (at + 8 > size) return best;
        const std::uint8_t* here = target_.data() + at;
        const std::uint64_t window = window_at(here);
        if (uniform(window) && at > 0 && target_[at - 1] == target_[at]) {
            // A run: a copy from the byte before, reaching back over the
            // run's start.
            std::uint64_t start = at;
            while (start > pending && start >= 2 && target_[start - 2] == target_[at]) --start;
            best = {start, start - 1, at - start + 8 + equal_length(here - 1 + 8, here + 8, size - at - 8), true};
        }
        if (!filter_.may_hold(window)) return finish(best);
        index_.each(window, [&](std::uint64_t place) {
            if (window_at(source_.data() + place) == window) consider(best, at, pending, place, false);
        });
        if (const std::uint64_t place = targets_.find(window); place != 0 && window_at(target_.data() + place - 1) == window)
            consider(best, at, pending, place - 1, true);
        return finish(best);
    }

    // Fetches the tables' entries for the place `ahead`, looked up soon.
    [[gnu::always_inline]] void prefetch(std::uint64_t ahead) const {
        if (ahead + 8 > target_.size()) return;
        const std::uint64_t window = window_at(target_.data() + ahead);
        filter_.prefetch(window);
    }

    // New bytes the target holds from here on, for later copies.
    void remember(std::uint64_t from, std::uint64_t to) {
        const std::uint64_t last = std::min(to, target_.size() >= 8 ? target_.size() - 7 : 0);
        for (std::uint64_t place = (from + kTargetStride - 1) / kTargetStride * kTargetStride; place < last;
             place += kTargetStride) {
            const std::uint64_t window = window_at(target_.data() + place);
            if (!uniform(window)) {
                targets_.add(window, place);
                filter_.add(window);
            }
        }
    }

private:
    static Match finish(Match best) {
        if (best.length < kMinCopy) best.length = 0;
        return best;
    }

    // A match of eight bytes at `at` and `from`, extended both ways.
    void consider(Match& best, std::uint64_t at, std::uint64_t pending, std::uint64_t from, bool in_target) const {
        const std::span<const std::uint8_t> origin = in_target ? target_ : source_;
        const std::uint64_t ahead =
            8 + equal_length(origin.data() + from + 8, target_.data() + at + 8,
                             std::min(origin.size() - from - 8, target_.size() - at - 8));
        std::uint64_t back = 0;
        while (at - back > pending && from - back > 0 && origin[from - back - 1] == target_[at - back - 1]) ++back;
        if (back + ahead > best.length) best = {at - back, from - back, back + ahead, in_target};
    }

    std::span<const std::uint8_t> source_, target_;
    WindowFilter filter_;  // before index_, which fills it
    SourceIndex index_;
    TargetIndex targets_;
};

}  // namespace

Bytes create_bps(std::span<const std::uint8_t> source, std::span<const std::uint8_t> target,
                 std::span<const std::uint8_t> metadata) {
    Bytes out;
    // Room for a patch of every eighth byte, untouched until used.
    memory::reserve_large(out, metadata.size() + target.size() / 8 + 64);
    out.insert(out.end(), {'B', 'P', 'S', '1'});
    put_number(out, source.size());
    put_number(out, target.size());
    put_number(out, metadata.size());
    out.insert(out.end(), metadata.begin(), metadata.end());

    Writer writer(source, target, out);
    Matcher matcher(source, target);
    const std::uint64_t size = target.size();
    const std::uint64_t common = std::min<std::uint64_t>(source.size(), size);
    std::uint64_t pending = 0;  // the new bytes [pending, at) wait to be written
    auto flush = [&](std::uint64_t to) {
        writer.target_read(pending, to);
        matcher.remember(pending, to);
    };
    std::uint64_t at = 0;
    while (at < size) {
        if (at < common && source[at] == target[at]) {
            const std::uint64_t same = equal_length(source.data() + at, target.data() + at, common - at);
            if (same >= kMinSourceRead || pending == at) {
                flush(at);
                writer.source_read(same);
                at += same;
                pending = at;
                continue;
            }
        }
        matcher.prefetch(at + kLookAhead);
        const Match match = matcher.find(at, pending);
        if (match.length > 0) {
            flush(match.start);
            writer.copy(match);
            at = match.start + match.length;
            pending = at;
            continue;
        }
        ++at;
    }
    flush(size);

    put_le32(out, crc32(source));
    put_le32(out, crc32(target));
    put_le32(out, crc32(out));
    return out;
}

}  // namespace quillmere::patch
