#include "core/find/hit_map.hpp"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

#include "core/encoding/hex.hpp"
#include "core/find/shape_scan.hpp"

namespace quillmere::find {
namespace {

// Codes given so far, each to one character.
class CodeAssignment {
public:
    explicit CodeAssignment(CodeForm form) : form_(form) {}

    void give(std::int64_t code, char32_t character) {
        if (code < 0 || code >= std::int64_t{form_.code_count()}) return;
        const auto value = static_cast<std::uint32_t>(code);
        if (taken_.insert(value).second) characters_.emplace_back(value, character);
    }

    // In table key order: for two-byte codes the key is the bytes as they
    // stand in the ROM.
    std::vector<std::pair<std::uint32_t, char32_t>> take() {
        auto key = [this](std::uint32_t code) {
            if (form_.width == 1 || form_.order == ByteOrder::big) return code;
            return (code & 0xFF) << 8 | code >> 8;
        };
        std::sort(characters_.begin(), characters_.end(),
                  [&](const auto& a, const auto& b) { return key(a.first) < key(b.first); });
        return std::move(characters_);
    }

private:
    CodeForm form_;
    std::unordered_set<std::uint32_t> taken_;
    std::vector<std::pair<std::uint32_t, char32_t>> characters_;
};

}  // namespace

DerivedMap derived_map(std::span<const std::uint8_t> rom, std::size_t offset, const ShapeQuery& query, CodeForm form,
                       const Sequence* fill) {
    DerivedMap map;
    map.form = form;
    const std::vector<std::uint32_t> codes = slot_codes(rom, offset, query.slots.size(), form);
    CodeAssignment assignment(form);
    std::unordered_set<char32_t> named;
    std::unordered_set<std::int64_t> numbered;
    for (std::size_t i = 0; i < query.slots.size(); ++i) {
        const Slot& slot = query.slots[i];
        if (slot.character != 0) {
            if (named.insert(slot.character).second) {
                map.entries.push_back({utf16_of(slot.character), codes[i]});
                assignment.give(codes[i], slot.character);
            }
        } else if (!slot.free && numbered.insert(slot.value).second) {
            std::u16string label(1, u'[');
            label += to_hex(static_cast<std::uint32_t>(slot.value));
            label += u']';
            map.entries.push_back({std::move(label), codes[i]});
            map.unnamed.push_back(codes[i]);
        }
    }
    if (fill) {
        // Each group from the first slot that ties it; where groups would
        // share codes, the group more of the query's characters tie wins.
        struct Anchor {
            std::uint32_t group = 0;
            std::size_t slot = 0, ties = 0;
        };
        std::vector<Anchor> anchors;
        for (std::size_t i = 0; i < query.slots.size(); ++i) {
            const Slot& slot = query.slots[i];
            if (slot.free || slot.group >= fill->groups().size()) continue;
            auto anchor = std::find_if(anchors.begin(), anchors.end(),
                                       [&](const Anchor& a) { return a.group == slot.group; });
            if (anchor == anchors.end()) anchor = anchors.insert(anchors.end(), Anchor{slot.group, i, 0});
            ++anchor->ties;
        }
        std::stable_sort(anchors.begin(), anchors.end(),
                         [](const Anchor& a, const Anchor& b) { return a.ties > b.ties; });
        for (const Anchor& anchor : anchors) {
            const std::int64_t base = std::int64_t{codes[anchor.slot]} - query.slots[anchor.slot].value;
            const std::u32string& group = fill->groups()[anchor.group];
            for (std::size_t k = 0; k < group.size(); ++k)
                assignment.give(base + static_cast<std::int64_t>(k), group[k]);
        }
    }
    map.characters = assignment.take();
    return map;
}

std::u16string map_text(const DerivedMap& map) {
    std::u16string text;
    for (const DerivedMap::Entry& entry : map.entries) {
        if (!text.empty()) text += u' ';
        text += entry.label;
        text += u'=';
        text += code_key(entry.code, map.form);
    }
    return text;
}

void append_shown(std::u16string& out, std::u16string_view text) {
    for (char16_t unit : text) out += is_control(unit) ? u'.' : unit;
}

std::u16string preview(std::span<const std::uint8_t> rom, std::size_t offset, const DerivedMap& map,
                       std::size_t count) {
    std::unordered_map<std::uint32_t, char32_t> known;
    for (std::uint32_t code : map.unnamed) known.emplace(code, U'#');
    for (auto [code, character] : map.characters) known.insert_or_assign(code, character);
    const auto width = static_cast<std::size_t>(map.form.width);
    std::u16string text;
    for (std::size_t i = 0; i < count && offset + (i + 1) * width <= rom.size(); ++i) {
        auto found = known.find(code_at(rom.data() + offset + i * width, map.form));
        if (found == known.end())
            text += u'.';
        else
            append_shown(text, utf16_of(found->second));
    }
    return text;
}

std::u16string table_text(const DerivedMap& map) {
    std::u16string text;
    for (auto [code, character] : map.characters) {
        text += code_key(code, map.form);
        text += u'=';
        text += utf16_of(character);
        text += u"\r\n";
    }
    return text;
}

}  // namespace quillmere::find
