#include "core/pointers/pointer_list.hpp"

#include "core/encoding/hex.hpp"

namespace quillmere {
namespace {

std::u16string_view trimmed(std::u16string_view text) {
    while (!text.empty() && (text.front() == u' ' || text.front() == u'\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == u' ' || text.back() == u'\t')) text.remove_suffix(1);
    return text;
}

// Splits at `separator` into at most N fields; the count, or 0 when there
// are more.
template <std::size_t N>
std::size_t split_fields(std::u16string_view line, char16_t separator, std::u16string_view (&fields)[N]) {
    for (std::size_t i = 0; i < N; ++i) {
        const std::size_t at = line.find(separator);
        fields[i] = trimmed(line.substr(0, at));
        if (at == std::u16string_view::npos) return i + 1;
        line.remove_prefix(at + 1);
    }
    return 0;
}

// The place or places of ADDRESS into the pointer; false when they are not
// hexadecimal or their number does not match the size.
bool read_places(std::u16string_view text, Pointer& pointer) {
    if (text.find(u'/') == std::u16string_view::npos) {
        // One place, as nearly every line has.
        const auto place = parse_hex32(text);
        if (place) pointer.address = *place;
        return place.has_value();
    }
    std::u16string_view parts[4];
    const std::size_t count = split_fields(text, u'/', parts);
    if (count == 0) return false;
    for (std::size_t i = 0; i < count; ++i) {
        const auto place = parse_hex32(parts[i]);
        if (!place) return false;
        for (std::size_t k = 0; k < i; ++k)
            if (pointer.places[k] == *place) return false;  // one byte cannot be two of the pointer's
        pointer.places[i] = *place;
    }
    pointer.address = pointer.places[0];
    pointer.split = true;
    return count == pointer.size;
}

std::optional<Pointer> parse_line(std::u16string_view line) {
    std::u16string_view fields[6];
    const std::size_t count = split_fields(line, u',', fields);
    if (count < 4) return std::nullopt;
    Pointer pointer;
    const auto size = parse_pointer_size(fields[1]);
    const auto order = parse_byte_order(fields[2]);
    const auto base = parse_signed_hex32(fields[3]);
    if (!size || !order || !base) return std::nullopt;
    pointer.size = *size;
    pointer.order = *order;
    pointer.base = *base;
    if (!read_places(fields[0], pointer)) return std::nullopt;
    // The map, the skip mark, or the map and then the skip mark.
    std::size_t next = 4;
    if (next < count && fields[next] != u"-") {
        const auto map = parse_address_map(fields[next]);
        if (!map) return std::nullopt;
        pointer.map = *map;
        ++next;
    }
    if (next < count && fields[next] == u"-") {
        pointer.skip = true;
        ++next;
    }
    if (next != count) return std::nullopt;
    return pointer;
}

}  // namespace

std::optional<std::uint32_t> parse_hex32(std::u16string_view text) {
    if (text.empty()) return std::nullopt;
    std::uint64_t value = 0;
    for (char16_t c : text) {
        // Lists can hold a pointer for every string of a ROM: the digits are
        // read here rather than through a call per character.
        int digit = -1;
        if (c >= u'0' && c <= u'9') digit = c - u'0';
        else if (c >= u'A' && c <= u'F') digit = c - u'A' + 10;
        else if (c >= u'a' && c <= u'f') digit = c - u'a' + 10;
        if (digit < 0) return std::nullopt;
        value = value * 16 + static_cast<std::uint64_t>(digit);
        if (value > 0xFFFFFFFFu) return std::nullopt;
    }
    return static_cast<std::uint32_t>(value);
}

std::optional<std::int64_t> parse_signed_hex32(std::u16string_view text) {
    const bool negative = !text.empty() && text.front() == u'-';
    if (negative) text.remove_prefix(1);
    const auto value = parse_hex32(text);
    if (!value) return std::nullopt;
    return negative ? -std::int64_t{*value} : std::int64_t{*value};
}

std::u16string signed_hex(std::int64_t value) {
    if (value < 0) return u"-" + to_hex(static_cast<std::uint32_t>(-value));
    return to_hex(static_cast<std::uint32_t>(value));
}

std::optional<std::uint32_t> parse_decimal32(std::u16string_view text) {
    if (text.empty()) return std::nullopt;
    std::uint64_t value = 0;
    for (char16_t c : text) {
        if (c < u'0' || c > u'9') return std::nullopt;
        value = value * 10 + static_cast<std::uint64_t>(c - u'0');
        if (value > 0xFFFFFFFFu) return std::nullopt;
    }
    return static_cast<std::uint32_t>(value);
}

std::optional<std::uint8_t> parse_pointer_size(std::u16string_view text) {
    if (text == u"2" || text == u"3" || text == u"4") return static_cast<std::uint8_t>(text[0] - u'0');
    return std::nullopt;
}

std::optional<ByteOrder> parse_byte_order(std::u16string_view text) {
    if (text.size() != 2 || (text[1] != u'E' && text[1] != u'e')) return std::nullopt;
    if (text[0] == u'L' || text[0] == u'l') return ByteOrder::little;
    if (text[0] == u'B' || text[0] == u'b') return ByteOrder::big;
    return std::nullopt;
}

Expected<std::vector<Pointer>, PointerListFailure> parse_pointer_list(std::u16string_view text) {
    std::vector<Pointer> pointers;
    pointers.reserve(text.size() / 16);  // "1A0,4,LE,8000000" and its line end
    std::size_t number = 0;
    std::size_t position = 0;
    while (position < text.size()) {
        const std::size_t end = text.find_first_of(u"\r\n", position);
        const std::size_t line_end = end == std::u16string_view::npos ? text.size() : end;
        const std::u16string_view line = trimmed(text.substr(position, line_end - position));
        position = line_end + 1;
        if (end != std::u16string_view::npos && text[end] == u'\r' && position < text.size() && text[position] == u'\n')
            ++position;
        ++number;
        if (line.empty() || line.front() == u';') continue;
        auto pointer = parse_line(line);
        if (!pointer) return unexpected(PointerListFailure{number});
        pointers.push_back(*pointer);
    }
    return pointers;
}

std::u16string pointer_line(const Pointer& pointer) {
    std::u16string line = to_hex(pointer.address);
    if (pointer.split)
        for (std::size_t i = 1; i < pointer.size; ++i) line += u"/" + to_hex(pointer.places[i]);
    line += u',';
    line += static_cast<char16_t>(u'0' + pointer.size);
    line += pointer.order == ByteOrder::little ? u",LE," : u",BE,";
    line += signed_hex(pointer.base);
    if (pointer.map.kind != MapKind::linear) line += u"," + address_map_text(pointer.map);
    if (pointer.skip) line += u",-";
    return line;
}

std::u16string format_pointer_list(std::span<const Pointer> pointers) {
    std::u16string text;
    text.reserve(pointers.size() * 20);
    for (const Pointer& pointer : pointers) {
        text += pointer_line(pointer);
        text += u"\r\n";
    }
    return text;
}

}  // namespace quillmere
