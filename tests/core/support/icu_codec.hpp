#pragma once
// ICU's converters, as the tool used them at run time before it had codecs
// of its own: the oracle the tests and the fuzz harness hold those codecs
// to. Linux only; the tool itself asks ICU nothing at run time.

#include <unicode/ucnv.h>
#include <unicode/ucnv_err.h>

#include <memory>
#include <optional>
#include <span>

#include "core/text/gbk.hpp"

namespace quillmere::icu_codec {

struct ConverterCloser {
    void operator()(UConverter* converter) const { ucnv_close(converter); }
};
using Converter = std::unique_ptr<UConverter, ConverterCloser>;

inline constexpr const char* kCodePage936 = "windows-936-2000";
inline constexpr const char* kUtf8 = "UTF-8";

inline Converter open(const char* name) {
    UErrorCode status = U_ZERO_ERROR;
    Converter converter(ucnv_open(name, &status));
    if (U_FAILURE(status)) converter.reset();
    return converter;
}

namespace detail {

inline void count_and_substitute(const void* context, UConverterToUnicodeArgs* args, const char* code_units,
                                 int32_t length, UConverterCallbackReason reason, UErrorCode* status) {
    if (reason <= UCNV_IRREGULAR) ++*static_cast<std::size_t*>(const_cast<void*>(context));
    UCNV_TO_U_CALLBACK_SUBSTITUTE(nullptr, args, code_units, length, reason, status);
}

struct FirstUnencodable {
    bool seen = false;
    char32_t character = 0;
};

inline void note_and_substitute(const void* context, UConverterFromUnicodeArgs* args, const UChar* code_units,
                                int32_t length, UChar32 code_point, UConverterCallbackReason reason,
                                UErrorCode* status) {
    if (reason <= UCNV_IRREGULAR) {
        auto* first = static_cast<FirstUnencodable*>(const_cast<void*>(context));
        if (!first->seen) first->character = static_cast<char32_t>(code_point);
        first->seen = true;
    }
    UCNV_FROM_U_CALLBACK_SUBSTITUTE(nullptr, args, code_units, length, code_point, reason, status);
}

inline std::size_t index_of(std::u16string_view text, char32_t character) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        std::size_t next = i;
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            next = i + 1;
        }
        if (c == character) return i;
        i = next;
    }
    return text.size();
}

}  // namespace detail

// The text ICU reads, each bad sequence substituted and counted.
inline text::Decoded decode(UConverter* converter, std::span<const std::uint8_t> bytes) {
    text::Decoded decoded;
    ucnv_resetToUnicode(converter);
    UErrorCode status = U_ZERO_ERROR;
    ucnv_setToUCallBack(converter, detail::count_and_substitute, &decoded.bad_sequences, nullptr, nullptr, &status);
    decoded.text.resize(bytes.size() + 1);
    UChar* target = reinterpret_cast<UChar*>(decoded.text.data());
    UChar* const begin = target;
    const char* source = reinterpret_cast<const char*>(bytes.data());
    ucnv_toUnicode(converter, &target, target + decoded.text.size(), &source, source + bytes.size(), nullptr, true,
                   &status);
    decoded.text.resize(static_cast<std::size_t>(target - begin));
    return decoded;
}

// The bytes ICU writes, or the first character it cannot and where it is.
inline Expected<text::Bytes, text::EncodeFailure> encode(UConverter* converter, std::u16string_view text) {
    ucnv_resetFromUnicode(converter);
    detail::FirstUnencodable first;
    UErrorCode status = U_ZERO_ERROR;
    ucnv_setFromUCallBack(converter, detail::note_and_substitute, &first, nullptr, nullptr, &status);
    text::Bytes bytes(text.size() * 4 + 16);
    char* target = reinterpret_cast<char*>(bytes.data());
    char* const begin = target;
    const UChar* source = reinterpret_cast<const UChar*>(text.data());
    ucnv_fromUnicode(converter, &target, target + bytes.size(), &source, source + text.size(), nullptr, true,
                     &status);
    if (first.seen) return unexpected(text::EncodeFailure{detail::index_of(text, first.character), first.character});
    bytes.resize(static_cast<std::size_t>(target - begin));
    return bytes;
}

}  // namespace quillmere::icu_codec
