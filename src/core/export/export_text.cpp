#include "core/export/export_text.hpp"

namespace quillmere {
namespace {

void append_hex_number(std::u16string& out, std::uint32_t value) {
    static constexpr char16_t kDigits[] = u"0123456789ABCDEF";
    char16_t buffer[8];
    std::size_t n = 0;
    do {
        buffer[n++] = kDigits[value & 0x0F];
        value >>= 4;
    } while (value != 0);
    while (n > 0) out += buffer[--n];
}

void append_decimal(std::u16string& out, std::int32_t value) {
    char16_t buffer[10];
    std::size_t n = 0;
    auto rest = static_cast<std::uint32_t>(value < 0 ? 0 : value);
    do {
        buffer[n++] = static_cast<char16_t>(u'0' + rest % 10);
        rest /= 10;
    } while (rest != 0);
    while (n > 0) out += buffer[--n];
}

bool is_blank(char16_t c) { return c == u' ' || c == u'\t'; }

}  // namespace

void append_record(std::u16string& out, std::uint32_t address, std::int32_t length, std::u16string_view text) {
    append_hex_number(out, address);
    out += u',';
    append_decimal(out, length);
    out += u',';
    out += text;
    out += kRecordEnd;
}

std::optional<std::int32_t> read_minimum_run_length(std::u16string_view text) {
    while (!text.empty() && is_blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && is_blank(text.back())) text.remove_suffix(1);
    bool negative = false;
    if (!text.empty() && (text.front() == u'+' || text.front() == u'-')) {
        negative = text.front() == u'-';
        text.remove_prefix(1);
    }
    if (text.empty()) return std::nullopt;
    // Anything from the longest run on up drops every run alike.
    constexpr std::int32_t kCap = kMaxRunLength + 1;
    std::int32_t value = 0;
    for (char16_t c : text) {
        if (c < u'0' || c > u'9') return std::nullopt;
        if (value < kCap) value = value * 10 + (c - u'0');
    }
    if (value > kCap) value = kCap;
    return negative ? -value : value;
}

}  // namespace quillmere
