#pragma once
// What changed between two images, and what explains each change: the
// caller's stretches (the records of a script, pointers, free blocks).

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace quillmere::patch {

// A stretch that may change, both ends included; the caller knows it by its
// place in the list.
struct Explanation {
    std::uint64_t first = 0, last = 0;
};

struct ChangedRange {
    std::uint64_t first = 0, last = 0;  // the first and last changed byte
    std::uint64_t changed = 0;          // the changed bytes from first to last
    std::optional<std::size_t> explained_by;  // index into the explanations

    friend bool operator==(const ChangedRange&, const ChangedRange&) = default;
};

// The changes from `original` to `modified`, in address order; the bytes
// past the end of the shorter one count as changed. Without explanations,
// each run of changed bytes is a range. With them, each changed byte goes to
// the first explanation in the list that covers it, the bytes of one
// explanation make one range, and the bytes none covers make a range per run.
std::vector<ChangedRange> diff_images(std::span<const std::uint8_t> original, std::span<const std::uint8_t> modified,
                                      std::span<const Explanation> explanations = {});

}  // namespace quillmere::patch
