#pragma once
// Runs read from given starts (the targets of pointers) may begin inside an
// earlier run and end with it: a string whose pointer points into another
// one's tail. Such a run is written as that run's tail, named by the first
// run of that end, the outermost.

#include <cstdint>
#include <optional>
#include <unordered_map>

namespace quillmere::export_scan {

class TailMarks {
public:
    // Runs come in ascending order of their starts.
    std::optional<std::uint32_t> outer_of(std::int64_t start, std::int64_t end) {
        const auto [at, inserted] = outer_by_end_.try_emplace(end, static_cast<std::uint32_t>(start));
        if (inserted || at->second >= start) return std::nullopt;
        return at->second;
    }

private:
    std::unordered_map<std::int64_t, std::uint32_t> outer_by_end_;
};

}  // namespace quillmere::export_scan
