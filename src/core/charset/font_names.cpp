#include "core/charset/font_names.hpp"

namespace quillmere {
namespace {

// Big-endian numbers at an offset, or nullopt past the end of the file.
struct Reader {
    std::span<const std::uint8_t> bytes;

    std::optional<std::uint32_t> u16(std::size_t at) const {
        if (at > bytes.size() || bytes.size() - at < 2) return std::nullopt;
        return static_cast<std::uint32_t>(bytes[at] << 8 | bytes[at + 1]);
    }
    std::optional<std::uint32_t> u32(std::size_t at) const {
        const auto high = u16(at), low = u16(at + 2);
        if (!high || !low) return std::nullopt;
        return *high << 16 | *low;
    }
};

constexpr std::uint32_t tag(const char (&name)[5]) {
    return static_cast<std::uint32_t>(name[0]) << 24 | static_cast<std::uint32_t>(name[1]) << 16 |
           static_cast<std::uint32_t>(name[2]) << 8 | static_cast<std::uint32_t>(name[3]);
}

// Where the font's own table directory starts: at the beginning, or for a
// collection where its first font's does.
std::optional<std::size_t> font_start(const Reader& file) {
    const auto version = file.u32(0);
    if (!version) return std::nullopt;
    if (*version == tag("ttcf")) {
        const auto count = file.u32(8), first = file.u32(12);
        if (!count || *count == 0 || !first) return std::nullopt;
        return *first;
    }
    if (*version == 0x00010000 || *version == tag("OTTO") || *version == tag("true")) return 0;
    return std::nullopt;
}

// The 'name' table: where it starts and how long it is.
std::optional<std::span<const std::uint8_t>> name_table(const Reader& file, std::size_t start) {
    const auto tables = file.u16(start + 4);
    if (!tables) return std::nullopt;
    for (std::uint32_t i = 0; i < *tables; ++i) {
        const std::size_t record = start + 12 + 16 * std::size_t{i};
        const auto name = file.u32(record), offset = file.u32(record + 8), length = file.u32(record + 12);
        if (!name || !offset || !length) return std::nullopt;
        if (*name != tag("name")) continue;
        if (*offset > file.bytes.size() || file.bytes.size() - *offset < *length) return std::nullopt;
        return file.bytes.subspan(*offset, *length);
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::u16string> font_family_name(std::span<const std::uint8_t> bytes) {
    const Reader file{bytes};
    const auto start = font_start(file);
    if (!start) return std::nullopt;
    const auto table = name_table(file, *start);
    if (!table) return std::nullopt;
    const Reader names{*table};
    const auto count = names.u16(2), strings = names.u16(4);
    if (!count || !strings) return std::nullopt;
    std::optional<std::u16string> found;
    for (std::uint32_t i = 0; i < *count; ++i) {
        const std::size_t record = 6 + 12 * std::size_t{i};
        const auto platform = names.u16(record), encoding = names.u16(record + 2), language = names.u16(record + 4),
                   name = names.u16(record + 6), length = names.u16(record + 8), offset = names.u16(record + 10);
        if (!offset) return found;
        // Windows names, in UTF-16 big-endian: the BMP or the whole of Unicode.
        if (*platform != 3 || (*encoding != 1 && *encoding != 10) || *name != 1) continue;
        const std::size_t at = std::size_t{*strings} + *offset;
        if (at > table->size() || table->size() - at < *length) continue;
        std::u16string family;
        for (std::size_t k = 0; k + 1 < *length; k += 2) family += static_cast<char16_t>(*names.u16(at + k));
        if (family.empty()) continue;
        if (*language == 0x0409) return family;
        if (!found) found = std::move(family);
    }
    return found;
}

}  // namespace quillmere
