#include "core/pointers/pointer_list.hpp"

#include "core/encoding/hex.hpp"

namespace quillmere {
namespace {

std::u16string_view trimmed(std::u16string_view text) {
    while (!text.empty() && (text.front() == u' ' || text.front() == u'\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == u' ' || text.back() == u'\t')) text.remove_suffix(1);
    return text;
}

// Splits at commas into exactly `count` fields; false when there are more
// or fewer.
template <std::size_t N>
bool split_fields(std::u16string_view line, std::u16string_view (&fields)[N]) {
    for (std::size_t i = 0; i < N; ++i) {
        const std::size_t comma = line.find(u',');
        if ((comma == std::u16string_view::npos) != (i + 1 == N)) return false;
        fields[i] = trimmed(line.substr(0, comma));
        if (comma != std::u16string_view::npos) line.remove_prefix(comma + 1);
    }
    return true;
}

std::optional<Pointer> parse_line(std::u16string_view line) {
    std::u16string_view fields[4];
    if (!split_fields(line, fields)) return std::nullopt;
    const auto address = parse_hex32(fields[0]);
    const auto size = parse_pointer_size(fields[1]);
    const auto order = parse_byte_order(fields[2]);
    const auto base = parse_hex32(fields[3]);
    if (!address || !size || !order || !base) return std::nullopt;
    return Pointer{*address, *size, *order, *base};
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
    line += u',';
    line += static_cast<char16_t>(u'0' + pointer.size);
    line += pointer.order == ByteOrder::little ? u",LE," : u",BE,";
    line += to_hex(pointer.base);
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
