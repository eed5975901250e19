#include "core/layout/code_widths.hpp"

#include "core/encoding/code_line.hpp"
#include "core/encoding/hex.hpp"

namespace quillmere {
namespace {

// A width fits an int32 with room to spare when a line's widths are summed.
constexpr std::int64_t kMaxWidth = 1'000'000;

std::optional<std::int32_t> pixels(std::u16string_view text) {
    if (text.empty() || text.size() > 7) return std::nullopt;
    std::int32_t value = 0;
    for (char16_t c : text) {
        if (c < u'0' || c > u'9') return std::nullopt;
        value = value * 10 + (c - u'0');
    }
    if (value > kMaxWidth) return std::nullopt;
    return value;
}

std::u16string code_text(CodeBytes code) {
    std::u16string text;
    for (std::size_t i = 0; i < code.size; ++i) append_hex_byte(text, code.bytes[i]);
    return text;
}

}  // namespace

std::size_t CodeWidths::index_of(CodeBytes code) {
    return code.size == 1 ? code.bytes[0] : static_cast<std::size_t>(code.bytes[0]) << 8 | code.bytes[1];
}

Expected<CodeWidths, WidthsFailure> CodeWidths::parse(std::span<const std::u16string> lines,
                                                      std::optional<std::int64_t> fallback,
                                                      const ReverseTables& tables) {
    CodeWidths widths;
    widths.widths_.assign(0x10000, kNone);
    for (const std::u16string& line : lines) {
        if (line.empty()) continue;
        auto parts = split_code_line(line);
        auto code = parts ? hex2num(parts->code) : std::nullopt;
        auto width = parts ? pixels(parts->value) : std::nullopt;
        if (!code || *code > 0xFFFF || !width) return unexpected(WidthsFailure{WidthsFailure::Kind::bad_line, line});
        widths.widths_[static_cast<std::size_t>(*code)] = *width;
    }
    if (fallback) {
        widths.fallback_ = std::min(std::max<std::int64_t>(*fallback, 0), kMaxWidth);
        return widths;
    }
    std::optional<CodeBytes> missing;
    tables.for_each_code([&](CodeBytes code) {
        if (widths.widths_[index_of(code)] != kNone) return;
        if (!missing || index_of(code) < index_of(*missing)) missing = code;
    });
    if (missing) return unexpected(WidthsFailure{WidthsFailure::Kind::missing_code, code_text(*missing)});
    return widths;
}

std::int64_t CodeWidths::width(CodeBytes code) const {
    if (!code.usable()) return 0;
    const std::int32_t width = widths_[index_of(code)];
    return width == kNone ? fallback_ : width;
}

}  // namespace quillmere
