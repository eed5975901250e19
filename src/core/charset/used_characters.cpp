#include "core/charset/used_characters.hpp"

#include <unordered_map>

#include "core/script/entry.hpp"
#include "core/script/token_walk.hpp"
#include "core/text/gbk.hpp"

namespace quillmere {
namespace {

bool is_high_surrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool is_low_surrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

class Tally {
public:
    void add(char32_t character) {
        auto [at, fresh] = index_.try_emplace(character, characters_.size());
        if (fresh) characters_.push_back({character, 0});
        ++characters_[at->second].count;
    }
    std::vector<UsedCharacter> take() { return std::move(characters_); }

private:
    std::unordered_map<char32_t, std::size_t> index_;
    std::vector<UsedCharacter> characters_;
};

// The walk of an entry's text: tokens are passed over, and so is text the
// single-byte table covers; every other character is counted.
struct CharacterWalk {
    const ReverseTables& single_table;
    Tally& tally;
    bool closed = true;

    bool token(std::u16string_view) { return true; }
    std::size_t plain(std::u16string_view text, std::size_t i) {
        if (auto match = single_table.match(text.substr(i))) return i + match->length;
        char32_t character = text[i];
        std::size_t units = 1;
        if (is_high_surrogate(text[i]) && i + 1 < text.size() && is_low_surrogate(text[i + 1])) {
            character = 0x10000 + ((char32_t{text[i]} - 0xD800) << 10) + (char32_t{text[i + 1]} - 0xDC00);
            units = 2;
        }
        tally.add(character);
        return i + units;
    }
    void unclosed(std::u16string_view) { closed = false; }
    void malformed() {}
};

}  // namespace

Expected<std::vector<UsedCharacter>, UnreadableEntry> used_characters(std::u16string_view script,
                                                                      const ReverseTables& single_table) {
    Tally tally;
    std::optional<UnreadableEntry> unreadable;
    for_each_entry(
        script,
        [&](const ScriptEntry& entry) {
            CharacterWalk walk{single_table, tally};
            walk_tokens(entry.text, walk);
            if (!walk.closed) unreadable = UnreadableEntry{std::u16string(entry.address)};
            return walk.closed;
        },
        [&](std::u16string_view address) {
            unreadable = UnreadableEntry{std::u16string(address)};
            return false;
        });
    if (unreadable) return unexpected(std::move(*unreadable));
    return tally.take();
}

std::optional<char32_t> first_unencodable(std::span<const UsedCharacter> characters) {
    for (const UsedCharacter& used : characters)
        if (!text::encode_gbk(utf16_of(used.character))) return used.character;
    return std::nullopt;
}

std::u16string utf16_of(char32_t character) {
    if (character < 0x10000) return std::u16string(1, static_cast<char16_t>(character));
    const char32_t offset = character - 0x10000;
    return {static_cast<char16_t>(0xD800 + (offset >> 10)), static_cast<char16_t>(0xDC00 + (offset & 0x3FF))};
}

}  // namespace quillmere
