#include "core/text/gbk.hpp"

#include <unicode/ucnv.h>
#include <unicode/ucnv_err.h>
#include <unicode/ustring.h>

#include <memory>
#include <optional>
#include <vector>

#include "core/text/gbk_tables.hpp"
#include "core/memory/large_buffer.hpp"

namespace quillmere::text {
namespace {

// Windows' own table: 80 is the euro sign, the user-defined rows map to the
// private use area.
constexpr const char* kCodePage936 = "windows-936-2000";

struct ConverterCloser {
    void operator()(UConverter* converter) const { ucnv_close(converter); }
};
using Converter = std::unique_ptr<UConverter, ConverterCloser>;

// Past this size a buffer is worth advising for huge pages.
constexpr std::size_t kLargeText = std::size_t{1} << 20;

Converter open_converter(const char* name) {
    UErrorCode status = U_ZERO_ERROR;
    Converter converter(ucnv_open(name, &status));
    if (U_FAILURE(status)) converter.reset();
    return converter;
}

// Counts each bad byte sequence, then lets ICU put U+FFFD in its place.
void count_and_substitute(const void* context, UConverterToUnicodeArgs* args, const char* code_units,
                          int32_t length, UConverterCallbackReason reason, UErrorCode* status) {
    if (reason <= UCNV_IRREGULAR) ++*static_cast<std::size_t*>(const_cast<void*>(context));
    UCNV_TO_U_CALLBACK_SUBSTITUTE(nullptr, args, code_units, length, reason, status);
}

Decoded decode_with(const char* name, std::span<const std::uint8_t> bytes) {
    Decoded decoded;
    if (bytes.empty()) return decoded;
    Converter converter = open_converter(name);
    if (!converter) {  // ICU without its data: nothing can be read faithfully
        decoded.bad_sequences = bytes.size();
        decoded.text.assign(bytes.size(), u'\uFFFD');
        return decoded;
    }
    UErrorCode status = U_ZERO_ERROR;
    ucnv_setToUCallBack(converter.get(), count_and_substitute, &decoded.bad_sequences, nullptr, nullptr,
                        &status);
    // Every byte gives at most one UTF-16 unit in these encodings, plus room for a flush.
    memory::reserve_large(decoded.text, bytes.size() + 1);
    decoded.text.resize(bytes.size() + 1);
    UChar* target = reinterpret_cast<UChar*>(decoded.text.data());
    UChar* const target_begin = target;
    const char* source = reinterpret_cast<const char*>(bytes.data());
    ucnv_toUnicode(converter.get(), &target, target + decoded.text.size(), &source, source + bytes.size(),
                   nullptr, true, &status);
    decoded.text.resize(static_cast<std::size_t>(target - target_begin));
    return decoded;
}

// Well-formed text decodes by table lookup, several times faster than the
// converter and without opening one. Anything else (a byte sequence the code
// page does not define, a lead byte at the very end) sends the whole text
// to the converter, so that the result, U+FFFD and counts included, is
// always exactly the converter's.
std::optional<std::u16string> decode_gbk_by_table(std::span<const std::uint8_t> bytes) {
    std::u16string text;
    const std::size_t size = bytes.size();
    if (size >= kLargeText) memory::reserve_large(text, size);
    text.resize(size);
    char16_t* out = text.data();
    const std::uint8_t* const in = bytes.data();
    for (std::size_t i = 0; i < size;) {
        const std::uint8_t byte = in[i];
        char16_t unit = gbk_tables::single[byte];
        if (unit == gbk_tables::kNoCharacter) {
            if (i + 1 == size) return std::nullopt;
            const auto decoded = decode_gbk_code(static_cast<std::uint16_t>(byte << 8 | in[i + 1]));
            if (!decoded) return std::nullopt;
            unit = *decoded;
            i += 2;
        } else {
            ++i;
        }
        *out++ = unit;
    }
    text.resize(static_cast<std::size_t>(out - text.data()));
    return text;
}

struct FirstUnencodable {
    bool seen = false;
    char32_t character = 0;
};

void note_and_substitute(const void* context, UConverterFromUnicodeArgs* args, const UChar* code_units,
                         int32_t length, UChar32 code_point, UConverterCallbackReason reason,
                         UErrorCode* status) {
    if (reason <= UCNV_IRREGULAR) {
        auto* first = static_cast<FirstUnencodable*>(const_cast<void*>(context));
        if (!first->seen) {
            first->seen = true;
            first->character = static_cast<char32_t>(code_point);
        }
    }
    UCNV_FROM_U_CALLBACK_SUBSTITUTE(nullptr, args, code_units, length, code_point, reason, status);
}

std::size_t index_of(std::u16string_view text, char32_t character) {
    std::size_t i = 0;
    while (i < text.size()) {
        char32_t c = text[i];
        std::size_t width = 1;
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            width = 2;
        }
        if (c == character) return i;
        i += width;
    }
    return 0;
}

// `max_bytes`: the most bytes one UTF-16 unit can take in the encoding.
Expected<Bytes, EncodeFailure> encode_with(const char* name, std::size_t max_bytes, std::u16string_view text) {
    Bytes bytes;
    if (text.empty()) return bytes;
    Converter converter = open_converter(name);
    if (!converter) return unexpected(EncodeFailure{0, text[0]});
    FirstUnencodable first;
    UErrorCode status = U_ZERO_ERROR;
    ucnv_setFromUCallBack(converter.get(), note_and_substitute, &first, nullptr, nullptr, &status);
    const std::size_t room = text.size() * max_bytes + 16;
    bytes.reserve(room);
    platform::advise_huge_pages(bytes.data(), room);
    bytes.resize(room);
    char* target = reinterpret_cast<char*>(bytes.data());
    char* const target_begin = target;
    const UChar* source = reinterpret_cast<const UChar*>(text.data());
    ucnv_fromUnicode(converter.get(), &target, target + bytes.size(), &source, source + text.size(), nullptr,
                     true, &status);
    if (first.seen) return unexpected(EncodeFailure{index_of(text, first.character), first.character});
    if (U_FAILURE(status)) return unexpected(EncodeFailure{0, text[0]});
    bytes.resize(static_cast<std::size_t>(target - target_begin));
    return bytes;
}

// Room for the bytes of an encoded text, to be cut to what was written.
Bytes output_room(std::size_t room) {
    Bytes bytes;
    bytes.reserve(room);
    if (room >= kLargeText) platform::advise_huge_pages(bytes.data(), room);
    bytes.resize(room);
    return bytes;
}

}  // namespace

std::optional<char16_t> decode_gbk_code(std::uint16_t code) {
    if (code <= 0xFF) {
        const char16_t unit = gbk_tables::single[code];
        if (unit == gbk_tables::kNoCharacter) return std::nullopt;
        return unit;
    }
    const unsigned lead = code >> 8, trail = code & 0xFF;
    if (lead < gbk_tables::kFirstLead || lead > gbk_tables::kLastLead || trail < gbk_tables::kFirstTrail ||
        trail > gbk_tables::kLastTrail)
        return std::nullopt;
    const char16_t unit =
        gbk_tables::pairs[(lead - gbk_tables::kFirstLead) * gbk_tables::kTrailCount + (trail - gbk_tables::kFirstTrail)];
    if (unit == gbk_tables::kNoCharacter) return std::nullopt;
    return unit;
}

std::optional<std::uint16_t> encode_gbk_char(char16_t character) {
    const std::uint16_t code = gbk_tables::codes[character];
    if (code == gbk_tables::kNoCode) return std::nullopt;
    return code;
}

Decoded decode_gbk(std::span<const std::uint8_t> bytes) {
    if (auto text = decode_gbk_by_table(bytes)) return Decoded{std::move(*text), 0};
    return decode_with(kCodePage936, bytes);
}

Decoded decode_utf8(std::span<const std::uint8_t> bytes) { return decode_with("UTF-8", bytes); }

Expected<Bytes, EncodeFailure> encode_gbk(std::u16string_view text) {
    // By table; the first character without a code sends the whole text to
    // the converter, which finds and reports it exactly as it always has.
    Bytes bytes = output_room(text.size() * 2);
    std::uint8_t* out = bytes.data();
    for (const char16_t c : text) {
        const std::uint16_t code = gbk_tables::codes[c];
        if (code == gbk_tables::kNoCode) return encode_with(kCodePage936, 2, text);
        if (code > 0xFF) *out++ = static_cast<std::uint8_t>(code >> 8);
        *out++ = static_cast<std::uint8_t>(code);
    }
    bytes.resize(static_cast<std::size_t>(out - bytes.data()));
    return bytes;
}

std::optional<Bytes> encode_gbk_round_trip(std::u16string_view text) {
    auto bytes = encode_gbk(text);
    if (!bytes || decode_gbk(*bytes).text != text) return std::nullopt;
    return std::move(*bytes);
}

Expected<Bytes, EncodeFailure> encode_utf8(std::u16string_view text) {
    // Directly; a lone surrogate sends the text to the converter, which
    // reports it as it always has.
    Bytes bytes = output_room(text.size() * 3);
    std::uint8_t* out = bytes.data();
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDFFF) {
            if (c > 0xDBFF || i + 1 == text.size() || text[i + 1] < 0xDC00 || text[i + 1] > 0xDFFF)
                return encode_with("UTF-8", 3, text);
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        }
        if (c < 0x80) {
            *out++ = static_cast<std::uint8_t>(c);
        } else if (c < 0x800) {
            *out++ = static_cast<std::uint8_t>(0xC0 | (c >> 6));
            *out++ = static_cast<std::uint8_t>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            *out++ = static_cast<std::uint8_t>(0xE0 | (c >> 12));
            *out++ = static_cast<std::uint8_t>(0x80 | ((c >> 6) & 0x3F));
            *out++ = static_cast<std::uint8_t>(0x80 | (c & 0x3F));
        } else {
            *out++ = static_cast<std::uint8_t>(0xF0 | (c >> 18));
            *out++ = static_cast<std::uint8_t>(0x80 | ((c >> 12) & 0x3F));
            *out++ = static_cast<std::uint8_t>(0x80 | ((c >> 6) & 0x3F));
            *out++ = static_cast<std::uint8_t>(0x80 | (c & 0x3F));
        }
    }
    bytes.resize(static_cast<std::size_t>(out - bytes.data()));
    return bytes;
}

Expected<Bytes, EncodeFailure> encode(std::u16string_view text, Encoding encoding) {
    return encoding == Encoding::utf8 ? encode_utf8(text) : encode_gbk(text);
}

Decoded decode_text_file(std::span<const std::uint8_t> bytes, Encoding encoding) {
    const bool marked = bytes.size() >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF;
    if (marked) return decode_utf8(bytes.subspan(3));
    return encoding == Encoding::utf8 ? decode_utf8(bytes) : decode_gbk(bytes);
}

std::string to_utf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size() * 3);
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::u16string from_utf8(std::string_view text) {
    auto bytes = std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
    return decode_utf8(bytes).text;
}

}  // namespace quillmere::text
