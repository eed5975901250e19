#include "core/pointers/address_map.hpp"

#include <algorithm>
#include <limits>

namespace quillmere {
namespace {

constexpr std::uint64_t kNoEnd = std::numeric_limits<std::uint64_t>::max();
constexpr std::uint64_t kNesHeader = 0x10;
constexpr std::uint64_t kBank16k = 0x4000;

bool snes_ram_bank(std::uint64_t bank) { return bank == 0x7E || bank == 0x7F; }

std::optional<std::uint32_t> bank_number(std::u16string_view text) {
    if (text.empty() || text.size() > 4) return std::nullopt;
    std::uint32_t value = 0;
    for (char16_t c : text) {
        int digit = -1;
        if (c >= u'0' && c <= u'9') digit = c - u'0';
        else if (c >= u'A' && c <= u'F') digit = c - u'A' + 10;
        else if (c >= u'a' && c <= u'f') digit = c - u'a' + 10;
        if (digit < 0) return std::nullopt;
        value = value * 16 + static_cast<std::uint32_t>(digit);
    }
    return value;
}

bool same_word(std::u16string_view text, std::u16string_view word) {
    if (text.size() != word.size()) return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char16_t c = text[i];
        if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
        if (c != word[i]) return false;
    }
    return true;
}

void add(Addresses& list, std::uint64_t address) { list.at[list.count++] = address; }

// The addresses in `list`, those for which `same(address)` holds first.
template <class Same>
Addresses nearest_first(const Addresses& list, Same same) {
    Addresses sorted;
    for (std::size_t i = 0; i < list.count; ++i)
        if (same(list.at[i])) add(sorted, list.at[i]);
    for (std::size_t i = 0; i < list.count; ++i)
        if (!same(list.at[i])) add(sorted, list.at[i]);
    return sorted;
}

std::uint64_t nes_last_bank(const RomShape& shape) { return shape.nes_banks == 0 ? 0 : shape.nes_banks - 1; }

}  // namespace

RomShape RomShape::of(std::span<const std::uint8_t> rom) {
    RomShape shape;
    shape.size = rom.size();
    const bool ines = rom.size() >= kNesHeader && rom[0] == 'N' && rom[1] == 'E' && rom[2] == 'S' && rom[3] == 0x1A;
    if (ines && rom[4] != 0)
        shape.nes_banks = rom[4];
    else if (rom.size() > kNesHeader)
        shape.nes_banks = static_cast<std::uint32_t>(std::max<std::uint64_t>((rom.size() - kNesHeader) / kBank16k, 1));
    return shape;
}

std::optional<AddressMap> parse_address_map(std::u16string_view text) {
    if (same_word(text, u"linear")) return AddressMap{MapKind::linear, 0};
    if (same_word(text, u"lorom")) return AddressMap{MapKind::lorom, 0};
    if (same_word(text, u"hirom")) return AddressMap{MapKind::hirom, 0};
    const std::size_t colon = text.find(u':');
    if (colon == std::u16string_view::npos) return std::nullopt;
    const std::u16string_view kind = text.substr(0, colon);
    const auto bank = bank_number(text.substr(colon + 1));
    if (!bank) return std::nullopt;
    if (same_word(kind, u"gb")) return AddressMap{MapKind::gb, *bank};
    if (same_word(kind, u"nes")) return AddressMap{MapKind::nes, *bank};
    return std::nullopt;
}

std::u16string address_map_text(const AddressMap& map) {
    static constexpr char16_t kDigits[] = u"0123456789ABCDEF";
    auto with_bank = [&](std::u16string text) {
        std::u16string digits;
        std::uint32_t bank = map.bank;
        do {
            digits.insert(digits.begin(), kDigits[bank & 0xF]);
            bank >>= 4;
        } while (bank != 0);
        return text + digits;
    };
    switch (map.kind) {
    case MapKind::linear: return u"linear";
    case MapKind::lorom: return u"lorom";
    case MapKind::hirom: return u"hirom";
    case MapKind::gb: return with_bank(u"gb:");
    case MapKind::nes: return with_bank(u"nes:");
    }
    return u"linear";
}

std::optional<std::uint64_t> offset_of(const AddressMap& map, std::uint64_t address, const RomShape& shape) {
    switch (map.kind) {
    case MapKind::linear:
        return address;
    case MapKind::lorom: {
        const std::uint64_t bank = address >> 16, low = address & 0xFFFF;
        if (address > 0xFFFFFF || low < 0x8000 || snes_ram_bank(bank)) return std::nullopt;
        return (bank & 0x7F) * 0x8000 + (low - 0x8000);
    }
    case MapKind::hirom: {
        const std::uint64_t bank = address >> 16, low = address & 0xFFFF;
        if (address > 0xFFFFFF || snes_ram_bank(bank)) return std::nullopt;
        if ((bank & 0x40) == 0 && low < 0x8000) return std::nullopt;
        return address & 0x3FFFFF;
    }
    case MapKind::gb:
        if (address < kBank16k) return address;
        if (address < 2 * kBank16k) return std::uint64_t{map.bank} * kBank16k + (address - kBank16k);
        return std::nullopt;
    case MapKind::nes:
        if (address >= 0x8000 && address < 0xC000) return kNesHeader + std::uint64_t{map.bank} * kBank16k + (address - 0x8000);
        if (address >= 0xC000 && address < 0x10000) return kNesHeader + nes_last_bank(shape) * kBank16k + (address - 0xC000);
        return std::nullopt;
    }
    return std::nullopt;
}

Addresses addresses_of(const AddressMap& map, std::uint64_t offset, std::uint64_t near, const RomShape& shape) {
    Addresses list;
    switch (map.kind) {
    case MapKind::linear:
        add(list, offset);
        return list;
    case MapKind::lorom: {
        const std::uint64_t bank = offset / 0x8000, low = 0x8000 + offset % 0x8000;
        if (bank > 0x7F) return list;
        add(list, (bank | 0x80) << 16 | low);
        if (!snes_ram_bank(bank)) add(list, bank << 16 | low);
        return nearest_first(list, [&](std::uint64_t a) { return (a & 0x800000) == (near & 0x800000); });
    }
    case MapKind::hirom: {
        if (offset > 0x3FFFFF) return list;
        add(list, 0xC00000 | offset);
        if ((offset >> 16) < 0x3E) add(list, 0x400000 | offset);
        if ((offset & 0xFFFF) >= 0x8000) {
            add(list, 0x800000 | offset);
            add(list, offset);
        }
        return nearest_first(list, [&](std::uint64_t a) { return (a >> 22) == (near >> 22); });
    }
    case MapKind::gb: {
        if (offset < kBank16k) add(list, offset);
        const std::uint64_t start = std::uint64_t{map.bank} * kBank16k;
        if (offset >= start && offset < start + kBank16k) add(list, kBank16k + (offset - start));
        return nearest_first(list, [&](std::uint64_t a) { return (a >= kBank16k) == (near >= kBank16k); });
    }
    case MapKind::nes: {
        if (offset < kNesHeader) return list;
        const std::uint64_t bank = (offset - kNesHeader) / kBank16k, low = (offset - kNesHeader) % kBank16k;
        if (bank == map.bank) add(list, 0x8000 + low);
        if (bank == nes_last_bank(shape)) add(list, 0xC000 + low);
        return nearest_first(list, [&](std::uint64_t a) { return (a >= 0xC000) == (near >= 0xC000); });
    }
    }
    return list;
}

std::uint64_t window_end(const AddressMap& map, std::uint64_t offset, const RomShape&) {
    switch (map.kind) {
    case MapKind::linear: return kNoEnd;
    case MapKind::lorom: return (offset / 0x8000 + 1) * 0x8000;
    case MapKind::hirom: return (offset / 0x10000 + 1) * 0x10000;
    case MapKind::gb: return (offset / kBank16k + 1) * kBank16k;
    case MapKind::nes:
        if (offset < kNesHeader) return kNesHeader;
        return kNesHeader + ((offset - kNesHeader) / kBank16k + 1) * kBank16k;
    }
    return kNoEnd;
}

}  // namespace quillmere
