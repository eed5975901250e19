#include "core/patch/image_diff.hpp"

#include <algorithm>
#include <queue>

#include "core/patch/match_index.hpp"

namespace quillmere::patch {
namespace {

struct Run {
    std::uint64_t first = 0, last = 0;
};

std::vector<Run> changed_runs(std::span<const std::uint8_t> a, std::span<const std::uint8_t> b) {
    std::vector<Run> runs;
    const std::uint64_t common = std::min(a.size(), b.size());
    std::uint64_t at = 0;
    while (at < common) {
        at += equal_length(a.data() + at, b.data() + at, common - at);
        if (at == common) break;
        const std::uint64_t first = at;
        while (at < common && a[at] != b[at]) ++at;
        runs.push_back({first, at - 1});
    }
    const std::uint64_t longer = std::max(a.size(), b.size());
    if (longer > common) {
        if (!runs.empty() && runs.back().last + 1 == common) {
            runs.back().last = longer - 1;
        } else {
            runs.push_back({common, longer - 1});
        }
    }
    return runs;
}

// A stretch of bytes owned by one explanation.
struct Segment {
    std::uint64_t first = 0, last = 0;
    std::size_t owner = 0;
};

// The explanations laid flat: where several cover a byte, the first in the
// list owns it. Only those that touch a change take part.
std::vector<Segment> segments_of(std::span<const Explanation> explanations, const std::vector<Run>& runs,
                                 std::uint64_t end) {
    struct Item {
        std::uint64_t first, last;
        std::size_t index;
    };
    std::vector<Item> items;
    for (std::size_t i = 0; i < explanations.size(); ++i) {
        const Explanation& e = explanations[i];
        if (e.last < e.first || e.first >= end) continue;
        const std::uint64_t last = std::min(e.last, end - 1);
        const auto run = std::lower_bound(runs.begin(), runs.end(), e.first,
                                          [](const Run& r, std::uint64_t at) { return r.last < at; });
        if (run != runs.end() && run->first <= last) items.push_back({e.first, last, i});
    }
    std::sort(items.begin(), items.end(), [](const Item& x, const Item& y) { return x.first < y.first; });

    auto later_in_list = [](const Item& x, const Item& y) { return x.index > y.index; };
    std::priority_queue<Item, std::vector<Item>, decltype(later_in_list)> open(later_in_list);
    std::vector<Segment> segments;
    std::size_t next = 0;
    std::uint64_t at = 0;
    while (next < items.size() || !open.empty()) {
        if (open.empty()) at = std::max(at, items[next].first);
        while (next < items.size() && items[next].first <= at) open.push(items[next++]);
        while (!open.empty() && open.top().last < at) open.pop();
        if (open.empty()) continue;
        const Item& owner = open.top();
        std::uint64_t last = owner.last;
        if (next < items.size()) last = std::min(last, items[next].first - 1);
        if (!segments.empty() && segments.back().owner == owner.index && segments.back().last + 1 == at) {
            segments.back().last = last;
        } else {
            segments.push_back({at, last, owner.index});
        }
        at = last + 1;
    }
    return segments;
}

}  // namespace

std::vector<ChangedRange> diff_images(std::span<const std::uint8_t> original, std::span<const std::uint8_t> modified,
                                      std::span<const Explanation> explanations) {
    const std::vector<Run> runs = changed_runs(original, modified);
    std::vector<ChangedRange> ranges;
    if (explanations.empty()) {
        for (const Run& run : runs) ranges.push_back({run.first, run.last, run.last - run.first + 1, std::nullopt});
        return ranges;
    }
    const std::uint64_t end = std::max(original.size(), modified.size());
    const std::vector<Segment> segments = segments_of(explanations, runs, end);

    std::vector<std::optional<std::size_t>> range_of(explanations.size());  // explanation -> its range
    auto add = [&](std::uint64_t first, std::uint64_t last, std::optional<std::size_t> owner) {
        const std::uint64_t count = last - first + 1;
        if (owner && range_of[*owner]) {
            ChangedRange& range = ranges[*range_of[*owner]];
            range.last = last;
            range.changed += count;
            return;
        }
        if (owner) range_of[*owner] = ranges.size();
        ranges.push_back({first, last, count, owner});
    };
    std::size_t segment = 0;
    for (const Run& run : runs) {
        std::uint64_t at = run.first;
        while (at <= run.last) {
            while (segment < segments.size() && segments[segment].last < at) ++segment;
            if (segment < segments.size() && segments[segment].first <= at) {
                const std::uint64_t last = std::min(run.last, segments[segment].last);
                add(at, last, segments[segment].owner);
                at = last + 1;
            } else {
                const std::uint64_t last =
                    segment < segments.size() ? std::min(run.last, segments[segment].first - 1) : run.last;
                add(at, last, std::nullopt);
                at = last + 1;
            }
        }
    }
    std::stable_sort(ranges.begin(), ranges.end(),
                     [](const ChangedRange& x, const ChangedRange& y) { return x.first < y.first; });
    return ranges;
}

}  // namespace quillmere::patch
