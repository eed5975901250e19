#include <algorithm>

#include "core/encoding/markers.hpp"
#include "core/script/text_codes.hpp"
#include "core/text/gbk.hpp"

namespace quillmere {
namespace {

// The code page 936 bytes of a text those bytes decode back to.
std::optional<std::string> spelled_in_code_page_936(std::u16string_view text) {
    auto bytes = text::encode_gbk_round_trip(text);
    if (!bytes) return std::nullopt;
    return std::string(bytes->begin(), bytes->end());
}

}  // namespace

void GbkScriptTables::TagIndex::add(std::string bytes, FilterLookup::TagCodes codes) {
    if (2 * (used_ + 1) > slots_.size()) grow();
    for (std::size_t at = hash(bytes) & mask_;; at = (at + 1) & mask_) {
        Slot& slot = slots_[at];
        if (slot.used && slot.bytes != bytes) continue;
        if (!slot.used) ++used_;
        slot = Slot{std::move(bytes), std::move(codes), true};
        return;
    }
}

void GbkScriptTables::TagIndex::grow() {
    std::vector<Slot> old = std::move(slots_);
    slots_.assign(std::max<std::size_t>(16, old.size() * 2), Slot{});
    mask_ = slots_.size() - 1;
    used_ = 0;
    for (Slot& slot : old)
        if (slot.used) add(std::move(slot.bytes), std::move(slot.codes));
}

GbkScriptTables::GbkScriptTables(const ScriptTables& script_tables)
    : tables(script_tables), reverse(script_tables.reverse),
      end_word(spelled_in_code_page_936(kEndWord).value()),
      jump_word(spelled_in_code_page_936(kJumpWord).value()),
      colon(spelled_in_code_page_936(std::u16string_view(&kFullWidthColon, 1)).value()) {
    script_tables.filters.for_each_tag([&](std::u16string_view tag, FilterLookup::TagCodes codes) {
        if (auto bytes = spelled_in_code_page_936(tag)) tags.add(std::move(*bytes), std::move(codes));
    });
}

}  // namespace quillmere
