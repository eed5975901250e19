#include "core/script/gbk_reverse_tables.hpp"

#include "core/text/gbk.hpp"

namespace quillmere {
namespace {

// The code of the first character of a well-formed code page 936 text.
std::uint16_t first_code(std::string_view bytes, std::size_t& width) {
    const auto lead = static_cast<std::uint8_t>(bytes[0]);
    if (is_gbk_lead(lead) && bytes.size() > 1) {
        width = 2;
        return static_cast<std::uint16_t>(lead << 8 | static_cast<std::uint8_t>(bytes[1]));
    }
    width = 1;
    return lead;
}

}  // namespace

GbkReverseTables::GbkReverseTables(const ReverseTables& tables)
    : slots_(std::size_t{1} << 16), alone_(std::size_t{1} << 16, 0) {
    tables.for_each_value([&](std::u16string_view value, CodeBytes code) {
        if (value.find(u'{') != std::u16string_view::npos) return;
        // Only what a script's bytes decode to can match: a value the encoder
        // writes by a one-way mapping cannot.
        auto encoded = text::encode_gbk_round_trip(value);
        if (!encoded || encoded->empty()) return;
        const std::string bytes(encoded->begin(), encoded->end());
        std::size_t width = 0;
        const std::uint16_t first = first_code(bytes, width);
        Slot& slot = slots_[first];
        if (bytes.size() > width) {
            group_for(first).longer.push_back({bytes, code});
        } else if (slot.kind == Slot::none) {
            slot.kind = Slot::one_value;
            slot.code = code;
        } else if (slot.kind == Slot::grouped && !groups_[slot.group].has_one) {
            groups_[slot.group].has_one = true;
            groups_[slot.group].one = code;
        }
    });
    // A code without bytes (a key that is no code) is left to `match`, which
    // reports it.
    for (std::size_t first = 0; first < slots_.size(); ++first)
        if (slots_[first].kind == Slot::one_value && slots_[first].code.usable())
            alone_[first] = packed(slots_[first].code);
    two_bytes_.assign(std::size_t{1} << 16, 0);
    for (std::size_t at = 0; at < two_bytes_.size(); ++at) {
        const auto lead = static_cast<std::uint8_t>(at & 0xFF);
        const auto next = static_cast<std::uint8_t>(at >> 8);
        const bool pair = is_gbk_lead(lead);
        const std::uint32_t code = alone_[pair ? std::size_t{lead} << 8 | next : lead];
        if (code != 0) two_bytes_[at] = code | (pair ? 2u : 1u) << 24;
    }
}

GbkReverseTables::Group& GbkReverseTables::group_for(std::uint16_t first) {
    Slot& slot = slots_[first];
    if (slot.kind != Slot::grouped) {
        Group group;
        if (slot.kind == Slot::one_value) {
            group.has_one = true;
            group.one = slot.code;
        }
        slot.kind = Slot::grouped;
        slot.group = static_cast<std::uint32_t>(groups_.size());
        groups_.push_back(std::move(group));
    }
    return groups_[slot.group];
}

}  // namespace quillmere
