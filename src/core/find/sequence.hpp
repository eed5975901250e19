#pragma once
// The order in which a game's font is likely to hold its characters. A
// relative search looks for codes that differ as the characters' places in
// such an order differ. An order has groups, each anchored on its own: the
// Latin order's lower-case letters, upper-case letters and digits need not
// lie next to each other in a font.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace quillmere::find {

class Sequence {
public:
    // a-z, A-Z and 0-9, three groups.
    static Sequence latin();
    // The 46 plain kana in gojūon order (あ … ん), then the voiced and
    // half-voiced ones (が … ぽ), then the small ones (ぁ … ょ, っ): one group.
    static Sequence hiragana();
    static Sequence katakana();
    // A font's characters in its order, as a text file holds them: one group
    // of every character of the text, line ends left out (a font typed row
    // by row reads on from one row to the next). A character met again keeps
    // its first place.
    static Sequence from_text(std::u16string_view text);

    struct Place {
        std::uint32_t group = 0;
        std::uint32_t index = 0;
    };
    std::optional<Place> place_of(char32_t character) const {
        auto found = places_.find(character);
        if (found == places_.end()) return std::nullopt;
        return found->second;
    }

    const std::vector<std::u32string>& groups() const { return groups_; }
    bool empty() const { return places_.empty(); }

private:
    explicit Sequence(std::vector<std::u32string> groups);

    std::vector<std::u32string> groups_;
    std::unordered_map<char32_t, Place> places_;
};

}  // namespace quillmere::find
