#include "core/charset/used_characters.hpp"

#include <unordered_map>

#include "core/script/entry.hpp"
#include "core/text/gbk.hpp"
#include "core/text/lines.hpp"

namespace quillmere {
namespace {

constexpr auto npos = std::u16string_view::npos;

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

// False when a "{" has no "}" after it.
bool tally_text(std::u16string_view text, const ReverseTables& single_table, Tally& tally) {
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] == u'{') {
            const std::size_t close = text.find(u'}', i + 1);
            if (close == npos) return false;
            i = close + 1;
            continue;
        }
        std::size_t plain_end = text.find(u'{', i);
        if (plain_end == npos) plain_end = text.size();
        while (i < plain_end) {
            if (auto match = single_table.match(text.substr(i, plain_end - i))) {
                i += match->length;
                continue;
            }
            char32_t character = text[i];
            std::size_t units = 1;
            if (is_high_surrogate(text[i]) && i + 1 < plain_end && is_low_surrogate(text[i + 1])) {
                character = 0x10000 + ((char32_t{text[i]} - 0xD800) << 10) + (char32_t{text[i + 1]} - 0xDC00);
                units = 2;
            }
            tally.add(character);
            i += units;
        }
    }
    return true;
}

}  // namespace

Expected<std::vector<UsedCharacter>, UnreadableEntry> used_characters(std::u16string_view script,
                                                                      const ReverseTables& single_table) {
    Tally tally;
    std::u16string_view previous_address;
    text::LineReader lines(script);
    while (auto line = lines.next()) {
        if (line->empty()) continue;
        auto entry = splitentry(*line);
        if (!entry)
            return unexpected(UnreadableEntry{std::u16string(entry.error().address.value_or(previous_address))});
        previous_address = entry->address;
        if (!tally_text(entry->text, single_table, tally))
            return unexpected(UnreadableEntry{std::u16string(entry->address)});
    }
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
