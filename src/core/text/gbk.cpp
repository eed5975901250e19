#include "core/text/gbk.hpp"

#include <unicode/ucnv.h>
#include <unicode/ucnv_err.h>
#include <unicode/ustring.h>

#include <array>
#include <memory>
#include <optional>
#include <vector>

#include "core/text/large_buffer.hpp"

namespace quillmere::text {
namespace {

// Windows' own table: 80 is the euro sign, the user-defined rows map to the
// private use area.
constexpr const char* kCodePage936 = "windows-936-2000";

struct ConverterCloser {
    void operator()(UConverter* converter) const { ucnv_close(converter); }
};
using Converter = std::unique_ptr<UConverter, ConverterCloser>;

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
    reserve_large(decoded.text, bytes.size() + 1);
    decoded.text.resize(bytes.size() + 1);
    UChar* target = reinterpret_cast<UChar*>(decoded.text.data());
    UChar* const target_begin = target;
    const char* source = reinterpret_cast<const char*>(bytes.data());
    ucnv_toUnicode(converter.get(), &target, target + decoded.text.size(), &source, source + bytes.size(),
                   nullptr, true, &status);
    decoded.text.resize(static_cast<std::size_t>(target - target_begin));
    return decoded;
}

// Long texts (whole scripts) decode through a table of every code, read
// from the converter once per text, which is several times faster than the
// converter itself. Anything but well-formed codes sends the whole text back
// to the converter, so the result is always exactly the converter's.
constexpr std::size_t kTableDecodeThreshold = std::size_t{1} << 20;
constexpr char16_t kNoCode = 0xFFFF;  // no code page 936 code decodes to it

std::optional<std::u16string> decode_gbk_by_table(std::span<const std::uint8_t> bytes) {
    Converter converter = open_converter(kCodePage936);
    if (!converter) return std::nullopt;
    UErrorCode status = U_ZERO_ERROR;
    ucnv_setToUCallBack(converter.get(), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
    auto decode_one = [&](const char* code, int32_t size) -> char16_t {
        UChar unit[4];
        UErrorCode error = U_ZERO_ERROR;
        const int32_t length = ucnv_toUChars(converter.get(), unit, 4, code, size, &error);
        return U_SUCCESS(error) && length == 1 ? static_cast<char16_t>(unit[0]) : kNoCode;
    };
    // Lead bytes start two-byte codes; every other byte stands alone.
    std::array<char16_t, 256> single{};
    std::array<bool, 256> lead{};
    for (int byte = 0; byte < 256; ++byte) {
        const char code = static_cast<char>(byte);
        lead[static_cast<std::size_t>(byte)] = byte >= 0x81 && byte <= 0xFE;
        single[static_cast<std::size_t>(byte)] = lead[static_cast<std::size_t>(byte)] ? kNoCode : decode_one(&code, 1);
    }
    std::vector<char16_t> pairs(65536, kNoCode);
    for (int first = 0x81; first <= 0xFE; ++first)
        for (int second = 0x40; second <= 0xFE; ++second) {
            const char code[2] = {static_cast<char>(first), static_cast<char>(second)};
            pairs[static_cast<std::size_t>(first << 8 | second)] = decode_one(code, 2);
        }

    std::u16string text;
    reserve_large(text, bytes.size());
    text.resize(bytes.size());
    char16_t* out = text.data();
    const std::size_t size = bytes.size();
    for (std::size_t i = 0; i < size;) {
        const std::uint8_t byte = bytes[i];
        char16_t unit;
        if (!lead[byte]) {
            unit = single[byte];
            ++i;
        } else {
            if (i + 1 == size) return std::nullopt;
            unit = pairs[static_cast<std::size_t>(byte) << 8 | bytes[i + 1]];
            i += 2;
        }
        if (unit == kNoCode) return std::nullopt;
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
    advise_huge_pages(bytes.data(), room);
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

}  // namespace

Decoded decode_gbk(std::span<const std::uint8_t> bytes) {
    if (bytes.size() >= kTableDecodeThreshold) {
        if (auto text = decode_gbk_by_table(bytes)) return Decoded{std::move(*text), 0};
    }
    return decode_with(kCodePage936, bytes);
}

Decoded decode_utf8(std::span<const std::uint8_t> bytes) { return decode_with("UTF-8", bytes); }

Expected<Bytes, EncodeFailure> encode_gbk(std::u16string_view text) { return encode_with(kCodePage936, 2, text); }

Expected<Bytes, EncodeFailure> encode_utf8(std::u16string_view text) { return encode_with("UTF-8", 3, text); }

Expected<Bytes, EncodeFailure> encode(std::u16string_view text, Encoding encoding) {
    return encoding == Encoding::utf8 ? encode_utf8(text) : encode_gbk(text);
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
