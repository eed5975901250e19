#pragma once
// The filter lists as the check and the import use them: a token in braces
// -> the code of the tag that reads so.
//
// A double-byte CODE names the pair the export reads from it: one or two
// digits are 00 XY, three get a "0" in front, and a longer CODE gives its
// first two and its last two digits. A single-byte CODE is one hexadecimal
// number; codes up to 10100 are accepted and only 0-FF match, since nothing
// larger fits the byte the code is written as.

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/encoding/filter.hpp"
#include "core/expected.hpp"

namespace quillmere {

inline constexpr std::int32_t kFilterCodeLimit = 0x10100;

// Double-byte codes searched for a tag, both ends included; empty when
// low > high.
struct CodeRange {
    std::int32_t low = 0;
    std::int32_t high = 0xFFFF;
};

// From the texts of the range boxes (decimal, leading numeric part), clipped
// to the codes a double-byte tag can have.
CodeRange code_range(std::u16string_view low, std::u16string_view high);

class FilterLookup {
public:
    FilterLookup() = default;

    // The lines of a ticked list; the first failing line ends the parse and
    // leaves that list's tags out.
    Expected<Done, FilterFailure> add_double_list(std::span<const std::u16string> lines);
    Expected<Done, FilterFailure> add_single_list(std::span<const std::u16string> lines);

    // The lowest single-byte code 0-FF whose tag is `token`.
    std::optional<std::uint8_t> single_code(std::u16string_view token) const;
    // The lowest double-byte code inside `range` whose tag is `token`.
    std::optional<std::uint16_t> double_code(std::u16string_view token, CodeRange range) const;

    // The codes of one tag: its single-byte code, if any, and its
    // double-byte codes, ascending.
    struct TagCodes {
        std::optional<std::uint8_t> single;
        std::vector<std::uint16_t> doubles;
        std::optional<std::uint16_t> double_in(CodeRange range) const { return first_in(doubles, range); }
    };
    // The lowest of ascending `codes` inside `range`.
    static std::optional<std::uint16_t> first_in(std::span<const std::uint16_t> codes, CodeRange range);
    // Calls f(tag, codes) for every tag.
    template <class F>
    void for_each_tag(F&& f) const {
        for (const auto& [tag, code] : single_) f(std::u16string_view(tag), TagCodes{code, doubles_of(tag)});
        for (const auto& [tag, codes] : double_)
            if (!single_.contains(tag)) f(std::u16string_view(tag), TagCodes{std::nullopt, codes});
    }

private:
    struct Hash {
        using is_transparent = void;
        std::size_t operator()(std::u16string_view text) const { return std::hash<std::u16string_view>{}(text); }
    };
    template <class Code>
    using Index = std::unordered_map<std::u16string, Code, Hash, std::equal_to<>>;

    std::vector<std::uint16_t> doubles_of(const std::u16string& tag) const {
        auto found = double_.find(tag);
        return found == double_.end() ? std::vector<std::uint16_t>{} : found->second;
    }

    Index<std::uint8_t> single_;
    Index<std::vector<std::uint16_t>> double_;  // ascending codes
};

}  // namespace quillmere
